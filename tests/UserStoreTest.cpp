// What the disk adds to the user rules: which entries are seen, in which
// order, and the times they carry.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

using Names = std::vector<std::wstring>;

Names NamesOf(const std::vector<TBackup>& backups)
{
    Names names;
    for (const TBackup& b : backups)
        names.push_back(b.Name);
    return names;
}

// A file or, for a name ending in "\", a folder in the users folder, with the given attributes.
std::wstring Entry(const std::wstring& game, const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    const std::wstring path = game + L"\\users\\" + name;
    name.ends_with(L"\\") ? MakeFolder(path) : WriteBytes(path, "TRELAN-SAVE");
    if (attributes != FILE_ATTRIBUTE_NORMAL)
        Mark(path, attributes);
    return path;
}

} // namespace

// Only visible plain files ending in ".usr" (a file named only ".usr" is the
// user ""), then visible folders; each list sorted whatever the creation
// order, also with the game directory stored with a trailing separator.
TEST(UserStore, ListsVisiblePlainUserFilesAndFoldersAndBakFilesSortedByName)
{
    TempDir game;
    EXPECT_TRUE(ListUsers(game.Path()).empty()) << "no users folder";
    MakeFolder(game / L"users");
    for (const wchar_t* name : {L"Zulu\\", L"yankee\\", L"Shadow\\", L"Ghost.usr\\", L"Agent\\", L"delta.usr",
                                L"Charlie.usr", L"Alpha two.usr", L"Alpha.usr", L".usr", L"Agent.usr", L"notes.txt",
                                L"usr", L"x.usrx", L"Agent\\Start.bak", L"Agent\\Before heist.bak",
                                L"Agent\\Before.heist.bak", L"Agent\\Old.bak.txt", L"Agent\\Sub.bak\\"})
        Entry(game.Path(), name); // x.usrx: its generated short name X~....USR matches "*.usr"
    ASSERT_FALSE(::GetFileAttributesW((game / L"users\\.usr").c_str()) & FILE_ATTRIBUTE_HIDDEN)
        << "Wine hides dot files unless HKCU\\Software\\Wine ShowDotFiles is Y, as scripts/test.sh sets it";
    for (const wchar_t* name : {L"Shadow.usr", L"Secret\\", L"Agent\\Secret.bak"})
        Entry(game.Path(), name, FILE_ATTRIBUTE_HIDDEN);
    for (const wchar_t* name : {L"Core.usr", L"Boot\\", L"Agent\\Sys.bak"})
        Entry(game.Path(), name, FILE_ATTRIBUTE_SYSTEM);

    EXPECT_EQ(ListUsers(game.Path() + L"\\"), (Names{L"", L"Agent", L"Alpha", L"Alpha two", L"Charlie", L"delta",
                                                     L"Ghost.usr", L"Shadow", L"yankee", L"Zulu"}));
    EXPECT_EQ(NamesOf(ListBackups(game / L"users\\Agent")), (Names{L"Before heist", L"Before.heist", L"Start"}));
    EXPECT_TRUE(ListBackups(game / L"users\\Nobody").empty());
    for (const wchar_t* user : {L"", L"Agent"})
        EXPECT_TRUE(FindUserFile(UserFilePath(game.Path(), user))) << user;
    for (const wchar_t* none : {L"Shadow", L"Core", L"Ghost", L"Nobody"})
        EXPECT_FALSE(FindUserFile(UserFilePath(game.Path(), none))) << none;
}

// Times outside the DOS years show at the nearest moment the form holds; none is written back outside them,
// nor for no date (a time written back: the session test).
TEST(UserStore, FileTimesOutsideTheDosYearsShowAtTheNearestMomentTheyHold)
{
    TempDir game;
    MakeFolder(game / L"users");
    Entry(game.Path(), L"Agent\\");
    WriteDated(game / L"users\\Agent\\Future.bak", LocalTime(2110, 6, 1, 12, 0, 0));
    WriteDated(game / L"users\\Agent\\Old.bak", LocalTime(1975, 6, 1, 12, 0, 0));
    const std::vector<TBackup> backups = ListBackups(game / L"users\\Agent");
    ASSERT_EQ(NamesOf(backups), (Names{L"Future", L"Old"}));
    EXPECT_EQ(backups[0].FileDate, DosToDateTime(kLastDosMoment));
    EXPECT_EQ(backups[1].FileDate, DosToDateTime(kFirstDosMoment));
    EXPECT_FALSE(DateTimeToFileTime(0)) << "no date is not 1980";
    EXPECT_FALSE(DateTimeToFileTime(DosToDateTime(kLastDosMoment) + 2.0 / 86400));
}
