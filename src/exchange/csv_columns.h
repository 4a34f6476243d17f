#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "exchange/glossary.h"
#include "store/fiche_record.h"

// The columns a table's row of titles names, and the entry each row makes of
// them: either this program's own columns and "source"/"target"/"notes"
// (the expression's and the translation's terms by position, each perhaps
// with its language, "Expression (fr)"), or languages, by code or by name
// ("en", "Anglais", "English"), with "description", "definition",
// "comment", "note" and "pos". A column it has no field for goes into the
// miscellanea as « Name : value ».
class CsvColumns {
public:
    // Calls `fail`, which throws, with what is wrong with the names (no
    // column of terms, one named twice, languages mixed with expressions),
    // saying which columns are read. An empty last name, left by a
    // trailing separator, is ignored.
    CsvColumns(const QStringList& names, qint64 line, const std::function<void(const QString&)>& fail);

    // Whether a row reads as a row of titles: two names or more, one of
    // them a column of terms. A title above the table, or a row of cards,
    // does not.
    static bool looksLikeTitles(const QStringList& names);

    qsizetype count() const { return qsizetype(m_columns.size()); }
    // The primary languages named, in their order; empty for a table of
    // fixed columns whose terms name no language.
    const QStringList& languages() const { return m_languages; }
    // The columns no field takes, as named.
    const QStringList& others() const { return m_others; }
    // Whether the languages are those the expression and the translation
    // columns name, the expression's first.
    bool directed() const { return m_directed; }
    glossary::Entry entry(const QStringList& fields) const;

    struct Column {
        enum class Kind { ignored, field, language, definition, note, partOfSpeech, other };
        Kind kind = Kind::ignored;
        Module1::Field field = Module1::Field::expression;
        QString language;  // a language's column, or the language a term column names
        QString name;      // a column no field takes
    };

private:
    std::vector<Column> m_columns;
    QStringList m_languages;
    QStringList m_others;
    bool m_directed = false;
};
