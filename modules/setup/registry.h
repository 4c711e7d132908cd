// The autostart value's registry access. A key path may start with one
// backslash, which is dropped; the key is opened with full access, even
// only to look, and never created.
#pragma once
#include <windows.h>

bool RegWriteString(HKEY root, const char* keyPath, const char* valueName, const char* data);
bool RegRemoveValue(HKEY root, const char* keyPath, const char* valueName);
// True for a value of any type.
bool RegValueExists(HKEY root, const char* keyPath, const char* valueName);
