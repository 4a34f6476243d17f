#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "search/field_matcher.h"
#include "store/fiche_record.h"

namespace cardsearch {

// The other forms of a search text a card may hold, for each side of the
// card: phrases, each the text's words in other forms ("mise en service"
// for "mises en service"), with what the tool tip says of them. The
// expression's side is the expression, the source entries and the context;
// the translation's, the translation and the target entries; the
// miscellanea and the reference are looked at with both.
struct FormPhrases {
    struct Phrase {
        QString text;
        QString note;           // "forme de chevaux"
        bool anywhere = false;  // found inside words too, as the text itself is
    };
    std::vector<Phrase> source;
    std::vector<Phrase> target;
    bool empty() const { return source.empty() && target.empty(); }
};

// The phrases of one side found as whole words (or anywhere, those that
// say so), capitals (and accents, where ignored) aside: all of them in one
// walk of a field's text.
class FormsMatcher {
public:
    FormsMatcher(const std::vector<FormPhrases::Phrase>& phrases, Accents accents);

    struct Found {
        FieldMatcher::Span span;
        std::size_t phrase = 0;
    };
    // The first whole phrase in the field, by where it ends.
    std::optional<Found> find(std::span<const char> field) const;
    bool empty() const { return m_lengths.empty(); }

private:
    // A state of the automaton: the next state for each letter, and the
    // phrases that end here, with their lengths in letters.
    struct State {
        std::array<int, 256> next;
        std::vector<std::size_t> ends;
    };
    Accents m_accents;
    std::vector<State> m_states;
    std::vector<std::size_t> m_lengths;  // each phrase's, in letters
    std::vector<bool> m_anywhere;
    std::size_t m_longest = 0;
    std::size_t m_ringMask = 0;  // the letters remembered, a power of two past the longest, less one
    // The bytes whose letters may begin a phrase: the walk passes over the
    // others while no phrase is under way.
    std::array<bool, 256> m_mayStart{};
};

// Which side of a card a field is: its expression's, its translation's, or both.
enum class Side { source, target, both };
Side sideOf(Module1::Field field);

}  // namespace cardsearch
