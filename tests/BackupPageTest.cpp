// The backup operations as the player reaches them on the user manager page:
// which handler each button, key and edit runs, and which box each outcome
// shows, over real game folders.
#include "WindowFixture.h"

#include <vector>

#include "BadBackupNames.h"
#include "users/BackupFiles.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

using Boxes = std::vector<std::wstring>; // "title|text|flags"

const double kSaved = EncodeDateTime({2026, 12, 5, 22, 15, 30});
const double kBackedUp = EncodeDateTime({2026, 11, 2, 18, 4, 12});

class BackupPage : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        game = MakeGame(folder / L"game");
    }
    // Literal, so that "Bob." and "." are the entries they name.
    std::wstring At(const std::wstring& name) const { return LiteralGameDirectory(game) + L"\\users\\" + name; }
    // A user file, or a backup when the name holds a folder.
    void Save(const std::wstring& name, const std::string& bytes = "save")
    {
        if (const auto slash = name.find(L'\\'); slash != std::wstring::npos)
            ::CreateDirectoryW(At(name.substr(0, slash)).c_str(), nullptr);
        WriteBytes(At(name), bytes);
        SetFileDate(At(name), name.ends_with(L".usr") ? kSaved : kBackedUp);
    }
    void OpenOn(const std::wstring& user)
    {
        WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + std::string(game.begin(), game.end()) + "\r\n");
        Create();
        Show();
        HWND box = Item(Ctl::cboUser);
        for (int i = 0; i < ComboBox_GetCount(box); ++i) {
            wchar_t text[MAX_PATH] = {};
            ComboBox_GetLBText(box, i, text);
            if (user == text)
                ComboBox_SetCurSel(box, i);
        }
        ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE), 0);
        ASSERT_EQ(form->CurrentUser, user);
    }
    std::vector<std::wstring> Captions() const
    {
        std::vector<std::wstring> captions;
        for (int row = 0; row < ListView_GetItemCount(Item(Ctl::lstBackups)); ++row) {
            wchar_t text[MAX_PATH] = {};
            ListView_GetItemText(Item(Ctl::lstBackups), row, 0, text, MAX_PATH);
            captions.emplace_back(text);
        }
        return captions;
    }
    void Select(std::initializer_list<int> rows)
    {
        for (int row : rows)
            ListView_SetItemState(Item(Ctl::lstBackups), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // A key as the launcher's message loop passes it on.
    void Key(HWND to, WPARAM key)
    {
        MSG msg{to, WM_KEYDOWN, key, 0};
        if (!form->PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // F2 on the focused row, the text typed over, then Enter or Escape.
    void Rename(const std::wstring& text, WPARAM key = VK_RETURN)
    {
        ::SetFocus(Item(Ctl::lstBackups));
        Key(Item(Ctl::lstBackups), VK_F2);
        HWND edit = ListView_GetEditControl(Item(Ctl::lstBackups));
        ASSERT_TRUE(edit);
        ::SetWindowTextW(edit, text.c_str());
        Key(edit, key);
        ASSERT_FALSE(ListView_GetEditControl(Item(Ctl::lstBackups))) << "the edit has ended";
    }
    Boxes Shown() const
    {
        Boxes shown;
        for (const auto& box : seams.boxes)
            shown.push_back(box.title + L"|" + box.text + L"|" + std::to_wstring(box.flags));
        return shown;
    }

    std::wstring game;
};

} // namespace

TEST_F(BackupPage, CreateMakesTheFolderAsksBeforeReplacingAndGivesTheUsersTime)
{
    Save(L"Agent.usr", "first");
    OpenOn(L"Agent");
    Type(Ctl::edtNewBackup, L"Start");
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "first");
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, kSaved);
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Start"});

    WriteBytes(At(L"Agent.usr"), "second");
    Select({0});
    seams.answers = {IDNO, IDYES};
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "first");
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "second");
    EXPECT_EQ(Shown(), Boxes(2, L"Create Backup|The backup 'Start' already exists. Overwrite?|36"));
}

