#include <benchmark/benchmark.h>

#include "forms/dictionaries.h"
#include "forms/file_vocabulary.h"
#include "forms/form_phrases.h"
#include "largest_file.h"
#include "search/card_search.h"
#include "store/data_file.h"

// « Formes fléchies » beside the plain search, in every field of the
// largest file: range 0 the plain search of « château », which the file
// holds; 1 « châteaux » with its forms, which finds the same cards; 2 the
// same for two words. And what is prepared once per data file: its words
// lemmatized, on the file of the widest vocabulary.
namespace {

std::shared_ptr<const FileVocabulary> vocabularyOf(const QString& path) {
    DataFile file = DataFile::open(path);
    return FileVocabulary::read(file, dictionaries::lemmatizerFor(QStringLiteral("fr")),
                                dictionaries::lemmatizerFor(QStringLiteral("en")));
}

void BM_WordFormsSearch(benchmark::State& state) {
    static const auto vocabulary = vocabularyOf(largestfile::dataFile());
    cardsearch::Query query;
    query.scope = cardsearch::Scope::everyField;
    const QString texts[] = {QStringLiteral("château"), QStringLiteral("châteaux"), QStringLiteral("châteaux très")};
    query.text = texts[state.range(0)];
    if (state.range(0) > 0) {
        query.forms = std::make_shared<cardsearch::FormPhrases>(formphrases::of(query.text, *vocabulary, false, false));
    }
    std::size_t rows = 0;
    for (auto _ : state) {
        DataFile file = DataFile::open(largestfile::dataFile());
        rows = cardsearch::search(file, query).size();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_WordFormsSearch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_WordFormsPrepare(benchmark::State& state) {
    std::shared_ptr<const FileVocabulary> vocabulary;
    for (auto _ : state) vocabulary = vocabularyOf(largestfile::wideVocabularyFile());
    state.counters["words"] = double(vocabulary->words(cardsearch::Side::source) + vocabulary->words(cardsearch::Side::target));
}
BENCHMARK(BM_WordFormsPrepare)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
