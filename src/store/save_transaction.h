#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <span>

#include "store/native_file.h"

// One save to the data file, whoever makes it (a card, an import): it takes
// the file from other copies of the program, puts back any save of theirs
// or of this copy that was cut short, writes under a recovery file, syncs,
// commits and lets the file go. Failures throw StoreError in French, and
// leave the file as it was.
class SaveTransaction {
public:
    // How long a save, or an opening that finds a save cut short, waits for
    // another program to let go of the file before saying it is in use.
    static constexpr std::chrono::milliseconds kLockWait{3000};

    // Takes the file and finishes any save cut short. `what` begins each
    // message ("Impossible d'enregistrer la fiche n° 3 dans le fichier").
    SaveTransaction(FileSystem& fileSystem, const QString& path, RandomAccessFile& file, QString what);
    ~SaveTransaction();
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;

    // The file's length once it is held: what the save is planned on.
    std::int64_t size() const { return m_size; }

    // Writes the bytes at offset (at most size()), all of them or none.
    void write(std::int64_t offset, std::span<const char> bytes);

    // For an opening: where a recovery file is left, waits for the file and
    // finishes the save it belongs to, so that no read meets a slot half
    // written.
    static void finishInterrupted(FileSystem& fileSystem, const QString& path, RandomAccessFile& file);

private:
    [[noreturn]] void fail(int error) const;

    FileSystem& m_fileSystem;
    QString m_path;
    RandomAccessFile& m_file;
    QString m_what;
    std::int64_t m_size = 0;
};
