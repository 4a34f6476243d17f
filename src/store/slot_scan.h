#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "store/data_file.h"

// Every slot of a data file, 1 to recordCount(), looked at in order. The
// calling thread reads runs of slots while a second thread looks at the run
// read before, so reading the file and looking at what it holds overlap; a
// file of one run is read and looked at on the calling thread.
//
// `look` runs once per run, runs in slot order; a slot
// is 2799 bytes of `bytes`, the first of them slot `first`. A read failure
// throws StoreError once the second thread has stopped; an exception thrown
// by `look` stops the scan and is thrown again here.
namespace slotscan {

using Look = std::function<void(std::int32_t first, std::span<const char> bytes)>;

// Returns how many slots were looked at.
std::int32_t scan(DataFile& file, const Look& look);

}  // namespace slotscan
