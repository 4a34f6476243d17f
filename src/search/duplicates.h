#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "search/card_search.h"
#include "store/data_file.h"

// Cards that bear the same expression. Two expressions are the same when
// they differ only in case, accents, the spaces around them and the number
// of spaces (line breaks and tabs counting as spaces) between their words.
namespace duplicates {

// The expression as compared: folded (folding.h), spaces run together,
// none at either end. Empty for an expression of spaces only.
std::string keyOf(std::span<const char> field);
// The same for typed text, as saving would store it in the field.
std::string keyOf(const QString& expression);

// A card that holds the expression already: its number (the slot it lies in)
// and its translation, trailing spaces removed.
struct Card {
    std::int32_t number = 0;
    QString traduction;
};

// The cards of every slot but `ownSlot` whose expression is the same as the
// given one, in slot order; none for an empty expression. The record buffer
// is not touched: the check is no reading of a card the user asked for.
// A failure throws StoreError.
std::vector<Card> othersWith(DataFile& file, const QString& expression, std::int32_t ownSlot);

// What the Edition window's status bar says of them: « Déjà sur la fiche
// n° 12 (traduction : …) », the first two named, then how many others.
// Empty when there are none.
QString notice(const std::vector<Card>& cards);
// The same with nothing left out, for its tool tip: every card, one a line,
// each translation whole.
QString noticeInFull(const std::vector<Card>& cards);

// Every card whose expression is on more than one card, grouped by
// expression (in its compared form), in slot order within a group; each
// row's tool tip gives the expression. The record buffer is left holding the
// last slot, as after any listing.
std::vector<ResultRow> list(DataFile& file);

}  // namespace duplicates
