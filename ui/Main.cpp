#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cwctype>
#include <vector>

#include "app/AppError.h"
#include "resources/ResourceIds.h"
#include "settings/PathRules.h"
#include "ui/FrameRules.h"
#include "ui/HLLabel.h"
#include "ui/Seams.h"

namespace trelgate {

using namespace layout;

namespace {

constexpr wchar_t kPageClass[] = L"TTabSheet";
constexpr int kFontHeight = 11, kTitleFontHeight = 19;

UINT DpiOf(HWND hwnd)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    // Windows before 10 has no per-window DPI; the screen's is the window's.
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        if (UINT dpi = getDpiForWindow(hwnd))
            return dpi;
    HDC dc = ::GetDC(hwnd);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
    ::ReleaseDC(hwnd, dc);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

std::wstring WideFromUtf8(const char* text)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
    return wide;
}

void RegisterClasses(HINSTANCE instance, WNDPROC frameProc, WNDPROC pageProc)
{
    WNDCLASSEXW frame{sizeof frame};
    frame.lpfnWndProc = frameProc;
    frame.hInstance = instance;
    frame.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    frame.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    frame.lpszClassName = TfrmMain::kClassName;
    ::RegisterClassExW(&frame);

    WNDCLASSEXW page{sizeof page};
    page.lpfnWndProc = pageProc;
    page.hInstance = instance;
    page.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    page.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    page.lpszClassName = kPageClass;
    ::RegisterClassExW(&page);
}

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindOf(const Control& c)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (c.kind) {
    case Tabs: return {WC_TABCONTROLW, child | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case Page: return {kPageClass, WS_CHILD | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case Button: return {WC_BUTTONW, child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case CheckBox: return {WC_BUTTONW, child | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case Label: return {WC_STATICW, child | SS_LEFTNOWORDWRAP, 0};
    case WrapLabel: return {WC_STATICW, child | SS_LEFT | SS_NOPREFIX, 0};
    case CenterLabel: return {WC_STATICW, child | SS_CENTER | SS_NOPREFIX, 0};
    case Edit: return {WC_EDITW, child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case DropDownList: return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ReportList:
        return {WC_LISTVIEWW,
                child | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_NOSORTHEADER,
                WS_EX_CLIENTEDGE};
    case SunkenPanel: return {WC_STATICW, child | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX, 0};
    case HotLink: return {THotLinkLabel::ClassName(), child | SS_CENTER | SS_NOPREFIX, 0};
    }
    return {WC_STATICW, child, 0};
}

// The credits link: the maker's site, purple while pointed at, navy once pressed.
void SetUpMakerLink(THotLinkLabel& link)
{
    link.SetFontColor(clBlue);
    link.SetFontUnderline(true);
    link.SetHotLinkColor(clPurple);
    link.SetVisitedColor(clNavy);
    link.SetHover(true);
    link.SetLinkUnderlined(true);
    link.SetURLType(TUrlType::utCustom);
    link.SetCustomURLType(L"");
    link.SetSynchronize(false);
    link.SetShowUrlHint(false);
    link.SetURL(kMakerSite);
}

// Backup list columns: caption and 96-DPI width.
constexpr std::pair<const wchar_t*, int> kBackupColumns[] = {{L"Backup Name", 121}, {L"Date", 75}, {L"Time", 60}};

} // namespace

TfrmMain::TfrmMain(std::wstring exePath) : LauncherDir(FolderOf(exePath)) {}

TfrmMain::~TfrmMain()
{
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

void TfrmMain::Create()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterClasses(instance, WndProc, PageProc);
    // WS_SYSMENU and WS_MINIMIZEBOX give the taskbar entry its restore,
    // minimise and close commands; the window itself draws no caption.
    ::CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kClassName, L"",
                      WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, kClientWidth,
                      kClientHeight, nullptr, nullptr, instance, this);
    if (!hwnd_)
        throw AppError(L"The launcher window cannot be created");
    dpi_ = DpiOf(hwnd_);
    logo_.reset(static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    CreateControls();
    CreateFonts();
    ApplyLayout();
    FormCreate();
}

void TfrmMain::Show()
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = Px(kClientWidth), height = Px(kClientHeight);
    ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
    ::SetFocus(Item(btnLaunch));
}

void TfrmMain::CreateControls()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const Control& c : kControls) {
        const WindowKind kind = KindOf(c);
        HWND parent = c.parent == Form ? hwnd_ : Item(c.parent);
        const std::wstring caption(c.kind == Page ? std::wstring_view{} : c.caption);
        HWND control = ::CreateWindowExW(kind.exStyle, kind.className, caption.c_str(), kind.style, 0, 0, 0, 0,
                                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance,
                                         nullptr);
        controls_[Index(c.id)] = control;
        if (c.kind == CheckBox && c.checked)
            Button_SetCheck(control, BST_CHECKED);
        if (c.kind == Page) {
            TCITEMW tab{TCIF_TEXT};
            std::wstring text(c.caption);
            tab.pszText = text.data();
            TabCtrl_InsertItem(Item(PageControl), Index(c.id) - Index(tabUsers), &tab);
        }
    }
    // Leaving the settings page is noticed where the focus leaves its controls.
    for (Ctl id : {edtTrelanPath, btnTrelanPathBrowse, chkFadeWindow})
        ::SetWindowSubclass(Item(id), SettingsControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
    HWND list = Item(lstBackups);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (int i = 0; const auto& [caption, width] : kBackupColumns) {
        LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH};
        column.pszText = const_cast<wchar_t*>(caption);
        column.cx = width;
        ListView_InsertColumn(list, i++, &column);
    }
    if (THotLinkLabel* link = THotLinkLabel::FromHandle(Item(hllCorvane)))
        SetUpMakerLink(*link);
}

void TfrmMain::CreateFonts()
{
    LOGFONTW font{};
    font.lfHeight = -Px(kFontHeight);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"MS Sans Serif");
    fontNormal_.reset(::CreateFontIndirectW(&font));
    font.lfWeight = FW_BOLD;
    fontBold_.reset(::CreateFontIndirectW(&font));
    font.lfHeight = -Px(kTitleFontHeight);
    fontTitle_.reset(::CreateFontIndirectW(&font));
    font.lfHeight = -Px(kFontHeight);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = TRUE;
    fontLink_.reset(::CreateFontIndirectW(&font));
}

