// The dialogs' templates in both languages: one layout, the focus moving in
// reading order, and every check box and radio button labelled by its own
// text, so that it shows the focus.
#include <windows.h>

#include <string>
#include <vector>

#include "../../common/logic/language.h"
#include "check.h"

namespace {

INT_PTR CALLBACK Passive(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct TControl {
    int id;
    RECT place;
    std::string kind;
    LONG style;
    bool tabStop;
};

// The controls of template `name` in `language`, in template order; empty
// when the template is missing.
std::vector<TControl> Controls(HMODULE module, const char* name, WORD language, std::vector<int>* tabOrder)
{
    std::vector<TControl> controls;
    HRSRC found = FindResourceExA(module, RT_DIALOG, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return controls;
    // Built hidden: a shown window takes the focus, which Wine hands back
    // slowly at its end.
    const BYTE* bytes = (const BYTE*)LockResource(loaded);
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
    ((DLGTEMPLATE*)copy.data())->style &= ~WS_VISIBLE;
    HWND dialog = CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)copy.data(), nullptr, Passive, 0);
    if (!dialog)
        return controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        TControl control = {GetDlgCtrlID(c), {}, "", GetWindowLongA(c, GWL_STYLE), false};
        GetWindowRect(c, &control.place);
        MapWindowPoints(nullptr, dialog, (POINT*)&control.place, 2);
        char kind[64] = "";
        GetClassNameA(c, kind, sizeof kind);
        control.kind = kind;
        controls.push_back(control);
    }
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    HWND at = first;
    for (int i = 0; at && i < 40; ++i) {
        tabOrder->push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(dialog, at, FALSE);
        if (at == first)
            break;
    }
    // Each check box and radio button has a text of its own.
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG type = GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
        char kind[64] = "", text[8] = "";
        GetClassNameA(c, kind, sizeof kind);
        bool choice = !lstrcmpiA(kind, "Button") &&
                      (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                       type == BS_RADIOBUTTON);
        if (choice && !GetWindowTextA(c, text, sizeof text))
            printf("  %s: control %d has no text\n", name, GetDlgCtrlID(c));
        CHECK(!choice || GetWindowTextA(c, text, sizeof text) > 0);
    }
    DestroyWindow(dialog);
    return controls;
}

const TControl* Find(const std::vector<TControl>& controls, int id)
{
    for (const TControl& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

// Rows a few pixels apart in height are one row, read left to right.
bool ReadsAfter(const RECT& before, const RECT& after)
{
    const int kRow = 6;
    if (after.top > before.top + kRow)
        return true;
    return after.top >= before.top - kRow && after.left > before.left;
}

void CheckTemplate(HMODULE module, const char* file, const char* name)
{
    printf("  %s %s\n", file, name);
    std::vector<int> russianTabs, englishTabs;
    std::vector<TControl> russian = Controls(module, name, kLanguageRussian, &russianTabs);
    std::vector<TControl> english = Controls(module, name, kLanguageEnglish, &englishTabs);
    CHECK(!russian.empty());
    CHECK_EQ(russian.size(), english.size());
    for (size_t i = 0; i < russian.size() && i < english.size(); ++i) {
        CHECK_EQ(russian[i].id, english[i].id);
        CHECK(EqualRect(&russian[i].place, &english[i].place));
        CHECK(russian[i].kind == english[i].kind);
        CHECK_EQ(russian[i].style, english[i].style);
    }
    CHECK(russianTabs == englishTabs);
    for (size_t i = 1; i < russianTabs.size(); ++i) {
        const TControl* a = Find(russian, russianTabs[i - 1]);
        const TControl* b = Find(russian, russianTabs[i]);
        bool ordered = a && b && ReadsAfter(a->place, b->place);
        if (!ordered)
            printf("  %s: Tab goes from %d to %d\n", name, russianTabs[i - 1], russianTabs[i]);
        CHECK(ordered);
    }
}

std::string Beside(const char* relative)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1) + relative;
}

} // namespace

CHECK_CASE(DialogsInBothLanguagesShareOneLayoutReadInOrder)
{
    LoadLibraryA("comctl32.dll");
    const char* hostDialogs[] = {"MAIN_DIALOG", "INFO_DIALOG", "MEMORY_DIALOG", "ABOUT_DIALOG"};
    for (const char* name : hostDialogs)
        CheckTemplate(GetModuleHandleA(nullptr), "host", name);
    const char* modules[] = {"Setup.dll", "Taskroll.dll", "Poolgauge.dll"};
    for (const char* file : modules) {
        HMODULE module = LoadLibraryExA(Beside((std::string("..\\..\\bin\\") + file).c_str()).c_str(),
                                        nullptr, LOAD_LIBRARY_AS_DATAFILE);
        // No system resources module beside the 64-bit build.
        if (!module && !lstrcmpA(file, "Poolgauge.dll"))
            continue;
        CHECK(module);
        if (module) {
            CheckTemplate(module, file, "MAIN_DIALOG");
            FreeLibrary(module);
        }
    }
}
