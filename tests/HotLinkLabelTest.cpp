// The credits link in the real window, driven by the mouse messages the system would send it: the label's rules
// (LinkRulesTest) wired to them. Only the desktop's handling of the link is scripted.
#include "WindowFixture.h"
#include "ui/HLLabel.h"

using namespace trelgate;
using namespace trelgate::test;

using CreditsLink = WindowTest;

TEST_F(CreditsLink, TurnsHotUnderTheMouseAndOpensOnAReleaseOverItNotAfterADrag)
{
    Open(false);
    TabCtrl_SetCurFocus(Item(Ctl::PageControl), 3); // the credits, as a click on their tab
    const HWND hwnd = Item(Ctl::hllCorvane);
    ASSERT_NE(THotLinkLabel::FromHandle(hwnd), nullptr);
    THotLinkLabel& link = *THotLinkLabel::FromHandle(hwnd);
    link.SetLinkUnderlined(false); // so that the underline shows the mouse over it
    // The message, its keys and point; then the colour, the underline and how many links were opened.
    const std::tuple<UINT, WPARAM, int, int, TColor, bool, std::size_t> steps[] = {
        {WM_MOUSEMOVE, 0, 40, 6, clPurple, true, 0},
        {WM_MOUSELEAVE, 0, 0, 0, clBlue, false, 0},
        {WM_MOUSEMOVE, 0, 40, 6, clPurple, true, 0},
        {WM_LBUTTONDOWN, MK_LBUTTON, 40, 6, clPurple, true, 0}, // the press marks it visited, the release opens it
        {WM_MOUSELEAVE, 0, 0, 0, clPurple, true, 0},            // the one the capture brings is not the mouse's
        {WM_MOUSEMOVE, MK_LBUTTON, -20, 40, clNavy, false, 0},  // dragged away
        {WM_LBUTTONUP, 0, -20, 40, clNavy, false, 0},
        {WM_MOUSEMOVE, 0, 40, 6, clNavy, true, 0},
        {WM_LBUTTONUP, 0, 40, 6, clNavy, true, 0}, // no press of its own
        {WM_LBUTTONDOWN, MK_LBUTTON, 40, 6, clNavy, true, 0},
        {WM_LBUTTONUP, 0, 40, 6, clNavy, true, 1},
    };
    for (const auto& [message, keys, x, y, color, underlined, opened] : steps) {
        ::SendMessageW(hwnd, message, keys, MAKELPARAM(x, y));
        EXPECT_EQ(std::tuple(link.FontColor(), link.FontUnderline(), seams.links.size()),
                  std::tuple(color, underlined, opened)) << std::hex << message;
    }
    EXPECT_EQ(seams.links.at(0), L"https://corvane.example/");
}
