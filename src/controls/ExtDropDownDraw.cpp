#include "controls/ExtDropDownDraw.h"

#include "controls/EsgHTMLE.h"
#include "platform/ImageList.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Nearest integer, halves to the even neighbour; NaN gives 0 and values
// beyond the int range stop at its ends.
int Nearest(double x)
{
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(r);
}

int Clamp255(int c) { return std::clamp(c, 0, 255); }

TColor ClampedRGB(int r, int g, int b) { return RGBColor(Clamp255(r), Clamp255(g), Clamp255(b)); }

} // namespace

std::vector<TColorBand> DropDownGradientBands(TColor fromColor, TColor toColor, int steps, const TRect& r, bool alongX)
{
    std::vector<TColorBand> bands;
    if (r.IsEmpty()) return bands;
    if (steps < 1) steps = 1;
    const TColor c1 = ColorToRGB(fromColor), c2 = ColorToRGB(toColor);
    const int r1 = GetRValue(c1), g1 = GetGValue(c1), b1 = GetBValue(c1);
    const int dr = GetRValue(c2) - r1, dg = GetGValue(c2) - g1, db = GetBValue(c2) - b1;
    const int extent = alongX ? (r.Right - 1) - r.Left : (r.Bottom - 1) - r.Top;
    const double d = double(extent) / steps;
    const int len = Nearest(d) + 1;
    bands.reserve(size_t(steps));
    for (int n = 0; n < steps; ++n) {
        const TColor c = ClampedRGB(r1 + Nearest(double(n) * dr / steps), g1 + Nearest(double(n) * dg / steps),
                                    b1 + Nearest(double(n) * db / steps));
        const int offset = Nearest(n * d);
        TRect band = alongX ? TRect{r.Left + offset, r.Top, r.Left + offset + len, r.Bottom}
                            : TRect{r.Left, r.Top + offset, r.Right, r.Top + offset + len};
        // The last band's rounding may reach one pixel past the rectangle.
        band.Right = std::min(band.Right, r.Right);
        band.Bottom = std::min(band.Bottom, r.Bottom);
        if (!band.IsEmpty()) bands.push_back({c, band});
    }
    return bands;
}

void FillDropDownGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, const TRect& r, bool alongX)
{
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    for (const TColorBand& b : DropDownGradientBands(fromColor, toColor, steps, r, alongX)) {
        canvas.SetPenColor(b.Color);
        canvas.SetBrushColor(b.Color);
        canvas.Rectangle(b.Rect);
    }
}

TColor BlendColors(TColor color1, TColor color2, int percent)
{
    if (percent >= 100) return color1;
    if (percent <= 0) return color2;
    const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
    const double p = percent / 100.0;
    auto mix = [p](int a, int b) { return Nearest(p * a + (1.0 - p) * b); };
    return ClampedRGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)), mix(GetBValue(c1), GetBValue(c2)));
}

TColor AdjustColorPercent(TColor color, int percentR, int percentG, int percentB)
{
    const TColor c = ColorToRGB(color);
    auto adjust = [](int channel, int d) {
        if (channel == 0) return std::max(0, d);
        return Nearest(std::min(100, 100 + d) / 100.0 * channel);
    };
    return ClampedRGB(adjust(GetRValue(c), percentR), adjust(GetGValue(c), percentG), adjust(GetBValue(c), percentB));
}

void DrawGradientRect(TCanvas& canvas, const TRect& r, TColor color, TGradientDirection direction, int borderWidth, TColor borderColor,
                      TColor colorTo)
{
    if (colorTo != clNone) {
        FillDropDownGradient(canvas, color, colorTo, 80, r, direction == TGradientDirection::gdHorizontal);
    } else if (color != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(color);
        canvas.FillRect(r);
    }
    if (borderColor != clNone && borderWidth > 0) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenWidth(borderWidth);
        canvas.SetPenColor(borderColor);
        canvas.Rectangle(r);
        canvas.SetPenWidth(1);
    }
}

void DrawImageText(TCanvas& canvas, const TRect& r, const QString& text, int imageIndex, const TCustomImageList* images)
{
    TRect textRect = r;
    const bool hasImage = imageIndex >= 0 && images;
    if (hasImage) {
        images->Draw(canvas, r.Left + 4, r.Top + (r.Height() - images->Height()) / 2, imageIndex);
        textRect.Left = r.Left + images->Width() + 8;
    }
    if (text.isEmpty()) return;
    const unsigned flags = tfSingleLine | tfVCenter | tfEndEllipsis | (hasImage ? tfLeft : tfCenter);
    canvas.DrawText(text, textRect, flags);
}

void DrawTransparentBitmap(TCanvas& canvas, const QImage& bitmap, TColor color, const TRect& r)
{
    if (bitmap.isNull()) return;
    QImage copy = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = copy.pixel(0, 0) & 0xFFFFFF;
    const QRgb fill = ColorToQColor(ColorToRGB(color)).rgba();
    for (int y = 0; y < copy.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = fill;
    }
    const int w = std::min(r.Width(), copy.width()), h = std::min(r.Height(), copy.height());
    if (w <= 0 || h <= 0) return;
    canvas.Draw(r.Left, r.Top, copy.copy(0, 0, w, h));
}

QSize TextExtent(TCanvas& canvas, const QString& text)
{
    if (text.isEmpty()) return QSize(0, 0);
    TRect r{0, 0, 1000, 500};
    canvas.DrawText(text, r, tfCalcRect | tfSingleLine | tfNoPrefix);
    return QSize(r.Width(), r.Height());
}

QString EllipsizeText(TCanvas& canvas, const QString& text, int maxWidth, bool addDots)
{
    if (TextExtent(canvas, text).width() <= maxWidth) return text;
    const QString dots = addDots ? QStringLiteral("...") : QString();
    for (int keep = int(text.size()) - 1; keep >= 0; --keep) {
        const QString candidate = text.left(keep) + dots;
        if (TextExtent(canvas, candidate).width() < maxWidth) return candidate;
    }
    return text;
}

QSize DrawItemTextOrHtml(TCanvas& canvas, const QString& text, const TRect& r, QWidget* window, bool draw, const TCustomImageList* images)
{
    if (text.isEmpty()) return QSize(0, 0);
    // Plain text is mini-HTML without tags; the renderer's own defaults for
    // everything else.
    TMiniHtmlParams params(canvas, text, r);
    params.Images = images;
    params.ThemeWindow = window;
    params.MeasureOnly = !draw;
    const TMiniHtmlResult result = RenderMiniHtml(params);
    return QSize(result.MaxLineWidth, result.TotalHeight);
}

QString CaseFoldText(const QString& text, bool keep) { return keep ? text : text.toUpper(); }
