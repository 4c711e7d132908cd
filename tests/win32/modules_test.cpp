// The plug-in manager against real libraries: the scan of a program folder
// tree, loading for use, closing and unloading.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../../common/hostnotify.h"
#include "../../host/modulefile.h"
#include "../../host/modules.h"
#include "../../host/hostenv.h"
#include "check.h"
#include "support.h"
#include "unixlink.h"

namespace {

std::string TestFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string Fixture(const char* name) { return TestFolder() + "fixtures\\" + name + ".dll"; }

// Copies fixture `name` to `relative` below the program folder, making the
// folders on the way.
bool Place(const TTempFolder& folder, const char* name, const std::string& relative)
{
    for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        CreateDirectoryA(folder.File(relative.substr(0, at).c_str()).c_str(), nullptr);
    return CopyFileA(Fixture(name).c_str(), folder.File(relative.c_str()).c_str(), FALSE);
}

// The listed libraries, relative to the program folder, sorted (the file
// system's order is its own); checks that every record is well formed.
std::vector<std::string> Listed(const TTempFolder& folder)
{
    std::vector<std::string> paths;
    for (int slot = 0; slot < kModuleSlots; ++slot) {
        TPluginModule* module = Modules[slot];
        CHECK_EQ(slot < ModuleCount, module != nullptr);
        if (!module)
            continue;
        CHECK_EQ(slot, module->Id);
        CHECK_EQ(0, module->Active);
        CHECK(!module->Handle);
        // The scan's loads were all undone.
        CHECK(!GetModuleHandleA(module->Path));
        std::string path = module->Path;
        CHECK(path.compare(0, folder.Path().size(), folder.Path()) == 0);
        paths.push_back(path.substr(folder.Path().size()));
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

void Scan()
{
    PlatformClass = DetectPlatform();
    LoadModules();
}

void Unload()
{
    UnloadModules();
    CHECK_EQ(0, ModuleCount);
    for (TPluginModule* module : Modules)
        CHECK(!module);
}

TPluginModule* ModuleAt(const TTempFolder& folder, const char* relative)
{
    for (int slot = 0; slot < ModuleCount; ++slot)
        if (folder.File(relative) == Modules[slot]->Path)
            return Modules[slot];
    return nullptr;
}

// A hidden window of our own stands in for the host's main window.
struct THostWindow {
    HWND saved = MainWindow;
    THostWindow()
    {
        MainWindow =
            CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    ~THostWindow()
    {
        DestroyWindow(MainWindow);
        MainWindow = saved;
    }
    // The next closing notification posted to it; false when none waits.
    bool TakeNotification(MSG* message)
    {
        return PeekMessageA(message, MainWindow, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE) != 0;
    }
};

int WindowsCaptioned(const char* caption)
{
    int count = 0;
    for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, caption); window;
         window = FindWindowExA(nullptr, window, nullptr, caption))
        ++count;
    return count;
}

// The dialog boxes (a loader's message box among them) of this process.
int OwnDialogBoxes()
{
    int count = 0;
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        count += process == GetCurrentProcessId();
    }
    return count;
}

} // namespace

CHECK_CASE(ModulesScanTakesExactlyTheLibrariesThatSuit)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    CHECK(Place(folder, "FixtureGood", "a\\b\\c\\deep.dll"));
    CHECK(Place(folder, "FixtureGood", "d.dll\\inner.dll"));
    CHECK(Place(folder, "FixtureGood", "Mixed.Dll"));
    CHECK(Place(folder, "FixtureGood", "x.dll.bak"));
    CHECK(Place(folder, "FixtureNoExecWinVer", "noexecwinver.dll"));
    CHECK(Place(folder, "FixtureNoGetName", "nogetname.dll"));
    CHECK(Place(folder, "FixtureNine", "nine.dll"));
    CHECK(Place(folder, "FixtureSeven", "seven.dll"));
    CHECK(WriteWholeFile(folder.File("junk.dll"), "not a library at all\r\n"));
    // Built for the other processor: the 32-bit host cannot load a 64-bit
    // library, nor the 64-bit host a 32-bit one.
    CHECK(Place(folder, "FixtureOtherArch", "otherarch.dll"));
    Scan();
    // Nothing was said about the library that would not load.
    CHECK_EQ(0, OwnDialogBoxes());
    // The platform code 2 module is offered in Windows 98 mode only.
    CHECK_EQ(InWin98Copy() ? PlatformWin9x : PlatformNT, PlatformClass);
    std::vector<std::string> expected = {"Mixed.Dll", "a\\b\\c\\deep.dll", "d.dll\\inner.dll"};
    if (InWin98Copy())
        expected.push_back("nine.dll");
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> listed = Listed(folder);
    CHECK(listed == expected);
    for (int slot = 0; slot < ModuleCount; ++slot)
        CHECK_STR("Fixture", Modules[slot]->Name);
    Unload();
}

