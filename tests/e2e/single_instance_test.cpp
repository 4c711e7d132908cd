// One copy per desktop, and the hidden window that marks it.
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#include "../win32/check.h"
#include "host_ui.h"
#include "probe.h"
#include "sandbox.h"

namespace {

// A second start while `first` runs: it shows the refusal with no owner,
// ends with 0 once the box is answered, writes nothing, and leaves the first
// copy running.
void ExpectRefused(TSandbox& sandbox, const char* arguments, TChild* first, HWND firstWindow)
{
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    TChild* second = sandbox.Start(program, work, arguments);
    CHECK(second);
    HWND box = WaitForMessageBox(second);
    CHECK(box);
    if (!box) {
        printf("  no refusal from Brindlecap.exe %s\n", arguments);
        return;
    }
    CHECK(GetWindow(box, GW_OWNER) == nullptr);
    wchar_t text[128];
    CHECK(StaticText(box, text, 128));
    CHECK(wcscmp(text, L"Копия программы уже запущена") == 0);
    // Which icon cannot be told from outside (the box holds a copy of its
    // own), but a box without one has no icon control at all.
    CHECK(StaticIcon(box) != nullptr);
    CHECK_EQ(IDOK, OnlyButton(box));
    // A refusal stops before the copy makes a window of its own.
    CHECK(!WaitForWindow(second, "Brindlecap", nullptr, 0));

    CHECK(PostMessageA(box, WM_COMMAND, IDOK, 0));
    ExpectEndsWithZero(sandbox, second);
    char path[MAX_PATH];
    FilePath(program, "Brindlecap.ini", path);
    CHECK(!FileExists(path));

    CHECK(WaitForSingleObject(first->process, 0) == WAIT_TIMEOUT);
    CHECK(IsWindow(firstWindow));
}

// Whether another program holds Alt+Ctrl+`key`: registering it fails then.
bool HotKeyTaken(UINT key)
{
    if (!RegisterHotKey(nullptr, 1, MOD_ALT | MOD_CONTROL, key))
        return true;
    UnregisterHotKey(nullptr, 1);
    return false;
}

} // namespace

CHECK_CASE(ASecondCopyIsRefusedWhileOneRuns)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    const char* work = sandbox.NewFolder();
    TChild* first = sandbox.Start(program, work, "S");
    CHECK(first);
    HWND window = ExpectResident(first);
    if (!window)
        return;
    // Without a command to hand over; "S" is no command.
    ExpectRefused(sandbox, "", first, window);
    ExpectRefused(sandbox, "S", first, window);
    ExpectClosesWithZero(sandbox, first, window, program);
}

// The running copy cleans with its progress window, and the second copy
// ends with 0 at once, with no box to wait on.
CHECK_CASE(ASecondCopyHandsItsCleaningToTheRunningOne)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TChild* first = sandbox.Start(program, sandbox.NewFolder(), "S");
    HWND window = ExpectResident(first);
    if (!window)
        return;
    TChild* second = sandbox.Start(program, sandbox.NewFolder(), "/C 300 D");
    ExpectEndsWithZero(sandbox, second);
    HWND progress = WaitForDialog(first, kMemoryDialogItem);
    CHECK(progress);
    if (progress) {
        // Its "Ok" closes the window; the resident copy stays.
        PostMessageA(progress, WM_COMMAND, IDC_OK, 0);
        CHECK(WaitGone(progress));
    }
    CHECK(Deliver(window, WM_NULL, 0, 0));
    ExpectClosesWithZero(sandbox, first, window, program);
}

CHECK_CASE(TheMainWindowIsHiddenAndEmpty)
{
    CHECK(!AnyMainWindow());
    const char* starts[] = {"S", ""};
    for (const char* arguments : starts) {
        TSandbox sandbox;
        const char* program = sandbox.InstallProgram();
        TChild* child = sandbox.Start(program, sandbox.NewFolder(), arguments);
        HWND window = ExpectResident(child);
        if (!window)
            continue;
        CHECK(!IsWindowVisible(window));
        // Created at 0,0 with size 0 by 0 and style 0: an overlapped window,
        // which the system never makes smaller than its minimum tracking size.
        RECT bounds = {};
        CHECK(GetWindowRect(window, &bounds));
        CHECK_EQ(0, bounds.left);
        CHECK_EQ(0, bounds.top);
        CHECK_EQ(GetSystemMetrics(SM_CXMINTRACK), bounds.right - bounds.left);
        CHECK_EQ(GetSystemMetrics(SM_CYMINTRACK), bounds.bottom - bounds.top);
        CHECK_EQ(0, GetWindowTextLengthA(window));
        CHECK(GetWindow(window, GW_OWNER) == nullptr);
        CHECK(GetParent(window) == nullptr);
        ExpectClosesWithZero(sandbox, child, window, program);
    }
}

CHECK_CASE(AResidentCopyHoldsItsHotKeys)
{
    CHECK(!AnyMainWindow());
    // Free before: otherwise the check below proves nothing.
    CHECK(!HotKeyTaken(VK_F12));
    CHECK(!HotKeyTaken(VK_F11));
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    TChild* child = sandbox.Start(program, sandbox.NewFolder(), "S");
    HWND window = ExpectResident(child);
    if (!window)
        return;
    CHECK(HotKeyTaken(VK_F12));
    CHECK(HotKeyTaken(VK_F11));
    ExpectClosesWithZero(sandbox, child, window, program);
    CHECK(!HotKeyTaken(VK_F12));
    CHECK(!HotKeyTaken(VK_F11));
}
