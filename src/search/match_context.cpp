#include "search/match_context.h"

#include <algorithm>

#include "store/cp1252.h"
#include "store/field_text.h"

namespace matchcontext {
namespace {

QChar* put(QChar* out, QStringView text) { return std::copy(text.begin(), text.end(), out); }

// The field's bytes as characters, line breaks and tabs as spaces, the
// characters the tip's markup reserves escaped; written from `out` on,
// returns where they end.
QChar* put(QChar* out, std::span<const char> bytes, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        switch (byte) {
            case '\r':
            case '\n':
            case '\t': *out++ = u' '; break;
            case '&': out = put(out, u"&amp;"); break;
            case '<': out = put(out, u"&lt;"); break;
            case '>': out = put(out, u"&gt;"); break;
            // Only 0x80..0x9F differ from Latin-1 in the code page.
            default: *out++ = (byte & 0xE0) == 0x80 ? cp1252::toUnicode(byte) : QChar(byte);
        }
    }
    return out;
}

// Longest markup one byte becomes.
constexpr qsizetype kLongestEscape = 5;
constexpr QStringView kOneLine = u"<p style='white-space:pre'>";

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

Note::Note(Module1::Field field, std::span<const char> bytes, cardsearch::FieldMatcher::Span match, QString said)
    : m_said(std::move(said)), m_field(field) {
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
    std::copy(bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(to), m_bytes.begin());
    m_placed = true;
    m_length = std::uint8_t(to - from);
    m_begin = std::uint8_t(begin - from);
    m_end = std::uint8_t(end - from);
    m_cutBefore = from > 0;
    m_cutAfter = to < textEnd;
}

QString Note::text() const {
    if (!m_placed) return m_ready;
    const std::span<const char> bytes(m_bytes.data(), m_length);
    const QString name = fieldName(m_field);
    QString text(name.size() + kOneLine.size() + qsizetype(20 + kLongestEscape * m_length), Qt::Uninitialized);
    // On one line, as a plain tip is: rich text would wrap it narrow.
    QChar* out = put(text.data(), kOneLine);
    out = put(out, name);
    out = put(out, u"\u00A0: ");
    if (m_cutBefore) *out++ = u'…';
    out = put(out, bytes, 0, m_begin);
    // Bold rather than quotes: the field's own text may hold guillemets.
    out = put(out, u"<b>");
    out = put(out, bytes, m_begin, m_end);
    out = put(out, u"</b>");
    out = put(out, bytes, m_end, m_length);
    if (m_cutAfter) *out++ = u'…';
    text.truncate(out - text.constData());
    if (!m_said.isEmpty()) text += QStringLiteral(" (%1)").arg(m_said.toHtmlEscaped());
    return text + QStringLiteral("</p>");
}

}  // namespace matchcontext
