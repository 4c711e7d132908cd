// The walk of the program folder's tree for module libraries, with its
// guard against loops. Which names count is logic/modules.
#include "modulescan.h"

#include <windows.h>

#include "../common/logic/path.h"
#include "../common/logic/text.h"
#include "logic/modules.h"

namespace {

// A directory by what it is, not by the path that reached it: its volume
// and its file index there.
struct TDirectoryId {
    DWORD Volume;
    DWORD IndexHigh;
    DWORD IndexLow;
    bool VolumeKnown;
    char* Path; // to ask for the volume later; 0 once it is known
};

// NtQueryInformationFile of the NT family, for a directory's file index
// alone: the volume serial that GetFileInformationByHandle adds costs more
// than the walk itself under Wine, so it is asked for only when two
// directories share an index, which is rare: a loop, or two volumes.
typedef LONG(__stdcall* TQueryInformationFile)(HANDLE file, void* status, void* information,
                                               ULONG length, int informationClass);
enum { kFileInternalInformation = 6 };

// Every directory the scan has entered. A link or junction leading back up
// (or across) the tree reaches one of them again by another path, and is
// not walked a second time: no endless descent, no library listed twice.
// Under Wine a Unix link shows no reparse-point attribute, so only the
// directory's identity gives it away.
struct TVisited {
    TDirectoryId* Ids; // in the order entered
    TFolderTree Tree;  // its node n is Ids[n], found by its index
    int Capacity;
    TQueryInformationFile QueryInformationFile; // 0 where ntdll lacks it
};

// One walk: what it has entered, and whom it hands each library.
struct TWalk {
    TVisited Visited;
    TTakeLibrary Take;
    bool Done; // the taker wants no more
};

HANDLE OpenDirectory(const char* dir)
{
    return CreateFileA(dir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool VolumeOf(HANDLE handle, DWORD* volume)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    *volume = info.dwVolumeSerialNumber;
    return true;
}

// Fills in the volume of `id`, opening its path again; false when that fails.
bool LearnVolume(TDirectoryId* id)
{
    if (id->VolumeKnown)
        return true;
    if (!id->Path)
        return false;
    HANDLE handle = OpenDirectory(id->Path);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    id->VolumeKnown = VolumeOf(handle, &id->Volume);
    CloseHandle(handle);
    return id->VolumeKnown;
}

char* HeapCopy(const char* text)
{
    int length = lstrlenA(text);
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, DWORD(length + 1)));
    if (copy)
        lstrcpynA(copy, text, length + 1);
    return copy;
}

uint64_t IndexOf(const TDirectoryId& id) { return uint64_t(id.IndexHigh) << 32 | id.IndexLow; }

// True when `id` is a directory entered before. A shared index alone is
// not enough: the two must also lie on one volume.
bool Seen(TVisited* visited, TDirectoryId* id)
{
    for (int32_t i = FindFolder(visited->Tree, IndexOf(*id)); i >= 0;
         i = visited->Tree.Nodes[i].Same) {
        TDirectoryId& seen = visited->Ids[i];
        // A volume that cannot be read counts as the same: better a folder
        // not walked twice than a loop.
        if (!LearnVolume(&seen) || !LearnVolume(id) || seen.Volume == id->Volume)
            return true;
    }
    return false;
}

// Twice the room for records and tree nodes; false when there is none.
bool Grow(TVisited* visited)
{
    int capacity = visited->Capacity ? visited->Capacity * 2 : 64;
    HANDLE heap = GetProcessHeap();
    void* ids = visited->Ids
                    ? HeapReAlloc(heap, 0, visited->Ids, DWORD(capacity) * sizeof(TDirectoryId))
                    : HeapAlloc(heap, 0, DWORD(capacity) * sizeof(TDirectoryId));
    if (!ids)
        return false;
    visited->Ids = static_cast<TDirectoryId*>(ids);
    void* nodes = visited->Tree.Nodes ? HeapReAlloc(heap, 0, visited->Tree.Nodes,
                                                    DWORD(capacity) * sizeof(TFolderNode))
                                      : HeapAlloc(heap, 0, DWORD(capacity) * sizeof(TFolderNode));
    if (!nodes)
        return false;
    visited->Tree.Nodes = static_cast<TFolderNode*>(nodes);
    visited->Capacity = capacity;
    return true;
}

// True when `dir` has not been entered before. Windows 9x cannot open a
// directory for its identity; its file systems have no links either.
bool FirstVisit(const char* dir, TVisited* visited)
{
    HANDLE handle = OpenDirectory(dir);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    TDirectoryId id = {0, 0, 0, false, nullptr};
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
        id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, true, nullptr};
    }
    CloseHandle(handle);
    if (!known)
        return true;
    if (!id.VolumeKnown)
        id.Path = HeapCopy(dir);
    bool seen = Seen(visited, &id);
    // A directory that cannot be remembered is not entered: it might be
    // the start of a loop.
    if (!seen && visited->Tree.Count == visited->Capacity && !Grow(visited))
        seen = true;
    // A path that could not be kept leaves the volume unknown for good:
    // LearnVolume then fails and a shared index counts as the same folder.
    if (seen) {
        if (id.Path)
            HeapFree(GetProcessHeap(), 0, id.Path);
        return false;
    }
    visited->Ids[visited->Tree.Count] = id;
    AddFolder(&visited->Tree, IndexOf(id));
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
    TWalk walk = {{nullptr, {nullptr, 0, -1}, 0, nullptr}, take, false};
    if (HMODULE ntdll = GetModuleHandleA("ntdll.dll"))
        walk.Visited.QueryInformationFile = reinterpret_cast<TQueryInformationFile>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile")));
    ScanDirectory(root, &walk);
    HANDLE heap = GetProcessHeap();
    for (int i = 0; i < walk.Visited.Tree.Count; ++i)
        if (walk.Visited.Ids[i].Path)
            HeapFree(heap, 0, walk.Visited.Ids[i].Path);
    if (walk.Visited.Ids)
        HeapFree(heap, 0, walk.Visited.Ids);
    if (walk.Visited.Tree.Nodes)
        HeapFree(heap, 0, walk.Visited.Tree.Nodes);
}
