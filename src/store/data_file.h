#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "store/card_history.h"
#include "store/fiche_record.h"
#include "store/native_file.h"

class SaveBytes;

// The data file: a plain sequence of 2799-byte slots, slot n at byte offset
// (n - 1) x 2799. Every failure throws StoreError with a French message, and
// leaves the file and the record passed in as they were.
class DataFile {
public:
    // Opens the file, creating it empty where the path names no file, and
    // undoes a save that was cut short (telling the user, through
    // storenotice, of a recovery file that no longer belongs to the file).
    static DataFile open(const QString& path);
    // Opens an existing file to read it only: nothing is created, recovered
    // or written. A file a save cut short left as it was is refused, its
    // cards being unsure until the program opens it for writing.
    static DataFile openForReading(const QString& path);

    DataFile(DataFile&&) noexcept;
    DataFile& operator=(DataFile&&) noexcept;
    ~DataFile();

    const QString& path() const { return m_path; }

    // File length / 2799, rounded to the nearest whole number.
    std::int32_t recordCount();

    // The part of a slot past the end of the file reads as the matching bytes
    // of an empty card bearing the slot's number.
    void readSlot(std::int32_t n, Module1::FicheRecord& into);
    // Slots first, first + 1, ... in one read, as many as `into` holds whole
    // (its size is a multiple of 2799), past the end as readSlot gives them.
    void readSlots(std::int32_t first, std::span<char> into);

    // Writes the slot and syncs it to disk, in one SaveTransaction. Slots
    // skipped over past the end of the file are written as empty cards
    // bearing their own numbers.
    void writeSlot(std::int32_t n, const Module1::FicheRecord& fiche,
                   cardhistory::Action action = cardhistory::Action::edition);
    // The cards into slots first, first + 1, ... in one save: all of them
    // are written, or none.
    void writeSlots(std::int32_t first, std::span<const Module1::FicheRecord> cards,
                    cardhistory::Action action = cardhistory::Action::edition);
    // The same, where first must still be the slot after the last: when the
    // file has grown meanwhile (another copy of the program saved), nothing
    // is written and StoreError says so.
    void appendSlots(std::int32_t first, std::span<const Module1::FicheRecord> cards,
                     cardhistory::Action action = cardhistory::Action::import);
    // The same, `count` slots made by `make(index, slot)`, index from 0, as
    // they are written: the largest import never holds all its slots at once.
    using SlotMaker = std::function<void(std::int32_t index, std::span<char, Module1::kSlotSize> slot)>;
    void appendSlots(std::int32_t first, std::int32_t count, const SlotMaker& make,
                     cardhistory::Action action = cardhistory::Action::import);
    // Makes the file these bytes (a copy of it put back), in one save;
    // `restoredCopy`, the copy they come from, is kept among the copies.
    void replaceWith(std::span<const char> bytes, cardhistory::Action action, const QString& restoredCopy = {});

    void close();

private:
    DataFile(QString path, std::unique_ptr<RandomAccessFile> file, FileSystem& fileSystem);
    void write(std::int32_t first, std::span<const Module1::FicheRecord> cards, bool appending,
               cardhistory::Action action);
    void write(std::int32_t first, const SaveBytes& slotBytes, bool appending, cardhistory::Action action);
    std::int64_t fileSize();
    [[noreturn]] void fail(const QString& what, int error) const;

    QString m_path;
    std::unique_ptr<RandomAccessFile> m_file;
    FileSystem* m_fileSystem;
};

// The longest a data file can be: its highest card, and a trailing part too
// short to count as a card.
inline constexpr std::int64_t kLargestDataFile =
    std::int64_t(Module1::kHighestCardNumber) * Module1::kSlotSize + Module1::kSlotSize / 2;

// Record count of a file of the given length.
std::int32_t recordCountFor(std::int64_t length);
