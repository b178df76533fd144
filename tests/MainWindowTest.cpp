// What the end-to-end run cannot see of the real window: the frame, keys, fading, the user manager page's states
// and failure boxes over real game folders, and the launch with the demo game as the game.
#include "CommandLines.h"
#include "WindowFixture.h"

#include <functional>
#include <tuple>
#include <utility>

#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace std::literals;
using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

class MainWindow : public UserPageTest {
protected:
    BYTE Alpha() const
    {
        BYTE alpha = 0;
        ::GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, nullptr);
        return alpha;
    }
    // The new backup's name, then whether the user box, the list, the edit and the four buttons are enabled.
    std::wstring Page() const
    {
        std::wstring page = Text(edtNewBackup) + L"|";
        for (Ctl id : {cboUser, lstBackups, edtNewBackup, btnNewBackup, btnRestore, btnDeleteBackups, btnDeleteUser})
            page += Enabled(id) ? L'1' : L'0';
        return page;
    }
    void Mouse(UINT message, int row, WPARAM keys = MK_LBUTTON)
    {
        RECT cell{LVIR_LABEL};
        ListView_GetItemRect(List(), row, &cell, LVIR_LABEL);
        ::SendMessageW(List(), message, keys, MAKELPARAM(cell.left + 2, cell.top + 2));
    }
};

} // namespace

TEST_F(MainWindow, IsABorderlessCentredFrameDraggedByItsBodyOnly)
{
    Open(); // no game yet: the settings page
    HWND hwnd = form->Handle();
    // From the launch button, where the focus starts: the tab strip is a stop of its own between Exit and the page.
    for (const auto& [held, to] : {std::pair(0, btnExit), std::pair(0, PageControl), std::pair(0, edtTrelanPath),
                                   std::pair(VK_SHIFT, PageControl), std::pair(VK_SHIFT, btnExit)}) {
        Press(::GetFocus(), VK_TAB, held);
        EXPECT_EQ(::GetFocus(), Item(to));
    }
    RECT client, window, work;
    ::GetClientRect(hwnd, &client);
    ::GetWindowRect(hwnd, &window);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(std::tuple(client.right, client.bottom, window.right - window.left, window.bottom - window.top),
              std::tuple(303, 349, 303, 349)) << "no caption, no border";
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1) << "centred";
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
    // The logo and the border bevel drag; a button and a page do not.
    for (const auto& [x, y, hit] : {std::tuple(150, 40, HTCAPTION), std::tuple(0, 200, HTCAPTION),
                                    std::tuple(40, 335, HTCLIENT), std::tuple(150, 200, HTCLIENT)}) {
        POINT p{x, y};
        ::ClientToScreen(hwnd, &p);
        EXPECT_EQ(::SendMessageW(::WindowFromPoint(p), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), hit) << x << "," << y;
    }
}

// The settings file decides the fade-in, the box as it stands at Exit the fade-out,
// from the level reached; any other close request closes at once.
TEST_F(MainWindow, FadesInByFivesAndOutByTwentiesWhenTheBoxIsTickedAtExit)
{
    for (const auto& [fromFile, atExit, byExit] : {std::tuple(false, true, true), std::tuple(true, false, true),
                                                   std::tuple(true, true, false), std::tuple(true, true, true)}) {
        SCOPED_TRACE(testing::Message() << fromFile << atExit << byExit);
        form.reset();
        closed = false;
        Open(fromFile);
        EXPECT_EQ(std::pair(form->AlphaBlendValue(), form->TimerEnabled(TfrmMain::tmrFadeIn)),
                  std::pair(fromFile ? 0 : 255, fromFile));
        Tick(TfrmMain::tmrFadeIn, 11);
        EXPECT_EQ(Alpha(), fromFile ? 55 : 0) << "not layered without fading";
        Button_SetCheck(Item(chkFadeWindow), atExit ? BST_CHECKED : BST_UNCHECKED);
        for (int click = 0; click < 2; ++click) // a second click changes nothing
            byExit ? Click(btnExit) : (void)::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        int ticks = 0;
        for (; !closed && ticks < 20; ++ticks) {
            EXPECT_FALSE(form->TimerEnabled(TfrmMain::tmrFadeIn));
            Tick(TfrmMain::tmrFadeOut);
            EXPECT_TRUE(closed || Alpha() == std::max((fromFile ? 55 : 255) - 20 * (ticks + 1), 0));
        }
        EXPECT_EQ(ticks, atExit && byExit ? (fromFile ? 4 : 14) : 0) << "closes on the tick after 0";
    }
}

