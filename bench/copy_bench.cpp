// Times CopyFileContents on a 256 MiB save against CopyFileW followed by a
// flush of the copy, by turns in the same run, and measures the working set
// that the copy adds to the process.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Handle.h"
#include "users/BackupFiles.h"

using namespace trelgate;

namespace {

constexpr long long kSize = 256LL << 20;
constexpr int kRuns = 7;

double NowMs()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool WriteSource(const std::wstring& path)
{
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 31 + 7);
    for (long long done = 0; file && done < kSize; done += static_cast<long long>(block.size())) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr))
            return false;
    }
    return file && ::FlushFileBuffers(file.get());
}

// What the copy with its own flush stands against: the system's copy, then
// the same flush of the copy.
bool SystemCopy(const std::wstring& source, const std::wstring& target)
{
    if (!::CopyFileW(source.c_str(), target.c_str(), FALSE))
        return false;
    const UniqueFile file(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && ::FlushFileBuffers(file.get());
}

SIZE_T WorkingSet(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

// The launcher's copy of Agent's save over its backup "Ours" in the game folder game.
bool OurCopy(const std::wstring& game)
{
    const GameFolder folder(game);
    return CopyFileContents(*folder.UserFile(L"Agent"), *folder.BackupFile(L"Agent", L"Ours"));
}

// Run as a child of its own: one copy in a fresh process, so that the peak
// belongs to the copy alone. Prints the peak above the idle figure in bytes.
int MeasureMemory(const wchar_t* game)
{
    const SIZE_T idle = WorkingSet(false);
    if (!OurCopy(game))
        return 1;
    std::printf("%zu\n", static_cast<std::size_t>(WorkingSet(true) - idle));
    return 0;
}

// The peak working set the copy added in a child process, in MiB, or -1.
double ChildPeakMiB(const std::wstring& game)
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    const UniqueKernelHandle reader(readEnd);
    UniqueKernelHandle writer(writeEnd);
    ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + std::wstring(self) + L"\" memory \"" + game + L"\"";
    if (!::CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    writer.reset();
    std::string out;
    char buffer[64];
    DWORD read = 0;
    while (::ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        out.append(buffer, read);
    ::WaitForSingleObject(process.get(), INFINITE);
    return out.empty() ? -1 : std::stod(out) / (1 << 20);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"memory")
        return MeasureMemory(argv[2]);

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"trelgate-copy-bench-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring users = folder + L"\\users", backups = users + L"\\Agent", source = users + L"\\Agent.usr",
                       ours = backups + L"\\Ours.bak", theirs = backups + L"\\Theirs.bak";
    for (const std::wstring& made : {folder, users, backups})
        ::CreateDirectoryW(made.c_str(), nullptr);
    const auto cleanUp = [&] {
        for (const std::wstring& file : {source, ours, theirs})
            ::DeleteFileW(file.c_str());
        for (const std::wstring& made : {backups, users, folder})
            ::RemoveDirectoryW(made.c_str());
    };
    std::printf("Writing a %lld MiB save...\n", kSize >> 20);
    if (!WriteSource(source)) {
        std::printf("cannot write the save, error %lu\n", ::GetLastError());
        cleanUp();
        return 1;
    }

    std::vector<double> oursMs, theirsMs;
    // By turns, each copy going first every other turn, so that neither gains
    // from the other's warm cache or pays for its write-back.
    const auto timed = [](auto copy) {
        const double start = NowMs();
        const bool copied = copy();
        return copied ? NowMs() - start : -1.0;
    };
    for (int run = 0; run <= kRuns; ++run) { // the first turn of each only warms up
        const auto oursOnce = [&] { return timed([&] { return OurCopy(folder); }); };
        const auto theirsOnce = [&] { return timed([&] { return SystemCopy(source, theirs); }); };
        double oursTime, theirsTime;
        if (run % 2 == 0)
            oursTime = oursOnce(), theirsTime = theirsOnce();
        else
            theirsTime = theirsOnce(), oursTime = oursOnce();
        if (oursTime < 0 || theirsTime < 0) {
            std::printf("a copy failed, error %lu\n", ::GetLastError());
            cleanUp();
            return 1;
        }
        if (run > 0) {
            oursMs.push_back(oursTime);
            theirsMs.push_back(theirsTime);
        }
    }
    const double oursMedian = Median(oursMs), theirsMedian = Median(theirsMs);
    std::vector<double> ratios;
    for (int i = 0; i < kRuns; ++i)
        ratios.push_back(theirsMs[i] / oursMs[i]);
    const double peakMiB = ChildPeakMiB(folder);
    std::printf("median of %d turns each, by turns in one run:\n"
                "  CopyFileContents      %8.1f ms (temporary file, flush, replace)\n"
                "  CopyFileW + flush     %8.1f ms\n"
                "  speed ratio           %8.3f (CopyFileW + flush time / CopyFileContents time, median of the "
                "turns; aim >= 0.95)\n"
                "  peak working set      %8.2f MiB above idle during one copy in a fresh process (aim < 4)\n",
                kRuns, oursMedian, theirsMedian, Median(ratios), peakMiB);
    cleanUp();
    return 0;
}
