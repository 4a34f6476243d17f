#pragma once

#include <functional>

class FaultyFileSystem;

// Some work ended at each of its file-system operations in turn, as a crash
// or a power cut would end it: the work runs in a child process whose file
// system ends it at operation 1, then 2, ... until it runs to its end.
// `prepare` runs before each try, `check` after it, told whether the work
// ran to its end. Stops early once the test has failed; gives the number of
// crashes. Where there is no fork (Windows), the child is the test program
// run again on the same test, in the same TestFolder.
struct CrashLoop {
    std::function<void()> prepare;
    std::function<void(FaultyFileSystem&)> configure;  // optional: refusals besides the crash
    std::function<void()> work;                         // may throw StoreError
    std::function<void(int at, bool finished)> check;

    int run() const;
};
