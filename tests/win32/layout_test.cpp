// The dialogs' templates in both languages: one layout, Tab in reading
// order, every check box and radio button labelled by its own text (or it
// shows no focus).
#include <windows.h>

#include <string>
#include <vector>

#include "../../common/logic/language.h"
#include "check.h"

static INT_PTR CALLBACK Passive(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Each control's id and place in template order, then the ids Tab visits.
static std::vector<int> Layout(HMODULE module, const char* name, WORD language)
{
    HRSRC found = FindResourceExA(module, RT_DIALOG, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return {};
    // Built hidden: Wine hands the focus of a shown window back slowly.
    const BYTE* bytes = (const BYTE*)LockResource(loaded);
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
    ((DLGTEMPLATE*)copy.data())->style &= ~WS_VISIBLE;
    HWND dialog =
        CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)copy.data(), nullptr, Passive, 0);
    std::vector<int> layout;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        layout.insert(layout.end(), {GetDlgCtrlID(c), int(r.left), int(r.top)});
        LONG type = GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
        char kind[16] = "", text[4] = "";
        GetClassNameA(c, kind, sizeof kind);
        if (!lstrcmpiA(kind, "Button") && (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON))
            CHECK(GetWindowTextA(c, text, sizeof text) > 0);
    }
    // Tab goes down, or right within a row (a few pixels of height).
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE), at = first;
    RECT last = {-1, -1000, 0, 0};
    for (int i = 0; at && i < 40 && (i == 0 || at != first);
         ++i, at = GetNextDlgTabItem(dialog, at, FALSE)) {
        RECT r;
        GetWindowRect(at, &r);
        CHECK(r.top > last.top + 6 || (r.top >= last.top - 6 && r.left > last.left));
        last = r;
        layout.push_back(GetDlgCtrlID(at));
    }
    DestroyWindow(dialog);
    return layout;
}

CHECK_CASE(DialogsInBothLanguagesShareOneLayoutReadInOrder)
{
    LoadLibraryA("comctl32.dll");
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string bin =
        std::string(path).substr(0, std::string(path).rfind('\\') + 1) + "..\\..\\bin\\";
    const char* files[][2] = {{"", "MAIN_DIALOG"},
                              {"", "INFO_DIALOG"},
                              {"", "MEMORY_DIALOG"},
                              {"", "ABOUT_DIALOG"},
                              {"Setup.dll", "MAIN_DIALOG"},
                              {"Taskroll.dll", "MAIN_DIALOG"},
                              {"Poolgauge.dll", "MAIN_DIALOG"}};
    for (const auto& file : files) {
        printf("  %s %s\n", file[0], file[1]);
        HMODULE module =
            *file[0] ? LoadLibraryExA((bin + file[0]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)
                     : GetModuleHandleA(nullptr);
        // No system resources module beside the 64-bit build.
        if (!module && sizeof(void*) == 8 && !lstrcmpA(file[0], "Poolgauge.dll"))
            continue;
        std::vector<int> russian = Layout(module, file[1], kLanguageRussian);
        CHECK(russian.size() > 3);
        CHECK(russian == Layout(module, file[1], kLanguageEnglish));
        if (*file[0])
            FreeLibrary(module);
    }
}
