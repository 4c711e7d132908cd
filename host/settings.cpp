#include "settings.h"

#include <windows.h>

#include "../common/settingsfile.h"

// Aligned so that the record never straddles a cache line: every field,
// even an odd-placed 16-bit one, is then read and written in one access.
alignas(32) TSettings Settings = kDefaultSettings;

void SettingsPath(char out[kPathBuffer]) { ProgramFile("Brindlecap.ini", out, kPathBuffer); }

void LoadSettings()
{
    char path[kPathBuffer];
    SettingsPath(path);
    TSettings fresh = Settings;
    if (ReadSettingsFile(path, &fresh))
        AssignSettings(&Settings, fresh);
}

void SaveSettings(const char* path) { WriteSettingsFile(path, Settings); }

void SaveSettingsFile()
{
    char path[kPathBuffer];
    SettingsPath(path);
    SaveSettings(path);
}
