// The real main window, created in the test process over a throwaway launcher
// folder, with the seams scripted.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/Text.h"
#include "ui/Main.h"
#include "users/BackupFiles.h"

namespace trelgate::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
    }

    // The launcher as if its executable stood in launcherDir.
    TfrmMain& Create(const std::wstring& launcherDir)
    {
        form = std::make_unique<TfrmMain>(launcherDir + L"\\Trelgate.exe");
        form->onClosed = [this] { closed = true; };
        form->Create();
        return *form;
    }
    TfrmMain& Create() { return Create(folder.Path()); }

    TfrmMain& Show()
    {
        form->Show();
        return *form;
    }

    // Shown from a settings file that asks for fading, or not.
    TfrmMain& Open(bool fading = true)
    {
        WriteBytes(Ini(), fading ? "[Settings]\r\nFadeWindow=1\r\n" : "[Settings]\r\nFadeWindow=0\r\n");
        Create();
        return Show();
    }

    std::wstring Ini() const { return folder / L"Trelgate.ini"; }
    HWND Item(Ctl id) const { return form->Item(id); }
    std::wstring Text(Ctl id) const { return TextOf(Item(id)); }
    bool Checked(Ctl id) const { return Button_GetCheck(Item(id)) == BST_CHECKED; }
    bool Enabled(Ctl id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void Click(Ctl id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void Tick(TfrmMain::Timer timer, int times = 1)
    {
        for (int i = 0; i < times && form->Handle(); ++i)
            ::SendMessageW(form->Handle(), WM_TIMER, timer, 0);
    }
    // A key press, with a modifier key held when one is given, through the
    // launcher's message filter first, as its own loop would.
    void Press(HWND target, WPARAM key, int held = 0)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[held] = held ? 0x80 : keys[held];
        ::SetKeyboardState(keys);
        MSG msg{target, WM_KEYDOWN, key, 0};
        if (!form->PreTranslateMessage(msg))
            ::DispatchMessageW(&msg);
        keys[held] = held ? 0 : keys[held];
        ::SetKeyboardState(keys);
    }
    // The message boxes shown, as "title|text|flags".
    using Boxes = std::vector<std::wstring>;
    Boxes Shown() const
    {
        Boxes shown;
        for (const auto& box : seams.boxes)
            shown.push_back(box.title + L"|" + box.text + L"|" + std::to_wstring(box.flags));
        return shown;
    }
    // Types text into an edit as the keyboard would, one character at a time.
    void Type(Ctl id, const std::wstring& text)
    {
        for (wchar_t c : text)
            ::SendMessageW(Item(id), WM_CHAR, c, 0);
    }

    TempDir folder;
    ScriptedSeams seams;
    std::unique_ptr<TfrmMain> form;
    bool closed = false;
};

// The user manager page over the game folder "game": the demo game and its users.
class UserPageTest : public WindowTest {
protected:
    using Names = std::set<std::wstring>;
    using Rows = std::vector<std::wstring>;
    static inline const std::wstring kKeepBackups =
        L"Keep backups?|Do you want to keep the backups for this user?\rIf you choose 'Yes', the user will be deleted "
        L"but the backups will be kept.\rIf you choose 'No', both the user and all backups will be deleted.|35";

    // Literal, so that "Bob." and "." are the entries they name.
    std::wstring At(const std::wstring& name) const { return LiteralGameDirectory(game) + L"\\users\\" + name; }
    // A user file, or a backup when the name holds a folder, written at the given time.
    void Save(const std::wstring& name, const FILETIME& written, const std::string& bytes = "save",
              DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        if (const auto slash = name.rfind(L'\\'); slash != std::wstring::npos)
            ::CreateDirectoryW(At(name.substr(0, slash)).c_str(), nullptr);
        WriteDated(At(name), written, bytes);
        Mark(At(name), attributes);
    }
    void Save(const std::wstring& name, const std::string& bytes = "save", DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        Save(name, name.ends_with(L".usr") ? kSavedAt : kBackedUpAt, bytes, attributes);
    }

    // A fresh window on trelanPath with the user remembered; the boxes to come answered as given.
    void OpenAt(const std::wstring& trelanPath, const std::wstring& remembered, std::deque<int> answers = {})
    {
        form.reset();
        seams.boxes.clear();
        seams.answers = std::move(answers);
        WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + Utf8FromWide(trelanPath) + "\r\n[Users]\r\nCurrentUser=" +
                              Utf8FromWide(remembered) + "\r\n");
        Create();
        Show();
    }
    // ... on the game, none remembered, with the user chosen as a player would choose it.
    void OpenOn(const std::wstring& user, std::deque<int> answers = {})
    {
        OpenAt(game, L"", std::move(answers));
        Choose(user);
        ASSERT_EQ(form->CurrentUser, user);
    }
    std::vector<std::wstring> Entries() const
    {
        std::vector<std::wstring> entries;
        HWND box = Item(Ctl::cboUser);
        for (int i = 0; i < ComboBox_GetCount(box); ++i) {
            std::wstring text(ComboBox_GetLBTextLen(box, i) + 1, L'\0');
            text.resize(ComboBox_GetLBText(box, i, text.data()));
            entries.push_back(text);
        }
        return entries;
    }
    void Choose(const std::wstring& user)
    {
        HWND box = Item(Ctl::cboUser);
        const std::vector<std::wstring> entries = Entries();
        ComboBox_SetCurSel(box, std::ranges::find(entries, user) - entries.begin());
        ::SendMessageW(::GetParent(box), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box));
    }

    HWND List() const { return Item(Ctl::lstBackups); }
    std::wstring Cell(int row, int column) const
    {
        wchar_t text[512] = {};
        ListView_GetItemText(List(), row, column, text, 512);
        return text;
    }
    Rows Captions() const
    {
        Rows captions;
        for (int row = 0; row < ListView_GetItemCount(List()); ++row)
            captions.push_back(Cell(row, 0));
        return captions;
    }
    void Select(std::initializer_list<int> rows, bool selected = true)
    {
        const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
        for (int row : rows)
            ListView_SetItemState(List(), row, selected ? state : 0, state);
    }
    void NewBackup(const std::wstring& name)
    {
        ::SetWindowTextW(Item(Ctl::edtNewBackup), name.c_str());
        Click(Ctl::btnNewBackup);
    }
    // F2 on the focused row, the text typed over, then Enter or Escape.
    void Rename(const std::wstring& text, WPARAM key = VK_RETURN)
    {
        ::SetFocus(List());
        Press(List(), VK_F2);
        HWND edit = ListView_GetEditControl(List());
        ASSERT_TRUE(edit);
        ::SetWindowTextW(edit, text.c_str());
        Press(edit, key);
        ASSERT_FALSE(ListView_GetEditControl(List())) << "the edit has ended";
    }
    static inline const FILETIME kSavedAt = LocalTime(2026, 12, 5, 22, 15, 30),
                                 kBackedUpAt = LocalTime(2026, 11, 2, 18, 4, 12);
    std::wstring game = MakeGame(folder / L"game");
};

} // namespace trelgate::test
