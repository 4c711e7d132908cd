// UpdateDialog writing into a real dialog: which controls each flag
// touches, in which unit, and from which snapshot.
#include <windows.h>
#include <commctrl.h>

#include "../../host/dialogfigures.h"
#include "../../host/memstatus.h"
#include "../../host/resources/resource.h"
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
    for (int id = IDC_PHYS_TOTAL; id <= IDC_CPU_TEXT; ++id)
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

    CHECK_STR("256", dialog.Text(IDC_PHYS_TOTAL).c_str());
    CHECK_STR("100", dialog.Text(IDC_PHYS_FREE).c_str());
    CHECK_STR("156", dialog.Text(IDC_PHYS_USED).c_str());
    // The percentage is the system's, read afresh: the snapshot now holds
    // the system's figures, not the chosen ones.
    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    TMemFigures fresh = ReadMemStatus();
    CHECK_EQ(system.ullTotalPhys, fresh.TotalPhys);
    char percent[16];
    snprintf(percent, sizeof percent, "%d", ExpectedUsedPercent(fresh.TotalPhys, fresh.AvailPhys));
    CHECK_STR(percent, dialog.Text(IDC_PHYS_PERCENT).c_str());
    for (int id = IDC_PAGE_TOTAL; id <= IDC_CPU_TEXT; ++id)
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
    CHECK_STR("3072000", dialog.Text(IDC_PAGE_TOTAL).c_str());
    CHECK_STR("1023", dialog.Text(IDC_PAGE_FREE).c_str());
    CHECK_STR("3070976", dialog.Text(IDC_PAGE_USED).c_str());
    CHECK_STR("2096128", dialog.Text(IDC_VIRT_TOTAL).c_str());
    CHECK_STR("2048000", dialog.Text(IDC_VIRT_FREE).c_str());
    CHECK_STR("48128", dialog.Text(IDC_VIRT_USED).c_str());

    UpdateDialog(Request(dialog, udPageFile, kMB));
    CHECK_STR("3000", dialog.Text(IDC_PAGE_TOTAL).c_str());
    CHECK_STR("0", dialog.Text(IDC_PAGE_FREE).c_str());
    CHECK_STR("2999", dialog.Text(IDC_PAGE_USED).c_str());

    UpdateDialog(Request(dialog, udVirtual, 1));
    CHECK_STR("2146435072", dialog.Text(IDC_VIRT_TOTAL).c_str());
    CHECK_STR("2097152000", dialog.Text(IDC_VIRT_FREE).c_str());
    CHECK_STR("49283072", dialog.Text(IDC_VIRT_USED).c_str());
    RefreshMemStatus();
}

CHECK_CASE(UpdateDialogGroupsAfterThePercentageShowTheFreshReading)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    PublishMemStatus(Chosen());
    UpdateDialog(Request(dialog, udPhysical | udPageFile | udVirtual, kMB));
    CHECK_STR("256", dialog.Text(IDC_PHYS_TOTAL).c_str());
    TSystemMemoryEx system;
    CHECK(QuerySystemMemoryEx(&system));
    char text[32];
    snprintf(text, sizeof text, "%llu", (unsigned long long)(system.ullTotalPageFile >> 20));
    CHECK_STR(text, dialog.Text(IDC_PAGE_TOTAL).c_str());
    snprintf(text, sizeof text, "%llu", (unsigned long long)(system.ullTotalVirtual >> 20));
    CHECK_STR(text, dialog.Text(IDC_VIRT_TOTAL).c_str());
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
    CHECK_STR("2147483648", dialog.Text(IDC_PHYS_TOTAL).c_str());
    CHECK_STR("1048575", dialog.Text(IDC_PHYS_FREE).c_str());
    CHECK_STR("2146435073", dialog.Text(IDC_PHYS_USED).c_str());

    PublishMemStatus(f);
    UpdateDialog(Request(dialog, udPhysical, 1024));
    CHECK_STR("2097152", dialog.Text(IDC_PHYS_TOTAL).c_str());
    CHECK_STR("1023", dialog.Text(IDC_PHYS_FREE).c_str());
}

CHECK_CASE(UpdateDialogChecksTheRadioButtonOfTheUnit)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    const struct {
        int32_t unit;
        int button;
    } cases[] = {{1, IDC_UNIT_BYTES}, {1024, IDC_UNIT_KB}, {kMB, IDC_UNIT_MB}, {1, IDC_UNIT_BYTES}};
    for (auto c : cases) {
        UpdateDialog(Request(dialog, udUnitRadio, c.unit));
        for (int id = IDC_UNIT_BYTES; id <= IDC_UNIT_MB; ++id)
            CHECK_EQ(id == c.button, dialog.Checked(id));
    }
}

CHECK_CASE(UpdateDialogStatusWritesThePhaseTextAndNothingElse)
{
    TTestDialog dialog;
    CHECK(dialog.Window() != nullptr);
    CHECK_EQ(1251, GetACP());
    MarkTexts(dialog);
    SendDlgItemMessageA(dialog.Window(), IDC_CLEAN_PROGRESS, PBM_SETPOS, 33, 0);
    SendDlgItemMessageA(dialog.Window(), IDC_CPU_PROGRESS, PBM_SETPOS, 44, 0);
    CheckRadioButton(dialog.Window(), IDC_UNIT_BYTES, IDC_UNIT_MB, IDC_UNIT_KB);
    PublishMemStatus(Chosen());

    const char* texts[] = {"Заполнение", "Очистка", "Выполнено"};
    for (int phase = 1; phase <= 3; ++phase) {
        TDialogUpdate r = Request(dialog, udStatus, kMB);
        r.Phase = phase;
        r.Percent = 90;
        UpdateDialog(r);
        CHECK_STR(Wide(texts[phase - 1]).c_str(), dialog.WideText(IDC_STATUS).c_str());
        // The bytes are the string table's, in the ANSI code page.
        CHECK_STR(InCodePage(1251, texts[phase - 1]).c_str(), dialog.Text(IDC_STATUS).c_str());
    }
    for (int id = IDC_PHYS_TOTAL; id <= IDC_CPU_TEXT; ++id)
        if (id != IDC_STATUS)
            CHECK_STR("-", dialog.Text(id).c_str());
    CHECK_EQ(33, dialog.Position(IDC_CLEAN_PROGRESS));
    CHECK_EQ(44, dialog.Position(IDC_CPU_PROGRESS));
    CHECK(dialog.Checked(IDC_UNIT_KB));
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
    CHECK_EQ(37, dialog.Position(IDC_CLEAN_PROGRESS));
    CHECK_EQ(0, dialog.Position(IDC_CPU_PROGRESS));

    r.Flags = udCpuLoad;
    r.Percent = 7;
    UpdateDialog(r);
    CHECK_EQ(7, dialog.Position(IDC_CPU_PROGRESS));
    CHECK_STR("7 %", dialog.Text(IDC_CPU_TEXT).c_str());
    CHECK_EQ(37, dialog.Position(IDC_CLEAN_PROGRESS));
    for (int id = IDC_PHYS_TOTAL; id <= IDC_STATUS; ++id)
        CHECK_STR("-", dialog.Text(id).c_str());

    r.Percent = 100;
    UpdateDialog(r);
    CHECK_EQ(100, dialog.Position(IDC_CPU_PROGRESS));
    CHECK_STR("100 %", dialog.Text(IDC_CPU_TEXT).c_str());
}