TEST_F(MainWindow, TheOptionsHelpFollowsTheMouseOverTheBoxesStaysOverTheLabelsAndGoesOverTheFreeArea)
{
    Open(false);
    MSG toOptions{form->Handle(), WM_SYSCHAR, L'o', 0};
    ASSERT_TRUE(form->PreTranslateMessage(toOptions));
    const auto helpBeside = [this](Ctl id, int dx) { // sent where the system sends it: to the window under the point
        RECT r;
        ::GetWindowRect(Item(id), &r);
        POINT p{r.right + dx, r.top + 5};
        HWND under = ::WindowFromPoint(p);
        ::ScreenToClient(under, &p);
        ::SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        return Text(lblOptionHelp);
    };
    EXPECT_EQ(helpBeside(chkSafeMode, -5), kStartupOptions[2].help);
    EXPECT_EQ(helpBeside(lblOptionHelp, -5), kStartupOptions[2].help) << "the labels let it be";
    EXPECT_EQ(helpBeside(chkSafeMode, 5), L"") << "the page's free area";
}

// The game, outlasting one slice of the wait, inherits the environment; the
// window comes back opaque, and the refresh's tick puts it back where it stood.
TEST_F(MainWindow, ALaunchComesBackOpaqueAndItsTickMovesTheWindowBackAndRefreshes)
{
    WriteBytes(game + L"\\Trelan.control.txt", "stay 4500\r\nwrite Newcomer\r\nexit\r\n");
    WriteBytes(Ini(), "[Settings]\r\nFadeWindow=1\r\nTrelanPath=" + Utf8FromWide(game));
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", L"inherited");
    Create();
    Show();
    RECT before, after;
    ::GetWindowRect(form->Handle(), &before);
    Click(btnLaunch);
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", nullptr);
    EXPECT_EQ(ReadBytes(game + L"\\Trelan.record.txt"),
              "cmdline=" + Utf8FromWide(kCommandLines[0].line) + "\ncwd=" + Utf8FromWide(game) + "\nenv=inherited\n");
    EXPECT_EQ(std::tuple(::IsIconic(form->Handle()), form->AlphaBlendValue(), ComboBox_GetCount(Item(cboUser))),
              std::tuple(FALSE, 255, 0)) << "back, opaque, and no refresh before its tick";
    EXPECT_TRUE(form->TimerEnabled(TfrmMain::tmrFadeIn)) << "no message, so not one tick, while the game ran";
    ::SetWindowPos(form->Handle(), nullptr, before.left + 40, before.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return !form->TimerEnabled(TfrmMain::tmrUpdateUsers); }, 5000));
    ::GetWindowRect(form->Handle(), &after);
    EXPECT_EQ(std::tuple(after.left, after.top, Text(cboUser), form->TimerEnabled(TfrmMain::tmrFadeIn)),
              std::tuple(before.left, before.top, L"Newcomer"s, false)) << "the fade-in's next step found it opaque";
}

TEST_F(MainWindow, EachLaunchFailureShowsItsOwnBoxAndNothingFollows)
{
    enum Spoil { NoGameDirectory, GameGone, ReadOnlyIni };
    const std::wstring cannotRun = L"Error running Trelan|Unable to run Trelan. Please check the Settings tab to see "
                                   L"if the Trelan directory is set correctly.|16";
    for (const auto& [spoil, box, minimisedAndSaved] :
         {std::tuple(NoGameDirectory, L"Trelan path not set|Set the path to the Trelan directory first.|48"s, false),
          std::tuple(GameGone, cannotRun, true),
          std::tuple(ReadOnlyIni, L"Trelan Launcher|In " + Ini() + L" kann nicht geschrieben werden.|16", false)}) {
        SCOPED_TRACE(spoil);
        OpenAt(spoil == NoGameDirectory ? L"" : game, L"");
        const std::string settings = ReadBytes(Ini());
        if (spoil == GameGone)
            ::DeleteFileW((game + L"\\Trelan.exe").c_str());
        if (spoil == ReadOnlyIni)
            ::SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY);
        bool minimised = false;
        seams.whileShown = [&] { minimised = ::IsIconic(form->Handle()); };
        Click(btnLaunch);
        EXPECT_EQ(Shown(), Boxes{box});
        EXPECT_EQ(std::pair(minimised, ReadBytes(Ini()) != settings), std::pair(minimisedAndSaved, minimisedAndSaved));
        EXPECT_FALSE(::IsIconic(form->Handle()) || form->TimerEnabled(TfrmMain::tmrUpdateUsers)) << "no refresh";
    }
}

