// The startup options page: each option's help while the mouse points at it.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <iterator>

namespace trelgate {

using namespace layout;

namespace {

// In the order of kOptionBoxes.
constexpr std::wstring_view kOptionHelp[] = {
    L"Disabling this option will run Trelan in a window. Note that this may not work with all graphics cards "
    L"because some older models do not properly display OpenGL in a window.",
    L"Disabling this option will disable the 'Slide-In'-effect for buttons and menu items. This is mainly useful "
    L"if the effect is slow and choppy on your system but may also be used to speed up game flow.",
    L"Runs Trelan in 'Safe Mode', meaning less performance but better compatibility, especially for older "
    L"graphics cards.",
    L"Enable this option only if the large world map is rendered erratically on your system (e.g. all white).",
    L"Renders a software mouse. Use this to correct problems with the mouse cursor.",
    L"You can disable the in-game music with this option.",
    L"Prints debugging information during startup.",
};
static_assert(std::size(kOptionHelp) == std::size(kOptionBoxes));

} // namespace

// Shared by the page control, the options page and the check boxes: only the
// sender counts.
void TfrmMain::tabOptionsMouseMove(HWND sender)
{
    for (std::size_t i = 0; i < std::size(kOptionBoxes); ++i)
        if (sender == Item(kOptionBoxes[i])) {
            SetText(lblOptionHelp, kOptionHelp[i]);
            return;
        }
    SetText(lblOptionHelp, L"");
}

void TfrmMain::SubclassOptionsPage()
{
    ::SetWindowSubclass(Item(PageControl), OptionsMouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(Item(tabOptions), OptionsMouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
    for (Ctl box : kOptionBoxes)
        ::SetWindowSubclass(Item(box), OptionsMouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
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
            hwnd == form->Item(tabOptions) && ::ChildWindowFromPointEx(hwnd, at, CWP_SKIPINVISIBLE) != hwnd;
        if (!overControl)
            form->Guarded([form, hwnd] { form->tabOptionsMouseMove(hwnd); });
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace trelgate
