#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "fuzz_input.h"
#include "search/query_matcher.h"
#include "store/cp1252.h"
#include "store/field_text.h"
#include "support/wildcard_reference.h"

// Any search text and field, with any options: the first byte chooses the
// options, the text runs to the first line feed (UTF-8), the field's bytes
// follow. The matcher agrees with itself, stays within the field, and with
// wildcards finds what every beginning and end tried in turn finds.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzzinput::ensureApplication();
    const std::uint8_t choice = data[0];
    const QByteArray rest = fuzzinput::bytes(data + 1, size - 1);
    const qsizetype cut = rest.indexOf('\n');
    const QString text = QString::fromUtf8(cut < 0 ? rest : rest.left(cut));
    const QByteArray given = cut < 0 ? QByteArray() : rest.mid(cut + 1).left(1000);
    std::array<char, 1000> field;
    field.fill(' ');
    std::copy(given.begin(), given.end(), field.begin());
    // Up to seven spaces filling the field after its text, within the widest field.
    const qsizetype width = std::clamp<qsizetype>(given.size() + (choice >> 5), 1, qsizetype(field.size()));
    const std::span<const char> bytes(field.data(), std::size_t(width));

    const cardsearch::MatchOptions options{(choice & 1) != 0, (choice & 2) != 0, (choice & 4) != 0};
    const bool ignored = (choice & 8) != 0;
    const cardsearch::QueryMatcher matcher(text, ignored ? cardsearch::Accents::ignored : cardsearch::Accents::kept, options);
    const auto span = matcher.find(bytes);
    if (matcher.matches(bytes) != span.has_value()) std::abort();
    if (span && (span->begin > span->end || span->end > bytes.size())) std::abort();

    // Against the plain way, where it is plain to work out: wildcards
    // alone, short texts, no letter folded to two, no control character in
    // the text (none can be typed, and folding drops them).
    const bool ligatures = std::any_of(bytes.begin(), bytes.end(), [](char byte) {
        return QStringLiteral("œŒæÆß").contains(cp1252::decode(&byte, 1));
    }) || text.contains(QRegularExpression(QStringLiteral("[œŒæÆß]")));
    const bool controls = std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x20; });
    if (options.wildcards && !options.approximate && !ligatures && !controls && text.size() <= 8 && bytes.size() <= 24) {
        const auto expected = wildcardreference::firstMatch(cp1252::decode(bytes.data(), qsizetype(bytes.size())),
                                                            qsizetype(fieldtext::textLength(bytes)), text,
                                                            options.wholeWord, ignored);
        if (span.has_value() != expected.has_value()) std::abort();
        if (span && (span->begin != expected->first || span->end != expected->second)) std::abort();
    }
    return 0;
}
