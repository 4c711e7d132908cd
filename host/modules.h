// The plug-in modules found beside the program: the table of those that
// suit this platform, their loading for use and unloading, and their menu
// entries. The host's side of the plug-in contract (modules/frame/frame.h);
// the folder walk is modulescan's, the rules logic/modules'.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "logic/modules.h"

// The host's record of one module.
struct TPluginModule {
    uint8_t Id;     // slot index: the menu command id and Init's ModuleIndex
    HMODULE Handle; // while loaded for use
    HWND Window;    // what Execute returned
    uint8_t Active; // 1 from Execute until the closing notification
    char* Name;     // the host's copy of GetName's text
    char* Path;     // the library file, as the scan found it
};

extern TPluginModule* Modules[kModuleSlots]; // filled from slot 0 on
extern int ModuleCount;

// Scans ProgramDir and the folders below it: every library that answers
// GetName and an ExecWinVer this platform takes gets the next slot.
void LoadModules();
// Loads the module for use (unless open) and calls its Init; false when the
// library cannot be loaded or has no Init.
bool InitModule(TPluginModule* module);
// Calls Execute (or raises the open dialog); false when there is no Execute
// or it made no dialog. A failed Init or Execute leaves the library unloaded.
bool ExecuteModule(TPluginModule* module);
// The module's dialog has closed: its library is released by the next
// ReleaseClosedModules.
void ModuleClosed(int index);
// Releases the libraries of closed modules. Only where no module code can
// be under the caller: the top of the message loop, after a dispatch.
void ReleaseClosedModules();
// The shutdown's part while messages still flow: destroys the modules' open
// dialogs and keeps their libraries.
void CloseModuleDialogs();
// After the message loop: closes what is still open, releases every library
// and every record.
void UnloadModules();
// Puts the module names on top of the "Модули" submenu, the last slot first,
// each with its slot index as command id.
void AddModulesToMenu(HMENU menu);
