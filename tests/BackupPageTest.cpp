// The backup operations as the player reaches them on the user manager page:
// which handler each button, key and edit runs, and which box each outcome
// shows, over real game folders.
#include "WindowFixture.h"

#include <set>
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
    void AddUser(const std::wstring& name, const std::string& bytes = "user save")
    {
        WriteBytes(At(name + L".usr"), bytes);
        SetFileDate(At(name + L".usr"), kSaved);
    }
    void AddBackup(const std::wstring& user, const std::wstring& name, const std::string& bytes = "backup")
    {
        ::CreateDirectoryW(At(user).c_str(), nullptr);
        WriteBytes(At(user + L"\\" + name), bytes);
        SetFileDate(At(user + L"\\" + name), kBackedUp);
    }
    void OpenOn(const std::wstring& user)
    {
        const std::wstring ini = L"[Settings]\r\nTrelanPath=" + game + L"\r\n[Users]\r\nCurrentUser=" + user + L"\r\n";
        WriteBytes(Ini(), std::string(ini.begin(), ini.end()));
        Create();
        Show();
    }
    std::set<std::wstring> Names(const std::wstring& folderPath) const
    {
        std::set<std::wstring> names;
        WIN32_FIND_DATAW entry;
        if (UniqueFind find(::FindFirstFileW((folderPath + L"\\*").c_str(), &entry)); find)
            do
                names.insert(entry.cFileName);
            while (::FindNextFileW(find.get(), &entry));
        return names;
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
            ListView_SetItemState(Item(Ctl::lstBackups), row, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
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
    // Picks the entry of exactly this name, as the player would.
    void Choose(const std::wstring& user)
    {
        HWND box = Item(Ctl::cboUser);
        for (int i = 0; i < ComboBox_GetCount(box); ++i) {
            wchar_t text[MAX_PATH] = {};
            ComboBox_GetLBText(box, i, text);
            if (user == text)
                ComboBox_SetCurSel(box, i);
        }
        ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE), 0);
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
    AddUser(L"Agent", "first");
    OpenOn(L"Agent");
    Type(Ctl::edtNewBackup, L"Start");
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "first");
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, kSaved);
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Start"});
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");

    WriteBytes(At(L"Agent.usr"), "second");
    Select({0});
    seams.answers = {IDNO, IDYES};
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "first");
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"Start") << "No refreshes nothing";
    Click(Ctl::btnNewBackup);
    EXPECT_EQ(ReadBytes(At(L"Agent\\Start.bak")), "second");
    EXPECT_EQ(Shown(), Boxes(2, L"Create Backup|The backup 'Start' already exists. Overwrite?|36"));
}

TEST_F(BackupPage, BadNamesAreRefusedBeforeAnythingIsTouched)
{
    AddUser(L"Agent");
    AddBackup(L"Lone", L"Keep.bak");
    OpenOn(L"Agent");
    for (std::wstring_view name : kBadBackupNames) {
        ::SetWindowTextW(Item(Ctl::edtNewBackup), std::wstring(name).c_str());
        Click(Ctl::btnNewBackup);
    }
    EXPECT_FALSE(Exists(At(L"Agent"))) << "not even the backup folder is made";
    EXPECT_EQ(Shown(), Boxes(kBadBackupNames.size(), L"Create Backup|Backup cannot be created!|16"));

    seams.boxes.clear();
    Choose(L"Lone");
    Select({0});
    for (std::wstring_view name : kBadBackupNames)
        Rename(std::wstring(name));
    EXPECT_EQ(Names(At(L"Lone")), (std::set<std::wstring>{L".", L"..", L"Keep.bak"}));
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Keep"});
    EXPECT_EQ(Shown(), Boxes(kBadBackupNames.size(), L"Rename Backup|Backup could not be renamed.|16"));
}

