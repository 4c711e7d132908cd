// Brindlecap.ini: the host's copy of the settings record and its file.
#pragma once

#include "../common/logic/settingsfile.h"
#include "hostenv.h"

extern TSettings Settings;

// ProgramDir + "Brindlecap.ini", the one place the settings live.
void SettingsPath(char out[kPathBuffer]);
// Reads ProgramDir + "Brindlecap.ini" into Settings. A file that cannot be
// opened for reading and writing leaves the record as it is.
void LoadSettings();
// Writes the 23 bytes of Settings to `path`; failures are silent and a
// failed write leaves the file as it was.
void SaveSettings(const char* path);
// SaveSettings to SettingsPath.
void SaveSettingsFile();
