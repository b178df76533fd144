// The file work of the backup operations, on entries of the store only: the
// copy that never costs the target its old content, the time stamp, renames,
// deletions and the backup folder. Each opens its entry exactly and refuses a
// link, so that nothing outside the users folder is ever written or removed.
#pragma once

#include "base/GameFolder.h"

namespace trelgate {

// Copies the whole content of source over target, or leaves target as it was.
// Source is opened first, exclusively; then target, exclusively, when it
// exists, so that a target held open or read-only fails before anything is
// written. The content goes into a temporary file beside target, which is
// flushed and then put in its place; on any failure it is removed. Any size,
// in bounded pieces. Copies no time stamp; true when the content stands in target.
bool CopyFileContents(const StoreEntry& source, const StoreEntry& target);

// Gives the file the last-write time of a date-time value at DOS resolution;
// false when the value has no DOS form or the file cannot be written.
bool SetFileDate(const StoreEntry& file, double value);

// Renames a file within its folder; fails when to names another file. A change
// of letter case alone changes the name on disk; whatever fails, the file keeps
// a name that the backup listing shows.
bool RenameFile(const StoreEntry& from, const StoreEntry& to);

// Deletes a plain file for good; a read-only one is refused, as Windows does.
// True only when the file is gone.
bool DeleteStoreFile(const StoreEntry& file);

bool FolderExists(const StoreEntry& folder);
bool CreateFolder(const StoreEntry& folder);
// Removes an empty folder.
bool RemoveFolder(const StoreEntry& folder);

// Remove the temporary files that killed copies left: in the folder that holds
// entry, or in the folder entry.
void RemoveLeftTemporariesBeside(const StoreEntry& entry);
void RemoveLeftTemporariesIn(const StoreEntry& folder);

} // namespace trelgate
