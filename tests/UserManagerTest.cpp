// The user manager page over real game folders.
#include "WindowFixture.h"

#include <tuple>
#include <vector>

#include "base/Text.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

class UserManager : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        game = MakeGame(folder / L"game");
    }
    std::wstring Users() const { return game + L"\\users"; }
    void AddUser(const std::wstring& name, const FILETIME& written = LocalTime(2026, 12, 5, 22, 15, 30))
    {
        WriteDated(Users() + L"\\" + name + L".usr", written);
    }
    void AddBackup(const std::wstring& user, const std::wstring& name, const FILETIME& written)
    {
        ::CreateDirectoryW((Users() + L"\\" + user).c_str(), nullptr);
        WriteDated(Users() + L"\\" + user + L"\\" + name + L".bak", written);
    }
    void OpenOn(const std::wstring& trelanPath, const std::wstring& remembered)
    {
        WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + Utf8FromWide(trelanPath) + "\r\n[Users]\r\nCurrentUser=" +
                              Utf8FromWide(remembered) + "\r\n");
        Create();
        Show();
    }

    std::vector<std::wstring> Entries() const
    {
        std::vector<std::wstring> entries;
        HWND box = Item(Ctl::cboUser);
        for (int i = 0; i < ComboBox_GetCount(box); ++i) {
            wchar_t text[MAX_PATH] = {};
            ComboBox_GetLBText(box, i, text);
            entries.emplace_back(text);
        }
        return entries;
    }
    std::wstring Chosen() const { return Text(Ctl::cboUser); }
    void Choose(const std::wstring& user)
    {
        HWND box = Item(Ctl::cboUser);
        ComboBox_SelectString(box, -1, user.c_str());
        ::SendMessageW(::GetParent(box), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box));
    }
    std::vector<std::wstring> Row(int row) const
    {
        std::vector<std::wstring> cells;
        for (int column = 0; column < 3; ++column) {
            wchar_t text[MAX_PATH] = {};
            ListView_GetItemText(Item(Ctl::lstBackups), row, column, text, MAX_PATH);
            cells.emplace_back(text);
        }
        return cells;
    }
    int Rows() const { return ListView_GetItemCount(Item(Ctl::lstBackups)); }
    void Select(int row, bool selected = true)
    {
        ListView_SetItemState(Item(Ctl::lstBackups), row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    void ClickRow(int row, WPARAM keys = 0)
    {
        RECT cell{LVIR_LABEL};
        ListView_GetItemRect(Item(Ctl::lstBackups), row, &cell, LVIR_LABEL);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
            ::SendMessageW(Item(Ctl::lstBackups), message, keys | (message == WM_LBUTTONDOWN ? MK_LBUTTON : 0),
                           MAKELPARAM(cell.left + 2, cell.top + 2));
    }
    std::vector<bool> ButtonsEnabled() const
    {
        return {Enabled(Ctl::btnNewBackup), Enabled(Ctl::btnRestore), Enabled(Ctl::btnDeleteBackups),
                Enabled(Ctl::btnDeleteUser)};
    }

    std::wstring game;
};

} // namespace

// The listing itself is the store's; the page shows it and picks the
// remembered user without regard to case, or the first when that one is gone.
TEST_F(UserManager, ShowsTheStoresUsersAndChoosesTheRememberedOneOrTheFirst)
{
    AddUser(L"Bob");
    AddUser(L"Agent");
    MakeFolder(Users() + L"\\old.save");
    for (const auto& [remembered, chosen] : {std::pair(L"bob", L"Bob"), std::pair(L"Nobody", L"Agent")}) {
        OpenOn(game, remembered);
        EXPECT_EQ(Entries(), ListUsers(game));
        EXPECT_EQ(Entries().size(), 3u);
        EXPECT_EQ(Chosen(), chosen);
        EXPECT_EQ(form->CurrentUser, chosen);
        EXPECT_TRUE(Enabled(Ctl::cboUser));
        form.reset();
    }
}

TEST_F(UserManager, ShowsTheChosenUsersFileDateAndItsBackupsWithNothingSelected)
{
    AddUser(L"Agent", LocalTime(2026, 12, 5, 23, 59, 59));
    AddBackup(L"Agent", L"Start", LocalTime(2026, 11, 2, 18, 4, 12));
    AddBackup(L"Agent", L"Before.heist", LocalTime(2026, 11, 28, 7, 37, 46));
    OpenOn(game, L"Agent");
    EXPECT_EQ(Text(Ctl::pnlDate), L"12/05/2026");
    EXPECT_EQ(Text(Ctl::pnlTime), L"23:59:58");
    EXPECT_TRUE(form->UserFileExists);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(0), (std::vector<std::wstring>{L"Before.heist", L"11/28/2026", L"07:37:46"}));
    EXPECT_EQ(Row(1), (std::vector<std::wstring>{L"Start", L"11/02/2026", L"18:04:12"}));
    EXPECT_EQ(ListView_GetSelectedCount(Item(Ctl::lstBackups)), 0u);
    EXPECT_TRUE(Enabled(Ctl::lstBackups));
    EXPECT_TRUE(Enabled(Ctl::edtNewBackup));
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false, true}));
}

