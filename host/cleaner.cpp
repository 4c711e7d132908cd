#include "cleaner.h"

#include <windows.h>

#include "appstate.h"
#include "cleanrun.h"
#include "memstatus.h"
#include "startup.h"

namespace {

void* CommitChunk(void*)
{
    return VirtualAlloc(nullptr, kChunkBytes, MEM_COMMIT, PAGE_READWRITE | PAGE_NOCACHE);
}

void ReleaseChunk(void*, void* chunk) { VirtualFree(chunk, 0, MEM_RELEASE); }

void ReportStatus(void* context, int32_t phase)
{
    TDialogUpdate request = *static_cast<TDialogUpdate*>(context);
    request.Flags = udStatus;
    request.Phase = phase;
    UpdateDialog(request);
}

void ReportProgress(void* context, int32_t percent)
{
    TDialogUpdate request = *static_cast<TDialogUpdate*>(context);
    request.Flags = udPhysical | udPageFile | udCleanProgress;
    request.Percent = percent;
    UpdateDialog(request);
}

} // namespace

void CleanMemory(int32_t Amount, int32_t DisplayUnit, bool ShowProgress)
{
    if (AppState.load() == Cleaning)
        return;
    if (Amount >= TotalPhysicalMB())
        return;
    uint8_t previous;
    if (!BeginCleaning(&previous))
        return;

    TDialogUpdate request = {};
    request.Dialog = ShowProgress ? CurrentDialog : nullptr;
    request.DisplayUnit = DisplayUnit;
    TCleanOps ops = {&request, CommitChunk, ReleaseChunk, nullptr, nullptr};
    if (ShowProgress) {
        ops.Status = ReportStatus;
        ops.Progress = ReportProgress;
    }
    RunCleaning(Amount, ops);
    EndCleaning(previous);
}
