#include "settingsfile.h"

bool ReadSettingsFile(const char* path, TSettings* settings)
{
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint8_t bytes[kSettingsSize];
    DWORD total = 0;
    DWORD got = 0;
    while (total < kSettingsSize &&
           ReadFile(file, bytes + total, kSettingsSize - total, &got, nullptr) && got > 0)
        total += got;
    CloseHandle(file);
    DecodeSettings(bytes, total, settings);
    return true;
}

TSettingsWrite WriteSettingsFile(const char* path, const TSettings& settings)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SettingsNotOpened;
    uint8_t bytes[kSettingsSize];
    EncodeSettings(settings, bytes);
    DWORD written = 0;
    bool whole =
        WriteFile(file, bytes, kSettingsSize, &written, nullptr) && written == kSettingsSize;
    // Bytes left after the record by an older, longer file are never read,
    // so a failure to cut them off does not make the save a failure.
    if (whole)
        SetEndOfFile(file);
    CloseHandle(file);
    return whole ? SettingsWritten : SettingsWriteFailed;
}
