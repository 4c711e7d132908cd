// The settings module beside the real host: picked from the "Модули"
// commands, edited, saved, and taken up by the running host.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "../win32/check.h"
#include "../win32/unixlink.h"
#include "host_ui.h"
#include "probe.h"
#include "sandbox.h"
// The host's ids come with host_ui.h; where a name is the module's too, the
// module's value is the one meant in this file.
#undef IDC_OK
#undef IDC_STATIC
#include "../../modules/setup/resource.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The text in the system's code page (1251 here) from a UTF-8 literal.
const char* Ansi(const char* utf8, char* out, int size)
{
    wchar_t wide[256];
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size, nullptr, nullptr);
    return out;
}

struct THost {
    TSandbox& sandbox;
    const char* program;
    TChild* child;
    HWND window;
    // A fresh copy with Setup.dll beside it and `ini` (when given) as its
    // settings file, running in the tray mode.
    THost(TSandbox& box, const BYTE* ini = nullptr) : sandbox(box), child(nullptr), window(nullptr)
    {
        program = sandbox.InstallProgram();
        const char* work = sandbox.NewFolder();
        CHECK(sandbox.InstallModule(program, "Setup.dll"));
        if (ini) {
            char path[MAX_PATH];
            FilePath(program, "Brindlecap.ini", path);
            CHECK(WriteBytes(path, ini, 23));
        }
        child = sandbox.Start(program, work, "");
        window = ExpectResident(child);
    }
    // Picks slot 0 and returns its dialog once it shows. Posted, as the
    // menu posts it: after the closing notification of an earlier dialog.
    HWND Pick()
    {
        CHECK(PostMessageA(window, WM_COMMAND, 0, 0));
        char caption[64];
        HWND dialog = WaitForWindow(child, "#32770", Ansi("Brindlecap - Настройки", caption, 64));
        // The template is visible: it shows once its controls are filled.
        for (DWORD start = GetTickCount(); dialog && !IsWindowVisible(dialog); Sleep(10))
            if (!IsWindow(dialog) || GetTickCount() - start > kStartTimeout)
                return nullptr;
        return dialog;
    }
    int DialogCount()
    {
        char caption[64];
        Ansi("Brindlecap - Настройки", caption, 64);
        int count = 0;
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", caption); w;
             w = FindWindowExA(nullptr, w, "#32770", caption))
            ++count;
        return count;
    }
    void Exit()
    {
        CHECK(PostMessageA(window, WM_CLOSE, 0, 0));
        ExpectEndsWithZero(sandbox, child);
    }
    void ExpectFile(const BYTE* bytes)
    {
        char path[MAX_PATH];
        FilePath(program, "Brindlecap.ini", path);
        ExpectFileBytes(path, bytes, 23);
    }
};

// Presses a dialog button the way a click does and waits until the dialog
// is gone.
bool PressAndClose(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, WPARAM(id), 0);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kExitTimeout; Sleep(10))
        if (!IsWindow(dialog))
            return true;
    return false;
}

bool TextIs(HWND dialog, int id, const char* expected)
{
    char text[32] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    if (strcmp(text, expected))
        printf("  control %d shows \"%s\", not \"%s\"\n", id, text, expected);
    return strcmp(text, expected) == 0;
}

bool Autostart(char* data, DWORD size)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    bool found =
        RegQueryValueExA(key, "Brindle", nullptr, &type, (BYTE*)data, &size) == 0 && type == REG_SZ;
    RegCloseKey(key);
    return found;
}

void RemoveAutostart()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Brindle");
        RegCloseKey(key);
    }
}

// The window that has the keyboard focus in `window`'s thread.
HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool WaitForFocus(HWND control)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTimeout; Sleep(10))
        if (FocusOf(control) == control)
            return true;
    return false;
}

} // namespace

