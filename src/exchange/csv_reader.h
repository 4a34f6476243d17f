#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "exchange/card_text.h"

// Reads the cards of a table saved as CSV (RFC 4180), checked whole before
// any is given: UTF-8 with or without its byte-order mark; fields separated
// by ";", "," or a tab, whichever the first line uses most; fields quoted
// where they hold a separator, a quote (doubled) or a line break. The first
// line names the columns, as CsvWriter writes them or as other tools do
// ("source", "target", "notes"...); the card-number column is not read.
// Throws ExchangeError naming the line for another encoding, an unknown
// column, a quote left open or a line of too many fields.
std::vector<CardText> readCsv(const QByteArray& bytes, const QString& fileName);