TEST_F(BackupPage, BadNamesAreRefusedBeforeAnythingIsTouched)
{
    Save(L"Agent.usr");
    OpenOn(L"Agent");
    for (std::wstring_view name : kBadBackupNames) {
        ::SetWindowTextW(Item(Ctl::edtNewBackup), std::wstring(name).c_str());
        Click(Ctl::btnNewBackup);
    }
    EXPECT_FALSE(Exists(At(L"Agent"))) << "not even the backup folder is made";
    EXPECT_EQ(Shown(), Boxes(kBadBackupNames.size(), L"Create Backup|Backup cannot be created!|16"));

    seams.boxes.clear();
    Save(L"Agent\\Keep.bak");
    OpenOn(L"Agent");
    Select({0});
    for (std::wstring_view name : kBadBackupNames)
        Rename(std::wstring(name));
    EXPECT_EQ(NamesIn(At(L"Agent")), std::set<std::wstring>{L"Keep.bak"});
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Keep"});
    EXPECT_EQ(Shown(), Boxes(kBadBackupNames.size(), L"Rename Backup|Backup could not be renamed.|16"));
}

TEST_F(BackupPage, EnterAndDoubleClickRestoreAfterAskingAndAVanishedBackupFails)
{
    Save(L"Agent.usr", "current");
    Save(L"Agent\\Old.bak", "old");
    Save(L"Agent\\Gone.bak");
    OpenOn(L"Agent");
    Select({1});
    seams.answers = {IDNO, IDYES, IDYES};
    Key(Item(Ctl::lstBackups), VK_RETURN);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "current");
    RECT row{LVIR_LABEL};
    ::SendMessageW(Item(Ctl::lstBackups), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    ::SendMessageW(Item(Ctl::lstBackups), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "old");
    EXPECT_EQ(Text(Ctl::pnlDate) + L" " + Text(Ctl::pnlTime), L"11/02/2026 18:04:12") << "the users were refreshed";

    ::DeleteFileW(At(L"Agent\\Gone.bak").c_str());
    Select({0});
    Click(Ctl::btnRestore);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "old");
    const std::wstring r1 = L"Restore Backup|Do you really want to restore the backup '";
    EXPECT_EQ(Shown(), (Boxes{r1 + L"Old'?|36", r1 + L"Old'?|36", r1 + L"Gone'?|36",
                              L"Restore Backup|Backup cannot be restored!|16"}));
}

TEST_F(BackupPage, F2RenamesInPlaceKeepingTheRowAndOffersTheNewName)
{
    Save(L"Agent.usr");
    Save(L"Agent\\Start.bak");
    Save(L"Agent\\Taken.bak");
    OpenOn(L"Agent");
    Select({0});
    Rename(L"start", VK_ESCAPE);
    Rename(L"Start");
    Rename(L"Taken");
    EXPECT_EQ(Shown(), Boxes{L"Rename Backup|Backup could not be renamed.|16"});
    Rename(L"start");
    EXPECT_EQ(NamesIn(At(L"Agent")), (std::set<std::wstring>{L"start.bak", L"Taken.bak"}));
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"start", L"Taken"}));
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"start") << "the change handler saw the new caption";
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, kBackedUp);
    EXPECT_EQ(ListView_GetSelectedCount(Item(Ctl::lstBackups)), 1u) << "no rebuild";
}

TEST_F(BackupPage, DeleteKeyAsksThenReportsEachBackupThatStays)
{
    Save(L"Agent.usr");
    for (const wchar_t* name : {L"Agent\\A.bak", L"Agent\\B.bak", L"Agent\\C.bak"})
        Save(name);
    ::SetFileAttributesW(At(L"Agent\\B.bak").c_str(), FILE_ATTRIBUTE_READONLY);
    OpenOn(L"Agent");
    Select({0, 1, 2});
    seams.answers = {IDNO, IDYES};
    Key(Item(Ctl::lstBackups), VK_DELETE);
    EXPECT_EQ(Captions().size(), 3u);
    Key(Item(Ctl::lstBackups), VK_DELETE);
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"B"});
    const std::wstring d1 = L"Delete Backups|Do you really want to delete the selected backups?|36";
    EXPECT_EQ(Shown(), (Boxes{d1, d1, L"Delete Backups|The backup 'B' could not be deleted!|16"}));
}

