#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "TestSupport.h"
#include "ui/HLLabel.h"
#include "ui/Main.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

// What the label painted: its text's colour and whether a line runs under it.
struct Look {
    COLORREF colour;
    bool underlined;
    bool operator==(const Look&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Look& look)
{
    return out << "colour 0x" << std::hex << look.colour << std::dec << (look.underlined ? ", underlined" : "");
}

// Renders the label into a bitmap and reads its look from the pixels.
Look PaintedLook(HWND hwnd)
{
    RECT client;
    ::GetClientRect(hwnd, &client);
    const int width = client.right, height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const HGDIOBJ old = ::SelectObject(dc, bitmap.get());
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::GdiFlush();
    std::vector<COLORREF> pixels(static_cast<std::size_t>(width) * height);
    std::transform(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + pixels.size(), pixels.begin(),
                   [](DWORD p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); });
    ::SelectObject(dc, old);
    ::DeleteDC(dc);

    // The text's colour is the commonest one besides the background.
    std::map<COLORREF, int> counts;
    for (COLORREF c : pixels)
        if (c != ::GetSysColor(COLOR_BTNFACE))
            ++counts[c];
    if (counts.empty())
        return {CLR_INVALID, false};
    const COLORREF text = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                              return a.second < b.second;
                          })->first;
    // An underline is one unbroken run across most of the text's width.
    int left = width, right = 0, longestRun = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0, run = 0; x < width; ++x) {
            const bool inText = pixels[static_cast<std::size_t>(y) * width + x] == text;
            run = inText ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
            if (inText)
                left = std::min(left, x), right = std::max(right, x);
        }
    return {text, longestRun * 4 >= (right - left + 1) * 3};
}

LOGFONTW FontOf(HWND hwnd)
{
    LOGFONTW font{};
    ::GetObjectW(GetWindowFont(hwnd), sizeof font, &font);
    return font;
}

bool RepaintPending(HWND hwnd) { return ::GetUpdateRect(hwnd, nullptr, FALSE) != FALSE; }

// The real credits link in the real window, driven by the mouse messages the
// system would send it; only the desktop's handling of the link is scripted.
class CreditsLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        form = std::make_unique<TfrmMain>(folder / L"Trelgate.exe");
        form->Create();
        Button_SetCheck(form->Item(Ctl::chkFadeWindow), BST_UNCHECKED);
        form->Show();
        ShowCredits();
        hwnd = form->Item(Ctl::hllCorvane);
        link = THotLinkLabel::FromHandle(hwnd);
        ASSERT_NE(link, nullptr);
    }

    void ShowCredits()
    {
        HWND tabs = form->Item(Ctl::PageControl);
        RECT credits;
        TabCtrl_GetItemRect(tabs, 3, &credits);
        const LPARAM at = MAKELPARAM((credits.left + credits.right) / 2, (credits.top + credits.bottom) / 2);
        ::SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(tabs, WM_LBUTTONUP, 0, at);
        ASSERT_EQ(form->ActivePage(), Ctl::tabAbout);
    }

    void Mouse(UINT msg, WPARAM keys = 0, int x = 40, int y = 6)
    {
        ::SendMessageW(hwnd, msg, keys, MAKELPARAM(x, y));
    }
    void Enter() { Mouse(WM_MOUSEMOVE); }
    void Leave() { Mouse(WM_MOUSELEAVE, 0, 0, 0); }
    void LeftClick()
    {
        Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
        Mouse(WM_LBUTTONUP);
    }

    // Records the events with the number of links opened when each was raised.
    void RecordEvents()
    {
        link->OnMouseEnter = [this] { events.push_back(L"enter"); };
        link->OnMouseLeave = [this] { events.push_back(L"leave"); };
        link->OnMouseDown = [this](TMouseButton) { events.push_back(L"down"); };
        link->OnClick = [this] { events.push_back(L"click after " + std::to_wstring(seams.links.size())); };
    }

    TempDir folder;
    ScriptedSeams seams;
    std::unique_ptr<TfrmMain> form;
    HWND hwnd = nullptr;
    THotLinkLabel* link = nullptr;
    std::vector<std::wstring> events;
};

