#include "settings/GameDirectory.h"

#include <windows.h>

namespace trelgate {

bool DirectoryExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Asked of the attributes, not of a directory search, so that a wildcard in
// the path matches nothing and an odd time stamp hides no file.
bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsValidTrelanPath(const std::wstring& path)
{
    return !path.empty() && DirectoryExists(path) && FileExists(path + L"\\Trelan.exe") &&
           DirectoryExists(path + L"\\users");
}

} // namespace trelgate
