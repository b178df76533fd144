// The user store on disk: the users folder's listings, the backup listing,
// the user file lookup and the file dates they carry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "users/UserRules.h"

namespace trelgate {

// A last-write time as the store shows it: local time in the DOS form.
double FileDateOf(const FILETIME& lastWrite);
// The last-write time to give a file so that FileDateOf reads value back;
// nothing for a value outside the years 1980 to 2107.
std::optional<FILETIME> DateTimeToFileTime(double value);

// The users of a game directory that passed the validity test: the user
// files' names, then the folders' names that no user file has (MergeUserNames).
std::vector<std::wstring> ListUsers(const std::wstring& trelanPath);
// The backups in a backup folder, sorted; none when the folder is missing.
std::vector<TBackup> ListBackups(const std::wstring& backupFolder);
// The file date of the user file at userFile, or nothing when there is none.
std::optional<double> FindUserFile(const std::wstring& userFile);

} // namespace trelgate
