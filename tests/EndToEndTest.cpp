// The real launcher as a player uses it: started as a process in a game folder and driven from this process only,
// by the messages that a player's clicks and typing cause, each answered in bounded time.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
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

int Opacity(HWND window)
{
    BYTE alpha = 255; // a window without opacity of its own is opaque
    ::GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    return alpha;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(::CopyFileW((BinDir() + L"\\Trelgate.exe").c_str(), exe.c_str(), FALSE)); }
    // What still runs at the end is a failed step's leftovers.
    ~EndToEnd() override
    {
        for (Process& p : started)
            test::End(p);
    }
    // The real launcher, started in the game folder.
    Process& Launch() { return started.emplace_back(Start(exe, L"", game)); }

    // Waits for the process's launcher window and drives that one from now on.
    void Attach(Process& p)
    {
        launcher = &p;
        if (!(window = AwaitWindow(L"TfrmMain", L"Trelan Launcher", p.id)))
            Stop(L"no launcher window");
    }

    HWND Item(Ctl id) const { return FindChild(window, id); }
    std::wstring Text(Ctl id) const { return TextOf(Item(id)); }
    void Click(Ctl id) const { ::PostMessageW(Item(id), BM_CLICK, 0, 0); } // posted: a box may come up
    // As a click on the page's tab; a notification sent from here would point into this process.
    void Page(Ctl page) const { SendTo(Item(PageControl), TCM_SETCURFOCUS, TabIndex(page)); }
    // Clicks into an edit, which takes the focus, and replaces its text.
    void Type(Ctl id, const wchar_t* text) const
    {
        SendTo(Item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendTo(Item(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        SendTo(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
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
    // The box that comes up, known by its title.
    HWND AwaitBox(const std::wstring& title) const
    {
        HWND box = nullptr;
        if (!PumpUntil([&] { return (box = Box()) != nullptr; }))
            Stop(L"no box " + title);
        EXPECT_EQ(TextOf(box), title);
        return box;
    }
    // Answers a box and returns once the launcher takes messages.
    void Answer(HWND box, int answer) const
    {
        ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        if (!PumpUntil([&] { return !::IsWindow(box); }))
            Stop(L"a box stayed");
        SendTo(window, WM_NULL);
    }
    // A player's click, as the mouse puts it in the launcher's queue.
    void PostClick(Ctl id) const
    {
        ::PostMessageW(Item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageW(Item(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    TempDir folder;
    const std::wstring game = MakeGame(folder / L"game"), users = game + L"\\users", exe = game + L"\\Trelgate.exe";
    std::deque<Process> started; // in order; a reference stays valid
    Process* launcher = nullptr;
    HWND window = nullptr;
};

} // namespace

// The backup is made in a folder of its own and takes the user file's time; the game gets the option ticked and its
// new user is listed; a game directory that is none is not kept.
TEST_F(EndToEnd, APlayersSessionFromFadeInToExitLeavesTheFilesAndSettingsAsItSays)
{
    // Agent remembered, and a game that saves a new user and ends.
    WriteDated(users + L"\\Agent.usr", LocalTime(2026, 12, 5, 22, 15, 31), kAgentSave); // shown at even seconds
    WriteBytes(game + L"\\Trelan.control.txt", "write Rookie\r\nexit\r\n");
    WriteBytes(game + L"\\Trelgate.ini",
               "[Settings]\r\nTrelanPath=\r\nFadeWindow=1\r\n[Users]\r\nCurrentUser=Agent\r\n");

    Attach(Launch());
    EXPECT_LT(Opacity(window), 255) << "still fading in when first seen";
    Await([&] { return Text(cboUser) + L" " + Text(pnlDate) + L" " + Text(pnlTime); },
          std::wstring(L"Agent 12/05/2026 22:15:30"));

    const std::wstring backup = users + L"\\Agent\\Mid game.bak";
    Type(edtNewBackup, L"Mid game");
    Click(btnNewBackup);
    Await([&] { return Exists(backup); }, true);

    Page(tabOptions);
    Click(chkSafeMode);
    Click(btnLaunch);
    Await([&] { return SendTo(Item(cboUser), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Rookie")) >= 0; },
          true);

    // An invalid game directory typed and the page left: the edit shows the one in use again.
    Page(tabSettings);
    Type(edtTrelanPath, L"C:\\nowhere");
    Await([&] { return Text(lblTrelanPathValid); }, std::wstring(L"Not a valid Trelan path!"));
    Page(tabUsers);
    Await([&] { return Text(edtTrelanPath) + L"|" + Text(lblTrelanPathValid); }, game + L"|Trelan path valid.");

    // Exit fades out; the process ends normally.
    Click(btnExit);
    int lowest = 255;
    PumpUntil([&] {
        lowest = std::min(lowest, Opacity(window));
        return !::IsWindow(window);
    });
    EXPECT_LT(lowest, 255) << "faded out";
    EXPECT_EQ(launcher->Wait(), 0u);

    EXPECT_EQ(ReadBytes(game + L"\\Trelan.record.txt"),
              "cmdline=" + Utf8FromWide(kCommandLines[3].line) + "\ncwd=" + Utf8FromWide(game) + "\nenv=\n");
    EXPECT_EQ(NamesIn(users), (std::set<std::wstring>{L"Agent", L"Agent.usr", L"Rookie.usr"}));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(backup.c_str(), GetFileExInfoStandard, &data));
    const FILETIME saved = LocalTime(2026, 12, 5, 22, 15, 30);
    EXPECT_EQ(ReadBytes(backup), kAgentSave);
    EXPECT_EQ(::CompareFileTime(&data.ftLastWriteTime, &saved), 0) << "the user file's time";
    EXPECT_EQ(ReadBytes(game + L"\\Trelgate.ini"),
              "[Settings]\r\nTrelanPath=" + Utf8FromWide(game) +
                  "\r\nFadeWindow=1\r\n[Users]\r\nCurrentUser=Agent\r\n[Options]\r\nFullScreen=1\r\n"
                  "ButtonAnimations=1\r\nSafeMode=1\r\nAltLargeMap=0\r\nSoftwareMouse=0\r\nMusicEnabled=1\r\n"
                  "DebugStart=0\r\n");
}

// A killed launcher's lock is taken over: of five started at once after it, exactly one
// runs and the others exit with code 2; a later start restores the minimised one and gives way.
TEST_F(EndToEnd, OfFiveStartedAfterAKilledOneOneRunsAndALaterStartRestoresIt)
{
    Attach(Launch());
    ::TerminateProcess(launcher->process.get(), 9);
    ASSERT_EQ(launcher->Wait(), 9u);
    started.pop_front();
    for (int i = 0; i < 5; ++i)
        Launch();
    const auto running = [](const Process& p) { return p.Wait(0) == STILL_ACTIVE; };
    ASSERT_TRUE(PumpUntil([&] { return std::ranges::count_if(started, running) == 1; }, 30000));
    Attach(*std::ranges::find_if(started, running));
    for (const Process& p : started)
        EXPECT_EQ(p.Wait(0), &p == launcher ? STILL_ACTIVE : 2u);
    EXPECT_EQ(TopWindows(L"TfrmMain", L"Trelan Launcher"), std::vector<HWND>{window});
    Page(tabAbout);
    EXPECT_EQ(Text(lblAboutVersion), L"Version 1.1.0.120"); // from the executable's own version resource
    // Minimised, with another program's minimised window of the same title, which a search by title alone finds first.
    HWND impostor = ::CreateWindowExW(0, L"STATIC", L"Trelan Launcher", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    ::ShowWindow(impostor, SW_SHOWMINNOACTIVE);
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(window) != FALSE; }));
    EXPECT_EQ(Launch().Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window) && ::GetForegroundWindow() == window; }));
    EXPECT_TRUE(::IsIconic(impostor)) << "the other program's window is left alone";
    ::DestroyWindow(impostor);
}

// The game removes the chosen user Bob. Clicks made while it runs (Launch again, Delete User) are not replayed when
// the launcher comes back, and a second start gives way at once meanwhile. Delete User clicked as the launcher comes
// back is answered after the real refresh has chosen Alice: it acts on Bob, whose file is gone, and Alice keeps her
// files (what each operation does to the files then: the user manager test).
TEST_F(EndToEnd, AUserTheGameRemovesTakesNoOtherUsersFilesWithIt)
{
    MakeFolder(users + L"\\Alice");
    for (const wchar_t* name : {L"Alice.usr", L"Alice\\Start.bak", L"Bob.usr"})
        WriteBytes(users + L"\\" + name, "save");
    WriteBytes(game + L"\\Trelan.control.txt", "stay 3000\r\nremove Bob\r\nexit\r\n");
    WriteBytes(game + L"\\Trelgate.ini", "[Settings]\r\nFadeWindow=0\r\n[Users]\r\nCurrentUser=Bob\r\n");
    Attach(Launch());
    Await([&] { return Text(cboUser); }, std::wstring(L"Bob"));

    const std::wstring record = game + L"\\Trelan.record.txt";
    Click(btnLaunch);
    if (!PumpUntil([&] { return Exists(record); }))
        Stop(L"the game did not start");
    ::DeleteFileW(record.c_str()); // a second run would write it anew
    PostClick(btnLaunch);
    PostClick(btnDeleteUser);
    EXPECT_EQ(Launch().Wait(2000), 2u) << "gives way while the game runs";
    EXPECT_TRUE(::IsIconic(window)) << "the game still ran";

    if (!PumpUntil([&] { return !::IsIconic(window); }))
        Stop(L"the launcher did not come back");
    Click(btnDeleteUser);
    const HWND keep = AwaitBox(L"Keep backups?");
    PumpUntil([&] { return Text(cboUser) == L"Alice"; }, 3000);
    EXPECT_EQ(Text(cboUser), L"Alice") << "refreshed while the question is up";
    Answer(keep, IDNO);
    Answer(AwaitBox(L"Delete User"), IDOK); // Bob's file is gone
    PumpUntil([&] { return Box() != nullptr; }, 2000);
    EXPECT_FALSE(Box()) << "no click of the game's time replayed";

    Click(btnExit);
    EXPECT_EQ(launcher->Wait(), 0u);
    EXPECT_FALSE(Exists(record)) << "the game ran once";
    EXPECT_EQ(NamesIn(users), (std::set<std::wstring>{L"Alice", L"Alice.usr"}));
    EXPECT_EQ(NamesIn(users + L"\\Alice"), std::set<std::wstring>{L"Start.bak"});
}
