// The end-to-end driver: starts copies of the shipped Brindlecap.exe under
// Wine and drives them from outside.
// Usage: e2etests PATH-OF-Brindlecap.exe [CASE-FILTER]
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../win32/check.h"
#include "sandbox.h"

// The build passes a Unix path; Wine shows the Unix root as drive Z:.
static void ToWindowsPath(const char* path, char* out)
{
    if (path[0] == '/')
        snprintf(out, MAX_PATH, "Z:%s", path);
    else
        snprintf(out, MAX_PATH, "%s", path);
    for (char* p = out; *p; ++p)
        if (*p == '/')
            *p = '\\';
}

int main(int argc, char** argv)
{
    // A process for the cases to list and end: it idles until the driver ends.
    if (argc > 2 && strcmp(argv[1], "--idle") == 0) {
        HANDLE driver = OpenProcess(SYNCHRONIZE, FALSE, strtoul(argv[2], nullptr, 10));
        if (driver)
            WaitForSingleObject(driver, 120000);
        return 0;
    }
    // The shell's stand-in viewer for the help cases: it marks the file it
    // was given and ends.
    if (argc > 2 && strcmp(argv[1], "--opened") == 0) {
        char mark[MAX_PATH + 8];
        snprintf(mark, sizeof mark, "%s.opened", argv[2]);
        FILE* file = fopen(mark, "w");
        if (file)
            fclose(file);
        return file ? 0 : 1;
    }
    if (argc < 2) {
        printf("usage: e2etests PATH-OF-Brindlecap.exe [CASE-FILTER]\n");
        return 2;
    }
    ToWindowsPath(argv[1], ShippedProgram);
    if (GetFileAttributesA(ShippedProgram) == INVALID_FILE_ATTRIBUTES) {
        printf("no program at %s\n", ShippedProgram);
        return 2;
    }
    return RunChecks(argc > 2 ? argv[2] : nullptr);
}
