#include <windows.h>
#include <string.h>

#include "../../host/handover.h"
#include "../../host/hostenv.h"
#include "../../host/logic/handover.h"
#include "check.h"
#include "support.h"

CHECK_CASE(PlatformMatchesTheModeWineRunsUsIn)
{
    // The copy named for Wine's Windows 98 mode must really run in it, or
    // its cases prove nothing about that platform.
    bool win98 = InWin98Copy();
    CHECK_EQ(win98, (GetVersion() & 0x80000000u) != 0);
    CHECK_EQ(win98 ? PlatformWin9x : PlatformNT, DetectPlatform());
}

CHECK_CASE(ProgramFileJoinsTheFolderAndRefusesWhatDoesNotFit)
{
    char saved[MAX_PATH];
    memcpy(saved, ProgramDir, sizeof saved);
    strcpy(ProgramDir, "C:\\Program Files\\Brindlecap\\");
    char out[64];
    CHECK(ProgramFile("Brindlecap.ini", out, sizeof out));
    CHECK_STR("C:\\Program Files\\Brindlecap\\Brindlecap.ini", out);

    // A folder as long as a path can be: no cut name that would be another
    // file, and nothing written past the buffer.
    memset(ProgramDir, 'd', MAX_PATH - 2);
    ProgramDir[MAX_PATH - 2] = '\\';
    ProgramDir[MAX_PATH - 1] = 0;
    char small[MAX_PATH + 8];
    memset(small, '#', sizeof small);
    CHECK(!ProgramFile("Brindlecap.log", small, MAX_PATH));
    CHECK_STR("", small);
    CHECK_EQ('#', small[1]);
    memcpy(ProgramDir, saved, sizeof saved);
}

namespace {
DWORD AllowedProcess;
BOOL WINAPI NoteAllowed(DWORD process)
{
    AllowedProcess = process;
    return TRUE;
}

LRESULT CALLBACK TakeAnything(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA)
        return kHandOverTaken;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Sends the system's AllowSetForegroundWindow to NoteAllowed while it lives.
struct TAllowDetour {
    unsigned char* target;
    unsigned char saved[16];
    DWORD protection = 0;
    TAllowDetour()
    {
        target = (unsigned char*)(void*)GetProcAddress(GetModuleHandleA("USER32.DLL"),
                                                        "AllowSetForegroundWindow");
        if (!target || !VirtualProtect(target, 16, PAGE_EXECUTE_READWRITE, &protection)) {
            target = nullptr;
            return;
        }
        memcpy(saved, target, 16);
#ifdef _WIN64
        unsigned char jump[12] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0}; // mov rax; jmp rax
        void* to = (void*)NoteAllowed;
        memcpy(jump + 2, &to, 8);
#else
        unsigned char jump[5] = {0xE9}; // jmp rel32
        int32_t offset = int32_t((unsigned char*)(void*)NoteAllowed - (target + 5));
        memcpy(jump + 1, &offset, 4);
#endif
        memcpy(target, jump, sizeof jump);
        FlushInstructionCache(GetCurrentProcess(), target, 16);
    }
    ~TAllowDetour()
    {
        if (!target)
            return;
        memcpy(target, saved, 16);
        VirtualProtect(target, 16, protection, &protection);
        FlushInstructionCache(GetCurrentProcess(), target, 16);
    }
};
} // namespace

// The start the user just made may bring a window to the front; the copy
// it hands over to gets that right, or the dialog it opens may come up
// behind the user's window.
CHECK_CASE(HandOverLetsTheRunningCopyComeToTheFront)
{
    WNDCLASSA type = {};
    type.lpfnWndProc = TakeAnything;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "HandOverTarget";
    RegisterClassA(&type);
    HWND running = CreateWindowExA(0, "HandOverTarget", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                   type.hInstance, nullptr);
    AllowedProcess = 0;
    {
        TAllowDetour detour;
        CHECK(detour.target != nullptr);
        CHECK_EQ(0, HandOver(running, "Brindlecap.exe I"));
    }
    CHECK_EQ(GetCurrentProcessId(), AllowedProcess);
    DestroyWindow(running);
    UnregisterClassA("HandOverTarget", type.hInstance);
}
