#include "hoststrings.h"

#include "hostenv.h"

void LoadHostString(UINT id, char out[kStringBuffer])
{
    LoadUiString(HostInstance, id, out, kStringBuffer - 1);
}

void ShowHostError(UINT id)
{
    char text[kStringBuffer];
    LoadHostString(id, text);
    MessageBoxA(0, text, "Brindlecap", MB_OK | MB_ICONERROR);
}