// No users, or no valid game directory: nothing to choose and nothing to do.
// Only a lookup in a valid directory sets the date panels.
TEST_F(UserManager, WithoutUsersTheWholePageIsDisabled)
{
    AddUser(L"Agent");
    const std::wstring empty = MakeGame(folder / L"empty");
    // A stored directory that is gone stays, and the page still opens.
    for (const auto& [trelanPath, label, date, time] :
         {std::tuple(empty, L"Trelan path valid.", L"no file", L""),
          std::tuple(folder / L"gone", L"Not a valid Trelan path!", L"12/31/2003", L"23:59:59")}) {
        OpenOn(trelanPath, L"Agent");
        EXPECT_EQ(std::tuple(form->TrelanPath, Text(Ctl::edtTrelanPath), form->ActivePage()),
                  std::tuple(trelanPath, trelanPath, Ctl::tabUsers));
        EXPECT_EQ(Text(Ctl::lblTrelanPathValid), label);
        EXPECT_TRUE(Entries().empty());
        EXPECT_FALSE(Enabled(Ctl::cboUser));
        EXPECT_EQ(form->CurrentUser, L"");
        EXPECT_EQ(Text(Ctl::pnlDate), date);
        EXPECT_EQ(Text(Ctl::pnlTime), time);
        EXPECT_FALSE(Enabled(Ctl::lstBackups));
        EXPECT_FALSE(Enabled(Ctl::edtNewBackup));
        EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false, false}));
        form.reset();
    }
}

TEST_F(UserManager, AUserWithOnlyABackupFolderShowsNoFileButItsBackups)
{
    AddUser(L"Agent");
    AddBackup(L"Lost", L"Last run", LocalTime(2026, 10, 1, 12, 0, 0));
    OpenOn(game, L"Agent");
    Choose(L"Lost");
    EXPECT_EQ(form->CurrentUser, L"Lost");
    EXPECT_EQ(Text(Ctl::pnlDate), L"no file");
    EXPECT_EQ(Text(Ctl::pnlTime), L"");
    EXPECT_FALSE(form->UserFileExists);
    EXPECT_EQ(form->UserFileDate, 0.0);
    ASSERT_EQ(Rows(), 1);
    Select(0);
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, true, false}));
}

TEST_F(UserManager, OneSelectedBackupOffersItsNameAndAnyOtherSelectionClearsIt)
{
    AddUser(L"Agent");
    AddBackup(L"Agent", L"Alpha", LocalTime(2026, 1, 1, 1, 1, 2));
    AddBackup(L"Agent", L"Beta", LocalTime(2026, 1, 1, 1, 1, 4));
    OpenOn(game, L"Agent");
    Type(Ctl::edtNewBackup, L"typed");
    EXPECT_TRUE(Enabled(Ctl::btnNewBackup));
    Select(0);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"Alpha") << "the selection replaces a typed name";
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, true, true}));
    Select(1);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, true, true}));
    Select(0, false);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"Beta");
    Select(1, false);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false, true}));

    // A click, a shift-click over a range, and a typed letter that finds a row.
    ClickRow(0);
    ClickRow(1, MK_SHIFT);
    EXPECT_EQ(ListView_GetSelectedCount(Item(Ctl::lstBackups)), 2u);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, true, true}));
    ::SendMessageW(Item(Ctl::lstBackups), WM_CHAR, L'b', 1);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"Beta");
}

TEST_F(UserManager, TheUsersFollowTheLastValidGameDirectoryWhileOneIsTyped)
{
    AddUser(L"One");
    const std::wstring other = MakeGame(folder / L"other");
    WriteBytes(other + L"\\users\\Two.usr", "save");
    OpenOn(game, L"");
    ASSERT_EQ(Entries(), std::vector<std::wstring>{L"One"});
    ::SetWindowTextW(Item(Ctl::edtTrelanPath), L"");
    ::SetFocus(Item(Ctl::edtTrelanPath));
    Type(Ctl::edtTrelanPath, other.substr(0, other.size() - 1));
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"One"}) << "still the last valid directory's users";
    Type(Ctl::edtTrelanPath, other.substr(other.size() - 1));
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Two"});
    EXPECT_EQ(form->CurrentUser, L"Two");
}
