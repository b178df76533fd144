// The file work of the backup operations: the literal paths they act on, the
// copy that never costs the target its old content, the time stamp, renames,
// deletions and the backup folder.
#pragma once

#include <string>

namespace trelgate {

// The game directory as the "\\?\" form of its full path, without a trailing
// separator, for the store's paths to be appended to: the names below it are
// then the entries they name (a trailing dot or blank stays, "." and ".." are
// no steps), and no length limit applies. The path as given when it has no
// full form.
std::wstring LiteralGameDirectory(const std::wstring& trelanPath);

// Copies the whole content of source over target, or leaves target as it was.
// Source is opened first, exclusively; then target, exclusively, when it
// exists, so that a target held open or read-only fails before anything is
// written. The content goes into a temporary file beside target, which is
// flushed and then moved over it; on any failure it is removed. Any size, in
// bounded pieces. Copies no time stamp; true when the content stands in target.
bool CopyFileContents(const std::wstring& source, const std::wstring& target);

// Gives the file the last-write time of a date-time value at DOS resolution;
// false when the value has no DOS form or the file cannot be written.
bool SetFileDate(const std::wstring& path, double value);

// Renames a file; fails when to exists. A change of letter case alone changes
// the name on disk (through a temporary name); on any failure both names stay
// as they were.
bool RenameFile(const std::wstring& from, const std::wstring& to);

// Deletes a file for good; a read-only one is refused, as Windows does.
bool DeleteStoreFile(const std::wstring& path);

bool CreateFolder(const std::wstring& path);
// Removes an empty folder.
bool RemoveFolder(const std::wstring& path);

} // namespace trelgate
