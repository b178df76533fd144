// Times the user store's listings on a large game folder, 2,000 users and one
// user with 10,000 backups, against a bare FindFirstFileW/FindNextFileW
// enumeration of the same folders measured in the same run.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/Handle.h"
#include "ui/Main.h"
#include "users/DateTime.h"
#include "users/UserStore.h"

using namespace trelgate;

namespace {

constexpr int kUsers = 2000;
constexpr int kFolders = 200; // users that have a backup folder
constexpr int kBackups = 10000;
constexpr int kRuns = 21;

std::size_t sink; // keeps the measured work from being optimised away

std::wstring Numbered(const wchar_t* stem, int n, int width)
{
    std::wstring digits = std::to_wstring(n);
    return stem + std::wstring(width - digits.size(), L'0') + digits;
}

// Mixed case, so that every comparison has letters to fold.
std::wstring UserName(int n)
{
    const std::wstring name = Numbered(L"Player ", n, 4);
    return n % 3 == 0 ? UpperCased(name) : name;
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    if (UniqueFind find(::FindFirstFileW((path + L"\\*").c_str(), &entry)); find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\" + name);
            else
                ::DeleteFileW((path + L"\\" + name).c_str());
        } while (::FindNextFileW(find.get(), &entry));
    }
    ::RemoveDirectoryW(path.c_str());
}

bool WriteFileAt(const std::wstring& path, const FILETIME& lastWrite)
{
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), "TRELAN-SAVE", 11, &written, nullptr) &&
           ::SetFileTime(file.get(), nullptr, nullptr, &lastWrite);
}

// A throwaway game directory, created in shuffled order and removed at the end.
class BenchGame {
public:
    BenchGame()
    {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"trelgate-bench-" + std::to_wstring(::GetCurrentProcessId());
        ok_ = ::CreateDirectoryW(path_.c_str(), nullptr) &&
              ::CreateDirectoryW(Game().UsersFolder().c_str(), nullptr) &&
              WriteFileAt(Game().Executable(), RandomTime()) && AddUsers() && AddBackups();
    }
    ~BenchGame() { RemoveTree(path_); }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    bool Ok() const { return ok_; }
    const std::wstring& Path() const { return path_; }
    trelgate::GameFolder Game() const { return trelgate::GameFolder(path_); }
    std::wstring BusiestFolder() const { return path_ + L"\\users\\" + UserName(1); }
    std::wstring BusiestUser() const { return UserName(1); }

private:
    bool AddUsers()
    {
        std::vector<int> order(kUsers);
        for (int i = 0; i < kUsers; ++i)
            order[i] = i + 1;
        std::shuffle(order.begin(), order.end(), random_);
        for (int n : order) {
            if (!WriteFileAt(path_ + L"\\users\\" + UserName(n) + L".usr", RandomTime()))
                return false;
            if (n <= kFolders && !::CreateDirectoryW((path_ + L"\\users\\" + UserName(n)).c_str(), nullptr))
                return false;
        }
        return true;
    }

    bool AddBackups()
    {
        std::vector<int> order(kBackups);
        for (int i = 0; i < kBackups; ++i)
            order[i] = i + 1;
        std::shuffle(order.begin(), order.end(), random_);
        for (int n : order) {
            if (!WriteFileAt(Game().BackupFile(BusiestUser(), Numbered(L"Session ", n, 5))->Path(), RandomTime()))
                return false;
        }
        return true;
    }

    FILETIME RandomTime()
    {
        std::uniform_real_distribution<double> days(EncodeDateTime({2020, 1, 1}), EncodeDateTime({2026, 12, 1}));
        return DateTimeToFileTime(days(random_)).value_or(FILETIME{});
    }

    std::wstring path_;
    std::mt19937 random_{2026};
    bool ok_ = false;
};

double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Reading every entry and nothing else: what any listing costs at least.
std::size_t BareEnumeration(const std::wstring& pattern)
{
    WIN32_FIND_DATAW entry;
    const UniqueFind find(::FindFirstFileW(pattern.c_str(), &entry));
    std::size_t entries = 0;
    if (find) {
        do
            ++entries;
        while (::FindNextFileW(find.get(), &entry));
    }
    return entries;
}

using Operation = std::function<void()>;

