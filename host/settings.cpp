#include "settings.h"

#include <windows.h>

#include "startup.h"

// Aligned so that the record never straddles a cache line: every field,
// even an odd-placed 16-bit one, is then read and written in one access.
alignas(32) TSettings Settings = kDefaultSettings;

void SettingsPath(char out[kPathBuffer]) { ProgramFile("Brindlecap.ini", out, kPathBuffer); }

void LoadSettings()
{
    char path[kPathBuffer];
    SettingsPath(path);
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    uint8_t bytes[kSettingsSize];
    DWORD total = 0;
    DWORD got = 0;
    while (total < kSettingsSize &&
           ReadFile(file, bytes + total, kSettingsSize - total, &got, nullptr) && got > 0)
        total += got;
    CloseHandle(file);
    TSettings fresh = Settings;
    DecodeSettings(bytes, total, &fresh);
    AssignSettings(&Settings, fresh);
}

void SaveSettings(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    uint8_t bytes[kSettingsSize];
    EncodeSettings(Settings, bytes);
    DWORD written;
    WriteFile(file, bytes, kSettingsSize, &written, nullptr);
    CloseHandle(file);
}
