#pragma once

#include <QString>
#include <span>

#include "search/field_matcher.h"
#include "store/fiche_record.h"

// Why a card came up in a search: the field's name and the text around the
// match, the match between « », as a result row's tool tip shows it.
namespace matchcontext {

// Characters shown on each side of the match at most.
inline constexpr std::size_t kAround = 30;
// Characters of the match itself shown at most.
inline constexpr std::size_t kLongestMatch = 60;

// The field's name as the Edition window labels its box.
QString fieldName(Module1::Field field);

// "Contexte : …text before « match » text after…", an ellipsis where the
// field's text goes on, cut between words where it can be; line breaks and
// tabs shown as spaces, the spaces that fill the field left out.
QString around(Module1::Field field, std::span<const char> bytes, cardsearch::FieldMatcher::Span match);

}  // namespace matchcontext
