#include "store/cp1252.h"

#include <algorithm>

#include <array>

namespace cp1252 {
namespace {

// 0x80..0x9F; the undefined positions keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeDecodeTable() {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
    }
    return table;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

}  // namespace

QChar toUnicode(unsigned char byte) { return QChar(kDecode[byte]); }

char fromUnicode(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return char(ch);
    for (int i = 0; i < int(kHighControls.size()); ++i) {
        if (kHighControls[i] == ch) return char(0x80 + i);
    }
    return '?';
}

QString decode(const char* bytes, qsizetype size) {
    // Latin-1 agrees with the code page everywhere but 0x80..0x9F, which are
    // rare in text: convert fast, then mend those.
    QString text = QString::fromLatin1(bytes, size);
    QChar* out = nullptr;
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80 || byte >= 0xA0) continue;
        if (!out) out = text.data();
        out[i] = QChar(kDecode[byte]);
    }
    return text;
}

QString composed(const QString& text) {
    // No combining mark or jamo lies below U+0300: most text needs no work.
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x300; });
    return plain ? text : text.normalized(QString::NormalizationForm_C);
}

QByteArray encode(const QString& given, bool* replaced) {
    const QString text = composed(given);
    QByteArray bytes(text.size(), Qt::Uninitialized);
    qsizetype length = 0;
    bool anyReplaced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        char byte;
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            byte = '?';
        } else {
            byte = fromUnicode(ch.unicode());
        }
        anyReplaced = anyReplaced || (byte == '?' && ch != u'?');
        bytes[length++] = byte;
    }
    bytes.truncate(length);
    if (replaced) *replaced = anyReplaced;
    return bytes;
}

}  // namespace cp1252
