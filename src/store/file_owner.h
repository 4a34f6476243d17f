#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/native_file.h"

// Which data file a card history or a folder of copies belongs to. Both are
// found by the data file's name, so after a rename outside the program a new
// file of the old name would find the old file's: they record the data
// file's birth time, which a rename keeps and a file made in its place does
// not. The mark: "LXO1", the birth time in milliseconds (8 bytes), a
// checksum of the two (8).
namespace fileowner {

inline constexpr std::int64_t kMarkSize = 20;

std::vector<char> encode(std::int64_t birthTime);
// The birth time a mark records; empty where the bytes are no mark.
std::optional<std::int64_t> decode(const char* bytes, std::int64_t size);

// Whether what a mark records is this file: a time the system did not give
// (0) decides nothing, and a history or folder made before marks were kept
// (no mark) is taken as the file's.
bool belongs(std::optional<std::int64_t> recorded, std::int64_t current);

// The data file's birth time; 0 where it is missing or the system does not say.
std::int64_t birthTimeOf(FileSystem& fileSystem, const QString& dataFile);

// The mark at the start of a file, read through the file system; empty where
// the file is missing or does not start with one.
std::optional<std::int64_t> readMark(FileSystem& fileSystem, const QString& path);

// A name beside `path` for what is set aside as another file's.
QString asideName(FileSystem& fileSystem, const QString& path);

}  // namespace fileowner
