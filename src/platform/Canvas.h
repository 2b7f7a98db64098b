#pragma once
// TCanvas: the drawing surface every control paints on, over a QPainter.
//
// The rules every painter of the program relies on:
// - antialiasing is off for lines and shapes, so a pixel is either painted or
//   not (text keeps the font's smoothing);
// - a rectangle TRect(l, t, r, b) covers the pixels l..r-1 and t..b-1;
// - a line from (x0, y0) to (x1, y1) paints its first pixel but not its last,
//   and the pen position moves to the end point;
// - colours are TColor values (0x00BBGGRR, system colours, clNone), turned
//   into QColor only here, through ColorToQColor; a brush or pen of clNone
//   paints nothing.
// Text background: text is drawn on a filled background only while the
// background mode is opaque and the brush is solid; otherwise transparently.
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <memory>
#include <vector>

enum class TBrushStyle { Solid, Clear };
enum class TPenStyle { Solid, Dash, Dot, Clear };
enum class TBkMode { Opaque, Transparent };
// How logical units map to the device: mmText one unit a device pixel, y
// downwards; mmLoMetric one unit 0.1 mm, y upwards (positions below the
// origin are negative), converted with the device's resolution.
enum class TMapMode { mmText, mmLoMetric };

// Flags of TCanvas::DrawText (combine with |).
enum TTextFormat : unsigned {
    tfLeft = 0,
    tfTop = 0,
    tfCenter = 0x1,      // horizontally centred
    tfRight = 0x2,       // right aligned
    tfVCenter = 0x4,     // vertically centred (single line)
    tfBottom = 0x8,      // bottom aligned (single line)
    tfWordBreak = 0x10,  // wrap at word boundaries within the rectangle's width
    tfSingleLine = 0x20, // line breaks are not honoured
    tfNoClip = 0x100,    // draw beyond the rectangle
    tfCalcRect = 0x400,  // measure only: the rectangle's right and bottom are set to the text's extent
    tfNoPrefix = 0x800,  // '&' is an ordinary character (otherwise it underlines the next one)
    tfEndEllipsis = 0x8000, // a line too long is cut with "..."
};

// One row of a filled shape: the pixels Left..Right (Right < Left: none).
struct TSpan {
    int Left;
    int Right;
    bool operator==(const TSpan&) const = default;
};
// The rows of a rectangle with elliptic corners of cornerW x cornerH pixels
// (the whole size: an ellipse), one span per row from r.Top down. The shape
// is symmetric about both axes of r.
std::vector<TSpan> RoundRectSpans(const TRect& r, int cornerW, int cornerH);

