#include "exchange/tbx_reader.h"

#include <QDir>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

#include "exchange/exchange_error.h"

using glossary::Entry;
using glossary::LanguagePart;
using glossary::Status;

namespace {

const QString kXmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

// Inline markup in a text (hi, ph, bpt...) nests a few levels at most; a
// text nested deeper is no glossary's, and reading it is refused before it
// can take the memory or the stack.
constexpr int kDeepestText = 32;
// Beyond any field's width: what is longer is cut at the card's width anyway,
// and the reading keeps no more.
constexpr qsizetype kLongestKept = 4096;

// The document types of the TBX standards, which the glossary needs no
// more than any other: named by many tools, never fetched.
bool isStandardTbxDtd(const QString& systemId) {
    static const QStringList known = {QStringLiteral("TBXcdv04.dtd"), QStringLiteral("TBXcoreStructV02.dtd"),
                                      QStringLiteral("TBXBasiccoreStructV02.dtd"),
                                      QStringLiteral("TBXBasiccoreStructV03.dtd")};
    const QString name = systemId.section(u'/', -1);
    return known.contains(name, Qt::CaseInsensitive);
}

bool isXmlSpace(QChar ch) { return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r'; }

// A line break and the indentation around it are the file's layout, not the
// text: each such run becomes one space, and none is kept at either end.
// A carriage return can only come from a character reference (the parser
// turns those it reads into line feeds): a text holding one says where its
// lines break, and stays as written.
QString collapsed(const QString& text) {
    if (text.contains(u'\r') || !text.contains(u'\n')) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!isXmlSpace(text[i])) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        bool lineBreak = false;
        for (; end < text.size() && isXmlSpace(text[end]); ++end) {
            if (text[end] == u'\n') lineBreak = true;
        }
        if (!lineBreak) {
            out += QStringView(text).mid(i, end - i);
        } else if (i > 0 && end < text.size()) {
            out += u' ';
        }
        i = end;
    }
    return out;
}

Status statusOf(const QString& value) {
    const QString status = value.trimmed().toLower();
    for (const char* discouraged : {"deprecated", "superseded", "forbidden", "obsolete"}) {
        if (status.startsWith(QLatin1String(discouraged))) return Status::discouraged;
    }
    if (status.startsWith(QLatin1String("preferred"))) return Status::preferred;
    for (const char* admitted : {"admitted", "standardized", "legal", "regulated"}) {
        if (status.startsWith(QLatin1String(admitted))) return Status::admitted;
    }
    return Status::unsaid;
}

bool isOneOf(QStringView name, std::initializer_list<const char*> names) {
    for (const char* one : names) {
        if (name == QLatin1String(one)) return true;
    }
    return false;
}

class Reader {
public:
    Reader(QIODevice& in, const QString& fileName, std::int32_t room)
        : m_xml(&in), m_file(QDir::toNativeSeparators(fileName)), m_room(room) {}

