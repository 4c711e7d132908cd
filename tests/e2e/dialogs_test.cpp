// The host's dialogs as the user meets them: opened from the command line,
// the hot keys and the tray icon, one at a time, and what they leave in the
// settings file and the log.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../../common/hostnotify.h"
#include "../../host/mainwindow.h"
#include "../../host/resources/resource.h"
#include "../win32/check.h"
#include "host_ui.h"
#include "probe.h"
#include "sandbox.h"

namespace {

struct TRun {
    const char* program;
    TChild* child;
    HWND window;
};

TRun StartResident(TSandbox& sandbox, const char* program, const char* arguments = "")
{
    TRun run = {program, sandbox.Start(program, sandbox.NewFolder(), arguments), nullptr};
    CHECK(run.child);
    run.window = WaitForMainWindow(run.child);
    CHECK(run.window);
    return run;
}

HWND Hotkey(const TRun& run, int id, int dialogItem)
{
    CHECK(Deliver(run.window, WM_HOTKEY, WPARAM(id), MAKELPARAM(MOD_ALT | MOD_CONTROL, 0)));
    return WaitForDialog(run.child, dialogItem);
}

bool ReadIni(const char* program, BYTE* bytes)
{
    char ini[MAX_PATH];
    FilePath(program, "Brindlecap.ini", ini);
    return ReadBytes(ini, bytes, 23) == 23;
}

bool Checked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ExpectOnScreen(HWND dialog)
{
    RECT r;
    CHECK(GetWindowRect(dialog, &r));
    CHECK(r.left >= 0 && r.top >= 0);
    CHECK(r.right <= GetSystemMetrics(SM_CXSCREEN) && r.bottom <= GetSystemMetrics(SM_CYSCREEN));
}

} // namespace

CHECK_CASE(InformationAndAboutStartsEndWhenTheirDialogCloses)
{
    CHECK(!AnyMainWindow());
    const struct {
        const char* arguments;
        int item;
        bool closeBox; // the title bar's close box instead of "Ok"
    } starts[] = {{"I", kInfoDialogItem, false},
                  {"info", kInfoDialogItem, true},
                  {"?", kAboutDialogItem, false},
                  {"?", kAboutDialogItem, true}};
    for (const auto& start : starts) {
        TSandbox sandbox;
        const char* program = sandbox.InstallProgram();
        TChild* child = sandbox.Start(program, sandbox.NewFolder(), start.arguments);
        HWND dialog = WaitForDialog(child, start.item);
        CHECK(dialog);
        if (!dialog)
            continue;
        ExpectOnScreen(dialog);
        // It waits for the user.
        CHECK(WaitForSingleObject(child->process, 300) == WAIT_TIMEOUT);
        if (start.closeBox)
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        ExpectEndsWithZero(sandbox, child);
    }
}

CHECK_CASE(CleaningWithTheMemoryDialogShowsTheRunAndEndsOnOk)
{
    CHECK(!AnyMainWindow());
    // The amount and the letter may also arrive quoted.
    const char* starts[] = {"C 100 D", "C \"1\"00 \"D"};
    for (const char* arguments : starts) {
        TSandbox sandbox;
        const char* program = sandbox.InstallProgram();
        TChild* child = sandbox.Start(program, sandbox.NewFolder(), arguments);
        HWND dialog = WaitForDialog(child, kMemoryDialogItem);
        CHECK(dialog);
        if (!dialog)
            continue;
        CHECK(WaitForItemText(dialog, IDC_STATUS,
                              "\xC2\xFB\xEF\xEE\xEB\xED\xE5\xED\xEE")); // Выполнено
        CHECK_EQ(100, SendDlgItemMessageA(dialog, IDC_CLEAN_PROGRESS, PBM_GETPOS, 0, 0));
        CHECK(WaitForAnyItemText(dialog, IDC_PHYS_TOTAL));
        CHECK(WaitForSingleObject(child->process, 300) == WAIT_TIMEOUT);
        PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        ExpectEndsWithZero(sandbox, child);
    }
}

