// The settings record, byte for byte the content of Brindlecap.ini:
// 23 bytes, packed, little-endian, no header, no checksum.
#pragma once
#include <stdint.h>

#pragma pack(push, 1)
struct TSettings {
    uint16_t AutoCleanInterval;  // minutes; 0 = no automatic cleaning
    uint16_t ManualCleanAmount;  // MB, the main dialog's last amount
    uint8_t AutoCleanPercent;    // % of physical memory per automatic run
    uint8_t CriticalLoadPercent; // memory use above which critical cleaning fires
    uint8_t CriticalCleanPercent;
    uint8_t CpuLoadLimit; // critical cleaning only below this load
    uint8_t LogEnabled;
    uint8_t TrayIconMode; // 0..4
    uint8_t Reserved;     // kept as read
    uint16_t MainDialogLeft;
    uint16_t MainDialogTop;
    uint16_t InfoRefreshPeriod; // ms
    uint8_t InfoMonitoring;
    uint8_t InfoAlwaysOnTop;
    uint16_t InfoDialogLeft;
    uint16_t InfoDialogTop;
};
#pragma pack(pop)

enum { kSettingsSize = 23 };
static_assert(sizeof(TSettings) == kSettingsSize, "the settings file is 23 bytes");

// The values the record holds when a process starts.
constexpr TSettings kDefaultSettings = {30, 48, 45, 95, 25, 80, 1, 0, 1, 0, 0, 500, 0, 0, 0, 0};

// Applies the first `length` bytes of a settings file to `settings`, field by
// field: a field the bytes end inside takes the bytes there are (low byte
// first) and keeps the rest; later fields keep their values. Bytes after the
// 23rd are ignored. No value is checked.
void DecodeSettings(const uint8_t* bytes, uint32_t length, TSettings* settings);

// Copies every field as a whole (one store each), so that a thread reading
// single fields of `target` meanwhile never sees half of a 16-bit value.
void AssignSettings(TSettings* target, const TSettings& source);

// The 23 file bytes of `settings`.
void EncodeSettings(const TSettings& settings, uint8_t out[kSettingsSize]);
