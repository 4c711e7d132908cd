#include "numtext.h"

int32_t ParseNumber(const char* text)
{
    if (!text)
        return 0;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    uint32_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10u + uint32_t(*text - '0');
        ++text;
    }
    return int32_t(negative ? 0u - value : value);
}

int FormatUnsigned(uint64_t value, char* out)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10u);
        value /= 10u;
    } while (value);
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    out[n] = 0;
    return n;
}

int FormatDecimal(int32_t value, char* out)
{
    if (value >= 0)
        return FormatUnsigned(uint32_t(value), out);
    out[0] = '-';
    // 0 - value in unsigned arithmetic also covers INT32_MIN.
    return 1 + FormatUnsigned(0u - uint32_t(value), out + 1);
}
