// How messages reach the main window's handlers: one exception boundary, the
// command and notification tables, timers and the keyboard.
#include "ui/Main.h"

#include <commctrl.h>

#include <cwctype>

#include "ui/FrameRules.h"
#include "ui/StandardError.h"

namespace trelgate {

using namespace layout;

const TfrmMain::CommandRoute TfrmMain::kCommandRoutes[] = {
    {btnExit, BN_CLICKED, &TfrmMain::btnExitClick},
    {edtTrelanPath, EN_CHANGE, &TfrmMain::edtTrelanPathChange},
    {btnTrelanPathBrowse, BN_CLICKED, &TfrmMain::btnTrelanPathBrowseClick},
    {cboUser, CBN_SELCHANGE, &TfrmMain::cboUserChange},
    {edtNewBackup, EN_CHANGE, &TfrmMain::edtNewBackupChange},
    {btnLaunch, BN_CLICKED, &TfrmMain::btnLaunchClick},
    {btnNewBackup, BN_CLICKED, &TfrmMain::btnNewBackupClick},
    {btnRestore, BN_CLICKED, &TfrmMain::btnRestoreClick},
    {btnDeleteBackups, BN_CLICKED, &TfrmMain::btnDeleteBackupsClick},
    {btnDeleteUser, BN_CLICKED, &TfrmMain::btnDeleteUserClick},
};

const TfrmMain::NotifyRoute TfrmMain::kNotifyRoutes[] = {
    {PageControl, TCN_SELCHANGE, &TfrmMain::PageControlChange},
    {lstBackups, LVN_DELETEALLITEMS, &TfrmMain::lstBackupsNotify},
    {lstBackups, LVN_ITEMCHANGED, &TfrmMain::lstBackupsNotify},
    {lstBackups, LVN_ODSTATECHANGED, &TfrmMain::lstBackupsNotify},
    {lstBackups, LVN_GETDISPINFOW, &TfrmMain::lstBackupsGetDispInfo},
    {lstBackups, LVN_ODFINDITEMW, &TfrmMain::lstBackupsFindItem},
    {lstBackups, LVN_KEYDOWN, &TfrmMain::lstBackupsKeyDown},
    {lstBackups, NM_DBLCLK, &TfrmMain::lstBackupsRestore},
    {lstBackups, NM_RETURN, &TfrmMain::lstBackupsRestore},
    {lstBackups, LVN_BEGINLABELEDITW, &TfrmMain::lstBackupsBeginLabelEdit},
    {lstBackups, LVN_ENDLABELEDITW, &TfrmMain::lstBackupsEndLabelEdit},
};

LRESULT CALLBACK TfrmMain::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TfrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfrmMain*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    // No exception crosses into the system: it ends the handler, not the program.
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        ShowStandardError(hwnd);
        return 0;
    }
}

void TfrmMain::ShowError() noexcept { ShowStandardError(hwnd_); }

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCHITTEST: return WMNCHitTest(wParam, lParam);
    case WM_COMMAND: return OnCommand(wParam);
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER: return OnTimer(wParam);
    case WM_PAINT: return OnPaint();
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_DPICHANGED: return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case kBuildNextPage: BuildNextPage(); return 0;
    case WM_SHOWWINDOW:
        if (wParam && !shown_) {
            shown_ = true;
            FormShow();
        }
        break;
    case WM_DESTROY:
        destroying_ = true;
        FormDestroy();
        return 0;
    case WM_NCDESTROY: {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        controls_ = {};
        if (onClosed)
            onClosed();
        return 0;
    }
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// Pages hand their controls' notifications to the window and paint like it.
LRESULT CALLBACK TfrmMain::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
        return ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT TfrmMain::OnCommand(WPARAM wParam)
{
    const auto id = static_cast<Ctl>(LOWORD(wParam));
    const UINT code = HIWORD(wParam);
    for (const CommandRoute& route : kCommandRoutes)
        if (route.id == id && route.code == code)
            (this->*route.handler)();
    return 0;
}

LRESULT TfrmMain::OnNotify(const NMHDR& header)
{
    const auto id = static_cast<Ctl>(header.idFrom);
    for (const NotifyRoute& route : kNotifyRoutes)
        if (route.id == id && route.code == header.code)
            return (this->*route.handler)(header);
    return 0;
}

LRESULT TfrmMain::PageControlChange(const NMHDR&)
{
    ShowPage(PageAt(TabCtrl_GetCurSel(Item(PageControl))));
    return 0;
}

LRESULT TfrmMain::lstBackupsNotify(const NMHDR& header)
{
    if (header.code == LVN_DELETEALLITEMS)
        return TRUE; // no notification per row
    // A range of rows (shift-click) comes as a notification of its own, and a
    // change of all rows at once as row -1; either may change the selection,
    // and the handler only reads it.
    if (header.code == LVN_ODSTATECHANGED) {
        lstBackupsChange();
        return 0;
    }
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) &&
        (change.iItem < 0 || ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)))
        lstBackupsChange();
    return 0;
}

LRESULT TfrmMain::OnTimer(WPARAM id)
{
    switch (id) {
    case tmrFadeIn: tmrFadeInTimer(); break;
    case tmrFadeOut: tmrFadeOutTimer(); break;
    case tmrUpdateUsers: tmrUpdateUsersTimer(); break;
    default: break;
    }
    return 0;
}

// Like a dialog: the control that had the focus gets it back on return.
LRESULT TfrmMain::OnActivate(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        focusOnActivate_ = focus && ::IsChild(hwnd_, focus) ? focus : nullptr;
    } else if (focusOnActivate_ && ::IsWindow(focusOnActivate_)) {
        ::SetFocus(focusOnActivate_);
    }
    return 0;
}

bool TfrmMain::PreTranslateMessage(MSG& msg)
{
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)))
        return false;
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, Alt+letter picks one.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0) {
        ShowPage(PageAt(TabIndex(activePage_) + (::GetKeyState(VK_SHIFT) < 0 ? -1 : 1)));
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0) {
        if (HWND next = TabStripStop(::GetKeyState(VK_SHIFT) < 0)) {
            ::SetFocus(next);
            return true;
        }
    }
    if (msg.message == WM_SYSCHAR) {
        for (const Control& c : kControls)
            if (c.kind == Page && MnemonicOf(c.caption) == std::towupper(static_cast<wint_t>(msg.wParam))) {
                ShowPage(c.id);
                return true;
            }
    }
    // The backup list's Enter restores (NM_RETURN), and its in-place edit box
    // takes Enter and Escape for itself: neither reaches the dialog manager,
    // which would make them default-button and cancel commands.
    HWND list = Item(lstBackups);
    if (msg.hwnd == list && msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN)
        return false;
    if (HWND edit = ListView_GetEditControl(list); edit && msg.hwnd == edit)
        return false;
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

// The dialog manager steps into the page control, which holds the pages, and
// never onto it; the tab strip is a stop of its own between Exit and the page.
HWND TfrmMain::TabStripStop(bool back) const
{
    HWND focus = ::GetFocus(), tabs = Window(PageControl), exit = Window(btnExit);
    if (focus == tabs)
        return back ? exit : ::GetNextDlgTabItem(hwnd_, exit, FALSE);
    if (!back && focus == exit)
        return tabs;
    if (back && ::GetNextDlgTabItem(hwnd_, focus, TRUE) == exit)
        return tabs;
    return nullptr;
}

} // namespace trelgate
