// ABOUT_DIALOG: the logo, the version, the web page and the help file.
#include <windows.h>
#include <shellapi.h>

#include "../common/centerwindow.h"
#include "../common/logic/text.h"
#include "logic/appstate.h"
#include "dialogs.h"
#include "../common/logic/language.h"
#include "resources/resource.h"
#include "hostenv.h"
#include "hoststrings.h"

namespace {

enum { kLogoSize = 60, kLogoAt = 5 };

// The mask lights the logo's shape white and leaves the rest as it is; the
// picture, white outside that shape, then darkens it to its own colours.
void DrawLogo(HWND window)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HDC target = GetDC(window);
    if (memory && target) {
        HBITMAP mask = LoadBitmapA(HostInstance, "LOGOMASK");
        HGDIOBJ previous = SelectObject(memory, mask);
        BitBlt(target, kLogoAt, kLogoAt, kLogoSize, kLogoSize, memory, 0, 0, SRCPAINT);
        SelectObject(memory, previous);
        DeleteObject(mask);

        HBITMAP logo = LoadBitmapA(HostInstance, "LOGO");
        previous = SelectObject(memory, logo);
        BitBlt(target, kLogoAt, kLogoAt, kLogoSize, kLogoSize, memory, 0, 0, SRCAND);
        SelectObject(memory, previous);
        DeleteObject(logo);
    }
    if (memory)
        DeleteDC(memory);
    if (target)
        ReleaseDC(window, target);
}

// A file, not a folder of that name. Asked through FindFirstFileA, which
// the module scan imports already, rather than through a new import.
bool FileIsThere(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first of the help files that opens; when none does, the error names
// every file tried, one a line, so that the user can open one by hand.
void OpenHelp(HWND dialog)
{
    char path[kPathBuffer];
    ProgramFile("brindlecap.hlp", path, kPathBuffer);
    const char* names[kMaxHelpFiles];
    int count = HelpFileOrder(FileIsThere(path), UiLanguage(), names);
    char text[kStringBuffer + kMaxHelpFiles * (kPathBuffer + 1) + 1];
    LoadHostString(IDS_HELP_FAILED, text);
    AppendText(text, sizeof text, "\n");
    for (int i = 0; i < count; ++i) {
        ProgramFile(names[i], path, kPathBuffer);
        HINSTANCE result = ShellExecuteA(dialog, nullptr, path, nullptr, nullptr, SW_SHOW);
        if (INT_PTR(result) > 32)
            return;
        AppendText(text, sizeof text, "\n");
        AppendText(text, sizeof text, path);
    }
    MessageBoxA(0, text, "Brindlecap", MB_OK | MB_ICONERROR);
}

void OpenWebPage(HWND dialog)
{
    char address[kStringBuffer];
    LoadHostString(IDS_MAKER_ADDRESS, address);
    OpenWithShell(dialog, address, IDS_WEB_FAILED);
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        // "Ok" comes last in reading order; Enter presses it all the same.
        SetFocus(GetDlgItem(dialog, IDC_OK));
        break;
    case WM_PAINT: {
        // The default painting erases the background, so it goes first:
        // drawn before it, the logo would vanish at every repaint that
        // erases (a window moved across the dialog). The default handling
        // that follows then finds nothing left to paint.
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        EndPaint(dialog, &paint);
        DrawLogo(dialog);
        break;
    }
    case WM_COMMAND:
        if (wParam == IDC_OK) {
            DestroyWindow(dialog);
            if (StartMode == OneShot)
                DestroyWindow(MainWindow);
        } else if (wParam == IDC_WEB) {
            OpenWebPage(dialog);
        } else if (wParam == IDC_HELPFILE) {
            OpenHelp(dialog);
        }
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE)
            PostMessageA(dialog, WM_COMMAND, IDC_OK, 0);
        break;
    case WM_DESTROY:
        CurrentDialog = nullptr;
        break;
    }
    return 0;
}
