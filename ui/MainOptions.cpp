// The startup options page: each option's help while the mouse points at it.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <iterator>

#include "launch/Options.h"

namespace trelgate {

using namespace layout;

// Shared by the page control, the options page and the check boxes: only the
// sender counts.
void TfrmMain::tabOptionsMouseMove(HWND sender)
{
    for (std::size_t i = 0; i < std::size(kOptionBoxes); ++i)
        if (sender == Window(kOptionBoxes[i])) {
            SetText(lblOptionHelp, kStartupOptions[i].help);
            return;
        }
    SetText(lblOptionHelp, L"");
}

void TfrmMain::SubclassOptionsPage()
{
    ::SetWindowSubclass(Window(tabOptions), OptionsMouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
    for (Ctl box : kOptionBoxes)
        ::SetWindowSubclass(Window(box), OptionsMouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TfrmMain::OptionsMouseProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self)
{
    if (msg == WM_MOUSEMOVE) {
        auto* form = reinterpret_cast<TfrmMain*>(self);
        // The labels let the mouse through to the page; over them the help
        // stays as it is, only the page's free area clears it.
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool overControl =
            hwnd == form->Window(tabOptions) && ::ChildWindowFromPointEx(hwnd, at, CWP_SKIPINVISIBLE) != hwnd;
        if (!overControl)
            form->Guarded([form, hwnd] { form->tabOptionsMouseMove(hwnd); });
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace trelgate
