#include "exchange/xliff_reader.h"
#include "fuzz_bilingual.h"

// Any bytes, taken for an XLIFF file, its segments checked against cards.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzbilingual::readAndCheck(data, size, bilingual::readXliff);
    return 0;
}
