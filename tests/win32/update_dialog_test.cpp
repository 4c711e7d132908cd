// UpdateDialog writing into a real dialog: which controls each flag
// touches, in which unit, and from which snapshot.
#include <windows.h>
#include <commctrl.h>

#include "../../host/dialogfigures.h"
#include "../../host/memstatus.h"
#include "check.h"
#include "support.h"

namespace {

const int32_t kMB = 1048576;

// 256 MB with 100 MB free, and page file and address space figures that no
// system reading would give.
TMemFigures Chosen()
{
    TMemFigures f;
    f.TotalPhys = 256ull << 20;
    f.AvailPhys = 100ull << 20;
    f.TotalPageFile = 3000ull << 20;
    f.AvailPageFile = 1000ull << 20;
    f.TotalVirtual = 2047ull << 20;
    f.AvailVirtual = 2000ull << 20;
    return f;
}

TDialogUpdate Request(const TTestDialog& dialog, uint16_t flags, int32_t unit)
{
    TDialogUpdate r = {};
    r.Flags = flags;
    r.Dialog = dialog.Window();
    r.DisplayUnit = unit;
    return r;
}

// Marks every text so that a control left alone is seen as such.
void MarkTexts(const TTestDialog& dialog)
{
    for (int id = 1001; id <= 1012; ++id)
        dialog.SetText(id, "-");
}

} // namespace

CHECK_CASE(UpdateDialogPhysicalFiguresComeFromTheSnapshotBeforeTheRefresh)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    MarkTexts(dialog);
    PublishMemStatus(Chosen());
    UpdateDialog(Request(dialog, udPhysical, kMB));

    CHECK_STR("256", dialog.Text(1001).c_str());
    CHECK_STR("100", dialog.Text(1002).c_str());
    CHECK_STR("156", dialog.Text(1003).c_str());
    // The percentage is the system's, read afresh: the snapshot now holds
    // the system's figures, not the chosen ones.
    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    TMemFigures fresh = ReadMemStatus();
    CHECK_EQ(system.ullTotalPhys, fresh.TotalPhys);
    char percent[16];
    snprintf(percent, sizeof percent, "%d", ExpectedUsedPercent(fresh.TotalPhys, fresh.AvailPhys));
    CHECK_STR(percent, dialog.Text(1004).c_str());
    for (int id = 1005; id <= 1012; ++id)
        CHECK_STR("-", dialog.Text(id).c_str());
}

CHECK_CASE(UpdateDialogPageFileAndVirtualFiguresInEachUnit)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TMemFigures f = Chosen();
    f.AvailPageFile = 1048575; // just below 1 MB: 1023 KB, 0 MB
    PublishMemStatus(f);

    // Without udPhysical nothing refreshes: both groups show the chosen
    // snapshot.
    UpdateDialog(Request(dialog, udPageFile | udVirtual, 1024));
    CHECK_STR("3072000", dialog.Text(1005).c_str());
    CHECK_STR("1023", dialog.Text(1006).c_str());
    CHECK_STR("3070976", dialog.Text(1007).c_str());
    CHECK_STR("2096128", dialog.Text(1008).c_str());
    CHECK_STR("2048000", dialog.Text(1009).c_str());
    CHECK_STR("48128", dialog.Text(1010).c_str());

    UpdateDialog(Request(dialog, udPageFile, kMB));
    CHECK_STR("3000", dialog.Text(1005).c_str());
    CHECK_STR("0", dialog.Text(1006).c_str());
    CHECK_STR("2999", dialog.Text(1007).c_str());

    UpdateDialog(Request(dialog, udVirtual, 1));
    CHECK_STR("2146435072", dialog.Text(1008).c_str());
    CHECK_STR("2097152000", dialog.Text(1009).c_str());
    CHECK_STR("49283072", dialog.Text(1010).c_str());
    RefreshMemStatus();
}

