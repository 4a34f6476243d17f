#include "exchange/utf8_source.h"

#include <QIODevice>
#include <QStringDecoder>

#include "exchange/exchange_error.h"

namespace {

// Long enough for the lines of any table, short enough to keep a line of
// hundreds of megabytes from being held whole.
constexpr qint64 kLongestPiece = 64 * 1024;

// How many bytes at the end of `bytes` begin a character that the next piece ends.
qsizetype cutCharacter(const QByteArray& bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

}  // namespace

Utf8Source::Utf8Source(QIODevice& in, const QString& described) : m_in(in), m_described(described) {}

void Utf8Source::notUtf8() const {
    throw ExchangeError(QStringLiteral("%1 n'est pas en UTF-8 (ligne %2)\u00A0: il est sans doute dans un autre codage, "
                                       "comme Windows-1252. Enregistrez-le en UTF-8 («\u00A0CSV UTF-8\u00A0» dans un "
                                       "tableur) et recommencez. Rien n'a été importé.")
                            .arg(m_described)
                            .arg(m_line));
}

bool Utf8Source::next(QString& piece) {
    if (!m_started) {
        m_started = true;
        const QByteArray start = m_in.peek(3);
        if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
            throw ExchangeError(QStringLiteral("%1 est enregistré en UTF-16\u00A0: enregistrez-le en UTF-8 («\u00A0CSV "
                                               "UTF-8\u00A0» dans un tableur) et recommencez. Rien n'a été importé.")
                                    .arg(m_described));
        }
        if (start == "\xEF\xBB\xBF") m_in.skip(3);
    }
    if (m_buffer.isEmpty()) m_buffer.resize(kLongestPiece + 1);
    const qint64 read = m_in.readLine(m_buffer.data(), m_buffer.size());
    QByteArray bytes = m_carried;
    m_carried.clear();
    if (read > 0) bytes.append(m_buffer.constData(), read);
    if (bytes.isEmpty()) return false;
    if (!bytes.endsWith('\n') && !m_in.atEnd()) {
        const qsizetype cut = cutCharacter(bytes);
        m_carried = bytes.right(cut);
        bytes.chop(cut);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    piece = utf8(bytes);
    if (utf8.hasError() || bytes.contains('\0')) notUtf8();
    if (bytes.endsWith('\n')) ++m_line;
    return true;
}
