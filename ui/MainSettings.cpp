// The main window's settings: the settings file and the game directory.
#include "ui/Main.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "base/Files.h"
#include "base/Handle.h"
#include "settings/GameDirectory.h"
#include "settings/PathRules.h"
#include "ui/Seams.h"

namespace trelgate {

using namespace layout;

void TfrmMain::LoadSettings()
{
    const TSettingsFile::Contents ini = SettingsFile->Read();
    TrelanPath = ini.ReadString("Settings", "TrelanPath", L"");
    SetChecked(chkFadeWindow, ini.ReadBool("Settings", "FadeWindow", false));
    // Before the edit below, whose change refills the users and so re-selects this one.
    CurrentUser = ini.ReadString("Users", "CurrentUser", L"");
    // A launcher placed in the game's folder finds the game without being told.
    if (TrelanPath.empty() && IsValidTrelanPath(LauncherDir))
        TrelanPath = LauncherDir;
    // The game is started without a folder of its own and inherits this one.
    // Not one of MAX_PATH or more: no program, neither the game nor the link's
    // browser, starts in such a folder, and under Wine the attempt brings the
    // launcher down.
    if (const std::wstring current = TrelanPath.empty() ? LauncherDir : TrelanPath; current.size() < MAX_PATH - 1)
        ::SetCurrentDirectoryW(current.c_str());
    SetText(edtTrelanPath, TrelanPath);
    for (std::size_t i = 0; i < kStartupOptions.size(); ++i)
        SetChecked(kOptionBoxes[i], ini.ReadBool("Options", kStartupOptions[i].key, kStartupOptions[i].fallback));
}

void TfrmMain::SaveSettings()
{
    TSettingsFile::Contents ini = SettingsFile->Read();
    ini.WriteString("Settings", "TrelanPath", TrelanPath);
    ini.WriteBool("Settings", "FadeWindow", Checked(chkFadeWindow));
    ini.WriteString("Users", "CurrentUser", CurrentUser);
    const OptionStates states = OptionsChecked();
    for (std::size_t i = 0; i < kStartupOptions.size(); ++i)
        ini.WriteBool("Options", kStartupOptions[i].key, states[i]);
    SettingsFile->Write(ini);
}

void TfrmMain::edtTrelanPathChange()
{
    const std::wstring path = Text(edtTrelanPath);
    if (IsValidTrelanPath(path)) {
        TrelanPath = path;
        SetText(lblTrelanPathValid, L"Trelan path valid.");
        UpdateUsers(true); // the directory just tested is the one in use
    } else {
        SetText(lblTrelanPathValid, L"Not a valid Trelan path!");
        UpdateUsers();
    }
}

void TfrmMain::btnTrelanPathBrowseClick()
{
    const std::wstring start =
        WithoutTrailingBackslash(!TrelanPath.empty() && DirectoryExists(TrelanPath) ? TrelanPath : LauncherDir);
    const std::wstring preset = InFolder(start, L"Trelan.exe");
    std::vector<wchar_t> file(std::max<std::size_t>(preset.size() + 1, 32768), L'\0');
    preset.copy(file.data(), preset.size());

    OPENFILENAMEW dialog{sizeof dialog};
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = L"Trelan Executable\0Trelan.exe\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = start.c_str();
    dialog.lpstrTitle = L"Select the Trelan executable";
    dialog.lpstrDefExt = L"exe";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOTESTFILECREATE |
                   OFN_ENABLESIZING | OFN_DONTADDTORECENT;
    dialog.FlagsEx = OFN_EX_NOPLACESBAR;
    // The dialog may leave the process in the folder the player browsed to;
    // the game is to inherit the one LoadSettings chose.
    const DWORD room = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring current(room, L'\0');
    current.resize(::GetCurrentDirectoryW(room, current.data()));
    const ScopeExit keepCurrent([&] { ::SetCurrentDirectoryW(current.c_str()); });
    if (CurrentSeams().getOpenFileName(dialog))
        SetText(edtTrelanPath, FolderOf(file.data()));
}

// Leaving the page shows the directory in use, not an entry that failed.
void TfrmMain::tabSettingsExit()
{
    if (Text(edtTrelanPath) != TrelanPath)
        SetText(edtTrelanPath, TrelanPath);
}

LRESULT CALLBACK TfrmMain::SettingsControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR self)
{
    if (msg == WM_KILLFOCUS)
        reinterpret_cast<TfrmMain*>(self)->OnSettingsFocusLost(reinterpret_cast<HWND>(wParam));
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void TfrmMain::OnSettingsFocusLost(HWND to)
{
    // Only a move to another control of this window leaves the page; switching
    // to another program does not.
    const bool ours = to && (to == hwnd_ || ::IsChild(hwnd_, to));
    if (ours && !::IsChild(Window(tabSettings), to))
        Guarded([this] { tabSettingsExit(); });
}

} // namespace trelgate
