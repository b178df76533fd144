// The launch: the settings saved, the launcher out of the way while the game
// runs, and back where it stood with the users refreshed afterwards.
#include "ui/Main.h"

#include "base/GameFolder.h"
#include "base/Handle.h"
#include "base/Window.h"
#include "launch/Process.h"
#include "ui/FrameRules.h"

namespace trelgate {

using namespace layout;

void TfrmMain::btnLaunchClick()
{
    if (TrelanPath.empty()) {
        Box(L"Set the path to the Trelan directory first.", L"Trelan path not set", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // A settings file that cannot be written ends the launch here, before the
    // window goes, and reaches the player in the standard error box.
    SaveSettings();
    RECT place{};
    ::GetWindowRect(hwnd_, &place);
    SavedLeft = place.left;
    SavedTop = place.top;

    ::ShowWindow(hwnd_, SW_MINIMIZE);
    // The launcher comes back however the launch ends, after any box below.
    const ScopeExit restore([this] { ::ShowWindow(hwnd_, SW_RESTORE); });
    // A fade-in still running ends at its next step, which finds the window opaque.
    if (alphaBlendValue_ < kOpaque)
        SetAlphaBlendValue(kOpaque);
    const std::wstring commandLine = BuildCommandLine(OptionsChecked());
    const bool ran = RunAndWait(GameFolder(TrelanPath).Executable(), commandLine);
    // Clicks and keys that reached the window while the game ran were meant
    // for the game: replayed now, they would launch it again or start an
    // operation on a user the game may have removed.
    DiscardQueuedInput();
    if (ran)
        EnableTimer(tmrUpdateUsers, true);
    else
        Box(L"Unable to run Trelan. Please check the Settings tab to see if the Trelan directory is set correctly.",
            L"Error running Trelan", MB_OK | MB_ICONSTOP);
}

// One tick per launch, a second after the window came back.
void TfrmMain::tmrUpdateUsersTimer()
{
    EnableTimer(tmrUpdateUsers, false);
    ::SetWindowPos(hwnd_, nullptr, SavedLeft, SavedTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateUsers();
}

} // namespace trelgate
