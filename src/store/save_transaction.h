#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "store/card_history.h"
#include "store/file_owner.h"
#include "store/native_file.h"
#include "store/recovery_file.h"
#include "store/save_bytes.h"

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

    // Writes the bytes at offset (at most size()), all of them or none,
    // keeping in the card history every slot it changes as it was.
    void write(std::int64_t offset, std::span<const char> bytes, cardhistory::Action action);
    // The same, the bytes read from `bytes` a run at a time as they are written.
    void write(std::int64_t offset, const SaveBytes& bytes, cardhistory::Action action);
    // Makes the file these bytes, all of them or none, as write does, once
    // the file as it stands is among the copies. Only then are the copies no
    // longer kept let go, never `restoredCopy`; a failure leaves the copies
    // as they were.
    void replaceAll(std::span<const char> bytes, cardhistory::Action action, const QString& restoredCopy);

    // For an opening: where a recovery file is left, waits for the file and
    // finishes the save it belongs to, so that no read meets a slot half
    // written.
    static void finishInterrupted(FileSystem& fileSystem, const QString& path, RandomAccessFile& file);
    // Whether a save cut short left its recovery file, once any save under
    // way in another program has ended: a file only read cannot put it back.
    static bool interruptedSaveLeft(FileSystem& fileSystem, const QString& path, RandomAccessFile& file);

private:
    struct HistoryFile {
        std::unique_ptr<RandomAccessFile> file;
        recoveryfile::Record::History place = recoveryfile::Record::History::none;
        std::int64_t length = 0;
        QString path;
        FileIdentity identity;
    };

    void apply(std::int64_t offset, const SaveBytes& bytes, std::int64_t newSize, cardhistory::Action action);
    // Writes the bytes at offset, a run at a time where they are not at hand.
    bool writeOut(std::int64_t offset, const SaveBytes& bytes);
    // The history entries of the slots a save changes, in the order of the slots.
    std::vector<char> historyEntries(const recoveryfile::Record& record, std::int64_t offset,
                                     const SaveBytes& bytes, cardhistory::Action action) const;
    HistoryFile openHistory();
    std::unique_ptr<RandomAccessFile> createHistory(const QString& path, const fileowner::Owner& owner, int& error);
    // False where another data file's history stands there and cannot be moved.
    bool setAsideIfForeign(const QString& path, const fileowner::Owner& owner);
    [[noreturn]] void fail(int error) const;
    [[noreturn]] void failHistory(const QString& history, int error) const;

    FileSystem& m_fileSystem;
    QString m_path;
    RandomAccessFile& m_file;
    QString m_what;
    std::int64_t m_size = 0;
};
