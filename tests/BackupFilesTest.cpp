// The backup file work on real files, with other programs holding or copying
// them: no failure, however it happens, costs a target its old content.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

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

double DateOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return FileDateOf(data.ftLastWriteTime);
}

Process Helper(const std::wstring& arguments)
{
    return Start(BinDir() + L"\\backup_helper.exe", L" " + arguments, L"");
}

} // namespace

TEST(CopyFileContents, CopiesWholeOrLeavesTheTargetAsItWas)
{
    using Arrange = std::function<void(const TempDir&, std::wstring& target, Process& other)>;
    const auto hold = [](const std::wstring& file) {
        Process holder = Helper(L"hold \"" + file + L"\"");
        ::Sleep(700); // it has opened the file by then
        return holder;
    };
    const struct {
        const char* what;
        Arrange arrange;
        bool copied;
    } cases[] = {
        {"old target", [](auto&, auto&, auto&) {}, true},
        {"target held open", [&](auto&, auto& t, auto& p) { p = hold(t); }, false},
        {"read-only target", [](auto&, auto& t, auto&) { ::SetFileAttributesW(t.c_str(), FILE_ATTRIBUTE_READONLY); },
         false},
        {"source held open", [&](auto& d, auto&, auto& p) { p = hold(d / L"A.usr"); }, false},
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
        if (other.process && ::TerminateProcess(other.process.get(), 0))
            other.Wait();
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.copied) {
            EXPECT_EQ(ReadBytes(target), save);
        } else if (Exists(folder / L"Keep.bak")) {
            EXPECT_EQ(ReadBytes(folder / L"Keep.bak"), "old save");
            EXPECT_EQ(DateOf(folder / L"Keep.bak"), kOld);
        }
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
    Process copier = Helper(L"copy \"" + folder / L"Agent.usr" + L"\" \"" + target + L"\"");
    auto writing = [&] {
        WIN32_FIND_DATAW entry;
        const UniqueFind find(::FindFirstFileW((backups + L"\\*.tmp").c_str(), &entry));
        return find && entry.nFileSizeLow > 0;
    };
    for (const DWORD start = ::GetTickCount(); !writing() && ::GetTickCount() - start < 20000;)
        ::Sleep(1);
    ::TerminateProcess(copier.process.get(), 9);
    ASSERT_EQ(copier.Wait(), 9u) << "the copy must still run when it is killed";

    EXPECT_EQ(ReadBytes(target), "old save");
    EXPECT_EQ(DateOf(target), kOld);
    EXPECT_EQ(NamesIn(backups).size(), 2u) << "the killed copy's temporary file";
    ASSERT_EQ(ListBackups(backups).size(), 1u) << "is not listed";
}
