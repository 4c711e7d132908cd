// What the tray icon shows for each TrayIconMode, and in which colours.
#pragma once
#include <stdint.h>

enum TTrayPicture {
    PicturePlain,      // light grey square only
    PictureCpuBand,    // processor load as a colour band
    PictureCpuNumber,  // processor load as digits on a green band
    PictureUsedBand,   // physical memory in use as a colour band
    PictureFreeNumber, // free physical MB as digits on a green band
};

// Modes 1 to 4 have their pictures; any other value, 0 included, the plain
// square (0 is never drawn by the refresh).
TTrayPicture TrayPictureOf(int mode);

// Colours as 0x00BBGGRR, the order GDI takes them in.
enum : uint32_t {
    kTrayGrey = 0xC0C0C0,
    kBrightGreen = 0x00FF00,
    kDarkGreen = 0x008000,
    kYellow = 0x00FFFF,
    kRed = 0x0000FF,
    kBlack = 0x000000,
};

// 0..25 bright green, 26..50 dark green, 51..75 yellow, above 75 or below 0
// red.
uint32_t BandColour(int32_t percent);
