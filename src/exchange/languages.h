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

}  // namespace languages
