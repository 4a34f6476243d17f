#pragma once

#include <QString>
#include <cstdint>

#include "store/fiche_record.h"

// Cards with French text as a terminologist writes them: accented words,
// several words a field, some long contexts. The same seed gives the same cards.
class CardGenerator {
public:
    explicit CardGenerator(std::uint32_t seed = 1252);

    Module1::FicheRecord card(int numero);

    // Writes cards 1..count as a data file; returns false when it cannot.
    bool writeFile(const QString& path, int count);

private:
    QString words(int minimum, int maximum);
    std::uint32_t next();

    std::uint32_t m_state;
};
