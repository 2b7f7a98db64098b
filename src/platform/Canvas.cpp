#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

struct TCanvas::State {
    TColor brushColor;
    TBrushStyle brushStyle;
    TColor penColor;
    int penWidth;
    TPenStyle penStyle;
    QFont font;
    TColor fontColor;
    int escapement;
    TBkMode bkMode;
};

namespace {
void Prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
}
} // namespace

std::vector<TSpan> RoundRectSpans(const TRect& r, int cornerW, int cornerH)
{
    std::vector<TSpan> spans;
    if (r.IsEmpty()) return spans;
    const int w = r.Width(), h = r.Height();
    cornerW = std::clamp(cornerW, 0, w);
    cornerH = std::clamp(cornerH, 0, h);
    spans.assign(h, TSpan{r.Left, r.Right - 1});
    if (cornerW <= 1 || cornerH <= 1) return spans;
    // The corner ellipse passes through the centres of the outermost pixels:
    // radii (size - 1) / 2 about the centre of the corner's pixels.
    const double a = (cornerW - 1) / 2.0, b = (cornerH - 1) / 2.0;
    constexpr double eps = 1e-9;
    // How far the curve lies in from the edge at a distance d from the
    // corner ellipse's centre line, rounded to the nearest pixel; the far
    // side is the mirror image.
    auto inset = [](double radius, double otherRadius, double d) {
        const double q = d / otherRadius;
        const double extent = q >= 1 ? 0 : radius * std::sqrt(1 - q * q);
        return int(std::floor(radius - extent + 0.5 + eps));
    };
    // An inset that leaves nothing keeps the middle pixel (or the middle two).
    auto keepMiddle = [](int size, int in) { return in <= size - 1 - in ? in : (size - 1) / 2; };
    // Rows: how far each row starts in from the left.
    std::vector<int> rowIn(h, 0), colIn(w, 0);
    for (int i = 0; i < h; ++i) {
        const double d = std::max({0.0, b - i, i - (h - 1 - b)});
        rowIn[i] = d <= 0 ? 0 : keepMiddle(w, inset(a, b, d));
    }
    // Columns: how far each column starts down from the top. Where the curve
    // runs flat the columns decide, where it runs steep the rows.
    for (int j = 0; j < w; ++j) {
        const double d = std::max({0.0, a - j, j - (w - 1 - a)});
        colIn[j] = d <= 0 ? 0 : keepMiddle(h, inset(b, a, d));
    }
    for (int i = 0; i < h; ++i) {
        int left = rowIn[i];
        while (left > 0 && colIn[left - 1] <= std::min(i, h - 1 - i)) --left;
        spans[i] = TSpan{r.Left + left, r.Right - 1 - left};
    }
    return spans;
}

TCanvas::TCanvas(QPaintDevice* device) : m_own(std::make_unique<QPainter>(device)), m_painter(m_own.get())
{
    if (device && device->devType() == QInternal::Image) m_image = static_cast<QImage*>(device);
    Prepare(*m_painter);
    m_font = m_painter->font();
}

TCanvas::TCanvas(QPainter& painter) : m_painter(&painter)
{
    QPaintDevice* device = painter.device();
    if (device && device->devType() == QInternal::Image) m_image = static_cast<QImage*>(device);
    m_painter->save();
    Prepare(*m_painter);
    m_font = m_painter->font();
}

TCanvas::~TCanvas()
{
    // Unbalanced Save calls are undone so the caller's painter is left as it came.
    while (!m_saved.empty()) Restore();
    if (!m_own) m_painter->restore();
}

