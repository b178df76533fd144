#include <gtest/gtest.h>

#include <vector>

#include "ui/FrameRules.h"

using namespace trelgate;

TEST(Fading, FadeOutFallsByTwentyAndReachesZeroAfter13Ticks)
{
    std::vector<int> levels;
    for (int level = kOpaque; level != 0;)
        levels.push_back(level = FadeOutLevel(level));
    const std::vector<int> expected{235, 215, 195, 175, 155, 135, 115, 95, 75, 55, 35, 15, 0};
    EXPECT_EQ(levels, expected);
    EXPECT_EQ(FadeOutLevel(140), 120) << "an interrupted fade-in fades out from where it stopped";
}

TEST(VersionLine, NamesTheFileVersionOrTheTestRelease)
{
    EXPECT_EQ(VersionLine(L"1.1.0.120"), L"Version 1.1.0.120");
    EXPECT_EQ(VersionLine(L""), L"Internal test release");
}

TEST(ErrorBoxText, AppendsAFullStopWhenTheLastCharacterSortsAfterIt)
{
    EXPECT_EQ(ErrorBoxText(L"In C:\\Trelgate.ini kann nicht geschrieben werden"),
              L"In C:\\Trelgate.ini kann nicht geschrieben werden.");
    EXPECT_EQ(ErrorBoxText(L"Done."), L"Done.");
    EXPECT_EQ(ErrorBoxText(L"Stop!"), L"Stop!") << "'!' sorts before '.'";
    EXPECT_EQ(ErrorBoxText(L"Why?"), L"Why?.") << "'?' sorts after '.'";
    EXPECT_EQ(ErrorBoxText(L"C:\\"), L"C:\\.");
    EXPECT_EQ(ErrorBoxText(L""), L"");
}

TEST(Scale, RoundsHalfAwayFromZeroLikeMulDiv)
{
    EXPECT_EQ(Scale(303, 96), 303);
    EXPECT_EQ(Scale(303, 144), 455);
    EXPECT_EQ(Scale(-11, 144), -17);
    EXPECT_EQ(Scale(1, 120), 1);
    EXPECT_EQ(Scale(2, 120), 3);
    EXPECT_EQ(Scale(0, 192), 0);
}

TEST(Mnemonic, IsTheLetterAfterASingleAmpersand)
{
    EXPECT_EQ(MnemonicOf(L"User &Manager"), L'M');
    EXPECT_EQ(MnemonicOf(L"E&xit"), L'X');
    EXPECT_EQ(MnemonicOf(L"Fish && &Chips"), L'C');
    EXPECT_EQ(MnemonicOf(L"Credits"), L'\0');
    EXPECT_EQ(MnemonicOf(L"Trailing&"), L'\0');
}
