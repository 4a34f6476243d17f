#include "store/slot_scan.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>

#include "store/semaphore.h"
#include "store/store_error.h"

namespace slotscan {
namespace {

// 256 slots, about 700 KB, per read; three runs in turn, so that one can be
// read while another is looked at and the third waits.
constexpr std::int32_t kRunSlots = 256;
constexpr int kRuns = 3;

std::unique_ptr<char[]> runBuffer(std::int32_t slotCount) {
    return std::make_unique_for_overwrite<char[]>(std::size_t(slotCount) * Module1::kSlotSize);
}

struct Run {
    std::int32_t first = 0;
    std::int32_t count = 0;  // 0: the scan is over
    std::unique_ptr<char[]> bytes = runBuffer(kRunSlots);
    std::span<const char> slotBytes() const { return {bytes.get(), std::size_t(count) * Module1::kSlotSize}; }
};

// A file of one run is read and looked at here: a second thread would only
// wait for the read.
void scanOneRun(DataFile& file, std::int32_t count, const Look& look) {
    const auto bytes = runBuffer(count);
    const std::span<char> slotBytes(bytes.get(), std::size_t(count) * Module1::kSlotSize);
    file.readSlots(1, slotBytes);
    look(1, slotBytes);
}

}  // namespace

std::int32_t scan(DataFile& file, const Look& look) {
    const std::int32_t count = file.recordCount();
    if (count <= kRunSlots) {
        if (count > 0) scanOneRun(file, count, look);
        return count;
    }
    std::array<Run, kRuns> runs;
    Semaphore free(kRuns);
    Semaphore filled(0);
    std::exception_ptr lookFailure;
    std::atomic<bool> lookFailed = false;

    const auto lookAtRuns = [&] {
        for (int turn = 0;; ++turn) {
            filled.acquire();
            const Run& run = runs[std::size_t(turn % kRuns)];
            if (run.count == 0) return;
            // After a failure the runs still go back, so the reader never waits for ever.
            if (!lookFailure) {
                try {
                    look(run.first, run.slotBytes());
                } catch (...) {
                    lookFailure = std::current_exception();
                    lookFailed = true;
                }
            }
            free.release();
        }
    };

    std::thread looker;
    try {
        looker = std::thread(lookAtRuns);
    } catch (const std::system_error&) {
        throw StoreError(QStringLiteral("Impossible de parcourir le fichier de données «\u00A0%1\u00A0»\u00A0: "
                                        "le système manque de ressources.")
                             .arg(QDir::toNativeSeparators(file.path())));
    }

    std::exception_ptr readFailure;
    int turn = 0;
    try {
        for (std::int64_t first = 1; first <= count && !lookFailed; first += kRunSlots, ++turn) {
            const auto slotCount = std::int32_t(std::min<std::int64_t>(kRunSlots, count - first + 1));
            free.acquire();
            Run& run = runs[std::size_t(turn % kRuns)];
            file.readSlots(std::int32_t(first), {run.bytes.get(), std::size_t(slotCount) * Module1::kSlotSize});
            run.first = std::int32_t(first);
            run.count = slotCount;
            filled.release();
        }
        free.acquire();
    } catch (...) {
        readFailure = std::current_exception();
    }
    runs[std::size_t(turn % kRuns)].count = 0;
    filled.release();
    looker.join();
    if (readFailure) std::rethrow_exception(readFailure);
    if (lookFailure) std::rethrow_exception(lookFailure);
    return count;
}

}  // namespace slotscan
