// Whatever the game folder holds, each operation of the user manager ends in
// its own outcome or in its failure box: names at the platform's limits and in
// every plane of Unicode, paths beyond MAX_PATH, a crowded users folder, and
// files that vanish between the listing and their use. Empty and huge saves
// are the copy's (BackupFilesTest).
#include "WindowFixture.h"

#include <functional>
#include <utility>

using namespace trelgate;
using namespace trelgate::test;

namespace {

const std::wstring kR1 = L"Restore Backup|Do you really want to restore the backup '";
const std::wstring kD1 = L"Delete Backups|Do you really want to delete the selected backups?|36";

using Hardening = UserPageTest;

std::wstring Repeated(wchar_t c, std::size_t n) { return std::wstring(n, c); }

} // namespace

// Each name goes through the whole life of a backup: created, remembered in
// the settings, renamed, restored, deleted, and its user deleted with it.
// The longest names fill a file name's 255 units with their extension and
// make the backup's path far longer than MAX_PATH.
TEST_F(Hardening, EveryKindOfNameLivesThroughEveryOperation)
{
    const struct {
        const char* what;
        std::wstring user, backup, renamed;
    } cases[] = {
        {"longest names", Repeated(L'u', 251), Repeated(L'b', 251), Repeated(L'B', 251)},
        {"supplementary planes", L"\U0001F3AE Gamer", L"\U00020BB7\U0001D11E", L"\U0001F600"},
        {"combining marks", L"Zoe\u0308", L"Cafe\u0301", L"Cafe\u0300"},
        {"right to left", L"\u05E9\u05DC\u05D5\u05DD", L"\u0645\u0631\u062D\u0628\u0627", L"evil\u202Egpj.exe"},
        {"private use", L"\uE000\uF8FF", L"\U000F0000", L"\U0010FFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Save(c.user + L".usr");
        OpenOn(c.user);
        EXPECT_NE(Text(Ctl::pnlDate), L"no file");
        NewBackup(c.backup);
        EXPECT_EQ(ReadBytes(At(c.user + L"\\" + c.backup + L".bak")), "save");
        EXPECT_EQ(Captions(), Rows{c.backup});

        form.reset(); // saved at the end, chosen again at the next start
        Create();
        Show();
        EXPECT_EQ(form->CurrentUser, c.user);

        Select({0});
        Rename(c.renamed);
        EXPECT_EQ(NamesIn(At(c.user)), Names{c.renamed + L".bak"});
        WriteBytes(At(c.user + L".usr"), "later");
        seams.answers = {IDYES, IDYES, IDNO};
        Select({0});
        Click(Ctl::btnRestore);
        EXPECT_EQ(ReadBytes(At(c.user + L".usr")), "save");
        Select({0});
        Click(Ctl::btnDeleteBackups);
        Click(Ctl::btnDeleteUser);
        EXPECT_TRUE(NamesIn(game + L"\\users").empty()) << "the user file and its folder are gone";
        EXPECT_EQ(Shown(), (Boxes{kR1 + c.renamed + L"'?|36", kD1, kKeepBackups}));
        seams.boxes.clear();
    }
}

// A game directory far beyond MAX_PATH is found, listed, backed up, saved in
// the settings and offered by Browse; the game is not started from there.
TEST_F(Hardening, AGameDirectoryBeyondMaxPathWorksThroughout)
{
    std::wstring deep = folder.Path();
    for (wchar_t c : {L'x', L'y', L'z'}) {
        deep += L"\\" + Repeated(c, 100);
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    game = deep;
    MakeGame(L"\\\\?\\" + game);
    Save(L"Agent.usr");
    OpenOn(L"Agent");
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Trelan path valid.");
    EXPECT_LT(::GetCurrentDirectoryW(0, nullptr), DWORD{MAX_PATH}) << "no program starts in a longer one";
    NewBackup(L"Start");
    EXPECT_EQ(Captions(), Rows{L"Start"});

    seams.chooseFile = [&](OPENFILENAMEW& dialog) {
        const std::wstring chosen = game + L"\\Trelan.exe";
        dialog.lpstrFile[chosen.copy(dialog.lpstrFile, dialog.nMaxFile - 1)] = L'\0';
        return true;
    };
    Click(Ctl::btnTrelanPathBrowse);
    ASSERT_EQ(seams.dialogs.size(), 1u);
    EXPECT_EQ(seams.dialogs[0].file, game + L"\\Trelan.exe");
    EXPECT_EQ(seams.dialogs[0].startFolder, game);
    EXPECT_EQ(Text(Ctl::edtTrelanPath), game);

    Click(Ctl::btnLaunch);
    EXPECT_EQ(Shown(), Boxes{L"Error running Trelan|Unable to run Trelan. Please check the Settings tab to see if "
                             L"the Trelan directory is set correctly.|16"});
    form.reset();
    EXPECT_NE(ReadBytes(Ini()).find(std::string(game.begin(), game.end())), std::string::npos);
    RemoveTree(L"\\\\?\\" + folder.Path());
}

// 2,500 folders, half of which name a user file in other letter case, and
// 7,500 user files (the folders first: under Wine each new name costs a scan
// of the folder): every user is listed once and the remembered one found.
TEST_F(Hardening, AUsersFolderOfTenThousandEntriesIsListedWhole)
{
    for (int i = 0; i < 2500; ++i)
        ::CreateDirectoryW(At((i % 2 ? L"USER" : L"Folder") + std::to_wstring(i)).c_str(), nullptr);
    for (int i = 0; i < 7500; ++i)
        WriteBytes(At(L"User" + std::to_wstring(i) + L".usr"), "");
    OpenAt(game, L"folder2498");
    EXPECT_EQ(ComboBox_GetCount(Item(Ctl::cboUser)), 8750);
    EXPECT_EQ(form->CurrentUser, L"Folder2498");
}

// Another program removes a file between the listing and its use: while the
// operation's question is up, or before an operation that asks nothing.
TEST_F(Hardening, AFileThatVanishesBeforeItsUseGetsTheOperationsOwnOutcome)
{
    const std::wstring a2 = L"Create Backup|The backup 'Old' already exists. Overwrite?|36", r1 = kR1 + L"Old'?|36";
    using Act = std::function<void()>;
    const Act create = [this] { NewBackup(L"Old"); };
    const Act restore = [this] { Select({0}), Click(Ctl::btnRestore); };
    const Act remove = [this] { Select({0}), Click(Ctl::btnDeleteBackups); };
    const Act deleteUser = [this] { Click(Ctl::btnDeleteUser); };
    const struct {
        const char* what;
        std::wstring gone;
        int answer; // to the question, 0 for none
        Act act;
        Boxes shown;
        Names left; // in users and in users\Agent
    } cases[] = {
        {"create, the user file", L"Agent.usr", 0, [this] { NewBackup(L"New"); },
         {L"Create Backup|Backup cannot be created!|16"}, {L"Agent", L"Old.bak"}},
        {"create, the backup it replaces", L"Agent\\Old.bak", IDYES, create, {a2}, {L"Agent.usr", L"Agent", L"Old.bak"}},
        {"restore, the backup", L"Agent\\Old.bak", IDYES, restore, {r1, L"Restore Backup|Backup cannot be restored!|16"},
         {L"Agent.usr", L"Agent"}},
        {"restore, the user file", L"Agent.usr", IDYES, restore, {r1}, {L"Agent.usr", L"Agent", L"Old.bak"}},
        {"rename, the backup", L"Agent\\Old.bak", 0, [this] { Select({0}), Rename(L"New"); },
         {L"Rename Backup|Backup could not be renamed.|16"}, {L"Agent.usr", L"Agent"}},
        {"delete, the backup", L"Agent\\Old.bak", IDYES, remove,
         {kD1, L"Delete Backups|The backup 'Old' could not be deleted!|16"}, {L"Agent.usr", L"Agent"}},
        {"delete user, the user file", L"Agent.usr", IDNO, deleteUser,
         {kKeepBackups, L"Delete User|User file could not be deleted!|16"}, {}},
        {"delete user, a backup", L"Agent\\Old.bak", IDNO, deleteUser, {kKeepBackups}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(game + L"\\users");
        ::CreateDirectoryW((game + L"\\users").c_str(), nullptr);
        Save(L"Agent.usr");
        Save(L"Agent\\Old.bak", "old");
        OpenOn(L"Agent");
        const auto vanish = [&] { ::DeleteFileW(At(c.gone).c_str()); };
        seams.boxes.clear();
        seams.answers = {c.answer};
        seams.whileShown = [&, first = true]() mutable {
            if (std::exchange(first, false))
                vanish();
        };
        if (!c.answer)
            vanish();
        c.act();
        seams.whileShown = nullptr;
        EXPECT_EQ(Shown(), c.shown);
        Names left = NamesIn(game + L"\\users");
        left.merge(NamesIn(At(L"Agent")));
        EXPECT_EQ(left, c.left);
    }
}
