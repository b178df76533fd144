// The settings file on disk, and the Settings page through the real window.
#include "WindowFixture.h"

#include <tuple>

#include "base/AppError.h"
#include "settings/GameDirectory.h"
#include "settings/TextEncoding.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

std::wstring CurrentDirectory()
{
    wchar_t dir[MAX_PATH];
    return std::wstring(dir, ::GetCurrentDirectoryW(MAX_PATH, dir));
}

using Settings = WindowTest;

} // namespace

// A first run outside a game folder, then an older launcher's file with
// values that are no integers ("yes", empty: each key's default). Nothing is
// written before the end; then each of the ten keys goes back in its place,
// the booleans as 1 or 0, and every other line stays.
TEST_F(Settings, LoadsEachKeyIntoItsPlaceAndSavesAllTenAtTheEnd)
{
    const std::wstring zoe = L"Zo\u00eb", game = MakeGame(folder / L"\u0422\u0440\u0435\u043b\u0430\u043d");
    // Ace is listed first: Zo\u00eb is chosen only as the one remembered.
    for (const std::wstring& user : {std::wstring(L"Ace"), zoe})
        WriteBytes(game + L"\\users\\" + user + L".usr", "save");
    std::string ansiZoe(8, '\0'); // in the old code page, as an older launcher wrote it
    ansiZoe.resize(::WideCharToMultiByte(CP_ACP, 0, zoe.c_str(), 3, ansiZoe.data(), 8, nullptr, nullptr));
    ASSERT_NE(ansiZoe, Utf8FromWide(zoe));
    const std::string old = "; \xa7 old launcher\r\n[Settings]\r\nTrelanPath=" + Utf8FromWide(game);
    const struct {
        std::string before;
        Ctl page;
        std::wstring label, directory;
        std::string after;
    } rows[] = {
        {"", Ctl::tabSettings, L"Enter the path to Trelan or click on Browse.", folder.Path(),
         "[Settings]\r\nTrelanPath=\r\nFadeWindow=0\r\n[Users]\r\nCurrentUser=\r\n[Options]\r\nFullScreen=1\r\n"
         "ButtonAnimations=1\r\nSafeMode=0\r\nAltLargeMap=0\r\nSoftwareMouse=0\r\nMusicEnabled=1\r\nDebugStart=0\r\n"},
        {old + "\r\nFadeWindow=yes\r\n[Users]\r\nCurrentUser=" + ansiZoe + "\r\n[Options]\r\nFullScreen=yes\r\n"
                 "ButtonAnimations=-0\r\nSafeMode=2\r\nAltLargeMap=0x1\r\nSoftwareMouse= $1F\r\nMusicEnabled=0\r\n"
                 "DebugStart=\r\n",
         Ctl::tabUsers, L"Trelan path valid.", game,
         old + "\r\nFadeWindow=0\r\n[Users]\r\nCurrentUser=" + Utf8FromWide(zoe) + "\r\n[Options]\r\n"
                 "FullScreen=1\r\nButtonAnimations=0\r\nSafeMode=1\r\nAltLargeMap=1\r\nSoftwareMouse=1\r\n"
                 "MusicEnabled=0\r\nDebugStart=0\r\n"},
    };
    for (const auto& r : rows) {
        if (!r.before.empty())
            WriteBytes(Ini(), r.before);
        Show();
        EXPECT_EQ(std::tuple(form->ActivePage(), Text(Ctl::lblTrelanPathValid), CurrentDirectory()),
                  std::tuple(r.page, r.label, r.directory));
        EXPECT_EQ(ReadBytes(Ini()), r.before);
        ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(ReadBytes(Ini()), r.after);
    }
}

TEST(GameDirectory, HoldsTheFileTrelanExeAndTheFolderUsersAndIsTakenAsItIs)
{
    TempDir folder;
    const std::wstring game = MakeGame(folder / L"ok"), exeFolder = MakeGame(folder / L"exe");
    const std::wstring usersFile = MakeGame(folder / L"users");
    ::DeleteFileW((exeFolder + L"\\Trelan.exe").c_str());
    MakeFolder(exeFolder + L"\\Trelan.exe");
    ::RemoveDirectoryW((usersFile + L"\\users").c_str());
    WriteBytes(usersFile + L"\\users", "");
    EXPECT_TRUE(IsValidTrelanPath(game + L"\\")) << "a doubled backslash still resolves";
    for (const std::wstring& bad : {exeFolder, usersFile, game + L"\\users", folder / L"gone", std::wstring()})
        EXPECT_FALSE(IsValidTrelanPath(bad)) << bad.c_str();
}

// With no directory accepted, leaving the page empties the entry; moving
// within the page leaves it. A typed directory is kept as typed.
TEST_F(Settings, LeavingThePagePutsBackTheDirectoryInUseEvenNone)
{
    Show();
    ::SetFocus(Item(Ctl::edtTrelanPath));
    ::SetWindowTextW(Item(Ctl::edtTrelanPath), L"zz");
    ::SetFocus(Item(Ctl::chkFadeWindow));
    EXPECT_EQ(Text(Ctl::edtTrelanPath), L"zz");
    ::SetFocus(Item(Ctl::btnLaunch));
    EXPECT_EQ(Text(Ctl::edtTrelanPath), L"");
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Not a valid Trelan path!");
    const std::wstring typed = MakeGame(folder / L"g") + L"\\";
    ::SetWindowTextW(Item(Ctl::edtTrelanPath), typed.c_str());
    EXPECT_EQ(form->TrelanPath, typed);
}

