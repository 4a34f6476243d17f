#pragma once

#include <QString>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "search/field_matcher.h"

namespace cardsearch {

// Whether turning `a` into `b` takes at most `limit` edits: inserting,
// deleting or replacing a letter, or swapping two neighbours. Works on a
// band of the usual table and stops as soon as every way needs more.
bool withinEdits(std::string_view a, std::string_view b, int limit);

// A search that forgives a few letters: a field matches when one of its
// words, or a run of as many words as the text has, is within a few edits
// of the text, words compared lower-cased (and folded when accents are
// ignored) and joined by single spaces. Texts under 4 letters match
// exactly; 4 to 7 letters allow one edit, 8 and more two.
class ApproximateMatcher {
public:
    ApproximateMatcher(const QString& text, Accents accents);

    // The words found, from the first one's start to the last one's end.
    std::optional<FieldMatcher::Span> find(std::span<const char> field) const;

    static int allowedEdits(qsizetype letters);

private:
    Accents m_accents;
    std::string m_text;  // as compared
    std::size_t m_words = 0;
    int m_edits = 0;
};

}  // namespace cardsearch
