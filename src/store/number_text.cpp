#include "store/number_text.h"

#include <cfenv>
#include <cmath>
#include <limits>
#include <vector>

namespace numbertext {
namespace {

double roundHalfEven(double value) {
    // nearbyint follows the current rounding mode; keep it at nearest-even.
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previousMode);
    return rounded;
}

template <typename Int>
std::optional<Int> inRange(double rounded) {
    if (rounded < double(std::numeric_limits<Int>::min()) || rounded > double(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

template <typename Int>
std::optional<Int> toInteger(const QString& text, const QLocale& locale) {
    const auto value = toNumber(text, locale);
    if (!value) return std::nullopt;
    return inRange<Int>(roundHalfEven(*value));
}

}  // namespace

std::optional<double> toNumber(const QString& text, const QLocale& locale) {
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int32_t> roundToInt32(double value) { return inRange<std::int32_t>(roundHalfEven(value)); }

std::optional<std::int16_t> toInt16(const QString& text, const QLocale& locale) {
    return toInteger<std::int16_t>(text, locale);
}

std::optional<std::int32_t> toInt32(const QString& text, const QLocale& locale) {
    return toInteger<std::int32_t>(text, locale);
}

QString fromNumero(std::int16_t numero) {
    // A full list shows tens of thousands of them: the texts of card numbers
    // are made once and shared, and no listing allocates or frees them again.
    static const std::vector<QString> cardNumbers = [] {
        std::vector<QString> texts(std::size_t(std::numeric_limits<std::int16_t>::max()) + 1);
        for (std::size_t n = 0; n < texts.size(); ++n) texts[n] = QString::number(n);
        return texts;
    }();
    return numero >= 0 ? cardNumbers[std::size_t(numero)] : QString::number(numero);
}

}  // namespace numbertext
