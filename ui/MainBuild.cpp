// The main window built from its layout table: classes, controls, fonts,
// positions at the window's DPI, and the frame's own painting.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/AppError.h"
#include "base/PhaseTrace.h"
#include "base/Window.h"
#include "resources/ResourceIds.h"
#include "settings/PathRules.h"
#include "ui/AppTitle.h"
#include "ui/FrameRules.h"
#include "ui/HLLabel.h"

namespace trelgate {

using namespace layout;

namespace {

constexpr wchar_t kPageClass[] = L"TTabSheet";

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
                child | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_NOSORTHEADER |
                    LVS_OWNERDATA,
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

// Where a control stands in its parent, in 96-DPI pixels.
struct Place {
    int left, top, width, height;
};

Place PlaceOf(const Control& c)
{
    if (c.kind == Page)
        return {kPageLeft, kPageTop, c.width, c.height};
    return {c.left, c.top, WidthOf(c), c.kind == DropDownList ? kDropDownHeight : c.height};
}

} // namespace

TfrmMain::TfrmMain(std::wstring exePath) : LauncherDir(FolderOf(exePath))
{
    for (const Control& c : kControls) {
        if (c.kind != Page) // a page's caption is its tab's
            texts_[Index(c.id)] = c.caption;
        checks_[Index(c.id)] = c.checked;
    }
}

TfrmMain::~TfrmMain()
{
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

void TfrmMain::Create()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterClasses();
    // WS_SYSMENU and WS_MINIMIZEBOX give the taskbar entry its restore,
    // minimise and close commands; the window itself draws no caption.
    ::CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kClassName, L"",
                      WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, kClientWidth,
                      kClientHeight, nullptr, nullptr, instance, this);
    if (!hwnd_)
        throw AppError(L"The launcher window cannot be created");
    PhaseDone("window created");
    dpi_ = DpiOf(hwnd_);
    logo_.reset(static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    CreateControls();
    PhaseDone("controls: the page control, Launch and Exit");
    CreateFonts();
    PhaseDone("fonts chosen and set");
    // Every refresh fills the user manager page, and it is the page shown
    // whenever a game directory is known.
    BuildPage(tabUsers);
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
    PhaseDone("ShowWindow returned");
    ::UpdateWindow(hwnd_);
    PhaseDone("window painted");
    ::SetFocus(Item(btnLaunch));
    ::PostMessageW(hwnd_, kBuildNextPage, 0, 0);
}

HWND TfrmMain::Item(Ctl id)
{
    if (!Window(id))
        BuildPage(PageOf(id));
    return Window(id);
}

void TfrmMain::RegisterClasses() const
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW frame{sizeof frame};
    frame.lpfnWndProc = WndProc;
    frame.hInstance = instance;
    frame.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    frame.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    frame.lpszClassName = kClassName;
    ::RegisterClassExW(&frame);

    WNDCLASSEXW page{sizeof page};
    page.lpfnWndProc = PageProc;
    page.hInstance = instance;
    page.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    page.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    page.lpszClassName = kPageClass;
    ::RegisterClassExW(&page);
}

