// The user manager page through the real window over real game folders: what the list's selection offers, and
// each operation with the boxes it shows and the files it leaves, whatever the refresh after a launch does while the
// operation asks.
#include "WindowFixture.h"

#include <map>

using namespace std::literals;
using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

using std::wstring;

// The boxes of the user manager by title and text, with their buttons and icon.
Box Error(const wchar_t* title, wstring text) { return {title, text, MB_ICONSTOP}; }
Box Ask(const wchar_t* title, wstring text) { return {title, text, MB_YESNO | MB_ICONQUESTION}; }
const Box kNoFolder = Error(L"Create Backup", L"Backup directory cannot be created!");
Box Overwrite(wstring b) { return Ask(L"Create Backup", L"The backup '" + b + L"' already exists. Overwrite?"); }
const Box kNotCreated = Error(L"Create Backup", L"Backup cannot be created!");
Box Restore(wstring b) { return Ask(L"Restore Backup", L"Do you really want to restore the backup '" + b + L"'?"); }
const Box kNotRestored = Error(L"Restore Backup", L"Backup cannot be restored!");
const Box kNotRenamed = Error(L"Rename Backup", L"Backup could not be renamed.");
const Box kDelete = Ask(L"Delete Backups", L"Do you really want to delete the selected backups?");
Box NotDeleted(wstring b) { return Error(L"Delete Backups", L"The backup '" + b + L"' could not be deleted!"); }
const Box kKeepBackups{L"Keep backups?",
                       L"Do you want to keep the backups for this user?\rIf you choose 'Yes', the user will be deleted "
                       L"but the backups will be kept.\rIf you choose 'No', both the user and all backups will be "
                       L"deleted.",
                       MB_YESNOCANCEL | MB_ICONQUESTION};
const Box kFolderStays{L"Delete User", L"The attempt to delete the backup directory failed.", MB_ICONEXCLAMATION};
Box NotDeletedOf(wstring file) { return Error(L"Delete User", L"Unable to delete backup '" + file + L"'!"); }
const Box kUserFileStays = Error(L"Delete User", L"User file could not be deleted!");

// The user manager's enabled controls. The user box, the list and the edit are whenever the game lists a user; the
// buttons follow the name typed, the rows chosen and the user's file.
using Enabled = std::set<Ctl>;
Enabled BoxesAnd(std::initializer_list<Ctl> buttons)
{
    Enabled enabled{cboUser, lstBackups, edtNewBackup};
    enabled.insert(buttons);
    return enabled;
}
const Enabled kNameTypedNoRow = BoxesAnd({btnNewBackup, btnDeleteUser});
const Enabled kOneRow = BoxesAnd({btnNewBackup, btnRestore, btnDeleteBackups, btnDeleteUser});
const Enabled kSeveralRows = BoxesAnd({btnDeleteBackups, btnDeleteUser}); // and no name offered
const Enabled kNoUserFile = BoxesAnd({});

// What a case's game folder holds beyond what every one holds, and what the game does while the operation asks
// (or while a rename's edit is open). Every game has the users Agent (with the backups Heist and Start), Alice
// (with Start), Bob (with Bobs) and "Bob." (no folder), and Stray.bak in the users folder and in the game folder,
// which no operation may touch. Links, names and vanished files as such are the store's (BackupFilesTest,
// UserStoreTest); here only what the page makes of them.
enum Spoil {
    None,
    ReadOnly,   // Agent's Heist
    FolderLink, // the user Linked, whose backup folder is a link to a folder outside
    DotEnded,   // the user "Bob."
    DotDot,     // the user ".."
    AgentGone,  // Agent, removed by the game; the refresh that follows its launch ticks and chooses Alice
    RowAdded,   // Agent's Begin, listed before the others at the refresh
};

// Files and folders by path: a file's bytes or kFolder; among a case's changes (below the users folder), kGone for
// one that went with everything in it.
using Files = std::map<std::wstring, std::string>;
constexpr char kFolder[] = "<folder>", kGone[] = "<gone>";

// An operation on the backups named (typed, chosen, or for a rename: chosen, then typed) with one answer to its
// question: the boxes it shows, and every file holds what it held when the operation set to work but the changes.
struct Case {
    const char* what;
    Spoil spoil;
    std::vector<std::wstring> names;
    std::vector<Box> boxes;
    Files changes = {};
    int answer = IDYES;
    std::function<void()> then = {}; // what else the page shows
};

