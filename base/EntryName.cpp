#include "base/EntryName.h"

#include <algorithm>
#include <array>

namespace trelgate {
namespace {

bool IsForbidden(wchar_t c)
{
    return c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
}

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameAscii(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return AsciiUpper(x) == y; });
}

// Windows takes a name for a device when the part before its first dot,
// without trailing blanks, is one of these; the file's own ".bak" is such a dot.
bool IsDeviceName(std::wstring_view name)
{
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && (stem.back() == L' ' || stem.back() == L'.'))
        stem.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 6> kFixed{L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::any_of(kFixed.begin(), kFixed.end(), [&](std::wstring_view d) { return SameAscii(stem, d); }))
        return true;
    if (stem.size() != 4 || !(SameAscii(stem.substr(0, 3), L"COM") || SameAscii(stem.substr(0, 3), L"LPT")))
        return false;
    const wchar_t digit = stem[3];
    return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

} // namespace

bool IsEntryName(std::wstring_view name)
{
    return name != L"" && name != L"." && name != L".." && std::none_of(name.begin(), name.end(), IsForbidden) &&
           !IsDeviceName(name);
}

} // namespace trelgate
