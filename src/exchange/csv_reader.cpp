#include "exchange/csv_reader.h"

#include <QDir>
#include <QStringList>
#include <algorithm>

#include "exchange/exchange_error.h"
#include "exchange/table_rows.h"
#include "exchange/utf8_source.h"

namespace {

// Beyond any field's width: what is longer is cut at the card's width anyway,
// and the reading keeps no more.
constexpr qsizetype kLongestKept = 4096;
// No table of cards has as many columns.
constexpr qsizetype kMostFields = 256;

class Reader {
public:
    Reader(QIODevice& in, const QString& fileName, std::int32_t room)
        : m_file(QDir::toNativeSeparators(fileName)),
          m_source(in, QStringLiteral("Le tableau «\u00A0%1\u00A0»").arg(m_file)),
          m_rows(room, [this](const QString& what) { fail(what); }) {}

    glossary::Glossary read() {
        // The separator is the first line's: what comes before it is kept until it is known.
        QString start, piece;
        while (isBlankText(start) && m_source.next(piece)) start += piece;
        m_separator = separatorOf(start);
        feed(start);
        while (m_source.next(piece)) feed(piece);
        endOfText();
        return m_rows.finish();
    }

private:
    enum class State { fieldStart, unquoted, quoted, quoteInQuoted, afterCarriageReturn };

    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le tableau «\u00A0%1\u00A0» %2. Rien n'a été importé.").arg(m_file, what));
    }

    static bool isBlankText(const QString& text) {
        return text.trimmed().isEmpty() || !text.contains(u'\n');
    }

    // The separator the first line that is not blank uses most, outside quotes.
    static QChar separatorOf(const QString& text) {
        int semicolons = 0, commas = 0, tabs = 0;
        bool quoted = false;
        bool begun = false;
        for (const QChar ch : text) {
            if (ch == u'"') quoted = !quoted;
            if (quoted) continue;
            if (ch == u'\n' || ch == u'\r') {
                if (begun) break;
                continue;
            }
            begun = begun || !ch.isSpace();
            semicolons += ch == u';';
            commas += ch == u',';
            tabs += ch == u'\t';
        }
        if (semicolons >= commas && semicolons >= tabs && semicolons > 0) return u';';
        if (tabs >= commas && tabs > 0) return u'\t';
        return u',';
    }

    void append(QChar ch) {
        if (m_field.size() < kLongestKept) m_field += ch;
    }

    void endField() {
        if (m_fields.size() >= kMostFields) fail(QStringLiteral("a plus de %1 champs à la ligne %2").arg(kMostFields).arg(m_line));
        m_fields.append(QString(m_field.constData(), m_field.size()));
        m_field.resize(0);
    }

    void endRecord() {
        endField();
        m_rows.add(m_fields, m_recordLine);
        m_fields.clear();
        m_recordLine = m_line;
    }

    void feed(QStringView text) {
        for (const QChar ch : text) {
            if (ch == u'\n') ++m_line;
            switch (m_state) {
            case State::afterCarriageReturn:
                m_state = State::fieldStart;
                if (ch == u'\n') {
                    m_recordLine = m_line;
                    break;
                }
                [[fallthrough]];
            case State::fieldStart:
                if (ch == u'"') {
                    m_state = State::quoted;
                    break;
                }
                [[fallthrough]];
            case State::unquoted:
                if (!separatorOrEnd(ch)) {
                    append(ch);
                    m_state = State::unquoted;
                }
                break;
            case State::quoted:
                if (ch == u'"') {
                    m_state = State::quoteInQuoted;
                } else {
                    append(ch);
                }
                break;
            case State::quoteInQuoted:
                if (ch == u'"') {
                    append(ch);
                    m_state = State::quoted;
                } else if (!separatorOrEnd(ch)) {
                    fail(QStringLiteral("a, à la ligne %1, un champ entre guillemets suivi de «\u00A0%2\u00A0» au lieu "
                                        "d'un séparateur")
                             .arg(m_line)
                             .arg(ch));
                }
                break;
            }
        }
    }

    // Ends the field or the record at a separator or a line break.
    bool separatorOrEnd(QChar ch) {
        if (ch == m_separator) {
            endField();
            m_state = State::fieldStart;
        } else if (ch == u'\r') {
            endRecord();
            m_state = State::afterCarriageReturn;
        } else if (ch == u'\n') {
            endRecord();
            m_state = State::fieldStart;
        } else {
            return false;
        }
        return true;
    }

    void endOfText() {
        if (m_state == State::quoted) {
            fail(QStringLiteral("a un guillemet ouvert à la ligne %1 qui n'est jamais refermé").arg(m_recordLine));
        }
        if (m_state != State::afterCarriageReturn && (m_state != State::fieldStart || !m_fields.isEmpty())) endRecord();
    }

    QString m_file;
    Utf8Source m_source;
    QChar m_separator;
    State m_state = State::fieldStart;
    QString m_field;
    QStringList m_fields;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
    TableRows m_rows;
};

}  // namespace

glossary::Glossary readCsv(QIODevice& in, const QString& fileName, std::int32_t room) {
    return Reader(in, fileName, room).read();
}
