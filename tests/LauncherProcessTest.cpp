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

// A killed launcher's lock is taken over: of five started at once after it,
// exactly one runs; every later start raises its window, restored when
// minimised, and ends with exit code 2; Exit ends the first with 0.
TEST(Launcher, OfFiveStartedAfterAKilledOneOneRunsLaterStartsRaiseItAndGiveWayAndExitEndsIt)
{
    TempDir folder;
    LauncherRuns runs(folder.Path());
    Process& killed = runs.Start();
    ASSERT_NE(AwaitWindow(L"TfrmMain", L"Trelan Launcher", killed.id), nullptr);
    ::TerminateProcess(killed.process.get(), 9);
    ASSERT_EQ(killed.Wait(), 9u);
    runs.started.pop_front();
    for (int i = 0; i < 5; ++i)
        runs.Start();
    const auto running = [](const Process& p) { return p.Wait(0) == STILL_ACTIVE; };
    ASSERT_TRUE(PumpUntil([&] { return std::ranges::count_if(runs.started, running) == 1; }, 30000));
    Process& first = *std::ranges::find_if(runs.started, running);
    for (const Process& p : runs.started)
        EXPECT_EQ(p.Wait(0), &p == &first ? STILL_ACTIVE : 2u);
    HWND window = AwaitWindow(L"TfrmMain", L"Trelan Launcher", first.id);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TopWindows(L"TfrmMain", L"Trelan Launcher"), std::vector<HWND>{window});
    EXPECT_EQ(TextOf(FindChild(window, Ctl::lblAboutVersion)), L"Version 1.1.0.120");

    // Another program's window under the launcher's title, minimised: found first by a search by title alone.
    HWND impostor = ::CreateWindowExW(0, L"STATIC", L"Trelan Launcher", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr);
    ::ShowWindow(impostor, SW_SHOWMINNOACTIVE);
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(window) != FALSE; }));
    EXPECT_EQ(runs.Start().Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window); })) << "a minimised launcher is restored";
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_TRUE(::IsIconic(impostor)) << "the unrelated window is left alone";

    // The other program in front: a third start behaves like the second.
    ::ShowWindow(impostor, SW_RESTORE);
    ::SetForegroundWindow(impostor);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == impostor; }));
    EXPECT_EQ(runs.Start().Wait(), 2u);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == window; }));
    EXPECT_EQ(TopWindows(L"TfrmMain", L"Trelan Launcher"), std::vector<HWND>{window});
    ::DestroyWindow(impostor);

    ::PostMessageW(FindChild(window, Ctl::btnExit), BM_CLICK, 0, 0);
    EXPECT_EQ(first.Wait(), 0u) << "Exit fades out and ends the program normally";
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
