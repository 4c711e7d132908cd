#include "support.h"

#include <commctrl.h>
#include <math.h>
#include <psapi.h>
#include <string.h>

#include "../../host/hostenv.h"
#include "../../host/resources/resource.h"

// ---- program folder ----------------------------------------------------

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + "\\");
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

TTempFolder::TTempFolder() : ready_(false)
{
    static LONG counter;
    memcpy(savedProgramDir_, ProgramDir, sizeof ProgramDir);
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH)
        return;
    char name[64];
    snprintf(name, sizeof name, "bctest-%lu-%ld\\", GetCurrentProcessId(),
             InterlockedIncrement(&counter));
    path_ = std::string(temp) + name;
    RemoveTree(path_); // left over from a crashed run of the same id
    ready_ = CreateDirectoryA(path_.c_str(), nullptr) && path_.size() < MAX_PATH;
    if (ready_)
        strcpy(ProgramDir, path_.c_str());
    else
        printf("cannot create the folder %s\n", path_.c_str());
}

TTempFolder::~TTempFolder()
{
    memcpy(ProgramDir, savedProgramDir_, sizeof ProgramDir);
    if (!path_.empty())
        RemoveTree(path_);
}

// ---- files -------------------------------------------------------------

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return true;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

bool ReadOnlyFilesRefuseWriting(const std::string& folder)
{
    std::string probe = folder + "read-only probe";
    WriteWholeFile(probe, "x");
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool refused = file == INVALID_HANDLE_VALUE;
    if (!refused)
        CloseHandle(file);
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(probe.c_str());
    if (!refused)
        printf("note: read-only files open for writing here; that half is not shown\n");
    return refused;
}

// ---- texts -------------------------------------------------------------

std::wstring Wide(const char* utf8)
{
    wchar_t buffer[1024];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, buffer, 1024);
    return n > 0 ? std::wstring(buffer, n - 1) : std::wstring();
}

std::string InCodePage(UINT codePage, const char* utf8)
{
    std::wstring wide = Wide(utf8);
    char buffer[2048];
    int n =
        WideCharToMultiByte(codePage, 0, wide.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer, n - 1) : std::string();
}

// ---- memory ------------------------------------------------------------

bool QuerySystemMemoryEx(TSystemMemoryEx* status)
{
    typedef BOOL(WINAPI * TQuery)(TSystemMemoryEx*);
    TQuery query =
        (TQuery)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");
    if (!query)
        return false;
    status->dwLength = sizeof *status;
    return query(status) != FALSE;
}

int ExpectedUsedPercent(uint64_t totalBytes, uint64_t availBytes)
{
    uint32_t totalMB = uint32_t(totalBytes >> 20);
    uint32_t freeMB = uint32_t(availBytes >> 20);
    if (totalMB == 0)
        return 0;
    // The default rounding mode of rint is to nearest, halves to even.
    return 100 - int(rint(double(uint32_t(freeMB * 100u)) / double(totalMB)));
}

uint64_t CommittedPrivateBytes(DWORD protection)
{
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    uintptr_t address = 0;
    while (VirtualQuery((void*)address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE &&
            region.Protect == protection)
            total += region.RegionSize;
        uintptr_t next = uintptr_t(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

uint64_t PrivateUsageBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

uint64_t WorkingSetBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// ---- dialog ------------------------------------------------------------

namespace {

// An in-memory dialog template, built one WORD at a time.
class TTemplate {
public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* text)
    {
        do
            Word(WORD(*text));
        while (*text++);
    }
    void AlignDword()
    {
        if (words_.size() % 2)
            Word(0);
    }
    void Header(DWORD style, WORD items, const wchar_t* caption)
    {
        Dword(style);
        Dword(0); // extended style
        Word(items);
        Word(0), Word(0), Word(200), Word(120); // x, y, cx, cy
        Word(0);                                // no menu
        Word(0);                                // the dialog class
        Text(caption);
    }
    // `atom` for the predefined classes (0x80 button, 0x82 static), else 0
    // and `className`.
    void Item(DWORD style, WORD id, WORD atom, const wchar_t* className, short x, short y)
    {
        AlignDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(WORD(x)), Word(WORD(y)), Word(60), Word(10);
        Word(id);
        if (atom) {
            Word(0xFFFF);
            Word(atom);
        } else {
            Text(className);
        }
        Text(L""); // no title
        Word(0);   // no creation data
    }
    const void* Data() const { return words_.data(); }

private:
    std::vector<WORD> words_;
};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace

TTestDialog::TTestDialog()
{
    static bool commonControlsReady;
    if (!commonControlsReady) {
        InitCommonControls();
        commonControlsReady = true;
    }
    TTemplate t;
    const WORD items = 12 + 3 + 2 + 1;
    t.Header(WS_POPUP | WS_CAPTION | WS_SYSMENU, items, L"Brindlecap test dialog");
    for (int i = 0; i < 12; ++i)
        t.Item(SS_LEFT, WORD(IDC_PHYS_TOTAL + i), 0x82, nullptr, 5, short(5 + 8 * i));
    for (int i = 0; i < 3; ++i)
        t.Item(BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), WORD(IDC_UNIT_BYTES + i),
               0x80, nullptr, 80, short(5 + 12 * i));
    t.Item(WS_GROUP, IDC_CLEAN_PROGRESS, 0, L"msctls_progress32", 80, 50);
    t.Item(0, IDC_CPU_PROGRESS, 0, L"msctls_progress32", 80, 65);
    t.Item(BS_AUTOCHECKBOX | WS_GROUP, IDC_MONITORING, 0x80, nullptr, 80, 80);
    window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), (const DLGTEMPLATE*)t.Data(),
                                         nullptr, QuietDialogProc, 0);
    if (!window_)
        printf("the test dialog could not be created (error %lu)\n", GetLastError());
}

