#include "amounts.h"

#include "cleaner.h"
#include "../../common/logic/rounding.h"

int32_t ComboAmountCount(int32_t totalMB)
{
    int32_t below = totalMB > 0 ? (totalMB - 1) / kComboStep : 0;
    int32_t oneRun = kMaxChunks / kComboStep;
    return below < oneRun ? below : oneRun;
}

int32_t ComboAmount(int32_t index) { return (index + 1) * kComboStep; }

bool ReadCleanAmount(const char* text, uint16_t* amount)
{
    uint32_t value = 0;
    int digits = 0;
    for (; text[digits]; ++digits) {
        if (text[digits] < '0' || text[digits] > '9')
            return false;
        value = value * 10 + uint32_t(text[digits] - '0');
        if (value > 0xFFFF)
            return false;
    }
    if (digits == 0)
        return false;
    *amount = uint16_t(value);
    return true;
}

int32_t CleanAllAmount(int32_t totalMB) { return totalMB - 15; }

int32_t PercentOfTotal(int32_t totalMB, int32_t percent)
{
    int32_t product = int32_t(uint32_t(totalMB) * uint32_t(percent));
    return RoundRatio(product, 100);
}
