#include "store/save_journal.h"

#include "store/card_history.h"
#include "store/file_places.h"
#include "store/store_error.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace savejournal {
namespace {

using recoveryfile::Kind;
using recoveryfile::Record;

// Whether the data file is the one the save was writing, as the save left
// it: a length between the old and the new, and every byte of the checked
// range that it still holds (the range begins before the save's first byte
// wherever the file had one) either the old one or the new one. Nothing is
// asked of the bytes past the old end: a crash may leave them zeroed, stale
// or half written, and putting the file back cuts them off anyway. Where the
// range is empty (the file was empty, or a second-version file added to its
// end), the file's identity is all there is to tell it from another.
bool belongsTo(const Record& record, RandomAccessFile& data) {
    if (record.previous.empty()) {
        const FileIdentity now = data.identity();
        if (record.identity.known && now.known && !(record.identity == now)) return false;
    }
    std::int64_t size = 0;
    if (!data.size(size) || size < std::min(record.originalSize, record.newSize) ||
        size > std::max(record.originalSize, record.newSize)) {
        return false;
    }
    const std::int64_t held = std::clamp<std::int64_t>(size - record.start, 0, std::int64_t(record.previous.size()));
    std::vector<char> bytes(std::size_t(held), '\0');
    std::int64_t got = 0;
    if (!data.readAt(record.start, bytes.data(), held, got) || got != held) return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != record.previous[i] && bytes[i] != record.writtenOver[i]) return false;
    }
    return true;
}

QString historyPath(FileSystem& fileSystem, const QString& dataFile, Record::History history) {
    switch (history) {
        case Record::History::beside: return cardhistory::besidePath(fileSystem, dataFile);
        case Record::History::usersFolder: return cardhistory::fallbackPath(fileSystem, dataFile);
        case Record::History::none: break;
    }
    return {};
}

// The data file as it was before the save, and its card history with it.
bool putBack(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& data, const Record& record,
             int& error) {
    if (!data.writeAt(record.start, record.previous.data(), std::int64_t(record.previous.size())) ||
        !data.truncate(record.originalSize) || !data.sync()) {
        error = data.error();
        return false;
    }
    const QString history = historyPath(fileSystem, dataFile, record.history);
    if (history.isEmpty() || !fileSystem.exists(history)) return true;
    auto file = fileSystem.open(history, error);
    if (!file) return false;
    // The history in the user's own folder is found by whoever finishes the
    // save: only the one the save added to is cut back.
    if (record.version >= 4 && record.historyIdentity.known && file->identity() != record.historyIdentity) return true;
    std::int64_t size = 0;
    if (!file->size(size) || (size > record.historyLength && (!file->truncate(record.historyLength) || !file->sync()))) {
        error = file->error();
        return false;
    }
    return true;
}

bool readWhole(FileSystem& fileSystem, const QString& path, std::vector<char>& bytes, int& error) {
    auto file = fileSystem.open(path, error);
    if (!file) return false;
    std::int64_t size = 0;
    std::int64_t got = 0;
    if (!file->size(size)) {
        error = file->error();
        return false;
    }
    bytes.resize(std::size_t(std::max<std::int64_t>(size, 0)));
    if (!file->readAt(0, bytes.data(), size, got)) {
        error = file->error();
        return false;
    }
    bytes.resize(std::size_t(got));
    return true;
}

// Makes a recovery file void where it stands: no opening will apply it.
bool voidInPlace(FileSystem& fileSystem, const QString& path, int& error) {
    auto file = fileSystem.open(path, error);
    if (!file) return false;
    if (!file->writeAt(0, recoveryfile::kVoid, 4) || !file->sync()) {
        error = file->error();
        return false;
    }
    return true;
}

// Removes a recovery file that is done with, or voids it where it cannot be
// removed. One already gone is not made again by voiding it.
bool letGo(FileSystem& fileSystem, const QString& path, int& error) {
    if (fileSystem.remove(path, error)) return fileSystem.syncFolderOf(path, error);
    if (error == ENOENT) return true;
    return voidInPlace(fileSystem, path, error);
}

bool isSpent(FileSystem& fileSystem, const QString& path) {
    std::vector<char> bytes;
    Record ignored;
    int error = 0;
    return readWhole(fileSystem, path, bytes, error) && recoveryfile::parse(bytes, ignored) == Kind::none;
}

std::unique_ptr<RandomAccessFile> reopenEmptied(FileSystem& fileSystem, const QString& path, int& error) {
    auto file = fileSystem.open(path, error);
    if (file && !file->truncate(0)) {
        error = file->error();
        file.reset();
    }
    return file;
}

// A new file holding the bytes, on disk for good. A recovery file may take
// the place of a spent one (made void, or cut short) that could not be
// removed, never of one that a save still depends on.
bool writeDurably(FileSystem& fileSystem, const QString& path, const std::vector<char>& bytes, int& error,
                  bool overSpent = false) {
    auto file = fileSystem.create(path, error);
    if (!file && error == EEXIST && overSpent && isSpent(fileSystem, path)) file = reopenEmptied(fileSystem, path, error);
    if (!file) return false;
    if (!file->writeAt(0, bytes.data(), std::int64_t(bytes.size())) || !file->sync()) {
        error = file->error();
        file.reset();
        int ignored = 0;
        fileSystem.remove(path, ignored);
        return false;
    }
    file.reset();
    return fileSystem.syncFolderOf(path, error);
}

