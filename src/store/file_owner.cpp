#include "store/file_owner.h"

#include <QDateTime>
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

std::vector<char> encode(std::int64_t birthTime) {
    std::vector<char> bytes(kMagic, kMagic + 4);
    put(bytes, std::uint64_t(birthTime));
    put(bytes, recoveryfile::checksum(bytes));
    return bytes;
}

std::optional<std::int64_t> decode(const char* bytes, std::int64_t size) {
    if (size < kMarkSize || std::memcmp(bytes, kMagic, 4) != 0) return std::nullopt;
    if (recoveryfile::checksum(std::span(bytes, 12)) != get(bytes + 12)) return std::nullopt;
    return std::int64_t(get(bytes + 4));
}

bool belongs(std::optional<std::int64_t> recorded, std::int64_t current) {
    return !recorded || *recorded == 0 || current == 0 || *recorded == current;
}

std::int64_t birthTimeOf(FileSystem& fileSystem, const QString& dataFile) {
    if (!fileSystem.exists(dataFile)) return 0;
    int error = 0;
    const auto file = fileSystem.open(dataFile, error);
    return file ? file->birthTime() : 0;
}

std::optional<std::int64_t> readMark(FileSystem& fileSystem, const QString& path) {
    if (!fileSystem.exists(path)) return std::nullopt;
    int error = 0;
    auto file = fileSystem.open(path, error);
    char bytes[kMarkSize];
    std::int64_t got = 0;
    if (!file || !file->readAt(0, bytes, kMarkSize, got)) return std::nullopt;
    return decode(bytes, got);
}

QString asideName(FileSystem& fileSystem, const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = path + QStringLiteral(".autre-fichier-") + stamp;
    for (int n = 2; fileSystem.exists(name); ++n) name = path + QStringLiteral(".autre-fichier-%1-%2").arg(stamp).arg(n);
    return name;
}

}  // namespace fileowner
