#include "aboutdialog.h"

int HelpFileOrder(bool hlpPresent, const char* names[kMaxHelpFiles])
{
    int count = 0;
    if (hlpPresent)
        names[count++] = "brindlecap.hlp";
    names[count++] = "brindlecap.htm";
    return count;
}
