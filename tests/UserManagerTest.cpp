// The user manager page over real game folders.
#include "WindowFixture.h"

#include <tuple>
#include <vector>

#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::layout;
using namespace trelgate::test;

namespace {

class UserManager : public UserPageTest {
protected:
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
};

} // namespace

// The listing itself is the store's; the page shows it and picks the
// remembered user without regard to case, or the first when that one is gone.
TEST_F(UserManager, ShowsTheStoresUsersAndChoosesTheRememberedOneOrTheFirst)
{
    Save(L"Bob.usr");
    Save(L"Agent.usr");
    MakeFolder(At(L"old.save"));
    for (const auto& [remembered, chosen] : {std::pair(L"bob", L"Bob"), std::pair(L"Nobody", L"Agent")}) {
        OpenAt(game, remembered);
        EXPECT_EQ(Entries(), ListUsers(game));
        EXPECT_EQ(Entries().size(), 3u);
        EXPECT_EQ(Text(Ctl::cboUser), chosen);
        EXPECT_EQ(form->CurrentUser, chosen);
        EXPECT_TRUE(Enabled(Ctl::cboUser));
    }
}

TEST_F(UserManager, ShowsTheChosenUsersFileDateAndItsBackupsWithNothingSelected)
{
    Save(L"Agent.usr", LocalTime(2026, 12, 5, 23, 59, 59));
    Save(L"Agent\\Start.bak", LocalTime(2026, 11, 2, 18, 4, 12));
    Save(L"Agent\\Before.heist.bak", LocalTime(2026, 11, 28, 7, 37, 46));
    OpenAt(game, L"Agent");
    EXPECT_EQ(Text(Ctl::pnlDate), L"12/05/2026");
    EXPECT_EQ(Text(Ctl::pnlTime), L"23:59:58");
    EXPECT_TRUE(form->UserFileExists);
    ASSERT_EQ(Captions().size(), 2u);
    for (const auto& [row, cells] : {std::pair(0, Rows{L"Before.heist", L"11/28/2026", L"07:37:46"}),
                                     std::pair(1, Rows{L"Start", L"11/02/2026", L"18:04:12"})})
        EXPECT_EQ((Rows{Cell(row, 0), Cell(row, 1), Cell(row, 2)}), cells);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 0u);
    EXPECT_TRUE(Enabled(Ctl::lstBackups));
    EXPECT_TRUE(Enabled(Ctl::edtNewBackup));
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false, true}));
}

// No users, or no valid game directory: nothing to choose and nothing to do.
// Only a lookup in a valid directory sets the date panels.
TEST_F(UserManager, WithoutUsersTheWholePageIsDisabled)
{
    Save(L"Agent.usr");
    const std::wstring empty = MakeGame(folder / L"empty");
    // A stored directory that is gone stays, and the page still opens.
    for (const auto& [trelanPath, label, date, time] :
         {std::tuple(empty, L"Trelan path valid.", L"no file", L""),
          std::tuple(folder / L"gone", L"Not a valid Trelan path!", L"12/31/2003", L"23:59:59")}) {
        OpenAt(trelanPath, L"Agent");
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
    }
}

TEST_F(UserManager, AUserWithOnlyABackupFolderShowsNoFileButItsBackups)
{
    Save(L"Agent.usr");
    Save(L"Lost\\Last run.bak");
    OpenOn(L"Lost");
    EXPECT_EQ(Text(Ctl::pnlDate), L"no file");
    EXPECT_EQ(Text(Ctl::pnlTime), L"");
    EXPECT_FALSE(form->UserFileExists);
    EXPECT_EQ(form->UserFileDate, 0.0);
    ASSERT_EQ(Captions().size(), 1u);
    Select({0});
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, true, false}));
}

TEST_F(UserManager, OneSelectedBackupOffersItsNameAndAnyOtherSelectionClearsIt)
{
    Save(L"Agent.usr");
    Save(L"Agent\\Alpha.bak");
    Save(L"Agent\\Beta.bak");
    OpenOn(L"Agent");
    Type(Ctl::edtNewBackup, L"typed");
    EXPECT_TRUE(Enabled(Ctl::btnNewBackup));
    Select({0});
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"Alpha") << "the selection replaces a typed name";
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, true, true}));
    Select({1});
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"");
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, true, true}));
    Select({0}, false);
    EXPECT_EQ(Text(Ctl::edtNewBackup), L"Beta");
    Select({1}, false);
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
    Save(L"One.usr");
    const std::wstring other = MakeGame(folder / L"other");
    WriteBytes(other + L"\\users\\Two.usr", "save");
    OpenAt(game, L"");
    ASSERT_EQ(Entries(), std::vector<std::wstring>{L"One"});
    ::SetWindowTextW(Item(Ctl::edtTrelanPath), L"");
    ::SetFocus(Item(Ctl::edtTrelanPath));
    Type(Ctl::edtTrelanPath, other.substr(0, other.size() - 1));
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"One"}) << "still the last valid directory's users";
    Type(Ctl::edtTrelanPath, other.substr(other.size() - 1));
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Two"});
    EXPECT_EQ(form->CurrentUser, L"Two");
}
