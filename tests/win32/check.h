// A small assertion harness for the programs that test Win32 code under
// Wine (GoogleTest does not build with the product's compiler).
#pragma once
#include <stdio.h>

struct TCheckCounts {
    int passed;
    int failed;
};
extern TCheckCounts CheckCounts;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (condition) {                                                                           \
            ++CheckCounts.passed;                                                                  \
        } else {                                                                                   \
            ++CheckCounts.failed;                                                                  \
            printf("FAILED %s:%d: %s\n", __FILE__, __LINE__, #condition);                          \
        }                                                                                          \
    } while (0)

#define CHECK_EQ(expected, actual)                                                                 \
    do {                                                                                           \
        long long e_ = (long long)(expected), a_ = (long long)(actual);                            \
        if (e_ == a_) {                                                                            \
            ++CheckCounts.passed;                                                                  \
        } else {                                                                                   \
            ++CheckCounts.failed;                                                                  \
            printf("FAILED %s:%d: %s == %s (%lld != %lld)\n", __FILE__, __LINE__, #expected,       \
                   #actual, e_, a_);                                                               \
        }                                                                                          \
    } while (0)

// Zero-terminated texts, narrow or wide.
#define CHECK_STR(expected, actual) CheckText(__FILE__, __LINE__, #actual, (expected), (actual))
void CheckText(const char* file, int line, const char* what, const char* expected,
               const char* actual);
void CheckText(const char* file, int line, const char* what, const wchar_t* expected,
               const wchar_t* actual);

// A test case: registered at start-up, run in order by RunChecks.
typedef void (*TCheckCase)();
struct TCheckRegistration {
    TCheckRegistration(const char* name, TCheckCase function);
};
#define CHECK_CASE(name)                                                                           \
    static void name();                                                                            \
    static TCheckRegistration name##_registration(#name, name);                                    \
    static void name()

// Runs the cases whose names contain `filter` (all when null), prints
// "N passed, N failed" and returns the exit code.
int RunChecks(const char* filter);
