#include "store/fiche_record.h"

#include <algorithm>
#include <cstring>

namespace Module1 {
namespace {

// Visits numero's two bytes aside; every text field in file order.
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

SlotBytes toBytes(const FicheRecord& fiche) {
    SlotBytes bytes;
    const auto number = static_cast<std::uint16_t>(fiche.numero);
    bytes[0] = char(number & 0xFF);
    bytes[1] = char(number >> 8);
    std::size_t offset = 2;
    forEachTextField(fiche, [&](const auto& text) {
        std::memcpy(bytes.data() + offset, text.data(), text.size());
        offset += text.size();
    });
    return bytes;
}

FicheRecord fromBytes(const SlotBytes& bytes) {
    FicheRecord fiche;
    const auto low = static_cast<unsigned char>(bytes[0]);
    const auto high = static_cast<unsigned char>(bytes[1]);
    fiche.numero = static_cast<std::int16_t>(std::uint16_t(low | (high << 8)));
    std::size_t offset = 2;
    forEachTextField(fiche, [&](auto& text) {
        std::memcpy(text.data(), bytes.data() + offset, text.size());
        offset += text.size();
    });
    return fiche;
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
