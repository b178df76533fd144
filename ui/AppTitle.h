// The application's title: the window's caption, the credits' heading, the
// standard error box's title and the name of the single-instance lock.
#pragma once

#include <string_view>

namespace trelgate {

inline constexpr std::wstring_view kAppTitle = L"Trelan Launcher";

} // namespace trelgate
