#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

// Number text typed by the user: read with the regional settings, rounded to
// the nearest integer with halves going to the even neighbour.
namespace numbertext {

// Empty when the text is not a number or its rounded value lies outside the
// 16-bit range.
std::optional<std::int16_t> toInt16(const QString& text, const QLocale& locale = QLocale());
std::optional<std::int32_t> toInt32(const QString& text, const QLocale& locale = QLocale());

// The number as typed, unrounded; empty when the text is not a number.
std::optional<double> toNumber(const QString& text, const QLocale& locale = QLocale());
// Nearest integer, halves to the even neighbour; empty outside the 32-bit range.
std::optional<std::int32_t> roundToInt32(double value);

// Plain decimal digits, a minus sign for a negative value.
QString fromNumero(std::int16_t numero);

}  // namespace numbertext