QPen TCanvas::QtPen() const
{
    QPen pen(ColorToQColor(m_penColor));
    pen.setWidth(m_penWidth == 1 ? 0 : m_penWidth); // width 0: one-pixel cosmetic pen
    switch (m_penStyle) {
    case TPenStyle::Solid: pen.setStyle(Qt::SolidLine); break;
    case TPenStyle::Dash: pen.setStyle(Qt::DashLine); break;
    case TPenStyle::Dot: pen.setStyle(Qt::DotLine); break;
    case TPenStyle::Clear: pen.setStyle(Qt::NoPen); break;
    }
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// One-pixel lines are drawn pixel by pixel so that the end pixel is left out
// exactly and the result does not depend on the paint engine.
void TCanvas::PaintPixelsOfLine(int x0, int y0, int x1, int y1)
{
    const QColor c = ColorToQColor(m_penColor);
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    if (dy == 0 && m_penStyle == TPenStyle::Solid) { // horizontal span
        const int from = sx > 0 ? x0 : x1 + 1;
        m_painter->fillRect(QRect(from, y0, dx, 1), c);
        return;
    }
    if (dx == 0 && m_penStyle == TPenStyle::Solid) { // vertical span
        const int from = sy > 0 ? y0 : y1 + 1;
        m_painter->fillRect(QRect(x0, from, 1, -dy), c);
        return;
    }
    int err = dx + dy, x = x0, y = y0, n = 0;
    while (x != x1 || y != y1) {
        bool on = true;
        if (m_penStyle == TPenStyle::Dot) on = (n % 2) == 0;
        else if (m_penStyle == TPenStyle::Dash) on = (n % 8) < 6;
        if (on) m_painter->fillRect(QRect(x, y, 1, 1), c);
        ++n;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void TCanvas::LineTo(int x, int y)
{
    const QPoint from = m_penPos;
    m_penPos = QPoint(x, y);
    if (!PenVisible() || from == m_penPos) return;
    if (m_penWidth == 1) {
        PaintPixelsOfLine(from.x(), from.y(), x, y);
        return;
    }
    m_painter->setPen(QtPen());
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawLine(from, m_penPos);
}

void TCanvas::Polyline(const std::vector<QPoint>& points)
{
    if (points.empty()) return;
    const QPoint keep = m_penPos;
    MoveTo(points[0].x(), points[0].y());
    for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].x(), points[i].y());
    m_penPos = keep;
}

void TCanvas::FillRect(const TRect& r)
{
    if (r.IsEmpty() || !BrushVisible()) return;
    m_painter->fillRect(r.ToQRect(), ColorToQColor(m_brushColor));
}

void TCanvas::FrameRect(const TRect& r)
{
    if (r.IsEmpty() || !BrushVisible()) return;
    const QColor c = ColorToQColor(m_brushColor);
    m_painter->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    m_painter->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    m_painter->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    m_painter->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::Rectangle(const TRect& r)
{
    if (r.IsEmpty()) return;
    if (!PenVisible()) {
        FillRect(r);
        return;
    }
    const int w = std::min({m_penWidth, (r.Width() + 1) / 2, (r.Height() + 1) / 2});
    FillRect(r.Inflated(-w, -w));
    const QColor c = ColorToQColor(m_penColor);
    if (m_penStyle == TPenStyle::Solid) {
        m_painter->fillRect(QRect(r.Left, r.Top, r.Width(), w), c);
        m_painter->fillRect(QRect(r.Left, r.Bottom - w, r.Width(), w), c);
        m_painter->fillRect(QRect(r.Left, r.Top, w, r.Height()), c);
        m_painter->fillRect(QRect(r.Right - w, r.Top, w, r.Height()), c);
        return;
    }
    const QPoint keep = m_penPos;
    MoveTo(r.Left, r.Top);
    LineTo(r.Right - 1, r.Top);
    LineTo(r.Right - 1, r.Bottom - 1);
    LineTo(r.Left, r.Bottom - 1);
    LineTo(r.Left, r.Top);
    m_penPos = keep;
}

void TCanvas::RoundRect(const TRect& r, int cornerW, int cornerH)
{
    if (r.IsEmpty()) return;
    if (PenVisible() && (m_penWidth != 1 || m_penStyle != TPenStyle::Solid)) {
        // Wide or broken outlines: the paint engine strokes them.
        m_painter->setPen(QtPen());
        m_painter->setBrush(BrushVisible() ? QBrush(ColorToQColor(m_brushColor)) : QBrush(Qt::NoBrush));
        m_painter->drawRoundedRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), cornerW / 2.0, cornerH / 2.0);
        return;
    }
    const std::vector<TSpan> spans = RoundRectSpans(r, cornerW, cornerH);
    const bool pen = PenVisible(), brush = BrushVisible();
    const QColor penColor = ColorToQColor(m_penColor), brushColor = ColorToQColor(m_brushColor);
    const int n = int(spans.size());
    for (int i = 0; i < n; ++i) {
        const TSpan& s = spans[i];
        const int y = r.Top + i;
        if (s.Right < s.Left) continue;
        if (!pen) {
            if (brush) m_painter->fillRect(QRect(s.Left, y, s.Right - s.Left + 1, 1), brushColor);
            continue;
        }
        // A pixel is on the outline when one of its four neighbours lies outside.
        int inL = s.Left + 1, inR = s.Right - 1;
        if (i == 0 || i == n - 1) {
            inL = s.Right + 1;
            inR = s.Left - 1;
        } else {
            inL = std::max({inL, spans[i - 1].Left, spans[i + 1].Left});
            inR = std::min({inR, spans[i - 1].Right, spans[i + 1].Right});
        }
        if (inL > inR) {
            m_painter->fillRect(QRect(s.Left, y, s.Right - s.Left + 1, 1), penColor);
            continue;
        }
        m_painter->fillRect(QRect(s.Left, y, inL - s.Left, 1), penColor);
        m_painter->fillRect(QRect(inR + 1, y, s.Right - inR, 1), penColor);
        if (brush) m_painter->fillRect(QRect(inL, y, inR - inL + 1, 1), brushColor);
    }
}

