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
namespace {

// The widest field, the context: a field folds to at most twice its bytes.
constexpr std::size_t kWidestField = 1000;

// The field's first `end` bytes, its text, folded; then as many of the
// spaces that fill it as a match of `reach` bytes can run into. `origin`,
// when given, receives for each folded byte the field byte it comes from.
// Empty when the field is wider than any field of a card.
std::string_view foldedText(std::span<const char> field, std::size_t end, std::size_t reach,
                            std::array<char, 2 * kWidestField>& buffer,
                            std::array<std::uint16_t, 2 * kWidestField>* origin) {
    const std::size_t spaces = std::min(field.size() - end, reach);
    if (2 * end + spaces > buffer.size()) return {};
    const auto& fold = folding::foldingTable();
    std::size_t length = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const folding::Folded& folded = fold[static_cast<unsigned char>(field[i])];
        if (origin) (*origin)[length] = std::uint16_t(i);
        buffer[length++] = folded[0];
        if (folded[1] != '\0') {
            if (origin) (*origin)[length] = std::uint16_t(i);
            buffer[length++] = folded[1];
        }
    }
    for (std::size_t i = 0; i < spaces; ++i) {
        if (origin) (*origin)[length] = std::uint16_t(end + i);
        buffer[length++] = ' ';
    }
    return {buffer.data(), length};
}

}  // namespace

FieldMatcher::FieldMatcher(const QString& text, Accents accents) : m_accents(accents) {
    const QString lowered = text.toLower();
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
    if (m_accents == Accents::ignored) return matchesFolded(field);
    return matchAt(field, Which::any) < field.size();
}

// Each byte that may begin a match is found with memchr, then checked; for
// the first match, the search for the next byte stops where an earlier
// match was found.
std::size_t FieldMatcher::matchAt(std::span<const char> field, Which which) const {
    const std::size_t notFound = field.size();
    if (m_needle.size() > field.size()) return notFound;
    if (m_needle.empty()) return 0;
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
        const char* begin = field.data();
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

// Most fields hold no letter the text could begin with: those are not folded.
bool FieldMatcher::mayHold(std::span<const char> field, std::size_t end) const {
    const std::size_t reach = std::min(field.size(), end + m_needle.size());
    const auto mayBegin = [this](char byte) { return m_mayBegin[static_cast<unsigned char>(byte)]; };
    return std::any_of(field.begin(), field.begin() + std::ptrdiff_t(reach), mayBegin);
}

bool FieldMatcher::matchesFolded(std::span<const char> field) const {
    if (m_needle.empty()) return true;
    const std::size_t end = fieldtext::textLength(field);
    if (!mayHold(field, end)) return false;
    std::array<char, 2 * kWidestField> buffer;
    return foldedText(field, end, m_needle.size(), buffer, nullptr).find(m_needle) != std::string_view::npos;
}

std::optional<FieldMatcher::Span> FieldMatcher::find(std::span<const char> field) const {
    if (!m_possible) return {};
    if (m_needle.empty()) return Span{};
    if (m_accents == Accents::ignored) return findFolded(field);
    const std::size_t at = matchAt(field, Which::first);
    if (at == field.size()) return {};
    return Span{at, at + m_needle.size()};
}

std::optional<FieldMatcher::Span> FieldMatcher::findFolded(std::span<const char> field) const {
    const std::size_t end = fieldtext::textLength(field);
    if (!mayHold(field, end)) return {};
    std::array<char, 2 * kWidestField> buffer;
    std::array<std::uint16_t, 2 * kWidestField> origin;
    const std::string_view folded = foldedText(field, end, m_needle.size(), buffer, &origin);
    const std::size_t at = folded.find(m_needle);
    if (at == std::string_view::npos) return {};
    // A match that begins or ends inside a ligature covers the whole letter.
    return Span{origin[at], std::size_t(origin[at + m_needle.size() - 1]) + 1};
}

}  // namespace cardsearch
