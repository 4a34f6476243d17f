#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

#include "bench_check.h"
#include "exchange/card_export.h"
#include "exchange/card_import.h"
#include "exchange/glossary_cards.h"
#include "largest_file.h"
#include "store/data_file.h"
#include "summary_reporter.h"
#include "main_window_stand_in.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"


namespace {

void printPeak() {
    // VmHWM, not ru_maxrss: the latter keeps the benchmark's own peak across exec.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) std::printf("%.1f\n", line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0);
        }
    }
}

// In a process of its own: the Consultation window showing the full list of
// the largest file; prints the peak resident size in MB.
int measurePeakMemory(const QString& dataFile) {
    MainWindowStandIn menu;
    menu.path = dataFile;
    Frm_consultation window(menu);
    window.Form_Load();
    window.show();
    window.Liste_complete_Click();
    QCoreApplication::processEvents();
    printPeak();
    return 0;
}

// In a process of its own: every card of a table or a workbook imported into
// an empty data file; prints the peak resident size in MB.
int measureImportPeak(const QString& source) {
    QTemporaryDir dir;
    DataFile data = DataFile::open(dir.filePath(QStringLiteral("vide.dat")));
    // As the import does it: the glossary let go once its cards are made.
    auto read = std::make_unique<glossary::Glossary>(cardimport::readFile(source, Module1::kHighestCardNumber));
    glossary::Selection selection = glossary::cardsOf(*read, glossary::proposedPair(*read));
    read.reset();
    const cardimport::Plan plan = cardimport::plan(std::move(selection.cards), 0);
    selection.cards.clear();
    cardimport::apply(data, plan);
    printPeak();
    return 0;
}

double peakMemoryMb(const char* self, const QStringList& arguments) {
    QProcess child;
    child.start(QString::fromLocal8Bit(self), arguments);
    if (!child.waitForFinished(120000)) return -1;
    bool ok = false;
    const double mb = child.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? mb : -1;
}

// The largest file's cards in the format given.
QString everyCardAs(const QTemporaryDir& dir, cardexport::Format format, const char* suffix) {
    const QString path = dir.filePath(QStringLiteral("tout.") + QLatin1String(suffix));
    std::vector<std::int32_t> numbers(std::size_t(largestfile::kCards));
    for (int i = 0; i < largestfile::kCards; ++i) numbers[std::size_t(i)] = i + 1;
    DataFile data = DataFile::open(largestfile::dataFile());
    cardexport::Options options;
    options.format = format;
    cardexport::exportCards(data, numbers, path, options, {});
    return path;
}

}  // namespace

// The windows need an application; the offscreen platform needs no display.
// QT_QPA_PLATFORM=xcb measures on a real display instead.
int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--peak-memory-of") == 0) return printPeakOfProgram(argv + 2);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return measurePeakMemory(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory-import") == 0) {
        return measureImportPeak(QString::fromLocal8Bit(argv[2]));
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    QTemporaryDir dir;
    reporter.printTable({
        {"peak memory, full list shown",
         peakMemoryMb(argv[0], {QStringLiteral("--peak-memory"), largestfile::dataFile()})},
        {"peak memory, CSV imported",
         peakMemoryMb(argv[0], {QStringLiteral("--peak-memory-import"), everyCardAs(dir, cardexport::Format::csv, "csv")})},
        {"peak memory, .xlsx imported",
         peakMemoryMb(argv[0], {QStringLiteral("--peak-memory-import"),
                                everyCardAs(dir, cardexport::Format::xlsx, "xlsx")})},
        {"peak memory, .ods imported",
         peakMemoryMb(argv[0], {QStringLiteral("--peak-memory-import"),
                                everyCardAs(dir, cardexport::Format::ods, "ods")})},
        {"peak memory, segments checked", checkPeakMemoryMb(argv[0], 0), 300},
        {"peak memory, segments, wide file", checkPeakMemoryMb(argv[0], 1), 300},
    });
    benchmark::Shutdown();
    return 0;
}
