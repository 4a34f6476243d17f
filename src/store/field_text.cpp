#include "store/field_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    const char* data = field.data();
    auto end = field.size();
#ifdef __SSE2__
    // Fields are mostly filling spaces: pass over them sixty-four bytes at a
    // time, then find the last other byte in the sixteen that hold it.
    const __m128i spaces = _mm_set1_epi8(' ');
    const auto spaceMask = [&](std::size_t at) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, spaces)));
    };
    const auto allSpaces = [&](std::size_t at) {
        return (spaceMask(at) & spaceMask(at + 16) & spaceMask(at + 32) & spaceMask(at + 48)) == 0xFFFFu;
    };
    while (end >= 64 && allSpaces(end - 64)) end -= 64;
    while (end >= 16) {
        const unsigned notSpace = spaceMask(end - 16) ^ 0xFFFFu;
        if (notSpace != 0) return end - 16 + std::size_t(std::bit_width(notSpace));
        end -= 16;
    }
#else
    // Eight at a time where the processor offers no wider compare.
    constexpr std::uint64_t kEightSpaces = 0x2020202020202020ULL;
    while (end >= 8) {
        std::uint64_t word;
        std::memcpy(&word, data + end - 8, 8);
        if (word != kEightSpaces) break;
        end -= 8;
    }
#endif
    while (end > 0 && data[end - 1] == ' ') --end;
    return end;
}

namespace {

// Whether any byte lies in 0x80..0x9F, the only bytes on which the code page
// and Latin-1 differ.
bool holdsC1Controls(std::span<const char> bytes) {
    std::size_t at = 0;
#ifdef __SSE2__
    // As signed bytes 0x80..0x9F are the ones below -96 (0xA0).
    const __m128i belowA0 = _mm_set1_epi8(char(0xA0));
    for (; at + 16 <= bytes.size(); at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
        if (_mm_movemask_epi8(_mm_cmplt_epi8(block, belowA0)) != 0) return true;
    }
#endif
    return std::any_of(bytes.begin() + std::ptrdiff_t(at), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 && byte < 0xA0;
    });
}

}  // namespace

QString read(std::span<const char> field) {
    const auto text = field.first(textLength(field));
    // Most fields hold none of those bytes: Latin-1 decodes them fastest.
    if (!holdsC1Controls(text)) return QString::fromLatin1(text.data(), qsizetype(text.size()));
    return cp1252::decode(text.data(), qsizetype(text.size()));
}

qsizetype Fit::firstLoss() const {
    if (firstCut < 0) return firstReplaced;
    return firstReplaced < 0 ? firstCut : std::min(firstCut, firstReplaced);
}

Fit fit(const QString& text, qsizetype width) {
    Fit result;
    result.width = width;
    // A letter and the marks that follow it are composed together, as
    // encoding the whole text composes them.
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at + 1;
        if (text.at(at).isHighSurrogate() && end < text.size() && text.at(end).isLowSurrogate()) ++end;
        while (end < text.size() && text.at(end).isMark()) ++end;
        const QString stored = cp1252::composed(text.mid(at, end - at));
        qsizetype bytes = 0;
        QStringList unstorable;
        for (qsizetype i = 0; i < stored.size(); ++i) {
            const QChar ch = stored.at(i);
            const bool pair = ch.isHighSurrogate() && i + 1 < stored.size() && stored.at(i + 1).isLowSurrogate();
            if ((pair || cp1252::fromUnicode(ch.unicode()) == '?') && ch != u'?') unstorable.append(stored.mid(i, pair ? 2 : 1));
            if (pair) ++i;
            bytes += ch == u'\n' ? 2 : 1;
        }
        if (result.firstCut < 0 && result.stored + bytes > width) result.firstCut = at;
        // What is cut off is lost whatever it holds.
        if (result.firstCut < 0 && !unstorable.isEmpty()) {
            if (result.firstReplaced < 0) result.firstReplaced = at;
            for (const QString& each : unstorable) {
                if (!result.replaced.contains(each)) result.replaced.append(each);
            }
        }
        result.stored += bytes;
        at = end;
    }
    return result;
}

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
