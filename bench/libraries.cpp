#include "libraries.h"

#include <windows.h>

// Declared only for Windows 2000 on, which this tree's headers leave out.
typedef BOOL(WINAPI* TCreateHardLink)(const char* link, const char* target, void* security);

int PlaceSystemLibraries(const std::string& folder, int count)
{
    TCreateHardLink link = reinterpret_cast<TCreateHardLink>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateHardLinkA")));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::string from = std::string(system) + "\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int placed = 0;
    do {
        std::string source = from + found.cFileName, target = folder + found.cFileName;
        if ((link && link(target.c_str(), source.c_str(), nullptr)) ||
            CopyFileA(source.c_str(), target.c_str(), FALSE))
            ++placed;
    } while (placed < count && FindNextFileA(search, &found));
    FindClose(search);
    return placed;
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + name + "\\");
            else
                DeleteFileA((dir + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}
