#include "store/slot_scan.h"

#include <QDir>

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "store/store_error.h"

namespace slotscan {
namespace {

std::unique_ptr<char[]> runBuffer(std::int32_t slotCount) {
    return std::make_unique_for_overwrite<char[]>(std::size_t(slotCount) * Module1::kSlotSize);
}

// The runs not yet taken, and the failure of the earliest run that failed.
class Runs {
public:
    explicit Runs(std::int32_t slotCount) : m_slots(slotCount), m_count((slotCount + kRunSlots - 1) / kRunSlots) {}

    // The next run to read, or -1 once every run is taken or one has failed.
    std::int32_t take() {
        if (m_failed.load(std::memory_order_relaxed)) return -1;
        const std::int32_t run = m_next.fetch_add(1, std::memory_order_relaxed);
        return run < m_count ? run : -1;
    }

    std::int32_t firstOf(std::int32_t run) const { return run * kRunSlots + 1; }
    std::int32_t slotsOf(std::int32_t run) const { return std::min(kRunSlots, m_slots - run * kRunSlots); }

    void fail(std::int32_t run, std::exception_ptr failure) {
        std::lock_guard lock(m_mutex);
        m_failed = true;
        if (m_failure && m_failedRun < run) return;
        m_failure = std::move(failure);
        m_failedRun = run;
    }

    void rethrowAnyFailure() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    const std::int32_t m_slots;
    const std::int32_t m_count;
    std::atomic<std::int32_t> m_next = 0;
    std::atomic<bool> m_failed = false;
    std::mutex m_mutex;
    std::exception_ptr m_failure;
    std::int32_t m_failedRun = 0;
};

void readAndLook(DataFile& file, Runs& runs, char* bytes, const Look& look) {
    for (std::int32_t run = runs.take(); run >= 0; run = runs.take()) {
        try {
            const std::span<char> slotBytes(bytes, std::size_t(runs.slotsOf(run)) * Module1::kSlotSize);
            file.readSlots(runs.firstOf(run), slotBytes);
            look(run, runs.firstOf(run), slotBytes);
        } catch (...) {
            runs.fail(run, std::current_exception());
        }
    }
}

}  // namespace

void scan(DataFile& file, std::int32_t count, const Look& look) {
    if (count <= 0) return;
    Runs runs(count);
    const auto ownBytes = runBuffer(std::min(count, kRunSlots));
    // A file of one run is read and looked at here: a second thread would find nothing to take.
    std::unique_ptr<char[]> helperBytes;
    std::thread helper;
    if (count > kRunSlots) {
        helperBytes = runBuffer(kRunSlots);
        try {
            helper = std::thread([&] { readAndLook(file, runs, helperBytes.get(), look); });
        } catch (const std::system_error&) {
            throw StoreError(QStringLiteral("Impossible de parcourir le fichier de données «\u00A0%1\u00A0»\u00A0: "
                                            "le système manque de ressources.")
                                 .arg(QDir::toNativeSeparators(file.path())));
        }
    }
    readAndLook(file, runs, ownBytes.get(), look);
    if (helper.joinable()) helper.join();
    runs.rethrowAnyFailure();
}

}  // namespace slotscan
