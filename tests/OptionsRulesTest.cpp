#include <gtest/gtest.h>

#include "CommandLines.h"

using namespace trelgate;

TEST(CommandLine, HoldsAllSevenWordsInTheirPlacesWhateverTheStates)
{
    for (const auto& c : test::kCommandLines) {
        const std::wstring line = BuildCommandLine(c.states);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 150u) << "a leading blank, none at the end";
    }
    for (std::size_t i = 0; i < kStartupOptions.size(); ++i)
        EXPECT_EQ(kStartupOptions[i].fallback, test::kCommandLines[0].states[i]) << "the first states";
}
