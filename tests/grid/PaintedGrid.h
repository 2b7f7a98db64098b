#pragma once
// Pixel probes of a grid painted off screen: the test font (DejaVu Sans,
// 12 pixels, no antialiasing) and a picture of the grid's client area; At()
// reads its pixels.
#include "common/PixelSupport.h"
#include "platform/Grids.h"

#include <QFont>
#include <QImage>
#include <QPainter>

inline QFont TestFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// The grid's client area painted on magenta, without antialiasing.
inline QImage PaintShot(TCustomGrid& g)
{
    QImage img(g.ClientWidth(), g.ClientHeight(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    g.PaintTo(p);
    return img;
}
