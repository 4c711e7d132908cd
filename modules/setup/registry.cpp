#include "registry.h"

#include "../../common/logic/text.h"

static HKEY OpenKey(HKEY root, const char* keyPath, REGSAM access)
{
    if (keyPath[0] == '\\')
        ++keyPath;
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool RegWriteString(HKEY root, const char* keyPath, const char* valueName, const char* data)
{
    HKEY key = OpenKey(root, keyPath, KEY_SET_VALUE);
    if (!key)
        return false;
    LONG result = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                 DWORD(TextLength(data) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RegRemoveValue(HKEY root, const char* keyPath, const char* valueName)
{
    HKEY key = OpenKey(root, keyPath, KEY_SET_VALUE);
    if (!key)
        return false;
    LONG result = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RegReadString(HKEY root, const char* keyPath, const char* valueName, char* out, DWORD size)
{
    HKEY key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    if (!key)
        return false;
    DWORD type = 0;
    DWORD read = size - 1; // room for a zero the value may lack
    LONG result =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(out), &read);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    out[read] = 0;
    return true;
}
