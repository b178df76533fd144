// Which names may stand as one entry of a folder that the launcher writes to.
#pragma once

#include <string_view>

namespace trelgate {

// Whether folder + "\" + name names an entry of that folder itself, on Windows
// and under Wine alike: not empty, not "." or "..", no separator, no stream
// (":"), none of the characters file names cannot hold, and no device name
// (CON, NUL, COM1, ...) in any case, before any extension and trailing blanks
// or dots. Any other name, a blank one included, is the player's to choose.
bool IsEntryName(std::wstring_view name);

} // namespace trelgate
