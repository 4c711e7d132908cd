// Setup.dll: the user's editor of Brindlecap.ini and of the autostart value.
// It meets the host only through the file, the registry and posted
// notifications.
#include <windows.h>

#include "../../common/centerwindow.h"
#include "../../common/hostnotify.h"
#include "../../common/logic/numtext.h"
#include "../../common/logic/path.h"
#include "../../common/settingsfile.h"
#include "frame.h"
#include "registry.h"
#include "resource.h"
#include "logic/setup.h"

const int32_t ModulePlatform = 1;

// Fresh on every load: the host unloads the library when its dialog closes.
static TSettings Settings = kDefaultSettings;
static bool AutostartEnabled = false;

static const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char kRunValue[] = "Brindle";

enum { kPathBuffer = MAX_PATH + 16 };

// HostDirectory + name; false when it does not fit, rather than a cut path
// that names another file.
static bool HostFile(const char* name, char out[kPathBuffer])
{
    return JoinPath(out, kPathBuffer, HostDirectory ? HostDirectory : "", name);
}

static bool SamePath(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

// Whether the Run value under `root` starts `program`, quoted or not: a
// value naming another copy of the program is that copy's.
static bool RunValueNames(HKEY root, const char* program)
{
    char data[kPathBuffer];
    return RegReadString(root, kRunKey, kRunValue, data, sizeof data) &&
           CommandNames(data, program, SamePath);
}

// The registry is asked only when the file opened. The machine's value
// starts the program for every user; the user's own, for this user alone.
static void LoadSetupSettings()
{
    char path[kPathBuffer];
    if (!HostFile("Brindlecap.ini", path) || !ReadSettingsFile(path, &Settings))
        return;
    char program[kPathBuffer];
    AutostartEnabled =
        HostFile("Brindlecap.exe", program) &&
        (RunValueNames(HKEY_LOCAL_MACHINE, program) || RunValueNames(HKEY_CURRENT_USER, program));
}

// For every user where this user may write the machine's key, else for this
// user alone; off removes whichever of the two starts this program.
static void SaveAutostart()
{
    char program[kPathBuffer], command[kPathBuffer + 2];
    if (!HostFile("Brindlecap.exe", program))
        return;
    uint8_t plan = PlanAutostart(AutostartEnabled, RunValueNames(HKEY_LOCAL_MACHINE, program),
                                 RunValueNames(HKEY_CURRENT_USER, program));
    if (plan & AutostartRemoveMachine)
        RegRemoveValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    if (plan & AutostartRemoveUser)
        RegRemoveValue(HKEY_CURRENT_USER, kRunKey, kRunValue);
    if ((plan & AutostartWriteMachine) && QuotedCommand(command, sizeof command, program) &&
        !RegWriteString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, command))
        RegWriteString(HKEY_CURRENT_USER, kRunKey, kRunValue, command);
}

static void SaveSetupSettings()
{
    char path[kPathBuffer];
    if (!HostFile("Brindlecap.ini", path))
        return;
    switch (WriteSettingsFile(path, Settings)) {
    case SettingsNotOpened:
        return;
    case SettingsWriteFailed:
        // The registry and the host stay as they were.
        ShowModuleError(IDS_WRITE_FAILED, "Brindlecap");
        return;
    case SettingsWritten:
        break;
    }
    SaveAutostart();
    PostMessageA(HostWindow, WM_HOSTNOTIFY, HOSTNOTIFY_SETTINGS_CHANGED, 0);
}

static void ShowNumber(HWND dialog, int id, unsigned value)
{
    char text[12];
    FormatDecimal(int32_t(value), text);
    SetDlgItemTextA(dialog, id, text);
}

// The five icon buttons are one group with one tab stop, kept on the
// checked button: Tab lands on the choice as it stands, and only a click,
// Space or the arrow keys change it. With none checked (a mode no button
// stands for) none takes Tab, for focus alone would choose the first.
static void CheckIconButton(HWND dialog, int id)
{
    if (id >= IDC_ICON_FIRST && id <= IDC_ICON_LAST)
        CheckRadioButton(dialog, IDC_ICON_FIRST, IDC_ICON_LAST, id);
    for (int button = IDC_ICON_FIRST; button <= IDC_ICON_LAST; ++button) {
        HWND window = GetDlgItem(dialog, button);
        LONG style = GetWindowLongA(window, GWL_STYLE) & ~WS_TABSTOP;
        SetWindowLongA(window, GWL_STYLE, button == id ? style | WS_TABSTOP : style);
    }
}

