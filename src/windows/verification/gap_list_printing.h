#pragma once

#include <QString>

class FlexGrid;
class Printer;

// Prints the gaps as the grid lists them, in its order: the title and the
// summary, then for each gap its segment, card and kind, the term and the
// translation expected, and both texts in full, the page breaking where it
// must. The grid is left as it was.
void printGapList(Printer& printer, const QString& title, const QString& summary, const FlexGrid& grid);
