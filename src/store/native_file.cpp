#include "store/native_file.h"

// The machine's own file system (native_file_posix.cpp or
// native_file_windows.cpp), or the one a test puts in its place.
namespace {
FileSystem* g_current = nullptr;
}  // namespace

FileSystem& FileSystem::current() { return g_current ? *g_current : native(); }

void FileSystem::setCurrent(FileSystem* fileSystem) { g_current = fileSystem; }
