// The dialogs from the keyboard: keys posted to the focused control, as the
// system queues what the user types, through the host's own message loop.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../host/mainwindow.h"
#include "../win32/check.h"
#include "host_ui.h"
#include "module_ids.h"
#include "probe.h"
#include "sandbox.h"

namespace {

enum { kIniTrayIconMode = 9 };

struct TKeyRun {
    TSandbox sandbox;
    const char* program = nullptr;
    TChild* child = nullptr;
    HWND window = nullptr;
    HWND dialog = nullptr;
    BYTE before[23] = {};
    char ini[MAX_PATH] = "";
};

HWND FocusIn(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info))
        return nullptr;
    return info.hwndFocus && IsChild(dialog, info.hwndFocus) ? info.hwndFocus : nullptr;
}

// One key typed into `dialog`. A key that moves the focus (Tab, arrows) or
// closes the dialog is waited for; what the others do, each row's outcome
// polls for.
void Press(TKeyRun& run, UINT key)
{
    HWND before = FocusIn(run.dialog);
    HWND target = before ? before : run.dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000; Sleep(10))
        if (!IsWindow(run.dialog) || FocusIn(run.dialog) != before)
            break;
}

// Tab until the focus is on control `id` (or inside it); false after `limit`.
bool TabTo(TKeyRun& run, int id, int limit = 20)
{
    HWND control = GetDlgItem(run.dialog, id);
    for (int i = 0; i < limit; ++i) {
        HWND focus = FocusIn(run.dialog);
        if (focus && (focus == control || IsChild(control, focus)))
            return true;
        Press(run, VK_TAB);
    }
    return false;
}

void StartWith(TKeyRun& run, const char* module)
{
    run.program = run.sandbox.InstallProgram();
    if (module)
        CHECK(run.sandbox.InstallModule(run.program, module));
    FilePath(run.program, "Brindlecap.ini", run.ini);
    CHECK(WriteBytes(run.ini, kDefaultSettingsFile, 23));
    run.child = run.sandbox.Start(run.program, run.sandbox.NewFolder(), "");
    run.window = ExpectResident(run.child);
}

HWND Hotkey(TKeyRun& run, int hotkey, int item)
{
    CHECK(Deliver(run.window, WM_HOTKEY, WPARAM(hotkey), MAKELPARAM(MOD_ALT | MOD_CONTROL, 0)));
    return WaitForDialog(run.child, item);
}

// The visible dialog of the copy that has control `item`.
HWND VisibleDialogWith(TKeyRun& run, int item)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == run.child->id && GetDlgItem(w, item) && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Slot 0 of "Модули", posted as the menu posts it.
HWND PickModule(TKeyRun& run, int item)
{
    CHECK(PostMessageA(run.window, WM_COMMAND, 0, 0));
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTimeout; Sleep(20))
        if (HWND dialog = VisibleDialogWith(run, item))
            return dialog;
    return nullptr;
}

bool ReadIni(TKeyRun& run, BYTE* bytes) { return ReadBytes(run.ini, bytes, 23) == 23; }

// ---- what each row opens, types and expects --------------------------------

void OpenMain(TKeyRun& run) { run.dialog = Hotkey(run, HOTKEY_MAIN, kMainDialogItem); }
void OpenInfo(TKeyRun& run) { run.dialog = Hotkey(run, HOTKEY_INFO, kInfoDialogItem); }
void OpenAbout(TKeyRun& run)
{
    CHECK(PostMessageA(run.window, WM_COMMAND, IDM_ABOUT, 0));
    run.dialog = WaitForDialog(run.child, kAboutDialogItem);
}
void OpenSetup(TKeyRun& run) { run.dialog = PickModule(run, kSetupOk); }
void OpenTaskroll(TKeyRun& run) { run.dialog = PickModule(run, kTaskrollExit); }

// MAIN_DIALOG: Tab reaches the amount, Enter presses "Очистить".
void TypeAmountAndEnter(TKeyRun& run)
{
    CHECK(TabTo(run, IDC_AMOUNT));
    SetDlgItemTextA(run.dialog, IDC_AMOUNT, "16");
    Press(run, VK_RETURN);
}
bool Cleaned(TKeyRun& run)
{
    char log[MAX_PATH], text[256];
    FilePath(run.program, "Brindlecap.log", log);
    return WaitForLogLines(log, 1, text, sizeof text) && strstr(text, "16") &&
           strstr(text, "#MANUAL") && IsWindow(run.dialog);
}