CHECK_CASE(HotKeysAndTheTrayIconOpenOneDialogAtATime)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TRun run = StartResident(sandbox, sandbox.InstallProgram());
    if (!run.window)
        return;
    // Only a press of the left button opens anything.
    const LPARAM others[] = {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONUP};
    for (LPARAM mouse : others)
        CHECK(Deliver(run.window, WM_TRAYICON, 0, mouse));
    CHECK(!FindDialog(run.child, 600));

    HWND main = Hotkey(run, HOTKEY_MAIN, kMainDialogItem);
    CHECK(main);
    // The open dialog is raised instead of a second one.
    CHECK(Deliver(run.window, WM_HOTKEY, HOTKEY_INFO, 0));
    CHECK(!FindDialog(run.child, kInfoDialogItem));
    CHECK(Deliver(run.window, WM_TRAYICON, 0, WM_LBUTTONDOWN));
    CHECK(IsWindow(main));
    PostMessageA(main, WM_COMMAND, IDC_HIDE, 0); // "Свернуть"
    CHECK(WaitGone(main));

    HWND info = Hotkey(run, HOTKEY_INFO, kInfoDialogItem);
    CHECK(info);
    CHECK(Deliver(run.window, WM_HOTKEY, HOTKEY_MAIN, 0));
    CHECK(Deliver(run.window, WM_TRAYICON, 0, WM_LBUTTONDOWN));
    CHECK(!FindDialog(run.child, kMainDialogItem));
    PostMessageA(info, WM_COMMAND, IDC_OK, 0);
    CHECK(WaitGone(info));
    // Resident: closing a dialog leaves the program running.
    CHECK(Deliver(run.window, WM_NULL, 0, 0));

    CHECK(Deliver(run.window, WM_TRAYICON, 0, WM_LBUTTONDOWN));
    main = WaitForDialog(run.child, kMainDialogItem);
    CHECK(main);
    // The close box closes MAIN_DIALOG without a question.
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(WaitGone(main));
    ExitThroughMenu(sandbox, run.child, run.window);
}

