#include "toolhelp.h"

TToolHelp::TToolHelp(DWORD flags, DWORD processId)
{
    Snapshot = CreateToolhelp32Snapshot(flags, processId);
    Status = Snapshot == INVALID_HANDLE_VALUE ? -1 : 0;
}

TToolHelp::~TToolHelp()
{
    if (Snapshot != INVALID_HANDLE_VALUE)
        CloseHandle(Snapshot);
}

// INVALID_HANDLE_VALUE is also the current process's own handle: a walk
// without a snapshot must not hand it to the system.
bool TToolHelp::Taken() const { return Snapshot != INVALID_HANDLE_VALUE; }

bool TToolHelp::Record(BOOL ok)
{
    Status = ok ? 0 : -1;
    return ok != FALSE;
}

bool TToolHelp::SkipIdle(BOOL ok, PROCESSENTRY32* entry)
{
    while (ok && entry->th32ProcessID == 0) {
        entry->dwSize = sizeof *entry;
        ok = Process32Next(Snapshot, entry);
    }
    return Record(ok);
}

bool TToolHelp::ProcessFirst(PROCESSENTRY32* entry)
{
    entry->dwSize = sizeof *entry;
    return SkipIdle(Taken() && Process32First(Snapshot, entry), entry);
}

bool TToolHelp::ProcessNext(PROCESSENTRY32* entry)
{
    entry->dwSize = sizeof *entry;
    return SkipIdle(Taken() && Process32Next(Snapshot, entry), entry);
}

bool TToolHelp::ModuleFirst(MODULEENTRY32* entry)
{
    entry->dwSize = sizeof *entry;
    return Record(Taken() && Module32First(Snapshot, entry));
}

bool TToolHelp::ModuleNext(MODULEENTRY32* entry)
{
    entry->dwSize = sizeof *entry;
    return Record(Taken() && Module32Next(Snapshot, entry));
}

bool TToolHelp::ThreadFirst(THREADENTRY32* entry)
{
    entry->dwSize = sizeof *entry;
    return Record(Taken() && Thread32First(Snapshot, entry));
}

bool TToolHelp::ThreadNext(THREADENTRY32* entry)
{
    entry->dwSize = sizeof *entry;
    return Record(Taken() && Thread32Next(Snapshot, entry));
}

bool TToolHelp::HeapListFirst(HEAPLIST32* entry)
{
    entry->dwSize = sizeof *entry;
    return Record(Taken() && Heap32ListFirst(Snapshot, entry));
}

bool TToolHelp::HeapListNext(HEAPLIST32* entry)
{
    entry->dwSize = sizeof *entry;
    return Record(Taken() && Heap32ListNext(Snapshot, entry));
}

int TToolHelp::HeapCount()
{
    HEAPLIST32 list;
    int count = 0;
    for (bool ok = HeapListFirst(&list); ok; ok = HeapListNext(&list))
        ++count;
    return count;
}