// Times operation against the bare enumeration it stands on, run by turns so
// that both meet the same caches and the same load, and prints the medians.
// The user manager page's refreshes are measured through here as well.
void CompareWithBare(const char* label, const Operation& operation, const Operation& bare)
{
    operation();
    bare();
    std::vector<double> operationMs, bareMs;
    for (int i = 0; i < kRuns; ++i) {
        const double start = NowMs();
        operation();
        const double middle = NowMs();
        bare();
        operationMs.push_back(middle - start);
        bareMs.push_back(NowMs() - middle);
    }
    const double ms = Median(operationMs), baseline = Median(bareMs);
    std::printf("  %-14s %8.2f ms   bare enumeration %8.2f ms   ratio %5.2f\n", label, ms, baseline, ms / baseline);
}

// The page's refreshes in the real window: UpdateBackups as the busiest user
// is picked, UpdateUsers as the game directory is entered (spelt two ways in
// turn, so that the edit's text changes) with a user without backups chosen.
void ComparePage(const BenchGame& game, const Operation& bareBackups, const Operation& bareUsers)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::wstring launcher = game.Path() + L"\\launcher"; // no settings in it: nothing is read
    ::CreateDirectoryW(launcher.c_str(), nullptr);
    TfrmMain form(launcher + L"\\Trelgate.exe");
    form.Create();
    form.Show();
    HWND edit = form.Item(Ctl::edtTrelanPath), box = form.Item(Ctl::cboUser);
    auto enter = [&](const std::wstring& path) { ::SetWindowTextW(edit, path.c_str()); };
    auto pick = [&](const std::wstring& user) {
        ComboBox_SelectString(box, -1, user.c_str());
        ::SendMessageW(::GetParent(box), WM_COMMAND, MAKEWPARAM(Ctl::cboUser, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box));
    };
    enter(game.Path());
    pick(game.BusiestUser());
    if (ListView_GetItemCount(form.Item(Ctl::lstBackups)) != kBackups || ComboBox_GetCount(box) != kUsers) {
        std::printf("the page lists %d backups and %d users, expected %d and %d\n",
                    ListView_GetItemCount(form.Item(Ctl::lstBackups)), ComboBox_GetCount(box), kBackups, kUsers);
        return;
    }
    CompareWithBare("UpdateBackups", [&] {
        pick(game.BusiestUser());
        sink += ListView_GetItemCount(form.Item(Ctl::lstBackups));
    }, bareBackups);
    pick(UserName(kUsers));
    bool trailing = false;
    CompareWithBare("UpdateUsers", [&] {
        enter(game.Path() + ((trailing = !trailing) ? L"\\" : L""));
        sink += ComboBox_GetCount(box);
    }, bareUsers);
}

bool CheckCounts(const BenchGame& game)
{
    const std::size_t users = ListUsers(game.Game()).size(),
                      backups = ListBackups(game.Game(), game.BusiestUser()).size();
    if (users == static_cast<std::size_t>(kUsers) && backups == static_cast<std::size_t>(kBackups))
        return true;
    std::printf("listed %zu users and %zu backups, expected %d and %d\n", users, backups, kUsers, kBackups);
    return false;
}

} // namespace

int wmain()
{
    std::printf("Building a game folder: %d users, %d with a backup folder, one with %d backups...\n", kUsers,
                kFolders, kBackups);
    const double buildStart = NowMs();
    const BenchGame game;
    if (!game.Ok() || !CheckCounts(game)) {
        std::printf("cannot build the game folder, error %lu\n", ::GetLastError());
        return 1;
    }
    std::printf("built in %.0f ms; median of %d runs each, the bare enumeration of the same patterns\n"
                "(backups: *.bak; users: *.usr, then *.*) timed by turns with it:\n\n",
                NowMs() - buildStart, kRuns);

    const std::wstring backups = game.BusiestFolder() + L"\\*.bak";
    const std::wstring files = game.Game().UserFilePattern(), folders = game.Game().UsersFolderPattern();
    const Operation bareBackups = [&] { sink += BareEnumeration(backups); };
    const Operation bareUsers = [&] { sink += BareEnumeration(files) + BareEnumeration(folders); };

    CompareWithBare("ListBackups", [&] { sink += ListBackups(game.Game(), game.BusiestUser()).size(); }, bareBackups);
    CompareWithBare("ListUsers", [&] { sink += ListUsers(game.Game()).size(); }, bareUsers);
    ComparePage(game, bareBackups, bareUsers);
    std::printf("\n(%zu entries listed in all)\n", sink);
    return 0;
}
