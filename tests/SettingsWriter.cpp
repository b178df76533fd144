// Saves the settings file over and over, each save one generation further,
// until the interrupted-save test kills it mid-write.
#include <windows.h>

#include <string>

#include "settings/SettingsFile.h"

using namespace trelgate;

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    const TSettingsFile file(argv[1]);
    for (;;) {
        TSettingsFile::Contents ini = file.Read();
        const int generation = std::stoi(ini.ReadString("Settings", "TrelanPath", L"gen 0").substr(4)) + 1;
        const std::wstring text = L"gen " + std::to_wstring(generation);
        ini.WriteString("Settings", "TrelanPath", text);
        ini.WriteString("Users", "CurrentUser", text);
        ini.WriteBool("Options", "DebugStart", generation % 2);
        file.Write(ini);
    }
}