TTestDialog::~TTestDialog()
{
    if (window_)
        DestroyWindow(window_);
}

std::string TTestDialog::Text(int id) const
{
    char text[256] = "";
    GetDlgItemTextA(window_, id, text, sizeof text);
    return text;
}

std::wstring TTestDialog::WideText(int id) const
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(window_, id, text, 256);
    return text;
}

int TTestDialog::Position(int barId) const
{
    return int(SendDlgItemMessageA(window_, barId, PBM_GETPOS, 0, 0));
}

bool TTestDialog::Checked(int buttonId) const
{
    return IsDlgButtonChecked(window_, buttonId) == BST_CHECKED;
}

// ---- recorder ----------------------------------------------------------

namespace {
TControlRecorder* ActiveRecorder;
} // namespace

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TControlRecorder* recorder = ActiveRecorder;
    WNDPROC original = nullptr;
    for (auto& s : recorder->subclasses_)
        if (s.window == window)
            original = s.original;
    if (message == WM_SETTEXT || message == PBM_SETPOS) {
        TControlEvent event;
        event.Id = GetDlgCtrlID(window);
        event.Message = message;
        event.Position = message == PBM_SETPOS ? int(wParam) : 0;
        if (message == WM_SETTEXT && lParam)
            event.Text = (const char*)lParam;
        event.Thread = GetCurrentThreadId();
        recorder->Events.push_back(event);
        if (recorder->OnEvent)
            recorder->OnEvent(recorder->Events.back());
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

TControlRecorder::TControlRecorder(HWND dialog, const std::vector<int>& ids)
{
    ActiveRecorder = this;
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        WNDPROC original =
            (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)RecordingProc);
        subclasses_.push_back({control, original});
    }
}

TControlRecorder::~TControlRecorder()
{
    for (auto& s : subclasses_)
        SetWindowLongPtrA(s.window, GWLP_WNDPROC, (LONG_PTR)s.original);
    ActiveRecorder = nullptr;
}

std::vector<int> TControlRecorder::Positions(int id) const
{
    std::vector<int> positions;
    for (auto& e : Events)
        if (e.Id == id && e.Message == PBM_SETPOS)
            positions.push_back(e.Position);
    return positions;
}

std::vector<std::string> TControlRecorder::Texts(int id) const
{
    std::vector<std::string> texts;
    for (auto& e : Events)
        if (e.Id == id && e.Message == WM_SETTEXT)
            texts.push_back(e.Text);
    return texts;
}

// ---- platform ----------------------------------------------------------

bool PumpUntil(const std::function<bool()>& done, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeout)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// ---- drawing objects ---------------------------------------------------

uint32_t LiveGdiObjects()
{
    // GetGuiResources reads 0 under Wine; the handle table it keeps in the
    // process (GdiSharedHandleTable, PEB + 0x94, or + 0xF8 in a 64-bit
    // process) does move: 24-byte entries on both, live when the type byte
    // (14) is set, stock when bit 7 of byte 12 is.
    const BYTE* peb;
#ifdef _WIN64
    asm("movq %%gs:0x60, %0" : "=r"(peb)); // the TEB's PEB
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
#else
    asm("movl %%fs:0x30, %0" : "=r"(peb)); // the TEB's PEB
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0x94);
#endif
    if (!table)
        return 0;
    MEMORY_BASIC_INFORMATION region;
    if (!VirtualQuery(table, &region, sizeof region))
        return 0;
    size_t readable = size_t((const BYTE*)region.BaseAddress + region.RegionSize - table);
    size_t entries = readable / 24;
    if (entries > 0x10000)
        entries = 0x10000;
    uint32_t live = 0;
    for (size_t i = 0; i < entries; ++i) {
        const BYTE* entry = table + 24 * i;
        if (entry[14] && !(entry[12] & 0x80))
            ++live;
    }
    return live;
}

bool InWin98Copy()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    return lstrcmpiA(name, "win32tests98.exe") == 0;
}
