#include "launch/Process.h"

#include <windows.h>

#include <vector>

#include "base/Handle.h"

namespace trelgate {

namespace {

constexpr DWORD kWaitSliceMs = 4000;

} // namespace

bool RunAndWait(const std::wstring& executable, const std::wstring& commandLine)
{
    // Windows starts no program from a path of MAX_PATH or more, whatever the
    // manifest says, and Wine's process start breaks down on one: such a
    // start fails here, as it would in CreateProcessW.
    if (executable.size() >= MAX_PATH)
        return false;
    // CreateProcessW may write into the command line, so it gets a copy.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION created{};
    // Only a failed creation fails: a process handle is a small number and
    // says nothing by its value.
    if (!::CreateProcessW(executable.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &created))
        return false;
    UniqueKernelHandle process(created.hProcess), thread(created.hThread);

    // Nothing runs between the slices: the launcher stays still while the game runs.
    DWORD result = WAIT_TIMEOUT;
    while (result == WAIT_TIMEOUT)
        result = ::WaitForSingleObject(process.get(), kWaitSliceMs);
    process.reset();
    thread.reset();
    return result == WAIT_OBJECT_0;
}

} // namespace trelgate
