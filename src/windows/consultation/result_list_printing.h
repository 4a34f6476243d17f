#pragma once

class FlexGrid;
class Printer;

// Prints the result grid as the screen shows it: the heading once, then four
// lines per row in the grid's current order, a new page every 68 entries
// (the heading counting as one). Leaves the grid's current cell on the last
// row, column 3; on a printer failure (PrinterError) the grid is untouched.
void printResultList(Printer& printer, FlexGrid& grid);
