#include "app/uVEXOneInstanceApp.h"

#include <algorithm>

namespace trelgate {
namespace {

void CopyName(std::wstring_view from, wchar_t (&to)[MAX_PATH])
{
    const auto n = std::min(from.size(), std::size(to) - 1);
    std::copy_n(from.data(), n, to);
    to[n] = L'\0';
}

} // namespace

TvexOneInstanceApp::TvexOneInstanceApp(std::wstring_view title, std::wstring_view mainWindowClass)
{
    CopyName(title, FName);
    CopyName(mainWindowClass, FClass);
    CheckInstance();
}

void TvexOneInstanceApp::CheckInstance()
{
    // A lock that cannot be had at all lets this launcher run as the first.
    FMutex = ::CreateMutexW(nullptr, FALSE, FName);
    if (::WaitForSingleObject(FMutex, 0) != WAIT_TIMEOUT)
        return;

    // The class as well as the title: a folder window or a message box may
    // carry the same title. This process has no window yet, so it cannot find
    // itself.
    if (HWND running = ::FindWindowW(FClass, FName)) {
        // Asked, not waited for: a launcher waiting for its game answers no
        // message until the game ends, and this start gives way at once.
        if (::IsIconic(running))
            ::ShowWindowAsync(running, SW_RESTORE);
        ::SetWindowPos(running, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
        ::SetForegroundWindow(running);
    }
    ::ExitProcess(kGaveWayExitCode);
}

} // namespace trelgate
