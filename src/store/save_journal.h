#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class FileSystem;
class RandomAccessFile;

// The recovery file that exists beside the data file only while a save is
// under way. It holds what the save overwrites, so that a save cut short by
// a crash or a power cut is undone the next time the file is opened: the
// slot is then as it was, never half written.
namespace savejournal {

QString pathFor(const QString& dataFile);

struct Undo {
    std::int64_t originalSize = 0;  // the data file's length before the save
    std::int64_t start = 0;         // where the save writes
    std::vector<char> previous;     // what lay there, up to the old end of the file
};

// Writes the recovery file and makes it durable. False with the cause in error.
bool begin(FileSystem& fileSystem, const QString& dataFile, const Undo& undo, int& error);

// Removes the recovery file durably once the save is complete.
bool end(FileSystem& fileSystem, const QString& dataFile, int& error);

// Puts the data file back as it was before an interrupted save, if a
// complete recovery file says one was under way, then removes the recovery
// file. False with the cause in error when that cannot be done; the recovery
// file then stays for the next time.
bool recover(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& data, int& error);

// Puts back what the save overwrote, in the open data file.
bool undo(RandomAccessFile& data, const Undo& undo);

}  // namespace savejournal
