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

// Opening the file and searching it, as the window does; once untimed first,
// so that no figure pays for the first reading.
void timeSearch(benchmark::State& state, const cardsearch::Query& query) {
    DataFile warm = DataFile::open(largestfile::dataFile());
    std::size_t rows = cardsearch::search(warm, query).size();
    warm.close();
    for (auto _ : state) {
        DataFile file = DataFile::open(largestfile::dataFile());
        rows = cardsearch::search(file, query).size();
    }
    state.counters["rows"] = double(rows);
}

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
    timeSearch(state, query);
}
BENCHMARK(BM_SearchOption)->ArgsProduct({{0, 1}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);

}  // namespace

// Wildcard texts beside a plain search in the same run: range 0 the text,
// range 1 the plain text (0) or the wildcards (1). The first three find what
// their plain text finds; the last three find little and make the matcher
// walk most, beside the plain search of their letters.
namespace {

struct WildcardCase {
    const char* pattern;
    const char* plain;
    cardsearch::Scope scope;
};
const WildcardCase kWildcardCases[] = {
    {"not?on", "notion", cardsearch::Scope::everyField},
    {"t*ion", "tion", cardsearch::Scope::everyField},
    {"r*siliation", "résiliation", cardsearch::Scope::everyField},
    {"ch*zz", "chzz", cardsearch::Scope::everyField},
    {"e*qz", "eqz", cardsearch::Scope::everyField},
    {"?*zq", "zq", cardsearch::Scope::contexte},
};

void BM_Wildcards(benchmark::State& state) {
    const WildcardCase& tried = kWildcardCases[state.range(0)];
    cardsearch::Query query;
    query.scope = tried.scope;
    query.text = QString::fromUtf8(state.range(1) == 1 ? tried.pattern : tried.plain);
    query.options.wildcards = state.range(1) == 1;
    state.SetLabel(tried.pattern);
    timeSearch(state, query);
}
BENCHMARK(BM_Wildcards)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
