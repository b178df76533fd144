// The main window's backup operations: create, restore, rename and delete
// backups, and delete a user. Every question comes before any file is touched,
// and each operation takes the user and rows it acts on before its first
// question: a box runs a message loop of its own, in which the refresh that
// follows a launch may choose another user and rebuild the list.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "base/Files.h"
#include "settings/GameDirectory.h"
#include "ui/Seams.h"
#include "users/BackupFiles.h"

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
bool TfrmMain::UserChosen() const { return ComboBox_GetCurSel(Window(cboUser)) >= 0; }

const TBackup* TfrmMain::RowAt(int row) const
{
    return row >= 0 && row < static_cast<int>(Backups.size()) ? &Backups[row] : nullptr;
}

int TfrmMain::Box(const std::wstring& text, const wchar_t* title, UINT flags) const
{
    return CurrentSeams().messageBox(hwnd_, text, title, flags);
}

void TfrmMain::btnNewBackupClick()
{
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen())
        return;
    const GameFolder game(TrelanPath);
    const std::wstring user = CurrentUser, name = Text(edtNewBackup);
    const double userFileDate = UserFileDate;
    const std::optional<StoreEntry> folder = game.BackupFolder(user), backup = game.BackupFile(user, name),
                                    userFile = game.UserFile(user);
    if (folder && (!backup || !userFile)) { // refused before the folder is made
        Box(L"Backup cannot be created!", kCreateTitle, kError);
        return;
    }
    if (!folder || !(FolderExists(*folder) || CreateFolder(*folder))) {
        Box(L"Backup directory cannot be created!", kCreateTitle, kError);
        return;
    }
    if (FileExists(backup->Path()) &&
        Box(L"The backup '" + name + L"' already exists. Overwrite?", kCreateTitle, kQuestion) != IDYES)
        return;
    if (!CopyFileContents(*userFile, *backup)) {
        Box(L"Backup cannot be created!", kCreateTitle, kError);
        return;
    }
    SetFileDate(*backup, userFileDate); // a backup with the time of the copy is still a backup
    UpdateBackups();
}

void TfrmMain::btnRestoreClick()
{
    HWND list = Item(lstBackups);
    const TBackup* row = RowAt(ListView_GetNextItem(list, -1, LVNI_SELECTED));
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen() || ListView_GetSelectedCount(list) != 1 || !row)
        return;
    const GameFolder game(TrelanPath);
    const std::wstring user = CurrentUser;
    const TBackup backup = *row;
    if (Box(L"Do you really want to restore the backup '" + backup.Name + L"'?", kRestoreTitle, kQuestion) != IDYES)
        return;
    const std::optional<StoreEntry> source = game.BackupFile(user, backup.Name), userFile = game.UserFile(user);
    if (!source || !userFile || !CopyFileContents(*source, *userFile)) {
        Box(L"Backup cannot be restored!", kRestoreTitle, kError);
        return;
    }
    SetFileDate(*userFile, backup.FileDate);
    UpdateUsers();
}

bool TfrmMain::lstBackupsEdited(const EditedRow& edited, std::wstring& S)
{
    if (S == edited.backup.Name)
        return false;
    const GameFolder game(edited.trelanPath);
    const std::optional<StoreEntry> from = game.BackupFile(edited.user, edited.backup.Name),
                                    to = game.BackupFile(edited.user, S);
    if (!from || !to || !RenameFile(*from, *to)) {
        Box(L"Backup could not be renamed.", kRenameTitle, kError);
        S = edited.backup.Name;
        return false;
    }
    SetFileDate(*to, edited.backup.FileDate);
    return true;
}

