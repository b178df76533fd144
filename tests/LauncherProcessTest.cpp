// The real launcher, started as a process from a throwaway game folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
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

class Launcher : public ::testing::Test {
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

TEST_F(Launcher, FirstStartShowsTheWindowWithItsVersionAndEndsWithExitCodeZero)
{
    first = Launch();
    HWND window = WindowOf(first);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(FindChild(window, static_cast<int>(Ctl::lblAboutVersion))), L"Version 1.1.0.120");
    Click(FindChild(window, static_cast<int>(Ctl::btnExit)));
    EXPECT_EQ(first.Wait(), 0u) << "Exit fades out and ends the program normally";
}

TEST_F(Launcher, LaterStartsRaiseTheRunningWindowAndEndWithExitCodeTwo)
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

TEST_F(Launcher, AfterTheFirstWasKilledANewStartRunsAsTheFirst)
{
    first = Launch();
    ASSERT_NE(WindowOf(first), nullptr);
    ::TerminateProcess(first.process.get(), 9);
    ASSERT_EQ(first.Wait(), 9u);

    again = Launch();
    EXPECT_NE(WindowOf(again), nullptr) << "the abandoned lock is taken over";
}

namespace {

// The DLLs an executable imports by name, read from its import table.
std::vector<std::string> ImportsOf(const std::wstring& exe)
{
    const std::string image = ReadBytes(exe);
    const auto at = [&](std::size_t offset) { return image.data() + offset; };
    const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
    const auto& nt = *reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos.e_lfanew));
    const auto* sections = IMAGE_FIRST_SECTION(&nt);
    const auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (int i = 0; i < nt.FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    std::vector<std::string> names;
    const DWORD table = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(fileOffset(table))); entry->Name; ++entry) {
        std::string name = at(fileOffset(entry->Name));
        std::ranges::transform(name, name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(name);
    }
    return names;
}

} // namespace

// The game folder is anybody's to write to. A DLL that the loader resolves
// before the launcher's first line runs must come from the system folder
// whatever lies beside it: a known DLL, or common controls from the
// side-by-side store the manifest names. VERSION.dll is neither: the launcher
// loads it at run time from the system folder only.
TEST(LauncherImports, AreKnownDllsOrTheSideBySideCommonControlsOnly)
{
    const std::set<std::string> protectedDlls{"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                              "kernel32.dll", "msvcrt.dll",   "ole32.dll",    "shell32.dll",
                                              "user32.dll"};
    const std::vector<std::string> imports = ImportsOf(BinDir() + L"\\Trelgate.exe");
    EXPECT_TRUE(std::ranges::find(imports, "user32.dll") != imports.end()) << "the table was read";
    for (const std::string& dll : imports)
        EXPECT_TRUE(protectedDlls.contains(dll)) << dll;
}
