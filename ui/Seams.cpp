#include "ui/Seams.h"

#include <shellapi.h>

#include "base/SystemDll.h"

namespace trelgate {
namespace {

// The file dialog and the link opener live in DLLs that only Browse and the
// credits link need. Imported, they would come in at start with what they
// import in turn (Wine's comdlg32 brings winspool.drv and compstui.dll),
// before the launcher can keep the game folder out of the search.
Seams ProductionSeams()
{
    return {
        [](HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
            return ::MessageBoxW(owner, text.c_str(), title.c_str(), flags);
        },
        [](OPENFILENAMEW& dialog) {
            static const auto getOpenFileName =
                SystemFunction<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
            return getOpenFileName && getOpenFileName(&dialog) != FALSE; // no dialog chooses no file
        },
        [](const std::wstring& link) {
            static const auto shellExecute =
                SystemFunction<decltype(&::ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
            // The desktop reports its own failures; the result is not ours to judge.
            if (shellExecute)
                shellExecute(::GetDesktopWindow(), L"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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
