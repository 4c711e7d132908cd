// The tray menu: opened by a right press on the icon, driven with keys as
// the user does, and its commands sent as the menu sends them.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../common/hostnotify.h"
#include "../../host/logic/amounts.h"
#include "../win32/check.h"
#include "host_ui.h"
#include "probe.h"
#include "sandbox.h"

namespace {

HWND WaitForMenu(TChild* child)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND menu = WaitForWindow(child, "#32768", nullptr, 100);
        if (menu && IsWindowVisible(menu))
            return menu;
        if (GetTickCount() - start > kStartTimeout)
            return nullptr;
    }
}

void PressKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void SendKeys(const WORD* keys, int count, bool up)
{
    INPUT inputs[8] = {};
    for (int i = 0; i < count; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[up ? count - 1 - i : i];
        inputs[i].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(UINT(count), inputs, sizeof(INPUT));
}

} // namespace

CHECK_CASE(RightPressOpensTheMenuWhoseFourthItemIsInformation)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TChild* child = sandbox.Start(sandbox.InstallProgram(), sandbox.NewFolder(), "");
    HWND window = WaitForMainWindow(child);
    CHECK(window);
    if (!window)
        return;
    // Escape closes the menu and nothing happens; it opens afresh each time.
    for (int round = 0; round < 2; ++round) {
        PostMessageA(window, WM_TRAYICON, 0, WM_RBUTTONDOWN);
        HWND menu = WaitForMenu(child);
        CHECK(menu);
        if (!menu)
            return;
        PressKey(menu, VK_ESCAPE);
        CHECK(WaitGone(menu));
    }
    CHECK(Deliver(window, WM_NULL, 0, 0));
    CHECK(!FindDialog(child, 600));

    PostMessageA(window, WM_TRAYICON, 0, WM_RBUTTONDOWN);
    HWND menu = WaitForMenu(child);
    CHECK(menu);
    if (menu) {
        for (int i = 0; i < 4; ++i)
            PressKey(menu, VK_DOWN);
        PressKey(menu, VK_RETURN);
    }
    HWND info = WaitForDialog(child, kInfoDialogItem);
    CHECK(info);
    ExitThroughMenu(sandbox, child, window);
}

CHECK_CASE(MenuCleaningsLogTheirShareOfTheTotal)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TChild* child = sandbox.Start(program, sandbox.NewFolder(), "");
    HWND window = WaitForMainWindow(child);
    CHECK(window);
    if (!window)
        return;
    const int percents[] = {25, 50, 75};
    const int commands[] = {IDM_CLEAN25, IDM_CLEAN50, IDM_CLEAN75};
    char log[4096];
    char path[MAX_PATH];
    FilePath(program, "Brindlecap.log", path);
    // Each after the last has ended: one picked during a run is refused.
    for (int i = 0; i < 3; ++i) {
        PostMessageA(window, WM_COMMAND, WPARAM(commands[i]), 0);
        CHECK(WaitForLogLines(path, i + 1, log, sizeof log));
    }
    int total = TotalPhysicalMBHere();
    const char* at = log;
    for (int p : percents) {
        char expected[64];
        snprintf(expected, sizeof expected, " %d \xCC\xE1 #MANUAL\r\n", PercentOfTotal(total, p));
        const char* found = strstr(at, expected);
        CHECK(found != nullptr);
        if (!found) {
            printf("  no \"%s\" in order in:\n%s\n", expected, log);
            break;
        }
        at = found + 1;
    }
    ExitThroughMenu(sandbox, child, window);
}

// The longest run there is (three quarters of this machine pass the
// gigabyte a run holds at most): its log line comes only at its end, and
// until then the window answers every probe within half a second.
CHECK_CASE(TheTrayAnswersThroughoutAMenuCleaning)
{
    CHECK(!AnyMainWindow());
    CHECK(PercentOfTotal(TotalPhysicalMBHere(), 75) >= 1024);
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TChild* child = sandbox.Start(program, sandbox.NewFolder(), "");
    HWND window = ExpectResident(child);
    if (!window)
        return;
    char path[MAX_PATH];
    FilePath(program, "Brindlecap.log", path);
    DWORD_PTR answer;
    CHECK(SendMessageTimeoutA(window, WM_COMMAND, IDM_CLEAN75, 0, SMTO_NORMAL, 500, &answer));
    int answered = 0;
    BYTE line[8];
    DWORD start = GetTickCount();
    while (ReadBytes(path, line, sizeof line) <= 0 && GetTickCount() - start < kStartTimeout) {
        CHECK(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 500, &answer));
        ++answered;
        Sleep(20);
    }
    CHECK(answered >= 3);
    // Closed during a run: it stops between chunks, the settings are saved,
    // and the program ends with 0. The run is under way once a second pick
    // is refused, which is logged at once.
    char log[256];
    CHECK(SendMessageTimeoutA(window, WM_COMMAND, IDM_CLEAN75, 0, SMTO_NORMAL, 500, &answer));
    CHECK(SendMessageTimeoutA(window, WM_COMMAND, IDM_CLEAN75, 0, SMTO_NORMAL, 500, &answer));
    CHECK(WaitForLogLines(path, 2, log, sizeof log));
    ExpectClosesWithZero(sandbox, child, window, program);
}

CHECK_CASE(AltCtrlF12OnTheKeyboardOpensTheMainDialog)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TChild* child = sandbox.Start(sandbox.InstallProgram(), sandbox.NewFolder(), "S");
    HWND window = WaitForMainWindow(child);
    CHECK(window);
    if (!window)
        return;
    CHECK(Deliver(window, WM_NULL, 0, 0));
    const WORD keys[] = {VK_CONTROL, VK_MENU, VK_F12};
    SendKeys(keys, 3, false);
    SendKeys(keys, 3, true);
    HWND main = WaitForDialog(child, kMainDialogItem);
    CHECK(main);
    ExitThroughMenu(sandbox, child, window);
}
