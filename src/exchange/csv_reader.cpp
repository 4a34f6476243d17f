#include "exchange/csv_reader.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>

#include "exchange/exchange_error.h"
#include "exchange/utf8_source.h"
#include "store/fiche_record.h"

using Module1::Field;

namespace {

// Beyond any field's width: what is longer is cut at the card's width anyway,
// and the reading keeps no more.
constexpr qsizetype kLongestKept = 4096;
// No table of cards has as many columns.
constexpr qsizetype kMostFields = 256;

// A column's name as compared: lower case, without accents, marks or spaces.
QString folded(const QString& name) {
    QString out;
    for (const QChar ch : name.normalized(QString::NormalizationForm_D).toLower()) {
        if (ch.isLetterOrNumber()) out += ch;
    }
    return out;
}

// What a column holds.
struct Column {
    enum class Kind { ignored, field, language, definition, note, partOfSpeech };
    Kind kind = Kind::ignored;
    Field field = Field::expression;
    QString language;
};

const QMap<QString, Column>& knownColumns() {
    static const QMap<QString, Column> columns = [] {
        QMap<QString, Column> map;
        const auto add = [&map](Column column, std::initializer_list<const char*> names) {
            for (const char* name : names) map.insert(folded(QString::fromUtf8(name)), column);
        };
        const auto field = [](Field which) { return Column{Column::Kind::field, which, {}}; };
        add({}, {"N° fiche", "No fiche", "Numéro fiche", "Numero fiche", "Numéro", "N°"});
        add(field(Field::expression), {"Expression", "Terme", "Source", "Term", "Source term"});
        add(field(Field::traduction), {"Traduction", "Cible", "Target", "Translation", "Target term"});
        add(field(Field::dictionnaire), {"Entrées texte source"});
        add(field(Field::dictionnairecible), {"Entrées texte cible"});
        add(field(Field::miscellanea), {"Miscellanea", "Notes", "Note", "Remarques"});
        add(field(Field::reference), {"Référence", "Références", "Reference"});
        add(field(Field::contexte), {"Contexte", "Context"});
        add({Column::Kind::definition, {}, {}}, {"description", "definition", "définition"});
        add({Column::Kind::note, {}, {}}, {"comment", "comments", "commentaire", "commentaires"});
        add({Column::Kind::partOfSpeech, {}, {}}, {"pos", "part of speech", "partOfSpeech"});
        return map;
    }();
    return columns;
}

bool namesALanguage(const QString& name) {
    static const QRegularExpression code(QStringLiteral("^[A-Za-z]{2,3}([-_][A-Za-z0-9]{1,8})*$"));
    return code.match(name.trimmed()).hasMatch();
}

// The columns of a table, from its first line.
class Header {
public:
    Header(const QStringList& names, qint64 line, const std::function<void(const QString&)>& fail) {
        const QString where = QStringLiteral(" (ligne %1)").arg(line);
        QStringList named = names;
        if (named.size() > 1 && named.back().trimmed().isEmpty()) named.removeLast();  // a trailing separator
        QList<Field> fields;
        for (qsizetype i = 0; i < named.size(); ++i) {
            const QString& name = named[i];
            if (name.trimmed().isEmpty()) fail(QStringLiteral("a une colonne sans nom, la n°\u00A0%1").arg(i + 1) + where);
            Column column;
            const auto known = knownColumns().find(folded(name));
            if (known != knownColumns().end()) {
                column = *known;
            } else if (namesALanguage(name)) {
                column = {Column::Kind::language, Field::expression, glossary::primaryLanguage(name)};
                if (m_languages.contains(column.language)) {
                    fail(QStringLiteral("a deux colonnes pour la langue «\u00A0%1\u00A0»").arg(column.language) + where);
                }
                m_languages.append(column.language);
            } else {
                fail(QStringLiteral("a une colonne «\u00A0%1\u00A0» que Lexicarium ne connaît pas%2. Il lit les "
                                    "colonnes «\u00A0source\u00A0», «\u00A0target\u00A0» et «\u00A0notes\u00A0»\u00A0; "
                                    "les siennes, «\u00A0%3\u00A0»\u00A0; ou des colonnes nommées par un code de langue "
                                    "(«\u00A0en\u00A0», «\u00A0fr\u00A0»...) avec «\u00A0description\u00A0», "
                                    "«\u00A0definition\u00A0», «\u00A0comment\u00A0», «\u00A0note\u00A0» et "
                                    "«\u00A0pos\u00A0». Renommez-la ou retirez-la\u00A0; si le fichier n'a pas de ligne "
                                    "de titres, ajoutez-en une")
                         .arg(name, where, QStringLiteral("N° fiche\u00A0», «\u00A0Expression\u00A0», «\u00A0Traduction\u00A0», "
                                                   "«\u00A0Entrées texte source\u00A0», «\u00A0Entrées texte cible\u00A0», "
                                                   "«\u00A0Miscellanea\u00A0», «\u00A0Référence\u00A0», «\u00A0Contexte")));
            }
            if (column.kind == Column::Kind::field) {
                if (fields.contains(column.field)) fail(QStringLiteral("a deux colonnes pour «\u00A0%1\u00A0»").arg(name) + where);
                fields.append(column.field);
            }
            m_columns.push_back(column);
        }
        const bool termsByPosition = std::any_of(fields.begin(), fields.end(), [](Field field) {
            return field == Field::expression || field == Field::traduction || field == Field::dictionnaire ||
                   field == Field::dictionnairecible;
        });
        if (termsByPosition && !m_languages.isEmpty()) {
            fail(QStringLiteral("nomme à la fois des langues («\u00A0%1\u00A0») et des colonnes d'expression ou de "
                                "traduction%2\u00A0: gardez les unes ou les autres")
                     .arg(m_languages.join(QStringLiteral("\u00A0», «\u00A0")), where));
        }
    }

