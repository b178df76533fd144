// Times the launcher from its process start to its window shown, against a
// bare program that shows one window and against the same program with the
// common controls loaded, all started the same way in the same run and by
// turns; and prints the launcher's size.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Handle.h"
#include "base/Window.h"
#include "settings/PathRules.h"

using namespace trelgate;

namespace {

constexpr int kRuns = 21;

double NowMs()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts exe in folder, returns the milliseconds until a visible window of
// the class appears in that process, then closes it and waits for the end;
// -1 on failure.
double TimeToWindow(const std::wstring& exe, const std::wstring& folder, const wchar_t* windowClass)
{
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + exe + L"\"";
    const double start = NowMs();
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &info))
        return -1;
    const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    const auto shownWindow = [&]() -> HWND {
        for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, windowClass, nullptr));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            if (owner == info.dwProcessId && ::IsWindowVisible(w))
                return w;
        }
        return nullptr;
    };
    HWND window = nullptr;
    while (!(window = shownWindow())) {
        if (::WaitForSingleObject(process.get(), 1) != WAIT_TIMEOUT || NowMs() - start > 30000)
            return -1;
    }
    const double shown = NowMs() - start;
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.get(), 30000);
    return shown;
}

} // namespace

int wmain()
{
    const std::wstring bin = FolderOf(ModuleFileName());
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring game = std::wstring(temp) + L"trelgate-startup-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(game.c_str(), nullptr);
    ::CreateDirectoryW((game + L"\\users").c_str(), nullptr);
    const std::wstring launcher = game + L"\\Trelgate.exe", bare = game + L"\\bare_window.exe",
                       bareCc = game + L"\\bare_window_cc.exe";
    for (const wchar_t* name : {L"\\Trelgate.exe", L"\\Trelan.exe", L"\\bare_window.exe", L"\\bare_window_cc.exe"})
        if (!::CopyFileW((bin + name).c_str(), (game + name).c_str(), FALSE)) {
            std::printf("cannot copy the programs into %ls\n", game.c_str());
            return 1;
        }

    // By turns, so that a change in the machine's load falls on all three alike.
    std::vector<double> launcherMs, bareMs, bareCcMs;
    for (int run = 0; run < kRuns; ++run) {
        const double l = TimeToWindow(launcher, game, L"TfrmMain"), b = TimeToWindow(bare, game, L"TrelgateBareWindow"),
                     c = TimeToWindow(bareCc, game, L"TrelgateBareWindow");
        if (l < 0 || b < 0 || c < 0) {
            std::printf("a program did not show its window\n");
            return 1;
        }
        launcherMs.push_back(l);
        bareMs.push_back(b);
        bareCcMs.push_back(c);
    }
    const double l = Median(launcherMs), b = Median(bareMs), c = Median(bareCcMs);
    std::printf("Start to window shown, median of %d runs by turns:\n", kRuns);
    std::printf("  Trelgate.exe %8.1f ms   bare window %8.1f ms   ratio %5.2f (aim: at most 1.3)\n", l, b, l / b);
    std::printf("  bare window with the common controls %8.1f ms: the launcher's own share %5.2f\n", c, l / c);

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(launcher.c_str(), GetFileExInfoStandard, &data);
    std::printf("Size of Trelgate.exe: %lu bytes, %.2f of 1 MiB (aim: under 1)\n", data.nFileSizeLow,
                data.nFileSizeLow / 1048576.0);

    for (const wchar_t* name :
         {L"\\Trelgate.exe", L"\\Trelan.exe", L"\\bare_window.exe", L"\\bare_window_cc.exe", L"\\Trelgate.ini"})
        ::DeleteFileW((game + name).c_str());
    ::RemoveDirectoryW((game + L"\\users").c_str());
    ::RemoveDirectoryW(game.c_str());
    return 0;
}
