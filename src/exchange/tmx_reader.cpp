#include "exchange/tmx_reader.h"

#include <vector>

#include "exchange/bilingual_xml.h"
#include "exchange/glossary.h"

namespace bilingual {
namespace {

// Inline codes: the original document's markup.
const std::initializer_list<const char*> kCodes = {"bpt", "ept", "ph", "it", "ut"};

struct Variant {
    QString language;
    QString text;
};

}  // namespace

File readTmx(QIODevice& in, const QString& path) {
    BilingualXml xml(in, path);
    File file;
    bool sawRoot = false;
    QString headerSource;
    while (xml.next()) {
        if (!sawRoot) {
            if (!xml.starts({"tmx"})) xml.fail(QStringLiteral("n'est pas une mémoire TMX\u00A0: son élément principal n'est pas «\u00A0tmx\u00A0»"));
            sawRoot = true;
            continue;
        }
        if (xml.starts({"header"})) {
            const QString source = xml.attribute("srclang");
            if (source.compare(QLatin1String("*all*"), Qt::CaseInsensitive) != 0) headerSource = glossary::primaryLanguage(source);
            continue;
        }
        if (!xml.starts({"tu"})) continue;
        const QString id = xml.attribute("tuid");
        std::vector<Variant> variants;
        while (xml.next() && !xml.ends({"tu"})) {
            if (xml.starts({"tuv"})) {
                variants.push_back({glossary::primaryLanguage(xml.attribute("lang")), {}});
            } else if (xml.starts({"seg"}) && !variants.empty()) {
                variants.back().text = xml.text(kCodes);
            } else if (xml.starts({"note", "prop"})) {
                xml.text({});
            }
        }
        if (variants.empty()) continue;
        // The source: the header's language, else the first variant's.
        const QString sourceLanguage = headerSource.isEmpty() ? variants.front().language : headerSource;
        if (file.sourceLanguage.isEmpty()) file.sourceLanguage = sourceLanguage;
        Segment segment{id.isEmpty() ? QString::number(file.segments.size() + 1) : id, {}, {}, false, true};
        for (const Variant& variant : variants) {
            if (variant.language == sourceLanguage) {
                segment.source = variant.text;
                break;
            }
        }
        // The target: in the language of the file's first target, where a unit has several.
        for (const Variant& variant : variants) {
            if (variant.language == sourceLanguage ||
                (!file.targetLanguage.isEmpty() && variant.language != file.targetLanguage)) {
                continue;
            }
            segment.target = variant.text;
            segment.hasTarget = true;
            file.targetLanguage = variant.language;
            break;
        }
        if (file.segments.size() >= kMostSegments) xml.fail(QStringLiteral("a plus de %1 segments").arg(kMostSegments));
        file.segments.push_back(std::move(segment));
    }
    if (!sawRoot) xml.fail(QStringLiteral("ne contient aucun élément"));
    return file;
}

}  // namespace bilingual
