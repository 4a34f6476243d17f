#pragma once

#include <QString>
#include <cstddef>

#include <vector>

#include "search/card_search.h"
#include "search/search_alternatives.h"

// What the status bar says of a list of cards.
namespace resultsummary {

// « 1 234 fiches », « 1 fiche », « Aucune fiche ».
QString count(std::size_t cards);

// After a search: the count or, when none was found, « Aucune fiche ne
// contient « text » » and the two other searches that find most, of
// `alternatives` (cardsearch::alternativesTo): « (12 dans Expression ;
// essayez Ignorer les accents : 3 fiches) ».
QString afterSearch(std::size_t cards, const cardsearch::Query& query,
                    const std::vector<cardsearch::Alternative>& alternatives);

}  // namespace resultsummary
