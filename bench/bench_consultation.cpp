#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "consultation_window.h"
#include "largest_file.h"
#include "windows/card/frm_fiche.h"
#include "main_window_stand_in.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/alert.h"
#include "windows/controls/common_dialog.h"
#include "windows/controls/flex_grid.h"

// The figures a user feels, each through the code path the windows use:
// store, record buffer, grid model attached to a shown view.
namespace {

using Window = ConsultationWindow;

void BM_Search(benchmark::State& state) { timeSearches(state, nullptr, SearchOrder::repeated); }
BENCHMARK(BM_Search)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_SearchAfterNone(benchmark::State& state) { timeSearches(state, nullptr, SearchOrder::largeAfterNone); }
BENCHMARK(BM_SearchAfterNone)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_NoneAfterSearch(benchmark::State& state) { timeSearches(state, nullptr, SearchOrder::noneAfterLarge); }
BENCHMARK(BM_NoneAfterSearch)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_FullList(benchmark::State& state) {
    Window window;
    for (auto _ : state) window.fullList();
    state.counters["rows"] = window.consultation.Grille01()->Rows() - 1;
}
BENCHMARK(BM_FullList)->Unit(benchmark::kMillisecond);

void BM_FullListAfterSearch(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        state.PauseTiming();
        window.search(kLarge);
        state.ResumeTiming();
        window.fullList();
    }
}
BENCHMARK(BM_FullListAfterSearch)->Unit(benchmark::kMillisecond);

// The first full list of a window just opened.
void BM_FirstFullList(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        state.ResumeTiming();
        window->fullList();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstFullList)->Unit(benchmark::kMillisecond);

// Each sort button right after a full list: 0 source entries, 1 target
// entries, 2 references.
void BM_SortAfterFullList(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        state.PauseTiming();
        window.fullList();
        state.ResumeTiming();
        switch (state.range(0)) {
            case 0: window.consultation.tridictionnaire_Click(); break;
            case 1: window.consultation.tridictionnairecible_Click(); break;
            default: window.consultation.triref_Click(); break;
        }
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SortAfterFullList)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_OpenCard(benchmark::State& state) {
    Window window;
    window.fullList();
    FlexGrid& grid = *window.consultation.Grille01();
    for (auto _ : state) {
        grid.setRow(16384);
        grid.setCol(1);
        frm_fiche card(window.menu, grid);
        benchmark::DoNotOptimize(card.Form_Load());
    }
}
BENCHMARK(BM_OpenCard)->Unit(benchmark::kMillisecond);

void BM_SaveCard(benchmark::State& state) {
    Window window(largestfile::writableCopy());
    const auto card = window.cardHalfway();
    for (auto _ : state) card->Enregistrer_Click();
}
BENCHMARK(BM_SaveCard)->Unit(benchmark::kMillisecond);

void printToPdf(const QString& path) {
    QPrinter& printer = CommonDialog::sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

void BM_PrintFullListToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    printToPdf(dir.filePath(QStringLiteral("liste.pdf")));
    Window window;
    window.fullList();
    for (auto _ : state) window.consultation.imprimer_Click();
}
BENCHMARK(BM_PrintFullListToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintCardToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    printToPdf(dir.filePath(QStringLiteral("fiche.pdf")));
    Window window;
    const auto card = window.cardHalfway();
    for (auto _ : state) card->imprimer_Click();
}
BENCHMARK(BM_PrintCardToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
