// What every window of the launcher asks of the system: its own executable,
// the DPI it is shown at, and one repaint for a batch of changes.
#pragma once

#include <windows.h>

#include <string>

namespace trelgate {

// The full name of the running executable, however long.
std::wstring ModuleFileName();

// The DPI of the monitor the window is on; the screen's before Windows 10.
UINT DpiOf(HWND hwnd);

// Removes the keyboard and mouse messages waiting in this thread's queue.
void DiscardQueuedInput();

// Stops a control's repaints for one scope, then repaints it once.
class RedrawGuard {
public:
    explicit RedrawGuard(HWND hwnd) noexcept;
    ~RedrawGuard();
    RedrawGuard(const RedrawGuard&) = delete;
    RedrawGuard& operator=(const RedrawGuard&) = delete;

private:
    HWND hwnd_;
};

} // namespace trelgate
