#include "search/forms_matcher.h"

#include <deque>

#include "search/folding.h"
#include "store/field_text.h"

namespace cardsearch {

Side sideOf(Module1::Field field) {
    using Module1::Field;
    switch (field) {
        case Field::expression:
        case Field::dictionnaire:
        case Field::contexte: return Side::source;
        case Field::traduction:
        case Field::dictionnairecible: return Side::target;
        case Field::miscellanea:
        case Field::reference: break;
    }
    return Side::both;
}

// Aho and Corasick's automaton over the phrases' letters, as a search
// compares them: every state knows its next state for every letter, so a
// field's text is walked once whatever the number of phrases.
FormsMatcher::FormsMatcher(const std::vector<FormPhrases::Phrase>& phrases, Accents accents) : m_accents(accents) {
    State root;
    root.next.fill(-1);
    m_states.push_back(root);
    for (std::size_t p = 0; p < phrases.size(); ++p) {
        const FieldMatcher compared(phrases[p].text, accents);
        const std::string& letters = compared.comparedBytes();
        m_lengths.push_back(letters.size());
        m_anywhere.push_back(phrases[p].anywhere);
        if (!compared.possible() || letters.empty()) continue;
        int at = 0;
        for (const char letter : letters) {
            const auto index = static_cast<unsigned char>(letter);
            if (m_states[std::size_t(at)].next[index] < 0) {
                State added;
                added.next.fill(-1);
                m_states.push_back(added);
                m_states[std::size_t(at)].next[index] = int(m_states.size() - 1);
            }
            at = m_states[std::size_t(at)].next[index];
        }
        m_states[std::size_t(at)].ends.push_back(p);
        m_longest = std::max(m_longest, letters.size());
    }
    while (m_ringMask + 1 < m_longest) m_ringMask = m_ringMask * 2 + 1;
    const auto& fold = folding::foldingTable();
    const auto& lower = folding::lowerCaseTable();
    for (std::size_t byte = 0; byte < 256; ++byte) {
        const auto begins = [&](char letter) { return letter != '\0' && m_states[0].next[static_cast<unsigned char>(letter)] >= 0; };
        m_mayStart[byte] = accents == Accents::ignored ? begins(fold[byte][0]) || begins(fold[byte][1]) : begins(lower[byte]);
    }
    // Breadth first: each state's missing letters go where its longest
    // proper suffix would, and it ends what that suffix ends.
    std::vector<int> fallback(m_states.size(), 0);
    std::deque<int> waiting;
    for (int& next : m_states[0].next) {
        if (next < 0) {
            next = 0;
        } else {
            waiting.push_back(next);
        }
    }
    while (!waiting.empty()) {
        const int state = waiting.front();
        waiting.pop_front();
        const int suffix = fallback[std::size_t(state)];
        const std::vector<std::size_t> inherited = m_states[std::size_t(suffix)].ends;
        auto& ends = m_states[std::size_t(state)].ends;
        ends.insert(ends.end(), inherited.begin(), inherited.end());
        for (std::size_t letter = 0; letter < 256; ++letter) {
            int& next = m_states[std::size_t(state)].next[letter];
            if (next < 0) {
                next = m_states[std::size_t(suffix)].next[letter];
            } else {
                fallback[std::size_t(next)] = m_states[std::size_t(suffix)].next[letter];
                waiting.push_back(next);
            }
        }
    }
}

std::optional<FormsMatcher::Found> FormsMatcher::find(std::span<const char> field) const {
    if (m_longest == 0) return {};
    const auto& words = folding::wordByteTable();
    const auto& fold = folding::foldingTable();
    const auto& lower = folding::lowerCaseTable();
    const std::size_t text = fieldtext::textLength(field);
    const auto isWordAt = [&](std::size_t at) { return at < field.size() && words[static_cast<unsigned char>(field[at])]; };
    // Where each of the last letters came from: its byte, and whether it began it.
    struct Origin {
        std::size_t byte;
        bool first;
    };
    std::vector<Origin> recent(m_ringMask + 1);
    std::size_t fed = 0;
    int state = 0;
    for (std::size_t at = 0; at < text; ++at) {
        if (state == 0) {
            while (at < text && !m_mayStart[static_cast<unsigned char>(field[at])]) ++at;
            if (at == text) break;
        }
        const auto byte = static_cast<unsigned char>(field[at]);
        const folding::Folded letters = m_accents == Accents::ignored ? fold[byte] : folding::Folded{lower[byte], '\0'};
        for (std::size_t part = 0; part < 2 && (part == 0 || letters[1] != '\0'); ++part) {
            state = m_states[std::size_t(state)].next[static_cast<unsigned char>(letters[part])];
            recent[fed & m_ringMask] = {at, part == 0};
            ++fed;
            const bool lastLetterOfByte = part == 1 || letters[1] == '\0';
            for (const std::size_t phrase : m_states[std::size_t(state)].ends) {
                const Origin& begin = recent[(fed - m_lengths[phrase]) & m_ringMask];
                const bool whole = lastLetterOfByte && !isWordAt(at + 1) && begin.first &&
                                   (begin.byte == 0 || !isWordAt(begin.byte - 1));
                if (whole || m_anywhere[phrase]) return Found{{begin.byte, at + 1}, phrase};
            }
        }
    }
    return {};
}

}  // namespace cardsearch
