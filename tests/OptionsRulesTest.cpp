#include <gtest/gtest.h>

#include "CommandLines.h"

using namespace trelgate;

TEST(CommandLine, HoldsAllSevenWordsInTheirPlacesWhateverTheStates)
{
    for (const auto& c : test::kCommandLines) {
        EXPECT_EQ(BuildCommandLine(c.states), c.line);
        EXPECT_EQ(BuildCommandLine(c.states).size(), 150u) << "a leading blank, none at the end";
    }
}
