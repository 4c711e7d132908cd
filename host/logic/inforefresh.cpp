#include "inforefresh.h"

uint32_t RefreshPause(uint16_t periodMs)
{
    const uint32_t shortest = kShortestRefresh;
    return periodMs < shortest ? shortest : periodMs;
}
