#include "store/default_data_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "store/native_file.h"

namespace defaultdatafile {

QString chosen(FileSystem& fileSystem, const QString& historic, const QString& usersOwn) {
    if (fileSystem.exists(historic)) return historic;
    // Only a file actually made tells whether the folder accepts one: rights
    // a standard user lacks, a folder redirected, a medium read only.
    const QString probe = QDir(QFileInfo(historic).absolutePath())
                              .filePath(QStringLiteral("lexicarium-essai-%1.tmp").arg(QCoreApplication::applicationPid()));
    int error = 0;
    if (!fileSystem.create(probe, error)) return usersOwn;
    fileSystem.remove(probe, error);
    return historic;
}

QString inUsersFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("lexicarium.dat"));
}

}  // namespace defaultdatafile
