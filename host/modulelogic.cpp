#include "modulelogic.h"

#include "../common/text.h"

bool IsModuleFileName(const char* name, TUpperCase upper)
{
    int length = TextLength(name);
    char tail[5];
    CopyText(tail, sizeof tail, length > 4 ? name + length - 4 : name);
    upper(tail);
    return TextEquals(tail, ".DLL");
}

bool JoinPath(char* out, int size, const char* dir, const char* name)
{
    if (size <= 0)
        return false;
    int dirLength = TextLength(dir);
    bool separator = dirLength > 0 && dir[dirLength - 1] != '\\';
    if (dirLength + (separator ? 1 : 0) + TextLength(name) >= size) {
        out[0] = 0;
        return false;
    }
    CopyText(out, size, dir);
    if (separator)
        AppendText(out, size, "\\");
    AppendText(out, size, name);
    return true;
}

bool IsPlatformSupported(int32_t value, int platformClass)
{
    if (value == 1)
        return true;
    return (value == 2 || value == 3) && value == platformClass;
}

int ModuleMenuOrder(const bool filled[kModuleSlots], uint8_t order[kModuleSlots])
{
    int count = 0;
    for (int slot = kModuleSlots - 1; slot >= 0; --slot)
        if (filled[slot])
            order[count++] = uint8_t(slot);
    return count;
}
