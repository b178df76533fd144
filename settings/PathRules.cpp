#include "settings/PathRules.h"

namespace trelgate {

std::wstring FolderOf(std::wstring_view path)
{
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring_view::npos)
        return {};
    const bool driveRoot = slash > 0 && path[slash - 1] == L':';
    return std::wstring(path.substr(0, driveRoot ? slash + 1 : slash));
}

std::wstring WithoutTrailingBackslash(std::wstring_view folder)
{
    if (folder.ends_with(L'\\') && !(folder.size() >= 2 && folder[folder.size() - 2] == L':'))
        folder.remove_suffix(1);
    return std::wstring(folder);
}

std::wstring InFolder(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path(folder);
    if (!path.ends_with(L'\\'))
        path += L'\\';
    return path + std::wstring(name);
}

} // namespace trelgate
