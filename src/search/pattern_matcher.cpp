#include "search/pattern_matcher.h"

#include <algorithm>
#include <cstring>

#include "search/folding.h"
#include "store/field_text.h"

namespace cardsearch {

PatternMatcher::PatternMatcher(const QString& text, Accents accents, bool wildcards, bool wholeWord)
    : m_accents(accents), m_wholeWord(wholeWord) {
    Piece piece;
    QString literal;
    const auto endLiteral = [&] {
        if (literal.isEmpty()) return;
        FieldMatcher matcher(literal, accents);
        if (!matcher.possible()) m_possible = false;
        if (piece.tokens.empty() && !matcher.comparedBytes().empty()) {
            const char lead = matcher.comparedBytes().front();
            piece.lead = lead;
            for (std::size_t byte = 0; byte < 256; ++byte) {
                piece.mayBegin[byte] = accents == Accents::ignored
                                           ? folding::foldingTable()[byte][0] == lead || folding::foldingTable()[byte][1] == lead
                                           : folding::lowerCaseTable()[byte] == lead;
                if (piece.mayBegin[byte]) piece.leadBytes.push_back(char(byte));
            }
        }
        piece.tokens.push_back({Token::Kind::literal, matcher.comparedBytes()});
        literal.clear();
    };
    const auto endPiece = [&] {
        endLiteral();
        if (piece.tokens.empty()) {
            if (m_pieces.empty()) m_freeStart = true;  // `*` first, or nothing before it
            return;
        }
        m_pieces.push_back(std::move(piece));
        piece = Piece();
    };
    for (const QChar ch : text) {
        if (!wildcards || (ch != u'*' && ch != u'?')) {
            literal += ch;
        } else if (ch == u'?') {
            endLiteral();
            piece.tokens.push_back({Token::Kind::oneCharacter, {}});
        } else {
            endPiece();
        }
    }
    const bool endsWithRun = wildcards && text.endsWith(u'*');
    endPiece();
    m_freeEnd = endsWithRun;
    if (m_pieces.empty()) m_freeStart = m_freeEnd = false;
}

char PatternMatcher::letterAt(const Field& field, Cursor cursor) const {
    const auto byte = static_cast<unsigned char>(field.bytes[cursor.at]);
    return m_accents == Accents::ignored ? folding::foldingTable()[byte][cursor.part] : folding::lowerCaseTable()[byte];
}

PatternMatcher::Cursor PatternMatcher::next(const Field& field, Cursor cursor) const {
    if (m_accents == Accents::ignored && cursor.part == 0 &&
        folding::foldingTable()[static_cast<unsigned char>(field.bytes[cursor.at])][1] != '\0') {
        return {cursor.at, 1};
    }
    return {cursor.at + 1, 0};
}

// Where the piece ends when it begins at `start`, if it can begin there.
std::optional<PatternMatcher::Cursor> PatternMatcher::matchPiece(const Field& field, Cursor start,
                                                                 const Piece& piece) const {
    Cursor cursor = start;
    for (const Token& token : piece.tokens) {
        if (token.kind == Token::Kind::oneCharacter) {
            if (cursor.at >= field.text) return {};
            cursor = {cursor.at + 1, 0};  // the whole character, both letters of a ligature
            continue;
        }
        for (const char wanted : token.bytes) {
            if (cursor.at >= field.bytes.size() || letterAt(field, cursor) != wanted) return {};
            cursor = next(field, cursor);
        }
    }
    return cursor;
}

bool PatternMatcher::startsWord(const Field& field, Cursor cursor) const {
    return cursor.part == 0 &&
           (cursor.at == 0 || !folding::wordByteTable()[static_cast<unsigned char>(field.bytes[cursor.at - 1])]);
}

bool PatternMatcher::endsWord(const Field& field, Cursor cursor) const {
    return cursor.part == 0 &&
           (cursor.at >= field.bytes.size() ||
            !folding::wordByteTable()[static_cast<unsigned char>(field.bytes[cursor.at])]);
}

// Piece number `index` placed at `start`, if it can begin there.
std::optional<PatternMatcher::Placed> PatternMatcher::placeAt(const Field& field, Cursor start, std::size_t index) const {
    const bool first = index == 0 && !m_freeStart;
    const bool last = index + 1 == m_pieces.size() && !m_freeEnd;
    if (first && m_wholeWord && !startsWord(field, start)) return {};
    const auto end = matchPiece(field, start, m_pieces[index]);
    if (!end || (last && m_wholeWord && !endsWord(field, *end))) return {};
    return Placed{start, *end};
}

// The first place, at `from` or after, where piece number `index` can lie.
// A place later than the first would leave the pieces after it less room,
// since a piece's end moves on with its beginning: the first place is the
// one to take. What a `*` passes over is the field's text, so a piece after
// one begins in the text or right after it; the first piece, when no `*`
// comes before it, begins in the text.
std::optional<PatternMatcher::Placed> PatternMatcher::place(const Field& field, Cursor from, std::size_t index) const {
    const Piece& piece = m_pieces[index];
    const bool first = index == 0 && !m_freeStart;
    const std::size_t beyond = std::min(field.bytes.size(), first ? field.text : std::max(field.text, from.at) + 1);
    if (piece.lead && m_accents == Accents::kept) {
        // As the plain search does: each byte that may begin the piece is
        // found with memchr, no further than the first place found so far.
        std::optional<Placed> found;
        const char* data = field.bytes.data();
        std::size_t bound = beyond;
        for (const char byte : piece.leadBytes) {
            for (std::size_t at = from.at; at < bound;) {
                const void* hit = std::memchr(data + at, byte, bound - at);
                if (!hit) break;
                at = std::size_t(static_cast<const char*>(hit) - data);
                if (const auto placed = placeAt(field, {at, 0}, index)) {
                    found = placed;
                    bound = at;
                    break;
                }
                ++at;
            }
        }
        return found;
    }
    for (Cursor start = from; start.at < beyond; start = next(field, start)) {
        if (piece.lead) {
            if (start.part == 0) {
                while (start.at < beyond && !piece.mayBegin[static_cast<unsigned char>(field.bytes[start.at])]) ++start.at;
                if (start.at == beyond) break;
            }
            if (letterAt(field, start) != *piece.lead) continue;
        }
        if (const auto placed = placeAt(field, start, index)) return placed;
    }
    return {};
}

std::optional<FieldMatcher::Span> PatternMatcher::find(std::span<const char> bytes) const {
    if (!m_possible) return {};
    if (m_pieces.empty()) return FieldMatcher::Span{};
    const Field field{bytes, fieldtext::textLength(bytes)};
    Cursor begin;
    Cursor end;
    for (std::size_t index = 0; index < m_pieces.size(); ++index) {
        const auto placed = place(field, end, index);
        if (!placed) return {};
        if (index == 0) begin = placed->begin;
        end = placed->end;
    }
    return FieldMatcher::Span{begin.at, end.at + (end.part != 0 ? 1 : 0)};
}

}  // namespace cardsearch
