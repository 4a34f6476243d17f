#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class CommonDialog;
class MainWindowLink;
class QWidget;

// Takes cards from a TBX glossary, a CSV table or a tab-separated glossary
// into the data file after its last slot: asks for the file, reads and
// checks it whole, asks which two of its languages to take when it has
// more, says how many cards will come in and under which numbers (and what
// is left aside) and asks to go on, adds them all or none, and says what
// came of it. The numbers of the cards added, or nothing when none was.
struct ImportedCards {
    std::int32_t first;
    std::int32_t last;
};
std::optional<ImportedCards> importCards(QWidget* window, const QString& dataFile, CommonDialog& dialog,
                                        const MainWindowLink& menu);