TEST_F(MainWindow, ChoosesTheRememberedUserOrTheFirstAndOffersWhatTheSelectionAllows)
{
    Save(L"Bob.usr");
    Save(L"Agent.usr");
    Save(L"Agent\\Alpha.bak");
    Save(L"Agent\\Beta.bak");
    OpenAt(folder / L"gone", L"Nobody"); // a stored directory that is gone: nothing to do, the panels as created
    EXPECT_EQ(std::tuple(form->ActivePage(), Text(pnlDate), Text(pnlTime), Page()),
              std::tuple(tabUsers, L"12/31/2003"s, L"23:59:59"s, L"|0000000"s));
    ::SetWindowTextW(Item(edtTrelanPath), game.c_str());
    EXPECT_EQ(Entries(), ListUsers(game));
    EXPECT_EQ(form->CurrentUser, L"Agent") << "the first, none matching";
    Type(edtNewBackup, L"typed");
    EXPECT_EQ(Page(), L"typed|1111001") << "nothing selected after a refresh";
    Select({0});
    EXPECT_EQ(Page(), L"Alpha|1111111") << "one row offers its name over a typed one";
    Mouse(WM_LBUTTONDOWN, 1);
    Mouse(WM_LBUTTONUP, 1, 0);
    EXPECT_EQ(Page(), L"Beta|1111111");
    // A shift-click over a range, which the list reports in a notification of its own.
    Mouse(WM_LBUTTONDOWN, 0, MK_LBUTTON | MK_SHIFT);
    Mouse(WM_LBUTTONUP, 0, MK_SHIFT);
    EXPECT_EQ(Page(), L"|1110011");
}

// Names that Win32 would resolve elsewhere: "" and ".." have no folder of their own, "Bob." is not "Bob".
// Answered No, delete user would take every file of the folder it took for the user's.
TEST_F(MainWindow, EveryUserWorksOnItsOwnFilesOnly)
{
    Save(L"Bob.usr");
    Save(L"Bob\\Bobs.bak");
    Save(L"Stray.bak"); // rows for the users folder
    WriteBytes(game + L"\\Stray.bak", "save"); // and for the game folder
    const std::wstring noFolder = L"Create Backup|Backup directory cannot be created!|16";
    for (const std::wstring user : {L"", L"..", L"Bob."}) {
        SCOPED_TRACE(testing::Message() << "user '" << user << "'");
        const bool own = user == L"Bob.";
        Save(user + L".usr");
        OpenOn(user, own ? std::deque{IDOK, IDNO} : std::deque{IDOK, IDOK, IDNO});
        NewBackup(L"NUL.bak");
        EXPECT_FALSE(own && Exists(At(user))) << "refused before the folder is made";
        NewBackup(L"x");
        EXPECT_EQ(Captions(), own ? Rows{L"x"} : Rows{});
        Click(btnDeleteUser);
        EXPECT_EQ(Shown(), (own ? Boxes{L"Create Backup|Backup cannot be created!|16", kKeepBackups}
                                : Boxes{noFolder, noFolder, kKeepBackups}));
        EXPECT_EQ(NamesIn(game + L"\\users"), (Names{L"Bob", L"Bob.usr", L"Stray.bak"})) << "only its own went";
        EXPECT_EQ(NamesIn(game), (Names{L"Stray.bak", L"Trelan.exe", L"users"}));
        EXPECT_EQ(NamesIn(At(L"Bob")), Names{L"Bobs.bak"});
    }
}

