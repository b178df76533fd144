// The launcher's only window: a borderless frame with four pages.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Handle.h"
#include "launch/Options.h"
#include "resources/Layout.h"
#include "settings/SettingsFile.h"
#include "ui/FontFit.h"
#include "users/UserRules.h"

namespace trelgate {

using layout::Ctl;

class TfrmMain {
public:
    static constexpr wchar_t kClassName[] = L"TfrmMain";
    enum Timer : UINT_PTR { tmrFadeIn = 1, tmrFadeOut, tmrUpdateUsers, kTimerCount = tmrUpdateUsers };
    // How long after a launch the window comes back where it stood and the users are refreshed.
    static constexpr UINT kRefreshDelayMs = 1000;

    // exePath is the launcher's own executable; its folder holds the settings.
    explicit TfrmMain(std::wstring exePath);
    ~TfrmMain();
    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    // Creates the window, hidden, with the user manager page; FormCreate runs.
    void Create();
    // Shows the window centred on the desktop; FormShow runs first. The pages
    // not shown yet are built once the window is up, one per message, or
    // when one is shown or asked for before that.
    void Show();
    // Runs when the window has been destroyed (the application ends its loop).
    std::function<void()> onClosed;

    // Keyboard handling of the message loop: page keys, then the dialog manager.
    bool PreTranslateMessage(MSG& msg);

    HWND Handle() const { return hwnd_; }
    // A control's window; its page is built first when it was not yet.
    HWND Item(Ctl id);
    bool TimerEnabled(Timer timer) const { return timers_[timer - 1]; }
    bool AlphaBlend() const { return alphaBlend_; }
    int AlphaBlendValue() const { return alphaBlendValue_; }
    Ctl ActivePage() const { return activePage_; }

    const std::wstring LauncherDir;
    std::wstring TrelanPath;
    std::wstring CurrentUser;
    bool UserFileExists = false;
    double UserFileDate = 0; // the current user's file date; 0 without a file
    // Where the window stood when the game was last launched; the refresh after it puts it back there.
    int SavedLeft = 0, SavedTop = 0;

private:
    // Routing: which handler a control's command or notification runs.
    struct CommandRoute {
        Ctl id;
        UINT code;
        void (TfrmMain::*handler)();
    };
    struct NotifyRoute {
        Ctl id;
        UINT code;
        LRESULT (TfrmMain::*handler)(const NMHDR&);
    };
    static const CommandRoute kCommandRoutes[];
    static const NotifyRoute kNotifyRoutes[];
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnTimer(WPARAM id);
    LRESULT OnActivate(WPARAM wParam);
    LRESULT PageControlChange(const NMHDR& header);
    LRESULT lstBackupsNotify(const NMHDR& header);
    HWND TabStripStop(bool back) const;

    // Building, layout, DPI and paint
    static constexpr UINT kBuildNextPage = WM_APP + 1;
    // A control's window, or null while its page is not built.
    HWND Window(Ctl id) const { return controls_[layout::Index(id)]; }
    void RegisterClasses() const;
    // The page control with its tabs, and Launch and Exit.
    void CreateControls();
    void CreateControl(const layout::Control& c);
    // A page and its controls, which take the texts and check marks put in
    // meanwhile; nothing when it is built already.
    void BuildPage(Ctl page);
    void BuildNextPage();
    void CreateFonts();
    // Moves every control to its place at the window's DPI, when that changes.
    void ApplyLayout();
    void SetTabPadding(HWND tabs) const;
    LRESULT OnPaint();
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested);
    int Px(int value) const;

    // Frame
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void btnExitClick();
    void tmrFadeInTimer();
    void tmrFadeOutTimer();
    LRESULT WMNCHitTest(WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageControlHitTest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                               DWORD_PTR self);
    std::wstring GetVersionString() const;

    // Settings
    void LoadSettings();
    void SaveSettings();
    void edtTrelanPathChange();
    void btnTrelanPathBrowseClick();
    void tabSettingsExit();
    static LRESULT CALLBACK SettingsControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                DWORD_PTR self);
    void OnSettingsFocusLost(HWND to);

    // User manager page
    void UpdateUsers();
    // The same, the game directory just tested: whether TrelanPath is valid.
    void UpdateUsers(bool valid);
    void cboUserChange();
    void ShowUserFile(bool valid);
    void UpdateBackups();
    void UpdateButtons();
    void lstBackupsChange();
    void edtNewBackupChange();
    // The record of a row, or null for a row the list no longer has.
    const TBackup* RowAt(int row) const;
    LRESULT lstBackupsGetDispInfo(const NMHDR& header);
    LRESULT lstBackupsFindItem(const NMHDR& header);

    // Startup options page
    void tabOptionsMouseMove(HWND sender);
    void SubclassOptionsPage();
    static LRESULT CALLBACK OptionsMouseProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR self);

    // Launching the game
    void btnLaunchClick();
    void tmrUpdateUsersTimer();

    // Backups: create, restore, rename, delete, and deleting a user
    void btnNewBackupClick();
    void btnRestoreClick();
    // A row in place edit as it began: what the edit renames.
    struct EditedRow {
        std::wstring trelanPath, user;
        TBackup backup;
        int row;
    };
    // Whether the backup now carries the name S; on failure S is its name again.
    bool lstBackupsEdited(const EditedRow& edited, std::wstring& S);
    void btnDeleteBackupsClick();
    void btnDeleteUserClick();
    LRESULT lstBackupsKeyDown(const NMHDR& header);
    LRESULT lstBackupsRestore(const NMHDR& header);
    LRESULT lstBackupsBeginLabelEdit(const NMHDR& header);
    LRESULT lstBackupsEndLabelEdit(const NMHDR& header);
    bool UserChosen() const;
    int Box(const std::wstring& text, const wchar_t* title, UINT flags) const;

    // Frame helpers
    void ShowPage(Ctl page);
    void Close();
    void EnableTimer(Timer timer, bool enabled);
    void SetAlphaBlend(bool on);
    void SetAlphaBlendValue(int level);
    bool Checked(Ctl id) const;
    void SetChecked(Ctl id, bool checked);
    OptionStates OptionsChecked() const;
    std::wstring Text(Ctl id) const;
    // Sets a control's text only when it differs, so that the same text runs
    // no change handler.
    void SetText(Ctl id, std::wstring_view text);
    // Runs a handler outside the window procedure's own guard.
    template <class Handler>
    void Guarded(Handler&& handler) noexcept
    {
        try {
            handler();
        } catch (...) {
            ShowError();
        }
    }
    void ShowError() noexcept;

    std::unique_ptr<TSettingsFile> SettingsFile;
    // The records of the backup rows, in row order; the list itself holds
    // no rows' data (LVS_OWNERDATA) and asks for their texts when it draws them.
    std::vector<TBackup> Backups;
    bool fillingBackups_ = false;
    std::optional<EditedRow> editing_;
    HWND hwnd_ = nullptr;
    std::array<HWND, layout::kCtlCount> controls_{};
    // What the controls of a page not built yet hold: their layout's caption
    // and check mark at first, then what the window puts in.
    std::array<std::wstring, layout::kCtlCount> texts_;
    std::array<bool, layout::kCtlCount> checks_{};
    std::array<bool, kTimerCount> timers_{};
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    FontSet fonts_;
    UniqueBitmap logo_;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;
    bool shown_ = false;
    int usersListed_ = 0; // how often UpdateUsers ran
    bool destroying_ = false;
    Ctl activePage_ = Ctl::tabUsers;
    HWND focusOnActivate_ = nullptr;
};

} // namespace trelgate
