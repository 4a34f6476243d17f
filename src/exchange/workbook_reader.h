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
    // The cells of a formula the file keeps no value of ("B3"), shown empty.
    QStringList uncomputed;
};

// What a workbook may unfold to before it is refused: a cell holds no more
// than a spreadsheet lets it, a sheet no more rows holding text than a data
// file holds cards and a few title rows, the whole workbook no more text
// than an import can keep.
inline constexpr qsizetype kLongestCell = 32767;
inline constexpr qsizetype kMostRows = 32767 + 1000;
inline constexpr qint64 kMostCharacters = qint64(64) * 1024 * 1024;
inline constexpr qsizetype kMostSharedStrings = 1024 * 1024;

enum class Kind { xlsx, ods };

// The kind a file name says, if it names one.
bool kindOf(const QString& path, Kind& kind);

// Every sheet of the workbook in `bytes`, in the workbook's order. Throws
// ExchangeError naming the file for a file that is no workbook of that kind,
// a member that is not well-formed XML or nests without end, one that would
// inflate past what an import can use, a cell or string reference that
// lies nowhere, or a workbook past the limits above.
std::vector<Sheet> read(const QByteArray& bytes, Kind kind, const QString& path);

}  // namespace workbook
