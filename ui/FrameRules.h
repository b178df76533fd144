// Rules of the main window's frame that need no window: fading, the version
// line, the error box text and DPI scaling.
#pragma once

#include <string>
#include <string_view>

namespace trelgate {

inline constexpr int kOpaque = 255;
inline constexpr int kFadeInStep = 5;
inline constexpr int kFadeOutStep = 20;
inline constexpr unsigned kFadeIntervalMs = 50;

// The level after one fade-in tick; a tick at 255 stops the timer instead.
constexpr int FadeInLevel(int level) { return level + kFadeInStep < kOpaque ? level + kFadeInStep : kOpaque; }

// The level after one fade-out tick; a tick at 0 closes the window instead.
constexpr int FadeOutLevel(int level) { return level - kFadeOutStep > 0 ? level - kFadeOutStep : 0; }

// "Version 1.1.0.120", or the release note when the executable carries none.
std::wstring VersionLine(std::wstring_view fileVersion);

// The standard error box's text: a sentence gets its full stop unless the
// text already ends in punctuation that sorts at or before ".".
std::wstring ErrorBoxText(std::wstring_view message);

// The upper-case letter that follows a single "&" in a caption, or 0.
wchar_t MnemonicOf(std::wstring_view caption);

// 96-DPI pixels to the window's DPI, rounded half away from zero like MulDiv.
constexpr int Scale(int value, int dpi)
{
    const long long scaled = static_cast<long long>(value) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : -((-scaled + 48) / 96));
}

} // namespace trelgate
