#include "windows/controls/printer.h"

#include "windows/controls/common_dialog.h"
#include "windows/controls/paint_printer.h"

#include <QPrinter>

namespace {

Printer::Factory& factory() {
    static Printer::Factory current;
    return current;
}

}  // namespace

std::unique_ptr<Printer> Printer::open(const QString& documentName) {
    if (factory()) return factory()();
    QPrinter& printer = CommonDialog::sharedPrinter();
    printer.setDocName(documentName);
    return std::make_unique<PaintPrinter>(printer);
}

void Printer::setFactory(Factory replacement) { factory() = std::move(replacement); }
