#include "cpusampler.h"

#include <windows.h>

#include "logic/cpusampler.h"
#include "hostenv.h"

namespace {

typedef LONG(WINAPI* TQuerySystemInformation)(ULONG infoClass, void* buffer, ULONG length,
                                              ULONG* returned);

const ULONG kProcessorPerformanceClass = 8;
const LONG kInfoLengthMismatch = LONG(0xC0000004);
const DWORD kRecordSize = 44;
// The system lays each processor's 44 bytes out in 48.
const DWORD kRecordStride = 48;
// A system that keeps answering "too short" is not believed for ever: this
// is room for far more processors than any 32-bit system counts.
const DWORD kMostRecords = 1024;

TCpuSampler Sampler;
bool GuardReady;
// Query function and buffer: set at start-up, cleared under the guard when
// freed, so that no sample can reach a freed buffer.
TQuerySystemInformation Query;
void* Buffer;
DWORD BufferLength;
// Records the last answered query held; a failed query keeps the count of
// the buffer it left as it was.
int32_t Records = 1;

bool ReadNT(void*, TCpuReading* reading)
{
    if (!Query || !Buffer)
        return false;
    reading->Tick = GetTickCount();
    reading->Idle = QueryIdleTime();
    reading->Processors = Records;
    return true;
}

DWORD ReadStatistic(const char* key, REGSAM access, DWORD value)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_DYN_DATA, key, 0, access, &handle) != ERROR_SUCCESS)
        return value;
    // A failed read (the buffer's content is then undefined) keeps the value.
    DWORD read = value, size = sizeof read;
    if (RegQueryValueExA(handle, "KERNEL\\CPUUsage", nullptr, nullptr, (BYTE*)&read, &size) ==
        ERROR_SUCCESS)
        value = read;
    RegCloseKey(handle);
    return value;
}

// Reading from StartStat starts the kernel's collection; StatData holds it.
int32_t Sample9x()
{
    DWORD load = kUnmeasuredLoad;
    load = ReadStatistic("PerfStats\\StartStat", KEY_ALL_ACCESS, load);
    load = ReadStatistic("PerfStats\\StatData", KEY_READ, load);
    return int32_t(load);
}

void ReleaseBuffer()
{
    if (Buffer)
        HeapFree(GetProcessHeap(), 0, Buffer);
    Buffer = nullptr;
    Query = nullptr;
}

} // namespace

bool InitCpuSampler()
{
    if (!GuardReady) {
        InitLock(&Sampler.Guard);
        GuardReady = true;
    }
    if (PlatformClass != PlatformNT)
        return true;
    HMODULE ntdll = GetModuleHandleA("NTDLL.DLL");
    if (!ntdll)
        return false;
    Lock(&Sampler.Guard);
    ReleaseBuffer();
    Query = (TQuerySystemInformation)(void*)GetProcAddress(ntdll, "ZwQuerySystemInformation");
    BufferLength = kRecordSize;
    Buffer = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, BufferLength);
    if (Query && Buffer) {
        DWORD n = 0;
        while (Query(kProcessorPerformanceClass, Buffer, BufferLength, nullptr) ==
               kInfoLengthMismatch) {
            void* larger = ++n <= kMostRecords ? HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                             Buffer, n * kRecordSize)
                                               : nullptr;
            if (!larger) {
                ReleaseBuffer();
                break;
            }
            Buffer = larger;
            BufferLength = n * kRecordSize;
        }
    }
    // Some systems answer the first length that holds one record; room for
    // every processor the system counts brings all their records.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    DWORD all = system.dwNumberOfProcessors * kRecordStride;
    if (Query && Buffer && BufferLength < all && system.dwNumberOfProcessors <= kMostRecords) {
        void* larger = HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, Buffer, all);
        if (larger) {
            Buffer = larger;
            BufferLength = all;
        }
    }
    if (!Query || !Buffer)
        ReleaseBuffer();
    Records = 1;
    Sampler.Baseline.LastTick = GetTickCount();
    Sampler.Baseline.CurrentIdle = QueryIdleTime();
    Unlock(&Sampler.Guard);
    return true;
}

int64_t QueryIdleTime()
{
    if (!GuardReady)
        return 0;
    // Under the guard (a critical section, which the sampler's own callers
    // already hold and may enter again): the buffer cannot be freed meanwhile.
    Lock(&Sampler.Guard);
    int64_t idle = 0;
    if (Query && Buffer) {
        ULONG returned = 0;
        if (Query(kProcessorPerformanceClass, Buffer, BufferLength, &returned) >= 0) {
            DWORD records = returned / kRecordStride;
            if (records > BufferLength / kRecordStride)
                records = BufferLength / kRecordStride;
            // A system that fills the buffer without saying how much: its
            // first record at least.
            Records = records < 1 ? 1 : int32_t(records);
        }
        // Records start every 48 bytes of a heap block: 8-byte aligned.
        const char* bytes = static_cast<const char*>(Buffer);
        for (int32_t i = 0; i < Records; ++i)
            idle += *reinterpret_cast<const int64_t*>(bytes + i * kRecordStride);
    }
    Unlock(&Sampler.Guard);
    return idle;
}

int32_t SampledProcessors()
{
    if (!GuardReady)
        return 1;
    Lock(&Sampler.Guard);
    int32_t records = Records;
    Unlock(&Sampler.Guard);
    return records;
}

int32_t SampleCpuLoad()
{
    if (!GuardReady)
        return kUnmeasuredLoad;
    switch (PlatformClass) {
    case PlatformWin9x: {
        // No state of its own, yet one sample at a time all the same.
        Lock(&Sampler.Guard);
        int32_t load = Sample9x();
        Unlock(&Sampler.Guard);
        return load;
    }
    case PlatformNT:
        return TakeCpuSample(&Sampler, ReadNT, nullptr, kUnmeasuredLoad);
    default:
        return kUnmeasuredLoad;
    }
}

bool FreeCpuSampler()
{
    if (PlatformClass == PlatformNT && GuardReady) {
        Lock(&Sampler.Guard);
        ReleaseBuffer();
        Unlock(&Sampler.Guard);
    }
    return true;
}
