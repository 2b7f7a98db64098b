#pragma once
// Drawing and text routines of the drop-down controls: the banded gradient of
// pop-ups, strips and grid cells, colour mixing, a gradient rectangle with a
// frame, image-and-caption drawing, a transparent bitmap copy, single-line
// text measuring and shortening, item captions as plain text or mini-HTML, and
// the case folding of the item selector.
//
// They live below the grid because the grid paints with the drop-down
// gradient before any drop-down exists. Each draws on a canvas handed in by
// the caller and keeps no state; the band geometry is a pure function that the
// gradient routine then paints. Rounding is to the nearest integer, halves to
// the even neighbour.
#include "controls/ExtUtilDraw.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

class QWidget;
class TCustomImageList;

// Which way the colour of a gradient changes.
enum class TGradientDirection { gdHorizontal, gdVertical };
// Where the buttons of a strip stand.
enum class TButtonAlignment { baLeft, baRight };

// The bands of FillDropDownGradient: `steps` bands (fewer than 1 count as 1)
// from `fromColor` to `toColor` (system colours resolved to RGB first); with
// `alongX` the bands run along X and the right edge is taken one pixel in,
// else along Y with the bottom edge taken in. Band n starts at offset
// nearest(n * d), d = extent / steps, and is nearest(d) + 1 pixels long; the
// channels are from + nearest(n * (to - from) / steps). Bands are cut to the
// rectangle; an empty or inverted rectangle has none.
std::vector<TColorBand> DropDownGradientBands(TColor fromColor, TColor toColor, int steps, const TRect& r, bool alongX);
// Paints DropDownGradientBands with pen and brush of each band's colour.
void FillDropDownGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, const TRect& r, bool alongX);

// Percent 100 or more gives color1, 0 or less color2; otherwise per channel
// nearest(p / 100 * c1 + (1 - p / 100) * c2), clamped to 0..255.
TColor BlendColors(TColor color1, TColor color2, int percent);
// Per channel: a non-zero channel c becomes nearest(min(100, 100 + d) / 100 *
// c), a zero channel max(0, d); every channel clamped to 0..255. Only
// negative percentages darken, and only zero channels lighten.
TColor AdjustColorPercent(TColor color, int percentR, int percentG, int percentB);

// With colorTo set an 80-step FillDropDownGradient from color to colorTo
// (along X for gdHorizontal), else a solid fill in color when it is set; then
// a frame of borderWidth pixels in borderColor when both are given.
void DrawGradientRect(TCanvas& canvas, const TRect& r, TColor color, TGradientDirection direction, int borderWidth, TColor borderColor,
                      TColor colorTo);

// Image `imageIndex` of `images` 4 pixels right of r's left edge, centred
// vertically; then the text on one line, centred vertically and cut with an
// ellipsis, left aligned 8 pixels after the image, or centred without one.
void DrawImageText(TCanvas& canvas, const TRect& r, const QString& text, int imageIndex, const TCustomImageList* images);

// The bitmap with every pixel of its top-left pixel's colour replaced by
// `color`, copied onto the canvas at r's top-left corner, at most r's size.
void DrawTransparentBitmap(TCanvas& canvas, const QImage& bitmap, TColor color, const TRect& r);

// The single-line extent of a text in the canvas font (0 x 0 when empty).
QSize TextExtent(TCanvas& canvas, const QString& text);

// The text when it fits in maxWidth; otherwise the longest front part
// (shortened one character at a time, "..." appended with addDots) that is
// strictly narrower than maxWidth; the full text when none is.
QString EllipsizeText(TCanvas& canvas, const QString& text, int maxWidth, bool addDots);

// An item caption, plain or mini-HTML, drawn into r (clipped to it) when
// `draw`, only measured otherwise; returns the width and height of the text,
// 0 x 0 for an empty one. Pictures come from `images`.
QSize DrawItemTextOrHtml(TCanvas& canvas, const QString& text, const TRect& r, QWidget* window, bool draw, const TCustomImageList* images);

// The text as it is when `keep`, else in upper case (case-insensitive
// matching of the item selector).
QString CaseFoldText(const QString& text, bool keep);
