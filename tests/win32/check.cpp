#include "check.h"

#include <string.h>
#include <wchar.h>
#include <windows.h>

TCheckCounts CheckCounts;

namespace {
struct TEntry {
    const char* name;
    TCheckCase function;
};
TEntry Cases[256];
int CaseCount;
} // namespace

void CheckText(const char* file, int line, const char* what, const char* expected,
               const char* actual)
{
    if (actual && strcmp(expected, actual) == 0) {
        ++CheckCounts.passed;
        return;
    }
    ++CheckCounts.failed;
    printf("FAILED %s:%d: %s is \"%s\", expected \"%s\"\n", file, line, what,
           actual ? actual : "(null)", expected);
}

void CheckText(const char* file, int line, const char* what, const wchar_t* expected,
               const wchar_t* actual)
{
    if (actual && wcscmp(expected, actual) == 0) {
        ++CheckCounts.passed;
        return;
    }
    ++CheckCounts.failed;
    // Shown as UTF-8, the terminal's encoding.
    char shownActual[512] = "(null)", shownExpected[512];
    if (actual)
        WideCharToMultiByte(CP_UTF8, 0, actual, -1, shownActual, sizeof shownActual, 0, 0);
    WideCharToMultiByte(CP_UTF8, 0, expected, -1, shownExpected, sizeof shownExpected, 0, 0);
    printf("FAILED %s:%d: %s is \"%s\", expected \"%s\"\n", file, line, what, shownActual,
           shownExpected);
}

TCheckRegistration::TCheckRegistration(const char* name, TCheckCase function)
{
    if (CaseCount < 256)
        Cases[CaseCount++] = {name, function};
}

int RunChecks(const char* filter)
{
    int ran = 0;
    for (int i = 0; i < CaseCount; ++i) {
        if (filter && !strstr(Cases[i].name, filter))
            continue;
        int before = CheckCounts.failed;
        printf("[ RUN  ] %s\n", Cases[i].name);
        fflush(stdout);
        DWORD start = GetTickCount();
        Cases[i].function();
        printf("[ %s ] %s (%lu ms)\n", CheckCounts.failed == before ? " OK " : "FAIL",
               Cases[i].name, GetTickCount() - start);
        fflush(stdout);
        ++ran;
    }
    printf("%d passed, %d failed\n", CheckCounts.passed, CheckCounts.failed);
    if (ran == 0) {
        printf("no test case matched\n");
        return 1;
    }
    return CheckCounts.failed ? 1 : 0;
}
