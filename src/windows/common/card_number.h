#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The card number typed in a number box, checked before anything is read or
// written. On refusal, error holds the French message to show.
namespace cardnumber {

struct ForSaving {
    std::int16_t numero;  // stored in the card
    std::int32_t slot;    // the slot written
};

// A whole card number from 1 to 32767 (rounded, halves to even).
std::optional<ForSaving> forSaving(const QString& text, QString& error);

// The slot before (delta -1) or after (delta +1) the number shown.
std::optional<std::int32_t> browseTarget(const QString& text, int delta, QString& error);

// The slot a card-number text names, as the result grid holds it.
std::optional<std::int32_t> slotOf(const QString& text, QString& error);

}  // namespace cardnumber
