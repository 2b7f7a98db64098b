#include "controls/ExtUtilDraw.h"

#include "controls/ExtXPVS.h"

#include <QFontMetrics>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Rounds to the nearest integer, halves to the even neighbour.
// Nearest integer; NaN gives 0 and values beyond the int range stop at its ends.
int Nearest(double x)
{
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(r);
}

// The same for the 64-bit conversions of a format.
long long Nearest64(double x)
{
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= 9.2233720368547758e18) return std::numeric_limits<long long>::max();
    if (r <= -9.2233720368547758e18) return std::numeric_limits<long long>::min();
    return static_cast<long long>(r);
}

int Clamp255(int c) { return std::clamp(c, 0, 255); }

void Line(TCanvas& canvas, TColor c, int x0, int y0, int x1, int y1)
{
    if (c == clNone) return;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(c);
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

void Pixel(TCanvas& canvas, TColor c, int x, int y) { canvas.SetPixel(x, y, c); }

void Fill(TCanvas& canvas, const TRect& r, TColor c)
{
    if (c == clNone || r.IsEmpty()) return;
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(c);
    canvas.FillRect(r);
}

void Frame(TCanvas& canvas, const TRect& r, TColor c)
{
    if (c == clNone || r.IsEmpty()) return;
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(c);
    canvas.FrameRect(r);
}

// Filled triangle of an arrow glyph centred in r.
void ArrowGlyph(TCanvas& canvas, const TRect& r, bool up, TColor c)
{
    if (c == clNone) return;
    const int cx = r.Left + (r.Width() - 1) / 2, cy = r.Top + (r.Height() - 1) / 2;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(c);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(c);
    if (up) canvas.Polygon({QPoint(cx - 3, cy + 2), QPoint(cx + 3, cy + 2), QPoint(cx, cy - 1)});
    else canvas.Polygon({QPoint(cx - 3, cy - 1), QPoint(cx + 3, cy - 1), QPoint(cx, cy + 2)});
}

void ClassicArrow(TCanvas& canvas, const TRect& r, bool up, bool disabled)
{
    if (disabled) {
        ArrowGlyph(canvas, r.Offset(1, 1), up, clBtnHighlight);
        ArrowGlyph(canvas, r, up, clBtnShadow);
    } else {
        ArrowGlyph(canvas, r, up, clBtnText);
    }
}

void OwnColorsRect(TCanvas& canvas, const TRect& r, const TButtonColors& colors, int state)
{
    const int s = std::clamp(state, 0, 3);
    canvas.SetBrushStyle(colors.Brush[s] == clNone ? TBrushStyle::Clear : TBrushStyle::Solid);
    canvas.SetBrushColor(colors.Brush[s]);
    canvas.SetPenStyle(colors.Pen[s] == clNone ? TPenStyle::Clear : TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(colors.Pen[s]);
    canvas.Rectangle(r);
}

// Draws a theme part when visual styles are in use; false when not.
bool Themed(TCanvas& canvas, QWidget* widget, const char* cls, int part, int state, const TRect& r)
{
    TThemeData* theme = OpenThemeData(widget, QString::fromLatin1(cls));
    if (!theme) return false;
    const bool ok = DrawThemeBackground(theme, canvas, part, state, r);
    CloseThemeData(theme);
    return ok;
}

} // namespace

// ---- Gradients -------------------------------------------------------------

std::vector<TColorBand> GradientBands(TColor color, TColor colorTo, bool horizontal, const TRect& r, int steps)
{
    std::vector<TColorBand> bands;
    if (r.Top == r.Bottom) return bands;
    TRect rr = r;
    if (rr.Top > rr.Bottom) std::swap(rr.Top, rr.Bottom);
    if (color == clNone || colorTo == clNone) {
        const TColor c = color == clNone ? colorTo : color;
        if (c != clNone && !rr.IsEmpty()) bands.push_back({ColorToRGB(c), rr});
        return bands;
    }
    const int full = horizontal ? rr.Width() : rr.Height();
    if (full <= 0) return bands;
    const int L = full - 1;
    steps = std::max(std::min(steps, L), 1);
    const double e = double(L) / steps;
    const TColor f = ColorToRGB(color), t = ColorToRGB(colorTo);
    for (int i = 0; i <= steps; ++i) {
        auto ch = [&](int a, int b) { return Clamp255(a + Nearest(i * double(b - a) / steps)); };
        const TColor c = RGBColor(ch(GetRValue(f), GetRValue(t)), ch(GetGValue(f), GetGValue(t)), ch(GetBValue(f), GetBValue(t)));
        const int start = int(std::trunc(i * e));
        const int end = std::min(start + int(std::trunc(e + 1)), full);
        if (end <= start) continue;
        const TRect band = horizontal ? Rect(rr.Left + start, rr.Top, rr.Left + end, rr.Bottom) : Rect(rr.Left, rr.Top + start, rr.Right, rr.Top + end);
        bands.push_back({c, band});
    }
    return bands;
}

void FillGradientRect(TCanvas& canvas, TColor color, TColor colorTo, bool horizontal, const TRect& r, int steps)
{
    for (const TColorBand& b : GradientBands(color, colorTo, horizontal, r, steps)) Fill(canvas, b.Rect, b.Color);
}

void DrawMirrorGradient(TCanvas& canvas, const TRect& r, TColor color, bool fill, bool sidesOnly, TColor borderColor, bool vertical,
                        TColor mirrorColorTo, TColor mirrorColor, TColor colorTo)
{
    if (fill && color != clNone) {
        if (mirrorColor == clNone) {
            if (colorTo == clNone) Fill(canvas, Rect(r.Left, r.Top, r.Right, r.Bottom + 1), color);
            else FillGradientRect(canvas, color, colorTo, !vertical, r, 128);
        } else if (vertical) {
            const int mid = r.Top + r.Height() / 2;
            FillGradientRect(canvas, color, colorTo, false, Rect(r.Left, r.Top, r.Right, mid), 128);
            FillGradientRect(canvas, mirrorColor, mirrorColorTo, false, Rect(r.Left, mid, r.Right, r.Bottom), 128);
        } else {
            const int mid = r.Left + r.Width() / 2;
            FillGradientRect(canvas, color, colorTo, true, Rect(r.Left, r.Top, mid, r.Bottom), 128);
            FillGradientRect(canvas, mirrorColor, mirrorColorTo, true, Rect(mid, r.Top, r.Right, r.Bottom), 128);
        }
    }
    if (borderColor != clNone) {
        if (sidesOnly) {
            Line(canvas, borderColor, r.Left, r.Top, r.Left, r.Bottom);
            Line(canvas, borderColor, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        } else {
            Frame(canvas, r, borderColor);
        }
    }
}

void DrawBevelTabFace(TCanvas& canvas, TColor color, TColor colorTo, TColor mirrorColor, TColor mirrorColorTo, TColor topLineColor,
                      TColor bottomLineColor, TColor frameColor, TColor cornerColor, TColor cornerBackground, const TRect& r, int part)
{
    const int L = r.Left, T = r.Top, R = r.Right - 1, B = r.Bottom - 2;
    const int mid = T + (B - T) / 2;
    const bool leftSide = part == bpSingle || part == bpLeft;
    const bool rightSide = part == bpSingle || part == bpRight;

    Line(canvas, topLineColor, L, T + 1, R, T + 1);
    if (leftSide) Line(canvas, topLineColor, L + 1, T + 1, L + 1, mid);
    if (rightSide) Line(canvas, topLineColor, R - 2, T + 1, R - 2, mid);

    Line(canvas, bottomLineColor, L, B - 1, R, B - 1);
    if (leftSide) Line(canvas, bottomLineColor, L + 1, mid, L + 1, B - 1);
    if (rightSide) Line(canvas, bottomLineColor, R - 2, mid, R - 2, B - 1);

    const int insetLeft = (part == bpRight || part == bpMiddle) ? 0 : 2;
    const int insetRight = (part == bpLeft || part == bpMiddle) ? 0 : 2;
    Line(canvas, frameColor, L + insetLeft, T, R - insetRight, T);
    Line(canvas, frameColor, L + insetLeft, B, R - insetRight, B);
    if (rightSide) Line(canvas, frameColor, R - 1, T + 2, R - 1, B - 1);
    if (leftSide) Line(canvas, frameColor, L, T + 2, L, B - 1);

    auto corners = [&](int inner, int outer) {
        for (QPoint p : {QPoint(inner, T), QPoint(inner, T + 1), QPoint(outer, T + 1), QPoint(inner, B), QPoint(inner, B - 1), QPoint(outer, B - 1)})
            Pixel(canvas, cornerColor, p.x(), p.y());
        Pixel(canvas, cornerBackground, outer, T);
        Pixel(canvas, cornerBackground, outer, B);
    };
    if (leftSide) corners(L + 1, L);
    if (rightSide) corners(R - 2, R - 1);

    const TRect face = Rect(L + insetLeft, T + 2, R - insetRight, B - 1);
    if (colorTo == clNone) {
        Fill(canvas, face, color);
    } else if (mirrorColor == clNone) {
        FillGradientRect(canvas, color, colorTo, false, face, 16);
    } else {
        FillGradientRect(canvas, color, colorTo, false, Rect(face.Left, face.Top, face.Right, mid), 16);
        FillGradientRect(canvas, mirrorColor, mirrorColorTo, false, Rect(face.Left, mid, face.Right, face.Bottom), 16);
    }
}

// ---- Colour arithmetic -----------------------------------------------------

TColor BlendColorStep(TColor color, TColor colorTo, int first, int position, int last)
{
    if (colorTo == clNone || last == first) return color;
    const TColor c = ColorToRGB(color), t = ColorToRGB(colorTo);
    auto ch = [&](int a, int b) { return Clamp255(a + Nearest(double(b - a) / (last - first) * position)); };
    return RGBColor(ch(GetRValue(c), GetRValue(t)), ch(GetGValue(c), GetGValue(t)), ch(GetBValue(c), GetBValue(t)));
}

TColor HalveColor(TColor color)
{
    const TColor c = ColorToRGB(color);
    return RGBColor(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

TColor ScaleColorPercent(TColor color, int percent)
{
    const TColor c = ColorToRGB(color);
    auto ch = [&](int v) { return Clamp255(Nearest(v + percent * v / 100.0)); };
    return RGBColor(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

// ---- Progress bars ---------------------------------------------------------

std::vector<std::pair<int, int>> ProgressSegments(int t)
{
    std::vector<std::pair<int, int>> segs;
    if (t < 2) return segs;
    if (t <= 9) {
        segs.emplace_back(2, t - 1);
        return segs;
    }
    const int n = t / 9, m = t % 9;
    for (int k = 0; k < n; ++k) segs.emplace_back(2 + 9 * k, 7);
    if (m > 2) segs.emplace_back(2 + 9 * n, m - 1);
    return segs;
}

std::vector<TProgressBlock> ProgressBarBlocks(const TRect& r, int p, const TProgressSettings& s)
{
    std::vector<TProgressBlock> blocks;
    p = std::clamp(p, 0, 100);
    const bool vertical = s.Style == pbdVertical;
    const int Ln = vertical ? r.Height() - 2 : r.Width() - 2;
    if (p <= 0 || Ln <= 0) return blocks;
    // A stretch from..to along the bar (offsets from the bar's start), inset
    // `cross` pixels from the cell's sides.
    auto stretch = [&](int from, int to, int level, int cross) {
        if (to <= from) return;
        const TRect rc = vertical ? Rect(r.Left + cross, r.Bottom - 1 - to, r.Right - cross, r.Bottom - 1 - from)
                                  : Rect(r.Left + 1 + from, r.Top + cross, r.Left + 1 + to, r.Bottom - cross);
        if (!rc.IsEmpty()) blocks.push_back({rc, level});
    };
    auto along = [&](int percent) { return Nearest(percent * double(Ln) / 100.0); };
    if (s.Stacked) {
        const int pos1 = along(std::min(p, s.Level1Perc));
        const int pos2 = std::max(along(std::min(p, s.Level2Perc)), pos1);
        const int pos3 = std::max(p >= 100 ? Ln : along(p), pos2);
        stretch(0, pos1, 0, 1);
        if (p > s.Level1Perc) stretch(pos1, pos2, 1, 1);
        if (p > s.Level2Perc) stretch(pos2, pos3, 3, 1);
        return blocks;
    }
    const int level = p < s.Level1Perc ? 0 : p < s.Level2Perc ? 1 : p > 99 ? 3 : 2;
    const int t = along(p);
    if (s.CompletionSmooth) {
        stretch(0, t, level, 1);
        return blocks;
    }
    // Segments are measured from the cell's edge; the bar starts 1 pixel in.
    for (auto [offset, length] : ProgressSegments(t)) stretch(offset - 1, offset - 1 + length, level, 2);
    return blocks;
}

void DrawCellProgressBar(TCanvas& canvas, const TRect& r, int p, const TProgressSettings& s)
{
    if (r.IsEmpty()) return;
    const TColor framePen = s.ShowBorder ? s.BorderColor : s.UnCompleteColor;
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(s.UnCompleteColor);
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(framePen);
    canvas.Rectangle(r);

    const bool vertical = s.Style == pbdVertical;
    for (const TProgressBlock& b : ProgressBarBlocks(r, p, s)) {
        const TColor c = s.LevelColor[b.Level], to = s.LevelColorTo[b.Level];
        if (s.ShowGradient) {
            // Two halves across the bar: end colour -> colour, colour -> end colour.
            if (vertical) {
                const int mid = b.Rect.Left + b.Rect.Width() / 2;
                FillGradientRect(canvas, to, c, true, Rect(b.Rect.Left, b.Rect.Top, mid, b.Rect.Bottom), s.Steps);
                FillGradientRect(canvas, c, to, true, Rect(mid, b.Rect.Top, b.Rect.Right, b.Rect.Bottom), s.Steps);
            } else {
                const int mid = b.Rect.Top + b.Rect.Height() / 2;
                FillGradientRect(canvas, to, c, false, Rect(b.Rect.Left, b.Rect.Top, b.Rect.Right, mid), s.Steps);
                FillGradientRect(canvas, c, to, false, Rect(b.Rect.Left, mid, b.Rect.Right, b.Rect.Bottom), s.Steps);
            }
        } else {
            Fill(canvas, b.Rect, c);
        }
    }

    if (s.ShowPercentage) {
        const QString text = QString::number(p) + QLatin1Char('%'); // the value itself, even where the bar stops at an end
        canvas.Save();
        canvas.SetFont(s.Font);
        canvas.SetFontColor(s.CompleteFontColor);
        canvas.SetBkMode(TBkMode::Transparent);
        const int tw = canvas.TextWidth(text), th = canvas.TextHeight(text);
        const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
        if (vertical) {
            canvas.SetFontEscapement(900);
            canvas.TextOut(cx - th / 2, cy + tw / 2, text);
        } else {
            canvas.TextOut(cx - tw / 2, cy - th / 2, text);
        }
        canvas.Restore();
    }

    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.SetPenColor(framePen);
    canvas.Rectangle(r);
    canvas.SetBrushStyle(TBrushStyle::Solid);
}

QString FormatProgressValue(const QString& format, double value)
{
    QString out;
    bool done = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch != QLatin1Char('%')) {
            out += ch;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        if (done) {
            out += ch;
            continue;
        }
        // %[flags][width][.precision]conversion
        int j = i + 1;
        QString flags;
        while (j < format.size() && QStringLiteral("-+ 0#").contains(format[j])) flags += format[j++];
        int width = 0, precision = -1;
        while (j < format.size() && format[j].isDigit()) width = std::min(width * 10 + format[j++].digitValue(), 99);
        if (j < format.size() && format[j] == QLatin1Char('.')) {
            ++j;
            precision = 0;
            while (j < format.size() && format[j].isDigit()) precision = std::min(precision * 10 + format[j++].digitValue(), 30);
        }
        if (j >= format.size()) {
            out += format.mid(i);
            break;
        }
        const char conv = format[j].toLatin1();
        QString conversion = QLatin1Char('%') + flags;
        if (width > 0) conversion += QString::number(width);
        if (precision >= 0) conversion += QLatin1Char('.') + QString::number(precision);
        const QByteArray s8 = conversion.toLatin1();
        // "#" has no meaning for decimal integers: it is left out there.
        QByteArray decimal = s8;
        decimal.replace('#', QByteArray());
        switch (conv) {
        case 'd':
        case 'i':
        case 'u':
            out += QString::asprintf((decimal + "lld").constData(), Nearest64(value));
            break;
        case 'x':
        case 'X':
            out += QString::asprintf((s8 + "ll" + conv).constData(), static_cast<unsigned long long>(Nearest64(value)));
            break;
        case 'f':
        case 'e':
        case 'E':
        case 'g':
        case 'G': out += QString::asprintf((s8 + conv).constData(), value); break;
        default:
            // Not a conversion we know: keep the text as it stands.
            out += format.mid(i, j - i + 1);
            i = j;
            continue;
        }
        done = true;
        i = j;
    }
    return out;
}

TProgressText ProgressFmtText(const QString& format, double minimum, double maximum, double value)
{
    TProgressText t;
    if (!format.isEmpty()) {
        t.Text = FormatProgressValue(format, value);
        t.Percentage = maximum == minimum ? 0 : Nearest((value - minimum) * 100.0 / (maximum - minimum));
    } else {
        t.Text = QString::number(Nearest(value)) + QLatin1Char('%');
        t.Percentage = Nearest(value);
    }
    t.Percentage = std::clamp(t.Percentage, 0, 100);
    return t;
}

void DrawCellProgressBarFmt(TCanvas& canvas, const TRect& r, const TProgressFmtColors& colors, const QString& format, double minimum,
                            double maximum, int marginX, int marginY, double value)
{
    const TColor entryBrush = canvas.BrushColor();
    const TProgressText t = ProgressFmtText(format, minimum, maximum, value);
    const TRect in = Rect(r.Left + marginX, r.Top + marginY, r.Right - marginX, r.Bottom - marginY);
    if (in.IsEmpty()) return;
    const int barW = in.Width() * t.Percentage / 100;
    const TRect bar = Rect(in.Left, in.Top, in.Left + barW, in.Bottom);
    const TRect rest = Rect(in.Left + barW, in.Top, in.Right, in.Bottom);
    Fill(canvas, bar, colors.Bar);
    Fill(canvas, rest, colors.Background);

    auto text = [&](const TRect& clip, TColor color) {
        if (clip.IsEmpty()) return;
        canvas.Save();
        canvas.IntersectClipRect(clip);
        canvas.SetBkMode(TBkMode::Transparent);
        canvas.SetFontColor(color);
        TRect tr = in;
        canvas.DrawText(t.Text, tr, tfCenter | tfVCenter | tfSingleLine | tfNoPrefix);
        canvas.Restore();
    };
    text(bar, colors.BarText);
    text(rest, colors.BackgroundText);

    Frame(canvas, in.Inflated(1, 1), colors.Background);
    Frame(canvas, in.Inflated(2, 2), entryBrush);
    canvas.SetBrushColor(entryBrush);
}

// ---- Bar graph and pie -----------------------------------------------------

TRect BarGraphRect(const TRect& r, double value, double maximum)
{
    const TRect rr = r.Inflated(-2, -2);
    const int h = rr.Width() / 2;
    if (maximum <= 0 || h <= 0 || rr.IsEmpty() || std::isnan(value)) return {};
    const double v = std::clamp(value, -maximum, maximum);
    const int x = Nearest(h * v / maximum);
    const int centre = rr.Left + h;
    return v < 0 ? Rect(centre + x, rr.Top, centre, rr.Bottom) : Rect(centre, rr.Top, centre + x, rr.Bottom);
}

void DrawCellBarGraph(TCanvas& canvas, const TRect& r, double value, TColor positiveColor, TColor negativeColor, bool showValue,
                      double maximum)
{
    Fill(canvas, BarGraphRect(r, value, maximum), value < 0 ? negativeColor : positiveColor);
    if (showValue) {
        canvas.SetBkMode(TBkMode::Transparent);
        TRect tr = r;
        canvas.DrawText(QString::number(value), tr, tfCenter | tfVCenter | tfSingleLine | tfNoPrefix);
    }
}

QPoint PieHandEnd(const TRect& r, double p)
{
    const int w = r.Width(), h = r.Height();
    const int cx = r.Left + w / 2, cy = r.Top + h / 2;
    const double theta = p / 100.0 * 2 * kPi;
    return QPoint(cx + Nearest((w + 1) / 2.0 * std::sin(theta)), cy - Nearest((h + 1) / 2.0 * std::cos(theta)));
}

std::vector<QPoint> PieSectorPolygon(const TRect& r, double p)
{
    const int w = r.Width(), h = r.Height();
    const int cx = r.Left + w / 2, cy = r.Top + h / 2;
    // Rim points lie beyond the ellipse; the drawing clips to it.
    const double rx = w + 2.0, ry = h + 2.0;
    const double end = std::clamp(p, 0.0, 100.0) / 100.0 * 2 * kPi;
    std::vector<QPoint> pts{QPoint(cx, cy)};
    const int n = std::max(2, int(std::ceil(end / (kPi / 90))));
    for (int i = 0; i <= n; ++i) {
        const double a = end * i / n;
        pts.emplace_back(cx + Nearest(rx * std::sin(a)), cy - Nearest(ry * std::cos(a)));
    }
    return pts;
}

namespace {
// The gray outline of the pie: the ellipse, the line from 12 o'clock to the
// centre and the hand.
void PieOutline(TCanvas& canvas, const TRect& r, double p)
{
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(RGBColor(128, 128, 128));
    const TBrushStyle keep = canvas.BrushStyle();
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.Ellipse(r);
    canvas.SetBrushStyle(keep);
    const QPoint hand = PieHandEnd(r, p);
    canvas.MoveTo(cx, r.Top);
    canvas.LineTo(cx, cy);
    canvas.LineTo(hand.x(), hand.y());
}
} // namespace

std::vector<TRect> PieFillRuns(const TRect& r, double p, bool outside)
{
    std::vector<TRect> runs;
    if (r.IsEmpty() || p == 0 || std::isnan(p)) return runs;
    // The outline is drawn into a mask 2 pixels larger all round, and the
    // area reached from the seed without crossing it (4-connected) is the
    // fill, kept within r.
    constexpr int margin = 2;
    const int w = r.Width() + 2 * margin, h = r.Height() + 2 * margin;
    QImage mask(w, h, QImage::Format_RGB32);
    mask.fill(Qt::white);
    {
        TCanvas c(&mask);
        c.Painter().translate(margin - r.Left, margin - r.Top);
        PieOutline(c, r, p);
    }
    const int seedX = r.Width() / 2 + 1 + margin;
    const int seedY = outside ? margin - 2 : margin + 2;
    std::vector<char> filled(size_t(w) * h, 0);
    auto border = [&](int x, int y) { return (mask.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF; };
    if (seedX >= 0 && seedX < w && seedY >= 0 && seedY < h && !border(seedX, seedY)) {
        std::vector<QPoint> stack{QPoint(seedX, seedY)};
        filled[size_t(seedY) * w + seedX] = 1;
        while (!stack.empty()) {
            const QPoint q = stack.back();
            stack.pop_back();
            for (const QPoint n : {QPoint(q.x() + 1, q.y()), QPoint(q.x() - 1, q.y()), QPoint(q.x(), q.y() + 1), QPoint(q.x(), q.y() - 1)}) {
                if (n.x() < 0 || n.y() < 0 || n.x() >= w || n.y() >= h) continue;
                char& f = filled[size_t(n.y()) * w + n.x()];
                if (f || border(n.x(), n.y())) continue;
                f = 1;
                stack.push_back(n);
            }
        }
    }
    for (int y = margin; y < h - margin; ++y) {
        int x = margin;
        while (x < w - margin) {
            if (!filled[size_t(y) * w + x]) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < w - margin && filled[size_t(y) * w + x]) ++x;
            runs.push_back(Rect(r.Left + from - margin, r.Top + y - margin, r.Left + x - margin, r.Top + y - margin + 1));
        }
    }
    return runs;
}

void DrawCellPie(TCanvas& canvas, const TRect& r, TColor fillColor, bool outside, double p)
{
    if (r.IsEmpty()) return;
    if (fillColor != clNone)
        for (const TRect& run : PieFillRuns(r, p, outside)) Fill(canvas, run, fillColor);
    PieOutline(canvas, r, p);
}

// ---- Shapes ------------------------------------------------------------------

TShapeGeometry CellShapeGeometry(TCellShape shape, int x, int y, int a, int b)
{
    if (shape == csCircle || shape == csSquare || shape == csRoundSquare) a = b = std::min(a, b);
    TShapeGeometry g;
    auto poly = [&](std::vector<QPoint> pts) {
        g.kind = TShapeGeometry::Polygon;
        g.Points = std::move(pts);
    };
    auto star = [&](const std::vector<int>& angles) {
        const int cx = x + b / 2, cy = y + a / 2;
        const double ox = b / 2, oy = a / 2;
        std::vector<QPoint> pts;
        for (int deg : angles) {
            const bool outer = (deg / 36) % 2 == 0;
            const double rx = outer ? ox : ox / 3.0, ry = outer ? oy : oy / 3.0;
            const double t = deg * kPi / 180.0;
            pts.emplace_back(cx + Nearest(rx * std::sin(t)), cy - Nearest(ry * std::cos(t)));
        }
        poly(std::move(pts));
    };
    switch (shape) {
    case csRectangle:
    case csSquare:
        g.kind = TShapeGeometry::Rectangle;
        g.Rect = Rect(x, y, x + b - 1, y + a - 1);
        break;
    case csCircle:
    case csEllips:
        g.kind = TShapeGeometry::Ellipse;
        g.Rect = Rect(x, y, x + b, y + a);
        break;
    case csRoundRect:
    case csRoundSquare:
        g.kind = TShapeGeometry::RoundRect;
        g.Rect = Rect(x, y, x + b, y + a);
        break;
    case csLineVert:
        g.kind = TShapeGeometry::Rectangle;
        g.Rect = Rect(x + b / 2, y, x + b / 2 + 1, y + a);
        break;
    case csLineHorz:
        g.kind = TShapeGeometry::Rectangle;
        g.Rect = Rect(x, y + a / 2, x + b, y + a / 2 + 1);
        break;
    case csTriangleLeft: poly({{x + b, y}, {x + b, y + a}, {x, y + a / 2}}); break;
    case csTriangleRight: poly({{x, y}, {x, y + a}, {x + b, y + a / 2}}); break;
    case csTriangleUp: poly({{x, y + a}, {x + b, y + a}, {x + b / 2, y}}); break;
    case csTriangleDown: poly({{x, y}, {x + b, y}, {x + b / 2, y + a}}); break;
    case csDiamond: poly({{x, y + a / 2}, {x + b / 2, y}, {x + 2 * (b / 2), y + a / 2}, {x + b / 2, y + 2 * (a / 2)}}); break;
    case csStar: star({0, 36, 72, 108, 144, 180, 216, 252, 288, 324}); break;
    case csHalfStar: star({0, 180, 216, 252, 288, 324}); break;
    case csArrowUp:
    case csArrowDown: {
        const int v = b - (b % 2), q = v / 4;
        const int head = shape == csArrowUp ? y : y + a, tail = shape == csArrowUp ? y + a : y;
        poly({{x, y + a / 2}, {x + v / 2, head}, {x + v, y + a / 2}, {x + 3 * q, y + a / 2}, {x + 3 * q, tail}, {x + q, tail}, {x + q, y + a / 2}});
        break;
    }
    case csArrowLeft:
    case csArrowRight: {
        const int g2 = a - (a % 2), q = g2 / 4;
        std::vector<QPoint> pts{{x + b / 2, y},         {x, y + g2 / 2},        {x + b / 2, y + g2}, {x + b / 2, y + 3 * q},
                                {x + b, y + 3 * q},     {x + b, y + q},         {x + b / 2, y + q}};
        if (shape == csArrowRight)
            for (QPoint& p : pts) p.setX(2 * x + b - p.x());
        poly(std::move(pts));
        break;
    }
    }
    return g;
}

void DrawCellShape(TCanvas& canvas, int x, int y, TColor penColor, TColor brushColor, TCellShape shape, int a, int b)
{
    canvas.SetPenStyle(penColor == clNone ? TPenStyle::Clear : TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(penColor);
    canvas.SetBrushStyle(brushColor == clNone ? TBrushStyle::Clear : TBrushStyle::Solid);
    canvas.SetBrushColor(brushColor);
    const TShapeGeometry g = CellShapeGeometry(shape, x, y, a, b);
    switch (g.kind) {
    case TShapeGeometry::Rectangle: canvas.Rectangle(g.Rect); break;
    case TShapeGeometry::Ellipse: canvas.Ellipse(g.Rect); break;
    case TShapeGeometry::RoundRect: canvas.RoundRect(g.Rect, 10, 10); break;
    case TShapeGeometry::Polygon: canvas.Polygon(g.Points); break;
    }
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenStyle(TPenStyle::Solid);
}

// ---- Underline, bitmaps, triangle ------------------------------------------

std::vector<QPoint> SquigglePoints(int x0, int x1, int y)
{
    std::vector<QPoint> pts{QPoint(x0, y)};
    int x = x0;
    bool down = true;
    while (x < x1) {
        x += 3;
        pts.emplace_back(x, down ? y + 3 : y);
        down = !down;
    }
    x += 3;
    pts.emplace_back(x, down ? y + 3 : y);
    return pts;
}

void DrawSpellErrorSquiggle(QWidget* owner, TCanvas& canvas, const QString& text, int length, int start, int offset, const TRect& r)
{
    if (length <= 0 || start < 0) return;
    const QFontMetrics fm(owner ? owner->font() : canvas.Font());
    auto xAt = [&](int pos) { return pos >= text.size() ? fm.horizontalAdvance(text) + 4 : fm.horizontalAdvance(text.left(pos)); };
    const int x0 = xAt(start), x1 = xAt(start + length - 1);
    std::vector<QPoint> pts = SquigglePoints(r.Left + x0, r.Left + x1, r.Top + offset + 3);
    canvas.Save();
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenColor(clRed);
    canvas.SetPenWidth(2);
    canvas.Polyline(pts);
    canvas.Restore();
}

void DrawBitmapTransparent(TCanvas& canvas, const QImage& bitmap, TColor background, const TRect& r)
{
    if (bitmap.isNull()) return;
    QImage copy = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = copy.pixel(0, 0) & 0xFFFFFF;
    const QRgb bg = background == clNone ? 0 : ColorToQColor(background).rgba();
    for (int y = 0; y < copy.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = bg;
    }
    canvas.Draw(r.Left, r.Top, copy);
}

void DrawResourceBitmap(TCanvas& canvas, TColor background, const TRect& r, const QString& name)
{
    for (const QString& path : {QStringLiteral(":/") + name, QStringLiteral(":/") + name + QStringLiteral(".png"),
                                QStringLiteral(":/") + name + QStringLiteral(".bmp")}) {
        const QImage img(path);
        if (!img.isNull()) {
            DrawBitmapTransparent(canvas, img, background, r);
            return;
        }
    }
}

void DrawSmallDownTriangle(TCanvas& canvas, int x, int y, TColor color)
{
    if (color == clNone) return;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(color);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(color);
    canvas.Polygon({QPoint(x - 3, y), QPoint(x + 3, y), QPoint(x, y + 3)});
}

void FillRectColor(TCanvas& canvas, const TRect& r, TColor color) { Fill(canvas, r, color); }

// ---- Buttons ---------------------------------------------------------------

TButtonColors ButtonColorsFromTones(const TColorTones& tones)
{
    TButtonColors c;
    const TColorTone* byState[4] = {&tones.Foreground, &tones.Hover, &tones.Selected, &tones.Disabled};
    for (int i = 0; i < 4; ++i) {
        c.Brush[i] = byState[i]->BrushColor;
        c.Pen[i] = byState[i]->BorderColor;
    }
    c.Line = tones.Foreground.BorderColor;
    c.Arrow = tones.Foreground.TextColor;
    return c;
}

TRect ComboButtonRect(const TRect& r) { return Rect(r.Right - 17 - 2, r.Top + 1, r.Right - 2, r.Bottom - 1); }

TRect SpinButtonsRect(const TRect& r) { return Rect(r.Right - 15 - 1, r.Top - 1, r.Right - 1, r.Bottom - 1); }

std::pair<TRect, TRect> SpinButtonHalves(const TRect& area)
{
    const int mid = area.Top + area.Height() / 2;
    return {Rect(area.Left, area.Top, area.Right, mid), Rect(area.Left, mid, area.Right, area.Bottom)};
}

void DrawClassicButtonFrame(TCanvas& canvas, const TRect& r, bool pressed, bool flat)
{
    if (r.IsEmpty()) return;
    Fill(canvas, r, clBtnFace);
    if (flat) {
        Frame(canvas, r, clBtnShadow);
        return;
    }
    // Two bevels: outer and inner, light at the top-left, dark at the
    // bottom-right; the other way round while pressed.
    auto bevel = [&](const TRect& b, TColor topLeft, TColor bottomRight) {
        Line(canvas, topLeft, b.Left, b.Bottom - 1, b.Left, b.Top);
        Line(canvas, topLeft, b.Left, b.Top, b.Right - 1, b.Top);
        Line(canvas, bottomRight, b.Right - 1, b.Top, b.Right - 1, b.Bottom - 1);
        Line(canvas, bottomRight, b.Right - 1, b.Bottom - 1, b.Left - 1, b.Bottom - 1);
    };
    if (pressed) {
        bevel(r, clBtnShadow, clBtnHighlight);
        bevel(r.Inflated(-1, -1), cl3DDkShadow, cl3DLight);
    } else {
        bevel(r, clBtnHighlight, cl3DDkShadow);
        bevel(r.Inflated(-1, -1), cl3DLight, clBtnShadow);
    }
}

void DrawThemedPushButton(TCanvas& canvas, QWidget* widget, const TRect& r, const TButtonColors& colors, int state, int look)
{
    state = std::clamp(state, 0, 3);
    if (look == blkOwnColors) {
        OwnColorsRect(canvas, r, colors, state);
        return;
    }
    if (look == blkVisualStyles && Themed(canvas, widget, "button", tpButtonPush, state + 1, r)) return;
    DrawClassicButtonFrame(canvas, r, state == bdsPressed, look == blkClassicFlat);
}

void DrawThemedComboButton(TCanvas& canvas, QWidget* widget, const TRect& r, const TButtonColors& colors, int state, int look)
{
    state = std::clamp(state, 0, 3);
    TRect area = ComboButtonRect(r);
    if (look == blkOwnColors) {
        area.Left += 3;
        OwnColorsRect(canvas, area, colors, state);
        Line(canvas, colors.Line, area.Left + 1, area.Top, area.Left + 1, area.Bottom);
        if (colors.Arrow != clNone) {
            canvas.SetPenStyle(TPenStyle::Solid);
            canvas.SetPenColor(colors.Arrow);
            canvas.SetBrushStyle(TBrushStyle::Solid);
            canvas.SetBrushColor(colors.Arrow);
            canvas.Polygon({QPoint(area.Left + 5, area.Top + 8), QPoint(area.Left + 11, area.Top + 8), QPoint(area.Left + 8, area.Top + 11)});
        }
        return;
    }
    const bool disabled = state == bdsDisabled;
    if (look == blkVisualStyles && Themed(canvas, widget, "combobox", tpComboDropDown, disabled ? thsDisabled : thsNormal, area)) return;
    // The classic combo button knows no pressed look: only disabled changes it.
    DrawClassicButtonFrame(canvas, area, false, look == blkClassicFlat);
    ClassicArrow(canvas, area, false, disabled);
}

void DrawThemedSpinButtons(TCanvas& canvas, QWidget* widget, const TRect& r, const TButtonColors& colors, int state, int look)
{
    state = std::clamp(state, 0, 3);
    const TRect area = SpinButtonsRect(r);
    const auto [up, down] = SpinButtonHalves(area);
    const bool disabled = state == bdsDisabled;
    if (look == blkOwnColors) {
        OwnColorsRect(canvas, up, colors, state);
        OwnColorsRect(canvas, down, colors, state);
        ArrowGlyph(canvas, up, true, colors.Arrow);
        ArrowGlyph(canvas, down, false, colors.Arrow);
        return;
    }
    if (look == blkVisualStyles) {
        if (TThemeData* theme = OpenThemeData(widget, QStringLiteral("spin"))) {
            const int s = disabled ? thsDisabled : thsNormal;
            DrawThemeBackground(theme, canvas, tpSpinUp, s, up);
            DrawThemeBackground(theme, canvas, tpSpinDown, s, down);
            CloseThemeData(theme);
            return;
        }
    }
    for (const auto& [half, isUp] : {std::pair{up, true}, std::pair{down, false}}) {
        DrawClassicButtonFrame(canvas, half, false, look == blkClassicFlat);
        ClassicArrow(canvas, half, isUp, disabled);
    }
}

// ---- Layered windows ---------------------------------------------------------

bool CallSetLayeredWindowAttributes(QWidget* window, TColor, int alpha, int flags)
{
    if (window && (flags & 2)) window->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
    return true;
}

bool CallUpdateLayeredWindow(QWidget*) { return true; }
