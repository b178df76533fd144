// Times the launcher from its process start to its window shown, against a
// bare program that shows one window, both started the same way in the same
// run and by turns; and prints the launcher's size.
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
// the class appears, then closes it and waits for the end; -1 on failure.
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
    HWND window = nullptr;
    while (!(window = ::FindWindowW(windowClass, nullptr)) || !::IsWindowVisible(window)) {
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
    const std::wstring launcher = game + L"\\Trelgate.exe", bare = game + L"\\bare_window.exe";
    for (const auto& [from, to] : {std::pair(bin + L"\\Trelgate.exe", launcher),
                                   std::pair(bin + L"\\Trelan.exe", game + L"\\Trelan.exe"),
                                   std::pair(bin + L"\\bare_window.exe", bare)})
        if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) {
            std::printf("cannot copy the programs into %ls\n", game.c_str());
            return 1;
        }

    std::vector<double> launcherMs, bareMs;
    for (int run = 0; run < kRuns; ++run) {
        const double l = TimeToWindow(launcher, game, L"TfrmMain"), b = TimeToWindow(bare, game, L"TrelgateBareWindow");
        if (l < 0 || b < 0) {
            std::printf("a program did not show its window\n");
            return 1;
        }
        launcherMs.push_back(l);
        bareMs.push_back(b);
    }
    const double l = Median(launcherMs), b = Median(bareMs);
    std::printf("Start to window shown, median of %d runs by turns:\n", kRuns);
    std::printf("  Trelgate.exe %8.1f ms   bare window %8.1f ms   ratio %5.2f (aim: at most 1.3)\n", l, b, l / b);

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(launcher.c_str(), GetFileExInfoStandard, &data);
    std::printf("Size of Trelgate.exe: %lu bytes, %.2f of 1 MiB (aim: under 1)\n", data.nFileSizeLow,
                data.nFileSizeLow / 1048576.0);

    for (const wchar_t* name : {L"\\Trelgate.exe", L"\\Trelan.exe", L"\\bare_window.exe", L"\\Trelgate.ini"})
        ::DeleteFileW((game + name).c_str());
    ::RemoveDirectoryW((game + L"\\users").c_str());
    ::RemoveDirectoryW(game.c_str());
    return 0;
}
