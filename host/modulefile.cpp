#include "modulefile.h"

#include <windows.h>
#include <stdint.h>

#include "logic/modulefile.h"

#ifdef _WIN64
static const uint16_t kHostMachine = kMachineAmd64;
#else
static const uint16_t kHostMachine = kMachineI386;
#endif

// The whole file into `buffer` (of `size` bytes, its size when opened).
static bool ReadWhole(HANDLE file, uint8_t* buffer, DWORD size)
{
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file, buffer + done, size - done, &read, nullptr) || read == 0)
            return false;
        done += read;
    }
    return true;
}

bool IsModuleFile(const char* path)
{
    // Others may read and even replace the file meanwhile; the loader reads
    // it afresh anyway.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool result = false;
    if (size != INVALID_FILE_SIZE && high == 0 && size <= DWORD(kModuleFileLimit)) {
        HANDLE heap = GetProcessHeap();
        uint8_t* bytes = static_cast<uint8_t*>(HeapAlloc(heap, 0, size ? size : 1));
        if (bytes) {
            result = ReadWhole(file, bytes, size) && IsModuleImage(bytes, size, kHostMachine);
            HeapFree(heap, 0, bytes);
        }
    }
    CloseHandle(file);
    return result;
}
