#include "search/quick_lookup.h"

#include <algorithm>

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

constexpr Field kOtherFields[] = {Field::traduction,   Field::dictionnaire, Field::dictionnairecible,
                                  Field::miscellanea,  Field::reference,    Field::contexte};

std::optional<Rank> rankOf(const cardsearch::FieldMatcher& matcher, Module1::SlotView slot) {
    const std::span<const char> expression = Module1::field(slot, Field::expression);
    if (const auto match = matcher.find(expression)) {
        if (match->begin > 0) return Rank::expressionHolds;
        return match->end == fieldtext::textLength(expression) ? Rank::sameExpression : Rank::expressionBegins;
    }
    for (const Field field : kOtherFields) {
        if (matcher.matches(Module1::field(slot, field))) return Rank::otherField;
    }
    return std::nullopt;
}

}  // namespace

// Composed as the file stores it: a selection in decomposed form is found
// and marked as one typed composed.
QString lookedUpText(const QString& selection) { return cp1252::composed(selection).simplified().left(kLongestText); }

std::vector<Row> find(DataFile& file, const QString& text) {
    if (text.isEmpty()) return {};
    const cardsearch::FieldMatcher matcher(text, cardsearch::Accents::ignored);
    if (!matcher.possible()) return {};
    std::vector<Row> rows = slotscan::gather<Row>(
        file, [&](std::int32_t first, std::span<const char> bytes, std::vector<Row>& found) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                const auto rank = rankOf(matcher, slot);
                if (!rank) continue;
                found.push_back({first + std::int32_t(at / Module1::kSlotSize),
                                 numbertext::fromNumero(Module1::numeroOf(slot)),
                                 fieldtext::read(Module1::field(slot, Field::expression)),
                                 fieldtext::read(Module1::field(slot, Field::traduction)), *rank});
            }
        });
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