CHECK_CASE(SetupRefusesNonsenseNamesTheFieldAndSavesNothing)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    THost host(sandbox, kDefaultSettingsFile);
    HWND dialog = host.Pick();
    CHECK(dialog);
    if (!dialog)
        return host.Exit();
    // The edits take digits only, and no more characters than they hold.
    const int ids[] = {IDC_AUTOCLEAN_INTERVAL, IDC_AUTOCLEAN_PERCENT, IDC_CRITICAL_LOAD,
                       IDC_CRITICAL_CLEAN,     IDC_CPU_LIMIT,         IDC_INFO_REFRESH};
    const int limits[] = {2, 2, 3, 3, 3, 4};
    for (int i = 0; i < 6; ++i) {
        CHECK(GetWindowLongA(GetDlgItem(dialog, ids[i]), GWL_STYLE) & ES_NUMBER);
        CHECK_EQ(limits[i], int(SendDlgItemMessageA(dialog, ids[i], EM_GETLIMITTEXT, 0, 0)));
    }
    // The inputs of the report, pasted past the digit filter; then a period
    // below the floor.
    struct TRow {
        int id;
        const char* typed;
        const char* shown; // the valid text put back afterwards
        const wchar_t* message;
    };
    const TRow rows[] = {
        {IDC_AUTOCLEAN_INTERVAL, "abc", "30",
         L"Ошибка ввода поля «Автоматическое очищение каждые (мин)»: допустимо от 0 до 99"},
        {IDC_AUTOCLEAN_PERCENT, "99999", "45",
         L"Ошибка ввода поля «Очищать, %» автоматического очищения: допустимо от 1 до 99"},
        {IDC_CRITICAL_LOAD, "", "95",
         L"Ошибка ввода поля «Критический порог загрузки памяти, %»: допустимо от 1 до 100"},
        {IDC_CPU_LIMIT, "-5", "80",
         L"Ошибка ввода поля «Загрузка процессора, %»: допустимо от 0 до 100"},
        {IDC_CRITICAL_CLEAN, "0", "25",
         L"Ошибка ввода поля «Очищать, %» критического очищения: допустимо от 1 до 100"},
        {IDC_INFO_REFRESH, "99", "500",
         L"Ошибка ввода поля «Обновление информации (м.сек)»: допустимо от 100 до 9999"},
    };
    for (const TRow& row : rows) {
        printf("  field %d, \"%s\"\n", row.id, row.typed);
        SetDlgItemTextA(dialog, row.id, row.typed);
        // Focus elsewhere first, so that finding it in the field proves the move.
        PostMessageA(dialog, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog, IDC_CANCEL)), TRUE);
        CHECK(PostMessageA(dialog, WM_COMMAND, IDC_OK, 0));
        HWND box = WaitForMessageBox(host.child);
        CHECK(box);
        if (!box)
            break;
        CHECK(GetWindow(box, GW_OWNER) == nullptr);
        wchar_t text[128];
        CHECK(StaticText(box, text, 128));
        CHECK_STR(row.message, text);
        CHECK_EQ(IDOK, OnlyButton(box));
        CHECK(PostMessageA(box, WM_COMMAND, IDOK, 0));
        CHECK(WaitGone(box));
        CHECK(WaitForFocus(GetDlgItem(dialog, row.id)));
        CHECK(IsWindow(dialog));
        host.ExpectFile(kDefaultSettingsFile);
        SetDlgItemTextA(dialog, row.id, row.shown);
    }
    // Made right again, the same dialog saves.
    SetDlgItemTextA(dialog, IDC_AUTOCLEAN_INTERVAL, "0");
    CHECK(PressAndClose(dialog, IDC_OK));
    BYTE after[23];
    memcpy(after, kDefaultSettingsFile, 23);
    after[0] = 0;
    host.ExpectFile(after);
    host.Exit();
}

