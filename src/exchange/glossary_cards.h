#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "exchange/card_text.h"
#include "exchange/glossary.h"

// The cards a glossary gives for two of its languages.
namespace glossary {

// Primary languages, as Glossary::languages names them.
struct Pair {
    QString source;
    QString target;
};

// The pair to offer first: the file's own direction where it says one;
// English to French when the file has both; else
// from the language the file says it is written from (or its first one) to
// French, or to the first other one. Empty parts where the file names no
// languages, or fewer than two.
Pair proposedPair(const Glossary& glossary);

struct Selection {
    std::vector<CardText> cards;
    int skipped = 0;           // entries without a term in either language, or lacking one of them
    QStringList otherLanguages;  // the file's languages that were not chosen, or that hold no term
};

// One card per entry that has both languages and a term in at least one
// (a card may wait for its translation). The expression and the
// translation are each language's preferred term: the first preferred,
// else the first admitted, else the first not deprecated, superseded or
// forbidden. Each language's dictionary entries are those the file gives,
// else its preferred term. The other terms, the subject fields, the parts
// of speech and the definitions go to the miscellanea with the notes of the
// entry and of both languages; contexts and sources to their fields. Empty
// texts are left out.
Selection cardsOf(const Glossary& glossary, const Pair& pair);

// Where cards with no reference of their own came from, as their reference:
// the glossary's title, else its file's name, and the day of the import
// ("Glossaire d'optique, importé le 08/12/2026").
void referToOrigin(std::vector<CardText>& cards, const Glossary& glossary, const QString& file, const QDate& day);

}  // namespace glossary
