// What the end-to-end run cannot see of the real window: the frame, keys, fading, the option help, the user manager
// page's states and its failure boxes over real game folders, and the launch's failures.
#include "WindowFixture.h"

#include "CommandLines.h"

#include <ostream>
#include <set>
#include <tuple>

using namespace std::literals;
using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace trelgate::layout {

// The user manager's controls by name in a failure's message.
void PrintTo(Ctl id, std::ostream* out)
{
    switch (id) {
    case cboUser: *out << "cboUser"; break;
    case lstBackups: *out << "lstBackups"; break;
    case edtNewBackup: *out << "edtNewBackup"; break;
    case btnNewBackup: *out << "btnNewBackup"; break;
    case btnRestore: *out << "btnRestore"; break;
    case btnDeleteBackups: *out << "btnDeleteBackups"; break;
    case btnDeleteUser: *out << "btnDeleteUser"; break;
    default: *out << static_cast<int>(id);
    }
}

} // namespace trelgate::layout

namespace {

// The user manager's enabled controls. The user box, the list and the edit are whenever the game lists a user; the
// buttons follow the name typed, the rows chosen and the user's file.
using Enabled = std::set<Ctl>;
Enabled BoxesAnd(std::initializer_list<Ctl> buttons)
{
    Enabled enabled{cboUser, lstBackups, edtNewBackup};
    enabled.insert(buttons);
    return enabled;
}
const Enabled kNameTypedNoRow = BoxesAnd({btnNewBackup, btnDeleteUser});
const Enabled kOneRow = BoxesAnd({btnNewBackup, btnRestore, btnDeleteBackups, btnDeleteUser});
const Enabled kSeveralRows = BoxesAnd({btnDeleteBackups, btnDeleteUser}); // and no name offered
const Enabled kNoUserFile = BoxesAnd({});

class MainWindow : public UserPageTest {
protected:
    // The new backup's name and the page's enabled controls.
    std::pair<std::wstring, Enabled> Page() const
    {
        Enabled enabled;
        for (Ctl id : {cboUser, lstBackups, edtNewBackup, btnNewBackup, btnRestore, btnDeleteBackups, btnDeleteUser})
            if (::IsWindowEnabled(Item(id)))
                enabled.insert(id);
        return {Text(edtNewBackup), enabled};
    }
    void Mouse(UINT message, int row, WPARAM keys = MK_LBUTTON)
    {
        RECT cell{LVIR_LABEL};
        ListView_GetItemRect(List(), row, &cell, LVIR_LABEL);
        ::SendMessageW(List(), message, keys, MAKELPARAM(cell.left + 2, cell.top + 2));
    }
};

} // namespace

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
    RECT firstTab, lastTab;
    TabCtrl_GetItemRect(tabs, 0, &firstTab);
    TabCtrl_GetItemRect(tabs, 3, &lastTab);
    RECT frame;
    ::GetClientRect(tabs, &frame);
    const int tabMiddle = static_cast<int>(firstTab.top + firstTab.bottom) / 2;
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
        {{tabs, {static_cast<int>(firstTab.left + firstTab.right) / 2, tabMiddle}}, L"", "a tab"},
        {middle(Item(chkFullScreen)), help(chkFullScreen), "the first box"},
        {{tabs, {static_cast<int>(lastTab.right + frame.right) / 2, tabMiddle}}, L"", "the strip beyond the tabs"},
        {middle(Item(chkMusicEnabled)), help(chkMusicEnabled), "a box again"},
        {{tabs, {frame.right / 2, frame.bottom - 2}}, L"", "the frame below the page"},
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

