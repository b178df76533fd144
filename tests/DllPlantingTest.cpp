// The launcher's folder is the game's and anybody's to write to: no DLL that the launcher loads by name may come
// from there. Each is planted beside the program as a DLL that leaves a mark when loaded, and preferred to the
// system's copy, as Windows prefers a program's folder for every DLL that is not a known DLL.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "TestSupport.h"
#include "resources/Layout.h"

using namespace trelgate;
using namespace trelgate::test;
using layout::Ctl;

namespace {

class DllPlanting : public ::testing::Test {
protected:
    ~DllPlanting() override
    {
        for (const wchar_t* exe : {L"bare_window.exe", L"Trelgate.exe"})
            ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Wine\\AppDefaults\\") + exe).c_str());
    }
    // The program copied into the folder with marking DLLs under the given names, which Wine then loads first
    // for it, as Windows does.
    std::wstring Plant(const wchar_t* program, std::initializer_list<std::wstring> dlls)
    {
        const std::wstring key = L"Software\\Wine\\AppDefaults\\" + std::wstring(program) + L"\\DllOverrides";
        for (const std::wstring& dll : dlls) {
            EXPECT_TRUE(::CopyFileW((BinDir() + L"\\planted_mark.dll").c_str(), (folder / dll).c_str(), FALSE));
            EXPECT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), dll.substr(0, dll.rfind(L".dll")).c_str(),
                                        REG_SZ, L"native,builtin", sizeof L"native,builtin"),
                      ERROR_SUCCESS);
        }
        EXPECT_TRUE(::CopyFileW((BinDir() + L"\\" + program).c_str(), (folder / program).c_str(), FALSE));
        return folder / program;
    }
    std::set<std::wstring> Marks() const
    {
        std::set<std::wstring> marks = NamesIn(folder.Path());
        std::erase_if(marks, [](const std::wstring& name) { return !name.ends_with(L".mark"); });
        return marks;
    }
    TempDir folder;
};

} // namespace

// A DLL that the loader resolves before the launcher's first line runs must come from the system folder whatever
// lies beside it: a known DLL, or common controls from the side-by-side store the manifest names. VERSION.dll is
// neither: the launcher loads it at run time from the system folder only.
TEST(LauncherImports, AreKnownDllsOrTheSideBySideCommonControlsOnly)
{
    const std::set<std::string> known{"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
                                      "msvcrt.dll",   "ole32.dll",    "shell32.dll",  "user32.dll"};
    const HMODULE image =
        ::LoadLibraryExW((BinDir() + L"\\Trelgate.exe").c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    // The import table as the loader lays it out; the handle's low bits mark an image mapped as a resource.
    const auto* base = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(image) & ~std::uintptr_t{3});
    const auto& nt = *reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    std::set<std::string> imports;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         entry->Name; ++entry) {
        std::string name = base + entry->Name;
        ::CharLowerA(name.data());
        EXPECT_TRUE(known.contains(name)) << name;
        imports.insert(name);
    }
    EXPECT_TRUE(imports.contains("user32.dll")) << "the table was read";
    ::FreeLibrary(image);
}

// The control: Wine's own user32 loads VERSION.dll in any window program (Windows' does not), so a bare one
// shows that a planted DLL's mark is seen.
TEST_F(DllPlanting, ABareWindowProgramLeavesTheMarkOfAPlantedDll)
{
    Process bare = Start(Plant(L"bare_window.exe", {L"version.dll"}), L"", folder.Path());
    EXPECT_TRUE(PumpUntil([&] { return Marks() == std::set<std::wstring>{L"version.dll.mark"}; }));
    End(bare);
}

// What the launcher loads by name through a start, the file dialog, the link, a game run and the exit (Wine's loader
// trace), less known DLLs and those Wine alone loads in any program: none is taken from its folder.
TEST_F(DllPlanting, TheLauncherLoadsNoneOfItsOwnFromItsFolder)
{
    MakeGame(folder.Path());
    WriteBytes(folder / L"Trelan.control.txt", "exit\r\n"); // the game ends at once
    Process launcher = Start(Plant(L"Trelgate.exe", {L"comctl32.dll", L"comdlg32.dll", L"compstui.dll",
                                                     L"msimg32.dll", L"winspool.drv"}),
                             L"", folder.Path());
    HWND window = AwaitWindow(L"TfrmMain", nullptr, launcher.id);
    ASSERT_NE(window, nullptr);
    HWND browse = nullptr; // on a hidden page, built once the window is up: its command, as a click sends it
    ASSERT_TRUE(PumpUntil([&] { return (browse = FindChild(window, Ctl::btnTrelanPathBrowse)) != nullptr; }));
    ::PostMessageW(::GetParent(browse), WM_COMMAND, MAKEWPARAM(Ctl::btnTrelanPathBrowse, BN_CLICKED),
                   reinterpret_cast<LPARAM>(browse));
    HWND dialog = AwaitWindow(L"#32770", nullptr, launcher.id);
    EXPECT_NE(dialog, nullptr) << "the file dialog opened";
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(PumpUntil([&] { return FindChild(window, Ctl::hllCorvane) != nullptr; }));
    ::PostMessageW(FindChild(window, Ctl::hllCorvane), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(FindChild(window, Ctl::hllCorvane), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ::PostMessageW(FindChild(window, Ctl::btnLaunch), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return Exists(folder / L"Trelan.record.txt"); }, 20000)) << "the game ran";
    ::PostMessageW(FindChild(window, Ctl::btnExit), BM_CLICK, 0, 0); // taken once the game has ended
    EXPECT_EQ(launcher.Wait(), 0u);
    End(launcher);
    EXPECT_EQ(Marks(), std::set<std::wstring>{});
}
