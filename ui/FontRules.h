// Rules for the window's typeface: the face the layout was drawn for, the
// faces tried when a system lacks it, and whether measured texts fit the room
// their controls give them. The measuring itself is the window's (FontFit.h).
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "resources/Layout.h"

namespace trelgate {

// The layout is made to the pixel for this face at these heights (96 DPI).
inline constexpr std::wstring_view kLayoutFace = L"MS Sans Serif";
inline constexpr int kFontHeight = 11, kTitleFontHeight = 19;

struct FontCandidate {
    std::wstring_view face;
    int height; // character height at 96 DPI
    bool operator==(const FontCandidate&) const = default;
};

// What to try, in order, when the system gives another face for the layout's:
// that face as it comes (a look-alike may fit as it is), Tahoma at 11 then
// 10 px, then the given face from 10 px down to 8.
std::vector<FontCandidate> FallbackCandidates(std::wstring_view substitute);

// The pixels of a control's box (96 DPI, both sides together) that its text
// cannot use: a push button's edge and focus rectangle, a check box's mark and
// the gap after it, a sunken panel's edge. Word-wrapped labels are measured by
// height and take the whole box.
int TextInset(layout::Kind kind);

// One measured text against the room its control gives it, in the same
// direction (width, or height for a word-wrapped label) and pixels.
struct TextFit {
    layout::Kind kind; // Tabs for the row of tabs
    int need, room;
    int Margin() const { return room - need; }
};

bool AllFit(std::span<const TextFit> fits);

// The width a row of tabs needs: the tabs' own widths, padding included, and
// the selected tab standing out by 2 px on either side.
int TabRowWidth(std::span<const int> tabWidths);

} // namespace trelgate