void Escape(TKeyRun& run) { Press(run, VK_ESCAPE); }
// MAIN_DIALOG: Esc with the amount list dropped down closes the list alone.
void DropAmountsAndEscape(TKeyRun& run)
{
    CHECK(TabTo(run, IDC_AMOUNT));
    SendDlgItemMessageA(run.dialog, IDC_AMOUNT, CB_SHOWDROPDOWN, TRUE, 0);
    CHECK(SendDlgItemMessageA(run.dialog, IDC_AMOUNT, CB_GETDROPPEDSTATE, 0, 0));
    Press(run, VK_ESCAPE);
}
// The list closed; a Tab typed then is taken after whatever the Esc posted,
// so the dialog is still there only if the Esc did not close it.
bool ListClosedDialogOpen(TKeyRun& run)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000; Sleep(20))
        if (!SendDlgItemMessageA(run.dialog, IDC_AMOUNT, CB_GETDROPPEDSTATE, 0, 0)) {
            Press(run, VK_TAB);
            return IsWindow(run.dialog) != FALSE;
        }
    return false;
}
bool ClosedAndStored(TKeyRun& run)
{
    if (!WaitGone(run.dialog))
        return false;
    BYTE bytes[23];
    return ReadIni(run, bytes);
}

// INFO_DIALOG's place is stored as on its close box.
RECT InfoPlace;
void EscapeInfo(TKeyRun& run)
{
    GetWindowRect(run.dialog, &InfoPlace);
    Press(run, VK_ESCAPE);
}
bool InfoClosedWithItsPlace(TKeyRun& run)
{
    BYTE bytes[23];
    return WaitGone(run.dialog) && ReadIni(run, bytes) &&
           IniWord(bytes, kIniInfoLeft) == InfoPlace.left &&
           IniWord(bytes, kIniInfoTop) == InfoPlace.top;
}

// Setup: focus through every control changes nothing; Esc saves nothing.
void TabThroughAndEscape(TKeyRun& run)
{
    ReadIni(run, run.before);
    for (int i = 0; i < 12; ++i)
        Press(run, VK_TAB);
    Press(run, VK_ESCAPE);
}
// The same, then "Ok": what it saves is what was read.
void TabThroughAndOk(TKeyRun& run)
{
    ReadIni(run, run.before);
    for (int i = 0; i < 12; ++i)
        Press(run, VK_TAB);
    CHECK(PostMessageA(run.dialog, WM_COMMAND, kSetupOk, 0));
}
bool ClosedFileUnchanged(TKeyRun& run)
{
    BYTE bytes[23];
    return WaitGone(run.dialog) && ReadIni(run, bytes) && memcmp(bytes, run.before, 23) == 0;
}

// Setup: the arrow key moves the icon choice, "Ok" stores it.
void ArrowToNextIconAndOk(TKeyRun& run)
{
    CHECK(TabTo(run, kSetupIconFirst));
    Press(run, VK_DOWN);
    CHECK(PostMessageA(run.dialog, WM_COMMAND, kSetupOk, 0));
}
bool NextIconStored(TKeyRun& run)
{
    BYTE bytes[23];
    return WaitGone(run.dialog) && ReadIni(run, bytes) &&
           bytes[kIniTrayIconMode] == kDefaultSettingsFile[kIniTrayIconMode] + 1;
}

bool TaskrollClosedAndUnloaded(TKeyRun& run)
{
    if (!WaitGone(run.dialog))
        return false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kExitTimeout; Sleep(20))
        if (!LoadsModule(run.child->id, "Taskroll.dll"))
            return true;
    return false;
}

} // namespace

CHECK_CASE(EveryDialogAnswersTheKeyboard)
{
    const struct {
        const char* what;
        const char* module;
        void (*open)(TKeyRun&);
        void (*type)(TKeyRun&);
        bool (*outcome)(TKeyRun&);
    } rows[] = {
        {"MAIN_DIALOG, Tab to the amount, Enter", nullptr, OpenMain, TypeAmountAndEnter, Cleaned},
        {"MAIN_DIALOG, Esc", nullptr, OpenMain, Escape, ClosedAndStored},
        {"MAIN_DIALOG, amounts dropped down, Esc", nullptr, OpenMain, DropAmountsAndEscape,
         ListClosedDialogOpen},
        {"INFO_DIALOG, Esc", nullptr, OpenInfo, EscapeInfo, InfoClosedWithItsPlace},
        {"ABOUT_DIALOG, Esc", nullptr, OpenAbout, Escape, ClosedAndStored},
        {"Setup, Tab through all, Esc", "Setup.dll", OpenSetup, TabThroughAndEscape,
         ClosedFileUnchanged},
        {"Setup, Tab through all, Ok", "Setup.dll", OpenSetup, TabThroughAndOk,
         ClosedFileUnchanged},
        {"Setup, arrow to the next icon, Ok", "Setup.dll", OpenSetup, ArrowToNextIconAndOk,
         NextIconStored},
        {"Taskroll, Esc", "Taskroll.dll", OpenTaskroll, Escape, TaskrollClosedAndUnloaded},
    };
    for (const auto& row : rows) {
        CHECK(!AnyMainWindow());
        TKeyRun run;
        StartWith(run, row.module);
        row.open(run);
        CHECK(run.dialog);
        if (run.dialog) {
            row.type(run);
            bool met = row.outcome(run);
            if (!met)
                printf("  not met: %s\n", row.what);
            CHECK(met);
        }
        if (run.child && run.window) {
            CHECK(PostMessageA(run.window, WM_CLOSE, 0, 0));
            ExpectEndsWithZero(run.sandbox, run.child);
        }
    }
}
