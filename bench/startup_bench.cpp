// Times the launcher from its process start to its window shown, against a
// bare program that shows one window and against the same program with the
// common controls loaded, all started the same way in the same run and by
// turns: on an idle machine and again while a CPU-bound process runs beside.
// Each condition also gives the peak working set at the window shown, and the
// phases of the start as the trace build (Trelgate_trace.exe) notes them.
// Then each page's first showing against its later ones, and the size.
//
// "startup_bench idle", "loaded", "pages" or "size" runs one part only.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/Handle.h"
#include "base/Window.h"
#include "resources/Layout.h"
#include "settings/PathRules.h"

using namespace trelgate;

namespace {

constexpr int kRuns = 21;
constexpr int kPageStarts = 7, kPageRounds = 5;

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

// Milliseconds of the system clock, which the process's creation time is on.
double ClockMs(const FILETIME& t)
{
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
}
double ClockNowMs()
{
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return ClockMs(now);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A program started in a folder, up to its window shown.
struct Started {
    UniqueKernelHandle process, thread;
    DWORD id = 0;
    HWND window = nullptr;
    double shownMs = -1;      // from the call that starts it
    double createdMs = 0;     // when the system made the process, from the same call
    double peakMiB = 0;       // peak working set when the window was seen shown
};

// Starts exe in folder and waits until a visible window of the class appears
// in that process; shownMs stays -1 on failure.
Started Start(const std::wstring& exe, const std::wstring& folder, const wchar_t* windowClass)
{
    Started s;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + exe + L"\"";
    const double clockStart = ClockNowMs(), start = NowMs();
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &info))
        return s;
    s.process.reset(info.hProcess);
    s.thread.reset(info.hThread);
    s.id = info.dwProcessId;
    const auto shownWindow = [&]() -> HWND {
        for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, windowClass, nullptr));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            if (owner == info.dwProcessId && ::IsWindowVisible(w))
                return w;
        }
        return nullptr;
    };
    while (!(s.window = shownWindow())) {
        if (::WaitForSingleObject(s.process.get(), 1) != WAIT_TIMEOUT || NowMs() - start > 30000)
            return s;
    }
    s.shownMs = NowMs() - start;
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    if (::GetProcessMemoryInfo(s.process.get(), &memory, sizeof memory))
        s.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0;
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(s.process.get(), &created, &exited, &kernel, &user);
    s.createdMs = ClockMs(created) - clockStart;
    return s;
}

