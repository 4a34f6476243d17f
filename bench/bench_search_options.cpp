#include <benchmark/benchmark.h>

#include "largest_file.h"
#include "search/card_search.h"
#include "store/data_file.h"

// The search's options beside the plain search of the same text, in the same
// run, on the largest file: range 0 is where it looks (0 the source entries,
// 1 every field), range 1 the option (0 none, 1 wildcards, 2 whole word,
// 3 near spellings). "notion" is a whole word of the generated cards; the
// wildcard text finds what the plain one does.
namespace {

void BM_SearchOption(benchmark::State& state) {
    cardsearch::Query query;
    query.scope = state.range(0) == 0 ? cardsearch::Scope::entries : cardsearch::Scope::everyField;
    query.text = QStringLiteral("notion");
    switch (state.range(1)) {
        case 1:
            query.text = QStringLiteral("not?on");
            query.options.wildcards = true;
            break;
        case 2: query.options.wholeWord = true; break;
        case 3: query.options.approximate = true; break;
        default: break;
    }
    // Once untimed, so that no figure pays for the first reading.
    DataFile warm = DataFile::open(largestfile::dataFile());
    std::size_t rows = cardsearch::search(warm, query).size();
    warm.close();
    for (auto _ : state) {
        DataFile file = DataFile::open(largestfile::dataFile());
        rows = cardsearch::search(file, query).size();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_SearchOption)->ArgsProduct({{0, 1}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);

}  // namespace
