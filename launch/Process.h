// Starting the game and waiting, blocked, until its process has ended.
#pragma once

#include <string>

namespace trelgate {

// Starts executable (a full path: no search) with exactly commandLine, which
// does not repeat the executable's name; the game inherits the environment and
// the current directory, no handles. Blocks the calling thread, processing no
// messages, until the process has ended. True when the process was created and
// its end observed; its exit code is not read. An executable's path of
// MAX_PATH units or more is not started.
bool RunAndWait(const std::wstring& executable, const std::wstring& commandLine);

} // namespace trelgate
