#pragma once

#include <QString>
#include <memory>
#include <mutex>

#include "forms/lemmatizer.h"
#include "forms/snowball_stemmer.h"

class Hunspell;

// Lemmas from a Hunspell dictionary: the "st:" of each analysis of a word
// the dictionary's morphology gives (the French one gives each form's
// lemma), else its stems; where it gives none, the Snowball stem of the
// language, marked as such. An affix the dictionary marks as making
// another word (English "-ment", "-ness", "re-") gives no lemma.
class HunspellLemmatizer final : public Lemmatizer {
public:
    // False from ready() when the dictionary could not be read.
    HunspellLemmatizer(const QString& language, const QString& affixFile, const QString& dictionaryFile);
    ~HunspellLemmatizer() override;

    bool ready() const { return m_hunspell != nullptr; }
    Lemmas lemmasOf(const QString& word) const override;
    bool knows(const QString& word) const override;

private:
    std::string encoded(const QString& word) const;
    QString decoded(const std::string& text) const;
    bool inflects(const std::string& analysis) const;

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_latin1 = false;        // the dictionary's encoding, else UTF-8
    QString m_inflectingFlags;    // where analyses name their affixes: those that make forms of one word
    SnowballStemmer m_stemmer;
    mutable std::mutex m_turn;    // Hunspell keeps its work in itself
};
