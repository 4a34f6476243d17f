#pragma once

#include <QString>
#include <array>

#include "store/fiche_record.h"

// A card as text, for the formats other tools read: its number and its
// seven fields, each as a box shows it (trailing spaces removed, line breaks
// as the field stores them).
struct CardText {
    std::int16_t numero = 0;
    std::array<QString, 7> fields;  // indexed by Module1::Field
    qint64 line = 0;                // imported: where its entry begins in the file read

    QString& operator[](Module1::Field field) { return fields[std::size_t(field)]; }
    const QString& operator[](Module1::Field field) const { return fields[std::size_t(field)]; }
};

CardText textOf(const Module1::FicheRecord& fiche);

// The card as the data file stores it, bearing the given number; a field
// too long is cut at its width and a character the code page cannot hold
// becomes "?", as with typed text. `altered` tells whether either happened.
Module1::FicheRecord recordOf(const CardText& card, std::int16_t numero, bool& altered);

// Characters no XML 1.0 document can carry (the C0 controls but tab, line
// feed and carriage return) as U+FFFD, so that every format gets the same text.
QString exchangeable(const QString& text);
