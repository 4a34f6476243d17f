#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "store/native_file.h"
#include "store/recovery_file.h"

// Where a save's recovery file stands, when it is applied to the data file,
// and what becomes of one that must not be.
namespace savejournal {

// Beside the data file: <data file>.sauvegarde-en-cours.
QString besidePath(FileSystem& fileSystem, const QString& dataFile);
// In the user's own application-data folder, named after the data file's
// one full name: where the data file's folder refuses new files.
QString fallbackPath(FileSystem& fileSystem, const QString& dataFile);

// The recovery file of one save under way.
class Journal {
public:
    // Creates the recovery file, which must not exist yet, and makes it
    // durable: beside the data file or, where that folder refuses new files,
    // in the user's own folder. Empty, with the cause in error, when neither
    // place takes it.
    static std::optional<Journal> begin(FileSystem& fileSystem, const QString& dataFile,
                                        const recoveryfile::Record& record, int& error);

    // The save is written and synced: the recovery file goes, or, where it
    // cannot be removed, is made void in place so that no opening applies it.
    // False when neither could be done: the save must then be rolled back.
    bool commit(int& error);

    // Puts back what the save overwrote, and the card history as it was,
    // then lets the recovery file go.
    // False when the data file could not be put back: the recovery file then
    // stays, for the next opening to finish the work.
    bool rollBack(RandomAccessFile& data, const recoveryfile::Record& record);

private:
    Journal(FileSystem& fileSystem, QString dataFile, QString path)
        : m_fileSystem(&fileSystem), m_dataFile(std::move(dataFile)), m_path(std::move(path)) {}

    FileSystem* m_fileSystem;
    QString m_dataFile;
    QString m_path;
};

// Looks for the data file's recovery files in both places. One that belongs
// to the file as it is now (its lengths and the bytes of the range the save
// wrote agree) is applied: the file is put back as it was before the save
// cut short. One that does not, or that cannot be checked, is kept aside
// under another name, leaving the data file byte for byte as it is, and a
// French notice for the user says why and where it was put. Recovery files
// cut short or made void are removed. False, with the cause in error, when
// the data file could not be put back or a recovery file could not be kept
// aside; nothing is lost.
bool recover(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& data, QStringList& notices,
             int& error);

// Whether either place holds a recovery file for the data file.
bool anyFor(FileSystem& fileSystem, const QString& dataFile);

}  // namespace savejournal
