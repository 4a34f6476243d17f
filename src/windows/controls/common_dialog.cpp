#include "windows/controls/common_dialog.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

CommonDialog::Answerer& answerer() {
    static CommonDialog::Answerer current;
    return current;
}

}  // namespace

CommonDialog::CommonDialog(const QString& objectName, QObject* parent) : QObject(parent) {
    setObjectName(objectName);
}

QString CommonDialog::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
#ifndef _WIN32
        // Names are case-sensitive here: *.DAT also offers *.dat.
        const QStringList asTyped = patterns;
        for (const QString& pattern : asTyped) {
            if (!patterns.contains(pattern.toLower())) patterns.append(pattern.toLower());
        }
#endif
        QString description = parts[i];
        const qsizetype bracket = description.indexOf(u'(');
        if (bracket >= 0) description = description.left(bracket).trimmed();
        filters.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(u' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

bool CommonDialog::showFileDialog(QWidget* parent, Kind kind) {
    if (answerer()) {
        const auto chosen = answerer()({kind, nameFilters(m_filter), m_fileName, m_flags});
        if (!chosen) return false;
        m_fileName = chosen->fileName;
        m_filterIndex = chosen->filterIndex;
        return true;
    }
    QFileDialog dialog(parent);
    // Qt's own dialog, so that it speaks the program's language everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!(m_flags & kOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(kind == Kind::save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(kind == Kind::save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(m_filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(m_filterIndex - 1));
    }
    if (!m_fileName.isEmpty()) dialog.selectFile(m_fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    m_fileName = dialog.selectedFiles().constFirst();
    m_filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
}

bool CommonDialog::ShowSave(QWidget* parent) { return showFileDialog(parent, Kind::save); }

bool CommonDialog::ShowOpen(QWidget* parent) { return showFileDialog(parent, Kind::open); }

void CommonDialog::ShowPrinter(QWidget* parent) {
    if (answerer()) {
        answerer()({Kind::printer, QString(), m_fileName, m_flags});
        return;
    }
    QPrintDialog dialog(&sharedPrinter(), parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (m_flags & kPrintSetup) dialog.setWindowTitle(QStringLiteral("Configuration de l'impression"));
    dialog.exec();
}

QPrinter& CommonDialog::sharedPrinter() {
    // Lives as long as the program; reachable, so not a leak.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

void CommonDialog::setAnswerer(Answerer replacement) { answerer() = std::move(replacement); }
