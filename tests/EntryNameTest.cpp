// Which names stay one entry of the folder they are put in, on Windows and
// under Wine alike.
#include <gtest/gtest.h>

#include "base/EntryName.h"

using namespace trelgate;

TEST(EntryName, RefusesEveryNameThatIsNoEntryOfItsOwnFolder)
{
    for (std::wstring_view name :
         {L"", L".", L"..", L"..\\escape", L"a\\b.usr", L"a/b", L"C:evil", L"stream:x", L"star*", L"what?",
          L"say \"hi\"", L"<in", L"out>", L"pi|pe", L"tab\there", L"bell\x07", L"\x1F", L"NUL", L"nul.bak", L"Con",
          L"prn.txt", L"AUX ", L"NUL. .", L"CONIN$", L"conout$.x", L"COM1", L"com9", L"LPT1", L"Lpt9.save",
          L"COM\u00B9", L"LPT\u00B2", L"lpt\u00B3 ", L"COM\u00B3.bak", L"NUL .old"})
        EXPECT_FALSE(IsEntryName(name)) << std::wstring(name).c_str();
    for (std::wstring_view name : {L" ", L"...", L".bak", L"..usr", L"Before heist", L"x.", L"Bob.", L"trailing ",
                                   L".Bob", L"CONSOLE", L"NULL", L"COM10", L"COM0", L"LPT", L"COM\u00B4", L"A NUL",
                                   L"nul x", L".NUL", L"\u00C9t\u00E9 2026", L"$CON"})
        EXPECT_TRUE(IsEntryName(name)) << std::wstring(name).c_str();
}
