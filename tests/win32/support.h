// What the Win32 tests share: a private program folder per case, whole-file
// reads and writes, a host-like dialog built from our own template, and
// counts of the process's committed memory.
#pragma once
#include <windows.h>

#include "../../host/memstatus.h"
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder that ProgramDir points
// at while the object lives. Everything in it is removed at the end, and
// ProgramDir is put back.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    bool Ready() const { return ready_; }
    // The folder with its trailing backslash.
    const std::string& Path() const { return path_; }
    std::string File(const char* name) const { return path_ + name; }

private:
    std::string path_;
    char savedProgramDir_[MAX_PATH];
    bool ready_;
};

bool WriteWholeFile(const std::string& path, const std::string& bytes);
// False when the file cannot be opened for reading.
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
// -1 when missing.
long long FileSizeOf(const std::string& path);

// Whether this system refuses to open a read-only file for writing. Wine
// run by root does not: it keeps the attribute as Unix permissions, which
// root passes. Probed with a file of its own in `folder`.
bool ReadOnlyFilesRefuseWriting(const std::string& folder);

// Text as the code page names it, e.g. what LoadStringA gives on a Russian
// system, from a UTF-8 literal.
std::string InCodePage(UINT codePage, const char* utf8);
std::wstring Wide(const char* utf8);

// GlobalMemoryStatusEx, reached at run time as the host does (the headers
// hide it below Windows 2000). False when the system lacks it.
typedef TMemoryStatusEx TSystemMemoryEx;
bool QuerySystemMemoryEx(TSystemMemoryEx* status);

// 100 - Round(free MB * 100 / total MB), halves to even, worked out here
// independently of the host's code.
int ExpectedUsedPercent(uint64_t totalBytes, uint64_t availBytes);

// Bytes of committed private memory with exactly `protection`, walking the
// whole address space.
uint64_t CommittedPrivateBytes(DWORD protection);
// The process's private usage and working set (psapi).
uint64_t PrivateUsageBytes();
uint64_t WorkingSetBytes();

// A modeless dialog with the controls the host's dialogs share: texts 1001
// to 1012, radio buttons 100 to 102, progress bars 300 and 301 and the
// check box 103 ("Мониторинг" in INFO_DIALOG). Hidden,
// without owner; destroyed with the object.
class TTestDialog {
public:
    TTestDialog();
    ~TTestDialog();
    HWND Window() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    std::string Text(int id) const;
    std::wstring WideText(int id) const;
    void SetText(int id, const char* text) const { SetDlgItemTextA(window_, id, text); }
    int Position(int barId) const;
    bool Checked(int buttonId) const;

private:
    HWND window_;
};

// Every message a dialog control of a TTestDialog receives on its way to
// the control: the cleaning engine's reports, in the order they came.
struct TControlEvent {
    int Id;           // control id
    UINT Message;     // WM_SETTEXT or PBM_SETPOS
    int Position;     // PBM_SETPOS: wParam
    std::string Text; // WM_SETTEXT: the ANSI text
    DWORD Thread;     // thread that handled it
};

// Subclasses the given controls for as long as the object lives; only
// one recorder exists at a time.
class TControlRecorder {
public:
    TControlRecorder(const TTestDialog& dialog, const std::vector<int>& ids)
        : TControlRecorder(dialog.Window(), ids)
    {
    }
    // The controls `ids` of any dialog of this thread.
    TControlRecorder(HWND dialog, const std::vector<int>& ids);
    ~TControlRecorder();
    std::vector<TControlEvent> Events;
    // Called after each recorded event, on the dialog's thread.
    void (*OnEvent)(const TControlEvent& event) = nullptr;

    std::vector<int> Positions(int id) const;
    std::vector<std::string> Texts(int id) const;

private:
    struct TSubclass {
        HWND window;
        WNDPROC original;
    };
    std::vector<TSubclass> subclasses_;
    friend LRESULT CALLBACK RecordingProc(HWND, UINT, WPARAM, LPARAM);
};

// Handles this thread's messages (those other threads send to its dialogs
// too) until `done` holds; false when it did not within `timeout` ms.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout = 10000);

// Drawing objects alive in this process (GDI handle table entries that are
// not stock objects).
uint32_t LiveGdiObjects();

// True in the copy of this program that Wine runs in its Windows 98 mode.
bool InWin98Copy();
