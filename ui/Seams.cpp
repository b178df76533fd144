#include "ui/Seams.h"

#include <shellapi.h>

namespace trelgate {
namespace {

// The file dialog's DLL is taken at first use and from the system folder only.
// Imported, it would come in at start, with what it imports in turn, before
// the launcher can keep the game folder out of the search (Wine's comdlg32
// brings winspool.drv and compstui.dll that way).
bool ShowOpenFileDialog(OPENFILENAMEW& dialog)
{
    using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto getOpenFileName = [] {
        HMODULE comdlg32 = ::LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return comdlg32 ? reinterpret_cast<GetOpenFileNameFn>(
                              reinterpret_cast<void*>(::GetProcAddress(comdlg32, "GetOpenFileNameW")))
                        : nullptr;
    }();
    return getOpenFileName && getOpenFileName(&dialog) != FALSE;
}

Seams ProductionSeams()
{
    return {
        [](HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
            return ::MessageBoxW(owner, text.c_str(), title.c_str(), flags);
        },
        ShowOpenFileDialog,
        [](const std::wstring& link) {
            // The desktop reports its own failures; the result is not ours to judge.
            ::ShellExecuteW(::GetDesktopWindow(), L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        },
    };
}

} // namespace

Seams& CurrentSeams()
{
    static Seams seams = ProductionSeams();
    return seams;
}

void ResetSeams() { CurrentSeams() = ProductionSeams(); }

} // namespace trelgate
