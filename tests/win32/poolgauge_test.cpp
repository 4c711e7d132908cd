// The system resources module: the frame its thunk call gives QT_Thunk, the
// real library as the host sees it, and its dialog with the figures read
// and with each way a query fails.
#include <windows.h>
#include <commctrl.h>

#include "../../common/hostnotify.h"
#include "../../modules/poolgauge/poolgauge.h"
#include "check.h"
#include "support.h"

#include <string>
#include <vector>

// Stand-ins for QT_Thunk that note what they were handed: the bytes between
// the argument and EBP, EBP's distance from ESP, EDX and the argument word.
// Each leaves 0xBEEF in the upper half of EAX, which the call must drop.
// One removes the argument as the real thunk does; one leaves it; one takes
// four bytes too many.
extern "C" {
uint32_t SeenFrameBytes, SeenTarget;
uint16_t SeenArgument;
void ThunkPopsArgument();
void ThunkLeavesArgument();
void ThunkOverpops();
}
asm(R"(
        .intel_syntax noprefix
        .text
NoteThunkCall:
        mov     eax, ebp
        sub     eax, esp
        sub     eax, 8          /* our return address and the thunk's */
        mov     dword ptr [_SeenFrameBytes], eax
        mov     dword ptr [_SeenTarget], edx
        mov     ax, word ptr [esp+8]
        mov     word ptr [_SeenArgument], ax
        mov     eax, 0xBEEF0057
        ret
        .globl  _ThunkPopsArgument
_ThunkPopsArgument:
        call    NoteThunkCall
        pop     ecx
        add     esp, 2
        jmp     ecx
        .globl  _ThunkLeavesArgument
_ThunkLeavesArgument:
        call    NoteThunkCall
        ret
        .globl  _ThunkOverpops
_ThunkOverpops:
        call    NoteThunkCall
        pop     ecx
        add     esp, 6
        jmp     ecx
        .att_syntax prefix
)");

namespace {

typedef const char*(WINAPI* TGetText)();
typedef void(WINAPI* TInit)(HWND, int32_t, const char*);
typedef HWND(WINAPI* TExecute)();
typedef int32_t(WINAPI* TExecWinVer)();

// A module library beside this program (a test build) or the shipped one.
struct TLibrary {
    explicit TLibrary(const char* relativePath)
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = strrchr(path, '\\');
        lstrcpynA(slash + 1, relativePath, int(MAX_PATH - (slash + 1 - path)));
        handle = LoadLibraryA(path);
        if (!handle)
            printf("%s did not load (error %lu)\n", path, GetLastError());
    }
    ~TLibrary()
    {
        if (handle)
            FreeLibrary(handle);
    }
    void* Export(const char* name) const
    {
        return handle ? (void*)GetProcAddress(handle, name) : nullptr;
    }
    HMODULE handle;
};

const char kShipped[] = "..\\..\\bin\\Poolgauge.dll";

// Message boxes captioned "Poolgauge" of this process, answered with OK by
// a thread of their own, with their texts in the order they came and
// whether the module's dialog took input while each was up.
class TBoxAnswerer {
public:
    TBoxAnswerer()
    {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~TBoxAnswerer()
    {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        EnterCriticalSection(&lock_);
        texts = texts_;
        LeaveCriticalSection(&lock_);
        return texts;
    }

private:
    static DWORD WINAPI Run(void* self) { return static_cast<TBoxAnswerer*>(self)->Answer(); }
    DWORD Answer()
    {
        while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
            HWND box = FindWindowA("#32770", "Poolgauge");
            if (!box)
                continue;
            char text[200] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            HWND dialog = FindWindowA("#32770", dialogCaption_.c_str());
            EnterCriticalSection(&lock_);
            texts_.push_back(text);
            if (dialog && IsWindowEnabled(dialog))
                ++dialogEnabled_;
            LeaveCriticalSection(&lock_);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            // The same box is never counted twice.
            for (int i = 0; i < 500 && IsWindow(box); ++i)
                Sleep(10);
        }
        return 0;
    }

public:
    int DialogEnabledCount() const
    {
        EnterCriticalSection(&lock_);
        int count = dialogEnabled_;
        LeaveCriticalSection(&lock_);
        return count;
    }

private:
    std::string dialogCaption_ = InCodePage(1251, "Brindlecap - Системные ресурсы");
    int dialogEnabled_ = 0;
    HANDLE stop_, thread_;
    mutable CRITICAL_SECTION lock_ = MakeLock();
    std::vector<std::string> texts_;
    static CRITICAL_SECTION MakeLock()
    {
        CRITICAL_SECTION lock;
        InitializeCriticalSection(&lock);
        return lock;
    }
};

// The module opened by a hidden window of this test standing in for the
// host; the dialog is destroyed at the end if the case has not closed it.
struct TOpenModule {
    explicit TOpenModule(const TLibrary& library, int32_t index = 7)
    {
        host = CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
        auto init = reinterpret_cast<TInit>(library.Export("Init"));
        auto execute = reinterpret_cast<TExecute>(library.Export("Execute"));
        if (init && execute) {
            init(host, index, "C:\\Brindlecap\\");
            dialog = execute();
        }
    }
    ~TOpenModule()
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        DestroyWindow(host);
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE)) {
        }
    }
    HWND host = nullptr;
    HWND dialog = nullptr;
};

