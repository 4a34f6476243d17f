#include "exchange/csv_reader.h"
#include "fuzz_glossaries.h"

// Any bytes, taken for a CSV table.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzglossary::readAndMakeCards(data, size, readCsv);
    return 0;
}
