// The backup file work on real files, with other programs holding or copying
// them: no failure, however it happens, costs a target its old content.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "TestSupport.h"
#include "users/BackupFiles.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

const double kOld = EncodeDateTime({2026, 11, 2, 18, 4, 12});

void WriteOld(const std::wstring& path)
{
    WriteBytes(path, "old save");
    ASSERT_TRUE(SetFileDate(path, kOld));
}

// Another program: "hold <file>" or "copy <source> <target>".
Process Helper(const std::wstring& arguments)
{
    return Start(BinDir() + L"\\backup_helper.exe", L" " + arguments, L"");
}

// Whether another program has the file open without sharing it.
bool IsHeld(const std::wstring& path)
{
    const UniqueFile probe(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    return !probe && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// A file of size bytes whose last byte is 'z', sparse: quick at any size.
void WriteSized(const std::wstring& path, long long size)
{
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file);
    ASSERT_TRUE(size == 0 || (::SetFilePointerEx(file.get(), LARGE_INTEGER{.QuadPart = size - 1}, nullptr, FILE_BEGIN) &&
                              ::WriteFile(file.get(), "z", 1, &written, nullptr)));
}

// The size and the last byte.
std::pair<long long, char> SizeAndEnd(const std::wstring& path)
{
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    char last = 0;
    DWORD read = 0;
    if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        ::SetFilePointerEx(file.get(), LARGE_INTEGER{.QuadPart = size.QuadPart - 1}, nullptr, FILE_BEGIN))
        ::ReadFile(file.get(), &last, 1, &read, nullptr);
    return {size.QuadPart, last};
}

} // namespace

TEST(CopyFileContents, CopiesWholeOrLeavesTheTargetAsItWas)
{
    enum Spoil { Nothing, TargetHeld, TargetReadOnly, SourceGone, FolderMissing };
    for (const Spoil spoil : {Nothing, TargetHeld, TargetReadOnly, SourceGone, FolderMissing}) {
        SCOPED_TRACE(spoil);
        TempDir folder;
        const std::wstring source = folder / L"A.usr", backup = folder / L"Keep.bak";
        WriteOld(backup);
        const std::string save = "new save " + std::string(3 << 20, 's');
        WriteBytes(source, save);
        Process other;
        if (spoil == TargetHeld) {
            other = Helper(L"hold \"" + backup + L"\"");
            ASSERT_TRUE(PumpUntil([&] { return IsHeld(backup); })) << "the other program holds the backup";
        }
        if (spoil == TargetReadOnly)
            Mark(backup, FILE_ATTRIBUTE_READONLY);
        if (spoil == SourceGone)
            ::DeleteFileW(source.c_str());
        const std::wstring target = spoil == FolderMissing ? folder / L"gone\\Keep.bak" : backup;
        EXPECT_EQ(CopyFileContents(source, target), spoil == Nothing);
        End(other);
        Mark(backup, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(backup), spoil == Nothing ? save : "old save");
        EXPECT_EQ(ListBackups(folder.Path()).at(0).FileDate == kOld, spoil != Nothing) << "no time copied";
        for (const std::wstring& name : NamesIn(folder.Path()))
            EXPECT_TRUE(name == L"Keep.bak" || name == L"A.usr") << "left behind: " << name;
    }
}

// An empty save and one of 2 GiB, backed up over an old backup or restored
// over the user file by this copy, stand in the target whole.
TEST(CopyFileContents, CopiesEmptyAndHugeSavesWhole)
{
    TempDir folder;
    for (const long long size : {0LL, 2LL << 30}) {
        SCOPED_TRACE(size);
        WriteSized(folder / L"Agent.usr", size);
        WriteOld(folder / L"Whole.bak");
        EXPECT_TRUE(CopyFileContents(folder / L"Agent.usr", folder / L"Whole.bak"));
        EXPECT_EQ(SizeAndEnd(folder / L"Whole.bak"), std::pair(size, size ? 'z' : '\0'));
    }
}

// A second process copies a large save over a backup and is killed in the
// middle, once the temporary file has begun to fill.
TEST(CopyFileContents, AProcessKilledPartWayLeavesTheOldBackupAndNoListedStray)
{
    TempDir folder;
    const std::wstring target = folder / L"Keep.bak";
    WriteOld(target);
    WriteBytes(folder / L"Agent.usr", std::string(128 << 20, 'n'));
    Process copier = Helper(L"copy \"" + folder / L"Agent.usr" + L"\" \"" + target + L"\"");
    auto writing = [&] {
        WIN32_FIND_DATAW entry;
        const UniqueFind find(::FindFirstFileW((folder / L"*.tmp").c_str(), &entry));
        return find && entry.nFileSizeLow > 0;
    };
    for (const DWORD start = ::GetTickCount(); !writing() && ::GetTickCount() - start < 20000;)
        ::Sleep(1);
    ::TerminateProcess(copier.process.get(), 9);
    ASSERT_EQ(copier.Wait(), 9u) << "the copy must still run when it is killed";

    EXPECT_EQ(ReadBytes(target), "old save");
    EXPECT_EQ(NamesIn(folder.Path()).size(), 3u) << "the killed copy's temporary file";
    const std::vector<TBackup> listed = ListBackups(folder.Path());
    ASSERT_EQ(listed.size(), 1u) << "is not listed";
    EXPECT_EQ(listed[0].FileDate, kOld);
}