CHECK_CASE(ModulesScanThroughDirectoryLoopsListsEachLibraryOnce)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    CHECK(Place(folder, "FixtureGood", "top.dll"));
    CHECK(Place(folder, "FixtureGood", "sub\\inner.dll"));
    // One link back up to the program folder, one across to "sub".
    std::string up = folder.File("sub\\up");
    std::string across = folder.File("across");
    CHECK(MakeUnixLink(folder.Path().c_str(), up.c_str()));
    CHECK(MakeUnixLink(folder.File("sub").c_str(), across.c_str()));
    Scan();
    CHECK_EQ(2, ModuleCount);
    if (ModuleCount == 2)
        CHECK(std::string(Modules[0]->Path) != Modules[1]->Path);
    Unload();
    CHECK(RemoveUnixLink(up.c_str()));
    CHECK(RemoveUnixLink(across.c_str()));
}

CHECK_CASE(ModulesBeyondTheTenthAreLeftOutAndLongNamesAreCut)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    CHECK(Place(folder, "FixtureLongName", "long.dll"));
    for (int i = 0; i < 12; ++i) {
        char name[16];
        snprintf(name, sizeof name, "m%02d.dll", i);
        CHECK(Place(folder, "FixtureGood", name));
    }
    Scan();
    CHECK_EQ(10, ModuleCount);
    Listed(folder);
    if (TPluginModule* module = ModuleAt(folder, "long.dll"))
        CHECK(std::string(module->Name) == std::string(255, 'x'));
    Unload();
}

CHECK_CASE(ModulesOpenOnceThenCloseAndOpenAfresh)
{
    TTempFolder folder;
    THostWindow host;
    CHECK(folder.Ready() && host.saved != MainWindow);
    CHECK(Place(folder, "FixtureGood", "one.dll"));
    CHECK(Place(folder, "FixtureGood", "two\\two.dll"));
    Scan();
    CHECK_EQ(2, ModuleCount);
    if (ModuleCount != 2)
        return Unload();
    TPluginModule* module = Modules[1];
    CHECK(InitModule(module));
    CHECK(module->Handle && GetModuleHandleA(module->Path) == module->Handle);
    CHECK(ExecuteModule(module));
    CHECK_EQ(1, module->Active);
    HWND dialog = module->Window;
    CHECK(IsWindow(dialog) && IsWindowVisible(dialog));
    CHECK(GetWindow(dialog, GW_OWNER) == MainWindow);

    // A second pick raises the open dialog: no second load, no second one.
    CHECK(InitModule(module) && ExecuteModule(module));
    CHECK(module->Window == dialog);
    CHECK_EQ(1, WindowsCaptioned("Fixture module"));

    // The close box: one notification with the index Init was given.
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(!IsWindow(dialog));
    MSG message;
    CHECK(host.TakeNotification(&message));
    CHECK_EQ(HOSTNOTIFY_MODULE_CLOSED, message.wParam);
    CHECK_EQ(1, message.lParam);
    CHECK(!host.TakeNotification(&message));
    // The notification may come while the module's code is under us: the
    // library stays until the top of the loop releases it.
    ModuleClosed(int(message.lParam));
    CHECK_EQ(0, module->Active);
    CHECK(GetModuleHandleA(module->Path));
    ReleaseClosedModules();
    CHECK(!GetModuleHandleA(module->Path));

    // Picked again: loaded afresh with a new dialog, also while the last
    // close still holds the library.
    for (int pick = 0; pick < 2; ++pick) {
        CHECK(InitModule(module) && ExecuteModule(module));
        CHECK(IsWindow(module->Window));
        CHECK_EQ(1, GetWindowLongPtrA(module->Window, DWLP_USER));
        if (pick == 0) {
            SendMessageA(module->Window, WM_SYSCOMMAND, SC_CLOSE, 0);
            ModuleClosed(module->Id);
        }
    }
    CHECK(GetModuleHandleA(module->Path));
    dialog = module->Window;
    // The host's exit closes it and releases the library.
    std::string path = module->Path;
    Unload();
    CHECK(!IsWindow(dialog));
    CHECK(!GetModuleHandleA(path.c_str()));
    while (host.TakeNotification(&message)) {
    }
}

