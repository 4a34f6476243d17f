#include "store/native_file.h"

#include <cerrno>

// The machine's own file system (native_file_posix.cpp or
// native_file_windows.cpp), or the one a test puts in its place.
namespace {
FileSystem* g_current = nullptr;
}  // namespace

FileSystem& FileSystem::current() { return g_current ? *g_current : native(); }

void FileSystem::setCurrent(FileSystem* fileSystem) { g_current = fileSystem; }

// File systems that cannot open a file for reading only give it as open() does.
std::unique_ptr<RandomAccessFile> FileSystem::openForReading(const QString& path, int& error) {
    if (!exists(path)) {
        error = ENOENT;
        return nullptr;
    }
    return open(path, error);
}
