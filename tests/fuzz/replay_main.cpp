#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <cstdint>
#include <cstdio>

// Memory is measured where it is the program's own: not under the sanitizers
// or Wine, whose shadow and emulation hold more.
#if defined(__linux__) && !LEXICARIUM_REPLAY_SANITIZED
#define LEXICARIUM_REPLAY_MEASURES_MEMORY 1
#include <fstream>
#include <string>
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// What one input may take: no reader of outside input works longer on
// one, or holds more memory beyond what the program held before.
constexpr qint64 kSecondsEach = LEXICARIUM_REPLAY_SECONDS;
constexpr qint64 kMegabytesEach = 300;

#ifdef LEXICARIUM_REPLAY_MEASURES_MEMORY
// The peak of the process's resident memory since it was last reset, in MB.
qint64 peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) / 1024;
    }
    return 0;
}
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
qint64 currentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) / 1024;
    }
    return 0;
}
#endif

}  // namespace

// Replays every saved input of a fuzzer as a regression test, each within
// its time and memory. Arguments: folders of inputs, each with the file
// name endings to take from it after a colon ("glossaries:.tbx,.xml"),
// every file otherwise.
int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER[:ENDING,...]...\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    int failed = 0;
    for (int a = 1; a < argc; ++a) {
        const QString argument = QString::fromLocal8Bit(argv[a]);
        // "Z:\..." under Wine: a colon after one letter is the drive's.
        const qsizetype colon = argument.indexOf(u':', 2);
        const QDir folder(colon < 0 ? argument : argument.left(colon));
        QStringList endings;
        if (colon >= 0) {
            for (const QString& ending : argument.mid(colon + 1).split(u',')) endings << u'*' + ending;
        }
        if (!folder.exists()) {
            std::printf("skipped: %s is not here\n", qPrintable(folder.path()));
            continue;
        }
        for (const QString& name : folder.entryList(endings, QDir::Files)) {
            QFile input(folder.filePath(name));
            if (!input.open(QIODevice::ReadOnly)) return 1;
            const QByteArray bytes = input.readAll();
#ifdef LEXICARIUM_REPLAY_MEASURES_MEMORY
            const qint64 before = currentMegabytes();
            resetPeak();
#endif
            QElapsedTimer timer;
            timer.start();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
            const qint64 seconds = timer.elapsed() / 1000;
            if (seconds > kSecondsEach) {
                std::printf("FAIL: %s took %lld s, more than %lld\n", qPrintable(name), seconds, kSecondsEach);
                ++failed;
            }
#ifdef LEXICARIUM_REPLAY_MEASURES_MEMORY
            const qint64 grown = peakMegabytes() - before;
            if (grown > kMegabytesEach) {
                std::printf("FAIL: %s took %lld MB, more than %lld\n", qPrintable(name), grown, kMegabytesEach);
                ++failed;
            }
#endif
            ++replayed;
        }
    }
    std::printf("%d passed, %d failed\n", replayed - failed, failed);
    return replayed > 0 && failed == 0 ? 0 : 1;
}
