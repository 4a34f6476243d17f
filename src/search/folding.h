#pragma once

#include <QString>
#include <array>

// Lower-casing and folding of accented letters, the same for every search
// and comparison of the program: "é" as "e", "œ" and "æ" as "oe" and "ae",
// "ß" as "ss". The tables work on the data file's Windows-1252 bytes and are
// built once.
namespace folding {

// The byte of the lower-case form of each byte's character.
const std::array<char, 256>& lowerCaseTable();

// The one or two bytes of each byte's character lower-cased and stripped of
// its accent; a second byte of 0 when there is one only.
using Folded = std::array<char, 2>;
const std::array<Folded, 256>& foldingTable();

// Whether each byte's character is a letter or a digit: what a word is made
// of, the rest separating words.
const std::array<bool, 256>& wordByteTable();

// A character lower-cased and stripped of its accent, whether or not the
// code page holds it ("ō" gives "o").
QString foldedChar(QChar ch);

// Text as compared without regard to case or accents: each character
// lower-cased and folded as above, nothing else changed.
QString forComparison(const QString& text);

}  // namespace folding
