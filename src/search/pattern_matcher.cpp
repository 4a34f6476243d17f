#include "search/pattern_matcher.h"

#include "search/folding.h"

namespace cardsearch {

PatternMatcher::PatternMatcher(const QString& text, Accents accents, bool wildcards, bool wholeWord)
    : m_accents(accents), m_wholeWord(wholeWord) {
    QString literal;
    const auto endLiteral = [&] {
        if (literal.isEmpty()) return;
        FieldMatcher matcher(literal, accents);
        if (!matcher.possible()) m_possible = false;
        if (!m_anchor) m_anchor.emplace(matcher);
        m_tokens.push_back({Token::Kind::literal, matcher.comparedBytes()});
        literal.clear();
    };
    for (const QChar ch : text) {
        if (!wildcards || (ch != u'*' && ch != u'?')) {
            literal += ch;
            continue;
        }
        endLiteral();
        if (ch == u'?') {
            m_tokens.push_back({Token::Kind::oneCharacter, {}});
        } else if (m_tokens.empty() || m_tokens.back().kind != Token::Kind::anyRun) {
            m_tokens.push_back({Token::Kind::anyRun, {}});
        }
    }
    endLiteral();
    if (!m_tokens.empty() && m_tokens.front().kind == Token::Kind::anyRun) {
        m_freeStart = true;
        m_tokens.erase(m_tokens.begin());
    }
    if (!m_tokens.empty() && m_tokens.back().kind == Token::Kind::anyRun) {
        m_freeEnd = true;
        m_tokens.pop_back();
    }
    // Only a literal that begins the match says where matches may begin.
    if (m_tokens.empty() || m_tokens.front().kind != Token::Kind::literal) m_anchor.reset();
}

PatternMatcher::Cursor PatternMatcher::next(std::span<const char> field, Cursor cursor) const {
    if (m_accents == Accents::ignored && cursor.part == 0 &&
        folding::foldingTable()[static_cast<unsigned char>(field[cursor.at])][1] != '\0') {
        return {cursor.at, 1};
    }
    return {cursor.at + 1, 0};
}

std::optional<PatternMatcher::Cursor> PatternMatcher::step(std::span<const char> field, Cursor cursor,
                                                           const Token& token) const {
    if (token.kind == Token::Kind::oneCharacter) {
        if (cursor.at >= field.size()) return {};
        return Cursor{cursor.at + 1, 0};  // the whole character, both letters of a ligature
    }
    for (const char wanted : token.bytes) {
        if (cursor.at >= field.size()) return {};
        const auto byte = static_cast<unsigned char>(field[cursor.at]);
        const char seen = m_accents == Accents::ignored ? folding::foldingTable()[byte][cursor.part]
                                                        : folding::lowerCaseTable()[byte];
        if (seen != wanted) return {};
        cursor = next(field, cursor);
    }
    return cursor;
}

bool PatternMatcher::startsWord(std::span<const char> field, Cursor cursor) const {
    if (!m_wholeWord || m_freeStart) return true;
    return cursor.part == 0 &&
           (cursor.at == 0 || !folding::wordByteTable()[static_cast<unsigned char>(field[cursor.at - 1])]);
}

bool PatternMatcher::endsWord(std::span<const char> field, Cursor cursor) const {
    if (!m_wholeWord || m_freeEnd) return true;
    return cursor.part == 0 &&
           (cursor.at >= field.size() || !folding::wordByteTable()[static_cast<unsigned char>(field[cursor.at])]);
}

// Where a match that begins at `start` ends. Each `*` first takes as
// little as it can; when what follows fails, the last `*` takes one more
// letter and the rest is tried again, which finds a match whenever one
// exists.
std::optional<PatternMatcher::Cursor> PatternMatcher::matchFrom(std::span<const char> field, Cursor start) const {
    std::size_t token = 0;
    Cursor cursor = start;
    std::optional<std::size_t> lastRun;
    Cursor runEnd;
    for (;;) {
        if (token == m_tokens.size()) {
            if (endsWord(field, cursor)) return cursor;
        } else if (m_tokens[token].kind == Token::Kind::anyRun) {
            lastRun = token++;
            runEnd = cursor;
            continue;
        } else if (const auto after = step(field, cursor, m_tokens[token])) {
            cursor = *after;
            ++token;
            continue;
        }
        if (!lastRun || runEnd.at >= field.size()) return {};
        runEnd = next(field, runEnd);
        cursor = runEnd;
        token = *lastRun + 1;
    }
}

std::optional<FieldMatcher::Span> PatternMatcher::find(std::span<const char> field) const {
    if (!m_possible) return {};
    if (m_tokens.empty()) return FieldMatcher::Span{};
    const auto tryAt = [&](Cursor start) -> std::optional<FieldMatcher::Span> {
        if (!startsWord(field, start)) return {};
        const auto end = matchFrom(field, start);
        if (!end) return {};
        return FieldMatcher::Span{start.at, end->at + (end->part != 0 ? 1 : 0)};
    };
    const auto tryBothLetters = [&](std::size_t at) -> std::optional<FieldMatcher::Span> {
        if (const auto span = tryAt({at, 0})) return span;
        const bool ligature = m_accents == Accents::ignored &&
                              folding::foldingTable()[static_cast<unsigned char>(field[at])][1] != '\0';
        return ligature ? tryAt({at, 1}) : std::nullopt;
    };
    if (m_anchor) {
        std::size_t from = 0;
        while (const auto hit = m_anchor->find(field, from)) {
            if (const auto span = tryBothLetters(hit->begin)) return span;
            from = hit->begin + 1;
        }
        return {};
    }
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (const auto span = tryBothLetters(at)) return span;
    }
    return {};
}

}  // namespace cardsearch
