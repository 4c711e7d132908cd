#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "../../host/memfigures.h"
#include "../../host/logline.h"
#include "../../host/memstatus.h"
#include "../../host/startup.h"
#include "check.h"

int main(int argc, char** argv)
{
    // A process for the cases to list and end: it idles until its parent ends.
    if (argc > 2 && strcmp(argv[1], "--idle") == 0) {
        HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, strtoul(argv[2], nullptr, 10));
        if (parent)
            WaitForSingleObject(parent, 120000);
        return 0;
    }
    // What start-up prepares before anything else runs.
    HostInstance = GetModuleHandleA(nullptr);
    InitMemStatus();
    ChooseMemoryStatusSource(true);
    InitActivityLog();
    return RunChecks(argc > 1 ? argv[1] : nullptr);
}
