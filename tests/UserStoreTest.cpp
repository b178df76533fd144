#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "settings/GameDirectory.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

using Names = std::vector<std::wstring>;

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    return {year, month, 0, day, hour, minute, second, 0};
}

void SetWriteTime(const std::wstring& path, const FILETIME& utc)
{
    UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(file) << "error " << ::GetLastError();
    ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &utc));
}

// Gives the file a last-write time that is the given local time.
void SetLocalWriteTime(const std::wstring& path, const SYSTEMTIME& local)
{
    FILETIME localTime{}, utc{};
    ASSERT_TRUE(::SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&localTime, &utc));
    SetWriteTime(path, utc);
}

double ValueOf(const SYSTEMTIME& t)
{
    return EncodeDateTime({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
}

Names NamesOf(const std::vector<TBackup>& backups)
{
    Names names;
    for (const TBackup& b : backups)
        names.push_back(b.Name);
    return names;
}

// A game directory with an empty users folder in a temporary folder.
class UserStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(::CreateDirectoryW(UsersFolderPath(game).c_str(), nullptr)); }

    std::wstring InUsers(const std::wstring& name) const { return UsersFolderPath(game) + L"\\" + name; }
    std::wstring File(const std::wstring& name) const
    {
        WriteBytes(InUsers(name), "TRELAN-SAVE");
        return InUsers(name);
    }
    std::wstring Folder(const std::wstring& name) const
    {
        EXPECT_TRUE(::CreateDirectoryW(InUsers(name).c_str(), nullptr)) << "error " << ::GetLastError();
        return InUsers(name);
    }
    static void Mark(const std::wstring& path, DWORD attributes)
    {
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << "error " << ::GetLastError();
    }

    TempDir temp;
    const std::wstring game = temp.Path();
};

TEST_F(UserStore, AFileNamedOnlyDotUsrIsAUserWithAnEmptyName)
{
    const std::wstring file = File(L".usr");
    ASSERT_FALSE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN)
        << "Wine hides dot files unless HKCU\\Software\\Wine ShowDotFiles is Y, as scripts/test.sh sets it";
    File(L"Bob.usr");
    EXPECT_EQ(ListUsers(game), (Names{L"", L"Bob"}));
    EXPECT_TRUE(FindUserFile(UserFilePath(game, L"")));
}

TEST_F(UserStore, HiddenAndSystemEntriesAreNeverSeen)
{
    Mark(File(L"Lone.usr"), FILE_ATTRIBUTE_HIDDEN);
    Mark(File(L"Shadow.usr"), FILE_ATTRIBUTE_HIDDEN);
    Folder(L"Shadow");
    Mark(File(L"Core.usr"), FILE_ATTRIBUTE_SYSTEM);
    Mark(Folder(L"Secret"), FILE_ATTRIBUTE_HIDDEN);
    Mark(Folder(L"Boot"), FILE_ATTRIBUTE_SYSTEM);
    File(L"Visible.usr");

    EXPECT_EQ(ListUsers(game), (Names{L"Visible", L"Shadow"})) << "Shadow is listed through its folder only";
    EXPECT_FALSE(FindUserFile(UserFilePath(game, L"Shadow")));
    EXPECT_FALSE(FindUserFile(UserFilePath(game, L"Lone")));
    EXPECT_FALSE(FindUserFile(UserFilePath(game, L"Core")));
    EXPECT_TRUE(FindUserFile(UserFilePath(game, L"Visible")));
}

TEST_F(UserStore, OnlyPlainFilesEndingInUsrAreUserFiles)
{
    File(L"Agent.usr");
    File(L"notes.txt");
    File(L"Agent.usr.txt");
    File(L"x.usrx"); // its generated short name X~....USR matches "*.usr"
    File(L"usr");
    Folder(L"Ghost.usr");
    EXPECT_EQ(ListUsers(game), (Names{L"Agent", L"Ghost.usr"}));
    EXPECT_FALSE(FindUserFile(UserFilePath(game, L"Ghost"))) << "a folder is no user file";
    EXPECT_FALSE(FindUserFile(InUsers(L"Ghost.usr")));
}

// FAT lists in creation order; NTFS, and Wine, sort the whole file name, so
// "Alpha two.usr" comes before "Alpha.usr" there. The list sorts the names.
TEST_F(UserStore, EachPassIsSortedByNameWithoutRegardToCaseWhateverTheCreationOrder)
{
    for (const wchar_t* name : {L"Zulu", L"yankee", L"X-ray"})
        Folder(name);
    for (const wchar_t* name :
         {L"delta.usr", L"Charlie.usr", L"bravo.usr", L"Alpha two.usr", L"Alpha.usr", L"_under.usr"})
        File(name);
    EXPECT_EQ(ListUsers(game), (Names{L"Alpha", L"Alpha two", L"bravo", L"Charlie", L"delta", L"_under", L"X-ray",
                                      L"yankee", L"Zulu"}));
}

TEST_F(UserStore, NamesOutsideTheAnsiCodePageWork)
{
    File(L"Zoë.usr");
    Folder(L"ZOË");
    const std::wstring folder = Folder(L"Трелан");
    WriteBytes(folder + L"\\Перед боем.bak", "TRELAN-SAVE");
    WriteBytes(folder + L"\\Ёлка.bak", "TRELAN-SAVE");

    EXPECT_EQ(ListUsers(game), (Names{L"Zoë", L"Трелан"})) << "ZOË is Zoë's folder";
    EXPECT_TRUE(FindUserFile(UserFilePath(game, L"Zoë")));
    EXPECT_EQ(NamesOf(ListBackups(BackupFolderPath(game, L"Трелан"))), (Names{L"Ёлка", L"Перед боем"}));
}

