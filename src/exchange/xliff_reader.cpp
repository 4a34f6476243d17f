#include "exchange/xliff_reader.h"

#include "exchange/bilingual_xml.h"
#include "exchange/glossary.h"

namespace bilingual {
namespace {

// Inline codes: what they hold is the original document's markup.
const std::initializer_list<const char*> kCodes = {"ph", "bpt", "ept", "it", "sub"};

class XliffReader {
public:
    XliffReader(QIODevice& in, const QString& path) : m_xml(in, path) {}

    File read() {
        bool sawRoot = false;
        while (m_xml.next()) {
            if (!sawRoot) {
                if (!m_xml.starts({"xliff"})) {
                    m_xml.fail(QStringLiteral("n'est pas un fichier XLIFF\u00A0: son élément principal n'est pas «\u00A0xliff\u00A0»"));
                }
                sawRoot = true;
                setLanguages(m_xml.attribute("srcLang"), m_xml.attribute("trgLang"));
                continue;
            }
            if (m_xml.starts({"file"})) {
                setLanguages(m_xml.attribute("source-language"), m_xml.attribute("target-language"));
            } else if (m_xml.starts({"group"})) {
                m_notToTranslate.push_back(m_xml.attribute("translate") == QLatin1String("no") ||
                                           (!m_notToTranslate.empty() && m_notToTranslate.back()));
            } else if (m_xml.ends({"group"})) {
                if (!m_notToTranslate.empty()) m_notToTranslate.pop_back();
            } else if (m_xml.starts({"trans-unit", "unit"})) {
                readUnit();
            }
        }
        if (!sawRoot) m_xml.fail(QStringLiteral("ne contient aucun élément"));
        return std::move(m_file);
    }

private:
    void setLanguages(const QString& source, const QString& target) {
        if (!source.isEmpty()) m_file.sourceLanguage = glossary::primaryLanguage(source);
        if (!target.isEmpty()) m_file.targetLanguage = glossary::primaryLanguage(target);
    }

    void add(Segment segment) {
        if (m_file.segments.size() >= kMostSegments) {
            m_xml.fail(QStringLiteral("a plus de %1 segments").arg(kMostSegments));
        }
        m_file.segments.push_back(std::move(segment));
    }

    // A 1.2 trans-unit, or a 2.x unit of one segment or more.
    void readUnit() {
        // A PO file's header, as the Translate Toolkit carries it: no text to translate.
        if (m_xml.attribute("restype") == QLatin1String("x-gettext-domain-header")) {
            m_xml.text({});
            return;
        }
        const QString unit = m_xml.attribute("id");
        const bool translatable = m_xml.attribute("translate") != QLatin1String("no") &&
                                  (m_notToTranslate.empty() || !m_notToTranslate.back());
        Segment segment{unit, {}, {}, false, translatable};
        int segments = 0;
        while (m_xml.next() && !m_xml.ends({"trans-unit", "unit"})) {
            if (m_xml.starts({"segment"})) {
                const QString id = m_xml.attribute("id");
                segment = {id.isEmpty() ? unit : unit + u'/' + id, {}, {}, false, translatable};
                ++segments;
            } else if (m_xml.starts({"source"})) {
                segment.source = m_xml.text(kCodes);
            } else if (m_xml.starts({"target"})) {
                segment.target = m_xml.text(kCodes);
                segment.hasTarget = true;
            } else if (m_xml.ends({"segment"})) {
                add(segment);
            } else if (m_xml.starts({"alt-trans", "ignorable", "notes", "note", "seg-source", "matches"})) {
                m_xml.text({});  // other translations, notes, the segmented copy: not this segment's
            }
        }
        if (segments == 0) {
            if (segment.id.isEmpty()) segment.id = QString::number(m_file.segments.size() + 1);
            add(segment);
        }
    }

    BilingualXml m_xml;
    File m_file;
    std::vector<bool> m_notToTranslate;  // per group open
};

}  // namespace

File readXliff(QIODevice& in, const QString& path) { return XliffReader(in, path).read(); }

}  // namespace bilingual
