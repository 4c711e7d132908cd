// One Tool Help snapshot of the system, taken by the constructor and closed
// by the destructor. An object lives within the handling of one message.
#pragma once
#include <windows.h>

#include <tlhelp32.h>

// The walks hand the system the ANSI records of these exact sizes, which
// hold pointer-sized members on 64-bit Windows.
#ifdef _WIN64
static_assert(sizeof(PROCESSENTRY32) == 304, "ANSI process entry");
static_assert(sizeof(MODULEENTRY32) == 568, "ANSI module entry");
static_assert(sizeof(HEAPLIST32) == 32, "heap list");
#else
static_assert(sizeof(PROCESSENTRY32) == 296, "ANSI process entry");
static_assert(sizeof(MODULEENTRY32) == 548, "ANSI module entry");
static_assert(sizeof(HEAPLIST32) == 16, "heap list");
#endif
static_assert(sizeof(THREADENTRY32) == 28, "thread entry");

class TToolHelp {
public:
    TToolHelp(DWORD flags, DWORD processId);
    ~TToolHelp();
    TToolHelp(const TToolHelp&) = delete;
    TToolHelp& operator=(const TToolHelp&) = delete;

    // The process walk passes over ID 0, the idle pseudo-process.
    bool ProcessFirst(PROCESSENTRY32* entry);
    bool ProcessNext(PROCESSENTRY32* entry);
    bool ModuleFirst(MODULEENTRY32* entry);
    bool ModuleNext(MODULEENTRY32* entry);
    bool ThreadFirst(THREADENTRY32* entry);
    bool ThreadNext(THREADENTRY32* entry);
    bool HeapListFirst(HEAPLIST32* entry);
    bool HeapListNext(HEAPLIST32* entry);
    int HeapCount();

    HANDLE Snapshot; // INVALID_HANDLE_VALUE when none could be taken
    LONG Status;     // 0 when the last operation succeeded, -1 when it failed

private:
    bool Taken() const;
    bool Record(BOOL ok);
    bool SkipIdle(BOOL ok, PROCESSENTRY32* entry);
};
