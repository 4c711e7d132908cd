// The block moves the compiler may call on its own. The product files link
// no C runtime, so that they load on every 32-bit Windows whatever runtime
// libraries the system carries; these few helpers stand in for it.
#include <stddef.h>

extern "C" void* memset(void* target, int value, size_t count)
{
    void* start = target;
    asm volatile("rep stosb" : "+D"(target), "+c"(count) : "a"(value) : "memory");
    return start;
}

extern "C" void* memcpy(void* target, const void* source, size_t count)
{
    void* start = target;
    asm volatile("rep movsb" : "+D"(target), "+S"(source), "+c"(count) : : "memory");
    return start;
}

extern "C" void* memmove(void* target, const void* source, size_t count)
{
    unsigned char* t = static_cast<unsigned char*>(target);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    if (t <= s || t >= s + count)
        return memcpy(target, source, count);
    while (count--)
        t[count] = s[count];
    return target;
}
