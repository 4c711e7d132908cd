#include "cleaner.h"

#include <windows.h>

#include "activity_log.h"
#include "hostenv.h"
#include "logic/appstate.h"
#include "memstatus.h"
#include "settings.h"

namespace {

void* CommitChunk(void*)
{
    return VirtualAlloc(nullptr, kChunkBytes, MEM_COMMIT, PAGE_READWRITE | PAGE_NOCACHE);
}

void ReleaseChunk(void*, void* chunk) { VirtualFree(chunk, 0, MEM_RELEASE); }

void Log(const char* tag, int32_t megabytes)
{
    if (tag && Settings.LogEnabled)
        WriteLog(tag, megabytes);
}

// A request refused because the program is ending was never the user's.
void LogRefusal(const char* tag, int32_t megabytes)
{
    if (!CleaningClosed.load())
        Log(tag, megabytes);
}

// The run RequestCleaningThread hands its thread. Written only with the
// guard taken and the previous thread ended, so the thread reads it alone.
struct TThreadRun {
    int32_t Megabytes;
    const char* Tag;
    uint8_t Previous;
    bool Tell;
};
TThreadRun ThreadRun;

DWORD WINAPI CleaningThreadMain(LPVOID)
{
    RunClaimedCleaning(ThreadRun.Megabytes, ThreadRun.Previous, nullptr, ThreadRun.Tell);
    Log(ThreadRun.Tag, ThreadRun.Megabytes);
    return 0;
}

// The previous thread is past its run once the guard could be taken; what
// is left of it (the log line) is short.
void EndCleaningThread()
{
    if (!CleaningThreadHandle)
        return;
    WaitForSingleObject(CleaningThreadHandle, INFINITE);
    CloseHandle(CleaningThreadHandle);
    CleaningThreadHandle = nullptr;
}

void PauseBriefly() { Sleep(10); }

} // namespace

HANDLE CleaningThreadHandle;

bool ClaimCleaning(int32_t megabytes, uint8_t* previous)
{
    if (AppState.load() == Cleaning)
        return false;
    if (megabytes >= TotalPhysicalMB())
        return false;
    return BeginCleaning(previous);
}

void RunClaimedCleaning(int32_t megabytes, uint8_t previous, const TCleanReporter* progress,
                        bool tell)
{
    int32_t before = tell ? FreePhysicalMB() : 0;
    TCleanOps ops = {nullptr, CommitChunk, ReleaseChunk, nullptr, nullptr, &CleaningClosed};
    if (progress) {
        ops.Context = progress->Context;
        ops.Status = progress->Status;
        ops.Progress = progress->Progress;
    }
    RunCleaning(megabytes, ops);
    EndCleaning(previous);
    if (tell)
        PostMessageA(MainWindow, WM_CLEANRESULT, WPARAM(before), 0);
}

// Logged, and told where the user asked and another run holds the guard.
static bool Refuse(const char* tag, int32_t megabytes, bool tell)
{
    LogRefusal(tag, megabytes);
    if (tell && AppState.load() == Cleaning)
        PostMessageA(MainWindow, WM_CLEANRESULT, 0, kCleaningBusy);
    return false;
}

bool RequestCleaning(int32_t megabytes, const char* tag, const TCleanReporter* progress, bool tell)
{
    uint8_t previous;
    if (!ClaimCleaning(megabytes, &previous))
        return Refuse(tag, megabytes, tell);
    RunClaimedCleaning(megabytes, previous, progress, tell);
    Log(tag, megabytes);
    return true;
}

bool RequestCleaningThread(int32_t megabytes, const char* tag, bool tell)
{
    uint8_t previous;
    if (!ClaimCleaning(megabytes, &previous))
        return Refuse(tag, megabytes, tell);
    StartClaimedCleaning(megabytes, previous, tag, tell);
    return true;
}

void StartClaimedCleaning(int32_t megabytes, uint8_t previous, const char* tag, bool tell)
{
    EndCleaningThread();
    ThreadRun.Megabytes = megabytes;
    ThreadRun.Tag = tag;
    ThreadRun.Previous = previous;
    ThreadRun.Tell = tell;
    DWORD id;
    // Below the user interface, which runs at the lowest priority of an idle
    // process: on one processor a run at normal priority would freeze the
    // tray until it ends. It starts only once lowered.
    HANDLE thread = CreateThread(nullptr, 0, CleaningThreadMain, nullptr, CREATE_SUSPENDED, &id);
    if (!thread) {
        CleaningThreadMain(nullptr);
        return;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    CleaningThreadHandle = thread;
    ResumeThread(thread);
}

void FinishCleaning()
{
    CloseCleaning(PauseBriefly);
    EndCleaningThread();
}
