#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "users/UserRules.h"

using namespace trelgate;

using Names = std::vector<std::wstring>;

TEST(UserRules, ExtensionsAreTheLastDotsAndMatchWithoutRegardToCase)
{
    EXPECT_EQ(RemoveFileExt(L"John.Smith.usr"), L"John.Smith");
    EXPECT_EQ(RemoveFileExt(L".usr"), L"");
    EXPECT_EQ(RemoveFileExt(L"noext"), L"");
    EXPECT_TRUE(HasFileExt(L"AGENT.USR", kUserFileExt));
    EXPECT_FALSE(HasFileExt(L"x.usrx", kUserFileExt)) << "matched by the pattern through its short name only";
    EXPECT_FALSE(HasFileExt(L"usr", kUserFileExt));
}

// One code unit each, in the common scripts; "_" sorts after the letters, as NTFS lists it.
TEST(UserRules, NamesCompareUpperCasedWithCodeUnitsBreakingTies)
{
    EXPECT_EQ(UpperCased(L"agent-7 zoë ÿ trường трелан ёж ґ άλφα σς"), L"AGENT-7 ZOË Ÿ TRƯỜNG ТРЕЛАН ЁЖ Ґ ΆΛΦΑ ΣΣ");
    EXPECT_EQ(UpperCased(L"ß ÷ ı µ 1.+ \xD83D"), L"ß ÷ ı µ 1.+ \xD83D") << "no one-unit upper case, or a surrogate";
    EXPECT_TRUE(SameName(L"ZOË", L"Zoë"));
    EXPECT_FALSE(SameName(L"Zoe", L"Zoë"));
    EXPECT_FALSE(SameName(L"Agent ", L"Agent"));
    const Names order{L"", L"1st", L"AGENT", L"Agent", L"agent", L"Agent.old", L"Agent2", L"b", L"Zoe", L"zoë", L"_x",
                      L"Трелан"};
    EXPECT_FALSE(NameBefore(L"Agent", L"Agent"));
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        EXPECT_TRUE(NameBefore(order[i], order[i + 1]) && !NameBefore(order[i + 1], order[i])) << i;
}

TEST(UserRules, MergedUsersAreFilesThenFoldersThatNoEntryHasWithoutRegardToCase)
{
    EXPECT_EQ(MergeUserNames({L"John.Smith", L"Zed", L"Zoë"}, {L"old.save", L"john.smith", L"ZOË", L"alpha"}),
              (Names{L"John.Smith", L"Zed", L"Zoë", L"alpha", L"old.save"}));
    // Only a case-sensitive file system under Wine can hold both spellings.
    EXPECT_EQ(MergeUserNames({L"bob", L"Bob"}, {}), (Names{L"Bob", L"bob"}));
    EXPECT_EQ(MergeUserNames({}, {L"tom", L"Tom", L"TOM"}), (Names{L"TOM"}));
    EXPECT_EQ(MergeUserNames({L""}, {L"x"}), (Names{L"", L"x"})) << "the user of a file named \".usr\"";
}
