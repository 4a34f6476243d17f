#pragma once

#include <QDateTime>
#include <QString>
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
};

// <application data>/copies/<data file's name>-<hash of its full name>/
QString folderFor(FileSystem& fileSystem, const QString& dataFile);

// The data file's copies, newest first.
std::vector<Copy> list(FileSystem& fileSystem, const QString& dataFile);

// Before a save writes, the file as it stands is copied once a day. A copy
// that cannot be made is told to the user once (storenotice), and the save
// goes on. `file` is held by the save; `length` is its length.
void copyOncePerDay(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file, std::int64_t length);

// Copies the file as it stands, before a copy is put back in its place.
// Throws StoreError in French when it cannot: nothing must then be put back.
void copyBeforeRestoring(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file,
                         std::int64_t length);

// The bytes of the data file a copy holds, checked. Throws StoreError.
std::vector<char> contents(const Copy& copy);

// Puts the copy in the data file's place, in one save that first copies the
// file as it stands. Throws StoreError; the file is then as it was.
void restore(const QString& dataFile, const Copy& copy);

}  // namespace dailycopies