TEST_F(BackupPage, EnterAndDoubleClickRestoreAfterAskingAndAVanishedBackupFails)
{
    AddUser(L"Agent", "current");
    AddBackup(L"Agent", L"Old.bak", "old");
    AddBackup(L"Agent", L"Gone.bak");
    OpenOn(L"Agent");
    Select({1}); // Old
    seams.answers = {IDNO, IDYES};
    Key(Item(Ctl::lstBackups), VK_RETURN);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "current");
    RECT row{LVIR_LABEL};
    ::SendMessageW(Item(Ctl::lstBackups), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    ::SendMessageW(Item(Ctl::lstBackups), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "old");
    EXPECT_EQ(Text(Ctl::pnlDate), L"11/02/2026") << "the users were refreshed";
    EXPECT_EQ(Text(Ctl::pnlTime), L"18:04:12");

    ::DeleteFileW(At(L"Agent\\Gone.bak").c_str());
    Select({0});
    seams.answers = {IDYES};
    Click(Ctl::btnRestore);
    EXPECT_EQ(ReadBytes(At(L"Agent.usr")), "old");
    EXPECT_EQ(Shown(), (Boxes{L"Restore Backup|Do you really want to restore the backup 'Old'?|36",
                              L"Restore Backup|Do you really want to restore the backup 'Old'?|36",
                              L"Restore Backup|Do you really want to restore the backup 'Gone'?|36",
                              L"Restore Backup|Backup cannot be restored!|16"}));
}

TEST_F(BackupPage, F2RenamesInPlaceKeepingTheRowAndOffersTheNewName)
{
    AddUser(L"Agent");
    AddBackup(L"Agent", L"Start.bak");
    AddBackup(L"Agent", L"Taken.bak");
    OpenOn(L"Agent");
    Select({0});
    Rename(L"start", VK_ESCAPE);
    Rename(L"Start");
    Rename(L"Taken");
    EXPECT_EQ(Shown(), Boxes{L"Rename Backup|Backup could not be renamed.|16"});
    Rename(L"start");
    EXPECT_EQ(Names(At(L"Agent")), (std::set<std::wstring>{L".", L"..", L"start.bak", L"Taken.bak"}));
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"start", L"Taken"}));
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"start") << "the change handler saw the new caption";
    EXPECT_EQ(ListBackups(At(L"Agent")).at(0).FileDate, kBackedUp);
    EXPECT_EQ(ListView_GetSelectedCount(Item(Ctl::lstBackups)), 1u) << "no rebuild";
}

TEST_F(BackupPage, DeleteKeyAsksThenReportsEachBackupThatStays)
{
    AddUser(L"Agent");
    for (const wchar_t* name : {L"A.bak", L"B.bak", L"C.bak"})
        AddBackup(L"Agent", name);
    ::SetFileAttributesW(At(L"Agent\\B.bak").c_str(), FILE_ATTRIBUTE_READONLY);
    OpenOn(L"Agent");
    Select({0, 1, 2});
    seams.answers = {IDNO, IDYES};
    Key(Item(Ctl::lstBackups), VK_DELETE);
    EXPECT_EQ(Captions().size(), 3u);
    Key(Item(Ctl::lstBackups), VK_DELETE);
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"B"});
    EXPECT_EQ(Shown(), (Boxes{L"Delete Backups|Do you really want to delete the selected backups?|36",
                              L"Delete Backups|Do you really want to delete the selected backups?|36",
                              L"Delete Backups|The backup 'B' could not be deleted!|16"}));
}

