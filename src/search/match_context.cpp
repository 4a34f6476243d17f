#include "search/match_context.h"

#include <algorithm>

#include "store/cp1252.h"
#include "store/field_text.h"

namespace matchcontext {
namespace {

QString shown(std::span<const char> bytes, std::size_t begin, std::size_t end) {
    QString text = cp1252::decode(bytes.data() + begin, qsizetype(end - begin));
    for (QChar& ch : text) {
        if (ch == u'\r' || ch == u'\n' || ch == u'\t') ch = u' ';
    }
    return text;
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
    const std::size_t from = begin > kAround ? begin - kAround : 0;
    const std::size_t to = std::min(textEnd, end + kAround);
    QString text = fieldName(field) + QStringLiteral("\u00A0: ");
    if (from > 0) text += u'…';
    text += shown(bytes, from, begin) + QStringLiteral("«\u00A0") + shown(bytes, begin, end) +
            QStringLiteral("\u00A0»") + shown(bytes, end, to);
    if (to < textEnd) text += u'…';
    return text;
}

}  // namespace matchcontext
