// The seven startup options in the order of the page, the settings file and
// the game's command line: each one's settings key, default and word.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace trelgate {

struct StartupOption {
    std::string_view key;   // in the settings section "Options"
    bool fallback;          // also the state the page first shows
    std::wstring_view word; // on the game's command line
};

inline constexpr std::array<StartupOption, 7> kStartupOptions = {{
    {"FullScreen", true, L"graphics_fullscreen"},
    {"ButtonAnimations", true, L"graphics_buttonanimations"},
    {"SafeMode", false, L"graphics_safemode"},
    {"AltLargeMap", false, L"graphics_altlargemap"},
    {"SoftwareMouse", false, L"graphics_softwaremouse"},
    {"MusicEnabled", true, L"sound_musicenabled"},
    {"DebugStart", false, L"game_debugstart"},
}};

using OptionStates = std::array<bool, kStartupOptions.size()>;

// "+" or "-" by the state, then the word; nothing else.
std::wstring OptionWord(bool on, std::wstring_view word);

// Each option's word after one blank, in the fixed order: always all seven,
// so the text is 150 characters whatever the states.
std::wstring BuildCommandLine(const OptionStates& states);

} // namespace trelgate
