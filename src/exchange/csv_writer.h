#pragma once

#include <QChar>
#include <QString>

#include "exchange/card_writer.h"

class QIODevice;

// Writes cards as a table (RFC 4180): UTF-8 with a byte-order mark, the
// table's French column titles (card_table.h), then one row per card; a
// field holding the separator, a quote or a line break is quoted, its quotes
// doubled; rows end with CR LF.
class CsvWriter final : public CardWriter {
public:
    // For cards from `source` to `target` (language codes).
    CsvWriter(QIODevice& out, QChar separator, const QString& source, const QString& target);
    // Any table: its column titles, then writeRow for each row.
    CsvWriter(QIODevice& out, QChar separator, const QStringList& titles);
    void write(const CardText& card) override;
    void writeRow(const QStringList& fields) { row(fields); }
    bool finish() override { return m_ok; }

    // ";" where the user's settings write numbers with a decimal comma, as a
    // spreadsheet there expects; "," elsewhere.
    static QChar separatorForLocale();

private:
    void row(const QStringList& fields);

    QIODevice& m_out;
    QChar m_separator;
    bool m_ok = true;
};
