#pragma once

#include <QString>

class CommonDialog;
class MainWindowLink;
class QWidget;

// Takes cards from a TBX glossary or a CSV table into the data file after its
// last slot: asks for the file, reads and checks it whole, says how many
// cards will come in and under which numbers and asks to go on, adds them all
// or none, and says what came of it. True when cards were added.
bool importCards(QWidget* window, const QString& dataFile, CommonDialog& dialog, const MainWindowLink& menu);