const Look kBlue{clBlue, true}, kPurple{clPurple, true}, kNavy{clNavy, true};

} // namespace

TEST_F(CreditsLink, IsALabelOfItsOwnSetUpAsTheMakersLink)
{
    wchar_t name[32];
    ::GetClassNameW(hwnd, name, 32);
    EXPECT_STREQ(name, L"THotLinkLabel");
    EXPECT_EQ(THotLinkLabel::FromHandle(form->Item(Ctl::lblAboutInfo1)), nullptr);
    EXPECT_EQ(TextOf(hwnd), L"corvane.example");
    EXPECT_EQ(link->ComposeURL(), L"https://corvane.example/");
    EXPECT_EQ(link->HotLinkColor(), clPurple);
    EXPECT_EQ(link->VisitedColor(), clNavy);
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    const LOGFONTW font = FontOf(hwnd);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(PaintedLook(hwnd), kBlue);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(hwnd, GCLP_HCURSOR)), ::LoadCursorW(nullptr, IDC_ARROW))
        << "the cursor is not changed over the link";
}

TEST_F(CreditsLink, TurnsPurpleWhenPointedAtOpensTheSiteAndIsNavyAfterwards)
{
    RecordEvents();
    Enter();
    Leave();
    EXPECT_EQ(PaintedLook(hwnd), kBlue) << "not pressed: back to the colour saved on entering";
    ::ValidateRect(hwnd, nullptr);
    Enter();
    EXPECT_EQ(PaintedLook(hwnd), kPurple);
    EXPECT_TRUE(RepaintPending(hwnd)) << "the colour change repaints";
    Mouse(WM_MOUSEMOVE, 0, 60, 8);
    EXPECT_EQ(link->SavedColor(), clBlue) << "moving on inside is no second entry";

    Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_TRUE(link->Visited());
    EXPECT_EQ(::GetCapture(), hwnd);
    EXPECT_EQ(PaintedLook(hwnd), kPurple) << "pressed during this visit";
    EXPECT_TRUE(seams.links.empty()) << "the release opens it, not the press";
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(seams.links, std::vector<std::wstring>{L"https://corvane.example/"});
    EXPECT_EQ(::GetCapture(), nullptr);

    Leave();
    EXPECT_EQ(PaintedLook(hwnd), kNavy);
    Enter();
    EXPECT_EQ(PaintedLook(hwnd), kNavy) << "a visited link stays navy under the mouse";
    Leave();
    EXPECT_EQ(PaintedLook(hwnd), kNavy);
    const std::vector<std::wstring> expected{L"enter", L"leave", L"enter", L"down",
                                             L"click after 1", L"leave", L"enter", L"leave"};
    EXPECT_EQ(events, expected);
}

TEST_F(CreditsLink, DraggedAwayWhilePressedItLeavesAndTheReleaseOpensNothing)
{
    RecordEvents();
    Enter();
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
    Leave();
    EXPECT_EQ(PaintedLook(hwnd), kPurple) << "the leave that the capture brings is not the mouse's";
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, -20, 40);
    EXPECT_EQ(PaintedLook(hwnd), kNavy) << "the captured mouse is outside";
    Mouse(WM_LBUTTONUP, 0, -20, 40);
    EXPECT_TRUE(seams.links.empty());
    EXPECT_EQ(::GetCapture(), nullptr);
    Mouse(WM_LBUTTONUP);
    EXPECT_TRUE(seams.links.empty()) << "a release without its press is no click";
    const std::vector<std::wstring> expected{L"enter", L"down", L"leave"};
    EXPECT_EQ(events, expected);
}

