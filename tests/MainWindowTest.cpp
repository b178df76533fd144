// What the end-to-end run cannot see of the real window: the frame, keys, fading, the option help and the launch's
// failures.
#include "WindowFixture.h"

#include "CommandLines.h"

#include <tuple>

using namespace std::literals;
using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

using MainWindow = UserPageTest;

// This test program carries no version information of its own, which the credits show.
TEST_F(MainWindow, TheKeysReachTheTabStripAndThePagesItsBodyDragsItAndItsCreditsShowNoVersion)
{
    Open(); // no game yet: the settings page
    EXPECT_EQ(Text(lblAboutVersion), L"Internal test release");
    for (Ctl next : {btnExit, PageControl, edtTrelanPath}) { // from Launch: the tab strip is a stop of its own
        Press(::GetFocus(), VK_TAB);
        EXPECT_EQ(::GetFocus(), Item(next));
    }
    // Alt+letter picks a page; Ctrl+Tab turns the pages and wraps, with Shift backwards.
    enum Keys { AltO, CtrlTab, CtrlShiftTab };
    for (const auto& [keys, page] : {std::pair(AltO, tabOptions), std::pair(CtrlTab, tabSettings),
                                     std::pair(CtrlTab, tabAbout), std::pair(CtrlTab, tabUsers),
                                     std::pair(CtrlShiftTab, tabAbout)}) {
        BYTE held[256]{};
        held[VK_CONTROL] = keys == AltO ? 0 : 0x80;
        held[VK_SHIFT] = keys == CtrlShiftTab ? 0x80 : 0;
        ::SetKeyboardState(held);
        MSG msg{::GetFocus(), keys == AltO ? UINT{WM_SYSCHAR} : UINT{WM_KEYDOWN}, keys == AltO ? L'o' : WPARAM{VK_TAB}};
        EXPECT_TRUE(form->PreTranslateMessage(msg));
        EXPECT_EQ(form->ActivePage(), page);
    }
    BYTE released[256]{};
    ::SetKeyboardState(released);
    // The page control answers for all of itself: the strip beyond its tabs and its frame around the page too.
    RECT lastTab;
    TabCtrl_GetItemRect(Item(PageControl), 3, &lastTab);
    ::MapWindowPoints(Item(PageControl), form->Handle(), reinterpret_cast<POINT*>(&lastTab), 2);
    const int beyondTabs = static_cast<int>(lastTab.right + kClientWidth - 2) / 2;
    const int tabMiddle = static_cast<int>(lastTab.top + lastTab.bottom) / 2;
    for (const auto& [x, y, hit] : {std::tuple(150, 40, HTCAPTION), std::tuple(0, 200, HTCAPTION), // logo, bevel
                                    std::tuple(150, 335, HTCAPTION), // between the buttons
                                    std::tuple(40, 335, HTCLIENT), std::tuple(150, 200, HTCLIENT), // button, page
                                    std::tuple(beyondTabs, tabMiddle, HTCLIENT), // the strip beyond the tabs
                                    std::tuple(3, 200, HTCLIENT), std::tuple(299, 200, HTCLIENT), // the frame's sides
                                    std::tuple(150, 318, HTCLIENT)}) { // and its bottom
        POINT p{x, y};
        ::ClientToScreen(form->Handle(), &p);
        EXPECT_EQ(::SendMessageW(::WindowFromPoint(p), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), hit) << x << "," << y;
    }
}

// The mouse goes where the system sends it: to the window under the pointer, past the labels, which let it through
// to the page. Over a box the help shows its option's, over the labels it stays, anywhere else it goes.
TEST_F(MainWindow, TheOptionHelpFollowsThePointerAndStaysOverTheLabels)
{
    Open();
    HWND tabs = Item(PageControl);
    TabCtrl_SetCurFocus(tabs, TabIndex(tabOptions)); // as a click on its tab
    ASSERT_EQ(form->ActivePage(), tabOptions);
    const auto help = [](Ctl box) { return std::wstring(kStartupOptions[OptionOf(box)].help); };
    const auto middle = [](HWND hwnd) {
        RECT r;
        ::GetClientRect(hwnd, &r);
        return std::pair(hwnd, POINT{r.right / 2, r.bottom / 2});
    };
    RECT tab; // the tab control answers for its strip and frame as for its tabs (the hit test above)
    TabCtrl_GetItemRect(tabs, 0, &tab);
    const struct {
        std::pair<HWND, POINT> spot; // a point in a window's client area
        std::wstring help;
        const char* over;
    } moves[] = {
        {middle(Item(chkSafeMode)), help(chkSafeMode), "its box"},
        {middle(Item(lblOptionHelp)), help(chkSafeMode), "the help"},
        {middle(Item(lblOptionInfo)), help(chkSafeMode), "the info below the boxes"},
        {{Item(tabOptions), {122, 70}}, L"", "the page's free area"},
        {middle(Item(chkDebugStart)), help(chkDebugStart), "another box"},
        {{tabs, {static_cast<int>(tab.left + tab.right) / 2, static_cast<int>(tab.top + tab.bottom) / 2}}, L"", "a tab"},
    };
    for (const auto& [spot, expected, over] : moves) {
        POINT p = spot.second;
        ::ClientToScreen(spot.first, &p);
        HWND under = ::WindowFromPoint(p);
        ::ScreenToClient(under, &p);
        ::SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(Text(lblOptionHelp), expected) << "over " << over;
    }
}