class UserManager : public UserPageTest {
protected:
    ~UserManager() override
    {
        UnixShell("find " + UnixQuoted(folder.Path()) + " -type l -delete 2>/dev/null");
    }

    // Every file and folder below the case's folder as the system reads them, through links too; the game's size.
    Files Snapshot(const std::wstring& under = L"") const
    {
        Files files;
        for (const std::wstring& name : NamesIn(root + under)) {
            const std::wstring path = under + L"\\" + name;
            const bool isFolder = ::GetFileAttributesW((root + path).c_str()) & FILE_ATTRIBUTE_DIRECTORY;
            const std::string bytes = isFolder ? kFolder : ReadBytes(root + path);
            files[path] = bytes.size() < 100 ? bytes : std::to_string(bytes.size()) + " bytes"; // the game
            if (isFolder)
                files.merge(Snapshot(path));
        }
        return files;
    }

    // The case's game as its spoil leaves it before the window opens; the user the spoil is about.
    std::wstring Arrange(Spoil spoil)
    {
        switch (spoil) {
        case ReadOnly: Mark(At(L"Agent\\Heist.bak"), FILE_ATTRIBUTE_READONLY); break;
        case FolderLink:
            Save(L"Linked.usr");
            if (!UnixShell("ln -s " + UnixQuoted(root + L"\\outside") + " " + UnixQuoted(At(L"Linked"))))
                return L"";
            return L"Linked";
        case DotEnded: return L"Bob.";
        case DotDot: Save(L"...usr"); return L"..";
        default: break;
        }
        return L"Agent";
    }
    // The game's work while the operation asks; what it left is what the operation finds.
    void Meanwhile(Spoil spoil)
    {
        if (spoil == AgentGone) {
            ::DeleteFileW(At(L"Agent.usr").c_str());
            RemoveTree(At(L"Agent"));
        }
        if (spoil == RowAdded)
            WriteDated(At(L"Agent\\Begin.bak"), LocalTime(2020, 1, 1, 0, 0, 0), "Agent\\Begin.bak");
        if (spoil == AgentGone || spoil == RowAdded) {
            ::SendMessageW(form->Handle(), WM_TIMER, TfrmMain::tmrUpdateUsers, 0);
            EXPECT_EQ(form->CurrentUser, spoil == AgentGone ? L"Alice" : L"Agent");
        }
        expected = Snapshot();
    }

    // The operation act on the case in a game folder of its own; asks is the title of its question.
    void Run(const wchar_t* asks, const Case& c, const std::function<void()>& act)
    {
        SCOPED_TRACE(c.what);
        root = L"\\\\?\\" + folder / std::to_wstring(++cases);
        MakeFolder(root);
        MakeFolder(root + L"\\outside");
        WriteBytes(root + L"\\outside\\Kept.bak", "outside");
        game = MakeGame(root.substr(4) + L"\\game");
        WriteBytes(game + L"\\Stray.bak", "the game's");
        for (const wchar_t* name : {L"Agent.usr", L"Agent\\Heist.bak", L"Agent\\Start.bak", L"Alice.usr",
                                    L"Alice\\Start.bak", L"Bob.usr", L"Bob\\Bobs.bak", L"Bob..usr", L"Stray.bak"})
            Save(name);
        const std::wstring user = Arrange(c.spoil);
        if (user.empty())
            GTEST_SKIP() << "links are made on the Unix side of Wine";
        OpenOn(user);
        seams.answers = {{asks, {c.answer}}};
        seams.whileShown = [&](const Box& box) {
            if ((box.flags & MB_TYPEMASK) != MB_OK)
                Meanwhile(c.spoil);
        };
        expected = Snapshot();
        act();
        seams.whileShown = nullptr;
        for (const auto& [below, bytes] : c.changes) {
            const std::wstring path = L"\\game\\users\\" + below;
            std::erase_if(expected, [&](const auto& file) { return file.first.starts_with(path + L"\\"); });
            bytes == kGone ? (void)expected.erase(path) : (void)(expected[path] = bytes);
        }
        EXPECT_EQ(seams.boxes, c.boxes);
        EXPECT_EQ(Snapshot(), expected);
        if (c.then)
            c.then();
    }

