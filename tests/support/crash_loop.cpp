#include "support/crash_loop.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdlib>

#include "store/store_error.h"
#include "support/faulty_file_system.h"
#include "support/test_folder.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr int kFinished = 42;  // a child's exit code when its work ran to its end
constexpr const char* kCrashAt = "LEXICARIUM_CRASH_AT";

// In the child: the work, ended at operation `at` by the faulty file system.
[[noreturn]] void runEndedAt(const CrashLoop& loop, int at) {
    FaultyFileSystem faults(FaultyFileSystem::Mode::crash, at);
    if (loop.configure) loop.configure(faults);
    FileSystem::setCurrent(&faults);
    try {
        loop.work();
    } catch (const StoreError&) {
        std::_Exit(1);
    }
    std::_Exit(kFinished);
}

#ifdef _WIN32
// Without fork, the child is this test program again, told to run only the
// current test (and data row) in the same folder, and to end its work at
// operation `at` once it reaches the loop. Its own steps before the loop
// are undone by `prepare`, which the child runs again.
bool finishedInChild(int at) {
    QString test = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag()) test += QLatin1Char(':') + QString::fromLatin1(QTest::currentDataTag());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kCrashAt), QString::number(at));
    environment.insert(QString::fromLatin1(TestFolder::variable()), TestFolder::current()->path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {test});
    child.waitForFinished(-1);
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == kFinished;
}
#else
bool finishedInChild(const CrashLoop& loop, int at) {
    const pid_t child = fork();
    if (child == 0) runEndedAt(loop, at);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == kFinished;
}
#endif

}  // namespace

int CrashLoop::run() const {
    if (const QByteArray at = qgetenv(kCrashAt); !at.isEmpty()) {
        prepare();
        runEndedAt(*this, at.toInt());
    }
    int crashes = 0;
    for (int at = 1;; ++at) {
        prepare();
#ifdef _WIN32
        const bool finished = finishedInChild(at);
#else
        const bool finished = finishedInChild(*this, at);
#endif
        check(at, finished);
        if (finished || QTest::currentTestFailed()) return crashes;
        ++crashes;
    }
}
