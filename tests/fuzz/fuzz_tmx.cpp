#include "exchange/tmx_reader.h"
#include "fuzz_bilingual.h"

// Any bytes, taken for a TMX memory, its segments checked against cards.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzbilingual::readAndCheck(data, size, bilingual::readTmx);
    return 0;
}
