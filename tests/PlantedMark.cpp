// Planted under system DLLs' names: once loaded, it leaves "<its own path>.mark" beside itself.
// It needs nothing but kernel32, so that any of those names can be its own.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    wchar_t mark[MAX_PATH + 8];
    if (reason == DLL_PROCESS_ATTACH && ::GetModuleFileNameW(self, mark, MAX_PATH)) {
        ::lstrcatW(mark, L".mark"); // the name is cut short rather than run over
        ::CloseHandle(::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
