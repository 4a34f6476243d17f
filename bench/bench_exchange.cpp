#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

#include "exchange/card_export.h"
#include "exchange/card_import.h"
#include "exchange/glossary_cards.h"
#include "largest_file.h"
#include "store/data_file.h"

// Every card of the largest file out to a glossary or a table, and back into
// an empty data file: the largest export and import a user can ask for.
namespace {

// 0: TBX, 1: CSV, 2: Excel workbook, 3: OpenDocument workbook.
constexpr cardexport::Format kFormats[] = {cardexport::Format::tbx, cardexport::Format::csv, cardexport::Format::xlsx,
                                           cardexport::Format::ods};
const char* const kSuffixes[] = {"tbx", "csv", "xlsx", "ods"};

cardexport::Options optionsFor(std::int64_t format) {
    cardexport::Options options;
    options.format = kFormats[format];
    options.separator = u';';
    return options;
}

std::vector<std::int32_t> everySlot() {
    std::vector<std::int32_t> numbers(static_cast<std::size_t>(largestfile::kCards));
    for (int i = 0; i < largestfile::kCards; ++i) numbers[std::size_t(i)] = i + 1;
    return numbers;
}

QString exported(const QTemporaryDir& dir, std::int64_t format) {
    const QString path = dir.filePath(QStringLiteral("tout.") + QLatin1String(kSuffixes[format]));
    DataFile data = DataFile::open(largestfile::dataFile());
    cardexport::exportCards(data, everySlot(), path, optionsFor(format), {});
    return path;
}

void BM_ExportCards(benchmark::State& state) {
    QTemporaryDir dir;
    const std::vector<std::int32_t> numbers = everySlot();
    for (auto _ : state) {
        DataFile data = DataFile::open(largestfile::dataFile());
        cardexport::exportCards(data, numbers, dir.filePath(QStringLiteral("sortie.") + QLatin1String(kSuffixes[state.range(0)])),
                                optionsFor(state.range(0)), {});
    }
}
BENCHMARK(BM_ExportCards)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_ImportCards(benchmark::State& state) {
    QTemporaryDir dir;
    const QString source = exported(dir, state.range(0));
    const QString target = dir.filePath(QStringLiteral("vide.dat"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
        DataFile data = DataFile::open(target);
        const glossary::Glossary read = cardimport::readFile(source, Module1::kHighestCardNumber - data.recordCount());
        const glossary::Selection selection = glossary::cardsOf(read, glossary::proposedPair(read));
        cardimport::apply(data, cardimport::plan(selection.cards, data.recordCount()));
    }
}
BENCHMARK(BM_ImportCards)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
