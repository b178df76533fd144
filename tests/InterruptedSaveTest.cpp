// A process killed while it saves leaves the old settings file or the new one, whole.
#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "settings/SettingsFile.h"

using namespace trelgate;
using namespace trelgate::test;

TEST(InterruptedSave, LeavesTheOldFileOrTheNewOneWhole)
{
    TempDir folder;
    const std::wstring ini = folder / L"Trelgate.ini";
    // A large file keeps each save busy long enough to be caught in the middle.
    const std::string head = "; kept as it is\r\n;" + std::string(4 << 20, 'p') + "\r\n";
    WriteBytes(ini, head + "[Settings]\r\nTrelanPath=gen 0\r\n");
    std::mt19937 random(20261207);
    std::wstring path;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        Process writer = Start(BinDir() + L"\\settings_writer.exe", L" \"" + ini + L"\"", folder.Path());
        ::Sleep(std::uniform_int_distribution<DWORD>(150, 600)(random));
        ::TerminateProcess(writer.process.get(), 1);
        ASSERT_EQ(writer.Wait(), 1u) << "the writer must still be saving when it is killed";
        ASSERT_EQ(ReadBytes(ini).compare(0, head.size(), head), 0);
        const auto contents = TSettingsFile(ini).Read();
        path = contents.ReadString("Settings", "TrelanPath", L"");
        EXPECT_EQ(contents.ReadString("Users", "CurrentUser", L"gen 0"), path) << "one save, not parts of two";
    }
    EXPECT_NE(path, L"gen 0") << "the writer saved at all";
}
