#include "store/save_journal.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace savejournal {
namespace {

// A recovery file: the magic, nine numbers, what the save overwrote, what it
// wrote over it, a checksum for each piece it wrote past the old end of the
// file, and a checksum of all that. A file cut short, or voided by zeroing
// its magic, is no recovery file.
constexpr char kMagic[4] = {'L', 'X', 'J', '2'};
// The first version held no identity: it cannot say whether it belongs to
// the file it lies beside, so it is never applied.
constexpr char kFirstVersion[4] = {'L', 'X', 'J', '1'};
constexpr char kVoid[4] = {};
constexpr std::size_t kHeader = 4 + 8 * 8;
constexpr std::int64_t kPiece = 4096;  // bytes written past the old end per checksum

// What the first version checked its recovery files with: FNV-1a.
std::uint64_t firstVersionChecksum(const char* data, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ULL;
    return hash;
}

// FNV-1a over eight bytes at a time: an import checks 92 MB with it.
std::uint64_t checksum(const char* data, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * 0x100000001b3ULL;
        hash ^= hash >> 29;
    }
    for (; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ULL;
    return hash;
}

void put(std::vector<char>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

std::uint64_t get(const char* in) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(in[i]);
    return value;
}

// What a complete recovery file says.
struct Record {
    FileIdentity identity;
    std::int64_t originalSize = 0;
    std::int64_t newSize = 0;
    std::int64_t start = 0;
    std::vector<char> previous;
    std::vector<char> writtenOver;          // what the save wrote over `previous`
    std::vector<std::uint64_t> pieceSums;  // of what it wrote past the old end
    std::int64_t extension() const { return newSize - originalSize; }
};

std::vector<char> encode(const Change& change) {
    const auto overlap = std::int64_t(change.previous.size());
    const std::int64_t newSize = std::max(change.originalSize, change.start + std::int64_t(change.written.size()));
    const std::span<const char> beyond = change.written.subspan(std::size_t(overlap));
    const std::int64_t pieces = (std::int64_t(beyond.size()) + kPiece - 1) / kPiece;

    std::vector<char> bytes(kMagic, kMagic + 4);
    bytes.reserve(kHeader + 2 * std::size_t(overlap) + 8 * std::size_t(pieces) + 8);
    put(bytes, change.identity.known ? 1 : 0);
    put(bytes, change.identity.volume);
    put(bytes, change.identity.file);
    put(bytes, std::uint64_t(change.originalSize));
    put(bytes, std::uint64_t(newSize));
    put(bytes, std::uint64_t(change.start));
    put(bytes, std::uint64_t(overlap));
    put(bytes, std::uint64_t(pieces));
    bytes.insert(bytes.end(), change.previous.begin(), change.previous.end());
    bytes.insert(bytes.end(), change.written.begin(), change.written.begin() + overlap);
    for (std::int64_t piece = 0; piece < pieces; ++piece) {
        const std::span<const char> part = beyond.subspan(std::size_t(piece * kPiece));
        put(bytes, checksum(part.data(), std::min<std::size_t>(part.size(), kPiece)));
    }
    put(bytes, checksum(bytes.data(), bytes.size()));
    return bytes;
}

enum class Kind { none, record, firstVersion };

bool complete(const std::vector<char>& bytes, std::uint64_t (*sum)(const char*, std::size_t)) {
    return bytes.size() >= 12 && sum(bytes.data(), bytes.size() - 8) == get(bytes.data() + bytes.size() - 8);
}

Kind parse(const std::vector<char>& bytes, Record& record) {
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), kFirstVersion, 4) == 0) {
        return complete(bytes, firstVersionChecksum) ? Kind::firstVersion : Kind::none;
    }
    if (bytes.size() < kHeader + 8 || std::memcmp(bytes.data(), kMagic, 4) != 0 || !complete(bytes, checksum)) {
        return Kind::none;
    }
    const char* at = bytes.data() + 4;
    const auto next = [&at] {
        const std::uint64_t value = get(at);
        at += 8;
        return value;
    };
    record.identity.known = next() != 0;
    record.identity.volume = next();
    record.identity.file = next();
    record.originalSize = std::int64_t(next());
    record.newSize = std::int64_t(next());
    record.start = std::int64_t(next());
    const std::uint64_t overlap = next();
    const std::uint64_t pieces = next();
    if (overlap > bytes.size() || pieces > bytes.size() ||
        kHeader + 2 * overlap + 8 * pieces + 8 != bytes.size()) {
        return Kind::none;
    }
    record.previous.assign(at, at + overlap);
    record.writtenOver.assign(at + overlap, at + 2 * overlap);
    at += 2 * overlap;
    for (std::uint64_t piece = 0; piece < pieces; ++piece) record.pieceSums.push_back(next());
    const bool sane = record.originalSize >= 0 && record.start >= 0 && record.newSize >= record.originalSize &&
                      record.start + std::int64_t(overlap) <= record.originalSize &&
                      std::int64_t(pieces) == (record.extension() + kPiece - 1) / kPiece;
    return sane ? Kind::record : Kind::none;
}

