#include "exchange/card_export.h"

#include <QDir>
#include <QSaveFile>
#include <memory>
#include <new>

#include "exchange/csv_writer.h"
#include "exchange/exchange_error.h"
#include "exchange/tbx_writer.h"
#include "exchange/workbook_writer.h"
#include "store/data_file.h"

namespace cardexport {
namespace {

constexpr int kCardsBetweenReports = 256;

[[noreturn]] void cannotWrite(const QString& path, const QString& why) {
    throw ExchangeError(QStringLiteral("Impossible d'écrire le fichier «\u00A0%1\u00A0»\u00A0: %2. Rien n'a été exporté.")
                            .arg(QDir::toNativeSeparators(path), why));
}

}  // namespace

bool exportCards(DataFile& data, const std::vector<std::int32_t>& slotNumbers, const QString& path, const Options& options,
                 const Progress& progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) cannotWrite(path, file.errorString());
    // A workbook is made whole in memory before it is written.
    try {
        std::unique_ptr<CardWriter> writer;
        switch (options.format) {
            case Format::tbx: writer = std::make_unique<TbxWriter>(file, options.sourceLanguage, options.targetLanguage); break;
            case Format::csv:
                writer = std::make_unique<CsvWriter>(file, options.separator, options.sourceLanguage, options.targetLanguage);
                break;
            case Format::xlsx:
                writer = std::make_unique<WorkbookWriter>(file, workbook::Kind::xlsx, options.sourceLanguage,
                                                          options.targetLanguage);
                break;
            case Format::ods:
                writer = std::make_unique<WorkbookWriter>(file, workbook::Kind::ods, options.sourceLanguage,
                                                          options.targetLanguage);
                break;
        }
        const int total = int(slotNumbers.size());
        Module1::FicheRecord fiche;
        for (int done = 0; done < total; ++done) {
            if (done % kCardsBetweenReports == 0 && progress && !progress(done, total)) {
                file.cancelWriting();
                return false;
            }
            data.readSlot(slotNumbers[std::size_t(done)], fiche);
            writer->write(textOf(fiche));
        }
        if (progress && !progress(total, total)) {
            file.cancelWriting();
            return false;
        }
        if (!writer->finish() || !file.commit()) cannotWrite(path, file.errorString());
    } catch (const std::bad_alloc&) {
        file.cancelWriting();
        throw ExchangeError(QStringLiteral("La mémoire a manqué pour écrire le fichier «\u00A0%1\u00A0»\u00A0: fermez "
                                           "d'autres programmes, ou exportez moins de fiches à la fois. Rien n'a été "
                                           "exporté.")
                                .arg(QDir::toNativeSeparators(path)));
    }
    return true;
}

}  // namespace cardexport
