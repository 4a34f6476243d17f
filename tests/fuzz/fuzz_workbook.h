#pragma once

#include "exchange/exchange_error.h"
#include "exchange/glossary_cards.h"
#include "exchange/table_rows.h"
#include "exchange/workbook_reader.h"
#include "fuzz_input.h"

// Any bytes, taken for a workbook of a kind: read, each sheet made a
// table of cards as an import makes it, or refused with an ExchangeError.
namespace fuzzworkbook {

inline void readAndMakeCards(const std::uint8_t* data, std::size_t size, workbook::Kind kind) {
    fuzzinput::ensureApplication();
    try {
        for (const workbook::Sheet& sheet : workbook::read(fuzzinput::bytes(data, size), kind, QStringLiteral("fuzz"))) {
            TableRows rows(500, [](const QString& what) { throw ExchangeError(what); });
            for (const workbook::Row& row : sheet.rows) rows.add(row.cells, row.line);
            const glossary::Glossary read = rows.finish();
            glossary::cardsOf(read, glossary::proposedPair(read));
        }
    } catch (const ExchangeError&) {
        // A refusal is an answer.
    }
}

}  // namespace fuzzworkbook