// Whether the data file is the one the save was writing, as the save left
// it: the same file, a length between the old and the new, every byte it
// overwrote either the old one or the new one, and every whole piece past
// the old end the one it wrote there or never written (zeros).
bool belongsTo(const Record& record, RandomAccessFile& data) {
    const FileIdentity now = data.identity();
    if (record.identity.known && now.known && !(record.identity == now)) return false;
    std::int64_t size = 0;
    if (!data.size(size) || size < record.originalSize || size > record.newSize) return false;

    std::vector<char> bytes(record.previous.size());
    std::int64_t got = 0;
    if (!data.readAt(record.start, bytes.data(), std::int64_t(bytes.size()), got) || got != std::int64_t(bytes.size())) {
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != record.previous[i] && bytes[i] != record.writtenOver[i]) return false;
    }

    std::vector<char> piece(kPiece);
    const std::int64_t present = size - record.originalSize;
    for (std::size_t index = 0; index < record.pieceSums.size(); ++index) {
        const std::int64_t from = std::int64_t(index) * kPiece;
        const std::int64_t length = std::min(kPiece, record.extension() - from);
        if (from + length > present) break;  // cut where the save stopped: nothing to compare
        if (!data.readAt(record.originalSize + from, piece.data(), length, got) || got != length) return false;
        const bool neverWritten = std::all_of(piece.begin(), piece.begin() + length, [](char b) { return b == 0; });
        if (!neverWritten && checksum(piece.data(), std::size_t(length)) != record.pieceSums[index]) return false;
    }
    return true;
}

bool putBack(RandomAccessFile& data, std::int64_t start, const std::vector<char>& previous, std::int64_t size) {
    return data.writeAt(start, previous.data(), std::int64_t(previous.size())) && data.truncate(size) && data.sync();
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
    if (!file->writeAt(0, kVoid, 4) || !file->sync()) {
        error = file->error();
        return false;
    }
    return true;
}

// Removes a recovery file that is done with, or voids it where it cannot be removed.
bool letGo(FileSystem& fileSystem, const QString& path, int& error) {
    if (fileSystem.remove(path, error)) return fileSystem.syncFolderOf(path, error);
    return voidInPlace(fileSystem, path, error);
}

bool refusesNewFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }

bool writeDurably(FileSystem& fileSystem, const QString& path, const std::vector<char>& bytes, int& error) {
    auto file = fileSystem.create(path, error);
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

QString asideName(FileSystem& fileSystem, const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = path + QStringLiteral(".mis-de-cote-") + stamp;
    for (int n = 2; fileSystem.exists(name); ++n) name = path + QStringLiteral(".mis-de-cote-%1-%2").arg(stamp).arg(n);
    return name;
}

// Keeps a recovery file that must not be applied under another name: beside
// itself, or, where its folder refuses, copied into the user's own folder.
// Gives the name it now bears, or nothing when it could be kept nowhere.
std::optional<QString> keepAside(FileSystem& fileSystem, const QString& dataFile, const QString& path,
                                 const std::vector<char>& bytes, int& error) {
    QString aside = asideName(fileSystem, path);
    if (fileSystem.rename(path, aside, error)) return aside;
    const QString fallback = fallbackPath(dataFile);
    if (!fileSystem.makeFolder(QFileInfo(fallback).absolutePath(), error)) return std::nullopt;
    aside = asideName(fileSystem, fallback);
    if (!writeDurably(fileSystem, aside, bytes, error)) return std::nullopt;
    int ignored = 0;
    letGo(fileSystem, path, ignored);
    return aside;
}

QString quoted(const QString& path) { return QStringLiteral("«\u00A0%1\u00A0»").arg(QDir::toNativeSeparators(path)); }

}  // namespace

