// What the disk adds to the user rules: which entries are seen, in which
// order, and the times they carry.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "base/GameFolder.h"
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
    const GameFolder store(game.Path() + L"\\"); // stored with a trailing separator
    EXPECT_TRUE(ListUsers(store).empty()) << "no users folder";
    MakeFolder(game / L"users");
    for (const wchar_t* name : {L"Zulu\\", L"yankee\\", L"Shadow\\", L"Ghost.usr\\", L"Agent\\", L"delta.usr",
                                L"Charlie.usr", L"Alpha two.usr", L"Alpha.usr", L".usr", L"Agent.usr", L"notes.txt",
                                L"usr", L"x.usrx", L"Stray.bak", L"Agent\\Start.bak", L"Agent\\Before heist.bak",
                                L"Agent\\Before.heist.bak", L"Agent\\Old.bak.txt", L"Agent\\Sub.bak\\"})
        Entry(game.Path(), name); // x.usrx: its generated short name X~....USR matches "*.usr"
    WriteBytes(game / L"Stray.bak", "the game folder's");
    ASSERT_FALSE(::GetFileAttributesW((game / L"users\\.usr").c_str()) & FILE_ATTRIBUTE_HIDDEN)
        << "Wine hides dot files unless HKCU\\Software\\Wine ShowDotFiles is Y, as scripts/test.sh sets it";
    for (const wchar_t* name : {L"Shadow.usr", L"Secret\\", L"Agent\\Secret.bak"})
        Entry(game.Path(), name, FILE_ATTRIBUTE_HIDDEN);
    for (const wchar_t* name : {L"Core.usr", L"Boot\\", L"Agent\\Sys.bak"})
        Entry(game.Path(), name, FILE_ATTRIBUTE_SYSTEM);

    // Under Wine, Unix names that no Windows name can be: no user and no backup, since none could be reached.
    ASSERT_TRUE(UnixFile(game / L"users", "a\\b.usr"));
    ASSERT_TRUE(UnixFile(game / L"users\\Agent", "x:y.bak"));
    ASSERT_TRUE(UnixFile(game / L"users", "NUL.usr"));

    EXPECT_EQ(ListUsers(store), (Names{L"", L"Agent", L"Alpha", L"Alpha two", L"Charlie", L"delta", L"Ghost.usr",
                                       L"Shadow", L"yankee", L"Zulu"}));
    EXPECT_EQ(NamesOf(ListBackups(store, L"Agent")), (Names{L"Before heist", L"Before.heist", L"Start"}));
    for (const wchar_t* none : {L"Nobody", L"", L".."}) // the users folder's and the game folder's are no user's
        EXPECT_TRUE(ListBackups(store, none).empty()) << none;
    for (const wchar_t* user : {L"", L"Agent"})
        EXPECT_TRUE(FindUserFile(store, user)) << user;
    for (const wchar_t* none : {L"Shadow", L"Core", L"Ghost", L"Nobody"})
        EXPECT_FALSE(FindUserFile(store, none)) << none;
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
    const std::vector<TBackup> backups = ListBackups(GameFolder(game.Path()), L"Agent");
    ASSERT_EQ(NamesOf(backups), (Names{L"Future", L"Old"}));
    EXPECT_EQ(backups[0].FileDate, DosToDateTime(kLastDosMoment));
    EXPECT_EQ(backups[1].FileDate, DosToDateTime(kFirstDosMoment));
    EXPECT_FALSE(DateTimeToFileTime(0)) << "no date is not 1980";
    EXPECT_FALSE(DateTimeToFileTime(DosToDateTime(kLastDosMoment) + 2.0 / 86400));
}

// The game directory as stored for the game and the validity test; below the users folder, literal entries, and
// none for a name that is no entry of its folder: the users folder itself, the game folder, another user's.
TEST(GameFolder, AnswersEachPathOnceAndNoneThatLeavesItsFolder)
{
    const GameFolder stored(L"C:\\G\\");
    EXPECT_EQ(stored.Executable(), L"C:\\G\\\\Trelan.exe");
    EXPECT_EQ(stored.UsersFolder(), L"C:\\G\\\\users");
    EXPECT_EQ(stored.UserFilePattern(), L"\\\\?\\C:\\G\\users\\*.usr");
    for (const auto& [game, users] : {std::pair(L"E:", L"\\\\?\\E:\\users"),
                                      std::pair(L"\\\\server\\share\\G", L"\\\\?\\UNC\\server\\share\\G\\users"),
                                      std::pair(L"\\\\?\\C:\\G.", L"\\\\?\\C:\\G.\\users")})
        EXPECT_EQ(GameFolder(game).UserFile(L"Bob.")->Path(), std::wstring(users) + L"\\Bob..usr") << game;
    EXPECT_EQ(stored.BackupFile(L"Agent", L"Before heist")->Path(), L"\\\\?\\C:\\G\\users\\Agent\\Before heist.bak");
    EXPECT_EQ(stored.UserFile(L"")->Path(), L"\\\\?\\C:\\G\\users\\.usr") << "the user of a file named \".usr\"";
    for (const wchar_t* user : {L"", L".", L"..", L"a\\b", L"a/b", L"x:y", L"NUL"}) {
        EXPECT_FALSE(stored.BackupFolder(user)) << user;
        EXPECT_FALSE(stored.BackupFile(user, L"Start")) << user;
    }
    for (const wchar_t* user : {L"a\\b", L"..\\x", L"NUL"})
        EXPECT_FALSE(stored.UserFile(user)) << user;
    for (const wchar_t* backup : {L"..\\..\\Agent", L"x:y", L"NUL", L"a/b"})
        EXPECT_FALSE(stored.BackupFile(L"Agent", backup)) << backup;
    EXPECT_TRUE(stored.BackupFile(L"Agent", L"")) << "a backup may have an empty name";
}
