#include "support/wildcard_reference.h"

#include "search/folding.h"
#include "store/cp1252.h"

namespace wildcardreference {
namespace {

// Whether `pattern` covers exactly field[begin, end): `*` and `?` only over
// the first `text` characters, the field's text; letters anywhere.
bool coversExactly(const QString& field, qsizetype text, QStringView pattern, qsizetype begin, qsizetype end, bool ignored) {
    if (pattern.isEmpty()) return begin == end;
    const QChar head = pattern.front();
    if (head == u'*') {
        for (qsizetype stop = begin; stop <= end && (stop == begin || stop <= text); ++stop) {
            if (coversExactly(field, text, pattern.mid(1), stop, end, ignored)) return true;
        }
        return false;
    }
    if (begin >= end) return false;
    const auto letter = [ignored](QChar ch) { return ignored ? folding::forComparison(QString(ch)) : QString(ch.toLower()); };
    if (head == u'?' ? begin >= text : letter(head) != letter(field[begin])) return false;
    return coversExactly(field, text, pattern.mid(1), begin + 1, end, ignored);
}

}  // namespace

std::optional<std::pair<std::size_t, std::size_t>> firstMatch(const QString& field, qsizetype text, QString pattern,
                                                              bool wholeWord, bool ignored) {
    const bool freeStart = pattern.startsWith(u'*');
    const bool freeEnd = pattern.endsWith(u'*');
    while (pattern.startsWith(u'*')) pattern.remove(0, 1);
    while (pattern.endsWith(u'*')) pattern.chop(1);
    if (pattern.isEmpty()) return std::pair<std::size_t, std::size_t>{0, 0};
    const auto wordAt = [&](qsizetype at) {
        return at >= 0 && at < field.size() && folding::wordByteTable()[static_cast<unsigned char>(cp1252::encode(QString(field[at]))[0])];
    };
    for (qsizetype begin = 0; begin < (freeStart ? text + 1 : text); ++begin) {
        if (wholeWord && !freeStart && wordAt(begin - 1)) continue;
        for (qsizetype end = begin; end <= field.size(); ++end) {
            if (wholeWord && !freeEnd && wordAt(end)) continue;
            if (coversExactly(field, text, pattern, begin, end, ignored)) return std::pair{std::size_t(begin), std::size_t(end)};
        }
    }
    return std::nullopt;
}

}  // namespace wildcardreference
