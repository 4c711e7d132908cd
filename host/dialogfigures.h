// What the host dialogs show: memory figures in the chosen display unit,
// the cleaning phase and progress, the processor load. The readings come
// from memstatus; this is the one place that writes them into controls.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "logic/cleaner.h"

// The display units and their divisors.
enum : int32_t {
    kUnitBytes = 1,
    kUnitKB = 1024,
    kUnitMB = 1048576,
};

// Timers of a host dialog: the figures read again after a run, and the
// main dialog's following of the snapshot.
enum { kFreshFiguresTimer = 0x4246, kFollowTimer = 0x4247 };

// Flags of a dialog update.
enum : uint16_t {
    udPhysical = 0x02,      // IDC_PHYS_TOTAL..IDC_PHYS_PERCENT
    udPageFile = 0x04,      // IDC_PAGE_TOTAL..IDC_PAGE_USED
    udVirtual = 0x08,       // IDC_VIRT_TOTAL..IDC_VIRT_USED
    udUnitRadio = 0x10,     // the unit's button
    udStatus = 0x20,        // IDC_STATUS
    udCleanProgress = 0x40, // IDC_CLEAN_PROGRESS
    udCpuLoad = 0x80,       // IDC_CPU_PROGRESS and IDC_CPU_TEXT
    udSnapshot = 0x100,     // the figures from the snapshot alone, no reading
};

struct TDialogUpdate {
    uint16_t Flags;
    HWND Dialog;
    int32_t DisplayUnit; // kUnitBytes, kUnitKB or kUnitMB
    int32_t Phase;       // PhaseFilling, PhaseReleasing or PhaseDone
    int32_t Percent;
};

void UpdateDialog(const TDialogUpdate& request);

// The unit whose button is checked; megabytes when neither of the others is.
int32_t CheckedDisplayUnit(HWND dialog);
// The unit of a unit button's command; 0 for any other command.
int32_t UnitOfButton(WPARAM command);
// The memory figures `flags` names, in `unit`, with that unit's button checked.
void ShowFigures(HWND dialog, uint16_t flags, int32_t unit);

// What a reporter keeps between the reports of one run.
struct TCleanView {
    TDialogUpdate Update;
    uint32_t LastPaint; // tick of the last painted report
    uint32_t Pause;     // ms from it to the next
    bool Painted;
    bool BarBehind; // the bar has not been given the last percent
};
// The least ms between painted progress reports (kProgressPaintInterval);
// 0 paints every report.
extern uint32_t ProgressPaintInterval;

// A reporter that shows a cleaning run's phases and progress, with the
// physical and page-file figures in `unit`, in `dialog`: the bar, the
// figures and the painting follow at most every ProgressPaintInterval ms
// (less often where painting is slow: PaintPause), and at every phase. `storage` holds what the
// reporter needs and must outlive the run.
TCleanReporter CleanReporterFor(HWND dialog, int32_t unit, TCleanView* storage);

// A line in the dialog's status field, which then takes the progress bar's
// room too; the next phase of a run gives the bar back.
void ShowStatusLine(HWND dialog, const char* text);