void TfrmMain::btnDeleteBackupsClick()
{
    HWND list = Item(lstBackups);
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen() || ListView_GetSelectedCount(list) == 0)
        return;
    const GameFolder game(TrelanPath);
    const std::wstring user = CurrentUser;
    std::vector<std::wstring> selected; // in list order
    for (int row = 0, rows = static_cast<int>(Backups.size()); row < rows; ++row)
        if (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED)
            selected.push_back(Backups[row].Name);
    if (Box(L"Do you really want to delete the selected backups?", kDeleteTitle, kQuestion) != IDYES)
        return;
    for (const std::wstring& name : selected) {
        const std::optional<StoreEntry> backup = game.BackupFile(user, name);
        if (!backup || !DeleteStoreFile(*backup))
            Box(L"The backup '" + name + L"' could not be deleted!", kDeleteTitle, kError);
    }
    UpdateBackups();
}

void TfrmMain::btnDeleteUserClick()
{
    if (!IsValidTrelanPath(TrelanPath) || !UserChosen())
        return;
    const GameFolder game(TrelanPath);
    const std::wstring user = CurrentUser;
    const int answer = Box(L"Do you want to keep the backups for this user?\r"
                           L"If you choose 'Yes', the user will be deleted but the backups will be kept.\r"
                           L"If you choose 'No', both the user and all backups will be deleted.",
                           L"Keep backups?", kThreeWayQuestion);
    if (answer != IDYES && answer != IDNO)
        return;
    // A user named "", "." or ".." has no folder of its own: only its file goes.
    // A folder of that name that is no folder of the user's (a link) is left alone, and said so.
    if (const std::optional<StoreEntry> folder = game.BackupFolder(user); folder && DirectoryExists(folder->Path())) {
        RemoveLeftTemporariesIn(*folder);
        bool kept = false, failed = !FolderExists(*folder);
        if (!failed)
            ForEachEntry(GameFolder::FilesPattern(*folder), EntryFilter::PlainFiles, [&](const WIN32_FIND_DATAW& entry) {
                const std::optional<StoreEntry> file = game.InBackupFolder(user, entry.cFileName);
                if (answer == IDYES)
                    kept = true;
                else if (!file || !DeleteStoreFile(*file))
                    Box(L"Unable to delete backup '" + std::wstring(entry.cFileName) + L"'!", kDeleteUserTitle,
                        kError);
            });
        if (!kept && (failed || !RemoveFolder(*folder)))
            Box(L"The attempt to delete the backup directory failed.", kDeleteUserTitle, kWarning);
    }
    const std::optional<StoreEntry> userFile = game.UserFile(user);
    if (userFile)
        RemoveLeftTemporariesBeside(*userFile);
    if (!userFile || !DeleteStoreFile(*userFile))
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

// The row, its user and game folder as they stand when the edit begins: what a
// confirmed edit renames, whatever the player did meanwhile. A refresh ends the edit.
LRESULT TfrmMain::lstBackupsBeginLabelEdit(const NMHDR& header)
{
    const int row = reinterpret_cast<const NMLVDISPINFOW&>(header).item.iItem;
    const TBackup* backup = RowAt(row);
    if (!backup || !UserChosen())
        return TRUE; // no edit
    editing_ = EditedRow{TrelanPath, CurrentUser, *backup, row};
    return FALSE;
}

// The caption is the row's record, which a rename sets; a cancelled edit
// comes without a text and changes nothing.
LRESULT TfrmMain::lstBackupsEndLabelEdit(const NMHDR& header)
{
    const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
    const std::optional<EditedRow> edited = std::exchange(editing_, std::nullopt);
    if (!edit.item.pszText || !edited)
        return FALSE;
    std::wstring S = edit.item.pszText;
    // The list keeps no text to change: the row is drawn anew from its
    // record, and its new caption is offered as a selected row's is.
    if (lstBackupsEdited(*edited, S) && RowAt(edited->row)) {
        Backups[edited->row].Name = S;
        ListView_RedrawItems(Item(lstBackups), edited->row, edited->row);
        lstBackupsChange();
    }
    return FALSE;
}

} // namespace trelgate
