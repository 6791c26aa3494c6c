// What an icon image of a resource holds, read as the system reads it: a
// bitmap or, from Windows Vista on, a PNG stream.
#pragma once

#include <windows.h>

struct IconImageShape {
    LONG width = 0;
    LONG height = 0; // of the picture, without a bitmap's mask
    WORD bits = 0;   // per pixel
    bool png = false;
};

// The image's shape; bytes is the resource's size.
IconImageShape ShapeOfIconImage(const void* image, DWORD bytes);