std::string Label(HWND dialog, int id)
{
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Each bar has the range 0..100 and its label reads its position and "%".
// Returns the three positions, GDI, SYSTEM, USER.
std::vector<int> Figures(HWND dialog)
{
    std::vector<int> figures;
    for (int i = 0; i < 3; ++i) {
        HWND bar = GetDlgItem(dialog, IDC_GDI_BAR + i);
        CHECK_EQ(0, SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
        CHECK_EQ(100, SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        int position = int(SendMessageA(bar, PBM_GETPOS, 0, 0));
        CHECK(position >= 0 && position <= 100);
        CHECK_STR((std::to_string(position) + "%").c_str(),
                  Label(dialog, IDC_GDI_TEXT + i).c_str());
        figures.push_back(position);
    }
    return figures;
}

// What one refresh wrote: bars in the order GDI, SYSTEM, USER, each label
// its bar's figure.
void CheckOneRefreshWritten(const TControlRecorder& recorder)
{
    std::vector<int> order;
    for (auto& e : recorder.Events)
        if (e.Message == PBM_SETPOS)
            order.push_back(e.Id);
    CHECK(order == (std::vector<int>{IDC_GDI_BAR, IDC_SYSTEM_BAR, IDC_USER_BAR}));
    for (int i = 0; i < 3; ++i) {
        auto positions = recorder.Positions(IDC_GDI_BAR + i);
        auto texts = recorder.Texts(IDC_GDI_TEXT + i);
        CHECK_EQ(1u, positions.size());
        CHECK_EQ(1u, texts.size());
        if (positions.size() == 1 && texts.size() == 1)
            CHECK_STR((std::to_string(positions[0]) + "%").c_str(), texts[0].c_str());
    }
}

const std::vector<int> kFigureControls = {300, 301, 302, 200, 201, 202};

// Opens the test build `library`, refreshes once more, and checks that every
// figure reads 0 and which boxes came: `boxText` three times per refresh,
// or none when null.
void CheckFailingBuild(const char* library, const char* boxText)
{
    // The paths do not depend on the platform; each visible window costs
    // Wine about 2 s here, so the boxes are counted in one mode only.
    if (boxText && !InWin98Copy()) {
        printf("the message boxes are counted in the Windows 98 copy\n");
        return;
    }
    TLibrary module(library);
    CHECK(module.handle != nullptr);
    TBoxAnswerer answerer;
    TOpenModule open(module);
    CHECK(open.dialog != nullptr);
    if (!open.dialog)
        return;
    CHECK(Figures(open.dialog) == (std::vector<int>{0, 0, 0}));
    SendMessageA(open.dialog, WM_COMMAND, IDC_REFRESH, 0);
    CHECK(Figures(open.dialog) == (std::vector<int>{0, 0, 0}));
    std::string expected = boxText ? InCodePage(1251, boxText) : "";
    std::vector<std::string> texts = answerer.Texts();
    CHECK_EQ(boxText ? 6 : 0, texts.size());
    for (auto& text : texts)
        CHECK_STR(expected.c_str(), text.c_str());
    // Nothing behind a box could close the dialog under the query, and
    // afterwards it takes input again.
    CHECK_EQ(0, answerer.DialogEnabledCount());
    CHECK(IsWindowEnabled(open.dialog));
}

} // namespace

CHECK_CASE(PoolgaugeThunkCallHandsOverItsFrameWordAndTarget)
{
    SeenFrameBytes = SeenTarget = SeenArgument = 0;
    uint64_t result = CallThunk16((void*)ThunkPopsArgument, 0x01A70284, 2);
    CHECK_EQ(0x0057, uint32_t(result));
    CHECK_EQ(0, int32_t(result >> 32));
    CHECK_EQ(0x01A70284, SeenTarget);
    CHECK_EQ(2, SeenArgument);
    // The scratch area: 33 words between the argument word and EBP, no more
    // (anything else there would be taken for arguments).
    CHECK_EQ(2 + 66, SeenFrameBytes);

    // Whatever the thunk does to ESP, the call returns into an intact frame
    // and says by how much the stack moved.
    for (uint16_t kind = 0; kind < 3; ++kind) {
        result = CallThunk16((void*)ThunkLeavesArgument, 0x00010002, kind);
        CHECK_EQ(kind, SeenArgument);
        CHECK_EQ(0x0057, uint32_t(result));
        CHECK_EQ(-2, int32_t(result >> 32));
    }
    result = CallThunk16((void*)ThunkOverpops, 0x00010002, 1);
    CHECK_EQ(4, int32_t(result >> 32));
}

CHECK_CASE(PoolgaugeRealThunkKeepsTheStackBalanced)
{
    HMODULE kernel = GetModuleHandleA("Kernel32.dll");
    void* thunk = (void*)GetProcAddress(kernel, "QT_Thunk");
    typedef WORD(WINAPI * TLoad16)(const char*);
    typedef void(WINAPI * TFree16)(WORD);
    typedef DWORD(WINAPI * TProc16)(WORD, const char*);
    auto load16 = (TLoad16)(void*)GetProcAddress(kernel, MAKEINTRESOURCEA(35));
    auto free16 = (TFree16)(void*)GetProcAddress(kernel, MAKEINTRESOURCEA(36));
    auto proc16 = (TProc16)(void*)GetProcAddress(kernel, MAKEINTRESOURCEA(37));
    CHECK(thunk && load16 && free16 && proc16);
    if (!(thunk && load16 && free16 && proc16))
        return;
    WORD user = load16("user.exe");
    CHECK(user >= 32);
    DWORD function = proc16(user, "GetFreeSystemResources");
    CHECK(function != 0);
    for (uint16_t kind : {1, 0, 2}) {
        uint64_t result = CallThunk16(thunk, function, kind);
        CHECK_EQ(0, int32_t(result >> 32));
        CHECK(uint32_t(result) <= 100);
    }
    free16(user);
}

CHECK_CASE(PoolgaugeAnswersTheScanWithoutInit)
{
    TLibrary module(kShipped);
    CHECK(module.handle != nullptr);
    auto name = reinterpret_cast<TGetText>(module.Export("GetName"));
    auto platform = reinterpret_cast<TExecWinVer>(module.Export("ExecWinVer"));
    CHECK(name && platform && module.Export("GetDescription"));
    if (!(name && platform))
        return;
    CHECK_STR(InCodePage(1251, "Системные ресурсы").c_str(), name());
    CHECK_EQ(2, platform());
    CHECK(FindWindowA(nullptr, InCodePage(1251, "Brindlecap - Системные ресурсы").c_str()) ==
          nullptr);
}

CHECK_CASE(PoolgaugeDialogShowsTheThreeFiguresOnOpeningAndRefresh)
{
    TLibrary module(kShipped);
    TBoxAnswerer answerer;
    TOpenModule open(module, 7);
    CHECK(open.dialog != nullptr);
    if (!open.dialog)
        return;
    char caption[64] = "";
    GetWindowTextA(open.dialog, caption, sizeof caption);
    CHECK_STR(InCodePage(1251, "Brindlecap - Системные ресурсы").c_str(), caption);
    CHECK(IsWindowVisible(open.dialog));
    CHECK(GetWindow(open.dialog, GW_OWNER) == open.host);
    for (int id = 300; id <= 302; ++id)
        CHECK(GetWindowLongA(GetDlgItem(open.dialog, id), GWL_STYLE) & PBS_SMOOTH);
    Figures(open.dialog);

    // Every refresh writes all six controls again, GDI first.
    for (int round = 0; round < 2; ++round) {
        TControlRecorder recorder(open.dialog, kFigureControls);
        SendMessageA(open.dialog, WM_COMMAND, IDC_REFRESH, 0);
        CheckOneRefreshWritten(recorder);
    }
    // Only a button's own click counts: the same id with a notification
    // code in the high word does nothing.
    {
        TControlRecorder recorder(open.dialog, kFigureControls);
        SendMessageA(open.dialog, WM_COMMAND, MAKEWPARAM(IDC_REFRESH, 1), 0);
        SendMessageA(open.dialog, WM_COMMAND, MAKEWPARAM(IDC_EXIT, 1), 0);
        CHECK(recorder.Events.empty());
        CHECK(IsWindow(open.dialog));
    }
    CHECK(answerer.Texts().empty());

    // "Выход" closes the dialog and tells the host, with the index from Init.
    SendMessageA(open.dialog, WM_COMMAND, IDC_EXIT, 0);
    CHECK(!IsWindow(open.dialog));
    MSG message;
    CHECK(PeekMessageA(&message, open.host, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE));
    CHECK_EQ(HOSTNOTIFY_MODULE_CLOSED, message.wParam);
    CHECK_EQ(7, message.lParam);
}

// The relay trace of this case is read by relay_trace.sh: one opening is
// one refresh, and the figures it showed are printed for comparison.
CHECK_CASE(PoolgaugeOneRefresh)
{
    TLibrary module(kShipped);
    TOpenModule open(module);
    CHECK(open.dialog != nullptr);
    if (!open.dialog)
        return;
    std::vector<int> figures = Figures(open.dialog);
    printf("shown: gdi=%d system=%d user=%d\n", figures[0], figures[1], figures[2]);
}

CHECK_CASE(PoolgaugeWithoutTheThunkShowsZeroAndNoMessage)
{
    CheckFailingBuild("PoolgaugeNoThunk.dll", nullptr);
}

CHECK_CASE(PoolgaugeWithoutUserExeShowsThreeBoxesPerRefresh)
{
    CheckFailingBuild("PoolgaugeNoUser.dll", "Ошибка загрузки библиотеки user.exe");
}

CHECK_CASE(PoolgaugeWithoutTheFunctionShowsThreeBoxesPerRefresh)
{
    CheckFailingBuild("PoolgaugeNoFunction.dll",
                      "Ошибка. Не найдена внутренняя функция GetFreeSystemResources");
}
