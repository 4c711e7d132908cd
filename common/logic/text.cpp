#include "text.h"

int TextLength(const char* text)
{
    int n = 0;
    while (text[n])
        ++n;
    return n;
}

bool TextEquals(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

int CopyText(char* out, int size, const char* source)
{
    if (size <= 0)
        return 0;
    int n = 0;
    while (n < size - 1 && source[n]) {
        out[n] = source[n];
        ++n;
    }
    out[n] = 0;
    return n;
}

int AppendText(char* out, int size, const char* source)
{
    int n = 0;
    while (n < size && out[n])
        ++n;
    if (n >= size)
        return n;
    return n + CopyText(out + n, size - n, source);
}
