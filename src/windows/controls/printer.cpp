#include "windows/controls/printer.h"

#include "windows/controls/common_dialog.h"
#include "windows/controls/paint_printer.h"

namespace {

Printer::Factory& factory() {
    static Printer::Factory current;
    return current;
}

}  // namespace

std::unique_ptr<Printer> Printer::open() {
    if (factory()) return factory()();
    return std::make_unique<PaintPrinter>(CommonDialog::sharedPrinter());
}

void Printer::setFactory(Factory replacement) { factory() = std::move(replacement); }
