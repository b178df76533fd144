// A DLL that leaves its mark, a file named after itself + ".mark", beside
// itself when a process loads it. Planted under the names of system DLLs; it
// needs nothing but kernel32, so that any of those names can be its own.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t mark[MAX_PATH + 8];
    const DWORD n = ::GetModuleFileNameW(self, mark, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return TRUE;
    ::lstrcpyW(mark + n, L".mark");
    const HANDLE file = ::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return TRUE;
}
