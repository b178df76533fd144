#include "settings/GameDirectory.h"

#include "base/Files.h"

namespace trelgate {

bool IsValidTrelanPath(const std::wstring& path)
{
    return !path.empty() && DirectoryExists(path) && FileExists(path + L"\\Trelan.exe") &&
           DirectoryExists(path + L"\\users");
}

} // namespace trelgate
