#include "fuzz_workbook.h"

// Any bytes, taken for a .ods workbook.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzworkbook::readAndMakeCards(data, size, workbook::Kind::ods);
    return 0;
}
