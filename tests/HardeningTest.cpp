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

// A character from each of the 17 planes, as UTF-16.
std::wstring EveryPlane()
{
    std::wstring text;
    for (char32_t c = 0x100; c <= 0x10FFFF; c += 0x10000)
        text += c < 0x10000 ? std::wstring{static_cast<wchar_t>(c)}
                            : std::wstring{static_cast<wchar_t>(0xD7C0 + (c >> 10)), static_cast<wchar_t>(0xDC00 | (c & 0x3FF))};
    return text;
}

using Hardening = UserPageTest;

} // namespace

// Each name goes through the whole life of a backup: created, remembered in
// the settings, renamed, restored, deleted, and its user deleted with it. The
// longest fill a file name's 255 units with their extension and make the
// backup's path far longer than MAX_PATH.
TEST_F(Hardening, EveryKindOfNameLivesThroughEveryOperation)
{
    const struct {
        std::wstring user, backup, renamed;
    } cases[] = {
        {std::wstring(251, L'u'), std::wstring(251, L'b'), std::wstring(251, L'B')},
        {EveryPlane(), L"Cafe\u0301 \u05E9\u05DC\u05D5\u05DD", L"evil\u202Egpj.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8FromWide(c.backup));
        Save(c.user + L".usr");
        OpenOn(c.user);
        EXPECT_NE(Text(Ctl::pnlDate), L"no file");
        NewBackup(c.backup);
        EXPECT_EQ(ReadBytes(At(c.user + L"\\" + c.backup + L".bak")), "save");
        form.reset(); // saved at the end, chosen again at the next start
        Show();
        EXPECT_EQ(form->CurrentUser, c.user);
        EXPECT_EQ(Captions(), Rows{c.backup});
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
    for (wchar_t c : {L'x', L'y', L'z'})
        MakeFolder(L"\\\\?\\" + (game += L"\\" + std::wstring(100, c)));
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
    Click(Ctl::btnLaunch);
    EXPECT_EQ(Shown(), Boxes{L"Error running Trelan|Unable to run Trelan. Please check the Settings tab to see if "
                             L"the Trelan directory is set correctly.|16"});
    form.reset();
    EXPECT_NE(ReadBytes(Ini()).find(Utf8FromWide(game)), std::string::npos);
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
    const std::wstring usr = L"Agent.usr", bak = L"Agent\\Old.bak", r1 = kR1 + L"Old'?|36";
    using Act = std::function<void()>;
    const Act restore = [this] { Select({0}), Click(Ctl::btnRestore); };
    const Act deleteUser = [this] { Click(Ctl::btnDeleteUser); };
    const struct {
        const std::wstring& gone;
        int answer; // to the question, 0 for none
        Act act;
        Boxes shown;
        Names left; // in users and in users\Agent
    } cases[] = {
        {usr, 0, [this] { NewBackup(L"New"); }, {L"Create Backup|Backup cannot be created!|16"}, {L"Agent", L"Old.bak"}},
        {bak, IDYES, [this] { NewBackup(L"Old"); }, {L"Create Backup|The backup 'Old' already exists. Overwrite?|36"},
         {usr, L"Agent", L"Old.bak"}},
        {bak, IDYES, restore, {r1, L"Restore Backup|Backup cannot be restored!|16"}, {usr, L"Agent"}},
        {usr, IDYES, restore, {r1}, {usr, L"Agent", L"Old.bak"}},
        {bak, 0, [this] { Select({0}), Rename(L"New"); }, {L"Rename Backup|Backup could not be renamed.|16"},
         {usr, L"Agent"}},
        {bak, IDYES, [this] { Select({0}), Click(Ctl::btnDeleteBackups); },
         {kD1, L"Delete Backups|The backup 'Old' could not be deleted!|16"}, {usr, L"Agent"}},
        {usr, IDNO, deleteUser, {kKeepBackups, L"Delete User|User file could not be deleted!|16"}, {}},
        {bak, IDNO, deleteUser, {kKeepBackups}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        RemoveTree(game + L"\\users");
        MakeFolder(game + L"\\users");
        Save(usr);
        Save(bak, "old");
        OpenOn(L"Agent", {c.answer});
        seams.whileShown = [&, first = true]() mutable {
            if (std::exchange(first, false))
                ::DeleteFileW(At(c.gone).c_str());
        };
        if (!c.answer)
            ::DeleteFileW(At(c.gone).c_str());
        c.act();
        seams.whileShown = nullptr;
        EXPECT_EQ(Shown(), c.shown);
        Names left = NamesIn(game + L"\\users");
        left.merge(NamesIn(At(L"Agent")));
        EXPECT_EQ(left, c.left);
    }
}
