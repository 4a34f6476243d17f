#include "windows/consultation/result_list_printing.h"

#include "store/field_text.h"
#include "windows/controls/flex_grid.h"
#include "windows/controls/printer.h"

namespace {

constexpr int kIndent = 1500;
constexpr int kEntriesPerPage = 68;

void printFourLines(Printer& printer, const QString& first, const QString (&indented)[3]) {
    printer.print(first);
    for (const QString& text : indented) {
        printer.setCurrentX(kIndent);
        printer.printLine(text);
    }
}

}  // namespace

void printResultList(Printer& printer, FlexGrid& grid) {
    const auto cell = [&grid](int row, int col) { return fieldtext::withoutTrailingSpaces(grid.TextMatrix(row, col)); };

    printer.setFontSize(12);
    printer.setFontName(QStringLiteral("verdana"));
    printer.setFontBold(true);
    int entries = 1;
    printFourLines(printer, QStringLiteral("N° Fiche"), {cell(0, 1), cell(0, 2), cell(0, 3)});
    printer.printLine(QString(60, u'-'));

    printer.setFontSize(9);
    printer.setFontName(QStringLiteral("verdana"));
    printer.setFontBold(false);
    const int rows = grid.Rows();
    for (int row = 1; row < rows; ++row) {
        ++entries;
        printFourLines(printer, cell(row, 0), {cell(row, 1), cell(row, 2), cell(row, 3)});
        printer.printLine(QString(69, u'_'));
        if (entries == kEntriesPerPage) {
            entries = 0;
            printer.newPage();
        }
    }
    printer.endDoc();
    grid.setRow(std::max(rows - 1, 0));
    grid.setCol(3);
}
