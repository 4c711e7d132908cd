// The information refresh thread writing into a dialog that carries
// INFO_DIALOG's control ids, and the ways it ends.
#include <windows.h>

#include "../../common/numtext.h"
#include "../../host/cpusampler.h"
#include "../../host/inforefresh.h"
#include "../../host/settings.h"
#include "../../host/dialogs.h"
#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"

namespace {

// INFO_DIALOG while monitoring: CurrentDialog, box 103 checked, figures in
// the unit of radio button `unitButton`, texts marked as not yet written.
struct TMonitoredDialog {
    TTestDialog d;
    explicit TMonitoredDialog(int unitButton)
    {
        CheckDlgButton(d.Window(), 103, BST_CHECKED);
        CheckRadioButton(d.Window(), 100, 102, unitButton);
        for (int id = 1001; id <= 1012; ++id)
            d.SetText(id, "-");
        CurrentDialog = d.Window();
        Settings.InfoRefreshPeriod = 0; // the floor: the cases run quickly
    }
    ~TMonitoredDialog() { CurrentDialog = nullptr; }
    bool Written() const { return d.Text(1001) != "-"; }
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
    TMonitoredDialog m(101);
    HANDLE thread = StartInfoRefresh();
    CHECK(thread && GetThreadPriority(thread) == THREAD_PRIORITY_LOWEST);
    uint64_t total = ReadMemStatus().TotalPhys;
    CHECK(PumpUntil([&] { return m.Written() && m.d.Text(1012) != "-"; }));
    CHECK_STR(InUnit(total, 1024).c_str(), m.d.Text(1001).c_str());
    CHECK(m.d.Text(1005) != "-" && m.d.Text(1010) != "-" && m.d.Checked(101));
    std::string load = m.d.Text(1012);
    CHECK(load.size() > 2 && load.substr(load.size() - 2) == " %");

    // Another unit from the next round on.
    CheckRadioButton(m.d.Window(), 100, 102, 100);
    CHECK(PumpUntil([&] { return m.d.Text(1001) == InUnit(total, 1); }));
    CheckDlgButton(m.d.Window(), 103, BST_UNCHECKED);
    ExpectEnds(thread);
}

CHECK_CASE(InfoRefreshEndsWhenNoDialogIsOpen)
{
    TMonitoredDialog m(102);
    HANDLE thread = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.Written(); }));
    CurrentDialog = nullptr;
    ExpectEnds(thread);
}

CHECK_CASE(StopInfoRefreshReachesThreadsWhoseHandlesAreClosed)
{
    TMonitoredDialog m(102);
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
    m.d.SetText(1001, "-");
    HANDLE third = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.Written(); }));
    CHECK(WaitForSingleObject(third, 0) == WAIT_TIMEOUT);
    StopInfoRefresh();
    ExpectEnds(third);
}
