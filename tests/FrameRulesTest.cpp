#include <gtest/gtest.h>

#include "ui/FrameRules.h"

using namespace trelgate;

TEST(VersionLine, NamesTheFileVersionOrTheTestRelease)
{
    EXPECT_EQ(VersionLine(L"1.1.0.120"), L"Version 1.1.0.120");
    EXPECT_EQ(VersionLine(L""), L"Internal test release");
}

TEST(ErrorBoxText, AppendsAFullStopWhenTheLastCharacterSortsAfterIt)
{
    EXPECT_EQ(ErrorBoxText(L"Done."), L"Done.");
    EXPECT_EQ(ErrorBoxText(L"Stop!"), L"Stop!") << "'!' sorts before '.'";
    EXPECT_EQ(ErrorBoxText(L"Why?"), L"Why?.") << "'?' sorts after '.'";
    EXPECT_EQ(ErrorBoxText(L""), L"");
}

TEST(Scale, RoundsHalfAwayFromZeroLikeMulDiv)
{
    EXPECT_EQ(Scale(303, 144), 455);
    EXPECT_EQ(Scale(-11, 144), -17);
    EXPECT_EQ(Scale(2, 120), 3);
}

TEST(Mnemonic, IsTheLetterAfterASingleAmpersand)
{
    EXPECT_EQ(MnemonicOf(L"E&xit"), L'X');
    EXPECT_EQ(MnemonicOf(L"Fish && &Chips"), L'C');
    EXPECT_EQ(MnemonicOf(L"Trailing&"), L'\0');
}
