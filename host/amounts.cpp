#include "amounts.h"

#include "../common/numtext.h"
#include "../common/rounding.h"

int32_t ComboAmountCount(int32_t totalMB) { return totalMB > 0 ? (totalMB - 1) / kComboStep : 0; }

int32_t ComboAmount(int32_t index) { return (index + 1) * kComboStep; }

uint16_t StoredCleanAmount(const char* text)
{
    char head[kAmountChars + 1];
    int n = 0;
    while (n < kAmountChars && text[n]) {
        head[n] = text[n];
        ++n;
    }
    head[n] = 0;
    return uint16_t(ParseNumber(head));
}

int32_t CleanAllAmount(int32_t totalMB) { return totalMB - 15; }

int32_t PercentOfTotal(int32_t totalMB, int32_t percent)
{
    int32_t product = int32_t(uint32_t(totalMB) * uint32_t(percent));
    return RoundRatio(product, 100);
}
