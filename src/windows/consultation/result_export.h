#pragma once

#include <QString>

class CommonDialog;
class FlexGrid;
class MainWindowLink;
class QWidget;

// Exports the cards the result grid lists, in its displayed order, each read
// whole from the data file: asks for the file (its filter decides between a
// TBX glossary and a CSV table) and, for a glossary, the two languages;
// shows the progress of thousands of cards, with "Annuler"; says what came
// of it. A cancelled or failed export leaves no file behind.
void exportResults(QWidget* window, const FlexGrid& grid, const QString& dataFile, CommonDialog& dialog,
                   const MainWindowLink& menu);
