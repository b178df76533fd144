#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "users/UserRules.h"

using namespace trelgate;

using Names = std::vector<std::wstring>;

TEST(UserPaths, AreTheGameDirectoryAsStoredFollowedByALiteralSuffix)
{
    const std::wstring game = L"C:\\Games\\Trelan";
    EXPECT_EQ(TrelanExePath(game), L"C:\\Games\\Trelan\\Trelan.exe");
    EXPECT_EQ(UsersFolderPath(game), L"C:\\Games\\Trelan\\users");
    EXPECT_EQ(UserFilePattern(game), L"C:\\Games\\Trelan\\users\\*.usr");
    EXPECT_EQ(UsersFolderPattern(game), L"C:\\Games\\Trelan\\users\\*.*");
    EXPECT_EQ(UserFilePath(game, L"Agent"), L"C:\\Games\\Trelan\\users\\Agent.usr");
    EXPECT_EQ(BackupFolderPath(game, L"Agent"), L"C:\\Games\\Trelan\\users\\Agent");
    EXPECT_EQ(BackupPattern(L"C:\\G\\users\\Agent"), L"C:\\G\\users\\Agent\\*.bak");
    EXPECT_EQ(BackupFilePath(L"C:\\G\\users\\Agent", L"Before heist"), L"C:\\G\\users\\Agent\\Before heist.bak");
    EXPECT_EQ(UsersFolderPath(L"C:\\Games\\Trelan\\"), L"C:\\Games\\Trelan\\\\users") << "nothing trimmed";
    EXPECT_EQ(UserFilePath(L" G ", L" two  words. "), L" G \\users\\ two  words. .usr");
}

TEST(RemoveFileExt, DropsTheLastExtensionOrGivesEmptyWithoutADot)
{
    EXPECT_EQ(RemoveFileExt(L"Agent.usr"), L"Agent");
    EXPECT_EQ(RemoveFileExt(L"John.Smith.usr"), L"John.Smith");
    EXPECT_EQ(RemoveFileExt(L"Before heist.bak"), L"Before heist");
    EXPECT_EQ(RemoveFileExt(L".usr"), L"");
    EXPECT_EQ(RemoveFileExt(L"noext"), L"");
}

TEST(HasFileExt, MatchesTheEndOfTheNameWithoutRegardToCase)
{
    EXPECT_TRUE(HasFileExt(L"Agent.usr", kUserFileExt));
    EXPECT_TRUE(HasFileExt(L"AGENT.USR", kUserFileExt));
    EXPECT_FALSE(HasFileExt(L"x.usrx", kUserFileExt)) << "matched by the pattern through its short name only";
    EXPECT_FALSE(HasFileExt(L"usr", kUserFileExt));
}

TEST(NameCase, FoldsTheLettersOfTheCommonScriptsOneCodeUnitEach)
{
    EXPECT_EQ(UpperCased(L"agent-7_z"), L"AGENT-7_Z");
    EXPECT_EQ(UpperCased(L"zoë ÿ"), L"ZOË Ÿ");
    EXPECT_EQ(UpperCased(L"trường"), L"TRƯỜNG") << "Vietnamese, from Latin Extended-B and Additional";
    EXPECT_EQ(UpperCased(L"трелан ёж ґ"), L"ТРЕЛАН ЁЖ Ґ");
    EXPECT_EQ(UpperCased(L"άλφα σς"), L"ΆΛΦΑ ΣΣ");
    EXPECT_EQ(UpperCased(L"ß ÷ ı µ 1.+"), L"ß ÷ ı µ 1.+") << "no one-unit upper case, or one in another script";
    EXPECT_EQ(UpperCaseOf(L'\xD83D'), L'\xD83D') << "surrogates stay";
}

TEST(NameCase, SameNameIgnoresCaseOnly)
{
    EXPECT_TRUE(SameName(L"agent", L"Agent"));
    EXPECT_TRUE(SameName(L"ZOË", L"Zoë"));
    EXPECT_FALSE(SameName(L"Zoe", L"Zoë"));
    EXPECT_FALSE(SameName(L"Agent ", L"Agent"));
}

TEST(NameOrder, IsCaseInsensitiveWithCodeUnitsBreakingTies)
{
    // Upper-cased, "_" sorts after the letters, as NTFS lists it.
    const Names expected{L"", L"1st", L"AGENT", L"Agent", L"agent", L"Agent.old", L"Agent2", L"b", L"Charlie",
                         L"Zoe", L"zoë", L"_x", L"Трелан"};
    ASSERT_FALSE(NameBefore(L"Agent", L"Agent"));
    for (std::size_t i = 0; i + 1 < expected.size(); ++i) {
        EXPECT_TRUE(NameBefore(expected[i], expected[i + 1])) << i;
        EXPECT_FALSE(NameBefore(expected[i + 1], expected[i])) << i;
    }
}

TEST(MergeUserNames, ListsFilesThenFoldersThatNoEntryHasWithoutRegardToCase)
{
    const Names files{L"John.Smith", L"Agent", L"Zoë"};
    const Names folders{L"old.save", L"John.Smith", L"agent", L"ZOË", L"Ghost.usr"};
    EXPECT_EQ(MergeUserNames(files, folders), (Names{L"Agent", L"John.Smith", L"Zoë", L"Ghost.usr", L"old.save"}));
    EXPECT_EQ(MergeUserNames({L"Zed"}, {L"alpha"}), (Names{L"Zed", L"alpha"})) << "folders come after all files";
    // Only a case-sensitive file system under Wine can hold both spellings.
    EXPECT_EQ(MergeUserNames({L"bob", L"Bob"}, {}), (Names{L"Bob", L"bob"}));
    EXPECT_EQ(MergeUserNames({}, {L"tom", L"Tom", L"TOM"}), (Names{L"TOM"}));
    EXPECT_EQ(MergeUserNames({L""}, {L"x"}), (Names{L"", L"x"})) << "the user of a file named \".usr\"";
}
