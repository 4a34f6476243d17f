#pragma once

#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

#include "exchange/csv_columns.h"
#include "exchange/glossary.h"

// The rows of a table, a CSV file's or a workbook sheet's, made a glossary by
// one rule: blank rows are left out, the first other one names the columns,
// each later one is an entry.
class TableRows {
public:
    // `fail` throws, with what is wrong said after the table's name.
    TableRows(std::int32_t room, std::function<void(const QString&)> fail);

    // Throws through `fail` for a row wider than the columns named, or one
    // holding a term past the `room` the data file has left.
    void add(const QStringList& fields, qint64 line);
    // Throws through `fail` for a table without a card.
    glossary::Glossary finish();

private:
    std::int32_t m_room;
    std::function<void(const QString&)> m_fail;
    std::optional<CsvColumns> m_header;
    glossary::Glossary m_glossary;
    std::int32_t m_withTerms = 0;
};
