#include "search/search_alternatives.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "store/slot_scan.h"

namespace cardsearch {
namespace {

using Module1::Field;

const std::vector<Field>& everyField() {
    static const std::vector<Field> every = [] {
        Query all;
        all.scope = Scope::everyField;
        return fieldsOf(all);
    }();
    return every;
}

// The fields' bits in a mask, by their place in every field's list.
std::uint32_t maskOf(const std::vector<Field>& fields) {
    std::uint32_t mask = 0;
    for (const Field field : fields) {
        mask |= std::uint32_t(1) << std::size_t(std::find(everyField().begin(), everyField().end(), field) -
                                                 everyField().begin());
    }
    return mask;
}

// The other places worth trying for a query that found nothing: those with
// a field it did not look in, each with the query's own options.
std::vector<Query> placesFor(const Query& query) {
    const std::uint32_t searched = maskOf(fieldsOf(query));
    std::vector<Query> places;
    const auto place = [&](Scope scope, SearchedField entries = SearchedField::dictionnaire) {
        Query other = query;
        other.scope = scope;
        other.entries = entries;
        if ((maskOf(fieldsOf(other)) & ~searched) != 0) places.push_back(other);
    };
    place(Scope::entries, SearchedField::dictionnaire);
    place(Scope::entries, SearchedField::dictionnairecible);
    place(Scope::expression);
    place(Scope::traduction);
    place(Scope::contexte);
    place(Scope::everyField);
    return places;
}

// The options not ticked, each at the query's place.
std::vector<Query> optionsFor(const Query& query, const std::shared_ptr<const FormPhrases>& forms) {
    std::vector<Query> candidates;
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

// What a search looks with: its text, and its text's other forms on each side.
struct Look {
    QueryMatcher matcher;
    std::vector<Field> fields;
    std::optional<FormsMatcher> source;
    std::optional<FormsMatcher> target;

    explicit Look(const Query& query, std::vector<Field> lookedIn)
        : matcher(query.text, query.accents, query.options), fields(std::move(lookedIn)) {
        if (query.forms) {
            source.emplace(query.forms->source, query.accents);
            target.emplace(query.forms->target, query.accents);
        }
    }
    bool finds(Field field, std::span<const char> bytes) const {
        if (matcher.matches(bytes)) return true;
        const Side side = sideOf(field);
        return (source && side != Side::target && source->find(bytes)) ||
               (target && side != Side::source && target->find(bytes));
    }
};

}  // namespace

std::vector<Alternative> alternativesTo(DataFile& file, const Query& query, std::shared_ptr<const FormPhrases> forms) {
    // The places differ from the query by their fields only: one look at
    // the fields it did not search (it found nothing in its own) serves them all.
    const std::vector<Query> places = placesFor(query);
    const std::vector<Query> options = optionsFor(query, forms);
    std::vector<Query> candidates = places;
    candidates.insert(candidates.end(), options.begin(), options.end());
    struct Elsewhere {
        Field field;
        std::uint32_t bit;
    };
    std::vector<Elsewhere> elsewhere;
    const std::uint32_t searched = maskOf(fieldsOf(query));
    for (const Field field : everyField()) {
        if ((maskOf({field}) & searched) == 0) elsewhere.push_back({field, maskOf({field})});
    }
    const Look placesLook(query, {});
    std::vector<std::uint32_t> placeMasks;
    for (const Query& place : places) placeMasks.push_back(maskOf(fieldsOf(place)));
    std::vector<Look> optionLooks;
    for (const Query& option : options) optionLooks.emplace_back(option, fieldsOf(option));
    // Per slot found by any of them, which: a bit a candidate.
    const std::vector<std::uint32_t> found = slotscan::gather<std::uint32_t>(
        file, [&](std::int32_t, std::span<const char> bytes, std::vector<std::uint32_t>& kept) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                std::uint32_t fieldsFound = 0;
                if (!places.empty()) {
                    for (const Elsewhere& other : elsewhere) {
                        if (placesLook.finds(other.field, Module1::field(slot, other.field))) fieldsFound |= other.bit;
                    }
                }
                std::uint32_t which = 0;
                for (std::size_t p = 0; p < places.size(); ++p) {
                    if (fieldsFound & placeMasks[p]) which |= std::uint32_t(1) << p;
                }
                for (std::size_t o = 0; o < optionLooks.size(); ++o) {
                    const Look& look = optionLooks[o];
                    const bool matches = std::any_of(look.fields.begin(), look.fields.end(), [&](Field field) {
                        return look.finds(field, Module1::field(slot, field));
                    });
                    if (matches) which |= std::uint32_t(1) << (places.size() + o);
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
