#pragma once

#include <QString>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "search/field_matcher.h"

namespace cardsearch {

// A search text with wildcards, or matched as a whole word, or both, in a
// whole field as the plain search reads it (lower-cased, folded when
// accents are ignored). With wildcards, `*` stands for any run of
// characters, none included, and `?` for one character; without them both
// are plain characters. A whole word is neither preceded nor followed by a
// letter or a digit of the code page.
class PatternMatcher {
public:
    PatternMatcher(const QString& text, Accents accents, bool wildcards, bool wholeWord);

    std::optional<FieldMatcher::Span> find(std::span<const char> field) const;
    bool matchesEverything() const { return m_possible && m_tokens.empty(); }

private:
    // A place in the field: a byte and, for a byte folded to two letters
    // (œ to "oe"), which of them.
    struct Cursor {
        std::size_t at = 0;
        std::size_t part = 0;
    };
    struct Token {
        enum class Kind { literal, oneCharacter, anyRun } kind;
        std::string bytes;  // a literal's, as compared
    };

    Cursor next(std::span<const char> field, Cursor cursor) const;
    std::optional<Cursor> step(std::span<const char> field, Cursor cursor, const Token& token) const;
    std::optional<Cursor> matchFrom(std::span<const char> field, Cursor start) const;
    bool startsWord(std::span<const char> field, Cursor cursor) const;
    bool endsWord(std::span<const char> field, Cursor cursor) const;

    Accents m_accents;
    bool m_wholeWord;
    bool m_possible = true;
    // A leading or trailing `*` reaches the field's start or end, where a
    // word always begins or ends.
    bool m_freeStart = false;
    bool m_freeEnd = false;
    std::vector<Token> m_tokens;
    // Finds where the first literal may lie, as fast as the plain search.
    std::optional<FieldMatcher> m_anchor;
};

}  // namespace cardsearch
