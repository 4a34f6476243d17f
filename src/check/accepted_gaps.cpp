#include "check/accepted_gaps.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "exchange/exchange_error.h"
#include "store/file_places.h"

namespace {

const QString kSuffix = QStringLiteral(".ecarts-acceptes");
const QString kHeading = QStringLiteral(
    "# Écarts acceptés à la vérification terminologique : segment, empreinte du texte source, n° de fiche\n");

QString besidePath(const QString& checkedFile) { return fileplaces::beside(FileSystem::native(), checkedFile, kSuffix); }

QString fallbackPath(const QString& checkedFile) {
    return fileplaces::inUsersFolder(FileSystem::native(), checkedFile, QStringLiteral("ecarts-acceptes"), kSuffix);
}

[[noreturn]] void cannotRead(const QString& path, const QString& why) {
    throw ExchangeError(QStringLiteral("Les écarts acceptés ne peuvent pas être lus dans «\u00A0%1\u00A0»\u00A0: %2.")
                            .arg(QDir::toNativeSeparators(path), why));
}

}  // namespace

AcceptedGaps AcceptedGaps::of(const QString& checkedFile) {
    AcceptedGaps accepted(checkedFile);
    const QString beside = besidePath(checkedFile);
    const QString fallback = fallbackPath(checkedFile);
    accepted.m_path = !QFileInfo(beside).isFile() && QFileInfo(fallback).isFile() ? fallback : beside;
    if (!QFileInfo(accepted.m_path).isFile()) return accepted;
    QFile file(accepted.m_path);
    if (!file.open(QIODevice::ReadOnly)) cannotRead(accepted.m_path, file.errorString());
    if (file.size() > kLargestFile) cannotRead(accepted.m_path, QStringLiteral("le fichier est trop grand pour en être un"));
    const QByteArray bytes = file.readAll();
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.count('\t') != 2) cannotRead(accepted.m_path, QStringLiteral("une ligne n'est pas de la forme attendue"));
        accepted.m_keys.insert(QString::fromUtf8(line.trimmed()));
    }
    return accepted;
}

QString AcceptedGaps::keyOf(const bilingual::Segment& segment, const termcheck::Gap& gap) {
    // The segment as the file names it, and its source text: a segment
    // rewritten since is another one.
    const QByteArray print = QCryptographicHash::hash(segment.source.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString id = segment.id;
    id.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    return QStringLiteral("%1\t%2\t%3").arg(id.trimmed(), QString::fromLatin1(print), gap.numero);
}

bool AcceptedGaps::contains(const bilingual::Segment& segment, const termcheck::Gap& gap) const {
    return m_keys.contains(keyOf(segment, gap));
}

void AcceptedGaps::write(const QString& path, const QSet<QString>& keys) const {
    QStringList lines(keys.begin(), keys.end());
    std::sort(lines.begin(), lines.end());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw ExchangeError(file.errorString());
    file.write(kHeading.toUtf8());
    for (const QString& line : lines) file.write(line.toUtf8() + '\n');
    if (!file.commit()) throw ExchangeError(file.errorString());
}

void AcceptedGaps::accept(const bilingual::Segment& segment, const termcheck::Gap& gap) {
    QSet<QString> keys = m_keys;
    keys.insert(keyOf(segment, gap));
    QStringList places{m_path};
    if (m_path == besidePath(m_checkedFile)) places.append(fallbackPath(m_checkedFile));
    QString failure;
    for (const QString& place : places) {
        try {
            write(place, keys);
            m_path = place;
            m_keys = std::move(keys);
            return;
        } catch (const ExchangeError& error) {
            if (failure.isEmpty()) failure = error.message();
        }
    }
    throw ExchangeError(QStringLiteral("L'écart n'a pas pu être accepté\u00A0: «\u00A0%1\u00A0» ne peut pas être écrit "
                                       "(%2).")
                            .arg(QDir::toNativeSeparators(m_path), failure));
}
