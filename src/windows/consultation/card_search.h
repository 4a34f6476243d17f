#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "store/data_file.h"

// One row of the result grid: what a listed card shows there.
struct ResultRow {
    QString numero;
    QString dictionnaire;
    QString dictionnairecible;
    QString reference;
};

// Reading the data file for the Consultation window. Every slot passes
// through the record buffer; a failure throws StoreError.
namespace cardsearch {

enum class SearchedField { dictionnaire, dictionnairecible };

// True when the text, lower-cased, lies anywhere in the whole field, the
// spaces that fill it included, lower-cased too.
bool matches(const Module1::FicheRecord& fiche, SearchedField field, const QString& loweredText);

// The cards of every slot whose chosen field holds the text, in slot order.
std::vector<ResultRow> search(DataFile& file, SearchedField field, const QString& text);

// Every slot, slot i in row i, whatever it holds.
std::vector<ResultRow> fullList(DataFile& file);

}  // namespace cardsearch
