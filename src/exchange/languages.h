#pragma once

#include <QList>
#include <QString>

// The languages a glossary may be exported in: their codes, as translation
// tools read them (BCP 47), and their French names.
namespace languages {

struct Language {
    QString code;
    QString name;
};

const QList<Language>& all();

// The French name of a code of the list; empty for another.
QString nameOf(const QString& code);

// The primary language a column of a table names, as people head one: by
// its code ("en", "EN-us"), or by its name in French, in English or in
// itself ("Anglais", "english", "Français", "Francais", "Deutsch"), any
// case, with or without accents. Empty for a name that is none of these.
QString codeOfName(const QString& name);

}  // namespace languages
