#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "exchange/card_text.h"
#include "exchange/glossary.h"
#include "store/fiche_record.h"

class DataFile;

// Takes cards from a file other tools wrote, a TBX glossary, a CSV table, a
// tab-separated glossary or a workbook, and adds them to the data file after its last
// slot: all of them or none, never over an existing card.
namespace cardimport {

// Larger files are refused before they are read.
inline constexpr qint64 kLargestFile = qint64(256) * 1024 * 1024;

// The whole file, read and checked: a TBX glossary (".tbx", ".xml", or a
// file that begins as XML does), a tab-separated glossary (".txt", ".tab",
// ".utf8") or a CSV table. Reading stops, refused, as soon as more entries
// hold a term than `room`, the cards the data file may still take. Throws
// ExchangeError naming the entry or the line of what is wrong, or saying that
// memory ran short.
//
// A workbook (".xlsx", ".ods") is read as a table, from one of its sheets:
// the only one, or the one `chooseSheet` picks among them all, each with its
// name and the rows holding text, hidden sheets last. A chooser that picks
// none ends the reading with SheetNotChosen.
struct SheetChoice {
    QString name;
    qsizetype rows = 0;
    bool hidden = false;
};
using SheetChooser = std::function<std::optional<std::size_t>(const std::vector<SheetChoice>&)>;
struct SheetNotChosen {};
glossary::Glossary readFile(const QString& path, std::int32_t room = Module1::kHighestCardNumber,
                            const SheetChooser& chooseSheet = {});

// The cards whose expression and translation, compared as duplicates are
// (case, accents and spaces aside), are on no card of the data file nor on
// an earlier card of the same import; `alreadyThere` counts the others.
// Throws StoreError when the data file cannot be read.
std::vector<CardText> withoutCardsAlreadyThere(std::vector<CardText> cards, DataFile& data, int& alreadyThere);

// The cards as they will be stored, numbered from the record count + 1.
// They are kept as text and made into slots as they are written: the
// largest import never holds its slots all at once beside its cards.
struct Plan {
    std::int32_t first = 0;
    std::vector<CardText> cards;
    int altered = 0;       // cards with a field cut at its width or a character stored as "?"
    std::vector<qint64> alteredLines;  // where those cards' entries begin in the file read, where known
    int alreadyThere = 0;  // cards of the file left aside, being in the data file already
    std::int32_t count() const { return std::int32_t(cards.size()); }
    std::int32_t last() const { return first + count() - 1; }
};

// Throws ExchangeError when the cards would pass card 32767.
Plan plan(std::vector<CardText> cards, std::int32_t recordCount);

// Writes the planned cards in one save through the recovery file: a failure
// or a crash leaves the data file as it was. Throws StoreError, writing
// nothing, when the file has grown since the plan was made.
void apply(DataFile& data, const Plan& plan);

}  // namespace cardimport