void TCanvas::Ellipse(const TRect& r) { RoundRect(r, r.Width(), r.Height()); }

void TCanvas::Polygon(const std::vector<QPoint>& points)
{
    if (points.size() < 2) return;
    const QPolygon poly(QList<QPoint>(points.begin(), points.end()));
    if (BrushVisible()) {
        // A pixel is filled when its centre lies inside; the vertices are
        // pixel centres, as for the outline, so the fill stays within it.
        QPolygonF centres;
        for (const QPoint& p : points) centres << QPointF(p.x() + 0.5, p.y() + 0.5);
        m_painter->setPen(QPen(Qt::NoPen));
        m_painter->setBrush(QBrush(ColorToQColor(m_brushColor)));
        m_painter->drawPolygon(centres);
    }
    if (PenVisible()) {
        if (m_penWidth == 1) {
            std::vector<QPoint> closed = points;
            closed.push_back(points.front());
            Polyline(closed);
        } else {
            m_painter->setPen(QtPen());
            m_painter->setBrush(Qt::NoBrush);
            m_painter->drawPolygon(poly);
        }
    }
}

void TCanvas::SetPixel(int x, int y, TColor c)
{
    if (c == clNone) return;
    m_painter->fillRect(QRect(x, y, 1, 1), ColorToQColor(c));
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (!m_image || !m_image->valid(x, y)) return clNone;
    return QColorToColor(QColor::fromRgb(m_image->pixel(x, y)));
}

int TCanvas::TextWidth(const QString& text) const { return QFontMetrics(m_font).horizontalAdvance(text); }

int TCanvas::TextHeight(const QString& text) const { return QFontMetrics(m_font).height(); }

QSize TCanvas::TextExtent(const QString& text) const { return QSize(TextWidth(text), TextHeight(text)); }

void TCanvas::TextOut(int x, int y, const QString& text)
{
    const QFontMetrics fm(m_font);
    m_painter->save();
    m_painter->translate(x, y);
    if (m_escapement != 0) m_painter->rotate(-m_escapement / 10.0);
    if (TextBackground()) m_painter->fillRect(QRect(0, 0, fm.horizontalAdvance(text), fm.height()), ColorToQColor(m_brushColor));
    m_painter->setFont(m_font);
    m_painter->setPen(ColorToQColor(m_fontColor));
    m_painter->drawText(QPoint(0, fm.ascent()), text);
    m_painter->restore();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text)
{
    m_painter->save();
    m_painter->setClipRect(r.ToQRect(), Qt::IntersectClip);
    if (TextBackground()) m_painter->fillRect(r.ToQRect(), ColorToQColor(m_brushColor));
    const TBkMode keep = m_bkMode;
    m_bkMode = TBkMode::Transparent;
    TextOut(x, y, text);
    m_bkMode = keep;
    m_painter->restore();
}

int TCanvas::QtTextFlags(unsigned flags) const
{
    int f = 0;
    if (flags & tfRight) f |= Qt::AlignRight;
    else if (flags & tfCenter) f |= Qt::AlignHCenter;
    else f |= Qt::AlignLeft;
    if (flags & tfVCenter) f |= Qt::AlignVCenter;
    else if (flags & tfBottom) f |= Qt::AlignBottom;
    else f |= Qt::AlignTop;
    if (flags & tfWordBreak) f |= Qt::TextWordWrap;
    if (flags & tfSingleLine) f |= Qt::TextSingleLine;
    if (flags & tfNoClip) f |= Qt::TextDontClip;
    if (!(flags & tfNoPrefix)) f |= Qt::TextShowMnemonic;
    return f;
}

int TCanvas::DrawText(const QString& text, TRect& r, unsigned flags)
{
    const QFontMetrics fm(m_font);
    if (flags & tfCalcRect) {
        // An empty text has no extent.
        if (text.isEmpty()) {
            r.Right = r.Left;
            r.Bottom = r.Top;
            return 0;
        }
        const int width = (flags & tfWordBreak) ? std::max(r.Width(), 1) : INT_MAX / 4;
        const int f = QtTextFlags(flags) & ~(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask);
        const QRect br = fm.boundingRect(QRect(0, 0, width, INT_MAX / 4), f | Qt::AlignLeft | Qt::AlignTop, text);
        r.Right = r.Left + br.width();
        r.Bottom = r.Top + br.height();
        return br.height();
    }
    QString shown = text;
    if ((flags & tfEndEllipsis) && !(flags & tfWordBreak)) shown = fm.elidedText(text, Qt::ElideRight, r.Width(), QtTextFlags(flags));
    const QRect br = fm.boundingRect(r.ToQRect(), QtTextFlags(flags), shown);
    if (TextBackground()) m_painter->fillRect(br.intersected(r.ToQRect()), ColorToQColor(m_brushColor));
    m_painter->setFont(m_font);
    m_painter->setPen(ColorToQColor(m_fontColor));
    m_painter->drawText(r.ToQRect(), QtTextFlags(flags), shown);
    return text.isEmpty() ? 0 : br.height();
}