static void ShowSettings(HWND dialog)
{
    ShowNumber(dialog, IDC_AUTOCLEAN_INTERVAL, Settings.AutoCleanInterval);
    ShowNumber(dialog, IDC_AUTOCLEAN_PERCENT, Settings.AutoCleanPercent);
    ShowNumber(dialog, IDC_CRITICAL_LOAD, Settings.CriticalLoadPercent);
    ShowNumber(dialog, IDC_CRITICAL_CLEAN, Settings.CriticalCleanPercent);
    ShowNumber(dialog, IDC_CPU_LIMIT, Settings.CpuLoadLimit);
    ShowNumber(dialog, IDC_INFO_REFRESH, Settings.InfoRefreshPeriod);
    CheckDlgButton(dialog, IDC_LOG, Settings.LogEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_AUTOSTART, AutostartEnabled ? BST_CHECKED : BST_UNCHECKED);
    // A mode no button stands for leaves all five unchecked.
    CheckIconButton(dialog, IDC_ICON_FIRST + Settings.TrayIconMode);
}

// The first `limit` (at most 4) characters of the edit, and no more.
static void EditText(HWND dialog, int id, int limit, char text[8])
{
    text[0] = 0;
    GetDlgItemTextA(dialog, id, text, limit + 1);
}

static uint16_t Edit16(HWND dialog, int id, int limit)
{
    char text[8];
    EditText(dialog, id, limit, text);
    return EditValue16(text, limit);
}

static uint8_t Edit8(HWND dialog, int id, int limit)
{
    char text[8];
    EditText(dialog, id, limit, text);
    return EditValue8(text, limit);
}

// The icon mode is taken when its button is clicked, not here.
static void CollectSettings(HWND dialog)
{
    Settings.AutoCleanInterval = Edit16(dialog, IDC_AUTOCLEAN_INTERVAL, 2);
    Settings.AutoCleanPercent = Edit8(dialog, IDC_AUTOCLEAN_PERCENT, 2);
    Settings.InfoRefreshPeriod = Edit16(dialog, IDC_INFO_REFRESH, 4);
    Settings.CriticalLoadPercent = Edit8(dialog, IDC_CRITICAL_LOAD, 3);
    Settings.CriticalCleanPercent = Edit8(dialog, IDC_CRITICAL_CLEAN, 3);
    Settings.CpuLoadLimit = Edit8(dialog, IDC_CPU_LIMIT, 3);
    Settings.LogEnabled = IsDlgButtonChecked(dialog, IDC_LOG) == BST_CHECKED ? 1 : 0;
    AutostartEnabled = IsDlgButtonChecked(dialog, IDC_AUTOSTART) == BST_CHECKED;
}

// Typing stops at the characters a field takes; what the settings file
// brings is shown whole all the same, so "Ok" can refuse it.
static void LimitEdits(HWND dialog)
{
    for (const TEditField& field : kEditFields)
        SendDlgItemMessageA(dialog, field.Id, EM_LIMITTEXT, WPARAM(field.Limit), 0);
}

// Nothing is saved while a field is refused: the user is told which field
// and what it takes, and finds the caret in it.
static bool EditsAccepted(HWND dialog)
{
    char texts[kEditFieldCount][16];
    const char* read[kEditFieldCount];
    for (int i = 0; i < kEditFieldCount; ++i) {
        texts[i][0] = 0;
        GetDlgItemTextA(dialog, kEditFields[i].Id, texts[i], sizeof texts[i]);
        read[i] = texts[i];
    }
    int refused = FirstRefusedEdit(read);
    if (refused < 0)
        return true;
    ShowModuleError(UINT(kEditFields[refused].Message), "Brindlecap");
    // The dialog's own way to move the focus, which also selects the text.
    HWND edit = GetDlgItem(dialog, kEditFields[refused].Id);
    SendMessageA(dialog, WM_NEXTDLGCTL, WPARAM(edit), TRUE);
    return false;
}

void ModuleInitDialog(HWND dialog)
{
    LoadSetupSettings();
    CenterWindow(dialog);
    LimitEdits(dialog);
    ShowSettings(dialog);
}

// The whole wParam is matched, so only clicks (notification 0) count.
void ModuleCommand(HWND dialog, WPARAM wParam, LPARAM)
{
    if (wParam == IDC_OK) {
        if (!EditsAccepted(dialog))
            return;
        CollectSettings(dialog);
        SaveSetupSettings();
        DestroyWindow(dialog);
    } else if (wParam == IDC_CANCEL) {
        DestroyWindow(dialog);
    } else if (wParam >= IDC_ICON_FIRST && wParam <= IDC_ICON_LAST) {
        Settings.TrayIconMode = uint8_t(wParam - IDC_ICON_FIRST);
        CheckIconButton(dialog, int(wParam));
    }
}

void ModuleDestroy(HWND) {}
void ModuleUnload() {}
