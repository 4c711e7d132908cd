#include <windows.h>
#include <string.h>

#include "../../host/handover.h"
#include "../../host/hostenv.h"
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
BOOL WINAPI NoteAllowed(DWORD process) { return AllowedProcess = process, TRUE; }
} // namespace

// The copy handed over to gets the right to come to the front, or its dialog
// may open behind the user's window (the call is sent to NoteAllowed).
CHECK_CASE(HandOverLetsTheRunningCopyComeToTheFront)
{
    unsigned char* code = (unsigned char*)(void*)GetProcAddress(GetModuleHandleA("USER32.DLL"),
                                                                "AllowSetForegroundWindow");
    DWORD protection;
    CHECK(code && VirtualProtect(code, 16, PAGE_EXECUTE_READWRITE, &protection));
    unsigned char saved[16];
    memcpy(saved, code, 16);
    // mov eax (rax), NoteAllowed; jmp eax (rax)
    void* to = (void*)NoteAllowed;
    unsigned char jump[16] = {0x48, 0xB8};
    int n = sizeof to == 8 ? 2 : (jump[0] = 0xB8, 1);
    memcpy(jump + n, &to, sizeof to);
    jump[n + sizeof to] = 0xFF, jump[n + sizeof to + 1] = 0xE0;
    memcpy(code, jump, sizeof jump);
    FlushInstructionCache(GetCurrentProcess(), code, 16);
    HWND running =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    AllowedProcess = 0;
    HandOver(running, "Brindlecap.exe I"); // a window that is no copy: refused
    memcpy(code, saved, 16);
    FlushInstructionCache(GetCurrentProcess(), code, 16);
    CHECK_EQ(GetCurrentProcessId(), AllowedProcess);
    DestroyWindow(running);
}
