#include "modules.h"

#include "../../common/logic/text.h"

bool IsModuleFileName(const char* name, TUpperCase upper)
{
    int length = TextLength(name);
    char tail[5];
    CopyText(tail, sizeof tail, length > 4 ? name + length - 4 : name);
    // Upper-casing changes letters only: without the dot there is nothing
    // to ask the system (most names in a program folder's tree).
    if (tail[0] != '.')
        return false;
    upper(tail);
    return TextEquals(tail, ".DLL");
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
