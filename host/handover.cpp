#include "handover.h"

#include "cleaner.h"
#include "dialogfigures.h"
#include "dialogs.h"
#include "logic/amounts.h"
#include "logic/appstate.h"
#include "logic/handover.h"
#include "memstatus.h"

// How long a second start waits for the running copy's answer before it
// shows the refusal instead.
static const UINT kHandOverWait = 3000;

int32_t AmountOf(const TStartRequest& request)
{
    return request.CleanAllMemory ? CleanAllAmount(TotalPhysicalMB()) : request.CleanAmount;
}

// The start the user just made holds the right to bring a window to the
// front; passed on, the dialog the running copy opens comes up in front of
// the user's window. Windows 98 and 2000 and later have the call.
static void LetBringToFront(HWND running)
{
    typedef BOOL(WINAPI * TAllowSetForegroundWindow)(DWORD);
    HMODULE user = GetModuleHandleA("USER32.DLL");
    TAllowSetForegroundWindow allow =
        user ? (TAllowSetForegroundWindow)(void*)GetProcAddress(user, "AllowSetForegroundWindow")
             : nullptr;
    DWORD process = 0;
    if (allow && GetWindowThreadProcessId(running, &process) && process)
        allow(process);
}

int HandOver(HWND running, const char* commandLine)
{
    LetBringToFront(running);
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
    TCleanView progress;
    TCleanReporter reporter = CleanReporterFor(dialog, kUnitMB, &progress);
    RunClaimedCleaning(amount, previous, &reporter, true);
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
