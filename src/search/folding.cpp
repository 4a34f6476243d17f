#include "search/folding.h"

#include "store/cp1252.h"

namespace folding {

// The base letter of what decomposes into one, two letters for the
// ligatures and the sharp s, and the letters with a stroke or a hook that
// do not decompose.
QString foldedChar(QChar ch) {
    const QString lower = QString(ch).toLower();
    if (lower == u"\u0153") return QStringLiteral("oe");
    if (lower == u"\u00E6") return QStringLiteral("ae");
    if (lower == u"\u00DF") return QStringLiteral("ss");
    if (lower == u"\u00F8") return QStringLiteral("o");
    if (lower == u"\u0142") return QStringLiteral("l");
    if (lower == u"\u0111") return QStringLiteral("d");
    if (lower == u"\u0192") return QStringLiteral("f");
    QString base;
    for (const QChar part : lower.normalized(QString::NormalizationForm_D)) {
        if (part.category() != QChar::Mark_NonSpacing) base += part;
    }
    return base.isEmpty() ? lower : base;
}

QString forComparison(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        // Plain ASCII letters and signs are most of any text: no table needed.
        if (ch.unicode() < 0x80) {
            out += QChar(ch.unicode() >= u'A' && ch.unicode() <= u'Z' ? ch.unicode() + 32 : ch.unicode());
        } else {
            out += foldedChar(ch);
        }
    }
    return out;
}

const std::array<char, 256>& lowerCaseTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> lower{};
        for (int b = 0; b < 256; ++b) {
            const QString lowered = QString(cp1252::toUnicode(static_cast<unsigned char>(b))).toLower();
            lower[std::size_t(b)] = lowered.size() == 1 ? cp1252::fromUnicode(lowered.at(0).unicode()) : '?';
        }
        return lower;
    }();
    return table;
}

const std::array<Folded, 256>& foldingTable() {
    static const std::array<Folded, 256> table = [] {
        std::array<Folded, 256> fold{};
        for (int b = 0; b < 256; ++b) {
            const QString text = foldedChar(cp1252::toUnicode(static_cast<unsigned char>(b)));
            const QByteArray bytes = cp1252::encode(text);
            fold[std::size_t(b)] = bytes.size() <= 2 && bytes.size() > 0 && !bytes.contains('?')
                                       ? Folded{bytes[0], bytes.size() == 2 ? bytes[1] : '\0'}
                                       : Folded{lowerCaseTable()[std::size_t(b)], '\0'};
        }
        return fold;
    }();
    return table;
}

const std::array<bool, 256>& wordByteTable() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> word{};
        for (int b = 0; b < 256; ++b) word[std::size_t(b)] = cp1252::toUnicode(static_cast<unsigned char>(b)).isLetterOrNumber();
        return word;
    }();
    return table;
}

}  // namespace folding
