#include "exchange/tab_reader.h"
#include "fuzz_glossaries.h"

// Any bytes, taken for a tab-separated glossary.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzglossary::readAndMakeCards(data, size, readTab);
    return 0;
}
