#pragma once
// Drawing routines of the grid family: gradients and mirrored gradients, the
// bevelled face of selected cells, colour arithmetic, cell decorations
// (progress bars, bar graphs, pies, shapes, a red zig-zag underline),
// transparent bitmaps, the small triangle of drop buttons, and push, combo
// and spin buttons in four looks.
//
// They draw on a canvas handed in by the caller and keep no state. Where the
// geometry is more than a rectangle it is computed by a pure function first
// (the ...Bands / ...Blocks / ...Points functions), which the drawing routine
// then paints.
//
// Colours: system colours are resolved before any arithmetic; clNone switches
// the part that uses it off. nearest(x) below rounds halves to even.
#include "controls/ExtStyleIF.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <vector>

class QWidget;

// ---- Gradients -------------------------------------------------------------

// One band of a stepped gradient.
struct TColorBand {
    TColor Color;
    TRect Rect;
    bool operator==(const TColorBand&) const = default;
};

// The bands of FillGradientRect: steps + 1 bands from `color` to `colorTo`,
// across the width (horizontal) or the height. Steps are cut to the length
// less one and raised to at least 1. Empty when the rectangle has no height.
std::vector<TColorBand> GradientBands(TColor color, TColor colorTo, bool horizontal, const TRect& r, int steps);

// A stepped two-colour gradient over r. With one colour clNone the other
// fills r; with both clNone nothing is drawn.
void FillGradientRect(TCanvas& canvas, TColor color, TColor colorTo, bool horizontal, const TRect& r, int steps);

// A solid, gradient or two-part (mirrored) face with an optional frame.
// Without a mirror colour: a solid fill (one pixel taller) when colorTo is
// clNone, else a 128-step gradient color -> colorTo (across the width when
// not vertical). With a mirror colour the face is cut in halves (top and
// bottom when vertical, else left and right): color -> colorTo, then
// mirrorColor -> mirrorColorTo. A border colour draws the frame, or with
// sidesOnly just its left and right lines.
void DrawMirrorGradient(TCanvas& canvas, const TRect& r, TColor color, bool fill, bool sidesOnly, TColor borderColor, bool vertical,
                        TColor mirrorColorTo, TColor mirrorColor, TColor colorTo);

// Part of a multi-cell selection for DrawBevelTabFace.
enum TBevelPart { bpSingle = 0, bpLeft = 1, bpRight = 2, bpMiddle = 3 };

// The bevelled selection face of a cell: top and bottom lines, a frame with
// rounded corners at the ends of the selection, and a face of one or two
// 16-step gradients.
void DrawBevelTabFace(TCanvas& canvas, TColor color, TColor colorTo, TColor mirrorColor, TColor mirrorColorTo, TColor topLineColor,
                      TColor bottomLineColor, TColor frameColor, TColor cornerColor, TColor cornerBackground, const TRect& r, int part);

// ---- Colour arithmetic -----------------------------------------------------

// The colour at `position` of the range first..last from color to colorTo:
// c + nearest((t - c) / (last - first) * position) per channel, clamped to
// 0..255. colorTo clNone, or an empty range, gives color.
TColor BlendColorStep(TColor color, TColor colorTo, int first, int position, int last);
// Each channel halved.
TColor HalveColor(TColor color);
// Each channel c changed to nearest(c + percent * c / 100), clamped to 0..255.
TColor ScaleColorPercent(TColor color, int percent);

// ---- Progress bars, bar graphs, pies --------------------------------------

// Direction of a progress bar (vertical bars grow upward).
enum TProgressBarDirection { pbdHorizontal, pbdVertical };

// What a progress bar looks like (filled from the grid's progress appearance).
struct TProgressSettings {
    TColor CompleteColor = clRed;
    TColor UnCompleteColor = clWindow;
    TColor CompleteFontColor = clBlue;
    TColor UnCompleteFontColor = clWindowText;
    bool Stacked = false;
    bool ShowPercentage = true;
    bool ShowBorder = false;
    bool CompletionSmooth = true;
    bool ShowGradient = false;
    int Level1Perc = 70;
    int Level2Perc = 90;
    int Steps = 11;
    TColor LevelColor[4] = {clLime, clYellow, RGBColor(255, 128, 0), clRed};
    TColor LevelColorTo[4] = {clNone, clNone, clNone, clNone};
    TColor BorderColor = clGray;
    TProgressBarDirection Style = pbdHorizontal;
    QFont Font; // of the percentage text
};

