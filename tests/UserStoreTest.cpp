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

double ValueOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    return EncodeDateTime({year, month, day, hour, minute, second});
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
    void SetUp() override { MakeFolder(UsersFolderPath(game)); }

    std::wstring InUsers(const std::wstring& name) const { return UsersFolderPath(game) + L"\\" + name; }
    std::wstring File(const std::wstring& name) const
    {
        WriteBytes(InUsers(name), "TRELAN-SAVE");
        return InUsers(name);
    }
    std::wstring Folder(const std::wstring& name) const
    {
        MakeFolder(InUsers(name));
        return InUsers(name);
    }

    TempDir temp;
    const std::wstring game = temp.Path();
};

// Hidden and system entries are never seen; only plain files ending in
// ".usr" are user files; a file named only ".usr" is the user "".
TEST_F(UserStore, UsersAreVisiblePlainUsrFilesThenVisibleFolders)
{
    ASSERT_FALSE(::GetFileAttributesW(File(L".usr").c_str()) & FILE_ATTRIBUTE_HIDDEN)
        << "Wine hides dot files unless HKCU\\Software\\Wine ShowDotFiles is Y, as scripts/test.sh sets it";
    Mark(File(L"Lone.usr"), FILE_ATTRIBUTE_HIDDEN);
    Mark(File(L"Shadow.usr"), FILE_ATTRIBUTE_HIDDEN);
    Folder(L"Shadow");
    Mark(File(L"Core.usr"), FILE_ATTRIBUTE_SYSTEM);
    Mark(Folder(L"Secret"), FILE_ATTRIBUTE_HIDDEN);
    Mark(Folder(L"Boot"), FILE_ATTRIBUTE_SYSTEM);
    for (const wchar_t* name : {L"Agent.usr", L"notes.txt", L"Agent.usr.txt", L"usr", L"x.usrx"})
        File(name); // x.usrx: its generated short name X~....USR matches "*.usr"
    Folder(L"Ghost.usr");

    EXPECT_EQ(ListUsers(game), (Names{L"", L"Agent", L"Ghost.usr", L"Shadow"}));
    for (const wchar_t* user : {L"", L"Agent"})
        EXPECT_TRUE(FindUserFile(UserFilePath(game, user))) << user;
    for (const wchar_t* none : {L"Shadow", L"Lone", L"Core", L"Ghost"})
        EXPECT_FALSE(FindUserFile(UserFilePath(game, none))) << none;
    EXPECT_FALSE(FindUserFile(InUsers(L"Ghost.usr"))) << "a folder is no user file";
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
    Folder(L"Трелан");
    File(L"Трелан\\Перед боем.bak");
    File(L"Трелан\\Ёлка.bak");

    EXPECT_EQ(ListUsers(game), (Names{L"Zoë", L"Трелан"})) << "ZOË is Zoë's folder";
    EXPECT_TRUE(FindUserFile(UserFilePath(game, L"Zoë")));
    EXPECT_EQ(NamesOf(ListBackups(BackupFolderPath(game, L"Трелан"))), (Names{L"Ёлка", L"Перед боем"}));
}

TEST_F(UserStore, ATrailingSeparatorInTheGameDirectoryStillLists)
{
    Folder(L"Agent");
    File(L"Agent.usr");
    File(L"Agent\\Start.bak");
    const std::wstring stored = game + L"\\";

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
        File(L"Agent\\" + std::wstring(name));
    Folder(L"Agent\\Sub.bak");
    Folder(L"Agent\\Older");
    Mark(File(L"Agent\\Secret.bak"), FILE_ATTRIBUTE_HIDDEN);
    Mark(File(L"Agent\\Sys.bak"), FILE_ATTRIBUTE_SYSTEM);

    EXPECT_EQ(NamesOf(ListBackups(folder)), (Names{L"Before heist", L"Before.heist", L"Start", L"Start again"}));
}

TEST_F(UserStore, TimesOutsideTheDosYearsShowAtTheNearestMomentItHolds)
{
    const std::wstring folder = Folder(L"Agent");
    WriteDated(folder + L"\\Old.bak", LocalTime(1975, 6, 1, 12, 0, 0));
    WriteDated(folder + L"\\Future.bak", LocalTime(2110, 6, 1, 12, 0, 0));

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
    const double date = ValueOf(2026, 12, 5, 22, 15, 30);
    const std::optional<FILETIME> time = DateTimeToFileTime(date);
    ASSERT_TRUE(time);
    WriteDated(folder + L"\\Copy.bak", *time);
    // A clamped date, as a backup of a file from 1975 gets it.
    const std::optional<FILETIME> first = DateTimeToFileTime(DosToDateTime(kFirstDosMoment));
    ASSERT_TRUE(first);
    WriteDated(folder + L"\\Clamped.bak", *first);
    EXPECT_FALSE(DateTimeToFileTime(0)) << "no date is not 1980";
    EXPECT_FALSE(DateTimeToFileTime(DosToDateTime(kLastDosMoment) + 2.0 / 86400));

    const std::vector<TBackup> backups = ListBackups(folder);
    ASSERT_EQ(NamesOf(backups), (Names{L"Clamped", L"Copy"}));
    EXPECT_EQ(backups[0].FileDate, DosToDateTime(kFirstDosMoment));
    EXPECT_EQ(backups[1].FileDate, date);
}

} // namespace
