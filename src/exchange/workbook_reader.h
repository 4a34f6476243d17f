#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The sheets of a workbook, an Excel (.xlsx) or OpenDocument (.ods) one, with
// their cells' text as the spreadsheet shows it: shared and inline strings,
// rich text runs joined, numbers and dates as displayed, line breaks kept.
namespace workbook {

struct Row {
    qint64 line = 0;  // the row's number in the sheet
    QStringList cells;
};

struct Sheet {
    QString name;
    bool hidden = false;
    std::vector<Row> rows;  // those holding any text, in order
};

enum class Kind { xlsx, ods };

// The kind a file name says, if it names one.
bool kindOf(const QString& path, Kind& kind);

// Every sheet of the workbook in `bytes`, in the workbook's order. Throws
// ExchangeError naming the file for a file that is no workbook of that kind,
// a member that is not well-formed XML or nests without end, one that would
// inflate past what an import can use, or a cell or string reference that
// lies nowhere.
std::vector<Sheet> read(const QByteArray& bytes, Kind kind, const QString& path);

}  // namespace workbook
