#pragma once
// Printing of the string grid: the page composer and its page layout.
//
// Printing goes in two steps. The composer lays a cell range out on pages as
// plain data (TPrintLayout): column widths and offsets, column bands, page
// breaks, each page's rows with their y, the header and footer texts and
// their places, cell rectangles, texts and lines. It measures text only
// through a TPrintMeasurer, so the layout can be worked out without a window
// or a printer. DrawPrintPage then carries one page out on any canvas.
//
// Units: 0.1 mm, y upwards; the page's top edge is y = 0 and the rows lie
// below it at negative y (the low-metric mapping mode of TCanvas).
#include "grid/ExtGrid.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

// Text measuring in 0.1 mm for a font of the given height (0.1 mm; negative:
// character height, as MapFontHeight gives it).
class TPrintMeasurer {
public:
    virtual ~TPrintMeasurer() = default;
    virtual int TextWidth(const QFont& font, int height, const QString& text) = 0;
    virtual int TextHeight(const QFont& font, int height) = 0;
};

// Measures with Qt's font metrics at a device resolution (dots per inch).
class TDevicePrintMeasurer : public TPrintMeasurer {
public:
    explicit TDevicePrintMeasurer(int dpi) : FDpi(dpi > 0 ? dpi : 96) {}
    int TextWidth(const QFont& font, int height, const QString& text) override;
    int TextHeight(const QFont& font, int height) override;
    // The font sized in pixels of the given resolution for a height in 0.1 mm.
    static QFont DeviceFont(const QFont& font, int height, int dpi);

private:
    int FDpi;
};

// The kinds of pass of the composer.
enum TPrintPassKind : uint8_t { pkDrawPreview = 0, pkDrawPrint = 1, pkCountPrint = 2, pkCountPreview = 3 };

// A text drawn at its top-left corner.
struct TPrintText {
    QString Text;
    int X = 0;
    int Y = 0;
    bool Footer = false; // in the footer font, else the header font
};

// A line from (X0, Y0) to (X1, Y1).
struct TPrintLine {
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    TColor Color = clBlack;
    int Width = 1;
    Qt::PenStyle Style = Qt::SolidLine;
};

// One printed cell (Rect: Left, Top = the row's y, Right, Bottom below Top).
struct TPrintCell {
    int Col = 0; // display column
    int Row = 0;
    TRect Rect;
    bool Painted = false; // a base cell: background and text are drawn
    TRect FillRect;
    TColor Brush = clNone;
    TColor BrushTo = clNone; // second colour of a vertical gradient
    QStringList Lines;       // the text lines, each drawn in TextRect
    QFont Font;
    int FontHeight = 0; // 0.1 mm, negative
    TColor FontColor = clBlack;
    TAlignment HAlign = taLeftJustify;
    TVAlignment VAlign = vtaTop;
    bool WordWrap = false; // Lines[0] is wrapped inside TextRect
    int Angle = 0;         // rotated text: degrees counter-clockwise
    QPoint RotatedOrigin;  // start point of rotated text
    int Pitch = 0;         // distance of two lines
    TRect TextRect;        // Left, Top, Right, Bottom (Top > Bottom)
    int TextKind = 0;      // 1: mini-HTML, 2: rich text, drawn formatted from Source in FormattedRect
    QString Source;
    TRect FormattedRect;
    QImage Graphic;        // the cell graphic (PrintGraphics), stretched into GraphicRect
    TRect GraphicRect;
};

struct TPrintPage {
    int Index = 0;      // over all bands, from 0
    int Band = 1;       // from 1
    int PageInBand = 0; // from 0
    std::vector<int> Rows;       // printed rows (repeated fixed rows first), in order
    std::vector<int> RowTops;    // the y of each printed row
    int LastRow = 0;             // the row after the page (OnPrintPageDone)
    int LastRowOffset = 0;       // the y below the page's last row
    bool ToDraw = false;         // in the pages to draw of a drawing pass
    QString PlaceTexts[6];       // the text of each position (TPrintPosition - 1)
    std::vector<TPrintText> Texts;
    TRect TitleRect; // where the mini-HTML title picture goes (empty: none)
    std::vector<TPrintCell> Cells;
    std::vector<TPrintLine> Lines;
};

struct TPrintBand {
    int First = 0, Last = 0;   // columns of the range
    bool RepeatFixed = false;  // the fixed columns are printed at its left
    int Width = 0;             // its total (PrintPageWidth)
    std::vector<int> Indents;  // the left offset of each column (index: column)
};

struct TPrintLayout {
    int W = 0, Hgt = 0;                   // page width and the page bottom (negative)
    int hh = 0, fh = 0, th = 0, s = 0, g2 = 0, m = 0;
    double o = 1.0;                       // the fit factor
    int E = 0, G = 0;                     // reserved space at the top and bottom of a page
    QFont HeaderFont, FooterFont;
    int HeaderHeight = 0, FooterHeight = 0; // mapped font heights
    std::vector<int> MaxWidths;
    // A mini-HTML title at the top, rendered once, and its size (0.1 mm).
    QImage TitleImage;
    QSize TitleSize;
    std::vector<TPrintBand> Bands;
    std::vector<TPrintPage> Pages;
    bool Cancelled = false;
};

// Lays out a range of a grid; the grid's print settings, print state and
// events drive it. One object serves one pass.
class TPrintComposer {
public:
    TPrintComposer(TExtStringGrid& grid, TPrintMeasurer& measurer) : FGrid(grid), FMeasurer(measurer) {}

    // Lays out the range (it becomes the grid's print range) on pages of
    // W x Hgt (Hgt negative). Drawing passes mark the pages firstDraw ..
    // lastDraw to draw and make their header and footer texts (pageCount:
    // the count for the page number, -1 none).
    TPrintLayout Compose(const TGridRect& range, TPrintPassKind kind, bool selectedOnly, int pageCount, int W, int Hgt, int firstDraw,
                         int lastDraw, TDateTime now);

    // The named steps (valid during Compose; exposed for the tests).
    void CalcPrintColWidths();
    QSize MeasurePrintCell(int rc, int r);
    int PrintRowHeight(int r);
    bool PrintRowIncluded(int r);
    bool PrintColIncluded(int c);
    QString PageNumberText(int pageIndex, int pageInBand, int band);

    // The cell's graphic as a picture and its size on the page (0.1 mm);
    // a null picture for a cell without a printable graphic.
    QImage PrintGraphic(int c, int r, QSize& size);

private:
    int PrintCellRow(TPrintPage* page, int y, const std::vector<int>& cols, int band, int r);
    void PrintHeaderFooter(TPrintPage& page);
    void PrintPageBorders(TPrintPage& page, const TPrintBand& band, int y);
    void ComputeBands();
    void RenderHtmlTitle();
    void ComputeReservedSpace(bool firstPage);
    int MapHeight(const QFont& f);
    bool IsDrawing() const { return FKind == pkDrawPreview || FKind == pkDrawPrint; }

    TExtStringGrid& FGrid;
    TPrintMeasurer& FMeasurer;
    TPrintLayout L;
    TPrintPassKind FKind = pkCountPreview;
    bool FSelectedOnly = false;
    int FPageCount = -1;
    TDateTime FNow = 0;
    double F = 1.0; // grid pixels to 0.1 mm
    int FCachedRow = -1, FCachedHeight = 0;
};

// Draws one laid-out page on the canvas (in low-metric mode).
void DrawPrintPage(TCanvas& canvas, const TPrintLayout& layout, const TPrintPage& page);
// A + " " + B; A alone when B is empty, B alone when A is empty.
QString JoinWithBlank(const QString& a, const QString& b);
