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
// A name that is no entry name (a Unix file "a\b.usr" under Wine) is no
// user: no operation could reach its files, and it would stand for another's.
std::vector<std::wstring> ListUsers(const GameFolder& game);
// The backups of a user, sorted; none when the backup folder is missing. A
// name that no operation could reach is left out as well.
std::vector<TBackup> ListBackups(const GameFolder& game, std::wstring_view user);
// The file date of the user's file, or nothing when there is none.
std::optional<double> FindUserFile(const GameFolder& game, std::wstring_view user);

} // namespace trelgate
