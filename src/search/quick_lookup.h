#pragma once

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "search/forms_matcher.h"
#include "store/data_file.h"

// Looking a term up from another program: the cards that hold a text in any
// of their seven fields, case and accents ignored, the likeliest first; then
// those whose expression or translation is another form of it; where none
// does, those a word of which is spelt near it.
namespace quicklookup {

// How close a card comes to the text, best first: its expression or its
// translation is the text, begins with it, holds it; another field holds
// it; the expression or the translation holds another form of it; a word
// spelt near it.
enum class Rank { same, begins, holds, otherField, otherForm, nearSpelling };

struct Row {
    std::int32_t slot = 0;
    QString numero;
    QString expression;
    QString traduction;
    Rank rank = Rank::otherField;
    // Found on the translation's side, not the expression's: the other
    // side, the expression, is the one to copy.
    bool onTranslation = false;
    QString label;  // how it was found, where not as the text is: "forme de claims"
};

// The text a selection gives, as it is looked up: composed as the file
// stores it, white space at its ends left out and every run of it within as
// one space (a selection over a line break still finds the phrase), no
// longer than the longest field.
QString lookedUpText(const QString& selection);

// The cards holding the text, ranked, in slot order within each rank; then,
// with `forms`, those whose expression or translation holds another form of
// it; where neither finds any, near spellings. None for an empty text. A
// failure throws StoreError.
std::vector<Row> find(DataFile& file, const QString& text, const cardsearch::FormPhrases* forms = nullptr);

// Where the text lies in a field's decoded text, case and accents ignored:
// each place as its first character and its length there.
std::vector<std::pair<qsizetype, qsizetype>> places(const QString& field, const QString& text);

}  // namespace quicklookup
