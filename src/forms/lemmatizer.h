#pragma once

#include <QString>
#include <QStringList>

// The lemmas of one language's words: two forms of a word share one (the
// dictionary form, "cheval" for "chevaux"). One back end per way of knowing
// them: a spelling dictionary's morphology, a stemmer, a fake in tests.
class Lemmatizer {
public:
    virtual ~Lemmatizer() = default;

    struct Lemmas {
        // What two forms of one word share: lemmas, or a stem where no
        // lemma is known (marked with a leading "~", never a word's own).
        QStringList keys;
        bool stemmed = false;  // from the stemmer, the dictionary knowing no lemma
    };
    // The word in lower case, as written.
    virtual Lemmas lemmasOf(const QString& word) const = 0;
    // Whether the language's dictionary knows the word, as spelt.
    virtual bool knows(const QString& word) const = 0;
};
