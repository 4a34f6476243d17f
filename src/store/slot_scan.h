#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <span>
#include <vector>

#include "store/data_file.h"

// Every slot of a data file, 1 to recordCount(), read in runs of kRunSlots
// slots. Two threads, the caller's and a second one, each take the next run
// no thread has taken, read it and look at it at once, while its bytes are
// still in that processor's cache: copying the file out of the system's
// cache is most of a scan's work, and two threads do it nearly twice as fast
// as one. A file of one run is read and looked at on the calling thread.
//
// `look` runs once per run, the first slot of its bytes being slot `first`
// (2799 bytes a slot); two runs may be looked at at the same time, so `look`
// keeps what it finds per run: `run` counts the runs from 0 in slot order.
// After a failure no run is taken any more; the failure of the earliest run
// comes out once both threads have stopped, every run before it having been
// looked at: a read failure as StoreError, a failure of `look` as it was
// thrown.
namespace slotscan {

inline constexpr std::int32_t kRunSlots = 256;  // about 700 KB a read

using Look = std::function<void(std::int32_t run, std::int32_t first, std::span<const char> bytes)>;

// Slots 1 to `count`; the file is read as it stands, past its end as empty cards.
void scan(DataFile& file, std::int32_t count, const Look& look);

// Returns how many slots were looked at.
inline std::int32_t scan(DataFile& file, const Look& look) {
    const std::int32_t count = file.recordCount();
    scan(file, count, look);
    return count;
}

// What `look(first, bytes, found)` finds in each run, put together in slot
// order; `count`, when given, receives the number of slots.
template <typename Item, typename RunLook>
std::vector<Item> gather(DataFile& file, RunLook look, std::int32_t* count = nullptr) {
    const std::int32_t slotCount = file.recordCount();
    if (count) *count = slotCount;
    std::vector<std::vector<Item>> perRun((std::size_t(slotCount) + kRunSlots - 1) / kRunSlots);
    scan(file, slotCount, [&](std::int32_t run, std::int32_t first, std::span<const char> bytes) {
        look(first, bytes, perRun[std::size_t(run)]);
    });
    std::size_t total = 0;
    for (const auto& found : perRun) total += found.size();
    std::vector<Item> all;
    all.reserve(total);
    for (auto& found : perRun) std::move(found.begin(), found.end(), std::back_inserter(all));
    return all;
}

}  // namespace slotscan
