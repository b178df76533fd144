// The real launcher, started as a process from a throwaway game folder.
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "resources/Layout.h"

using namespace trelgate;
using namespace trelgate::test;
using layout::Ctl;

namespace {

std::vector<HWND> LauncherWindows()
{
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"TfrmMain", L"Trelan Launcher"));)
        found.push_back(w);
    return found;
}

HWND WindowOf(const Process& p, DWORD timeoutMs = 20000)
{
    HWND window = nullptr;
    PumpUntil(
        [&] {
            for (HWND w : LauncherWindows()) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(w, &pid);
                if (pid == p.id && ::IsWindowVisible(w))
                    window = w;
            }
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(::CopyFileW((BinDir() + L"\\Trelgate.exe").c_str(), exe().c_str(), FALSE));
    }
    void TearDown() override
    {
        for (Process* p : {&first, &again})
            if (p->process && p->Wait(0) == STILL_ACTIVE) {
                ::TerminateProcess(p->process.get(), 1);
                p->Wait();
            }
    }
    std::wstring exe() const { return folder / L"Trelgate.exe"; }
    Process Launch() { return Start(exe(), L"", folder.Path()); }
    static void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

    TempDir folder;
    Process first, again;
};

// A window of another program that happens to carry the launcher's title.
class Impostor {
public:
    Impostor()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TrelgateTestImpostor";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Trelan Launcher", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    }
    ~Impostor() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

} // namespace

TEST_F(SingleInstance, FirstStartShowsTheWindowWithItsVersionAndEndsWithExitCodeZero)
{
    first = Launch();
    HWND window = WindowOf(first);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(FindChild(window, static_cast<int>(Ctl::lblAboutVersion))), L"Version 1.1.0.120");
    Click(FindChild(window, static_cast<int>(Ctl::btnExit)));
    EXPECT_EQ(first.Wait(), 0u) << "Exit fades out and ends the program normally";
}

TEST_F(SingleInstance, LaterStartsRaiseTheRunningWindowAndEndWithExitCodeTwo)
{
    first = Launch();
    HWND window = WindowOf(first);
    ASSERT_NE(window, nullptr);
    Impostor impostor; // found first by a search by title alone

    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(window) != FALSE; }));
    again = Launch();
    EXPECT_EQ(again.Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window); })) << "a minimised launcher is restored";
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_TRUE(::IsIconic(impostor.hwnd)) << "the unrelated window is left alone";
    EXPECT_EQ(LauncherWindows().size(), 1u);

    ::SetForegroundWindow(impostor.hwnd);
    again = Launch(); // a third start behaves like the second
    EXPECT_EQ(again.Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == window; }));
    EXPECT_EQ(LauncherWindows().size(), 1u);
}

TEST_F(SingleInstance, AfterTheFirstWasKilledANewStartRunsAsTheFirst)
{
    first = Launch();
    ASSERT_NE(WindowOf(first), nullptr);
    ::TerminateProcess(first.process.get(), 9);
    ASSERT_EQ(first.Wait(), 9u);

    again = Launch();
    HWND window = WindowOf(again);
    ASSERT_NE(window, nullptr) << "the abandoned lock is taken over";
    ::SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_EQ(again.Wait(), 0u);
}
