#include "aboutdialog.h"

int HelpFileOrder(bool hlpPresent, bool russian, const char* names[kMaxHelpFiles])
{
    static const char kHlp[] = "brindlecap.hlp";
    static const char kRussianPage[] = "brindlecap.htm";
    static const char kEnglishPage[] = "brindlecap-en.htm";
    int count = 0;
    if (hlpPresent && russian)
        names[count++] = kHlp;
    names[count++] = russian ? kRussianPage : kEnglishPage;
    names[count++] = russian ? kEnglishPage : kRussianPage;
    if (hlpPresent && !russian)
        names[count++] = kHlp;
    return count;
}
