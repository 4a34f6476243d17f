#include "check/command_console.h"

#include <windows.h>

#include <cstdio>

namespace commandconsole {

void attach() {
    const bool outputGiven = GetStdHandle(STD_OUTPUT_HANDLE) != nullptr && GetStdHandle(STD_OUTPUT_HANDLE) != INVALID_HANDLE_VALUE;
    const bool errorsGiven = GetStdHandle(STD_ERROR_HANDLE) != nullptr && GetStdHandle(STD_ERROR_HANDLE) != INVALID_HANDLE_VALUE;
    if ((outputGiven && errorsGiven) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    // Lines that are already redirected stay so.
    if (!outputGiven) std::freopen("CONOUT$", "w", stdout);
    if (!errorsGiven) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace commandconsole
