#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <mutex>
#include <vector>

#include "forms/lemmatizer.h"

// The words of a text as the check of a translation compares them: each
// word with its keys, what two forms of one word share (the word without
// capitals or accents, and its lemmas, likewise), as small numbers.
namespace termcheck {

struct Token {
    qsizetype begin = 0;  // where the word lies in the text
    qsizetype end = 0;
    std::vector<int> keys;
};

// The keys of a language's words, each word worked out once; two books of
// the same language share the numbers of their keys only through the one
// KeyNumbers they are given.
class KeyNumbers {
public:
    int numberOf(const QString& key);

private:
    std::mutex m_turn;
    QHash<QString, int> m_numbers;
};

class KeyBook {
public:
    // Without a lemmatizer, a word's only key is itself.
    KeyBook(std::shared_ptr<const Lemmatizer> lemmatizer, std::shared_ptr<KeyNumbers> numbers);

    const std::vector<int>& keysOf(const QString& word);
    // The words of a text, in order: runs of letters and digits.
    std::vector<Token> tokens(const QString& text);

private:
    std::shared_ptr<const Lemmatizer> m_lemmatizer;
    std::shared_ptr<KeyNumbers> m_numbers;
    QHash<QString, std::vector<int>> m_known;  // by the word in lower case
};

}  // namespace termcheck
