#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/native_file.h"

// Which data file a card history or a folder of copies belongs to. Both are
// found by the data file's name, so after a rename outside the program a new
// file of the old name would find the old file's: they record the data
// file's birth time and its identity on its volume, which a rename keeps and
// a file made in its place does not. Either alone may change under a file
// that stays the same (a volume plugged in again renumbers its files; some
// systems give the time of the last change as the birth time), so a file is
// another only when both have changed.
// The mark: "LXO1", the birth time in milliseconds, whether the identity is
// known, the volume, the file (8 bytes each), a checksum of all that (8).
namespace fileowner {

inline constexpr std::int64_t kMarkSize = 4 + 5 * 8;

struct Owner {
    std::int64_t birthTime = 0;  // 0 where the system does not say
    FileIdentity identity;
};

std::vector<char> encode(const Owner& owner);
// What a mark records; empty where the bytes are no mark.
std::optional<Owner> decode(const char* bytes, std::int64_t size);

// Whether what a mark records is this file. A history or folder made before
// marks were kept (no mark) is taken as the file's.
bool belongs(const std::optional<Owner>& recorded, const Owner& current);

// The data file as a mark records it.
Owner ownerOf(RandomAccessFile& dataFile);
// The same, through the file system; nothing known where it is missing.
Owner ownerOf(FileSystem& fileSystem, const QString& dataFile);

// The mark at the start of a file, read through the file system; empty where
// the file is missing or does not start with one.
std::optional<Owner> readMark(FileSystem& fileSystem, const QString& path);

}  // namespace fileowner
