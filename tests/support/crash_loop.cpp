#include "support/crash_loop.h"

#include <QTest>

#include "store/store_error.h"
#include "support/faulty_file_system.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr int kFinished = 42;  // a child's exit code when its work ran to its end

}  // namespace

int CrashLoop::run() const {
#ifdef _WIN32
    return -1;
#else
    int crashes = 0;
    for (int at = 1;; ++at) {
        prepare();
        const pid_t child = fork();
        if (child == 0) {
            FaultyFileSystem faults(FaultyFileSystem::Mode::crash, at);
            if (configure) configure(faults);
            FileSystem::setCurrent(&faults);
            try {
                work();
            } catch (const StoreError&) {
                _exit(1);
            }
            _exit(kFinished);
        }
        int status = 0;
        waitpid(child, &status, 0);
        const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == kFinished;
        check(at, finished);
        if (finished || QTest::currentTestFailed()) return crashes;
        ++crashes;
    }
#endif
}
