#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>

#include "search/field_matcher.h"
#include "store/fiche_record.h"

// Why a card came up in a search: the field's name and the text around the
// match, the match in bold, as a result row's tool tip shows it.
namespace matchcontext {

// Characters shown on each side of the match at most.
inline constexpr std::size_t kAround = 30;
// Characters of the match itself shown at most.
inline constexpr std::size_t kLongestMatch = 60;

// The field's name as the Edition window labels its box.
QString fieldName(Module1::Field field);

// What a tool tip says, kept as the few bytes it shows: a search in every
// field lists nearly every card and few tips are ever shown, so the text is
// only made when one is.
class Note {
public:
    Note() = default;  // no tip
    // A text made already.
    explicit Note(QString text) : m_ready(std::move(text)) {}
    // The text around the match of a field's bytes; `said` follows it
    // where the match is not the text itself ("forme de chevaux").
    Note(Module1::Field field, std::span<const char> bytes, cardsearch::FieldMatcher::Span match, QString said = {});

    bool isEmpty() const { return m_ready.isEmpty() && !m_placed; }

    // "Contexte : …text before <b>match</b> text after… (said)" as rich text on
    // one line, an
    // ellipsis where the field's text goes on, cut between words where it can
    // be; line breaks and tabs shown as spaces, the spaces that fill the
    // field left out.
    QString text() const;

private:
    QString m_ready;
    QString m_said;
    std::array<char, 2 * kAround + kLongestMatch> m_bytes{};  // from the first shown to the last
    bool m_placed = false;  // whether the bytes below make the text
    std::uint8_t m_length = 0;
    std::uint8_t m_begin = 0;  // the match, within m_bytes
    std::uint8_t m_end = 0;
    bool m_cutBefore = false;  // the field's text goes on before, or after
    bool m_cutAfter = false;
    Module1::Field m_field = Module1::Field::expression;
};

}  // namespace matchcontext
