#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "exchange/glossary.h"
#include "store/fiche_record.h"

// The columns a table's first line names, and the entry each row makes of
// them: either this program's own columns and "source"/"target"/"notes"
// (the expression's and the translation's terms by position), or language
// codes with "description", "definition", "comment", "note" and "pos".
class CsvColumns {
public:
    // Calls `fail`, which throws, with what is wrong with the names (an
    // unknown or nameless column, one named twice, languages mixed with
    // expressions), saying which columns are read. An empty last name, left
    // by a trailing separator, is ignored.
    CsvColumns(const QStringList& names, qint64 line, const std::function<void(const QString&)>& fail);

    qsizetype count() const { return qsizetype(m_columns.size()); }
    // The primary languages named, in their order; empty for a table of fixed columns.
    const QStringList& languages() const { return m_languages; }
    glossary::Entry entry(const QStringList& fields) const;

    struct Column {
        enum class Kind { ignored, field, language, definition, note, partOfSpeech };
        Kind kind = Kind::ignored;
        Module1::Field field = Module1::Field::expression;
        QString language;
    };

private:
    std::vector<Column> m_columns;
    QStringList m_languages;
};
