#include "search/duplicates.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "search/folding.h"
#include "store/field_text.h"
#include "store/slot_scan.h"

namespace duplicates {
namespace {

using Module1::Field;

// The longest translation a notice quotes.
constexpr qsizetype kQuoted = 40;

bool isSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\xA0';
}

// Walks the compared form of a field, byte after byte, without building it:
// `take` gets each byte and returns false to stop.
template <typename Take>
void walkKey(std::span<const char> field, Take take) {
    const auto& fold = folding::foldingTable();
    bool started = false;
    bool spaceDue = false;
    for (const char byte : field) {
        if (isSpace(byte)) {
            spaceDue = started;
            continue;
        }
        if (spaceDue && !take(' ')) return;
        spaceDue = false;
        started = true;
        const folding::Folded& folded = fold[static_cast<unsigned char>(byte)];
        if (!take(folded[0])) return;
        if (folded[1] != '\0' && !take(folded[1])) return;
    }
}

// Most expressions differ from the one sought at their first letter: this
// stops there.
bool hasKey(std::span<const char> field, std::string_view key) {
    std::size_t at = 0;
    bool same = true;
    walkKey(field, [&](char byte) {
        same = at < key.size() && key[at] == byte;
        ++at;
        return same;
    });
    return same && at == key.size();
}

QString quoted(const QString& traduction, bool whole) {
    QString text = traduction.simplified();
    if (!whole && text.size() > kQuoted) text = text.left(kQuoted - 1).trimmed() + u'…';
    return text;
}

QString named(const Card& card, bool whole = false) {
    const QString number = QStringLiteral("n°\u00A0%1").arg(card.number);
    if (card.traduction.trimmed().isEmpty()) return number + QStringLiteral(" (sans traduction)");
    return number + QStringLiteral(" (traduction\u00A0: %1)").arg(quoted(card.traduction, whole));
}

}  // namespace

std::string keyOf(std::span<const char> field) {
    std::string key;
    walkKey(field, [&](char byte) {
        key.push_back(byte);
        return true;
    });
    return key;
}

std::string keyOf(const QString& expression) {
    std::array<char, 255> field;
    fieldtext::store(field, expression);
    return keyOf(field);
}

std::vector<Card> othersWith(DataFile& file, const QString& expression, std::int32_t ownSlot) {
    const std::string key = keyOf(expression);
    if (key.empty()) return {};
    return slotscan::gather<Card>(file, [&](std::int32_t first, std::span<const char> bytes, std::vector<Card>& found) {
        for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
            const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
            const auto number = first + std::int32_t(at / Module1::kSlotSize);
            if (number == ownSlot || !hasKey(Module1::field(slot, Field::expression), key)) continue;
            found.push_back({number, fieldtext::read(Module1::field(slot, Field::traduction))});
        }
    });
}

QString notice(const std::vector<Card>& cards) {
    switch (cards.size()) {
        case 0: return {};
        case 1: return QStringLiteral("Déjà sur la fiche ") + named(cards[0]);
        case 2: return QStringLiteral("Déjà sur les fiches %1 et %2").arg(named(cards[0]), named(cards[1]));
        default: break;
    }
    const auto others = qsizetype(cards.size()) - 2;
    return QStringLiteral("Déjà sur les fiches %1, %2 et %3 %4")
        .arg(named(cards[0]), named(cards[1]), QString::number(others),
             others == 1 ? QStringLiteral("autre") : QStringLiteral("autres"));
}

QString noticeInFull(const std::vector<Card>& cards) {
    if (cards.size() <= 1) return cards.empty() ? QString() : QStringLiteral("Déjà sur la fiche ") + named(cards[0], true);
    QString text = QStringLiteral("Déjà sur les fiches\u00A0:");
    for (const Card& card : cards) text += QLatin1Char('\n') + named(card, true);
    return text;
}

std::vector<ResultRow> list(DataFile& file) {
    struct Keyed {
        std::string key;
        std::int32_t slot;
        bool operator<(const Keyed& other) const {
            return key != other.key ? key < other.key : slot < other.slot;
        }
    };
    std::int32_t count = 0;
    std::vector<Keyed> keyed = slotscan::gather<Keyed>(
        file,
        [](std::int32_t first, std::span<const char> bytes, std::vector<Keyed>& found) {
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                std::string key = keyOf(Module1::field(slot, Field::expression));
                if (!key.empty()) found.push_back({std::move(key), first + std::int32_t(at / Module1::kSlotSize)});
            }
        },
        &count);
    std::sort(keyed.begin(), keyed.end());
    std::vector<ResultRow> rows;
    Module1::FicheRecord card;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        const bool shared = (i > 0 && keyed[i - 1].key == keyed[i].key) ||
                            (i + 1 < keyed.size() && keyed[i + 1].key == keyed[i].key);
        if (!shared) continue;
        file.readSlot(keyed[i].slot, card);
        const Module1::SlotBytes bytes = Module1::toBytes(card);
        rows.push_back(cardsearch::rowOf(Module1::SlotView(bytes)));
        rows.back().toolTip =
            matchcontext::Note(QStringLiteral("Expression\u00A0: ") + fieldtext::read(card.expression).simplified());
    }
    if (count > 0) file.readSlot(count, Module1::recordBuffer());
    return rows;
}

}  // namespace duplicates
