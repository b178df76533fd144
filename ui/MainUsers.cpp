// The main window's user manager page: the user box, the chosen user's file
// date and the backup list.
#include "ui/Main.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/Handle.h"
#include "base/Window.h"
#include "settings/GameDirectory.h"
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

} // namespace

void TfrmMain::UpdateUsers() { UpdateUsers(IsValidTrelanPath(TrelanPath)); }

void TfrmMain::UpdateUsers(bool valid)
{
    ++usersListed_;
    HWND box = Item(cboUser);
    const std::vector<std::wstring> users = valid ? ListUsers(GameFolder(TrelanPath)) : std::vector<std::wstring>{};
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
    ShowUserFile(valid);
}

void TfrmMain::cboUserChange() { ShowUserFile(IsValidTrelanPath(TrelanPath)); }

void TfrmMain::ShowUserFile(bool valid)
{
    HWND box = Item(cboUser);
    const int selected = ComboBox_GetCurSel(box);
    CurrentUser = selected < 0 ? std::wstring() : ItemText(box, selected);
    if (valid) {
        const std::optional<double> date = FindUserFile(GameFolder(TrelanPath), CurrentUser);
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
    // An edit still open belongs to a row that goes now.
    editing_.reset();
    ListView_CancelEditLabel(list);
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
            Backups = ListBackups(GameFolder(TrelanPath), ItemText(Item(cboUser), selected));
            // The rows are the records: the list asks for a row's texts only
            // when it draws it.
            ListView_SetItemCountEx(list, static_cast<int>(Backups.size()), LVSICF_NOSCROLL);
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
    const TBackup* backup = RowAt(row);
    SetText(edtNewBackup, backup ? backup->Name : std::wstring());
    UpdateButtons();
}

// The texts of a row as the list draws it, or as anyone asks for them.
LRESULT TfrmMain::lstBackupsGetDispInfo(const NMHDR& header)
{
    // The list passes its own structure for the answer.
    auto& info = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header));
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 || item.iItem < 0 ||
        item.iItem >= static_cast<int>(Backups.size()))
        return 0;
    const TBackup& backup = Backups[item.iItem];
    // Columns 1 and 2 are the date and the time: DateTimeText's kinds 1 and 2.
    const std::wstring stamp = item.iSubItem == 0 ? std::wstring() : DateTimeText(item.iSubItem, backup.FileDate);
    const std::wstring& text = item.iSubItem == 0 ? backup.Name : stamp;
    const std::size_t length = std::min<std::size_t>(text.size(), item.cchTextMax - 1);
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = L'\0';
    return 0;
}

// Typing over the list finds the next row whose caption starts with the typed
// letters, as the list does by itself when it holds its rows.
LRESULT TfrmMain::lstBackupsFindItem(const NMHDR& header)
{
    const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz)
        return -1;
    const std::wstring_view typed = find.lvfi.psz;
    const int rows = static_cast<int>(Backups.size()), start = std::clamp(find.iStart, 0, rows);
    const int visits = find.lvfi.flags & LVFI_WRAP ? rows : rows - start;
    for (int i = 0; i < visits; ++i) {
        const int row = (start + i) % rows;
        std::wstring_view name = Backups[row].Name;
        if (find.lvfi.flags & LVFI_PARTIAL)
            name = name.substr(0, typed.size());
        if (::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), typed.data(),
                                   static_cast<int>(typed.size()), TRUE) == CSTR_EQUAL)
            return row;
    }
    return -1;
}

void TfrmMain::edtNewBackupChange() { ::EnableWindow(Item(btnNewBackup), !Text(edtNewBackup).empty()); }

} // namespace trelgate
