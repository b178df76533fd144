#include <gtest/gtest.h>

#include <tuple>

#include "settings/IniDocument.h"
#include "settings/PathRules.h"

using namespace trelgate;

// Each row: a file, a key read from it (no value: nullptr), a key then set,
// and the file's bytes after, which read the set value back.
TEST(IniDocument, ReadsAsProfileFunctionsDoAndWritesOnlyTheValue)
{
    using Key = std::tuple<const char*, const char*, const char*>; // section, key, value
    const std::string other = "\x01\xff garbage\r\n[Elsewhere]\r\nKey = keep ; me\r\nno equals sign\n";
    const struct {
        std::string file;
        Key read, set;
        std::string bytes;
    } cases[] = {
        // A byte-order mark hides no section; names match in any case; the blanks and
        // one pair of quotes around a value go; the first of duplicate keys counts.
        {"\xEF\xBB\xBF[settings]\r\n  trelanpath =  \"C:\\T\"  \r\nTrelanPath=2\r\n" + other,
         {"SETTINGS", "TrelanPath", "C:\\T"}, {"Settings", "TRELANPATH", "D:\\"},
         "\xEF\xBB\xBF[settings]\r\n  trelanpath =D:\\\r\nTrelanPath=2\r\n" + other},
        // An unpaired quote stays; an unterminated last line is ended before anything follows it.
        {"[Users]\nCurrentUser='a", {"Users", "CurrentUser", "'a"}, {"Settings", "FadeWindow", "1"},
         "[Users]\nCurrentUser='a\r\n[Settings]\r\nFadeWindow=1\r\n"},
    };
    for (const auto& c : cases) {
        IniDocument ini(c.file);
        const auto& [section, key, value] = c.read;
        EXPECT_EQ(ini.Get(section, key), value ? std::optional<std::string>(value) : std::nullopt) << key;
        const auto& [setSection, setKey, setValue] = c.set;
        ini.Set(setSection, setKey, setValue);
        EXPECT_EQ(ini.Bytes(), c.bytes);
        EXPECT_EQ(IniDocument(ini.Bytes()).Get(setSection, setKey), setValue);
    }
}

// A file of the old launcher holds code page text; the settings read it as such.
TEST(Utf8, TellsWellFormedTextFromOldCodePageText)
{
    EXPECT_TRUE(IsValidUtf8("Zo\xc3\xab \xf0\x9f\x8e\xae"));
    for (const char* old : {"Zo\xeb", "\xc0\xaf", "\xed\xa0\x80", "\xe2\x82"}) // 1252, overlong, surrogate, cut
        EXPECT_FALSE(IsValidUtf8(old)) << old;
}

// A launcher in a drive's root keeps its settings there, not in "C:" + "Trelgate.ini".
TEST(PathRules, FoldersKeepADriveRootWhole)
{
    EXPECT_EQ(FolderOf(L"C:\\Games\\Trelgate.exe"), L"C:\\Games");
    EXPECT_EQ(FolderOf(L"C:\\Trelgate.exe"), L"C:\\");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\"), L"C:\\");
}
