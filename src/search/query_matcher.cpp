#include "search/query_matcher.h"

namespace cardsearch {

QueryMatcher::QueryMatcher(const QString& text, Accents accents, const MatchOptions& options)
    : m_plain(text, accents) {
    if (options.wildcards || options.wholeWord) m_pattern.emplace(text, accents, options.wildcards, options.wholeWord);
    if (options.approximate) m_approximate.emplace(text, accents);
}

bool QueryMatcher::matches(std::span<const char> field) const {
    const bool exact = m_pattern ? m_pattern->find(field).has_value() : m_plain.matches(field);
    return exact || (m_approximate && m_approximate->find(field).has_value());
}

std::optional<FieldMatcher::Span> QueryMatcher::find(std::span<const char> field) const {
    if (auto exact = m_pattern ? m_pattern->find(field) : m_plain.find(field)) return exact;
    return m_approximate ? m_approximate->find(field) : std::nullopt;
}

bool QueryMatcher::matchesEverything() const {
    return m_pattern ? m_pattern->matchesEverything() : m_plain.matchesEverything();
}

}  // namespace cardsearch
