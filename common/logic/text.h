// Bounded zero-terminated text operations (the product links no C runtime).
#pragma once
#include <stdint.h>

int TextLength(const char* text);
bool TextEquals(const char* a, const char* b);
// Copies as much of `source` as fits; `out` is always terminated when size > 0.
// Returns the length of the result.
int CopyText(char* out, int size, const char* source);
// Appends as much of `source` as fits; returns the length of the result.
int AppendText(char* out, int size, const char* source);
