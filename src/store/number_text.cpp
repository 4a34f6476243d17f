#include "store/number_text.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace numbertext {
namespace {

std::optional<double> roundedValue(const QString& text, QLocale locale) {
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    // nearbyint follows the current rounding mode; keep it at nearest-even.
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previousMode);
    return rounded;
}

template <typename Int>
std::optional<Int> toInteger(const QString& text, const QLocale& locale) {
    const auto value = roundedValue(text, locale);
    if (!value || *value < double(std::numeric_limits<Int>::min()) ||
        *value > double(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(*value);
}

}  // namespace

std::optional<std::int16_t> toInt16(const QString& text, const QLocale& locale) {
    return toInteger<std::int16_t>(text, locale);
}

std::optional<std::int32_t> toInt32(const QString& text, const QLocale& locale) {
    return toInteger<std::int32_t>(text, locale);
}

QString fromNumero(std::int16_t numero) { return QString::number(numero); }

}  // namespace numbertext
