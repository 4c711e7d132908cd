// The host dialogs built from the program's own templates, in this
// process: the information dialog's refresh thread and its end, and the
// about dialog's logo.
#include <windows.h>

#include "../../host/logic/appstate.h"
#include "../../host/cpusampler.h"
#include "../../host/dialogs.h"
#include "../../host/inforefresh.h"
#include "../../host/memstatus.h"
#include "../../host/monitor.h"
#include "../../host/settings.h"
#include "../../host/resources/resource.h"
#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"

namespace {

// What a monitor tick takes: both guards the refresh thread may hold.
DWORD WINAPI TickOnce(LPVOID)
{
    SampleCpuLoad();
    RefreshMemStatus();
    ReadMemStatus();
    RunMonitorTick({1, 0});
    return 0;
}

bool TickCompletes()
{
    HANDLE thread = CreateThread(nullptr, 0, TickOnce, nullptr, 0, nullptr);
    if (!thread)
        return false;
    bool done = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    if (!done)
        TerminateThread(thread, 1);
    CloseHandle(thread);
    return done;
}

std::string ItemText(HWND dialog, int id)
{
    char text[64];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

struct TSettingsAfterwards {
    TSettings saved = Settings;
    ~TSettingsAfterwards() { Settings = saved; }
};

} // namespace

CHECK_CASE(InfoDialogClosedWhileMonitoringLeavesTheMonitorTicking)
{
    TTempFolder folder;
    TSettingsAfterwards restore;
    AppState = Resident;
    InitCpuSampler();
    Settings.InfoMonitoring = 1;
    Settings.InfoRefreshPeriod = 0; // rounds back to back: the guards are busy
    // Closed at whatever moment of its round the thread is in, it must
    // never leave a guard behind that the monitor then waits on for ever.
    // (Under Wine without a window manager a visible window takes about
    // two seconds to go, hence few rounds.)
    for (int round = 0; round < 5; ++round) {
        ShowInfoDialog();
        HWND info = CurrentDialog;
        CHECK(info != nullptr);
        if (!info)
            break;
        CHECK(InfoThreadHandle != nullptr);
        CHECK(IsDlgButtonChecked(info, IDC_MONITORING) == BST_CHECKED);
        CHECK(PumpUntil([&] { return !ItemText(info, IDC_CPU_TEXT).empty(); }));
        DestroyWindow(info);
        CHECK(CurrentDialog == nullptr);
        CHECK(InfoThreadHandle == nullptr);
        CHECK(TickCompletes());
    }
    // The closing stored the box's state only through "Ok": it stays 1.
    CHECK_EQ(1, Settings.InfoMonitoring);
    AppState = OneShot;
}

CHECK_CASE(InfoDialogWithoutMonitoringFillsItsFiguresOnce)
{
    TTempFolder folder;
    TSettingsAfterwards restore;
    AppState = Resident;
    Settings.InfoMonitoring = 2; // only exactly 1 means on
    ShowInfoDialog();
    HWND info = CurrentDialog;
    CHECK(info != nullptr);
    if (!info)
        return;
    CHECK(InfoThreadHandle == nullptr);
    CHECK(IsDlgButtonChecked(info, IDC_MONITORING) != BST_CHECKED);
    CHECK(PumpUntil([&] { return !ItemText(info, IDC_VIRT_USED).empty(); }));
    CHECK(IsDlgButtonChecked(info, IDC_UNIT_MB) == BST_CHECKED);
    CHECK(ItemText(info, IDC_CPU_TEXT).empty());
    // "Ok" stores the boxes as they stand.
    SendMessageA(info, WM_COMMAND, IDC_OK, 0);
    CHECK(!IsWindow(info));
    CHECK(CurrentDialog == nullptr);
    CHECK_EQ(0, Settings.InfoMonitoring);
    CHECK_EQ(0, Settings.InfoAlwaysOnTop);
    AppState = OneShot;
}

// Text `id` of `dialog` drawn in its own font fits inside the control.
bool TextFits(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::string text = ItemText(dialog, id);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT box;
    GetClientRect(control, &box);
    if (getenv("SHOWFIT"))
        printf("  control %d: \"%s\" is %ld pixels wide in %ld\n", id, text.c_str(), size.cx,
               box.right);
    return !text.empty() && size.cx <= box.right;
}

CHECK_CASE(InfoDialogFiguresFitTheirFieldsInEveryUnit)
{
    // A 64-bit process has 128 TiB of address space: 15 digits in bytes.
    TSettingsAfterwards restore;
    AppState = Resident;
    Settings.InfoMonitoring = 0;
    ShowInfoDialog();
    HWND info = CurrentDialog;
    CHECK(info != nullptr);
    if (!info)
        return;
    // The dialog's own first filling comes first.
    CHECK(PumpUntil([&] { return IsDlgButtonChecked(info, IDC_UNIT_MB) == BST_CHECKED; }));
    for (int unit : {IDC_UNIT_BYTES, IDC_UNIT_KB, IDC_UNIT_MB}) {
        SetDlgItemTextA(info, IDC_VIRT_TOTAL, "");
        SendMessageA(info, WM_COMMAND, unit, 0);
        CHECK(PumpUntil([&] { return !ItemText(info, IDC_VIRT_TOTAL).empty(); }));
        for (int id = IDC_PHYS_TOTAL; id <= IDC_VIRT_USED; ++id)
            CHECK(TextFits(info, id));
    }
    SendMessageA(info, WM_COMMAND, IDC_OK, 0);
    CHECK(!IsWindow(info));
    AppState = OneShot;
}

CHECK_CASE(AboutDialogDrawsItsLogoAndReleasesWhatItDrewWith)
{
    TTempFolder folder;
    AppState = Resident;
    ShowAboutDialog();
    HWND about = CurrentDialog;
    CHECK(about != nullptr);
    if (!about)
        return;
    CHECK(PumpUntil([&] { return IsWindowVisible(about) != FALSE; }));
    uint32_t before = LiveGdiObjects();
    for (int i = 0; i < 50; ++i) {
        InvalidateRect(about, nullptr, TRUE);
        UpdateWindow(about);
    }
    CHECK_EQ(before, LiveGdiObjects());
    // Inside the logo the picture's colours, outside it the dialog's.
    HDC dc = GetDC(about);
    COLORREF cap = GetPixel(dc, 5 + 30, 5 + 8);   // the red crown
    COLORREF corner = GetPixel(dc, 5 + 1, 5 + 1); // outside the shape
    COLORREF board = GetPixel(dc, 5 + 6, 5 + 20); // the green board
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    ReleaseDC(about, dc);
    CHECK_EQ(RGB(255, 0, 0), cap);
    CHECK_EQ(RGB(0, 128, 0), board);
    CHECK_EQ(face, corner);
    DestroyWindow(about);
    CHECK(CurrentDialog == nullptr);
    AppState = OneShot;
}

namespace {
// A hidden window of our own stands in for the host's main window.
struct TStandInMainWindow {
    HWND saved = MainWindow;
    TStandInMainWindow()
    {
        MainWindow = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
    }
    ~TStandInMainWindow() { DestroyWindow(MainWindow), MainWindow = saved; }
};
} // namespace

// A one-shot start ends with its dialog even while a cleaning handed over
// to it holds AppState: else a process with no window and no icon stays
// and refuses every later start.
CHECK_CASE(OneShotDialogClosedDuringAHandedOverRunEndsTheProgram)
{
    TTempFolder folder;
    TStandInMainWindow host;
    StartMode = OneShot;
    AppState = Cleaning;
    ShowInfoDialog();
    SendMessageA(CurrentDialog, WM_COMMAND, IDC_OK, 0);
    CHECK(!CurrentDialog && !IsWindow(MainWindow));
    AppState = OneShot;
}

namespace {
HWND Dialog;
bool Asked, OwnedAndDisabled, InFront;

// In the question's own loop: a click on the tray icon, then "No".
void CALLBACK LookAtQuestion(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND question = FindWindowExA(nullptr, nullptr, "#32770", "Brindlecap");
    if (question == Dialog)
        question = FindWindowExA(nullptr, question, "#32770", "Brindlecap");
    if (!question)
        return;
    KillTimer(nullptr, timer);
    Asked = true;
    OwnedAndDisabled = GetWindow(question, GW_OWNER) == Dialog && !IsWindowEnabled(Dialog);
    ShowMainDialog();
    InFront = GetForegroundWindow() == question;
    SendMessageA(question, WM_COMMAND, IDNO, 0);
}
} // namespace

// The exit question is the main dialog's own: in front of it, the dialog
// disabled meanwhile, as a modal owner is.
CHECK_CASE(ExitQuestionStaysInFrontOfTheMainDialog)
{
    TTempFolder folder;
    TStandInMainWindow host;
    StartMode = AppState = Resident;
    ShowMainDialog();
    Dialog = CurrentDialog;
    SetTimer(nullptr, 0, 100, LookAtQuestion);
    SendMessageA(Dialog, WM_COMMAND, IDC_EXIT, 0);
    CHECK(Asked && OwnedAndDisabled && InFront);
    CHECK(IsWindowEnabled(Dialog) && IsWindow(MainWindow)); // "No": it stays
    DestroyWindow(Dialog);
    StartMode = AppState = OneShot;
}