void TfrmMain::CreateControls()
{
    for (const Control& c : kControls)
        if (PageOf(c.id) == Form)
            CreateControl(c);
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW tab{TCIF_TEXT};
        std::wstring text(ControlOf(PageAt(i)).caption);
        tab.pszText = text.data();
        TabCtrl_InsertItem(Window(PageControl), i, &tab);
    }
    // All of the page control answers for itself, also where it has no tab,
    // and the mouse over it clears the options' help.
    ::SetWindowSubclass(Window(PageControl), PageControlHitTest, 0, 0);
    ::SetWindowSubclass(Window(PageControl), OptionsMouseProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void TfrmMain::CreateControl(const Control& c)
{
    const WindowKind kind = KindOf(c);
    HWND parent = c.parent == Form ? hwnd_ : Window(c.parent);
    // Made where it stands: a control moved after its creation costs a
    // second round of sizing and painting.
    const Place place = PlaceOf(c);
    HWND control = ::CreateWindowExW(kind.exStyle, kind.className, texts_[Index(c.id)].c_str(), kind.style,
                                     Px(place.left), Px(place.top), Px(place.width), Px(place.height), parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    controls_[Index(c.id)] = control;
    if (c.kind == Tabs)
        SetTabPadding(control);
    if (c.kind == CheckBox && checks_[Index(c.id)])
        Button_SetCheck(control, BST_CHECKED);
    if (fonts_.normal)
        SetWindowFont(control, fonts_.For(c.font), FALSE);
}

void TfrmMain::BuildPage(Ctl page)
{
    if (!hwnd_ || page == Form || Window(page))
        return;
    if (page == tabAbout) // read from the executable when first needed
        texts_[Index(lblAboutVersion)] = VersionLine(GetVersionString());
    for (const Control& c : kControls)
        if (PageOf(c.id) == page)
            CreateControl(c);
    // The pages stand in their tabs' order, as the dialog manager walks them.
    int tab = TabIndex(page) + 1;
    while (tab < kPageCount && !Window(PageAt(tab)))
        ++tab;
    if (tab < kPageCount) { // a later page stands before this one
        HWND after = HWND_TOP;
        for (int before = TabIndex(page) - 1; before >= 0 && after == HWND_TOP; --before)
            if (Window(PageAt(before)))
                after = Window(PageAt(before));
        ::SetWindowPos(Window(page), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    switch (page) {
    case tabUsers: {
        HWND list = Window(lstBackups);
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
        for (int i = 0; const Column& c : kBackupColumns) {
            std::wstring caption(c.caption);
            LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH};
            column.pszText = caption.data();
            column.cx = Px(c.width);
            ListView_InsertColumn(list, i++, &column);
        }
        PhaseDone("page built: User Manager");
        break;
    }
    case tabOptions:
        SubclassOptionsPage();
        PhaseDone("page built: Startup Options");
        break;
    case tabSettings:
        // Leaving the settings page is noticed where the focus leaves its controls.
        for (Ctl id : {edtTrelanPath, btnTrelanPathBrowse, chkFadeWindow})
            ::SetWindowSubclass(Window(id), SettingsControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
        PhaseDone("page built: Settings");
        break;
    case tabAbout:
        if (THotLinkLabel* link = THotLinkLabel::FromHandle(Window(hllCorvane)))
            SetUpMakerLink(*link);
        PhaseDone("page built: Credits");
        break;
    default: break;
    }
}

// Once the window is up, the pages not shown yet, one per message so that the
// player's input comes between them.
void TfrmMain::BuildNextPage()
{
    for (int tab = 0; tab < kPageCount; ++tab)
        if (!Window(PageAt(tab))) {
            BuildPage(PageAt(tab));
            ::PostMessageW(hwnd_, kBuildNextPage, 0, 0);
            return;
        }
}

void TfrmMain::CreateFonts()
{
    // A fallback is measured in the laid-out controls, with the texts the
    // window puts in later as well as the layout's own.
    fonts_ = ChooseFonts(dpi_, Window(PageControl), [this](const layout::Control& c) {
        if (c.id == lblAboutTitle)
            return std::wstring(kAppTitle);
        if (c.id == lblAboutVersion)
            return VersionLine(GetVersionString());
        if (c.id == lblOptionHelp) // the longest help wraps to the most lines
            return std::wstring(std::ranges::max(kStartupOptions, {}, [](const StartupOption& o) {
                                    return o.help.size();
                                }).help);
        return std::wstring(c.caption);
    });
    for (const Control& c : kControls)
        if (HWND control = Window(c.id))
            SetWindowFont(control, fonts_.For(c.font), FALSE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void TfrmMain::ApplyLayout()
{
    // A page not built yet is built at the DPI in effect then.
    SetTabPadding(Window(PageControl));
    for (const Control& c : kControls) {
        const Place place = PlaceOf(c);
        if (HWND control = Window(c.id))
            ::SetWindowPos(control, nullptr, Px(place.left), Px(place.top), Px(place.width), Px(place.height),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HWND list = Window(lstBackups))
        for (int i = 0; const Column& column : kBackupColumns)
            ListView_SetColumnWidth(list, i++, Px(column.width));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// Narrow tab padding leaves room in the one row of tabs for a face that stands
// in for MS Sans Serif; it must precede the font, which lays out the tabs.
void TfrmMain::SetTabPadding(HWND tabs) const { TabCtrl_SetPadding(tabs, Px(3), Px(3)); }

int TfrmMain::Px(int value) const { return Scale(value, static_cast<int>(dpi_)); }

LRESULT TfrmMain::OnPaint()
{
    const PaintDc dc(hwnd_);
    RECT border{0, 0, Px(kClientWidth), Px(kClientHeight)};
    ::DrawEdge(dc.get(), &border, BDR_RAISEDINNER, BF_RECT);
    RECT logoBorder{Px(kLogoFrameLeft), Px(kLogoFrameTop), Px(kLogoFrameLeft + kLogoFrameWidth),
                    Px(kLogoFrameTop + kLogoFrameHeight)};
    ::DrawEdge(dc.get(), &logoBorder, BDR_SUNKENOUTER, BF_RECT);
    if (logo_) {
        const UniqueMemoryDc source(::CreateCompatibleDC(dc.get()));
        const SelectedObject selected(source.get(), logo_.get());
        ::SetStretchBltMode(dc.get(), HALFTONE);
        ::StretchBlt(dc.get(), Px(kLogoLeft), Px(kLogoTop), Px(kLogoWidth), Px(kLogoHeight), source.get(), 0, 0,
                     kLogoWidth, kLogoHeight, SRCCOPY);
    }
    return 0;
}

LRESULT TfrmMain::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    dpi_ = dpi;
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The old fonts live until every control has the new ones.
    const FontSet oldFonts = std::move(fonts_);
    ApplyLayout();
    CreateFonts();
    return 0;
}

} // namespace trelgate
