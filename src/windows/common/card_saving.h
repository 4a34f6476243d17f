#pragma once

#include <QString>

#include "store/card_history.h"

class CardBoxes;
class MainWindowLink;

// Saving the card a window shows: the number box names both the card's
// number and its slot; the seven boxes fill the record buffer, whose reserve
// stays as it is. Gives the French message to show when nothing could be
// saved (the number refused, the file unwritable); the file and the record
// buffer are then as they were. Empty on success.
// The card history tells which window saved by `action`.
QString saveCard(const QString& dataFile, const QString& numberText, const CardBoxes& boxes,
                 const MainWindowLink& menu, cardhistory::Action action);
