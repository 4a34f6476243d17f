#pragma once

#include <QString>
#include <QStringList>
#include <span>

// Conversions between the text of a box and a fixed-width field.
namespace fieldtext {

// Stores text left-justified in the field: line breaks as CR LF (counted
// against the width), Windows-1252 bytes ('?' for what the code page cannot
// hold), cut at the width, the rest filled with spaces. False when the text
// had to be cut or a character stored as '?'.
bool store(std::span<char> field, const QString& text);

// The field's characters without the trailing spaces (code 32 only; NULs,
// tabs and line breaks stay).
QString read(std::span<const char> field);
// How many bytes of the field come before its trailing spaces.
std::size_t textLength(std::span<const char> field);

QString withoutTrailingSpaces(const QString& text);

// What a field of `width` bytes keeps of a box's text, as store would put
// it: positions are those of the text as given (line breaks as "\n").
struct Fit {
    qsizetype stored = 0;           // bytes the whole text takes (a line break two)
    qsizetype width = 0;
    qsizetype firstCut = -1;        // the first character not kept, or -1
    QStringList replaced;           // the characters stored as "?", each once, in order
    qsizetype firstReplaced = -1;   // where the first of them stands, or -1
    bool whole() const { return firstCut < 0 && firstReplaced < 0; }
    // Where the first character that is not kept as typed stands, or -1.
    qsizetype firstLoss() const;
};
Fit fit(const QString& text, qsizetype width);

// The text with its line breaks as a field stores them, CR LF.
QString withCrLf(const QString& text);

}  // namespace fieldtext
