// The standard error box: what escaped a handler, shown to the player; the
// program then goes on with the next event.
#pragma once

#include <windows.h>

namespace trelgate {

// Call from a catch block only: it shows the exception being handled.
void ShowStandardError(HWND owner) noexcept;

} // namespace trelgate
