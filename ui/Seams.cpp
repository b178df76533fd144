#include "ui/Seams.h"

#include <shellapi.h>

namespace trelgate {
namespace {

// The file dialog and the link opener live in DLLs that only Browse and the
// credits link need: they are loaded on first use, which keeps them out of
// the start, and from the system folder only, so that no copy planted in the
// game folder runs. Imported, they would come in at start with what they
// import in turn (Wine's comdlg32 brings winspool.drv and compstui.dll),
// before the launcher can keep the game folder out of the search. Once loaded
// they stay for the process's life.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name)
{
    HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

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
