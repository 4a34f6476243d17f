#include "windows/common/card_number.h"

#include "store/fiche_record.h"
#include "store/number_text.h"

namespace cardnumber {
namespace {

QString notANumber(const QString& text) {
    return QStringLiteral("«\u00A0%1\u00A0» n'est pas un numéro de fiche\u00A0: "
                          "tapez un nombre entier de 1 à %2.")
        .arg(text.trimmed())
        .arg(Module1::kHighestCardNumber);
}

QString outOfRange(const QString& text) {
    return QStringLiteral("Le numéro de fiche %1 n'est pas valable\u00A0: les fiches sont numérotées de 1 à %2.")
        .arg(text.trimmed())
        .arg(Module1::kHighestCardNumber);
}

}  // namespace

std::optional<ForSaving> forSaving(const QString& text, QString& error) {
    const auto value = numbertext::toNumber(text);
    if (!value) {
        error = notANumber(text);
        return std::nullopt;
    }
    const auto numero = numbertext::toInt16(text);
    const auto slot = numbertext::toInt32(text);
    if (!numero || !slot || *slot < 1) {
        error = outOfRange(text);
        return std::nullopt;
    }
    return ForSaving{*numero, *slot};
}

std::optional<std::int32_t> browseTarget(const QString& text, int delta, QString& error) {
    const auto value = numbertext::toNumber(text);
    if (!value) {
        error = notANumber(text);
        return std::nullopt;
    }
    const auto target = numbertext::roundToInt32(*value + delta);
    if (!target || *target < 1) {
        error = *value + delta < 1 ? QStringLiteral("Il n'y a pas de fiche avant la fiche n°\u00A01.")
                                   : outOfRange(text);
        return std::nullopt;
    }
    return target;
}

std::optional<std::int32_t> slotOf(const QString& text, QString& error) {
    const auto slot = numbertext::toInt32(text);
    if (!slot || *slot < 1) {
        error = text.trimmed().isEmpty()
                    ? QStringLiteral("Cette ligne ne porte pas de numéro de fiche.")
                    : QStringLiteral("«\u00A0%1\u00A0» n'est pas un numéro de fiche valable.").arg(text.trimmed());
        return std::nullopt;
    }
    return slot;
}

}  // namespace cardnumber
