#include "store/field_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "store/cp1252.h"

namespace fieldtext {

bool store(std::span<char> field, const QString& text) {
    bool replaced = false;
    const QByteArray bytes = cp1252::encode(withCrLf(text), &replaced);
    const auto kept = std::min<std::size_t>(field.size(), std::size_t(bytes.size()));
    std::copy_n(bytes.constData(), kept, field.begin());
    std::fill(field.begin() + kept, field.end(), ' ');
    return !replaced && kept == std::size_t(bytes.size());
}

std::size_t textLength(std::span<const char> field) {
    auto end = field.size();
    // Fields are mostly filling spaces: pass over them eight at a time.
    constexpr std::uint64_t kEightSpaces = 0x2020202020202020ULL;
    while (end >= 8) {
        std::uint64_t word;
        std::memcpy(&word, field.data() + end - 8, 8);
        if (word != kEightSpaces) break;
        end -= 8;
    }
    while (end > 0 && field[end - 1] == ' ') --end;
    return end;
}

QString read(std::span<const char> field) { return cp1252::decode(field.data(), qsizetype(textLength(field))); }

QString withCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.count(u'\n'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\n' && (i == 0 || text.at(i - 1) != u'\r')) out.append(u'\r');
        out.append(ch);
    }
    return out;
}

QString withoutTrailingSpaces(const QString& text) {
    auto end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') --end;
    return text.left(end);
}

}  // namespace fieldtext
