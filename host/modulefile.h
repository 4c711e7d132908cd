// Whether a candidate file beside the program may be loaded at all: its
// export table and processor, read from the file without running any of it.
#pragma once

// True for a file built for this host's processor that exports GetName and
// ExecWinVer, whatever its size. Only its headers and export tables are
// read, a few blocks of the file; any file that cannot be opened or read
// there gives false.
bool IsModuleFile(const char* path);
