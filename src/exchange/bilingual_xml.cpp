#include "exchange/bilingual_xml.h"

#include <QDir>

#include "exchange/bilingual_file.h"
#include "exchange/exchange_error.h"

namespace {

const QString kXmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");
// Deeper than any XLIFF or TMX file nests its elements, inline ones included.
constexpr int kDeepest = 64;

bool isOneOf(QStringView name, std::initializer_list<const char*> names) {
    for (const char* one : names) {
        if (name == QLatin1String(one)) return true;
    }
    return false;
}

}  // namespace

BilingualXml::BilingualXml(QIODevice& in, const QString& path) : m_xml(&in), m_file(QDir::toNativeSeparators(path)) {}

void BilingualXml::fail(const QString& what) const {
    throw ExchangeError(QStringLiteral("Le fichier «\u00A0%1\u00A0» %2.").arg(m_file, what));
}

void BilingualXml::checkDocumentType() {
    if (m_xml.text().contains(u'[')) {
        fail(QStringLiteral("déclare ses propres entités (ligne %1)\u00A0: elles ne sont pas lues, par sécurité. "
                            "Retirez la déclaration <!DOCTYPE ...> et recommencez")
                 .arg(m_xml.lineNumber()));
    }
}

bool BilingualXml::next() {
    for (;;) {
        m_xml.readNext();
        if (m_xml.isDTD()) checkDocumentType();
        if (m_xml.isEntityReference()) {
            fail(QStringLiteral("emploie l'entité «\u00A0&%1;\u00A0» sans la déclarer (ligne %2)")
                     .arg(m_xml.name().toString())
                     .arg(m_xml.lineNumber()));
        }
        if (m_xml.isStartElement()) {
            if (++m_depth > kDeepest) {
                fail(QStringLiteral("imbrique ses éléments sur plus de %1 niveaux (ligne %2)").arg(kDeepest).arg(m_xml.lineNumber()));
            }
            return true;
        }
        if (m_xml.isEndElement()) {
            --m_depth;
            return true;
        }
        if (m_xml.hasError()) {
            QString why = m_xml.errorString().trimmed();
            while (why.endsWith(u'.')) why.chop(1);
            fail(QStringLiteral("n'est pas un document XML bien formé (ligne %1, colonne %2)\u00A0: %3")
                     .arg(m_xml.lineNumber())
                     .arg(m_xml.columnNumber())
                     .arg(why));
        }
        if (m_xml.atEnd()) return false;
    }
}

bool BilingualXml::starts(std::initializer_list<const char*> names) const {
    return m_xml.isStartElement() && isOneOf(m_xml.name(), names);
}

bool BilingualXml::ends(std::initializer_list<const char*> names) const {
    return m_xml.isEndElement() && isOneOf(m_xml.name(), names);
}

QString BilingualXml::attribute(const char* name) const {
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const QString local = QString::fromLatin1(name);
    if (local == QLatin1String("lang") && attributes.hasAttribute(kXmlNamespace, local)) {
        return attributes.value(kXmlNamespace, local).toString();
    }
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == local) return attribute.value().toString();
    }
    return {};
}

QString BilingualXml::text(std::initializer_list<const char*> codes) {
    QString read;
    int inCode = 0;
    for (int depth = 1; depth > 0;) {
        m_xml.readNext();
        if (m_xml.isCharacters()) {
            if (inCode > 0) continue;
            if (read.size() + m_xml.text().size() > bilingual::kLongestText) {
                fail(QStringLiteral("a un segment de plus de %1 caractères (ligne %2)").arg(bilingual::kLongestText).arg(m_xml.lineNumber()));
            }
            read += m_xml.text();
        } else if (m_xml.isStartElement()) {
            if (++m_depth > kDeepest) {
                fail(QStringLiteral("imbrique ses éléments sur plus de %1 niveaux (ligne %2)").arg(kDeepest).arg(m_xml.lineNumber()));
            }
            ++depth;
            if (inCode > 0 || isOneOf(m_xml.name(), codes)) ++inCode;
        } else if (m_xml.isEndElement()) {
            --m_depth;
            --depth;
            if (inCode > 0) --inCode;
        } else if (m_xml.isEntityReference()) {
            fail(QStringLiteral("emploie l'entité «\u00A0&%1;\u00A0» sans la déclarer (ligne %2)")
                     .arg(m_xml.name().toString())
                     .arg(m_xml.lineNumber()));
        } else if (m_xml.hasError() || m_xml.atEnd()) {
            next();  // says what is wrong
            fail(QStringLiteral("s'arrête au milieu d'un segment"));
        }
    }
    return read;
}
