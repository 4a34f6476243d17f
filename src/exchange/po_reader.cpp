#include "exchange/po_reader.h"

#include <QDir>

#include "exchange/exchange_error.h"
#include "exchange/glossary.h"

namespace bilingual {
namespace {

class PoReader {
public:
    PoReader(QIODevice& in, const QString& path) : m_in(in), m_file(QDir::toNativeSeparators(path)) {}

    File read() {
        Part part = Part::none;
        Message message;
        qint64 number = 0;
        while (!m_in.atEnd()) {
            const QByteArray raw = m_in.readLine(kLongestLine + 1);
            ++number;
            if (raw.size() > kLongestLine && !raw.endsWith('\n')) fail(QStringLiteral("a une ligne %1 de plus de %2 octets").arg(number).arg(kLongestLine));
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1String("#~"))) {
                if (line.isEmpty()) finish(message);
                part = Part::none;
                continue;
            }
            if (line.startsWith(u'#')) continue;
            QString keyword = line.section(u' ', 0, 0);
            const QString rest = line.mid(keyword.size()).trimmed();
            if (keyword.startsWith(u'"')) {
                append(message, part, unquoted(line, number));
                continue;
            }
            if (keyword == QLatin1String("msgctxt") || keyword == QLatin1String("msgid")) {
                if (message.hasText) finish(message);
            }
            if (keyword == QLatin1String("msgctxt")) {
                part = Part::context;
            } else if (keyword == QLatin1String("msgid")) {
                part = Part::id;
                message.hasId = true;
                message.line = number;
            } else if (keyword == QLatin1String("msgid_plural")) {
                part = Part::plural;
            } else if (keyword == QLatin1String("msgstr") || keyword == QLatin1String("msgstr[0]")) {
                part = Part::text;
                message.hasText = true;
            } else if (keyword.startsWith(QLatin1String("msgstr["))) {
                part = Part::otherText;
            } else {
                fail(QStringLiteral("a, à la ligne %1, «\u00A0%2\u00A0», qui n'est pas du format PO").arg(number).arg(keyword.left(40)));
            }
            append(message, part, unquoted(rest, number));
        }
        finish(message);
        return std::move(m_result);
    }

private:
    static constexpr qsizetype kLongestLine = 1024 * 1024;

    // What the quoted strings that follow belong to.
    enum class Part { none, context, id, plural, text, otherText };

    struct Message {
        QString context, id, text;
        bool hasId = false;
        bool hasText = false;
        qint64 line = 0;
    };

    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le fichier «\u00A0%1\u00A0» %2.").arg(m_file, what));
    }

    void append(Message& message, Part part, const QString& text) const {
        QString* to = nullptr;
        switch (part) {
            case Part::context: to = &message.context; break;
            case Part::id: to = &message.id; break;
            case Part::text: to = &message.text; break;
            case Part::none:
            case Part::plural:
            case Part::otherText: return;  // a plural's forms: the first stands for them
        }
        if (to->size() + text.size() > kLongestText) fail(QStringLiteral("a un message de plus de %1 caractères").arg(kLongestText));
        *to += text;
    }

    // A quoted string of the file, its escapes read.
    QString unquoted(const QString& quoted, qint64 number) const {
        if (quoted.size() < 2 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"')) {
            fail(QStringLiteral("a, à la ligne %1, un texte qui n'est pas entre guillemets").arg(number));
        }
        QString text;
        for (qsizetype i = 1; i + 1 < quoted.size(); ++i) {
            if (quoted[i] != u'\\' || i + 2 >= quoted.size()) {
                text += quoted[i];
                continue;
            }
            const QChar escaped = quoted[++i];
            text += escaped == u'n' ? QChar(u'\n') : escaped == u't' ? QChar(u'\t') : escaped == u'r' ? QChar(u'\r') : escaped;
        }
        return text;
    }

    void finish(Message& message) {
        if (message.hasId && message.id.isEmpty() && message.context.isEmpty()) {
            // The header: the target's language.
            for (const QString& field : message.text.split(u'\n')) {
                if (field.startsWith(QLatin1String("Language:"))) {
                    m_result.targetLanguage = glossary::primaryLanguage(field.mid(9).trimmed());
                }
            }
        } else if (message.hasId) {
            if (m_result.segments.size() >= kMostSegments) fail(QStringLiteral("a plus de %1 messages").arg(kMostSegments));
            const QString id = message.context.isEmpty() ? QString::number(message.line)
                                                         : message.context + QStringLiteral(" (ligne %1)").arg(message.line);
            m_result.segments.push_back({id, message.id, message.text, !message.text.isEmpty(), true});
        }
        message = Message();
    }

    QIODevice& m_in;
    QString m_file;
    File m_result;
};

}  // namespace

File readPo(QIODevice& in, const QString& path) { return PoReader(in, path).read(); }

}  // namespace bilingual
