#pragma once

#include <cstddef>
#include <vector>

#include "search/card_search.h"

// When a search finds nothing, what another search of the same text would
// find: in another « Chercher dans » choice, accents ignored, or spelt
// near. The status bar says the likeliest.
namespace cardsearch {

struct Alternative {
    Query query;  // the search as it would be made
    std::size_t cards = 0;
};

// For a query that found nothing: the other searches that find cards, those
// finding most first (a single field before every field where they find as
// many), every one worked out in one reading of the file; with `forms`, the
// search in the text's other forms too, where the query is not one already.
// A failure throws StoreError.
std::vector<Alternative> alternativesTo(DataFile& file, const Query& query,
                                        std::shared_ptr<const FormPhrases> forms = nullptr);

}  // namespace cardsearch