// The game outlasts one slice of the wait and inherits the environment; the window comes back opaque, and only
// the refresh's tick lists the new user and puts the window back where it stood.
TEST_F(MainWindow, ALaunchWaitsForTheGameAndItsTickRefreshesAndMovesTheWindowBack)
{
    WriteBytes(game + L"\\Trelan.control.txt", "stay 4500\r\nwrite Newcomer\r\nexit\r\n");
    WriteBytes(Ini(), "[Settings]\r\nFadeWindow=1\r\nTrelanPath=" + Utf8FromWide(game));
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", L"inherited");
    Show();
    RECT before, after;
    ::GetWindowRect(form->Handle(), &before);
    Click(btnLaunch);
    ::SetEnvironmentVariableW(L"TRELAN_DEMO_PROBE", nullptr);
    EXPECT_EQ(ReadBytes(game + L"\\Trelan.record.txt"),
              "cmdline=" + Utf8FromWide(kCommandLines[0].line) + "\ncwd=" + Utf8FromWide(game) + "\nenv=inherited\n");
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
         {std::tuple(NoGameDirectory, L"Trelan path not set|Set the path to the Trelan directory first.|48"s, false),
          std::tuple(GameGone, L"Error running Trelan|Unable to run Trelan. Please check the Settings tab to see if "
                               L"the Trelan directory is set correctly.|16"s, true),
          std::tuple(ReadOnlyIni, L"Trelan Launcher|In " + Ini() + L" kann nicht geschrieben werden.|16", false)}) {
        SCOPED_TRACE(spoil);
        OpenAt(spoil == NoGameDirectory ? L"" : game, L"");
        const std::string settings = ReadBytes(Ini());
        if (spoil == GameGone)
            ::DeleteFileW((game + L"\\Trelan.exe").c_str());
        if (spoil == ReadOnlyIni)
            Mark(Ini(), FILE_ATTRIBUTE_READONLY);
        bool minimised = false;
        seams.whileShown = [&] { minimised = ::IsIconic(form->Handle()); };
        Click(btnLaunch);
        EXPECT_EQ(Shown(), Boxes{box});
        EXPECT_EQ(std::pair(minimised, ReadBytes(Ini()) != settings), std::pair(minimisedAndSaved, minimisedAndSaved));
        EXPECT_FALSE(::IsIconic(form->Handle()) || form->TimerEnabled(TfrmMain::tmrUpdateUsers)) << "no refresh";
    }
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

// Clicks, F2, Enter, Delete and a double click on the list: each selection offers what it allows, each
// operation works on the rows chosen; a user whose backup cannot go keeps its folder.
TEST_F(MainWindow, TheListsClicksAndKeysChooseRowsAndRunTheirOperations)
{
    Save(L"Agent.usr");
    Save(L"Agent\\Start.bak");
    Save(L"Agent\\Taken.bak", "taken", FILE_ATTRIBUTE_READONLY);
    // Answered in turn: the refused name's box, No to restoring start (Enter), Yes to the delete, Yes to restoring
    // Taken (double click), No to keeping the backups.
    OpenAt(game, L"Nobody", {IDOK, IDNO, IDYES, IDYES, IDNO});
    ASSERT_EQ(form->CurrentUser, L"Agent") << "the first, none matching";
    ::SetWindowTextW(Item(edtNewBackup), L"typed");
    EXPECT_EQ(Page(), std::pair(L"typed"s, kNameTypedNoRow)) << "nothing selected";
    Mouse(WM_LBUTTONDOWN, 1);
    Mouse(WM_LBUTTONUP, 1, 0);
    EXPECT_EQ(Page(), std::pair(L"Taken"s, kOneRow)) << "one row offers its name over a typed one";
    Mouse(WM_LBUTTONDOWN, 0, MK_LBUTTON | MK_SHIFT); // a range, which the list reports in a notification of its own
    Mouse(WM_LBUTTONUP, 0, MK_SHIFT);
    EXPECT_EQ(Page(), std::pair(L""s, kSeveralRows));
    Mouse(WM_LBUTTONDOWN, 0);
    Mouse(WM_LBUTTONUP, 0, 0);
    Rename(L"stream:x"); // refused by name: Wine would rename the file
    Rename(L"start"); // a change of case only
    EXPECT_EQ(NamesIn(At(L"Agent")), (Names{L"start.bak", L"Taken.bak"}));
    EXPECT_EQ(std::pair(Captions().at(0), Text(edtNewBackup)), std::pair(L"start"s, L"start"s)) << "no rebuild";
    Press(List(), VK_RETURN);
    Press(List(), VK_DELETE);
    EXPECT_EQ(Captions(), Rows{L"Taken"});
    Select({0});
    Mouse(WM_LBUTTONDBLCLK, 0);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "taken");
    Click(btnDeleteUser);
    EXPECT_EQ(NamesIn(At(L"Agent")), Names{L"Taken.bak"});
    EXPECT_EQ(Page(), std::pair(L""s, kNoUserFile)) << "listed by its folder, without a file to delete";
    const std::wstring r1 = L"Restore Backup|Do you really want to restore the backup '";
    EXPECT_EQ(Shown(), (Boxes{L"Rename Backup|Backup could not be renamed.|16", r1 + L"start'?|36",
                              L"Delete Backups|Do you really want to delete the selected backups?|36",
                              r1 + L"Taken'?|36", kKeepBackups, L"Delete User|Unable to delete backup 'Taken.bak'!|16",
                              L"Delete User|The attempt to delete the backup directory failed.|48"}));
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
    meanwhile = [&] { WriteDated(At(L"Agent\\0.bak"), LocalTime(2020, 1, 1, 0, 0, 0), "0"); }; // a row before B
    Click(btnRestore);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "b");
    EXPECT_EQ(Text(pnlDate) + L" " + Text(pnlTime), L"11/02/2026 18:04:12") << "B's time, not 0's";
    EXPECT_EQ(Shown(), (Boxes{L"Delete Backups|Do you really want to delete the selected backups?|36",
                              L"Delete Backups|The backup 'B' could not be deleted!|16",
                              L"Restore Backup|Do you really want to restore the backup 'B'?|36"}));
}

