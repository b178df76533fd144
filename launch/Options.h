// The seven startup options: their check boxes, settings keys and defaults,
// in the order of the page, the settings file and the game's command line.
#pragma once

#include <string_view>

#include "resources/Layout.h"

namespace trelgate {

struct StartupOption {
    layout::Ctl box;
    std::string_view key; // in the settings section "Options"
    bool fallback;
};

inline constexpr StartupOption kStartupOptions[] = {
    {layout::Ctl::chkFullScreen, "FullScreen", true},
    {layout::Ctl::chkButtonAnimations, "ButtonAnimations", true},
    {layout::Ctl::chkSafeMode, "SafeMode", false},
    {layout::Ctl::chkAltLargeMap, "AltLargeMap", false},
    {layout::Ctl::chkSoftwareMouse, "SoftwareMouse", false},
    {layout::Ctl::chkMusicEnabled, "MusicEnabled", true},
    {layout::Ctl::chkDebugStart, "DebugStart", false},
};

} // namespace trelgate
