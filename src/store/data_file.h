#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "store/fiche_record.h"
#include "store/native_file.h"

// The data file: a plain sequence of 2799-byte slots, slot n at byte offset
// (n - 1) x 2799. Every failure throws StoreError with a French message, and
// leaves the file and the record passed in as they were.
class DataFile {
public:
    // Opens the file, creating it empty where the path names no file, and
    // undoes a save that was cut short.
    static DataFile open(const QString& path);

    DataFile(DataFile&&) noexcept;
    DataFile& operator=(DataFile&&) noexcept;
    ~DataFile();

    const QString& path() const { return m_path; }

    // File length / 2799, rounded to the nearest whole number.
    std::int32_t recordCount();

    // The part of a slot past the end of the file reads as the matching bytes
    // of an empty card bearing the slot's number. Slots read one after
    // another come from one read of many slots at a time.
    void readSlot(std::int32_t n, Module1::FicheRecord& into);
    // The same bytes, read in place: valid until the next read or write.
    Module1::SlotView viewSlot(std::int32_t n);

    // Writes the slot and syncs it to disk. Slots skipped over past the end
    // of the file are written as empty cards bearing their own numbers. The
    // file is held for this process alone while the save lasts, and a
    // recovery file beside it lets a save cut short be undone at the next
    // open, so the slot is never found half written.
    void writeSlot(std::int32_t n, const Module1::FicheRecord& fiche);

    void close();

private:
    DataFile(QString path, std::unique_ptr<RandomAccessFile> file, FileSystem& fileSystem);
    std::int64_t fileSize();
    [[noreturn]] void fail(const QString& what, int error) const;

    QString m_path;
    std::unique_ptr<RandomAccessFile> m_file;
    FileSystem* m_fileSystem;
    // Slots read ahead from m_aheadOffset once reading goes slot after
    // slot; dropped by any write.
    std::unique_ptr<char[]> m_ahead;
    std::int64_t m_aheadCapacity = 0;
    std::int64_t m_aheadSize = 0;
    std::int64_t m_aheadOffset = 0;
    std::int32_t m_lastSlotRead = 0;
    Module1::SlotBytes m_partialSlot{};  // a slot the file ends inside, completed
};

// Record count of a file of the given length.
std::int32_t recordCountFor(std::int64_t length);
