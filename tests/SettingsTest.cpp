// The settings file and the game directory, through the real window.
#include "WindowFixture.h"

#include <tuple>
#include <vector>

#include "base/AppError.h"
#include "base/Files.h"
#include "base/Text.h"
#include "launch/Options.h"
#include "settings/TextEncoding.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

class Settings : public WindowTest {
protected:
    std::wstring CurrentDirectory() const
    {
        wchar_t dir[MAX_PATH];
        return std::wstring(dir, ::GetCurrentDirectoryW(MAX_PATH, dir));
    }
    void Close() { ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0); }
    std::string Saved() const { return ReadBytes(Ini()); }
};

constexpr char kDefaultsTail[] = "FadeWindow=0\r\n[Users]\r\nCurrentUser=\r\n[Options]\r\nFullScreen=1\r\n"
                                 "ButtonAnimations=1\r\nSafeMode=0\r\nAltLargeMap=0\r\nSoftwareMouse=0\r\n"
                                 "MusicEnabled=1\r\nDebugStart=0\r\n";

} // namespace

TEST_F(Settings, FirstRunInTheGameFolderFindsTheGameAndSavesAllTenKeysAtExit)
{
    MakeGame(folder.Path());
    Create();
    Show();
    EXPECT_EQ(form->TrelanPath, folder.Path());
    EXPECT_EQ(Text(Ctl::edtTrelanPath), folder.Path());
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Trelan path valid.");
    EXPECT_EQ(form->ActivePage(), Ctl::tabUsers);
    EXPECT_EQ(CurrentDirectory(), folder.Path());
    EXPECT_FALSE(Exists(Ini())) << "nothing is written before the end";

    Close();
    EXPECT_EQ(Saved(), "[Settings]\r\nTrelanPath=" + Utf8FromWide(folder.Path()) + "\r\n" + kDefaultsTail);
}

TEST_F(Settings, FirstRunElsewhereOpensTheSettingsPageAndKeepsTheHint)
{
    Create();
    Show();
    EXPECT_EQ(form->TrelanPath, L"");
    EXPECT_EQ(form->ActivePage(), Ctl::tabSettings);
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Enter the path to Trelan or click on Browse.");
    EXPECT_EQ(CurrentDirectory(), folder.Path()) << "the launcher's own folder";
    Close();
    EXPECT_EQ(Saved(), std::string("[Settings]\r\nTrelanPath=\r\n") + kDefaultsTail);
}

TEST_F(Settings, ValuesLoadIntoTheirControlsAndBooleansReadAsIntegers)
{
    const std::wstring game = MakeGame(folder / L"game");
    WriteBytes(game + L"\\users\\Bob.usr", "save");
    WriteBytes(Ini(), "[settings]\r\ntrelanpath=" + Utf8FromWide(game) +
                          "\r\nFadeWindow=yes\r\n[Users]\r\nCurrentUser=bob\r\n[OPTIONS]\r\nFullScreen=yes\r\n"
                          "ButtonAnimations=-0\r\nSafeMode=2\r\nAltLargeMap=0x1\r\nSoftwareMouse= $1F\r\n"
                          "MusicEnabled=0\r\nDebugStart=\r\n");
    Create();
    Show();
    EXPECT_EQ(form->TrelanPath, game);
    EXPECT_EQ(CurrentDirectory(), game);
    EXPECT_EQ(form->CurrentUser, L"Bob") << "remembered as bob, listed as Bob";
    std::vector<bool> boxes{Checked(Ctl::chkFadeWindow)};
    for (Ctl box : kOptionBoxes)
        boxes.push_back(Checked(box));
    // "yes" and the empty value are no integers: the defaults.
    EXPECT_EQ(boxes, (std::vector<bool>{false, true, false, true, true, true, false, false}));
}

