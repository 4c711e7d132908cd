// Whether a candidate file beside the program may be loaded at all: its
// export table and processor, read from the file without running any of it.
#pragma once

// True for a file of at most kModuleFileLimit bytes, built for this host's
// processor, that exports GetName and ExecWinVer. Any file that
// cannot be opened or read whole gives false.
bool IsModuleFile(const char* path);

// A module library is small; anything larger is no module of ours, and is
// not read into memory to find that out.
enum { kModuleFileLimit = 16 * 1024 * 1024 };
