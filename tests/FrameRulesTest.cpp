#include <gtest/gtest.h>

#include "ui/FrameRules.h"

using namespace trelgate;

TEST(ErrorBoxText, AppendsNoFullStopAfterACharacterThatSortsBeforeIt)
{
    EXPECT_EQ(ErrorBoxText(L"Stop!"), L"Stop!");
}

TEST(Scale, RoundsHalfAwayFromZeroLikeMulDiv)
{
    EXPECT_EQ(Scale(303, 144), 455);
    EXPECT_EQ(Scale(-11, 144), -17);
}

TEST(Mnemonic, IsTheLetterAfterASingleAmpersand)
{
    EXPECT_EQ(MnemonicOf(L"E&xit"), L'X');
    EXPECT_EQ(MnemonicOf(L"Fish && &Chips"), L'C');
}
