#pragma once

#include <QString>
#include <QStringList>

#include "exchange/card_text.h"

// The table of cards the CSV and workbook exports write, which their import
// reads back: one column a field, the card's number first; the expression's
// and the translation's columns say their languages, « Expression (fr) »;
// an entry the same as its term is left empty, an import taking the term
// for it.
namespace cardtable {

// The column titles, for cards from `source` to `target` (codes).
QStringList titles(const QString& source, const QString& target);

// The card's row, its number first.
QStringList row(const CardText& card);

// The columns in a row: the number's, then the seven fields'.
inline constexpr qsizetype kNumberColumn = 0;

}  // namespace cardtable