class TCanvas {
public:
    // Paints on `device` through a painter of its own.
    explicit TCanvas(QPaintDevice* device);
    // Paints through the caller's painter (its antialiasing is switched off).
    explicit TCanvas(QPainter& painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QPainter& Painter() { return *m_painter; }
    // The image painted on, when the canvas paints on a QImage; else null.
    QImage* Image() const { return m_image; }

    // Brush: fills of FillRect, Rectangle, Ellipse, Polygon and text backgrounds.
    TColor BrushColor() const { return m_brushColor; }
    void SetBrushColor(TColor c) { m_brushColor = c; }
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    void SetBrushStyle(TBrushStyle s) { m_brushStyle = s; }

    // Pen: lines and outlines.
    TColor PenColor() const { return m_penColor; }
    void SetPenColor(TColor c) { m_penColor = c; }
    int PenWidth() const { return m_penWidth; }
    void SetPenWidth(int w) { m_penWidth = w < 1 ? 1 : w; }
    TPenStyle PenStyle() const { return m_penStyle; }
    void SetPenStyle(TPenStyle s) { m_penStyle = s; }

    // Font and its colour; the escapement turns text counter-clockwise in
    // tenths of a degree (900 = upward).
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& f) { m_font = f; }
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor c) { m_fontColor = c; }
    int FontEscapement() const { return m_escapement; }
    void SetFontEscapement(int tenths) { m_escapement = tenths; }
    void SetFontBold(bool bold) { m_font.setBold(bold); }

    TBkMode BkMode() const { return m_bkMode; }
    void SetBkMode(TBkMode m) { m_bkMode = m; }

    // Lines.
    QPoint PenPos() const { return m_penPos; }
    void MoveTo(int x, int y) { m_penPos = QPoint(x, y); }
    void LineTo(int x, int y);
    // Lines through the points, each leaving out its end pixel as LineTo
    // does; the pen position is not used or moved.
    void Polyline(const std::vector<QPoint>& points);

    // Areas.
    void FillRect(const TRect& r);          // the brush over r (no outline)
    void FrameRect(const TRect& r);         // a 1-pixel frame along r's border in the brush colour
    void Rectangle(const TRect& r);         // outline in the pen, inside in the brush
    void Rectangle(int l, int t, int r, int b) { Rectangle(TRect{l, t, r, b}); }
    void RoundRect(const TRect& r, int cornerW, int cornerH);
    void Ellipse(const TRect& r);
    void Polygon(const std::vector<QPoint>& points);
    void SetPixel(int x, int y, TColor c);
    // The colour of a pixel (only on a canvas over a QImage; clNone elsewhere
    // or outside the image).
    TColor Pixel(int x, int y) const;

    // Text.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    QSize TextExtent(const QString& text) const;
    // Text with its top-left corner at (x, y).
    void TextOut(int x, int y, const QString& text);
    // Text at (x, y), clipped to r; the background of r is filled as for TextOut.
    void TextRect(const TRect& r, int x, int y, const QString& text);
    // Formatted text in r (see TTextFormat). With tfCalcRect nothing is
    // drawn and r.Right / r.Bottom receive the extent. Returns the text height.
    int DrawText(const QString& text, TRect& r, unsigned flags);

    // Pictures.
    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& r, const QImage& image);
    // Draws `image` at (x, y) leaving out every pixel of `transparent`.
    void DrawTransparent(int x, int y, const QImage& image, TColor transparent);

    // Clipping: every drawing is limited to the clip region while one is set.
    void SetClipRect(const TRect& r);
    void SetClipRegion(const QRegion& region);
    void IntersectClipRect(const TRect& r);
    void RemoveClip();
    bool HasClip() const;
    QRegion ClipRegion() const;

    // The mapping mode. Drawing calls still take device pixels; a painter that
    // works in low-metric units converts its positions, sizes and font
    // heights with the routines below (text stays upright: only positions
    // are mirrored). The viewport origin is the device point of logical (0, 0).
    TMapMode MapMode() const { return m_mapMode; }
    void SetMapMode(TMapMode m) { m_mapMode = m; }
    QPoint ViewportOrg() const { return m_viewportOrg; }
    void SetViewportOrg(QPoint p) { m_viewportOrg = p; }
    // Device pixels per inch of the painted device (96 without one).
    int DpiX() const;
    int DpiY() const;
    QPoint LPtoDP(QPoint p) const;
    QPoint DPtoLP(QPoint p) const;
    // A logical rectangle as the device rectangle it covers (normalised:
    // Top above Bottom on the device), and back (Top above Bottom in
    // low-metric units means Top > Bottom).
    TRect LPtoDP(const TRect& r) const;
    TRect DPtoLP(const TRect& r) const;
    // A length in logical units as device pixels (horizontal or vertical).
    int LenToDevX(int len) const;
    int LenToDevY(int len) const;
    int LenToLogX(int len) const;
    int LenToLogY(int len) const;

    // Keeps and restores pen, brush, font, background mode and clip.
    void Save();
    void Restore();

private:
    struct State;
    void PaintPixelsOfLine(int x0, int y0, int x1, int y1);
    QPen QtPen() const;
    bool PenVisible() const { return m_penStyle != TPenStyle::Clear && m_penColor != clNone; }
    bool BrushVisible() const { return m_brushStyle != TBrushStyle::Clear && m_brushColor != clNone; }
    bool TextBackground() const { return m_bkMode == TBkMode::Opaque && BrushVisible(); }
    int QtTextFlags(unsigned flags) const;

    std::unique_ptr<QPainter> m_own;
    QPainter* m_painter = nullptr;
    QImage* m_image = nullptr;

    TColor m_brushColor = clWhite;
    TBrushStyle m_brushStyle = TBrushStyle::Solid;
    TColor m_penColor = clBlack;
    int m_penWidth = 1;
    TPenStyle m_penStyle = TPenStyle::Solid;
    QFont m_font;
    TColor m_fontColor = clWindowText;
    int m_escapement = 0;
    TBkMode m_bkMode = TBkMode::Opaque;
    QPoint m_penPos;
    std::vector<State> m_saved;
    TMapMode m_mapMode = TMapMode::mmText;
    QPoint m_viewportOrg;
};
