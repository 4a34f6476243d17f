#include "windows/card/card_printing.h"

#include "store/field_text.h"
#include "windows/controls/printer.h"

namespace {

constexpr int kBreakWidth = 80;

void labelStyle(Printer& printer, bool on) {
    printer.setFontBold(on);
    printer.setFontItalic(on);
}

}  // namespace

QStringList printedLines(const QString& text) {
    QStringList lines;
    QString line;
    // A line break counts as the CR LF the field stores it as.
    for (const QChar ch : fieldtext::withCrLf(text)) {
        line.append(ch);
        if (line.size() > kBreakWidth && ch == u' ') {
            lines.append(line);
            line.clear();
        }
    }
    lines.append(line);
    return lines;
}

void printCard(Printer& printer, const PrintedCard& card) {
    static const QString labels[] = {
        QStringLiteral("Réference: "),  QStringLiteral("Expression: "),           QStringLiteral("Traduction: "),
        QStringLiteral("Miscellanea: "), QStringLiteral("Entrées texte source: "), QStringLiteral("Entrées texte cible: "),
        QStringLiteral("Contexte: ")};

    printer.setFontSize(12);
    printer.setFontName(QStringLiteral("verdana"));
    labelStyle(printer, true);
    printer.printLine(QStringLiteral("Lexicarium terminologique"));
    printer.setFontSize(9);
    printer.setFontName(QStringLiteral("verdana"));
    printer.printLine(QString());

    for (std::size_t field = 0; field < card.size(); ++field) {
        const bool last = field + 1 == card.size();
        labelStyle(printer, true);
        if (last) {
            printer.printLine(labels[field]);
        } else {
            printer.print(labels[field]);
        }
        labelStyle(printer, false);
        for (const QString& line : printedLines(card[field])) printer.printLine(line);
        if (!last) printer.printLine(QString());
    }
    printer.endDoc();
}
