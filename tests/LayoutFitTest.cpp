// Every text the window shows fits its control in the font in effect, and the
// four tabs stand in one row. scripts/test.sh runs this twice: with Wine's own
// fonts (the layout's face) and without them (the measured fallback).
#include <algorithm>
#include <iostream>
#include <map>

#include "WindowFixture.h"
#include "base/Text.h"
#include "base/Window.h"
#include "ui/FontFit.h"
#include "ui/FrameRules.h"

namespace trelgate::test {
namespace {

using namespace layout;

class LayoutFit : public WindowTest {
protected:
    // Turns to each page by a click on its tab and measures what it shows.
    void ExpectEveryPageFits(UINT dpi)
    {
        const WindowDc screen(nullptr);
        LOGFONTW font{};
        ::GetObjectW(GetWindowFont(Item(Ctl::btnLaunch)), sizeof font, &font);
        std::cout << "Font at " << dpi << " DPI: " << Utf8FromWide(font.lfFaceName) << ", " << -font.lfHeight << " px\n";
        if (SelectedFace(screen.get(), MakeFontSet(kLayoutFace, kFontHeight, dpi).normal.get()) == kLayoutFace) {
            EXPECT_EQ(font.lfFaceName, kLayoutFace) << "the layout's own face where the system has it";
            EXPECT_EQ(font.lfHeight, -Scale(kFontHeight, static_cast<int>(dpi)));
        }
        std::map<Kind, int> smallest;
        HWND tabs = Item(Ctl::PageControl);
        for (int page = 0; page < 4; ++page) {
            RECT tab;
            TabCtrl_GetItemRect(tabs, page, &tab);
            const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
            ::SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::SendMessageW(tabs, WM_LBUTTONUP, 0, at);
            ASSERT_EQ(Index(form->ActivePage()), Index(Ctl::tabUsers) + page);
            const auto expectFits = [&](const Control& c) {
                HWND hwnd = Item(c.id);
                const std::wstring text = TextOf(hwnd);
                if (c.kind == Tabs || c.kind == Page || c.kind == Edit || text.empty() || !::IsWindowVisible(hwnd))
                    return;
                RECT box;
                ::GetWindowRect(hwnd, &box);
                const TextFit fit = MeasureFit(screen.get(), GetWindowFont(hwnd), c.kind, text,
                                               {box.right - box.left, box.bottom - box.top}, dpi);
                EXPECT_GE(fit.Margin(), 0) << "\"" << Utf8FromWide(text) << "\" needs " << fit.need << " of " << fit.room;
                smallest.try_emplace(c.kind, fit.Margin());
                smallest[c.kind] = std::min(smallest[c.kind], fit.Margin());
            };
            for (const Control& c : kControls)
                expectFits(c);
            if (form->ActivePage() == Ctl::tabOptions)
                for (Ctl box : kOptionBoxes) { // each help text, as pointing at its box shows it
                    ::SendMessageW(Item(box), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
                    expectFits(*std::ranges::find(kControls, Ctl::lblOptionHelp, &Control::id));
                }
        }
        HWND arrows = ::FindWindowExW(tabs, nullptr, L"msctls_updown32", nullptr);
        EXPECT_FALSE(arrows && ::IsWindowVisible(arrows)) << "the tabs scroll";
        RECT client, first, last;
        ::GetClientRect(tabs, &client);
        TabCtrl_GetItemRect(tabs, 0, &first);
        TabCtrl_GetItemRect(tabs, 3, &last);
        smallest[Tabs] = client.right - (last.right + first.left); // the selected tab may spread on either side
        EXPECT_GE(smallest[Tabs], 0) << "the last tab runs out of the row";
        constexpr const char* kNames[] = {"tab row", "", "push button", "check box", "label", "word-wrapped label",
                                          "centred label", "", "", "", "panel", "link"};
        for (const auto& [kind, margin] : smallest)
            std::cout << "  smallest margin, " << kNames[static_cast<int>(kind)] << ": " << margin << " px\n";
    }
};

TEST_F(LayoutFit, EveryTextFitsAndTheTabsStandInOneRow)
{
    Open(false);
    ExpectEveryPageFits(USER_DEFAULT_SCREEN_DPI);
}

TEST_F(LayoutFit, SoAtOneAndAHalfTimesTheDpi)
{
    Open(false);
    RECT window;
    ::GetWindowRect(form->Handle(), &window);
    RECT suggested{window.left, window.top, window.left + 455, window.top + 524};
    ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ExpectEveryPageFits(144);
}

} // namespace
} // namespace trelgate::test
