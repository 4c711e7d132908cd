// The dialogs and menu of every binary: one layout, Tab in reading order,
// and every language's texts: none missing, none left in another language,
// each fitting its control in its font at 96 DPI.
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "../../common/language.h"
#include "../../common/logic/language.h"
#include "../../common/version.h"
#include "check.h"

namespace {

// Beside the texts a control's id names, those the code puts there: the
// cleaning's phases, the priority names.
const std::map<UINT, std::vector<UINT>> kHostShown = {{1011, {5, 6, 7}}};
const std::map<UINT, std::vector<UINT>> kTaskrollShown = {{401, {104, 106, 108, 110, 113, 124}}};
const std::map<UINT, std::vector<UINT>> kNone;
const struct {
    const char* File; // "": the host, this program's own resources
    std::vector<const char*> Dialogs;
    const std::map<UINT, std::vector<UINT>>& Shown;
} kBinaries[] = {
    {"", {"MAIN_DIALOG", "INFO_DIALOG", "MEMORY_DIALOG", "ABOUT_DIALOG"}, kHostShown},
    {"Setup.dll", {"MAIN_DIALOG"}, kNone},
    {"Taskroll.dll", {"MAIN_DIALOG"}, kTaskrollShown},
    {"Poolgauge.dll", {"MAIN_DIALOG"}, kNone},
};
// The log line's words are the host's, in Russian and English alone.
const UINT kLogWords[] = {20, 21};
// Texts that two languages write alike.
const std::set<std::string> kShared = {
    "OK",
    "Web",
    "Status",
    "Status:",
    "KB",
    "MB",
    "Bytes",
    "Total",
    "Libre",
    "Modules",
    "Options",
    "Normal",
    "Threads",
    "Heaps",
    "Name",
    "General",
    "\xC1\xE0\xE9\xF2",
    "Brindlecap version " BRINDLECAP_VERSION,
};
enum { kLastId = 2000 };

INT_PTR CALLBACK Passive(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string Bin()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self = path;
    return self.substr(0, self.rfind('\\') + 1) + "..\\..\\bin\\";
}

// The layout's dialog, hidden: Wine hands the focus of a shown window back slowly.
HWND Build(HMODULE module, const char* name)
{
    HRSRC found = FindResourceA(module, name, RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return nullptr;
    const BYTE* bytes = (const BYTE*)LockResource(loaded);
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
    ((DLGTEMPLATE*)copy.data())->style &= ~WS_VISIBLE;
    return CreateDialogIndirectParamA(module, (LPCDLGTEMPLATEA)copy.data(), nullptr, Passive, 0);
}

// Tab goes down, or right within a row (a few pixels of height).
void CheckReadingOrder(HWND dialog)
{
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE), at = first;
    RECT last = {-1, -1000, 0, 0};
    for (int i = 0; at && i < 40 && (i == 0 || at != first);
         ++i, at = GetNextDlgTabItem(dialog, at, FALSE)) {
        RECT r;
        GetWindowRect(at, &r);
        CHECK(r.top > last.top + 6 || (r.top >= last.top - 6 && r.left > last.left));
        last = r;
    }
}

// Every text of one language exactly as its table holds it, by id.
std::map<UINT, std::string> TextsOf(HMODULE module, WORD language)
{
    std::map<UINT, std::string> texts;
    HRSRC found = FindResourceExA(module, RT_RCDATA, MAKEINTRESOURCEA(IDR_TEXTS), language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    for (UINT id = 1; loaded && id < kLastId; ++id) {
        const char* text;
        size_t length;
        if (FindText((const uint8_t*)LockResource(loaded), SizeofResource(module, found),
                     uint16_t(id), &text, &length))
            texts[id] = std::string(text, length);
    }
    return texts;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    ((std::set<WORD>*)found)->insert(language);
    return TRUE;
}

// The ids a layout gives a text: each button's, each group box's, each
// menu item's (a submenu's included).
void RequiredIds(HWND dialog, std::set<UINT>* ids)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char kind[16] = "";
        GetClassNameA(c, kind, sizeof kind);
        if (!lstrcmpiA(kind, "Button"))
            ids->insert(TextIdOf(c));
    }
}
void RequiredIds(HMENU menu, std::set<UINT>* ids)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, UINT(i), TRUE, &item))
            continue;
        if (item.hSubMenu)
            RequiredIds(item.hSubMenu, ids);
        char text[64] = "";
        if (item.wID)
            ids->insert(item.wID);
        // Shown with its text, not as the separator its empty layout text may load as.
        CHECK(!item.wID || GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION) > 0);
    }
}

