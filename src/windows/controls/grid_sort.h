#pragma once

#include <QString>
#include <vector>

// The grid's generic ascending order. Texts that read as numbers come first,
// in numeric order; other texts follow in French collation (letters decide
// before accents, accents before case). Rows with equal keys keep their order.
namespace gridsort {

// keys[r] holds row r's key texts, leftmost key first. Gives the rows'
// indexes in sorted order.
std::vector<int> ascendingOrder(const std::vector<std::vector<QString>>& keys);

}  // namespace gridsort
