// The information refresh thread writing into a dialog that carries
// INFO_DIALOG's control ids, and the ways it ends.
#include <windows.h>

#include "../../common/logic/numtext.h"
#include "../../host/cpusampler.h"
#include "../../host/inforefresh.h"
#include "../../host/settings.h"
#include "../../host/dialogs.h"
#include "../../host/hostenv.h"
#include "../../host/resources/resource.h"
#include "check.h"
#include "support.h"

namespace {

// INFO_DIALOG while monitoring: CurrentDialog, IDC_MONITORING checked, figures in
// the unit of radio button `unitButton`, texts marked as not yet written.
struct TMonitoredDialog {
    TTestDialog d;
    explicit TMonitoredDialog(int unitButton)
    {
        CheckDlgButton(d.Window(), IDC_MONITORING, BST_CHECKED);
        CheckRadioButton(d.Window(), IDC_UNIT_BYTES, IDC_UNIT_MB, unitButton);
        for (int id = IDC_PHYS_TOTAL; id <= IDC_CPU_TEXT; ++id)
            d.SetText(id, "-");
        CurrentDialog = d.Window();
        Settings.InfoRefreshPeriod = 0; // the floor: the cases run quickly
    }
    ~TMonitoredDialog() { CurrentDialog = nullptr; }
    bool Written() const { return d.Text(IDC_PHYS_TOTAL) != "-"; }
};

std::string InUnit(uint64_t bytes, uint64_t unit)
{
    char text[24];
    FormatUnsigned(bytes / unit, text);
    return text;
}

// Waits for `thread` to end with exit code 0, and closes it.
void ExpectEnds(HANDLE thread)
{
    CHECK(PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }));
    DWORD code = 1;
    CHECK(GetExitCodeThread(thread, &code) && code == 0);
    CloseHandle(thread);
}

} // namespace

CHECK_CASE(InfoRefreshWritesLiveFiguresInTheChosenUnitUntilTheBoxIsUnchecked)
{
    InitCpuSampler();
    TMonitoredDialog m(IDC_UNIT_KB);
    HANDLE thread = StartInfoRefresh();
    CHECK(thread && GetThreadPriority(thread) == THREAD_PRIORITY_LOWEST);
    uint64_t total = ReadMemStatus().TotalPhys;
    CHECK(PumpUntil([&] { return m.Written() && m.d.Text(IDC_CPU_TEXT) != "-"; }));
    CHECK_STR(InUnit(total, 1024).c_str(), m.d.Text(IDC_PHYS_TOTAL).c_str());
    CHECK(m.d.Text(IDC_PAGE_TOTAL) != "-" && m.d.Text(IDC_VIRT_USED) != "-" &&
          m.d.Checked(IDC_UNIT_KB));
    std::string load = m.d.Text(IDC_CPU_TEXT);
    CHECK(load.size() > 2 && load.substr(load.size() - 2) == " %");

    // Another unit from the next round on.
    CheckRadioButton(m.d.Window(), IDC_UNIT_BYTES, IDC_UNIT_MB, IDC_UNIT_BYTES);
    CHECK(PumpUntil([&] { return m.d.Text(IDC_PHYS_TOTAL) == InUnit(total, 1); }));
    CheckDlgButton(m.d.Window(), IDC_MONITORING, BST_UNCHECKED);
    ExpectEnds(thread);
}

CHECK_CASE(InfoRefreshEndsWhenNoDialogIsOpen)
{
    TMonitoredDialog m(IDC_UNIT_MB);
    HANDLE thread = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.Written(); }));
    CurrentDialog = nullptr;
    ExpectEnds(thread);
}

CHECK_CASE(StopInfoRefreshReachesThreadsWhoseHandlesAreClosed)
{
    TMonitoredDialog m(IDC_UNIT_MB);
    // The box unchecked and checked again: the first thread's handle is
    // closed while it runs, a second starts beside it. Our duplicate only
    // watches the first.
    HANDLE first = StartInfoRefresh(), watch = nullptr;
    DuplicateHandle(GetCurrentProcess(), first, GetCurrentProcess(), &watch,
                    SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0);
    CloseHandle(first);
    HANDLE second = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.Written(); }));
    // The box stays checked and the dialog open: only the stop ends them.
    StopInfoRefresh();
    ExpectEnds(watch);
    ExpectEnds(second);

    // A stop concerns the threads started before it, not the next one.
    m.d.SetText(IDC_PHYS_TOTAL, "-");
    HANDLE third = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.Written(); }));
    CHECK(WaitForSingleObject(third, 0) == WAIT_TIMEOUT);
    StopInfoRefresh();
    ExpectEnds(third);
}
