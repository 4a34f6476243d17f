#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/fiche_record.h"
#include "store/native_file.h"

// Every earlier version of every card of a data file, kept in a history file
// that only grows: before a save changes a slot, the slot as it was is added
// to it, with the card's number, the time and the action that changed it.
//
// An entry: "LXH1", the number (4 bytes), the time in milliseconds since
// 1970 UTC (8), the action (1), whether the slot held a card (1), the slot's
// 2799 bytes if it did, then a checksum of all that (8). An entry cut short
// or damaged is passed over: reading goes on at the next whole entry. A
// history begins with the mark of the data file it belongs to (fileowner).
namespace cardhistory {

enum class Action : std::uint8_t {
    edition = 1,      // a card saved in the Edition window
    correction = 2,   // a card saved in the Card window
    import = 3,       // cards taken from a glossary
    restoration = 4,  // the data file put back as one of its copies
};

// In French, as the history dialog lists it.
QString describe(Action action);

struct Version {
    std::int32_t number = 0;
    QDateTime when;
    Action action = Action::edition;
    std::optional<Module1::SlotBytes> slot;  // empty: the slot held no card yet
};

// <data file>.historique beside it, or, where its folder refuses new files,
// historiques/<name>-<hash>.historique in the user's own folder.
QString besidePath(FileSystem& fileSystem, const QString& dataFile);
QString fallbackPath(FileSystem& fileSystem, const QString& dataFile);

std::vector<char> encode(const Version& version);

// The earlier versions of card `number`, newest first, from both places.
// Throws StoreError when the history cannot be read, or is another data
// file's (renamed or replaced since); no history is no version.
std::vector<Version> versionsOf(FileSystem& fileSystem, const QString& dataFile, std::int32_t number);

}  // namespace cardhistory
