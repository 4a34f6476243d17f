#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "search/field_matcher.h"
#include "search/forms_matcher.h"
#include "search/match_context.h"
#include "search/query_matcher.h"
#include "store/data_file.h"

// One row of the result grid: what a listed card shows there, and the tool
// tip that says why it is listed (empty: none).
struct ResultRow {
    QString numero;
    QString dictionnaire;
    QString dictionnairecible;
    QString reference;
    matchcontext::Note toolTip;
};

// Reading the data file for the Consultation window: each slot once, in
// order; the record buffer is left holding the last one. A failure throws
// StoreError, and leaves the record buffer as it was.
namespace cardsearch {

enum class SearchedField { dictionnaire, dictionnairecible };

// Where a search looks: the dictionary entries the option buttons choose,
// one other field, or the seven text fields of the card.
enum class Scope { entries, expression, traduction, contexte, everyField };

struct Query {
    QString text;
    Scope scope = Scope::entries;
    SearchedField entries = SearchedField::dictionnaire;  // for Scope::entries only
    Accents accents = Accents::kept;
    MatchOptions options;
    // The text's other forms, with « Formes fléchies »: a card holding one
    // of them is found too.
    std::shared_ptr<const FormPhrases> forms;
};

// The cards of every slot where the query's text lies in a searched field,
// in slot order. Outside the entries, and in them for an approximate
// search, each row's tool tip names the first field that holds the text
// and shows what was found there.
std::vector<ResultRow> search(DataFile& file, const Query& query);

// Every slot, slot i in row i, whatever it holds.
std::vector<ResultRow> fullList(DataFile& file);

// The row a slot shows, without a tool tip.
ResultRow rowOf(Module1::SlotView slot);

// The fields a query's scope looks in, in their order on file: the first
// that holds the text is the one a tool tip names.
std::vector<Module1::Field> fieldsOf(const Query& query);

}  // namespace cardsearch
