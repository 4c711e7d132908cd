#include "language.h"

#include <atomic>

#include "logic/language.h"
#include "logic/numtext.h"

// 0 until chosen; threads that race to choose find the same answer.
static std::atomic<WORD> Chosen;

WORD UiLanguage()
{
    WORD language = Chosen.load();
    if (!language) {
        language = ChooseLanguage(GetUserDefaultLangID(), GetACP());
        Chosen.store(language);
    }
    return language;
}

// Exactly in `language`.
static int LoadExactly(HMODULE module, WORD language, UINT id, char* out, int size)
{
    HRSRC found = FindResourceExA(module, RT_RCDATA, MAKEINTRESOURCEA(IDR_TEXTS), language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const uint8_t* table = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    const char* text;
    size_t length;
    if (!table || !FindText(table, SizeofResource(module, found), WORD(id), &text, &length))
        return 0;
    if (length > size_t(size - 1))
        length = size_t(size - 1);
    for (size_t i = 0; i < length; ++i)
        out[i] = text[i];
    out[length] = 0;
    return int(length);
}

int LoadLanguageString(HMODULE module, WORD language, UINT id, char* out, int size)
{
    if (size <= 0)
        return 0;
    out[0] = 0;
    // Then in English, then what every language shares, such as an address.
    const WORD order[] = {language, kLanguageEnglish, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)};
    for (WORD each : order)
        if (int length = LoadExactly(module, each, id, out, size))
            return length;
    return 0;
}

int LoadUiString(HMODULE module, UINT id, char* out, int size)
{
    return LoadLanguageString(module, UiLanguage(), id, out, size);
}

enum { kTextBuffer = 256 };

UINT TextIdOf(HWND control)
{
    char named[8] = "";
    SendMessageA(control, WM_GETTEXT, sizeof named, LPARAM(named));
    if (named[0] == '#')
        return UINT(ParseNumber(named + 1));
    return UINT(GetDlgCtrlID(control)) & 0xFFFF;
}

void SetDialogTexts(HMODULE module, HWND dialog, WORD language)
{
    char text[kTextBuffer];
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (LoadLanguageString(module, language, TextIdOf(c), text, kTextBuffer))
            SetWindowTextA(c, text);
    // After the layout's caption, the product's name in every language.
    char caption[kTextBuffer];
    int length = int(SendMessageA(dialog, WM_GETTEXT, kTextBuffer, LPARAM(caption)));
    if (LoadLanguageString(module, language, IDT_CAPTION, caption + length, kTextBuffer - length))
        SetWindowTextA(dialog, caption);
}

// The dialog's own procedure, which sees WM_INITDIALOG after the texts are set.
struct TDialogStart {
    HMODULE Module;
    DLGPROC Procedure;
};

static INT_PTR CALLBACK StartDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    TDialogStart* start = reinterpret_cast<TDialogStart*>(lParam);
    SetDialogTexts(start->Module, dialog, UiLanguage());
    SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(start->Procedure));
    return start->Procedure(dialog, message, wParam, 0);
}

HWND CreateUiDialog(HMODULE module, const char* name, HWND owner, DLGPROC procedure)
{
    HRSRC found = FindResourceA(module, name, RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* dialog = loaded ? LockResource(loaded) : nullptr;
    if (!dialog)
        return nullptr;
    TDialogStart start = {module, procedure};
    return CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialog), owner,
                                      StartDialog, reinterpret_cast<LPARAM>(&start));
}

// Every item by its id, a submenu's by the id its MENUEX layout gives it.
// A separator has id 0; an item whose layout text is empty may load as one.
static void SetMenuTexts(HMODULE module, HMENU menu)
{
    char text[kTextBuffer];
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, UINT(i), TRUE, &item))
            continue;
        if (item.hSubMenu)
            SetMenuTexts(module, item.hSubMenu);
        if (!LoadUiString(module, item.wID, text, kTextBuffer))
            continue;
        item.fMask = MIIM_TYPE;
        item.fType = MFT_STRING;
        item.dwTypeData = text;
        SetMenuItemInfoA(menu, UINT(i), TRUE, &item);
    }
}

HMENU LoadUiMenu(HMODULE module, const char* name)
{
    HRSRC found = FindResourceA(module, name, RT_MENU);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* layout = loaded ? LockResource(loaded) : nullptr;
    HMENU menu = layout ? LoadMenuIndirectA(static_cast<const MENUTEMPLATEA*>(layout)) : nullptr;
    if (menu)
        SetMenuTexts(module, menu);
    return menu;
}
