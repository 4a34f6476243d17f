#pragma once

#include <QChar>
#include <QString>

#include "exchange/card_writer.h"

class QIODevice;

// Writes cards as a table (RFC 4180): UTF-8 with a byte-order mark, a first
// row of French column names, then one row per card, its number first; a
// field holding the separator, a quote or a line break is quoted, its quotes
// doubled; rows end with CR LF.
class CsvWriter final : public CardWriter {
public:
    CsvWriter(QIODevice& out, QChar separator);
    void write(const CardText& card) override;
    bool finish() override { return m_ok; }

    // The columns, in their order.
    static const QStringList& columns();
    // ";" where the user's settings write numbers with a decimal comma, as a
    // spreadsheet there expects; "," elsewhere.
    static QChar separatorForLocale();

private:
    void row(const QStringList& fields);

    QIODevice& m_out;
    QChar m_separator;
    bool m_ok = true;
};
