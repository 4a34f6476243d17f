#include "windows/consultation/card_search.h"

#include "store/cp1252.h"
#include "store/field_text.h"
#include "store/number_text.h"

namespace cardsearch {
namespace {

ResultRow rowOf(const Module1::FicheRecord& fiche) {
    return {numbertext::fromNumero(fiche.numero), fieldtext::read(fiche.dictionnaire),
            fieldtext::read(fiche.dictionnairecible), fieldtext::read(fiche.reference)};
}

template <typename Keep>
std::vector<ResultRow> collect(DataFile& file, Keep keep) {
    std::vector<ResultRow> rows;
    Module1::FicheRecord& buffer = Module1::recordBuffer();
    const std::int32_t count = file.recordCount();
    for (std::int32_t slot = 1; slot <= count; ++slot) {
        file.readSlot(slot, buffer);
        if (keep(buffer)) rows.push_back(rowOf(buffer));
    }
    return rows;
}

}  // namespace

bool matches(const Module1::FicheRecord& fiche, SearchedField field, const QString& loweredText) {
    const auto& bytes = field == SearchedField::dictionnaire ? fiche.dictionnaire : fiche.dictionnairecible;
    return cp1252::decode(bytes.data(), qsizetype(bytes.size())).toLower().contains(loweredText);
}

std::vector<ResultRow> search(DataFile& file, SearchedField field, const QString& text) {
    const QString lowered = text.toLower();
    return collect(file, [&](const Module1::FicheRecord& fiche) { return matches(fiche, field, lowered); });
}

std::vector<ResultRow> fullList(DataFile& file) {
    return collect(file, [](const Module1::FicheRecord&) { return true; });
}

}  // namespace cardsearch
