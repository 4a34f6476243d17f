#include "exchange/po_reader.h"
#include "fuzz_bilingual.h"

// Any bytes, taken for a PO file, its segments checked against cards.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzbilingual::readAndCheck(data, size, bilingual::readPo);
    return 0;
}
