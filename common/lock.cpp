#include "lock.h"

#ifdef _WIN32
void InitLock(TLock* lock) { InitializeCriticalSection(&lock->section); }
void Lock(TLock* lock) { EnterCriticalSection(&lock->section); }
void Unlock(TLock* lock) { LeaveCriticalSection(&lock->section); }
#else
void InitLock(TLock* lock) { pthread_mutex_init(&lock->mutex, nullptr); }
void Lock(TLock* lock) { pthread_mutex_lock(&lock->mutex); }
void Unlock(TLock* lock) { pthread_mutex_unlock(&lock->mutex); }
#endif
