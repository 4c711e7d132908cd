#include "modulefile.h"

#include <windows.h>
#include <stdint.h>

#include "logic/modulefile.h"

#ifdef _WIN64
static const uint16_t kHostMachine = kMachineAmd64;
#else
static const uint16_t kHostMachine = kMachineI386;
#endif

namespace {

// The reader's small reads (a header, a name) come from a few blocks of
// the file read whole: the headers with the section table, the export
// directory, the name tables and the names each lie in one or two.
enum { kBlockSize = 4096, kBlocks = 4 };

struct TFileBlocks {
    HANDLE File;
    DWORD Size;
    int Next; // the block to be read over next
    DWORD Start[kBlocks];
    DWORD Length[kBlocks]; // 0: holds nothing
    uint8_t Bytes[kBlocks][kBlockSize];
};

// The block that holds `offset`, read in when none does; 0 when it cannot be.
const uint8_t* BlockAt(TFileBlocks* blocks, DWORD offset, DWORD* start, DWORD* length)
{
    for (int i = 0; i < kBlocks; ++i)
        if (offset - blocks->Start[i] < blocks->Length[i]) {
            *start = blocks->Start[i];
            *length = blocks->Length[i];
            return blocks->Bytes[i];
        }
    int i = blocks->Next;
    blocks->Next = (i + 1) % kBlocks;
    blocks->Length[i] = 0;
    DWORD from = offset - offset % kBlockSize;
    DWORD want = blocks->Size - from < DWORD(kBlockSize) ? blocks->Size - from : DWORD(kBlockSize);
    if (SetFilePointer(blocks->File, LONG(from), nullptr, FILE_BEGIN) != from)
        return nullptr;
    for (DWORD done = 0; done < want;) {
        DWORD read = 0;
        if (!ReadFile(blocks->File, blocks->Bytes[i] + done, want - done, &read, nullptr) ||
            read == 0)
            return nullptr;
        done += read;
    }
    blocks->Start[i] = *start = from;
    blocks->Length[i] = *length = want;
    return blocks->Bytes[i];
}

bool ReadRange(void* context, uint32_t offset, uint32_t length, uint8_t* into)
{
    TFileBlocks* blocks = static_cast<TFileBlocks*>(context);
    while (length > 0) {
        DWORD start, held;
        const uint8_t* block = BlockAt(blocks, offset, &start, &held);
        if (!block)
            return false;
        DWORD at = offset - start;
        DWORD count = held - at < length ? held - at : length;
        for (DWORD i = 0; i < count; ++i)
            into[i] = block[at + i];
        into += count;
        offset += count;
        length -= count;
    }
    return true;
}

} // namespace

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
    if (size != INVALID_FILE_SIZE && high == 0) {
        HANDLE heap = GetProcessHeap();
        TFileBlocks* blocks =
            static_cast<TFileBlocks*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(TFileBlocks)));
        if (blocks) {
            blocks->File = file;
            blocks->Size = size;
            TPeSource source = {size, ReadRange, blocks};
            result = IsModuleImage(source, kHostMachine);
            HeapFree(heap, 0, blocks);
        }
    }
    CloseHandle(file);
    return result;
}
