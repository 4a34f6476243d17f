#include "windows/controls/grid_sort.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace gridsort {
namespace {

constexpr std::size_t kRowsWorthASecondThread = 4096;

#ifdef _WIN32
// Qt 6.4 on Windows hands back sort keys half filled with whatever its
// memory held (it takes the system's count of bytes for a count of
// characters), so equal texts compare unequal and the order is not stable.
// The system's key is asked for here in bytes, in the French the collator
// follows, and compared byte by byte.
using TextKey = std::string;

TextKey textKeyOf(const QCollator&, const QString& text) {
    const auto* source = reinterpret_cast<LPCWSTR>(text.utf16());
    const int length = int(text.size());
    const int bytes = LCMapStringEx(L"fr-FR", LCMAP_SORTKEY, source, length, nullptr, 0, nullptr, nullptr, 0);
    std::string key(std::size_t(std::max(bytes, 0)), '\0');
    if (bytes > 0) {
        LCMapStringEx(L"fr-FR", LCMAP_SORTKEY, source, length, reinterpret_cast<LPWSTR>(key.data()), bytes, nullptr,
                      nullptr, 0);
    }
    return key;
}
#else
using TextKey = QCollatorSortKey;

TextKey textKeyOf(const QCollator& collator, const QString& text) { return collator.sortKey(text); }
#endif

// A key cell, worked out once so that comparing is cheap.
struct CellKey {
    std::optional<double> number;
    std::optional<TextKey> text;
};

// A cell is a number if the user's locale or the C locale reads it as a
// finite one: "nan" and "inf" are words here, and NaN could not be ordered.
std::optional<double> asNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    // A number begins with a digit, a sign or a separator. Most cells begin
    // with a letter, and are known for texts without asking the user's
    // locale, which looks its separators up again at every call.
    if (trimmed.isEmpty() || trimmed.front().isLetter()) return std::nullopt;
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

int compare(const CellKey& a, const CellKey& b) {
    if (a.number && b.number) return *a.number < *b.number ? -1 : (*a.number > *b.number ? 1 : 0);
    if (a.number) return -1;
    if (b.number) return 1;
    return a.text->compare(*b.text);
}

// Sorts rows [first, last) of order on key k, then each run of rows equal on
// it on the next key: later keys are worked out only for rows that tie.
void sortOnKey(const std::vector<std::vector<QString>>& keys, const QCollator& collator, std::vector<int>& order,
               std::size_t first, std::size_t last, std::size_t k) {
    if (last - first < 2 || k >= keys[std::size_t(order[first])].size()) return;
    std::vector<std::pair<CellKey, int>> rows(last - first);
    const auto makeKeys = [&](const QCollator& by, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const QString& text = keys[std::size_t(order[first + i])][k];
            CellKey& key = rows[i].first;
            key.number = asNumber(text);
            if (!key.number) key.text = textKeyOf(by, text);
            rows[i].second = order[first + i];
        }
    };
    // Collation keys are most of a large sort's cost: a second thread works
    // out half of them, with a collator of its own.
    if (rows.size() >= kRowsWorthASecondThread && std::thread::hardware_concurrency() > 1) {
        const std::size_t half = rows.size() / 2;
        std::thread helper([&] { makeKeys(QCollator(collator.locale()), half, rows.size()); });
        makeKeys(collator, 0, half);
        helper.join();
    } else {
        makeKeys(collator, 0, rows.size());
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return compare(a.first, b.first) < 0; });
    for (std::size_t i = 0; i < rows.size(); ++i) order[first + i] = rows[i].second;
    for (std::size_t run = 0; run < rows.size();) {
        std::size_t end = run + 1;
        while (end < rows.size() && compare(rows[run].first, rows[end].first) == 0) ++end;
        if (end - run > 1) sortOnKey(keys, collator, order, first + run, first + end, k + 1);
        run = end;
    }
}

}  // namespace

std::vector<int> ascendingOrder(const std::vector<std::vector<QString>>& keys) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    // Opening a collator costs more than a small sort: keep one.
    static const QCollator collator{QLocale(QLocale::French, QLocale::France)};
    sortOnKey(keys, collator, order, 0, order.size(), 0);
    return order;
}

}  // namespace gridsort
