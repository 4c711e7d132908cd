// A system that is not Russian (code page 1252): every dialog of the host
// and of the modules, the exit question, the log line and the modules'
// names read as English. Runs in the entry e2e_english, which starts the
// driver under an English locale.
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

// Plain ASCII without "??", the mark of a text the code page cannot show.
bool ReadsAsEnglish(HWND window)
{
    wchar_t text[256] = L"";
    SendMessageW(window, WM_GETTEXT, 256, LPARAM(text));
    for (const wchar_t* c = text; *c; ++c)
        if (*c > 0x7E || (c[0] == L'?' && c[1] == L'?'))
            return false;
    return true;
}

bool AllReadAsEnglish(HWND dialog)
{
    bool english = ReadsAsEnglish(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (!ReadsAsEnglish(c)) {
            printf("  control %d does not read as English\n", GetDlgCtrlID(c));
            english = false;
        }
    return english;
}

HWND VisibleDialogOf(TChild* child, int item)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTimeout; Sleep(20))
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == child->id && GetDlgItem(w, item) && IsWindowVisible(w))
                return w;
        }
    return nullptr;
}

typedef const char*(__stdcall* TGetName)();

} // namespace

CHECK_CASE(EnglishSystemShowsEveryTextInEnglish)
{
    if (GetACP() == 1251) {
        printf("  a Russian system: this case runs in the entry e2e_english\n");
        return;
    }
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    const char* program = sandbox.InstallProgram();
    CHECK(sandbox.InstallModule(program, "Setup.dll"));
    CHECK(sandbox.InstallModule(program, "Taskroll.dll"));
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
    // How each dialog opens, the control that finds it, its caption and
    // one control's text.
    const struct {
        UINT message;
        WPARAM command;
        int item;
        const char* caption;
        int shown;
        const char* text;
    } rows[] = {
        {WM_HOTKEY, HOTKEY_MAIN, IDC_HIDE, "Brindlecap", IDC_HIDE, "Hide"},
        {WM_HOTKEY, HOTKEY_INFO, IDC_MONITORING, "Brindlecap", IDC_MONITORING, "Live update"},
        {WM_COMMAND, IDM_ABOUT, IDC_WEB, "Brindlecap", IDC_HELPFILE, "Help"},
        {WM_COMMAND, 0, kSetupIconFirst, "Brindlecap - Settings", kSetupOk, "OK"},
        {WM_COMMAND, 1, kTaskrollExit, "Brindlecap - Process list", kTaskrollExit, "Exit"},
    };
    for (const auto& row : rows) {
        printf("  %s\n", row.caption);
        PostMessageA(window, row.message, row.command, MAKELPARAM(MOD_ALT | MOD_CONTROL, 0));
        // The modules' slots follow the scan's order.
        HWND dialog = VisibleDialogOf(child, row.item);
        if (!dialog && row.message == WM_COMMAND && row.command < 2) {
            PostMessageA(window, WM_COMMAND, 1 - row.command, 0);
            dialog = VisibleDialogOf(child, row.item);
        }
        CHECK(dialog);
        if (!dialog)
            continue;
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        CHECK_STR(row.caption, text);
        GetDlgItemTextA(dialog, row.shown, text, sizeof text);
        CHECK_STR(row.text, text);
        CHECK(AllReadAsEnglish(dialog));
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        CHECK(WaitGone(dialog));
    }
    // The main dialog cleans 16 MB into the log, then asks before the exit.
    CHECK(Deliver(window, WM_HOTKEY, HOTKEY_MAIN, 0));
    HWND main = VisibleDialogOf(child, IDC_HIDE);
    if (main) {
        SetDlgItemTextA(main, IDC_AMOUNT, "16");
        PostMessageA(main, WM_COMMAND, IDC_OK, 0);
        char log[MAX_PATH], line[256];
        FilePath(program, "Brindlecap.log", log);
        CHECK(WaitForLogLines(log, 1, line, sizeof line));
        CHECK(strstr(line, "] Request  16 MB #MANUAL\r\n") != nullptr);
        PostMessageA(main, WM_COMMAND, IDC_EXIT, 0);
        HWND box = WaitForMessageBox(child);
        CHECK(box);
        wchar_t question[100] = L"";
        CHECK(box && StaticText(box, question, 100));
        CHECK_STR(L"Do you want to exit Brindlecap?", question);
        if (box)
            PostMessageA(box, WM_COMMAND, IDNO, 0);
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        CHECK(WaitGone(main));
    }
    ExitThroughMenu(sandbox, child, window);
    // The names the "Modules" menu shows, from the shipped libraries.
    const struct {
        const char* file;
        const char* name;
    } names[] = {{"Setup.dll", "Settings"}, {"Taskroll.dll", "Process list"}};
    for (const auto& row : names) {
        FilePath(program, row.file, path);
        HMODULE library = LoadLibraryA(path);
        TGetName getName = library ? (TGetName)(void*)GetProcAddress(library, "GetName") : nullptr;
        CHECK(getName);
        if (getName)
            CHECK_STR(row.name, getName());
        if (library)
            FreeLibrary(library);
    }
}