// The game removed the chosen user Bob, and the refresh that follows the launch chooses Alice while a question is
// up: each operation still acts on Bob's files, which are gone, and ends in its failure box; Alice's stay as they were.
TEST_F(MainWindow, AUserRemovedDuringAQuestionTakesNoOtherUsersFilesWithIt)
{
    Save(L"Alice.usr", "alice");
    Save(L"Alice\\Start.bak", "alice start");
    Save(L"Alice\\Heist.bak", "alice heist");
    seams.whileShown = [&] {
        if (!Exists(At(L"Bob.usr")))
            return;
        RemoveTree(At(L"Bob"));
        ::DeleteFileW(At(L"Bob.usr").c_str());
        ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrUpdateUsers, 0);
        ASSERT_EQ(form->CurrentUser, L"Alice");
    };
    const std::wstring r2 = L"Restore Backup|Backup cannot be restored!|16", u4 = L"Delete User|User file could not be deleted!|16";
    const struct {
        std::deque<int> answers;
        std::function<void()> act;
        Boxes last; // after the question
    } cases[] = {
        {{IDYES}, [&] { Select({0}); Click(btnRestore); }, {r2}},
        {{IDYES}, [&] { Select({0}); Click(btnDeleteBackups); }, {L"Delete Backups|The backup 'Start' could not be deleted!|16"}},
        {{IDNO}, [&] { Click(btnDeleteUser); }, {u4}},
        {{IDYES}, [&] { Click(btnDeleteUser); }, {u4}},
        {{IDYES}, [&] { NewBackup(L"Start"); }, {L"Create Backup|Backup cannot be created!|16"}},
        {{}, [&] { // an in-place edit still open at the refresh
             Select({0});
             ::SetFocus(List());
             Press(List(), VK_F2);
             seams.whileShown();
             if (HWND edit = ListView_GetEditControl(List())) {
                 ::SetWindowTextW(edit, L"Heist");
                 Press(edit, VK_RETURN);
             }
         }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Save(L"Bob.usr", "bob");
        Save(L"Bob\\Start.bak", "bob start");
        OpenOn(L"Bob", c.answers);
        c.act();
        const Boxes shown = Shown();
        EXPECT_EQ(Boxes(shown.begin() + std::min<std::size_t>(shown.size(), c.answers.size()), shown.end()), c.last);
        EXPECT_EQ(NamesIn(At(L"Alice")), (Names{L"Heist.bak", L"Start.bak"}));
        EXPECT_EQ(ReadBytes(At(L"Alice.usr")) + "|" + ReadBytes(At(L"Alice\\Start.bak")) + "|" +
                      ReadBytes(At(L"Alice\\Heist.bak")),
                  "alice|alice start|alice heist");
    }
}