// F2, Escape, Enter, Delete and a double click on the list; each file that cannot go is reported, the others go.
TEST_F(MainWindow, TheListsKeysRenameRestoreAndDeleteAndEachFailureIsReported)
{
    Save(L"Agent.usr");
    Save(L"Agent\\Start.bak");
    Save(L"Agent\\Taken.bak", "taken", FILE_ATTRIBUTE_READONLY);
    Save(L"Agent\\Z.bak");
    Save(L"Agent\\notes.txt");
    OpenOn(L"Agent", {IDOK, IDNO, IDYES, IDOK, IDYES, IDNO});
    SetFileDate(At(L"Agent\\Start.bak"), EncodeDateTime({2026, 12, 5, 22, 15, 30})); // the row's time goes back
    Select({0});
    Rename(L"start", VK_ESCAPE);
    Rename(L"stream:x"); // refused by name: Wine would rename the file
    Rename(L"start"); // a change of case only
    EXPECT_EQ(NamesIn(At(L"Agent")), (Names{L"start.bak", L"Taken.bak", L"Z.bak", L"notes.txt"}));
    EXPECT_EQ(std::pair(Captions().at(0), Text(edtNewBackup)), std::pair(L"start"s, L"start"s)) << "no rebuild";
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, EncodeDateTime({2026, 11, 2, 18, 4, 12}));
    Press(List(), VK_RETURN);
    Select({1, 2}); // the read-only one second of three
    Press(List(), VK_DELETE);
    EXPECT_EQ(Captions(), Rows{L"Taken"});
    Select({0});
    Mouse(WM_LBUTTONDBLCLK, 0);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "taken");
    Click(btnDeleteUser);
    EXPECT_EQ(NamesIn(At(L"Agent")), Names{L"Taken.bak"});
    EXPECT_EQ(Page(), L"|1110000") << "listed by its folder, without a file to delete";
    const std::wstring r1 = L"Restore Backup|Do you really want to restore the backup '";
    EXPECT_EQ(Shown(), (Boxes{L"Rename Backup|Backup could not be renamed.|16", r1 + L"start'?|36",
                              L"Delete Backups|Do you really want to delete the selected backups?|36",
                              L"Delete Backups|The backup 'Taken' could not be deleted!|16", r1 + L"Taken'?|36",
                              kKeepBackups, L"Delete User|Unable to delete backup 'Taken.bak'!|16",
                              L"Delete User|The attempt to delete the backup directory failed.|48"}));
}

// Without backups the folder goes even when they are to be kept; a missing one is no failure.
TEST_F(MainWindow, DeleteUserLeavesNoEmptyFolderBehind)
{
    Save(L"Agent.usr");
    Save(L"Empty.usr");
    MakeFolder(At(L"Empty"));
    for (const wchar_t* user : {L"Empty", L"Agent"}) {
        OpenOn(user, {IDYES});
        Click(btnDeleteUser);
        EXPECT_EQ(Shown(), Boxes{kKeepBackups});
    }
    EXPECT_TRUE(NamesIn(game + L"\\users").empty());
}

// A box runs a message loop of its own, in which the refresh that follows a launch may tick and rebuild the
// list: the operation goes on with the rows the player chose.
TEST_F(MainWindow, ARefreshDuringABoxChangesNotTheRowsAnOperationWorksOn)
{
    Save(L"Agent.usr", "current");
    Save(L"Agent\\A.bak", "a");
    Save(L"Agent\\B.bak", "b", FILE_ATTRIBUTE_READONLY);
    Save(L"Agent\\C.bak", "c");
    OpenOn(L"Agent", {IDYES, IDOK, IDYES});
    std::function<void()> meanwhile = [&] { ::DeleteFileW(At(L"Agent\\A.bak").c_str()); };
    seams.whileShown = [&] {
        if (meanwhile)
            std::exchange(meanwhile, nullptr)();
        ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrUpdateUsers, 0);
    };
    Select({1, 2}); // B, which cannot go, and C
    Click(btnDeleteBackups);
    EXPECT_EQ(Captions(), Rows{L"B"});
    Select({0});
    meanwhile = [&] { Save(L"Agent\\0.bak", LocalTime(2020, 1, 1, 0, 0, 0)); }; // a row comes before B
    Click(btnRestore);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "b");
    EXPECT_EQ(Text(pnlDate) + L" " + Text(pnlTime), L"11/02/2026 18:04:12") << "B's time, not 0's";
    EXPECT_EQ(Shown(), (Boxes{L"Delete Backups|Do you really want to delete the selected backups?|36",
                              L"Delete Backups|The backup 'B' could not be deleted!|16",
                              L"Restore Backup|Do you really want to restore the backup 'B'?|36"}));
}
