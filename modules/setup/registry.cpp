#include "registry.h"

#include "../../common/logic/text.h"

static HKEY OpenKey(HKEY root, const char* keyPath)
{
    if (keyPath[0] == '\\')
        ++keyPath;
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool RegWriteString(HKEY root, const char* keyPath, const char* valueName, const char* data)
{
    HKEY key = OpenKey(root, keyPath);
    if (!key)
        return false;
    LONG result = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                 DWORD(TextLength(data) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RegRemoveValue(HKEY root, const char* keyPath, const char* valueName)
{
    HKEY key = OpenKey(root, keyPath);
    if (!key)
        return false;
    LONG result = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RegValueExists(HKEY root, const char* keyPath, const char* valueName)
{
    HKEY key = OpenKey(root, keyPath);
    if (!key)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
