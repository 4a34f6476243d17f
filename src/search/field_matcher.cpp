#include "search/field_matcher.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "search/folding.h"
#include "store/cp1252.h"
#include "store/field_text.h"

namespace cardsearch {

FieldMatcher::FieldMatcher(const QString& text, Accents accents) : m_accents(accents) {
    const QString lowered = cp1252::composed(text).toLower();  // "e" and a combining accent are the "é" stored
    m_needle.reserve(std::size_t(lowered.size()));
    for (const QChar ch : lowered) {
        char byte = cp1252::fromUnicode(ch.unicode());
        if (byte == '?' && ch != u'?' && accents == Accents::ignored) {
            // A letter the code page lacks may still fold to one it has (ō to o).
            const QByteArray base = cp1252::encode(folding::foldedChar(ch));
            if (base.size() == 1) byte = base[0];
        }
        if (byte == '?' && ch != u'?') m_possible = false;
        if (accents == Accents::kept) {
            m_needle.push_back(byte);
            continue;
        }
        for (const char part : folding::foldingTable()[static_cast<unsigned char>(byte)]) {
            if (part != '\0') m_needle.push_back(part);
        }
    }
    if (m_needle.empty()) return;
    if (accents == Accents::ignored) {
        const auto& fold = folding::foldingTable();
        for (std::size_t b = 0; b < 256; ++b) {
            m_mayBegin[b] = fold[b][0] == m_needle.front() || (fold[b][1] != '\0' && fold[b][1] == m_needle.front());
        }
        return;
    }
    const auto& lower = folding::lowerCaseTable();
    for (int b = 0; b < 256; ++b) {
        if (lower[std::size_t(b)] == m_needle.front()) m_firstBytes.push_back(char(b));
    }
}

bool FieldMatcher::matches(std::span<const char> field) const {
    if (!m_possible) return false;
    if (m_accents == Accents::ignored) return m_needle.empty() || findFolded(field, 0).has_value();
    return matchAt(field, Which::any, 0) < field.size();
}

// Each byte that may begin a match is found with memchr, then checked; for
// the first match, the search for the next byte stops where an earlier
// match was found.
std::size_t FieldMatcher::matchAt(std::span<const char> field, Which which, std::size_t from) const {
    const std::size_t notFound = field.size();
    if (m_needle.size() > field.size() || from > field.size() - m_needle.size()) return notFound;
    if (m_needle.empty()) return from;
    const auto& lower = folding::lowerCaseTable();
    const auto matchesAt = [&](std::size_t at) {
        for (std::size_t i = 1; i < m_needle.size(); ++i) {
            if (lower[static_cast<unsigned char>(field[at + i])] != m_needle[i]) return false;
        }
        return true;
    };
    std::size_t first = field.size() - m_needle.size() + 1;  // past the last place a match can begin
    const std::size_t none = first;
    for (const char byte : m_firstBytes) {
        const char* begin = field.data() + from;
        const char* end = field.data() + first;
        while (const void* hit = std::memchr(begin, byte, std::size_t(end - begin))) {
            const auto at = std::size_t(static_cast<const char*>(hit) - field.data());
            if (matchesAt(at)) {
                if (which == Which::any) return at;
                first = at;
                break;
            }
            begin = static_cast<const char*>(hit) + 1;
        }
    }
    return first == none ? notFound : first;
}

std::optional<FieldMatcher::Span> FieldMatcher::find(std::span<const char> field, std::size_t from) const {
    if (!m_possible || from > field.size()) return {};
    if (m_needle.empty()) return Span{from, from};
    if (m_accents == Accents::ignored) return findFolded(field, from);
    const std::size_t at = matchAt(field, Which::first, from);
    if (at == field.size()) return {};
    return Span{at, at + m_needle.size()};
}

// Where a match of the folded needle that begins at part `part` (0 or 1) of
// the folding of field byte `at` ends: one past the last field byte it
// covers, a ligature covered whole; 0 when none begins there. The field is
// folded as it is walked, the spaces filling it included.
std::size_t FieldMatcher::foldedMatchEnd(std::span<const char> field, std::size_t at, std::size_t part) const {
    const auto& fold = folding::foldingTable();
    std::size_t matched = 0;
    for (; at < field.size(); ++at, part = 0) {
        const folding::Folded& folded = fold[static_cast<unsigned char>(field[at])];
        const std::size_t parts = folded[1] != '\0' ? 2 : 1;
        for (; part < parts; ++part) {
            if (folded[part] != m_needle[matched]) return 0;
            if (++matched == m_needle.size()) return at + 1;
        }
    }
    return 0;
}

// The first match in the field folded: each byte whose folding may begin
// the needle is tried in turn, up to where the text and as many filling
// spaces as the needle holds end.
std::optional<FieldMatcher::Span> FieldMatcher::findFolded(std::span<const char> field, std::size_t from) const {
    const std::size_t reach = std::min(field.size(), fieldtext::textLength(field) + m_needle.size());
    const auto& fold = folding::foldingTable();
    for (std::size_t at = from; at < reach; ++at) {
        const auto byte = static_cast<unsigned char>(field[at]);
        if (!m_mayBegin[byte]) continue;
        for (std::size_t part = 0; part < 2; ++part) {
            if (fold[byte][part] != m_needle.front() || (part == 1 && fold[byte][1] == '\0')) continue;
            if (const std::size_t end = foldedMatchEnd(field, at, part)) return Span{at, end};
        }
    }
    return {};
}

}  // namespace cardsearch