    // The new backup's name and the page's enabled controls.
    std::pair<std::wstring, Enabled> Page() const
    {
        Enabled enabled;
        for (Ctl id : {cboUser, lstBackups, edtNewBackup, btnNewBackup, btnRestore, btnDeleteBackups, btnDeleteUser})
            if (::IsWindowEnabled(Item(id)))
                enabled.insert(id);
        return {Text(edtNewBackup), enabled};
    }
    void Mouse(UINT message, int row, WPARAM keys = MK_LBUTTON)
    {
        RECT cell{LVIR_LABEL};
        ListView_GetItemRect(List(), row, &cell, LVIR_LABEL);
        ::SendMessageW(List(), message, keys, MAKELPARAM(cell.left + 2, cell.top + 2));
    }

    std::wstring root; // the case's folder, literal
    int cases = 0;
    Files expected;
};

} // namespace

TEST_F(UserManager, TheListsSelectionOffersWhatItAllowsAndItsKeysRunTheirOperations)
{
    Save(L"Agent.usr");
    Save(L"Agent\\Start.bak");
    Save(L"Agent\\Taken.bak");
    OpenAt(game, L"Nobody");
    ASSERT_EQ(form->CurrentUser, L"Agent") << "the first, none matching";
    seams.answers = {{L"Restore Backup", {IDNO, IDYES, IDYES}}, {L"Delete Backups", {IDYES}}, {L"Keep backups?", {IDYES}}};
    ::SetWindowTextW(Item(edtNewBackup), L"typed");
    EXPECT_EQ(Page(), std::pair(L"typed"s, kNameTypedNoRow)) << "nothing selected";
    Mouse(WM_LBUTTONDOWN, 1);
    Mouse(WM_LBUTTONUP, 1, 0);
    EXPECT_EQ(Page(), std::pair(L"Taken"s, kOneRow)) << "one row offers its name over a typed one";
    Mouse(WM_LBUTTONDOWN, 0, MK_LBUTTON | MK_SHIFT); // a range, which the list reports in a notification of its own
    Mouse(WM_LBUTTONUP, 0, MK_SHIFT);
    EXPECT_EQ(Page(), std::pair(L""s, kSeveralRows));
    Mouse(WM_LBUTTONDOWN, 0);
    Mouse(WM_LBUTTONUP, 0, 0);
    Rename(L"Begin");
    EXPECT_EQ(std::pair(Captions().at(0), Text(edtNewBackup)), std::pair(L"Begin"s, L"Begin"s)) << "no rebuild";
    Press(List(), VK_RETURN);
    Press(List(), VK_DELETE);
    EXPECT_EQ(Captions(), Rows{L"Taken"});
    Select({L"Taken"});
    Mouse(WM_LBUTTONDBLCLK, 0);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "Agent\\Taken.bak");
    Click(btnDeleteUser);
    EXPECT_EQ(Page(), std::pair(L""s, kNoUserFile)) << "listed by its folder, without a file to delete";
    EXPECT_EQ(Text(pnlDate) + L"|" + Text(pnlTime), L"no file|");
    Select({L"Taken"});
    Click(btnRestore);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "Agent\\Taken.bak") << "a restore brings the user file back";
    EXPECT_EQ(seams.boxes,
              (std::vector<Box>{Restore(L"Begin"), kDelete, Restore(L"Taken"), kKeepBackups, Restore(L"Taken")}));
}

TEST_F(UserManager, CreateBackupCopiesTheUserFileUnderTheNameTypedAndAsksBeforeReplacingOne)
{
    const Case cases[] = {
        {"a new one", None, {L"New"}, {}, {{L"Agent\\New.bak", "Agent.usr"}},
         IDYES, [&] { EXPECT_EQ(Captions(), (Rows{L"Heist", L"New", L"Start"})); }},
        {"over one of its name", None, {L"Start"}, {Overwrite(L"Start")}, {{L"Agent\\Start.bak", "Agent.usr"}}},
        {"No to replacing it", None, {L"Start"}, {Overwrite(L"Start")}, {}, IDNO},
        {"its user gone and another chosen while it asks", AgentGone, {L"Start"}, {Overwrite(L"Start"), kNotCreated}},
        {"a user whose name ends in a dot", DotEnded, {L"New"}, {},
         {{L"Bob.", kFolder}, {L"Bob.\\New.bak", "Bob..usr"}}},
        {"a name refused before the folder is made", DotEnded, {L"NUL.bak"}, {kNotCreated}},
        {"the user \"..\", who has no folder", DotDot, {L"New"}, {kNoFolder}},
    };
    for (const Case& c : cases)
        Run(L"Create Backup", c, [&] { NewBackup(c.names[0]); });
}

