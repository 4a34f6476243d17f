#include "store/file_owner.h"

#include <cstring>

#include "store/recovery_file.h"

namespace fileowner {
namespace {

constexpr char kMagic[4] = {'L', 'X', 'O', '1'};

void put(std::vector<char>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

std::uint64_t get(const char* in) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(in[i]);
    return value;
}

}  // namespace

std::vector<char> encode(const Owner& owner) {
    std::vector<char> bytes(kMagic, kMagic + 4);
    put(bytes, std::uint64_t(owner.birthTime));
    put(bytes, owner.identity.known ? 1 : 0);
    put(bytes, owner.identity.volume);
    put(bytes, owner.identity.file);
    put(bytes, recoveryfile::checksum(bytes));
    return bytes;
}

std::optional<Owner> decode(const char* bytes, std::int64_t size) {
    if (size < kMarkSize || std::memcmp(bytes, kMagic, 4) != 0) return std::nullopt;
    if (recoveryfile::checksum(std::span(bytes, std::size_t(kMarkSize - 8))) != get(bytes + kMarkSize - 8)) {
        return std::nullopt;
    }
    return Owner{std::int64_t(get(bytes + 4)), FileIdentity{get(bytes + 12) != 0, get(bytes + 20), get(bytes + 28)}};
}

bool belongs(const std::optional<Owner>& recorded, const Owner& current) {
    if (!recorded) return true;
    const bool bornElsewhen = recorded->birthTime != 0 && current.birthTime != 0 && recorded->birthTime != current.birthTime;
    const bool anotherFile = recorded->identity.known && current.identity.known && recorded->identity != current.identity;
    return !(bornElsewhen && anotherFile);
}

Owner ownerOf(RandomAccessFile& dataFile) { return {dataFile.birthTime(), dataFile.identity()}; }

Owner ownerOf(FileSystem& fileSystem, const QString& dataFile) {
    if (!fileSystem.exists(dataFile)) return {};
    int error = 0;
    const auto file = fileSystem.open(dataFile, error);
    return file ? ownerOf(*file) : Owner{};
}

std::optional<Owner> readMark(FileSystem& fileSystem, const QString& path) {
    if (!fileSystem.exists(path)) return std::nullopt;
    int error = 0;
    auto file = fileSystem.open(path, error);
    char bytes[kMarkSize];
    std::int64_t got = 0;
    if (!file || !file->readAt(0, bytes, kMarkSize, got)) return std::nullopt;
    return decode(bytes, got);
}

}  // namespace fileowner
