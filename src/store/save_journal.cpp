#include "store/save_journal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "store/native_file.h"

namespace savejournal {
namespace {

constexpr char kMagic[4] = {'L', 'X', 'J', '1'};
constexpr std::size_t kHeader = 4 + 3 * 8;

std::uint64_t checksum(const char* data, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 0x100000001b3ULL;
    }
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

// The undo record a complete recovery file holds; false for a recovery file
// cut short, whose save never touched the data file.
bool parse(const std::vector<char>& bytes, Undo& undo) {
    if (bytes.size() < kHeader + 8 || std::memcmp(bytes.data(), kMagic, 4) != 0) return false;
    const std::uint64_t length = get(bytes.data() + 20);
    if (length != bytes.size() - kHeader - 8) return false;
    if (checksum(bytes.data(), bytes.size() - 8) != get(bytes.data() + bytes.size() - 8)) return false;
    undo.originalSize = std::int64_t(get(bytes.data() + 4));
    undo.start = std::int64_t(get(bytes.data() + 12));
    undo.previous.assign(bytes.begin() + kHeader, bytes.end() - 8);
    return undo.originalSize >= 0 && undo.start >= 0;
}

}  // namespace

QString pathFor(const QString& dataFile) { return dataFile + QStringLiteral(".sauvegarde-en-cours"); }

bool begin(FileSystem& fileSystem, const QString& dataFile, const Undo& undo, int& error) {
    std::vector<char> bytes(kMagic, kMagic + 4);
    put(bytes, std::uint64_t(undo.originalSize));
    put(bytes, std::uint64_t(undo.start));
    put(bytes, undo.previous.size());
    bytes.insert(bytes.end(), undo.previous.begin(), undo.previous.end());
    put(bytes, checksum(bytes.data(), bytes.size()));

    const QString path = pathFor(dataFile);
    auto journal = fileSystem.create(path, error);
    if (!journal) return false;
    if (!journal->writeAt(0, bytes.data(), std::int64_t(bytes.size())) || !journal->sync()) {
        error = journal->error();
        journal.reset();
        int ignored = 0;
        fileSystem.remove(path, ignored);
        return false;
    }
    journal.reset();
    return fileSystem.syncFolderOf(path, error);
}

bool end(FileSystem& fileSystem, const QString& dataFile, int& error) {
    const QString path = pathFor(dataFile);
    return fileSystem.remove(path, error) && fileSystem.syncFolderOf(path, error);
}

bool undo(RandomAccessFile& data, const Undo& record) {
    return data.writeAt(record.start, record.previous.data(), std::int64_t(record.previous.size())) &&
           data.truncate(record.originalSize) && data.sync();
}

bool recover(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& data, int& error) {
    const QString path = pathFor(dataFile);
    if (!fileSystem.exists(path)) return true;
    auto journal = fileSystem.open(path, error);
    if (!journal) return false;
    std::int64_t size = 0;
    if (!journal->size(size)) {
        error = journal->error();
        return false;
    }
    std::vector<char> bytes(std::size_t(std::max<std::int64_t>(size, 0)));
    std::int64_t got = 0;
    if (!journal->readAt(0, bytes.data(), size, got)) {
        error = journal->error();
        return false;
    }
    bytes.resize(std::size_t(got));
    journal.reset();
    Undo record;
    if (parse(bytes, record) && !undo(data, record)) {
        error = data.error();
        return false;
    }
    return end(fileSystem, dataFile, error);
}

}  // namespace savejournal
