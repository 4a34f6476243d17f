#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace cardsearch {

// Whether accents count in a search: kept, a text matches as lower-cased;
// ignored, as lower-cased and folded (folding.h).
enum class Accents { kept, ignored };

// Whether a search text lies anywhere in a whole field, the spaces that fill
// it included, both lower-cased (and, accents ignored, folded). The field's
// bytes go through a table built once and are compared with the text's own
// Windows-1252 bytes, which gives what decoding the field and lower-casing
// it would, without doing it per card.
class FieldMatcher {
public:
    explicit FieldMatcher(const QString& text, Accents accents = Accents::kept);

    bool matches(std::span<const char> field) const;

    // The bytes of the field that the first match covers, from begin up to
    // end; nothing when the field does not match. Slower than matches()
    // where nothing matches: for searches that say where the text lies.
    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    // The first match that begins at `from` or after.
    std::optional<Span> find(std::span<const char> field, std::size_t from = 0) const;

    // An empty text matches every field, at its start.
    bool matchesEverything() const { return m_possible && m_needle.empty(); }
    // False when the text holds a character no field can.
    bool possible() const { return m_possible; }
    // The text as a field's bytes are compared with it: lower-cased, and
    // folded when accents are ignored.
    const std::string& comparedBytes() const { return m_needle; }

private:
    // Where a match begins, accents kept: any one, or the first; the field's
    // size when none does.
    enum class Which { any, first };
    std::size_t matchAt(std::span<const char> field, Which which, std::size_t from) const;
    std::size_t foldedMatchEnd(std::span<const char> field, std::size_t at, std::size_t part) const;
    std::optional<Span> findFolded(std::span<const char> field, std::size_t from) const;

    Accents m_accents;
    std::string m_needle;
    std::string m_firstBytes;  // the bytes whose lower case begins the needle
    // Accents ignored: the bytes whose folded letters hold the needle's first.
    std::array<bool, 256> m_mayBegin{};
    bool m_possible = true;  // false: the text holds a character no field can
};

}  // namespace cardsearch
