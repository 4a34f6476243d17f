#include "exchange/csv_reader.h"

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "exchange/csv_columns.h"
#include "exchange/exchange_error.h"
#include "exchange/utf8_source.h"

namespace {

// Beyond any field's width: what is longer is cut at the card's width anyway,
// and the reading keeps no more.
constexpr qsizetype kLongestKept = 4096;
// No table of cards has as many columns.
constexpr qsizetype kMostFields = 256;

bool isBlank(const QStringList& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const QString& field) { return field.trimmed().isEmpty(); });
}

class Reader {
public:
    Reader(QIODevice& in, const QString& fileName, std::int32_t room)
        : m_file(QDir::toNativeSeparators(fileName)),
          m_source(in, QStringLiteral("Le tableau «\u00A0%1\u00A0»").arg(m_file)),
          m_room(room) {}

    glossary::Glossary read() {
        // The separator is the first line's: what comes before it is kept until it is known.
        QString start, piece;
        while (isBlankText(start) && m_source.next(piece)) start += piece;
        m_separator = separatorOf(start);
        feed(start);
        while (m_source.next(piece)) feed(piece);
        endOfText();
        if (!m_header || m_withTerms == 0) fail(QStringLiteral("ne contient aucune fiche"));
        for (const QString& language : m_header->languages()) {
            const bool used = std::any_of(m_glossary.entries.begin(), m_glossary.entries.end(), [&](const glossary::Entry& entry) {
                return std::any_of(entry.languages.begin(), entry.languages.end(), [&](const glossary::LanguagePart& part) {
                    return part.language == language && !part.terms.empty();
                });
            });
            if (used) m_glossary.languages.append(language);  // an empty column is nothing to choose from
        }
        return std::move(m_glossary);
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
        m_fields.append(m_field);
        m_field.clear();
    }

    void endRecord() {
        endField();
        record(m_fields);
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

    void record(const QStringList& fields) {
        if (isBlank(fields)) return;
        if (!m_header) {
            m_header.emplace(fields, m_recordLine, [this](const QString& what) { fail(what); });
            return;
        }
        const qsizetype named = m_header->count();
        if (fields.size() > named && !isBlank(fields.mid(named))) {
            fail(QStringLiteral("a, à la ligne %1, %2 champs alors que la première ligne nomme %3 colonnes")
                     .arg(m_recordLine)
                     .arg(fields.size())
                     .arg(named));
        }
        glossary::Entry entry = m_header->entry(fields);
        const bool anyTerm = std::any_of(entry.languages.begin(), entry.languages.end(),
                                         [](const glossary::LanguagePart& part) { return !part.terms.empty(); });
        if (anyTerm && ++m_withTerms > m_room) {
            fail(glossary::pastTheRoom(m_room));
        }
        m_glossary.entries.push_back(std::move(entry));
    }

    QString m_file;
    Utf8Source m_source;
    std::int32_t m_room;
    QChar m_separator;
    State m_state = State::fieldStart;
    QString m_field;
    QStringList m_fields;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
    std::optional<CsvColumns> m_header;
    glossary::Glossary m_glossary;
    std::int32_t m_withTerms = 0;
};

}  // namespace

glossary::Glossary readCsv(QIODevice& in, const QString& fileName, std::int32_t room) {
    return Reader(in, fileName, room).read();
}
