#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "card_generator.h"
#include "windows/common/main_window_link.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"

namespace {

constexpr int kCards = 32767;

// The largest file the format allows, generated once and read once so that
// it lies in the page cache.
const QString& largestFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("lexicarium.dat"));
        if (!CardGenerator().writeFile(file, kCards)) qFatal("cannot write the benchmark's data file");
        QFile warm(file);
        if (warm.open(QIODevice::ReadOnly)) warm.readAll();
        return file;
    }();
    return path;
}

struct MainWindowStandIn : MainWindowLink {
    QString path;
    QString dataFilePath() const override { return path; }
    void setDataFilePath(const QString& p) override { path = p; }
    void showMainWindow() override {}
};

// A Consultation window on the largest file, shown on the offscreen screen.
struct Window {
    MainWindowStandIn menu;
    Frm_consultation consultation{menu};
    Window() {
        menu.path = largestFile();
        consultation.Form_Load();
        consultation.show();
        QCoreApplication::processEvents();
    }
};

void BM_FullList(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        window.consultation.Liste_complete_Click();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = window.consultation.Grille01()->Rows() - 1;
}
BENCHMARK(BM_FullList)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State& state) {
    Window window;
    window.consultation.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("TION"));
    for (auto _ : state) {
        window.consultation.Command1_Click();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = window.consultation.Grille01()->Rows() - 1;
}
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);

// Each sort button right after a full list: 0 source entries, 1 target
// entries, 2 references.
void BM_SortAfterFullList(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        state.PauseTiming();
        window.consultation.Liste_complete_Click();
        QCoreApplication::processEvents();
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

}  // namespace
