#include "ui/FrameRules.h"

#include <cwctype>

namespace trelgate {

std::wstring VersionLine(std::wstring_view fileVersion)
{
    if (fileVersion.empty())
        return L"Internal test release";
    return L"Version " + std::wstring(fileVersion);
}

std::wstring ErrorBoxText(std::wstring_view message)
{
    std::wstring text(message);
    if (!text.empty() && text.back() > L'.')
        text += L'.';
    return text;
}

wchar_t MnemonicOf(std::wstring_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        if (caption[i + 1] != L'&')
            return static_cast<wchar_t>(std::towupper(caption[i + 1]));
        ++i; // "&&" shows one "&"
    }
    return 0;
}

} // namespace trelgate
