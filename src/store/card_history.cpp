#include "store/card_history.h"

#include <algorithm>
#include <cstring>

#include "store/file_owner.h"
#include "store/file_places.h"
#include "store/recovery_file.h"
#include "store/store_error.h"

namespace cardhistory {
namespace {

constexpr char kMagic[4] = {'L', 'X', 'H', '1'};
constexpr std::int64_t kHeader = 4 + 4 + 8 + 1 + 1;
constexpr std::int64_t kChecksum = 8;
constexpr std::int64_t kWindow = 1 << 20;  // read a megabyte at a time

void put(std::vector<char>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

std::uint64_t get(const char* in, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(in[i]);
    return value;
}

// What an entry's header says, where it looks like one.
struct Header {
    std::int32_t number;
    std::int64_t when;
    Action action;
    bool present;
    std::int64_t size() const { return kHeader + (present ? Module1::kSlotSize : 0) + kChecksum; }
};

std::optional<Header> headerAt(const char* at) {
    if (std::memcmp(at, kMagic, 4) != 0) return std::nullopt;
    const auto number = std::int32_t(get(at + 4, 4));
    const auto action = static_cast<unsigned char>(at[16]);
    const auto present = static_cast<unsigned char>(at[17]);
    if (number < 1 || action < 1 || action > 4 || present > 1) return std::nullopt;
    return Header{number, std::int64_t(get(at + 8, 8)), Action(action), present == 1};
}

bool checksumHolds(const char* entry, std::int64_t size) {
    const auto body = std::size_t(size - kChecksum);
    return recoveryfile::checksum(std::span(entry, body)) == get(entry + body, 8);
}

// The history file read a window at a time, so that walking a large one
// asks the system for a megabyte at once rather than for each entry.
class Window {
public:
    Window(RandomAccessFile& file, std::int64_t size)
        : m_file(file), m_size(size), m_bytes(std::size_t(std::min(kWindow, size))) {}

    // The bytes [offset, offset + length), or null past the end.
    const char* at(std::int64_t offset, std::int64_t length) {
        if (offset + length > m_size) return nullptr;
        if (offset < m_start || offset + length > m_start + m_held) {
            std::int64_t got = 0;
            if (!m_file.readAt(offset, m_bytes.data(), std::min(kWindow, m_size - offset), got)) {
                throw StoreError(QStringLiteral("L'historique des fiches n'a pas pu être lu\u00A0: %1.")
                                     .arg(describeSystemError(m_file.error())));
            }
            m_start = offset;
            m_held = got;
            if (offset + length > m_start + m_held) return nullptr;
        }
        return m_bytes.data() + (offset - m_start);
    }

private:
    RandomAccessFile& m_file;
    std::int64_t m_size;
    std::vector<char> m_bytes;
    std::int64_t m_start = 0;
    std::int64_t m_held = 0;
};

// The entry at offset once its checksum holds: its length is not trusted before.
std::optional<Header> wholeEntryAt(Window& window, std::int64_t offset, const char*& entry) {
    const char* at = window.at(offset, kHeader);
    const auto header = at ? headerAt(at) : std::nullopt;
    entry = header ? window.at(offset, header->size()) : nullptr;
    if (!entry || !checksumHolds(entry, header->size())) return std::nullopt;
    return header;
}

// The entries of card `number` in one history file, in the order written.
// No entry's length is taken unchecked: the card's own entries are held to
// their checksums; another card's, which are only passed over, to a whole
// header or the end of the file right after them (an entry torn by a crash
// has neither), and to their checksum where that fails. A torn or damaged
// entry is passed over, and reading goes on at the next whole entry.
template <typename Each>
void walk(RandomAccessFile& file, std::int64_t size, std::int32_t number, Each each) {
    Window window(file, size);
    const char* mark = window.at(0, fileowner::kMarkSize);
    std::int64_t offset = mark && fileowner::decode(mark, fileowner::kMarkSize) ? fileowner::kMarkSize : 0;
    while (offset < size) {
        const char* at = window.at(offset, kHeader);
        const auto header = at ? headerAt(at) : std::nullopt;
        bool whole = false;
        if (header && header->number == number) {
            const char* entry = window.at(offset, header->size());
            whole = entry && checksumHolds(entry, header->size());
            if (whole) each(*header, entry);
        } else if (header) {
            const std::int64_t next = offset + header->size();
            const char* follower = next < size ? window.at(next, kHeader) : nullptr;
            whole = next == size || (follower && headerAt(follower));
            if (!whole) {
                const char* entry = window.at(offset, header->size());
                whole = entry && checksumHolds(entry, header->size());
            }
        }
        if (whole) {
            offset += header->size();
            continue;
        }
        const char* entry = nullptr;
        ++offset;
        while (offset + kHeader + kChecksum <= size && !wholeEntryAt(window, offset, entry)) ++offset;
        if (offset + kHeader + kChecksum > size) break;
    }
}

QString foreignHistory(const QString& path) {
    return QStringLiteral("L'historique %1 est celui d'un autre fichier de données, qui portait ce nom avant d'être "
                          "renommé ou remplacé\u00A0: ses versions ne sont pas proposées pour ce fichier.")
        .arg(quotedPath(path));
}

}  // namespace

QString describe(Action action) {
    switch (action) {
        case Action::edition: return QStringLiteral("Enregistrement (fenêtre Édition)");
        case Action::correction: return QStringLiteral("Correction (fenêtre Fiche)");
        case Action::import: return QStringLiteral("Importation");
        case Action::restoration: return QStringLiteral("Rétablissement d'une copie");
    }
    return {};
}

QString besidePath(FileSystem& fileSystem, const QString& dataFile) {
    return fileplaces::beside(fileSystem, dataFile, QStringLiteral(".historique"));
}

QString fallbackPath(FileSystem& fileSystem, const QString& dataFile) {
    return fileplaces::inUsersFolder(fileSystem, dataFile, QStringLiteral("historiques"), QStringLiteral(".historique"));
}

std::vector<char> encode(const Version& version) {
    std::vector<char> bytes(kMagic, kMagic + 4);
    bytes.reserve(std::size_t(kHeader + Module1::kSlotSize + kChecksum));
    put(bytes, std::uint32_t(version.number), 4);
    put(bytes, std::uint64_t(version.when.toMSecsSinceEpoch()), 8);
    put(bytes, std::uint8_t(version.action), 1);
    put(bytes, version.slot ? 1 : 0, 1);
    if (version.slot) bytes.insert(bytes.end(), version.slot->begin(), version.slot->end());
    put(bytes, recoveryfile::checksum(bytes), 8);
    return bytes;
}

std::vector<Version> versionsOf(FileSystem& fileSystem, const QString& dataFile, std::int32_t number) {
    std::vector<Version> versions;
    const fileowner::Owner owner = fileowner::ownerOf(fileSystem, dataFile);
    QString foreign;
    bool own = false;
    for (const QString& path : {besidePath(fileSystem, dataFile), fallbackPath(fileSystem, dataFile)}) {
        if (!fileSystem.exists(path)) continue;
        if (!fileowner::belongs(fileowner::readMark(fileSystem, path), owner)) {
            foreign = path;
            continue;
        }
        own = true;
        int error = 0;
        auto file = fileSystem.open(path, error);
        std::int64_t size = 0;
        if (file && !file->size(size)) error = file->error();
        if (!file || error != 0) {
            throw StoreError(QStringLiteral("L'historique des fiches %1 n'a pas pu être lu\u00A0: %2.")
                                 .arg(quotedPath(path), describeSystemError(error)));
        }
        walk(*file, size, number, [&](const Header& header, const char* entry) {
            Version version{number, QDateTime::fromMSecsSinceEpoch(header.when), header.action, std::nullopt};
            if (header.present) {
                version.slot.emplace();
                std::memcpy(version.slot->data(), entry + kHeader, std::size_t(Module1::kSlotSize));
            }
            versions.push_back(std::move(version));
        });
    }
    if (!own && !foreign.isEmpty()) throw StoreError(foreignHistory(foreign));
    // Newest first; both places may hold entries (the one beside the file
    // became read-only), so they are put in order across the two.
    std::reverse(versions.begin(), versions.end());
    std::stable_sort(versions.begin(), versions.end(),
                     [](const Version& a, const Version& b) { return a.when > b.when; });
    return versions;
}

}  // namespace cardhistory
