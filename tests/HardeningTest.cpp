// Whatever the game folder holds, each operation of the user manager ends in
// its own outcome or in its failure box: names at the platform's limits and in
// every plane of Unicode, paths beyond MAX_PATH, a crowded users folder, empty
// and huge saves, and files that vanish between the listing and their use.
#include "WindowFixture.h"

#include <functional>
#include <utility>
#include <vector>

#include "users/BackupFiles.h"
#include "users/UserStore.h"

using namespace trelgate;
using namespace trelgate::test;

namespace {

using Boxes = std::vector<std::wstring>; // "title|text"

const std::wstring kR1 = L"Restore Backup|Do you really want to restore the backup '";
const std::wstring kD1 = L"Delete Backups|Do you really want to delete the selected backups?";
const std::wstring kU1 = L"Keep backups?|Do you want to keep the backups for this user?\rIf you choose 'Yes', the "
                         L"user will be deleted but the backups will be kept.\rIf you choose 'No', both the user "
                         L"and all backups will be deleted.";

class Hardening : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        game = MakeGame(folder / L"game");
    }
    std::wstring At(const std::wstring& name) const { return LiteralGameDirectory(game) + L"\\users\\" + name; }
    void Save(const std::wstring& name, const std::string& bytes = "save")
    {
        if (const auto slash = name.rfind(L'\\'); slash != std::wstring::npos)
            ::CreateDirectoryW(At(name.substr(0, slash)).c_str(), nullptr);
        WriteBytes(At(name), bytes);
    }
    // The launcher shown on game, with user chosen as a player would choose it.
    void OpenOn(const std::wstring& user)
    {
        form.reset();
        WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + std::string(game.begin(), game.end()) + "\r\n");
        Create();
        Show();
        HWND box = Item(Ctl::cboUser);
        for (int i = 0; i < ComboBox_GetCount(box); ++i) {
            std::wstring text(ComboBox_GetLBTextLen(box, i) + 1, L'\0');
            text.resize(ComboBox_GetLBText(box, i, text.data()));
            if (text == user)
                ComboBox_SetCurSel(box, i);
        }
        ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE), 0);
        ASSERT_EQ(form->CurrentUser, user);
    }
    std::vector<std::wstring> Captions() const
    {
        std::vector<std::wstring> captions;
        for (int row = 0; row < ListView_GetItemCount(Item(Ctl::lstBackups)); ++row) {
            wchar_t text[300] = {};
            ListView_GetItemText(Item(Ctl::lstBackups), row, 0, text, 300);
            captions.emplace_back(text);
        }
        return captions;
    }
    void SelectFirst()
    {
        ListView_SetItemState(Item(Ctl::lstBackups), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void NewBackup(const std::wstring& name)
    {
        ::SetWindowTextW(Item(Ctl::edtNewBackup), name.c_str());
        Click(Ctl::btnNewBackup);
    }
    // F2 on the first row, the text typed over, then Enter.
    void Rename(const std::wstring& text)
    {
        SelectFirst();
        ::SetFocus(Item(Ctl::lstBackups));
        Press(Item(Ctl::lstBackups), VK_F2);
        HWND edit = ListView_GetEditControl(Item(Ctl::lstBackups));
        ASSERT_TRUE(edit);
        ::SetWindowTextW(edit, text.c_str());
        Press(edit, VK_RETURN);
    }
    Boxes Shown() const
    {
        Boxes shown;
        for (const auto& box : seams.boxes)
            shown.push_back(box.title + L"|" + box.text);
        return shown;
    }

    std::wstring game;
};

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
        Save(c.user + L".usr", "save");
        OpenOn(c.user);
        EXPECT_NE(Text(Ctl::pnlDate), L"no file");
        NewBackup(c.backup);
        EXPECT_EQ(ReadBytes(At(c.user + L"\\" + c.backup + L".bak")), "save");
        EXPECT_EQ(Captions(), std::vector<std::wstring>{c.backup});

        form.reset(); // saved at the end, chosen again at the next start
        Create();
        Show();
        EXPECT_EQ(form->CurrentUser, c.user);

        Rename(c.renamed);
        EXPECT_EQ(NamesIn(At(c.user)), std::set<std::wstring>{c.renamed + L".bak"});
        WriteBytes(At(c.user + L".usr"), "later");
        seams.answers = {IDYES, IDYES, IDNO};
        SelectFirst();
        Click(Ctl::btnRestore);
        EXPECT_EQ(ReadBytes(At(c.user + L".usr")), "save");
        SelectFirst();
        Click(Ctl::btnDeleteBackups);
        Click(Ctl::btnDeleteUser);
        EXPECT_TRUE(NamesIn(game + L"\\users").empty()) << "the user file and its folder are gone";
        EXPECT_EQ(Shown(), (Boxes{kR1 + c.renamed + L"'?", kD1, kU1}));
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
    ASSERT_TRUE(::CopyFileW((BinDir() + L"\\Trelan.exe").c_str(), (L"\\\\?\\" + game + L"\\Trelan.exe").c_str(), FALSE));
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + game + L"\\users").c_str(), nullptr));
    Save(L"Agent.usr");
    OpenOn(L"Agent");
    EXPECT_EQ(Text(Ctl::lblTrelanPathValid), L"Trelan path valid.");
    EXPECT_LT(::GetCurrentDirectoryW(0, nullptr), DWORD{MAX_PATH}) << "no program starts in a longer one";
    NewBackup(L"Start");
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Start"});

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
                             L"the Trelan directory is set correctly."});
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
    WriteBytes(Ini(), "[Settings]\r\nTrelanPath=" + std::string(game.begin(), game.end()) +
                          "\r\n[Users]\r\nCurrentUser=folder2498\r\n");
    Create();
    Show();
    EXPECT_EQ(ComboBox_GetCount(Item(Ctl::cboUser)), 8750);
    EXPECT_EQ(form->CurrentUser, L"Folder2498");
}

