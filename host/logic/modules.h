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

// The folders the scan has entered, by their 64-bit file index: a lookup
// and an addition take time logarithmic in their number, in whatever order
// the indexes come (a file system hands out rising ones). A balanced tree
// (left-leaning red-black) over a table of nodes that the caller owns and
// grows; folders of one index on several volumes share one tree node.
struct TFolderNode {
    uint64_t Index;
    int32_t Left, Right; // -1: none
    int32_t Same;        // the next node of the same index, -1: none
    bool Red;
};
struct TFolderTree {
    TFolderNode* Nodes; // room for Count + 1 nodes before each AddFolder
    int32_t Count;
    int32_t Root; // -1 when empty
};

// The first node with `index`, -1 for none; Same leads to the others.
int32_t FindFolder(const TFolderTree& tree, uint64_t index);
// Adds node number Count, of `index`.
void AddFolder(TFolderTree* tree, uint64_t index);
