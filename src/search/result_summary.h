#pragma once

#include <QString>
#include <cstddef>

#include "search/card_search.h"

// What the status bar says of a list of cards.
namespace resultsummary {

// « 1 234 fiches », « 1 fiche », « Aucune fiche ».
QString count(std::size_t cards);

// After a search: the count or, when none was found, « Aucune fiche ne
// contient « text » » and the option that might find some.
QString afterSearch(std::size_t cards, const cardsearch::Query& query);

}  // namespace resultsummary
