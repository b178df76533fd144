// The three places where the launcher waits for the player outside its own
// window or hands work to the desktop. Tests script them; nothing else is faked.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

namespace trelgate {

struct Seams {
    // Modal message box; returns the button pressed (IDOK, IDYES, ...).
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags)> messageBox;
    // The file-open dialog; true when the player confirmed a file.
    std::function<bool(OPENFILENAMEW& dialog)> getOpenFileName;
    // Hands a link to the desktop's default handler.
    std::function<void(const std::wstring& link)> openLink;
};

// The seams in force; production ones until a test replaces them.
Seams& CurrentSeams();

// Puts the production seams back.
void ResetSeams();

} // namespace trelgate
