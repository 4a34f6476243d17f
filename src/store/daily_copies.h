#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "store/native_file.h"

// Copies of a whole data file, gzip-compressed, in the user's own folder:
// one made by the first save of each day, and one of the file as it was
// before a copy was put back in its place. Kept: the 7 newest, the newest of
// each of the 4 latest weeks and of each of the 12 latest months.
namespace dailycopies {

struct Copy {
    QString path;
    QDateTime made;              // local time, from the copy's name
    std::int64_t compressed = 0;  // bytes on disk
    std::int64_t length = 0;      // bytes of the data file it holds
    std::int32_t cardCount = 0;
    bool damaged = false;         // cut short or not a copy: listed, never put back
};

// <application data>/copies/<data file's name>-<hash of its full name>/
QString folderFor(FileSystem& fileSystem, const QString& dataFile);

// The data file's copies, newest first; none where the folder is another
// data file's (foreignCopies says so).
std::vector<Copy> list(FileSystem& fileSystem, const QString& dataFile);
// Why the folder's copies are not offered for this data file, in French:
// they are those of a file that bore its name before (renamed or replaced
// since). Empty where they are its own.
QString foreignCopies(FileSystem& fileSystem, const QString& dataFile);

// Before a save writes, the file as it stands is copied once a day. A copy
// that cannot be made is told to the user once (storenotice), and the save
// goes on. `file` is held by the save; `length` is its length.
void copyOncePerDay(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file, std::int64_t length);

// Copies the file as it stands, before a copy is put back in its place, and
// gives the new copy's path; no copy is let go before the file is put back.
// Throws StoreError in French when it cannot: nothing must then be put back.
QString copyBeforeRestoring(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file,
                            std::int64_t length);
// Once a copy is put back: lets the copies no longer kept go, never those
// in `keep` (the copy put back, the one made before).
void keepAfterRestoring(FileSystem& fileSystem, const QString& dataFile, const QStringList& keep);

// The bytes of the data file a copy holds, checked, never more than a data
// file can hold. Throws StoreError.
std::vector<char> contents(const Copy& copy);

// Puts the copy in the data file's place, in one save that first copies the
// file as it stands. Throws StoreError; the file and its copies are then as
// they were.
void restore(const QString& dataFile, const Copy& copy);

}  // namespace dailycopies
