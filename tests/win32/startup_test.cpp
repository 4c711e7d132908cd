#include <windows.h>
#include <string.h>

#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"

CHECK_CASE(PlatformMatchesTheModeWineRunsUsIn)
{
    // The copy named for Wine's Windows 98 mode must really run in it, or
    // its cases prove nothing about that platform.
    bool win98 = InWin98Copy();
    CHECK_EQ(win98, (GetVersion() & 0x80000000u) != 0);
    CHECK_EQ(win98 ? PlatformWin9x : PlatformNT, DetectPlatform());
}

CHECK_CASE(ProgramFileJoinsTheFolderAndRefusesWhatDoesNotFit)
{
    char saved[MAX_PATH];
    memcpy(saved, ProgramDir, sizeof saved);
    strcpy(ProgramDir, "C:\\Program Files\\Brindlecap\\");
    char out[64];
    CHECK(ProgramFile("Brindlecap.ini", out, sizeof out));
    CHECK_STR("C:\\Program Files\\Brindlecap\\Brindlecap.ini", out);

    // A folder as long as a path can be: no cut name that would be another
    // file, and nothing written past the buffer.
    memset(ProgramDir, 'd', MAX_PATH - 2);
    ProgramDir[MAX_PATH - 2] = '\\';
    ProgramDir[MAX_PATH - 1] = 0;
    char small[MAX_PATH + 8];
    memset(small, '#', sizeof small);
    CHECK(!ProgramFile("Brindlecap.log", small, MAX_PATH));
    CHECK_STR("", small);
    CHECK_EQ('#', small[1]);
    memcpy(ProgramDir, saved, sizeof saved);
}
