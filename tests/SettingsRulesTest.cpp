#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "settings/IniDocument.h"
#include "settings/PathRules.h"
#include "settings/TextEncoding.h"

using namespace trelgate;
using namespace std::string_literals;

// Each row: a file, a key read from it (no value: nullptr), a key then set,
// and the file's bytes after, which read the set value back.
TEST(IniDocument, ReadsAsProfileFunctionsDoAndWritesOnlyTheValue)
{
    using Key = std::tuple<const char*, const char*, const char*>; // section, key, value
    const std::string other = "\x01\xff garbage\r\n[Elsewhere]\r\nKey = keep ; me\r\nno equals sign\n";
    const std::string garbage = std::string(1 << 20, 'x') + "\n\0\0\xfe[Settings\n=value\n;TrelanPath=\nTrelanPath\0"s;
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
        // Only the first of duplicate sections counts; a new key goes after the last key of its section.
        {"[Options]\nFullScreen=0\n\n; end\n[Users]\n[Options]\nSafeMode=1\n", {"Options", "SafeMode", nullptr},
         {"Options", "DebugStart", "1"},
         "[Options]\nFullScreen=0\nDebugStart=1\r\n\n; end\n[Users]\n[Options]\nSafeMode=1\n"},
        // An unpaired quote stays; an unterminated last line is ended before anything follows it.
        {"[Users]\nCurrentUser='a", {"Users", "CurrentUser", "'a"}, {"Users", "Other", "b"},
         "[Users]\nCurrentUser='a\r\nOther=b\r\n"},
        {garbage, {"Settings", "TrelanPath", nullptr}, {"Settings", "TrelanPath", "D:\\T"},
         garbage + "\r\n[Settings]\r\nTrelanPath=D:\\T\r\n"},
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

TEST(ProfileInt, IsDecimalOrHexadecimalAfterFourPrefixesAndNothingElse)
{
    const std::pair<const char*, std::int32_t> numbers[] = {
        {"-0", 0}, {"  -12", -12}, {"+7", 7}, {"0x1", 1}, {"0X1f", 31}, {" $1F", 31}, {"x10", 16},
        {"$FFFFFFFF", -1}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ParseProfileInt(text), value) << text;
    for (const char* text : {"", "   ", "yes", "1 ", "1a", "X1", "0x", "$", "+-1", "$-1", "2147483648", "$100000000"})
        EXPECT_EQ(ParseProfileInt(text), std::nullopt) << '"' << text << '"';
}

TEST(Utf8, TellsWellFormedTextFromOldCodePageText)
{
    EXPECT_TRUE(IsValidUtf8("Zo\xc3\xab \xd0\xa2\xd1\x80 \xf0\x9f\x8e\xae"));
    // Windows-1252, overlong, a surrogate, cut short.
    for (const char* text : {"Zo\xeb", "\xc0\xaf", "\xed\xa0\x80", "\xe2\x82"})
        EXPECT_FALSE(IsValidUtf8(text)) << text;
}

// Browse shows the everyday cases.
TEST(PathRules, FoldersKeepADriveRootWhole)
{
    EXPECT_EQ(FolderOf(L"C:\\Trelan.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\Trelan.exe"), L"\\\\server\\share");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(InFolder(L"C:\\", L"Trelan.exe"), L"C:\\Trelan.exe");
}

// A lone surrogate comes back as it was; the disk test sees both byte orders and a pair.
TEST(TextEncoding, Utf16KeepsALoneSurrogateAndReadsAStrayLastByteAsAReplacement)
{
    const std::string file("\xFF\xFE" "A\0" "\x00\xD8", 6), text = "A\xED\xA0\x80";
    EXPECT_EQ(Utf8FromUtf16File(file, TextEncoding::Utf16LE), text);
    EXPECT_EQ(Utf16FileFromUtf8(text, TextEncoding::Utf16LE), file);
    EXPECT_EQ(Utf8FromUtf16File(file + "x", TextEncoding::Utf16LE), text + "\xEF\xBF\xBD");
}
