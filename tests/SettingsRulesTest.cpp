#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "settings/IniDocument.h"
#include "settings/PathRules.h"
#include "settings/TextEncoding.h"

using namespace trelgate;

TEST(IniDocument, FindsSectionsAndKeysWithoutRegardToCaseAndTrimsValues)
{
    const IniDocument ini("; comment\r\n[settings]\r\n  trelanpath =  C:\\Games\\Trelan  \r\n"
                          "[Users]\r\nCurrentUser=\"Bob\"\r\nOther='x\r\n");
    EXPECT_EQ(ini.Get("Settings", "TrelanPath"), "C:\\Games\\Trelan");
    EXPECT_EQ(ini.Get("USERS", "currentuser"), "Bob") << "one pair of enclosing quotes goes";
    EXPECT_EQ(ini.Get("Users", "Other"), "'x") << "an unpaired quote stays";
    EXPECT_EQ(ini.Get("Users", "TrelanPath"), std::nullopt) << "keys belong to their section";
    EXPECT_EQ(ini.Get("Options", "FullScreen"), std::nullopt);
}

// Each row: a file, one key with the value it reads (none: nullptr), the keys
// then set, and the file's bytes after.
TEST(IniDocument, WritingChangesOnlyTheValueAndKeepsEveryOtherByte)
{
    using Key = std::tuple<const char*, const char*, const char*>; // section, key, value
    const std::string other = "\x01\xff garbage\r\n[Elsewhere]\r\nKey = keep ; me\r\nno equals sign\n";
    const struct {
        std::string file;
        Key read;
        std::vector<Key> sets;
        std::string bytes;
    } cases[] = {
        // A byte-order mark hides no section and is kept.
        {"\xEF\xBB\xBF[Settings]\r\nTrelanPath=C:\\T\r\n", {"Settings", "TrelanPath", "C:\\T"},
         {{"Settings", "TrelanPath", "D:\\"}}, "\xEF\xBB\xBF[Settings]\r\nTrelanPath=D:\\\r\n"},
        // The first of duplicate keys and sections counts.
        {"[Options]\nFullScreen=0\nFullScreen=1\n[Options]\nSafeMode=1\n", {"Options", "SafeMode", nullptr},
         {{"Options", "FullScreen", "1"}}, "[Options]\nFullScreen=1\nFullScreen=1\n[Options]\nSafeMode=1\n"},
        // A new key goes after the last key of its section.
        {other + "[Settings]\r\n TrelanPath = old\r\n\r\n; trailing comment\r\n", {"Settings", "TrelanPath", "old"},
         {{"Settings", "TrelanPath", "C:\\New"}, {"Settings", "FadeWindow", "1"}},
         other + "[Settings]\r\n TrelanPath =C:\\New\r\nFadeWindow=1\r\n\r\n; trailing comment\r\n"},
        // An empty file gets the sections in the order written.
        {"",
         {"Users", "CurrentUser", nullptr},
         {{"Settings", "TrelanPath", ""}, {"Settings", "FadeWindow", "0"}, {"Users", "CurrentUser", "Agent"},
          {"Options", "FullScreen", "1"}},
         "[Settings]\r\nTrelanPath=\r\nFadeWindow=0\r\n[Users]\r\nCurrentUser=Agent\r\n[Options]\r\nFullScreen=1\r\n"},
        // An unterminated last line is ended before anything follows it.
        {"[Users]\nCurrentUser=a", {"Users", "CurrentUser", "a"}, {{"Users", "Other", "b"}},
         "[Users]\nCurrentUser=a\r\nOther=b\r\n"},
        {"just text", {"Users", "CurrentUser", nullptr}, {{"Users", "CurrentUser", "b"}},
         "just text\r\n[Users]\r\nCurrentUser=b\r\n"},
    };
    for (const auto& c : cases) {
        IniDocument ini(c.file);
        const auto& [section, key, value] = c.read;
        EXPECT_EQ(ini.Get(section, key), value ? std::optional<std::string>(value) : std::nullopt) << c.file;
        for (const auto& [setSection, setKey, setValue] : c.sets)
            ini.Set(setSection, setKey, setValue);
        EXPECT_EQ(ini.Bytes(), c.bytes) << c.file;
    }
}

