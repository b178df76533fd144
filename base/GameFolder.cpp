#include "base/GameFolder.h"

#include <windows.h>

#include "base/EntryName.h"
#include "base/ExactEntry.h"

namespace trelgate {
namespace {

constexpr std::wstring_view kLiteralPrefix = L"\\\\?\\";
constexpr std::wstring_view kUsers = L"\\users";

std::wstring Joined(std::wstring_view head, std::wstring_view tail)
{
    std::wstring path(head);
    path += tail;
    return path;
}

// The users folder as the validity test reaches it (the stored path with
// "\users" appended, so that a drive-relative "E:" means "E:\users") as one
// literal path; the path as given when it has no full form.
std::wstring LiteralUsersFolder(const std::wstring& trelanPath)
{
    const std::wstring users = Joined(trelanPath, kUsers);
    if (trelanPath.starts_with(kLiteralPrefix))
        return users;
    const DWORD room = ::GetFullPathNameW(users.c_str(), 0, nullptr, nullptr);
    if (room == 0)
        return users;
    std::wstring full(room, L'\0');
    full.resize(::GetFullPathNameW(users.c_str(), room, full.data(), nullptr));
    if (!full.ends_with(kUsers))
        return users;
    if (full.starts_with(L"\\\\.\\")) // a device path is literal already
        return Joined(kLiteralPrefix, full.substr(4));
    if (full.starts_with(L"\\\\"))
        return Joined(kLiteralPrefix, L"UNC" + full.substr(1));
    return Joined(kLiteralPrefix, full);
}

} // namespace

StoreEntry::StoreEntry(const std::wstring& users, std::vector<std::wstring> steps)
    : users_(users), path_(PathBelow(users, steps)), steps_(std::move(steps))
{
}

std::optional<StoreEntry> StoreEntry::Sibling(std::wstring_view name) const
{
    if (!IsEntryName(name))
        return std::nullopt;
    std::vector<std::wstring> steps = steps_;
    steps.back() = name;
    return StoreEntry(users_, std::move(steps));
}

GameFolder::GameFolder(std::wstring trelanPath)
    : stored_(std::move(trelanPath)), literalUsers_(LiteralUsersFolder(stored_))
{
}

std::wstring GameFolder::Executable() const { return Joined(stored_, L"\\Trelan.exe"); }
std::wstring GameFolder::UsersFolder() const { return Joined(stored_, kUsers); }
std::wstring GameFolder::UserFilePattern() const { return Joined(literalUsers_, L"\\*.usr"); }
std::wstring GameFolder::UsersFolderPattern() const { return Joined(literalUsers_, L"\\*.*"); }

std::optional<StoreEntry> GameFolder::UserFile(std::wstring_view user) const
{
    std::wstring name(user);
    name += kUserFileExt;
    if (!IsEntryName(name))
        return std::nullopt;
    return StoreEntry(literalUsers_, {std::move(name)});
}

std::optional<StoreEntry> GameFolder::BackupFolder(std::wstring_view user) const
{
    if (!IsEntryName(user))
        return std::nullopt;
    return StoreEntry(literalUsers_, {std::wstring(user)});
}

std::optional<StoreEntry> GameFolder::InBackupFolder(std::wstring_view user, std::wstring_view fileName) const
{
    if (!IsEntryName(user) || !IsEntryName(fileName))
        return std::nullopt;
    return StoreEntry(literalUsers_, {std::wstring(user), std::wstring(fileName)});
}

std::optional<StoreEntry> GameFolder::BackupFile(std::wstring_view user, std::wstring_view backup) const
{
    std::wstring name(backup);
    name += kBackupFileExt;
    return InBackupFolder(user, name);
}

std::wstring GameFolder::BackupPattern(const StoreEntry& backupFolder)
{
    return Joined(backupFolder.Path(), L"\\*.bak");
}

std::wstring GameFolder::FilesPattern(const StoreEntry& backupFolder) { return Joined(backupFolder.Path(), L"\\*"); }

} // namespace trelgate
