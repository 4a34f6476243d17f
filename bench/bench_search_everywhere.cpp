#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "consultation_window.h"
#include "largest_file.h"
#include "main_window_stand_in.h"
#include "search/duplicates.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/alert.h"
#include "windows/controls/common_dialog.h"
#include "windows/controls/flex_grid.h"
#include "windows/edition/duplicate_watch.h"
#include "windows/edition/frm_ajout.h"

// The search in every field and the duplicate check, through the windows,
// on the largest file; the search against the same search in SQLite.
namespace {

void BM_SearchEveryField(benchmark::State& state) { timeSearches(state, "danstout", SearchOrder::repeated); }
BENCHMARK(BM_SearchEveryField)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_SearchEveryFieldAfterNone(benchmark::State& state) {
    timeSearches(state, "danstout", SearchOrder::largeAfterNone);
}
BENCHMARK(BM_SearchEveryFieldAfterNone)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_NoneAfterSearchEveryField(benchmark::State& state) {
    timeSearches(state, "danstout", SearchOrder::noneAfterLarge);
}
BENCHMARK(BM_NoneAfterSearchEveryField)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The same search in SQLite, every column of every row turned into text as
// a window would show it: 0, LIKE over the seven columns (case-insensitive
// for ASCII as it stands, so no lower() to pay for); 1, the table's FTS5
// index with the trigram tokenizer, which finds any part of a word.
void BM_Peer_SearchEveryField(benchmark::State& state) {
    const bool fts = state.range(0) == 1;
    const char* sql =
        fts ? "SELECT f.numero, f.dictionnaire, f.dictionnairecible, f.reference FROM fiche_fts "
              "JOIN fiche f ON f.rowid = fiche_fts.rowid WHERE fiche_fts MATCH '\"tion\"' ORDER BY f.rowid"
            : "SELECT numero, dictionnaire, dictionnairecible, reference FROM fiche WHERE expression LIKE '%tion%' "
              "OR traduction LIKE '%tion%' OR dictionnaire LIKE '%tion%' OR dictionnairecible LIKE '%tion%' "
              "OR miscellanea LIKE '%tion%' OR reference LIKE '%tion%' OR contexte LIKE '%tion%'";
    sqlite3* db = nullptr;
    const QString& file = fts ? largestfile::sqliteFtsFile() : largestfile::sqliteFile();
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    int rows = 0;
    for (auto _ : state) {
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        std::vector<QString> texts;
        rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < 4; ++c) {
                texts.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c))));
            }
            ++rows;
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_Peer_SearchEveryField)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The Edition window's check, as leaving the expression box runs it, for the
// expression of a card halfway down the file.
void BM_DuplicateCheck(benchmark::State& state) {
    Intercepted intercepted;
    MainWindowStandIn menu;
    menu.path = largestfile::dataFile();
    Frm_ajout edition(menu);
    edition.Form_Load();
    Module1::FicheRecord card;
    DataFile file = DataFile::open(menu.path);
    file.readSlot(16384, card);
    file.close();
    edition.findChild<QPlainTextEdit*>(QStringLiteral("txtexpression"))->setPlainText(fieldtext::read(card.expression));
    auto* watch = edition.findChild<DuplicateWatch*>();
    for (auto _ : state) watch->check();
}
BENCHMARK(BM_DuplicateCheck)->Unit(benchmark::kMillisecond);

// The Consultation window's « Doublons » list into the grid.
void BM_DuplicatesList(benchmark::State& state) {
    Intercepted intercepted;
    MainWindowStandIn menu;
    menu.path = largestfile::dataFile();
    Frm_consultation consultation(menu);
    consultation.Form_Load();
    consultation.show();
    for (auto _ : state) {
        consultation.doublons_Click();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = consultation.Grille01()->Rows() - 1;
}
BENCHMARK(BM_DuplicatesList)->Unit(benchmark::kMillisecond);

}  // namespace
