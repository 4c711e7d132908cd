// The information refresh thread writing into a dialog that carries
// INFO_DIALOG's control ids, and the ways it ends.
#include <windows.h>

#include "../../common/numtext.h"
#include "../../host/cpusampler.h"
#include "../../host/inforefresh.h"
#include "../../host/settings.h"
#include "../../host/startup.h"
#include "check.h"
#include "support.h"

namespace {

// The dialog as INFO_DIALOG stands while monitoring: CurrentDialog, box 103
// checked, figures in `unit` (radio 100, 101 or 102).
struct TMonitoredDialog {
    TTestDialog dialog;
    explicit TMonitoredDialog(int unitButton)
    {
        CheckDlgButton(dialog.Window(), 103, BST_CHECKED);
        CheckRadioButton(dialog.Window(), 100, 102, unitButton);
        for (int id = 1001; id <= 1012; ++id)
            dialog.SetText(id, "-");
        CurrentDialog = dialog.Window();
        // The shortest pause there is, so the cases run quickly.
        Settings.InfoRefreshPeriod = 0;
    }
    ~TMonitoredDialog() { CurrentDialog = nullptr; }
};

std::string InUnit(uint64_t bytes, uint64_t unit)
{
    char text[24];
    FormatUnsigned(bytes / unit, text);
    return text;
}

bool Ended(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

DWORD ExitCodeOf(HANDLE thread)
{
    DWORD code = 12345;
    GetExitCodeThread(thread, &code);
    return code;
}

} // namespace

CHECK_CASE(InfoRefreshWritesLiveFiguresInTheChosenUnitUntilTheBoxIsUnchecked)
{
    InitCpuSampler();
    TMonitoredDialog m(101);
    TTestDialog& d = m.dialog;
    HANDLE thread = StartInfoRefresh();
    CHECK(thread != nullptr);
    CHECK_EQ(THREAD_PRIORITY_LOWEST, GetThreadPriority(thread));

    // Kilobytes: the total physical memory does not change while it runs.
    uint64_t total = ReadMemStatus().TotalPhys;
    CHECK(PumpUntil([&] { return d.Text(1001) != "-" && d.Text(1012) != "-"; }));
    CHECK_STR(InUnit(total, 1024).c_str(), d.Text(1001).c_str());
    CHECK(d.Text(1005) != "-" && d.Text(1008) != "-" && d.Text(1010) != "-");
    CHECK(d.Checked(101));
    // The load as a number with " %" and the same figure on bar 301.
    std::string load = d.Text(1012);
    CHECK(load.size() > 2 && load.substr(load.size() - 2) == " %");

    // Another unit from the next round on.
    CheckRadioButton(d.Window(), 100, 102, 100);
    CHECK(PumpUntil([&] { return d.Text(1001) == InUnit(total, 1); }));
    CHECK(d.Checked(100) && !d.Checked(101));

    CheckDlgButton(d.Window(), 103, BST_UNCHECKED);
    CHECK(PumpUntil([&] { return Ended(thread); }));
    CHECK_EQ(0, ExitCodeOf(thread));
    CloseHandle(thread);
}

CHECK_CASE(InfoRefreshEndsWhenNoDialogIsOpen)
{
    TMonitoredDialog m(102);
    HANDLE thread = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.dialog.Text(1001) != "-"; }));
    CurrentDialog = nullptr;
    CHECK(PumpUntil([&] { return Ended(thread); }));
    CHECK_EQ(0, ExitCodeOf(thread));
    CloseHandle(thread);
}

CHECK_CASE(StopInfoRefreshReachesThreadsWhoseHandlesAreClosed)
{
    TMonitoredDialog m(102);
    // Unchecking and checking the box again: the first thread's handle is
    // closed while it still runs, and a second one starts beside it. Our
    // duplicate only watches the first one end.
    HANDLE first = StartInfoRefresh();
    HANDLE watch = nullptr;
    DuplicateHandle(GetCurrentProcess(), first, GetCurrentProcess(), &watch, SYNCHRONIZE, FALSE, 0);
    CloseHandle(first);
    HANDLE second = StartInfoRefresh();
    CHECK(watch != nullptr && second != nullptr);
    CHECK(PumpUntil([&] { return m.dialog.Text(1001) != "-"; }));

    // The box stays checked and the dialog open: only the stop ends them.
    StopInfoRefresh();
    CHECK(PumpUntil([&] { return Ended(watch) && Ended(second); }));
    CHECK_EQ(0, ExitCodeOf(second));
    CloseHandle(watch);
    CloseHandle(second);

    // A stop concerns the threads started before it, not the next one.
    m.dialog.SetText(1001, "-");
    HANDLE third = StartInfoRefresh();
    CHECK(PumpUntil([&] { return m.dialog.Text(1001) != "-"; }));
    CHECK(!Ended(third));
    StopInfoRefresh();
    CHECK(PumpUntil([&] { return Ended(third); }));
    CloseHandle(third);
}
