// Whatever the game folder holds, each operation of the user manager ends in its own outcome or in its failure box.
// Empty and huge saves are the copy's (BackupFilesTest).
#include "WindowFixture.h"

#include <functional>
#include <utility>

using namespace trelgate;
using namespace trelgate::test;

using Hardening = UserPageTest;

// Each name goes through the life of a backup, in a game folder far beyond MAX_PATH: created, remembered in the
// settings, renamed, deleted, and its user deleted with it. The longest fill a file name's 255 units with their
// extension. The game is not started from such a folder.
TEST_F(Hardening, EveryKindOfNameLivesThroughEveryOperationInADeepGameFolder)
{
    for (wchar_t c : {L'x', L'y', L'z'}) {
        game += L"\\" + std::wstring(100, c);
        MakeFolder(L"\\\\?\\" + game);
    }
    MakeGame(L"\\\\?\\" + game);
    const struct {
        std::wstring user, backup, renamed;
    } cases[] = {
        {std::wstring(251, L'u'), std::wstring(251, L'b'), std::wstring(251, L'B')},
        {L"\u0100\U00010100\U00020100\U00030100\U00040100\U00050100\U00060100\U00070100\U00080100\U00090100"
         L"\U000A0100\U000B0100\U000C0100\U000D0100\U000E0100\U000F0100\U00100100", // one from each plane
         L"Cafe\u0301 \u05E9\u05DC\u05D5\u05DD", L"evil\u202Egpj.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8FromWide(c.backup));
        Save(c.user + L".usr");
        OpenOn(c.user);
        NewBackup(c.backup);
        form.reset(); // saved at the end, chosen again at the next start
        Show();
        EXPECT_EQ(std::pair(form->CurrentUser, Captions()), std::pair(c.user, Rows{c.backup}));
        Select({0});
        Rename(c.renamed);
        EXPECT_EQ(NamesIn(At(c.user)), Names{c.renamed + L".bak"});
        seams.answers = {IDYES, IDNO};
        Click(Ctl::btnDeleteBackups);
        Click(Ctl::btnDeleteUser);
        EXPECT_TRUE(NamesIn(game + L"\\users").empty()) << "the user file and its folder are gone";
        EXPECT_EQ(Shown(), (Boxes{L"Delete Backups|Do you really want to delete the selected backups?|36", kKeepBackups}))
            << "the questions, and no failure";
    }
    EXPECT_LT(::GetCurrentDirectoryW(0, nullptr), DWORD{MAX_PATH}) << "no program starts in a longer one";
    seams.boxes.clear();
    Click(Ctl::btnLaunch);
    EXPECT_EQ(seams.boxes.at(0).title, L"Error running Trelan");
    form.reset();
    RemoveTree(L"\\\\?\\" + folder.Path());
}

// 2,500 folders, half of which name a user file in other letter case, and 7,500 user files (the folders first:
// under Wine each new name costs a scan of the folder): every user is listed once and the remembered one found.
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

// Another program removes a file between the listing and its use: while the operation's question is up, or before
// an operation that asks nothing. The last box shown tells the outcome, with the files left.
TEST_F(Hardening, AFileThatVanishesBeforeItsUseGetsTheOperationsOwnOutcome)
{
    const std::wstring usr = L"Agent.usr", bak = L"Agent\\Old.bak";
    const struct {
        const std::wstring& gone;
        int answer; // to the question, 0 for none
        std::function<void()> act;
        std::wstring last;
        Names left; // in users and in users\Agent
    } cases[] = {
        {usr, 0, [this] { NewBackup(L"New"); }, L"Create Backup|Backup cannot be created!|16", {L"Agent", L"Old.bak"}},
        {bak, IDYES, [this] { NewBackup(L"Old"); }, L"Create Backup|The backup 'Old' already exists. Overwrite?|36",
         {usr, L"Agent", L"Old.bak"}},
        {bak, IDYES, [this] {
             Select({0});
             Click(Ctl::btnRestore);
         }, L"Restore Backup|Backup cannot be restored!|16",
         {usr, L"Agent"}},
        {bak, 0, [this] {
             Select({0});
             Rename(L"New");
         }, L"Rename Backup|Backup could not be renamed.|16",
         {usr, L"Agent"}},
        {usr, IDNO, [this] { Click(Ctl::btnDeleteUser); }, L"Delete User|User file could not be deleted!|16", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        RemoveTree(At(L"Agent"));
        Save(usr);
        Save(bak, "old");
        OpenOn(L"Agent", {c.answer});
        seams.whileShown = [&] { ::DeleteFileW(At(c.gone).c_str()); };
        if (!c.answer)
            ::DeleteFileW(At(c.gone).c_str());
        c.act();
        seams.whileShown = nullptr;
        EXPECT_EQ(Shown().empty() ? L"" : Shown().back(), c.last);
        Names left = NamesIn(game + L"\\users");
        left.merge(NamesIn(At(L"Agent")));
        EXPECT_EQ(left, c.left);
    }
}

// Links made as Wine shows them: a user's backup folder that leads out of the game folder, a backup and a user file
// that lead to an outside file. Every operation on them refuses with its own box and leaves what they lead to as it
// was; so does a deletion in a folder the launcher cannot write to, which Wine reports as done.
TEST_F(Hardening, NoOperationFollowsALinkOrCountsAFileGoneThatStays)
{
    const std::wstring outside = folder / L"outside";
    MakeFolder(outside);
    WriteBytes(outside + L"\\Kept.bak", "outside backup");
    WriteBytes(outside + L"\\save.txt", "outside save");
    Save(L"Agent.usr", "agent");
    Save(L"Agent\\Own.bak", "own");
    Save(L"Linked.usr", "linked");
    Save(L"Stuck\\Old.bak", "old");
    const std::wstring users = game + L"\\users";
    if (!UnixLink(outside, users + L"\\Linked") || !UnixLink(outside + L"\\save.txt", users + L"\\Agent\\Out.bak") ||
        !UnixLink(outside + L"\\save.txt", users + L"\\Ghost.usr") || !UnixShell("chmod 555 " + UnixQuoted(At(L"Stuck"))))
        GTEST_SKIP() << "links and folder modes are made on the Unix side of Wine";
    const auto act = [&](const std::wstring& user, std::deque<int> answers, const std::function<void()>& steps) {
        OpenOn(user, std::move(answers));
        steps();
        return Shown();
    };
    const std::wstring r1 = L"Restore Backup|Do you really want to restore the backup 'Out'?|36";
    EXPECT_EQ(act(L"Agent", {IDOK, IDYES, IDOK, IDYES, IDOK, IDYES}, [&] {
        ASSERT_EQ(Captions(), (Rows{L"Out", L"Own"}));
        Select({0});
        Rename(L"Moved");
        Click(Ctl::btnRestore);
        NewBackup(L"Out");
        Select({0});
        Click(Ctl::btnDeleteBackups);
    }), (Boxes{L"Rename Backup|Backup could not be renamed.|16", r1, L"Restore Backup|Backup cannot be restored!|16",
               L"Create Backup|The backup 'Out' already exists. Overwrite?|36",
               L"Create Backup|Backup cannot be created!|16",
               L"Delete Backups|Do you really want to delete the selected backups?|36",
               L"Delete Backups|The backup 'Out' could not be deleted!|16"}));
    EXPECT_EQ(act(L"Ghost", {IDYES}, [&] { Click(Ctl::btnDeleteUser); }),
              (Boxes{kKeepBackups, L"Delete User|User file could not be deleted!|16"}));
    EXPECT_EQ(act(L"Linked", {IDOK, IDNO}, [&] {
        EXPECT_EQ(Captions(), Rows{}) << "what the link leads to is not the user's";
        NewBackup(L"New");
        Click(Ctl::btnDeleteUser);
    }), (Boxes{L"Create Backup|Backup directory cannot be created!|16", kKeepBackups,
               L"Delete User|The attempt to delete the backup directory failed.|48"}));
    EXPECT_EQ(act(L"Stuck", {IDYES}, [&] {
        Select({0});
        Click(Ctl::btnDeleteBackups);
    }), (Boxes{L"Delete Backups|Do you really want to delete the selected backups?|36",
               L"Delete Backups|The backup 'Old' could not be deleted!|16"}));

    EXPECT_EQ(NamesIn(outside), (Names{L"Kept.bak", L"save.txt"}));
    EXPECT_EQ(ReadBytes(outside + L"\\Kept.bak") + "|" + ReadBytes(outside + L"\\save.txt"), "outside backup|outside save");
    EXPECT_EQ(NamesIn(users), (Names{L"Agent", L"Agent.usr", L"Ghost.usr", L"Linked", L"Stuck"})) << "Linked.usr went";
    EXPECT_EQ(NamesIn(At(L"Agent")), (Names{L"Out.bak", L"Own.bak"}));
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "agent");
    EXPECT_EQ(NamesIn(At(L"Stuck")), Names{L"Old.bak"});
    form.reset();
    UnixShell("chmod 755 " + UnixQuoted(At(L"Stuck")) + "; rm " + UnixQuoted(users + L"\\Linked") + " " +
              UnixQuoted(users + L"\\Ghost.usr") + " " + UnixQuoted(users + L"\\Agent\\Out.bak"));
}
