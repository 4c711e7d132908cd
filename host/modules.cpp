#include "modules.h"

#include "../common/text.h"
#include "modulefile.h"
#include "startup.h"

TPluginModule* Modules[kModuleSlots];
int ModuleCount;

// The contract's exports: stdcall, undecorated.
typedef const char*(__stdcall* TGetName)();
typedef int32_t(__stdcall* TExecWinVer)();
typedef void(__stdcall* TInit)(HWND hostWindow, int32_t moduleIndex, const char* hostDirectory);
typedef HWND(__stdcall* TExecute)();

template <typename T> static T Export(HMODULE library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The longest menu caption taken from a module; the rest of a longer name
// is dropped.
enum { kNameLimit = 255 };

// A directory by what it is, not by the path that reached it.
struct TDirectoryId {
    DWORD Volume;
    DWORD IndexHigh;
    DWORD IndexLow;
};

// Every directory the scan has entered. A link or junction leading back up
// (or across) the tree reaches one of them again by another path, and is
// not walked a second time: no endless descent, no library listed twice.
// Under Wine a Unix link shows no reparse-point attribute, so only the
// directory's identity gives it away.
struct TVisited {
    TDirectoryId* Ids;
    int Count;
    int Capacity;
};

static char* HeapText(const char* text, int limit)
{
    int length = 0;
    while (length < limit && text[length])
        ++length;
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, DWORD(length + 1)));
    if (copy)
        CopyText(copy, length + 1, text);
    return copy;
}

static void FreeRecord(TPluginModule* module)
{
    HANDLE heap = GetProcessHeap();
    if (module->Name)
        HeapFree(heap, 0, module->Name);
    if (module->Path)
        HeapFree(heap, 0, module->Path);
    HeapFree(heap, 0, module);
}

static void AddModule(const char* path, const char* name)
{
    if (!name)
        return; // nothing to show in the menu
    HANDLE heap = GetProcessHeap();
    TPluginModule* module =
        static_cast<TPluginModule*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(TPluginModule)));
    if (!module)
        return;
    module->Name = HeapText(name, kNameLimit);
    module->Path = HeapText(path, MAX_PATH);
    if (!module->Name || !module->Path) {
        FreeRecord(module);
        return;
    }
    module->Id = uint8_t(ModuleCount);
    Modules[ModuleCount++] = module;
}

static void ConsiderLibrary(const char* path)
{
    // Only a file that exports the contract, for this processor, gets to
    // run its start-up code.
    if (!IsModuleFile(path))
        return;
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return;
    TGetName getName = Export<TGetName>(library, "GetName");
    TExecWinVer execWinVer = Export<TExecWinVer>(library, "ExecWinVer");
    if (getName && execWinVer && IsPlatformSupported(execWinVer(), PlatformClass))
        AddModule(path, getName());
    FreeLibrary(library);
}

// True when `dir` has not been entered before. Windows 9x cannot open a
// directory for its identity; its file systems have no links either.
static bool FirstVisit(const char* dir, TVisited* visited)
{
    HANDLE handle = CreateFileA(dir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    // A file index is unique on its volume only.
    BY_HANDLE_FILE_INFORMATION info = {};
    bool known = GetFileInformationByHandle(handle, &info) != 0;
    TDirectoryId id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
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

static void UpperCase(char* text) { CharUpperA(text); }

// Depth first, in the order the file system gives; silent on every failure.
// Paths that do not fit MAX_PATH are passed over, which also bounds the
// depth of the descent.
static void ScanDirectory(const char* dir, TVisited* visited)
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
        // A full table takes no more modules: the menu's command ids end at
        // 9, so further libraries are not even loaded.
        if (ModuleCount == kModuleSlots)
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
            if (!FirstVisit(dir, visited))
                break;
        }
        if (!JoinPath(path, MAX_PATH, dir, name))
            continue;
        if (library)
            ConsiderLibrary(path);
        if (folder)
            ScanDirectory(path, visited);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void LoadModules()
{
    // A library that does not suit this system (the 9x kernel's numbered
    // imports on NT) would otherwise stop the scan at the system's "entry
    // point not found" box.
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    TVisited visited = {nullptr, 0, 0};
    ScanDirectory(ProgramDir, &visited);
    if (visited.Ids)
        HeapFree(GetProcessHeap(), 0, visited.Ids);
    SetErrorMode(errorMode);
}

static void ReleaseLibrary(TPluginModule* module)
{
    if (module->Handle)
        FreeLibrary(module->Handle);
    module->Handle = nullptr;
}

bool InitModule(TPluginModule* module)
{
    if (module->Active)
        return true;
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    module->Handle = LoadLibraryA(module->Path);
    SetErrorMode(errorMode);
    if (!module->Handle)
        return false;
    TInit init = Export<TInit>(module->Handle, "Init");
    // A failed pick keeps nothing loaded: the next pick starts afresh.
    if (!init) {
        ReleaseLibrary(module);
        return false;
    }
    init(MainWindow, module->Id, ProgramDir);
    return true;
}

bool ExecuteModule(TPluginModule* module)
{
    if (module->Active) {
        SetForegroundWindow(module->Window);
        return true;
    }
    if (!module->Handle)
        return false;
    TExecute execute = Export<TExecute>(module->Handle, "Execute");
    if (!execute) {
        ReleaseLibrary(module);
        return false;
    }
    module->Active = 1;
    module->Window = execute();
    // Without a dialog nothing would ever report the module closed, and it
    // would stay loaded and unreachable until exit: the pick failed.
    if (!module->Window) {
        module->Active = 0;
        ReleaseLibrary(module);
        return false;
    }
    return true;
}

void ModuleClosed(int index)
{
    if (index < 0 || index >= ModuleCount || !Modules[index])
        return;
    Modules[index]->Active = 0;
    ReleaseLibrary(Modules[index]);
}

void UnloadModules()
{
    for (int slot = 0; slot < kModuleSlots; ++slot) {
        TPluginModule* module = Modules[slot];
        if (!module)
            continue;
        if (module->Active)
            DestroyWindow(module->Window);
        ReleaseLibrary(module);
        FreeRecord(module);
        Modules[slot] = nullptr;
    }
    ModuleCount = 0;
}

void AddModulesToMenu(HMENU menu)
{
    bool filled[kModuleSlots];
    for (int slot = 0; slot < kModuleSlots; ++slot)
        filled[slot] = Modules[slot] != nullptr;
    uint8_t order[kModuleSlots];
    int count = ModuleMenuOrder(filled, order);
    for (int i = 0; i < count; ++i)
        InsertMenuA(menu, UINT(i), MF_BYPOSITION | MF_STRING, order[i], Modules[order[i]]->Name);
}
