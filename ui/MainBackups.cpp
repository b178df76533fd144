// The main window's backup operations: create, restore, rename and delete
// backups, and delete a user. Every question comes before any file is touched.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "base/Files.h"
#include "settings/GameDirectory.h"
#include "ui/Seams.h"
#include "users/BackupFiles.h"
#include "users/BackupRules.h"

namespace trelgate {

using namespace layout;

namespace {

constexpr UINT kError = MB_OK | MB_ICONSTOP;
constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kQuestion = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;
constexpr UINT kThreeWayQuestion = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1;

constexpr wchar_t kCreateTitle[] = L"Create Backup";
constexpr wchar_t kRestoreTitle[] = L"Restore Backup";
constexpr wchar_t kRenameTitle[] = L"Rename Backup";
constexpr wchar_t kDeleteTitle[] = L"Delete Backups";
constexpr wchar_t kDeleteUserTitle[] = L"Delete User";

} // namespace

// A user is chosen while the box has a selection; an empty name is a user too.
bool TfrmMain::UserChosen() const { return ComboBox_GetCurSel(Item(cboUser)) >= 0; }

std::wstring TfrmMain::BackupFolder() const
{
    return BackupFolderPath(LiteralGameDirectory(TrelanPath), CurrentUser);
}

std::wstring TfrmMain::UserFile() const { return UserFilePath(LiteralGameDirectory(TrelanPath), CurrentUser); }

int TfrmMain::Box(const std::wstring& text, const wchar_t* title, UINT flags) const
{
    return CurrentSeams().messageBox(hwnd_, text, title, flags);
}

void TfrmMain::btnNewBackupClick()
{
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen())
        return;
    const std::wstring name = Text(edtNewBackup);
    if (!HasBackupFolder(CurrentUser)) {
        Box(L"Backup directory cannot be created!", kCreateTitle, kError);
        return;
    }
    if (!IsAcceptableBackupName(name)) {
        Box(L"Backup cannot be created!", kCreateTitle, kError);
        return;
    }
    const std::wstring folder = BackupFolder();
    if (!DirectoryExists(folder) && !CreateFolder(folder)) {
        Box(L"Backup directory cannot be created!", kCreateTitle, kError);
        return;
    }
    const std::wstring backup = BackupFilePath(folder, name);
    if (FileExists(backup) &&
        Box(L"The backup '" + name + L"' already exists. Overwrite?", kCreateTitle, kQuestion) != IDYES)
        return;
    if (!CopyFileContents(UserFile(), backup)) {
        Box(L"Backup cannot be created!", kCreateTitle, kError);
        return;
    }
    SetFileDate(backup, UserFileDate); // a backup with the time of the copy is still a backup
    UpdateBackups();
}

void TfrmMain::btnRestoreClick()
{
    HWND list = Item(lstBackups);
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen() || ListView_GetSelectedCount(list) != 1)
        return;
    // The row as it is now: a box's own message loop may let a refresh rebuild the list.
    const TBackup backup = Backups.at(ListView_GetNextItem(list, -1, LVNI_SELECTED));
    if (Box(L"Do you really want to restore the backup '" + backup.Name + L"'?", kRestoreTitle, kQuestion) != IDYES)
        return;
    const std::wstring userFile = UserFile();
    if (!CopyFileContents(BackupFilePath(BackupFolder(), backup.Name), userFile)) {
        Box(L"Backup cannot be restored!", kRestoreTitle, kError);
        return;
    }
    SetFileDate(userFile, backup.FileDate);
    UpdateUsers();
}

void TfrmMain::lstBackupsEdited(int row, std::wstring& S)
{
    const std::wstring caption = RowCaption(row);
    if (S == caption)
        return;
    TBackup& backup = Backups.at(row);
    const std::wstring folder = BackupFolder(), renamed = BackupFilePath(folder, S);
    if (!IsAcceptableBackupName(S) || !RenameFile(BackupFilePath(folder, backup.Name), renamed)) {
        Box(L"Backup could not be renamed.", kRenameTitle, kError);
        S = caption;
        return;
    }
    backup.Name = S;
    SetFileDate(renamed, backup.FileDate);
}

void TfrmMain::btnDeleteBackupsClick()
{
    HWND list = Item(lstBackups);
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen() || ListView_GetSelectedCount(list) == 0)
        return;
    // The rows the player chose, in list order, taken before the question: a
    // box runs a message loop of its own, in which a refresh may rebuild the list.
    std::vector<std::wstring> selected;
    for (int row = 0, rows = ListView_GetItemCount(list); row < rows; ++row)
        if (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED)
            selected.push_back(RowCaption(row));
    if (Box(L"Do you really want to delete the selected backups?", kDeleteTitle, kQuestion) != IDYES)
        return;
    const std::wstring folder = BackupFolder();
    for (const std::wstring& caption : selected)
        if (!DeleteStoreFile(BackupFilePath(folder, caption)))
            Box(L"The backup '" + caption + L"' could not be deleted!", kDeleteTitle, kError);
    UpdateBackups();
}

void TfrmMain::btnDeleteUserClick()
{
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen())
        return;
    const int answer = Box(L"Do you want to keep the backups for this user?\r"
                           L"If you choose 'Yes', the user will be deleted but the backups will be kept.\r"
                           L"If you choose 'No', both the user and all backups will be deleted.",
                           L"Keep backups?", kThreeWayQuestion);
    if (answer != IDYES && answer != IDNO)
        return;
    // A user named "", "." or ".." has no folder of its own: only its file goes.
    if (HasBackupFolder(CurrentUser)) {
        const std::wstring folder = BackupFolder();
        bool kept = false;
        ForEachEntry(folder + L"\\*", EntryFilter::PlainFiles, [&](const WIN32_FIND_DATAW& entry) {
            if (answer == IDYES)
                kept = true;
            else if (!DeleteStoreFile(folder + L"\\" + entry.cFileName))
                Box(L"Unable to delete backup '" + std::wstring(entry.cFileName) + L"'!", kDeleteUserTitle,
                    kError);
        });
        if (!kept && DirectoryExists(folder) && !RemoveFolder(folder))
            Box(L"The attempt to delete the backup directory failed.", kDeleteUserTitle, kWarning);
    }
    if (!DeleteStoreFile(UserFile()))
        Box(L"User file could not be deleted!", kDeleteUserTitle, kError);
    UpdateUsers();
}

LRESULT TfrmMain::lstBackupsKeyDown(const NMHDR& header)
{
    HWND list = Item(lstBackups);
    switch (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey) {
    case VK_F2:
        if (const int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED); row >= 0)
            ListView_EditLabel(list, row);
        break;
    case VK_DELETE: btnDeleteBackupsClick(); break;
    default: break;
    }
    return 0;
}

// A double click, or Enter; the restore itself asks for exactly one row.
LRESULT TfrmMain::lstBackupsRestore(const NMHDR&)
{
    btnRestoreClick();
    return 0;
}

// The caption is the row's record, which a rename sets; a cancelled edit
// comes without a text and changes nothing.
LRESULT TfrmMain::lstBackupsEndLabelEdit(const NMHDR& header)
{
    const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
    if (!edit.item.pszText)
        return FALSE;
    const int row = edit.item.iItem;
    const std::wstring before = RowCaption(row);
    std::wstring S = edit.item.pszText;
    lstBackupsEdited(row, S);
    // The list keeps no text to change: the row is drawn anew from its
    // record, and its new caption is offered as a selected row's is.
    if (RowCaption(row) != before) {
        ListView_RedrawItems(Item(lstBackups), row, row);
        lstBackupsChange();
    }
    return FALSE;
}

} // namespace trelgate
