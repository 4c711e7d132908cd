#include "sandbox.h"

#include <stdio.h>
#include <string.h>

#include "../win32/check.h"

char ShippedProgram[MAX_PATH];

void FilePath(const char* folder, const char* name, char* out)
{
    snprintf(out, MAX_PATH, "%s%s", folder, name);
}

// Removes `folder` (ending with "\") and everything below it; read-only
// files included, since some cases make the settings file read-only.
static bool RemoveTree(const char* folder)
{
    char pattern[MAX_PATH];
    FilePath(folder, "*", pattern);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    bool ok = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, ".."))
                continue;
            char path[MAX_PATH];
            FilePath(folder, found.cFileName, path);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                strncat(path, "\\", MAX_PATH - strlen(path) - 1);
                ok = RemoveTree(path) && ok;
            } else {
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                ok = DeleteFileA(path) && ok;
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(folder) && ok;
}

TSandbox::~TSandbox()
{
    for (int i = 0; i < childCount_; ++i) {
        TChild& child = children_[i];
        if (!child.exited && WaitForSingleObject(child.process, 0) == WAIT_TIMEOUT) {
            printf("  still running, ended by force: Brindlecap.exe %s\n", child.arguments);
            CHECK(!"every started program ends before its case does");
            TerminateProcess(child.process, 1);
            WaitForSingleObject(child.process, kExitTimeout);
        }
        CloseHandle(child.process);
    }
    // Innermost first: a subfolder was registered after its parent.
    // A program the shell started there (the help cases' viewer) may still
    // be ending, its current folder in the tree: a few tries.
    for (int i = folderCount_ - 1; i >= 0; --i) {
        bool removed = RemoveTree(folders_[i]);
        for (DWORD start = GetTickCount(); !removed && GetTickCount() - start < 5000; Sleep(50))
            removed = RemoveTree(folders_[i]);
        if (!removed)
            printf("  could not remove %s\n", folders_[i]);
        CHECK(removed);
    }
}

const char* TSandbox::NewFolder()
{
    if (folderCount_ == kMaxFolders)
        return nullptr;
    static unsigned serial;
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    char* folder = folders_[folderCount_];
    for (int attempt = 0; attempt < 100; ++attempt) {
        snprintf(folder, MAX_PATH, "%sbrindlecap-e2e-%lu-%u\\", temp, GetCurrentProcessId(),
                 ++serial);
        if (CreateDirectoryA(folder, nullptr)) {
            ++folderCount_;
            return folder;
        }
    }
    return nullptr;
}

const char* TSandbox::InstallProgram(const char* name)
{
    const char* folder = NewFolder();
    if (!folder)
        return nullptr;
    if (name) {
        if (folderCount_ == kMaxFolders)
            return nullptr;
        char* inner = folders_[folderCount_];
        snprintf(inner, MAX_PATH, "%s%s\\", folder, name);
        if (!CreateDirectoryA(inner, nullptr))
            return nullptr;
        folder = inner;
        ++folderCount_;
    }
    char copy[MAX_PATH];
    FilePath(folder, "Brindlecap.exe", copy);
    if (!CopyFileA(ShippedProgram, copy, TRUE)) {
        printf("  cannot copy %s to %s\n", ShippedProgram, copy);
        return nullptr;
    }
    return folder;
}

bool TSandbox::InstallModule(const char* folder, const char* file)
{
    if (!folder)
        return false;
    char shipped[MAX_PATH], copy[MAX_PATH];
    snprintf(shipped, MAX_PATH, "%s", ShippedProgram);
    char* slash = strrchr(shipped, '\\');
    if (!slash)
        return false;
    slash[1] = 0;
    strncat(shipped, file, MAX_PATH - strlen(shipped) - 1);
    FilePath(folder, file, copy);
    return CopyFileA(shipped, copy, TRUE) != 0;
}

TChild* TSandbox::Start(const char* programFolder, const char* workFolder, const char* arguments,
                        const char* programFile)
{
    if (!programFolder || !workFolder || childCount_ == kMaxChildren)
        return nullptr;
    char program[MAX_PATH];
    FilePath(programFolder, programFile, program);
    // CreateProcess may write into the command line.
    static char commandLine[32768];
    snprintf(commandLine, sizeof commandLine, "\"%s\" %s", program, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, workFolder,
                        &startup, &info)) {
        printf("  cannot start %s (error %lu)\n", program, GetLastError());
        return nullptr;
    }
    CloseHandle(info.hThread);
    TChild& child = children_[childCount_++];
    child = {};
    child.process = info.hProcess;
    child.id = info.dwProcessId;
    snprintf(child.arguments, sizeof child.arguments, "%s", arguments);
    return &child;
}

bool TSandbox::WaitExit(TChild* child, DWORD timeout)
{
    if (!child)
        return false;
    if (!child->exited) {
        if (WaitForSingleObject(child->process, timeout) != WAIT_OBJECT_0)
            return false;
        child->exited = true;
        GetExitCodeProcess(child->process, &child->exitCode);
    }
    return true;
}
