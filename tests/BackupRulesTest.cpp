// Which typed backup names stay plain files in the backup folder, on Windows
// and under Wine alike, and which users have a backup folder of their own.
#include <gtest/gtest.h>

#include "users/BackupRules.h"

using namespace trelgate;

TEST(BackupRules, RefuseEveryNameThatIsNoPlainFileInItsFolderAndEveryUserWithoutAFolderOfItsOwn)
{
    for (std::wstring_view name :
         {L"..\\escape", L"a/b", L"C:evil", L"stream:x", L"star*", L"what?", L"say \"hi\"", L"<in", L"out>",
          L"pi|pe", L"tab\there", L"bell\x07", L"\x1F", L"NUL", L"nul.bak", L"Con", L"prn.txt", L"AUX ", L"NUL. .",
          L"CONIN$", L"conout$.x", L"COM1", L"com9", L"LPT1", L"Lpt9.save", L"COM\u00B9", L"LPT\u00B2",
          L"lpt\u00B3 ", L"COM\u00B3.bak", L"NUL .old"})
        EXPECT_FALSE(IsAcceptableBackupName(name)) << std::wstring(name).c_str();
    for (std::wstring_view name : {L"", L" ", L"..", L"Before heist", L"x.", L"trailing ", L"CONSOLE", L"NULL",
                                   L"COM10", L"COM0", L"LPT", L"COM\u00B4", L"A NUL", L"nul x", L".NUL",
                                   L"\u00C9t\u00E9 2026", L"$CON"})
        EXPECT_TRUE(IsAcceptableBackupName(name)) << std::wstring(name).c_str();
    // Only a user with a proper name has a folder of its own.
    for (std::wstring_view name : {L"", L".", L".."})
        EXPECT_FALSE(HasBackupFolder(name));
    for (std::wstring_view name : {L"...", L"Bob.", L"Bob ", L" ", L".Bob"})
        EXPECT_TRUE(HasBackupFolder(name));
}
