// Folder names as the launcher derives them; no file system involved.
#pragma once

#include <string>
#include <string_view>

namespace trelgate {

// The path up to its last backslash, without it; a drive root keeps it ("C:\").
std::wstring FolderOf(std::wstring_view path);

// One trailing backslash dropped, unless it ends a drive root ("C:\").
std::wstring WithoutTrailingBackslash(std::wstring_view folder);

// folder + "\" + name, without doubling a backslash the folder ends in.
std::wstring InFolder(std::wstring_view folder, std::wstring_view name);

} // namespace trelgate
