#include <gtest/gtest.h>

#include <vector>

#include "ui/FontRules.h"

using namespace trelgate;

TEST(FallbackFonts, TryTheGivenFaceAsItComesThenTahomaThenTheGivenFaceSmaller)
{
    const std::vector<FontCandidate> dejaVu{{L"DejaVu Sans", 11}, {L"Tahoma", 11}, {L"Tahoma", 10},
                                            {L"DejaVu Sans", 10}, {L"DejaVu Sans", 9}, {L"DejaVu Sans", 8}};
    EXPECT_EQ(FallbackCandidates(L"DejaVu Sans"), dejaVu);
    const std::vector<FontCandidate> tahoma{{L"Tahoma", 11}, {L"Tahoma", 10}, {L"Tahoma", 9}, {L"Tahoma", 8}};
    EXPECT_EQ(FallbackCandidates(L"Tahoma"), tahoma) << "no height twice";
}

TEST(FallbackFonts, TextsFitWhenNoneNeedsMoreThanItsRoomAndTheTabRowNeedsItsTabsAndTheSelectedTabsSpread)
{
    using enum layout::Kind;
    std::vector<TextFit> fits{{Button, 129, 129}, {CheckBox, 80, 92}, {Tabs, 0, 299}};
    EXPECT_TRUE(AllFit(fits)) << "exactly the room fits";
    fits.push_back({WrapLabel, 68, 67});
    EXPECT_FALSE(AllFit(fits));
    EXPECT_EQ(TabRowWidth(std::vector<int>{85, 91, 56, 54}), 286 + 2 + 2);
}
