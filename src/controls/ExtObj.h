#pragma once
// Companions of the string grid, gathered: the shared types and lists
// (ExtObjTypes.h), the settings objects the grid publishes (ExtObjSettings.h),
// the search bar's button and check box and the indicator windows
// (ExtObjWidgets.h); here: the platform tests, the stepped gradient, the
// alpha mask with its shadow and blur routines, and TObjStringGrid, the
// platform grid the grid base stands on.
#include "controls/ExtObjSettings.h"
#include "controls/ExtObjTypes.h"
#include "controls/ExtObjWidgets.h"
#include "controls/ExtXPVS.h"
#include "platform/Graphics.h"
#include "platform/Grids.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

// ---------------------------------------------------------------------------
// Platform tests and a stepped gradient

// IsWinXPOrLater: controls/ExtXPVS.h.
// Visual styles are in use with common controls of version 6: the button
// and the check box then draw themed, otherwise in their classic look.
bool IsThemedComCtl6();
// The colour scheme of the current visual style: "NormalColor" 1,
// "HomeStead" 2, "Metallic" 3, anything else (or no style) 0.
int GetXPColorScheme();
// Fills r in `steps` bands from `from` to `to` (steps 0 is taken as 1), then
// frames it unless borderColor is clNone.
void FillGradientSteps(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps,
                       TColor borderColor);

// ---------------------------------------------------------------------------
// Images

// A 32-bit image with an opacity.
class TGridAlphaMask {
public:
    TGridAlphaMask();
    uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(uint8_t v) { FOpacity = v; }
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }
    void SetSize(int w, int h);
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    // From another mask: the opacity and the pixels, into the current size.
    void Assign(const TGridAlphaMask& src);
    // From any other picture: its copy, made 32-bit.
    void Assign(const QImage& src);
    // For a 24-bit bitmap only: the mask takes its size; alpha := the
    // mask's red channel and each colour channel premultiplied by it.
    // The colour is not used.
    void MergeMask(const QImage& mask, const QImage& bitmap, TColor color = clNone);

private:
    uint8_t FOpacity = 255;
    QImage m_image;
};

// Makes bmp a 24-bit black w x h image with a white rounded rectangle (filled
// when penWidth <= 0, else outlined), blurred when radius > 0.
void MakeShadowMask(QImage& bmp, int w, int h, int penWidth, int rounding, int radius);
// A separable Gaussian blur of a 24-bit image (QImage::Format_RGB888);
// raises Exception "Blur only works for 24-bit bitmaps" for any other.
void BlurBitmap24(QImage& bmp, double radius);
// The normalised kernel weights, centre at index n of 2n + 1.
std::vector<double> BuildGaussKernel(double radius);

// ---------------------------------------------------------------------------

// The platform's string grid without additions; the grid base derives from it.
class TObjStringGrid : public TStringGrid {
public:
    TObjStringGrid() = default;
};