void TCanvas::Draw(int x, int y, const QImage& image)
{
    if (!image.isNull()) m_painter->drawImage(QPoint(x, y), image);
}

void TCanvas::StretchDraw(const TRect& r, const QImage& image)
{
    if (!image.isNull() && !r.IsEmpty()) m_painter->drawImage(r.ToQRect(), image);
}

void TCanvas::DrawTransparent(int x, int y, const QImage& image, TColor transparent)
{
    if (image.isNull()) return;
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorToQColor(transparent).rgb() & 0xFFFFFF;
    for (int row = 0; row < copy.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(row));
        for (int col = 0; col < copy.width(); ++col)
            if ((line[col] & 0xFFFFFF) == key) line[col] = 0;
    }
    m_painter->drawImage(QPoint(x, y), copy);
}

void TCanvas::SetClipRect(const TRect& r) { m_painter->setClipRect(r.ToQRect(), Qt::ReplaceClip); }

void TCanvas::SetClipRegion(const QRegion& region) { m_painter->setClipRegion(region, Qt::ReplaceClip); }

void TCanvas::IntersectClipRect(const TRect& r)
{
    m_painter->setClipRect(r.ToQRect(), m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TCanvas::RemoveClip() { m_painter->setClipping(false); }

bool TCanvas::HasClip() const { return m_painter->hasClipping(); }

QRegion TCanvas::ClipRegion() const { return m_painter->hasClipping() ? m_painter->clipRegion() : QRegion(); }

void TCanvas::Save()
{
    m_saved.push_back({m_brushColor, m_brushStyle, m_penColor, m_penWidth, m_penStyle, m_font, m_fontColor, m_escapement, m_bkMode});
    m_painter->save();
}

void TCanvas::Restore()
{
    if (m_saved.empty()) return;
    const State s = m_saved.back();
    m_saved.pop_back();
    m_brushColor = s.brushColor;
    m_brushStyle = s.brushStyle;
    m_penColor = s.penColor;
    m_penWidth = s.penWidth;
    m_penStyle = s.penStyle;
    m_font = s.font;
    m_fontColor = s.fontColor;
    m_escapement = s.escapement;
    m_bkMode = s.bkMode;
    m_painter->restore();
}

// ---------------------------------------------------------------------------
// Mapping modes

int TCanvas::DpiX() const
{
    const QPaintDevice* d = m_painter->device();
    return d && d->logicalDpiX() > 0 ? d->logicalDpiX() : 96;
}

int TCanvas::DpiY() const
{
    const QPaintDevice* d = m_painter->device();
    return d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 96;
}

namespace {
int MulDivRound(int v, int m, int d) { return int(std::lround(double(v) * m / d)); }
} // namespace

int TCanvas::LenToDevX(int len) const
{
    return m_mapMode == TMapMode::mmText ? len : MulDivRound(len, DpiX(), 254);
}

int TCanvas::LenToDevY(int len) const
{
    return m_mapMode == TMapMode::mmText ? len : MulDivRound(len, DpiY(), 254);
}

int TCanvas::LenToLogX(int len) const
{
    return m_mapMode == TMapMode::mmText ? len : MulDivRound(len, 254, DpiX());
}

int TCanvas::LenToLogY(int len) const
{
    return m_mapMode == TMapMode::mmText ? len : MulDivRound(len, 254, DpiY());
}

QPoint TCanvas::LPtoDP(QPoint p) const
{
    if (m_mapMode == TMapMode::mmText) return p + m_viewportOrg;
    return m_viewportOrg + QPoint(LenToDevX(p.x()), -LenToDevY(p.y()));
}

QPoint TCanvas::DPtoLP(QPoint p) const
{
    const QPoint d = p - m_viewportOrg;
    if (m_mapMode == TMapMode::mmText) return d;
    return QPoint(LenToLogX(d.x()), -LenToLogY(d.y()));
}

TRect TCanvas::LPtoDP(const TRect& r) const
{
    const QPoint a = LPtoDP(QPoint(r.Left, r.Top)), b = LPtoDP(QPoint(r.Right, r.Bottom));
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

TRect TCanvas::DPtoLP(const TRect& r) const
{
    const QPoint a = DPtoLP(QPoint(r.Left, r.Top)), b = DPtoLP(QPoint(r.Right, r.Bottom));
    return {a.x(), a.y(), b.x(), b.y()};
}
