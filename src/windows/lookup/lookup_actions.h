#pragma once

#include <QString>

// What the quick look-up asks of the rest of the program.
class LookupActions {
public:
    virtual ~LookupActions() = default;
    // The data file the working windows would open; empty when none is chosen.
    virtual QString dataFilePath() const = 0;
    // Shows the cards holding `text` in the Consultation window, the card
    // numbered `numero` open. Empty when done, else why not, in French.
    virtual QString openCard(const QString& text, const QString& numero) = 0;
    // Opens the Edition window on a new card whose expression is given.
    virtual QString newCard(const QString& expression) = 0;
};
