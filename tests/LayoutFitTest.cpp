// Every text the window shows fits its control in the font in effect, and the four tabs stand in one row, at 96
// and at 144 DPI. scripts/test.sh runs this twice: with Wine's own fonts and without them (the measured fallback).
#include <algorithm>
#include <set>

#include "WindowFixture.h"
#include "base/Window.h"
#include "launch/Options.h"
#include "ui/FontRules.h"
#include "ui/FrameRules.h"

namespace trelgate::test {
namespace {

using namespace layout;

// How many pixels the text leaves over in its control: across for one line, down for a word-wrapped label. The
// insets are written out here, not taken from the window's own measuring, so that a wrong one there cannot pass
// here too: a button's edge and focus rectangle, a check box's 13-pixel mark and gap, a panel's sunken edge.
int Spare(HWND hwnd, Kind kind, std::wstring text, UINT dpi)
{
    const WindowDc dc(hwnd);
    const SelectedObject font(dc.get(), GetWindowFont(hwnd));
    RECT box;
    ::GetWindowRect(hwnd, &box);
    ::OffsetRect(&box, -box.left, -box.top);
    if (kind == WrapLabel) {
        RECT need{0, 0, box.right, 0};
        ::DrawTextW(dc.get(), text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return box.bottom - need.bottom;
    }
    if (kind == Button || kind == CheckBox || kind == Label) // "&x" shows as an underlined x
        std::erase(text, L'&');
    SIZE need{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &need);
    const int inset = kind == Button ? 8 : kind == CheckBox ? 17 : kind == SunkenPanel ? 2 : 0;
    return box.right - ::MulDiv(inset, static_cast<int>(dpi), 96) - need.cx;
}

class LayoutFit : public WindowTest {
protected:
    void ExpectEveryPageFits(UINT dpi)
    {
        LOGFONTW font{};
        ::GetObjectW(GetWindowFont(Item(Ctl::btnLaunch)), sizeof font, &font);
        const bool layoutFace = std::wstring_view(font.lfFaceName) == kLayoutFace; // or a fallback, measured
        EXPECT_TRUE(!layoutFace || font.lfHeight == -Scale(kFontHeight, static_cast<int>(dpi))) << font.lfHeight;
        HWND tabs = Item(Ctl::PageControl);
        std::set<Ctl> measured;
        for (int page = 0; page < 4; ++page) {
            TabCtrl_SetCurFocus(tabs, page); // as a click on its tab
            measured.insert(form->ActivePage());
            const auto expectFits = [&](const Control& c) {
                const HWND hwnd = Item(c.id);
                const std::wstring text = TextOf(hwnd);
                if (c.kind == Tabs || c.kind == Page || c.kind == Edit || text.empty() || !::IsWindowVisible(hwnd))
                    return;
                EXPECT_GE(Spare(hwnd, c.kind, text, dpi), 0) << '"' << Utf8FromWide(text) << "\" does not fit";
            };
            for (const Control& c : kControls)
                expectFits(c);
            if (form->ActivePage() == Ctl::tabOptions) // each help, as pointing at its box shows it
                for (std::size_t i = 0; i < std::size(kOptionBoxes); ++i) {
                    ::SendMessageW(Item(kOptionBoxes[i]), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
                    EXPECT_EQ(Text(Ctl::lblOptionHelp), kStartupOptions[i].help);
                    expectFits(*std::ranges::find(kControls, Ctl::lblOptionHelp, &Control::id));
                }
        }
        EXPECT_EQ(measured.size(), 4u);
        RECT client, first, last;
        ::GetClientRect(tabs, &client);
        TabCtrl_GetItemRect(tabs, 0, &first);
        TabCtrl_GetItemRect(tabs, 3, &last);
        EXPECT_GE(client.right - (last.right + first.left), 0) << "the tabs and the selected one's spread run out";
    }
};

TEST_F(LayoutFit, EveryTextFitsAndTheTabsStandInOneRowAlsoAtOneAndAHalfTimesTheDpi)
{
    Open(false);
    ExpectEveryPageFits(USER_DEFAULT_SCREEN_DPI);
    RECT suggested{0, 0, 455, 524}; // the window's size at 144 DPI
    ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ExpectEveryPageFits(144);
}

} // namespace
} // namespace trelgate::test
