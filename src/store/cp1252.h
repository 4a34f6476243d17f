#pragma once

#include <QString>

// Windows-1252, the code page of the data file: one byte per character.
namespace cp1252 {

// The character a byte stands for. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so every byte survives
// a round trip.
QChar toUnicode(unsigned char byte);

// The byte for a character, or '?' when the code page cannot hold it.
char fromUnicode(char16_t ch);

QString decode(const char* bytes, qsizetype size);

// The text in Unicode composed form (NFC): an "e" followed by a combining
// accent becomes the "é" the code page holds.
QString composed(const QString& text);

// Encodes text in composed form, one byte per character (a surrogate pair
// is one character, stored as '?'). `replaced`, when given, tells whether any character became
// '?' for want of a byte of its own.
QByteArray encode(const QString& text, bool* replaced = nullptr);

}  // namespace cp1252
