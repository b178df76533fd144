#include "settings/GameDirectory.h"

#include "base/Files.h"
#include "base/GameFolder.h"

namespace trelgate {

bool IsValidTrelanPath(const std::wstring& path)
{
    const GameFolder game(path);
    return !path.empty() && DirectoryExists(path) && FileExists(game.Executable()) &&
           DirectoryExists(game.UsersFolder());
}

} // namespace trelgate
