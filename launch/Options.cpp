#include "launch/Options.h"

namespace trelgate {

std::wstring OptionWord(bool on, std::wstring_view word) { return (on ? L"+" : L"-") + std::wstring(word); }

std::wstring BuildCommandLine(const OptionStates& states)
{
    std::wstring line;
    for (std::size_t i = 0; i < kStartupOptions.size(); ++i)
        line += L" " + OptionWord(states[i], kStartupOptions[i].word);
    return line;
}

} // namespace trelgate