CHECK_CASE(UpdateDialogGroupsAfterThePercentageShowTheFreshReading)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    PublishMemStatus(Chosen());
    UpdateDialog(Request(dialog, udPhysical | udPageFile | udVirtual, kMB));
    CHECK_STR("256", dialog.Text(1001).c_str());
    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    char text[32];
    snprintf(text, sizeof text, "%llu", (unsigned long long)(system.ullTotalPageFile >> 20));
    CHECK_STR(text, dialog.Text(1005).c_str());
    snprintf(text, sizeof text, "%llu", (unsigned long long)(system.ullTotalVirtual >> 20));
    CHECK_STR(text, dialog.Text(1008).c_str());
}

CHECK_CASE(UpdateDialogShowsTwoGiBInBytesAsAPositiveNumber)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    TMemFigures f = Chosen();
    f.TotalPhys = 2147483648ull;
    f.AvailPhys = 1048575;
    PublishMemStatus(f);
    UpdateDialog(Request(dialog, udPhysical, 1));
    CHECK_STR("2147483648", dialog.Text(1001).c_str());
    CHECK_STR("1048575", dialog.Text(1002).c_str());
    CHECK_STR("2146435073", dialog.Text(1003).c_str());

    PublishMemStatus(f);
    UpdateDialog(Request(dialog, udPhysical, 1024));
    CHECK_STR("2097152", dialog.Text(1001).c_str());
    CHECK_STR("1023", dialog.Text(1002).c_str());
}

CHECK_CASE(UpdateDialogChecksTheRadioButtonOfTheUnit)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    const struct {
        int32_t unit;
        int button;
    } cases[] = {{1, 100}, {1024, 101}, {kMB, 102}, {1, 100}};
    for (auto c : cases) {
        UpdateDialog(Request(dialog, udUnitRadio, c.unit));
        for (int id = 100; id <= 102; ++id)
            CHECK_EQ(id == c.button, dialog.Checked(id));
    }
}

CHECK_CASE(UpdateDialogStatusWritesThePhaseTextAndNothingElse)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    CHECK_EQ(1251, GetACP());
    MarkTexts(dialog);
    SendDlgItemMessageA(dialog.Window(), 300, PBM_SETPOS, 33, 0);
    SendDlgItemMessageA(dialog.Window(), 301, PBM_SETPOS, 44, 0);
    CheckRadioButton(dialog.Window(), 100, 102, 101);
    PublishMemStatus(Chosen());

    const char* texts[] = {"Заполнение", "Очистка", "Выполнено"};
    for (int phase = 1; phase <= 3; ++phase) {
        TDialogUpdate r = Request(dialog, udStatus, kMB);
        r.Phase = phase;
        r.Percent = 90;
        UpdateDialog(r);
        CHECK_STR(Wide(texts[phase - 1]).c_str(), dialog.WideText(1011).c_str());
        // The bytes are the string table's, in the ANSI code page.
        CHECK_STR(InCodePage(1251, texts[phase - 1]).c_str(), dialog.Text(1011).c_str());
    }
    for (int id = 1001; id <= 1012; ++id)
        if (id != 1011)
            CHECK_STR("-", dialog.Text(id).c_str());
    CHECK_EQ(33, dialog.Position(300));
    CHECK_EQ(44, dialog.Position(301));
    CHECK(dialog.Checked(101));
    // Nor was the snapshot refreshed.
    CHECK_EQ(Chosen().TotalPhys, ReadMemStatus().TotalPhys);
    RefreshMemStatus();
}

CHECK_CASE(UpdateDialogMovesTheBars)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    MarkTexts(dialog);
    TDialogUpdate r = Request(dialog, udCleanProgress, kMB);
    r.Percent = 37;
    UpdateDialog(r);
    CHECK_EQ(37, dialog.Position(300));
    CHECK_EQ(0, dialog.Position(301));

    r.Flags = udCpuLoad;
    r.Percent = 7;
    UpdateDialog(r);
    CHECK_EQ(7, dialog.Position(301));
    CHECK_STR("7 %", dialog.Text(1012).c_str());
    CHECK_EQ(37, dialog.Position(300));
    for (int id = 1001; id <= 1011; ++id)
        CHECK_STR("-", dialog.Text(id).c_str());

    r.Percent = 100;
    UpdateDialog(r);
    CHECK_EQ(100, dialog.Position(301));
    CHECK_STR("100 %", dialog.Text(1012).c_str());
}
