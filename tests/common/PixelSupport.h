#pragma once
// Pixel helpers for the tests that paint into images.
#include "platform/Graphics.h"

#include <QColor>
#include <QImage>

// A w x h image filled white.
inline QImage White(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::white);
    return img;
}

// The colour of one pixel.
inline TColor At(const QImage& img, int x, int y) { return QColorToColor(QColor::fromRgb(img.pixel(x, y))); }
