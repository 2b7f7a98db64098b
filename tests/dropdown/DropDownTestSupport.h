#pragma once
// Helpers of the drop-down control tests. They do without the common test
// support header, whose dialog types clash with the drop-down appearances'
// own modal-result type.
#include "common/PixelSupport.h"
#include "platform/SysUtils.h"

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

// Format settings with the given decimal and thousand separators and ':'
// between the parts of a time.
inline FormatSettings Separators(QChar decimal, QChar thousand)
{
    FormatSettings fs;
    fs.DecimalSeparator = decimal;
    fs.ThousandSeparator = thousand;
    fs.TimeSeparator = ':';
    return fs;
}

// Pins the format settings for a scope and restores them after.
class PinnedFormat {
public:
    explicit PinnedFormat(const FormatSettings& fs) : m_saved(SystemFormatSettings()) { SetFormatSettings(fs); }
    ~PinnedFormat() { SetFormatSettings(m_saved); }
    PinnedFormat(const PinnedFormat&) = delete;
    PinnedFormat& operator=(const PinnedFormat&) = delete;

private:
    FormatSettings m_saved;
};