// One filled stretch of a progress bar: a rectangle and the level colour pair.
struct TProgressBlock {
    TRect Rect;
    int Level; // 0..3
    bool operator==(const TProgressBlock&) const = default;
};

// The filled stretches of DrawCellProgressBar for percentage p in cell r.
// The bar runs inside the cell's 1-pixel frame (length width - 2, or height
// - 2 growing upward for a vertical bar). Percentages are taken within 0..100.
std::vector<TProgressBlock> ProgressBarBlocks(const TRect& r, int p, const TProgressSettings& s);

// The pixel extents (offset from the bar's start, length) of the blocks of a
// filled length t: blocks of 7 with 2-pixel gaps, starting 2 pixels in.
std::vector<std::pair<int, int>> ProgressSegments(int t);

// A progress bar with an optional percentage text (the percentage as given,
// though the bar stops at its ends).
void DrawCellProgressBar(TCanvas& canvas, const TRect& r, int p, const TProgressSettings& s);

// Colours of DrawCellProgressBarFmt.
struct TProgressFmtColors {
    TColor Bar = clHighlight;            // the filled part
    TColor BarText = clHighlightText;    // the text over it
    TColor Background = clWindow;        // the rest, and the inner frame unless clNone
    TColor BackgroundText = clWindowText; // the text over the rest
};

// The text and the percentage of DrawCellProgressBarFmt: with a format
// (one printf-style conversion) the value formatted as an integer when the
// format holds "d" or "u", else as a floating-point number, and the
// percentage of minimum..maximum; without, nearest(value) + "%" and the value
// itself. The percentage is cut to 0..100; an empty range gives 0.
struct TProgressText {
    QString Text;
    int Percentage;
};
TProgressText ProgressFmtText(const QString& format, double minimum, double maximum, double value);
// A printf-style format of one conversion (d, i, u, x, X, f, e, E, g, G with
// flags, width and precision; "%%" for a percent sign) applied to `value`.
// Anything it does not understand is copied as it stands.
QString FormatProgressValue(const QString& format, double value);

// A bar in margins of r with its value text: the text clipped to the bar in
// the bar's text colour and to the rest in the other; framed in the
// background colour and, 1 pixel further out, in the brush colour the canvas
// had on entry.
void DrawCellProgressBarFmt(TCanvas& canvas, const TRect& r, const TProgressFmtColors& colors, const QString& format, double minimum,
                            double maximum, int marginX, int marginY, double value);

// The bar of DrawCellBarGraph: from the centre of r (less 2 pixels all
// round) to the right for a value >= 0, to the left below 0, scaled so that
// +-maximum reach the edge. Empty for a maximum <= 0.
TRect BarGraphRect(const TRect& r, double value, double maximum);
void DrawCellBarGraph(TCanvas& canvas, const TRect& r, double value, TColor positiveColor, TColor negativeColor, bool showValue,
                      double maximum);

// The end of the pie's hand for percentage p: clockwise from 12 o'clock.
QPoint PieHandEnd(const TRect& r, double p);
// The sector of the pie as a polygon: the centre and points beyond the rim
// from 12 o'clock clockwise to the hand.
std::vector<QPoint> PieSectorPolygon(const TRect& r, double p);
// The filled part of the pie, as 1-pixel-high runs: the area bounded by the
// gray outline (ellipse, 12 o'clock line and hand) that holds the point just
// right of the 12 o'clock line 2 pixels below the top (the sector from 12
// o'clock clockwise to the hand), or with `outside` the point 2 pixels above
// the top (the parts of r outside the ellipse). It never leaves r, and the
// outline's own pixels stay out. Empty at 0 %.
std::vector<TRect> PieFillRuns(const TRect& r, double p, bool outside);
// A gray ellipse over r with a line from 12 o'clock to the centre and the
// hand, and PieFillRuns filled with fillColor.
void DrawCellPie(TCanvas& canvas, const TRect& r, TColor fillColor, bool outside, double p);

// ---- Shapes ------------------------------------------------------------------

enum TCellShape {
    csRectangle,
    csCircle,
    csTriangleLeft,
    csTriangleRight,
    csTriangleUp,
    csTriangleDown,
    csDiamond,
    csLineVert,
    csLineHorz,
    csRoundRect,
    csEllips,
    csSquare,
    csRoundSquare,
    csStar,
    csArrowUp,
    csArrowDown,
    csArrowLeft,
    csArrowRight,
    csHalfStar
};

