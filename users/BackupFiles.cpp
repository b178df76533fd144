#include "users/BackupFiles.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/Files.h"
#include "base/Handle.h"
#include "users/UserRules.h"
#include "users/UserStore.h"

namespace trelgate {
namespace {

// Large enough to keep the calls few, small enough that memory use does not
// grow with the file.
constexpr DWORD kCopyChunk = 1 << 20;

constexpr std::wstring_view kLiteralPrefix = L"\\\\?\\";

bool IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// The target opened as the copy would have opened it to write it: exclusively,
// and refused when read-only, hidden or system (Wine would write through a
// read-only file, and replacing it would pass it by). An absent target leaves
// file closed; false when the target is there and cannot be had, or its folder
// is not.
bool HoldTarget(const std::wstring& target, UniqueFile& file)
{
    file.reset(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(file.get(), &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

} // namespace

std::wstring LiteralGameDirectory(const std::wstring& trelanPath)
{
    if (trelanPath.starts_with(kLiteralPrefix))
        return trelanPath;
    // The users folder as the validity test and the listings reach it: the
    // stored path with "\users" appended, so that a drive-relative "E:" means
    // "E:\users", not the users folder below E:'s current directory.
    const std::wstring users = UsersFolderPath(trelanPath);
    const DWORD room = ::GetFullPathNameW(users.c_str(), 0, nullptr, nullptr);
    if (room == 0)
        return trelanPath;
    std::wstring full(room, L'\0');
    full.resize(::GetFullPathNameW(users.c_str(), room, full.data(), nullptr));
    if (!full.ends_with(L"\\users"))
        return trelanPath;
    full.resize(full.size() - std::wstring_view(L"\\users").size());
    if (full.starts_with(L"\\\\.\\")) // a device path is literal already
        return std::wstring(kLiteralPrefix) + full.substr(4);
    if (full.starts_with(L"\\\\"))
        return std::wstring(kLiteralPrefix) + L"UNC" + full.substr(1);
    return std::wstring(kLiteralPrefix) + full;
}

bool CopyFileContents(const std::wstring& source, const std::wstring& target)
{
    const UniqueFile from(::CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!from || !::GetFileSizeEx(from.get(), &size))
        return false;
    UniqueFile held;
    if (!HoldTarget(target, held))
        return false;

    TemporaryFile copy(target);
    if (!copy)
        return false;
    const std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
    for (long long left = size.QuadPart; left > 0;) {
        const DWORD want = static_cast<DWORD>(std::min<long long>(left, kCopyChunk));
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

bool SetFileDate(const std::wstring& path, double value)
{
    const std::optional<FILETIME> lastWrite = DateTimeToFileTime(value);
    if (!lastWrite)
        return false;
    const UniqueFile file(
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &*lastWrite);
}

bool RenameFile(const std::wstring& from, const std::wstring& to)
{
    if (!SameName(from, to))
        return ::MoveFileW(from.c_str(), to.c_str()) != FALSE;
    // Wine reports a change of case alone as done and leaves the name; Windows
    // changes it. A temporary name makes both change it.
    const std::wstring pid = std::to_wstring(::GetCurrentProcessId());
    const std::wstring between = TemporaryStem(from, pid.size() + 4) + pid + L".tmp";
    if (!::MoveFileW(from.c_str(), between.c_str()))
        return false;
    if (::MoveFileW(between.c_str(), to.c_str()))
        return true;
    ::MoveFileW(between.c_str(), from.c_str());
    return false;
}

bool DeleteStoreFile(const std::wstring& path)
{
    return !IsReadOnly(path) && ::DeleteFileW(path.c_str());
}

bool CreateFolder(const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

bool RemoveFolder(const std::wstring& path) { return ::RemoveDirectoryW(path.c_str()) != FALSE; }

} // namespace trelgate
