// What one end-to-end case owns: temporary folders, copies of the shipped
// program in them, and the processes it started. The sandbox's end stops
// what is still running (a failure of the case: a test ends its own
// programs) and removes every folder.
#pragma once
#include <windows.h>

// Windows path of the shipped Brindlecap.exe, set by main.
extern char ShippedProgram[MAX_PATH];

// Generous limits: a start under a busy wineserver can take seconds.
enum { kStartTimeout = 30000, kExitTimeout = 30000 };

struct TChild {
    HANDLE process;
    DWORD id;
    bool exited;
    DWORD exitCode;
    char arguments[64]; // the start of the command line, for failure messages
};

class TSandbox {
public:
    TSandbox() = default;
    TSandbox(const TSandbox&) = delete;
    TSandbox& operator=(const TSandbox&) = delete;
    ~TSandbox();

    // A fresh, empty folder of this sandbox; null when none could be made.
    const char* NewFolder();
    // A fresh folder (or a subfolder `name` of one) holding a copy of the
    // shipped program as Brindlecap.exe; returns that folder, ending with "\".
    const char* InstallProgram(const char* name = nullptr);
    // Copies the shipped library `file` (e.g. "Setup.dll", from beside the
    // shipped program) into `folder`.
    bool InstallModule(const char* folder, const char* file);
    // Starts the copy in `programFolder` with `arguments` after the quoted
    // program path, in the current directory `workFolder`. `programFile`
    // names another copy in that folder (brindlecap98.exe runs in Wine's
    // Windows 98 mode).
    TChild* Start(const char* programFolder, const char* workFolder, const char* arguments,
                  const char* programFile = "Brindlecap.exe");
    // Waits until `child` ends; false when it did not within `timeout`.
    bool WaitExit(TChild* child, DWORD timeout = kExitTimeout);

private:
    enum { kMaxFolders = 16, kMaxChildren = 8 };
    char folders_[kMaxFolders][MAX_PATH];
    int folderCount_ = 0;
    TChild children_[kMaxChildren];
    int childCount_ = 0;
};

// `folder` + `name` into `out` (MAX_PATH).
void FilePath(const char* folder, const char* name, char* out);
