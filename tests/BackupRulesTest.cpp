#include <gtest/gtest.h>

#include "BadBackupNames.h"
#include "users/BackupRules.h"

using namespace trelgate;

TEST(BackupRules, RefusesEveryNameThatIsNoPlainFileInTheBackupFolder)
{
    for (std::wstring_view name : test::kBadBackupNames)
        EXPECT_FALSE(IsAcceptableBackupName(name)) << std::wstring(name).c_str();
}

TEST(BackupRules, LeavesEveryOtherNameToThePlayer)
{
    for (std::wstring_view name : {L"", L" ", L"..", L"Before heist", L"x.", L"trailing ", L"CONSOLE", L"NULL",
                                   L"COM10", L"COM0", L"LPT", L"COM\u00B4", L"A NUL", L"nul x", L".NUL",
                                   L"\u00C9t\u00E9 2026", L"$CON"})
        EXPECT_TRUE(IsAcceptableBackupName(name)) << std::wstring(name).c_str();
}

TEST(BackupRules, OnlyAUserWithAProperNameHasAFolderOfItsOwn)
{
    for (std::wstring_view name : {L"", L".", L".."})
        EXPECT_FALSE(HasBackupFolder(name));
    for (std::wstring_view name : {L"...", L"Bob.", L"Bob ", L" ", L".Bob"})
        EXPECT_TRUE(HasBackupFolder(name));
}
