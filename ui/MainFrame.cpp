// The main window's frame: creation, showing and destruction, fading, the
// exit, dragging by the body, the credits' version, and control helpers.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "base/Handle.h"
#include "base/PhaseTrace.h"
#include "base/SystemDll.h"
#include "base/Text.h"
#include "base/Window.h"
#include "ui/AppTitle.h"
#include "ui/FrameRules.h"

namespace trelgate {

using namespace layout;

namespace {

// The version resource's functions live in VERSION.dll, which Windows does not
// protect as a known DLL.
std::wstring FileVersionOf(const std::wstring& path)
{
    static const auto size =
        SystemFunction<decltype(&::GetFileVersionInfoSizeW)>(L"version.dll", "GetFileVersionInfoSizeW");
    static const auto info = SystemFunction<decltype(&::GetFileVersionInfoW)>(L"version.dll", "GetFileVersionInfoW");
    static const auto query = SystemFunction<decltype(&::VerQueryValueW)>(L"version.dll", "VerQueryValueW");
    if (!size || !info || !query)
        return {};
    DWORD ignored = 0;
    const DWORD length = size(path.c_str(), &ignored);
    if (length == 0)
        return {};
    std::vector<BYTE> block(length);
    void* value = nullptr;
    UINT valueLength = 0;
    if (!info(path.c_str(), 0, length, block.data()) ||
        !query(block.data(), L"\\StringFileInfo\\040704E4\\FileVersion", &value, &valueLength) || !value)
        return {};
    return static_cast<const wchar_t*>(value);
}

} // namespace

void TfrmMain::FormCreate()
{
    ::SetWindowTextW(hwnd_, std::wstring(kAppTitle).c_str());
    SettingsFile = std::make_unique<TSettingsFile>(LauncherDir + L"\\Trelgate.ini");
}

void TfrmMain::FormShow()
{
    const int listed = usersListed_;
    LoadSettings();
    PhaseDone("settings loaded");
    // When loading the game directory refreshed the users already, at once
    // before, a second refresh would find the same.
    if (usersListed_ == listed)
        UpdateUsers();
    PhaseDone("users listed");
    if (Checked(chkFadeWindow)) {
        SetAlphaBlend(true);
        SetAlphaBlendValue(0);
        EnableTimer(tmrFadeIn, true);
    } else {
        SetAlphaBlend(false);
        SetAlphaBlendValue(kOpaque);
    }
    SetText(lblAboutTitle, kAppTitle);
    // The version line is read from the executable when the credits page is built.
    ShowPage(TrelanPath.empty() ? tabSettings : tabUsers);
    PhaseDone("page chosen");
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

// The tab control lets the hit test pass to its parent where it has no tab:
// on the strip beyond the tabs and on its frame around the page. The window
// would take those points for its caption and the options page would not see
// the mouse there, so the page control answers for all of itself.
LRESULT CALLBACK TfrmMain::PageControlHitTest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR)
{
    const LRESULT hit = ::DefSubclassProc(hwnd, msg, wParam, lParam);
    return msg == WM_NCHITTEST && (hit == HTTRANSPARENT || hit == HTNOWHERE) ? HTCLIENT : hit;
}

// Read once: the font fallback measures the version line as well as the
// credits show it, and the executable's version does not change.
std::wstring TfrmMain::GetVersionString() const
{
    static const std::wstring version = FileVersionOf(ModuleFileName());
    return version;
}

void TfrmMain::ShowPage(Ctl page)
{
    // The focus must not stay on a hidden page; moving it lets the page notice.
    HWND focus = ::GetFocus();
    if (focus && page != activePage_ && ::IsChild(Window(activePage_), focus))
        ::SetFocus(Window(PageControl));
    BuildPage(page);
    activePage_ = page;
    TabCtrl_SetCurSel(Window(PageControl), TabIndex(page));
    for (int tab = 0; tab < kPageCount; ++tab)
        if (HWND shown = Window(PageAt(tab)))
            ::ShowWindow(shown, PageAt(tab) == page ? SW_SHOW : SW_HIDE);
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
        ::SetTimer(hwnd_, timer, timer == tmrUpdateUsers ? kRefreshDelayMs : kFadeIntervalMs, nullptr);
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

// A page not built yet keeps its controls' check marks and texts until it is.
bool TfrmMain::Checked(Ctl id) const
{
    HWND box = Window(id);
    return box ? Button_GetCheck(box) == BST_CHECKED : checks_[Index(id)];
}

void TfrmMain::SetChecked(Ctl id, bool checked)
{
    if (HWND box = Window(id))
        Button_SetCheck(box, checked ? BST_CHECKED : BST_UNCHECKED);
    else
        checks_[Index(id)] = checked;
}

OptionStates TfrmMain::OptionsChecked() const
{
    OptionStates states{};
    for (std::size_t i = 0; i < states.size(); ++i)
        states[i] = Checked(kOptionBoxes[i]);
    return states;
}

std::wstring TfrmMain::Text(Ctl id) const
{
    HWND control = Window(id);
    return control ? WindowText(control) : texts_[Index(id)];
}

void TfrmMain::SetText(Ctl id, std::wstring_view text)
{
    if (Text(id) == text)
        return;
    if (HWND control = Window(id)) {
        ::SetWindowTextW(control, std::wstring(text).c_str());
        return;
    }
    texts_[Index(id)] = text;
    // An edit's change handler runs when its text changes, built or not.
    if (ControlOf(id).kind == Edit)
        OnCommand(MAKEWPARAM(static_cast<WORD>(id), EN_CHANGE));
}

} // namespace trelgate
