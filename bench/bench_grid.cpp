#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

#include "card_generator.h"
#include "store/field_text.h"
#include "windows/controls/flex_grid.h"

namespace {

constexpr int kRows = 32767;

// Fills the grid one row at a time, cell by cell, as a search does, then
// lets the view take the changes.
void fillRowByRow(FlexGrid& grid, const std::vector<Module1::FicheRecord>& cards) {
    grid.Clear();
    grid.setCols(4);
    grid.setRows(2);
    int row = 1;
    for (const auto& card : cards) {
        grid.setRow(row++);
        grid.setCol(0);
        grid.setText(QString::number(card.numero));
        grid.setCellForeColor(QColor(0, 0, 192));
        grid.setCellAlignment(3);
        grid.setCol(1);
        grid.setText(fieldtext::read(card.dictionnaire));
        grid.setCol(2);
        grid.setText(fieldtext::read(card.dictionnairecible));
        grid.setCol(3);
        grid.setText(fieldtext::read(card.reference));
        grid.setRows(grid.Rows() + 1);
    }
    grid.setRows(grid.Rows() - 1);
    QCoreApplication::processEvents();
}

std::vector<Module1::FicheRecord> cards() {
    CardGenerator generator;
    std::vector<Module1::FicheRecord> all;
    for (int i = 1; i <= kRows; ++i) all.push_back(generator.card(i));
    return all;
}

void BM_GridFillRowByRow(benchmark::State& state) {
    const auto all = cards();
    FlexGrid grid;
    grid.resize(800, 600);
    grid.show();
    for (auto _ : state) fillRowByRow(grid, all);
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_GridFillRowByRow)->Unit(benchmark::kMillisecond);

void BM_GridSortThreeKeys(benchmark::State& state) {
    auto all = cards();
    FlexGrid grid;
    grid.resize(800, 600);
    grid.show();
    std::mt19937 random(7);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(all.begin(), all.end(), random);
        fillRowByRow(grid, all);
        grid.setRow(1);
        grid.setCol(3);
        grid.setColSel(1);
        state.ResumeTiming();
        grid.Sort(1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_GridSortThreeKeys)->Unit(benchmark::kMillisecond);

}  // namespace
