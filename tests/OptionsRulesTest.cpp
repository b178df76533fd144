#include <gtest/gtest.h>

#include "launch/Options.h"

using namespace trelgate;

TEST(CommandLine, HoldsAllSevenWordsInTheirPlacesWhateverTheStates)
{
    OptionStates first{};
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = kStartupOptions[i].fallback;
    OptionStates switched = first;
    switched[2] = true;
    const struct {
        OptionStates states;
        const wchar_t* line;
    } cases[] = {
        {first, L" +graphics_fullscreen +graphics_buttonanimations -graphics_safemode -graphics_altlargemap "
                L"-graphics_softwaremouse +sound_musicenabled -game_debugstart"},
        {{true, true, true, true, true, true, true},
         L" +graphics_fullscreen +graphics_buttonanimations +graphics_safemode +graphics_altlargemap "
         L"+graphics_softwaremouse +sound_musicenabled +game_debugstart"},
        {{}, L" -graphics_fullscreen -graphics_buttonanimations -graphics_safemode -graphics_altlargemap "
             L"-graphics_softwaremouse -sound_musicenabled -game_debugstart"},
        {switched, L" +graphics_fullscreen +graphics_buttonanimations +graphics_safemode -graphics_altlargemap "
                   L"-graphics_softwaremouse +sound_musicenabled -game_debugstart"},
    };
    for (const auto& c : cases) {
        const std::wstring line = BuildCommandLine(c.states);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), 150u) << "a leading blank, none at the end";
    }
    EXPECT_EQ(OptionWord(false, L"x y"), L"-x y") << "the word goes in unchanged";
}
