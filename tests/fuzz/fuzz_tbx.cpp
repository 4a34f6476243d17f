#include "exchange/tbx_reader.h"
#include "fuzz_glossaries.h"

// Any bytes, taken for a TBX glossary.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzglossary::readAndMakeCards(data, size, readTbx);
    return 0;
}
