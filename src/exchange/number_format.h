#pragma once

#include <QString>

// A number as a spreadsheet cell shows it in French, by the cell's number
// format: digits and their zeros, decimals, thousands, percent, scientific,
// dates and times with French month and day names, literal text. What the
// format does not say is shown as the general format would.
namespace numberformat {

// The format code of a built-in format number, as a French spreadsheet
// shows it (14: dd/mm/yyyy); empty for the general format and unknown ones.
QString builtIn(int id);

// Whether the code shows dates or times.
bool isDateOrTime(const QString& code);

// The general format: at most 15 significant digits, the shortest that
// gives them, a decimal comma, no thousands separator (0,3 for a stored
// 0.30000000000000004).
QString general(double value);

// The value under the format code; date serials count days from the end of
// 1899, or from 1904 where the workbook says so.
QString shown(double value, const QString& code, bool date1904 = false);

}  // namespace numberformat