// The settings file decides the fade-in, the box as it stands at Exit the fade-out,
// from the level reached; any other close request closes at once.
TEST_F(MainWindow, FadesInByFivesAndOutByTwentiesWhenTheBoxIsTickedAtExit)
{
    Open();
    for (int i = 0; i < 51; ++i)
        ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrFadeIn, 0);
    EXPECT_EQ(std::pair(form->AlphaBlendValue(), form->TimerEnabled(TfrmMain::tmrFadeIn)), std::pair(255, true));
    ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrFadeIn, 0);
    EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn)) << "stops on the 52nd tick";
    for (const auto& [fromFile, atExit, byExit] : {std::tuple(false, true, true), std::tuple(true, false, true),
                                                   std::tuple(true, true, false), std::tuple(true, true, true)}) {
        SCOPED_TRACE(testing::Message() << fromFile << atExit << byExit);
        form.reset();
        closed = false;
        Open(fromFile);
        EXPECT_EQ(std::pair(form->AlphaBlendValue(), form->TimerEnabled(TfrmMain::tmrFadeIn)),
                  std::pair(fromFile ? 0 : 255, fromFile));
        for (int i = 0; i < 11; ++i)
            ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrFadeIn, 0);
        EXPECT_EQ(form->AlphaBlendValue(), fromFile ? 55 : 255);
        Button_SetCheck(Item(chkFadeWindow), atExit ? BST_CHECKED : BST_UNCHECKED);
        byExit ? Click(btnExit) : (void)::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        int ticks = 0;
        for (; !closed && ticks < 20; ++ticks) {
            EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn));
            ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrFadeOut, 0);
            EXPECT_TRUE(closed || form->AlphaBlendValue() == std::max((fromFile ? 55 : 255) - 20 * (ticks + 1), 0));
        }
        EXPECT_EQ(ticks, atExit && byExit ? (fromFile ? 4 : 14) : 0) << "closes on the tick after 0";
    }
}

// The game outlasts one slice of the wait and inherits the environment and the options from the settings file, their
// page never shown; the window comes back opaque, and only the refresh's tick lists the new user and puts the window
// back where it stood.
TEST_F(MainWindow, ALaunchWaitsForTheGameAndItsTickRefreshesAndMovesTheWindowBack)
{
    WriteBytes(game + L"\\Trelan.control.txt", "stay 4500\r\nwrite Newcomer\r\nexit\r\n");
    WriteBytes(Ini(), "[Settings]\r\nFadeWindow=1\r\nTrelanPath=" + Utf8FromWide(game) + "\r\n[Options]\r\nSafeMode=1\r\n");
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", L"inherited");
    Show();
    RECT before, after;
    ::GetWindowRect(form->Handle(), &before);
    Click(btnLaunch);
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", nullptr);
    EXPECT_EQ(ReadBytes(game + L"\\Trelan.record.txt"),
              "cmdline=" + Utf8FromWide(kCommandLines[3].line) + "\ncwd=" + Utf8FromWide(game) + "\nenv=inherited\n");
    EXPECT_NE(ReadBytes(Ini()).find("\r\nSafeMode=1\r\n"), std::string::npos) << "saved before the launch";
    EXPECT_EQ(std::tuple(::IsIconic(form->Handle()), form->AlphaBlendValue(), Text(cboUser)),
              std::tuple(FALSE, 255, L""s)) << "back, opaque, and no refresh before its tick";
    ::SetWindowPos(form->Handle(), nullptr, before.left + 40, before.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return !form->TimerEnabled(TfrmMain::tmrUpdateUsers); }, 5000));
    ::GetWindowRect(form->Handle(), &after);
    EXPECT_EQ(std::tuple(after.left, after.top, Text(cboUser)), std::tuple(before.left, before.top, L"Newcomer"s));
}

TEST_F(MainWindow, EachLaunchFailureShowsItsOwnBoxAndNothingFollows)
{
    enum Spoil { NoGameDirectory, GameGone, ReadOnlyIni };
    for (const auto& [spoil, box, minimisedAndSaved] :
         {std::tuple(NoGameDirectory, Box{L"Trelan path not set", L"Set the path to the Trelan directory first.", 48},
                     false),
          std::tuple(GameGone, Box{L"Error running Trelan", L"Unable to run Trelan. Please check the Settings tab to "
                                   L"see if the Trelan directory is set correctly.", 16}, true),
          std::tuple(ReadOnlyIni, Box{L"Trelan Launcher", L"In " + Ini() + L" kann nicht geschrieben werden.", 16},
                     false)}) {
        SCOPED_TRACE(spoil);
        OpenAt(spoil == NoGameDirectory ? L"" : game, L"");
        const std::string settings = ReadBytes(Ini());
        if (spoil == GameGone)
            ::DeleteFileW((game + L"\\Trelan.exe").c_str());
        if (spoil == ReadOnlyIni)
            Mark(Ini(), FILE_ATTRIBUTE_READONLY);
        bool minimised = false;
        seams.whileShown = [&](const Box&) { minimised = ::IsIconic(form->Handle()); };
        Click(btnLaunch);
        EXPECT_EQ(seams.boxes, std::vector{box});
        EXPECT_EQ(std::pair(minimised, ReadBytes(Ini()) != settings), std::pair(minimisedAndSaved, minimisedAndSaved));
        EXPECT_FALSE(::IsIconic(form->Handle()) || form->TimerEnabled(TfrmMain::tmrUpdateUsers)) << "no refresh";
    }
}
