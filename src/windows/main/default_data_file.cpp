#include "windows/main/default_data_file.h"

#include <QDir>
#include <QStandardPaths>

QString defaultDataFilePath() {
#ifdef _WIN32
    return QStringLiteral("c:\\program files\\lexicarium.dat");
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("lexicarium.dat"));
#endif
}
