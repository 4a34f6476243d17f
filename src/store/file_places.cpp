#include "store/file_places.h"

#include <QCryptographicHash>
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

bool refusesNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

}  // namespace fileplaces
