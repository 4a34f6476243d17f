#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "store/native_file.h"

// The bytes of a recovery file, and nothing of what is done with them.
//
// Fourth version ("LXJ4"): as the third, and after the history's length the
// identity of the history file the save added to, so that a history in one
// user's own folder is never cut by another user finishing the save.
// Third version ("LXJ3"): the magic, the data file's identity, its length
// before and after the save, where the checked range starts, where the
// card history was and how long it was before the save, the checked range's
// length, what that range held before the save, what the save left there,
// and a checksum of all that. A save that makes the file shorter checks the
// range up to the old end. The second version ("LXJ2") also held a checksum for
// each 4 KiB written past the old end; it is still read. The first version
// ("LXJ1") held no identity and no new bytes; it is only recognised. A file
// cut short or voided (its magic zeroed) is none of these.
namespace recoveryfile {

struct Record {
    int version = 4;
    FileIdentity identity;
    std::int64_t originalSize = 0;  // the data file's length before the save
    std::int64_t newSize = 0;       // and after it
    std::int64_t start = 0;         // where the checked range starts
    enum class History : std::uint8_t { none, beside, usersFolder };
    History history = History::none;  // where the save added to the card history
    std::int64_t historyLength = 0;   // and its length before
    FileIdentity historyIdentity;     // and which file it was (fourth version)
    std::vector<char> previous;     // what the range held before the save
    std::vector<char> writtenOver;  // what the save left there: as long as previous
};

enum class Kind {
    none,         // cut short or voided: no save depends on it
    record,       // second, third or fourth version, read into the record
    firstVersion, // complete, but of a version that cannot be checked against the file
    unreadable,   // complete, but what it says cannot be true
};

std::vector<char> encode(const Record& record);
// What closes the second, third and fourth versions: a checksum of all before it.
std::uint64_t checksum(std::span<const char> bytes);
Kind parse(std::span<const char> bytes, Record& record);

// The four bytes that make a recovery file void where it stands.
inline constexpr char kVoid[4] = {};

}  // namespace recoveryfile
