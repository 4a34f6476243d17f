#pragma once

#include <QString>

// What the system says of a file looked up by name.
struct FileAttributes {
    bool exists = false;
    bool folder = false;
    bool hidden = false;
    bool system = false;  // a file the system marks as its own
};

// On Windows the file's attributes; elsewhere, where no file is marked as
// the system's, a name beginning with a dot is hidden.
FileAttributes attributesOf(const QString& path);

// A lookup by name finds only ordinary files: no folder, no hidden file and
// no system file counts.
bool countsAsFound(const FileAttributes& file);
