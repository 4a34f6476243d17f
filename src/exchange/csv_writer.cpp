#include "exchange/csv_writer.h"

#include <QIODevice>
#include <QLocale>

using Module1::Field;

CsvWriter::CsvWriter(QIODevice& out, QChar separator) : m_out(out), m_separator(separator) {
    m_ok = m_out.write("\xEF\xBB\xBF") == 3;
    row(columns());
}

const QStringList& CsvWriter::columns() {
    static const QStringList names = {QStringLiteral("N° fiche"),          QStringLiteral("Expression"),
                                      QStringLiteral("Traduction"),        QStringLiteral("Entrées texte source"),
                                      QStringLiteral("Entrées texte cible"), QStringLiteral("Miscellanea"),
                                      QStringLiteral("Référence"),         QStringLiteral("Contexte")};
    return names;
}

QChar CsvWriter::separatorForLocale() {
    return QLocale().decimalPoint() == QLatin1String(",") ? QChar(u';') : QChar(u',');
}

void CsvWriter::write(const CardText& card) {
    row({QString::number(card.numero), card[Field::expression], card[Field::traduction], card[Field::dictionnaire],
         card[Field::dictionnairecible], card[Field::miscellanea], card[Field::reference], card[Field::contexte]});
}

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
