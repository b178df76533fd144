// The backup operations as the player reaches them on the user manager page:
// which handler each button, key and edit runs, and which box each outcome
// shows, over real game folders. Which names pass is BackupRulesTest's, the
// copy's failures BackupFilesTest's.
#include "WindowFixture.h"

#include <functional>
#include <utility>

#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

const double kSaved = EncodeDateTime({2026, 12, 5, 22, 15, 30});
const double kBackedUp = EncodeDateTime({2026, 11, 2, 18, 4, 12});

using BackupPage = UserPageTest;

} // namespace

TEST_F(BackupPage, CreateRefusesABadNameFirstMakesTheFolderAsksBeforeReplacingAndGivesTheUsersTime)
{
    Save(L"Agent.usr", "first");
    OpenOn(L"Agent", {IDOK, IDNO, IDYES});
    Type(Ctl::edtNewBackup, L"NUL.bak");
    Click(Ctl::btnNewBackup);
    EXPECT_FALSE(Exists(At(L"Agent"))) << "refused before even the backup folder is made";
    ::SetWindowTextW(Item(Ctl::edtNewBackup), L"Start");
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "first");
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, kSaved);
    EXPECT_EQ(Captions(), Rows{L"Start"});

    WriteBytes(At(L"Agent.usr"), "second");
    Select({0});
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "first");
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "second");
    const std::wstring a2 = L"Create Backup|The backup 'Start' already exists. Overwrite?|36";
    EXPECT_EQ(Shown(), (Boxes{L"Create Backup|Backup cannot be created!|16", a2, a2}));
}

TEST_F(BackupPage, EnterAndDoubleClickRestoreAfterAsking)
{
    Save(L"Agent.usr", "current");
    Save(L"Agent\\Another.bak", "another");
    Save(L"Agent\\Old.bak", "old");
    OpenOn(L"Agent", {IDNO, IDYES});
    Select({1});
    Press(List(), VK_RETURN);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "current");
    RECT row{LVIR_LABEL};
    ::SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    ::SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "old");
    EXPECT_EQ(Text(Ctl::pnlDate) + L" " + Text(Ctl::pnlTime), L"11/02/2026 18:04:12") << "the users were refreshed";
    const std::wstring r1 = L"Restore Backup|Do you really want to restore the backup 'Old'?|36";
    EXPECT_EQ(Shown(), (Boxes{r1, r1}));
}

TEST_F(BackupPage, F2RenamesInPlaceAndDeleteAsksThenReportsEachBackupThatStays)
{
    Save(L"Agent.usr");
    Save(L"Agent\\Start.bak");
    Save(L"Agent\\Taken.bak", "save", FILE_ATTRIBUTE_READONLY);
    Save(L"Agent\\Z.bak");
    OpenOn(L"Agent", {IDOK, IDOK, IDNO, IDYES});
    SetFileDate(At(L"Agent\\Start.bak"), kSaved); // the row's time is the one written back
    Select({0});
    Rename(L"start", VK_ESCAPE);
    Rename(L"Taken");
    Rename(L"stream:x"); // refused by name: it would rename the file under Wine
    EXPECT_EQ(Captions(), (Rows{L"Start", L"Taken", L"Z"}));
    Rename(L"start");
    EXPECT_EQ(NamesIn(At(L"Agent")), (Names{L"start.bak", L"Taken.bak", L"Z.bak"}));
    EXPECT_EQ(Captions(), (Rows{L"start", L"Taken", L"Z"}));
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"start") << "the change handler saw the new caption";
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, kBackedUp);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 1u) << "no rebuild";

    Select({1, 2}); // the read-only one second of three
    Press(List(), VK_DELETE);
    EXPECT_EQ(Captions().size(), 3u);
    Press(List(), VK_DELETE);
    EXPECT_EQ(Captions(), Rows{L"Taken"});
    const std::wstring n1 = L"Rename Backup|Backup could not be renamed.|16",
                       d1 = L"Delete Backups|Do you really want to delete the selected backups?|36";
    EXPECT_EQ(Shown(), (Boxes{n1, n1, d1, d1, L"Delete Backups|The backup 'Taken' could not be deleted!|16"}));
}

