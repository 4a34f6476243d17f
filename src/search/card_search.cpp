#include "search/card_search.h"

#include <span>

#include "search/match_context.h"
#include "store/field_text.h"
#include "store/number_text.h"
#include "store/slot_scan.h"

namespace cardsearch {
namespace {

using Module1::Field;

// Only the fields a kept row shows are decoded, where the run was read; the
// record buffer ends holding the last slot, as reading each slot into it in
// turn would leave it.
template <typename Look>
std::vector<ResultRow> collect(DataFile& file, Look look) {
    std::int32_t count = 0;
    std::vector<ResultRow> rows = slotscan::gather<ResultRow>(
        file,
        [&](std::int32_t, std::span<const char> bytes, std::vector<ResultRow>& found) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                look(Module1::SlotView(bytes.data() + at, Module1::kSlotSize), found);
            }
        },
        &count);
    if (count > 0) file.readSlot(count, Module1::recordBuffer());
    return rows;
}

// A run's first row makes room for a quarter of the run, which spares most
// of the growing.
ResultRow& addRow(std::vector<ResultRow>& rows, Module1::SlotView slot) {
    if (rows.empty()) rows.reserve(slotscan::kRunSlots / 4);
    return rows.emplace_back(rowOf(slot));
}

}  // namespace

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

ResultRow rowOf(Module1::SlotView slot) {
    return {numbertext::fromNumero(Module1::numeroOf(slot)), fieldtext::read(Module1::field(slot, Field::dictionnaire)),
            fieldtext::read(Module1::field(slot, Field::dictionnairecible)),
            fieldtext::read(Module1::field(slot, Field::reference)), {}};
}

std::vector<ResultRow> search(DataFile& file, const Query& query) {
    const QueryMatcher matcher(query.text, query.accents, query.options);
    const std::vector<Field> fields = fieldsOf(query);
    // Each side's other forms; the miscellanea and the reference may hold
    // either's. A plain text is looked for with them, in the same walk of
    // each field, as one more phrase found anywhere.
    const bool forms = query.forms && !query.forms->empty() && !matcher.matchesEverything();
    const bool textWithForms = forms && !query.options.wildcards && !query.options.wholeWord &&
                               !query.options.approximate && !query.text.endsWith(u' ');
    const auto phrasesOf = [&](const std::vector<FormPhrases::Phrase>& side) {
        std::vector<FormPhrases::Phrase> phrases = forms ? side : std::vector<FormPhrases::Phrase>{};
        if (textWithForms) phrases.push_back({query.text, QString(), true});
        return phrases;
    };
    const std::vector<FormPhrases::Phrase> source = phrasesOf(forms ? query.forms->source : std::vector<FormPhrases::Phrase>{});
    const std::vector<FormPhrases::Phrase> target = phrasesOf(forms ? query.forms->target : std::vector<FormPhrases::Phrase>{});
    const FormsMatcher sourceForms(source, query.accents);
    const FormsMatcher targetForms(target, query.accents);
    const auto formIn = [&](Field field, std::span<const char> bytes) -> std::optional<matchcontext::Note> {
        const Side side = sideOf(field);
        const auto foundBy = [&](const FormsMatcher& matcher,
                                 const std::vector<FormPhrases::Phrase>& phrases) -> std::optional<matchcontext::Note> {
            const auto found = matcher.find(bytes);
            if (!found) return std::nullopt;
            return matchcontext::Note(field, bytes, found->span, phrases[found->phrase].note);
        };
        if (side != Side::target) {
            if (auto note = foundBy(sourceForms, source)) return note;
        }
        if (side != Side::source) return foundBy(targetForms, target);
        return std::nullopt;
    };
    // The entries are shown in the grid, but not which word was close
    // enough, nor which form was found; an empty text tells nothing.
    const bool explain =
        (query.scope != Scope::entries || query.options.approximate || forms) && !matcher.matchesEverything();
    return collect(file, [&](Module1::SlotView slot, std::vector<ResultRow>& rows) {
        for (const Field field : fields) {
            if (textWithForms) break;  // the text is among the phrases
            const std::span<const char> bytes = Module1::field(slot, field);
            if (!explain) {
                if (!matcher.matches(bytes)) continue;
                addRow(rows, slot);
                return;
            }
            // Where the text lies is found once, for the match and the tool tip alike.
            if (const auto match = matcher.find(bytes)) {
                addRow(rows, slot).toolTip = matchcontext::Note(field, bytes, *match);
                return;
            }
        }
        // The text's other forms, where the text itself is in no field.
        if (!forms) return;
        for (const Field field : fields) {
            if (auto note = formIn(field, Module1::field(slot, field))) {
                addRow(rows, slot).toolTip = std::move(*note);
                return;
            }
        }
    });
}

std::vector<ResultRow> fullList(DataFile& file) {
    return collect(file, [](Module1::SlotView slot, std::vector<ResultRow>& rows) {
        if (rows.empty()) rows.reserve(slotscan::kRunSlots);  // a row per slot
        rows.push_back(rowOf(slot));
    });
}

}  // namespace cardsearch
