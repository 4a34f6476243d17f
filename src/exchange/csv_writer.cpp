#include "exchange/csv_writer.h"

#include <QIODevice>
#include <QLocale>

#include "exchange/card_table.h"

CsvWriter::CsvWriter(QIODevice& out, QChar separator, const QString& source, const QString& target)
    : CsvWriter(out, separator, cardtable::titles(source, target)) {}

CsvWriter::CsvWriter(QIODevice& out, QChar separator, const QStringList& titles) : m_out(out), m_separator(separator) {
    m_ok = m_out.write("\xEF\xBB\xBF") == 3;
    row(titles);
}

QChar CsvWriter::separatorForLocale() {
    return QLocale().decimalPoint() == QLatin1String(",") ? QChar(u';') : QChar(u',');
}

void CsvWriter::write(const CardText& card) { row(cardtable::row(card)); }

void CsvWriter::row(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) line += m_separator;
        QString field = exchangeable(fields[i]);
        const bool quoted = field.contains(m_separator) || field.contains(u'"') || field.contains(u'\r') ||
                            field.contains(u'\n');
        if (quoted) {
            field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            field = u'"' + field + u'"';
        }
        line += field;
    }
    line += QStringLiteral("\r\n");
    const QByteArray bytes = line.toUtf8();
    if (m_out.write(bytes) != bytes.size()) m_ok = false;
}
