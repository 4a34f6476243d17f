#include <QFile>
#include <QString>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <vector>

#include "largest_file.h"

// What the figures are measured against: the physical floor of reading the
// whole file, and the same work done by SQLite.
namespace {

void BM_Floor_ReadWholeFile(benchmark::State& state) {
    const QString& path = largestfile::dataFile();
    std::vector<char> memory(std::size_t(QFile(path).size()));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        qint64 done = 0;
        while (done < qint64(memory.size())) {
            const qint64 got = file.read(memory.data() + done, qint64(memory.size()) - done);
            if (got <= 0) break;
            done += got;
        }
        benchmark::DoNotOptimize(memory.data());
    }
}
BENCHMARK(BM_Floor_ReadWholeFile)->Unit(benchmark::kMillisecond);

// Runs a query and turns every column of every row into text, as a window
// about to show them would.
int runQuery(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    int rows = 0;
    std::vector<QString> texts;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            texts.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c))));
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

void peer(benchmark::State& state, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(largestfile::sqliteFile().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    int rows = 0;
    for (auto _ : state) rows = runQuery(db, sql);
    sqlite3_close(db);
    state.counters["rows"] = rows;
}

void BM_Peer_Search(benchmark::State& state) {
    peer(state, "SELECT numero, dictionnaire, dictionnairecible, reference FROM fiche "
                "WHERE lower(dictionnaire) LIKE '%tion%'");
}
BENCHMARK(BM_Peer_Search)->Unit(benchmark::kMillisecond);

void BM_Peer_FullList(benchmark::State& state) {
    peer(state, "SELECT numero, dictionnaire, dictionnairecible, reference FROM fiche");
}
BENCHMARK(BM_Peer_FullList)->Unit(benchmark::kMillisecond);

}  // namespace
