#include "ui/FontFit.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/PhaseTrace.h"
#include "ui/FrameRules.h"

namespace trelgate {

using namespace layout;

namespace {

UniqueFont MakeFont(std::wstring_view face, int height, bool bold, bool underline)
{
    LOGFONTW font{};
    font.lfHeight = -height;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = underline;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(::CreateFontIndirectW(&font));
}

bool SameFace(std::wstring_view a, std::wstring_view b)
{
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

// Buttons, check boxes and plain labels underline the letter after "&".
bool ShowsMnemonic(Kind kind) { return kind == Button || kind == CheckBox || kind == Label; }

} // namespace

HFONT FontSet::For(Font font) const
{
    switch (font) {
    case Font::Bold: return bold.get();
    case Font::Title: return title.get();
    case Font::Link: return link.get();
    case Font::Normal: break;
    }
    return normal.get();
}

FontSet MakeFontSet(std::wstring_view face, int height, UINT dpi)
{
    const int px = Scale(height, static_cast<int>(dpi));
    return {MakeFont(face, px, false, false), MakeFont(face, px, true, false),
            MakeFont(face, Scale(kTitleFontHeight, static_cast<int>(dpi)), true, false),
            MakeFont(face, px, false, true)};
}

std::wstring SelectedFace(HDC dc, HFONT font)
{
    const SelectedObject selected(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    return face;
}

TextFit MeasureFit(HDC dc, HFONT font, Kind kind, std::wstring_view text, SIZE box, UINT dpi)
{
    const SelectedObject selected(dc, font);
    const bool wraps = kind == WrapLabel;
    RECT rect{0, 0, wraps ? box.cx : 0, 0};
    UINT format = DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE);
    if (!ShowsMnemonic(kind))
        format |= DT_NOPREFIX;
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format);
    if (wraps)
        return {kind, rect.bottom, box.cy};
    return {kind, rect.right, box.cx - Scale(TextInset(kind), static_cast<int>(dpi))};
}

TextFit MeasureTabRow(HWND tabs, HFONT font)
{
    SetWindowFont(tabs, font, FALSE);
    std::vector<int> widths;
    for (int i = 0, count = TabCtrl_GetItemCount(tabs); i < count; ++i) {
        RECT tab{};
        TabCtrl_GetItemRect(tabs, i, &tab);
        widths.push_back(tab.right - tab.left);
    }
    RECT client{};
    ::GetClientRect(tabs, &client);
    return {Tabs, TabRowWidth(widths), client.right};
}

std::vector<TextFit> MeasureLayout(HDC dc, const FontSet& fonts, UINT dpi, HWND tabs, const CaptionOf& captionOf)
{
    const int scale = static_cast<int>(dpi);
    std::vector<TextFit> fits;
    for (const Control& c : kControls) {
        const std::wstring text = c.kind == Page ? std::wstring() : captionOf(c);
        if (text.empty())
            continue;
        const SIZE box{Scale(WidthOf(c), scale), Scale(c.height, scale)};
        fits.push_back(MeasureFit(dc, fonts.For(c.font), c.kind, text, box, dpi));
    }
    fits.push_back(MeasureTabRow(tabs, fonts.normal.get()));
    return fits;
}

FontSet ChooseFonts(UINT dpi, HWND tabs, const CaptionOf& captionOf)
{
    FontSet fonts = MakeFontSet(kLayoutFace, kFontHeight, dpi);
    const WindowDc screen(nullptr);
    const std::wstring given = SelectedFace(screen.get(), fonts.normal.get());
    if (SameFace(given, kLayoutFace)) {
        PhaseDone("fonts: the layout's face, nothing measured");
        return fonts;
    }
    for (const FontCandidate& candidate : FallbackCandidates(given)) {
        FontSet tried = MakeFontSet(candidate.face, candidate.height, dpi);
        if (!SameFace(SelectedFace(screen.get(), tried.normal.get()), candidate.face))
            continue; // not on this system
        const bool fits = AllFit(MeasureLayout(screen.get(), tried, dpi, tabs, captionOf));
        fonts = std::move(tried);
        if (fits)
            break;
    }
    PhaseDone("fonts: a fallback measured");
    return fonts;
}

} // namespace trelgate
