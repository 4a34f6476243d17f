#pragma once

#include <QFont>
#include <QPainter>

#include "windows/controls/printer.h"

class QPrinter;

// Prints on a QPrinter, a real printer or a PDF file alike. Text that would
// pass the right edge wraps at a space to a new line at the same indent; a
// line that would pass the bottom starts a new page; a new page asked for
// just before the end of the document leaves no empty page.
class PaintPrinter final : public Printer {
public:
    explicit PaintPrinter(QPrinter& printer);
    ~PaintPrinter() override;

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;
    void setCurrentX(int twips) override;
    void print(const QString& text) override;
    void printLine(const QString& text) override;
    void newPage() override;
    void endDoc() override;

private:
    void applyFont();
    void write(const QString& text);
    void drawPiece(const QString& piece);
    void nextLine();
    void startPageIfPending();
    void beginNewPage();
    double lineHeight() const;

    QPrinter& m_printer;
    QPainter m_painter;
    QFont m_font;
    double m_x = 0;
    double m_y = 0;
    double m_lineHeightUsed = 0;  // tallest font printed on the current line
    bool m_pagePending = false;
    bool m_ended = false;
};
