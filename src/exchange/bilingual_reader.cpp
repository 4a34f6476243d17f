#include "exchange/bilingual_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <limits>
#include <new>
#include <optional>

#include "exchange/card_import.h"
#include "exchange/exchange_error.h"
#include "exchange/po_reader.h"
#include "exchange/tmx_reader.h"
#include "exchange/xliff_reader.h"

namespace bilingual {
namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// A table's entries as segments: the first language's term the source, the
// second's the target, as the import reads its language columns.
File fromTable(const QString& path) {
    glossary::Glossary table;
    try {
        table = cardimport::readFile(path, std::numeric_limits<std::int32_t>::max());
    } catch (const cardimport::SheetNotChosen&) {
        throw ExchangeError(QStringLiteral("Aucune feuille du classeur «\u00A0%1\u00A0» n'a été choisie.").arg(shown(path)));
    }
    File file;
    if (table.languages.size() >= 2) {
        file.sourceLanguage = table.languages[0];
        file.targetLanguage = table.languages[1];
    }
    const auto termIn = [](const std::vector<glossary::LanguagePart>& parts, const QString& language, std::size_t at) {
        for (const glossary::LanguagePart& part : parts) {
            if ((language.isEmpty() ? &part == &parts[at] : part.language == language) && !part.terms.empty()) {
                return std::optional<QString>(part.terms.front().text);
            }
        }
        return std::optional<QString>();
    };
    for (const glossary::Entry& entry : table.entries) {
        if (entry.languages.size() < 2) continue;
        const auto source = termIn(entry.languages, file.sourceLanguage, 0);
        const auto target = termIn(entry.languages, file.targetLanguage, 1);
        file.segments.push_back({QString::number(entry.line), source.value_or(QString()), target.value_or(QString()),
                                 target.has_value(), true});
    }
    return file;
}

}  // namespace

bool isBilingual(const QString& path) {
    static const QStringList suffixes = {QStringLiteral("xlf"), QStringLiteral("xliff"), QStringLiteral("tmx"),
                                         QStringLiteral("po"),  QStringLiteral("csv"),   QStringLiteral("xlsx"),
                                         QStringLiteral("ods")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

File read(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!isBilingual(path)) {
        throw ExchangeError(QStringLiteral("Le fichier «\u00A0%1\u00A0» n'est pas d'un format que Lexicarium vérifie\u00A0: "
                                           "XLIFF (.xlf, .xliff), TMX (.tmx), PO (.po), ou un tableau (.csv, .xlsx, .ods).")
                                .arg(shown(path)));
    }
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("xlsx") || suffix == QLatin1String("ods")) return fromTable(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ExchangeError(QStringLiteral("Impossible de lire le fichier «\u00A0%1\u00A0»\u00A0: %2.").arg(shown(path), file.errorString()));
    }
    if (file.size() > kLargestFile) {
        throw ExchangeError(QStringLiteral("Le fichier «\u00A0%1\u00A0» est trop volumineux (%2 Mo)\u00A0: une vérification "
                                           "lit %3 Mo au plus.")
                                .arg(shown(path))
                                .arg(file.size() / (1024 * 1024))
                                .arg(kLargestFile / (1024 * 1024)));
    }
    try {
        if (suffix == QLatin1String("tmx")) return readTmx(file, path);
        if (suffix == QLatin1String("po")) return readPo(file, path);
        return readXliff(file, path);
    } catch (const std::bad_alloc&) {
        throw ExchangeError(QStringLiteral("La mémoire a manqué pour lire le fichier «\u00A0%1\u00A0».").arg(shown(path)));
    }
}

}  // namespace bilingual
