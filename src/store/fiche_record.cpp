#include "store/fiche_record.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace Module1 {
namespace {

// Visits every text field in file order.
template <typename Record, typename Visit>
void forEachTextField(Record& fiche, Visit visit) {
    visit(fiche.expression);
    visit(fiche.traduction);
    visit(fiche.dictionnaire);
    visit(fiche.dictionnairecible);
    visit(fiche.miscellanea);
    visit(fiche.reference);
    visit(fiche.contexte);
    visit(fiche.reserve);
}

static_assert(2 + 255 * 4 + 512 + 255 + 1000 + 10 == kSlotSize);
// The record lies in memory as on file (numero aside, whose bytes are
// ordered below), so a slot is copied in one piece.
static_assert(std::is_trivially_copyable_v<FicheRecord>);
static_assert(offsetof(FicheRecord, expression) == 2 && offsetof(FicheRecord, reserve) == kSlotSize - 10);

}  // namespace

std::span<char> field(FicheRecord& fiche, Field which) {
    switch (which) {
        case Field::expression: return fiche.expression;
        case Field::traduction: return fiche.traduction;
        case Field::dictionnaire: return fiche.dictionnaire;
        case Field::dictionnairecible: return fiche.dictionnairecible;
        case Field::miscellanea: return fiche.miscellanea;
        case Field::reference: return fiche.reference;
        case Field::contexte: return fiche.contexte;
    }
    return {};
}

std::span<const char> field(const FicheRecord& fiche, Field which) {
    return field(const_cast<FicheRecord&>(fiche), which);
}

std::span<const char> field(SlotView slot, Field which) {
    // The record lies in memory as on file, so its fields' places are the slot's.
    static const FicheRecord layout;
    const std::span<const char> inRecord = field(layout, which);
    const auto offset = std::size_t(inRecord.data() - reinterpret_cast<const char*>(&layout));
    return slot.subspan(offset, inRecord.size());
}

std::int16_t numeroOf(SlotView slot) {
    const auto low = static_cast<unsigned char>(slot[0]);
    const auto high = static_cast<unsigned char>(slot[1]);
    return static_cast<std::int16_t>(std::uint16_t(low | (high << 8)));
}

SlotBytes toBytes(const FicheRecord& fiche) {
    SlotBytes bytes;
    std::memcpy(bytes.data(), &fiche, kSlotSize);
    const auto number = static_cast<std::uint16_t>(fiche.numero);
    bytes[0] = char(number & 0xFF);
    bytes[1] = char(number >> 8);
    return bytes;
}

void fromBytes(const char* bytes, FicheRecord& into) {
    std::memcpy(static_cast<void*>(&into), bytes, kSlotSize);
    into.numero = numeroOf(SlotView(bytes, kSlotSize));
}

FicheRecord emptyCard(std::int64_t slot) {
    FicheRecord fiche;
    fiche.numero = static_cast<std::int16_t>(static_cast<std::uint16_t>(slot & 0xFFFF));
    forEachTextField(fiche, [](auto& text) { std::fill(text.begin(), text.end(), ' '); });
    fiche.reserve.fill('\0');
    return fiche;
}

FicheRecord& recordBuffer() {
    static FicheRecord buffer;
    return buffer;
}

}  // namespace Module1
