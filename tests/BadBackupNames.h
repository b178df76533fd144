// Names a player might type for a backup that would put the file outside its
// folder or make it something other than a plain file there.
#pragma once

#include <array>
#include <string_view>

namespace trelgate::test {

inline constexpr std::array<std::wstring_view, 30> kBadBackupNames{
    L"..\\escape", L"a/b", L"C:evil", L"stream:x", L"star*", L"what?", L"say \"hi\"", L"<in", L"out>",
    L"pi|pe", L"tab\there", L"bell\x07", L"\x1F", L"NUL", L"nul.bak", L"Con", L"prn.txt", L"AUX ",
    L"NUL. .", L"CONIN$", L"conout$.x", L"COM1", L"com9", L"LPT1", L"Lpt9.save", L"COM\u00B9",
    L"LPT\u00B2", L"lpt\u00B3 ", L"COM\u00B3.bak", L"NUL .old"};

} // namespace trelgate::test
