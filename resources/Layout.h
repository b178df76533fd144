// The main window's controls in 96-DPI pixels, in creation order, which is
// also the keyboard tab order. Pure data: the window builds itself from it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "launch/Options.h"

namespace trelgate::layout {

// Control identifiers; they start above IDOK and IDCANCEL, which the dialog
// manager sends for Enter and Esc.
enum class Ctl : int {
    Form = 0,
    PageControl = 100,
    tabUsers, tabOptions, tabSettings, tabAbout,
    lblUser, cboUser, lblDate, pnlDate, lblTime, pnlTime, lblBackups, lstBackups,
    lblNew, edtNewBackup, btnNewBackup, btnRestore, btnDeleteBackups, btnDeleteUser,
    chkFullScreen, chkButtonAnimations, chkSafeMode, chkAltLargeMap, chkSoftwareMouse,
    chkMusicEnabled, chkDebugStart, lblOptionHelp, lblOptionInfo,
    lblTrelanPath, edtTrelanPath, btnTrelanPathBrowse, lblTrelanPathValid, chkFadeWindow, lblFadeWindowInfo,
    lblAboutTitle, lblAboutVersion, lblAboutCopyright, lblAboutInfo1, hllCorvane,
    btnLaunch, btnExit,
    End
};

inline constexpr int kFirstCtl = static_cast<int>(Ctl::PageControl);
inline constexpr int kCtlCount = static_cast<int>(Ctl::End) - kFirstCtl;
constexpr int Index(Ctl id) { return static_cast<int>(id) - kFirstCtl; }

enum class Kind {
    Tabs,         // the page control
    Page,         // one page over the page control's display area
    Button,
    CheckBox,
    Label,        // one line; sized to its text when the width is 0
    WrapLabel,    // word-wrapped
    CenterLabel,  // one line centred across its width
    Edit,
    DropDownList, // entries can be picked, not typed
    ReportList,   // the backup list
    SunkenPanel,  // centred text in a lowered box
    HotLink,      // the credits link
};

enum class Font { Normal, Bold, Title, Link };

struct Control {
    Ctl id;
    Ctl parent;
    Kind kind;
    int left, top, width, height;
    std::wstring_view caption;
    bool checked = false;
    Font font = Font::Normal;
};

inline constexpr int kClientWidth = 303;
inline constexpr int kClientHeight = 349;
inline constexpr int kLogoLeft = 2, kLogoTop = 2, kLogoWidth = 299, kLogoHeight = 74;
// The lowered box drawn around the logo.
inline constexpr int kLogoFrameLeft = 1, kLogoFrameTop = 1, kLogoFrameWidth = 301, kLogoFrameHeight = 76;
// A page's client area inside the page control.
inline constexpr int kPageLeft = 4, kPageTop = 24, kPageWidth = 291, kPageHeight = 214;
// The maker's web address, the credits link's target; the real one is not
// known yet. The caption shows it without scheme and slash, which would not fit.
inline constexpr std::wstring_view kMakerSite = L"https://corvane.example/";
inline constexpr std::wstring_view kMakerSiteCaption =
    kMakerSite.substr(kMakerSite.find(L"//") + 2, kMakerSite.size() - kMakerSite.find(L"//") - 3);

using enum Ctl;
using enum Kind;

// The pages: one id each from tabUsers on, in the order of their tabs.
inline constexpr int kPageCount = Index(tabAbout) - Index(tabUsers) + 1;
constexpr int TabIndex(Ctl page) { return Index(page) - Index(tabUsers); }
// The page at a tab; counting on past either end comes round to the other.
constexpr Ctl PageAt(int tab)
{
    return static_cast<Ctl>(static_cast<int>(tabUsers) + (tab % kPageCount + kPageCount) % kPageCount);
}

// The startup options' check boxes: one id each from chkFullScreen on, in the
// options' order (launch/Options.h), which gives each box its option.
constexpr std::size_t OptionOf(Ctl box) { return static_cast<std::size_t>(Index(box) - Index(chkFullScreen)); }
constexpr Ctl OptionBox(std::size_t option)
{
    return static_cast<Ctl>(static_cast<int>(chkFullScreen) + static_cast<int>(option));
}
static_assert(OptionBox(kStartupOptions.size() - 1) == chkDebugStart, "one check box for each startup option");

// An option's check box at its top on the page: caption and first state are the option's.
constexpr Control OptionRow(Ctl box, int top)
{
    const StartupOption& option = kStartupOptions[OptionOf(box)];
    return {box, tabOptions, CheckBox, 6, top, 109, 17, option.caption, option.fallback};
}

inline constexpr Control kControls[] = {
    {PageControl, Form, Tabs, 2, 78, 299, 242, {}},
    {tabUsers, PageControl, Page, 0, 0, kPageWidth, kPageHeight, L"User &Manager"},
    {tabOptions, PageControl, Page, 0, 0, kPageWidth, kPageHeight, L"Startup &Options"},
    {tabSettings, PageControl, Page, 0, 0, kPageWidth, kPageHeight, L"&Settings"},
    {tabAbout, PageControl, Page, 0, 0, kPageWidth, kPageHeight, L"Credits"},

    {lblUser, tabUsers, Label, 6, 6, 0, 13, L"&User:"},
    {cboUser, tabUsers, DropDownList, 6, 20, 151, 21, {}},
    {lblDate, tabUsers, Label, 162, 6, 0, 13, L"Date:"},
    {pnlDate, tabUsers, SunkenPanel, 162, 20, 67, 20, L"12/31/2003"},
    {lblTime, tabUsers, Label, 230, 6, 0, 13, L"Time:"},
    {pnlTime, tabUsers, SunkenPanel, 230, 20, 53, 20, L"23:59:59"},
    {lblBackups, tabUsers, Label, 6, 48, 0, 13, L"&Backups:"},
    {lstBackups, tabUsers, ReportList, 6, 62, 277, 93, {}},
    {lblNew, tabUsers, Label, 6, 159, 0, 13, L"&New:"},
    {edtNewBackup, tabUsers, Edit, 36, 156, 163, 21, {}},
    {btnNewBackup, tabUsers, Button, 200, 156, 83, 20, L"&Create Backup"},
    {btnRestore, tabUsers, Button, 6, 182, 63, 25, L"&Restore"},
    {btnDeleteBackups, tabUsers, Button, 72, 182, 137, 25, L"&Delete selected Backups"},
    {btnDeleteUser, tabUsers, Button, 212, 182, 71, 25, L"Dele&te User"},

    OptionRow(chkFullScreen, 6),
    OptionRow(chkButtonAnimations, 24),
    OptionRow(chkSafeMode, 42),
    OptionRow(chkAltLargeMap, 60),
    OptionRow(chkSoftwareMouse, 78),
    OptionRow(chkMusicEnabled, 96),
    OptionRow(chkDebugStart, 114),
    {lblOptionHelp, tabOptions, WrapLabel, 130, 6, 155, 123, {}},
    {lblOptionInfo, tabOptions, WrapLabel, 6, 140, 279, 67,
     L"Hover the mouse cursor over an option to view a short description. These options will always override "
     L"the corresponding settings made inside Trelan, so those will only be temporary. To set an option "
     L"permanently, you must do it here."},

    {lblTrelanPath, tabSettings, Label, 6, 6, 0, 13, L"Trelan game &directory:"},
    {edtTrelanPath, tabSettings, Edit, 6, 20, 225, 21, {}},
    {btnTrelanPathBrowse, tabSettings, Button, 234, 20, 49, 21, L"&Browse"},
    {lblTrelanPathValid, tabSettings, Label, 6, 48, 0, 13, L"Enter the path to Trelan or click on Browse."},
    {chkFadeWindow, tabSettings, CheckBox, 6, 91, 277, 17, L"Enable fade-in/out of launcher window", true},
    {lblFadeWindowInfo, tabSettings, WrapLabel, 24, 110, 259, 31,
     L"Note that fading is not supported on Windows 95, Windows 98, and Windows Me."},

    {lblAboutTitle, tabAbout, CenterLabel, 0, 46, 291, 24, {}, false, Font::Title},
    {lblAboutVersion, tabAbout, CenterLabel, 0, 72, 291, 13, {}, false, Font::Bold},
    {lblAboutCopyright, tabAbout, CenterLabel, 0, 96, 291, 13, L"Copyright \u00A9 2026 the Trelgate developers"},
    {lblAboutInfo1, tabAbout, CenterLabel, 0, 167, 291, 13, L"Trelan is a game by Corvane"},
    {hllCorvane, tabAbout, HotLink, 90, 182, 111, 13, kMakerSiteCaption, false, Font::Link},

    {btnLaunch, Form, Button, 2, 322, 89, 25, L"&Launch Trelan"},
    {btnExit, Form, Button, 212, 322, 89, 25, L"E&xit"},
};

// A control's row of the table.
constexpr const Control& ControlOf(Ctl id)
{
    for (const Control& c : kControls)
        if (c.id == id)
            return c;
    return kControls[0];
}

// The page a control stands on (a page stands on itself), or Form for the
// frame's own controls: the page control and the two buttons below it.
constexpr Ctl PageOf(Ctl id)
{
    const Control& c = ControlOf(id);
    return c.kind == Page ? c.id : c.parent == Form || c.parent == PageControl ? Form : c.parent;
}
static_assert(PageOf(chkDebugStart) == tabOptions && PageOf(tabAbout) == tabAbout && PageOf(btnExit) == Form);

// A drop-down list's window: its box and, below it, the room for its opened list.
inline constexpr int kDropDownHeight = 168;

// The backup list's columns.
struct Column {
    std::wstring_view caption;
    int width;
};
inline constexpr Column kBackupColumns[] = {{L"Backup Name", 121}, {L"Date", 75}, {L"Time", 60}};

// The width a control is given. A label sized to its text may run up to the
// next control in its line, or to the page's edge: whatever the font, its
// text shows whole, and the same as in a box of its text's width.
constexpr int WidthOf(const Control& c)
{
    if (c.width != 0)
        return c.width;
    int right = kPageWidth - 6;
    for (const Control& other : kControls)
        if (other.parent == c.parent && other.left > c.left && other.top < c.top + c.height &&
            c.top < other.top + other.height && other.left < right)
            right = other.left;
    return right - c.left;
}

// The page control's pages stand in the order of their tabs.
constexpr bool PagesInOrder()
{
    int tab = 0;
    for (const Control& c : kControls)
        if (c.kind == Page && (c.parent != PageControl || c.id != PageAt(tab++)))
            return false;
    return tab == kPageCount;
}
static_assert(PagesInOrder(), "the pages, one per tab, in the tabs' order");

// The startup options' check boxes, in the options' order.
inline constexpr auto kOptionBoxes = [] {
    std::array<Ctl, kStartupOptions.size()> boxes{};
    for (std::size_t option = 0; option < boxes.size(); ++option)
        boxes[option] = OptionBox(option);
    return boxes;
}();

// The boxes stand in the options' order down the page, which is also the tab
// order, and none is left out.
constexpr bool OptionRowsInOrder()
{
    std::size_t next = 0;
    int top = -1;
    for (const Control& c : kControls)
        if (c.parent == tabOptions && c.kind == CheckBox) {
            if (c.id != OptionBox(next) || c.top <= top)
                return false;
            ++next;
            top = c.top;
        }
    return next == kStartupOptions.size();
}
static_assert(OptionRowsInOrder(), "the option boxes in the options' order, down the page");

} // namespace trelgate::layout