HFONT TfrmMain::FontFor(layout::Font font) const
{
    switch (font) {
    case Font::Bold: return fontBold_.get();
    case Font::Title: return fontTitle_.get();
    case Font::Link: return fontLink_.get();
    case Font::Normal: break;
    }
    return fontNormal_.get();
}

void TfrmMain::ApplyLayout()
{
    // Narrow tab padding keeps all four tabs in one row whatever font stands in
    // for MS Sans Serif; it must precede the font, which measures the tabs.
    TabCtrl_SetPadding(Item(PageControl), Px(3), Px(3));
    for (const Control& c : kControls) {
        int left = c.left, top = c.top, width = c.width, height = c.height;
        if (c.kind == Page)
            left = kPageLeft, top = kPageTop;
        else if (width == 0) // sized to its text: the line may run to the page's edge
            width = kPageWidth - 6 - left;
        if (c.kind == DropDownList)
            height = 8 * height; // room for the opened list
        HWND control = Item(c.id);
        ::SetWindowPos(control, nullptr, Px(left), Px(top), Px(width), Px(height), SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowFont(control, FontFor(c.font), FALSE);
    }
    for (int i = 0; const auto& column : kBackupColumns)
        ListView_SetColumnWidth(Item(lstBackups), i++, Px(column.second));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

int TfrmMain::Px(int value) const { return Scale(value, static_cast<int>(dpi_)); }

// ---------------------------------------------------------------------------
// Message routing

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

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCHITTEST: return WMNCHitTest(wParam, lParam);
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER: return OnTimer(wParam);
    case WM_PAINT: return OnPaint();
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_DPICHANGED: return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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

LRESULT TfrmMain::OnCommand(WPARAM wParam, LPARAM)
{
    const auto id = static_cast<Ctl>(LOWORD(wParam));
    const UINT code = HIWORD(wParam);
    switch (id) {
    case btnExit:
        if (code == BN_CLICKED)
            btnExitClick();
        break;
    case edtTrelanPath:
        if (code == EN_CHANGE)
            edtTrelanPathChange();
        break;
    case btnTrelanPathBrowse:
        if (code == BN_CLICKED)
            btnTrelanPathBrowseClick();
        break;
    case cboUser:
        if (code == CBN_SELCHANGE)
            cboUserChange();
        break;
    case edtNewBackup:
        if (code == EN_CHANGE)
            edtNewBackupChange();
        break;
    default: break;
    }
    return 0;
}

LRESULT TfrmMain::OnNotify(const NMHDR& header)
{
    switch (static_cast<Ctl>(header.idFrom)) {
    case PageControl:
        if (header.code == TCN_SELCHANGE)
            ShowPage(static_cast<Ctl>(static_cast<int>(tabUsers) + TabCtrl_GetCurSel(Item(PageControl))));
        break;
    case lstBackups:
        if (header.code == LVN_DELETEALLITEMS)
            return TRUE; // no notification per row
        if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
                lstBackupsChange();
        }
        break;
    default: break;
    }
    return 0;
}

LRESULT TfrmMain::OnTimer(WPARAM id)
{
    switch (id) {
    case tmrFadeIn: tmrFadeInTimer(); break;
    case tmrFadeOut: tmrFadeOutTimer(); break;
    default: break;
    }
    return 0;
}

LRESULT TfrmMain::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT border{0, 0, Px(kClientWidth), Px(kClientHeight)};
    ::DrawEdge(dc, &border, BDR_RAISEDINNER, BF_RECT);
    RECT logoBorder{Px(1), Px(1), Px(1 + 301), Px(1 + 76)};
    ::DrawEdge(dc, &logoBorder, BDR_SUNKENOUTER, BF_RECT);
    if (logo_) {
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, logo_.get());
        ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, Px(kLogoLeft), Px(kLogoTop), Px(kLogoWidth), Px(kLogoHeight), source, 0, 0, kLogoWidth,
                     kLogoHeight, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    }
    ::EndPaint(hwnd_, &ps);
    return 0;
}

