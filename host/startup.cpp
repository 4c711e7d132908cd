#include "startup.h"

#include "../common/hostnotify.h"
#include "activity_log.h"
#include "logic/amounts.h"
#include "logic/appstate.h"
#include "cleaner.h"
#include "logic/startup.h"
#include "cpusampler.h"
#include "dialogfigures.h"
#include "dialogs.h"
#include "handover.h"
#include "logic/handover.h"
#include "hostenv.h"
#include "hoststrings.h"
#include "mainwindow.h"
#include "memstatus.h"
#include "modules.h"
#include "monitor.h"
#include "resources/resource.h"
#include "settings.h"
#include "tray.h"

static const char kClassName[] = "Brindlecap";

static void SetLowPriority()
{
    HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, GetCurrentProcessId());
    if (process) {
        SetPriorityClass(process, IDLE_PRIORITY_CLASS);
        CloseHandle(process);
    }
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

static void StartTrayMode()
{
    AppState = StartMode = Resident;
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    TrayIconHandle = ProgramTrayIcon();
    AddTrayIcon(MainWindow, 0, TrayIconHandle, WM_TRAYICON, "Brindlecap");
    StartMonitor();
    LoadModules();
}

static void RunCleaningMode(const TStartRequest& request)
{
    if (request.CleanDialog)
        ShowMemoryDialog();
    int32_t amount = AmountOf(request);
    TCleanView progress;
    TCleanReporter reporter = CleanReporterFor(CurrentDialog, kUnitMB, &progress);
    RequestCleaning(amount, nullptr, CurrentDialog ? &reporter : nullptr);
    // Without a dialog to wait for there is nothing left to do. When the
    // memory dialog could not be created (its error box has been shown),
    // the program ends as well rather than wait invisibly for
    // Alt+Ctrl+F12 and "Выход".
    if (!request.CleanDialog || !CurrentDialog)
        DestroyWindow(MainWindow);
}

// The dialog `window` lies in when that is the open host dialog or an
// open module's: the top of its chain of child windows. No list of its own:
// the dialogs and the module table know which windows are ours.
static HWND OwnDialogOf(HWND window)
{
    while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        window = GetParent(window);
    if (!window)
        return nullptr;
    if (window == CurrentDialog)
        return window;
    for (int slot = 0; slot < ModuleCount; ++slot)
        if (Modules[slot] && Modules[slot]->Active && Modules[slot]->Window == window)
            return window;
    return nullptr;
}

// Whether `focus` is a combo box, or the edit field of one, whose list is
// dropped down: Esc then belongs to it and closes the list alone.
static bool InDroppedList(HWND focus)
{
    for (int level = 0; focus && level < 2; ++level, focus = GetParent(focus)) {
        char name[16];
        if (GetClassNameA(focus, name, sizeof name) && lstrcmpiA(name, "ComboBox") == 0)
            return SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0) != 0;
    }
    return false;
}

// The keyboard in a modeless dialog: Tab, Enter, arrows and mnemonics go to
// the dialog manager; Esc does what the dialog's close box does, whatever
// the dialog makes of IDCANCEL, unless a list is dropped down. True when
// the message was taken.
static bool DialogKey(MSG* message)
{
    HWND dialog = OwnDialogOf(message->hwnd);
    if (!dialog)
        return false;
    if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE &&
        !InDroppedList(message->hwnd)) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    return IsDialogMessageA(dialog, message) != FALSE;
}

int RunHost(const char* commandLine)
{
    HostInstance = GetModuleHandleA(0);
    if (HWND running = FindWindowA(kClassName, 0)) {
        if (HandsOver(ReadCommandLine(commandLine).Mode)) {
            int code = HandOver(running, commandLine);
            if (code >= 0)
                return code;
        }
        ShowHostError(IDS_ALREADY_RUNNING);
        return 0;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = HostInstance;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    MainWindow = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, 0, 0, HostInstance, 0);
    if (!MainWindow) {
        ShowHostError(IDS_INIT_FAILED);
        return 0;
    }
    ShowWindow(MainWindow, SW_HIDE);

    // The guards of shared state come first: no other thread exists yet.
    InitMemStatus();
    InitTray();
    ChooseMemoryStatusSource(true);
    InitActivityLog();
    SetLowPriority();
    RegisterHotKey(MainWindow, HOTKEY_MAIN, MOD_ALT | MOD_CONTROL, VK_F12);
    RegisterHotKey(MainWindow, HOTKEY_INFO, MOD_ALT | MOD_CONTROL, VK_F11);
    FindProgramDir();
    LoadSettings();
    PlatformClass = DetectPlatform();
    InitCpuSampler();
    SampleCpuLoad();

    TStartRequest request = ReadCommandLine(commandLine);
    switch (request.Mode) {
    case ModeHidden:
        AppState = StartMode = Resident;
        StartMonitor();
        break;
    case ModeAbout:
    case ModeInfo:
        if (request.Mode == ModeAbout)
            ShowAboutDialog();
        else
            ShowInfoDialog();
        // A one-shot start whose dialog did not come up (its error box has
        // been shown) ends, rather than linger invisibly until Alt+Ctrl+F12
        // and "Выход".
        if (!CurrentDialog)
            DestroyWindow(MainWindow);
        break;
    case ModeClean:
        RunCleaningMode(request);
        break;
    case ModeTray:
        StartTrayMode();
        break;
    }

    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        if (!DialogKey(&message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // Here no module code is under us: closed modules' libraries go.
        ReleaseClosedModules();
    }

    // Their dialogs went with the main window; their code runs no more.
    UnloadModules();
    // A monitor that has not ended may still sample.
    if (!MonitorThreadHandle)
        FreeCpuSampler();
    UnregisterClassA(kClassName, HostInstance);
    return 0;
}
