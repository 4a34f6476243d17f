#include "windows/controls/grid_sort.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <optional>

namespace gridsort {
namespace {

// A key cell, worked out once so that comparing is cheap.
struct CellKey {
    std::optional<double> number;
    std::optional<QCollatorSortKey> text;
};

std::optional<double> asNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

int compare(const CellKey& a, const CellKey& b) {
    if (a.number && b.number) return *a.number < *b.number ? -1 : (*a.number > *b.number ? 1 : 0);
    if (a.number) return -1;
    if (b.number) return 1;
    return a.text->compare(*b.text);
}

}  // namespace

std::vector<int> ascendingOrder(const std::vector<std::vector<QString>>& keys) {
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    std::vector<std::vector<CellKey>> cells(keys.size());
    for (std::size_t r = 0; r < keys.size(); ++r) {
        cells[r].reserve(keys[r].size());
        for (const QString& text : keys[r]) {
            CellKey key;
            key.number = asNumber(text);
            if (!key.number) key.text = collator.sortKey(text);
            cells[r].push_back(std::move(key));
        }
    }
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto& left = cells[std::size_t(a)];
        const auto& right = cells[std::size_t(b)];
        for (std::size_t k = 0; k < std::min(left.size(), right.size()); ++k) {
            if (const int c = compare(left[k], right[k])) return c < 0;
        }
        return false;
    });
    return order;
}

}  // namespace gridsort
