// The seven startup options in the order of the page, the settings file and
// the game's command line: each one's settings key, default, word, and its
// check box's caption and help. The page's boxes are made from this table.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace trelgate {

struct StartupOption {
    std::string_view key;      // in the settings section "Options"
    bool fallback;             // also the state the page first shows
    std::wstring_view word;    // on the game's command line
    std::wstring_view caption; // of its check box
    std::wstring_view help;    // shown while the mouse points at its check box
};

inline constexpr std::array<StartupOption, 7> kStartupOptions = {{
    {"FullScreen", true, L"graphics_fullscreen", L"Full screen",
     L"Disabling this option will run Trelan in a window. Note that this may not work with all graphics cards "
     L"because some older models do not properly display OpenGL in a window."},
    {"ButtonAnimations", true, L"graphics_buttonanimations", L"Button animations",
     L"Disabling this option will disable the 'Slide-In'-effect for buttons and menu items. This is mainly useful "
     L"if the effect is slow and choppy on your system but may also be used to speed up game flow."},
    {"SafeMode", false, L"graphics_safemode", L"Safe mode",
     L"Runs Trelan in 'Safe Mode', meaning less performance but better compatibility, especially for older "
     L"graphics cards."},
    {"AltLargeMap", false, L"graphics_altlargemap", L"Alt. Large Map",
     L"Enable this option only if the large world map is rendered erratically on your system (e.g. all white)."},
    {"SoftwareMouse", false, L"graphics_softwaremouse", L"Software Mouse",
     L"Renders a software mouse. Use this to correct problems with the mouse cursor."},
    {"MusicEnabled", true, L"sound_musicenabled", L"In-Game Music",
     L"You can disable the in-game music with this option."},
    {"DebugStart", false, L"game_debugstart", L"Debug output", L"Prints debugging information during startup."},
}};

using OptionStates = std::array<bool, kStartupOptions.size()>;

// "+" or "-" by the state, then the word; nothing else.
std::wstring OptionWord(bool on, std::wstring_view word);

// Each option's word after one blank, in the fixed order: always all seven,
// so the text is 150 characters whatever the states.
std::wstring BuildCommandLine(const OptionStates& states);

} // namespace trelgate
