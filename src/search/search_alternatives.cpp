#include "search/search_alternatives.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "store/slot_scan.h"

namespace cardsearch {
namespace {

using Module1::Field;

// The searches worth trying for a query: the other places, then the options
// not ticked, each with the query's own options.
std::vector<Query> candidatesFor(const Query& query, const std::shared_ptr<const FormPhrases>& forms) {
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
    if (!query.forms && forms && !forms->empty()) {
        Query formed = query;
        formed.forms = forms;
        candidates.push_back(formed);
    }
    return candidates;
}

}  // namespace

std::vector<Alternative> alternativesTo(DataFile& file, const Query& query, std::shared_ptr<const FormPhrases> forms) {
    const std::vector<Query> candidates = candidatesFor(query, forms);
    // What each candidate looks with: its text, and its text's other forms on each side.
    struct Look {
        QueryMatcher matcher;
        std::vector<Field> fields;
        std::optional<FormsMatcher> source;
        std::optional<FormsMatcher> target;
    };
    std::vector<Look> looks;
    for (const Query& candidate : candidates) {
        Look& look = looks.emplace_back(Look{QueryMatcher(candidate.text, candidate.accents, candidate.options),
                                             fieldsOf(candidate), std::nullopt, std::nullopt});
        if (candidate.forms) {
            look.source.emplace(candidate.forms->source, candidate.accents);
            look.target.emplace(candidate.forms->target, candidate.accents);
        }
    }
    const auto finds = [](const Look& look, Field field, std::span<const char> bytes) {
        if (look.matcher.matches(bytes)) return true;
        const Side side = sideOf(field);
        return (look.source && side != Side::target && look.source->find(bytes)) ||
               (look.target && side != Side::source && look.target->find(bytes));
    };
    // Per slot found by any of them, which: a bit a candidate.
    const std::vector<std::uint32_t> found = slotscan::gather<std::uint32_t>(
        file, [&](std::int32_t, std::span<const char> bytes, std::vector<std::uint32_t>& kept) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                std::uint32_t which = 0;
                for (std::size_t c = 0; c < looks.size(); ++c) {
                    const bool matches = std::any_of(looks[c].fields.begin(), looks[c].fields.end(), [&](Field field) {
                        return finds(looks[c], field, Module1::field(slot, field));
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
        return a.query.accents == query.accents && a.query.options.approximate == query.options.approximate &&
               a.query.forms == query.forms;
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
