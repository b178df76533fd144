// The real main window, created in the test process over a throwaway launcher folder, the seams scripted.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "TestSupport.h"
#include "base/Text.h"
#include "ui/Main.h"

namespace trelgate::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
    }

    // The launcher, shown, as if its executable stood in the folder.
    void Show()
    {
        form = std::make_unique<TfrmMain>(folder / L"Trelgate.exe");
        form->onClosed = [this] { closed = true; };
        form->Create();
        form->Show();
    }
    // ... from a settings file that asks for fading, or not.
    void Open(bool fading = true)
    {
        WriteBytes(Ini(), fading ? "[Settings]\r\nFadeWindow=1\r\n" : "[Settings]\r\nFadeWindow=0\r\n");
        Show();
    }

    std::wstring Ini() const { return folder / L"Trelgate.ini"; }
    HWND Item(Ctl id) const { return form->Item(id); }
    std::wstring Text(Ctl id) const { return TextOf(Item(id)); }
    void Click(Ctl id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    // A key press (or Alt and a letter, as WM_SYSCHAR), through the launcher's message filter first, as its own
    // loop would.
    void Press(HWND target, WPARAM key, UINT message = WM_KEYDOWN)
    {
        MSG msg{target, message, key, 0};
        if (!form->PreTranslateMessage(msg))
            ::DispatchMessageW(&msg);
    }
    TempDir folder;
    ScriptedSeams seams;
    std::unique_ptr<TfrmMain> form;
    bool closed = false;
};

// The user manager page over the game folder "game": the demo game and its users.
class UserPageTest : public WindowTest {
protected:
    using Rows = std::vector<std::wstring>;

    // Literal, so that "Bob." and "." are the entries they name.
    std::wstring At(const std::wstring& name) const { return L"\\\\?\\" + game + L"\\users\\" + name; }
    // A user file, or a backup (in its user's folder) when the name holds one; it holds its own name. The backups
    // are older than the user files, so that a restore shows the time it gives.
    void Save(const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        const auto slash = name.rfind(L'\\');
        if (slash != std::wstring::npos)
            ::CreateDirectoryW(At(name.substr(0, slash)).c_str(), nullptr);
        const FILETIME written = slash == std::wstring::npos ? LocalTime(2026, 12, 1, 9, 30, 0)
                                                             : LocalTime(2026, 11, 2, 18, 4, 12);
        WriteDated(At(name), written, Utf8FromWide(name));
        Mark(At(name), attributes);
    }

    // A fresh window on trelanPath with the user remembered.
    void OpenAt(const std::wstring& trelanPath, const std::wstring& remembered)
    {
        form.reset();
        seams.boxes.clear();
        WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + Utf8FromWide(trelanPath) + "\r\n[Users]\r\nCurrentUser=" +
                              Utf8FromWide(remembered) + "\r\n");
        Show();
    }
    // ... on the game, none remembered, with the user chosen as a player would choose it.
    void OpenOn(const std::wstring& user)
    {
        OpenAt(game, L"");
        HWND box = Item(Ctl::cboUser);
        ComboBox_SetCurSel(box, ComboBox_FindStringExact(box, -1, user.c_str()));
        ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box));
        ASSERT_EQ(form->CurrentUser, user);
    }

    HWND List() const { return Item(Ctl::lstBackups); }
    Rows Captions() const
    {
        Rows captions;
        for (int row = 0; row < ListView_GetItemCount(List()); ++row) {
            wchar_t text[512] = {};
            ListView_GetItemText(List(), row, 0, text, 512);
            captions.push_back(text);
        }
        return captions;
    }
    // The rows of these captions selected.
    void Select(const std::vector<std::wstring>& captions)
    {
        const Rows rows = Captions();
        const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row)
            if (std::ranges::count(captions, rows[row]))
                ListView_SetItemState(List(), row, state, state);
    }
    void NewBackup(const std::wstring& name)
    {
        ::SetWindowTextW(Item(Ctl::edtNewBackup), name.c_str());
        Click(Ctl::btnNewBackup);
    }
    // F2 on the focused row; once whatever happens meanwhile is done, the text typed over the edit, then Enter.
    void Rename(const std::wstring& text, const std::function<void()>& meanwhile = nullptr)
    {
        ::SetFocus(List());
        Press(List(), VK_F2);
        if (meanwhile)
            meanwhile();
        if (HWND edit = ListView_GetEditControl(List())) {
            ::SetWindowTextW(edit, text.c_str());
            Press(edit, VK_RETURN);
        }
    }
    std::wstring game = MakeGame(folder / L"game");
};

} // namespace trelgate::test
