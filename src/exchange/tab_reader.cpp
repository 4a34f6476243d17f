#include "exchange/tab_reader.h"

#include <QDir>

#include "exchange/exchange_error.h"
#include "exchange/utf8_source.h"

namespace {

// Beyond any field's width, as in tables.
constexpr qsizetype kLongestKept = 4096;

class Reader {
public:
    Reader(QIODevice& in, const QString& fileName, std::int32_t room)
        : m_file(QDir::toNativeSeparators(fileName)),
          m_source(in, QStringLiteral("Le glossaire «\u00A0%1\u00A0»").arg(m_file)),
          m_room(room) {}

    glossary::Glossary read() {
        QString piece;
        while (m_source.next(piece)) {
            const bool ends = piece.endsWith(u'\n');
            if (m_kept.size() < kLongestKept) m_kept += QStringView(piece).left(kLongestKept - m_kept.size());
            if (!ends) continue;
            line(m_kept);
            m_kept.clear();
        }
        if (!m_kept.isEmpty()) line(m_kept);
        if (m_withTerms == 0) {
            fail(QStringLiteral("ne contient aucun terme\u00A0: chaque ligne doit porter le terme source, une "
                                "tabulation et le terme cible"));
        }
        return std::move(m_glossary);
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le glossaire «\u00A0%1\u00A0» %2. Rien n'a été importé.").arg(m_file, what));
    }

    void line(QString text) {
        while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
        if (text.startsWith(u'#') || text.trimmed().isEmpty()) return;
        const QStringList fields = text.split(u'\t');
        glossary::Entry entry;
        entry.languages.resize(2);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QString field = fields[i].trimmed();
            if (field.isEmpty()) continue;
            if (i < 2) {
                entry.languages[std::size_t(i)].terms.push_back({field, {}, {}});
            } else {
                entry.notes.append(field);
            }
        }
        if (entry.languages[0].terms.empty() && entry.languages[1].terms.empty()) return;
        if (++m_withTerms > m_room) {
            fail(glossary::pastTheRoom(m_room));
        }
        m_glossary.entries.push_back(std::move(entry));
    }

    QString m_file;
    Utf8Source m_source;
    std::int32_t m_room;
    QString m_kept;
    glossary::Glossary m_glossary;
    std::int32_t m_withTerms = 0;
};

}  // namespace

glossary::Glossary readTab(QIODevice& in, const QString& fileName, std::int32_t room) {
    return Reader(in, fileName, room).read();
}
