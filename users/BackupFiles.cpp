#include "users/BackupFiles.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <span>

#include "base/ExactEntry.h"
#include "base/Files.h"
#include "base/Handle.h"
#include "users/UserStore.h"

namespace trelgate {
namespace {

UniqueFile Open(const StoreEntry& entry, DWORD access, DWORD share)
{
    return OpenExactly(entry.Root(), entry.Steps(), access, share);
}

// The steps of the folder that holds entry; none for the users folder.
std::span<const std::wstring> FolderSteps(const StoreEntry& entry)
{
    return std::span(entry.Steps()).first(entry.Steps().size() - 1);
}

bool IsFolderAt(const std::wstring& root, std::span<const std::wstring> steps)
{
    const UniqueFile folder = OpenExactly(root, steps, FILE_READ_ATTRIBUTES, kShareAll);
    BY_HANDLE_FILE_INFORMATION info{};
    return folder && ::GetFileInformationByHandle(folder.get(), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder that holds entry is the users folder, or a backup folder lying in it.
bool InItsFolder(const StoreEntry& entry)
{
    return FolderSteps(entry).empty() || IsFolderAt(entry.Root(), FolderSteps(entry));
}

bool IsPlainFile(HANDLE file, DWORD refused)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(file, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | refused));
}

// The target opened as the copy would have opened it to write it: exclusively,
// and refused when read-only, hidden or system (Wine would write through a
// read-only file, and replacing it would pass it by). An absent target leaves
// file closed; false when the target is there and cannot be had, or its folder
// is not.
bool HoldTarget(const StoreEntry& target, UniqueFile& file)
{
    if (!InItsFolder(target))
        return false;
    file = Open(target, GENERIC_READ | GENERIC_WRITE, 0);
    if (file)
        return IsPlainFile(file.get(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const DWORD error = ::GetFileAttributesW(target.Path().c_str()) == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : 0;
    return error == ERROR_FILE_NOT_FOUND;
}

bool MoveByHandle(HANDLE file, const std::wstring& to)
{
    const std::size_t size = sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t);
    const std::unique_ptr<std::byte[]> buffer(new std::byte[size]());
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.get());
    rename->ReplaceIfExists = FALSE;
    rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
    std::copy(to.begin(), to.end(), rename->FileName);
    return ::SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(size)) != FALSE;
}

} // namespace

bool CopyFileContents(const StoreEntry& source, const StoreEntry& target)
{
    const UniqueFile from = Open(source, GENERIC_READ, 0);
    LARGE_INTEGER size{};
    if (!from || !IsPlainFile(from.get(), 0) || !::GetFileSizeEx(from.get(), &size))
        return false;
    UniqueFile held;
    if (!HoldTarget(target, held))
        return false;
    RemoveLeftTemporariesBeside(target);

    TemporaryFile copy(target.Path());
    if (!copy)
        return false;
    const std::unique_ptr<char[]> buffer(new char[kFileChunk]);
    for (long long left = size.QuadPart; left > 0;) {
        const DWORD want = static_cast<DWORD>(std::min<long long>(left, kFileChunk));
        DWORD read = 0;
        if (!::ReadFile(from.get(), buffer.get(), want, &read, nullptr) || read != want ||
            !copy.Write(std::string_view(buffer.get(), read)))
            return false;
        left -= read;
    }
    if (!copy.Flush())
        return false;
    // Replacing needs the target closed; until now nobody else could open it.
    held.reset();
    return copy.Commit();
}

bool SetFileDate(const StoreEntry& file, double value)
{
    const std::optional<FILETIME> lastWrite = DateTimeToFileTime(value);
    if (!lastWrite)
        return false;
    const UniqueFile handle = Open(file, FILE_WRITE_ATTRIBUTES, 0);
    return handle && ::SetFileTime(handle.get(), nullptr, nullptr, &*lastWrite);
}

bool RenameFile(const StoreEntry& from, const StoreEntry& to)
{
    const UniqueFile file = Open(from, DELETE | FILE_READ_ATTRIBUTES, kShareAll);
    if (!file || !IsPlainFile(file.get(), 0))
        return false;
    if (!SameName(from.Name(), to.Name()))
        return MoveByHandle(file.get(), to.Path());
    // A change of case alone: a case twin (Wine on a case-sensitive folder) is
    // another file of that name, and the rename is refused before it begins.
    if (const UniqueFile twin = Open(to, FILE_READ_ATTRIBUTES, kShareAll); twin && !SameFile(twin.get(), file.get()))
        return false;
    // Wine reports a change of case alone as done and leaves the name; Windows
    // changes it. A listed name between makes both change it, and is the
    // name the backup keeps should the way back fail too.
    const std::wstring pid = std::to_wstring(::GetCurrentProcessId());
    const std::wstring between = TemporaryStem(from.Path(), pid.size() + 4) + pid + std::wstring(kBackupFileExt);
    if (!MoveByHandle(file.get(), between))
        return false;
    if (MoveByHandle(file.get(), to.Path()))
        return true;
    MoveByHandle(file.get(), from.Path());
    return false;
}

bool DeleteStoreFile(const StoreEntry& file) { return DeleteExactly(file.Root(), file.Steps()); }

bool FolderExists(const StoreEntry& folder) { return IsFolderAt(folder.Root(), folder.Steps()); }

bool CreateFolder(const StoreEntry& folder)
{
    return InItsFolder(folder) && ::CreateDirectoryW(folder.Path().c_str(), nullptr) != FALSE;
}

bool RemoveFolder(const StoreEntry& folder)
{
    // Opened exactly, then removed through that handle: a link is never removed through.
    UniqueFile handle = Open(folder, DELETE | FILE_READ_ATTRIBUTES, kShareAll);
    FILE_DISPOSITION_INFO dispose{TRUE};
    if (!handle || !FolderExists(folder) ||
        !::SetFileInformationByHandle(handle.get(), FileDispositionInfo, &dispose, sizeof dispose))
        return false;
    handle.reset();
    return !FolderExists(folder);
}

void RemoveLeftTemporariesBeside(const StoreEntry& entry)
{
    if (InItsFolder(entry))
        RemoveLeftTemporaries(entry.Root(), FolderSteps(entry));
}

void RemoveLeftTemporariesIn(const StoreEntry& folder)
{
    if (FolderExists(folder))
        RemoveLeftTemporaries(folder.Root(), folder.Steps());
}

} // namespace trelgate
