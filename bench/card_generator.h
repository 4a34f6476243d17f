#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "store/fiche_record.h"

// Cards with French text as a terminologist writes them: accented words,
// several words a field, some long contexts. The same seed gives the same cards.
class CardGenerator {
public:
    explicit CardGenerator(std::uint32_t seed = 1252);
    // Cards whose expressions, entries and contexts take their words from
    // `source`, and translations from `target`: a vocabulary as wide as a
    // dictionary's, for what is prepared per word.
    CardGenerator(std::uint32_t seed, QStringList source, QStringList target);

    Module1::FicheRecord card(int numero);

    // Writes cards 1..count as a data file; returns false when it cannot.
    bool writeFile(const QString& path, int count);

private:
    QString words(int minimum, int maximum, const QStringList& from = {});
    std::uint32_t next();

    std::uint32_t m_state;
    QStringList m_source;
    QStringList m_target;
};
