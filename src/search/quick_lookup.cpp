#include "search/quick_lookup.h"

#include <algorithm>

#include "search/approximate_matcher.h"
#include "search/field_matcher.h"
#include "search/folding.h"
#include "store/cp1252.h"
#include "store/field_text.h"
#include "store/number_text.h"
#include "store/slot_scan.h"

namespace quicklookup {
namespace {

using Module1::Field;

constexpr qsizetype kLongestText = 1000;  // the context, the widest field

constexpr Field kOtherFields[] = {Field::dictionnaire, Field::dictionnairecible, Field::miscellanea,
                                  Field::reference, Field::contexte};

// How the text lies in the expression, else in the translation; else in
// another field.
std::optional<std::pair<Rank, bool>> rankOf(const cardsearch::FieldMatcher& matcher, Module1::SlotView slot) {
    for (const Field side : {Field::expression, Field::traduction}) {
        const std::span<const char> field = Module1::field(slot, side);
        if (const auto match = matcher.find(field)) {
            const Rank rank = match->begin > 0                                  ? Rank::holds
                              : match->end == fieldtext::textLength(field) ? Rank::same
                                                                             : Rank::begins;
            return std::pair{rank, side == Field::traduction};
        }
    }
    for (const Field field : kOtherFields) {
        if (matcher.matches(Module1::field(slot, field))) return std::pair{Rank::otherField, false};
    }
    return std::nullopt;
}

Row rowOf(std::int32_t slotNumber, Module1::SlotView slot, Rank rank, bool onTranslation, QString label = {}) {
    return {slotNumber, numbertext::fromNumero(Module1::numeroOf(slot)),
            fieldtext::read(Module1::field(slot, Field::expression)), fieldtext::read(Module1::field(slot, Field::traduction)),
            rank, onTranslation, std::move(label)};
}

}  // namespace

// Composed as the file stores it: a selection in decomposed form is found
// and marked as one typed composed.
QString lookedUpText(const QString& selection) { return cp1252::composed(selection).simplified().left(kLongestText); }

std::vector<Row> find(DataFile& file, const QString& text, const cardsearch::FormPhrases* forms) {
    if (text.isEmpty()) return {};
    const cardsearch::FieldMatcher matcher(text, cardsearch::Accents::ignored);
    const bool formsToo = forms && !forms->empty();
    const cardsearch::FormsMatcher sourceForms(formsToo ? forms->source : std::vector<cardsearch::FormPhrases::Phrase>{},
                                              cardsearch::Accents::ignored);
    const cardsearch::FormsMatcher targetForms(formsToo ? forms->target : std::vector<cardsearch::FormPhrases::Phrase>{},
                                              cardsearch::Accents::ignored);
    std::vector<Row> rows = slotscan::gather<Row>(
        file, [&](std::int32_t first, std::span<const char> bytes, std::vector<Row>& found) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                const std::int32_t number = first + std::int32_t(at / Module1::kSlotSize);
                if (matcher.possible()) {
                    if (const auto rank = rankOf(matcher, slot)) {
                        found.push_back(rowOf(number, slot, rank->first, rank->second));
                        continue;
                    }
                }
                if (!formsToo) continue;
                if (const auto form = sourceForms.find(Module1::field(slot, Field::expression))) {
                    found.push_back(rowOf(number, slot, Rank::otherForm, false, forms->source[form->phrase].note));
                } else if (const auto other = targetForms.find(Module1::field(slot, Field::traduction))) {
                    found.push_back(rowOf(number, slot, Rank::otherForm, true, forms->target[other->phrase].note));
                }
            }
        });
    if (rows.empty()) {
        // Nothing as it is nor in another form: a word spelt near it.
        const cardsearch::ApproximateMatcher near(text, cardsearch::Accents::ignored);
        const QString label = QStringLiteral("orthographe proche de %1").arg(text);
        rows = slotscan::gather<Row>(file, [&](std::int32_t first, std::span<const char> bytes, std::vector<Row>& found) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                const std::int32_t number = first + std::int32_t(at / Module1::kSlotSize);
                if (near.find(Module1::field(slot, Field::expression))) {
                    found.push_back(rowOf(number, slot, Rank::nearSpelling, false, label));
                } else if (near.find(Module1::field(slot, Field::traduction))) {
                    found.push_back(rowOf(number, slot, Rank::nearSpelling, true, label));
                }
            }
        });
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.rank < b.rank; });
    return rows;
}

std::vector<std::pair<qsizetype, qsizetype>> places(const QString& field, const QString& text) {
    // The folded field, and for each of its characters the field's character it comes from.
    QString folded;
    std::vector<qsizetype> from;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QString one = folding::foldedChar(field[i]);
        folded += one;
        from.insert(from.end(), std::size_t(one.size()), i);
    }
    const QString needle = folding::forComparison(cp1252::composed(text));
    std::vector<std::pair<qsizetype, qsizetype>> found;
    if (needle.isEmpty()) return found;
    for (qsizetype at = folded.indexOf(needle); at >= 0; at = folded.indexOf(needle, at + needle.size())) {
        const qsizetype first = from[std::size_t(at)];
        const qsizetype last = from[std::size_t(at + needle.size() - 1)];
        // Two matches within one character that folds to two ("ss" of "ß") mark it once.
        if (!found.empty() && first < found.back().first + found.back().second) continue;
        found.emplace_back(first, last - first + 1);
    }
    return found;
}

}  // namespace quicklookup