    glossary::Glossary read() {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isDTD()) checkDocumentType();
            if (m_xml.isEntityReference()) undeclaredEntity();
            if (m_xml.isStartElement()) startElement();
            if (m_xml.isEndElement()) endElement();
        }
        if (m_xml.hasError()) malformed();
        if (!m_sawRoot) fail(QStringLiteral("ne contient aucun élément"));
        if (m_withTerms == 0) {
            fail(QStringLiteral("ne contient aucun terme\u00A0: aucune entrée (termEntry ou conceptEntry) n'en a"));
        }
        if (m_glossary.languages.isEmpty()) {
            fail(QStringLiteral("ne dit la langue d'aucun de ses termes\u00A0: aucune section de langue (langSet ou "
                                "langSec) n'a d'attribut xml:lang"));
        }
        // Two languages, the document written in one of them: from it to the other.
        m_glossary.directed = m_glossary.languages.size() == 2 && m_glossary.languages.contains(m_glossary.mainLanguage);
        return std::move(m_glossary);
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le glossaire «\u00A0%1\u00A0» %2. Rien n'a été importé.").arg(m_file, what));
    }

    [[noreturn]] void malformed() const {
        const QString where = m_entry ? QStringLiteral(", dans l'entrée n°\u00A0%1").arg(m_entries + 1) : QString();
        QString why = m_xml.errorString().trimmed();
        while (why.endsWith(u'.')) why.chop(1);
        fail(QStringLiteral("n'est pas un document XML bien formé (ligne %1, colonne %2%3)\u00A0: %4")
                 .arg(m_xml.lineNumber())
                 .arg(m_xml.columnNumber())
                 .arg(where, why));
    }

    [[noreturn]] void undeclaredEntity() const {
        fail(QStringLiteral("emploie l'entité «\u00A0&%1;\u00A0» sans la déclarer (ligne %2)\u00A0; écrivez le "
                            "caractère lui-même et recommencez")
                 .arg(m_xml.name().toString())
                 .arg(m_xml.lineNumber()));
    }

    void checkDocumentType() {
        if (m_xml.text().contains(u'[')) {
            fail(QStringLiteral("déclare ses propres entités (ligne %1)\u00A0: elles ne sont pas lues, par sécurité. "
                                "Retirez la déclaration <!DOCTYPE ...> et recommencez")
                     .arg(m_xml.lineNumber()));
        }
        const QString systemId = m_xml.dtdSystemId().toString();
        if (!systemId.isEmpty() && !isStandardTbxDtd(systemId)) {
            fail(QStringLiteral("renvoie à une DTD extérieure «\u00A0%1\u00A0» (ligne %2), qui n'est jamais chargée. "
                                "Retirez la déclaration <!DOCTYPE ...> et recommencez")
                     .arg(systemId)
                     .arg(m_xml.lineNumber()));
        }
    }

    QString attribute(const QString& name) const {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        if (name == QLatin1String("lang") && attributes.hasAttribute(kXmlNamespace, name)) {
            return attributes.value(kXmlNamespace, name).toString();
        }
        return attributes.value(name).toString();
    }

    // The text of the element just started, its children's included, read
    // one token after another, collapsed; the reader stops on its end.
    QString text() {
        QString read;
        for (int depth = 1; depth > 0;) {
            m_xml.readNext();
            if (m_xml.isCharacters()) {
                if (read.size() < kLongestKept) read += m_xml.text().left(kLongestKept - read.size());
            } else if (m_xml.isEntityReference()) {
                undeclaredEntity();
            } else if (m_xml.isStartElement()) {
                if (++depth > kDeepestText) {
                    fail(QStringLiteral("a un texte dont les éléments s'imbriquent sur plus de %1 niveaux (ligne %2)\u00A0: "
                                        "ce n'est pas ainsi qu'un glossaire s'écrit")
                             .arg(kDeepestText)
                             .arg(m_xml.lineNumber()));
                }
            } else if (m_xml.isEndElement()) {
                --depth;
            } else if (m_xml.hasError() || m_xml.atEnd()) {
                malformed();
            }
        }
        return collapsed(read);
    }

    void startElement() {
        const auto name = m_xml.name();
        if (!m_sawRoot) {
            m_sawRoot = true;
            if (name != QLatin1String("martif") && name != QLatin1String("tbx")) {
                fail(QStringLiteral("n'est pas un glossaire TBX\u00A0: son élément principal est «\u00A0%1\u00A0», "
                                    "au lieu de «\u00A0martif\u00A0» ou «\u00A0tbx\u00A0»")
                         .arg(name.toString()));
            }
            m_glossary.mainLanguage = glossary::primaryLanguage(attribute(QStringLiteral("lang")));
            return;
        }
        if (isOneOf(name, {"termEntry", "conceptEntry"})) {
            if (m_entry) {
                fail(QStringLiteral("a une entrée dans une autre (ligne %1, dans l'entrée n°\u00A0%2)\u00A0: "
                                    "une entrée ne peut pas en contenir d'autres")
                         .arg(m_xml.lineNumber())
                         .arg(m_entries + 1));
            }
            m_entry = Entry{};
            m_entry->line = m_xml.lineNumber();
            return;
        }
        if (!m_entry) {
            // The glossary's own name, from its header: its title, or where it came from.
            if (m_glossary.title.isEmpty() && isOneOf(name, {"title", "sourceDesc"})) m_glossary.title = text().simplified();
            return;
        }
        if (isOneOf(name, {"langSet", "langSec"})) {
            m_language = &m_entry->languages.emplace_back();
            m_language->language = glossary::primaryLanguage(attribute(QStringLiteral("lang")));
            return;
        }
        if (isOneOf(name, {"tig", "ntig", "termSec"})) {
            m_termAt = -1;
            return;
        }
        // The data category: the type of a descrip, admin or termNote in the
        // DCA style (descrip type="definition"), the element's own name in the
        // DCT style of TBX v3 (basic:definition).
        const QString category = isOneOf(name, {"descrip", "admin", "termNote"}) ? attribute(QStringLiteral("type"))
                                                                                 : name.toString();
        QStringList* texts = nullptr;
        if (category == QLatin1String("term") && m_language) {
            m_language->terms.push_back({text(), Status::unsaid, QString()});
            m_termAt = qsizetype(m_language->terms.size()) - 1;
        } else if (category == QLatin1String("partOfSpeech") && m_language && m_termAt >= 0) {
            m_language->terms[std::size_t(m_termAt)].partOfSpeech = text();
        } else if (isOneOf(category, {"administrativeStatus", "normativeAuthorization"}) && m_language && m_termAt >= 0) {
            const Status status = statusOf(text());
            if (status != Status::unsaid) m_language->terms[std::size_t(m_termAt)].status = status;
        } else if (category == QLatin1String("note")) {
            const QString note = text();
            if (const auto entries = glossary::entriesOfNote(note); entries && m_language) {
                m_language->entries.append(*entries);
            } else {
                (m_language ? m_language->notes : m_entry->notes).append(note);
            }
        } else if (category == QLatin1String("context")) {
            texts = m_language ? &m_language->contexts : &m_entry->contexts;
        } else if (category == QLatin1String("definition")) {
            texts = m_language ? &m_language->definitions : &m_entry->definitions;
        } else if (category == QLatin1String("subjectField")) {
            texts = m_language ? &m_language->subjects : &m_entry->subjects;
        } else if (category == QLatin1String("source")) {
            texts = m_language ? &m_language->sources : &m_entry->sources;
        }
        if (texts) texts->append(text());
    }

    void endElement() {
        const auto name = m_xml.name();
        if (isOneOf(name, {"tig", "ntig", "termSec"})) {
            m_termAt = -1;
        } else if (isOneOf(name, {"langSet", "langSec"})) {
            m_language = nullptr;
        } else if (isOneOf(name, {"termEntry", "conceptEntry"}) && m_entry) {
            endEntry();
        }
    }

    void endEntry() {
        ++m_entries;
        const auto termIn = [](const LanguagePart& part) {
            return std::any_of(part.terms.begin(), part.terms.end(),
                               [](const glossary::Term& term) { return !term.text.trimmed().isEmpty(); });
        };
        const bool anyTerm = std::any_of(m_entry->languages.begin(), m_entry->languages.end(), termIn);
        // The languages of the entries that hold a term, even those of its empty sections: a card
        // may wait for its translation.
        for (const LanguagePart& part : m_entry->languages) {
            if (anyTerm && !part.language.isEmpty() && !m_glossary.languages.contains(part.language)) {
                m_glossary.languages.append(part.language);
            }
        }
        if (anyTerm && ++m_withTerms > m_room) {
            fail(glossary::pastTheRoom(m_room));
        }
        m_glossary.entries.push_back(std::move(*m_entry));
        m_entry.reset();
        m_language = nullptr;
    }

    QXmlStreamReader m_xml;
    QString m_file;
    std::int32_t m_room;
    glossary::Glossary m_glossary;
    bool m_sawRoot = false;
    std::optional<Entry> m_entry;
    LanguagePart* m_language = nullptr;  // in m_entry
    qsizetype m_termAt = -1;  // the term of the group being read, in m_language
    int m_entries = 0;
    std::int32_t m_withTerms = 0;
};

}  // namespace

glossary::Glossary readTbx(QIODevice& in, const QString& fileName, std::int32_t room) {
    return Reader(in, fileName, room).read();
}
