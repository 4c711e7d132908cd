#include "language.h"

#include "logic/language.h"

WORD UiLanguage() { return LanguageForCodePage(GetACP()); }

bool UiIsRussian() { return UiLanguage() == kLanguageRussian; }

// In the UI's language, else in Russian, else in whichever language the
// library holds it (a test's own module carries one unnamed set).
static HRSRC FindUiResource(HMODULE module, const char* type, const char* name, int attempt)
{
    switch (attempt) {
    case 0:
        return FindResourceExA(module, type, name, UiLanguage());
    case 1:
        return FindResourceExA(module, type, name, kLanguageRussian);
    default:
        return FindResourceA(module, name, type);
    }
}

enum { kAttempts = 3 };

static const void* LockUiResource(HMODULE module, HRSRC found, DWORD* size)
{
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    *size = found ? SizeofResource(module, found) : 0;
    return loaded ? LockResource(loaded) : nullptr;
}

static const void* LoadUiResource(HMODULE module, const char* type, const char* name)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        DWORD size;
        if (const void* data =
                LockUiResource(module, FindUiResource(module, type, name, attempt), &size))
            return data;
    }
    return nullptr;
}

HWND CreateUiDialog(HMODULE module, const char* name, HWND owner, DLGPROC procedure)
{
    const void* dialog = LoadUiResource(module, RT_DIALOG, name);
    if (!dialog)
        return nullptr;
    return CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialog), owner,
                                      procedure, 0);
}

HMENU LoadUiMenu(HMODULE module, const char* name)
{
    const void* menu = LoadUiResource(module, RT_MENU, name);
    return menu ? LoadMenuIndirectA(static_cast<const MENUTEMPLATEA*>(menu)) : nullptr;
}

int LoadUiString(HMODULE module, UINT id, char* out, int size)
{
    if (size <= 0)
        return 0;
    out[0] = 0;
    const char* block = MAKEINTRESOURCEA(id / 16 + 1);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        DWORD bytes;
        const void* data =
            LockUiResource(module, FindUiResource(module, RT_STRING, block, attempt), &bytes);
        const uint16_t* text;
        unsigned length;
        if (!data || !FindBlockString(static_cast<const uint16_t*>(data), bytes / 2, id % 16, &text,
                                      &length))
            continue;
        if (length > unsigned(size - 1))
            length = unsigned(size - 1);
        int written = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(text),
                                          int(length), out, size - 1, nullptr, nullptr);
        out[written] = 0;
        return written;
    }
    return 0;
}
