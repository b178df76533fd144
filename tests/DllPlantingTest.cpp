// The launcher's folder is the game's and anybody's to write to: no DLL that
// the launcher loads by name may come from there. Each is planted beside the
// program as a DLL that leaves a mark when loaded, preferred to the system's
// copy as Windows prefers a program's folder for every DLL that is not a known
// DLL. Wine's own user32 and display driver load some DLLs in any program,
// before its first line runs; a bare window program started the same way
// shows which, and that the marks are seen.
#include <gtest/gtest.h>

#include <algorithm>
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

// Under Wine, the planted DLLs come first for exe, as on Windows.
class NativeFirst {
public:
    NativeFirst(const std::wstring& exe, const std::vector<std::wstring>& dlls) : key_(L"Software\\Wine\\AppDefaults\\" + exe)
    {
        HKEY overrides = nullptr;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (key_ + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                                    KEY_SET_VALUE, nullptr, &overrides, nullptr),
                  ERROR_SUCCESS);
        static const wchar_t kOrder[] = L"native,builtin";
        for (std::wstring name : dlls) {
            if (name.ends_with(L".dll"))
                name.resize(name.size() - 4);
            ::RegSetValueExW(overrides, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder), sizeof kOrder);
        }
        ::RegCloseKey(overrides);
    }
    ~NativeFirst() { ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

private:
    std::wstring key_;
};

class DllPlanting : public ::testing::Test {
protected:
    // The program copied into the folder with marking DLLs under the given names.
    std::wstring Plant(const wchar_t* program, const std::vector<std::wstring>& dlls)
    {
        for (const std::wstring& dll : dlls)
            EXPECT_TRUE(::CopyFileW((BinDir() + L"\\planted_mark.dll").c_str(), (folder / dll).c_str(), FALSE));
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

} // namespace

// Wine's own loads, one at a time: the bare program marks each, so a load is seen.
TEST_F(DllPlanting, ABareWindowProgramLoadsWinesOwnDllsFromItsFolder)
{
    for (const auto& planted : kLoadedByName) {
        if (!planted.wineLoadsItAnyway)
            continue;
        SCOPED_TRACE(testing::Message() << planted.dll);
        const NativeFirst order(L"bare_window.exe", {planted.dll});
        Process bare = Start(Plant(L"bare_window.exe", {planted.dll}), L"", folder.Path());
        EXPECT_TRUE(PumpUntil([&] { return !Marks().empty(); }));
        End(bare);
        EXPECT_EQ(Marks(), std::vector<std::wstring>{planted.dll});
        ::DeleteFileW((folder / planted.dll).c_str());
        ::DeleteFileW((folder / (planted.dll + std::wstring(L".mark"))).c_str());
    }
}

// All the others at once, through a whole session of the launcher.
TEST_F(DllPlanting, TheLauncherLoadsNoneOfItsOwnFromItsFolder)
{
    std::vector<std::wstring> dlls;
    for (const auto& planted : kLoadedByName)
        if (!planted.wineLoadsItAnyway)
            dlls.emplace_back(planted.dll);
    const NativeFirst order(L"Trelgate.exe", dlls);
    MakeGame(folder.Path());
    WriteBytes(folder / L"Trelan.control.txt", "exit\r\n"); // the game ends at once
    Process launcher = Start(Plant(L"Trelgate.exe", dlls), L"", folder.Path());
    HWND window = AwaitWindow(L"TfrmMain", nullptr, launcher.id);
    ASSERT_NE(window, nullptr);

    HWND browse = FindChild(window, Ctl::btnTrelanPathBrowse);
    ::PostMessageW(::GetParent(browse), WM_COMMAND, MAKEWPARAM(Ctl::btnTrelanPathBrowse, BN_CLICKED),
                   reinterpret_cast<LPARAM>(browse));
    HWND dialog = AwaitWindow(L"#32770", nullptr, launcher.id);
    EXPECT_NE(dialog, nullptr) << "the file dialog opened";
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));

    ::PostMessageW(FindChild(window, Ctl::hllCorvane), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(FindChild(window, Ctl::hllCorvane), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ::PostMessageW(FindChild(window, Ctl::btnLaunch), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return Exists(folder / L"Trelan.record.txt"); }, 20000)) << "the game ran";
    EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(window); })) << "the launcher came back";
    ::PostMessageW(FindChild(window, Ctl::btnExit), BM_CLICK, 0, 0);
    EXPECT_EQ(launcher.Wait(), 0u);
    End(launcher);
    EXPECT_EQ(Marks(), std::vector<std::wstring>{});
}
