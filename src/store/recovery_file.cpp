#include "store/recovery_file.h"

#include <cstring>

namespace recoveryfile {
namespace {

constexpr char kFourth[4] = {'L', 'X', 'J', '4'};
constexpr char kThird[4] = {'L', 'X', 'J', '3'};
constexpr char kSecond[4] = {'L', 'X', 'J', '2'};
constexpr char kFirst[4] = {'L', 'X', 'J', '1'};
constexpr std::size_t kFourthHeader = 4 + 12 * 8;
constexpr std::size_t kThirdHeader = 4 + 9 * 8;
constexpr std::size_t kSecondHeader = 4 + 8 * 8;
constexpr std::uint64_t kPiece = 4096;  // second version: bytes past the old end per checksum
// No data file comes near this length; a recovery file saying more was not
// written by a save, and its numbers must not be added up.
constexpr std::uint64_t kLongest = std::uint64_t(1) << 52;

// What the first version checked its recovery files with: FNV-1a.
std::uint64_t firstVersionChecksum(const char* data, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ULL;
    return hash;
}

// FNV-1a over eight bytes at a time: an import checks megabytes with it.
std::uint64_t wordChecksum(const char* data, std::size_t size) {
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

bool complete(std::span<const char> bytes, std::uint64_t (*sum)(const char*, std::size_t)) {
    return bytes.size() >= 12 && sum(bytes.data(), bytes.size() - 8) == get(bytes.data() + bytes.size() - 8);
}

bool startsWith(std::span<const char> bytes, const char (&magic)[4]) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), magic, 4) == 0;
}

}  // namespace

std::vector<char> encode(const Record& record) {
    std::vector<char> bytes(kFourth, kFourth + 4);
    bytes.reserve(kFourthHeader + 2 * record.previous.size() + 8);
    put(bytes, record.identity.known ? 1 : 0);
    put(bytes, record.identity.volume);
    put(bytes, record.identity.file);
    put(bytes, std::uint64_t(record.originalSize));
    put(bytes, std::uint64_t(record.newSize));
    put(bytes, std::uint64_t(record.start));
    put(bytes, std::uint64_t(record.history));
    put(bytes, std::uint64_t(record.historyLength));
    put(bytes, record.historyIdentity.known ? 1 : 0);
    put(bytes, record.historyIdentity.volume);
    put(bytes, record.historyIdentity.file);
    put(bytes, std::uint64_t(record.previous.size()));
    bytes.insert(bytes.end(), record.previous.begin(), record.previous.end());
    bytes.insert(bytes.end(), record.writtenOver.begin(), record.writtenOver.end());
    put(bytes, wordChecksum(bytes.data(), bytes.size()));
    return bytes;
}

std::uint64_t checksum(std::span<const char> bytes) { return wordChecksum(bytes.data(), bytes.size()); }

Kind parse(std::span<const char> bytes, Record& record) {
    if (startsWith(bytes, kFirst)) return complete(bytes, firstVersionChecksum) ? Kind::firstVersion : Kind::none;
    const bool fourth = startsWith(bytes, kFourth);
    const bool third = fourth || startsWith(bytes, kThird);  // the fourth reads as the third, and more
    if (!third && !startsWith(bytes, kSecond)) return Kind::none;
    const std::size_t header = fourth ? kFourthHeader : third ? kThirdHeader : kSecondHeader;
    if (bytes.size() < header + 8 || !complete(bytes, wordChecksum)) return Kind::none;

    const char* at = bytes.data() + 4;
    const auto next = [&at] {
        const std::uint64_t value = get(at);
        at += 8;
        return value;
    };
    record.version = fourth ? 4 : third ? 3 : 2;
    record.identity.known = next() != 0;
    record.identity.volume = next();
    record.identity.file = next();
    const std::uint64_t originalSize = next();
    const std::uint64_t newSize = next();
    const std::uint64_t start = next();
    const std::uint64_t history = third ? next() : 0;
    const std::uint64_t historyLength = third ? next() : 0;
    if (fourth) {
        record.historyIdentity.known = next() != 0;
        record.historyIdentity.volume = next();
        record.historyIdentity.file = next();
    }
    const std::uint64_t overlap = next();
    const std::uint64_t pieces = third ? 0 : next();
    if (originalSize > kLongest || newSize > kLongest || start > kLongest || historyLength > kLongest ||
        history > 2 || overlap > bytes.size() || pieces > bytes.size() ||
        header + 2 * overlap + 8 * pieces + 8 != bytes.size()) {
        return Kind::unreadable;
    }
    // A save that shortens the file keeps all it cuts off.
    const bool shortening = newSize < originalSize;
    if (start + overlap > originalSize || (shortening && (!third || start + overlap != originalSize)) ||
        (!third && pieces != (newSize - originalSize + kPiece - 1) / kPiece)) {
        return Kind::unreadable;
    }
    record.originalSize = std::int64_t(originalSize);
    record.newSize = std::int64_t(newSize);
    record.start = std::int64_t(start);
    record.history = Record::History(history);
    record.historyLength = std::int64_t(historyLength);
    record.previous.assign(at, at + overlap);
    record.writtenOver.assign(at + overlap, at + 2 * overlap);
    return Kind::record;
}

}  // namespace recoveryfile
