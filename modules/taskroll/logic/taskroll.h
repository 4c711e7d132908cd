// What the process list decides and formats, apart from the system: thread
// priorities, the names of priority classes, hexadecimal ids and the file
// name of an executable.
#pragma once
#include <stdint.h>

#include "../resource.h" // the string ids of the priority class names

// The module list's columns: name, usage count, size. Given the list's
// width and the width each column's texts need (pixels), the count and the
// size get what they need and the name the rest, never less than its need.
enum { kModuleColumns = 3 };
void ModuleColumnWidths(int listWidth, const int needed[kModuleColumns],
                        int widths[kModuleColumns]);

// Base + delta, kept within the band the base belongs to: 1 to 15 for a
// variable base, 16 to 31 for a real-time one.
int32_t ThreadPriority(int32_t base, int32_t delta);

// The string id naming `priority`: the class whose own value it is, or the
// class whose range holds it, with *between set (shown with " *").
int PriorityNameId(int32_t priority, bool* between);

// "0x" and 8 upper-case hexadecimal digits; `out` holds 11 chars.
int FormatHex(uint32_t value, char* out);

// "0x<thread id>  <priority> <name>", cut to fit `size`.
int FormatThreadLine(uint32_t threadId, int32_t priority, const char* name, char* out, int size);

// The part of `exeFile` after its last backslash or colon (all of it when it
// has none). The system's record holds `size` chars and may lack its end:
// only those are read, and `out` (of `size` chars) is always terminated.
void ExeFileName(const char* exeFile, int size, char* out);

// The question asked before a process is ended: `pattern` with its first
// "%s" replaced by `name`, cut to fit `size`. Returns the length.
int FormatEndQuestion(const char* pattern, const char* name, char* out, int size);

// Whether two of the system's executable file texts (records of `size`
// chars, perhaps without their end) name the same file.
bool SameExeFile(const char* a, const char* b, int size);

// What "Завершить" does once the user has agreed, for the process the list
// showed as (`pid`, `chosen`) and whatever holds `pid` now (`current`, 0
// when nothing does). The host ends only through its own exit; a process
// ID taken over by another program ends nothing.
enum TEndAction { EndNothing, EndHost, EndProcess };
TEndAction ChooseEndAction(uint32_t pid, uint32_t ownPid, const char* chosen, const char* current,
                           int size);
