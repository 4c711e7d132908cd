// The autostart value's registry access. A key path may start with one
// backslash, which is dropped; a key is opened with only the access the
// call needs (a user who may read the machine's key may not write it), and
// never created.
#pragma once
#include <windows.h>

bool RegWriteString(HKEY root, const char* keyPath, const char* valueName, const char* data);
bool RegRemoveValue(HKEY root, const char* keyPath, const char* valueName);
// A text value (REG_SZ or REG_EXPAND_SZ, unexpanded) into `out` of `size`
// bytes, zero-terminated; false for any other type, or one that does not fit.
bool RegReadString(HKEY root, const char* keyPath, const char* valueName, char* out, DWORD size);
