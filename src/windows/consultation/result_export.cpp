#include "windows/consultation/result_export.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <iterator>
#include <vector>

#include "exchange/card_export.h"
#include "exchange/csv_writer.h"
#include "exchange/exchange_error.h"
#include "forms/file_languages.h"
#include "store/data_file.h"
#include "store/file_places.h"
#include "store/store_error.h"
#include "windows/common/card_number.h"
#include "windows/common/data_file_failure.h"
#include "windows/consultation/language_pair_dialog.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/common_dialog.h"
#include "windows/controls/flex_grid.h"
#include "windows/controls/progress.h"

namespace {

const QString kFilter = QStringLiteral(
    "Glossaire TBX (*.tbx)|*.tbx|Tableau CSV (*.csv)|*.csv|Classeur Excel (*.xlsx)|*.xlsx|"
    "Classeur OpenDocument (*.ods)|*.ods");

// The formats in the filter's order, with their extensions.
const std::pair<cardexport::Format, const char*> kFormats[] = {{cardexport::Format::tbx, "tbx"},
                                                               {cardexport::Format::csv, "csv"},
                                                               {cardexport::Format::xlsx, "xlsx"},
                                                               {cardexport::Format::ods, "ods"}};

// The slots of the listed cards, in the grid's order; empty, with the
// message to show, when a row names no card.
std::vector<std::int32_t> listedSlots(const FlexGrid& grid, QString& failure) {
    std::vector<std::int32_t> numbers;
    for (int row = 1; row < grid.Rows(); ++row) {
        QString error;
        const auto slot = cardnumber::slotOf(grid.TextMatrix(row, 0), error);
        if (!slot) {
            failure = QStringLiteral("La ligne %1 de la liste ne peut pas être exportée\u00A0: %2").arg(row).arg(error);
            return {};
        }
        numbers.push_back(*slot);
    }
    return numbers;
}

// The format a typed name asks for by its extension ("lexique.csv"), else
// the one of the filter chosen.
cardexport::Format formatFor(const QString& fileName, int filterIndex) {
    const QString suffix = QFileInfo(fileName).suffix();
    for (const auto& [format, extension] : kFormats) {
        if (suffix.compare(QLatin1String(extension), Qt::CaseInsensitive) == 0) return format;
    }
    return filterIndex >= 1 && filterIndex <= int(std::size(kFormats)) ? kFormats[filterIndex - 1].first
                                                                        : cardexport::Format::tbx;
}

// The name typed, with the chosen format's extension when it has none.
QString withExtension(const QString& fileName, cardexport::Format format) {
    const auto* chosen = std::find_if(std::begin(kFormats), std::end(kFormats),
                                      [format](const auto& known) { return known.first == format; });
    const QString extension = QLatin1String(chosen->second);
    return QFileInfo(fileName).suffix().compare(extension, Qt::CaseInsensitive) == 0
               ? fileName
               : fileName + u'.' + extension;
}

}  // namespace

void exportResults(QWidget* window, const FlexGrid& grid, const QString& dataFile, CommonDialog& dialog,
                   const MainWindowLink& menu) {
    if (grid.Rows() <= 1) {
        Alert::information(window, QStringLiteral("La liste des résultats est vide\u00A0: il n'y a rien à exporter. "
                                                  "Faites d'abord une recherche, ou affichez le lexicarium complet."));
        return;
    }
    QString failure;
    const std::vector<std::int32_t> numbers = listedSlots(grid, failure);
    if (numbers.empty()) {
        Alert::error(window, failure);
        return;
    }
    dialog.setFilter(kFilter);
    dialog.setFlags(CommonDialog::kOverwritePrompt);
    if (!dialog.ShowSave(window)) return;
    cardexport::Options options;
    options.format = formatFor(dialog.FileName(), dialog.FilterIndex());
    const QString path = withExtension(dialog.FileName(), options.format);
    // The dialog asked about the name as typed; the extension may make it another file's.
    if (path != dialog.FileName() && QFileInfo::exists(path) &&
        !Alert::question(window, QStringLiteral("Le fichier «\u00A0%1\u00A0» existe déjà. Voulez-vous le remplacer\u00A0?")
                                     .arg(QDir::toNativeSeparators(path)))) {
        return;
    }
    // Every format says its languages: a colleague's tool reads them. The
    // data file's own are proposed where they are known.
    FileLanguagesSettings settings(fileplaces::settingsFile());
    const FileLanguages cards = filelanguages::of(dataFile, settings);
    const auto languages = LanguagePairDialog::ask(window, {cards.source, cards.target});
    if (!languages) return;
    options.sourceLanguage = languages->source;
    options.targetLanguage = languages->target;
    options.separator = CsvWriter::separatorForLocale();

    bool exported = false;
    failure = busyWhile(window, [&] {
        Progress progress(window, QStringLiteral("Export des fiches..."), int(numbers.size()));
        try {
            DataFile file = DataFile::open(dataFile);
            exported = cardexport::exportCards(file, numbers, path, options,
                                               [&](int done, int) { return progress.update(done); });
        } catch (const StoreError& error) {
            return failureMessage(error, menu);
        } catch (const ExchangeError& error) {
            return error.message();
        }
        return QString();
    });
    if (!failure.isEmpty()) {
        Alert::error(window, failure);
    } else if (!exported) {
        Alert::information(window, QStringLiteral("L'export a été annulé\u00A0: aucun fichier n'a été écrit."));
    } else {
        const QString exportedCards = numbers.size() == 1 ? QStringLiteral("1 fiche exportée")
                                                          : QStringLiteral("%1 fiches exportées").arg(numbers.size());
        Alert::information(window, QStringLiteral("%1 dans «\u00A0%2\u00A0».")
                                       .arg(exportedCards, QDir::toNativeSeparators(path)));
    }
}
