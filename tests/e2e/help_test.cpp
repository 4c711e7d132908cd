// "Справка" of the about dialog: which help file it hands to the shell. The
// shell's association for both file types points at this driver for the
// case's length, so an opening leaves a mark beside the file (its name +
// ".opened") instead of a window.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../win32/check.h"
#include "host_ui.h"
#include "probe.h"
#include "sandbox.h"

namespace {

const char kViewer[] = "BrindlecapTestViewer";

// The default value of HKEY_CLASSES_ROOT\`key`, kept to be put back.
struct TAssociation {
    char key[8];
    char old[128];
    bool had;
};

void SetDefault(const char* key, const char* value)
{
    HKEY handle;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, key, &handle) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, nullptr, 0, REG_SZ, (const BYTE*)value, DWORD(strlen(value) + 1));
    RegCloseKey(handle);
}

void Associate(TAssociation& a, const char* key, const char* progId)
{
    snprintf(a.key, sizeof a.key, "%s", key);
    LONG size = sizeof a.old;
    a.had = RegQueryValueA(HKEY_CLASSES_ROOT, key, a.old, &size) == ERROR_SUCCESS;
    SetDefault(key, progId);
}

void Restore(const TAssociation& a)
{
    if (a.had)
        SetDefault(a.key, a.old);
    else
        RegDeleteKeyA(HKEY_CLASSES_ROOT, a.key);
}

void RegisterViewer()
{
    char self[MAX_PATH] = "", command[MAX_PATH + 32];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    snprintf(command, sizeof command, "\"%s\" --opened \"%%1\"", self);
    char key[64];
    snprintf(key, sizeof key, "%s\\shell\\open\\command", kViewer);
    SetDefault(key, command);
}

void RemoveViewer()
{
    const char* keys[] = {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""};
    for (const char* tail : keys) {
        char key[64];
        snprintf(key, sizeof key, "%s%s", kViewer, tail);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    }
}

// A window captioned "Brindlecap" of `child` that is not one of its
// dialogs, which all have a control 600.
HWND ErrorBoxOf(TChild* child)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", "Brindlecap"); w;
         w = FindWindowExA(nullptr, w, "#32770", "Brindlecap")) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == child->id && !GetDlgItem(w, 600))
            return w;
    }
    return nullptr;
}

bool WaitForFile(const char* path)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTimeout; Sleep(20))
        if (FileExists(path))
            return true;
    return false;
}

} // namespace

CHECK_CASE(AboutHelpOpensTheOldHelpFileWhereItOpensElseThePage)
{
    CHECK(!AnyMainWindow());
    struct TRow {
        const char* situation;
        bool hlpFile;         // brindlecap.hlp beside the program
        bool hlpFolder;       // a folder of that name instead
        bool hlpViewer;       // the system opens .hlp files
        const char* opened;   // the file the shell was given
        const char* unopened; // and the one it was not
    };
    const TRow rows[] = {
        {"only the page", false, false, true, "brindlecap.htm", "brindlecap.hlp"},
        {"both, with a viewer for the old one", true, false, true, "brindlecap.hlp",
         "brindlecap.htm"},
        {"both, no viewer for the old one", true, false, false, "brindlecap.htm", "brindlecap.hlp"},
        {"a folder named as the old file", false, true, true, "brindlecap.htm", "brindlecap.hlp"},
    };
    TAssociation htm, hlp;
    RegisterViewer();
    Associate(htm, ".htm", kViewer);
    Associate(hlp, ".hlp", kViewer);
    for (const TRow& row : rows) {
        printf("  %s\n", row.situation);
        SetDefault(".hlp", row.hlpViewer ? kViewer : "BrindlecapNoSuchType");
        TSandbox sandbox;
        const char* program = sandbox.InstallProgram();
        char path[MAX_PATH], mark[MAX_PATH];
        FilePath(program, "brindlecap.htm", path);
        CHECK(WriteBytes(path, (const BYTE*)"<HTML></HTML>", 13));
        FilePath(program, "brindlecap.hlp", path);
        if (row.hlpFile)
            CHECK(WriteBytes(path, (const BYTE*)"?_", 2));
        if (row.hlpFolder)
            CHECK(CreateDirectoryA(path, nullptr));
        TChild* child = sandbox.Start(program, sandbox.NewFolder(), "?");
        HWND about = WaitForDialog(child, kAboutDialogItem);
        CHECK(about);
        if (!about)
            break;
        PostMessageA(about, WM_COMMAND, 602, 0);
        FilePath(program, row.opened, path);
        snprintf(mark, sizeof mark, "%s.opened", path);
        CHECK(WaitForFile(mark));
        // Answered only once the click's handling is over, or from inside
        // the loop of an error box, which then exists.
        CHECK(Deliver(about, WM_NULL, 0, 0));
        CHECK(!ErrorBoxOf(child));
        FilePath(program, row.unopened, path);
        snprintf(mark, sizeof mark, "%s.opened", path);
        CHECK(!FileExists(mark));
        PostMessageA(about, WM_COMMAND, 600, 0);
        ExpectEndsWithZero(sandbox, child);
    }
    Restore(htm);
    Restore(hlp);
    RemoveViewer();
}