TEST_F(BackupPage, DeleteUserKeepsOrDeletesTheBackupsAsAnswered)
{
    const std::wstring u1 = L"Keep backups?|Do you want to keep the backups for this user?\rIf you choose 'Yes', "
                            L"the user will be deleted but the backups will be kept.\rIf you choose 'No', both the "
                            L"user and all backups will be deleted.|35";
    const std::wstring u2 = L"Delete User|The attempt to delete the backup directory failed.|48";
    const std::wstring u3 = L"Delete User|Unable to delete backup 'Locked.bak'!|16";
    enum Folder { None, Empty, OneBackup, HiddenAndSubfolder, ReadOnlyAmongOthers };
    const struct {
        int answer;
        Folder folder;
        Boxes shown;
        std::size_t left; // entries left in the folder, -1 for no folder
    } cases[] = {
        {IDCANCEL, OneBackup, {u1}, 1}, {IDYES, OneBackup, {u1}, 1}, {IDYES, Empty, {u1}, std::size_t(-1)},
        {IDYES, HiddenAndSubfolder, {u1, u2}, 2}, {IDNO, None, {u1}, std::size_t(-1)},
        {IDNO, HiddenAndSubfolder, {u1, u2}, 2}, {IDNO, ReadOnlyAmongOthers, {u1, u3, u2}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << ", folder " << c.folder);
        RemoveTree(game + L"\\users");
        ::CreateDirectoryW((game + L"\\users").c_str(), nullptr);
        Save(L"Agent.usr");
        Save(L"Spare.usr");
        if (c.folder != None)
            ::CreateDirectoryW(At(L"Agent").c_str(), nullptr);
        if (c.folder == OneBackup || c.folder == ReadOnlyAmongOthers)
            Save(L"Agent\\Start.bak");
        if (c.folder == ReadOnlyAmongOthers) {
            Save(L"Agent\\Locked.bak");
            Save(L"Agent\\notes.txt");
            ::SetFileAttributesW(At(L"Agent\\Locked.bak").c_str(), FILE_ATTRIBUTE_READONLY);
        }
        if (c.folder == HiddenAndSubfolder) {
            Save(L"Agent\\Hidden.bak");
            ::SetFileAttributesW(At(L"Agent\\Hidden.bak").c_str(), FILE_ATTRIBUTE_HIDDEN);
            ::CreateDirectoryW(At(L"Agent\\sub").c_str(), nullptr);
        }
        form.reset();
        seams.boxes.clear();
        seams.answers = {c.answer};
        OpenOn(L"Agent");
        Click(Ctl::btnDeleteUser);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(Exists(At(L"Agent")) ? NamesIn(At(L"Agent")).size() : std::size_t(-1), c.left);
        EXPECT_EQ(Exists(At(L"Agent.usr")), c.answer == IDCANCEL);
        EXPECT_EQ(NamesIn(game + L"\\users").count(L"Spare.usr"), 1u);
        EXPECT_EQ(form->CurrentUser, c.left == std::size_t(-1) ? L"Spare" : L"Agent");
    }
}

// Names that Win32 would resolve elsewhere: "", "." and ".." have no folder of
// their own, "Bob." and "Bob " are not "Bob".
TEST_F(BackupPage, EveryUserWorksOnItsOwnFilesOnly)
{
    Save(L"Bob.usr");
    Save(L"Bob\\Bobs.bak");
    for (const std::wstring user : {L"", L".", L".."}) {
        SCOPED_TRACE(testing::Message() << "user '" << user << "'");
        Save(user + L".usr");
        const std::set<std::wstring> inGame = NamesIn(game), inUsers = NamesIn(game + L"\\users");
        form.reset();
        seams.boxes.clear();
        seams.answers = {IDOK, IDNO};
        OpenOn(user);
        EXPECT_TRUE(Captions().empty());
        Type(Ctl::edtNewBackup, L"x");
        Click(Ctl::btnNewBackup);
        EXPECT_EQ(NamesIn(game + L"\\users"), inUsers);
        Click(Ctl::btnDeleteUser);
        std::set<std::wstring> expected = inUsers;
        expected.erase(user + L".usr");
        EXPECT_EQ(NamesIn(game + L"\\users"), expected) << "only the user file went";
        EXPECT_EQ(NamesIn(game), inGame);
        EXPECT_EQ(seams.boxes.at(0).text, L"Backup directory cannot be created!");
    }
    for (const std::wstring user : {L"Bob.", L"Bob "}) {
        SCOPED_TRACE(testing::Message() << "user '" << user << "'");
        Save(user + L".usr");
        Save(user + L"\\Own.bak");
        form.reset();
        seams.answers = {IDYES};
        OpenOn(user);
        EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Own"});
        Type(Ctl::edtNewBackup, L"x");
        Click(Ctl::btnNewBackup);
        Select({0});
        Key(Item(Ctl::lstBackups), VK_DELETE);
        EXPECT_EQ(NamesIn(At(user)), std::set<std::wstring>{L"x.bak"});
        EXPECT_EQ(NamesIn(At(L"Bob")), std::set<std::wstring>{L"Bobs.bak"});
    }
}
