#include "windows/verification/verification_run.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "check/accepted_gaps.h"
#include "exchange/exchange_error.h"
#include "store/file_places.h"
#include "store/store_error.h"
#include "windows/common/data_file_failure.h"
#include "windows/common/main_window_link.h"
#include "windows/controls/progress.h"

namespace {

verification::Checker& sessionChecker() {
    static verification::Checker checker;
    return checker;
}

}  // namespace

VerificationOutcome runVerification(QWidget* window, const QString& checkedFile, const MainWindowLink& menu,
                                    const AcceptedGaps& accepted) {
    const QString dataFile = menu.dataFilePath();
    FileLanguagesSettings settings(fileplaces::settingsFile());
    const FileLanguages languages = filelanguages::of(dataFile, settings);

    std::atomic<bool> stop = false;
    std::atomic<std::size_t> done = 0;
    std::mutex turn;
    std::condition_variable ended;
    bool finished = false;
    VerificationOutcome outcome;
    std::thread worker([&] {
        try {
            outcome.result = sessionChecker().check(checkedFile, dataFile, languages, &accepted, &stop,
                                                    [&done](std::size_t segments, std::size_t) { done = segments; });
        } catch (const ExchangeError& error) {
            outcome.failure = error.message();
        } catch (const StoreError& error) {
            outcome.failure = failureMessage(error, menu);
        } catch (const std::bad_alloc&) {
            outcome.failure = QStringLiteral("La mémoire a manqué pour vérifier la traduction\u00A0: fermez d'autres "
                                             "programmes et recommencez.");
        }
        const std::lock_guard lock(turn);
        finished = true;
        ended.notify_all();
    });
    {
        // The window is painted again and « Annuler » answered meanwhile.
        Progress progress(window, QStringLiteral("Vérification de la traduction..."), Progress::kUnknown);
        std::unique_lock lock(turn);
        do {
            lock.unlock();
            if (!progress.update(int(done))) stop = true;
            lock.lock();
        } while (!stop && !ended.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished; }));
        ended.wait(lock, [&] { return finished; });
    }
    worker.join();
    if (stop) outcome.result.reset();
    return outcome;
}
