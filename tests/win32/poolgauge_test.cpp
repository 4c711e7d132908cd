// The system resources module: the frame its thunk call gives QT_Thunk, the
// library as the host sees it, and its dialog with each way a query fails.
#include <windows.h>
#include <commctrl.h>

#include "../../common/hostnotify.h"
#include "../../modules/poolgauge/poolgauge.h"
#include "check.h"
#include "support.h"

#include <string>
#include <vector>

// Stand-ins for QT_Thunk that note the bytes between the argument and EBP,
// EDX and the argument word, and leave 0xBEEF above AX. One removes the
// argument as the real thunk does, one leaves it, one takes 4 bytes more.
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

typedef void(WINAPI* TInit)(HWND, int32_t, const char*);
typedef HWND(WINAPI* TExecute)();

// The module library `file` (relative to this program), opened by a hidden
// window of this test standing in for the host.
struct TModule {
    HMODULE library;
    HWND host = nullptr;
    HWND dialog = nullptr;
    explicit TModule(const char* file)
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        lstrcpyA(strrchr(path, '\\') + 1, file);
        library = LoadLibraryA(path);
        CHECK(library != nullptr);
    }
    void* Export(const char* name) { return library ? (void*)GetProcAddress(library, name) : 0; }
    HWND Open(int32_t index = 7)
    {
        host = CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, 0);
        auto init = (TInit)Export("Init");
        auto execute = (TExecute)Export("Execute");
        if (init && execute) {
            init(host, index, "C:\\Brindlecap\\");
            dialog = execute();
        }
        CHECK(dialog != nullptr);
        return dialog;
    }
    ~TModule()
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        if (host)
            DestroyWindow(host);
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE)) {
        }
        if (library)
            FreeLibrary(library);
    }
};

const char kShipped[] = "..\\..\\bin\\Poolgauge.dll";

// Answers each "Poolgauge" box with OK from a thread of its own. After
// Stop: what the boxes said, and how often the module's dialog took input
// behind one.
struct TBoxAnswerer {
    std::vector<std::string> Texts;
    int EnabledBehind = 0;
    volatile LONG stop = 0;
    HANDLE thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    ~TBoxAnswerer() { Stop(); }
    void Stop()
    {
        InterlockedExchange(&stop, 1);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    static DWORD WINAPI Run(void* self)
    {
        auto* a = static_cast<TBoxAnswerer*>(self);
        std::string caption = InCodePage(1251, "Brindlecap - Системные ресурсы");
        while (!a->stop) {
            HWND box = FindWindowA("#32770", "Poolgauge");
            if (!box) {
                Sleep(10);
                continue;
            }
            char text[200] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            a->Texts.push_back(text);
            a->EnabledBehind += IsWindowEnabled(FindWindowA("#32770", caption.c_str())) ? 1 : 0;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 500 && IsWindow(box); ++i) // never the same box twice
                Sleep(10);
        }
        return 0;
    }
};

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
        char label[16] = "";
        GetDlgItemTextA(dialog, IDC_GDI_TEXT + i, label, sizeof label);
        CHECK_STR((std::to_string(position) + "%").c_str(), label);
        figures.push_back(position);
    }
    return figures;
}

// Opens the test build `file`, refreshes once more, and checks that every
// figure reads 0 and that `boxText` came three times per refresh (no box
// when null), with the dialog kept from input behind each.
void CheckFailingBuild(const char* file, const char* boxText)
{
    // The paths do not depend on the platform, and each box costs Wine
    // about 2 s here: counted in the Windows 98 copy only.
    if (boxText && !InWin98Copy())
        return (void)printf("the message boxes are counted in the Windows 98 copy\n");
    TModule module(file);
    TBoxAnswerer answerer;
    if (!module.Open())
        return;
    CHECK(Figures(module.dialog) == (std::vector<int>{0, 0, 0}));
    SendMessageA(module.dialog, WM_COMMAND, IDC_REFRESH, 0);
    CHECK(Figures(module.dialog) == (std::vector<int>{0, 0, 0}));
    answerer.Stop();
    CHECK_EQ(boxText ? 6 : 0, answerer.Texts.size());
    for (size_t i = 0; boxText && i < answerer.Texts.size(); ++i)
        CHECK_STR(InCodePage(1251, boxText).c_str(), answerer.Texts[i].c_str());
    CHECK_EQ(0, answerer.EnabledBehind);
    CHECK(IsWindowEnabled(module.dialog));
}

} // namespace

