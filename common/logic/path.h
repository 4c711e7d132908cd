// The one rule for joining a folder and a file name, shared by the host and
// the modules.
#pragma once

// Name if Dir is empty; Dir + Name if Dir ends with "\"; else Dir + "\" +
// Name. False, with `out` empty, when the result does not fit in `size`:
// a cut path would name another file.
bool JoinPath(char* out, int size, const char* dir, const char* name);

// The directory part of `path` up to and including its last "\" or ":";
// empty when there is neither.
void DirectoryOf(const char* path, char* out, int size);
