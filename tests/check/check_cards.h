#pragma once

#include "support/card_files.h"

// French to English cards to check translations against: inflected words,
// a phrase and one of its words, a synonym, a deprecated term, two cards of
// one expression.
namespace checkcards {

inline const QList<cardfiles::Card> kCards = {
    {1, "écrou", "nut", "", "", "", "", ""},
    {2, "mise à la terre", "grounding", "", "", "", "", ""},
    {3, "terre", "earth", "", "", "", "", ""},
    {4, "vis", "screw", "", "", "", "Synonymes de la traduction\u00A0: bolt", ""},
    {5, "créance", "claim", "", "", "", "Termes déconseillés de la traduction\u00A0: credit", ""},
    {6, "Écrou", "hex nut", "", "", "", "", ""},
};

}  // namespace checkcards
