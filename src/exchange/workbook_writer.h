#pragma once

#include <QStringList>
#include <vector>

#include "exchange/card_writer.h"
#include "exchange/workbook_reader.h"

class QIODevice;

// Writes cards as a workbook of one sheet, Excel (.xlsx) or OpenDocument
// (.ods): the table's column titles (card_table.h), bold and frozen, then
// one row per card; the card's number a number cell, every other cell a
// text cell (a text beginning with "=" stays text), an empty field no cell,
// line breaks kept, the columns as wide as their content within reason.
class WorkbookWriter final : public CardWriter {
public:
    // For cards from `source` to `target` (language codes).
    WorkbookWriter(QIODevice& out, workbook::Kind kind, const QString& source, const QString& target);
    // Any table: its column titles, the column of numbers if any (-1: none),
    // then writeRow for each row.
    WorkbookWriter(QIODevice& out, workbook::Kind kind, const QStringList& titles, qsizetype numberColumn = -1);
    void write(const CardText& card) override;
    void writeRow(QStringList row);
    bool finish() override;

private:
    QByteArray excel() const;
    QByteArray openDocument() const;
    // Each column's width in characters, from its longest line.
    std::vector<int> widths() const;

    QIODevice& m_out;
    workbook::Kind m_kind;
    qsizetype m_numberColumn;
    std::vector<QStringList> m_rows;
};
