#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "WindowFixture.h"
#include "ui/HLLabel.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

// What the label painted: its text's colour and whether a line runs under it.
using Look = std::pair<COLORREF, bool>;

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
    const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    const UniqueBitmap bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    const SelectedObject selected(dc.get(), bitmap.get());
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
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

using CreditsLink = WindowTest;

} // namespace

// The real credits link in the real window, driven by the mouse messages the
// system would send it; only the desktop's handling of the link is scripted.
// Without LinkUnderlined, the underline shows the mouse over it.
TEST_F(CreditsLink, TurnsHotUnderTheMouseOpensOnAReleaseOverItAndIsNavyOnceVisited)
{
    Open(false);
    TabCtrl_SetCurFocus(Item(Ctl::PageControl), 3); // the credits, as a click on their tab
    const HWND hwnd = Item(Ctl::hllCorvane);
    THotLinkLabel::FromHandle(hwnd)->SetLinkUnderlined(false);
    const Look rest{clBlue, false}, hot{clPurple, true}, visited{clNavy, false}, visitedHot{clNavy, true};
    const struct {
        UINT message;
        WPARAM keys;
        int x, y;
        Look look;
        std::size_t opened;
    } steps[] = {
        {WM_MOUSEMOVE, 0, 40, 6, hot, 0},
        {WM_MOUSEMOVE, 0, 60, 8, hot, 0}, // no second entry: the leave restores the colour of before
        {WM_MOUSELEAVE, 0, 0, 0, rest, 0},
        {WM_MOUSEMOVE, 0, 40, 6, hot, 0},
        {WM_RBUTTONDOWN, MK_RBUTTON, 40, 6, hot, 0}, // any button marks it visited; the leave shows it
        {WM_RBUTTONUP, 0, 40, 6, hot, 0},
        {WM_MOUSELEAVE, 0, 0, 0, visited, 0},
        {WM_MOUSEMOVE, 0, 40, 6, visitedHot, 0},
        {WM_LBUTTONDOWN, MK_LBUTTON, 40, 6, visitedHot, 0},     // the release opens it, not the press
        {WM_MOUSELEAVE, 0, 0, 0, visitedHot, 0},                // the one the capture brings is not the mouse's
        {WM_MOUSEMOVE, MK_LBUTTON, -20, 40, visited, 0},        // dragged away
        {WM_LBUTTONUP, 0, -20, 40, visited, 0},
        {WM_LBUTTONUP, 0, 40, 6, visited, 0},                   // no press of its own
        {WM_MOUSEMOVE, 0, 40, 6, visitedHot, 0},
        {WM_LBUTTONDOWN, MK_LBUTTON, 40, 6, visitedHot, 0},
        {WM_LBUTTONUP, 0, 40, 6, visitedHot, 1},
    };
    for (const auto& s : steps) {
        ::SendMessageW(hwnd, s.message, s.keys, MAKELPARAM(s.x, s.y));
        EXPECT_EQ(PaintedLook(hwnd), s.look) << std::hex << s.message;
        EXPECT_EQ(seams.links.size(), s.opened) << std::hex << s.message;
    }
    EXPECT_EQ(seams.links.at(0), L"https://corvane.example/");
}