TEST_F(BackupPage, DeleteUserKeepsOrDeletesTheBackupsAsAnswered)
{
    const std::wstring u2 = L"Delete User|The attempt to delete the backup directory failed.|48";
    const std::wstring u3 = L"Delete User|Unable to delete backup 'Locked.bak'!|16";
    enum Content { Empty = 0, OneBackup = 1, HiddenAndSubfolder = 2, ReadOnlyAmongOthers = 4, NoFolder = 8 };
    const struct {
        int answer;
        int folder; // Content flags
        Boxes shown;
        std::size_t left; // entries left in the folder, -1 for no folder
    } cases[] = {
        {IDCANCEL, OneBackup, {kKeepBackups}, 1}, {IDYES, OneBackup, {kKeepBackups}, 1}, {IDYES, Empty, {kKeepBackups}, std::size_t(-1)},
        {IDYES, HiddenAndSubfolder, {kKeepBackups, u2}, 2}, {IDNO, NoFolder, {kKeepBackups}, std::size_t(-1)},
        {IDNO, OneBackup | HiddenAndSubfolder | ReadOnlyAmongOthers, {kKeepBackups, u3, u2}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << ", folder " << c.folder);
        RemoveTree(game + L"\\users");
        MakeFolder(game + L"\\users");
        Save(L"Agent.usr");
        if (!(c.folder & NoFolder))
            MakeFolder(At(L"Agent"));
        if (c.folder & OneBackup)
            Save(L"Agent\\Start.bak");
        if (c.folder & ReadOnlyAmongOthers) {
            Save(L"Agent\\Locked.bak", "save", FILE_ATTRIBUTE_READONLY);
            Save(L"Agent\\notes.txt");
        }
        if (c.folder & HiddenAndSubfolder) {
            Save(L"Agent\\Hidden.bak", "save", FILE_ATTRIBUTE_HIDDEN);
            MakeFolder(At(L"Agent\\sub"));
        }
        OpenOn(L"Agent", {c.answer});
        Click(Ctl::btnDeleteUser);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(Exists(At(L"Agent")) ? NamesIn(At(L"Agent")).size() : std::size_t(-1), c.left);
        EXPECT_EQ(Exists(At(L"Agent.usr")), c.answer == IDCANCEL);
        EXPECT_EQ(form->CurrentUser, c.left == std::size_t(-1) ? L"" : L"Agent") << "the users were refreshed";
    }
}

// Names that Win32 would resolve elsewhere: "", "." and ".." have no folder of
// their own, "Bob." and "Bob " are not "Bob". Answered No, delete user would
// take every file of the folder it took for the user's.
TEST_F(BackupPage, EveryUserWorksOnItsOwnFilesOnly)
{
    Save(L"Bob.usr");
    Save(L"Bob\\Bobs.bak");
    Save(L"Stray.bak"); // rows for the users folder
    WriteBytes(game + L"\\Stray.bak", "save"); // and for the game folder
    for (const std::wstring user : {L"", L".", L"..", L"Bob.", L"Bob "}) {
        SCOPED_TRACE(testing::Message() << "user '" << user << "'");
        const bool own = user.starts_with(L"Bob"); // a folder of its own, not Bob's
        Save(user + L".usr");
        if (own)
            Save(user + L"\\Own.bak");
        OpenOn(user, {own ? IDNO : IDOK, IDNO});
        EXPECT_EQ(Captions(), own ? Rows{L"Own"} : Rows{});
        Type(Ctl::edtNewBackup, L"x");
        Click(Ctl::btnNewBackup);
        Click(Ctl::btnDeleteUser);
        EXPECT_EQ(Shown(), own ? Boxes{kKeepBackups} : (Boxes{L"Create Backup|Backup directory cannot be created!|16", kKeepBackups}));
        EXPECT_EQ(NamesIn(game + L"\\users"), (Names{L"Bob", L"Bob.usr", L"Stray.bak"})) << "only its own went";
        EXPECT_EQ(NamesIn(game), (Names{L"Stray.bak", L"Trelan.exe", L"users"}));
        EXPECT_EQ(NamesIn(At(L"Bob")), Names{L"Bobs.bak"});
    }
}

// A box runs a message loop of its own, in which the refresh that follows a
// launch may tick and rebuild the list. The operation goes on with the rows
// the player chose.
TEST_F(BackupPage, ARefreshDuringABoxChangesNotTheRowsAnOperationWorksOn)
{
    Save(L"Agent.usr", "current");
    Save(L"Agent\\A.bak", "a");
    Save(L"Agent\\B.bak", "b", FILE_ATTRIBUTE_READONLY);
    Save(L"Agent\\C.bak", "c");
    OpenOn(L"Agent", {IDYES, IDOK, IDYES});
    std::function<void()> meanwhile = [&] { ::DeleteFileW(At(L"Agent\\A.bak").c_str()); };
    seams.whileShown = [&] {
        if (meanwhile)
            std::exchange(meanwhile, nullptr)();
        ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrUpdateUsers, 0);
    };
    Select({1, 2}); // B, which cannot go, and C
    Click(Ctl::btnDeleteBackups);
    EXPECT_EQ(Captions(), Rows{L"B"});
    Select({0});
    meanwhile = [&] { Save(L"Agent\\0.bak", LocalTime(2020, 1, 1, 0, 0, 0)); }; // a row comes before B
    Click(Ctl::btnRestore);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "b");
    EXPECT_EQ(Text(Ctl::pnlDate) + L" " + Text(Ctl::pnlTime), L"11/02/2026 18:04:12") << "B's time, not 0's";
    EXPECT_EQ(Shown(), (Boxes{L"Delete Backups|Do you really want to delete the selected backups?|36",
                              L"Delete Backups|The backup 'B' could not be deleted!|16",
                              L"Restore Backup|Do you really want to restore the backup 'B'?|36"}));
}
