#include "modules.h"

#include "../common/logic/text.h"
#include "../modules/frame/frame.h"
#include "hostenv.h"
#include "modulefile.h"
#include "modulescan.h"

TPluginModule* Modules[kModuleSlots];
int ModuleCount;

template <typename T> static T Export(HMODULE library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The longest menu caption taken from a module; the rest of a longer name
// is dropped.
enum { kNameLimit = 255 };

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

// A full table takes no more modules: the menu's command ids end at 9, so
// further libraries are not even loaded.
static bool ConsiderLibrary(const char* path)
{
    // Only a file that exports GetName and ExecWinVer, for this processor,
    // gets to run its start-up code.
    if (!IsModuleFile(path))
        return ModuleCount < kModuleSlots;
    HMODULE library = LoadLibraryA(path);
    if (library) {
        TGetName getName = Export<TGetName>(library, "GetName");
        TExecWinVer execWinVer = Export<TExecWinVer>(library, "ExecWinVer");
        if (getName && execWinVer && IsPlatformSupported(execWinVer(), PlatformClass))
            AddModule(path, getName());
        FreeLibrary(library);
    }
    return ModuleCount < kModuleSlots;
}

void LoadModules()
{
    // A library that does not suit this system (the 9x kernel's numbered
    // imports on NT) would otherwise stop the scan at the system's "entry
    // point not found" box.
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (ModuleCount < kModuleSlots)
        WalkLibraries(ProgramDir, ConsiderLibrary);
    SetErrorMode(errorMode);
}

static void ReleaseLibrary(TPluginModule* module)
{
    if (module->Handle)
        FreeLibrary(module->Handle);
    module->Handle = nullptr;
}

// Whether `library`'s code may be running under us: a word on this
// thread's stack, above our own frame, points into its code. A stale word
// counts too, which only keeps a library a little longer.
static bool CodeMayRunUnderUs(HMODULE library)
{
    const uint8_t* base = reinterpret_cast<const uint8_t*>(library);
    const IMAGE_NT_HEADERS* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    ULONG_PTR code = ULONG_PTR(base) + headers->OptionalHeader.BaseOfCode;
    ULONG_PTR length = headers->OptionalHeader.SizeOfCode;
    // The stack's used part lies in one committed region, from our frame up.
    const ULONG_PTR* word = static_cast<const ULONG_PTR*>(__builtin_frame_address(0));
    MEMORY_BASIC_INFORMATION stack;
    if (!VirtualQuery(word, &stack, sizeof stack))
        return true;
    const ULONG_PTR* top = reinterpret_cast<const ULONG_PTR*>(
        static_cast<const uint8_t*>(stack.BaseAddress) + stack.RegionSize);
    for (; word < top; ++word)
        if (*word - code < length)
            return true;
    return false;
}

bool InitModule(TPluginModule* module)
{
    if (module->Active)
        return true;
    // A library closed moments ago may still wait for its release. Each
    // opening starts with the module's globals as loading leaves them, so
    // it is released and loaded again, unless its code may be under us (a
    // message box of its own that outlived its dialog): then it is taken
    // as it is.
    if (module->Handle && !CodeMayRunUnderUs(module->Handle))
        ReleaseLibrary(module);
    if (!module->Handle) {
        UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
        module->Handle = LoadLibraryA(module->Path);
        SetErrorMode(errorMode);
    }
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

// The notification can arrive inside a message loop that runs on top of
// the module's own code (its message box, say): the library is released
// later, by ReleaseClosedModules, where none of its code can be running.
void ModuleClosed(int index)
{
    if (index < 0 || index >= ModuleCount || !Modules[index])
        return;
    Modules[index]->Active = 0;
}

void ReleaseClosedModules()
{
    for (int slot = 0; slot < ModuleCount; ++slot)
        if (Modules[slot] && !Modules[slot]->Active && Modules[slot]->Handle)
            ReleaseLibrary(Modules[slot]);
}

void CloseModuleDialogs()
{
    for (int slot = 0; slot < ModuleCount; ++slot)
        if (Modules[slot] && Modules[slot]->Active && IsWindow(Modules[slot]->Window))
            DestroyWindow(Modules[slot]->Window);
}

void UnloadModules()
{
    for (int slot = 0; slot < kModuleSlots; ++slot) {
        TPluginModule* module = Modules[slot];
        if (!module)
            continue;
        if (module->Active && IsWindow(module->Window))
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
