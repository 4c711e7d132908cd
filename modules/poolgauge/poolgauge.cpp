#include "poolgauge.h"

#include "../../common/centerwindow.h"
#include "../../common/language.h"
#include "../../common/logic/numtext.h"
#include "frame.h"

#include <commctrl.h>

// What a query asks for. A test build names a thunk entry, a 16-bit module
// or a function that does not exist, to reach the paths where they fail.
#ifndef POOLGAUGE_THUNK_ENTRY
#define POOLGAUGE_THUNK_ENTRY "QT_Thunk"
#endif
#ifndef POOLGAUGE_USER_MODULE
#define POOLGAUGE_USER_MODULE "user.exe"
#endif
#ifndef POOLGAUGE_USER_FUNCTION
#define POOLGAUGE_USER_FUNCTION "GetFreeSystemResources"
#endif

typedef uint16_t HINSTANCE16;
typedef uint32_t SEGPTR;

// Bound by number (the 9x kernel exports them under no name): the library
// loads only where they exist.
extern "C" {
__stdcall HINSTANCE16 LoadLibrary16(const char* name);
__stdcall void FreeLibrary16(HINSTANCE16 module);
__stdcall SEGPTR GetProcAddress16(HINSTANCE16 module, const char* name);
}

const int32_t ModulePlatform = 2;

static const char kCaption[] = "Poolgauge";

// The open dialog, 0 before WM_INITDIALOG.
static HWND ResourcesDialog;

// The error box of a failed query: string `id` loaded into `message` (100
// characters). The box has no owner, so the dialog is kept from input while
// it waits: a close from behind it would let the host unload this library
// under the query still on the stack.
static void ShowQueryError(UINT id, char* message)
{
    LoadUiString(ModuleInstance, id, message, 99);
    bool wasDisabled = ResourcesDialog && EnableWindow(ResourcesDialog, FALSE);
    MessageBoxA(0, message, kCaption, MB_OK | MB_ICONERROR);
    if (ResourcesDialog && !wasDisabled)
        EnableWindow(ResourcesDialog, TRUE);
}

uint16_t ReadResourcePercent(uint16_t kind)
{
    char message[100];
    HMODULE kernel = GetModuleHandleA("Kernel32.dll");
    if (!kernel)
        return 0;
    // Absent outside the 9x family; the ordinals are then never called.
    void* thunk = reinterpret_cast<void*>(GetProcAddress(kernel, POOLGAUGE_THUNK_ENTRY));
    if (!thunk)
        return 0;
    HINSTANCE16 user = LoadLibrary16(POOLGAUGE_USER_MODULE);
    if (user < 32) {
        ShowQueryError(IDS_USER_LOAD_FAILED, message);
        return 0;
    }
    SEGPTR function = GetProcAddress16(user, POOLGAUGE_USER_FUNCTION);
    if (!function) {
        ShowQueryError(IDS_FUNCTION_MISSING, message);
        FreeLibrary16(user);
        return 0;
    }
    uint16_t percent = uint16_t(CallThunk16(thunk, function, kind));
    FreeLibrary16(user);
    return percent;
}

static void ShowFigure(HWND dialog, int barId, int textId, uint8_t percent)
{
    char text[16];
    int length = FormatDecimal(percent, text);
    text[length] = '%';
    text[length + 1] = 0;
    SendDlgItemMessageA(dialog, barId, PBM_SETPOS, percent, 0);
    SetDlgItemTextA(dialog, textId, text);
}

void RefreshResources(HWND dialog)
{
    uint8_t gdi = uint8_t(ReadResourcePercent(kGdiResources));
    uint8_t system = uint8_t(ReadResourcePercent(kSystemResources));
    uint8_t user = uint8_t(ReadResourcePercent(kUserResources));
    ShowFigure(dialog, IDC_GDI_BAR, IDC_GDI_TEXT, gdi);
    ShowFigure(dialog, IDC_SYSTEM_BAR, IDC_SYSTEM_TEXT, system);
    ShowFigure(dialog, IDC_USER_BAR, IDC_USER_TEXT, user);
}

void ModuleInitDialog(HWND dialog)
{
    ResourcesDialog = dialog;
    CenterWindow(dialog);
    for (int bar = IDC_GDI_BAR; bar <= IDC_USER_BAR; ++bar)
        SendDlgItemMessageA(dialog, bar, PBM_SETRANGE32, 0, 100);
    RefreshResources(dialog);
}

void ModuleCommand(HWND dialog, WPARAM wParam, LPARAM)
{
    if (wParam == IDC_EXIT)
        DestroyWindow(dialog);
    else if (wParam == IDC_REFRESH)
        RefreshResources(dialog);
}

void ModuleDestroy(HWND) { ResourcesDialog = 0; }

void ModuleUnload() {}
