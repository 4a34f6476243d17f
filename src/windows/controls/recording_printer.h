#pragma once

#include <QStringList>

#include "windows/controls/printer.h"

// Keeps what was asked of the printer as lines of text, one per operation:
// "font verdana", "size 9", "bold on", "italic off", "x 1500", "print ...",
// "line ...", "page", "end".
class RecordingPrinter final : public Printer {
public:
    explicit RecordingPrinter(QStringList* record) : m_record(record) {}

    void setFontName(const QString& name) override { m_record->append(QStringLiteral("font ") + name); }
    void setFontSize(double points) override { m_record->append(QStringLiteral("size %1").arg(points)); }
    void setFontBold(bool bold) override { m_record->append(bold ? QStringLiteral("bold on") : QStringLiteral("bold off")); }
    void setFontItalic(bool italic) override {
        m_record->append(italic ? QStringLiteral("italic on") : QStringLiteral("italic off"));
    }
    void setCurrentX(int twips) override { m_record->append(QStringLiteral("x %1").arg(twips)); }
    void print(const QString& text) override { m_record->append(QStringLiteral("print ") + text); }
    void printLine(const QString& text) override { m_record->append(QStringLiteral("line ") + text); }
    void newPage() override { m_record->append(QStringLiteral("page")); }
    void endDoc() override { m_record->append(QStringLiteral("end")); }

private:
    QStringList* m_record;
};
