#include "rounding.h"

int32_t RoundHalfEven(double value)
{
    // Truncate toward minus infinity without the C runtime's floor().
    int64_t whole = int64_t(value);
    if (double(whole) > value)
        --whole;
    double rest = value - double(whole);
    if (rest > 0.5 || (rest == 0.5 && (whole & 1)))
        ++whole;
    return int32_t(whole);
}

int32_t RoundRatio(int64_t numerator, int64_t denominator)
{
    if (denominator == 0)
        return 0;
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    int64_t q = numerator / denominator;
    int64_t r = numerator % denominator;
    if (r < 0) { // make the remainder non-negative: q is then the floor
        --q;
        r += denominator;
    }
    int64_t twice = 2 * r;
    if (twice > denominator || (twice == denominator && (q & 1)))
        ++q;
    return int32_t(q);
}