CHECK_CASE(MainDialogCleaningIsLoggedAndRememberedAcrossARestart)
{
    const char* kFreed = "\xCE\xF1\xE2\xEE\xE1\xEE\xE6\xE4\xE5\xED\xEE *";
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TRun run = StartResident(sandbox, program);
    HWND main = Hotkey(run, HOTKEY_MAIN, kMainDialogItem);
    CHECK(main);
    if (!main)
        return;
    int total = TotalPhysicalMBHere();
    // 16, 32, ... up to what one run cleans, or below the total.
    int offered = (total - 1) / 16 < 64 ? (total - 1) / 16 : 64;
    CHECK_EQ(offered, SendDlgItemMessageA(main, IDC_AMOUNT, CB_GETCOUNT, 0, 0));
    CHECK(WaitForItemText(main, IDC_AMOUNT, "48")); // the default amount
    CHECK(Checked(main, IDC_UNIT_MB));
    char log[4096];
    char path[MAX_PATH];
    FilePath(program, "Brindlecap.log", path);
    // What is not a number cleans nothing, logs nothing, and the box offers
    // the last amount again; the whole number typed is the amount cleaned.
    const struct {
        const char* typed;
        const char* shownAfter;
        int lines;            // in the log afterwards
        const char* lastLine; // 0: nothing runs
    } typings[] = {
        {"", "48", 0, nullptr},
        {"abc", "48", 0, nullptr},
        {"48abc", "48", 0, nullptr},
        {"70000", "48", 0, nullptr},
        {"000000000000000048", "000000000000000048", 1, " 48 \xCC\xE1 #MANUAL\r\n"},
        {"1024", "1024", 2, " 1024 \xCC\xE1 #MANUAL\r\n"},
    };
    for (const auto& t : typings) {
        CHECK(SetDlgItemTextA(main, IDC_AMOUNT, t.typed));
        SetDlgItemTextA(main, IDC_STATUS, "");
        PostMessageA(main, WM_COMMAND, IDC_OK, 0);
        // A run says what it freed: "Освобождено N Мб".
        if (t.lastLine)
            CHECK(WaitForItemText(main, IDC_STATUS, kFreed));
        CHECK(WaitForItemText(main, IDC_AMOUNT, t.shownAfter));
        int read = ReadBytes(path, reinterpret_cast<BYTE*>(log), sizeof log - 1);
        log[read > 0 ? read : 0] = 0;
        int lines = 0;
        for (const char* at = log; (at = strstr(at, "\r\n")); at += 2)
            ++lines;
        CHECK_EQ(t.lines, lines);
        if (t.lastLine)
            CHECK(strstr(log, t.lastLine) != nullptr);
    }
    // Done: the figures are a reading taken after the run gave its memory
    // back, not the one taken while it held it (Wine repeats a memory
    // reading for a second: the dialog reads again after that).
    char freeText[32] = "", usedText[32] = "";
    int shownFree = 0, freshFree = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(100)) {
        GetDlgItemTextA(main, IDC_PHYS_FREE, freeText, sizeof freeText);
        GetDlgItemTextA(main, IDC_PHYS_USED, usedText, sizeof usedText);
        shownFree = atoi(freeText), freshFree = FreePhysicalMBHere();
        if (abs(shownFree - freshFree) <= 64)
            break;
    }
    if (abs(shownFree - freshFree) > 64)
        printf("  free after the run: shown %d MB, read now %d MB\n", shownFree, freshFree);
    CHECK(abs(shownFree - freshFree) <= 64);
    CHECK(abs(atoi(usedText) - (total - freshFree)) <= 64);
    CHECK(SetWindowPos(main, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    CHECK(WaitForItemText(main, IDC_STATUS, kFreed));
    CHECK_EQ(100, SendDlgItemMessageA(main, IDC_CLEAN_PROGRESS, PBM_GETPOS, 0, 0));
    // A pick while the tray's run is under way is refused, and says so.
    PostMessageA(run.window, WM_COMMAND, IDM_CLEAN75, 0);
    PostMessageA(main, WM_COMMAND, IDC_OK, 0);
    CHECK(WaitForItemText(main, IDC_STATUS,
                          "\xCE\xF7\xE8\xF1\xF2\xEA\xE0 \xF3\xE6\xE5 \xE8\xE4\xB8\xF2"));
    PostMessageA(main, WM_COMMAND, IDC_HIDE, 0);
    CHECK(WaitGone(main));
    BYTE ini[23];
    CHECK(ReadIni(program, ini));
    CHECK_EQ(1024, IniWord(ini, kIniManualAmount));
    CHECK_EQ(123, IniWord(ini, kIniMainLeft));
    CHECK_EQ(77, IniWord(ini, kIniMainTop));
    ExitThroughMenu(sandbox, run.child, run.window);

    TRun again = StartResident(sandbox, program);
    main = Hotkey(again, HOTKEY_MAIN, kMainDialogItem);
    CHECK(main);
    RECT r = {};
    GetWindowRect(main, &r);
    CHECK_EQ(123, r.left);
    CHECK_EQ(77, r.top);
    CHECK(WaitForItemText(main, IDC_AMOUNT, "1024"));
    ExitThroughMenu(sandbox, again.child, again.window);
}

CHECK_CASE(ExitQuestionNoKeepsRunningYesEndsWithZero)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TRun run = StartResident(sandbox, sandbox.InstallProgram(), "S");
    HWND main = Hotkey(run, HOTKEY_MAIN, kMainDialogItem);
    CHECK(main);
    if (!main)
        return;
    PostMessageA(main, WM_COMMAND, IDC_EXIT, 0);
    HWND box = WaitForMessageBox(run.child);
    CHECK(box);
    if (!box)
        return;
    wchar_t text[100];
    CHECK(StaticText(box, text, 100));
    CHECK_STR(L"Вы хотите выйти из программы ?", text);
    // Enter answers No: it is the default button.
    CHECK(GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
    CHECK(!(GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON));
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    CHECK(WaitGone(box));
    CHECK(Deliver(run.window, WM_NULL, 0, 0));
    CHECK(IsWindow(main));

    PostMessageA(main, WM_COMMAND, IDC_EXIT, 0);
    box = WaitForMessageBox(run.child);
    CHECK(box);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    ExpectEndsWithZero(sandbox, run.child);
}

CHECK_CASE(ExitFromTheMenuWithTheExitQuestionOpenStoresTheDialogsPlaceAndEnds)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TRun run = StartResident(sandbox, program);
    HWND main = Hotkey(run, HOTKEY_MAIN, kMainDialogItem);
    CHECK(main);
    if (!main)
        return;
    CHECK(SetWindowPos(main, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    PostMessageA(main, WM_COMMAND, IDC_EXIT, 0);
    CHECK(WaitForMessageBox(run.child));
    // The question's own loop carries the menu's command to the window.
    ExitThroughMenu(sandbox, run.child, run.window);
    BYTE ini[23];
    CHECK(ReadIni(program, ini));
    CHECK_EQ(50, IniWord(ini, kIniMainLeft));
    CHECK_EQ(60, IniWord(ini, kIniMainTop));
}

CHECK_CASE(InformationDialogKeepsMonitoringAndItsPlaceAcrossRestarts)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TRun run = StartResident(sandbox, program);
    HWND info = Hotkey(run, HOTKEY_INFO, kInfoDialogItem);
    CHECK(info);
    if (!info)
        return;
    // Monitoring off: the figures are filled once, in megabytes.
    CHECK(WaitForAnyItemText(info, IDC_VIRT_TOTAL));
    CHECK(Checked(info, IDC_UNIT_MB));
    CHECK(!Checked(info, IDC_MONITORING));
    SendDlgItemMessageA(info, IDC_MONITORING, BM_CLICK, 0, 0);
    CHECK(Checked(info, IDC_MONITORING));
    CHECK(WaitForAnyItemText(info, IDC_CPU_TEXT)); // the processor load, live
    SendDlgItemMessageA(info, IDC_ON_TOP, BM_CLICK, 0, 0);
    CHECK(GetWindowLongA(info, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Within 20 pixels of the work area's corner it sticks there.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CHECK(SetWindowPos(info, nullptr, work.left + 20, work.top + 15, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER));
    RECT r = {};
    GetWindowRect(info, &r);
    CHECK_EQ(work.left, r.left);
    CHECK_EQ(work.top, r.top);
    CHECK(SetWindowPos(info, nullptr, work.left + 21, work.top + 21, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER));
    GetWindowRect(info, &r);
    CHECK_EQ(work.left + 21, r.left);
    CHECK_EQ(work.top + 21, r.top);
    PostMessageA(info, WM_COMMAND, IDC_OK, 0);
    CHECK(WaitGone(info));
    BYTE ini[23];
    CHECK(ReadIni(program, ini));
    CHECK_EQ(1, ini[kIniInfoMonitoring]);
    CHECK_EQ(1, ini[kIniInfoOnTop]);
    CHECK_EQ(21, IniWord(ini, kIniInfoLeft));
    ExitThroughMenu(sandbox, run.child, run.window);

    TRun again = StartResident(sandbox, program);
    info = Hotkey(again, HOTKEY_INFO, kInfoDialogItem);
    CHECK(info);
    if (!info)
        return;
    CHECK(Checked(info, IDC_MONITORING));
    CHECK(Checked(info, IDC_ON_TOP));
    // Put on top once it is made, which the wait for it may beat.
    CHECK(WaitUntil([&] { return (GetWindowLongA(info, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    CHECK(WaitForAnyItemText(info, IDC_CPU_TEXT));
    CHECK(SetWindowPos(info, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    // Unchecked, then ended through the menu: the box's state is not
    // stored, the position is.
    SendDlgItemMessageA(info, IDC_MONITORING, BM_CLICK, 0, 0);
    CHECK(!Checked(info, IDC_MONITORING));
    ExitThroughMenu(sandbox, again.child, again.window);
    CHECK(ReadIni(program, ini));
    CHECK_EQ(1, ini[kIniInfoMonitoring]);
    CHECK_EQ(200, IniWord(ini, kIniInfoLeft));
    CHECK_EQ(150, IniWord(ini, kIniInfoTop));
}

CHECK_CASE(StoredPositionsOutsideTheScreenOpenOnIt)
{
    CHECK(!AnyMainWindow());
    // Left of and above the screen, far beyond it, beyond its size.
    const WORD positions[][2] = {{0xFFF6, 0xFFFB}, {60000, 60000}, {2000, 1500}};
    for (const auto& position : positions) {
        TSandbox sandbox;
        const char* program = sandbox.InstallProgram();
        BYTE ini[23];
        memcpy(ini, kDefaultSettingsFile, sizeof ini);
        ini[kIniMainLeft] = BYTE(position[0]);
        ini[kIniMainLeft + 1] = BYTE(position[0] >> 8);
        ini[kIniMainTop] = BYTE(position[1]);
        ini[kIniMainTop + 1] = BYTE(position[1] >> 8);
        ini[kIniInfoLeft] = ini[kIniMainLeft];
        ini[kIniInfoLeft + 1] = ini[kIniMainLeft + 1];
        ini[kIniInfoTop] = ini[kIniMainTop];
        ini[kIniInfoTop + 1] = ini[kIniMainTop + 1];
        char path[MAX_PATH];
        FilePath(program, "Brindlecap.ini", path);
        CHECK(WriteBytes(path, ini, sizeof ini));
        TRun run = StartResident(sandbox, program, "S");
        HWND main = Hotkey(run, HOTKEY_MAIN, kMainDialogItem);
        CHECK(main);
        if (main) {
            ExpectOnScreen(main);
            PostMessageA(main, WM_COMMAND, IDC_HIDE, 0);
            CHECK(WaitGone(main));
        }
        HWND info = Hotkey(run, HOTKEY_INFO, kInfoDialogItem);
        CHECK(info);
        if (info)
            ExpectOnScreen(info);
        ExitThroughMenu(sandbox, run.child, run.window);
    }
}

CHECK_CASE(AboutHelpWithoutAHelpFileSaysSoAndNamesTheFilesTried)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TChild* child = sandbox.Start(sandbox.InstallProgram(), sandbox.NewFolder(), "?");
    HWND about = WaitForDialog(child, kAboutDialogItem);
    CHECK(about);
    if (!about)
        return;
    PostMessageA(about, WM_COMMAND, IDC_HELPFILE, 0);
    HWND box = WaitForMessageBox(child);
    CHECK(box);
    if (box) {
        wchar_t text[1000];
        CHECK(StaticText(box, text, 1000));
        CHECK(wcsstr(text, L"Ошибка открытия файла помощи\n\n") == text);
        CHECK(wcsstr(text, L"\\brindlecap.htm\n") && wcsstr(text, L"\\brindlecap-en.htm"));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        CHECK(WaitGone(box));
    }
    PostMessageA(about, WM_COMMAND, IDC_OK, 0);
    ExpectEndsWithZero(sandbox, child);
}

CHECK_CASE(ModuleNotificationsRereadTheSettingsAndIgnoreUnknownSlots)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TRun run = StartResident(sandbox, program);
    if (!run.window)
        return;
    // No module sits in these slots, or they are no slots at all.
    const LPARAM slots[] = {0, 9, 10, -1, 0x7FFFFFFF};
    for (LPARAM slot : slots)
        CHECK(Deliver(run.window, WM_HOSTNOTIFY, 1, slot));
    const WPARAM empty[] = {0, 9};
    for (WPARAM slot : empty)
        CHECK(Deliver(run.window, WM_COMMAND, slot, 0));
    // The settings module saved a new amount: the host uses it at once.
    BYTE ini[23];
    memcpy(ini, kDefaultSettingsFile, sizeof ini);
    ini[kIniManualAmount] = 77;
    char path[MAX_PATH];
    FilePath(program, "Brindlecap.ini", path);
    CHECK(WriteBytes(path, ini, sizeof ini));
    CHECK(Deliver(run.window, WM_HOSTNOTIFY, 2, 0));
    HWND main = Hotkey(run, HOTKEY_MAIN, kMainDialogItem);
    CHECK(main);
    CHECK(WaitForItemText(main, IDC_AMOUNT, "77"));
    ExitThroughMenu(sandbox, run.child, run.window);
}