TEST_F(UserManager, RestoreCopiesTheChosenBackupOverTheUserFileWithItsTime)
{
    const Case cases[] = {
        {"the chosen backup", None, {L"Start"}, {Restore(L"Start")}, {{L"Agent.usr", "Agent\\Start.bak"}},
         IDYES, [&] { EXPECT_EQ(Text(pnlDate) + L" " + Text(pnlTime), L"11/02/2026 18:04:12"); }},
        {"No to restoring it", None, {L"Start"}, {Restore(L"Start")}, {}, IDNO},
        {"a read-only backup", ReadOnly, {L"Heist"}, {Restore(L"Heist")}, {{L"Agent.usr", "Agent\\Heist.bak"}}},
        {"a row added before it while it asks", RowAdded, {L"Start"}, {Restore(L"Start")},
         {{L"Agent.usr", "Agent\\Start.bak"}}},
        {"its user gone and another chosen while it asks", AgentGone, {L"Start"}, {Restore(L"Start"), kNotRestored}},
    };
    for (const Case& c : cases)
        Run(L"Restore Backup", c, [&] {
            Select(c.names);
            Click(btnRestore);
        });
}

// In place: the row keeps its place and shows the name the file has.
TEST_F(UserManager, RenameGivesTheBackupTheNameEditedOrPutsTheOldOneBack)
{
    const Case cases[] = {
        {"a new name", None, {L"Start", L"Begin"}, {},
         {{L"Agent\\Start.bak", kGone}, {L"Agent\\Begin.bak", "Agent\\Start.bak"}}, IDYES, [&] {
             EXPECT_EQ(std::pair(Captions(), Text(edtNewBackup)), std::pair(Rows{L"Heist", L"Begin"}, L"Begin"s));
         }},
        {"another backup's name", None, {L"Start", L"Heist"}, {kNotRenamed},
         {}, IDYES, [&] { EXPECT_EQ(Captions(), (Rows{L"Heist", L"Start"})); }},
        {"its user gone and another chosen while the edit is open", AgentGone, {L"Heist", L"Begin"}, {}},
    };
    for (const Case& c : cases)
        Run(L"", c, [&] {
            Select({c.names[0]});
            Rename(c.names[1], [&] { Meanwhile(c.spoil); });
        });
}

TEST_F(UserManager, DeleteBackupsDeletesTheRowsChosenAndNamesEachThatStays)
{
    const Case cases[] = {
        {"the rows chosen", None, {L"Heist", L"Start"}, {kDelete},
         {{L"Agent\\Heist.bak", kGone}, {L"Agent\\Start.bak", kGone}}, IDYES, [&] { EXPECT_EQ(Captions(), Rows{}); }},
        {"No to deleting them", None, {L"Heist", L"Start"}, {kDelete}, {}, IDNO},
        {"one that cannot go, and one after it", ReadOnly, {L"Heist", L"Start"}, {kDelete, NotDeleted(L"Heist")},
         {{L"Agent\\Start.bak", kGone}}, IDYES, [&] { EXPECT_EQ(Captions(), Rows{L"Heist"}); }},
        {"a row added before it while it asks", RowAdded, {L"Start"}, {kDelete}, {{L"Agent\\Start.bak", kGone}}},
        {"its user gone and another chosen while it asks", AgentGone, {L"Start"}, {kDelete, NotDeleted(L"Start")}},
    };
    for (const Case& c : cases)
        Run(L"Delete Backups", c, [&] {
            Select(c.names);
            Click(btnDeleteBackups);
        });
}