// Keeps a recovery file that must not be applied under another name: beside
// itself, or, where its folder refuses, copied into the user's own folder.
// Gives the name it now bears, or nothing when it could be kept nowhere.
std::optional<QString> keepAside(FileSystem& fileSystem, const QString& dataFile, const QString& path,
                                 const std::vector<char>& bytes, int& error) {
    QString aside = fileplaces::asideName(fileSystem, path, QStringLiteral("mis-de-cote"));
    if (fileSystem.rename(path, aside, error)) return aside;
    const QString fallback = fallbackPath(fileSystem, dataFile);
    if (!fileSystem.makeFolder(QFileInfo(fallback).absolutePath(), error)) return std::nullopt;
    aside = fileplaces::asideName(fileSystem, fallback, QStringLiteral("mis-de-cote"));
    if (!writeDurably(fileSystem, aside, bytes, error)) return std::nullopt;
    int ignored = 0;
    letGo(fileSystem, path, ignored);
    return aside;
}

// Why a recovery file was kept aside rather than applied, for the user.
QString whyKeptAside(Kind kind, const QString& dataFile, const QString& aside) {
    switch (kind) {
        case Kind::firstVersion:
            return QStringLiteral("Un fichier de reprise laissé par une version antérieure de Lexicarium a été "
                                  "trouvé pour le fichier de données %1. Cette version ne permet pas de vérifier "
                                  "qu'il lui correspond encore\u00A0: il ne lui a pas été appliqué, et le fichier "
                                  "de données est resté tel quel. Le fichier de reprise a été mis de côté sous le "
                                  "nom %2.")
                .arg(quotedPath(dataFile), quotedPath(aside));
        case Kind::unreadable:
            return QStringLiteral("Un fichier de reprise du fichier de données %1 est illisible\u00A0: il ne lui "
                                  "a pas été appliqué, et le fichier de données est resté tel quel. Le fichier de "
                                  "reprise a été mis de côté sous le nom %2.")
                .arg(quotedPath(dataFile), quotedPath(aside));
        default:
            return QStringLiteral("Un enregistrement du fichier de données %1 avait été interrompu, mais ce "
                                  "fichier a été remplacé ou modifié depuis\u00A0: la reprise ne lui a pas été "
                                  "appliquée et il est resté tel quel. Le fichier de reprise a été mis de côté "
                                  "sous le nom %2.")
                .arg(quotedPath(dataFile), quotedPath(aside));
    }
}

}  // namespace

QString besidePath(FileSystem& fileSystem, const QString& dataFile) {
    return fileplaces::beside(fileSystem, dataFile, QStringLiteral(".sauvegarde-en-cours"));
}

QString fallbackPath(FileSystem& fileSystem, const QString& dataFile) {
    return fileplaces::inUsersFolder(fileSystem, dataFile, QStringLiteral("sauvegardes-en-cours"),
                                     QStringLiteral(".sauvegarde-en-cours"));
}

bool anyFor(FileSystem& fileSystem, const QString& dataFile) {
    return fileSystem.exists(besidePath(fileSystem, dataFile)) || fileSystem.exists(fallbackPath(fileSystem, dataFile));
}

std::optional<Journal> Journal::begin(FileSystem& fileSystem, const QString& dataFile, const Record& record,
                                      int& error) {
    const std::vector<char> bytes = recoveryfile::encode(record);
    const QString beside = besidePath(fileSystem, dataFile);
    if (writeDurably(fileSystem, beside, bytes, error, true)) return Journal(fileSystem, dataFile, beside);
    if (!fileplaces::refusesNewFiles(error)) return std::nullopt;
    const QString fallback = fallbackPath(fileSystem, dataFile);
    int fallbackError = 0;
    if (fileSystem.makeFolder(QFileInfo(fallback).absolutePath(), fallbackError) &&
        writeDurably(fileSystem, fallback, bytes, fallbackError, true)) {
        return Journal(fileSystem, dataFile, fallback);
    }
    return std::nullopt;  // the data file's own folder gave the cause the user can act on
}

bool Journal::commit(int& error) { return letGo(*m_fileSystem, m_path, error); }

bool Journal::rollBack(RandomAccessFile& data, const Record& record) {
    int error = 0;
    if (!putBack(*m_fileSystem, m_dataFile, data, record, error)) return false;
    int ignored = 0;
    letGo(*m_fileSystem, m_path, ignored);  // a recovery file left over now matches the file and changes nothing
    return true;
}

bool recover(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& data, QStringList& notices,
             int& error) {
    for (const QString& path : {besidePath(fileSystem, dataFile), fallbackPath(fileSystem, dataFile)}) {
        if (!fileSystem.exists(path)) continue;
        std::vector<char> bytes;
        if (!readWhole(fileSystem, path, bytes, error)) return false;
        Record record;
        const Kind kind = recoveryfile::parse(bytes, record);
        int ignored = 0;
        if (kind == Kind::none) {
            // Cut short before the data file was touched, or made void.
            fileSystem.remove(path, ignored);
            continue;
        }
        if (kind == Kind::record && belongsTo(record, data)) {
            if (!putBack(fileSystem, dataFile, data, record, error)) return false;
            letGo(fileSystem, path, ignored);
            continue;
        }
        const auto aside = keepAside(fileSystem, dataFile, path, bytes, error);
        if (!aside) return false;
        notices.append(whyKeptAside(kind, dataFile, *aside));
    }
    return true;
}

}  // namespace savejournal