    const std::vector<Column>& columns() const { return m_columns; }
    const QStringList& languages() const { return m_languages; }

    // The entry a row holds.
    glossary::Entry entry(const QStringList& fields) const {
        glossary::Entry entry;
        if (m_languages.isEmpty()) entry.languages.resize(2);
        for (const QString& language : m_languages) entry.languages.push_back({language, {}, {}, {}, {}, {}, {}});
        for (qsizetype i = 0; i < fields.size() && i < qsizetype(m_columns.size()); ++i) {
            const Column& column = m_columns[std::size_t(i)];
            const QString& text = fields[i];
            if (text.isEmpty()) continue;
            switch (column.kind) {
            case Column::Kind::ignored:
                break;
            case Column::Kind::language:
                entry.languages[std::size_t(m_languages.indexOf(column.language))].terms.push_back({text, {}, {}});
                break;
            case Column::Kind::definition:
                entry.definitions.append(text);
                break;
            case Column::Kind::note:
                entry.notes.append(text);
                break;
            case Column::Kind::partOfSpeech:
                entry.partsOfSpeech.append(text);
                break;
            case Column::Kind::field:
                place(entry, column.field, text);
                break;
            }
        }
        return entry;
    }

private:
    // A column of this program's own tables, where the first part of an
    // entry is the expression's and the second the translation's.
    static void place(glossary::Entry& entry, Field field, const QString& text) {
        switch (field) {
        case Field::expression:
            entry.languages[0].terms.push_back({text, {}, {}});
            break;
        case Field::traduction:
            entry.languages[1].terms.push_back({text, {}, {}});
            break;
        case Field::dictionnaire:
            entry.languages[0].notes.append(text);
            break;
        case Field::dictionnairecible:
            entry.languages[1].notes.append(text);
            break;
        case Field::miscellanea:
            entry.notes.append(text);
            break;
        case Field::reference:
            entry.sources.append(text);
            break;
        case Field::contexte:
            entry.contexts.append(text);
            break;
        }
    }

    std::vector<Column> m_columns;
    QStringList m_languages;
};

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
        m_glossary.languages = m_header->languages();
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
        const qsizetype named = qsizetype(m_header->columns().size());
        if (fields.size() > named && !isBlank(fields.mid(named))) {
            fail(QStringLiteral("a, à la ligne %1, %2 champs alors que la première ligne nomme %3 colonnes")
                     .arg(m_recordLine)
                     .arg(fields.size())
                     .arg(named));
        }
        glossary::Entry entry = m_header->entry(fields);
        entry.line = m_recordLine;
        const bool anyTerm = std::any_of(entry.languages.begin(), entry.languages.end(),
                                         [](const glossary::LanguagePart& part) { return !part.terms.empty(); });
        if (anyTerm && ++m_withTerms > m_room) {
            fail(QStringLiteral("a plus de %1 lignes de termes\u00A0: le fichier de données ne peut plus recevoir que "
                                "%1 fiches")
                     .arg(m_room));
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
    std::optional<Header> m_header;
    glossary::Glossary m_glossary;
    std::int32_t m_withTerms = 0;
};

}  // namespace

glossary::Glossary readCsv(QIODevice& in, const QString& fileName, std::int32_t room) {
    return Reader(in, fileName, room).read();
}
