#include "users/UserStore.h"

#include "base/EntryName.h"
#include "base/Files.h"
#include "users/BackupFiles.h"
#include "users/DateTime.h"

namespace trelgate {
namespace {

bool IsFolder(const WIN32_FIND_DATAW& entry) { return entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }

bool IsDotEntry(const WIN32_FIND_DATAW& entry)
{
    const std::wstring_view name = entry.cFileName;
    return name == L"." || name == L"..";
}

long long TicksOf(const FILETIME& time)
{
    return static_cast<long long>(static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
}

long long TicksAt(WORD year)
{
    const SYSTEMTIME start{year, 1, 0, 1};
    FILETIME time{};
    ::SystemTimeToFileTime(&start, &time);
    return TicksOf(time);
}

// Names of the entries matching pattern that are plain files ending in ext.
std::vector<std::wstring> FileNames(const std::wstring& pattern, std::wstring_view ext)
{
    std::vector<std::wstring> names;
    ForEachEntry(pattern, EntryFilter::PlainFiles, [&](const WIN32_FIND_DATAW& entry) {
        if (HasFileExt(entry.cFileName, ext) && IsEntryName(entry.cFileName))
            names.push_back(RemoveFileExt(entry.cFileName));
    });
    return names;
}

std::vector<std::wstring> FolderNames(const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    ForEachEntry(pattern, EntryFilter::Folders, [&](const WIN32_FIND_DATAW& entry) {
        if (IsFolder(entry) && !IsDotEntry(entry) && IsEntryName(entry.cFileName))
            names.emplace_back(entry.cFileName);
    });
    return names;
}

} // namespace

// The DOS form holds 1980 to 2107 only; FileTimeToDosDateTime fails outside
// (under Wine it wraps years after 2107). Such a file is shown at, and backed
// up with, the nearest moment the form holds, so it stays listed and usable.
double FileDateOf(const FILETIME& lastWrite)
{
    static const long long firstTicks = TicksAt(1980), endTicks = TicksAt(2108);
    FILETIME local{};
    DosDateTime dos;
    if (!::FileTimeToLocalFileTime(&lastWrite, &local) || TicksOf(local) < firstTicks)
        return DosToDateTime(kFirstDosMoment);
    if (TicksOf(local) >= endTicks)
        return DosToDateTime(kLastDosMoment);
    if (!::FileTimeToDosDateTime(&local, &dos.date, &dos.time))
        return DosToDateTime(kFirstDosMoment);
    return DosToDateTime(dos);
}

std::optional<FILETIME> DateTimeToFileTime(double value)
{
    // A moment the DOS form cannot hold is no file date: stamping it with the
    // nearest year would give a date it never had.
    const std::optional<DosDateTime> dos = DateTimeToDos(value);
    FILETIME local{}, utc{};
    if (!dos || !::DosDateTimeToFileTime(dos->date, dos->time, &local) || !::LocalFileTimeToFileTime(&local, &utc))
        return std::nullopt;
    return utc;
}

std::vector<std::wstring> ListUsers(const GameFolder& game)
{
    return MergeUserNames(FileNames(game.UserFilePattern(), kUserFileExt), FolderNames(game.UsersFolderPattern()));
}

std::vector<TBackup> ListBackups(const GameFolder& game, std::wstring_view user)
{
    std::vector<TBackup> backups;
    const std::optional<StoreEntry> folder = game.BackupFolder(user);
    if (!folder || !FolderExists(*folder)) // a link is none of the user's: nothing in it could be touched
        return backups;
    ForEachEntry(game.BackupPattern(*folder), EntryFilter::PlainFiles, [&](const WIN32_FIND_DATAW& entry) {
        if (HasFileExt(entry.cFileName, kBackupFileExt) && IsEntryName(entry.cFileName))
            backups.push_back({RemoveFileExt(entry.cFileName), FileDateOf(entry.ftLastWriteTime)});
    });
    SortBackups(backups);
    return backups;
}

std::optional<double> FindUserFile(const GameFolder& game, std::wstring_view user)
{
    const std::optional<StoreEntry> userFile = game.UserFile(user);
    std::optional<double> date;
    if (!userFile)
        return date;
    // The file of that name, not another whose short name it is.
    ForEachEntry(userFile->Path(), EntryFilter::PlainFiles, [&](const WIN32_FIND_DATAW& entry) {
        if (!date && SameName(entry.cFileName, userFile->Name()))
            date = FileDateOf(entry.ftLastWriteTime);
    });
    return date;
}

} // namespace trelgate
