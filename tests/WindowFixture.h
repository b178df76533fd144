// The real main window, created in the test process over a throwaway launcher
// folder, with the seams scripted.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestSupport.h"
#include "ui/Main.h"

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
    // A key press through the launcher's message loop filter.
    void Press(HWND target, WPARAM key, int held = 0)
    {
        PressKey(target, key, held, [this](MSG& m) { return form->PreTranslateMessage(m); });
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

} // namespace trelgate::test
