// The window's fonts, and how its texts measure in them: the layout's face
// where the system has it, otherwise a fallback measured to fit the layout.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Handle.h"
#include "ui/FontRules.h"

namespace trelgate {

struct FontSet {
    UniqueFont normal, bold, title, link;
    HFONT For(layout::Font font) const;
};

// The four fonts of the layout in one face, the text at the given height and
// the credits title at its own, both in 96-DPI pixels scaled to dpi.
FontSet MakeFontSet(std::wstring_view face, int height, UINT dpi);

// The face the system actually draws a font in, another than the one asked
// for when that one is missing.
std::wstring SelectedFace(HDC dc, HFONT font);

// A control's text in its font against the room its box (pixels at dpi)
// leaves: one line by width, a word-wrapped label by height.
TextFit MeasureFit(HDC dc, HFONT font, layout::Kind kind, std::wstring_view text, SIZE box, UINT dpi);

// The tab control's row of tabs in the font against its width, as the
// control itself lays the tabs out; it keeps the font.
TextFit MeasureTabRow(HWND tabs, HFONT font);

// The text a control shows: its caption in the layout, or what the window
// puts there later.
using CaptionOf = std::function<std::wstring(const layout::Control&)>;

// Every control's text in the fonts at dpi, and the row of tabs of the page
// control, laid out at its size for that DPI.
std::vector<TextFit> MeasureLayout(HDC dc, const FontSet& fonts, UINT dpi, HWND tabs, const CaptionOf& captionOf);

// The layout's face when the system draws it; otherwise the first fallback
// in which every text fits, or the last tried when none does.
FontSet ChooseFonts(UINT dpi, HWND tabs, const CaptionOf& captionOf);

} // namespace trelgate