CHECK_CASE(SetupEditsTheSettingsAndTheRunningHostTakesThem)
{
    CHECK(!AnyMainWindow());
    // The default settings, with the hidden fields set: the dialog
    // positions, "Мониторинг", "Всегда сверху", the manual amount and the
    // reserved byte.
    const BYTE before[23] = {0x1E, 0x00, 0x40, 0x01, 0x2D, 0x5F, 0x19, 0x50, 0x01, 0x00, 0x07, 0x10,
                             0x01, 0x20, 0x02, 0xF4, 0x01, 0x01, 0x01, 0x30, 0x03, 0x40, 0x04};
    BYTE after[23];
    memcpy(after, before, 23);
    after[0] = 12;
    TSandbox sandbox;
    THost host(sandbox, before);
    HWND dialog = host.Pick();
    CHECK(dialog);
    if (!dialog)
        return host.Exit();
    CHECK(GetWindow(dialog, GW_OWNER) == host.window);
    const int ids[] = {IDC_AUTOCLEAN_INTERVAL, IDC_AUTOCLEAN_PERCENT, IDC_CRITICAL_LOAD,
                       IDC_CRITICAL_CLEAN,     IDC_CPU_LIMIT,         IDC_INFO_REFRESH};
    const char* shown[] = {"30", "45", "95", "25", "80", "500"};
    for (int i = 0; i < 6; ++i)
        CHECK(TextIs(dialog, ids[i], shown[i]));
    CHECK_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_LOG));
    CHECK_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_AUTOSTART));
    CHECK_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_ICON_STATIC));
    // A second pick raises the open dialog and makes no other.
    DWORD_PTR result;
    CHECK(SendMessageTimeoutA(host.window, WM_COMMAND, 0, 0, SMTO_NORMAL, kStartTimeout, &result));
    CHECK_EQ(1, host.DialogCount());
    CHECK(IsWindow(dialog));

    SetDlgItemTextA(dialog, IDC_AUTOCLEAN_INTERVAL, "12");
    CHECK(PressAndClose(dialog, IDC_OK));
    host.ExpectFile(after);

    // Opened afresh, it reads what it saved; "Отмена" drops every change.
    dialog = host.Pick();
    CHECK(dialog && TextIs(dialog, IDC_AUTOCLEAN_INTERVAL, "12"));
    SetDlgItemTextA(dialog, IDC_AUTOCLEAN_INTERVAL, "77");
    // Each icon button is a group of its own: the click alone moves the
    // check.
    CHECK(SendMessageTimeoutA(dialog, WM_COMMAND, IDC_ICON_CPU_TEXT, 0, SMTO_NORMAL, kStartTimeout,
                              &result));
    CHECK_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_ICON_CPU_TEXT));
    CHECK_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_ICON_STATIC));
    CHECK(PressAndClose(dialog, IDC_CANCEL));
    host.ExpectFile(after);

    // The host took the saved settings: its own save at exit keeps them,
    // and it closes a module still open on its way out.
    dialog = host.Pick();
    CHECK(dialog);
    host.Exit();
    CHECK(!IsWindow(dialog));
    host.ExpectFile(after);
}

CHECK_CASE(SetupSwitchesAutostartInTheRegistry)
{
    CHECK(!AnyMainWindow());
    RemoveAutostart();
    TSandbox sandbox;
    THost host(sandbox);
    HWND dialog = host.Pick();
    CHECK(dialog);
    if (!dialog)
        return host.Exit();
    CheckDlgButton(dialog, IDC_AUTOSTART, BST_CHECKED);
    CHECK(PressAndClose(dialog, IDC_OK));
    char data[MAX_PATH] = "", expected[MAX_PATH] = "\"";
    CHECK(Autostart(data, sizeof data));
    FilePath(host.program, "Brindlecap.exe", expected + 1);
    CHECK_STR(strcat(expected, "\""), data);

    dialog = host.Pick();
    CHECK(dialog);
    CHECK_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_AUTOSTART));
    CheckDlgButton(dialog, IDC_AUTOSTART, BST_UNCHECKED);
    CHECK(PressAndClose(dialog, IDC_OK));
    CHECK(!Autostart(data, sizeof data));
    host.Exit();
    RemoveAutostart();
}

