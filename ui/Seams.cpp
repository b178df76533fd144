#include "ui/Seams.h"

#include <shellapi.h>

namespace trelgate {
namespace {

Seams ProductionSeams()
{
    return {
        [](HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
            return ::MessageBoxW(owner, text.c_str(), title.c_str(), flags);
        },
        [](OPENFILENAMEW& dialog) { return ::GetOpenFileNameW(&dialog) != FALSE; },
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
