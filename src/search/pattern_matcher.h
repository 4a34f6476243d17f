#pragma once

#include <QString>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "search/field_matcher.h"

namespace cardsearch {

// A search text with wildcards, or matched as a whole word, or both, in a
// whole field as the plain search reads it (lower-cased, folded when
// accents are ignored). With wildcards, `*` stands for any run of the
// field's text, none included, and `?` for one of its characters; neither
// takes the spaces that fill the field after its text. Without wildcards
// both are plain characters. A whole word is neither preceded nor followed
// by a letter or a digit of the code page.
//
// The text is cut at each `*` into pieces that must come in order; each is
// placed at the first place it can take after the one before, which finds a
// match whenever one exists, so a field is walked once per piece.
class PatternMatcher {
public:
    PatternMatcher(const QString& text, Accents accents, bool wildcards, bool wholeWord);

    std::optional<FieldMatcher::Span> find(std::span<const char> field) const;
    bool matchesEverything() const { return m_possible && m_pieces.empty(); }

private:
    // A place in the field: a byte and, for a byte folded to two letters
    // (œ to "oe"), which of them.
    struct Cursor {
        std::size_t at = 0;
        std::size_t part = 0;
    };
    struct Token {
        enum class Kind { literal, oneCharacter } kind;
        std::string bytes;  // a literal's, as compared
    };
    // The tokens between two `*`.
    struct Piece {
        std::vector<Token> tokens;
        // The letter it begins with, when it begins with one, and the bytes
        // whose letters hold it: where it may begin is found a byte at a time.
        std::optional<char> lead;
        std::array<bool, 256> mayBegin{};
        std::string leadBytes;  // the bytes mayBegin holds
    };
    // The field and the number of its bytes that hold its text.
    struct Field {
        std::span<const char> bytes;
        std::size_t text;
    };

    Cursor next(const Field& field, Cursor cursor) const;
    char letterAt(const Field& field, Cursor cursor) const;
    std::optional<Cursor> matchPiece(const Field& field, Cursor start, const Piece& piece) const;
    struct Placed {
        Cursor begin;
        Cursor end;
    };
    std::optional<Placed> place(const Field& field, Cursor from, std::size_t piece) const;
    std::optional<Placed> placeAt(const Field& field, Cursor start, std::size_t piece) const;
    bool startsWord(const Field& field, Cursor cursor) const;
    bool endsWord(const Field& field, Cursor cursor) const;

    Accents m_accents;
    bool m_wholeWord;
    bool m_possible = true;
    // A leading or trailing `*` reaches the field's start or end, where a
    // word always begins or ends.
    bool m_freeStart = false;
    bool m_freeEnd = false;
    std::vector<Piece> m_pieces;
};

}  // namespace cardsearch
