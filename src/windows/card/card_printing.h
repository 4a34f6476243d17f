#pragma once

#include <QString>
#include <QStringList>
#include <array>

class Printer;

// The seven texts of a card in their printing order: reference, expression,
// traduction, miscellanea, source entries, target entries, context.
using PrintedCard = std::array<QString, 7>;

// A field's text as printed lines: a line is sent once it holds more than 80
// characters and its last character is a space; what remains, even nothing,
// is the last line. Line breaks are CR LF, two characters, as stored.
QStringList printedLines(const QString& text);

// Prints the title and the seven labelled fields. The label style is bold
// and italic together.
void printCard(Printer& printer, const PrintedCard& card);
