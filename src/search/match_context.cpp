#include "search/match_context.h"

#include <algorithm>

#include "store/cp1252.h"
#include "store/field_text.h"

namespace matchcontext {
namespace {

// The field's bytes as characters, line breaks and tabs as spaces.
void append(QString& text, std::span<const char> bytes, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        const char byte = bytes[i];
        const bool space = byte == '\r' || byte == '\n' || byte == '\t';
        text += space ? QChar(u' ') : cp1252::toUnicode(static_cast<unsigned char>(byte));
    }
}

}  // namespace

QString fieldName(Module1::Field field) {
    using Module1::Field;
    switch (field) {
        case Field::expression: return QStringLiteral("Expression");
        case Field::traduction: return QStringLiteral("Traduction");
        case Field::dictionnaire: return QStringLiteral("Entrées texte source");
        case Field::dictionnairecible: return QStringLiteral("Entrées texte cible");
        case Field::miscellanea: return QStringLiteral("Miscellanea");
        case Field::reference: return QStringLiteral("Référence");
        case Field::contexte: return QStringLiteral("Contexte");
    }
    return {};
}

QString around(Module1::Field field, std::span<const char> bytes, cardsearch::FieldMatcher::Span match) {
    // A match that runs into the spaces filling the field shows up to the text's end.
    const std::size_t textEnd = std::max(fieldtext::textLength(bytes), match.begin);
    const std::size_t begin = std::min(match.begin, textEnd);
    const std::size_t end = std::min({match.end, textEnd, begin + kLongestMatch});
    std::size_t from = begin > kAround ? begin - kAround : 0;
    std::size_t to = std::min(textEnd, end + kAround);
    // Cut between words where the text allows it.
    const auto isSpace = [&](std::size_t at) { return bytes[at] == ' ' || bytes[at] == '\r' || bytes[at] == '\n'; };
    if (from > 0 && !isSpace(from - 1)) {
        std::size_t space = from;
        while (space < begin && !isSpace(space)) ++space;
        if (space < begin) from = space + 1;
    }
    if (to < textEnd && !isSpace(to)) {
        std::size_t space = to;
        while (space > end && !isSpace(space - 1)) --space;
        if (space > end) to = space - 1;
    }
    // Built in place: a search in every field makes one for nearly every card.
    QString text;
    text.reserve(qsizetype(24 + to - from));
    text += fieldName(field);
    text += QStringLiteral("\u00A0: ");
    if (from > 0) text += u'…';
    append(text, bytes, from, begin);
    text += QStringLiteral("«\u00A0");
    append(text, bytes, begin, end);
    text += QStringLiteral("\u00A0»");
    append(text, bytes, end, to);
    if (to < textEnd) text += u'…';
    return text;
}

}  // namespace matchcontext
