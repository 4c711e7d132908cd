#include "unixlink.h"

#include <windows.h>
#include <stdio.h>

namespace {

// Wine's own export: the Unix path of a Windows one, on the process heap.
bool UnixPath(const char* path, char* out, int size)
{
    if (path[0] == '/') {
        snprintf(out, size_t(size), "%s", path);
        return true;
    }
    typedef char*(__cdecl * TUnixName)(const wchar_t*);
    TUnixName unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return false;
    char* name = unixName(wide);
    if (!name)
        return false;
    snprintf(out, size_t(size), "%s", name);
    HeapFree(GetProcessHeap(), 0, name);
    return true;
}

bool Exists(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// Runs a Unix program and waits until `path` exists (or not, as `exists`
// says). Wine's handle of a Unix process neither waits for it nor gives
// its exit code, so the result is what is watched.
bool RunUnix(const char* commandLine, const char* path, bool exists)
{
    static char line[3 * MAX_PATH + 64];
    snprintf(line, sizeof line, "%s", commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(5))
        if (Exists(path) == exists)
            return true;
    return false;
}

} // namespace

bool MakeUnixLink(const char* target, const char* link)
{
    char unixTarget[MAX_PATH], unixLink[MAX_PATH], line[3 * MAX_PATH];
    if (!UnixPath(target, unixTarget, MAX_PATH) || !UnixPath(link, unixLink, MAX_PATH))
        return false;
    snprintf(line, sizeof line, "/bin/ln -s \"%s\" \"%s\"", unixTarget, unixLink);
    return RunUnix(line, link, true);
}

bool RemoveUnixLink(const char* link)
{
    char unixLink[MAX_PATH], line[2 * MAX_PATH];
    if (!UnixPath(link, unixLink, MAX_PATH))
        return false;
    snprintf(line, sizeof line, "/bin/rm -f \"%s\"", unixLink);
    return RunUnix(line, link, false);
}
