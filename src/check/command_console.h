#pragma once

// The console a command was typed in. A windowed program started from one
// is given none: its output is sent there, unless already redirected.
namespace commandconsole {
void attach();
}
