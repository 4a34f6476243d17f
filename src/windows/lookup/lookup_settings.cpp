#include "windows/lookup/lookup_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "store/file_places.h"

namespace {
const QString kKey = QStringLiteral("recherche_rapide/raccourci");
const QString kRefusal = QStringLiteral("recherche_rapide/refus_signale");
const QKeySequence kDefault(Qt::CTRL | Qt::ALT | Qt::Key_F);
}  // namespace

LookupSettings::LookupSettings(QString iniPath) : m_path(std::move(iniPath)) {}

QString LookupSettings::defaultPath() { return fileplaces::settingsFile(); }

QKeySequence LookupSettings::shortcut() const {
    const QKeySequence kept(QSettings(m_path, QSettings::IniFormat).value(kKey).toString(), QKeySequence::PortableText);
    return kept.isEmpty() ? kDefault : kept;
}

void LookupSettings::setShortcut(const QKeySequence& shortcut) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(kKey, shortcut.toString(QKeySequence::PortableText));
}

QString LookupSettings::toldRefusal() const {
    return QSettings(m_path, QSettings::IniFormat).value(kRefusal).toString();
}

void LookupSettings::setToldRefusal(const QString& refusal) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings settings(m_path, QSettings::IniFormat);
    if (refusal.isEmpty()) {
        settings.remove(kRefusal);
    } else {
        settings.setValue(kRefusal, refusal);
    }
}
