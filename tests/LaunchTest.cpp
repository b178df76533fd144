// The launch, with the demo game as the game, and the options page's help.
#include "WindowFixture.h"

#include <thread>

#include "launch/Options.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

class Launch : public WindowTest {
protected:
    // The launcher over a game folder whose game does what control says.
    void OpenOn(const std::string& control, bool fading = false)
    {
        game = MakeGame(folder / L"game");
        WriteBytes(game + L"\\Trelan.control.txt", control);
        WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + Narrow(game) + "\r\nFadeWindow=" + (fading ? "1" : "0"));
        Create();
        Show();
        seams.whileShown = [this] { iconicAtBox = ::IsIconic(form->Handle()); };
    }
    // One line of what the game recorded at its start: "cmdline", "cwd" or "env".
    std::string Recorded(const std::string& key) const
    {
        const std::string record = ReadBytes(game + L"\\Trelan.record.txt");
        const std::size_t at = record.find(key + "="), from = at + key.size() + 1;
        return at == std::string::npos ? "<not started>" : record.substr(from, record.find('\n', at) - from);
    }
    bool Listed(const wchar_t* user) const { return ComboBox_FindStringExact(Item(cboUser), -1, user) != CB_ERR; }
    void ExpectOneBox(const std::wstring& text, const std::wstring& title, UINT flags, bool iconic)
    {
        ASSERT_EQ(seams.boxes.size(), 1u);
        EXPECT_EQ(seams.boxes[0].text, text);
        EXPECT_EQ(seams.boxes[0].title, title);
        EXPECT_EQ(seams.boxes[0].flags, flags);
        EXPECT_EQ(iconicAtBox, iconic) << "the window is minimised only once the settings are saved";
        EXPECT_FALSE(::IsIconic(form->Handle()));
    }
    std::wstring game;
    bool iconicAtBox = false;
};

} // namespace

TEST_F(Launch, TheGameGetsTheBoxesAsTheyStandAndTheLaunchersFolderAndEnvironment)
{
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", L"inherited");
    OpenOn("exit\r\n");
    OptionStates first, allOn, allOff{};
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = Checked(kOptionBoxes[i]), allOn[i] = true;
    OptionStates switched = first;
    switched[2] = true;
    for (const OptionStates& states : {first, allOn, allOff, switched}) {
        for (std::size_t i = 0; i < states.size(); ++i)
            Button_SetCheck(Item(kOptionBoxes[i]), states[i] ? BST_CHECKED : BST_UNCHECKED);
        Click(btnLaunch);
        EXPECT_EQ(Recorded("cmdline"), Narrow(BuildCommandLine(states)));
    }
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", nullptr);
    EXPECT_EQ(Recorded("cwd"), Narrow(game)) << "the folder the settings made current";
    EXPECT_EQ(Recorded("env"), "inherited");
    EXPECT_TRUE(seams.boxes.empty());
}

TEST_F(Launch, AGameThatEndsAtOnceBringsTheWindowBackThenMovesItBackAndRefreshesTheUsers)
{
    OpenOn("write Newcomer\r\nexit\r\n");
    RECT before, after;
    ::GetWindowRect(form->Handle(), &before);
    Click(btnLaunch);
    EXPECT_FALSE(::IsIconic(form->Handle()));
    EXPECT_FALSE(Listed(L"Newcomer")) << "not before the tick";
    ::SetWindowPos(form->Handle(), nullptr, before.left + 40, before.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return !form->TimerEnabled(TfrmMain::tmrUpdateUsers); }, 5000));
    ::GetWindowRect(form->Handle(), &after);
    EXPECT_EQ(std::pair(after.left, after.top), std::pair(before.left, before.top));
    EXPECT_TRUE(Listed(L"Newcomer"));
    EXPECT_TRUE(seams.boxes.empty());
}

TEST_F(Launch, DuringAFadeInTheWindowTurnsOpaqueAndNothingOfItRunsUntilTheGameHasEnded)
{
    OpenOn("stay 4500\r\nexit\r\n", true); // longer than one slice of the wait
    ASSERT_LT(form->AlphaBlendValue(), 255);
    HWND window = form->Handle();
    bool iconic = false, answered = true;
    std::thread probe([&] {
        for (int i = 0; i < 200 && !Exists(game + L"\\Trelan.record.txt"); ++i)
            ::Sleep(50);
        iconic = ::IsIconic(window);
        DWORD_PTR ignored = 0;
        answered = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) != 0;
    });
    Click(btnLaunch);
    probe.join();
    EXPECT_TRUE(iconic);
    EXPECT_FALSE(answered) << "no message is handled while the game runs";
    EXPECT_EQ(form->AlphaBlendValue(), 255);
    EXPECT_TRUE(form->TimerEnabled(TfrmMain::tmrFadeIn)) << "not one fade step ticked during the game";
    Tick(TfrmMain::tmrFadeIn);
    EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn));
    EXPECT_EQ(form->AlphaBlendValue(), 255);
}

