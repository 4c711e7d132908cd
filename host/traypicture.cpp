#include "traypicture.h"

TTrayPicture TrayPictureOf(int mode)
{
    switch (mode) {
    case 1:
        return PictureCpuBand;
    case 2:
        return PictureCpuNumber;
    case 3:
        return PictureUsedBand;
    case 4:
        return PictureFreeNumber;
    default:
        return PicturePlain;
    }
}

uint32_t BandColour(int32_t percent)
{
    if (percent < 0 || percent > 75)
        return kRed;
    if (percent > 50)
        return kYellow;
    if (percent > 25)
        return kDarkGreen;
    return kBrightGreen;
}
