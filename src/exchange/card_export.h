#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class DataFile;

// Writes cards of the data file into a file other tools read: a TBX
// glossary, a CSV table or a workbook.
namespace cardexport {

enum class Format { tbx, csv, xlsx, ods };

struct Options {
    Format format = Format::tbx;
    // The languages of the expressions and of the translations, as codes.
    QString sourceLanguage = QStringLiteral("en");
    QString targetLanguage = QStringLiteral("fr");
    QChar separator = u',';  // CSV only
};

// Called as cards are written, with how many of how many; false cancels.
using Progress = std::function<bool(int done, int total)>;

// The cards of the given slots, in that order, each read whole from the data
// file now, into the file at path. The file appears only once complete: a
// cancelled export leaves none, a failed one neither (and a file of that
// name stays as it was). False when cancelled; throws StoreError or
// ExchangeError with the French message for a failure.
bool exportCards(DataFile& data, const std::vector<std::int32_t>& slotNumbers, const QString& path, const Options& options,
                 const Progress& progress);

}  // namespace cardexport
