// Another program for the backup file tests: "hold <file>" keeps a file open
// without sharing until it is killed; "copy <game>" copies user A's save over
// its backup Keep once.
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
    if (argc == 3 && std::wstring_view(argv[1]) == L"copy") {
        const GameFolder game(argv[2]);
        return CopyFileContents(*game.UserFile(L"A"), *game.BackupFile(L"A", L"Keep")) ? 0 : 1;
    }
    return 2;
}
