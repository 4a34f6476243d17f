#include "search/search_alternatives.h"

#include <algorithm>
#include <cstdint>

#include "store/slot_scan.h"

namespace cardsearch {
namespace {

using Module1::Field;

std::vector<Field> fieldsOf(const Query& query) {
    switch (query.scope) {
        case Scope::entries:
            return {query.entries == SearchedField::dictionnaire ? Field::dictionnaire : Field::dictionnairecible};
        case Scope::expression: return {Field::expression};
        case Scope::traduction: return {Field::traduction};
        case Scope::contexte: return {Field::contexte};
        case Scope::everyField: break;
    }
    return {Field::expression, Field::traduction, Field::dictionnaire, Field::dictionnairecible,
            Field::miscellanea, Field::reference, Field::contexte};
}

// The searches worth trying for a query: the other places, then the options
// not ticked, each with the query's own options.
std::vector<Query> candidatesFor(const Query& query) {
    std::vector<Query> candidates;
    const auto place = [&](Scope scope, SearchedField entries = SearchedField::dictionnaire) {
        const bool same = scope == query.scope && (scope != Scope::entries || entries == query.entries);
        if (same) return;
        Query other = query;
        other.scope = scope;
        other.entries = entries;
        candidates.push_back(other);
    };
    place(Scope::entries, SearchedField::dictionnaire);
    place(Scope::entries, SearchedField::dictionnairecible);
    place(Scope::expression);
    place(Scope::traduction);
    place(Scope::contexte);
    place(Scope::everyField);
    if (query.accents == Accents::kept) {
        Query ignored = query;
        ignored.accents = Accents::ignored;
        candidates.push_back(ignored);
    }
    if (!query.options.approximate) {
        Query near = query;
        near.options.approximate = true;
        candidates.push_back(near);
    }
    return candidates;
}

}  // namespace

std::vector<Alternative> alternativesTo(DataFile& file, const Query& query) {
    const std::vector<Query> candidates = candidatesFor(query);
    std::vector<QueryMatcher> matchers;
    std::vector<std::vector<Field>> fields;
    for (const Query& candidate : candidates) {
        matchers.emplace_back(candidate.text, candidate.accents, candidate.options);
        fields.push_back(fieldsOf(candidate));
    }
    // Per slot found by any of them, which: a bit a candidate.
    const std::vector<std::uint32_t> found = slotscan::gather<std::uint32_t>(
        file, [&](std::int32_t, std::span<const char> bytes, std::vector<std::uint32_t>& kept) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                std::uint32_t which = 0;
                for (std::size_t c = 0; c < candidates.size(); ++c) {
                    const bool matches = std::any_of(fields[c].begin(), fields[c].end(), [&](Field field) {
                        return matchers[c].matches(Module1::field(slot, field));
                    });
                    if (matches) which |= std::uint32_t(1) << c;
                }
                if (which != 0) kept.push_back(which);
            }
        });
    std::vector<Alternative> alternatives;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const auto cards = std::size_t(std::count_if(found.begin(), found.end(),
                                                     [c](std::uint32_t which) { return (which >> c) & 1U; }));
        if (cards > 0) alternatives.push_back({candidates[c], cards});
    }
    // Every field finds at least what one field finds: it is said only
    // where it finds more than the best of them.
    const auto placeOnly = [&query](const Alternative& a) {
        return a.query.accents == query.accents && a.query.options.approximate == query.options.approximate;
    };
    std::size_t bestField = 0;
    for (const Alternative& a : alternatives) {
        if (placeOnly(a) && a.query.scope != Scope::everyField) bestField = std::max(bestField, a.cards);
    }
    std::erase_if(alternatives, [&](const Alternative& a) {
        return placeOnly(a) && a.query.scope == Scope::everyField && a.cards <= bestField;
    });
    std::stable_sort(alternatives.begin(), alternatives.end(),
                     [](const Alternative& a, const Alternative& b) { return a.cards > b.cards; });
    return alternatives;
}

}  // namespace cardsearch
