#include <windows.h>

#include "../../host/logic/memstatus.h"
#include "../../host/logic/activity_log.h"
#include "../../host/memstatus.h"
#include "../../host/hostenv.h"
#include "../../host/tray.h"
#include "check.h"

int main(int argc, char** argv)
{
    // What start-up prepares before anything else runs.
    HostInstance = GetModuleHandleA(nullptr);
    InitMemStatus();
    InitTray();
    ChooseMemoryStatusSource(true);
    InitActivityLog();
    return RunChecks(argc > 1 ? argv[1] : nullptr);
}
