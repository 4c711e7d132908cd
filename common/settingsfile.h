// Brindlecap.ini on disk, for the host and the settings module alike.
#pragma once
#include <windows.h>

#include "logic/settingsfile.h"

// Applies the file at `path` to `settings` (the partial-read rule of
// DecodeSettings). False, and `settings` untouched, when the file cannot be
// opened for reading and writing.
bool ReadSettingsFile(const char* path, TSettings* settings);

enum TSettingsWrite {
    SettingsNotOpened,   // the file could not be opened or created: nothing changed
    SettingsWriteFailed, // opened, but the record did not go down whole
    SettingsWritten,
};
// Writes the 23 bytes of `settings` to `path`. The record goes over the
// existing bytes in one write and only then is the file cut after it, so a
// write that fails leaves the old file as it was, never a short or
// half-new one (truncating first would lose it).
TSettingsWrite WriteSettingsFile(const char* path, const TSettings& settings);
