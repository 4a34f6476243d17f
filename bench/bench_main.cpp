#include <QApplication>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstring>

#include "largest_file.h"
#include "summary_reporter.h"
#include "main_window_stand_in.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"


namespace {

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
    // VmHWM, not ru_maxrss: the latter keeps the benchmark's own peak across exec.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) std::printf("%.1f\n", line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0);
        }
    }
    return 0;
}

double peakMemoryMb(const char* self) {
    QProcess child;
    child.start(QString::fromLocal8Bit(self), {QStringLiteral("--peak-memory"), largestfile::dataFile()});
    if (!child.waitForFinished(120000)) return -1;
    bool ok = false;
    const double mb = child.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? mb : -1;
}

}  // namespace

// The windows need an application; the offscreen platform needs no display.
// QT_QPA_PLATFORM=xcb measures on a real display instead.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return measurePeakMemory(QString::fromLocal8Bit(argv[2]));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printTable(peakMemoryMb(argv[0]));
    benchmark::Shutdown();
    return 0;
}