TEST_F(CreditsLink, ARightButtonPressMarksItVisitedWithoutOpening)
{
    Enter();
    Mouse(WM_RBUTTONDOWN, MK_RBUTTON);
    Mouse(WM_RBUTTONUP);
    EXPECT_TRUE(link->Visited());
    EXPECT_TRUE(seams.links.empty());
    EXPECT_EQ(PaintedLook(hwnd), kPurple);
    Leave();
    EXPECT_EQ(PaintedLook(hwnd), kNavy);
}

TEST_F(CreditsLink, TheWindowTextIsTheCaptionAndFollowsASynchronisedLink)
{
    ::SetWindowTextW(hwnd, L"Corvane");
    EXPECT_EQ(link->Caption(), L"Corvane");
    link->SetSynchronize(true);
    link->SetURLType(TUrlType::utMail);
    link->SetURL(L"info@corvane.example");
    link->SetMailSubject(L"Trelan");
    EXPECT_EQ(TextOf(hwnd), L"mailto:info@corvane.example");
    LeftClick();
    EXPECT_EQ(seams.links, std::vector<std::wstring>{L"mailto:info@corvane.example?Subject=Trelan"});
}

TEST_F(CreditsLink, SettingWhatItAlreadyHasDoesNotRepaintIt)
{
    ::ValidateRect(hwnd, nullptr);
    link->SetLinkUnderlined(true);
    link->SetURL(L"https://corvane.example/");
    link->SetFontColor(clBlue);
    link->SetFontUnderline(true);
    EXPECT_FALSE(RepaintPending(hwnd));
    link->SetFontColor(clNavy);
    EXPECT_TRUE(RepaintPending(hwnd)) << "a font change repaints";
}

TEST_F(CreditsLink, KeepsItsOwnUnderlinedFontWhenTheDpiChanges)
{
    RECT window;
    ::GetWindowRect(form->Handle(), &window);
    RECT suggested{window.left, window.top, window.left + 455, window.top + 524};
    ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT place;
    ::GetWindowRect(hwnd, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 135);
    EXPECT_EQ(place.top, 273);
    EXPECT_EQ(place.right - place.left, 167);
    LOGFONTW font = FontOf(hwnd);
    EXPECT_EQ(font.lfHeight, -17);
    EXPECT_TRUE(font.lfUnderline);
    Enter();
    EXPECT_EQ(PaintedLook(hwnd), kPurple);
    link->SetLinkUnderlined(false);
    Leave();
    font = FontOf(hwnd);
    EXPECT_EQ(font.lfHeight, -17);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(PaintedLook(hwnd), (Look{clBlue, false}));
}

// A label made on its own, as any window would make one.
TEST(HotLinkLabel, ANewLabelIsAnUnderlinedLinkToNothing)
{
    ScriptedSeams seams;
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 40, nullptr, nullptr, nullptr, nullptr);
    HWND hwnd = ::CreateWindowExW(0, THotLinkLabel::ClassName(), L"Link", WS_CHILD | WS_VISIBLE, 0, 0, 120, 20,
                                  parent, nullptr, nullptr, nullptr);
    THotLinkLabel* link = THotLinkLabel::FromHandle(hwnd);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Caption(), L"Link");
    EXPECT_TRUE(FontOf(hwnd).lfUnderline);
    EXPECT_EQ(link->FontColor(), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(link->URLType(), TUrlType::utCustom);
    int clicks = 0;
    link->OnClick = [&] { ++clicks; };
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(PaintedLook(hwnd), (Look{clBlue, true}));
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(seams.links.empty());
    ::SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(PaintedLook(hwnd), (Look{clNavy, true}));

    std::vector<TMouseButton> pressed;
    link->OnMouseDown = [&](TMouseButton b) { pressed.push_back(b); };
    ::SendMessageW(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, 0);
    ::SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    const std::vector<TMouseButton> expected{TMouseButton::mbMiddle, TMouseButton::mbRight};
    EXPECT_EQ(pressed, expected) << "every button is a press";
    ::DestroyWindow(parent);
    EXPECT_FALSE(::IsWindow(hwnd));
}

