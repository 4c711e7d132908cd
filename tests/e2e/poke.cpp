// poke: one message to a running Brindlecap, for scripts (the screenshots).
//   poke main MESSAGE WPARAM LPARAM   post to the hidden main window
//   poke dialog ITEM MESSAGE WPARAM   post to the host dialog that has ITEM
//   poke rect ITEM                    wait for that dialog; print its rectangle
//   poke menurect                     wait for the popup menu; print its rectangle
//   poke menukey KEY                  press KEY (a virtual key) in the popup menu
//   poke select ITEM LIST TEXT        choose the row TEXT of list box LIST in the
//                                     dialog that has ITEM, as a click does
// Exit code 0 when done, 1 when the window was not found within 10 s.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct TQuery {
    const char* className;
    int item;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM context)
{
    TQuery& query = *reinterpret_cast<TQuery*>(context);
    char name[64];
    if (!GetClassNameA(window, name, sizeof name) || strcmp(name, query.className) ||
        !IsWindowVisible(window))
        return TRUE;
    if (query.item && !GetDlgItem(window, query.item))
        return TRUE;
    query.found = window;
    return FALSE;
}

HWND WaitFor(const char* className, int item)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
        TQuery query = {className, item, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&query));
        if (query.found)
            return query.found;
    }
    return nullptr;
}

long Number(const char* text) { return strtol(text, nullptr, 0); }

int PrintRect(HWND window)
{
    RECT r;
    if (!window || !GetWindowRect(window, &r))
        return 1;
    printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The screenshots run the program inside Wine's desktop "shell".
    if (HDESK desktop = OpenDesktopA("shell", 0, FALSE, GENERIC_ALL))
        SetThreadDesktop(desktop);
    if (argc >= 5 && !strcmp(argv[1], "main")) {
        HWND main = nullptr;
        for (DWORD start = GetTickCount(); !main && GetTickCount() - start < 10000; Sleep(20))
            main = FindWindowA("Brindlecap", nullptr);
        return main && PostMessageA(main, UINT(Number(argv[2])), WPARAM(Number(argv[3])),
                                    LPARAM(Number(argv[4])))
                   ? 0
                   : 1;
    }
    if (argc >= 5 && !strcmp(argv[1], "dialog")) {
        HWND dialog = WaitFor("#32770", int(Number(argv[2])));
        return dialog && PostMessageA(dialog, UINT(Number(argv[3])), WPARAM(Number(argv[4])), 0)
                   ? 0
                   : 1;
    }
    if (argc >= 3 && !strcmp(argv[1], "rect"))
        return PrintRect(WaitFor("#32770", int(Number(argv[2]))));
    if (argc >= 3 && !strcmp(argv[1], "menukey")) {
        HWND menu = WaitFor("#32768", 0);
        return menu && PostMessageA(menu, WM_KEYDOWN, WPARAM(Number(argv[2])), 1) ? 0 : 1;
    }
    if (argc >= 5 && !strcmp(argv[1], "select")) {
        HWND dialog = WaitFor("#32770", int(Number(argv[2])));
        int list = int(Number(argv[3]));
        HWND box = dialog ? GetDlgItem(dialog, list) : nullptr;
        LRESULT row = LB_ERR;
        for (DWORD start = GetTickCount(); box && row == LB_ERR && GetTickCount() - start < 10000;
             Sleep(20))
            row = SendMessageA(box, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(argv[4]));
        if (row == LB_ERR)
            return 1;
        SendMessageA(box, LB_SETCURSEL, WPARAM(row), 0);
        return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), LPARAM(box)) ? 0
                                                                                              : 1;
    }
    if (argc >= 2 && !strcmp(argv[1], "menurect"))
        return PrintRect(WaitFor("#32768", 0));
    fprintf(stderr, "usage: see the head of poke.cpp\n");
    return 2;
}
