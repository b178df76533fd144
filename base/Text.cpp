#include "base/Text.h"

namespace trelgate {

std::wstring Decode(std::string_view bytes, UINT codePage)
{
    if (bytes.empty())
        return {};
    const int length = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), n);
    return text;
}

std::wstring WideFromUtf8(std::string_view bytes) { return Decode(bytes, CP_UTF8); }

std::string Utf8FromWide(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::wstring WindowText(HWND hwnd)
{
    // The length may grow between the two calls; read until the text fits.
    std::wstring text;
    for (int room = ::GetWindowTextLengthW(hwnd) + 1;; room *= 2) {
        text.assign(room, L'\0');
        const int n = ::GetWindowTextW(hwnd, text.data(), room);
        if (n < room - 1) {
            text.resize(n);
            return text;
        }
    }
}

} // namespace trelgate
