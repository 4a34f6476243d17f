#pragma once

#include <QString>
#include <cstdint>

#include "exchange/glossary.h"

class QIODevice;

// Reads a table (RFC 4180, UTF-8, with or without a byte-order mark; fields
// separated by ";", "," or a tab, whichever the first line uses most),
// checked whole as it is read. Blank lines before the first are skipped.
// The first line names the columns, in any order: those CsvWriter writes,
// "source", "target" and "notes" (and a few other names, in French or
// English), or language codes ("en", "fr-CA"...) with "description",
// "definition", "comment", "note" and "pos". An empty last column is
// ignored. Throws ExchangeError naming the line for an unknown column, a
// malformed row, a file not in UTF-8, or more rows holding a term than `room`.
glossary::Glossary readCsv(QIODevice& in, const QString& fileName, std::int32_t room);
