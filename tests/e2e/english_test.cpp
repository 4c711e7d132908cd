// An English system (code page 1252): the dialogs of the host and the
// modules, the exit question, the log line and the modules' names read as
// English. Runs in the entry e2e_english, which starts the driver so.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../host/mainwindow.h"
#include "../win32/check.h"
#include "host_ui.h"
#include "module_ids.h"
#include "probe.h"
#include "sandbox.h"

// Plain ASCII without "??", the mark of a text the code page cannot show.
static bool ReadsAsEnglish(HWND window)
{
    wchar_t text[256] = L"";
    SendMessageW(window, WM_GETTEXT, 256, LPARAM(text));
    for (const wchar_t* c = text; *c; ++c)
        if (*c > 0x7E || *c < 0x20)
            return false;
    return !wcsstr(text, L"??");
}

CHECK_CASE(EnglishSystemShowsEveryTextInEnglish)
{
    if (GetACP() == 1251) {
        printf("  a Russian system: this case runs in the entry e2e_english\n");
        return;
    }
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    CHECK(sandbox.InstallModule(program, "Setup.dll") &&
          sandbox.InstallModule(program, "Taskroll.dll"));
    BYTE ini[23];
    memcpy(ini, kDefaultSettingsFile, sizeof ini);
    ini[kIniLogEnabled] = 1;
    char path[MAX_PATH];
    FilePath(program, "Brindlecap.ini", path);
    CHECK(WriteBytes(path, ini, sizeof ini));
    TChild* child = sandbox.Start(program, sandbox.NewFolder(), "");
    HWND window = ExpectResident(child);
    if (!window)
        return;
    // How each dialog opens, its caption and one control's text. A module's
    // slot follows the scan's order: the other slot is tried as well.
    const struct {
        UINT message;
        WPARAM command;
        const char* caption;
        int item;
        const char* text;
    } rows[] = {
        {WM_HOTKEY, HOTKEY_MAIN, "Brindlecap", IDC_HIDE, "Hide"},
        {WM_HOTKEY, HOTKEY_INFO, "Brindlecap", IDC_MONITORING, "Live update"},
        {WM_COMMAND, IDM_ABOUT, "Brindlecap", IDC_HELPFILE, "Help"},
        {WM_COMMAND, 0, "Brindlecap - Settings", kSetupOk, "OK"},
        {WM_COMMAND, 1, "Brindlecap - Process list", kTaskrollExit, "Exit"},
    };
    for (const auto& row : rows) {
        PostMessageA(window, row.message, row.command, MAKELPARAM(MOD_ALT | MOD_CONTROL, 0));
        HWND dialog = WaitForWindow(child, "#32770", row.caption, 5000);
        if (!dialog && row.command < 2) {
            PostMessageA(window, WM_COMMAND, 1 - row.command, 0);
            dialog = WaitForWindow(child, "#32770", row.caption);
        }
        // Shown once its controls are made.
        for (DWORD start = GetTickCount();
             !IsWindowVisible(dialog) && GetTickCount() - start < kStartTimeout;)
            Sleep(20);
        char text[64] = "";
        GetDlgItemTextA(dialog, row.item, text, sizeof text);
        CHECK_STR(row.text, text);
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            CHECK(ReadsAsEnglish(c));
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        CHECK(dialog && WaitGone(dialog));
    }
    // The main dialog cleans 16 MB into the log, then asks before the exit.
    CHECK(Deliver(window, WM_HOTKEY, HOTKEY_MAIN, 0));
    HWND main = WaitForDialog(child, IDC_HIDE);
    SetDlgItemTextA(main, IDC_AMOUNT, "16");
    PostMessageA(main, WM_COMMAND, IDC_OK, 0);
    char log[MAX_PATH], line[256] = "";
    FilePath(program, "Brindlecap.log", log);
    CHECK(WaitForLogLines(log, 1, line, sizeof line) &&
          strstr(line, "] Request  16 MB #MANUAL\r\n"));
    PostMessageA(main, WM_COMMAND, IDC_EXIT, 0);
    HWND box = WaitForMessageBox(child);
    wchar_t question[100] = L"";
    CHECK(box && StaticText(box, question, 100));
    CHECK_STR(L"Do you want to exit Brindlecap?", question);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    ExitThroughMenu(sandbox, child, window);
    // The names the "Modules" menu shows, from the shipped libraries.
    const char* names[][2] = {{"Setup.dll", "Settings"}, {"Taskroll.dll", "Process list"}};
    for (const auto& name : names) {
        FilePath(program, name[0], path);
        HMODULE library = LoadLibraryA(path);
        typedef const char*(__stdcall * TGetName)();
        auto getName = library ? (TGetName)(void*)GetProcAddress(library, "GetName") : nullptr;
        CHECK_STR(name[1], getName ? getName() : "");
        FreeLibrary(library);
    }
}
