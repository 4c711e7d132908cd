// The dialogs' templates in both languages: one layout, Tab in reading
// order, every check box and radio button labelled by its own text (or it
// shows no focus).
#include <windows.h>

#include <string>
#include <vector>

#include "../../common/logic/language.h"
#include "check.h"

namespace {

INT_PTR CALLBACK Passive(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Each control's id and place in template order, then -1, then the ids Tab
// visits from the first.
std::vector<int> Layout(HMODULE module, const char* name, WORD language)
{
    std::vector<int> layout;
    HRSRC found = FindResourceExA(module, RT_DIALOG, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return layout;
    // Built hidden: Wine hands the focus of a shown window back slowly.
    const BYTE* bytes = (const BYTE*)LockResource(loaded);
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
    ((DLGTEMPLATE*)copy.data())->style &= ~WS_VISIBLE;
    HWND dialog =
        CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)copy.data(), nullptr, Passive, 0);
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
    layout.push_back(-1);
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE), at = first;
    for (int i = 0; at && i < 40 && (i == 0 || at != first);
         ++i, at = GetNextDlgTabItem(dialog, at, FALSE))
        layout.push_back(GetDlgCtrlID(at));
    DestroyWindow(dialog);
    return layout;
}

void CheckTemplate(HMODULE module, const char* name)
{
    printf("  %s\n", name);
    std::vector<int> russian = Layout(module, name, kLanguageRussian);
    CHECK(russian.size() > 1);
    CHECK(russian == Layout(module, name, kLanguageEnglish));
    // Tab goes down, or right within a row (a few pixels of height).
    size_t tabs = 0;
    while (tabs < russian.size() && russian[tabs] != -1)
        ++tabs;
    POINT last = {-1, -1000};
    for (size_t i = tabs + 1; i < russian.size(); ++i)
        for (size_t c = 0; c < tabs; c += 3)
            if (russian[c] == russian[i]) {
                POINT at = {russian[c + 1], russian[c + 2]};
                bool ordered = at.y > last.y + 6 || (at.y >= last.y - 6 && at.x > last.x);
                if (!ordered)
                    printf("  Tab reaches %d against the reading order\n", russian[i]);
                CHECK(ordered);
                last = at;
            }
}

} // namespace

CHECK_CASE(DialogsInBothLanguagesShareOneLayoutReadInOrder)
{
    LoadLibraryA("comctl32.dll");
    for (const char* name : {"MAIN_DIALOG", "INFO_DIALOG", "MEMORY_DIALOG", "ABOUT_DIALOG"})
        CheckTemplate(GetModuleHandleA(nullptr), name);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string bin =
        std::string(path).substr(0, std::string(path).rfind('\\') + 1) + "..\\..\\bin\\";
    // No system resources module beside the 64-bit build.
    for (const char* file : {"Setup.dll", "Taskroll.dll", "Poolgauge.dll"}) {
        HMODULE module = LoadLibraryExA((bin + file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        CHECK(module || (sizeof(void*) == 8 && !lstrcmpA(file, "Poolgauge.dll")));
        if (module) {
            CheckTemplate(module, "MAIN_DIALOG");
            FreeLibrary(module);
        }
    }
}
