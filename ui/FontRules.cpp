#include "ui/FontRules.h"

#include <algorithm>
#include <initializer_list>
#include <numeric>

namespace trelgate {

std::vector<FontCandidate> FallbackCandidates(std::wstring_view substitute)
{
    std::vector<FontCandidate> candidates{{substitute, kFontHeight}};
    for (const FontCandidate tahoma : {FontCandidate{L"Tahoma", 11}, FontCandidate{L"Tahoma", 10}})
        if (tahoma.face != substitute)
            candidates.push_back(tahoma);
    for (int height = 10; height >= 8; --height)
        candidates.push_back({substitute, height});
    return candidates;
}

int TextInset(layout::Kind kind)
{
    switch (kind) {
    case layout::Button: return 2 * 4;   // 2 px edge, 1 px gap and 1 px focus rectangle a side
    case layout::CheckBox: return 13 + 4; // the mark and the gap before the text
    case layout::SunkenPanel: return 2 * 1;
    default: return 0;
    }
}

bool AllFit(std::span<const TextFit> fits)
{
    return std::all_of(fits.begin(), fits.end(), [](const TextFit& fit) { return fit.need <= fit.room; });
}

int TabRowWidth(std::span<const int> tabWidths)
{
    constexpr int selectedSpread = 2;
    return std::accumulate(tabWidths.begin(), tabWidths.end(), 0) + 2 * selectedSpread;
}

} // namespace trelgate
