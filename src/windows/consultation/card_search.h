#pragma once

#include <QString>
#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "store/data_file.h"

// One row of the result grid: what a listed card shows there.
struct ResultRow {
    QString numero;
    QString dictionnaire;
    QString dictionnairecible;
    QString reference;
};

// Reading the data file for the Consultation window: each slot once, in
// order; the record buffer is left holding the last one. A failure throws
// StoreError, and leaves the record buffer as it was.
namespace cardsearch {

enum class SearchedField { dictionnaire, dictionnairecible };

// Whether accents count in a search: kept, a text matches as lower-cased;
// ignored, as lower-cased and stripped of accents, "œ" and "æ" as "oe" and
// "ae", "ß" as "ss".
enum class Accents { kept, ignored };

// Whether a search text lies anywhere in a whole field, the spaces that fill
// it included, both lower-cased (and, accents ignored, folded). The field's
// bytes go through a table built once and are compared with the text's own
// Windows-1252 bytes, which gives what decoding the field and lower-casing
// it would, without doing it per card.
class FieldMatcher {
public:
    explicit FieldMatcher(const QString& text, Accents accents = Accents::kept);
    bool matches(std::span<const char> field) const;

    // The byte of the lower-case form of each byte's character.
    static const std::array<char, 256>& lowerCaseTable();
    // The one or two bytes of each byte's character lower-cased and stripped
    // of its accent; a second byte of 0 when there is one only.
    using Folded = std::array<char, 2>;
    static const std::array<Folded, 256>& foldingTable();

private:
    bool matchesFolded(std::span<const char> field) const;

    Accents m_accents;
    std::string m_needle;
    std::string m_firstBytes;  // the bytes whose lower case begins the needle
    bool m_possible = true;  // false: the text holds a character no field can
};

// The cards of every slot whose chosen field holds the text, in slot order.
std::vector<ResultRow> search(DataFile& file, SearchedField field, const QString& text,
                              Accents accents = Accents::kept);

// Every slot, slot i in row i, whatever it holds.
std::vector<ResultRow> fullList(DataFile& file);

}  // namespace cardsearch
