#include "fuzz_workbook.h"

// Any bytes, taken for a .xlsx workbook.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzworkbook::readAndMakeCards(data, size, workbook::Kind::xlsx);
    return 0;
}
