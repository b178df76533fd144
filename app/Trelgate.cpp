// The launcher's entry: one instance, one window, one message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/uVEXOneInstanceApp.h"
#include "base/PhaseTrace.h"
#include "base/Window.h"
#include "ui/AppTitle.h"
#include "ui/Main.h"
#include "ui/StandardError.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    using namespace trelgate;
    PhaseDone("first line");
    // The launcher sits in the game folder, which anybody may write to: no DLL
    // that it loads from now on comes from there.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Wine's theme code loads msimg32.dll on demand, when it first draws the
    // tabs, and then searches the program's folder first; loaded here, the
    // system's copy is the one it finds.
    ::LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    static const TvexOneInstanceApp OneInstanceApp(kAppTitle, TfrmMain::kClassName);
    PhaseDone("instance guard");

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    PhaseDone("common controls");

    try {
        TfrmMain frmMain(ModuleFileName());
        frmMain.onClosed = [] { ::PostQuitMessage(0); };
        frmMain.Create();
        frmMain.Show();
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!frmMain.PreTranslateMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    } catch (...) {
        ShowStandardError(nullptr);
        return 1;
    }
    WritePhases();
    return 0;
}