TEST_F(UserStore, ATrailingSeparatorInTheGameDirectoryStillLists)
{
    const std::wstring folder = Folder(L"Agent");
    File(L"Agent.usr");
    WriteBytes(folder + L"\\Start.bak", "TRELAN-SAVE");
    const std::wstring stored = game + L"\\";

    ASSERT_NE(UserFilePattern(stored).find(L"\\\\users"), std::wstring::npos);
    EXPECT_EQ(ListUsers(stored), (Names{L"Agent"}));
    EXPECT_TRUE(FindUserFile(UserFilePath(stored, L"Agent")));
    EXPECT_EQ(NamesOf(ListBackups(BackupFolderPath(stored, L"Agent"))), (Names{L"Start"}));
}

TEST_F(UserStore, MissingFoldersAndFilesGiveNothing)
{
    EXPECT_TRUE(ListUsers(game).empty()) << "an empty users folder";
    const std::wstring missing = game + L"\\nowhere";
    EXPECT_TRUE(ListUsers(missing).empty());
    EXPECT_TRUE(ListBackups(BackupFolderPath(game, L"Agent")).empty());
    EXPECT_FALSE(FindUserFile(UserFilePath(missing, L"Agent")));
}

TEST_F(UserStore, BackupsArePlainBakFilesSortedByName)
{
    const std::wstring folder = Folder(L"Agent");
    for (const wchar_t* name :
         {L"Start again.bak", L"Start.bak", L"Before.heist.bak", L"Before heist.bak", L"notes.txt", L"Old.bak.txt"})
        WriteBytes(folder + L"\\" + name, "TRELAN-SAVE");
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\Sub.bak").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\Older").c_str(), nullptr));
    WriteBytes(folder + L"\\Secret.bak", "TRELAN-SAVE");
    Mark(folder + L"\\Secret.bak", FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(folder + L"\\Sys.bak", "TRELAN-SAVE");
    Mark(folder + L"\\Sys.bak", FILE_ATTRIBUTE_SYSTEM);

    EXPECT_EQ(NamesOf(ListBackups(folder)), (Names{L"Before heist", L"Before.heist", L"Start", L"Start again"}));
}

TEST_F(UserStore, FileDatesKeepEvenSeconds)
{
    const std::wstring user = File(L"Agent.usr");
    SetLocalWriteTime(user, Local(2003, 12, 31, 23, 59, 59));
    const std::optional<double> date = FindUserFile(user);
    ASSERT_TRUE(date);
    EXPECT_EQ(DateTimeText(1, *date), L"12/31/2003");
    EXPECT_EQ(DateTimeText(2, *date), L"23:59:58");
}

TEST_F(UserStore, TimesOutsideTheDosYearsShowAtTheNearestMomentItHolds)
{
    const std::wstring folder = Folder(L"Agent");
    WriteBytes(folder + L"\\Old.bak", "1");
    WriteBytes(folder + L"\\Future.bak", "2");
    SetLocalWriteTime(folder + L"\\Old.bak", Local(1975, 6, 1, 12, 0, 0));
    SetLocalWriteTime(folder + L"\\Future.bak", Local(2110, 6, 1, 12, 0, 0));

    const std::vector<TBackup> backups = ListBackups(folder);
    ASSERT_EQ(NamesOf(backups), (Names{L"Future", L"Old"}));
    EXPECT_EQ(DateTimeText(1, backups[0].FileDate) + L" " + DateTimeText(2, backups[0].FileDate),
              L"12/31/2107 23:59:58");
    EXPECT_EQ(DateTimeText(1, backups[1].FileDate) + L" " + DateTimeText(2, backups[1].FileDate),
              L"01/01/1980 00:00:00");
}

TEST_F(UserStore, ADateWrittenBackReadsTheSame)
{
    const std::wstring folder = Folder(L"Agent");
    WriteBytes(folder + L"\\Copy.bak", "1");
    WriteBytes(folder + L"\\Clamped.bak", "2");
    const double date = ValueOf(Local(2026, 12, 5, 22, 15, 30));
    const std::optional<FILETIME> time = DateTimeToFileTime(date);
    ASSERT_TRUE(time);
    SetWriteTime(folder + L"\\Copy.bak", *time);
    // A clamped date, as a backup of a file from 1975 gets it.
    const std::optional<FILETIME> first = DateTimeToFileTime(DosToDateTime(kFirstDosMoment));
    ASSERT_TRUE(first);
    SetWriteTime(folder + L"\\Clamped.bak", *first);
    EXPECT_FALSE(DateTimeToFileTime(0)) << "no date is not 1980";
    EXPECT_FALSE(DateTimeToFileTime(DosToDateTime(kLastDosMoment) + 2.0 / 86400));

    const std::vector<TBackup> backups = ListBackups(folder);
    ASSERT_EQ(NamesOf(backups), (Names{L"Clamped", L"Copy"}));
    EXPECT_EQ(backups[0].FileDate, DosToDateTime(kFirstDosMoment));
    EXPECT_EQ(backups[1].FileDate, date);
}

} // namespace
