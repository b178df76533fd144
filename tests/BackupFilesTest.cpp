// The backup file work on real files, with other programs holding or copying
// them: no failure, however it happens, costs a target its old content.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"
#include "users/BackupFiles.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

const double kOld = EncodeDateTime({2026, 11, 2, 18, 4, 12});

// An old backup with its old time.
void WriteOld(const std::wstring& path)
{
    WriteBytes(path, "old save");
    ASSERT_TRUE(SetFileDate(path, kOld));
}

// Another program: "hold <file>" or "copy <source> <target>".
Process Helper(const std::wstring& arguments) { return Start(BinDir() + L"\\backup_helper.exe", L" " + arguments, L""); }

} // namespace

TEST(CopyFileContents, CopiesWholeOrLeavesTheTargetAsItWas)
{
    enum Spoil { Nothing, Held, ReadOnly, Hidden, System, SourceGone, FolderGone };
    for (const Spoil spoil : {Nothing, Held, ReadOnly, Hidden, System, SourceGone, FolderGone}) {
        SCOPED_TRACE(spoil);
        TempDir folder;
        const std::wstring source = folder / L"A.usr", backup = folder / L"Keep.bak";
        WriteOld(backup);
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
        EXPECT_EQ(CopyFileContents(source, spoil == FolderGone ? folder / L"gone\\Keep.bak" : backup), !spoil);
        End(other);
        Mark(backup, FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(ReadBytes(backup) == (spoil ? "old save" : save)) << "3 MiB, not shown";
        EXPECT_EQ(ListBackups(folder.Path()).at(0).FileDate == kOld, spoil != Nothing) << "no time copied";
        EXPECT_EQ(NamesIn(folder.Path()).size(), spoil == SourceGone ? 1u : 2u) << "nothing left behind";
    }
}

// An empty save and one of 2 GiB (sparse, ending in 'z') stand in the target whole.
TEST(CopyFileContents, CopiesEmptyAndHugeSavesWhole)
{
    TempDir folder;
    for (const long long size : {0LL, 2LL << 30}) {
        SCOPED_TRACE(size);
        {
            const UniqueFile save(
                ::CreateFileW((folder / L"A.usr").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            ASSERT_TRUE(size == 0 || (::SetFilePointerEx(save.get(), {.QuadPart = size - 1}, nullptr, FILE_BEGIN) &&
                                      ::WriteFile(save.get(), "z", 1, &written, nullptr)));
        }
        WriteOld(folder / L"Whole.bak");
        EXPECT_TRUE(CopyFileContents(folder / L"A.usr", folder / L"Whole.bak"));
        const UniqueFile copy(
            ::CreateFileW((folder / L"Whole.bak").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
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

// The users folder as the listings reach it, "\\users" appended to the stored path, as one literal path.
TEST(LiteralGameDirectory, IsTheFullPathThatTheUsersFolderHasWithoutIt)
{
    for (const auto& [stored, literal] : {std::pair(L"C:\\G\\", L"\\\\?\\C:\\G"), std::pair(L"E:", L"\\\\?\\E:"),
                                           std::pair(L"\\\\server\\share\\G", L"\\\\?\\UNC\\server\\share\\G"),
                                           std::pair(L"\\\\?\\C:\\G.", L"\\\\?\\C:\\G.")})
        EXPECT_EQ(LiteralGameDirectory(stored), literal) << stored;
}

// A second process copies a large save over a backup and is killed in the
// middle, once the temporary file has begun to fill.
TEST(CopyFileContents, AProcessKilledPartWayLeavesTheOldBackupAndNoListedStray)
{
    TempDir folder;
    const std::wstring target = folder / L"Keep.bak";
    WriteOld(target);
    WriteBytes(folder / L"A.usr", std::string(128 << 20, 'n'));
    Process copier = Helper(L"copy \"" + folder / L"A.usr" + L"\" \"" + target + L"\"");
    const auto writing = [&] {
        WIN32_FIND_DATAW entry;
        const UniqueFind find(::FindFirstFileW((folder / L"*.tmp").c_str(), &entry));
        return find && entry.nFileSizeLow > 0;
    };
    for (const DWORD start = ::GetTickCount(); !writing() && ::GetTickCount() - start < 20000;)
        ::Sleep(1); // closely: the copy is quick
    ::TerminateProcess(copier.process.get(), 9);
    ASSERT_EQ(copier.Wait(), 9u) << "the copy must still run when it is killed";
    EXPECT_EQ(ReadBytes(target), "old save");
    EXPECT_EQ(NamesIn(folder.Path()).size(), 3u) << "the killed copy's temporary file";
    const std::vector<TBackup> listed = ListBackups(folder.Path());
    ASSERT_EQ(listed.size(), 1u) << "is not listed";
    EXPECT_EQ(listed[0].FileDate, kOld);
}