// How a shape is drawn: a rectangle, an ellipse, a rectangle with 10 x 10
// corners, or a polygon.
struct TShapeGeometry {
    enum Kind { Rectangle, Ellipse, RoundRect, Polygon } kind = Rectangle;
    TRect Rect;
    std::vector<QPoint> Points;
};
// The geometry of `shape` at (x, y) with height a and width b (both the
// smaller of the two for csCircle, csSquare and csRoundSquare).
TShapeGeometry CellShapeGeometry(TCellShape shape, int x, int y, int a, int b);
void DrawCellShape(TCanvas& canvas, int x, int y, TColor penColor, TColor brushColor, TCellShape shape, int a, int b);

// ---- Underline, bitmaps, small triangle ------------------------------------

// The zig-zag from x0 to x1 on base line y: 3 pixels per segment, between 0
// and 3 pixels below the line, plus one closing segment.
std::vector<QPoint> SquigglePoints(int x0, int x1, int y);
// A red zig-zag under the characters start..start+length-1 of `text` (as a
// single-line edit of `owner`'s font, else the canvas font, places them)
// drawn in r, `offset` pixels below the text's top.
void DrawSpellErrorSquiggle(QWidget* owner, TCanvas& canvas, const QString& text, int length, int start, int offset, const TRect& r);

// The bitmap at r's top-left corner with every pixel of its top-left pixel's
// colour replaced by the background colour.
void DrawBitmapTransparent(TCanvas& canvas, const QImage& bitmap, TColor background, const TRect& r);
// The picture of the program's resources named `name` (":/name", ":/name.png"
// or ":/name.bmp"), drawn by DrawBitmapTransparent; nothing when there is none.
void DrawResourceBitmap(TCanvas& canvas, TColor background, const TRect& r, const QString& name);

// A filled triangle (x - 3, y), (x + 3, y), (x, y + 3).
void DrawSmallDownTriangle(TCanvas& canvas, int x, int y, TColor color);
void FillRectColor(TCanvas& canvas, const TRect& r, TColor color);

// ---- Buttons ---------------------------------------------------------------

enum TButtonDrawState { bdsNormal = 0, bdsHot = 1, bdsPressed = 2, bdsDisabled = 3 };
enum TButtonLook { blkVisualStyles = 0, blkClassic = 1, blkClassicFlat = 2, blkOwnColors = 3 };

// The caller's colours for the own-colours look: a brush and a pen colour
// per state, a line and an arrow colour.
struct TButtonColors {
    TColor Brush[4] = {clBtnFace, clBtnFace, clBtnShadow, clBtnFace};
    TColor Pen[4] = {clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow};
    TColor Line = clBtnShadow;
    TColor Arrow = clBtnText;
};

// The colours of a set of tones: normal from Foreground, hot from Hover,
// pressed from Selected, disabled from Disabled (brush and border colours);
// the line is Foreground's border colour, the arrow its text colour.
TButtonColors ButtonColorsFromTones(const TColorTones& tones);

// The button area of a combo button in r: the right 17 pixels, 1 pixel in
// from top and bottom, moved 2 pixels left.
TRect ComboButtonRect(const TRect& r);
// The area of the spin buttons: the right 15 pixels moved 1 pixel left and
// up; and its upper and lower halves.
TRect SpinButtonsRect(const TRect& r);
std::pair<TRect, TRect> SpinButtonHalves(const TRect& area);

// Without visual styles (or when the widget's theme cannot be opened) the
// visual-styles look falls back to the classic one.
void DrawThemedPushButton(TCanvas& canvas, QWidget* widget, const TRect& r, const TButtonColors& colors, int state, int look);
void DrawThemedComboButton(TCanvas& canvas, QWidget* widget, const TRect& r, const TButtonColors& colors, int state, int look);
void DrawThemedSpinButtons(TCanvas& canvas, QWidget* widget, const TRect& r, const TButtonColors& colors, int state, int look);

// The classic button frame: raised, sunken when pressed, one line when flat.
void DrawClassicButtonFrame(TCanvas& canvas, const TRect& r, bool pressed, bool flat);

// ---- Layered windows ---------------------------------------------------------

// Window opacity for the drop-down windows: with the alpha flag (2) the
// window becomes `alpha` / 255 opaque; a colour key (flag 1) is not
// supported here. True, as the platform reports when it has no such call.
bool CallSetLayeredWindowAttributes(QWidget* window, TColor key, int alpha, int flags);
// Per-pixel alpha updates of a window do not exist here: always true.
bool CallUpdateLayeredWindow(QWidget* window);
