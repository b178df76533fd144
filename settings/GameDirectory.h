// What counts as a game directory: the folder holds the game's executable and
// its users folder.
#pragma once

#include <string>

namespace trelgate {

// The folder, then path + "\Trelan.exe", then path + "\users", in that order;
// the path is used as it is, a trailing backslash giving a doubled one.
bool IsValidTrelanPath(const std::wstring& path);

} // namespace trelgate
