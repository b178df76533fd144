// Which names the backup operations may put into a path: a typed backup name
// and the user whose folder holds the backups.
#pragma once

#include <string_view>

namespace trelgate {

// Whether backup folder + "\" + name + ".bak" names a plain file in that
// folder on Windows: no separator, no stream (":"), none of the characters
// file names cannot hold, and no device name (CON, NUL, COM1, ...) in any case,
// before any extension and trailing blanks or dots. Any other name, an empty
// or blank one included, is the player's to choose.
bool IsAcceptableBackupName(std::wstring_view name);

// Whether a user has a folder of its own in the users folder. "", "." and ".."
// would name the users folder itself or the game directory.
bool HasBackupFolder(std::wstring_view userName);

} // namespace trelgate
