#include "base/Window.h"

#include <windowsx.h>

#include <utility>

#include "base/Handle.h"
#include "base/SystemDll.h"

namespace trelgate {

std::wstring ModuleFileName()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

UINT DpiOf(HWND hwnd)
{
    // Windows before 10 has no per-window DPI; the screen's is the window's.
    static const auto getDpiForWindow =
        SystemFunction<decltype(&::GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow)
        if (UINT dpi = getDpiForWindow(hwnd))
            return dpi;
    const WindowDc dc(hwnd);
    const int dpi = ::GetDeviceCaps(dc.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void DiscardQueuedInput()
{
    MSG msg;
    for (const auto& [first, last] : {std::pair<UINT, UINT>(WM_KEYFIRST, WM_KEYLAST), {WM_MOUSEFIRST, WM_MOUSELAST},
                                     {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}})
        while (::PeekMessageW(&msg, nullptr, first, last, PM_REMOVE))
            ;
}

RedrawGuard::RedrawGuard(HWND hwnd) noexcept : hwnd_(hwnd) { SetWindowRedraw(hwnd_, FALSE); }

RedrawGuard::~RedrawGuard()
{
    SetWindowRedraw(hwnd_, TRUE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

} // namespace trelgate
