// A mutual-exclusion lock for the state the host's threads share: a critical
// section on Windows, a pthread mutex elsewhere (where the tests run).
#pragma once

#ifdef _WIN32
#include <windows.h>
struct TLock {
    CRITICAL_SECTION section;
};
#else
#include <pthread.h>
struct TLock {
    pthread_mutex_t mutex;
};
#endif

// Must run once before the first Lock, before any other thread starts.
void InitLock(TLock* lock);
void Lock(TLock* lock);
void Unlock(TLock* lock);
