// The settings file on disk, and the Settings page through the real window.
#include "WindowFixture.h"

#include <tuple>

#include "base/AppError.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;
using namespace std::string_literals;

namespace {

std::wstring CurrentDirectory()
{
    wchar_t dir[MAX_PATH];
    return std::wstring(dir, ::GetCurrentDirectoryW(MAX_PATH, dir));
}

// A UTF-16 file's bytes, with its byte-order mark.
std::string Utf16(const std::wstring& text, bool bigEndian)
{
    std::string bytes;
    for (const wchar_t c : L"\uFEFF" + text)
        bytes += bigEndian ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
    return bytes;
}

using Settings = WindowTest;

} // namespace

// A first run outside a game folder, then an old launcher's file: values that are no integers ("yes", empty:
// each key's default) and the remembered user in the code page, chosen over Ace, the first. Nothing is written
// before the end; then each of the ten keys goes back in its place, the booleans as 1 or 0, the text in UTF-8,
// and every other line stays.
TEST_F(Settings, LoadsEachKeyIntoItsPlaceAndSavesAllTenAtTheEnd)
{
    const std::wstring game = MakeGame(folder / L"\u0422\u0440\u0435\u043b\u0430\u043d");
    for (const wchar_t* user : {L"Ace.usr", L"Zo\u00eb.usr"})
        WriteBytes(game + L"\\users\\" + user, "save");
    const std::string old = "; \xa7 old launcher\r\n[Settings]\r\nTrelanPath=" + Utf8FromWide(game);
    const auto users = [](const std::string& user) {
        return "\r\n[Users]\r\nCurrentUser=" + user + "\r\n[Options]\r\n";
    };
    const struct {
        std::string before;
        Ctl page;
        std::wstring label, directory;
        std::string after;
    } rows[] = {
        {"", Ctl::tabSettings, L"Enter the path to Trelan or click on Browse.", folder.Path(),
         "[Settings]\r\nTrelanPath=\r\nFadeWindow=0\r\n[Users]\r\nCurrentUser=\r\n[Options]\r\nFullScreen=1\r\n"
         "ButtonAnimations=1\r\nSafeMode=0\r\nAltLargeMap=0\r\nSoftwareMouse=0\r\nMusicEnabled=1\r\nDebugStart=0\r\n"},
        {old + "\r\nFadeWindow=yes" + users("Zo\xeb") + "FullScreen=yes\r\nButtonAnimations=-0\r\nSafeMode=2\r\n"
                 "AltLargeMap=0x1\r\nSoftwareMouse= $1F\r\nMusicEnabled=0\r\nDebugStart=\r\n",
         Ctl::tabUsers, L"Trelan path valid.", game,
         old + "\r\nFadeWindow=0" + users("Zo\xc3\xab") + "FullScreen=1\r\nButtonAnimations=0\r\nSafeMode=1\r\nAltLargeMap=1\r\n"
                 "SoftwareMouse=1\r\nMusicEnabled=0\r\nDebugStart=0\r\n"},
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

// The dialog starts in the stored directory if it exists, game or not; it may change
// the current directory, but the game is to inherit the one the settings chose.
TEST_F(Settings, BrowseStartsInTheStoredDirectoryAndKeepsTheCurrentDirectory)
{
    const std::wstring game = MakeGame(folder / L"picked"), plain = game + L"\\users";
    Show();
    form->TrelanPath = plain + L"\\";
    seams.chooseFile = [&](OPENFILENAMEW& dialog) {
        ::SetCurrentDirectoryW(game.c_str());
        return wcscpy_s(dialog.lpstrFile, dialog.nMaxFile, (game + L"\\Trelan.exe").c_str()) == 0;
    };
    Click(Ctl::btnTrelanPathBrowse);
    const auto& d = seams.dialogs.at(0);
    EXPECT_EQ(std::tie(d.title, d.filter, d.defaultExtension, d.startFolder, d.file),
              std::tuple(L"Select the Trelan executable"s, L"Trelan Executable|Trelan.exe|"s, L"exe"s, plain,
                         plain + L"\\Trelan.exe"));
    EXPECT_EQ(Text(Ctl::edtTrelanPath), game);
    EXPECT_EQ(CurrentDirectory(), folder.Path());
}

// Every save replaces the file whole through a temporary file of a name of its own; UTF-16
// files, even a byte-order mark alone, stay UTF-16 of their byte order. A file that is there
// but cannot be read is not written over, and a failure names the settings file.
TEST(SettingsFile, SavesThroughAFreshTemporaryFileInTheFilesOwnEncodingOrNotAtAll)
{
    TempDir folder;
    const TSettingsFile file(folder / L"Trelgate.ini");
    MakeFolder(file.FileName() + L".tmp");                           // anything of the old fixed name
    WriteBytes(file.FileName() + L".4242-7.tmp", "a killed save's"); // ours, from a killed run
    const std::wstring head = L"; \U0001F3AE\r\n[Settings]\r\nTrelanPath=C:\\\u0422\r\n";
    for (const auto& [before, bigEndian] : {std::pair(head, false), std::pair(head, true), std::pair(L""s, false)}) {
        WriteBytes(file.FileName(), Utf16(before, bigEndian));
        TSettingsFile::Contents contents = file.Read();
        EXPECT_EQ(contents.ReadString("Settings", "TrelanPath", L""), before.empty() ? L"" : L"C:\\\u0422");
        contents.WriteString("Users", "CurrentUser", L"Zo\u00eb");
        file.Write(contents);
        EXPECT_EQ(ReadBytes(file.FileName()), Utf16(before + L"[Users]\r\nCurrentUser=Zo\u00eb\r\n", bigEndian));
    }
    EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::wstring>{L"Trelgate.ini", L"Trelgate.ini.tmp"}));

    const std::string kept = ReadBytes(file.FileName());
    TSettingsFile::Contents unread;
    { // another program lets no one read the file for a moment
        UniqueFile held(::CreateFileW(file.FileName().c_str(), GENERIC_READ, FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        unread = file.Read();
    }
    EXPECT_THROW(file.Write(unread), AppError);
    EXPECT_EQ(ReadBytes(file.FileName()), kept);

    const TSettingsFile nowhere(folder / L"missing\\Trelgate.ini");
    try {
        nowhere.Write(file.Read());
        ADD_FAILURE() << "a folder that is not there takes no file";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Message(), L"In " + nowhere.FileName() + L" kann nicht geschrieben werden");
    }
}

// The box's own loop delivers the fade-out's ticks: the failure shows once, and the window still closes.
TEST_F(Settings, AFailedSaveDuringTheFadeOutIsReportedOnceAndTheWindowCloses)
{
    WriteBytes(Ini(), "[Settings]\r\nFadeWindow=1\r\n");
    Mark(Ini(), FILE_ATTRIBUTE_READONLY);
    seams.whileShown = [](const Box&) { PumpUntil([] { return false; }, 400); };
    Show();
    Click(Ctl::btnExit);
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    EXPECT_EQ(seams.boxes, (std::vector{Box{L"Trelan Launcher", L"In " + Ini() + L" kann nicht geschrieben werden.", 16}}));
}