TEST_F(Settings, NamesOutsideTheAnsiCodePageRoundTripBesideOldAnsiBytes)
{
    const std::wstring zoe = L"Zo\u00eb";
    const std::wstring game = MakeGame(folder / L"\u0422\u0440\u0435\u043b\u0430\u043d");
    WriteBytes(game + L"\\users\\" + zoe + L".usr", "save");
    std::string ansiZoe(8, '\0');
    ansiZoe.resize(::WideCharToMultiByte(CP_ACP, 0, zoe.c_str(), 3, ansiZoe.data(), 8, nullptr, nullptr));
    ASSERT_NE(ansiZoe, Utf8FromWide(zoe)) << "the old code page spells it differently";
    // An older launcher's value and comment in the old code page, beside ours in UTF-8.
    const std::string comment = "; \xa7 old launcher\r\n";
    WriteBytes(Ini(), comment + "[Settings]\r\nTrelanPath=" + Utf8FromWide(game) +
                          "\r\n[Users]\r\nCurrentUser=" + ansiZoe + "\r\n");
    Create();
    Show();
    EXPECT_EQ(form->TrelanPath, game);
    EXPECT_EQ(form->CurrentUser, zoe);
    Close();

    const std::string saved = Saved();
    EXPECT_TRUE(saved.starts_with(comment)) << saved;
    EXPECT_NE(saved.find("TrelanPath=" + Utf8FromWide(game) + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("CurrentUser=" + Utf8FromWide(zoe) + "\r\n"), std::string::npos) << saved;
}

TEST_F(Settings, TheGameDirectoryNeedsTheExecutableAndTheUsersFolder)
{
    Create();
    Show();
    const std::wstring game = MakeGame(folder / L"ok");
    const auto odd = [&](const wchar_t* name, bool exeFolder, bool usersFolder) {
        const std::wstring path = folder / name;
        MakeFolder(path);
        exeFolder ? MakeFolder(path + L"\\Trelan.exe") : WriteBytes(path + L"\\Trelan.exe", "MZ");
        usersFolder ? MakeFolder(path + L"\\users") : WriteBytes(path + L"\\users", "");
        return path;
    };
    for (const std::wstring& bad : {odd(L"usersfile", false, false), odd(L"exefolder", true, true), game + L"\\nope",
                                    std::wstring(L"")}) {
        ::SetWindowTextW(Item(Ctl::edtTrelanPath), game.c_str());
        ::SetWindowTextW(Item(Ctl::edtTrelanPath), bad.c_str());
        EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Not a valid Trelan path!") << bad.c_str();
        EXPECT_EQ(form->TrelanPath, game) << "the last accepted directory stays";
    }
    ::SetWindowTextW(Item(Ctl::edtTrelanPath), (game + L"\\").c_str());
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Trelan path valid.") << "a doubled backslash still resolves";
    EXPECT_EQ(form->TrelanPath, game + L"\\") << "a typed directory is kept as typed";
}

TEST_F(Settings, LeavingThePageRestoresTheDirectoryInUse)
{
    const std::wstring game = MakeGame(folder / L"g");
    Create();
    Show();
    ::SetFocus(Item(Ctl::edtTrelanPath));
    Type(Ctl::edtTrelanPath, L"C:\\nowhere");
    ::SetFocus(Item(Ctl::btnLaunch)); // leaves the page
    EXPECT_EQ(Text(Ctl::edtTrelanPath), L"") << "nothing was accepted yet";
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Not a valid Trelan path!");

    ::SetWindowTextW(Item(Ctl::edtTrelanPath), game.c_str());
    ::SetFocus(Item(Ctl::edtTrelanPath));
    Type(Ctl::edtTrelanPath, L"zz");
    ASSERT_EQ(Text(Ctl::lblTrelanPathValid), L"Not a valid Trelan path!");
    MSG altM{form->Handle(), WM_SYSCHAR, L'm', 0}; // another page
    ASSERT_TRUE(form->PreTranslateMessage(altM));
    EXPECT_EQ(Text(Ctl::edtTrelanPath), game);
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Trelan path valid.");

    MSG altS{form->Handle(), WM_SYSCHAR, L's', 0};
    ASSERT_TRUE(form->PreTranslateMessage(altS));
    ::SetFocus(Item(Ctl::chkFadeWindow));
    ::SetWindowTextW(Item(Ctl::edtTrelanPath), L"typed");
    ::SetFocus(Item(Ctl::edtTrelanPath));
    EXPECT_EQ(Text(Ctl::edtTrelanPath), L"typed") << "moving within the page leaves the entry";
}

TEST_F(Settings, BrowseStartsInAnExistingDirectoryOrTheLauncherFolderAndTakesTheChosenFilesFolder)
{
    const std::wstring game = MakeGame(folder / L"picked");
    const std::wstring plain = folder / L"plain";
    ::CreateDirectoryW(plain.c_str(), nullptr);
    Create();
    Show();
    Click(Ctl::btnTrelanPathBrowse); // cancelled
    ASSERT_EQ(seams.dialogs.size(), 1u);
    const auto& d = seams.dialogs[0];
    EXPECT_EQ(std::tie(d.title, d.filter, d.defaultExtension, d.startFolder, d.file, d.flagsEx),
              std::tuple(std::wstring(L"Select the Trelan executable"), std::wstring(L"Trelan Executable|Trelan.exe|"),
                         std::wstring(L"exe"), folder.Path(), folder / L"Trelan.exe", DWORD(OFN_EX_NOPLACESBAR)))
        << "no directory yet: the launcher's folder";
    EXPECT_EQ(d.flags & ~OFN_EXPLORER, DWORD(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                              OFN_NOTESTFILECREATE | OFN_ENABLESIZING | OFN_DONTADDTORECENT));
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Enter the path to Trelan or click on Browse.") << "cancelled";

    form->TrelanPath = plain + L"\\"; // an existing, if invalid, directory
    seams.chooseFile = [&](OPENFILENAMEW& d) {
        ::SetCurrentDirectoryW(game.c_str()); // as the dialog may, browsing
        return wcscpy_s(d.lpstrFile, d.nMaxFile, (game + L"\\Trelan.exe").c_str()) == 0;
    };
    Click(Ctl::btnTrelanPathBrowse);
    EXPECT_EQ(CurrentDirectory(), folder.Path()) << "the game is to inherit the folder the settings chose";
    EXPECT_EQ(seams.dialogs[1].startFolder, plain) << "without its trailing backslash";
    EXPECT_EQ(seams.dialogs[1].file, plain + L"\\Trelan.exe");
    EXPECT_EQ(Text(Ctl::edtTrelanPath), game);
    EXPECT_EQ(form->TrelanPath, game);
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Trelan path valid.");
}

TEST_F(Settings, AFileThatIsThereButCannotBeReadIsNotWrittenOver)
{
    const std::string mine = "[Settings]\r\nFadeWindow=1\r\n[Mine]\r\nKeep=this\r\n";
    WriteBytes(Ini(), mine);
    const TSettingsFile file(Ini());
    TSettingsFile::Contents unread;
    {
        // Another program lets no one read the file for a moment.
        UniqueFile held(::CreateFileW(Ini().c_str(), GENERIC_READ, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        unread = file.Read();
    }
    EXPECT_FALSE(unread.ReadBool("Settings", "FadeWindow", false)) << "unread: the default";
    unread.WriteBool("Settings", "FadeWindow", false);
    EXPECT_THROW(file.Write(unread), AppError);
    EXPECT_EQ(Saved(), mine);
}

TEST_F(Settings, AFailedSaveDuringTheFadeOutIsReportedOnceAndTheWindowCloses)
{
    WriteBytes(Ini(), "[Settings]\r\nFadeWindow=1\r\n");
    ASSERT_TRUE(::SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY));
    seams.whileShown = [] { PumpUntil([] { return false; }, 400); }; // the box's own loop delivers the timers' ticks
    Create();
    Show();
    Click(Ctl::btnExit);
    ASSERT_TRUE(PumpUntil([&] { return closed; }, 10000));
    EXPECT_EQ(Shown(), Boxes{L"Trelan Launcher|In " + Ini() + L" kann nicht geschrieben werden.|16"});
    ::SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Saved(), "[Settings]\r\nFadeWindow=1\r\n");
}

// UTF-16 with its mark, as the profile functions and Notepad write it.
static std::string Utf16File(std::wstring_view text, TextEncoding encoding)
{
    return Utf16FileFromUtf8(Utf8FromWide(text), encoding);
}

TEST(SettingsFile, AUtf16FileIsReadAndWrittenInItsOwnEncodingKeepingItsOtherLines)
{
    TempDir folder;
    const TSettingsFile file(folder / L"Trelgate.ini");
    const std::wstring head = L"; Zo\u00eb's \U0001F3AE\r\n[Settings]\r\nTrelanPath=C:\\\u0422\u0440\u0435\u043b\u0430\u043d\r\n";
    for (TextEncoding encoding : {TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        WriteBytes(file.FileName(), Utf16File(head, encoding));
        TSettingsFile::Contents contents = file.Read();
        EXPECT_EQ(contents.ReadString("Settings", "TrelanPath", L""), L"C:\\\u0422\u0440\u0435\u043b\u0430\u043d");
        contents.WriteString("Users", "CurrentUser", L"Zo\u00eb");
        file.Write(contents);
        EXPECT_EQ(ReadBytes(file.FileName()), Utf16File(head + L"[Users]\r\nCurrentUser=Zo\u00eb\r\n", encoding));
    }
    WriteBytes(file.FileName(), "\xFF\xFE"); // a mark alone: an empty file of that encoding
    TSettingsFile::Contents empty = file.Read();
    empty.WriteBool("Settings", "FadeWindow", true);
    file.Write(empty);
    EXPECT_EQ(ReadBytes(file.FileName()), Utf16File(L"[Settings]\r\nFadeWindow=1\r\n", TextEncoding::Utf16LE));
}

TEST(SettingsFile, NoLeftoverOfAnEarlierSaveBlocksOneAndAFailureNamesTheFileThatFailed)
{
    TempDir folder;
    const TSettingsFile file(folder / L"Trelgate.ini");
    MakeFolder(file.FileName() + L".tmp");                            // anything of the old fixed name
    WriteBytes(file.FileName() + L".4242-7.tmp", "a killed save's"); // ours, from a killed run
    TSettingsFile::Contents contents = file.Read();
    contents.WriteString("Users", "CurrentUser", L"Bob");
    file.Write(contents);
    EXPECT_EQ(ReadBytes(file.FileName()), "[Users]\r\nCurrentUser=Bob\r\n");
    EXPECT_FALSE(Exists(file.FileName() + L".4242-7.tmp"));
    int entries = 0;
    ForEachEntry(folder / L"*", EntryFilter::Folders, [&](const WIN32_FIND_DATAW&) { ++entries; });
    EXPECT_EQ(entries, 4) << "., .., the file and the folder: no temporary file stays";

    const TSettingsFile nowhere(folder / L"missing\\Trelgate.ini");
    try {
        nowhere.Write(contents);
        ADD_FAILURE() << "a folder that is not there takes no file";
    } catch (const AppError& e) {
        const std::wstring& text = e.Message();
        EXPECT_TRUE(text.starts_with(L"In " + nowhere.FileName() + L".")) << text;
        EXPECT_TRUE(text.ends_with(L".tmp kann nicht geschrieben werden")) << text;
    }
}
