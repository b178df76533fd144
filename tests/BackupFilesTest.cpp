// The backup file work on real files, with other programs holding or copying
// them: no failure, however it happens, costs a target its old content.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "base/GameFolder.h"
#include "users/BackupFiles.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

const double kOld = EncodeDateTime({2026, 11, 2, 18, 4, 12});

// A game folder whose user A has a backup folder: the store's entries by name.
struct Store {
    TempDir folder;
    const std::wstring users = MakeGame(folder / L"game") + L"\\users", backups = users + L"\\A";
    const GameFolder game{folder / L"game"};
    Store() { MakeFolder(backups); }
    StoreEntry Save() const { return *game.UserFile(L"A"); }
    StoreEntry Backup(const std::wstring& name) const { return *game.BackupFile(L"A", name); }
    // An old backup with its old time.
    void WriteOld(const std::wstring& name) const
    {
        WriteBytes(Backup(name).Path(), "old save");
        ASSERT_TRUE(SetFileDate(Backup(name), kOld));
    }
};

// Another program: "hold <file>" or "copy <source> <target>".
Process Helper(const std::wstring& arguments) { return Start(BinDir() + L"\\backup_helper.exe", L" " + arguments, L""); }

} // namespace

TEST(CopyFileContents, CopiesWholeOrLeavesTheTargetAsItWas)
{
    enum Spoil { Nothing, Held, ReadOnly, Hidden, System, SourceGone, FolderGone };
    for (const Spoil spoil : {Nothing, Held, ReadOnly, Hidden, System, SourceGone, FolderGone}) {
        SCOPED_TRACE(spoil);
        const Store store;
        const std::wstring source = store.Save().Path(), backup = store.Backup(L"Keep").Path();
        store.WriteOld(L"Keep");
        const std::string save = "new save " + std::string(3 << 20, 's');
        WriteBytes(source, save);
        Process other;
        if (spoil == Held) { // by another program, without sharing
            other = Helper(L"hold \"" + backup + L"\"");
            ASSERT_TRUE(PumpUntil([&] {
                const UniqueFile probe(::CreateFileW(backup.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
                return !probe && ::GetLastError() == ERROR_SHARING_VIOLATION;
            }));
        }
        const DWORD attributes[] = {0, 0, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM};
        if (spoil >= ReadOnly && spoil <= System)
            Mark(backup, attributes[spoil]);
        if (spoil == SourceGone)
            ::DeleteFileW(source.c_str());
        EXPECT_EQ(CopyFileContents(store.Save(), spoil == FolderGone ? *store.game.BackupFile(L"Gone", L"Keep")
                                                                     : store.Backup(L"Keep")),
                  !spoil);
        End(other);
        Mark(backup, FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(ReadBytes(backup) == (spoil ? "old save" : save)) << "3 MiB, not shown";
        EXPECT_EQ(ListBackups(store.game, L"A").at(0).FileDate == kOld, spoil != Nothing) << "no time copied";
        EXPECT_EQ(NamesIn(store.users).size(), spoil == SourceGone ? 1u : 2u) << "nothing left behind";
        EXPECT_EQ(NamesIn(store.backups).size(), 1u) << "nothing left behind";
    }
}

// An empty save and one of 2 GiB (sparse, ending in 'z') stand in the target whole.
TEST(CopyFileContents, CopiesEmptyAndHugeSavesWhole)
{
    const Store store;
    for (const long long size : {0LL, 2LL << 30}) {
        SCOPED_TRACE(size);
        {
            const UniqueFile save(
                ::CreateFileW(store.Save().Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            ASSERT_TRUE(size == 0 || (::SetFilePointerEx(save.get(), {.QuadPart = size - 1}, nullptr, FILE_BEGIN) &&
                                      ::WriteFile(save.get(), "z", 1, &written, nullptr)));
        }
        store.WriteOld(L"Whole");
        EXPECT_TRUE(CopyFileContents(store.Save(), store.Backup(L"Whole")));
        const UniqueFile copy(
            ::CreateFileW(store.Backup(L"Whole").Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER copied{};
        ASSERT_TRUE(::GetFileSizeEx(copy.get(), &copied));
        EXPECT_EQ(copied.QuadPart, size);
        char last = 'z';
        DWORD read = 0;
        if (size && ::SetFilePointerEx(copy.get(), {.QuadPart = size - 1}, nullptr, FILE_BEGIN))
            ::ReadFile(copy.get(), &last, 1, &read, nullptr);
        EXPECT_EQ(last, 'z');
    }
}

// A second process copies a large save over a backup and is killed in the
// middle, once the temporary file has begun to fill; the next copy into the
// folder, of another backup, sweeps what it left.
TEST(CopyFileContents, AProcessKilledPartWayLeavesTheOldBackupAndNoListedStray)
{
    const Store store;
    const std::wstring target = store.Backup(L"Keep").Path();
    store.WriteOld(L"Keep");
    WriteBytes(store.Save().Path(), std::string(128 << 20, 'n'));
    Process copier = Helper(L"copy \"" + store.folder / L"game" + L"\"");
    const auto writing = [&] {
        WIN32_FIND_DATAW entry;
        const UniqueFind find(::FindFirstFileW((store.backups + L"\\*.tmp").c_str(), &entry));
        return find && entry.nFileSizeLow > 0;
    };
    for (const DWORD start = ::GetTickCount(); !writing() && ::GetTickCount() - start < 20000;)
        ::Sleep(1); // closely: the copy is quick
    ::TerminateProcess(copier.process.get(), 9);
    ASSERT_EQ(copier.Wait(), 9u) << "the copy must still run when it is killed";
    EXPECT_EQ(ReadBytes(target), "old save");
    EXPECT_EQ(NamesIn(store.backups).size(), 2u) << "the killed copy's temporary file";
    const std::vector<TBackup> listed = ListBackups(store.game, L"A");
    ASSERT_EQ(listed.size(), 1u) << "is not listed";
    EXPECT_EQ(listed[0].FileDate, kOld);
    WriteBytes(store.Save().Path(), "small");
    EXPECT_TRUE(CopyFileContents(store.Save(), store.Backup(L"Other")));
    EXPECT_EQ(NamesIn(store.backups), (std::set<std::wstring>{L"Keep.bak", L"Other.bak"}));
}

// A change of case alone beside a case twin (a case-sensitive folder under Wine) is refused before it begins;
// either way the backup keeps a listed name.
TEST(RenameFile, AChangeOfCaseAloneRenamesOrLeavesTheName)
{
    const Store store;
    store.WriteOld(L"Save");
    EXPECT_TRUE(RenameFile(store.Backup(L"Save"), store.Backup(L"save")));
    EXPECT_EQ(NamesIn(store.backups), std::set<std::wstring>{L"save.bak"});
    if (!UnixFile(store.backups, "Save.bak"))
        GTEST_SKIP() << "case twins need a case-sensitive folder";
    EXPECT_FALSE(RenameFile(store.Backup(L"save"), store.Backup(L"Save")));
    EXPECT_EQ(NamesIn(store.backups), (std::set<std::wstring>{L"Save.bak", L"save.bak"}));
}

// Unix links to a path that differs only in letter case: a backup and the backup folder L to a folder beside the game
// folder spelled otherwise, and a case twin's user file beside the link. None is listed, deleted, renamed, made,
// read or written through.
TEST(StoreEntries, ALinkToAnotherSpellingOfAPathIsNoEntryOfTheStore)
{
    const Store store;
    WriteBytes(store.Save().Path(), "A's save");
    const std::string game = UnixQuoted(store.folder / L"game"), twin = UnixQuoted(store.folder.Path()) + "/GAME";
    if (!UnixShell("mkdir -p " + twin + "/users/A && echo twin > " + twin + "/users/A/Out.bak && ln -s " + twin +
                   "/users/A/Out.bak " + game + "/users/A/Out.bak && ln -s " + game + "/users/A.usr " + game +
                   "/users/a.usr && ln -s " + twin + "/users/A " + game + "/users/L"))
        GTEST_SKIP() << "links and case twins are made on the Unix side of Wine";
    const StoreEntry linkedSave = *store.game.UserFile(L"a"), linkedFolder = *store.game.BackupFolder(L"L");
    EXPECT_FALSE(DeleteStoreFile(store.Backup(L"Out")));
    EXPECT_FALSE(RenameFile(store.Backup(L"Out"), store.Backup(L"Moved")));
    EXPECT_FALSE(CopyFileContents(store.Save(), store.Backup(L"Out")));
    EXPECT_FALSE(CopyFileContents(store.Backup(L"Out"), store.Save())) << "a restore from the link";
    EXPECT_FALSE(DeleteStoreFile(linkedSave));
    EXPECT_FALSE(CopyFileContents(store.Backup(L"Out"), linkedSave));
    EXPECT_TRUE(ListBackups(store.game, L"L").empty());
    EXPECT_FALSE(FolderExists(linkedFolder) || CreateFolder(linkedFolder) || RemoveFolder(linkedFolder));
    EXPECT_TRUE(UnixShell("test \"$(cat " + twin + "/users/A/Out.bak)\" = twin")) << "the other spelling's file";
    EXPECT_EQ(ReadBytes(store.Save().Path()), "A's save");
    UnixShell("rm -rf " + twin + " " + game + "/users/A/Out.bak " + game + "/users/a.usr " + game + "/users/L");
}

// Under Wine a file in a folder that may not be written to is reported deleted, and stays: not deleted.
TEST(DeleteStoreFile, IsDoneOnlyWhenTheFileIsGone)
{
    const Store store;
    store.WriteOld(L"Old");
    const std::string backups = UnixQuoted(store.backups);
    if (!UnixShell("chmod 555 " + backups))
        GTEST_SKIP() << "folder modes are set on the Unix side of Wine";
    EXPECT_FALSE(DeleteStoreFile(store.Backup(L"Old")));
    UnixShell("chmod 755 " + backups);
    EXPECT_TRUE(DeleteStoreFile(store.Backup(L"Old")));
    EXPECT_TRUE(NamesIn(store.backups).empty());
}
