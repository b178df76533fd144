// The game folder's shape, in one place: the game's executable, the users
// folder, the user files and the backup folders and files in it. It answers
// no path for a name that is not one entry of its folder, so that no operation
// can reach a file outside the users folder or another user's folder. In the
// foundation because the settings (the validity test), the user store and the
// launch all compose its paths.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelgate {

// A file or folder lying in the users folder itself or in a user's backup
// folder: the only places the launcher writes to. Only GameFolder makes one.
class StoreEntry {
public:
    // The literal full path ("\\?\..."), or the path as stored when it has no full form.
    const std::wstring& Path() const { return path_; }
    // The users folder in its literal form, and the one or two names below it that lead here.
    const std::wstring& Root() const { return users_; }
    const std::vector<std::wstring>& Steps() const { return steps_; }
    const std::wstring& Name() const { return steps_.back(); }
    // The entry of the same folder named name; nothing when name is no entry name.
    std::optional<StoreEntry> Sibling(std::wstring_view name) const;

private:
    friend class GameFolder;
    StoreEntry(const std::wstring& users, std::vector<std::wstring> steps);
    std::wstring users_, path_;
    std::vector<std::wstring> steps_;
};

class GameFolder {
public:
    // The game directory as stored: nothing trimmed, so a trailing separator
    // doubles in the paths the validity test and the launch use.
    explicit GameFolder(std::wstring trelanPath);

    // As stored, the way the game is started and the folder validated.
    const std::wstring& Stored() const { return stored_; }
    std::wstring Executable() const;
    std::wstring UsersFolder() const;

    // As the "\\?\" form of the full path, for the store's listings: the names
    // below it are then the entries they name (a trailing dot or blank stays,
    // "." and ".." are no steps), and no length limit applies.
    std::wstring UserFilePattern() const;
    std::wstring UsersFolderPattern() const;

    std::optional<StoreEntry> UserFile(std::wstring_view user) const;
    std::optional<StoreEntry> BackupFolder(std::wstring_view user) const;
    // Any file of the user's backup folder, by its whole name.
    std::optional<StoreEntry> InBackupFolder(std::wstring_view user, std::wstring_view fileName) const;
    std::optional<StoreEntry> BackupFile(std::wstring_view user, std::wstring_view backup) const;
    // The backups of a backup folder, and all its files.
    static std::wstring BackupPattern(const StoreEntry& backupFolder);
    static std::wstring FilesPattern(const StoreEntry& backupFolder);

private:
    std::wstring stored_, literalUsers_;
};

inline constexpr std::wstring_view kUserFileExt = L".usr";
inline constexpr std::wstring_view kBackupFileExt = L".bak";

} // namespace trelgate
