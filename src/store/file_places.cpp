#include "store/file_places.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

namespace fileplaces {

QString beside(FileSystem& fileSystem, const QString& dataFile, const QString& suffix) {
    return fileSystem.canonicalPath(dataFile) + suffix;
}

QString inUsersFolder(FileSystem& fileSystem, const QString& dataFile, const QString& folder, const QString& suffix) {
    QString fullPath = fileSystem.canonicalPath(dataFile);
#ifdef _WIN32
    fullPath = fullPath.toLower();  // one file, however its path is spelt
#endif
    const QByteArray hash = QCryptographicHash::hash(fullPath.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(base).filePath(
        QStringLiteral("%1/%2-%3%4").arg(folder, QFileInfo(fullPath).fileName(), QString::fromLatin1(hash), suffix));
}

QString asideName(FileSystem& fileSystem, const QString& path, const QString& label) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QStringLiteral("%1.%2-%3").arg(path, label, stamp);
    for (int n = 2; fileSystem.exists(name); ++n) name = QStringLiteral("%1.%2-%3-%4").arg(path, label, stamp).arg(n);
    return name;
}

bool refusesNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

QString settingsFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("lexicarium.ini"));
}

}  // namespace fileplaces
