// Saves the settings file over and over, one generation further each time, until a test kills it.
#include <windows.h>

#include <string>

#include "settings/SettingsFile.h"

using namespace trelgate;

int wmain(int, wchar_t** argv)
{
    const TSettingsFile file(argv[1]);
    for (;;) {
        TSettingsFile::Contents ini = file.Read();
        const int generation = std::stoi(ini.ReadString("Settings", "TrelanPath", L"gen 0").substr(4)) + 1;
        const std::wstring text = L"gen " + std::to_wstring(generation);
        ini.WriteString("Settings", "TrelanPath", text);
        ini.WriteString("Users", "CurrentUser", text);
        file.Write(ini);
    }
}