LRESULT TfrmMain::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    dpi_ = dpi;
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The old fonts live until every control has the new ones.
    UniqueFont oldFonts[] = {std::move(fontNormal_), std::move(fontBold_), std::move(fontTitle_),
                             std::move(fontLink_)};
    CreateFonts();
    ApplyLayout();
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
        const int step = ::GetKeyState(VK_SHIFT) < 0 ? 3 : 1;
        const int page = (static_cast<int>(activePage_) - static_cast<int>(tabUsers) + step) % 4;
        ShowPage(static_cast<Ctl>(static_cast<int>(tabUsers) + page));
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
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

// The dialog manager steps into the page control, which holds the pages, and
// never onto it; the tab strip is a stop of its own between Exit and the page.
HWND TfrmMain::TabStripStop(bool back) const
{
    HWND focus = ::GetFocus(), tabs = Item(PageControl), exit = Item(btnExit);
    if (focus == tabs)
        return back ? exit : ::GetNextDlgTabItem(hwnd_, exit, FALSE);
    if (!back && focus == exit)
        return tabs;
    if (back && ::GetNextDlgTabItem(hwnd_, focus, TRUE) == exit)
        return tabs;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Frame handlers

void TfrmMain::FormCreate()
{
    ::SetWindowTextW(hwnd_, std::wstring(kAppTitle).c_str());
    SettingsFile = std::make_unique<TSettingsFile>(LauncherDir + L"\\Trelgate.ini");
}

void TfrmMain::FormShow()
{
    LoadSettings();
    UpdateUsers();
    if (Checked(chkFadeWindow)) {
        SetAlphaBlend(true);
        SetAlphaBlendValue(0);
        EnableTimer(tmrFadeIn, true);
    } else {
        SetAlphaBlend(false);
        SetAlphaBlendValue(kOpaque);
    }
    SetText(lblAboutTitle, kAppTitle);
    SetText(lblAboutVersion, VersionLine(GetVersionString()));
    ShowPage(TrelanPath.empty() ? tabSettings : tabUsers);
}

void TfrmMain::FormDestroy()
{
    // No tick may reach a window on its way out, not even from an error box.
    for (Timer timer : {tmrFadeIn, tmrFadeOut, tmrUpdateUsers})
        EnableTimer(timer, false);
    if (!SettingsFile) // the window failed before it was complete
        return;
    SaveSettings();
    SettingsFile.reset();
}

void TfrmMain::btnExitClick()
{
    EnableTimer(tmrFadeIn, false);
    if (Checked(chkFadeWindow)) {
        SetAlphaBlend(true);
        EnableTimer(tmrFadeOut, true);
    } else {
        Close();
    }
}

void TfrmMain::tmrFadeInTimer()
{
    if (alphaBlendValue_ == kOpaque)
        EnableTimer(tmrFadeIn, false);
    else
        SetAlphaBlendValue(FadeInLevel(alphaBlendValue_));
}

void TfrmMain::tmrFadeOutTimer()
{
    if (alphaBlendValue_ == 0)
        Close();
    else
        SetAlphaBlendValue(FadeOutLevel(alphaBlendValue_));
}

LRESULT TfrmMain::WMNCHitTest(WPARAM wParam, LPARAM lParam)
{
    const LRESULT hit = ::DefWindowProcW(hwnd_, WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

std::wstring TfrmMain::GetVersionString() const
{
    const std::wstring path = ModuleFileName();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> info(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, info.data()))
        return {};
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), L"\\StringFileInfo\\040704E4\\FileVersion", &value, &length) || !value)
        return {};
    return static_cast<const wchar_t*>(value);
}

