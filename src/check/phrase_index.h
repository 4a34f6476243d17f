#pragma once

#include <unordered_map>
#include <vector>

#include "check/term_keys.h"

// Many phrases looked for at once in the words of a text: a phrase is found
// where each of its words shares a key with the word of the text at that
// place (a form of it), word after word.
namespace termcheck {

class PhraseIndex {
public:
    // Each word of the phrase with its keys; `payload` comes back with each
    // place it is found.
    void add(const std::vector<std::vector<int>>& words, int payload);

    struct Found {
        std::size_t first = 0;   // the text's token where it begins
        std::size_t length = 0;  // in tokens
        int payload = 0;
    };
    // Every place each phrase lies, from every token.
    std::vector<Found> find(const std::vector<Token>& tokens) const;

private:
    struct Node {
        std::unordered_map<int, int> next;
        std::vector<int> payloads;
    };
    void insert(const std::vector<std::vector<int>>& words, std::size_t word, int node, int payload);

    std::vector<Node> m_nodes{Node{}};
};

}  // namespace termcheck
