// The user store's rules that need no file system: its paths, how names come
// from file and folder names, their comparison and their order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/GameFolder.h"

namespace trelgate {

// One row of the backup list.
struct TBackup {
    std::wstring Name;
    double FileDate = 0; // date-time value, see users/DateTime.h
};

// Everything before the last "."; a name without one gives the empty string.
std::wstring RemoveFileExt(std::wstring_view fileName);

// Whether fileName ends in ext without regard to case. A pattern such as
// "*.usr" also matches "x.usrx" through its generated short name.
bool HasFileExt(std::wstring_view fileName, std::wstring_view ext);

// One code unit to its upper case, as the file system compares names.
wchar_t UpperCaseOf(wchar_t c);
std::wstring UpperCased(std::wstring_view text);

// Equal without regard to case: the names of one user's file and folder.
bool SameName(std::wstring_view a, std::wstring_view b);

// The listing order: upper-cased code units first, then the code units, so
// "AGENT" < "Agent" < "agent" < "Agent2" and the order is total.
bool NameBefore(std::wstring_view a, std::wstring_view b);

void SortNames(std::vector<std::wstring>& names);
void SortBackups(std::vector<TBackup>& backups);

// The user list: the user files' names, then each folder's name that no
// earlier entry has without regard to case; each pass sorted first.
std::vector<std::wstring> MergeUserNames(std::vector<std::wstring> fileUsers, std::vector<std::wstring> folderUsers);

} // namespace trelgate
