#include "settingsfile.h"

// The record is packed and little-endian like the file, so reading field by
// field, low byte first, comes down to taking the file's bytes in order: a
// short file fills the bytes it has, even half a 16-bit field.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the record is stored little-endian");

void DecodeSettings(const uint8_t* bytes, uint32_t length, TSettings* settings)
{
    uint8_t* record = reinterpret_cast<uint8_t*>(settings);
    for (uint32_t i = 0; i < length && i < kSettingsSize; ++i)
        record[i] = bytes[i];
}

void EncodeSettings(const TSettings& settings, uint8_t out[kSettingsSize])
{
    const uint8_t* record = reinterpret_cast<const uint8_t*>(&settings);
    for (uint32_t i = 0; i < kSettingsSize; ++i)
        out[i] = record[i];
}

void AssignSettings(TSettings* target, const TSettings& source)
{
    volatile TSettings* t = target;
    t->AutoCleanInterval = source.AutoCleanInterval;
    t->ManualCleanAmount = source.ManualCleanAmount;
    t->AutoCleanPercent = source.AutoCleanPercent;
    t->CriticalLoadPercent = source.CriticalLoadPercent;
    t->CriticalCleanPercent = source.CriticalCleanPercent;
    t->CpuLoadLimit = source.CpuLoadLimit;
    t->LogEnabled = source.LogEnabled;
    t->TrayIconMode = source.TrayIconMode;
    t->Reserved = source.Reserved;
    t->MainDialogLeft = source.MainDialogLeft;
    t->MainDialogTop = source.MainDialogTop;
    t->InfoRefreshPeriod = source.InfoRefreshPeriod;
    t->InfoMonitoring = source.InfoMonitoring;
    t->InfoAlwaysOnTop = source.InfoAlwaysOnTop;
    t->InfoDialogLeft = source.InfoDialogLeft;
    t->InfoDialogTop = source.InfoDialogTop;
}
