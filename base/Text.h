// Text between the launcher's UTF-16 and the bytes of files and messages, and
// the text of any window, however long.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace trelgate {

// Bytes in the given code page as UTF-16; ill-formed sequences as U+FFFD.
std::wstring Decode(std::string_view bytes, UINT codePage);
std::wstring WideFromUtf8(std::string_view bytes);
std::string Utf8FromWide(std::wstring_view text);

// The whole text of a window; also of another process's window.
std::wstring WindowText(HWND hwnd);

} // namespace trelgate
