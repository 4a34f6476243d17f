#pragma once

#include <QString>
#include <mutex>

struct sb_stemmer;

// A language's Snowball stemmer: the stem of a word ("glossari" for
// "glossaries"), for the words a dictionary gives no lemma of.
class SnowballStemmer {
public:
    // None for a language Snowball has no stemmer for.
    explicit SnowballStemmer(const QString& language);
    ~SnowballStemmer();
    SnowballStemmer(const SnowballStemmer&) = delete;
    SnowballStemmer& operator=(const SnowballStemmer&) = delete;

    bool available() const { return m_stemmer != nullptr; }
    // The stem; the word itself where there is no stemmer.
    QString stem(const QString& word) const;

private:
    sb_stemmer* m_stemmer = nullptr;
    mutable std::mutex m_turn;  // a stemmer keeps its work in itself
};