CHECK_CASE(ModulesFailedPicksLeaveNothingLoaded)
{
    TTempFolder folder;
    THostWindow host;
    CHECK(folder.Ready());
    // Listed without Init or Execute: the pick fails, the entry stays.
    CHECK(Place(folder, "FixtureNoInit", "noinit.dll"));
    CHECK(Place(folder, "FixtureNoExecute", "noexecute.dll"));
    CHECK(Place(folder, "FixtureNoDialog", "nodialog.dll"));
    CHECK(Place(folder, "FixtureGood", "gone.dll"));
    Scan();
    CHECK_EQ(4, ModuleCount);
    TPluginModule* noInit = ModuleAt(folder, "noinit.dll");
    TPluginModule* noExecute = ModuleAt(folder, "noexecute.dll");
    TPluginModule* noDialog = ModuleAt(folder, "nodialog.dll");
    TPluginModule* gone = ModuleAt(folder, "gone.dll");
    CHECK(noInit && noExecute && noDialog && gone);
    if (!noInit || !noExecute || !noDialog || !gone)
        return Unload();

    CHECK(!InitModule(noInit));
    CHECK(InitModule(noExecute) && !ExecuteModule(noExecute));
    // Execute made no dialog: nothing would ever close the module.
    CHECK(InitModule(noDialog) && !ExecuteModule(noDialog));
    for (TPluginModule* module : {noInit, noExecute, noDialog}) {
        CHECK_EQ(0, module->Active);
        CHECK(!module->Handle);
        CHECK(!GetModuleHandleA(module->Path));
    }
    // Deleted after the scan: the pick fails, the entry stays.
    CHECK(DeleteFileA(gone->Path));
    CHECK(!InitModule(gone));
    CHECK_EQ(4, ModuleCount);

    // Notifications naming no filled slot are ignored.
    for (int index : {-1, 4, 9, 10, 0x7FFFFFFF})
        ModuleClosed(index);
    CHECK_EQ(4, ModuleCount);
    Unload();
}

CHECK_CASE(ModulesMenuListsTheLastSlotOnTopAboveTheSeparator)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AddModulesToMenu(menu);
    CHECK_EQ(1, GetMenuItemCount(menu));

    for (const char* name : {"a.dll", "b\\b.dll", "c\\c.dll"})
        CHECK(Place(folder, "FixtureGood", name));
    Scan();
    CHECK_EQ(3, ModuleCount);
    AddModulesToMenu(menu);
    CHECK_EQ(4, GetMenuItemCount(menu));
    for (int position = 0; position < 3; ++position) {
        CHECK_EQ(2 - position, GetMenuItemID(menu, position));
        char text[64] = "";
        GetMenuStringA(menu, UINT(position), text, sizeof text, MF_BYPOSITION);
        CHECK_STR("Fixture", text);
    }
    CHECK(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(menu);
    Unload();
}

namespace {

// The first `length` bytes of fixture `name`, as `relative` in `folder`.
bool PlaceCut(const TTempFolder& folder, const char* name, long long length,
              const std::string& relative)
{
    std::string bytes;
    return ReadWholeFile(Fixture(name), &bytes) && length < (long long)bytes.size() &&
           WriteWholeFile(folder.File(relative.c_str()), bytes.substr(0, size_t(length)));
}

} // namespace

CHECK_CASE(ModulesFileTestTakesWholeModulesOfThisProcessorOnly)
{
    TTempFolder folder;
    CHECK(folder.Ready());
    long long size = FileSizeOf(Fixture("FixtureGood"));
    CHECK(PlaceCut(folder, "FixtureGood", size - 1, "short.dll"));
    CHECK(WriteWholeFile(folder.File("empty.dll"), ""));
    const struct {
        std::string path;
        bool module;
    } cases[] = {
        {Fixture("FixtureGood"), true},           {Fixture("FixtureNine"), true},
        {Fixture("FixtureNoDialog"), true},       {Fixture("FixtureMarkerModule"), true},
        {Fixture("FixtureNoGetName"), false},     {Fixture("FixtureNoExecWinVer"), false},
        {Fixture("FixtureNoInit"), true},         {Fixture("FixtureNoExecute"), true},
        {Fixture("FixtureMarkerRuntime"), false}, {Fixture("FixtureOtherArch"), false},
        {folder.File("short.dll"), false},        {folder.File("empty.dll"), false},
        {folder.File("absent.dll"), false},       {folder.Path(), false},
    };
    for (const auto& c : cases) {
        bool module = IsModuleFile(c.path.c_str());
        CHECK_EQ(c.module, module);
        if (module != c.module)
            printf("  for %s\n", c.path.c_str());
    }
    // Nothing was loaded to find out.
    CHECK(!GetModuleHandleA(Fixture("FixtureMarkerModule").c_str()));
    CHECK(!FileExists(Fixture("FixtureMarkerModule") + ".loaded"));
}
