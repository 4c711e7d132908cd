#include "cleaner.h"

#include <windows.h>

#include "activity_log.h"
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
};
TThreadRun ThreadRun;
HANDLE CleaningThread;

DWORD WINAPI CleaningThreadMain(LPVOID)
{
    RunClaimedCleaning(ThreadRun.Megabytes, ThreadRun.Previous, nullptr);
    Log(ThreadRun.Tag, ThreadRun.Megabytes);
    return 0;
}

// The previous thread is past its run once the guard could be taken; what
// is left of it (the log line) is short.
void EndCleaningThread()
{
    if (!CleaningThread)
        return;
    WaitForSingleObject(CleaningThread, INFINITE);
    CloseHandle(CleaningThread);
    CleaningThread = nullptr;
}

void PauseBriefly() { Sleep(10); }

} // namespace

bool ClaimCleaning(int32_t megabytes, uint8_t* previous)
{
    if (AppState.load() == Cleaning)
        return false;
    if (megabytes >= TotalPhysicalMB())
        return false;
    return BeginCleaning(previous);
}

void RunClaimedCleaning(int32_t megabytes, uint8_t previous, const TCleanReporter* progress)
{
    TCleanOps ops = {nullptr, CommitChunk, ReleaseChunk, nullptr, nullptr, &CleaningClosed};
    if (progress) {
        ops.Context = progress->Context;
        ops.Status = progress->Status;
        ops.Progress = progress->Progress;
    }
    RunCleaning(megabytes, ops);
    EndCleaning(previous);
}

void RequestCleaning(int32_t megabytes, const char* tag, const TCleanReporter* progress)
{
    uint8_t previous;
    if (!ClaimCleaning(megabytes, &previous)) {
        LogRefusal(tag, megabytes);
        return;
    }
    RunClaimedCleaning(megabytes, previous, progress);
    Log(tag, megabytes);
}

bool RequestCleaningThread(int32_t megabytes, const char* tag)
{
    uint8_t previous;
    if (!ClaimCleaning(megabytes, &previous)) {
        LogRefusal(tag, megabytes);
        return false;
    }
    StartClaimedCleaning(megabytes, previous, tag);
    return true;
}

void StartClaimedCleaning(int32_t megabytes, uint8_t previous, const char* tag)
{
    EndCleaningThread();
    ThreadRun.Megabytes = megabytes;
    ThreadRun.Tag = tag;
    ThreadRun.Previous = previous;
    DWORD id;
    CleaningThread = CreateThread(nullptr, 0, CleaningThreadMain, nullptr, 0, &id);
    if (!CleaningThread)
        CleaningThreadMain(nullptr);
}

void FinishCleaning()
{
    CloseCleaning(PauseBriefly);
    EndCleaningThread();
}
