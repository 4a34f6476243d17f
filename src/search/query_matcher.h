#pragma once

#include <QString>
#include <optional>
#include <span>

#include "search/approximate_matcher.h"
#include "search/field_matcher.h"
#include "search/pattern_matcher.h"

namespace cardsearch {

// What a search may forgive or ask beyond the plain text; all off, the
// search is the plain one.
struct MatchOptions {
    bool wildcards = false;    // `*` and `?` stand for any run and one character
    bool wholeWord = false;    // no letter or digit on either side of the match
    bool approximate = false;  // also a word a few letters away
};

// A search text with its options, for one field after another: the plain
// match, or the pattern the options make; with the approximate option, a
// field that holds neither may still hold a word close to the text.
class QueryMatcher {
public:
    QueryMatcher(const QString& text, Accents accents, const MatchOptions& options);

    bool matches(std::span<const char> field) const;
    std::optional<FieldMatcher::Span> find(std::span<const char> field) const;
    bool matchesEverything() const;

private:
    FieldMatcher m_plain;
    std::optional<PatternMatcher> m_pattern;
    std::optional<ApproximateMatcher> m_approximate;
};

}  // namespace cardsearch
