#include "inforefresh.h"

#include <atomic>

#include "cpusampler.h"
#include "dialogfigures.h"
#include "dialogs.h"
#include "logic/inforefresh.h"
#include "resources/resource.h"
#include "settings.h"

HANDLE InfoThreadHandle;

// Advanced by every stop. A thread runs only while it still reads the value
// it was started with, so the signal reaches threads whose handles were
// closed long ago, and none of them is ever killed while it holds the
// sampler's or the memory status's guard.
static std::atomic<unsigned> RefreshGeneration;

static bool Stopped(unsigned generation) { return RefreshGeneration.load() != generation; }

// Sleeps `pause` ms in short slices, so that a stop is seen within one.
static void Pause(uint32_t pause, unsigned generation)
{
    const uint32_t slice = kShortestRefresh;
    while (pause > 0 && !Stopped(generation)) {
        uint32_t step = pause < slice ? pause : slice;
        Sleep(step);
        pause -= step;
    }
}

DWORD WINAPI InfoRefreshThread(LPVOID parameter)
{
    const unsigned generation = unsigned(UINT_PTR(parameter));
    TDialogUpdate request = {};
    request.Dialog = CurrentDialog;
    request.Flags = udPhysical | udPageFile | udVirtual | udUnitRadio | udCpuLoad;
    while (!Stopped(generation)) {
        request.DisplayUnit = CheckedDisplayUnit(CurrentDialog);
        request.Percent = SampleCpuLoad();
        UpdateDialog(request);
        Pause(RefreshPause(Settings.InfoRefreshPeriod), generation);
        HWND dialog = CurrentDialog;
        if (!dialog || IsDlgButtonChecked(dialog, IDC_MONITORING) != BST_CHECKED)
            break;
    }
    return 0;
}

HANDLE StartInfoRefresh()
{
    DWORD id;
    LPVOID generation = LPVOID(UINT_PTR(RefreshGeneration.load()));
    HANDLE thread = CreateThread(nullptr, 0, InfoRefreshThread, generation, 0, &id);
    if (thread)
        SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    return thread;
}

void StopInfoRefresh() { RefreshGeneration.fetch_add(1); }
