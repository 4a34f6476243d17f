#include "windows/verification/gap_list_printing.h"

#include "windows/controls/flex_grid.h"
#include "windows/controls/printer.h"
#include "windows/verification/frm_verification.h"

namespace {

constexpr int kIndent = 600;

void printIndented(Printer& printer, const QString& label, const QString& text) {
    printer.setCurrentX(kIndent);
    printer.setFontBold(true);
    printer.print(label + QStringLiteral("\u00A0: "));
    printer.setFontBold(false);
    printer.printLine(text);
}

}  // namespace

void printGapList(Printer& printer, const QString& title, const QString& summary, const FlexGrid& grid) {
    using Column = Frm_verification::Column;
    printer.setFontName(QStringLiteral("verdana"));
    printer.setFontSize(12);
    printer.setFontBold(true);
    printer.printLine(title);
    printer.setFontSize(9);
    printer.setFontBold(false);
    printer.printLine(summary);
    printer.printLine(QString());
    for (int row = 1; row < grid.Rows(); ++row) {
        const auto cell = [&](Column col) { return grid.TextMatrix(row, col); };
        printer.setFontBold(true);
        printer.printLine(QStringLiteral("Segment %1 — fiche n° %2 — %3")
                              .arg(cell(Column::segmentColumn), cell(Column::numberColumn), cell(Column::gapColumn)));
        printer.setFontBold(false);
        printIndented(printer, QStringLiteral("Terme"),
                      QStringLiteral("%1 → %2").arg(cell(Column::termColumn), cell(Column::expectedColumn)));
        printIndented(printer, QStringLiteral("Source"), cell(Column::sourceColumn));
        printIndented(printer, QStringLiteral("Cible"), cell(Column::targetColumn));
        printer.printLine(QString(69, u'_'));
    }
    printer.endDoc();
}
