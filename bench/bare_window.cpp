// The baseline of the start-up figure: a bare Win32 program that shows one
// window and ends when it is closed. Built a second time with the common
// controls loaded as the launcher loads them, it tells their share.
#include <windows.h>

#include <commctrl.h>

#include "base/PhaseTrace.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    using trelgate::PhaseDone;
    PhaseDone("bare window with the common controls: first line");
#ifdef WITH_COMMON_CONTROLS
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_DESTROY)
            ::PostQuitMessage(0);
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    };
    wc.hInstance = instance;
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"TrelgateBareWindow";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Bare", WS_POPUP, 100, 100, 303, 349, nullptr, nullptr,
                                  instance, nullptr);
    PhaseDone("bare window with the common controls: window created");
    ::ShowWindow(hwnd, SW_SHOW);
    PhaseDone("bare window with the common controls: ShowWindow returned");
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    trelgate::WritePhases();
    return 0;
}
