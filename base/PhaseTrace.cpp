#include "base/PhaseTrace.h"

#ifdef TRELGATE_TRACE

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/Window.h"

namespace trelgate {
namespace {

// The process's creation and the precise clock are both in 100 ns units since 1601.
double MsSinceCreation()
{
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

std::vector<std::pair<double, const char*>>& Marks()
{
    static std::vector<std::pair<double, const char*>> marks;
    return marks;
}

} // namespace

void PhaseDone(const char* phase)
{
    const double at = MsSinceCreation();
    Marks().reserve(64);
    Marks().emplace_back(at, phase);
}

void WritePhases()
{
    std::wstring path = ModuleFileName();
    path.resize(path.rfind(L'\\') + 1);
    path += L"Trelgate.trace.txt";
    if (FILE* file = ::_wfopen(path.c_str(), L"w")) {
        for (const auto& [at, phase] : Marks())
            std::fprintf(file, "%.3f\t%s\n", at, phase);
        std::fclose(file);
    }
}

} // namespace trelgate

#endif
