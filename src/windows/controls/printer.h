#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

// A printing failure, with the French message the window shows.
class PrinterError : public std::exception {
public:
    explicit PrinterError(QString message) : m_message(std::move(message)) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return "printing failure"; }

private:
    QString m_message;
};

// The printer as the printing algorithms see it: a font, a horizontal
// position in twips from the left of the printable area, and text flowing
// down the page line by line.
class Printer {
public:
    virtual ~Printer() = default;

    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    // The second emphasis of the label style.
    virtual void setFontItalic(bool italic) = 0;
    virtual void setCurrentX(int twips) = 0;

    // Prints and stays on the line, just after the text.
    virtual void print(const QString& text) = 0;
    // Prints, then moves to the start of the next line.
    virtual void printLine(const QString& text) = 0;
    virtual void newPage() = 0;
    // Sends the document; throws PrinterError when it cannot.
    virtual void endDoc() = 0;

    // A printer on the shared printer chosen in the set-up dialog; throws
    // PrinterError when there is none. Tests put their own in its place.
    static std::unique_ptr<Printer> open(const QString& documentName);
    using Factory = std::function<std::unique_ptr<Printer>()>;
    static void setFactory(Factory factory);
};
