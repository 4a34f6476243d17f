#include "windows/consultation/card_search.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "store/cp1252.h"
#include "store/field_text.h"
#include "store/number_text.h"
#include "store/slot_scan.h"

namespace cardsearch {
namespace {

ResultRow rowOf(Module1::SlotView slot) {
    using Module1::Field;
    return {numbertext::fromNumero(Module1::numeroOf(slot)), fieldtext::read(Module1::field(slot, Field::dictionnaire)),
            fieldtext::read(Module1::field(slot, Field::dictionnairecible)),
            fieldtext::read(Module1::field(slot, Field::reference))};
}

// Only the fields a kept row shows are decoded, on the scan's second thread;
// the record buffer ends holding the last slot, as reading each slot into it
// in turn would leave it.
template <typename Keep>
std::vector<ResultRow> collect(DataFile& file, Keep keep) {
    std::vector<ResultRow> rows;
    const std::int32_t count = slotscan::scan(file, [&](std::int32_t, std::span<const char> bytes) {
        for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
            const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
            if (keep(slot)) rows.push_back(rowOf(slot));
        }
    });
    if (count > 0) file.readSlot(count, Module1::recordBuffer());
    return rows;
}

// A character lower-cased and stripped of its accent: the base letter of
// what decomposes into one, two letters for the ligatures and the sharp s,
// and the letters with a stroke or a hook that do not decompose.
QString folded(QChar ch) {
    const QString lower = QString(ch).toLower();
    if (lower == u"\u0153") return QStringLiteral("oe");
    if (lower == u"\u00E6") return QStringLiteral("ae");
    if (lower == u"\u00DF") return QStringLiteral("ss");
    if (lower == u"\u00F8") return QStringLiteral("o");
    if (lower == u"\u0192") return QStringLiteral("f");
    QString base;
    for (const QChar part : lower.normalized(QString::NormalizationForm_D)) {
        if (part.category() != QChar::Mark_NonSpacing) base += part;
    }
    return base.isEmpty() ? lower : base;
}

}  // namespace

const std::array<FieldMatcher::Folded, 256>& FieldMatcher::foldingTable() {
    static const std::array<Folded, 256> table = [] {
        std::array<Folded, 256> fold{};
        for (int b = 0; b < 256; ++b) {
            const QString text = folded(cp1252::toUnicode(static_cast<unsigned char>(b)));
            const QByteArray bytes = cp1252::encode(text);
            fold[std::size_t(b)] = bytes.size() <= 2 && bytes.size() > 0 && !bytes.contains('?')
                                       ? Folded{bytes[0], bytes.size() == 2 ? bytes[1] : '\0'}
                                       : Folded{lowerCaseTable()[std::size_t(b)], '\0'};
        }
        return fold;
    }();
    return table;
}

const std::array<char, 256>& FieldMatcher::lowerCaseTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> lower{};
        for (int b = 0; b < 256; ++b) {
            const QString lowered = QString(cp1252::toUnicode(static_cast<unsigned char>(b))).toLower();
            lower[std::size_t(b)] = lowered.size() == 1 ? cp1252::fromUnicode(lowered.at(0).unicode()) : '?';
        }
        return lower;
    }();
    return table;
}

FieldMatcher::FieldMatcher(const QString& text, Accents accents) : m_accents(accents) {
    const QString lowered = text.toLower();
    m_needle.reserve(std::size_t(lowered.size()));
    for (const QChar ch : lowered) {
        char byte = cp1252::fromUnicode(ch.unicode());
        if (byte == '?' && ch != u'?' && accents == Accents::ignored) {
            // A letter the code page lacks may still fold to one it has (ō to o).
            const QByteArray base = cp1252::encode(folded(ch));
            if (base.size() == 1) byte = base[0];
        }
        if (byte == '?' && ch != u'?') m_possible = false;
        if (accents == Accents::kept) {
            m_needle.push_back(byte);
            continue;
        }
        for (const char part : foldingTable()[static_cast<unsigned char>(byte)]) {
            if (part != '\0') m_needle.push_back(part);
        }
    }
    if (m_needle.empty() || accents == Accents::ignored) return;
    const auto& lower = lowerCaseTable();
    for (int b = 0; b < 256; ++b) {
        if (lower[std::size_t(b)] == m_needle.front()) m_firstBytes.push_back(char(b));
    }
}

bool FieldMatcher::matches(std::span<const char> field) const {
    if (!m_possible) return false;
    if (m_accents == Accents::ignored) return matchesFolded(field);
    if (m_needle.size() > field.size()) return false;
    if (m_needle.empty()) return true;
    const auto& lower = lowerCaseTable();
    const auto matchesAt = [&](std::size_t at) {
        for (std::size_t i = 1; i < m_needle.size(); ++i) {
            if (lower[static_cast<unsigned char>(field[at + i])] != m_needle[i]) return false;
        }
        return true;
    };
    // Each byte that may begin a match is found with memchr, then checked.
    const std::size_t lastStart = field.size() - m_needle.size();
    for (const char first : m_firstBytes) {
        const char* begin = field.data();
        const char* end = field.data() + lastStart + 1;
        while (const void* hit = std::memchr(begin, first, std::size_t(end - begin))) {
            const auto at = std::size_t(static_cast<const char*>(hit) - field.data());
            if (matchesAt(at)) return true;
            begin = static_cast<const char*>(hit) + 1;
        }
    }
    return false;
}

bool FieldMatcher::matchesFolded(std::span<const char> field) const {
    if (m_needle.empty()) return true;
    // Fields are mostly the spaces that fill them: only the text is folded,
    // then as many of the spaces as a match can reach into.
    const std::size_t end = fieldtext::textLength(field);
    const std::size_t spaces = std::min(field.size() - end, m_needle.size());
    // A field folds to at most twice its bytes; the fields searched have 255.
    std::array<char, 2 * 255> buffer;
    if (2 * end + spaces > buffer.size()) return false;
    const auto& fold = foldingTable();
    std::size_t length = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const Folded& folded = fold[static_cast<unsigned char>(field[i])];
        buffer[length++] = folded[0];
        if (folded[1] != '\0') buffer[length++] = folded[1];
    }
    std::memset(buffer.data() + length, ' ', spaces);
    length += spaces;
    return std::string_view(buffer.data(), length).find(m_needle) != std::string_view::npos;
}

std::vector<ResultRow> search(DataFile& file, SearchedField field, const QString& text, Accents accents) {
    const FieldMatcher matcher(text, accents);
    const auto searched =
        field == SearchedField::dictionnaire ? Module1::Field::dictionnaire : Module1::Field::dictionnairecible;
    return collect(file, [&](Module1::SlotView slot) { return matcher.matches(Module1::field(slot, searched)); });
}

std::vector<ResultRow> fullList(DataFile& file) {
    return collect(file, [](Module1::SlotView) { return true; });
}

}  // namespace cardsearch