TEST(IniDocument, GarbageReadsAsNothingAndSurvivesAWrite)
{
    std::string garbage(1 << 20, 'x');
    garbage += "\n\0\0\xfe[Settings\n=novalue\n;TrelanPath=commented\nTrelanPath\n";
    garbage.push_back('\0');
    IniDocument ini(garbage);
    EXPECT_EQ(ini.Get("Settings", "TrelanPath"), std::nullopt);
    ini.Set("Settings", "TrelanPath", "D:\\T");
    EXPECT_EQ(ini.Bytes(), garbage + "\r\n[Settings]\r\nTrelanPath=D:\\T\r\n");
    EXPECT_EQ(IniDocument(ini.Bytes()).Get("Settings", "TrelanPath"), "D:\\T");
}

TEST(ProfileInt, ReadsDecimalAndTheFourHexadecimalPrefixes)
{
    const std::pair<const char*, int> cases[] = {
        {"1", 1},     {"-0", 0},    {"+7", 7},         {"  -12", -12},           {"0x1", 1},
        {"0X1f", 31}, {" $1F", 31}, {"x10", 16},       {"$FFFFFFFF", -1},        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseProfileInt(text), value) << text;
}

TEST(ProfileInt, AnythingElseIsNoInteger)
{
    for (const char* text : {"", "   ", "yes", "true", "1 ", "1a", "X1", "0x", "$", "-", "+-1", "$-1", "0x1g",
                             "2147483648", "$100000000", "99999999999999999999", "1.0"})
        EXPECT_EQ(ParseProfileInt(text), std::nullopt) << '"' << text << '"';
}

TEST(Utf8, TellsWellFormedTextFromOldCodePageText)
{
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("Zo\xc3\xab \xd0\xa2\xd1\x80\xd0\xb5\xd0\xbb\xd0\xb0\xd0\xbd \xf0\x9f\x8e\xae"));
    EXPECT_FALSE(IsValidUtf8("Zo\xeb")) << "Windows-1252";
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf")) << "overlong";
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80")) << "surrogate";
    EXPECT_FALSE(IsValidUtf8("\xe2\x82")) << "cut short";
}

TEST(PathRules, FoldersKeepADriveRootWhole)
{
    EXPECT_EQ(FolderOf(L"C:\\Games\\Trelan\\Trelgate.exe"), L"C:\\Games\\Trelan");
    EXPECT_EQ(FolderOf(L"C:\\Trelan.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\Trelan.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderOf(L"Trelan.exe"), L"");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Games\\"), L"C:\\Games");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Games"), L"C:\\Games");
    EXPECT_EQ(InFolder(L"C:\\Games", L"Trelan.exe"), L"C:\\Games\\Trelan.exe");
    EXPECT_EQ(InFolder(L"C:\\", L"Trelan.exe"), L"C:\\Trelan.exe");
}

TEST(TextEncoding, Utf16FilesRoundTripThroughUtf8WithTheirMarkAndByteOrder)
{
    // "A", U+00EB, U+1F3AE (a surrogate pair), then a lone high surrogate.
    const std::string le("\xFF\xFE" "A\0" "\xEB\0" "\x3C\xD8\xAE\xDF" "\x00\xD8", 12);
    const std::string be("\xFE\xFF" "\0A" "\0\xEB" "\xD8\x3C\xDF\xAE" "\xD8\x00", 12);
    const std::string text = "A\xC3\xAB\xF0\x9F\x8E\xAE\xED\xA0\x80";
    EXPECT_EQ(EncodingOf(le), TextEncoding::Utf16LE);
    EXPECT_EQ(EncodingOf(be), TextEncoding::Utf16BE);
    EXPECT_EQ(EncodingOf("\xEF\xBB\xBF[x]"), TextEncoding::Bytes);
    EXPECT_EQ(Utf8FromUtf16File(le, TextEncoding::Utf16LE), text);
    EXPECT_EQ(Utf8FromUtf16File(be, TextEncoding::Utf16BE), text);
    EXPECT_EQ(Utf16FileFromUtf8(text, TextEncoding::Utf16LE), le);
    EXPECT_EQ(Utf16FileFromUtf8(text, TextEncoding::Utf16BE), be);
    EXPECT_EQ(Utf8FromUtf16File(le + "x", TextEncoding::Utf16LE), text + "\xEF\xBF\xBD") << "a stray last byte";
    EXPECT_EQ(Utf8FromUtf16File("\xFF\xFE", TextEncoding::Utf16LE), "");
    EXPECT_EQ(Utf16FileFromUtf8("", TextEncoding::Utf16BE), "\xFE\xFF");
}
