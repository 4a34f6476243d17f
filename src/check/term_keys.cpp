#include "check/term_keys.h"

#include <algorithm>

#include "search/folding.h"

namespace termcheck {

int KeyNumbers::numberOf(const QString& key) {
    const std::lock_guard<std::mutex> lock(m_turn);
    const auto known = m_numbers.constFind(key);
    if (known != m_numbers.constEnd()) return *known;
    const int number = int(m_numbers.size());
    m_numbers.insert(key, number);
    return number;
}

KeyBook::KeyBook(std::shared_ptr<const Lemmatizer> lemmatizer, std::shared_ptr<KeyNumbers> numbers)
    : m_lemmatizer(std::move(lemmatizer)), m_numbers(std::move(numbers)) {}

const std::vector<int>& KeyBook::keysOf(const QString& word) {
    const QString lower = word.toLower();
    const auto known = m_known.constFind(lower);
    if (known != m_known.constEnd()) return *known;
    std::vector<int> keys{m_numbers->numberOf(folding::forComparison(lower))};
    if (m_lemmatizer) {
        for (const QString& lemma : m_lemmatizer->lemmasOf(lower).keys) {
            const int key = m_numbers->numberOf(folding::forComparison(lemma));
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
        }
    }
    return *m_known.insert(lower, std::move(keys));
}

std::vector<Token> KeyBook::tokens(const QString& text) {
    std::vector<Token> tokens;
    qsizetype begin = -1;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        const bool letter = at < text.size() && text[at].isLetterOrNumber();
        if (letter && begin < 0) begin = at;
        if (!letter && begin >= 0) {
            tokens.push_back({begin, at, keysOf(text.mid(begin, at - begin))});
            begin = -1;
        }
    }
    return tokens;
}

}  // namespace termcheck