TEST_F(Launch, AMissingGameIsReportedWhileMinimisedWithNoRefreshAndTheSettingsSaved)
{
    OpenOn("exit\r\n");
    ::DeleteFileW((game + L"\\Trelan.exe").c_str());
    Click(chkSafeMode);
    Click(btnLaunch);
    ExpectOneBox(L"Unable to run Trelan. Please check the Settings tab to see if the Trelan directory is set "
                 L"correctly.",
                 L"Error running Trelan", MB_OK | MB_ICONSTOP, true);
    EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrUpdateUsers));
    EXPECT_NE(ReadBytes(Ini()).find("SafeMode=1"), std::string::npos);
}

TEST_F(Launch, ASettingsFileThatCannotBeWrittenStopsTheLaunchBeforeTheGameStarts)
{
    OpenOn("exit\r\n");
    ASSERT_TRUE(::SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY));
    Click(btnLaunch);
    ExpectOneBox(L"In " + Ini() + L" kann nicht geschrieben werden.", L"Trelan Launcher", MB_OK | MB_ICONSTOP,
                 false);
    EXPECT_EQ(Recorded("cmdline"), "<not started>");
}

TEST_F(Launch, WithoutAGameDirectoryOnlyTheHintShowsAndNothingIsSaved)
{
    Create();
    Show();
    seams.whileShown = [this] { iconicAtBox = ::IsIconic(form->Handle()); };
    Click(btnLaunch);
    ExpectOneBox(L"Set the path to the Trelan directory first.", L"Trelan path not set", MB_OK | MB_ICONEXCLAMATION,
                 false);
    EXPECT_FALSE(Exists(Ini()));
}

TEST_F(Launch, TheOptionsHelpFollowsTheMouseOverTheBoxesStaysOverTheLabelsAndGoesOverTheRest)
{
    Open(false);
    MSG page{form->Handle(), WM_SYSCHAR, L'o', 0};
    ASSERT_TRUE(form->PreTranslateMessage(page));
    // As the system routes a move: to the window under the point.
    const auto moveOver = [](HWND hwnd, POINT at = {-1, -1}) {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        POINT p = at.x < 0 ? POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2} : at;
        HWND under = ::WindowFromPoint(p);
        ::ScreenToClient(under, &p);
        ::SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    };
    const wchar_t* help[] = {
        L"Disabling this option will run Trelan in a window. Note that this may not work with all graphics cards "
        L"because some older models do not properly display OpenGL in a window.",
        L"Disabling this option will disable the 'Slide-In'-effect for buttons and menu items. This is mainly "
        L"useful if the effect is slow and choppy on your system but may also be used to speed up game flow.",
        L"Runs Trelan in 'Safe Mode', meaning less performance but better compatibility, especially for older "
        L"graphics cards.",
        L"Enable this option only if the large world map is rendered erratically on your system (e.g. all white).",
        L"Renders a software mouse. Use this to correct problems with the mouse cursor.",
        L"You can disable the in-game music with this option.",
        L"Prints debugging information during startup.",
    };
    for (std::size_t i = 0; i < std::size(help); ++i) {
        moveOver(Item(kOptionBoxes[i]));
        EXPECT_EQ(Text(lblOptionHelp), help[i]);
    }
    moveOver(Item(lblOptionHelp));
    moveOver(Item(lblOptionInfo));
    EXPECT_EQ(Text(lblOptionHelp), help[6]) << "the labels change nothing";
    RECT box, label, tab;
    ::GetWindowRect(Item(chkSafeMode), &box);
    ::GetWindowRect(Item(lblOptionHelp), &label);
    moveOver(Item(tabOptions), {(box.right + label.left) / 2, box.top + 5});
    EXPECT_EQ(Text(lblOptionHelp), L"") << "the page's free area";
    moveOver(Item(chkSafeMode));
    TabCtrl_GetItemRect(Item(PageControl), 0, &tab);
    ::MapWindowPoints(Item(PageControl), HWND_DESKTOP, reinterpret_cast<POINT*>(&tab), 2);
    moveOver(Item(PageControl), {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    EXPECT_EQ(Text(lblOptionHelp), L"") << "the tab strip";
}
