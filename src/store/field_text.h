#pragma once

#include <QString>
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

// The text with its line breaks as a field stores them, CR LF.
QString withCrLf(const QString& text);

}  // namespace fieldtext
