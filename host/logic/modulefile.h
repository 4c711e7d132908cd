// Reading a library file's processor and exported names from its bytes,
// without loading it: the plug-in scan asks this before it lets a file's
// start-up code run. The file is anybody's: every offset, count and RVA in
// it is checked against the bytes actually there.
#pragma once
#include <stdint.h>

enum : uint16_t {
    kMachineI386 = 0x14C,
    kMachineAmd64 = 0x8664,
};

// One bit per name of the plug-in contract.
enum : uint32_t {
    kExportGetName = 1,
    kExportGetDescription = 2,
    kExportInit = 4,
    kExportExecute = 8,
    kExportExecWinVer = 16,
    kContractExports = 31,
    // What lists a library: a name for the menu, a platform code to match.
    // A missing Init or Execute is the user's error box when picked.
    kListedExports = kExportGetName | kExportExecWinVer,
};

struct TPeExports {
    uint16_t Machine;   // the file header's machine field
    uint32_t Contract;  // the kExport bits whose names the file exports
    uint32_t NameCount; // names in its export table (0 without one)
};

// Where the reader takes a file's bytes from: the headers, the section
// table, the export directory, its name tables and names, a few hundred
// bytes in all, never the whole file. `Read` copies `length` bytes at
// `offset` (a range inside `Size`, which the reader checks first) into
// `into`; false when it cannot.
struct TPeSource {
    uint32_t Size;
    bool (*Read)(void* context, uint32_t offset, uint32_t length, uint8_t* into);
    void* Context;
};

// False when the file is no PE image this reader can follow to its end: no
// MZ or PE signature, an optional header that does not suit its machine, a
// header, section or export table that lies (even in part) outside the
// file, or a read that fails. A file without an export table reads as true
// with no names.
bool ReadPeExports(const TPeSource& source, TPeExports* out);
// The same for `file` of `size` bytes in memory.
bool ReadPeExports(const uint8_t* file, uint32_t size, TPeExports* out);

// True only for a readable image built for `machine` that exports GetName
// and ExecWinVer, each from its own code (not forwarded elsewhere).
bool IsModuleImage(const TPeSource& source, uint16_t machine);
bool IsModuleImage(const uint8_t* file, uint32_t size, uint16_t machine);
