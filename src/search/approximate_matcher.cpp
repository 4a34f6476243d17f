#include "search/approximate_matcher.h"

#include <algorithm>
#include <array>
#include <vector>

#include "search/folding.h"
#include "store/cp1252.h"
#include "store/field_text.h"

namespace cardsearch {
namespace {

bool isWordByte(char byte) { return folding::wordByteTable()[static_cast<unsigned char>(byte)]; }

// A byte's letters as compared: one, or two for a ligature folded.
void appendCompared(std::string& out, char byte, Accents accents) {
    const auto b = static_cast<unsigned char>(byte);
    if (accents == Accents::kept) {
        out.push_back(folding::lowerCaseTable()[b]);
        return;
    }
    const folding::Folded& folded = folding::foldingTable()[b];
    out.push_back(folded[0]);
    if (folded[1] != '\0') out.push_back(folded[1]);
}

std::size_t comparedLength(std::span<const char> bytes, Accents accents) {
    if (accents == Accents::kept) return bytes.size();
    std::size_t length = bytes.size();
    for (const char byte : bytes) length += folding::foldingTable()[static_cast<unsigned char>(byte)][1] != '\0';
    return length;
}

struct Word {
    std::size_t begin;
    std::size_t end;
    std::size_t length;  // as compared
};

}  // namespace

bool withinEdits(std::string_view a, std::string_view b, int limit) {
    const auto n = std::ptrdiff_t(a.size());
    const auto m = std::ptrdiff_t(b.size());
    if (std::abs(n - m) > limit) return false;
    if (limit == 0) return a == b;
    // Three rows of the table of distances between prefixes; cells further
    // than `limit` from the diagonal can only exceed it.
    const int beyond = limit + 1;
    std::vector<int> before(std::size_t(m + 1), beyond);
    std::vector<int> previous(std::size_t(m + 1), beyond);
    std::vector<int> current(std::size_t(m + 1), beyond);
    for (std::ptrdiff_t j = 0; j <= std::min<std::ptrdiff_t>(m, limit); ++j) previous[std::size_t(j)] = int(j);
    for (std::ptrdiff_t i = 1; i <= n; ++i) {
        const std::ptrdiff_t from = std::max<std::ptrdiff_t>(1, i - limit);
        const std::ptrdiff_t to = std::min<std::ptrdiff_t>(m, i + limit);
        std::fill(current.begin(), current.end(), beyond);
        if (i <= limit) current[0] = int(i);
        int best = current[0];
        for (std::ptrdiff_t j = from; j <= to; ++j) {
            const bool same = a[std::size_t(i - 1)] == b[std::size_t(j - 1)];
            int cell = std::min({previous[std::size_t(j - 1)] + (same ? 0 : 1), previous[std::size_t(j)] + 1,
                                 current[std::size_t(j - 1)] + 1});
            if (i > 1 && j > 1 && a[std::size_t(i - 1)] == b[std::size_t(j - 2)] &&
                a[std::size_t(i - 2)] == b[std::size_t(j - 1)]) {
                cell = std::min(cell, before[std::size_t(j - 2)] + 1);
            }
            current[std::size_t(j)] = std::min(cell, beyond);
            best = std::min(best, current[std::size_t(j)]);
        }
        if (best > limit) return false;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[std::size_t(m)] <= limit;
}

int ApproximateMatcher::allowedEdits(qsizetype letters) { return letters < 4 ? 0 : letters < 8 ? 1 : 2; }

ApproximateMatcher::ApproximateMatcher(const QString& text, Accents accents) : m_accents(accents) {
    const QByteArray bytes = cp1252::encode(text);
    qsizetype letters = 0;
    bool inWord = false;
    for (const char byte : bytes) {
        if (!isWordByte(byte)) {
            inWord = false;
            continue;
        }
        if (!inWord) {
            if (!m_text.empty()) m_text.push_back(' ');
            ++m_words;
            inWord = true;
        }
        appendCompared(m_text, byte, accents);
        ++letters;
    }
    m_edits = allowedEdits(letters);
}

std::optional<FieldMatcher::Span> ApproximateMatcher::find(std::span<const char> field) const {
    if (m_words == 0) return {};
    const std::size_t end = fieldtext::textLength(field);
    // The last m_words words seen, oldest first.
    std::vector<Word> run;
    run.reserve(m_words);
    std::string candidate;
    for (std::size_t at = 0; at < end;) {
        if (!isWordByte(field[at])) {
            ++at;
            continue;
        }
        const std::size_t begin = at;
        while (at < end && isWordByte(field[at])) ++at;
        if (run.size() == m_words) run.erase(run.begin());
        run.push_back({begin, at, comparedLength(field.subspan(begin, at - begin), m_accents)});
        if (run.size() < m_words) continue;
        // Most runs differ in length by more than the edits allowed.
        std::size_t length = run.size() - 1;
        for (const Word& word : run) length += word.length;
        if (std::max(length, m_text.size()) - std::min(length, m_text.size()) > std::size_t(m_edits)) continue;
        candidate.clear();
        for (const Word& word : run) {
            if (!candidate.empty()) candidate.push_back(' ');
            for (std::size_t i = word.begin; i < word.end; ++i) appendCompared(candidate, field[i], m_accents);
        }
        if (withinEdits(candidate, m_text, m_edits)) return FieldMatcher::Span{run.front().begin, run.back().end};
    }
    return {};
}

}  // namespace cardsearch
