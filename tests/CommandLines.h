// The game's command line for the window's first states, all on, all off and one switched.
#pragma once

#include "launch/Options.h"

namespace trelgate::test {

inline const struct {
    OptionStates states;
    const wchar_t* line;
} kCommandLines[] = {
    {{true, true, false, false, false, true, false}, L" +graphics_fullscreen +graphics_buttonanimations "
     L"-graphics_safemode -graphics_altlargemap -graphics_softwaremouse +sound_musicenabled -game_debugstart"},
    {{true, true, true, true, true, true, true}, L" +graphics_fullscreen +graphics_buttonanimations "
     L"+graphics_safemode +graphics_altlargemap +graphics_softwaremouse +sound_musicenabled +game_debugstart"},
    {{}, L" -graphics_fullscreen -graphics_buttonanimations "
         L"-graphics_safemode -graphics_altlargemap -graphics_softwaremouse -sound_musicenabled -game_debugstart"},
    {{true, true, true, false, false, true, false}, L" +graphics_fullscreen +graphics_buttonanimations "
     L"+graphics_safemode -graphics_altlargemap -graphics_softwaremouse +sound_musicenabled -game_debugstart"},
};

} // namespace trelgate::test
