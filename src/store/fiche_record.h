#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The card as it lies in memory and on file, and the one record buffer every
// read and write of a card passes through.
namespace Module1 {

inline constexpr int kSlotSize = 2799;
inline constexpr int kHighestCardNumber = 32767;

template <std::size_t Width>
using Champ = std::array<char, Width>;

// Text fields hold the exact Windows-1252 bytes of the slot, so whatever a
// slot holds (the reserve included) is written back unchanged.
struct FicheRecord {
    std::int16_t numero = 0;
    Champ<255> expression{};
    Champ<255> traduction{};
    Champ<255> dictionnaire{};
    Champ<255> dictionnairecible{};
    Champ<512> miscellanea{};
    Champ<255> reference{};
    Champ<1000> contexte{};
    Champ<10> reserve{};

    bool operator==(const FicheRecord&) const = default;
};

using SlotBytes = std::array<char, kSlotSize>;

// The seven fields a window shows, in their order on file.
enum class Field { expression, traduction, dictionnaire, dictionnairecible, miscellanea, reference, contexte };

std::span<char> field(FicheRecord& fiche, Field which);
std::span<const char> field(const FicheRecord& fiche, Field which);

// A slot's bytes as the file holds them, read in place.
using SlotView = std::span<const char, kSlotSize>;
std::span<const char> field(SlotView slot, Field which);
std::int16_t numeroOf(SlotView slot);

SlotBytes toBytes(const FicheRecord& fiche);
// Fills the record from kSlotSize bytes of a slot.
void fromBytes(const char* bytes, FicheRecord& into);

// What a slot that was never written holds: the slot's number, text fields of
// spaces and a reserve of NULs.
FicheRecord emptyCard(std::int64_t slot);

// The record buffer: zeroed at start, never cleared between actions.
FicheRecord& recordBuffer();

}  // namespace Module1
