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

void Clean(int32_t megabytes, const TCleanReporter* progress)
{
    if (AppState.load() == Cleaning)
        return;
    if (megabytes >= TotalPhysicalMB())
        return;
    uint8_t previous;
    if (!BeginCleaning(&previous))
        return;
    TCleanOps ops = {nullptr, CommitChunk, ReleaseChunk, nullptr, nullptr};
    if (progress) {
        ops.Context = progress->Context;
        ops.Status = progress->Status;
        ops.Progress = progress->Progress;
    }
    RunCleaning(megabytes, ops);
    EndCleaning(previous);
}

} // namespace

void RequestCleaning(int32_t megabytes, const char* tag, const TCleanReporter* progress)
{
    Clean(megabytes, progress);
    if (tag && Settings.LogEnabled)
        WriteLog(tag, megabytes);
}