void Close(Started& s)
{
    if (s.window)
        ::PostMessageW(s.window, WM_CLOSE, 0, 0);
    // Ended, not only asked to: the next start must not meet this one's lock.
    if (::WaitForSingleObject(s.process.get(), 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(s.process.get(), 1);
        ::WaitForSingleObject(s.process.get(), 30000);
    }
}

// The programs, copied into a game folder as a player has the launcher.
struct Folder {
    std::wstring game, launcher, trace, bare, bareCc, bareCcTrace;
};

// The phases the trace build noted in one run, from the call that started it:
// "milliseconds<TAB>phase" lines.
using Phases = std::map<std::string, std::vector<double>>;
void ReadPhases(const std::wstring& file, double createdMs, Phases& phases)
{
    FILE* in = ::_wfopen(file.c_str(), L"r");
    if (!in)
        return;
    char line[256];
    while (std::fgets(line, sizeof line, in)) {
        char* tab = std::strchr(line, '\t');
        if (!tab)
            continue;
        std::string phase(tab + 1);
        while (!phase.empty() && (phase.back() == '\n' || phase.back() == '\r'))
            phase.pop_back();
        phases[phase].push_back(createdMs + std::atof(line));
    }
    std::fclose(in);
    ::DeleteFileW(file.c_str());
}

void PrintPhases(const Phases& phases, double bare, double bareCc)
{
    std::vector<std::pair<double, std::string>> rows;
    for (const auto& [phase, times] : phases)
        rows.emplace_back(Median(times), phase);
    rows.emplace_back(bare, "(bare window shown)");
    rows.emplace_back(bareCc, "(bare window with the common controls shown)");
    std::sort(rows.begin(), rows.end());
    std::printf("  Phases of Trelgate_trace.exe, median ms from the start call (step from its previous phase), and "
                "bare_window_cc_trace.exe's beside:\n");
    double previous = 0;
    for (const auto& [at, phase] : rows) {
        const bool baseline = phase.front() == '(' || phase.starts_with("bare");
        std::printf("    %8.1f  %s%6.1f%s  %s\n", at, baseline ? " " : "(", baseline ? 0.0 : at - previous,
                    baseline ? " " : ")", phase.c_str());
        if (!baseline)
            previous = at;
    }
}

// Busy on one core until ended: the load beside the "loaded" figures.
[[noreturn]] void Spin()
{
    volatile unsigned long long n = 0;
    for (;;)
        n = n + 1;
}

// Start to window shown and the peak working set, by turns, with the trace
// build's phases from runs in the same turns.
bool MeasureStart(const Folder& f, const char* condition)
{
    std::vector<double> launcherMs, bareMs, bareCcMs, launcherMiB, bareCcMiB;
    Phases phases;
    for (int run = 0; run < kRuns; ++run) {
        Started l = Start(f.launcher, f.game, L"TfrmMain");
        Close(l);
        Started b = Start(f.bare, f.game, L"TrelgateBareWindow");
        Close(b);
        Started c = Start(f.bareCc, f.game, L"TrelgateBareWindow");
        Close(c);
        Started t = Start(f.trace, f.game, L"TfrmMain");
        Close(t);
        ReadPhases(f.game + L"\\Trelgate.trace.txt", t.createdMs, phases);
        Started ct = Start(f.bareCcTrace, f.game, L"TrelgateBareWindow");
        Close(ct);
        ReadPhases(f.game + L"\\Trelgate.trace.txt", ct.createdMs, phases);
        if (l.shownMs < 0 || b.shownMs < 0 || c.shownMs < 0 || t.shownMs < 0 || ct.shownMs < 0) {
            std::printf("a program did not show its window (%.0f %.0f %.0f %.0f %.0f)\n", l.shownMs, b.shownMs,
                        c.shownMs, t.shownMs, ct.shownMs);
            return false;
        }
        launcherMs.push_back(l.shownMs);
        bareMs.push_back(b.shownMs);
        bareCcMs.push_back(c.shownMs);
        launcherMiB.push_back(l.peakMiB);
        bareCcMiB.push_back(c.peakMiB);
        phases["(process created)"].push_back(t.createdMs);
        phases["(seen shown by the benchmark)"].push_back(t.shownMs);
    }
    const double l = Median(launcherMs), b = Median(bareMs), c = Median(bareCcMs);
    std::printf("Start to window shown, %s, median of %d runs by turns:\n", condition, kRuns);
    std::printf("  Trelgate.exe %8.1f ms   bare window %8.1f ms   ratio %5.2f (aim: at most 1.3)\n", l, b, l / b);
    std::printf("  bare window with the common controls %8.1f ms   ratio %5.2f (aim: at most 1.2)\n", c, l / c);
    const double lm = Median(launcherMiB), cm = Median(bareCcMiB);
    std::printf("  peak working set at the window shown: %6.2f MiB, with the common controls %6.2f MiB, ratio %5.2f "
                "(aim: at most 1.5)\n",
                lm, cm, lm / cm);
    PrintPhases(phases, b, c);
    return true;
}

bool MeasureLoaded(const Folder& f)
{
    // This program again, busy on one core for as long as the measurement runs.
    std::wstring self = ModuleFileName(), line = L"\"" + self + L"\" spin";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("cannot start the load\n");
        return false;
    }
    const UniqueKernelHandle spinner(info.hProcess), spinnerThread(info.hThread);
    ::Sleep(500);
    const bool measured = MeasureStart(f, "with a CPU-bound process beside");
    ::TerminateProcess(spinner.get(), 0);
    ::WaitForSingleObject(spinner.get(), 5000);
    return measured;
}

// Switches the page as a click on its tab does, and returns the milliseconds
// until the window has painted it.
double ShowPage(HWND window, HWND tabs, layout::Ctl page)
{
    const double start = NowMs();
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, layout::TabIndex(page), 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return NowMs() - start;
}

