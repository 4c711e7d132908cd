// What the settings dialog takes from its edits: the first few characters
// read as a number and cut to the field's width, and the rule that refuses
// a field before anything is saved.
#pragma once
#include <stdint.h>

// At most `limit` characters of `text`, through ParseNumber, low 16 bits.
uint16_t EditValue16(const char* text, int limit);
// The same, low 8 bits.
uint8_t EditValue8(const char* text, int limit);

// One numeric edit: its control, the characters it takes, the values it
// accepts and the string that names it and them when it refuses.
struct TEditField {
    int Id;
    int Limit;
    int Lowest;
    int Highest;
    int Message;
};

enum { kEditFieldCount = 6 };
// Top to bottom, as the user reads the dialog.
extern const TEditField kEditFields[kEditFieldCount];

// True for 1 to `Limit` digits and nothing else, within Lowest..Highest.
bool EditAccepts(const char* text, const TEditField& field);
// The index in kEditFields of the first field whose text (texts[i] for
// kEditFields[i]) is refused; -1 when all are accepted.
int FirstRefusedEdit(const char* const texts[kEditFieldCount]);

// The autostart value's data for `program`: its path in double quotes, so
// that a path with a space starts this program and nothing before it.
// False when that does not fit `size` characters with the zero.
bool QuotedCommand(char* out, int size, const char* program);

// Paths compared as the file system does (case aside), by the caller.
typedef bool (*TSamePath)(const char* a, const char* b);
// Whether autostart value `data` starts `program`: its path, quoted or not.
bool CommandNames(const char* data, const char* program, TSamePath same);

// What an "OK" does to the autostart values, from whether it is wanted and
// whether the machine's and the user's value start this program now. Only a
// change writes; the user's value is never written while the machine's
// starts the program (two values, two starts at logon), and a duplicate
// left from before goes.
enum : uint8_t {
    AutostartWriteMachine = 1, // and, where that fails, the user's value
    AutostartRemoveMachine = 2,
    AutostartRemoveUser = 4,
};
uint8_t PlanAutostart(bool wanted, bool machineStarts, bool userStarts);
