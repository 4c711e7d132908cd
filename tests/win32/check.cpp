#include "check.h"

#include <string.h>

TCheckCounts CheckCounts;

namespace {
struct TEntry {
    const char* name;
    TCheckCase function;
};
TEntry Cases[256];
int CaseCount;
} // namespace

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
        Cases[i].function();
        printf("[ %s ] %s\n", CheckCounts.failed == before ? " OK " : "FAIL", Cases[i].name);
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
