#include "check/phrase_index.h"

#include <algorithm>

namespace termcheck {

// Along each key of each word: a word of three lemmas makes three paths,
// which is what lets any form of each word be found.
void PhraseIndex::insert(const std::vector<std::vector<int>>& words, std::size_t word, int node, int payload) {
    if (word == words.size()) {
        auto& payloads = m_nodes[std::size_t(node)].payloads;
        if (std::find(payloads.begin(), payloads.end(), payload) == payloads.end()) payloads.push_back(payload);
        return;
    }
    for (const int key : words[word]) {
        auto found = m_nodes[std::size_t(node)].next.find(key);
        int next = 0;
        if (found == m_nodes[std::size_t(node)].next.end()) {
            next = int(m_nodes.size());
            m_nodes[std::size_t(node)].next.emplace(key, next);
            m_nodes.emplace_back();
        } else {
            next = found->second;
        }
        insert(words, word + 1, next, payload);
    }
}

void PhraseIndex::add(const std::vector<std::vector<int>>& words, int payload) {
    if (!words.empty()) insert(words, 0, 0, payload);
}

std::vector<PhraseIndex::Found> PhraseIndex::find(const std::vector<Token>& tokens) const {
    std::vector<Found> found;
    // From each token, every node the following tokens' keys reach.
    std::vector<int> reached;
    std::vector<int> further;
    for (std::size_t first = 0; first < tokens.size(); ++first) {
        reached.assign(1, 0);
        for (std::size_t at = first; at < tokens.size() && !reached.empty(); ++at) {
            further.clear();
            for (const int node : reached) {
                for (const int key : tokens[at].keys) {
                    const auto next = m_nodes[std::size_t(node)].next.find(key);
                    if (next == m_nodes[std::size_t(node)].next.end()) continue;
                    if (std::find(further.begin(), further.end(), next->second) == further.end()) further.push_back(next->second);
                }
            }
            for (const int node : further) {
                for (const int payload : m_nodes[std::size_t(node)].payloads) found.push_back({first, at - first + 1, payload});
            }
            reached.swap(further);
        }
    }
    return found;
}

}  // namespace termcheck
