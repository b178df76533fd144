// The launcher's folder is the game's and anybody's to write to: no DLL that
// the launcher loads by name may come from there. Each is planted beside the
// program as a DLL that leaves a mark when loaded, preferred to the system's
// copy as Windows prefers a program's folder for every DLL that is not a known
// DLL. Wine's own user32 and display driver load some DLLs in any program,
// before its first line runs; a bare window program started the same way
// shows which, and that the marks are seen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "resources/Layout.h"

using namespace trelgate;
using namespace trelgate::test;
using layout::Ctl;

namespace {

// What the running launcher loads by name (Wine's loader trace, through a
// start, the file dialog, the link, a game run and the exit), less the known
// DLLs that Windows takes from the system folder only (advapi32, combase,
// gdi32, imm32, kernel32, msvcrt, ole32, rpcrt4, sechost, shcore, shell32,
// shlwapi, user32, and kernelbase before them).
const struct {
    const wchar_t* dll;
    bool wineLoadsItAnyway; // a bare window program loads it too, under Wine only
} kLoadedByName[] = {
    {L"comctl32.dll", false}, // the side-by-side copy that the manifest names
    {L"comdlg32.dll", false}, {L"compstui.dll", false}, {L"msimg32.dll", false},
    {L"winspool.drv", false}, {L"ucrtbase.dll", true},  {L"uxtheme.dll", true},
    {L"version.dll", true},   {L"win32u.dll", true},    {L"winex11.drv", true},
    {L"zlib1.dll", true},
};

class DllPlanting : public ::testing::Test {
protected:
    ~DllPlanting() override
    {
        for (const wchar_t* exe : {L"bare_window.exe", L"Trelgate.exe"})
            ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Wine\\AppDefaults\\") + exe).c_str());
    }
    // The program copied into the folder with marking DLLs under the given
    // names, which Wine loads first for it, as Windows does.
    std::wstring Plant(const wchar_t* program, const std::vector<std::wstring>& dlls)
    {
        HKEY overrides = nullptr;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER,
                                    (L"Software\\Wine\\AppDefaults\\" + std::wstring(program) + L"\\DllOverrides").c_str(),
                                    0, nullptr, 0, KEY_SET_VALUE, nullptr, &overrides, nullptr),
                  ERROR_SUCCESS);
        static const wchar_t kOrder[] = L"native,builtin";
        for (const std::wstring& dll : dlls) {
            EXPECT_TRUE(::CopyFileW((BinDir() + L"\\planted_mark.dll").c_str(), (folder / dll).c_str(), FALSE));
            const std::wstring name = dll.ends_with(L".dll") ? dll.substr(0, dll.size() - 4) : dll;
            ::RegSetValueExW(overrides, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder), sizeof kOrder);
        }
        ::RegCloseKey(overrides);
        EXPECT_TRUE(::CopyFileW((BinDir() + L"\\" + program).c_str(), (folder / program).c_str(), FALSE));
        return folder / program;
    }
    std::vector<std::wstring> Marks() const
    {
        std::vector<std::wstring> marks;
        for (const std::wstring& name : NamesIn(folder.Path()))
            if (name.ends_with(L".mark"))
                marks.push_back(name.substr(0, name.size() - 5));
        return marks;
    }
    TempDir folder;
};

// The DLLs an executable imports by name, read from its import table as the loader lays it out.
std::set<std::string> ImportsOf(const std::wstring& exe)
{
    const HMODULE image = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image)
        return {};
    const auto* base = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(image) & ~std::uintptr_t{3});
    const auto& nt = *reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    std::set<std::string> names;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         entry->Name; ++entry) {
        std::string name = base + entry->Name;
        std::ranges::transform(name, name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.insert(name);
    }
    ::FreeLibrary(image);
    return names;
}

} // namespace

// A DLL that the loader resolves before the launcher's first line runs must
// come from the system folder whatever lies beside it: a known DLL, or common
// controls from the side-by-side store the manifest names. VERSION.dll is
// neither: the launcher loads it at run time from the system folder only.
TEST(LauncherImports, AreKnownDllsOrTheSideBySideCommonControlsOnly)
{
    const std::set<std::string> imports = ImportsOf(BinDir() + L"\\Trelgate.exe");
    EXPECT_TRUE(imports.contains("user32.dll")) << "the table was read";
    for (const std::string& dll : imports)
        EXPECT_TRUE((std::set<std::string>{"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
                                           "msvcrt.dll", "ole32.dll", "shell32.dll", "user32.dll"})
                        .contains(dll))
            << dll;
}

// Wine's own loads, one at a time: the bare program marks each, so a load is seen.
TEST_F(DllPlanting, ABareWindowProgramLoadsWinesOwnDllsFromItsFolder)
{
    for (const auto& planted : kLoadedByName) {
        if (!planted.wineLoadsItAnyway)
            continue;
        SCOPED_TRACE(testing::Message() << planted.dll);
        Process bare = Start(Plant(L"bare_window.exe", {planted.dll}), L"", folder.Path());
        EXPECT_TRUE(PumpUntil([&] { return !Marks().empty(); }));
        End(bare);
        EXPECT_EQ(Marks(), std::vector<std::wstring>{planted.dll});
        ::DeleteFileW((folder / planted.dll).c_str());
        ::DeleteFileW((folder / (planted.dll + std::wstring(L".mark"))).c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\bare_window.exe");
    }
}

// All the others at once, through a whole session of the launcher.
TEST_F(DllPlanting, TheLauncherLoadsNoneOfItsOwnFromItsFolder)
{
    std::vector<std::wstring> dlls;
    for (const auto& planted : kLoadedByName)
        if (!planted.wineLoadsItAnyway)
            dlls.emplace_back(planted.dll);
    MakeGame(folder.Path());
    WriteBytes(folder / L"Trelan.control.txt", "exit\r\n"); // the game ends at once
    Process launcher = Start(Plant(L"Trelgate.exe", dlls), L"", folder.Path());
    HWND window = AwaitWindow(L"TfrmMain", nullptr, launcher.id);
    ASSERT_NE(window, nullptr);
    const auto post = [&](Ctl id, UINT msg, WPARAM wParam, LPARAM lParam = 0) {
        ::PostMessageW(FindChild(window, id), msg, wParam, lParam);
    };
    HWND browse = FindChild(window, Ctl::btnTrelanPathBrowse); // on a hidden page: its command, as a click sends it
    ::PostMessageW(::GetParent(browse), WM_COMMAND, MAKEWPARAM(Ctl::btnTrelanPathBrowse, BN_CLICKED),
                   reinterpret_cast<LPARAM>(browse));
    HWND dialog = AwaitWindow(L"#32770", nullptr, launcher.id);
    EXPECT_NE(dialog, nullptr) << "the file dialog opened";
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));
    post(Ctl::hllCorvane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    post(Ctl::hllCorvane, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    post(Ctl::btnLaunch, BM_CLICK, 0);
    EXPECT_TRUE(PumpUntil([&] { return Exists(folder / L"Trelan.record.txt"); }, 20000)) << "the game ran";
    EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window); })) << "the launcher came back";
    post(Ctl::btnExit, BM_CLICK, 0);
    EXPECT_EQ(launcher.Wait(), 0u);
    End(launcher);
    EXPECT_EQ(Marks(), std::vector<std::wstring>{});
}