CHECK_CASE(PoolgaugeThunkCallHandsOverItsFrameWordAndTarget)
{
    uint64_t result = CallThunk16((void*)ThunkPopsArgument, 0x01A70284, 2);
    CHECK_EQ(0x0057, uint32_t(result));
    CHECK_EQ(0, int32_t(result >> 32));
    CHECK_EQ(0x01A70284, SeenTarget);
    CHECK_EQ(2, SeenArgument);
    // 33 words of scratch between the argument and EBP, and nothing else
    // that the thunk would take for arguments.
    CHECK_EQ(2 + 66, SeenFrameBytes);
    // Whatever the thunk does to ESP, the call returns into an intact frame
    // and tells how far the stack moved.
    for (uint16_t kind = 0; kind < 3; ++kind) {
        result = CallThunk16((void*)ThunkLeavesArgument, 0x00010002, kind);
        CHECK_EQ(kind, SeenArgument);
        CHECK_EQ(-2, int32_t(result >> 32));
    }
    CHECK_EQ(4, int32_t(CallThunk16((void*)ThunkOverpops, 0x00010002, 1) >> 32));
}

CHECK_CASE(PoolgaugeRealThunkKeepsTheStackBalanced)
{
    HMODULE kernel = GetModuleHandleA("Kernel32.dll");
    void* thunk = (void*)GetProcAddress(kernel, "QT_Thunk");
    auto load16 = (WORD(WINAPI*)(const char*))(void*)GetProcAddress(kernel, (const char*)35);
    auto free16 = (void(WINAPI*)(WORD))(void*)GetProcAddress(kernel, (const char*)36);
    auto proc16 = (DWORD(WINAPI*)(WORD, const char*))(void*)GetProcAddress(kernel, (const char*)37);
    CHECK(thunk && load16 && free16 && proc16);
    if (!(thunk && load16 && free16 && proc16))
        return;
    WORD user = load16("user.exe");
    DWORD function = proc16(user, "GetFreeSystemResources");
    CHECK(user >= 32 && function != 0);
    for (uint16_t kind : {1, 0, 2}) {
        uint64_t result = CallThunk16(thunk, function, kind);
        CHECK_EQ(0, int32_t(result >> 32));
        CHECK(uint32_t(result) <= 100);
    }
    free16(user);
}

// In both modes: Wine binds the 9x ordinals in NT mode too.
CHECK_CASE(PoolgaugeAnswersTheScanWithoutInit)
{
    TModule module(kShipped);
    auto name = (const char*(WINAPI*)())module.Export("GetName");
    auto platform = (int32_t(WINAPI*)())module.Export("ExecWinVer");
    CHECK(name && platform && module.Export("GetDescription"));
    if (name && platform) {
        CHECK_STR(InCodePage(1251, "Системные ресурсы").c_str(), name());
        CHECK_EQ(2, platform());
    }
}

CHECK_CASE(PoolgaugeDialogRefreshesOnlyOnItsOwnButton)
{
    TModule module(kShipped);
    if (!module.Open(7))
        return;
    HWND dialog = module.dialog;
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    CHECK_STR(InCodePage(1251, "Brindlecap - Системные ресурсы").c_str(), caption);
    CHECK(IsWindowVisible(dialog) && GetWindow(dialog, GW_OWNER) == module.host);
    for (int id = IDC_GDI_BAR; id <= IDC_USER_BAR; ++id)
        CHECK(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & PBS_SMOOTH);
    Figures(dialog);

    // A refresh writes all six controls again, GDI first; the same ids with
    // a notification code in the high word are no clicks and do nothing.
    const std::vector<int> controls = {IDC_GDI_BAR,  IDC_SYSTEM_BAR,  IDC_USER_BAR,
                                       IDC_GDI_TEXT, IDC_SYSTEM_TEXT, IDC_USER_TEXT};
    for (WPARAM command :
         {WPARAM(IDC_REFRESH), MAKEWPARAM(IDC_REFRESH, 1), MAKEWPARAM(IDC_EXIT, 1)}) {
        TControlRecorder recorder(dialog, controls);
        SendMessageA(dialog, WM_COMMAND, command, 0);
        std::vector<int> written;
        for (auto& e : recorder.Events)
            written.push_back(e.Id);
        if (command == IDC_REFRESH)
            CHECK(written == (std::vector<int>{IDC_GDI_BAR, IDC_GDI_TEXT, IDC_SYSTEM_BAR,
                                               IDC_SYSTEM_TEXT, IDC_USER_BAR, IDC_USER_TEXT}));
        else
            CHECK(written.empty());
    }
    CHECK(IsWindow(dialog));

    // "Выход" closes the dialog and tells the host, with the index from Init.
    SendMessageA(dialog, WM_COMMAND, IDC_EXIT, 0);
    CHECK(!IsWindow(dialog));
    MSG message;
    CHECK(PeekMessageA(&message, module.host, WM_HOSTNOTIFY, WM_HOSTNOTIFY, PM_REMOVE));
    CHECK_EQ(HOSTNOTIFY_MODULE_CLOSED, message.wParam);
    CHECK_EQ(7, message.lParam);
}

// relay_trace.sh reads the relay trace of this case: one opening is one
// refresh, and the figures it showed are printed for comparison.
CHECK_CASE(PoolgaugeOneRefresh)
{
    TModule module(kShipped);
    if (!module.Open())
        return;
    std::vector<int> f = Figures(module.dialog);
    printf("shown: gdi=%d system=%d user=%d\n", f[0], f[1], f[2]);
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
