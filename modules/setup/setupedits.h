// What the settings dialog takes from its edits: the first few characters
// read as a number and cut to the field's width. No range check.
#pragma once
#include <stdint.h>

// At most `limit` characters of `text`, through ParseNumber, low 16 bits.
uint16_t EditValue16(const char* text, int limit);
// The same, low 8 bits.
uint8_t EditValue8(const char* text, int limit);
