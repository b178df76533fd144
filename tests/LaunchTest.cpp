// The launch, with the demo game as the game, and the options page's help.
#include "CommandLines.h"
#include "WindowFixture.h"

#include "base/Text.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

class Launch : public WindowTest {
protected:
    // A fresh launcher, fading in, over the game folder (or none) whose game does what control says.
    void OpenOn(const std::string& control, bool gameSet = true)
    {
        form.reset();
        seams.boxes.clear();
        WriteBytes(MakeGame(game) + L"\\Trelan.control.txt", control);
        WriteBytes(Ini(), "[Settings]\r\nFadeWindow=1\r\nTrelanPath=" + (gameSet ? Utf8FromWide(game) : ""));
        Create();
        Show();
    }
    const std::wstring game = folder / L"game", record = game + L"\\Trelan.record.txt";
};

} // namespace

TEST_F(Launch, TheGameGetsTheBoxesAsTheyStandAndTheWindowComesBackOpaqueMovesBackAndRefreshes)
{
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", L"inherited");
    OpenOn("stay 4500\r\n"); // the first game outlasts one slice of the wait
    RECT before, after;
    ::GetWindowRect(form->Handle(), &before);
    for (const auto& c : kCommandLines) {
        for (std::size_t i = 0; &c != kCommandLines && i < c.states.size(); ++i) // the first as the window shows them
            Button_SetCheck(Item(kOptionBoxes[i]), c.states[i] ? BST_CHECKED : BST_UNCHECKED);
        Click(btnLaunch);
        EXPECT_EQ(ReadBytes(record),
                  "cmdline=" + Utf8FromWide(c.line) + "\ncwd=" + Utf8FromWide(game) + "\nenv=inherited\n");
        WriteBytes(game + L"\\Trelan.control.txt", "write Newcomer\r\nexit\r\n");
    }
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", nullptr);
    EXPECT_FALSE(::IsIconic(form->Handle()));
    EXPECT_EQ(form->AlphaBlendValue(), 255);
    EXPECT_TRUE(form->TimerEnabled(TfrmMain::tmrFadeIn)) << "no message, so not one tick, while a game ran";
    EXPECT_EQ(ComboBox_GetCount(Item(cboUser)), 0) << "no refresh before its tick";
    ::SetWindowPos(form->Handle(), nullptr, before.left + 40, before.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return !form->TimerEnabled(TfrmMain::tmrUpdateUsers); }, 5000));
    ::GetWindowRect(form->Handle(), &after);
    EXPECT_EQ(std::pair(after.left, after.top), std::pair(before.left, before.top));
    EXPECT_EQ(Text(cboUser), L"Newcomer");
    EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn)) << "its next step found the window opaque";
    EXPECT_EQ(form->AlphaBlendValue(), 255);
    EXPECT_TRUE(seams.boxes.empty());
}

TEST_F(Launch, EachFailureShowsItsOwnBoxAndNothingFollows)
{
    enum Spoil { NoGameDirectory, GameGone, SettingsReadOnly };
    const struct {
        Spoil spoil;
        std::wstring box; // "title|text|flags"
        bool minimisedAndSaved;
    } cases[] = {
        {NoGameDirectory, L"Trelan path not set|Set the path to the Trelan directory first.|48", false},
        {GameGone, L"Error running Trelan|Unable to run Trelan. Please check the Settings tab to see if the Trelan "
                   L"directory is set correctly.|16", true},
        {SettingsReadOnly, L"Trelan Launcher|In " + Ini() + L" kann nicht geschrieben werden.|16", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spoil);
        OpenOn("exit\r\n", c.spoil != NoGameDirectory);
        const std::string settings = ReadBytes(Ini());
        if (c.spoil == GameGone)
            ::DeleteFileW((game + L"\\Trelan.exe").c_str());
        if (c.spoil == SettingsReadOnly)
            ::SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY);
        bool minimised = false;
        seams.whileShown = [&] { minimised = ::IsIconic(form->Handle()); };
        Click(chkSafeMode);
        Click(btnLaunch);
        EXPECT_EQ(Shown(), Boxes{c.box});
        EXPECT_EQ(minimised, c.minimisedAndSaved);
        EXPECT_EQ(ReadBytes(Ini()) != settings, c.minimisedAndSaved);
        EXPECT_FALSE(::IsIconic(form->Handle()) || form->TimerEnabled(TfrmMain::tmrUpdateUsers));
        EXPECT_FALSE(Exists(record)) << "no game ran";
    }
}

TEST_F(Launch, TheOptionsHelpFollowsTheMouseOverTheBoxesStaysOverTheLabelsAndGoesOverTheFreeArea)
{
    Open(false);
    MSG toOptions{form->Handle(), WM_SYSCHAR, L'o', 0};
    ASSERT_TRUE(form->PreTranslateMessage(toOptions));
    // Sent where the system sends it: to the window under the point.
    const auto helpAt = [this](POINT p) {
        HWND under = ::WindowFromPoint(p);
        ::ScreenToClient(under, &p);
        ::SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        return Text(lblOptionHelp);
    };
    RECT box, label;
    for (std::size_t i = 0; i < kStartupOptions.size(); ++i) {
        ::GetWindowRect(Item(kOptionBoxes[i]), &box);
        EXPECT_EQ(helpAt({box.left + 5, box.top + 5}), std::wstring(kStartupOptions[i].help));
    }
    ::GetWindowRect(Item(lblOptionHelp), &label);
    EXPECT_EQ(helpAt({label.left + 5, label.top + 5}), L"Prints debugging information during startup.")
        << "the labels let it be";
    EXPECT_EQ(helpAt({(box.right + label.left) / 2, box.top + 5}), L"") << "the page's free area";
}