TEST_F(BackupPage, DeleteUserKeepsOrDeletesTheBackupsAsAnswered)
{
    const std::wstring u1 = L"Keep backups?|Do you want to keep the backups for this user?\rIf you choose 'Yes', "
                            L"the user will be deleted but the backups will be kept.\rIf you choose 'No', both the "
                            L"user and all backups will be deleted.|35";
    const std::wstring u2 = L"Delete User|The attempt to delete the backup directory failed.|48";
    enum Folder { None, Empty, OneBackup, HiddenAndSubfolder, ReadOnlyAmongOthers };
    const struct {
        int answer;
        Folder folder;
        Boxes after;
        bool folderStays, userFileStays;
    } cases[] = {
        {IDCANCEL, OneBackup, {}, true, true},
        {IDYES, OneBackup, {}, true, false},
        {IDYES, Empty, {}, false, false},
        {IDYES, HiddenAndSubfolder, {u2}, true, false},
        {IDNO, None, {}, false, false},
        {IDNO, HiddenAndSubfolder, {u2}, true, false},
        {IDNO, ReadOnlyAmongOthers, {L"Delete User|Unable to delete backup 'Locked.bak'!|16", u2}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << ", folder " << c.folder);
        RemoveTree(game + L"\\users");
        ::CreateDirectoryW((game + L"\\users").c_str(), nullptr);
        AddUser(L"Agent");
        AddUser(L"Spare");
        if (c.folder != None)
            ::CreateDirectoryW(At(L"Agent").c_str(), nullptr);
        if (c.folder == OneBackup || c.folder == ReadOnlyAmongOthers)
            AddBackup(L"Agent", L"Start.bak");
        if (c.folder == ReadOnlyAmongOthers) {
            AddBackup(L"Agent", L"Locked.bak");
            AddBackup(L"Agent", L"notes.txt");
            ::SetFileAttributesW(At(L"Agent\\Locked.bak").c_str(), FILE_ATTRIBUTE_READONLY);
        }
        if (c.folder == HiddenAndSubfolder) {
            AddBackup(L"Agent", L"Hidden.bak");
            ::SetFileAttributesW(At(L"Agent\\Hidden.bak").c_str(), FILE_ATTRIBUTE_HIDDEN);
            ::CreateDirectoryW(At(L"Agent\\sub").c_str(), nullptr);
        }
        form.reset();
        seams.boxes.clear();
        seams.answers = {c.answer};
        OpenOn(L"Agent");
        Click(Ctl::btnDeleteUser);
        Boxes expected{u1};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(Shown(), expected);
        EXPECT_EQ(Exists(At(L"Agent")), c.folderStays);
        EXPECT_EQ(Exists(At(L"Agent.usr")), c.userFileStays);
        EXPECT_TRUE(Exists(At(L"Spare.usr")));
        if (c.answer == IDNO && c.folderStays) {
            EXPECT_EQ(Names(At(L"Agent")).size(), c.folder == HiddenAndSubfolder ? 4u : 3u) << "what could go, went";
        }
        EXPECT_EQ(form->CurrentUser, c.folderStays ? L"Agent" : L"Spare");
    }
}

// Names that Win32 would resolve elsewhere: "", "." and ".." have no folder of
// their own, "Bob." and "Bob " are not "Bob".
TEST_F(BackupPage, EveryUserWorksOnItsOwnFilesOnly)
{
    AddUser(L"Bob");
    AddBackup(L"Bob", L"Bobs.bak");
    for (const std::wstring user : {L"", L".", L".."}) {
        SCOPED_TRACE(testing::Message() << "user '" << user << "'");
        AddUser(user);
        const std::set<std::wstring> gameBefore = Names(game), usersBefore = Names(game + L"\\users");
        form.reset();
        seams.boxes.clear();
        seams.answers = {IDOK, IDNO};
        OpenOn(L"Bob");
        Choose(user);
        ASSERT_EQ(form->CurrentUser, user);
        EXPECT_TRUE(Captions().empty());
        Type(Ctl::edtNewBackup, L"x");
        Click(Ctl::btnNewBackup);
        EXPECT_EQ(Names(game + L"\\users"), usersBefore);
        Click(Ctl::btnDeleteUser);
        std::set<std::wstring> expected = usersBefore;
        expected.erase(user + L".usr");
        EXPECT_EQ(Names(game + L"\\users"), expected) << "only the user file went";
        EXPECT_EQ(Names(game), gameBefore);
        EXPECT_EQ(seams.boxes.at(0).text, L"Backup directory cannot be created!");
    }
    for (const std::wstring user : {L"Bob.", L"Bob "}) {
        SCOPED_TRACE(testing::Message() << "user '" << user << "'");
        AddUser(user);
        AddBackup(user, L"Own.bak");
        form.reset();
        seams.answers = {IDYES};
        OpenOn(L"Bob");
        Choose(user);
        ASSERT_EQ(form->CurrentUser, user);
        EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Own"});
        Type(Ctl::edtNewBackup, L"x");
        Click(Ctl::btnNewBackup);
        EXPECT_EQ(Names(At(user)), (std::set<std::wstring>{L".", L"..", L"Own.bak", L"x.bak"}));
        Select({0});
        Key(Item(Ctl::lstBackups), VK_DELETE);
        EXPECT_EQ(Names(At(user)), (std::set<std::wstring>{L".", L"..", L"x.bak"}));
        EXPECT_EQ(Names(At(L"Bob")), (std::set<std::wstring>{L".", L"..", L"Bobs.bak"}));
    }
}
