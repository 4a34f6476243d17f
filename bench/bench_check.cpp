#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <fcntl.h>

#include "bench_check.h"
#include "forms/file_languages.h"
#include "largest_file.h"
#include "store/data_file.h"
#include "store/field_text.h"

extern char** environ;

// The check of a translation as a build server runs it: the real program,
// « lexicarium --verifier », 10,000 segments against 32767 cards; range 0
// the largest file, 1 the file of the widest vocabulary (every word a
// dictionary's, so every word has forms to look up).
namespace {

constexpr int kSegments = 10000;

QString escaped(QString text) {
    return text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}

// A user's folder where the cards' languages are kept, and a translation
// of the file's expressions in sentences, one in five not using the term.
struct Translation {
    QTemporaryDir home;
    QString xliff;
    explicit Translation(const QString& dataFile) {
        QDir().mkpath(home.filePath("Lexicarium"));
        FileLanguagesSettings(home.filePath("Lexicarium/lexicarium.ini")).keep(dataFile, {"fr", "en"});
        xliff = home.filePath("traduction.xlf");
        QFile out(xliff);
        if (!out.open(QIODevice::WriteOnly)) return;
        out.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xliff version=\"1.2\" "
                  "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n<file original=\"bench\" source-language=\"fr\" "
                  "target-language=\"en\" datatype=\"plaintext\"><body>\n");
        DataFile data = DataFile::open(dataFile);
        Module1::FicheRecord card;
        for (int i = 0; i < kSegments; ++i) {
            data.readSlot(1 + (i * 3) % largestfile::kCards, card);
            const QString expression = fieldtext::withoutTrailingSpaces(fieldtext::read(card.expression));
            const QString translation = fieldtext::withoutTrailingSpaces(fieldtext::read(card.traduction));
            const QString target = i % 5 == 0 ? QStringLiteral("Something else entirely.")
                                              : QStringLiteral("We need %1 here.").arg(translation);
            out.write(QStringLiteral("<trans-unit id=\"%1\"><source>Il faut %2 ici.</source><target>%3</target></trans-unit>\n")
                          .arg(i + 1)
                          .arg(escaped(expression), escaped(target))
                          .toUtf8());
        }
        out.write("</body></file></xliff>\n");
    }
};

const Translation& translationOf(int range) {
    static const Translation largest(largestfile::dataFile());
    static const Translation wide(largestfile::wideVocabularyFile());
    return range == 0 ? largest : wide;
}

// The program's environment, with the translation's user folder.
QProcessEnvironment environmentOf(const Translation& translation) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", translation.home.path());
    return environment;
}

QString dataFileOf(int range) { return range == 0 ? largestfile::dataFile() : largestfile::wideVocabularyFile(); }

void BM_CheckFromCommandLine(benchmark::State& state) {
    const Translation& translation = translationOf(int(state.range(0)));
    const QProcessEnvironment environment = environmentOf(translation);
    qsizetype gaps = 0;
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(LEXICARIUM_PROGRAM, {"--verifier", translation.xliff, "--fichier", dataFileOf(int(state.range(0)))});
        program.waitForFinished(600000);
        gaps = program.readAllStandardOutput().count('\n');
    }
    state.counters["gaps"] = double(gaps);
}
BENCHMARK(BM_CheckFromCommandLine)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int printPeakOfProgram(char** programAndArguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int failed = posix_spawn(&child, programAndArguments[0], &actions, nullptr, programAndArguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return 1;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return 1;
    std::printf("%.1f\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}

double checkPeakMemoryMb(const char* self, int range) {
    const Translation& translation = translationOf(range);
    const QProcessEnvironment environment = environmentOf(translation);
    // Through a fresh benchmark process: a program's peak counts its
    // parent's at the moment it was started, and this one's is large.
    QProcess measure;
    measure.setProcessEnvironment(environment);
    measure.start(QString::fromLocal8Bit(self), {"--peak-memory-of", LEXICARIUM_PROGRAM, "--verifier", translation.xliff,
                                                  "--fichier", dataFileOf(range)});
    if (!measure.waitForFinished(600000) || measure.exitCode() != 0) return -1;
    bool ok = false;
    const double mb = measure.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? mb : -1;
}