TEST_F(Settings, BrowseStartsInAnExistingDirectoryOrTheLauncherFolderAndKeepsTheCurrentDirectory)
{
    const std::wstring game = MakeGame(folder / L"picked"), plain = folder / L"plain";
    MakeFolder(plain);
    Show();
    Click(Ctl::btnTrelanPathBrowse); // cancelled
    const auto& d = seams.dialogs.at(0);
    EXPECT_EQ(std::tie(d.title, d.filter, d.defaultExtension, d.startFolder, d.file, d.flagsEx),
              std::tuple(std::wstring(L"Select the Trelan executable"), std::wstring(L"Trelan Executable|Trelan.exe|"),
                         std::wstring(L"exe"), folder.Path(), folder / L"Trelan.exe", DWORD(OFN_EX_NOPLACESBAR)));
    EXPECT_EQ(d.flags & ~OFN_EXPLORER, DWORD(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                              OFN_NOTESTFILECREATE | OFN_ENABLESIZING | OFN_DONTADDTORECENT));
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Enter the path to Trelan or click on Browse.") << "cancelled";

    form->TrelanPath = plain + L"\\"; // there, if no game's
    seams.chooseFile = [&](OPENFILENAMEW& dialog) {
        ::SetCurrentDirectoryW(game.c_str()); // as the dialog may, browsing
        return wcscpy_s(dialog.lpstrFile, dialog.nMaxFile, (game + L"\\Trelan.exe").c_str()) == 0;
    };
    Click(Ctl::btnTrelanPathBrowse);
    EXPECT_EQ(seams.dialogs.at(1).startFolder, plain) << "without its trailing backslash";
    EXPECT_EQ(Text(Ctl::edtTrelanPath), game);
    EXPECT_EQ(CurrentDirectory(), folder.Path()) << "the game is to inherit the folder the settings chose";
}

// The error ends the close, not the fade-out's timer: one box, then the window goes.
TEST_F(Settings, AFailedSaveDuringTheFadeOutIsReportedOnceAndTheWindowCloses)
{
    Open(true);
    Mark(Ini(), FILE_ATTRIBUTE_READONLY);
    seams.whileShown = [] { PumpUntil([] { return false; }, 400); }; // the box's own loop delivers the ticks
    Click(Ctl::btnExit);
    ASSERT_TRUE(PumpUntil([&] { return closed; }, 10000));
    EXPECT_EQ(seams.boxes.size(), 1u);
    Mark(Ini(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nFadeWindow=1\r\n");
}

// Every save replaces the file whole through a temporary file of a name of
// its own; UTF-16 files stay UTF-16 of their byte order. A file that is there
// but cannot be read is not written over, and a failure names the file that failed.
TEST(SettingsFile, SavesThroughAFreshTemporaryFileInTheFilesOwnEncodingOrNotAtAll)
{
    TempDir folder;
    const TSettingsFile file(folder / L"Trelgate.ini");
    MakeFolder(file.FileName() + L".tmp");                           // anything of the old fixed name
    WriteBytes(file.FileName() + L".4242-7.tmp", "a killed save's"); // ours, from a killed run
    const auto utf16 = [](const std::wstring& text, TextEncoding encoding) {
        return Utf16FileFromUtf8(Utf8FromWide(text), encoding);
    };
    const std::wstring head = L"; \U0001F3AE\r\n[Settings]\r\nTrelanPath=C:\\\u0422\r\n";
    using enum TextEncoding;
    for (const auto& [before, encoding] :
         {std::pair(head, Utf16LE), std::pair(head, Utf16BE), std::pair(std::wstring(), Utf16LE)}) { // a mark alone
        WriteBytes(file.FileName(), utf16(before, encoding));
        TSettingsFile::Contents contents = file.Read();
        EXPECT_EQ(contents.ReadString("Settings", "TrelanPath", L""), before.empty() ? L"" : L"C:\\\u0422");
        contents.WriteString("Users", "CurrentUser", L"Zo\u00eb");
        file.Write(contents);
        EXPECT_EQ(ReadBytes(file.FileName()), utf16(before + L"[Users]\r\nCurrentUser=Zo\u00eb\r\n", encoding));
    }
    EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::wstring>{L"Trelgate.ini", L"Trelgate.ini.tmp"}));

    const std::string kept = ReadBytes(file.FileName());
    TSettingsFile::Contents unread;
    {
        // Another program lets no one read the file for a moment.
        UniqueFile held(::CreateFileW(file.FileName().c_str(), GENERIC_READ, FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        unread = file.Read();
    }
    EXPECT_EQ(unread.ReadString("Users", "CurrentUser", L"unread"), L"unread");
    EXPECT_THROW(file.Write(unread), AppError);
    EXPECT_EQ(ReadBytes(file.FileName()), kept);

    const TSettingsFile nowhere(folder / L"missing\\Trelgate.ini");
    try {
        nowhere.Write(file.Read());
        ADD_FAILURE() << "a folder that is not there takes no file";
    } catch (const AppError& e) {
        EXPECT_TRUE(e.Message().starts_with(L"In " + nowhere.FileName() + L".")) << e.Message();
        EXPECT_TRUE(e.Message().ends_with(L".tmp kann nicht geschrieben werden")) << e.Message();
    }
}
