#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstring>
#include <fcntl.h>
#include <vector>

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

QString dataFileOf(int range) { return range == 0 ? largestfile::dataFile() : largestfile::wideVocabularyFile(); }

void BM_CheckFromCommandLine(benchmark::State& state) {
    const Translation& translation = translationOf(int(state.range(0)));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", translation.home.path());
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

double checkPeakMemoryMb(int range) {
    const Translation& translation = translationOf(range);
    const QByteArray program = QByteArrayLiteral(LEXICARIUM_PROGRAM);
    const QByteArray checked = translation.xliff.toLocal8Bit();
    const QByteArray data = dataFileOf(range).toLocal8Bit();
    const QByteArray home = "XDG_DATA_HOME=" + translation.home.path().toLocal8Bit();
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>("--verifier"),
                    const_cast<char*>(checked.constData()), const_cast<char*>("--fichier"),
                    const_cast<char*>(data.constData()), nullptr};
    std::vector<char*> env;
    for (char** at = environ; *at; ++at) {
        if (std::strncmp(*at, "XDG_DATA_HOME=", 14) != 0) env.push_back(*at);
    }
    env.push_back(const_cast<char*>(home.constData()));
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    // Spawned, not forked: the child's peak is the program's own.
    const int failed = posix_spawn(&child, program.constData(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return -1;
    return double(usage.ru_maxrss) / 1024.0;
}
