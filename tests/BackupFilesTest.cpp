// The backup file work on real files, with other programs holding or copying
// them: no failure, however it happens, costs a target its old content.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "users/BackupFiles.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

const FILETIME kOldTime = *DateTimeToFileTime(EncodeDateTime({2026, 11, 2, 18, 4, 12}));

std::set<std::wstring> NamesIn(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW entry;
    if (UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry)); find)
        do
            if (entry.cFileName[0] != L'.')
                names.insert(entry.cFileName);
        while (::FindNextFileW(find.get(), &entry));
    return names;
}

long long WriteTime(const FILETIME& time)
{
    return static_cast<long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

long long WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return WriteTime(data.ftLastWriteTime);
}

void WriteOld(const std::wstring& path)
{
    WriteBytes(path, "old save");
    ASSERT_TRUE(SetFileDate(path, FileDateOf(kOldTime)));
}

Process Helper(const std::wstring& arguments)
{
    Process helper = Start(BinDir() + L"\\backup_helper.exe", L" " + arguments, L"");
    ::Sleep(700); // the child has opened its file by then
    return helper;
}

} // namespace

TEST(CopyFileContents, CopiesWholeOrLeavesTheTargetAsItWas)
{
    using Arrange = std::function<void(const TempDir&, std::wstring& target, Process& other)>;
    const struct {
        const char* what;
        Arrange arrange;
        bool copied;
    } cases[] = {
        {"new target", [](auto& d, auto&, auto&) { ::DeleteFileW((d / L"Keep.bak").c_str()); }, true},
        {"old target", [](auto&, auto&, auto&) {}, true},
        {"target held open", [](auto&, auto& t, auto& p) { p = Helper(L"hold \"" + t + L"\""); }, false},
        {"read-only target", [](auto&, auto& t, auto&) { ::SetFileAttributesW(t.c_str(), FILE_ATTRIBUTE_READONLY); },
         false},
        {"source held open", [](auto& d, auto&, auto& p) { p = Helper(L"hold \"" + d / L"A.usr" + L"\""); }, false},
        {"source gone", [](auto& d, auto&, auto&) { ::DeleteFileW((d / L"A.usr").c_str()); }, false},
        {"folder missing", [](auto& d, auto& t, auto&) { t = d / L"gone\\Keep.bak"; }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        std::wstring target = folder / L"Keep.bak";
        WriteOld(target);
        const std::string save = "new save " + std::string(3 << 20, 's');
        WriteBytes(folder / L"A.usr", save);
        Process other;
        c.arrange(folder, target, other);
        EXPECT_EQ(CopyFileContents(folder / L"A.usr", target), c.copied);
        if (other.process) {
            ::TerminateProcess(other.process.get(), 0);
            other.Wait();
        }
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.copied) {
            EXPECT_EQ(ReadBytes(target), save);
        } else if (Exists(folder / L"Keep.bak")) {
            EXPECT_EQ(ReadBytes(folder / L"Keep.bak"), "old save");
            EXPECT_EQ(WriteTime(folder / L"Keep.bak"), WriteTime(kOldTime));
        }
        EXPECT_FALSE(Exists(folder / L"gone")) << "no folder is made";
        for (const std::wstring& name : NamesIn(folder.Path()))
            EXPECT_TRUE(name == L"Keep.bak" || name == L"A.usr") << "left behind: " << name;
    }
}

// A second process copies a large save over a backup and is killed in the
// middle, once the temporary file has begun to fill.
TEST(CopyFileContents, AProcessKilledPartWayLeavesTheOldBackupAndNoListedStray)
{
    TempDir folder;
    const std::wstring backups = folder / L"Agent", target = backups + L"\\Keep.bak";
    ASSERT_TRUE(CreateFolder(backups));
    WriteOld(target);
    WriteBytes(folder / L"Agent.usr", std::string(128 << 20, 'n'));
    Process copier = Start(BinDir() + L"\\backup_helper.exe",
                           L" copy \"" + folder / L"Agent.usr" + L"\" \"" + target + L"\"", L"");
    auto writing = [&] {
        WIN32_FIND_DATAW entry;
        const UniqueFind find(::FindFirstFileW((backups + L"\\*.tmp").c_str(), &entry));
        return find && entry.nFileSizeLow > 0;
    };
    const DWORD start = ::GetTickCount();
    while (!writing() && ::GetTickCount() - start < 20000)
        ::Sleep(1);
    ::TerminateProcess(copier.process.get(), 9);
    ASSERT_EQ(copier.Wait(), 9u) << "the copy must still run when it is killed";

    EXPECT_EQ(ReadBytes(target), "old save");
    EXPECT_EQ(WriteTime(target), WriteTime(kOldTime));
    const std::vector<TBackup> listed = ListBackups(backups);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Name, L"Keep");
    EXPECT_EQ(NamesIn(backups).size(), 2u) << "the killed copy's temporary file, unlisted";
}

TEST(BackupFiles, RenamesChangeTheCaseOnDiskAndNeverReplace)
{
    TempDir folder;
    WriteOld(folder / L"Start.bak");
    WriteBytes(folder / L"Other.bak", "other");
    EXPECT_FALSE(RenameFile(folder / L"Start.bak", folder / L"Other.bak"));
    EXPECT_FALSE(RenameFile(folder / L"Gone.bak", folder / L"New.bak"));
    EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::wstring>{L"Other.bak", L"Start.bak"}));
    EXPECT_EQ(ReadBytes(folder / L"Other.bak"), "other");

    EXPECT_TRUE(RenameFile(folder / L"Start.bak", folder / L"START.bak"));
    EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::wstring>{L"Other.bak", L"START.bak"}));
    EXPECT_EQ(ReadBytes(folder / L"START.bak"), "old save");
    EXPECT_EQ(WriteTime(folder / L"START.bak"), WriteTime(kOldTime)) << "a rename keeps the time";
}

TEST(BackupFiles, StampsAtDosResolutionAndOnlyWhatTheDosFormHolds)
{
    TempDir folder;
    WriteOld(folder / L"x.bak");
    EXPECT_FALSE(SetFileDate(folder / L"x.bak", 0));
    EXPECT_EQ(WriteTime(folder / L"x.bak"), WriteTime(kOldTime));
    ASSERT_TRUE(SetFileDate(folder / L"x.bak", EncodeDateTime({2026, 12, 5, 12, 0, 1})));
    EXPECT_EQ(ListBackups(folder.Path()).at(0).FileDate, EncodeDateTime({2026, 12, 5, 12, 0, 0}));
}