// How much narrower than its control a text must be: a push button's frame,
// a check box's box, a group box's corner.
int Margin(HWND control)
{
    char kind[16] = "";
    GetClassNameA(control, kind, sizeof kind);
    if (lstrcmpiA(kind, "Button"))
        return 0;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_GROUPBOX)
        return 16;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
        return 6;
    return GetSystemMetrics(SM_CXMENUCHECK) + 4;
}

void CheckFits(HMODULE module, HWND dialog, const TLanguage& language, const char* name,
               const std::map<UINT, std::vector<UINT>>& shown)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0));
    std::vector<std::pair<HWND, UINT>> texts;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        UINT id = TextIdOf(c);
        texts.push_back({c, id});
        if (shown.count(id))
            for (UINT more : shown.at(id))
                texts.push_back({c, more});
    }
    for (const auto& each : texts) {
        HWND c = each.first;
        char text[256];
        if (!LoadLanguageString(module, language.Id, each.second, text, sizeof text))
            continue;
        wchar_t wide[256];
        int length = MultiByteToWideChar(language.CodePage ? language.CodePage : 1252, 0, text, -1,
                                         wide, 256) -
                     1;
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, wide, length, &size);
        RECT r;
        GetClientRect(c, &r);
        if (size.cx > r.right - Margin(c))
            printf("  %s %s: \"%s\" takes %ld of %ld pixels\n", language.File, name, text, size.cx,
                   r.right - Margin(c));
        CHECK(size.cx <= r.right - Margin(c));
    }
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
}

} // namespace

CHECK_CASE(EveryLanguageHasEveryTextOfEveryDialogAndMenuAndEachFits)
{
    LoadLibraryA("comctl32.dll");
    HDC screen = GetDC(nullptr);
    CHECK_EQ(96, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    for (const auto& binary : kBinaries) {
        HMODULE module = *binary.File ? LoadLibraryExA((Bin() + binary.File).c_str(), nullptr,
                                                       LOAD_LIBRARY_AS_DATAFILE)
                                      : GetModuleHandleA(nullptr);
        // No system resources module beside the 64-bit build.
        if (!module && sizeof(void*) == 8 && !lstrcmpA(binary.File, "Poolgauge.dll"))
            continue;
        printf("  %s\n", *binary.File ? binary.File : "host");
        CHECK(module);
        std::set<WORD> present, expected;
        EnumResourceLanguagesA(module, RT_RCDATA, MAKEINTRESOURCEA(IDR_TEXTS), AddLanguage,
                               LONG_PTR(&present));
        // Asked for a language it lacks, the system answers with another.
        bool hasShared = present.erase(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        for (int i = 0; i < kLanguageCount; ++i)
            expected.insert(kLanguages[i].Id);
        CHECK(present == expected);

        std::set<UINT> required;
        for (const char* name : binary.Dialogs) {
            HWND dialog = Build(module, name);
            CHECK(dialog);
            CheckReadingOrder(dialog);
            RequiredIds(dialog, &required);
            for (int i = 0; i < kLanguageCount; ++i)
                CheckFits(module, dialog, kLanguages[i], name, binary.Shown);
            DestroyWindow(dialog);
        }
        if (HMENU menu = *binary.File ? nullptr : LoadUiMenu(module, "MAINMENU")) {
            RequiredIds(menu, &required);
            DestroyMenu(menu);
        }
        // What every language shares is written once, with no language.
        std::map<UINT, std::string> shared;
        if (hasShared)
            shared = TextsOf(module, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        std::map<UINT, std::string> texts[16];
        for (int i = 0; i < kLanguageCount; ++i) {
            texts[i] = TextsOf(module, kLanguages[i].Id);
            for (const auto& text : texts[i])
                required.insert(text.first);
        }
        for (const auto& text : shared)
            required.erase(text.first);
        for (UINT word : kLogWords)
            required.erase(*binary.File ? 0 : word);
        for (UINT id : required)
            for (int i = 0; i < kLanguageCount; ++i) {
                const auto& mine = texts[i][id];
                if (mine.empty())
                    printf("  %s lacks text %u\n", kLanguages[i].File, id);
                CHECK(!mine.empty());
                for (int j = 0; j < i; ++j)
                    if (texts[j][id] == mine && !kShared.count(mine))
                        printf("  %s and %s both say \"%s\" (%u)\n", kLanguages[j].File,
                               kLanguages[i].File, mine.c_str(), id);
                for (int j = 0; j < i; ++j)
                    CHECK(texts[j][id] != mine || kShared.count(mine));
            }
        if (*binary.File)
            FreeLibrary(module);
    }
}
