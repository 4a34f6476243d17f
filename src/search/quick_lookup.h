#pragma once

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "store/data_file.h"

// Looking a term up from another program: the cards that hold a text in any
// of their seven fields, case and accents ignored, the likeliest first.
namespace quicklookup {

// How close a card comes to the text, best first.
enum class Rank { sameExpression, expressionBegins, expressionHolds, otherField };

struct Row {
    std::int32_t slot = 0;
    QString numero;
    QString expression;
    QString traduction;
    Rank rank = Rank::otherField;
};

// The text a selection gives, as it is looked up: white space at its ends
// left out and every run of it within as one space (a selection over a line
// break still finds the phrase), no longer than the longest field.
QString lookedUpText(const QString& selection);

// The cards holding the text, ranked, in slot order within each rank; none
// for an empty text. A failure throws StoreError.
std::vector<Row> find(DataFile& file, const QString& text);

// Where the text lies in a field's decoded text, case and accents ignored:
// each place as its first character and its length there.
std::vector<std::pair<qsizetype, qsizetype>> places(const QString& field, const QString& text);

}  // namespace quicklookup
