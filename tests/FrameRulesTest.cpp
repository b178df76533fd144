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