namespace {

// A file of size bytes whose last byte is 'z', sparse: quick at any size.
void WriteSized(const std::wstring& path, long long size)
{
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file);
    ASSERT_TRUE(size == 0 || (::SetFilePointerEx(file.get(), LARGE_INTEGER{.QuadPart = size - 1}, nullptr, FILE_BEGIN) &&
                              ::WriteFile(file.get(), "z", 1, &written, nullptr)));
}

// The size and the last byte.
std::pair<long long, char> SizeAndEnd(const std::wstring& path)
{
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    char last = 0;
    DWORD read = 0;
    if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        ::SetFilePointerEx(file.get(), LARGE_INTEGER{.QuadPart = size.QuadPart - 1}, nullptr, FILE_BEGIN))
        ::ReadFile(file.get(), &last, 1, &read, nullptr);
    return {size.QuadPart, last};
}

} // namespace

// An empty save and one of 2 GiB are backed up and restored whole.
TEST_F(Hardening, EmptyAndHugeSavesAreBackedUpAndRestoredWhole)
{
    for (const long long size : {0LL, 2LL << 30}) {
        SCOPED_TRACE(size);
        const std::pair<long long, char> whole{size, size ? 'z' : 0};
        WriteSized(At(L"Agent.usr"), size);
        OpenOn(L"Agent");
        NewBackup(L"Whole");
        EXPECT_EQ(SizeAndEnd(At(L"Agent\\Whole.bak")), whole);
        WriteBytes(At(L"Agent.usr"), "later");
        seams.answers = {IDYES};
        SelectFirst();
        Click(Ctl::btnRestore);
        EXPECT_EQ(SizeAndEnd(At(L"Agent.usr")), whole);
        EXPECT_TRUE(Shown() == Boxes{kR1 + L"Whole'?"});
        seams.boxes.clear();
        RemoveTree(At(L"Agent"));
    }
    ::DeleteFileW(At(L"Agent.usr").c_str());
}

// Another program removes a file between the listing and its use: while the
// operation's question is up, or before an operation that asks nothing.
TEST_F(Hardening, AFileThatVanishesBeforeItsUseGetsTheOperationsOwnOutcome)
{
    const std::wstring a2 = L"Create Backup|The backup 'Old' already exists. Overwrite?", r1 = kR1 + L"Old'?";
    using Act = std::function<void()>;
    const Act create = [this] { NewBackup(L"Old"); };
    const Act restore = [this] { SelectFirst(), Click(Ctl::btnRestore); };
    const Act remove = [this] { SelectFirst(), Click(Ctl::btnDeleteBackups); };
    const Act deleteUser = [this] { Click(Ctl::btnDeleteUser); };
    const struct {
        const char* what;
        std::wstring gone;
        int answer; // to the question, 0 for none
        Act act;
        Boxes shown;
        std::set<std::wstring> left; // in users and in users\Agent
    } cases[] = {
        {"create, the user file", L"Agent.usr", 0, [this] { NewBackup(L"New"); },
         {L"Create Backup|Backup cannot be created!"}, {L"Agent", L"Old.bak"}},
        {"create, the backup it replaces", L"Agent\\Old.bak", IDYES, create, {a2}, {L"Agent.usr", L"Agent", L"Old.bak"}},
        {"restore, the backup", L"Agent\\Old.bak", IDYES, restore, {r1, L"Restore Backup|Backup cannot be restored!"},
         {L"Agent.usr", L"Agent"}},
        {"restore, the user file", L"Agent.usr", IDYES, restore, {r1}, {L"Agent.usr", L"Agent", L"Old.bak"}},
        {"rename, the backup", L"Agent\\Old.bak", 0, [this] { Rename(L"New"); },
         {L"Rename Backup|Backup could not be renamed."}, {L"Agent.usr", L"Agent"}},
        {"delete, the backup", L"Agent\\Old.bak", IDYES, remove,
         {kD1, L"Delete Backups|The backup 'Old' could not be deleted!"}, {L"Agent.usr", L"Agent"}},
        {"delete user, the user file", L"Agent.usr", IDNO, deleteUser,
         {kU1, L"Delete User|User file could not be deleted!"}, {}},
        {"delete user, a backup", L"Agent\\Old.bak", IDNO, deleteUser, {kU1}, {}},
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
        std::set<std::wstring> left = NamesIn(game + L"\\users");
        left.merge(NamesIn(At(L"Agent")));
        EXPECT_EQ(left, c.left);
    }
}
