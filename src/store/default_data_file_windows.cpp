#include "store/default_data_file.h"
#include "store/native_file.h"

QString defaultDataFilePath() {
    return defaultdatafile::chosen(FileSystem::current(), QStringLiteral("c:\\program files\\lexicarium.dat"),
                                   defaultdatafile::inUsersFolder());
}
