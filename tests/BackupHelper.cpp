// Another program for the backup file tests: "hold <file>" keeps a file open
// without sharing until it is killed; "copy <source> <target>" copies once.
#include <windows.h>

#include <string_view>

#include "base/Handle.h"
#include "users/BackupFiles.h"

int wmain(int argc, wchar_t** argv)
{
    using namespace trelgate;
    if (argc == 3 && std::wstring_view(argv[1]) == L"hold") {
        const UniqueFile file(::CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ::Sleep(INFINITE);
    }
    if (argc == 4 && std::wstring_view(argv[1]) == L"copy")
        return CopyFileContents(argv[2], argv[3]) ? 0 : 1;
    return 2;
}
