// The plug-in manager's decisions, apart from the system (its Win32 halves:
// modulescan and modules): which files are module candidates, which
// platform codes are taken, and the order of the "Модули" submenu.
#pragma once
#include <stdint.h>

enum { kModuleSlots = 10 };

// The last four characters of `name` (all of it when shorter), upper-cased
// in place by `upper` in a buffer of our own, compared with ".DLL".
typedef void (*TUpperCase)(char* text);
bool IsModuleFileName(const char* name, TUpperCase upper);

// Whether a module answering `value` from ExecWinVer is offered on
// `platformClass` (1 Win32s, 2 Windows 9x, 3 NT): 1 everywhere, 2 and 3
// only on their own family, anything else nowhere.
bool IsPlatformSupported(int32_t value, int platformClass);

// The filled slots as the submenu shows them, top to bottom: each is put on
// top in slot order, so the last slot ends first. Returns how many.
int ModuleMenuOrder(const bool filled[kModuleSlots], uint8_t order[kModuleSlots]);
