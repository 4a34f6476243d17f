#pragma once

#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "exchange/csv_columns.h"
#include "exchange/glossary.h"

// The rows of a table, a CSV file's or a workbook sheet's, made a glossary:
// blank rows are left out, and so are the title rows above the row of
// column titles (the first row that reads as one, else the first row);
// each later row is an entry.
class TableRows {
public:
    // `fail` throws, with what is wrong said after the table's name.
    TableRows(std::int32_t room, std::function<void(const QString&)> fail);

    // Throws through `fail` for a row wider than the columns named, or one
    // holding a term past the `room` the data file has left.
    void add(const QStringList& fields, qint64 line);
    // Throws through `fail` for a table without a card. What the reading
    // left aside or moved (title rows, columns into the miscellanea) is in
    // the glossary's remarks.
    glossary::Glossary finish();

private:
    struct Row {
        QStringList fields;
        qint64 line;
    };
    void takeTitles(std::size_t at);
    void addEntry(const QStringList& fields, qint64 line);

    std::int32_t m_room;
    std::function<void(const QString&)> m_fail;
    std::optional<CsvColumns> m_header;
    std::vector<Row> m_above;  // rows read before the titles were found
    qsizetype m_titleRowsLeft = 0;
    glossary::Glossary m_glossary;
    std::int32_t m_withTerms = 0;
};
