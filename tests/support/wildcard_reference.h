#pragma once

#include <QString>
#include <optional>
#include <utility>

// Wildcards matched the slow and plain way, every beginning and end tried
// in turn, for the fast matcher to be checked against: `*` and `?` over the
// first `text` characters of the field (its text, not its filling), letters
// anywhere; each character one letter (no ligature folded to two).
namespace wildcardreference {

// The first beginning that starts a match, then its nearest end; none when
// the pattern matches nowhere.
std::optional<std::pair<std::size_t, std::size_t>> firstMatch(const QString& field, qsizetype text, QString pattern,
                                                              bool wholeWord, bool ignored);

}  // namespace wildcardreference
