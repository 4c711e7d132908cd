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
    AppState = Resident;
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    TrayIconHandle = ProgramTrayIcon();
    AddTrayIcon(MainWindow, 0, TrayIconHandle, WM_TRAYICON, "Brindlecap");
    StartMonitor();
    LoadModules();
}

// How long a second start waits for the running copy's answer before it
// shows the refusal instead.
static const UINT kHandOverWait = 3000;

static int32_t AmountOf(const TStartRequest& request)
{
    return request.CleanAllMemory ? CleanAllAmount(TotalPhysicalMB()) : request.CleanAmount;
}

// Hands the command line to the copy whose main window is `running`;
// -1 when that copy did not take it up.
static int HandOver(HWND running, const char* commandLine)
{
    COPYDATASTRUCT data;
    data.dwData = kHandOverTag;
    data.cbData = DWORD(lstrlenA(commandLine) + 1);
    data.lpData = const_cast<char*>(commandLine);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(running, WM_COPYDATA, 0, LPARAM(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kHandOverWait, &answer))
        return -1;
    return HandOverExitCode(intptr_t(answer));
}

// A handed-over cleaning: the answer goes back before the run, so that the
// second copy ends at once.
static LRESULT TakeCleaning(const TStartRequest& request)
{
    int32_t amount = AmountOf(request);
    // The progress goes to a window of its own only; with another dialog
    // open, or none to be had, the run is silent. The window opens before
    // the guard is taken: its error box lets messages through, the
    // program's end among them, which waits for the run under way.
    HWND dialog = nullptr;
    if (request.CleanDialog && !CurrentDialog && AppState.load() != Cleaning) {
        ShowMemoryDialog();
        dialog = CurrentDialog;
    }
    uint8_t previous;
    if (!ClaimCleaning(amount, &previous)) {
        if (dialog)
            DestroyWindow(dialog);
        return kHandOverRefused;
    }
    ReplyMessage(kHandOverTaken);
    if (!dialog) {
        StartClaimedCleaning(amount, previous, nullptr);
        return kHandOverTaken;
    }
    TDialogUpdate progress;
    TCleanReporter reporter = CleanReporterFor(dialog, kUnitMB, &progress);
    RunClaimedCleaning(amount, previous, &reporter);
    return kHandOverTaken;
}

LRESULT TakeHandOver(const COPYDATASTRUCT* data)
{
    if (!data || data->dwData != kHandOverTag || !data->lpData)
        return 0;
    // The block is the sender's: copied, bounded and ended here.
    char commandLine[2 * kMaxParameter];
    DWORD size = data->cbData < sizeof commandLine ? data->cbData : sizeof commandLine - 1;
    CopyMemory(commandLine, data->lpData, size);
    commandLine[size] = 0;
    TStartRequest request = ReadCommandLine(commandLine);
    if (!HandsOver(request.Mode))
        return 0;
    if (request.Mode == ModeClean)
        return TakeCleaning(request);
    ReplyMessage(kHandOverTaken);
    if (request.Mode == ModeAbout)
        ShowAboutDialog();
    else
        ShowInfoDialog();
    return kHandOverTaken;
}

static void RunCleaningMode(const TStartRequest& request)
{
    if (request.CleanDialog)
        ShowMemoryDialog();
    int32_t amount = AmountOf(request);
    TDialogUpdate progress;
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

// The keyboard in a modeless dialog: Tab, Enter, arrows and mnemonics go to
// the dialog manager; Esc does what the dialog's close box does, whatever
// the dialog makes of IDCANCEL. True when the message was taken.
static bool DialogKey(MSG* message)
{
    HWND dialog = OwnDialogOf(message->hwnd);
    if (!dialog)
        return false;
    if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
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
        AppState = Resident;
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
    FreeCpuSampler();
    UnregisterClassA(kClassName, HostInstance);
    return 0;
}
