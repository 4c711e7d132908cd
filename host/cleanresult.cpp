#include "cleanresult.h"

#include <windows.h>

#include "../common/logic/text.h"

#include "cleaner.h"
#include "dialogs.h"
#include "hostenv.h"
#include "hoststrings.h"
#include "logic/cleaner.h"
#include "logic/memstatus.h"
#include "mainwindow.h"
#include "memstatus.h"
#include "resources/resource.h"
#include "tray.h"

namespace {

// A reading that repeats the last one (whose free virtual memory a run
// moves) may be the system's last answer: read again later.
enum { kResultTimer = 0x4252 };
int32_t PendingBefore;

bool SameReading(const TMemFigures& a, const TMemFigures& b)
{
    return a.AvailPhys == b.AvailPhys && a.AvailPageFile == b.AvailPageFile &&
           a.AvailVirtual == b.AvailVirtual;
}

void Tell(const char* line, const char* detail)
{
    ShowMainDialogStatus(line);
    // Only the tray mode has an icon to speak from.
    if (!TaskbarCreatedMessage)
        return;
    char tip[kTipSize];
    CopyText(tip, sizeof tip, line);
    if (detail[0]) {
        AppendText(tip, sizeof tip, " - ");
        AppendText(tip, sizeof tip, detail);
    }
    ShowTrayNotice(detail[0] ? line : "Brindlecap", detail[0] ? detail : line, tip);
}

void TellResult(int32_t before)
{
    TCleanResult result = {before, WholeMB(ReadMemStatus().AvailPhys)};
    char pattern[kStringBuffer], line[kStringBuffer], detail[kStringBuffer];
    int32_t freed = FreedMB(result);
    LoadHostString(IDS_CLEAN_FREED, pattern);
    FillNumbers(pattern, &freed, 1, line, sizeof line);
    LoadHostString(IDS_CLEAN_FIGURES, pattern);
    FillNumbers(pattern, &result.FreeBeforeMB, 2, detail, sizeof detail);
    Tell(line, detail);
}

void CALLBACK TellAfterRepeat(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    RefreshMemStatus();
    TellResult(PendingBefore);
}

} // namespace

void ShowCleanResult(int32_t freeBeforeMB)
{
    TMemFigures last = ReadMemStatus();
    RefreshMemStatus();
    if (SameReading(last, ReadMemStatus()) &&
        SetTimer(MainWindow, kResultTimer, kMemoryRepeatDelay, TellAfterRepeat)) {
        PendingBefore = freeBeforeMB;
        return;
    }
    TellResult(freeBeforeMB);
}

void ShowCleaningBusy()
{
    char line[kStringBuffer];
    LoadHostString(IDS_CLEAN_BUSY, line);
    Tell(line, "");
}
