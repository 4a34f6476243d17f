#include "windows/controls/paint_printer.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPrinter>
#include <QRegularExpression>
#include <algorithm>

PaintPrinter::PaintPrinter(QPrinter& printer) : m_printer(printer), m_font(QStringLiteral("Times New Roman")) {
    if (!m_painter.begin(&m_printer)) {
        throw PrinterError(QStringLiteral("Impossible d'imprimer\u00A0: aucune imprimante n'est disponible, "
                                          "ou l'imprimante choisie refuse le document."));
    }
    m_font.setPointSizeF(10);
    applyFont();
}

PaintPrinter::~PaintPrinter() {
    if (!m_ended && m_painter.isActive()) m_painter.end();
}

void PaintPrinter::applyFont() { m_painter.setFont(QFont(m_font, &m_printer)); }

void PaintPrinter::setFontName(const QString& name) {
    m_font.setFamily(name);
    applyFont();
}

void PaintPrinter::setFontSize(double points) {
    m_font.setPointSizeF(points);
    applyFont();
}

void PaintPrinter::setFontBold(bool bold) {
    m_font.setBold(bold);
    applyFont();
}

void PaintPrinter::setFontItalic(bool italic) {
    m_font.setItalic(italic);
    applyFont();
}

void PaintPrinter::setCurrentX(int twips) { m_x = twips * m_printer.resolution() / 1440.0; }

double PaintPrinter::lineHeight() const { return QFontMetricsF(m_painter.font(), &m_printer).lineSpacing(); }

void PaintPrinter::beginNewPage() {
    m_printer.newPage();
    // A long document takes seconds: let the windows repaint between pages,
    // but take no input until it is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PaintPrinter::startPageIfPending() {
    if (!m_pagePending) return;
    m_pagePending = false;
    beginNewPage();
}

void PaintPrinter::nextLine() {
    m_y += std::max(m_lineHeightUsed, lineHeight());
    m_lineHeightUsed = 0;
    m_x = 0;
}

void PaintPrinter::drawPiece(const QString& piece) {
    startPageIfPending();
    const double height = lineHeight();
    if (m_y > 0 && m_y + height > m_printer.height()) {
        beginNewPage();
        m_y = 0;
    }
    m_painter.drawText(QPointF(m_x, m_y + QFontMetricsF(m_painter.font(), &m_printer).ascent()), piece);
    m_x += QFontMetricsF(m_painter.font(), &m_printer).horizontalAdvance(piece);
    m_lineHeightUsed = std::max(m_lineHeightUsed, height);
}

// Lays the text from the current position, wrapping what passes the right
// edge back to the indent it started at.
void PaintPrinter::write(const QString& text) {
    const QFontMetricsF metrics(m_painter.font(), &m_printer);
    const double indent = m_x;
    const double right = m_printer.width();
    QString rest = text;
    while (!rest.isEmpty()) {
        if (m_x + metrics.horizontalAdvance(rest) <= right) {
            drawPiece(rest);
            return;
        }
        qsizetype fits = 0;
        while (fits < rest.size() && m_x + metrics.horizontalAdvance(rest.left(fits + 1)) <= right) ++fits;
        const qsizetype space = rest.left(fits + 1).lastIndexOf(u' ');
        qsizetype cut = space > 0 ? space + 1 : fits;
        if (cut == 0 && m_x <= indent) cut = 1;  // not even one character fits a fresh line
        if (cut > 0) drawPiece(rest.left(cut));
        rest = rest.mid(cut);
        nextLine();
        m_x = indent;
    }
}

void PaintPrinter::print(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = text.split(lineBreak);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) nextLine();
        write(lines[i]);
    }
    if (text.isEmpty()) startPageIfPending();
}

void PaintPrinter::printLine(const QString& text) {
    print(text);
    nextLine();
    if (m_y + lineHeight() > m_printer.height()) {
        m_pagePending = true;
        m_y = 0;
    }
}

void PaintPrinter::newPage() {
    m_pagePending = true;
    m_x = 0;
    m_y = 0;
    m_lineHeightUsed = 0;
}

void PaintPrinter::endDoc() {
    m_ended = true;
    if (!m_painter.end()) {
        throw PrinterError(QStringLiteral("L'impression n'a pas pu être terminée\u00A0: "
                                          "l'imprimante a refusé le document."));
    }
}