// Each page's first showing, a player's first click after the window came
// up, against its later showings in the same run.
bool MeasurePages(const Folder& f)
{
    using enum layout::Ctl;
    constexpr layout::Ctl kOrder[] = {tabOptions, tabSettings, tabAbout, tabUsers};
    std::map<layout::Ctl, std::vector<double>> first, later;
    for (int start = 0; start < kPageStarts; ++start) {
        Started l = Start(f.launcher, f.game, L"TfrmMain");
        if (l.shownMs < 0) {
            DWORD code = 0;
            ::GetExitCodeProcess(l.process.get(), &code);
            std::printf("the launcher did not show its window (exit code %lu)\n", code);
            return false;
        }
        ::WaitForInputIdle(l.process.get(), 5000);
        ::Sleep(300);
        HWND tabs = nullptr;
        ::EnumChildWindows(
            l.window,
            [](HWND child, LPARAM found) {
                if (::GetDlgCtrlID(child) != static_cast<int>(PageControl))
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&tabs));
        // At a player's pace: each showing from a window at rest, not waiting
        // for the drawing of the one before to reach the display.
        for (int round = 0; round < kPageRounds; ++round)
            for (layout::Ctl page : kOrder) {
                (round == 0 ? first : later)[page].push_back(ShowPage(l.window, tabs, page));
                ::Sleep(150);
            }
        Close(l);
    }
    std::printf("A page's first showing against its later ones, median of %d starts:\n", kPageStarts);
    for (layout::Ctl page : kOrder) {
        const double a = Median(first[page]), b = Median(later[page]);
        std::printf("  %-16s first %6.2f ms   later %6.2f ms   ratio %5.2f (aim: at most 1.2)\n",
                    page == tabOptions    ? "Startup Options"
                    : page == tabSettings ? "Settings"
                    : page == tabAbout    ? "Credits"
                                          : "User Manager",
                    a, b, a / b);
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring part = argc > 1 ? argv[1] : L"";
    if (part == L"spin")
        Spin();
    const std::wstring bin = FolderOf(ModuleFileName());
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    Folder f;
    f.game = std::wstring(temp) + L"trelgate-startup-" + std::to_wstring(::GetCurrentProcessId());
    f.launcher = f.game + L"\\Trelgate.exe";
    f.trace = f.game + L"\\Trelgate_trace.exe";
    f.bare = f.game + L"\\bare_window.exe";
    f.bareCc = f.game + L"\\bare_window_cc.exe";
    f.bareCcTrace = f.game + L"\\bare_window_cc_trace.exe";
    ::CreateDirectoryW(f.game.c_str(), nullptr);
    ::CreateDirectoryW((f.game + L"\\users").c_str(), nullptr);
    const wchar_t* const programs[] = {L"\\Trelgate.exe", L"\\Trelgate_trace.exe", L"\\Trelan.exe",
                                       L"\\bare_window.exe", L"\\bare_window_cc.exe", L"\\bare_window_cc_trace.exe"};
    for (const wchar_t* name : programs)
        if (!::CopyFileW((bin + name).c_str(), (f.game + name).c_str(), FALSE)) {
            std::printf("cannot copy the programs into %ls\n", f.game.c_str());
            return 1;
        }

    bool ok = true;
    if (ok && (part.empty() || part == L"idle"))
        ok = MeasureStart(f, "idle");
    if (ok && (part.empty() || part == L"loaded"))
        ok = MeasureLoaded(f);
    if (ok && (part.empty() || part == L"pages"))
        ok = MeasurePages(f);
    if (ok && (part.empty() || part == L"size")) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(f.launcher.c_str(), GetFileExInfoStandard, &data);
        std::printf("Size of Trelgate.exe: %lu bytes, %.2f of 1 MiB (aim: under 1)\n", data.nFileSizeLow,
                    data.nFileSizeLow / 1048576.0);
    }

    for (const wchar_t* name : programs)
        ::DeleteFileW((f.game + name).c_str());
    for (const wchar_t* name : {L"\\Trelgate.ini", L"\\Trelgate.trace.txt"})
        ::DeleteFileW((f.game + name).c_str());
    ::RemoveDirectoryW((f.game + L"\\users").c_str());
    ::RemoveDirectoryW(f.game.c_str());
    return ok ? 0 : 1;
}