QString besidePath(const QString& dataFile) { return dataFile + QStringLiteral(".sauvegarde-en-cours"); }

QString fallbackPath(const QString& dataFile) {
    QString fullPath = QFileInfo(dataFile).absoluteFilePath();
#ifdef _WIN32
    fullPath = fullPath.toLower();  // one file, however its path is spelt
#endif
    const QByteArray hash = QCryptographicHash::hash(fullPath.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("sauvegardes-en-cours/%1-%2.sauvegarde-en-cours")
                                     .arg(QFileInfo(dataFile).fileName(), QString::fromLatin1(hash)));
}

bool anyFor(FileSystem& fileSystem, const QString& dataFile) {
    return fileSystem.exists(besidePath(dataFile)) || fileSystem.exists(fallbackPath(dataFile));
}

std::optional<Journal> Journal::begin(FileSystem& fileSystem, const QString& dataFile, const Change& change,
                                      int& error) {
    const std::vector<char> bytes = encode(change);
    const QString beside = besidePath(dataFile);
    if (writeDurably(fileSystem, beside, bytes, error)) return Journal(fileSystem, beside);
    if (!refusesNewFiles(error)) return std::nullopt;
    const QString fallback = fallbackPath(dataFile);
    int fallbackError = 0;
    if (fileSystem.makeFolder(QFileInfo(fallback).absolutePath(), fallbackError) &&
        writeDurably(fileSystem, fallback, bytes, fallbackError)) {
        return Journal(fileSystem, fallback);
    }
    return std::nullopt;  // the data file's own folder gave the cause the user can act on
}

bool Journal::commit(int& error) { return letGo(*m_fileSystem, m_path, error); }

bool Journal::rollBack(RandomAccessFile& data, const Change& change) {
    if (!putBack(data, change.start, change.previous, change.originalSize)) return false;
    int ignored = 0;
    letGo(*m_fileSystem, m_path, ignored);  // a recovery file left over now matches the file and changes nothing
    return true;
}

bool recover(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& data, QStringList& notices,
             int& error) {
    for (const QString& path : {besidePath(dataFile), fallbackPath(dataFile)}) {
        if (!fileSystem.exists(path)) continue;
        std::vector<char> bytes;
        if (!readWhole(fileSystem, path, bytes, error)) return false;
        Record record;
        const Kind kind = parse(bytes, record);
        int ignored = 0;
        if (kind == Kind::none) {
            // Cut short before the data file was touched, or made void.
            fileSystem.remove(path, ignored);
            continue;
        }
        if (kind == Kind::record && belongsTo(record, data)) {
            if (!putBack(data, record.start, record.previous, record.originalSize)) {
                error = data.error();
                return false;
            }
            letGo(fileSystem, path, ignored);
            continue;
        }
        const auto aside = keepAside(fileSystem, dataFile, path, bytes, error);
        if (!aside) return false;
        notices.append(QStringLiteral("Un enregistrement du fichier de données %1 avait été interrompu, mais ce "
                                      "fichier a été remplacé ou modifié depuis\u00A0: la reprise ne lui a pas été "
                                      "appliquée et il est resté tel quel. Le fichier de reprise a été mis de côté "
                                      "sous le nom %2.")
                           .arg(quoted(dataFile), quoted(*aside)));
    }
    return true;
}

}  // namespace savejournal
