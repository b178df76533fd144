// The main window's user manager page: the user box, the chosen user's file
// date and the backup list.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/Handle.h"
#include "base/Window.h"
#include "settings/GameDirectory.h"
#include "users/BackupFiles.h"
#include "users/BackupRules.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

namespace trelgate {

using namespace layout;

namespace {

std::wstring ItemText(HWND box, int index)
{
    std::wstring text(ComboBox_GetLBTextLen(box, index) + 1, L'\0');
    text.resize(ComboBox_GetLBText(box, index, text.data()));
    return text;
}

void AddRow(HWND list, int row, TBackup& backup)
{
    LVITEMW item{LVIF_TEXT | LVIF_PARAM};
    item.iItem = row;
    item.pszText = backup.Name.data();
    item.lParam = reinterpret_cast<LPARAM>(&backup);
    ListView_InsertItem(list, &item);
    std::wstring date = DateTimeText(1, backup.FileDate), time = DateTimeText(2, backup.FileDate);
    ListView_SetItemText(list, row, 1, date.data());
    ListView_SetItemText(list, row, 2, time.data());
}

} // namespace

void TfrmMain::UpdateUsers()
{
    HWND box = Item(cboUser);
    const std::vector<std::wstring> users =
        IsValidTrelanPath(TrelanPath) ? ListUsers(TrelanPath) : std::vector<std::wstring>{};
    {
        const RedrawGuard oneRepaint(box);
        ComboBox_ResetContent(box);
        for (const std::wstring& user : users)
            ComboBox_AddString(box, user.c_str());
    }

    ::EnableWindow(box, !users.empty());
    if (!users.empty()) {
        int chosen = 0; // the remembered user, else the first
        for (int i = 0; i < static_cast<int>(users.size()); ++i)
            if (!CurrentUser.empty() && SameName(users[i], CurrentUser)) {
                chosen = i;
                break;
            }
        ComboBox_SetCurSel(box, chosen);
    }
    cboUserChange();
}

void TfrmMain::cboUserChange()
{
    HWND box = Item(cboUser);
    const int selected = ComboBox_GetCurSel(box);
    CurrentUser = selected < 0 ? std::wstring() : ItemText(box, selected);
    if (IsValidTrelanPath(TrelanPath)) {
        const std::optional<double> date = FindUserFile(UserFilePath(LiteralGameDirectory(TrelanPath), CurrentUser));
        UserFileExists = date.has_value();
        UserFileDate = date.value_or(0);
        SetText(pnlDate, date ? DateTimeText(1, *date) : L"no file");
        SetText(pnlTime, date ? DateTimeText(2, *date) : L"");
    }
    UpdateBackups();
}

void TfrmMain::UpdateBackups()
{
    HWND list = Item(lstBackups);
    {
        // One repaint for the whole list, and no change handler per row, also
        // when the listing fails part way.
        const RedrawGuard oneRepaint(list);
        fillingBackups_ = true;
        const ScopeExit filled([this] { fillingBackups_ = false; });
        ListView_DeleteAllItems(list);
        Backups.clear();
        SetText(edtNewBackup, L"");
        ::EnableWindow(Item(btnNewBackup), FALSE);

        const int selected = ComboBox_GetCurSel(Item(cboUser));
        ::EnableWindow(list, selected >= 0);
        ::EnableWindow(Item(edtNewBackup), selected >= 0);
        if (selected >= 0) {
            // Literally the user's own folder: "Bob." is not "Bob", and "." is no folder.
            const std::wstring user = ItemText(Item(cboUser), selected);
            std::vector<TBackup> found;
            if (HasBackupFolder(user))
                found = ListBackups(BackupFolderPath(LiteralGameDirectory(TrelanPath), user));
            Backups.reserve(found.size());
            ListView_SetItemCount(list, static_cast<int>(found.size()));
            for (TBackup& backup : found) {
                Backups.push_back(std::make_unique<TBackup>(std::move(backup)));
                AddRow(list, static_cast<int>(Backups.size()) - 1, *Backups.back());
            }
        }
    }
    UpdateButtons();
}

void TfrmMain::UpdateButtons()
{
    const int selected = ListView_GetSelectedCount(Item(lstBackups));
    ::EnableWindow(Item(btnRestore), selected == 1);
    ::EnableWindow(Item(btnDeleteBackups), selected >= 1);
    ::EnableWindow(Item(btnDeleteUser), UserFileExists);
}

void TfrmMain::lstBackupsChange()
{
    if (fillingBackups_)
        return;
    HWND list = Item(lstBackups);
    const int row = ListView_GetSelectedCount(list) == 1 ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
    SetText(edtNewBackup, row >= 0 ? RowCaption(row) : std::wstring());
    UpdateButtons();
}

std::wstring TfrmMain::RowCaption(int row) const
{
    std::wstring caption;
    for (int room = 256;; room *= 2) {
        caption.assign(room, L'\0');
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = caption.data();
        item.cchTextMax = room;
        const int n = static_cast<int>(
            ::SendMessageW(Item(lstBackups), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (n < room - 1) {
            caption.resize(n);
            return caption;
        }
    }
}

void TfrmMain::edtNewBackupChange() { ::EnableWindow(Item(btnNewBackup), !Text(edtNewBackup).empty()); }

} // namespace trelgate
