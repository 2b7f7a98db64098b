#pragma once
// Pixel counting for the drop-down control tests.
#include "common/PixelSupport.h"

#include <algorithm>

// The pixels of exactly colour `c` in r (clipped to the image).
inline int CountColor(const QImage& img, const TRect& r, TColor c)
{
    int n = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, img.height()); ++y)
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, img.width()); ++x)
            if (At(img, x, y) == c) ++n;
    return n;
}
