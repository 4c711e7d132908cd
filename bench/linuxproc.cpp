#include "linuxproc.h"

#include <windows.h>
#include <stdlib.h>

std::string WindowsPath(const char* path)
{
    std::string out = path[0] == '/' ? std::string("Z:") + path : std::string(path);
    for (char& c : out)
        if (c == '/')
            c = '\\';
    return out;
}

std::string ReadText(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    char buffer[8192];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

// The Linux process whose command line names `program` (a path unique to
// this run); 0 when none.
long UnixProcess(const std::string& program)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    long pid = 0;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        long candidate = atol(found.cFileName);
        if (candidate <= 0)
            continue;
        std::string line = ReadText("Z:\\proc\\" + std::string(found.cFileName) + "\\cmdline");
        for (char& c : line)
            if (c == 0)
                c = ' ';
        if (line.find(program) != std::string::npos)
            pid = candidate;
    } while (!pid && FindNextFileA(search, &found));
    FindClose(search);
    return pid;
}

// Nanoseconds on a processor, all threads of `pid`.
unsigned long long ProcessorNs(long pid)
{
    std::string task = "Z:\\proc\\" + std::to_string(pid) + "\\task\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((task + "*").c_str(), &found);
    unsigned long long ns = 0;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (atol(found.cFileName) > 0)
            ns += strtoull(ReadText(task + found.cFileName + "\\schedstat").c_str(), nullptr, 10);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ns;
}

long RssAnonKB(long pid)
{
    std::string status = ReadText("Z:\\proc\\" + std::to_string(pid) + "\\status");
    size_t at = status.find("RssAnon:");
    return at == std::string::npos ? -1 : atol(status.c_str() + at + 8);
}