CHECK_CASE(APickedModuleWhoseLibraryIsGoneShowsTheInitError)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    THost host(sandbox);
    char library[MAX_PATH];
    FilePath(host.program, "Setup.dll", library);
    // The scan left the library unloaded, so it can go.
    CHECK(DeleteFileA(library));
    CHECK(PostMessageA(host.window, WM_COMMAND, 0, 0));
    HWND box = WaitForMessageBox(host.child);
    CHECK(box);
    if (box) {
        CHECK(GetWindow(box, GW_OWNER) == nullptr);
        wchar_t text[128];
        CHECK(StaticText(box, text, 128));
        CHECK(wcscmp(text, L"Ошибка инициализации модуля") == 0);
        CHECK_EQ(IDOK, OnlyButton(box));
        CHECK(PostMessageA(box, WM_COMMAND, IDOK, 0));
    }
    host.Exit();
}

namespace {

// A host whose settings file is the Unix side's /dev/full, where every
// write fails, with Setup open, its fields valid and its "Ok" pressed: the
// write error box is up on top of Setup's code.
struct TFailedSave {
    THost host;
    char ini[MAX_PATH];
    HWND dialog = nullptr;
    HWND box = nullptr;
    explicit TFailedSave(TSandbox& sandbox) : host(sandbox)
    {
        FilePath(host.program, "Brindlecap.ini", ini);
        DeleteFileA(ini);
        CHECK(MakeUnixLink("/dev/full", ini));
        dialog = host.Pick();
        CHECK(dialog);
        if (!dialog)
            return;
        // It read zeros, which "Ok" refuses before any save.
        const int ids[] = {IDC_AUTOCLEAN_INTERVAL, IDC_AUTOCLEAN_PERCENT, IDC_CRITICAL_LOAD,
                           IDC_CRITICAL_CLEAN,     IDC_CPU_LIMIT,         IDC_INFO_REFRESH};
        const char* valid[] = {"30", "45", "95", "25", "80", "500"};
        for (int i = 0; i < 6; ++i)
            SetDlgItemTextA(dialog, ids[i], valid[i]);
        CHECK(PostMessageA(dialog, WM_COMMAND, IDC_OK, 0));
        box = WaitForMessageBox(host.child);
        CHECK(box);
        wchar_t text[128];
        CHECK(box && StaticText(box, text, 128) &&
              wcscmp(text, L"Ошибка записи файла Brindlecap.ini") == 0);
    }
    // Writes work again, for the host's own save at its exit.
    void MendFile() { CHECK(RemoveUnixLink(ini)); }
    bool SetupLoaded() { return LoadsModule(host.child->id, "Setup.dll"); }
};

bool Answers(HWND window)
{
    DWORD_PTR result;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

} // namespace

// Setup closed behind its own error box: its library stays while the box's
// code runs, and goes once the box is dismissed.
CHECK_CASE(SetupClosedBehindItsErrorBoxIsUnloadedOnlyAfterTheBox)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TFailedSave save(sandbox);
    if (save.box) {
        CHECK(PostMessageA(save.dialog, WM_SYSCOMMAND, SC_CLOSE, 0));
        CHECK(WaitGone(save.dialog));
        // The closing notice has been handled inside the box's loop.
        CHECK(Answers(save.host.window));
        CHECK(save.SetupLoaded());
        CHECK(PostMessageA(save.box, WM_COMMAND, IDOK, 0));
        CHECK(WaitGone(save.box));
        DWORD start = GetTickCount();
        while (save.SetupLoaded() && GetTickCount() - start < kExitTimeout)
            Sleep(20);
        CHECK(!save.SetupLoaded());
        CHECK(Answers(save.host.window));
        save.MendFile();
        // Picked again, it opens afresh.
        HWND again = save.host.Pick();
        CHECK(again && again != save.dialog);
        CHECK(again && PressAndClose(again, IDC_CANCEL));
    } else {
        save.MendFile();
    }
    save.host.Exit();
}

// The tray menu's "Выход" while Setup's error box is up: the host ends
// cleanly, its settings saved, with no fault in freed code.
CHECK_CASE(ExitWithSetupsErrorBoxUpEndsWithZeroAndSaves)
{
    CHECK(!AnyMainWindow());
    TSandbox sandbox;
    TFailedSave save(sandbox);
    save.MendFile();
    ExitThroughMenu(sandbox, save.host.child, save.host.window);
    BYTE bytes[64];
    CHECK_EQ(23, ReadBytes(save.ini, bytes, sizeof bytes));
}
