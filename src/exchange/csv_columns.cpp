#include "exchange/csv_columns.h"

#include <QMap>
#include <QRegularExpression>
#include <algorithm>

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

}  // namespace

CsvColumns::CsvColumns(const QStringList& names, qint64 line, const std::function<void(const QString&)>& fail) {
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

glossary::Entry CsvColumns::entry(const QStringList& fields) const {
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
