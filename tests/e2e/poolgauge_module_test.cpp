// The system resources module beside the real host: listed, opened and
// closed in Windows 98 mode; passed over in NT mode.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "../../modules/poolgauge/resource.h"
#include "../win32/check.h"
#include "probe.h"
#include "sandbox.h"

namespace {

// The caption in the system's code page (1251 here).
const char* DialogCaption()
{
    static char caption[64];
    wchar_t wide[64];
    MultiByteToWideChar(CP_UTF8, 0, "Brindlecap - Системные ресурсы", -1, wide, 64);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, caption, sizeof caption, nullptr, nullptr);
    return caption;
}

// A resident host started as `programFile` with Poolgauge.dll beside it.
struct TPoolgaugeHost {
    TSandbox sandbox;
    TChild* child = nullptr;
    HWND window = nullptr;
    explicit TPoolgaugeHost(const char* programFile)
    {
        const char* program = sandbox.InstallProgram();
        CHECK(sandbox.InstallModule(program, "Poolgauge.dll"));
        if (strcmp(programFile, "Brindlecap.exe") != 0) {
            char shipped[MAX_PATH], copy[MAX_PATH];
            FilePath(program, "Brindlecap.exe", shipped);
            FilePath(program, programFile, copy);
            CHECK(CopyFileA(shipped, copy, TRUE));
        }
        child = sandbox.Start(program, sandbox.NewFolder(), "", programFile);
        window = ExpectResident(child);
    }
    // The command of the "Модули" entry in slot 0; it has run when the call
    // returns, so a dialog it made exists by then.
    void PickSlot0()
    {
        DWORD_PTR result;
        CHECK(SendMessageTimeoutA(window, WM_COMMAND, 0, 0, SMTO_NORMAL, kStartTimeout, &result));
    }
    void Exit()
    {
        CHECK(PostMessageA(window, WM_CLOSE, 0, 0));
        ExpectEndsWithZero(sandbox, child);
    }
};

// Each bar of the open dialog stands at its label's figure.
void ExpectFiguresShown(HWND dialog)
{
    for (int i = 0; i < 3; ++i) {
        char text[16] = "", expected[16];
        GetDlgItemTextA(dialog, IDC_GDI_TEXT + i, text, sizeof text);
        LRESULT position = SendDlgItemMessageA(dialog, IDC_GDI_BAR + i, PBM_GETPOS, 0, 0);
        CHECK(position >= 0 && position <= 100);
        snprintf(expected, sizeof expected, "%d%%", int(position));
        if (strcmp(text, expected))
            printf("  label %d reads \"%s\", bar %d stands at %d\n", 200 + i, text, 300 + i,
                   int(position));
        CHECK(strcmp(text, expected) == 0);
    }
}

} // namespace

CHECK_CASE(PoolgaugeIsListedAndOpensInWindows98Mode)
{
    CHECK(!AnyMainWindow());
    TPoolgaugeHost host("brindlecap98.exe");
    if (!host.window)
        return;
    // Opened twice: closing with "Выход" lets the host unload the library,
    // and the next pick loads it afresh.
    for (int round = 0; round < 2; ++round) {
        host.PickSlot0();
        HWND dialog = WaitForWindow(host.child, "#32770", DialogCaption());
        CHECK(dialog != nullptr);
        if (!dialog)
            break;
        CHECK(GetWindow(dialog, GW_OWNER) == host.window);
        ExpectFiguresShown(dialog);
        PostMessageA(dialog, WM_COMMAND, 100, 0);
        for (DWORD start = GetTickCount();
             IsWindow(dialog) && GetTickCount() - start < kExitTimeout;)
            WaitForSingleObject(host.child->process, 20);
        CHECK(!IsWindow(dialog));
    }
    host.Exit();
}

CHECK_CASE(PoolgaugeIsPassedOverInNtMode)
{
    CHECK(!AnyMainWindow());
    TPoolgaugeHost host("Brindlecap.exe");
    if (!host.window)
        return;
    // Slot 0 stays empty: the pick opens nothing and shows no error.
    host.PickSlot0();
    CHECK(FindWindowA("#32770", DialogCaption()) == nullptr);
    CHECK(FindWindowA("#32770", "Brindlecap") == nullptr);
    host.Exit();
}
