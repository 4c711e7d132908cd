// The start-up scan of a program folder against a bare FindFirstFile /
// FindNextFile walk of the same tree that opens each candidate library
// once, rounds alternating in one process. Three trees: the module
// libraries and 10,000 other files in 200 folders; the module libraries
// beside 500 of the system's own; 10,000 folders that each hold a folder,
// for the loop guard.
#include <windows.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../host/modules.h"
#include "../host/hostenv.h"
#include "libraries.h"

namespace {

const int kFolders = 200;
const int kFilesPerFolder = 50;
const int kLibraries = 500;
const int kNestingFolders = 100; // of 100 each, each holding one

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
        size_t length = strlen(found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries += Walk(dir + found.cFileName + "\\");
        } else if (length > 4 && !_stricmp(found.cFileName + length - 4, ".dll")) {
            HANDLE file = CreateFileA((dir + found.cFileName).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
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

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

// Alternating rounds of the walk and the scan of `root`; one table row.
void Measure(const char* what, const std::string& root, int rounds)
{
    strcpy(ProgramDir, root.c_str());
    PlatformClass = DetectPlatform();
    std::vector<double> scans, walks;
    int entries = 0, listed = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = Now();
        entries = Walk(root);
        walks.push_back(Now() - start);
        start = Now();
        LoadModules();
        scans.push_back(Now() - start);
        listed = ModuleCount;
        UnloadModules();
    }
    // The fastest round is the least disturbed by whatever else runs.
    printf("%-34s %7d %6d %9.2f %9.2f %9.2f %9.2f %7.3f %7.3f\n", what, entries, listed,
           Least(walks) * 1000, Median(walks) * 1000, Least(scans) * 1000, Median(scans) * 1000,
           Least(scans) / Least(walks), Median(scans) / Median(walks));
}

} // namespace

// Usage: scan_bench FOLDER-OF-THE-MODULE-LIBRARIES [ROWS], ROWS the digits
// of the rows to measure (all: 123).
int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string bin = argv[1];
    std::string rows = argc > 2 ? argv[2] : "123";
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
    printf("%d module libraries; rounds alternate, times in ms; ratio: scan / walk (goal <= 1.2)\n",
           modules);
    printf("%-34s %7s %6s %9s %9s %9s %9s %7s %7s\n", "tree", "entries", "listed", "walk min",
           "walk med", "scan min", "scan med", "min", "median");
    if (rows.find('1') != std::string::npos)
        Measure("10,000 files in 200 folders", root, 15);
    RemoveTree(root);

    MakeFolder(root);
    for (const char* name : {"Taskroll.dll", "Setup.dll", "Poolgauge.dll"})
        CopyFileA((bin + "\\" + name).c_str(), (root + name).c_str(), FALSE);
    int libraries = PlaceSystemLibraries(root, kLibraries);
    char what[64];
    snprintf(what, sizeof what, "%d of the system's libraries", libraries);
    if (rows.find('2') != std::string::npos)
        Measure(what, root, 7);
    RemoveTree(root);

    if (rows.find('3') == std::string::npos)
        return 0;
    MakeFolder(root);
    for (int top = 0; top < kNestingFolders; ++top) {
        std::string outer = root + "n" + std::to_string(top) + "\\";
        MakeFolder(outer);
        for (int inner = 0; inner < kNestingFolders; ++inner) {
            std::string folder = outer + std::to_string(inner) + "\\";
            MakeFolder(folder);
            MakeFolder(folder + "x");
        }
    }
    Measure("10,000 folders holding a folder", root, 5);
    RemoveTree(root);
    return 0;
}
