// The real launcher as a player uses it: started as a process in a game folder
// and driven from this process only, by the messages that a player's input
// sends, each answered within a bounded time; a structure that a message points
// at is placed in the launcher's process.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "CommandLines.h"
#include "TestSupport.h"
#include "base/Text.h"
#include "resources/Layout.h"

using namespace trelgate;
using namespace trelgate::test;
using layout::Ctl;
using enum layout::Ctl;

namespace {

using Names = std::vector<std::wstring>;
constexpr char kAgentSave[] = "TRELAN-DEMO-SAVE\r\nAgent\r\n";

// Ends the test at once: the steps after a failed one would only wait in vain.
[[noreturn]] void Stop(const std::wstring& why) { throw std::runtime_error(Utf8FromWide(why)); }

LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        Stop(L"no answer to message " + std::to_wstring(msg));
    return static_cast<LRESULT>(result);
}

// A window without opacity of its own is opaque.
int Opacity(HWND window)
{
    BYTE alpha = 255;
    DWORD flags = 0;
    return ::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? alpha : 255;
}

class EndToEnd : public ::testing::Test {
protected:
    // Waits for the process's launcher window and drives that one from now on.
    void Attach(Process& p)
    {
        launcher = &p;
        if (!(window = AwaitWindow(L"TfrmMain", L"Trelan Launcher", p.id)))
            Stop(L"no launcher window");
        // Room for the backup list's items; it goes with the process.
        remote = static_cast<char*>(
            ::VirtualAllocEx(p.process.get(), nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    }

    HWND Item(Ctl id) const { return FindChild(window, id); }
    std::wstring Text(Ctl id) const { return TextOf(Item(id)); }
    void Click(Ctl id) const { ::PostMessageW(Item(id), BM_CLICK, 0, 0); } // posted: a box may come up
    // As a click on the page's tab; a notification sent from here would point into this process.
    void Page(Ctl page) const
    {
        SendTo(Item(PageControl), TCM_SETCURFOCUS, static_cast<WPARAM>(page) - static_cast<WPARAM>(tabUsers));
    }
    // Clicks into an edit, selects all and types over it, key by key.
    void Type(Ctl id, const std::wstring& text) const
    {
        SendTo(Item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendTo(Item(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        SendTo(Item(id), EM_SETSEL, 0, -1);
        for (wchar_t c : text)
            SendTo(Item(id), WM_CHAR, c, 0);
    }

    // The backup list: each message's item is copied into the launcher first.
    LRESULT List(UINT msg, int row, const LVITEMW& item = {}) const
    {
        ::WriteProcessMemory(launcher->process.get(), remote, &item, sizeof item, nullptr);
        return SendTo(Item(lstBackups), msg, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    }
    // Sorted when asked: the platform lists a folder in an order of its own.
    Names Rows(bool sorted = false) const
    {
        Names names(static_cast<std::size_t>(SendTo(Item(lstBackups), LVM_GETITEMCOUNT)));
        for (std::size_t row = 0; row < names.size(); ++row) {
            LVITEMW item{.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW)), .cchTextMax = 256};
            names[row].resize(static_cast<std::size_t>(List(LVM_GETITEMTEXTW, static_cast<int>(row), item)));
            ::ReadProcessMemory(launcher->process.get(), item.pszText, names[row].data(),
                                names[row].size() * sizeof(wchar_t), nullptr);
        }
        if (sorted)
            std::ranges::sort(names);
        return names;
    }
    int RowOf(const std::wstring& name) const
    {
        const Names rows = Rows();
        return static_cast<int>(std::ranges::find(rows, name) - rows.begin());
    }
    // These rows and no others selected, as clicks with Ctrl held leave them.
    void Select(std::initializer_list<std::wstring> names) const
    {
        LVITEMW item{.stateMask = LVIS_SELECTED | LVIS_FOCUSED};
        List(LVM_SETITEMSTATE, -1, item);
        item.state = item.stateMask;
        for (const std::wstring& name : names)
            List(LVM_SETITEMSTATE, RowOf(name), item);
    }

    HWND Box() const { return TopWindow(L"#32770", nullptr, launcher->id); }
    // Waits until get() gives what is expected; a box that nobody expected ends the test.
    template <class Get, class T>
    void Await(Get get, const T& expected) const
    {
        PumpUntil([&] { return Box() || get() == expected; });
        if (HWND box = Box())
            Stop(L"unexpected box: " + TextOf(::GetDlgItem(box, 0xFFFF)));
        EXPECT_EQ(get(), expected);
    }
    void AwaitText(Ctl id, const std::wstring& text) const { Await([&] { return Text(id); }, text); }
    void AwaitRows(const Names& names) const { Await([&] { return Rows(true); }, names); }
    void AwaitPanels(const std::wstring& date, const std::wstring& time) const
    {
        Await([&] { return Text(pnlDate) + L" " + Text(pnlTime); }, date + L" " + time);
    }
    // Clicks the button and answers the real box it brings up (its title tells
    // which: the window tests have the texts); returns once the launcher takes messages again.
    void Answer(Ctl button, const std::wstring& title, int answer) const
    {
        Click(button);
        HWND box = nullptr;
        if (!PumpUntil([&] { return (box = Box()) != nullptr; }))
            Stop(L"no box " + title);
        EXPECT_EQ(TextOf(box), title);
        ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        if (!PumpUntil([&] { return !::IsWindow(box); }))
            Stop(L"the box " + title + L" stayed");
        SendTo(window, WM_NULL);
    }

    TempDir folder;
    const std::wstring game = MakeGame(folder / L"game"), users = game + L"\\users", backups = users + L"\\Agent";
    LauncherRuns runs{game};
    Process* launcher = nullptr;
    HWND window = nullptr;
    char* remote = nullptr;
};

} // namespace

TEST_F(EndToEnd, APlayersSessionFromFadeInToExitLeavesTheFilesAndSettingsAsItSays)
{
    // Agent with two backups, Ace (listed first, so Agent is chosen only as the
    // one remembered), and a game that saves a new user and ends.
    MakeFolder(backups);
    WriteDated(users + L"\\Agent.usr", LocalTime(2026, 12, 5, 22, 15, 31), kAgentSave); // shown at even seconds
    WriteDated(users + L"\\Ace.usr", LocalTime(2026, 12, 1, 9, 41, 8), "TRELAN-DEMO-SAVE\r\nAce\r\n");
    WriteDated(backups + L"\\Start.bak", LocalTime(2026, 11, 2, 18, 4, 12), "TRELAN-DEMO-SAVE\r\nAgent\r\nearly\r\n");
    WriteDated(backups + L"\\Before heist.bak", LocalTime(2026, 11, 28, 21, 37, 46), "heist");
    WriteBytes(game + L"\\Trelan.control.txt", "write Rookie\r\nexit\r\n");
    WriteBytes(game + L"\\Trelgate.ini", "[Settings]\r\nTrelanPath=\r\nFadeWindow=1\r\n[Users]\r\nCurrentUser=Agent\r\n");

    Attach(runs.Start());
    EXPECT_LT(Opacity(window), 255) << "still fading in when first seen";
    EXPECT_TRUE(::IsWindowVisible(Item(tabUsers)));
    AwaitText(cboUser, L"Agent");
    AwaitPanels(L"12/05/2026", L"22:15:30");
    AwaitRows({L"Before heist", L"Start"});
    Await([&] { return Opacity(window); }, 255);

    // A backup, then one of the same name: No keeps the old one untouched, Yes replaces it.
    const std::wstring mid = backups + L"\\Mid game.bak";
    Type(edtNewBackup, L"Mid game");
    Click(btnNewBackup);
    AwaitRows({L"Before heist", L"Mid game", L"Start"});
    WriteBytes(mid, "stale");
    for (int answer : {IDNO, IDYES}) {
        Type(edtNewBackup, L"Mid game");
        Answer(btnNewBackup, L"Create Backup", answer);
        EXPECT_EQ(Text(edtNewBackup), answer == IDNO ? L"Mid game" : L"") << "the list is refreshed after Yes only";
        EXPECT_EQ(ReadBytes(mid), answer == IDNO ? "stale" : kAgentSave);
    }

    // One renamed in place, then restored under its new name: the panels show its time.
    const auto edit = reinterpret_cast<HWND>(SendTo(Item(lstBackups), LVM_EDITLABELW, RowOf(L"Start")));
    SendTo(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"First steps"));
    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    AwaitRows({L"Before heist", L"First steps", L"Mid game"});
    Select({L"First steps"});
    Answer(btnRestore, L"Restore Backup", IDYES);
    AwaitPanels(L"11/02/2026", L"18:04:12");

    // Two deleted; the user deleted (after a Cancel) with its last backup kept, then restored from it.
    Select({L"First steps", L"Before heist"});
    Answer(btnDeleteBackups, L"Delete Backups", IDYES);
    AwaitRows({L"Mid game"});
    for (int answer : {IDCANCEL, IDYES}) {
        Answer(btnDeleteUser, L"Keep backups?", answer);
        EXPECT_EQ(Exists(users + L"\\Agent.usr"), answer == IDCANCEL);
    }
    AwaitPanels(L"no file", L"");
    EXPECT_EQ(Text(cboUser), L"Agent") << "still listed through its backups";
    Select({L"Mid game"});
    Answer(btnRestore, L"Restore Backup", IDYES);
    AwaitPanels(L"12/05/2026", L"22:15:30");

    // Safe mode ticked and the game launched: it saves Rookie; the launcher comes back and lists it.
    Page(tabOptions);
    Click(chkSafeMode);
    Click(btnLaunch);
    EXPECT_TRUE(PumpUntil([&] { return Exists(game + L"\\Trelan.record.txt") && !::IsIconic(window); }));
    Await([&] { return SendTo(Item(cboUser), CB_GETCOUNT); }, 3);
    EXPECT_NE(SendTo(Item(cboUser), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Rookie")), CB_ERR);
    EXPECT_EQ(Text(cboUser), L"Agent");

    // An invalid game directory typed and the page left: the edit shows the one in use again.
    Page(tabSettings);
    Type(edtTrelanPath, L"C:\\nowhere");
    AwaitText(lblTrelanPathValid, L"Not a valid Trelan path!");
    Page(tabUsers);
    AwaitText(edtTrelanPath, game);
    AwaitText(lblTrelanPathValid, L"Trelan path valid.");

    // Exit fades out; the process ends normally.
    Click(btnExit);
    int lowest = 255;
    PumpUntil([&] { return (lowest = std::min(lowest, Opacity(window))), !::IsWindow(window); });
    EXPECT_LT(lowest, 255) << "faded out";
    EXPECT_EQ(launcher->Wait(), 0u);

    // On disk: Agent as it was saved, at even seconds, and its one backup the same.
    EXPECT_EQ(ReadBytes(game + L"\\Trelan.record.txt"),
              "cmdline=" + Utf8FromWide(kCommandLines[3].line) + "\ncwd=" + Utf8FromWide(game) + "\nenv=\n");
    EXPECT_EQ(NamesIn(users), (std::set<std::wstring>{L"Ace.usr", L"Agent", L"Agent.usr", L"Rookie.usr"}));
    EXPECT_EQ(NamesIn(backups), std::set<std::wstring>{L"Mid game.bak"});
    const FILETIME saved = LocalTime(2026, 12, 5, 22, 15, 30);
    for (const std::wstring& path : {users + L"\\Agent.usr", mid}) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(ReadBytes(path), kAgentSave) << Utf8FromWide(path);
        EXPECT_EQ(::CompareFileTime(&data.ftLastWriteTime, &saved), 0) << Utf8FromWide(path);
    }
    EXPECT_EQ(ReadBytes(game + L"\\Trelgate.ini"),
              "[Settings]\r\nTrelanPath=" + Utf8FromWide(game) +
                  "\r\nFadeWindow=1\r\n[Users]\r\nCurrentUser=Agent\r\n[Options]\r\nFullScreen=1\r\n"
                  "ButtonAnimations=1\r\nSafeMode=1\r\nAltLargeMap=0\r\nSoftwareMouse=0\r\nMusicEnabled=1\r\n"
                  "DebugStart=0\r\n");
}

// A killed launcher's lock is taken over: of five started at once after it,
// exactly one runs; every later start raises its window, restored when
// minimised or behind another program's window of the same title, and ends with exit code 2.
TEST_F(EndToEnd, OfFiveStartedAfterAKilledOneOneRunsAndLaterStartsRaiseItAndGiveWay)
{
    Attach(runs.Start());
    ::TerminateProcess(launcher->process.get(), 9);
    ASSERT_EQ(launcher->Wait(), 9u);
    runs.started.pop_front();
    for (int i = 0; i < 5; ++i)
        runs.Start();
    const auto running = [](const Process& p) { return p.Wait(0) == STILL_ACTIVE; };
    ASSERT_TRUE(PumpUntil([&] { return std::ranges::count_if(runs.started, running) == 1; }, 30000));
    Attach(*std::ranges::find_if(runs.started, running));
    for (const Process& p : runs.started)
        EXPECT_EQ(p.Wait(0), &p == launcher ? STILL_ACTIVE : 2u);
    EXPECT_EQ(TopWindows(L"TfrmMain", L"Trelan Launcher"), std::vector<HWND>{window});
    EXPECT_EQ(Text(lblAboutVersion), L"Version 1.1.0.120");

    // Minimised, with another program's minimised window of that title found first by a search by title alone.
    HWND impostor = ::CreateWindowExW(0, L"STATIC", L"Trelan Launcher", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    ::ShowWindow(impostor, SW_SHOWMINNOACTIVE);
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(window) != FALSE; }));
    EXPECT_EQ(runs.Start().Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window) && ::GetForegroundWindow() == window; }));
    EXPECT_TRUE(::IsIconic(impostor)) << "the unrelated window is left alone";
    // Behind the other program's window.
    ::ShowWindow(impostor, SW_RESTORE);
    ::SetForegroundWindow(impostor);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == impostor; }));
    EXPECT_EQ(runs.Start().Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == window; }));
    EXPECT_EQ(TopWindows(L"TfrmMain", L"Trelan Launcher"), std::vector<HWND>{window});
    ::DestroyWindow(impostor);
}