// Yes keeps the backups, No deletes every plain file of the folder and the folder; the user file goes in either case.
TEST_F(UserManager, DeleteUserDeletesItsFileAndAtTheUsersChoiceItsBackupsAndNamesWhatStays)
{
    const Case cases[] = {
        {"Yes", None, {}, {kKeepBackups}, {{L"Agent.usr", kGone}}},
        {"No", None, {}, {kKeepBackups}, {{L"Agent.usr", kGone}, {L"Agent", kGone}}, IDNO},
        {"Cancel", None, {}, {kKeepBackups}, {}, IDCANCEL},
        {"No with a backup that cannot go", ReadOnly, {}, {kKeepBackups, NotDeletedOf(L"Heist.bak"), kFolderStays},
         {{L"Agent.usr", kGone}, {L"Agent\\Start.bak", kGone}}, IDNO},
        {"its user gone and another chosen while it asks", AgentGone, {}, {kKeepBackups, kUserFileStays}, {}, IDNO},
        {"the user \"..\", No", DotDot, {}, {kKeepBackups}, {{L"...usr", kGone}}, IDNO},
        {"a backup folder that is a link, No", FolderLink, {}, {kKeepBackups, kFolderStays}, {{L"Linked.usr", kGone}},
         IDNO},
    };
    for (const Case& c : cases)
        Run(L"Keep backups?", c, [&] { Click(btnDeleteUser); });
}

// Each kind of name goes through every operation in a game folder far beyond MAX_PATH, and is remembered in the
// settings. The longest fill a file name's 255 units with their extension; the second folder ends two characters
// short of MAX_PATH, where a replace under Wine ran out of room. The game is not started from such a folder.
TEST_F(UserManager, EveryKindOfNameLivesThroughEveryOperationInADeepGameFolder)
{
    const int first = std::clamp(MAX_PATH - 2 - static_cast<int>(game.size() + 4) - 2 - 100, 1, 100);
    for (const std::wstring& step : {std::wstring(first, L'x'), std::wstring(100, L'y'), std::wstring(100, L'z')})
        MakeFolder(L"\\\\?\\" + (game += L"\\" + step));
    MakeGame(L"\\\\?\\" + game);
    const std::wstring planes = L"\u0100\U00010100\U00020100\U00030100\U00040100\U00050100\U00060100\U00070100"
                                L"\U00080100\U00090100\U000A0100\U000B0100\U000C0100\U000D0100\U000E0100\U000F0100"
                                L"\U00100100"; // one from each plane
    for (const auto& [user, backup, renamed] :
         {std::tuple(std::wstring(251, L'u'), std::wstring(251, L'b'), std::wstring(251, L'B')),
          std::tuple(planes, L"Cafe\u0301 \u05E9\u05DC\u05D5\u05DD"s, L"evil\u202Egpj.exe"s)}) {
        SCOPED_TRACE(Utf8FromWide(backup));
        Save(user + L".usr");
        OpenOn(user);
        NewBackup(backup);
        form.reset(); // saved at the end, chosen again at the next start
        Show();
        EXPECT_EQ(std::pair(form->CurrentUser, Captions()), std::pair(user, Rows{backup}));
        seams.answers = {{L"Restore Backup", {IDYES}}, {L"Delete Backups", {IDYES}}, {L"Keep backups?", {IDNO}}};
        Select({backup});
        Rename(renamed);
        Select({renamed});
        Click(btnRestore);
        Select({renamed});
        Click(btnDeleteBackups);
        Click(btnDeleteUser);
        EXPECT_TRUE(NamesIn(game + L"\\users").empty()) << "the user file and its folder are gone";
        EXPECT_EQ(seams.boxes, (std::vector<Box>{Restore(renamed), kDelete, kKeepBackups})) << "no failure";
    }
    EXPECT_LT(::GetCurrentDirectoryW(0, nullptr), DWORD{MAX_PATH}) << "no program starts in a longer one";
    seams.boxes.clear();
    Click(btnLaunch);
    EXPECT_EQ(seams.boxes.at(0).title, L"Error running Trelan");
    form.reset();
    RemoveTree(L"\\\\?\\" + folder.Path());
}

// 2,500 folders, half of which name a user file in other letter case, and 7,500 user files (the folders first:
// under Wine each new name costs a scan of the folder): every user is listed once and the remembered one found.
TEST_F(UserManager, AUsersFolderOfTenThousandEntriesIsListedWhole)
{
    for (int i = 0; i < 2500; ++i)
        ::CreateDirectoryW(At((i % 2 ? L"USER" : L"Folder") + std::to_wstring(i)).c_str(), nullptr);
    for (int i = 0; i < 7500; ++i)
        WriteBytes(At(L"User" + std::to_wstring(i) + L".usr"), "");
    OpenAt(game, L"folder2498");
    EXPECT_EQ(ComboBox_GetCount(Item(cboUser)), 8750);
    EXPECT_EQ(form->CurrentUser, L"Folder2498");
}