// ---------------------------------------------------------------------------
// Helpers

void TfrmMain::ShowPage(Ctl page)
{
    // The focus must not stay on a hidden page; moving it lets the page notice.
    HWND focus = ::GetFocus();
    if (focus && page != activePage_ && ::IsChild(Item(activePage_), focus))
        ::SetFocus(Item(PageControl));
    activePage_ = page;
    TabCtrl_SetCurSel(Item(PageControl), static_cast<int>(page) - static_cast<int>(tabUsers));
    for (Ctl p : {tabUsers, tabOptions, tabSettings, tabAbout})
        ::ShowWindow(Item(p), p == page ? SW_SHOW : SW_HIDE);
}

void TfrmMain::Close()
{
    if (!destroying_)
        ::DestroyWindow(hwnd_);
}

void TfrmMain::EnableTimer(Timer timer, bool enabled)
{
    bool& state = timers_[timer - 1];
    if (state == enabled)
        return;
    state = enabled;
    if (enabled)
        ::SetTimer(hwnd_, timer, timer == tmrUpdateUsers ? 1000 : kFadeIntervalMs, nullptr);
    else
        ::KillTimer(hwnd_, timer);
}

void TfrmMain::SetAlphaBlend(bool on)
{
    alphaBlend_ = on;
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, on ? exStyle | WS_EX_LAYERED : exStyle & ~WS_EX_LAYERED);
    if (on)
        ::SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(alphaBlendValue_), LWA_ALPHA);
}

void TfrmMain::SetAlphaBlendValue(int level)
{
    alphaBlendValue_ = level;
    if (alphaBlend_)
        ::SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(level), LWA_ALPHA);
}

bool TfrmMain::Checked(Ctl id) const { return Button_GetCheck(Item(id)) == BST_CHECKED; }

void TfrmMain::SetChecked(Ctl id, bool checked) { Button_SetCheck(Item(id), checked ? BST_CHECKED : BST_UNCHECKED); }

std::wstring TfrmMain::Text(Ctl id) const
{
    HWND control = Item(id);
    std::wstring text(::GetWindowTextLengthW(control) + 1, L'\0');
    text.resize(::GetWindowTextW(control, text.data(), static_cast<int>(text.size())));
    return text;
}

void TfrmMain::SetText(Ctl id, std::wstring_view text)
{
    if (Text(id) != text)
        ::SetWindowTextW(Item(id), std::wstring(text).c_str());
}

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

void ShowStandardError(HWND owner) noexcept
{
    try {
        std::wstring message;
        try {
            throw;
        } catch (const AppError& e) {
            message = e.Message();
        } catch (const std::exception& e) {
            message = WideFromUtf8(e.what());
        } catch (...) {
            message = L"Unknown error";
        }
        CurrentSeams().messageBox(owner, ErrorBoxText(message), std::wstring(kAppTitle), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing is left to tell the player with.
    }
}

} // namespace trelgate
