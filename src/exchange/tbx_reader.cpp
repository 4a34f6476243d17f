#include "exchange/tbx_reader.h"

#include <QDir>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

#include "exchange/exchange_error.h"

using Module1::Field;

namespace {

const QString kXmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

// The document types of the TBX standards, which the glossary needs no
// more than any other: named by many tools, never fetched.
bool isStandardTbxDtd(const QString& systemId) {
    static const QStringList known = {QStringLiteral("TBXcdv04.dtd"), QStringLiteral("TBXcoreStructV02.dtd"),
                                      QStringLiteral("TBXBasiccoreStructV02.dtd"),
                                      QStringLiteral("TBXBasiccoreStructV03.dtd")};
    const QString name = systemId.section(u'/', -1);
    return known.contains(name, Qt::CaseInsensitive);
}

struct LanguageTexts {
    QString language;
    QStringList terms, notes, contexts, sources, definitions;
};

struct Entry {
    QString id;
    qint64 line = 0;
    QStringList notes, sources, definitions;  // of the entry itself
    std::vector<LanguageTexts> languages;
};

QString joined(const QStringList& texts, const QString& separator = QStringLiteral("\r\n")) {
    return texts.join(separator);
}

bool sameLanguage(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0 ||
           a.section(u'-', 0, 0).compare(b.section(u'-', 0, 0), Qt::CaseInsensitive) == 0;
}

class Reader {
public:
    Reader(QIODevice& in, const QString& fileName) : m_xml(&in), m_file(QDir::toNativeSeparators(fileName)) {}

    std::vector<CardText> read() {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isDTD()) checkDocumentType();
            if (m_xml.isStartElement()) startElement();
            if (m_xml.isEndElement() && m_xml.name() == QLatin1String("langSet")) m_inLanguage = false;
            if (m_xml.isEndElement() && m_xml.name() == QLatin1String("termEntry") && m_entry) endEntry();
        }
        if (m_xml.hasError()) malformed();
        if (!m_sawRoot) fail(QStringLiteral("ne contient aucun élément"));
        if (m_cards.empty()) fail(QStringLiteral("ne contient aucun terme\u00A0: aucune entrée (termEntry) n'y figure"));
        return std::move(m_cards);
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le glossaire «\u00A0%1\u00A0» %2. Rien n'a été importé.").arg(m_file, what));
    }

    [[noreturn]] void malformed() const {
        const QString where = m_entry ? QStringLiteral(", dans l'entrée n° %1").arg(m_cards.size() + 1) : QString();
        fail(QStringLiteral("n'est pas un document XML bien formé (ligne %1, colonne %2%3)\u00A0: %4")
                 .arg(m_xml.lineNumber())
                 .arg(m_xml.columnNumber())
                 .arg(where, m_xml.errorString()));
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

    QString text() {
        const QString read = m_xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (m_xml.hasError()) malformed();
        return read;
    }

    void startElement() {
        const auto name = m_xml.name();
        if (!m_sawRoot) {
            m_sawRoot = true;
            if (name != QLatin1String("martif")) {
                fail(QStringLiteral("n'est pas un glossaire TBX\u00A0: son élément principal est «\u00A0%1\u00A0», "
                                    "au lieu de «\u00A0martif\u00A0»")
                         .arg(name.toString()));
            }
            m_mainLanguage = attribute(QStringLiteral("lang"));
            return;
        }
        if (name == QLatin1String("termEntry")) {
            m_entry = Entry{attribute(QStringLiteral("id")), m_xml.lineNumber(), {}, {}, {}, {}};
            return;
        }
        if (!m_entry) return;
        if (name == QLatin1String("langSet")) {
            m_entry->languages.push_back({attribute(QStringLiteral("lang")), {}, {}, {}, {}, {}});
            m_inLanguage = true;
            return;
        }
        const QString type = attribute(QStringLiteral("type"));
        LanguageTexts* language = m_inLanguage ? &m_entry->languages.back() : nullptr;
        if (name == QLatin1String("term") && language) {
            language->terms.append(text());
        } else if (name == QLatin1String("note")) {
            (language ? language->notes : m_entry->notes).append(text());
        } else if (name == QLatin1String("descrip") && type == QLatin1String("context") && language) {
            language->contexts.append(text());
        } else if (name == QLatin1String("descrip") && type == QLatin1String("definition")) {
            (language ? language->definitions : m_entry->definitions).append(text());
        } else if (name == QLatin1String("admin") && type == QLatin1String("source")) {
            (language ? language->sources : m_entry->sources).append(text());
        }
    }

    void endEntry() {
        Entry& entry = *m_entry;
        const auto term = [](const LanguageTexts& language) { return !language.terms.isEmpty(); };
        if (std::none_of(entry.languages.begin(), entry.languages.end(), term)) {
            const QString id = entry.id.isEmpty() ? QString() : QStringLiteral(" («\u00A0%1\u00A0»)").arg(entry.id);
            fail(QStringLiteral("a une entrée sans terme\u00A0: l'entrée n° %1%2, ligne %3")
                     .arg(m_cards.size() + 1)
                     .arg(id)
                     .arg(entry.line));
        }
        const LanguageTexts none;
        auto source = std::find_if(entry.languages.begin(), entry.languages.end(), [&](const LanguageTexts& l) {
            return !m_mainLanguage.isEmpty() && sameLanguage(l.language, m_mainLanguage);
        });
        if (source == entry.languages.end()) source = entry.languages.begin();
        const auto target = std::find_if(entry.languages.begin(), entry.languages.end(),
                                         [&](const LanguageTexts& l) { return &l != &*source; });
        const LanguageTexts& from = source != entry.languages.end() ? *source : none;
        const LanguageTexts& to = target != entry.languages.end() ? *target : none;

        CardText card;
        card[Field::expression] = joined(from.terms, QStringLiteral(" ; "));
        card[Field::traduction] = joined(to.terms, QStringLiteral(" ; "));
        card[Field::contexte] = joined(from.contexts + to.contexts);
        card[Field::reference] = joined(from.sources + to.sources + entry.sources);
        card[Field::dictionnaire] = joined(from.notes);
        card[Field::dictionnairecible] = joined(to.notes);
        card[Field::miscellanea] = joined(entry.notes + entry.definitions + from.definitions + to.definitions);
        m_cards.push_back(std::move(card));
        m_entry.reset();
        m_inLanguage = false;
    }

    QXmlStreamReader m_xml;
    QString m_file;
    QString m_mainLanguage;
    bool m_sawRoot = false;
    bool m_inLanguage = false;
    std::optional<Entry> m_entry;
    std::vector<CardText> m_cards;
};

}  // namespace

std::vector<CardText> readTbx(QIODevice& in, const QString& fileName) { return Reader(in, fileName).read(); }
