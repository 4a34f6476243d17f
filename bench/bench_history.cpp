#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <random>

#include "largest_file.h"
#include "store/card_history.h"
#include "store/daily_copies.h"
#include "store/data_file.h"
#include "store/field_text.h"

// What keeping every version of every card and a copy a day costs.
namespace {

// Copies and histories kept in the user's folder go beside the generated files.
void keepUserFilesBesideTheBench() {
    static const bool done = [] {
        qputenv("XDG_DATA_HOME", (QFileInfo(largestfile::dataFile()).absolutePath() + "/utilisateur").toUtf8());
        return true;
    }();
    (void)done;
}

constexpr int kEntries = 100000;
constexpr int kCard = 16384;

// The largest file with a history of 100,000 earlier versions of its cards,
// a few dozen of them of the card listed.
const QString& fileWithLongHistory() {
    static const QString data = [] {
        const QString path = QFileInfo(largestfile::dataFile()).absolutePath() + "/historique.dat";
        QFile::remove(path);
        QFile::copy(largestfile::dataFile(), path);
        QFile history(cardhistory::besidePath(FileSystem::native(), path));
        history.open(QIODevice::WriteOnly | QIODevice::Truncate);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> cards(1, largestfile::kCards);
        Module1::SlotBytes slot = Module1::toBytes(Module1::emptyCard(1));
        QDateTime when = QDateTime::currentDateTimeUtc().addDays(-400);
        for (int i = 0; i < kEntries; ++i) {
            const int number = cards(random);
            slot[2] = char('a' + i % 26);
            const auto entry = cardhistory::encode({number, when.addSecs(i * 300), cardhistory::Action::edition, slot});
            history.write(entry.data(), qint64(entry.size()));
        }
        history.close();
        return path;
    }();
    return data;
}

}  // namespace

// Each save changes the card, so each one adds its earlier version to the history.
void BM_SaveCardWithHistory(benchmark::State& state) {
    keepUserFilesBesideTheBench();
    const QString data = largestfile::writableCopy();
    DataFile::open(data).writeSlot(kCard, Module1::emptyCard(kCard));  // today's copy, made once
    int round = 0;
    for (auto _ : state) {
        Module1::FicheRecord fiche = Module1::emptyCard(kCard);
        fieldtext::store(fiche.expression, QStringLiteral("version %1").arg(++round));
        DataFile file = DataFile::open(data);
        file.writeSlot(kCard, fiche, cardhistory::Action::correction);
    }
}
BENCHMARK(BM_SaveCardWithHistory)->Unit(benchmark::kMillisecond);

void BM_ListCardHistory(benchmark::State& state) {
    const QString& data = fileWithLongHistory();
    std::size_t versions = 0;
    for (auto _ : state) versions = cardhistory::versionsOf(FileSystem::native(), data, kCard).size();
    state.counters["versions"] = double(versions);
}
BENCHMARK(BM_ListCardHistory)->Unit(benchmark::kMillisecond);

// The first save of a day copies the whole largest file, compressed and read back.
void BM_DailyCopy(benchmark::State& state) {
    keepUserFilesBesideTheBench();
    const QString& data = largestfile::dataFile();
    const QString today = QDir(dailycopies::folderFor(FileSystem::native(), data))
                              .filePath(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz");
    int error = 0;
    auto file = FileSystem::native().open(data, error);
    std::int64_t length = 0;
    file->size(length);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(today);
        state.ResumeTiming();
        dailycopies::copyOncePerDay(FileSystem::native(), data, *file, length);
    }
    state.counters["compressed MB"] = double(QFileInfo(today).size()) / 1e6;
}
BENCHMARK(BM_DailyCopy)->Unit(benchmark::kMillisecond);
