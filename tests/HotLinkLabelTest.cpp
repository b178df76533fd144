#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "WindowFixture.h"
#include "ui/HLLabel.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

// What the label painted: its text's colour and whether a line runs under it.
using Look = std::pair<COLORREF, bool>;
const Look kBlue{clBlue, true}, kPurple{clPurple, true}, kNavy{clNavy, true};

// Renders the label into a bitmap. The background is its commonest colour and
// the text's the next; an underline is one unbroken run of the text's colour
// across most of the text's width.
Look PaintedLook(HWND hwnd)
{
    RECT client;
    ::GetClientRect(hwnd, &client);
    const int width = client.right, height = client.bottom;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB}};
    DWORD* bits = nullptr; // each pixel 0x00RRGGBB
    HDC dc = ::CreateCompatibleDC(nullptr);
    UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    ::SelectObject(dc, bitmap.get());
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::DeleteDC(dc);
    std::map<DWORD, int> counts;
    std::for_each(bits, bits + width * height, [&](DWORD p) { ++counts[p]; });
    const auto commonest = [&] { return std::ranges::max_element(counts, {}, [](auto& c) { return c.second; }); };
    counts.erase(commonest());
    const DWORD text = counts.empty() ? 0 : commonest()->first;
    int left = width, right = 0, longestRun = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0, run = 0; x < width; ++x)
            if (bits[y * width + x] != text)
                run = 0;
            else
                longestRun = std::max(longestRun, ++run), left = std::min(left, x), right = std::max(right, x);
    return {RGB(text >> 16 & 0xFF, text >> 8 & 0xFF, text & 0xFF), longestRun * 4 >= (right - left + 1) * 3};
}

// The real credits link in the real window, driven by the mouse messages the
// system would send it; only the desktop's handling of the link is scripted.
class CreditsLink : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        Open(false);
        TabCtrl_SetCurFocus(Item(Ctl::PageControl), 3); // the credits, as a click on their tab
        ASSERT_EQ(form->ActivePage(), Ctl::tabAbout);
        hwnd = Item(Ctl::hllCorvane);
        link = THotLinkLabel::FromHandle(hwnd);
        ASSERT_NE(link, nullptr);
    }

    void Mouse(UINT msg, WPARAM keys = 0, int x = 40, int y = 6) { ::SendMessageW(hwnd, msg, keys, MAKELPARAM(x, y)); }

    HWND hwnd = nullptr;
    THotLinkLabel* link = nullptr;
};

} // namespace

TEST_F(CreditsLink, IsBluePurpleWhenPointedAtOpensTheSiteOnReleaseAndIsNavyAfterwards)
{
    std::vector<std::wstring> events;
    link->OnMouseEnter = [&] { events.push_back(L"enter"); };
    link->OnMouseLeave = [&] { events.push_back(L"leave"); };
    link->OnClick = [&] { events.push_back(L"click after " + std::to_wstring(seams.links.size())); };
    EXPECT_EQ(PaintedLook(hwnd), kBlue);
    Mouse(WM_MOUSEMOVE);
    Mouse(WM_MOUSELEAVE);
    EXPECT_EQ(PaintedLook(hwnd), kBlue) << "not pressed: back to the colour it had";
    Mouse(WM_MOUSEMOVE);
    Mouse(WM_MOUSEMOVE, 0, 60, 8);
    EXPECT_EQ(PaintedLook(hwnd), kPurple);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_TRUE(seams.links.empty()) << "the release opens it, not the press";
    Mouse(WM_LBUTTONUP);
    EXPECT_EQ(seams.links, std::vector<std::wstring>{L"https://corvane.example/"});
    Mouse(WM_MOUSELEAVE);
    EXPECT_EQ(PaintedLook(hwnd), kNavy);
    Mouse(WM_MOUSEMOVE);
    EXPECT_EQ(PaintedLook(hwnd), kNavy) << "a visited link stays navy under the mouse";
    const std::vector<std::wstring> expected{L"enter", L"leave", L"enter", L"click after 1", L"leave", L"enter"};
    EXPECT_EQ(events, expected) << "moving on inside is no second entry";
}

TEST_F(CreditsLink, DraggedAwayWhilePressedTheReleaseOpensNothing)
{
    Mouse(WM_MOUSEMOVE);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON);
    Mouse(WM_MOUSELEAVE);
    EXPECT_EQ(PaintedLook(hwnd), kPurple) << "the leave that the capture brings is not the mouse's";
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, -20, 40);
    Mouse(WM_LBUTTONUP, 0, -20, 40);
    Mouse(WM_LBUTTONUP);
    EXPECT_TRUE(seams.links.empty()) << "neither a release outside nor one without its press is a click";
    EXPECT_EQ(PaintedLook(hwnd), kNavy) << "the captured mouse went out";
}

TEST_F(CreditsLink, ARightButtonPressMarksItVisitedAndShowsTheVisitedColourAfterTheLeave)
{
    link->SetVisitedColor(RGB(0, 128, 0));
    Mouse(WM_MOUSEMOVE);
    Mouse(WM_RBUTTONDOWN, MK_RBUTTON);
    Mouse(WM_RBUTTONUP);
    EXPECT_EQ(PaintedLook(hwnd), kPurple) << "the visited colour waits for the leave";
    Mouse(WM_MOUSELEAVE);
    EXPECT_EQ(PaintedLook(hwnd), (Look{RGB(0, 128, 0), true}));
    EXPECT_TRUE(seams.links.empty());
}
