// The walk of the program folder's tree for module libraries, with its
// guard against loops. The Win32 half of modulelogic, with modules.
#include "modulescan.h"

#include <windows.h>

#include "../common/path.h"
#include "../common/text.h"
#include "modulelogic.h"

namespace {

// A directory by what it is, not by the path that reached it.
struct TDirectoryId {
    DWORD Volume;
    DWORD IndexHigh;
    DWORD IndexLow;
};

// NtQueryInformationFile of the NT family, for a directory's file index
// alone: the volume serial that GetFileInformationByHandle adds costs more
// than the walk itself under Wine. Two directories on different volumes
// with the same index would be taken for one, and the second not walked.
typedef LONG(__stdcall* TQueryInformationFile)(HANDLE file, void* status, void* information,
                                               ULONG length, int informationClass);
enum { kFileInternalInformation = 6 };

// Every directory the scan has entered. A link or junction leading back up
// (or across) the tree reaches one of them again by another path, and is
// not walked a second time: no endless descent, no library listed twice.
// Under Wine a Unix link shows no reparse-point attribute, so only the
// directory's identity gives it away.
struct TVisited {
    TDirectoryId* Ids;
    int Count;
    int Capacity;
    TQueryInformationFile QueryInformationFile; // 0 where ntdll lacks it
};

// One walk: what it has entered, and whom it hands each library.
struct TWalk {
    TVisited Visited;
    TTakeLibrary Take;
    bool Done; // the taker wants no more
};

// True when `dir` has not been entered before. Windows 9x cannot open a
// directory for its identity; its file systems have no links either.
bool FirstVisit(const char* dir, TVisited* visited)
{
    HANDLE handle = CreateFileA(dir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    TDirectoryId id = {0, 0, 0};
    bool known;
    if (visited->QueryInformationFile) {
        ULONG_PTR status[2];
        DWORD index[2];
        known = visited->QueryInformationFile(handle, status, index, sizeof index,
                                              kFileInternalInformation) == 0;
        id.IndexLow = index[0];
        id.IndexHigh = index[1];
    } else {
        BY_HANDLE_FILE_INFORMATION info;
        known = GetFileInformationByHandle(handle, &info) != 0;
        id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    }
    CloseHandle(handle);
    if (!known)
        return true;
    for (int i = 0; i < visited->Count; ++i) {
        const TDirectoryId& seen = visited->Ids[i];
        if (seen.Volume == id.Volume && seen.IndexHigh == id.IndexHigh &&
            seen.IndexLow == id.IndexLow)
            return false;
    }
    if (visited->Count == visited->Capacity) {
        int capacity = visited->Capacity ? visited->Capacity * 2 : 64;
        DWORD bytes = DWORD(capacity) * sizeof(TDirectoryId);
        HANDLE heap = GetProcessHeap();
        void* grown =
            visited->Ids ? HeapReAlloc(heap, 0, visited->Ids, bytes) : HeapAlloc(heap, 0, bytes);
        // A directory that cannot be remembered is not entered: it might
        // be the start of a loop.
        if (!grown)
            return false;
        visited->Ids = static_cast<TDirectoryId*>(grown);
        visited->Capacity = capacity;
    }
    visited->Ids[visited->Count++] = id;
    return true;
}

void UpperCase(char* text) { CharUpperA(text); }

// Depth first, in the order the file system gives; silent on every failure.
// Paths that do not fit MAX_PATH are passed over, which also bounds the
// depth of the descent.
void ScanDirectory(const char* dir, TWalk* walk)
{
    char path[MAX_PATH];
    if (!JoinPath(path, MAX_PATH, dir, "*.*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    // A folder that holds neither libraries nor folders gives nothing, seen
    // once or twice: its identity is asked for only once something in it
    // counts, which spares most folders of a large tree the extra open.
    bool checked = false;
    do {
        if (walk->Done)
            break;
        const char* name = found.cFileName;
        if (TextEquals(name, ".") || TextEquals(name, ".."))
            continue;
        bool library = IsModuleFileName(name, UpperCase);
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!library && !folder)
            continue;
        if (!checked) {
            checked = true;
            if (!FirstVisit(dir, &walk->Visited))
                break;
        }
        if (!JoinPath(path, MAX_PATH, dir, name))
            continue;
        if (library && !walk->Take(path))
            walk->Done = true;
        if (folder)
            ScanDirectory(path, walk);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

void WalkLibraries(const char* root, TTakeLibrary take)
{
    TWalk walk = {{nullptr, 0, 0, nullptr}, take, false};
    if (HMODULE ntdll = GetModuleHandleA("ntdll.dll"))
        walk.Visited.QueryInformationFile = reinterpret_cast<TQueryInformationFile>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile")));
    ScanDirectory(root, &walk);
    if (walk.Visited.Ids)
        HeapFree(GetProcessHeap(), 0, walk.Visited.Ids);
}
