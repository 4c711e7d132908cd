// The start-up scan of a program folder holding the module libraries and
// 10,000 other files in 200 folders, against a bare FindFirstFile /
// FindNextFile walk of the same tree, rounds alternating in one process.
#include <windows.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../host/modules.h"
#include "../host/hostenv.h"

namespace {

const int kFolders = 200;
const int kFilesPerFolder = 50;
const int kRounds = 15;

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

int Walk(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int entries = 0;
    do {
        if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, ".."))
            continue;
        ++entries;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entries += Walk(dir + found.cFileName + "\\");
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Least(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

} // namespace

// Usage: scan_bench FOLDER-OF-THE-MODULE-LIBRARIES
int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string bin = argv[1];
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string root = std::string(temp) + "brindlecap-scan-bench\\";
    RemoveTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
    int modules = 0;
    for (const char* name : {"Taskroll.dll", "Setup.dll", "Poolgauge.dll"})
        if (CopyFileA((bin + "\\" + name).c_str(), (root + name).c_str(), FALSE))
            ++modules;
    // 20 folders of 10 below each: 200 in all, 50 files in each.
    for (int folder = 0; folder < kFolders; ++folder) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%sg%02d\\", root.c_str(), folder / 10);
        CreateDirectoryA(path, nullptr);
        snprintf(path, sizeof path, "%sg%02d\\f%03d\\", root.c_str(), folder / 10, folder);
        CreateDirectoryA(path, nullptr);
        for (int file = 0; file < kFilesPerFolder; ++file) {
            char name[MAX_PATH];
            snprintf(name, sizeof name, "%sfile%02d.dat", path, file);
            HANDLE handle = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(handle);
        }
    }
    strcpy(ProgramDir, root.c_str());
    PlatformClass = DetectPlatform();

    std::vector<double> scans, walks;
    int entries = 0, listed = 0;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        entries = Walk(root);
        walks.push_back(Now() - start);
        start = Now();
        LoadModules();
        scans.push_back(Now() - start);
        listed = ModuleCount;
        UnloadModules();
    }
    RemoveTree(root);
    printf("tree: %d entries, %d module libraries (%d listed on this platform)\n", entries, modules,
           listed);
    printf("               fastest    median  (of %d rounds)\n", kRounds);
    printf("bare walk   %8.2f ms %8.2f ms\n", Least(walks) * 1000, Median(walks) * 1000);
    printf("module scan %8.2f ms %8.2f ms\n", Least(scans) * 1000, Median(scans) * 1000);
    // The fastest round is the least disturbed by whatever else runs.
    printf("scan/walk   %8.3f    %8.3f   (goal <= 1.2)\n", Least(scans) / Least(walks),
           Median(scans) / Median(walks));
    return 0;
}
