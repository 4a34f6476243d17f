#include "exchange/csv_columns.h"

#include <QMap>
#include <algorithm>
#include <optional>

#include "exchange/languages.h"

#include "search/folding.h"
#include "store/fiche_record.h"

using Module1::Field;

namespace {

// A column's name as compared: folded as every search folds, without
// marks, spaces or punctuation.
QString folded(const QString& name) {
    QString out;
    for (const QChar ch : folding::forComparison(name)) {
        if (ch.isLetterOrNumber()) out += ch;
    }
    return out;
}

using Column = CsvColumns::Column;

const QMap<QString, Column>& knownColumns() {
    static const QMap<QString, Column> columns = [] {
        QMap<QString, Column> map;
        const auto add = [&map](Column column, std::initializer_list<const char*> names) {
            for (const char* name : names) map.insert(folded(QString::fromUtf8(name)), column);
        };
        const auto field = [](Field which) { return Column{Column::Kind::field, which, {}, {}}; };
        add({}, {"N° fiche", "No fiche", "Numéro fiche", "Numero fiche", "Numéro", "N°"});
        add(field(Field::expression), {"Expression", "Terme", "Source", "Term", "Source term"});
        add(field(Field::traduction), {"Traduction", "Cible", "Target", "Translation", "Target term"});
        add(field(Field::dictionnaire), {"Entrées texte source"});
        add(field(Field::dictionnairecible), {"Entrées texte cible"});
        add(field(Field::miscellanea), {"Miscellanea", "Notes", "Note", "Remarques"});
        add(field(Field::reference), {"Référence", "Références", "Reference"});
        add(field(Field::contexte), {"Contexte", "Context"});
        add({Column::Kind::definition, {}, {}, {}}, {"description", "definition", "définition"});
        add({Column::Kind::note, {}, {}, {}}, {"comment", "comments", "commentaire", "commentaires"});
        add({Column::Kind::partOfSpeech, {}, {}, {}}, {"pos", "part of speech", "partOfSpeech"});
        return map;
    }();
    return columns;
}

// A column's name and the language it says in brackets: "Expression (fr)",
// "Traduction (anglais)".
struct NamedColumn {
    QString name;
    QString language;
};

NamedColumn split(const QString& name) {
    QStringView text = QStringView(name);
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    const qsizetype open = text.lastIndexOf(u'(');
    if (!text.endsWith(u')') || open < 0) return {name, {}};
    const QStringView inside = text.mid(open + 1, text.size() - open - 2);
    QStringView before = text.left(open);
    while (!before.isEmpty() && before.back().isSpace()) before.chop(1);
    if (inside.isEmpty() || inside.contains(u')') || before.isEmpty()) return {name, {}};
    if (const QString code = languages::codeOfName(inside.toString()); !code.isEmpty()) return {before.toString(), code};
    return {name, {}};
}

// What a named column is, without the language it may say.
std::optional<Column> knownColumn(const QString& name) {
    const auto known = knownColumns().find(folded(name));
    if (known != knownColumns().end()) return *known;
    if (const QString code = languages::codeOfName(name); !code.isEmpty()) {
        return Column{Column::Kind::language, Field::expression, glossary::primaryLanguage(code), {}};
    }
    return std::nullopt;
}

bool holdsTerms(const Column& column) {
    return column.kind == Column::Kind::language ||
           (column.kind == Column::Kind::field && (column.field == Field::expression || column.field == Field::traduction));
}

// A column of this program's own tables, where the first part of an
// entry is the expression's and the second the translation's.
void place(glossary::Entry& entry, Field field, const QString& text) {
    switch (field) {
    case Field::expression:
        entry.languages[0].terms.push_back({text, {}, {}});
        break;
    case Field::traduction:
        entry.languages[1].terms.push_back({text, {}, {}});
        break;
    case Field::dictionnaire:
        entry.languages[0].entries.append(text);
        break;
    case Field::dictionnairecible:
        entry.languages[1].entries.append(text);
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

}  // namespace

bool CsvColumns::looksLikeTitles(const QStringList& names) {
    qsizetype named = 0;
    bool terms = false;
    for (const QString& name : names) {
        if (name.trimmed().isEmpty()) continue;
        ++named;
        const auto column = knownColumn(split(name).name);
        terms = terms || (column && holdsTerms(*column));
    }
    return named >= 2 && terms;
}

CsvColumns::CsvColumns(const QStringList& names, qint64 line, const std::function<void(const QString&)>& fail) {
    const QString where = QStringLiteral(" (ligne %1)").arg(line);
    QStringList named = names;
    if (named.size() > 1 && named.back().trimmed().isEmpty()) named.removeLast();  // a trailing separator
    QList<Field> fields;
    QStringList termLanguages;  // those the expression and translation columns name
    bool anyTerms = false;
    for (qsizetype i = 0; i < named.size(); ++i) {
        const NamedColumn given = split(named[i].trimmed());
        Column column;
        if (given.name.isEmpty()) {
            // A column without a title: what it holds is kept all the same.
            column = {Column::Kind::other, Field::expression, {}, QStringLiteral("Colonne %1").arg(i + 1)};
        } else if (const auto known = knownColumn(given.name)) {
            column = *known;
        } else {
            column = {Column::Kind::other, Field::expression, {}, named[i].trimmed()};
        }
        if (column.kind == Column::Kind::language) {
            if (m_languages.contains(column.language)) {
                fail(QStringLiteral("a deux colonnes pour la langue «\u00A0%1\u00A0»").arg(column.language) + where);
            }
            m_languages.append(column.language);
        } else if (column.kind == Column::Kind::field) {
            if (fields.contains(column.field)) fail(QStringLiteral("a deux colonnes pour «\u00A0%1\u00A0»").arg(named[i]) + where);
            fields.append(column.field);
            if (!given.language.isEmpty() && (column.field == Field::expression || column.field == Field::traduction)) {
                column.language = given.language;
                termLanguages.append(given.language);
            }
        } else if (column.kind == Column::Kind::other && !given.name.isEmpty()) {
            m_others.append(column.name);
        }
        anyTerms = anyTerms || holdsTerms(column);
        m_columns.push_back(column);
    }
    if (!anyTerms) {
        fail(QStringLiteral("n'a pas de colonne de termes%1. Lexicarium lit les colonnes «\u00A0source\u00A0», "
                            "«\u00A0target\u00A0» et «\u00A0notes\u00A0»\u00A0; les siennes, «\u00A0%2\u00A0»\u00A0; "
                            "ou des colonnes nommées par une langue («\u00A0en\u00A0», «\u00A0Anglais\u00A0», "
                            "«\u00A0French\u00A0»...) avec «\u00A0description\u00A0», «\u00A0definition\u00A0», "
                            "«\u00A0comment\u00A0», «\u00A0note\u00A0» et «\u00A0pos\u00A0»\u00A0; les autres vont "
                            "dans les Miscellanea. Si le fichier n'a pas de ligne de titres, ajoutez-en une")
                 .arg(where, QStringLiteral("N° fiche\u00A0», «\u00A0Expression\u00A0», «\u00A0Traduction\u00A0», "
                                            "«\u00A0Entrées texte source\u00A0», «\u00A0Entrées texte cible\u00A0», "
                                            "«\u00A0Miscellanea\u00A0», «\u00A0Référence\u00A0», «\u00A0Contexte")));
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
    // An expression and a translation that say their languages, different
    // ones: the table's two languages, the expression's first.
    const auto languageOf = [&](Field field) {
        for (const Column& column : m_columns) {
            if (column.kind == Column::Kind::field && column.field == field) return column.language;
        }
        return QString();
    };
    const QString from = languageOf(Field::expression);
    const QString to = languageOf(Field::traduction);
    if (!from.isEmpty() && !to.isEmpty() && from != to) {
        m_languages = {from, to};
        m_directed = true;
    }
}

glossary::Entry CsvColumns::entry(const QStringList& fields) const {
    glossary::Entry entry;
    // Columns by position: the expression's part first, then the translation's,
    // each with its language where the table names them.
    const bool byPosition = std::none_of(m_columns.begin(), m_columns.end(),
                                         [](const Column& column) { return column.kind == Column::Kind::language; });
    if (byPosition) {
        entry.languages.resize(2);
        for (qsizetype i = 0; i < m_languages.size() && i < 2; ++i) entry.languages[std::size_t(i)].language = m_languages[i];
    } else {
        for (const QString& language : m_languages) entry.languages.emplace_back().language = language;
    }
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
        case Column::Kind::other:
            if (!text.trimmed().isEmpty()) entry.notes.append(QStringLiteral("%1\u00A0: %2").arg(column.name, text));
            break;
        }
    }
    return entry;
}
