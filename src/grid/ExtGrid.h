#pragma once
// The string grid: the table of every editor window. It stands on the grid
// base (cells, per-cell properties, merged cells, undo) and adds its
// companions and settings, the dimension and appearance properties, cell
// access in other index spaces, typed cell values, the per-cell questions
// (colour, font, alignment, editor, fixed, editable, check texts ...) as
// virtual hooks that fire their events, column stretching, drag scrolling
// and the outside listeners.
//
// The class is one, its code is split by subject:
//   ExtGrid.cpp        construction, destruction, Assign, bounds, scaling,
//                      the owner form's resize watch
//   ExtGridDims.cpp    dimensions, fixed parts, option and look writers
//   ExtGridCells.cpp   cell access, property arrays, column order, typed
//                      values and the display text
//   ExtGridHooks.cpp   the per-cell hooks and their events
//   ExtGridSize.cpp    width changes, stretching, sizing state, drag
//                      scrolling, listeners
//
// Indexes: Cells, the property arrays and most hooks take the store's column
// (real column) and the display row, as the grid base does; the Part-specific
// exceptions are named at each operation.
#include "controls/BaseGrid.h"
#include "controls/ExtObj.h"
#include "controls/ExtStyleIF.h"
#include "controls/esgcheck.h"
#include "grid/ExtGridDrag.h"
#include "grid/ExtGridFilter.h"
#include "grid/ExtGridFilterViews.h"
#include "grid/ExtGridPanels.h"
#include "grid/ExtGridSettings.h"
#include "platform/Exception.h"
#include "platform/SysUtils.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QEvent>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class TExtStringGrid;
class QCursor;
class QMenu;
class QScrollBar;
class QWidget;
class QPrinter;
class TEditLink;
class TExtInplaceEdit;
class TGridCombo;
class TGridCheckBox;
class TGridSpin;
class TGridDatePicker;
class TGridDateTimePicker;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridButton;
class TGridDropDownEditor;
class TGridTransEdit;
class TGridTransCombo;
class TControlEdit;
class TControlCombo;
class TCellEditor;
class QIODevice;
class QMimeData;
class QListWidget;
class TGridPropIO;
class TGridDropTarget;
struct TDropFormats;

// The grid's own misuse errors.
class EExtGridError : public Exception {
public:
    using Exception::Exception;
};

enum class TGridLook : uint8_t { glStandard, glSoft, glClassic, glStudio, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
enum class THoverFixedCells : uint8_t { hfNone, hfFixedRows, hfFixedColumns, hfAll };
enum class THintPosition : uint8_t { hpCell, hpMouse };
enum class TFilterDropDownColumns : uint8_t { fdNormal, fdAll };
enum class TScrollType : uint8_t { ssNormal, ssFlat, ssEncarta, ssMetro };
enum class TScrollBarAlways : uint8_t { saNone, saVert, saHorz, saBoth };
enum class TScrollHintType : uint8_t { shNone, shVertical, shHorizontal, shBoth };
enum class TIntelliPan : uint8_t { ipVertical, ipHorizontal, ipBoth, ipNone };
enum class TInvalidEntryIcon : uint8_t { ieNone, ieInfo, ieWarning, ieError };
enum class TFooterStyle : uint8_t { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
enum class TSearchAction : uint8_t { saFindFirst, saFindPrevious, saFindNext };

// A pen of the cell-border hooks: colour, width and style.
struct TCellPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::Solid;
    bool operator==(const TCellPen&) const = default;
};

// A footer cell's custom value (acCUSTOM): Value comes in empty.
using TCalcFooterEvent = std::function<void(TExtStringGrid* sender, int acol, int arow, QString& value)>;

// The floating footer: the grid's last row shown as a footer strip under
// the cells, in the footer panel. While visible with fsFixedLastRow the
// grid keeps that row out of its cells (one fixed footer row) and computes
// the column calculations into it.
class TFloatingFooter {
    KR_FIELD_PROP(bool, CalculateHiddenRows, true)
    KR_FIELD_PROP(bool, EnableCalculation, true)
public:
    explicit TFloatingFooter(TExtStringGrid* grid) : FGrid(grid) {}
    // Writers repaint the panel; BorderColor only when it changes.
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Column() const { return FColumn; }
    void SetColumn(int v);
    const QString& CustomTemplate() const { return FCustomTemplate; }
    void SetCustomTemplate(const QString& v);
    // Also sets whether the grid keeps its last row out of the cells.
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle v);
    bool ShowHint() const { return FShowHint; }
    // Also the footer panel's own hint switch.
    void SetShowHint(bool v);
    // The panel's height follows (minus one) when above 0.
    int Height() const { return FHeight; }
    void SetHeight(int v);
    // Shows or hides the panel and sets the grid's fixed footer count and
    // hidden last row.
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    // The calculation of a column: kept in the properties of its cell in
    // the grid's last row (acNONE without). Setting it recalculates the
    // column.
    TColumnCalcType GetColumnCalc(int c) const;
    void SetColumnCalc(int c, TColumnCalcType v);
    TColumnCalcType ColumnCalc(int c) const { return GetColumnCalc(c); }
    // Copies the settings but BorderColor, EnableCalculation, Height and
    // OnCalcFooter; Visible through its writer.
    void Assign(const TFloatingFooter& src);
    // Repaints the panel.
    void Invalidate();
    // Fallback for acCUSTOM columns when the grid has no OnFooterCalc.
    TCalcFooterEvent OnCalcFooter;

private:
    TExtStringGrid* FGrid;
    TColor FBorderColor = clNone;
    TColor FColor = clBtnFace;
    int FColumn = 0;
    QString FCustomTemplate;
    TFooterStyle FFooterStyle = TFooterStyle::fsFixedLastRow;
    bool FShowHint = false;
    int FHeight = 0;
    bool FVisible = false;
};

// Look of the column filter drop-down lists. The font and the two glyphs
// are its own: writing them copies the picture or font in. OnChange fires
// when a glyph changes (the grid repaints its filter buttons); the other
// settings are plain values the lists read when they open.
class TFilterDropDown {
    KR_FIELD_PROP(bool, AutoSize, false)
    KR_FIELD_PROP(TColor, Color, clWindow)
    KR_FIELD_PROP(bool, ColumnWidth, false)
    KR_FIELD_PROP(int, Height, 150)
    KR_FIELD_PROP(int, Width, 150)
public:
    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& v)
    {
        FGlyph = v;
        Changed();
    }
    const QImage& GlyphActive() const { return FGlyphActive; }
    void SetGlyphActive(const QImage& v)
    {
        FGlyphActive = v;
        Changed();
    }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& v) { FFont = v; }
    // Copies every setting but AutoSize (and OnChange); the glyphs through
    // their writers.
    void Assign(const TFilterDropDown& src);
    std::function<void(TFilterDropDown* sender)> OnChange;

private:
    void Changed()
    {
        if (OnChange) OnChange(this);
    }
    QFont FFont;
    QImage FGlyph, FGlyphActive;
};

// Cell-look events take the row before the column, the others the column
// first.
using TGridNotifyEvent = std::function<void(TExtStringGrid* sender)>;
using TGridCellEvent = std::function<void(TExtStringGrid* sender, int acol, int arow)>;
using TGridRowColEvent = std::function<void(TExtStringGrid* sender, int arow, int acol)>;
using TGridCellBoolEvent = std::function<void(TExtStringGrid* sender, int acol, int arow, bool& value)>;
using TGridRowColBoolEvent = std::function<void(TExtStringGrid* sender, int arow, int acol, bool& value)>;
using TGridCellTextEvent = std::function<void(TExtStringGrid* sender, int acol, int arow, QString& value)>;
using TGridColorEvent = std::function<void(TExtStringGrid* sender, int arow, int acol, TGridDrawState state,
                                           TCellBrush& brush, TCellFont& font)>;
using TGridBorderEvent =
    std::function<void(TExtStringGrid* sender, int arow, int acol, TCellPen& pen, TCellBorders& borders)>;
using TGridAlignmentEvent =
    std::function<void(TExtStringGrid* sender, int arow, int acol, TAlignment& ha, TVAlignment& va)>;
using TGridFormatEvent =
    std::function<void(TExtStringGrid* sender, int acol, TSortStyle& style, QString& prefix, QString& suffix)>;
using TGridEditorTypeEvent = std::function<void(TExtStringGrid* sender, int acol, int arow, TEditorType& editor)>;
using TGridFloatFormatEvent =
    std::function<void(TExtStringGrid* sender, int acol, int arow, bool& isFloat, QString& format)>;
using TGridColumnSizeEvent = std::function<void(TExtStringGrid* sender, int index, bool& allow)>;
using TGridColumnWidthEvent = std::function<void(TExtStringGrid* sender, int acol, int& width)>;
using TGridIndexEvent = std::function<void(TExtStringGrid* sender, int index)>;
using TGridDragScrollEvent = std::function<void(TExtStringGrid* sender, int topRow, int leftCol,
                                                TDragScrollDirection& direction, bool& canScroll)>;
using TGridCellsChangedEvent = std::function<void(TExtStringGrid* sender, const TGridRect& r)>;

// --- painting types ------------------------------------------------------------------
enum class TExtGridStyle : uint8_t {
    gsOffice2003Blue,
    gsOffice2003Silver,
    gsOffice2003Olive,
    gsOffice2003Classic,
    gsOffice2007Luna,
    gsOffice2007Obsidian,
    gsWindowsXP,
    gsWhidbey,
    gsCustom,
    gsOffice2007Silver,
    gsWindowsVista,
    gsWindows7,
    gsTerminal,
    gsOffice2010Blue,
    gsOffice2010Silver,
    gsOffice2010Black
};
enum class TXPColorScheme : uint8_t { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
using TCustomCellDrawEvent = std::function<void(TExtStringGrid* sender, TCanvas& canvas, int acol, int arow,
                                                TGridDrawState state, const TRect& rect, bool printing)>;
using TGridDrawCellEvent =
    std::function<void(TExtStringGrid* sender, int acol, int arow, const TRect& rect, TGridDrawState state)>;
using TGridCellGradientEvent =
    std::function<void(TExtStringGrid* sender, int arow, int acol, TColor& color, TColor& colorTo,
                       TColor& colorMirror, TColor& colorMirrorTo, TCellGradientDirection& direction)>;
using TGridCellBorderPropEvent = std::function<void(TExtStringGrid* sender, int arow, int acol, TCellPen& left,
                                                    TCellPen& top, TCellPen& right, TCellPen& bottom)>;

// The identifier ("glXP") and the caption ("Windows XP") of a look; glCustom
// leaves the text as it is.
void LookToIdent(TGridLook look, QString& ident);
void LookToCaption(TGridLook look, QString& caption);
// The selection colour mixed into another by percent (0 .. 100).
TColor MixColors(TColor selection, TColor other, int percent);
// Moves r's left and top to where rotated text starts: a, b the vertical and
// c, d the horizontal projections of its box.
void PlaceRotatedText(TRect& r, TAlignment ha, TVAlignment va, int a, int b, int c, int d, int angle);
// A picture of the grid's resources ("ESGCHK05", "XPNODEC", ...).
QImage GridGlyph(const QString& name);
class TCellMeasurer;
// The measurer that measures cell texts in the fonts they are painted in.
std::unique_ptr<TCellMeasurer> MakeFontCellMeasurer(TExtStringGrid& grid);

// What the painter draws inside one cell, in the order it draws it, worked out
// without a canvas (TExtStringGrid::PlanCellContent).
struct TExtCellPlan {
    // The face of a fixed cell: a (mirrored) gradient with an optional
    // border; a hovered cell with a drop-down button gets a second face.
    struct TFace {
        TRect Rect;
        TColor From = clNone, To = clNone, MirrorFrom = clNone, MirrorTo = clNone, Border = clNone;
    };
    int RealCol = 0;
    int Row = 0;
    TGridDrawState State;
    bool Fixed = false;
    TRect Rect;               // the cell rectangle as received
    std::vector<TFace> Faces; // fixed-cell faces, in order
    // The drop-down button of a hovered fixed cell: a line at DropDownX in
    // its colour and a small triangle at DropDownArrow.
    bool DropDownLine = false;
    int DropDownX = 0;
    TColor DropDownLineColor = clNone;
    QPoint DropDownArrow;
    TColor DropDownArrowColor = clNone;
    // An in-cell scroll bar at the right edge of the cell: its area, the
    // position, page and range; the text moves up by the position.
    bool ScrollBar = false;
    TRect ScrollBarRect;
    int ScrollPos = 0, ScrollPage = 0, ScrollRange = 0;
    // An always-visible editor button: 1 combo, 2 spin (0 none), with its
    // area, state (0 normal, 3 disabled) and look.
    int EditButton = 0;
    TRect ButtonRect;
    int ButtonState = 0, ButtonLook = 0;
    bool RowIndicator = false; // drawn at RowIndicatorAt
    QPoint RowIndicatorAt;
    bool ModifiedMark = false;
    TRect ModifiedRect;
    TColor ModifiedColor = clNone;
    // The text step.
    bool DrawText = false;
    TRect TextRect;
    QString Text;
    int TextKind = 0; // 0 plain, 1 mini-HTML, 2 rich text
    unsigned TextFlags = 0;
    TCellFont Font;
    TColor BrushColor = clNone;
    bool FillTextBrush = false; // the brush fills the text rectangle first
    bool Url = false;
    TColor UrlColor = clNone;
    bool FilterButton = false;
    // The grid's background shown inside the cell: 1 its picture (tiled
    // from Phase, or placed at the background's Left and Top), 2 its
    // gradient from BackFrom to BackTo (0 none).
    int Background = 0;
    TRect BackgroundRect;
    QPoint BackgroundPhase;
    TColor BackFrom = clNone, BackTo = clNone;
    bool SortIndicator = false;
    int SortX = 0, SortY = 0;
    int ErrPos = 0, ErrLen = 0;
    bool SelectionRect = false;
    TRect SelRect;
    bool SelLeft = false, SelTop = false, SelRight = false, SelBottom = false, SelResizer = false;
    TAlignment HAlign = taLeftJustify;
    TVAlignment VAlign = vtaTop;
    // Cell borders: each line from From to To in its pen.
    struct TLine {
        QPoint From, To;
        TCellPen Pen;
    };
    std::vector<TLine> Borders;
    // 3-D edges of a fixed cell: lines in their colours.
    struct TEdge {
        QPoint From, To;
        TColor Color;
    };
    std::vector<TEdge> Edges;
    // Tree lines of a node grid's first column, in the tree colour.
    std::vector<TEdge> TreeLines;
    // The cell graphic, placed.
    TCellGraphic* Graphic = nullptr;
    TRect GraphicArea;
    int GraphicWidth = 0, GraphicHeight = 0;
    TRect EventRect; // for OnDrawCell and OnCustomCellDraw
    bool FocusRect = false;
    TRect FocusRectArea;
};
using TGridFilterListEvent = std::function<void(TExtStringGrid* sender, int acol, QStringList& list)>;
using TGridSearchFooterEvent =
    std::function<void(TExtStringGrid* sender, const QString& value, int acol, int arow, TSearchAction action)>;
using TGridCursorEvent = std::function<void(TExtStringGrid* sender, int acol, int arow, int x, int y, int& cursor)>;
using TGridExpandEvent = std::function<void(TExtStringGrid* sender, int acol, int arow, bool expanded)>;
// Node events: the display row and the real row of the node; the "before"
// events may refuse the change.
using TGridNodeAllowEvent = std::function<void(TExtStringGrid* sender, int arow, int arowreal, bool& allow)>;
using TGridNodeEvent = std::function<void(TExtStringGrid* sender, int arow, int arowreal)>;

// Version of the string grid: 6.2.1.3.
constexpr int32_t ExtStringGridVersionNr = 0x06020103;
// A font's size times m / d (rounded), in points or pixels as it is given.
void ScaleFont(QFont& f, int m, int d);
// The four bytes of a version number, highest first, joined by ".".
QString VersionNrText(int32_t nr);

// The process's locale values as the grid's routines read them.
QChar GetDateSeparator();
QChar GetTimeSeparator();
QChar GetThousandSeparator();
QChar GetDecimalSeparator();
QString GetShortDateFormat();
QString GetShortTimeFormat();
QString GetLongTimeFormat();

// The clipboard format of the grid's own cell copies.
extern const char* const GridCellsClipboardFormat;
// The event types a grid posts to itself: the end of an edit (its
// OnEditCellDone fires later) and the date pickers' focus shift. Registered
// once, on first use.
int GridEditDoneEventType();
int DTPShiftFocusEventType();
// The wheel turn a grid offers its parent window before it scrolls itself:
// a parent that takes it (accepts the event in its event()) leaves the grid
// to its ordinary wheel handling (DoMouseWheelDown / DoMouseWheelUp).
int GridWheelEventType();
class TGridWheelEvent : public QEvent {
public:
    explicit TGridWheelEvent(int delta) : QEvent(QEvent::Type(GridWheelEventType())), Delta(delta) { setAccepted(false); }
    int Delta;
};
// The slim scroll bar's geometry along its length (pixels): where its thumb
// starts and how long it is, from the strip's length, the fixed part at its
// start (fixed columns or rows), the fixed part at its end (fixed right
// columns or footer rows), and the visible, total, first scrolled and fixed
// counts of the grid's columns or rows. Shown is false when everything is
// visible (nothing is drawn then).
struct TSlimThumb {
    int Start = 0;
    int Length = 0;
    bool Shown = false;
};
TSlimThumb SlimScrollThumb(int length, int fixedOffset, int tail, int visible, int count, int first, int fixed);
// The first scrolled column or row after a press at pos on the strip: a page
// back before the thumb, a page on after it; -1 for a press on the thumb
// (a drag starts).
int SlimScrollPress(const TSlimThumb& thumb, int pos, int visible, int count, int first, int fixed);
// The first scrolled column or row while the thumb is dragged by delta
// pixels from where the drag began (first0 then), on a strip of the given
// length whose first cell is cell0 pixels long.
int SlimScrollDrag(int delta, int length, int cell0, int visible, int count, int first0, int fixed);
// A hint window's rectangle kept on its screen: moved left or up so that it
// ends 2 pixels inside the screen's right or bottom edge.
QRect KeepHintOnScreen(const QRect& hint, const QRect& screen);

// Platform facts the grid's Parts test: on this platform the common controls
// of the newest kind and the visual-style look are always there. Without
// ComCtl470 (a test may clear it) the date and time editors open nothing.
inline bool ComCtl470 = true;
constexpr bool GridIsWinXP = true;
constexpr bool GridIsWinVista = true;
constexpr bool GridIsComCtl6 = true;
// Cursor shown over links (the platform's hand cursor number).
extern int URLCursor;
// The shapes of a float format the grid applies: one numeric conversion.
bool IsSingleNumericFormat(const QString& format);
// A float format applied to a value, with the locale's decimal separator;
// a format that is not one numeric conversion is answered unchanged.
QString FormatFloatValue(const QString& format, double value);

// --- measuring cells for auto sizing ---------------------------------------
// What the sizing operations ask about a cell's contents. The grid owns one
// measurer; this base measures no text and no graphic (every size 0, one
// line per row) and takes the text offsets from XYOffset. The painting code
// installs one that measures with the fonts a cell is painted in, the
// cell-object code fills in the graphic sizes. Columns are store (real)
// columns, rows display rows.
class TCellMeasurer {
public:
    explicit TCellMeasurer(TExtStringGrid& grid) : FGrid(grid) {}
    virtual ~TCellMeasurer() = default;
    TCellMeasurer(const TCellMeasurer&) = delete;
    TCellMeasurer& operator=(const TCellMeasurer&) = delete;

    TExtStringGrid& Grid() const { return FGrid; }
    // Width and height of the cell's text as it is painted (the cell's font,
    // wrapped to the cell's width when wordWrap is set).
    virtual QSize GetCellTextSize(int c, int r, bool wordWrap);
    // Height of one text line ("gh") in the font the cell is painted in.
    virtual int GetCellLineHeight(int c, int r);
    // With Multilinecells the largest number of text lines of a shown cell of
    // the row, else 1.
    virtual int MaxLinesInRow(int r);
    // XYOffset.X (.Y), doubled unless XYOffsetTopLeftOnly.
    virtual int GetHorzTextOffset();
    virtual int GetVertTextOffset();
    // The size of the cell's graphic as painted beside the text, and as row
    // sizing counts it (with padding); (0, 0) for a cell without graphic.
    virtual QSize GetCellGraphicSize(int c, int r);
    virtual QSize CalcCellGraphicSize(int c, int r, int padding);

private:
    TExtStringGrid& FGrid;
};
// The states the exporters and importers report to the grid.
enum class TGridExportState : uint8_t { esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail, esExportNextRow };
enum class TGridImportState : uint8_t { isImportStart, isImportNewRow, isImportDone, isImportSelRow };
// The last clipboard operation of a grid.
enum TClipOperation : uint8_t { coCut, coCopy };

class TExtStringGrid : public TBaseGrid {
public:
    // ownerForm: the window the grid sits in; the grid follows its resizes
    // (SizeWithForm, column stretching). designing: the grid is made for a
    // designer (no focus frame, arrow windows or editor controls).
    explicit TExtStringGrid(QWidget* ownerForm = nullptr, bool designing = false);
    ~TExtStringGrid() override;

    // --- life cycle ---------------------------------------------------------
    // Copies settings, dimensions, sizes and then the cells of another grid.
    virtual void Assign(const TExtStringGrid& source);
    // Copies only the cells of another grid.
    virtual void AssignCells(const TExtStringGrid& source);
    // After the grid's settings were read: applies what the writers only
    // stored while loading.
    virtual void Loaded();
    // Makes the grid's window as a child of parent, placed at the grid's
    // bounds, with drag scrolling watching its drag events.
    TGridWidget* CreateWnd(QWidget* parent);
    bool Loading() const { return FLoading; }
    void SetLoading(bool v) { FLoading = v; }
    bool Designing() const { return FDesigning; }
    bool Destroying() const { return FDestroying; }
    // The window is repainted, unless the request follows an edit change
    // (one request is swallowed then); a visible floating footer too.
    void Invalidate();
    // Outer size of the grid. With IntegralHeight the height is adjusted to
    // whole default rows.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int w) { SetBounds(FLeft, FTop, w, FHeight); }
    void SetHeight(int h) { SetBounds(FLeft, FTop, FWidth, h); }
    virtual void SetBounds(int left, int top, int width, int height);
    // The grid's own reaction to a size change (OnResize, scroll bars).
    virtual void Resize();
    // The form's scale changed by m / d: the grid's font, then the fixed-cell
    // and active-cell fonts (not while designing).
    virtual void ChangeScale(int m, int d);
    QWidget* OwnerForm() const { return FOwnerForm.data(); }
    // The owner form was resized (its event filter calls this).
    void OwnerFormResized();
    bool SizeWithForm() const { return FSizeWithForm; }
    void SetSizeWithForm(bool v) { FSizeWithForm = v; }

    // --- dimensions ----------------------------------------------------------
    void SetRowCount(int n) override;
    void SetColCount(int n) override;
    int FixedRows() const;
    void SetFixedRows(int n);
    int FixedCols() const;
    void SetFixedCols(int n);
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int w);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int h);
    void SetDefaultRowHeight(int h);
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int v);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int v);
    bool FixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool v) { FFixedRowAlways = v; }
    bool FixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool v) { FFixedColAlways = v; }
    int FixedRowsMin() const { return FFixedRowsMin; }
    int FixedColsMin() const { return FFixedColsMin; }
    int MaxRowCount() const { return FMaxRowCount; }
    int MaxColCount() const { return FMaxColCount; }
    bool WordWrap() const { return FWordWrapEx; }
    void SetWordWrap(bool v);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v);
    virtual void IncRowCount() { SetRowCount(RowCount() + 1); }
    // The current column; a synchronised grid follows.
    void SetCol(int c);
    void SetSelection(const TGridRect& r);

    // --- hidden columns and rows ----------------------------------------------
    int NumHiddenColumns() const { return FNumHidden; }
    int NumHiddenRows() const { return FGridItems.Count(); }
    int TotalColCount() const override { return ColCount() + FNumHidden; }
    int AllColCount() const { return ColCount() + NumHiddenColumns(); }
    int AllRowCount() const { return RowCount() + NumHiddenRows(); }
    // Display and real indexes (equal while nothing is hidden). A hidden
    // column or row maps to the display index of the next shown one.
    TRealCol RealColIndex(TDisplCol c) override;
    TDisplCol DisplColIndex(TRealCol c) override;
    TRealRow RealRowIndex(TDisplRow r) override;
    TDisplRow DisplRowIndex(TRealRow r) override;
    using TBaseGrid::DisplColIndex;
    using TBaseGrid::DisplRowIndex;
    using TBaseGrid::RealColIndex;
    using TBaseGrid::RealRowIndex;
    bool IsHiddenRow(TRealRow r) const { return FGridItems.FindIdx(r.Value()) != nullptr; }
    // The store of hidden rows.
    TGridItems& GridItems() { return FGridItems; }

    // --- cell access -----------------------------------------------------------
    // The row counts hidden rows too; the column is the store's column.
    QString AllCells(int c, TRealRow r);
    void SetAllCells(int c, TRealRow r, const QString& v);
    QString AllGridCells(int c, TRealRow r) const;
    void SetAllGridCells(int c, TRealRow r, const QString& v);
    TUserValue AllObjects(int c, TRealRow r) const;
    void SetAllObjects(int c, TRealRow r, TUserValue v);
    QString WideCells(int c, int r) { return Cells(c, r); }
    void SetWideCells(int c, int r, const QString& v) { SetCells(c, r, v); }
    QString OriginalCells(int c, int r);
    void SetOriginalCells(int c, int r, const QString& v);
    QString UnSortedCells(int c, int r);
    void SetUnSortedCells(int c, int r, const QString& v);
    QString StrippedCells(int c, int r);
    QString DisplCells(int c, int r) { return GetFormattedCell(c, r); }
    int LinesInCell(int c, int r);
    // The real row of a row position before sorting.
    TRealRow SortedRowIndex(int r) const;
    int UnSortedRowIndex(int r) const;
    virtual QString CurrentCell();
    virtual void SetCurrentCell(const QString& v);
    virtual QString GetCurrentCellEx();
    virtual void SetCurrentCellEx(const QString& v);
    // The real column of the current column.
    int RealCol() { return RealColIndex(TDisplCol(Col())).Value(); }

    // Per-cell property arrays (store column, display row).
    TColor Colors(int c, int r) const;
    void SetColors(int c, int r, TColor v);
    TColor ColorsTo(int c, int r) const;
    void SetColorsTo(int c, int r, TColor v);
    TCellGradientDirection Gradients(int c, int r) const;
    void SetGradients(int c, int r, TCellGradientDirection v);
    TColor FontColors(int c, int r) const;
    void SetFontColors(int c, int r, TColor v);
    TCellFontStyles FontStyles(int c, int r) const;
    void SetFontStyles(int c, int r, TCellFontStyles v);
    int FontSizes(int c, int r) const;
    void SetFontSizes(int c, int r, int v);
    QString FontNames(int c, int r) const;
    void SetFontNames(int c, int r, const QString& v);
    // The grid's font for a cell without properties, else the cell's font.
    TCellFont GetCellFont(int c, int r) const;
    void SetCellFont(int c, int r, const TCellFont& f);
    TAlignment Alignments(int c, int r) const;
    void SetAlignments(int c, int r, TAlignment v);
    bool ReadOnly(int c, int r) const;
    void SetReadOnly(int c, int r, bool v);
    // Reading creates the cell's properties.
    bool WordWraps(int c, int r);
    void SetWordWraps(int c, int r, bool v);
    // Whole rows: clNone clears that colour and keeps the other properties.
    void SetRowColor(int r, TColor v);
    void SetRowColorTo(int r, TColor v);
    void SetRowFontColor(int r, TColor v);
    QWidget* CellControls(int c, int r) const;
    void SetCellControls(int c, int r, QWidget* control);
    int NumCellControls() const { return FNumCellControls; }
    TControlList& ControlList() { return FControlList; }

    int AllColWidths(int c) const;
    void SetAllColWidths(int c, int w);

    // Column order.
    void SetColumnOrder();
    int ColumnPosition(int c) const;
    int ColumnAtPosition(int c);
    void ResetColumnOrder();
    int ColumnByHeader(const QString& value);
    TIntList& ColumnOrder() { return FColumnOrder; }
    int GroupColumn() const { return FGroupColumn; }

    // Settings kept outside the form (ExtGridPersist.cpp).
    // The column layout as one line: count, widths, order and visibility
    // joined by "#". The widths of the shown columns come first, then those
    // of the hidden columns in real-column order.
    QString ColumnStatesToString();
    // Restores such a line. Every field is checked before anything changes:
    // a number that is no integer (EConvertError) or a field shorter than the
    // columns it is read for (Exception "List index out of bounds (n)")
    // leaves the grid as it was. A line without "#" is ignored.
    void StringToColumnStates(const QString& value);
    // The widths of the shown columns ("Col" + n) and the column order ("Pos"
    // + n) in the store ColumnSize names (Key, Section, Location); nothing
    // when Key or Section is empty. Loading never writes the store.
    void SaveColSizes();
    void LoadColSizes();
    virtual void SaveColPositions();
    virtual void LoadColPositions();
    // The look of the grid as a Windows-1252 text of "Key=Value" lines.
    // Raises EFileError "Cannot Create <file>" / "Cannot open file <file>";
    // a bad value raises EConvertError naming its key and changes nothing.
    void SaveVisualProps(const QString& fileName);
    void LoadVisualProps(const QString& fileName);
    // PrintSettings in section `section` of the INI file `key`; keys missing
    // on load take their defaults.
    void SavePrintSettings(const QString& key, const QString& section);
    void LoadPrintSettings(const QString& key, const QString& section);

    // Typed values.
    int Ints(int c, int r);
    void SetInts(int c, int r, int v);
    int AllInts(int c, TRealRow r);
    void SetAllInts(int c, TRealRow r, int v);
    double Floats(int c, int r);
    void SetFloats(int c, int r, double v);
    double AllFloats(int c, TRealRow r);
    void SetAllFloats(int c, TRealRow r, double v);
    QDateTime Dates(int c, int r);
    void SetDates(int c, int r, const QDateTime& v);
    QTime Times(int c, int r);
    void SetTimes(int c, int r, const QTime& v);
    int PrintColWidth(int c) const;
    int PrintColOffset(int c) const;
    QString Version() const;
    void SetVersion(const QString&) {}
    virtual int32_t GetVersionNr() const { return ExtStringGridVersionNr; }
    virtual QString GetVersionString() const;
    bool IsSortIndicatorCell(int c, int r) const;
    // The tables printing fills: printed width and left offset per column
    // (at least 512 entries; they grow with the printed columns).
    std::vector<int> MaxWidths = std::vector<int>(512, 0);
    std::vector<int> Indents = std::vector<int>(512, 0);

    // --- printing and print preview (ExtGridPrint.cpp) ------------------------------
    // Print jobs: the whole grid, a range, the selection rectangle, the
    // selected rows or columns, on the printer of Printer().
    void Print();
    void PrintRect(const TGridRect& gridRect);
    void PrintSelection();
    void PrintSelectedRows();
    void PrintSelectedCols();
    // One page (PreviewPage) of the same output drawn on a canvas in the
    // display rectangle (device units of the canvas).
    void PrintPreview(TCanvas& canvas, const TRect& displayRect);
    void PrintPreviewRect(TCanvas& canvas, const TRect& displayRect, const TGridRect& gridRect);
    void PrintPreviewSelection(TCanvas& canvas, const TRect& displayRect);
    void PrintPreviewSelectedRows(TCanvas& canvas, const TRect& displayRect);
    void PrintPreviewSelectedCols(TCanvas& canvas, const TRect& displayRect);
    // The first page drawn on the canvas, in its clipping box (or the whole device).
    void PrintDraw(TCanvas& canvas, const TRect& drawRect);
    void PrintDrawRect(TCanvas& canvas, const TRect& drawRect, const TGridRect& gridRect);
    // The printer of print jobs: a printer set by the program (not owned),
    // else one of the grid's own, created on first use.
    QPrinter* Printer();
    void SetPrinter(QPrinter* printer) { FPrinterSet = printer; }
    // Font height in 0.1 mm of a point size (negative: character height),
    // scaled by Fontscalefactor; and the point size of a height.
    int MapFontHeight(int pointSize) const;
    static int MapFontSize(int height);
    // The printer's landscape rotation in degrees.
    static int PrinterLandscapeRotation() { return 90; }
    // Runs the page composer for PrintRect on the canvas (already in
    // low-metric mode for drawing): counting passes lay out, drawing passes
    // also draw the pages to draw. Returns the number of pages laid out.
    int ComposePages(TCanvas& canvas, int kind, bool selectedOnly, int pageCount);
    int PreviewPage() const { return FPrintPageFrom; }
    void SetPreviewPage(int v)
    {
        FPrintPageFrom = v;
        FPrintPageTo = v;
    }
    int PrintNrOfPages() const { return FPrintNrOfPages; }
    TRect PrintPageRect() const { return FPrintPageRect; }
    int PrintPageWidth() const { return FPrintPageWidth; }
    int PrintColStart() const { return FPrintColStart; }
    int PrintColEnd() const { return FPrintColEnd; }
    bool IsPrintPreview() const { return FIsPrintPreview; }
    // The range being printed and the preview rectangle (or the page size in
    // 0.1 mm of a print job).
    const TGridRect& PrintRange() const { return FPrintRect; }
    const TRect& PrevRect() const { return FPrevRect; }
    bool FastPrint = false;
    bool PrinterDriverFix = false;
    double Fontscalefactor = 1.0;
    // The print events.
    std::function<void(TExtStringGrid* sender, int nrOfPages, int& fromPage, int& toPage)> OnPrintStart;
    std::function<void(TExtStringGrid* sender, TCanvas& canvas, int pageNr, int pageXSize, int pageYSize)> OnPrintPage;
    std::function<void(TExtStringGrid* sender, TCanvas& canvas, int lastRow, int lastRowOffset, int lastPage,
                       int pageXSize, int pageYSize)>
        OnPrintPageDone;
    std::function<void(TExtStringGrid* sender, int pageNr, bool& cancel)> OnPrintCancel;
    std::function<void(TExtStringGrid* sender, int arow, bool& newPage)> OnPrintNewPage;
    std::function<void(TExtStringGrid* sender, int pageNum, int pageColNum, QString& pageNumString)> OnPrintGetPageNum;
    std::function<void(TExtStringGrid* sender, int acol, int& width)> OnPrintSetColumnWidth;
    std::function<void(TExtStringGrid* sender, int arow, int& height)> OnPrintSetRowHeight;
    std::function<void(TExtStringGrid* sender, double& scaleFactor, bool& allow)> OnFitToPage;

    // --- headers ----------------------------------------------------------------
    const QStringList& ColumnHeaders() const { return FColumnHeaders; }
    void SetColumnHeaders(const QStringList& v);
    const QStringList& RowHeaders() const { return FRowHeaders; }
    void SetRowHeaders(const QStringList& v);
    // Header lines go into row 0 (column 0), a backslash-n turned into a
    // line break; nothing without a fixed row (column).
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    void ShowRowHeaders();
    void ClearRowHeaders();
    // Columns whose equal cells are merged down the column: changing the
    // list merges them anew.
    TIntList& MergedColumns() { return FMergedColumns; }

    // --- settings objects ---------------------------------------------------------
    TControlLook& ControlLook() { return *FControlLook; }
    TSortSettings& SortSettings() { return *FSortSettings; }
    void SetSortSettings(const TSortSettings& v) { FSortSettings->Assign(v); }
    TGridProgressAppearance& ProgressAppearance() { return *FProgressAppearance; }
    void SetProgressAppearance(const TGridProgressAppearance& v) { FProgressAppearance->Assign(v); }
    TBalloonSettings& Balloon() { return *FBalloon; }
    void SetBalloon(const TBalloonSettings& v) { FBalloon->Assign(v); }
    TShowModified& ShowModified() { return *FShowModified; }
    void SetShowModified(const TShowModified& v) { FShowModified->Assign(v); }
    TGrouping& Grouping() { return *FGrouping; }
    TDragDropSettings& DragDropSettings() { return *FDragDropSettings; }
    TDragScrollOptions& DragScrollOptions() { return *FDragScrollOptions; }
    void SetDragScrollOptions(const TDragScrollOptions& v) { FDragScrollOptions->Assign(v); }

    // --- dropping onto the grid (ExtGridDrop.cpp) ------------------------------------
    // The drop target, made when DragDropSettings.OleDropTarget is first
    // switched on and attached to the viewport while it is on (null before).
    TGridDropTarget* DropTarget() const { return FDropTarget.get(); }
    // The column `acol` is about to be dragged from item `aindex` of `list`
    // (a column chooser); the next column drop unhides it here.
    void OleColumnDragStart(int acol, int aindex, QListWidget* list);
    // The insertion arrows over the viewport: shown with their top-left
    // corner at a viewport point, hidden, and the arrow window itself.
    TArrowWindow* InsertionArrow(TArrowDirection d);
    void ShowInsertionArrow(TArrowDirection d, QPoint viewportPos);
    void HideInsertionArrows();
    // Events of drops (rows before columns). OnOleDrop gets the dropped text,
    // or the file name with row and column -1 before a file loads.
    std::function<void(TExtStringGrid* sender, int arow, int acol, bool& allow)> OnOleDragOver;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& data, bool& allow)> OnOleDrop;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& url, bool& allow)> OnOleDropURL;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& fileName, bool& allow)> OnOleDropFile;
    std::function<void(TExtStringGrid* sender, int arow, int acol, int dropCol)> OnOleDropCol;
    std::function<void(TExtStringGrid* sender, const TGridRect& range)> OnOleDropped;
    TBackGround& BackGround() { return *FBackGround; }
    void SetBackGround(const TBackGround& v);
    TColumnSize& ColumnSize() { return *FColumnSize; }
    TCellNode& CellNode() { return *FCellNode; }
    TSizeWhileTyping& SizeWhileTyping() { return *FSizeWhileTyping; }
    THTMLSettings& HTMLSettings() { return *FHTMLSettings; }
    TPrintSettings& PrintSettings() { return *FPrintSettings; }
    TNavigation& Navigation() { return *FNavigation; }
    TMouseActions& MouseActions() { return *FMouseActions; }
    TSearchFooter& SearchFooter() { return *FSearchFooter; }
    TSyncGrid& SyncGrid() { return *FSyncGrid; }
    TBands& Bands() { return *FBands; }
    TFocusHelper& FocusHelper() { return *FFocusHelper; }
    void SetFocusHelper(const TFocusHelper& v) { FFocusHelper->Assign(v); }
    TFloatingFooter& FloatingFooter() { return *FFloatingFooter; }
    TFilterDropDown& FilterDropDown() { return *FFilterDropDown; }
    TSortIndexList& SortIndexes() { return FSortIndexes; }
    TIntList& SortRowXRef() { return FSortRowXRef; }
    TCellGraphic& SharedCellGraphic() { return *FCellGraphic; }
    // --- sorting (ExtGridSort.cpp) ------------------------------------------------
    // The normal rows (between the fixed rows and the footer rows) sorted by
    // SortSettings.Column in SortSettings.Direction; ties go on with the
    // columns to its right while SortSettings.Full. Every sort is stable.
    virtual void QSort();
    // The normal rows sorted by the keys of SortIndexes. Raises EExtGridError
    // "No indexes specified for indexed sort" when the list is empty.
    virtual void QSortIndexed();
    // The children of the deepest expanded node rows sorted by the sort
    // column (by the index keys).
    virtual void QSortGroup();
    virtual void QSortGroupIndexed();
    // The rows put back in the order recorded in SortRowXRef.
    virtual void QUnSort();
    void Sort(int column, TSortDirection direction);
    void SortByColumn(int col);
    // A row range sorted without the current-row and update handling.
    void QuickSort(int col, int left, int right);
    void QuickSortIndexed(int left, int right);
    // One compare-and-exchange step: the two rows are exchanged and true
    // answered when row1 comes after row2 in SortSettings.Direction (ties go
    // on with the next columns).
    bool SortLine(int col, int row1, int row2);
    // SortRowXRef := 0, 1, ..., RowCount - 1.
    void InitSortXRef();
    // -1, 0 or +1: the cells of column col in two rows compared in the
    // column's sort style (+1: the first is greater). The direction only
    // places blanks when SortSettings.IgnoreBlanks.
    int CompareCells(int col, int row1, TSortDirection direction, int row2);
    // +1 after an ascending sort, -1 after a descending one, 0 before.
    int SortDir = 0;
    // Cell comparisons made by sorts (never reset by the grid).
    int Compares = 0;
    std::function<void(TExtStringGrid* sender, const QString& str1, const QString& str2, int& res)> OnCustomCompare;
    std::function<void(TExtStringGrid* sender, int acol, int row1, int row2, int& res)> OnRawCompare;

    // --- option and look properties -------------------------------------------------
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor v) { SetChanged(FSelectionColor, v); }
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor v) { SetChanged(FSelectionColorTo, v); }
    TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
    void SetSelectionMirrorColor(TColor v) { SetChanged(FSelectionMirrorColor, v); }
    TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(TColor v) { SetChanged(FSelectionMirrorColorTo, v); }
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor v) { SetChanged(FSelectionTextColor, v); }
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool v) { SetChanged(FSelectionColorMixer, v); }
    bool SelectionRectangle() const { return FSelectionRectangle; }
    void SetSelectionRectangle(bool v) { SetChanged(FSelectionRectangle, v); }
    bool SelectionResizer() const { return FSelectionResizer; }
    void SetSelectionResizer(bool v) { SetChanged(FSelectionResizer, v); }
    bool ShowDesignHelper() const { return FShowDesignHelper; }
    void SetShowDesignHelper(bool v) { SetChanged(FShowDesignHelper, v); }
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment v) { SetChanged(FDefaultAlignment, v); }
    // Kept within 0 .. 100.
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    void SetSelectionColorMixerFactor(int v);
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool v);
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool v) { SetRepaint(FActiveCellShow, v); }
    TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(TColor v) { SetRepaint(FActiveCellColor, v); }
    TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(TColor v) { SetRepaint(FActiveCellColorTo, v); }
    const TCellFont& ActiveCellFont() const { return FActiveCellFont; }
    void SetActiveCellFont(const TCellFont& v) { SetRepaint(FActiveCellFont, v); }
    const TCellFont& FixedFont() const { return FFixedFont; }
    void SetFixedFont(const TCellFont& v) { SetRepaint(FFixedFont, v); }
    QPoint XYOffset() const { return FXYOffset; }
    void SetXYOffset(QPoint v) { SetRepaint(FXYOffset, v); }
    void UpdateXYOffset(int x, int y) { FXYOffset = QPoint(x, y); }
    int GetHorzTextOffset() const { return FXYOffsetTopLeftOnly ? FXYOffset.x() : 2 * FXYOffset.x(); }
    int GetVertTextOffset() const { return FXYOffsetTopLeftOnly ? FXYOffset.y() : 2 * FXYOffset.y(); }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor v) { SetChanged(FHighlightColor, v); }
    TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor v) { SetChanged(FHighlightTextColor, v); }
    bool Hovering() const { return FHovering; }
    void SetHovering(bool v) { FHovering = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // The cells fill the grid up to its border: the outer line is drawn one
    // pixel in, and the pixel around it takes the parent's colour.
    bool FitCellsInGrid() const { return FFitCellsInGrid; }
    void SetFitCellsInGrid(bool v) { SetChanged(FFitCellsInGrid, v); }
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways v);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    // The text-drawing flag of VAlignment: 0 top, 4 centre, 8 bottom.
    int VAlign() const { return FVAlign; }
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int v) { FMaxEditLength = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool SpreadSheet() const { return FSpreadSheet; }
    void SetSpreadSheet(bool v);
    int Cursor() const { return FCursor; }
    void SetCursor(int v)
    {
        FCursor = v;
        FOldCursor = v;
    }
    // Stored as plain RGB (system colours resolved), then repainted.
    TColor StudioGradientFrom() const { return FStudioGradFrom; }
    void SetStudioGradientFrom(TColor v) { SetStudio(FStudioGradFrom, v); }
    TColor StudioGradientTo() const { return FStudioGradTo; }
    void SetStudioGradientTo(TColor v) { SetStudio(FStudioGradTo, v); }
    TColor StudioGradientMirrorFrom() const { return FStudioGradMirrorFrom; }
    void SetStudioGradientMirrorFrom(TColor v) { SetStudio(FStudioGradMirrorFrom, v); }
    TColor StudioGradientMirrorTo() const { return FStudioGradMirrorTo; }
    void SetStudioGradientMirrorTo(TColor v) { SetStudio(FStudioGradMirrorTo, v); }
    // Plain fields.
    TColor StudioGradientHoverFrom = clNone;
    TColor StudioGradientHoverTo = clNone;
    TColor StudioGradientHoverMirrorFrom = clNone;
    TColor StudioGradientHoverMirrorTo = clNone;
    TColor StudioGradientHoverBorder = clNone;
    TColor StudioGradientDownFrom = clNone;
    TColor StudioGradientDownTo = clNone;
    TColor StudioGradientDownMirrorFrom = clNone;
    TColor StudioGradientDownMirrorTo = clNone;
    TColor StudioGradientDownBorder = clNone;
    // The fixed cell under the mouse (-1 when none) and whether a mouse
    // button is held down, as the mouse handling records them; a hot-tracked
    // fixed cell (HoverFixedCells) is painted in the hover or down colours.
    int HoverFixedX = -1;
    int HoverFixedY = -1;
    bool HoverFixedDown = false;
    // A picture drawn in the first column of the current row.
    KR_FIELD_PROP(QImage, RowIndicator, QImage())

    KR_FIELD_PROP(TEditorType, DefaultEditor, edNormal)
    KR_FIELD_PROP(int, MaxComboLength, 0)
    KR_FIELD_PROP(bool, EditWithTags, false)
    KR_FIELD_PROP(QString, ValidChars, QString())
    KR_FIELD_PROP(bool, EnableHTML, true)
    KR_FIELD_PROP(bool, AnchorHint, false)
    KR_FIELD_PROP(bool, URLShow, false)
    KR_FIELD_PROP(bool, URLShowInText, false)
    KR_FIELD_PROP(bool, URLFull, false)
    KR_FIELD_PROP(bool, URLEdit, false)
    KR_FIELD_PROP(bool, URLUnderlineOnHover, false)
    KR_FIELD_PROP(TColor, URLColor, clBlue)
    KR_FIELD_PROP(QString, FloatFormat, QStringLiteral("%.2f"))
    KR_FIELD_PROP(QString, CheckTrue, QStringLiteral("Y"))
    KR_FIELD_PROP(QString, CheckFalse, QStringLiteral("N"))
    KR_FIELD_PROP(QString, PasswordChar, QStringLiteral("*"))
    KR_FIELD_PROP(bool, Multilinecells, false)
    KR_FIELD_PROP(bool, AutoNumAlign, false)
    KR_FIELD_PROP(bool, ShowNullDates, true)
    KR_FIELD_PROP(TColor, DisabledFontColor, clSilver)
    KR_FIELD_PROP(TColor, HintColor, clInfoBk)
    KR_FIELD_PROP(bool, HintShowCells, false)
    KR_FIELD_PROP(bool, HintShowLargeText, false)
    KR_FIELD_PROP(THintPosition, HintShowLargeTextPos, THintPosition::hpCell)
    KR_FIELD_PROP(bool, HintShowSizing, false)
    KR_FIELD_PROP(bool, HTMLHint, false)
    KR_FIELD_PROP(bool, UseInternalHintClass, true)
    KR_FIELD_PROP(bool, HideFocusRect, false)
    KR_FIELD_PROP(bool, FixedAsButtons, false)
    KR_FIELD_PROP(THoverFixedCells, HoverFixedCells, THoverFixedCells::hfNone)
    KR_FIELD_PROP(bool, FilterDropDownCheck, false)
    KR_FIELD_PROP(QString, FilterDropDownClear, QStringLiteral("(All)"))
    KR_FIELD_PROP(TFilterDropDownColumns, FilterDropDownColumns, TFilterDropDownColumns::fdNormal)
    KR_FIELD_PROP(bool, FilterNormalCellsOnly, true)
    KR_FIELD_PROP(bool, FilterIncremental, false)
    KR_FIELD_PROP(bool, AutoFilterUpdate, true)
    KR_FIELD_PROP(bool, EnhRowColMove, true)
    KR_FIELD_PROP(bool, EnableBlink, false)
    KR_FIELD_PROP(bool, EnableWheel, true)
    KR_FIELD_PROP(TIntelliPan, IntelliPan, TIntelliPan::ipVertical)
    KR_FIELD_PROP(bool, IntelliZoom, true)
    KR_FIELD_PROP(TColor, ScrollColor, clNone)
    KR_FIELD_PROP(int, ScrollWidth, 17)
    KR_FIELD_PROP(bool, ScrollSynch, false)
    KR_FIELD_PROP(TScrollHintType, ScrollHints, TScrollHintType::shNone)
    KR_FIELD_PROP(QString, InvalidEntryTitle, QString())
    KR_FIELD_PROP(QString, InvalidEntryText, QString())
    KR_FIELD_PROP(TInvalidEntryIcon, InvalidEntryIcon, TInvalidEntryIcon::ieWarning)
    KR_FIELD_PROP(bool, UseVCLStyles, false)
    KR_FIELD_PROP(QString, EditMask, QString())
    KR_FIELD_PROP(QString, XMLEncoding, QStringLiteral("ISO-8859-1"))
    KR_FIELD_PROP(QChar, Delimiter, QChar(0))
    KR_FIELD_PROP(bool, QuoteEmptyCells, true)
    KR_FIELD_PROP(bool, AlwaysQuotes, false)
    KR_FIELD_PROP(bool, JavaCSV, false)
    KR_FIELD_PROP(bool, LoadFirstRow, true)
    KR_FIELD_PROP(bool, SaveFixedCells, true)
    KR_FIELD_PROP(bool, SaveFixedRows, false)
    KR_FIELD_PROP(bool, SaveFixedCols, false)
    KR_FIELD_PROP(bool, SaveHiddenCells, false)
    KR_FIELD_PROP(bool, SaveVirtCells, true)
    KR_FIELD_PROP(bool, SaveWithHTML, true)
    KR_FIELD_PROP(bool, SaveWithRTF, false)
    KR_FIELD_PROP(bool, OemConvert, false)
    // Multi-line cell texts in copied text are quoted for spreadsheets.
    KR_FIELD_PROP(bool, ExcelClipboardFormat, false)
    KR_FIELD_PROP(bool, ExcelStyleDecimalSeparator, false)
    KR_FIELD_PROP(bool, EnhTextSize, false)
    KR_FIELD_PROP(bool, XYOffsetTopLeftOnly, false)

public:
    QPointer<TExtStringGridCheck> CellChecker;
    QStringList LookupItems;

    // --- per-cell hooks (virtual; the column grid overrides most) ---------------------
    virtual void CanEditCell(int c, int r, bool& canEdit);
    virtual void SearchFooterAction(const QString& value, int c, int r, TSearchAction action);
    virtual void ButtonClick(int c, int r);
    virtual void ExpandClick(int c, int r, bool expanded);
    virtual void ComboCloseUp(int r, int c);
    virtual void ComboDropDown(int r, int c);
    // The cursor for a point of a cell (only with OnGetCellCursor; else -1).
    virtual int GetCellCursor(int c, int r, int x, int y);
    virtual void GetCellHint(int c, int r, QString& hint);
    virtual void GetCellColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font);
    virtual void GetCellPrintColor(int c, int r, TGridDrawState state, TCellBrush& brush, TCellFont& font);
    virtual void GetCellBorder(int c, int r, TCellPen& pen, TCellBorders& borders);
    virtual void GetCellPrintBorder(int c, int r, TCellPen& pen, TCellBorders& borders);
    virtual void QueryAlignment(int c, int r, TAlignment& ha, TVAlignment& va);
    virtual void GetColFormat(int c, TSortStyle& style, QString& prefix, QString& suffix);
    virtual void QueryEditorType(int c, int r, TEditorType& editor);
    virtual void GetCellEditor(int c, int r, TEditorType& editor);
    virtual bool IsNoEditorCell(int c, int r);
    // c is a display column.
    virtual void QueryFixedCell(int c, int r, bool& isFixed);
    virtual void QueryCanEdit(int c, int r, bool& canEdit);
    virtual void QueryPasswordCell(int c, int r, bool& isPassword);
    virtual void QueryWordWrap(int c, int r, bool& wordWrap);
    virtual bool HasCombo(int c, int r);
    virtual bool HasSpin(int c, int r);
    virtual void GetCheckTrue(int c, int r, QString& value);
    virtual void GetCheckFalse(int c, int r, QString& value);
    // Fills the filter list of a column's drop-down; whether it has entries.
    virtual bool GetColumnFilter(int c);
    const QStringList& FilterList() const { return FFilterList; }
    void GetCellDefaults(int c, int r, TCellLook& look) override;
    // A cell is fixed: by position or by QueryFixedCell (display column).
    bool IsFixed(int c, int r) override;
    void CellTextChanged(int c, int r) override {}
    void GetDisplText(int c, int r, QString& value) override;
    bool UseStyleElements() override { return UseVCLStyles(); }
    // The display text of a cell.
    virtual QString GetFormattedCell(int c, int r);
    virtual void GetCellFloatFormat(int c, int r, QString& format) { format = FloatFormat(); }
    // The kind of graphic a cell carries (ctEmpty when none).
    virtual TCellType GetCellType(int c, int r);
    virtual TCellGraphic* GetCellGraphic(int c, int r);
    // Node rows (a ctNode graphic in column 0) and summary rows (ctSummary);
    // display rows (ExtGridNodes.cpp).
    virtual bool IsNode(int r);
    virtual bool IsSummary(int r);

    // --- sizes, stretching and listeners --------------------------------------------
    void StretchRightColumn() { StretchColumn(ColCount() - 1); }
    // -1: the last column. Raises Exception "Stretch column index out of
    // range" for a column not below ColCount.
    void StretchColumn(int index);
    virtual void UpdateColumnSize(int c, int& width);
    virtual void UpdateAutoColumnSize(int c, int& width);
    virtual void ColumnHeadersChanged() {}
    void RegisterSelListener(ITExtStringGridSelect* listener) { FISelect = listener; }
    void UnRegisterSelListener(ITExtStringGridSelect*) { FISelect = nullptr; }
    ITExtStringGridSelect* SelListener() const { return FISelect; }
    void RegisterNotifier(TGridChangeNotifier* n);
    void UnRegisterNotifier(TGridChangeNotifier* n);
    int NotifierCount() const { return int(FNotifierList.size()); }
    // Cells changed: OnCellsChanged, then every notifier.
    virtual void CellsChanged(const TGridRect& r);
    void CalcSizingState(int x, int y, TGridState& state, int& index) override;
    // Something is dragged over the grid at (x, y) (inside: false when it
    // left): starts, restarts or stops the drag-scroll timer.
    void DragOver(int x, int y, bool inside);
    // The window's client area has a new size.
    void ClientResized(int w, int h);
    // One tick of the drag-scroll timer.
    void DragScrollTick();
    QTimer* DragTimer() const { return FDragTmr.get(); }
    TDragScrollDirection DragScrollDirection() const { return FDragScrollDirection; }
    // The mouse sizing state (set by the mouse handling when a border drag
    // starts and ends).
    int Colclicked = -1;
    int Rowclicked = -1;
    int Colclickedsize = 0;
    int Rowclickedsize = 0;
    bool ColSized = false;
    bool Rowsized = false;
    bool ColchgFlg = true;
    bool ColSizeFlg = false;
    void InitOrigColSizes();

    // --- events ---------------------------------------------------------------------
    TGridRowColBoolEvent OnCanEditCell;
    TGridSearchFooterEvent OnSearchFooterAction;
    TGridCellEvent OnButtonClick;
    TGridExpandEvent OnExpandClick;
    TGridNodeAllowEvent OnBeforeExpandNode;
    TGridNodeAllowEvent OnBeforeContractNode;
    TGridNodeEvent OnExpandNode;
    TGridNodeEvent OnContractNode;
    TGridRowColEvent OnComboCloseUp;
    TGridRowColEvent OnComboDropDown;
    TGridCursorEvent OnGetCellCursor;
    std::function<void(TExtStringGrid* sender, int arow, int acol, QString& hint)> OnGridHint;
    TGridColorEvent OnGetCellColor;
    TGridColorEvent OnGetCellPrintColor;
    TGridBorderEvent OnGetCellBorder;
    TGridBorderEvent OnGetCellPrintBorder;
    TGridAlignmentEvent OnGetAlignment;
    TGridFormatEvent OnGetFormat;
    TGridEditorTypeEvent OnGetEditorType;
    TGridRowColBoolEvent OnIsFixedCell;
    TGridRowColBoolEvent OnIsPasswordCell;
    TGridCellBoolEvent OnGetWordWrap;
    TGridCellBoolEvent OnHasComboBox;
    TGridCellBoolEvent OnHasSpinEdit;
    TGridCellTextEvent OnGetCheckTrue;
    TGridCellTextEvent OnGetCheckFalse;
    TGridFilterListEvent OnGetColumnFilter;
    TGridFloatFormatEvent OnGetFloatFormat;
    TGridColumnSizeEvent OnColumnSize;
    TGridColumnSizeEvent OnRowSize;
    TGridIndexEvent OnEndColumnSize;
    TGridIndexEvent OnEndRowSize;
    TGridColumnWidthEvent OnUpdateColumnSize;
    TGridDragScrollEvent OnDragScroll;
    TGridCellsChangedEvent OnCellsChanged;
    TGridNotifyEvent OnResize;
    // The window was resized and the stretched column took up the room.
    TGridNotifyEvent OnGridResize;

    // --- rows and columns: hiding, structure, moving, sizing ------------------------
public:
    // The measurer the sizing operations ask (never null); a new one
    // replaces the one before.
    TCellMeasurer& CellMeasurer();
    void SetCellMeasurer(std::unique_ptr<TCellMeasurer> m);

    // Hidden columns (real indexes). A hidden column keeps its cells and
    // its width; the last shown column is never hidden.
    void HideColumn(int c) { HideColumns(c, c); }
    void HideColumns(int fromCol, int toCol);
    void UnHideColumn(int c) { UnHideColumns(c, c); }
    void UnHideColumns(int fromCol, int toCol);
    void UnHideColumnsAll() { UnHideColumns(0, ColCount() + NumHiddenColumns()); }
    bool IsHiddenColumn(int c) const;
    bool IsIgnoredColumn(int c) const { return FIgnoreColumns.HasValue(c); }
    TIntList& IgnoreColumns() { return FIgnoreColumns; }

    // Hidden rows (real indexes). Each row out of view is parked whole in an
    // item of GridItems, which records why (THiddenRowKind); the operations
    // of one kind never show rows of another.
    void HideRow(int r) { HideRows(r, r); }
    void HideRows(int fromRow, int toRow);
    // As HideRows; nothing when fromRow is hidden already.
    void HideRowsEx(int fromRow, int toRow);
    // One filter level: hides the given display rows (kind hkFilter, Level
    // = FilterLevel) and raises FilterLevel.
    void HideRowList(const TIntList& displRows);
    void UnHideRow(int r) { UnHideRows(r, r); }
    void UnHideRows(int fromRow, int toRow);
    void UnHideRowsAll();
    // Shows the rows of the latest filter level (FilterLevel - 1); lowering
    // FilterLevel is left to the caller.
    void UnHideRowList();
    int FilterLevel() const { return FFilterLevel; }
    void SetFilterLevel(int v) { FFilterLevel = v; }
    // The shared entries of every hiding kind: parks the given real rows
    // (those shown and inside the grid) as items of that kind and level, and
    // shows the items that `which` accepts, each back at its place. Both
    // answer how many rows they moved.
    int HideRealRows(std::vector<int> realRows, THiddenRowKind kind, int level);
    int ShowHiddenRows(const std::function<bool(const TGridItem&)>& which);
    bool IsHiddenRow(int r) const { return IsHiddenRow(TRealRow(r)); }
    // As IsHiddenRow, answered from a list of the real indexes of the hidden
    // rows: made on the first call (listHidden empty), kept by the caller for
    // the next ones while nothing is hidden or shown.
    bool IsHiddenRow(int r, std::unique_ptr<TIntList>& listHidden) const;
    // Hides the selected normal rows (the rows not selected), one by one.
    void HideSelectedRows();
    void HideUnSelectedRows();
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int RealRow() { return RealRowIndex(Row()); }

    // The current row: fires OnRowUpdate when it changed since last told;
    // a synchronised grid follows. The top row is taken only inside
    // FixedRows .. RowCount - 1.
    void SetRow(int r);
    void SetTopRow(int r);
    // Shows no selection until UnHideSelection brings the remembered one
    // back (or the first normal cell when it no longer fits).
    void HideSelection();
    void UnHideSelection();
    bool SelHidden() const { return FSelHidden; }
    // Asks the select-cell query about the current cell again.
    void UpdateEditMode() { SelectCell(Col(), Row()); }
    std::function<void(TExtStringGrid* sender, int oldRow, int newRow)> OnRowUpdate;
    // --- cell objects, check boxes and radio buttons ----------------------------------
    // Columns are real (store) columns, rows display rows, unless an operation
    // says "real row". Every add or create replaces the cell's graphic; what a
    // caller hands in stays the caller's, what the grid creates is freed with
    // the graphic; the shared row and virtual check boxes are never freed.
    TCellGraphic* CellGraphics(int c, int r) { return GetCellGraphic(c, r); }
    TCellType CellTypes(int c, int r) { return GetCellType(c, r); }
    QPoint CellGraphicSize(int c, int r) { return GetCellGraphicSize(c, r); }
    TIntList* CellImages(int c, int r) { return GetCellImages(c, r); }
    QString CellComment(int c, int r) { return GetComment(c, r); }
    void SetCellComment(int c, int r, const QString& v) { SetComment(c, r, v); }
    virtual QPoint GetCellGraphicSize(int c, int r);
    // The size a graphic needs on screen; reserve is kept free below a
    // picture. (0, 0) without a graphic.
    virtual void CalcCellGraphicSize(int c, int r, QPoint& size, int reserve);
    virtual void CalcPrintGraphicSize(int c, int r, QPoint& size, double factor, int areaWidth, int areaHeight);
    TIntList* GetCellImages(int c, int r);
    TCellGraphic* CreateCellGraphic(int c, int r);
    bool RemoveCellGraphic(int c, int r);
    bool RemoveCellGraphicOfType(int c, int r, TCellType kind);
    // On the base cell of the position; False for a negative index.
    bool HasCellTypeIn(int c, int r, TCellTypes kinds);
    // A key that orders image cells when sorting: the picture's address, the
    // image index, else -1.
    intptr_t GraphicSortKey(int c, int r);
    void GetExpandRect(int c, int r, TRect& rect);
    // c is a display column.
    void CellButtonRect(int c, int r, TRect& rect);
    TCustomImageList* GridImages() const { return FGridImages.get(); }
    void SetGridImages(TCustomImageList* v) { FGridImages = TImageListRef(v); }
    virtual TCustomImageList* GetGridImages() { return GridImages(); }

    bool HasBalloon(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctBalloon}); }
    bool IsRadio(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctRadio}); }
    bool HasExpand(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctExpand}); }
    bool HasProgress(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctProgress}); }
    bool HasRating(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctRating}); }
    bool HasScrollBar(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctScrollbar}); }
    bool HasButton(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctButton, TCellType::ctBitButton}); }
    bool HasCheckBox(int c, int r);
    bool HasDataCheckBox(int c, int r);
    bool IsControlCell(int c, int r);
    bool IsDataGraphicCell(int c, int r);
    bool HasDataImage(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctDataImage}); }
    bool HasRadioButton(int c, int r) { return HasCellTypeIn(c, r, {TCellType::ctRadioButton}); }
    bool HasAutoRangeScrollBar(int c, int r);
    bool HasBitmap(int c, int r) { return GetCellType(c, r) == TCellType::ctBitmap; }
    bool HasPicture(int c, int r) { return GetCellType(c, r) == TCellType::ctPicture; }

    void AddBitmap(int c, int r, QImage* bmp, bool transparent, TCellHAlign hal, TCellVAlign val);
    QImage* CreateBitmap(int c, int r, bool transparent, TCellHAlign hal, TCellVAlign val);
    bool RemoveBitmap(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctBitmap); }
    QImage* GetBitmap(int c, int r);
    void AddPicture(int c, int r, QImage* picture, bool transparent, TStretchMode stretchMode, int padding,
                    TCellHAlign hal, TCellVAlign val);
    QImage* CreatePicture(int c, int r, bool transparent, TStretchMode stretchMode, int padding, TCellHAlign hal,
                          TCellVAlign val);
    bool RemovePicture(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctPicture); }
    QImage* GetPicture(int c, int r);
    void AddFilePicture(int c, int r, TFilePicture* picture, bool transparent, TStretchMode stretchMode, int padding,
                        TCellHAlign hal, TCellVAlign val);
    TFilePicture* CreateFilePicture(int c, int r, bool transparent, TStretchMode stretchMode, int padding,
                                    TCellHAlign hal, TCellVAlign val);
    bool RemoveFilePicture(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctFilePicture); }
    TFilePicture* GetFilePicture(int c, int r);
    void AddIcon(int c, int r, QImage* icon, TCellHAlign hal, TCellVAlign val);
    QImage* CreateIcon(int c, int r, TCellHAlign hal, TCellVAlign val);
    bool RemoveIcon(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctIcon); }
    // The image-list kinds need GridImages; without it nothing happens.
    void AddImageIdx(int c, int r, int idx, TCellHAlign hal, TCellVAlign val);
    bool RemoveImageIdx(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctImageList); }
    bool GetImageIdx(int c, int r, int& idx);
    void SetImageIdx(int c, int r, int idx);
    void AddDataImage(int c, int r, int idx, TCellHAlign hal, TCellVAlign val);
    // Removes a data image and clears the cell text in every case.
    void RemoveDataImage(int c, int r);
    void AddMultiImage(int c, int r, int dir, TCellHAlign hal, TCellVAlign val);
    bool RemoveMultiImage(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctImages); }
    void AddInterfacedCell(int c, int r, TInterfacedPersistent* object);
    bool RemoveInterfacedCell(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctInterface); }
    TInterfacedPersistent* GetInterfacedCell(int c, int r);
    void AddProgress(int c, int r, TColor fgColor, TColor bkColor);
    void AddProgressEx(int c, int r, TColor fgColor, TColor fgTextColor, TColor bkColor, TColor bkTextColor);
    void AddProgressFormatted(int c, int r, TColor fgColor, TColor fgTextColor, TColor bkColor, TColor bkTextColor,
                              const QString& fmt, int min, int max);
    bool RemoveProgress(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctProgress); }
    void AddExtProgress(int c, int r, int min, int max);
    bool RemoveExtProgress(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctXPProgress); }
    void AddProgressPie(int c, int r, TColor color, int value);
    bool RemoveProgressPie(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctProgressPie); }
    void SetProgressPie(int c, int r, int value);
    void AddRangeIndicator(int c, int r, int range, TColor negColor, TColor posColor, bool showValue);
    bool RemoveRangeIndicator(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctRangeIndicator); }
    void AddComment(int c, int r, const QString& comment);
    void AddColorComment(int c, int r, const QString& comment, TColor color);
    bool RemoveComment(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctComment); }
    void RemoveAllComments();
    bool IsComment(int c, int r, QString& comment);
    QString GetComment(int c, int r);
    void SetComment(int c, int r, const QString& comment);
    void AddShape(int c, int r, TCellShape shape, TColor fillColor, TColor lineColor, TCellHAlign hal,
                  TCellVAlign val);
    bool RemoveShape(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctShape); }
    void SetShapeColor(int c, int r, TColor fillColor);
    TColor GetShapeColor(int c, int r);
    void AddRating(int c, int r, int scale, TColor fillColor, TColor emptyColor);
    bool RemoveRating(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctRating); }
    void AddScrollBar(int c, int r, bool autoRange);
    bool RemoveScrollBar(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctScrollbar); }
    void SetScrollPosition(int c, int r, int pos);
    int GetScrollPosition(int c, int r);
    struct TScrollProp {
        int PageSize = -1;
        int Range = -1;
    };
    void SetScrollProp(int c, int r, TScrollProp prop);
    TScrollProp GetScrollProp(int c, int r);
    // The one scroll-bar control that serves the scroll-bar cells (made on
    // first use, hidden while no cell uses it).
    QScrollBar* CellScrollBar();
    // Puts the control over the right edge of a scroll-bar cell (display
    // column c) with the cell's position, page and range, and shows it when
    // the page is below the range; a cell without a scroll bar hides it.
    void ShowCellScrollBar(int c, int r);
    int ScrollCol() const { return FScrollCol; }
    int ScrollRow() const { return FScrollRow; }
    // A step of the in-cell scroll bar: lines move by 10, pages by 100, a
    // dragged thumb to its place; a changed position is stored in the cell,
    // which is repainted, and reported through ScrollCell.
    void CellScrollBarAction(int action);
    // Fires OnScrollCell for the scroll-bar cell with its position and range.
    virtual void ScrollCell();
    std::function<void(TExtStringGrid* sender, int acol, int arow, int position, int min, int max)> OnScrollCell;
    // Page size and range of an automatic-range scroll bar from the row
    // height and the height of the cell text.
    virtual void UpdateAutoRangeScrollBar(int c, int r);
    void AddButton(int c, int r, int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    void AddBitButton(int c, int r, int bw, int bh, const QString& caption, QImage* glyph, TCellHAlign hal,
                      TCellVAlign val);
    QImage* CreateBitButton(int c, int r, int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    bool RemoveButton(int c, int r);
    bool RemoveBitButton(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctBitButton); }
    void RemoveAllButtons();
    // c is a display column.
    void SetButtonText(int c, int r, const QString& caption);
    QString GetButtonText(int c, int r);
    void PushButton(int c, int r, bool push);
    void AddBalloon(int c, int r, const QString& title, const QString& text, TBalloonIcon icon);
    void RemoveBalloon(int c, int r);
    bool IsBalloon(int c, int r, QString& title, QString& text, TBalloonIcon& icon);
    void AddExpand(int c, int r, int expandedHeight);
    bool RemoveExpand(int c, int r) { return RemoveCellGraphicOfType(c, r, TCellType::ctExpand); }
    bool ToggleExpand(int c, int r);
    bool GetExpandState(int c, int r);
    int GetExpandHeight(int c, int r, bool expanded);
    void AddMarker(int c, int r, int errPos, int errLen);
    void RemoveMarker(int c, int r);
    void RemoveAllMarkers();
    void GetMarker(int c, int r, int& errPos, int& errLen);

    // Check boxes. The first check row is 0 with MouseActions.CheckAllCheck
    // (the header row carries a box too), else FixedRows. AddCheckBox and
    // AddRadioButton raise EExtGridError "Invalid cell" for a cell outside
    // all (hidden included) rows and columns.
    void AddCheckBox(int c, int r, bool state, bool data);
    void AddCheckBox(int c, int r, TCheckBoxState state);
    void AddCheckBoxColumn(int c, bool defaultState, bool dataCheckBox);
    void AddTriStateCheckBoxColumn(int c, TCheckBoxState state);
    void RemoveCheckBoxColumn(int c);
    void RemoveCheckBox(int c, int r);
    void AddRadioButton(int c, int r, bool state);
    void AddRadioButtonColumn(int c);
    void RemoveRadioButton(int c, int r);
    void RemoveRadioButtonColumn(int c);
    // The grid keeps no reference to sl: the caller keeps it alive.
    void AddRadio(int c, int r, int dirRadio, int idxRadio, QStringList* sl);
    QStringList* CreateRadio(int c, int r, int dirRadio, int idxRadio);
    void RemoveRadio(int c, int r) { RemoveCellGraphicOfType(c, r, TCellType::ctRadio); }
    bool IsRadioButtonChecked(int c, int r);
    int GetRadioButtonColumnIndex(int c);
    QStringList* GetRadioStrings(int c, int r);
    bool GetRadioIdx(int c, int r, int& idxRadio);
    bool IsChecked(int c, int r);
    bool IsInCheckBox(int c, int r, int x, int y);
    // Real row. True when the cell has a box whose state was read.
    bool GetCheckBoxState(int c, int r, bool& state);
    bool GetCheckBoxState(int c, int r, TCheckBoxState& state);
    // Real row; no notification.
    bool SetCheckBoxState(int c, int r, bool state);
    bool SetCheckBoxState(int c, int r, TCheckBoxState state);
    // Display row; notifies a change.
    bool ChangeCheckBoxState(int c, int r, bool value);
    void CheckAll(int c);
    void UnCheckAll(int c);
    bool SetRadioButtonState(int c, int r, bool state);
    void SetRadioButtonColumnIndex(int c, int index);
    bool SetRadioIdx(int c, int r, int idxRadio);
    bool ToggleCheckBox(int c, int r) { return ToggleCheck(c, r, false); }
    virtual bool ToggleCheck(int c, int r, bool checkEditable);
    // Undo and redo of a toggle: a plain or three-state box takes the played
    // back check text as its state and keeps its own text; any other cell
    // gets the text.
    void PlayBackCell(int c, int r, const QString& value) override;
    virtual bool ToggleRadioButton(int c, int r, bool checkEditable);
    virtual void CanAddRow(bool& canAdd);
    virtual void CanInsertRow(int r, bool& canInsert);
    virtual void CheckBoxChange(int c, int r, bool state);
    virtual bool RatingChange(int c, int r, double& newRate);
    // The colour and image picker editors' choice for the current cell.
    virtual void ColorSelect(TColor color, const QString& value);
    virtual void ImageSelect(int index);
    void SelectNextRadio(int c, int r, bool checkEditable);
    // --- tree nodes (ExtGridNodes.cpp) ------------------------------------------------
    // A node row carries a ctNode graphic in column 0 whose span covers the
    // node row and the rows below it (0: up to the next node row); nodes
    // nest, and column 0 of every covered row holds its NodeLevel (the
    // number of nodes covering it). Contracting parks the child rows in the
    // hidden-row store (kind hkNode); expanding brings back those rows only.
    // Operations marked "real" take the real row index, all others the
    // display row. None fires a node event; none raises.
    void AddNode(int realRow, int span);                  // real
    void MarkSummaryRow(int realRow);                     // real
    void RemoveNode(int realRow);                         // real
    void RemoveAllNodes();
    void ExpandNode(int realRow);                         // real
    void ContractNode(int realRow);                       // real
    void ExpandAll();
    void ContractAll();
    // True for a contracted node row.
    bool GetNodeState(int r);
    void SetNodeState(int r, bool contracted);
    virtual bool NodeState(int r) { return GetNodeState(r); }
    // -1 for a row that is no node.
    virtual int GetNodeLevel(int r);
    virtual int GetNodeSpan(int r);
    void SetNodeSpan(int r, int span);
    void UpdateNodeSpan(int r, int delta);
    int GetSubNodeCount(int r);
    void UpdateSubNodeCount(int r, int delta);
    // The node row owning the row; -1 when none.
    virtual int GetParentRow(int r);
    // Tree-line kind of a row: 0 node row, 2 a row continued below, else 1.
    int GetNodeSpanType(int r);
    void InsertNormalRow(int realRow);                    // real
    void RemoveNormalRow(int r);
    void InsertChildRow(int realRow, int insertAt);       // real
    void RemoveChildRow(int realRow);                     // real
    // Whether mouse X (client pixels) lies on the node glyph of row r.
    bool IsNodeGlyphHit(int r, int x);
    int NumNodes() const { return FNumNodes; }
    int GetNodeIndent(int r) override;
    bool HasNodes() override { return FNumNodes > 0; }

    // --- column, row and footer calculations (ExtGridCalc.cpp) -----------------------
    // Column aggregates over rows fromRow..toRow (-1: the data rows). A
    // range reaching past the shown rows counts real rows, hidden ones
    // included. Node and summary rows count only without a group column;
    // covered merged cells and cells that are no number are skipped, but the
    // first row of ColumnMin/ColumnMax and every row of ColumnStdDev raise
    // EExtGridError "Cell does not contain a float value".
    double ColumnSum(int c, int fromRow = -1, int toRow = -1);
    double ColumnAvg(int c, int fromRow = -1, int toRow = -1);
    double ColumnMin(int c, int fromRow = -1, int toRow = -1);
    double ColumnMax(int c, int fromRow = -1, int toRow = -1);
    double ColumnStdDev(int c, int fromRow = -1, int toRow = -1);
    double ColumnDistinct(int c, int fromRow = -1, int toRow = -1);
    double ColumnCustomCalc(int c, int fromRow, int toRow);
    double DoGroupCalc(int c, int fromRow, int toRow);
    // Row aggregates over the base cells of columns fromCol..toCol.
    double RowSum(int r, int fromCol, int toCol);
    double RowAvg(int r, int fromCol, int toCol);
    double RowMin(int r, int fromCol, int toCol);
    double RowMax(int r, int fromCol, int toCol);
    // Recalculates the footer cell of a column (-1: every column) while the
    // floating footer is visible with fsFixedLastRow and calculating. Never
    // raises: a cell whose aggregate fails is left empty.
    virtual void CalcFooter(int c);
    // Repaints the footer panel.
    virtual void UpdateFooter();
    std::function<void(TExtStringGrid* sender, int acol, int fromRow, int toRow, double& res)> OnColumnCalc;
    std::function<void(TExtStringGrid* sender, int acol, int fromRow, int toRow, double& res)> OnGroupCalc;
    TCalcFooterEvent OnFooterCalc;

    // --- grouping (ExtGridGroup.cpp) ----------------------------------------------------
    // Grouping by a column (a real column from 1 and at least FixedCols) takes
    // the column out of the grid and puts a header row, made a node over its
    // rows, before every run of equal texts (exact comparison) of the column,
    // with Grouping.Summary a summary row after each run. Rows out of view
    // (filtered, hidden, in contracted nodes) come back first. UnGroup undoes
    // every sub-grouping, puts the column back with its width, caption and
    // footer text and its value into every data row, and removes the header
    // and summary rows. SubGroup groups a column inside the groups with child
    // header rows whose node remembers the column; SubUnGroup undoes it.
    // Each runs in one update; a failure clears IsGrouping and ends it.
    virtual void SubGroup(int colIndex);
    virtual void SubUnGroup(int colIndex);
    virtual void Group(int colIndex);
    virtual void UnGroup();
    // -1 ungroups, a value above 0 groups by that column, others do nothing.
    void SetGroupColumn(int v);
    bool IsGrouping() const { return FIsGrouping; }
    // Group results into column colIndex of every expanded group's header
    // row, or of its summary row with Grouping.Summary: 1 sum, 2 average,
    // 3 minimum, 4 maximum, 5 count (an integer), 6 OnGroupCalc, 7 distinct
    // count, 8 standard deviation; any other method writes nothing.
    void GroupCalc(int colIndex, int method);
    // The first five also set the column's footer calculation while the
    // floating footer is shown.
    void GroupSum(int colIndex) { GroupCalc(colIndex, 1); }
    void GroupAvg(int colIndex) { GroupCalc(colIndex, 2); }
    void GroupMin(int colIndex) { GroupCalc(colIndex, 3); }
    void GroupMax(int colIndex) { GroupCalc(colIndex, 4); }
    void GroupCount(int colIndex) { GroupCalc(colIndex, 5); }
    void GroupCustomCalc(int colIndex) { GroupCalc(colIndex, 6); }
    void GroupDistinct(int colIndex) { GroupCalc(colIndex, 7); }
    void GroupStdDev(int colIndex) { GroupCalc(colIndex, 8); }

protected:
    virtual void CalcFooterCells(int c);
    void LastRowChanged() override;

public:

    // --- text marking, cell checking and fills (ExtGridMarking.cpp) ------------------
    // S with the matches of Text wrapped in "<hi>" (highlight) or "<e>"
    // (error mark) tag pairs; S escaped first. Unmarking gives a marked text
    // back as it was and leaves any other text alone.
    QString HilightText(bool doCase, const QString& s, const QString& text);
    QString UnHilightText(const QString& s);
    QString MarkText(bool doCase, const QString& s, const QString& text);
    QString UnMarkText(const QString& s);
    // Ranges: doFixed takes the fixed rows and columns too; only cells with
    // a match (marking) or with marks (unmarking) are rewritten.
    void HilightInCell(bool doCase, int c, int r, const QString& hiText);
    void HilightInCol(bool doFixed, bool doCase, int c, const QString& hiText);
    void HilightInRow(bool doFixed, bool doCase, int r, const QString& hiText);
    void HilightInGrid(bool doFixed, bool doCase, const QString& hiText);
    void UnHilightInCell(int c, int r);
    void UnHilightInCol(bool doFixed, int c);
    void UnHilightInRow(bool doFixed, int r);
    void UnHilightInGrid(bool doFixed);
    void MarkInCell(bool doCase, int c, int r, const QString& text);
    void MarkInCol(bool doFixed, bool doCase, int c, const QString& text);
    void MarkInRow(bool doFixed, bool doCase, int r, const QString& text);
    void MarkInGrid(bool doFixed, bool doCase, const QString& text);
    void UnMarkInCell(int c, int r);
    void UnMarkInCol(bool doFixed, int c);
    void UnMarkInRow(bool doFixed, int r);
    void UnMarkInGrid(bool doFixed);
    // Checks (corrects or marks) cells through CellChecker; True without one
    // and when every cell kept its clean text.
    bool CheckCell(int c, int r);
    bool CheckCells(int fromCol, int fromRow, int toCol, int toRow);
    bool CheckCol(bool doFixed, int c);
    bool CheckRow(bool doFixed, int r);
    bool CheckGrid(bool doFixed);
    // Fill every cell (doFixed) or the data cells, then CellsLoaded.
    // FormatFill's pattern takes the column and the row index as integers;
    // any other pattern raises EConvertError and changes no cell.
    void TextFill(bool doFixed, const QString& txt);
    void FormatFill(bool doFixed, const QString& fmt);
    void RandomFill(bool doFixed, int rnd);
    void LinearFill(bool doFixed);
    // RandomFill's generator: a number from 0 to range - 1 (a uniform one
    // when not set).
    std::function<int(int range)> RandomSource;

private:
    enum class TMarkScope : uint8_t { msCol, msRow, msGrid };
    struct TMarkRange {
        int FromCol, ToCol, FromRow, ToRow;
        bool RealCols;
    };
    TMarkRange MarkRangeOf(TMarkScope scope, bool doFixed, int index, bool plusHidden);
    void MarkRange(const TMarkRange& range, const QString& tag, bool mark, bool doCase, const QString& text);
    void FillRange(bool doFixed, const std::function<void(int c, int r)>& write);

public:

    std::function<void(TExtStringGrid* sender, bool& canAdd)> OnCanAddRow;
    std::function<void(TExtStringGrid* sender, int arow, bool& canInsert)> OnCanInsertRow;
    std::function<void(TExtStringGrid* sender, int acol, int arow, bool state)> OnCheckBoxChange;
    std::function<void(TExtStringGrid* sender, int acol, int arow, double& newRate, bool& allow)> OnRatingChange;
    std::function<void(TExtStringGrid* sender, int acol, int arow, TColor color, const QString& value)> OnColorSelect;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int index)> OnImageSelect;

    // --- selection model ---------------------------------------------------------------
    // Row flags are indexed by display row, or by real row with
    // MouseActions.RowSelectPersistent. Indexes are display indexes.
    bool RowSelect(int r);
    void SetRowSelect(int r, bool v);
    bool ColSelect(int c);
    void SetColSelect(int c, bool v);
    bool RowModified(int r) const;
    void SetRowModified(int r, bool v);
    bool RowEnabled(int r) const;
    void SetRowEnabled(int r, bool v);
    bool UseEnabledRows() const { return FUseEnabledRows; }
    bool SelectedCells(int c, int r);
    void SetSelectedCells(int c, int r, bool v);
    TGridCoord SelectedCell(int i) const;
    int SelectedRow(int i) const;
    int RowSelectCount();
    int ColSelectCount();
    int SelectedRowCount();
    int SelectedColCount();
    int SelectedCellsCount();
    void SelectRows(int rowIndex, int rCount);
    void UnSelectRows(int rowIndex, int rCount);
    void SelectCols(int colIndex, int cCount);
    void UnSelectCols(int colIndex, int cCount);
    // The current cell ends at (toCol, toRow).
    void SelectRange(int fromCol, int toCol, int fromRow, int toRow);
    void SelectCells(int fromCol, int fromRow, int toCol, int toRow);
    void FocusCell(int c, int r);
    void GotoCell(int c, int r);
    void EditCell(int c, int r);
    void ClearRowSelect();
    void ClearColSelect();
    void ClearSelectedCells();
    void ClearModifiedRows();
    int ModifiedRowCount() const;
    bool IsSelected(int c, int r);
    // Tab between columns, CR LF between rows, nothing after the last.
    QString SelectedText();
    void SelectionToRowSelect(bool all);
    void SelectionToColSelect(bool all);
    bool SelChange() const { return FSelChange; }
    void SetSelChange(bool v) { FSelChange = v; }
    std::function<void(TExtStringGrid* sender, int arow, bool astate, bool& allow)> OnRowDisjunctSelect;
    std::function<void(TExtStringGrid* sender, int arow)> OnRowDisjunctSelected;

    // --- row, selection, filter and cell-storage hooks ----------------------------------
    virtual void DoFixedEdit(int c, int r, TGridFixedCellEditor& editor, QStringList& values);
    virtual void DoSelectionChanged(int left, int top, int right, int bottom);
    virtual void InsertGridRow(int r);
    virtual void RemoveGridRow(int r);
    virtual void DoFilterDone();
    virtual void FormulaCellText(int c, int r, QString& value);
    // The text file writers store for a cell.
    virtual void GetSaveText(int c, int r, QString& value);
    // Stores a text a reader read, raw.
    virtual void SetLoadText(int c, int r, QString value);
    virtual void ExportNotification(TGridExportState state, int r) {}
    virtual void ImportNotification(TGridImportState state, int r) {}
    std::function<void(TExtStringGrid* sender, int acol, int arow, TGridFixedCellEditor& editor, QStringList& values)>
        OnFixedEdit;
    std::function<void(TExtStringGrid* sender, int aleft, int atop, int aright, int abottom)> OnSelectionChanged;
    std::function<void(TExtStringGrid* sender, int arow)> OnAutoDeleteRow;
    TGridNotifyEvent OnFilterDone;
    TGridCellTextEvent OnSaveCell;
    TGridCellTextEvent OnLoadCell;

    // --- binary cell stream and native text file (ExtGridStream.cpp) -------------------
    // The cell stream of a block of cells (all four edges inclusive), or of
    // the save range, written at the stream's position. Raises
    // EExtGridError for a block outside the grid.
    void SaveRectToBinStream(const TGridRect& rect, QIODevice& stream);
    void SaveToBinStream(QIODevice& stream);
    void SaveToBinFile(const QString& fileName);
    QByteArray SaveRectToBinBytes(const TGridRect& rect);
    // Reads a cell stream from the stream's position and places it at point
    // (column, row). The whole stream is read and checked first: a bad one
    // raises EReadError and leaves the grid as it was.
    void LoadAtPointFromBinStream(QPoint point, QIODevice& stream);
    void LoadFromBinStream(QIODevice& stream);
    void LoadFromBinFile(const QString& fileName);
    void LoadAtPointFromBinBytes(QPoint point, QByteArrayView bytes);
    // The same, checked whole before beforeApply (when set) runs with the
    // stream's head and the cells are placed; asBlock places a whole-grid
    // stream at the point like any block.
    void LoadCellBlock(QPoint point, QByteArrayView bytes, bool asBlock,
                       const std::function<void(const TGridPropIO&)>& beforeApply);
    // The native text file; the byte forms hold the file's whole content.
    // A bad file raises EExtGridError "File contains no data or corrupt
    // file " + the name and leaves the grid as it was.
    void SaveToFile(const QString& fileName, bool unicode = false);
    void LoadFromFile(const QString& fileName);
    QByteArray SaveToFileBytes(bool unicode = false);
    void LoadFromFileBytes(const QByteArray& bytes, const QString& fileName);
    // The ID a cell stream of this grid carries: random, drawn once per grid.
    int32_t StreamID();
    // --- ASCII table (ExtGridASCII.cpp) -------------------------------------------------
    // The saved cells as a text table of padded, aligned columns, each as
    // wide as its longest text line plus one; lines end with CR LF. The file
    // is UTF-16LE with a byte-order mark when unicode, else the 8-bit code
    // page; it is written whole. Append keeps the lines already in the file.
    void SaveToASCII(const QString& fileName, bool unicode = false);
    void AppendToASCII(const QString& fileName, bool unicode = false);
    QStringList ASCIILines();
    // --- HTML table (ExtGridHTML.cpp) ---------------------------------------------------
    // The saved cells as an HTML table with one style class per distinct
    // cell look, pictures written as images/imgN.jpg in the folder dir.
    // Every text is escaped; only the grid's own mini-HTML tags and http,
    // https and mailto links pass as markup.
    QString SaveToHTMLString(const QString& dir);
    // The same for one block of cells (all four edges inclusive, display
    // columns), every row a body row: the HTML copy of a selection.
    QString SaveRectToHTMLString(const TGridRect& rect, const QString& dir);
    // The HTML file: the old file's lines (append), the header file, the
    // table and the footer file; UTF-16LE with a byte-order mark when
    // unicode, else 7-bit ASCII with numeric references. With show or
    // HTMLSettings().AutoPreview the desktop then opens the page.
    void SaveToHTML(const QString& fileName, bool show = false, bool unicode = false);
    void AppendToHTML(const QString& fileName, bool show = false, bool unicode = false);
    // A cell's raw text read as a number (0 when empty); EExtGridError
    // "Error at position: N in Cell [c, r]." when it is not one.
    double CellToReal(int ACol, int ARow);
    // --- XML list of records (ExtGridXML.cpp) ---------------------------------------------
    // The save range as a list of records, one element per cell, in the
    // bytes of XMLEncoding (characters it cannot hold as references). An
    // unknown encoding or an element name that is not an XML name raises
    // EExtGridError before anything is written; the file is written whole.
    void SaveToXML(const QString& fileName, const QString& listDescr, const QString& recordDescr,
                   const QStringList& fieldDescr = {}, bool exportEmptyCells = false);
    QByteArray SaveToXMLBytes(const QString& listDescr, const QString& recordDescr, const QStringList& fieldDescr = {},
                              bool exportEmptyCells = false);
    // Reads any XML document of nested elements and attributes into cells.
    // The whole document is read and checked first: a bad one raises
    // EExtGridError and leaves the grid as it was.
    void LoadFromXML(const QString& fileName, bool levelToRow = false, bool loadFieldDescr = false);
    void LoadFromXMLBytes(const QByteArray& bytes, bool levelToRow = false, bool loadFieldDescr = false);
    // Progress of the file and stream readers and writers, 0..100.
    std::function<void(TExtStringGrid* sender, int16_t progress)> OnFileProgress;

    // --- clipboard (ExtGridClipboard.cpp) ---------------------------------------------
    // A copy puts one QMimeData on the clipboard holding every format it
    // writes: the tab-separated text (always), the top-left cell's rich text
    // (AllowRTFClipboard), the cell stream (AllowFmtClipboard). Copied text is
    // the spreadsheet form: a cell holding a TAB, a line break or a leading
    // double quote is quoted, inner quotes doubled, line breaks written as LF;
    // rows end with CR LF when the block has more than one row.
    QString GetSelectionAsText();
    // Writes a TAB / line-break text raw from the selection's top-left cell,
    // growing the grid as far as the text needs.
    void SetSelectionAsText(QString& value);
    void CopyToClipBoard();
    void CopyToClipBoardAsHTML();
    void CutToClipboard();
    void CutSelectionToClipboard();
    void PasteFromClipboard();
    void PasteSelectionFromClipboard();
    // The text paster: pastes a text of TAB-separated fields and lines at
    // (acol, arow) (display column). Answers the fields passed plus one for
    // each line's last field; rows := the lines (a final empty one
    // included), cols := the fields of the last line. 0 at a negative
    // position or when neither editing, AllowClipboardAlways nor
    // RangeSelectAndEdit allows it.
    int PasteTextAt(int acol, int arow, int& rows, int& cols, const QString& text);
    // The text layout measure: the most fields in a line, and the row span
    // (one per line break, one less per empty line; a final break adds none).
    static void MeasurePastedText(const QString& text, int& cols, int& rowSpan);
    // Pastes what `mime` holds at (acol, arow): the grid's cells (when
    // AllowGridClipboardFormat), else one rich-text cell (AllowRTFClipboard),
    // else text. Answers the cells of a cell block, else what PasteTextAt
    // answers (0 for rich text); rows and cols receive the block's size.
    int PasteMimeAt(const QMimeData* mime, int acol, int arow, int& rows, int& cols);
    int PasteClipboardAt(int acol, int arow, int& rows, int& cols);
    // Stores one pasted value at display column c: undo registered, a check
    // box set by CheckTrue, any other cell given the text.
    virtual void StorePastedCell(int c, int r, const QString& value);
    virtual void BeforePaste() {}
    virtual void AfterPaste() {}
    virtual void BeginClipboardPaste() {}
    virtual void EndClipboardPaste() {}
    // Marks the pasted rows modified (ShowModified.Enabled).
    virtual void CellsPasted(QPoint sourceTopLeft, const TGridRect& target, TClipOperation lastOp);
    virtual bool AllowGridClipboardFormat();
    QPoint ClipTopLeft() const { return FClipTopLeft; }
    TClipOperation ClipLastOp() const { return FClipLastOp; }
    std::function<void(TExtStringGrid* sender, int acol, int arow, QString& value, bool& allow)>
        OnClipboardBeforePasteWideCell;
    std::function<void(TExtStringGrid* sender, int acol, int arow, const QString& value)> OnClipboardAfterPasteWideCell;
    // Sender: the in-place editor, or the grid's widget (null without one).
    std::function<void(QObject* sender, bool& allow)> OnClipboardCopy;
    std::function<void(QObject* sender, bool& allow)> OnClipboardCut;

private:
    QPoint FClipTopLeft{-1, -1};
    TClipOperation FClipLastOp = coCopy;
    // True during PasteFromClipboard: the import state reported per row.
    bool FPasteAll = false;
    QString ClipboardText(const TGridRect& rect, bool disjunct);
    void CopyRectToClipboard(const TGridRect& rect, bool disjunct);
    void WidenOverMergedCorners();
    // The size of the last pasted block (fields of its first line, lines
    // without a final empty one): the period of a repeated smart paste.
    QSize FPastedBlock;
    int PasteCellsAt(const QByteArray& bytes, int acol, int arow, int& rows, int& cols);
    // Fill or series of the smart paste; true when a series ended the paste.
    bool SmartPaste(const TGridRect& sel, int n);

public:

    // --- delimited, fixed-width and native stream text (ExtGridCSV.cpp) ----------------
    // Every reader parses its whole input first; a bad one raises an error
    // naming the file or line and changes nothing. The byte forms hold a
    // file's whole content.
    void SaveToCSV(const QString& fileName, bool unicode = false);
    void AppendToCSV(const QString& fileName, bool unicode = false);
    // The delimited text of the save range after the lines of `existing`
    // (an appended file's bytes; empty for a new file).
    QByteArray SaveToCSVBytes(bool unicode, const QByteArray& existing = QByteArray());
    void LoadFromCSV(const QString& fileName, int maxRows = 0);
    void InsertFromCSV(const QString& fileName, int maxRows = 0);
    void LoadFromCSVStream(QIODevice& stream, int maxRows = 0);
    void LoadFromCSVBytes(const QByteArray& bytes, int maxRows, bool insert, const QString& fileName);

    // --- spreadsheet, document and database exchange (ExtGridOffice.cpp) ---------------
    // Workbooks are read directly from .xlsx, .ods and .xls files, the format
    // known by the content. A file is read and checked whole before the grid
    // changes: a bad one raises Exception "Incorrect XLS file", a missing
    // sheet EExtGridError "Excel worksheet <name> not found"; the grid is then
    // left as it was. The loaders fill the grid with the sheet's used range
    // (the box of the cells holding a value).
    QStringList GetXLSSheets(const QString& fileName);
    void LoadFromXLS(const QString& fileName);
    void LoadFromXLSSheet(const QString& fileName, const QString& sheetName);
    // The loaders over a file's bytes; an empty sheet name takes the active sheet.
    void LoadFromXLSBytes(const QByteArray& bytes, const QString& sheetName = QString());
    // Workbooks are written as .xlsx content under any name; no office
    // program is used, so SaveToXLS always makes a new workbook whose first
    // sheet holds the grid from A1 (createNewSheet changes nothing).
    // SaveToXLSSheet rewrites or adds the named sheet of an existing .xlsx
    // file (its other entries copied as they are) or makes a new workbook.
    // Refused data (a sheet name, a text over 32767 characters, a grid past
    // the format) raises EExtGridError naming it before anything is written;
    // a failed write raises EFileError; the file is replaced atomically.
    void SaveToXLS(const QString& fileName, bool createNewSheet = true);
    void SaveToXLSSheet(const QString& fileName, const QString& sheetName);
    // Documents are written as .docx content under any name: a table of
    // every grid cell (single lines, one paragraph per text line, aligned as
    // the cell) and a paragraph holding the grid's Text. SaveToDOC makes a new
    // document, the table first (createNewDocument changes nothing);
    // AppendToDoc updates an existing .docx file: the Text paragraph at its
    // start, the table at the bookmark (its paragraph split) or at the end.
    void SaveToDOC(const QString& fileName, bool createNewDocument = true);
    void AppendToDoc(const QString& fileName, const QString& bookmark);
    // The grid's own control text (the document writers' paragraph).
    const QString& Text() const { return FControlText; }
    void SetText(const QString& v) { FControlText = v; }
    // Fills the grid from a query on a database file, opened read-only: a
    // SQLite file by the embedded driver, an Access file (Jet or ACE) by
    // ODBC. The field names go to the last fixed row, the records below the
    // fixed rows, one row each (one empty row when there is none). The query
    // runs whole before the grid changes; its errors raise EDatabaseError.
    void LoadFromMDBTable(const QString& fileName, const QString& table);
    void LoadFromMDBSQL(const QString& fileName, const QString& sql);
    void SaveToFixed(const QString& fileName, TIntList& positions);
    QByteArray SaveToFixedBytes(TIntList& positions);
    void LoadFromFixed(const QString& fileName, TIntList& positions, bool doTrim = true, int maxRows = -1);
    void LoadFromFixedBytes(const QByteArray& bytes, TIntList& positions, bool doTrim, int maxRows, const QString& fileName);
    // The native text lines as UTF-16LE in a stream; the reader leaves the
    // stream at the first line that is not a cell line.
    void SaveToStream(QIODevice& stream);
    void LoadFromStream(QIODevice& stream);
    // The longest line of the save texts of column c.
    int MaxTextLengthInCol(int c);
    // --- companion windows ----------------------------------------------------------
    // Made with the grid, put into its window by CreateWnd, freed with it.
    TFooterPanel& FooterPanel() { return *FFooterPanel; }
    TSearchPanel& SearchPanel() { return *FSearchPanel; }
    TDropList& DropList() { return *FDropList; }
    TDropCheckList& DropCheckList() { return *FDropCheckList; }
    THTMLHintWindow& ScrollHintWindow() { return *FScrollHintWnd; }
    // Not made for a designer.
    THeaderDragButton* HeaderDragButton() const { return FHeaderDragButton.get(); }
    // The touch scroll indicators, while the metro scroll type has them.
    TScrollControl* VScrollControl() const { return vscrlctrl.get(); }
    TScrollControl* HScrollControl() const { return hscrlctrl.get(); }
    // Makes whichever touch scroll indicator is missing, in the grid's window.
    void CreateMetroScrollControls();
    // The filter list handlers (ExtGridFilter.cpp): entry itemIndex of the
    // single-choice list was chosen; an entry of the check list was ticked
    // or unticked (itemIndex -1). Both read the open list through
    // FilterListView.
    virtual void FilterListSelect(int itemIndex);
    virtual void FilterCheckListClick(int itemIndex);
    // The search panel's handlers (ExtGridFind.cpp): the text box changed,
    // the find-next and find-previous buttons, the highlight button. They
    // read and set the bar through SearchBarView.
    virtual void SearchFooterEditChange(const QString& value);
    virtual void SearchFooterFindNext();
    virtual void SearchFooterFindPrev();
    virtual void SearchFooterHighlight();
    // ... and its close button: OnSearchFooterClose, then the search footer
    // is hidden.
    virtual void SearchFooterCloseClick();
    TGridNotifyEvent OnSearchFooterClose;
    // The footer panel and the search panel were put into the grid's window.
    TGridNotifyEvent OnCreatedFloatingFooter;
    TGridNotifyEvent OnCreatedSearchFooter;
    // Paints a footer cell (or the footer's preview area, or the whole strip
    // with fsCustomPaint) in place of the grid's cell painter.
    TFooterPaintEvent OnFooterPaint;
    // The widgets the handlers above talk to (not owned; null: none). A
    // widget registers itself while it is open and takes itself out again.
    IFilterListView* FilterListView() const { return FFilterListView; }
    void SetFilterListView(IFilterListView* v) { FFilterListView = v; }
    ISearchBarView* SearchBarView() const { return FSearchBarView; }
    void SetSearchBarView(ISearchBarView* v) { FSearchBarView = v; }

    // --- filtering (ExtGridFilter.cpp) ------------------------------------------------
    // The conditions; rows that fail them are hidden as one filter level per
    // pass. Filter levels are a stack in the hidden-row store apart from rows
    // hidden otherwise (HideRows, contracted nodes), which they never show.
    TFilter& Filter() { return *FFilter; }
    void SetFilter(const TFilter& v) { FFilter->Assign(v); }
    // On: a filter pass (a new level). Off: the latest level comes back and
    // is dropped. Always recomputes the footers.
    bool FilterActive() const { return FFilterActive; }
    void SetFilterActive(bool v);
    // The fixed row whose cells show the filter buttons; only values below
    // FixedRows are taken.
    int FilterDropDownRow() const { return FFilterDropDownRow; }
    void SetFilterDropDownRow(int v);
    bool FilterDropDownAuto() const { return FFilterDropDownAuto; }
    void SetFilterDropDownAuto(bool v);
    // The column whose filter list is open (-1: none); the list code sets
    // it when it opens a list and resets it when a click outside closes it.
    int FilterCol() const { return FFilterCol; }
    void SetFilterCol(int c) { FFilterCol = c; }
    // One filter pass over the normal rows: the failing rows become a new
    // filter level (also when none fails).
    void ApplyFilter();
    // Tests one display row and hides it alone (no level) when it fails.
    void FilterRow(int r);
    // Removes the latest filter level; true while more than one level stays.
    bool RemoveLastFilter();
    // Removes every filter level; with none applied empties Filter instead.
    void RemoveAllFilters();
    // Incremental filtering while typing: a text one character longer than
    // the last adds a level, one character shorter removes one, any other
    // starts over. Column -1 tests the whole row; "" removes the levels.
    void NarrowDown(const QString& condition, int column);
    // Whether display row r passes Filter and OnCustomFilter.
    virtual bool MatchFilterRow(int r);
    std::function<void(TExtStringGrid* sender, int arow, bool& acceptRow)> OnCustomFilter;
    // Progress of a filter pass in percent.
    std::function<void(TExtStringGrid* sender, int16_t progress)> OnFilterProgress;
    std::function<void(TExtStringGrid* sender, int column, int itemIndex, const QString& friendlyName,
                       QString& filterCondition)>
        OnFilterSelect;
    std::function<void(TExtStringGrid* sender, int column, int itemIndex, const QString& friendlyName,
                       QString& filterCondition, IFilterListView* checkList)>
        OnFilterCheck;

    // --- find and replace (ExtGridFind.cpp) -------------------------------------------
    // The first matching cell after start ((-1, -1): from the region's first
    // cell), or (-1, -1). Columns are display columns unless
    // fnIncludeHiddenColumns, rows display rows unless fnIncludeHiddenRows.
    QPoint Find(QPoint start, const QString& s, TFindParams params);
    // The same on the wide cell texts (no fnAutoGoto scrolling).
    QPoint FindWide(QPoint start, const QString& s, TFindParams params);
    // Find from the start; SearchCell takes the result.
    QPoint FindFirst(const QString& s, TFindParams params);
    // Find after SearchCell with the last text and options.
    QPoint FindNext();
    // Replaces origStr by newStr (ignoring case) in every cell a search with
    // params finds; the number of cells changed.
    int Replace(const QString& origStr, const QString& newStr, TFindParams params);
    // The first row from FixedRows whose sort-column text (stripped, upper-
    // cased) begins with s; -1 when none.
    int Search(const QString& s);
    QPoint SearchCell() const { return FSearchCell; }
    void SetSearchCell(QPoint p) { FSearchCell = p; }
    const QString& SearchCache() const { return FSearchCache; }
    const QString& SearchCacheWide() const { return FSearchCacheWide; }
    TFindParams FindParams() const { return FFindParams; }
    int FindCol() const { return FFindCol; }
    void SetFindCol(int v) { FFindCol = v; }
    int FindRow() const { return FFindRow; }
    void SetFindRow(int v) { FFindRow = v; }
    std::function<void(TExtStringGrid* sender, const QString& value, bool& defaultSearch)> OnSearchEditChange;

    // --- control values -------------------------------------------------------------
    // The value of the inline control `id` in the cell's text (display row);
    // empty when the cell has no such control.
    QString ControlValues(int c, int r, const QString& id);
    // Rewrites that control with the new value; a cell without it is left
    // alone.
    void SetControlValues(int c, int r, const QString& id, const QString& value);

    // --- rich text (ExtGridRich.cpp) --------------------------------------------------
    // The hidden converter through which rich-text cells are loaded,
    // measured and turned into plain text; made on first use, never shown.
    class TExtRichEdit* RichEdit();
    // The in-place editor of edRichEdit cells, in the grid's window (made
    // with the window on first use).
    TExtRichEdit* InplaceRichEdit();
    bool IsRichEditConverter(const TExtRichEdit* e) const { return e && FRichEdit.get() == e; }
    // The cell's rich text into the editor (an empty cell clears it).
    void CellToRich(int c, int r, TExtRichEdit* editor);
    // The editor's content as rich text starting "{\rtf" (empty when it
    // holds no text, or while the grid is being destroyed).
    QString RichToString(TExtRichEdit* editor);
    void RichToCell(int c, int r, TExtRichEdit* editor);
    // The cell's rich text as plain text with CR LF line breaks.
    QString RichCellToPlainText(const QString& richText);
    // Set while the grid moves the focus itself: an editor's focus loss is
    // ignored then.
    bool GridFocusChanging() const { return FGridFocusChanging; }
    void SetGridFocusChanging(bool v) { FGridFocusChanging = v; }
    // The selection of the in-place rich editor changed.
    TGridNotifyEvent OnRichEditSelectionChange;
    // --- in-place editing (ExtGridEdit.cpp) --------------------------------------------
    // Editability, the editor kind and where Enter and Tab go are decided
    // here from the grid's state alone; the cell editors (ExtGridEditors.h)
    // only carry the decisions out.
    // The cell may be edited now: editing is possible at all (goEditing,
    // RangeSelectAndEdit, or editing switched off for this cell only) and
    // the cell's base cell may be edited and is not fixed.
    bool IsEditable(int c, int r);
    bool CanEditCellAt(int c, int r);
    // A text kind is edited by the text editor; edNone by nothing; the rest
    // by one shared special editor per kind.
    static bool IsTextEditorKind(TEditorType kind);
    bool IsPasswordCell(int c, int r);
    // The cell carries an in-cell control (a check box or a radio button):
    // it never opens an editor.
    bool IsEditControlCell(int c, int r);
    void ShowInplaceEdit();
    // Closes the open editor, writing its value into the cell.
    void HideInplaceEdit();
    // Ends an edit because of a key (Enter, Tab, an arrow) and moves on.
    void DoneInplaceEdit(int key, TShiftState shift);
    void ShowCellEdit();
    void HideCellEdit();
    // OnEditingDone now, OnEditCellDone once the current event is over.
    void NotifyEditDone(int c, int r);
    // c is a real column. Every editor writes its value through here.
    virtual void StoreEditedText(int c, int r, const QString& value);
    virtual void UndoCellEdit();
    virtual void GetEditorProp(int c, int r, TEditLink* link);
    virtual void CellChanging(int newCol, int newRow, bool& allow);
    // Editors keep Tab (goTabs, or a validation event assigned).
    bool EditorWantsTab() const;
    bool EditMode() const { return EditorMode(); }
    bool Editing() const { return FEditing; }
    bool EditActive() const { return FEditActive; }
    TEditorType CurrentEditor() const { return FEditControl; }
    // Set once a text editor has opened: from then on the cell follows the
    // text of the open text or spin editor while it is typed.
    bool ShowEditProcess() const { return FShowEditProcess; }
    // The open editor's text changed (not while the grid loads it).
    void EditorTextChanged(const QString& text);
    // The combo editor reports here: its list dropped down or closed up.
    void ComboListDropped();
    // editing: the combo's editor was open (not closing) as the list closed.
    void ComboListClosed(bool editing);
    QString OriginalCellValue() const { return FCellCache; }
    TEditLink* EditLink() const;
    void SetEditLink(TEditLink* link);
    // The text editor and the combo editor of the open window (null
    // without a window or before first use).
    TExtInplaceEdit* NormalEdit();
    TGridCombo* EditCombo();
    TGridCheckBox* EditCheck();
    TGridSpin* SpinEdit();
    // The date, time and date-and-time pickers, the edit with a button, the
    // unit editor and the push button of the open window (made on first
    // read; null without a window).
    TGridDatePicker* DateTimePicker();
    TGridDateTimePicker* DateAndTimePicker();
    TGridEditBtn* BtnEdit();
    TGridUnitEditBtn* BtnUnitEdit();
    TGridButton* GridButton();
    // The drop-down editors (kinds edTrackbarDropDown to edExtGridDropDown)
    // of the open window, made on first read by the factory the drop-down
    // library registered; null without a window or without a factory.
    TGridDropDownEditor* TrackbarDropDown();
    TGridDropDownEditor* MemoDropDown();
    TGridDropDownEditor* CalculatorDropDown();
    TGridDropDownEditor* TimePickerDropDown();
    TGridDropDownEditor* DetailPickerDropDown();
    TGridDropDownEditor* GridDropDown();
    TGridDropDownEditor* ColorPickerDropDown();
    TGridDropDownEditor* ImagePickerDropDown();
    TGridDropDownEditor* ExtGridDropDown();
    TGridDropDownEditor* DropDownEditor(TEditorType kind);
    // A drop-down editor's header or footer button was clicked (fires the
    // event with the current cell).
    void DropDownHeaderButtonClick(int index);
    void DropDownFooterButtonClick(int index);
    // Writes a drop-down editor's committed text into the cell (real column).
    void StoreDropDownText(int c, int r, const QString& value);
    std::function<void(TExtStringGrid* sender, int acol, int arow, int buttonIndex)> OnDropDownHeaderButtonClick;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int buttonIndex)> OnDropDownFooterButtonClick;
    // The colour and image picker editors are about to write their choice
    // (real column); the handler may change it.
    std::function<void(TExtStringGrid* sender, int acol, int arow, TColor& color, QString& value)> OnColorSelected;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int& index)> OnImageSelected;
    // A button editor's text passed through OnEllipsClick for the current
    // cell (real column).
    QString EllipsClick(const QString& s);
    // The value the date-and-time editor opened with.
    TDateTime FOriginalDateTime = 0;
    std::function<void(TExtStringGrid* sender, int acol, int arow, QString& s)> OnEllipsClick;
    TGridRowColEvent OnDatePickerDropDown;
    TGridRowColEvent OnDatePickerCloseUp;
    std::function<void(TExtStringGrid* sender, int acol, int arow, TDateTime value)> OnDateTimeChange;
    // Converts a date cell's text for the date editor in place of the
    // locale's conversion (value starts as now).
    std::function<void(TExtStringGrid* sender, const QString& text, TDateTime& value)> OnCustomStrToDate;
    // The limits and step the spin editor takes as it opens on the current
    // cell (the column grid gives its column's).
    virtual void SpinEditorLimits(TGridSpin& spin) {}
    // The open editor's control (null when none is open or it has none).
    QWidget* EditCtrl();
    // The fixed-cell editors, made hidden on first use and kept as long as
    // the grid.
    TGridTransEdit* EditTrans();
    TGridTransCombo* ComboTrans();
    // Keeps the controls placed in cells in their cells: hidden in hidden
    // rows and columns and outside the visible part (fixed cells' controls
    // stay), placed over their cells otherwise. rebuildList makes the list
    // of cells with a control anew from the cells.
    void CellControlsUpdate(bool rebuildList);
    // A special editor open while the grid scrolls is closed (its value
    // written); the controls in cells and the slim scroll bars follow the
    // scroll.
    void TopLeftChanged() override;
    // The pick list of the combo editor; the column grid fills it from the
    // column before each edit, an OnGetEditorType handler may refill it.
    QStringList& ComboItems() { return FComboItems; }
    void ClearComboString()
    {
        FComboItems.clear();
        FComboObjects.clear();
    }
    void AddComboString(const QString& s) { FComboItems.append(s); }
    // Appends s with an object that OnComboObjectChange hands out when the
    // item is chosen.
    void AddComboStringObject(const QString& s, TUserValue object);
    // The object of an item (empty when it has none).
    TUserValue ComboObject(int index) const;
    bool RemoveComboString(const QString& s);
    bool SetComboSelectionString(const QString& s);
    void SetComboSelection(int idx) { FComboIdx = idx; }
    int ComboSelection() const { return FComboIdx; }
    // The preselected index, used for one edit only.
    int TakeComboSelection();
    int GetComboCount() const { return int(FComboItems.size()); }
    int GetComboIndex(int c, int r);
    // Raises EExtGridError "List index out of bounds" for an index outside the list.
    void SetComboIndex(int c, int r, int value);
    // The pick-list index the combo opens with for a cell text, and whether
    // it was defaulted to the first item (the text is in no item).
    int ComboOpenIndex(const QString& rawText, const QString& text, int preselected, bool& defaulted) const;
    // Grid-key handling of Enter and Esc (the grid's key press).
    void KeyPress(QChar& key) override;
    // The character procedure: characters typed while the grid has the focus.
    bool CharMessage(QChar& key, TShiftState shift, bool keypad) override;
    // Opens the editor of the current cell and types FStartEditChar into it.
    void ShowEditorWithStartChar();
    // Hands FStartEditChar, once, to the open editor as a typed character.
    void DeliverStartEditChar();

    // Validation: the cell before an edit, then the new value checked
    // through the cell checker and OnCellValidate.
    virtual void RememberCell(int c, int r);
    virtual bool ValidateCell(const QString& newValue);
    virtual bool ValidateCellWide(const QString& newValue);
    bool AlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool v) { FAlwaysValidate = v; }
    QString NewCellText() const { return FNewCellText; }
    bool LastValidation() const { return FLastValidation; }
    bool GridModified() const { return FGridModified; }
    void SetGridModified(bool v) { FGridModified = v; }
    bool Validating() const { return FValidating; }
    // The text of the balloon shown on the editor after a refused value
    // (empty while none is shown).
    QString InvalidEntryBalloon() const { return FBalloonText; }

    // Enter and Tab navigation.
    void AdvanceEdit(int c, int r, bool reopenEditor, bool recursive, bool forward, bool autoEdit, bool force);
    bool TabToNextCell(bool backward);
    // Where an advance from (c, r) lands (the start cell when it stays).
    TGridCoord AdvanceTarget(int c, int r, bool forward, bool& addRow);
    // Where a Tab step from the current cell lands; false when it stays.
    bool TabTarget(bool backward, TGridCoord& target);
    int GetFirstNavCol() const;
    int LastDataRow() const { return RowCount() - FixedFooters() - 1; }
    int LastNavCol() const { return ColCount() - FixedRightCols() - 1; }
    virtual bool CanSelectCell(int c, int r);

    // Completion of a typed prefix from a list: the completed text, or an
    // empty string when no entry begins with the prefix (an empty prefix
    // completes nothing).
    static QString LookupCompletion(const QString& prefix, const QStringList& items, bool caseSensitive,
                                    int* index = nullptr);
    QStringList& LookupList() { return LookupItems; }
    bool Lookup() const { return FLookup; }
    void SetLookup(bool v) { FLookup = v; }
    bool LookupCaseSensitive() const { return FLookupCaseSensitive; }
    void SetLookupCaseSensitive(bool v) { FLookupCaseSensitive = v; }
    bool LookupHistory() const { return FLookupHistory; }
    void SetLookupHistory(bool v) { FLookupHistory = v; }

    TGridNotifyEvent OnEditingDone;
    TGridCellEvent OnEditCellDone;
    std::function<void(TExtStringGrid* sender, int acol, int arow, TEditLink* link)> OnGetEditorProp;
    TGridCellEvent OnGetEditorPropInt;
    std::function<void(TExtStringGrid* sender, int acol, int arow, QString& value, bool& valid)> OnCellValidate;
    std::function<void(TExtStringGrid* sender, int acol, int arow, QString& value, bool& valid)> OnCellValidateWide;
    std::function<void(TExtStringGrid* sender, int oldRow, int newRow, bool& allow)> OnRowChanging;
    std::function<void(TExtStringGrid* sender, int oldCol, int newCol, bool& allow)> OnColChanging;
    std::function<void(TExtStringGrid* sender, int oldRow, int oldCol, int newRow, int newCol, bool& allow)>
        OnCellChanging;
    std::function<void(TExtStringGrid* sender, int oldRow, int oldCol, int& newRow, int& newCol, bool& allow)>
        OnAutoAdvance;
    TGridIndexEvent OnAutoAddRow;
    std::function<void(TExtStringGrid* sender, int acol, int arow, const QString& value)> OnEditChange;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int itemIndex, const QString& selection)>
        OnComboChange;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int itemIndex, const QString& selection,
                       const TUserValue& object)>
        OnComboObjectChange;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int value, bool upDown)> OnSpinClick;
    std::function<void(TExtStringGrid* sender, int acol, int arow, double value, bool upDown)> OnFloatSpinClick;
    std::function<void(TExtStringGrid* sender, int acol, int arow, TDateTime value, bool upDown)> OnDateSpinClick;
    std::function<void(TExtStringGrid* sender, int acol, int arow, TDateTime value, bool upDown)> OnTimeSpinClick;
    std::function<void(QObject* editor, bool& allow)> OnClipboardPaste;
    std::function<void(QObject* editor, int acol, int arow, QString& value, bool& allow)> OnClipboardBeforePasteCell;
    std::function<void(QObject* editor, int acol, int arow, const QString& value)> OnClipboardAfterPasteCell;
    // --- painting: looks, styles, visual properties, the cell painter, measuring ------
    // The look of fixed cells and the colour set it brings (nothing when
    // unchanged).
    TGridLook Look() const { return FLook; }
    void SetLook(TGridLook v);
    // The named colour styles; SetComponentStyle also remembers the style.
    virtual void SetStyle(TExtGridStyle style);
    void SetComponentStyle(TStudioStyle style);
    TStudioStyle ComponentStyle() const { return FComponentStyle; }
    void SetTheme(TXPColorScheme scheme);
    // The flat look of a set of colour tones.
    void SetColorTones(const TColorTones& tones);
    const TColorTones& Tones() const { return FTones; }
    // The office theme the grid follows with AutoThemeAdapt: the style of the
    // given theme when it differs from the one applied last.
    void UpdateOfficeTheme(TOfficeTheme current);

    // The look of a display cell for painting (Print false), printing,
    // measuring and export.
    void GetVisualProperties(int c, int r, TVisualProperties& vp) override;
    // The font and brush of a cell for measuring (c display, rc real column).
    void GetFontProperties(int c, int rc, int r, TGridDrawState& state, TCellFont& font, TCellBrush& brush, bool remap);
    // Horizontal and vertical alignment of a cell (real column).
    void GetCellAlignment(int c, int r, TAlignment& ha, TVAlignment& va);
    // What the painter draws inside one cell, worked out without drawing.
    TExtCellPlan PlanCellContent(int c, int r, const TRect& rect, TGridDrawState state, TColor brushColor,
                                 const TCellFont& font);
    void DrawCellContent(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state) override;
    void Paint(TCanvas& canvas) override;
    void PaintFocusRect(TCanvas& canvas) override;
    // The outer border in BorderColor over the control's frame (w x h).
    void PaintBorder(TCanvas& canvas, int w, int h);
    void PaintNonClient(TCanvas& canvas, int w, int h) override;
    // The in-cell scroll bar of a planned cell, drawn at its rectangle; and
    // the width such a bar takes (the platform's vertical bar width).
    void PaintScrollBar(TCanvas& canvas, const TExtCellPlan& plan);
    static int InCellScrollBarWidth();
    // Width of the drop-down button of a hovered fixed cell.
    static constexpr int FixedDropDownWidth = 16;
    // Whether a fixed cell of the real column shows the drop-down button
    // (OnCanShowFixedDropDown may refuse).
    virtual bool CanShowFixedDropDown(int c);
    std::function<void(TExtStringGrid* sender, int acol, bool& canShow)> OnCanShowFixedDropDown;
    // Glyphs of check boxes and radio buttons in a control style.
    void DrawCheckBoxGlyph(TCanvas& canvas, const TRect& r, bool checked, TCheckBoxState state, bool triState,
                           TControlStyle style, bool grayed, bool enabled);
    // A radio group of count items in r: side by side or one under the
    // other (up the canvas when reverse), circles scaled by scale; the
    // chosen item by index, or by its caption when index is -1.
    void DrawRadioGlyph(TCanvas& canvas, const TRect& r, bool reverse, double scale, TControlStyle style, int row,
                        int col, bool selected, const QStringList* items, bool disabled, bool horizontal, int index,
                        int count);
    // One radio glyph in r.
    void DrawRadioGlyph(TCanvas& canvas, const TRect& r, TControlStyle style, bool checked, bool enabled);
    void DrawSortIndicator(TCanvas& canvas, int c, int y, int x);
    // Renders a rich-text cell (real column) into r.
    void DrawRichTextCell(int c, int r, const TRect& rect, TCanvas& canvas);
    // The size the text of a cell needs (real column; vs: a vertical scroll
    // bar is taken off the width; sb: measured as shown in the cell's width).
    QSize GetCellTextSize(int c, int r, bool vs = false, bool sb = false);
    QSize MeasureCellText(int c, int r, bool vs, bool sb) { return GetCellTextSize(c, r, vs, sb); }
    // Left and top of r moved to where text rotated by angle degrees starts.
    void RotatedTextOrigin(TRect& r, int angle, TVAlignment va, TAlignment ha, const QString& text);
    void InvalidateCellRect(const TRect& r);
    // The area no cell covers, in the background picture or gradient.
    void PaintGridBackground(TCanvas& canvas);
    // The frame around the current cell: a translucent window over the
    // viewport that leaves the cell itself uncovered.
    void ShowFocusWindow(const TRect& cellRect);
    void PlaceFocusWindow();
    void HideFocusWindow();
    TGridFocusWindow* FocusWindow() const { return FFocusWindow.get(); }
    // Dotted lines that show a column or row being sized.
    void DrawColSizingLine(TCanvas& canvas, int x);
    void DrawRowSizingLine(TCanvas& canvas, int y);

    KR_FIELD_PROP(int, ZoomFactor, 0)
    KR_FIELD_PROP(bool, NoDefaultDraw, false)
    KR_FIELD_PROP(bool, NoImageAndText, false)
    KR_FIELD_PROP(bool, ShowColNrs, false)
    KR_FIELD_PROP(bool, UseDisabledFont, false)
    KR_FIELD_PROP(bool, SelectionRTFKeep, false)
    KR_FIELD_PROP(TColor, SelectionRectangleColor, clBlack)

public:
    TCustomCellDrawEvent OnCustomCellBkgDraw;
    TCustomCellDrawEvent OnCustomCellDraw;
    TGridNotifyEvent OnPainted;
    TGridCellGradientEvent OnGetCellGradient;
    TGridCellBorderPropEvent OnGetCellBorderProp;

private:
    bool CellInSelection(int c, int r) const;
    // The graphic's size and whether text is drawn beside it.
    TCellGraphic* GetCellGraphicLayout(int rc, int r, TCellVAlign& gva, TCellHAlign& gha, bool& textBeside, int& gh,
                                       int& gw);
    void PlanCellText(TExtCellPlan& plan, int c, int r, const TVisualProperties& vp, const TCellFont& before,
                      TColor brushBefore);
    void PlanCellBorders(TExtCellPlan& plan, int rc, int r, TRect rect);
    // The tree lines of row r in the first column of a node grid.
    void PlanTreeLines(TExtCellPlan& plan, int r, const TRect& R);
    void ExecuteCellText(TCanvas& canvas, TExtCellPlan& plan);
    TRect PlaceCellGraphic(const TExtCellPlan& plan, TRect r, TVAlignment va) const;
    void DrawCellGraphic(TCanvas& canvas, const TExtCellPlan& plan, const TRect& placed, const TRect& cell);
    TGridLook FLook = TGridLook::glXP;
    TStudioStyle FComponentStyle = tsWindowsXP;
    TColorTones FTones;
    TOfficeTheme FOldOfficeTheme = otUnknown;
    // Text width (+ 2) and text alignment the text step leaves for the graphic.
    int FTextWidth = 0;
    TAlignment FTextAlign = taLeftJustify;

public:
    // --- input: update locking, timer, focus, wheel, panning, keys, scroll bars ------
    // (ExtGridUpdate.cpp, ExtGridWheel.cpp, ExtGridKeys.cpp, ExtGridScroll.cpp)
    // Update locking: painting waits while the count is positive. The lock
    // counts whether or not the grid is shown; painting resumes at the last
    // EndUpdate. StartUpdate counts without touching the painting, ResetUpdate
    // drops the count to 0.
    void BeginUpdate();
    void EndUpdate();
    void StartUpdate() { ++FUpdateCount; }
    void ResetUpdate() { FUpdateCount = 0; }
    bool LockUpdate() const { return FUpdateCount > 0; }
    void SetLockUpdate(bool v);
    int UpdateCount() const { return FUpdateCount; }
    // After bulk filling; one column's cell changed: the footers follow.
    virtual void CellsLoaded();
    virtual void ColumnCellChanged(int c);
    // The 500 ms grid timer (made with the grid, running once Qt runs) and
    // one of its ticks: incremental-search reset, hovering, blinking.
    QTimer* GridTimer() const { return FGridTimer.get(); }
    virtual void GridTimerTick();
    int TimerTicks() const { return FTimerTicks; }
    bool GridBlink() const { return FGridBlink; }
    QString SearchInc;
    int SearchTics = 0;
    // Focus.
    void DoEnter() override;
    void DoExit() override;
    // A click remembers the cell it leaves current.
    void Click() override;
    // Guards other code sets while it moves the focus.
    bool FBlockFocus = false;
    bool FBlockKill = false;
    // Qt events before the window handles them (the grid's window procedure).
    bool WndProc(QEvent& e) override;

    // The wheel. WheelScrollLines: lines per notch from the system (the
    // visible row count when the system scrolls by pages).
    int WheelScrollLines() const;
    // One notch of the wheel handled by the grid itself (towardsUser: the
    // wheel turned towards the user, delta negative).
    void WheelNotch(bool towardsUser, TShiftState shift, QPoint pos);
    bool DoMouseWheelDown(TShiftState shift, QPoint pos) override;
    bool DoMouseWheelUp(TShiftState shift, QPoint pos) override;
    // Called after each wheel step with the rows moved; clearing handled
    // keeps the wheel events from firing.
    virtual void WheelStepped(int rowsMoved, bool& handled) {}
    std::function<void(TExtStringGrid* sender, TShiftState shift, QPoint pos, bool& handled)> OnMouseWheelDown;
    std::function<void(TExtStringGrid* sender, TShiftState shift, QPoint pos, bool& handled)> OnMouseWheelUp;
    // Grows every column width and row height by x pixels; the sum of the
    // steps stays within -10 .. 10 (a step past it is ignored).
    void Zoom(int x);
    // Sizes every cell to its contents after a wheel zoom (the auto-sizing
    // code overrides it).
    virtual void ZoomAutoSize() {}
    // Middle-button panning: started by a middle press, stopped by any press
    // or key; PanStep is one tick of its 10 ms timer with the mouse at p.
    bool Panning() const { return FWheelPan; }
    QPoint PanOrigin() const { return FWheelPanPos; }
    void StartPan(QPoint p);
    void StopPan();
    void PanStep(QPoint p);
    QTimer* PanTimer() const { return FPanTimer.get(); }
    // The pan cursor resource (8000 .. 8008) for a vertical and horizontal
    // step of -1, 0 or 1; the origin mark's picture name.
    static int PanCursorId(int v, int h);
    QString PanOriginMark() const;
    // The shape a pan cursor id is shown as (our own pictures).
    static QCursor PanCursor(int id);
    bool ShowHint = false;

    // Keys.
    void KeyDown(int& key, TShiftState shift) override;
    TGridCoord LastKeyCell() const { return FLastKeyCell; }
    bool IsLastRow();
    // With the search bar shown, scrolls until the last row is clear of it.
    void ScrollAboveSearchFooter();
    void AutoAddRow();
    int GetVisibleFixedRightCols();
    int FirstSelectableCol(int r);
    int LastSelectableCol(int r);
    // The key steps after the platform's processing: Insert and Delete of
    // rows, disjunct row and column flags, Enter and F2 remembering the cell.
    void AfterKeySteps(int key, TShiftState shift);
    // F2 was pressed (for derived grids).
    virtual void DoF2Key() {}
    // Insert and Delete with Navigation.AllowInsertRow / AllowDeleteRow.
    TGridIndexEvent OnAutoInsertRow;
    std::function<void(TExtStringGrid* sender, int arow, bool& canDelete)> OnCanDeleteRow;
    // Row enabling as the key and wheel steps see it (the row-enabling code
    // overrides both).

    // Scroll bars: proportional thumbs (range, page and position of the
    // window's bar), recomputed from the column widths and row heights.
    struct TScrollThumb {
        bool Set = false;
        int Min = 0, Max = 0, Page = 0, Pos = 0;
    };
    void UpdateHScrollBar();
    void UpdateVScrollBar();
    TScrollThumb HThumb() const { return FHThumb; }
    TScrollThumb VThumb() const { return FVThumb; }
    // The column or row a thumb position (0 .. 127) of the proportional bar
    // stands for.
    int ScrollTargetCol(int pos);
    int ScrollTargetRow(int pos);
    // The text of the position hint while a thumb is dragged ("Row : n",
    // "Col : n" through OnScrollHint).
    QString ScrollHintText(bool vertical, int target);
    std::function<void(TExtStringGrid* sender, int arow, QString& hint)> OnScrollHint;
    bool ScrollLock() const { return FScrollLock; }
    // The kind of scroll bars: ssMetro replaces the window's bars by the two
    // slim scroll bars (ScrollBars ssNone), any other kind frees them and
    // brings back ssBoth. Flat and Encarta bars look like normal ones here.
    TScrollType ScrollType() const { return FScrollType; }
    void SetScrollType(TScrollType v);
    // Thumbs sized by the pixel extent of the cells (recomputed at once).
    bool ScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool v);
    // The window's scroll bars: with proportional thumbs the bar runs over
    // 0 .. 127 with the thumb's page; a moved bar or thumb goes to the row or
    // column it stands for, with the position hint and ScrollSynch.
    bool ScrollBarScale(bool vertical, TScrollBarScale& s) override;
    void ScrollBarMoved(bool vertical, int position) override;
    void ScrollThumbTracked(bool vertical, int position, bool ended) override;
    // Shows the position hint for a thumb dragged to the target row or
    // column, 10 pixels right of the screen point; hides it.
    void ShowScrollHint(bool vertical, int target, QPoint screenPoint);
    void HideScrollHint();

    // Inserting and removing rows (display rows). Cells go and come whole
    // with their objects (a removed row's objects are freed); parked rows
    // behind the place are renumbered; the side structures follow through
    // the side hooks below; the current row and the top row are kept where
    // they still fit. Each ends with a cells-changed notification.
    virtual void InsertRows(int row, int count, bool updateCellControls = true);
    virtual void RemoveRows(int row, int count);
    virtual void RemoveRowsEx(int row, int count);
    virtual void RemoveRowsInternal(int row, int count);
    // A new empty row at the end (before a visible floating footer).
    void AddRow();
    // The selected normal rows, bottom up: the rows whose flag is set with
    // MouseActions.DisjunctRowSelect (the flags are cleared after), else the
    // rows of the selection rectangle.
    void RemoveSelectedRows();
    // The normal rows not selected, bottom up; then every row left is
    // selected with RowSelectPersistent, else the row flags are cleared.
    void RemoveUnSelectedRows();
    // The rows, bottom up, whose check box in the column is checked
    // (removeChecked) or not checked (removeChecked false).
    void RemoveCheckedRows(int checkBoxColumn, bool removeChecked);
    // The later rows whose text in the column equals an earlier one; with
    // doCase letter case counts.
    void RemoveDuplicates(int c, bool doCase);
    // Columns (store columns, that is real indexes; hidden columns move
    // with their flags and widths).
    virtual void InsertCols(int c, int count);
    virtual void RemoveCols(int c, int count);
    void AddColumn() { InsertCols(TotalColCount(), 1); }
    // The selected columns (their flags with MouseActions.DisjunctColSelect,
    // else the selection rectangle's columns) / the columns not selected.
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    // Cells of c1 joined with separator and the cells of c2 (trimmed), then
    // c2 removed.
    void MergeCols(int c1, int c2, const QString& separator);

    // Clearing, trimming, colouring (display columns mapped to real ones
    // with SaveHiddenCells).
    virtual void ClearRect(int c1, int r1, int c2, int r2);
    virtual void TrimRect(int c1, int r1, int c2, int r2);
    void ClearRows(int row, int count);
    void ClearCols(int c, int count);
    void ClearNormalRows(int row, int count);
    void ClearNormalCols(int c, int count);
    void ClearNormalCells();
    void ClearSelection();
    void Clear();
    // Clear, and the parked rows' cells emptied too (the rows stay hidden).
    void ClearAll();
    void TrimColumn(int c) { TrimRect(c, 0, c, RowCount() - 1); }
    void TrimRow(int r) { TrimRect(0, r, ColCount() - 1, r); }
    void TrimAll() { TrimRect(0, 0, ColCount() - 1, RowCount() - 1); }
    void ColorRect(int c1, int r1, int c2, int r2, TColor color);
    bool ClearTextOnly() const { return FClearTextOnly; }
    void SetClearTextOnly(bool v) { FClearTextOnly = v; }
    bool BlockCellChange() const { return FBlockCellChange; }
    void SetBlockCellChange(bool v) { FBlockCellChange = v; }
    // The smallest range holding every non-empty cell; (0, 0, 0, 0) when none.
    virtual TGridRect UsedCells();
    // The range the exports save.
    int SaveStartCol() const;
    int SaveEndCol() const;
    int SaveColCount() const { return SaveEndCol() - SaveStartCol() + 1; }
    int SaveStartRow() const;
    int SaveEndRow() const;
    int SaveRowCount() const { return SaveEndRow() - SaveStartRow() + 1; }

    // Moving and swapping (display indexes). MoveColumn and MoveRow run the
    // moved notifications below; MoveRows moves count rows so that the
    // first lands at toRow (heights stay where they are).
    void MoveColumn(int fromCol, int toCol);
    void MoveRow(int fromRow, int toRow);
    void MoveRows(int fromRow, int toRow, int count);
    void SwapCells(TGridCoord from, TGridCoord to);
    void SwapColumns(int c1, int c2);
    void SwapRows(int r1, int r2);
    // The row exchange of sorting: counts Swaps, keeps the sort cross
    // reference, the heights and the row flags with the rows.
    virtual void SortSwapRows(int r1, int r2);
    int Swaps = 0;
    int SortRow = -1;
    bool ColMoveFlg = false;
    std::function<void(TExtStringGrid* sender, int fromIndex, int toIndex)> OnRowMoved;

    // Running numbers down a column or along a row.
    void AutoNumberCol(int c);
    void AutoNumberRow(int r);
    KR_FIELD_PROP(int, AutoNumberStart, 0)
    KR_FIELD_PROP(int, AutoNumberOffset, 0)
    KR_FIELD_PROP(TSortDirection, AutoNumberDirection, TSortDirection::sdAscending)

public:
    // Sizing to the contents (through CellMeasurer) and to the grid's width.
    // Every size passes ClampToLimits with its minimum and maximum.
    void AutoSizeCol(int c, int padding = 0);
    void AutoSizeColumns(bool doFixedCols, int padding = 0);
    void AutoSizeRow(int r, int padding = 0);
    // The row made high enough for that many text lines, after `padding`.
    void AutoSizeRowToLines(int r, int lines, int padding);
    void AutoSizeRows(bool doFixedRows, int padding = 0);
    void AutoSizeCells(bool doFixedCells, int paddingX, int paddingY);
    void AutoFitColumns(bool doFixedCells = true);
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();
    KR_FIELD_PROP(bool, SizeGrowOnly, false)
    KR_FIELD_PROP(int, MinColWidth, 0)
    KR_FIELD_PROP(int, MaxColWidth, 0)
    KR_FIELD_PROP(int, MinRowHeight, 0)
    KR_FIELD_PROP(int, MaxRowHeight, 0)

public:
    // Repainting cells, rows, columns and ranges (display indexes), scrolling
    // a cell into view and hit testing.
    void RepaintRect(const TGridRect& r);
    void RepaintRow(int r);
    void RepaintCol(int c);
    // Scrolls when the cell is out of view, moving the current cell only in
    // the direction that was out of view.
    void ScrollInView(int c, int r);
    // A point on a column border of the fixed rows (with goColSizing) or on a
    // row border of the fixed columns (goRowSizing), less than 4 pixels off.
    bool IsOnSizingBorder(int x, int y);

    // Merging runs of equal texts down a column or along a row; with
    // mainMerge false only inside the ranges an earlier merge formed.
    void MergeColumnCells(int c, bool mainMerge);
    void MergeRowCells(int r, bool mainMerge);
    void SplitColumnCells(int c);
    void SplitRowCells(int r);
    void SplitAllCells();
    // Rotated text: a cell graphic of kind ctRotated with an angle in 0 .. 359.
    void AddRotated(int c, int r, int angle, const QString& s);
    void SetRotated(int c, int r, int angle);
    void RemoveRotated(int c, int r);
    bool IsRotated(int c, int r, int& angle);
    // The first cell (row by row) whose stored text equals subStr.
    bool IsCell(const QString& subStr, int& c, int& r);
    // The cell's text carries wide characters in the coded form ("|\").
    bool IsWideCell(int c, int r);

protected:
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    QString GetEditText(int c, int r) override;
    void SetEditText(int c, int r, const QString& v) override;
    QString GetEditMask(int c, int r) override;
    int GetEditLimit() override { return FMaxEditLength; }
    // Writes the header lists into the fixed row and column.
    void WriteColumnHeaders();
    void WriteRowHeaders();
    void UpdateScrollBarAlways(bool force);
    bool ScrollBarKeptShown(bool vertical) override;
    void FocusChanged(bool focused) override;
    void ClearRowsNil(int r, int n);

    // --- rows and columns: the side structures -------------------------------------
protected:
    // One hook per change of the row or column structure, for everything kept
    // by display row or column beside the cells (modified and enabled rows,
    // row and column selection flags, ...). The base keeps the modified,
    // disabled and selected row flags and the selected column flags in step;
    // an override calls it.
    virtual void SideRowsInserted(int row, int count);
    virtual void SideRowsRemoved(int row, int count);
    virtual void SideRowsSwapped(int row1, int row2);
    virtual void SideColsInserted(int c, int count);
    virtual void SideColsRemoved(int c, int count);
    void StoreInsertCols(int at, int n) override;
    void StoreMoveCol(int from, int to) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    void StoreDeleteCols(int at, int n) override;

    template <typename T>
    void SetChanged(T& field, const T& v)
    {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    template <typename T>
    void SetRepaint(T& field, const T& v)
    {
        field = v;
        Invalidate();
    }
    void SetStudio(TColor& field, TColor v)
    {
        field = v == clNone ? clNone : ColorToRGB(v);
        Invalidate();
    }

    bool FLoading = false;
    bool FDesigning = false;
    bool FLoaded = false;
    bool FEditChange = false;
    bool FNilObjects = false;
    int FNumHidden = 0;
    int FGroupColumn = -1;
    // The grouped column's caption (row 0), footer text (last row) and
    // width, remembered by Group for UnGroup.
    QString FGroupCaption;
    QString FGroupFooter;
    int FGroupWidth = 0;
    bool FIsGrouping = false;
    // The columns sub-grouped inside the groups, in order.
    std::vector<int> m_subGroupColumns;
    // Grouping's helpers (ExtGridGroup.cpp): rows out of view shown again;
    // the rows first .. first + order.size() - 1 rearranged so that position
    // first + i receives the row at first + order[i], each row moved once
    // with its height, flags and in-cell controls; the header or summary
    // look on a row or on its merged cell.
    void ShowAllRowsForGrouping();
    void ArrangeRows(const std::vector<int>& order, int first);
    void SwapRowsForGrouping(int r1, int r2);
    void GroupHeaderLook(int r, int mergedCol);
    void GroupSummaryLook(int r, int mergedCol);
    int FUpdateCount = 0;

    // --- in-place editing (ExtGridEdit.cpp) --------------------------------------------
    bool CanEditShow() override;
    bool SelectCell(int c, int r) override;
    int EditorKind(int c, int r) override;
    std::unique_ptr<TCellEditor> CreateCellEditor(int kind) override;
    bool CanStoreEditText() override;
    void EditorHidden() override;
    // The edit-done event arrived.
    void EditDoneEvent(int c, int r);
    // The refused value goes back into the open editor (or reopens it).
    void RefuseValue(const QString& value);
    // The frame both validations share: one at a time, only while an edit
    // is open, and only for a changed value unless AlwaysValidate. `check`
    // gets (column, row, changed, value, valid) and may change the last two;
    // then the value is stored or refused. A full validation also reports
    // the changed cell and, on refusal, puts the modified flag back.
    bool RunValidation(const QString& newValue, bool full,
                       const std::function<void(int, int, bool, QString&, bool&)>& check);
    // The editor of a kind in the grid's window (made on first use).
    TCellEditor* EditorOf(TEditorType kind);
    // The editor kind whose control serves a kind (the combo kinds share
    // one combo, the spin kinds one spin editor, the text kinds the text
    // editor).
    static TEditorType SharedEditorKind(TEditorType kind);
    bool FEditing = false;
    bool FShowEditProcess = false;
    // The Tab being stepped was reported to OnKeyDown already.
    bool FTabKeyReported = false;
    bool FClosingEdit = false;
    bool FEditActive = false;
    bool FEditDisable = false;
    bool FValidating = false;
    bool FLastValidation = true;
    bool FForceSel = false;
    bool FNoAutoAdvance = false;
    // A drop-down editor is writing its value (SetEditText writes plainly).
    bool FStoringDropDown = false;
    bool FAlwaysValidate = false;
    bool FGridModified = false;
    bool FOldModifiedValue = false;
    bool FLookup = false;
    bool FLookupCaseSensitive = false;
    bool FLookupHistory = false;
    TEditorType FEditControl = edNormal;
    QString FCellCache;
    QString FEditText;
    QChar FStartEditChar;
    int FOldCol = -1;
    int FOldRow = -1;
    QString FOldCellText;
    QString FNewCellText;
    QString FBalloonText;
    int FAECol = -1;
    int FAERow = -1;
    int FLastTabCol = -1;
    int FLastTabRow = -1;
    int FComboIdx = -1;
    QStringList FComboItems;
    // The objects of the items, by index (shorter when the last items have none).
    std::vector<TUserValue> FComboObjects;
    QPointer<TEditLink> FGridEditLink;
    QPointer<QWidget> FEditTrans;
    QPointer<QWidget> FComboTrans;
    std::unique_ptr<QObject> FEditDoneReceiver;

private:
    friend class TColumnSize;
    void DestroyDragTimer();
    TCellProperties* PropsFor(int c, int r) { return GetCellProperties(c, r); }
    template <typename T>
    T PropOr(int c, int r, T (TCellProperties::*get)() const, T neutral) const;
    template <typename T>
    void SetProp(int c, int r, void (TCellProperties::*set)(T), T v);
    void SetRowField(int r, void (TCellProperties::*set)(TColor), TColor v);
    void RepaintDispl(int c, int r);
    TGridItem* HiddenRow(TRealRow r) const;
    // The row mappings over the hidden-row store.
    int RealRowOf(int displRow) const;
    int DisplRowOf(int realRow) const;

    QPointer<QWidget> FOwnerForm;
    std::unique_ptr<QObject> FFormWatcher;
    std::unique_ptr<QObject> FDragWatcher;
    int PrevSizeX = 0;
    int PrevSizeY = 0;
    bool FSizeWithForm = false;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;

    int FFixedRowsMin = 1;
    int FFixedColsMin = 1;
    bool FFixedRowAlways = false;
    bool FFixedColAlways = false;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    int FFixedRowHeight = 22;
    int FMaxRowCount = 0;
    // Nodes added and not removed.
    int FNumNodes = 0;
    // Tree-node helpers: the real index of every display row (one pass over
    // the store), the hidden items a contracted node at display row n holds
    // (appended to `out`), and the expansion without ExpandOne.
    std::vector<int> DisplayRealRows() const;
    void CollectNodeRows(int n, const TCellGraphic& g, int realN, int realNext, std::vector<const TGridItem*>& out);
    void DoExpandNode(int n);
    int FMaxColCount = 0;
    bool FIntegralHeight = false;
    bool FWordWrapEx = true;
    TVAlignment FVAlignment = vtaTop;
    int FVAlign = 0;
    QPoint FXYOffset{2, 2};

    TColor FSelectionColor = 0xEACAB6;
    TColor FSelectionColorTo = clNone;
    TColor FSelectionMirrorColor = clNone;
    TColor FSelectionMirrorColorTo = clNone;
    TColor FSelectionTextColor = clBlack;
    bool FSelectionColorMixer = false;
    int FSelectionColorMixerFactor = 50;
    bool FSelectionRectangle = false;
    bool FSelectionResizer = false;
    bool FShowSelection = true;
    bool FShowDesignHelper = true;
    TAlignment FDefaultAlignment = taLeftJustify;
    bool FActiveCellShow = false;
    TColor FActiveCellColor = clGray;
    TColor FActiveCellColorTo = clNone;
    TCellFont FActiveCellFont;
    QString FControlText;
    TCellFont FFixedFont;
    TColor FHighlightColor = clHighlight;
    TColor FHighlightTextColor = clHighlightText;
    bool FHovering = false;
    TColor FBorderColor = 0xB99D7F;
    bool FFitCellsInGrid = false;
    bool FFlat = false;
    TScrollBarAlways FScrollBarAlways = TScrollBarAlways::saNone;
    int FMaxEditLength = 0;
    bool FAutoSize = false;
    bool FAutoThemeAdapt = false;
    bool FSpreadSheet = false;
    int FCursor = 0;
    int FOldCursor = 0;
    TColor FStudioGradFrom = clWhite;
    TColor FStudioGradTo = clNone;
    TColor FStudioGradMirrorFrom = clNone;
    TColor FStudioGradMirrorTo = clNone;

    std::unique_ptr<TFocusHelper> FFocusHelper;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<TPrintSettings> FPrintSettings;
    // Print state.
    friend class TPrintComposer;
    TGridRect FPrintRect;
    TRect FPrevRect;
    int FPrintPageFrom = 1, FPrintPageTo = 1, FPrintNrOfPages = 0;
    TRect FPrintPageRect;
    int FPrintPageWidth = 0, FPrintColStart = 0, FPrintColEnd = 0;
    bool FIsPrintPreview = false;
    QPrinter* FPrinterSet = nullptr;
    std::shared_ptr<QPrinter> FOwnPrinter;
    void RunPrintJob(const TGridRect& range, bool selectedOnly);
    void RunPrintPreview(TCanvas& canvas, const TRect& displayRect, const TGridRect& range, bool selectedOnly);
    void RunPrintDraw(TCanvas& canvas, const TRect& drawRect, const TGridRect& range);
    TGridRect WholeGridRange();
    std::unique_ptr<THTMLSettings> FHTMLSettings;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    std::unique_ptr<TDragScrollOptions> FDragScrollOptions;
    std::unique_ptr<TControlLook> FControlLook;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TGrouping> FGrouping;
    std::unique_ptr<TBackGround> FBackGround;
    std::unique_ptr<TGridProgressAppearance> FProgressAppearance;
    std::unique_ptr<TSyncGrid> FSyncGrid;
    std::unique_ptr<TBalloonSettings> FBalloon;
    std::unique_ptr<TShowModified> FShowModified;
    std::unique_ptr<TFilterDropDown> FFilterDropDown;
    std::unique_ptr<TCellGraphic> FCellGraphic;
    std::unique_ptr<TGridFocusWindow> FFocusWindow;
    std::unique_ptr<TArrowWindow> FArrows[4];
    // Dropping onto the grid.
    friend class TGridDropTarget;
    void DropTargetChanged();
    // The drop steps, given viewport points (see TGridDropTarget).
    void OleDragMouseMove(QPoint p, bool& allow, TDropFormats formats);
    void OleDropText(QPoint p, const QString& text, bool& taken);
    void OleDropStream(QPoint p, const QByteArray& stream, bool& taken);
    void OleDropCol(QPoint p, int col, bool& taken);
    void OleDropCellText(QPoint p, const QString& text, bool url, bool& taken);
    void OleDropFiles(QPoint p, const QStringList& files, bool& taken);
    // The drop cell under p: the append rule applied (append set) for all
    // but column drags.
    TGridCoord OleDropCell(QPoint p, bool columnDrag, bool& append);
    bool OleDropFromSelf(const TGridDropTarget& target) const;
    std::unique_ptr<TGridDropTarget> FDropTarget;
    int FOleDragCol = -1;
    int FOleDragIndex = -1;
    QPointer<QListWidget> FOleDragList;

    QStringList FColumnHeaders;
    QStringList FRowHeaders;
    QStringList FFilterList;
    std::unique_ptr<TFilter> FFilter = std::make_unique<TFilter>(this);
    bool FFilterActive = false;
    bool FFilterDropDownAuto = false;
    int FFilterDropDownRow = 0;
    // FixedRows when the last filter pass began (-1: none yet).
    int FFilterFixedRows = -1;
    int FFilterCol = -1;
    QString FLastFilter;
    IFilterListView* FFilterListView = nullptr;
    ISearchBarView* FSearchBarView = nullptr;
    QPoint FSearchCell{0, 0};
    QString FSearchCache;
    QString FSearchCacheWide;
    TFindParams FFindParams;
    int FFindCol = 0;
    int FFindRow = 0;
    // Shows the rows of the latest filter level, drops the level and puts
    // back the fixed rows and a hidden selection.
    void DropFilterLevel();
    // The search behind Find and FindWide, and its test of one cell.
    QPoint FindCell(QPoint start, const QString& text, const QString& wideText, TFindParams params);
    bool FindCellMatch(int x, int y, bool wide);
    TSortIndexList FSortIndexes;
    TIntList FSortRowXRef{-1, -1};
    TIntList FUnSortRowXRef{-1, -1};
    TIntList FMergedColumns{-1, -1};
    TIntList FColumnOrder{-1, -1};
    TIntList FIgnoreColumns{-1, -1};
    TIntList FOrigColSizes{-1, -1};
    int FOldSize = -1;
    TGridItems FGridItems;
    TControlList FControlList;
    int FNumCellControls = 0;
    std::vector<QPointer<TGridChangeNotifier>> FNotifierList;
    ITExtStringGridSelect* FISelect = nullptr;

    bool FIsColChanging = false;
    bool FSizeFixed = false;
    std::unique_ptr<QTimer> FDragTmr;
    TDragScrollDirection FDragScrollDirection;

    // --- rows and columns: hiding, structure, moving, sizing ------------------------
private:
    // Hidden columns by real index, ascending, with the width each had.
    struct THiddenCol {
        int Real;
        int Width;
    };
    std::vector<THiddenCol> FHiddenCols;
    // The HTML table of a block of display columns and rows, and one cell
    // of it (its style text added to styles when new; pictures only when a
    // folder is given).
    QString HTMLText(int left, int top, int right, int bottom, bool headerRow, const QString& dir);
    QString HTMLCell(int c, int r, bool header, int widthCol, std::vector<QString>& styles, const QString& dir, int& imageNo);
    // The cell's picture written as dir/images/imgN.jpg, and its tag.
    QString HTMLImage(const QImage& image, const QString& dir, int& imageNo);
    void WriteHTMLFile(const QString& fileName, bool append, bool show, bool unicode);
    int32_t FStreamID = 0;
    int FLastFileProgress = -1;
    void FileProgress(int percent, bool first);
    int FFilterLevel = 0;
    int FOldRowSel = -1;
    bool FSelHidden = false;
    TGridRect FOldSelection;
    bool FOldShowSel = true;
    // Parks the real rows from..to (shown, consecutive on screen) / shows
    // n items from index pos (consecutive real rows).
    void ParkRun(int fromReal, int n, THiddenRowKind kind, int level);
    // Removes the shown columns from FixedCols on that `which` accepts.
    void RemoveDisplayCols(const std::function<bool(int)>& which);
    void ShowRun(int pos, int n);
    // The same for rows spread over the grid, in one pass over the rows:
    // the real rows (ascending, shown) / the items at these indexes.
    void ParkScattered(const std::vector<int>& realRows, THiddenRowKind kind, int level);
    void ShowScattered(const std::vector<int>& positions);
    // Keeps the selection on its rows after rows above it came or went:
    // newRow gives the new display row of an old one.
    void FollowSelection(const TGridRect& old, const std::function<int(int)>& newRow);
    // After rows came or went other than through SetRowCount.
    void RowCountChangedBy();
    // The one worker of every row removal.
    // Removes display rows; with dropControls the in-cell controls of the
    // removed rows are hidden and dropped and the ones below move up.
    void DoRemoveRows(int row, int count, bool dropControls);
    // Every in-cell control index that `moved` maps elsewhere follows.
    void MoveCellControls(const std::function<int(int)>& moved, bool rows);
    bool FClearTextOnly = false;
    bool FBlockCellChange = false;
    bool FSyncedMove = false;
    // The column move under way: its real indexes, taken before anything moved.
    int FMoveRealFrom = -1;
    int FMoveRealTo = -1;
    int AutoSizeColumnInternal(int c, bool growOnly);
    int AutoSizeRowInternal(int r, bool growOnly, int padding);
    // Where the store inserts or deletes columns for the platform grid's
    // column operations (-1: at the display index it is given).
    int FStoreColAt = -1;
    std::unique_ptr<TCellMeasurer> FCellMeasurer;
    // --- cell objects and selection state -----------------------------------------------
    // The graphic of a real row: a hidden row's from its parked cells.
    TCellGraphic* GraphicAtRealRow(int c, TRealRow r);
    // The new graphic for a box, after the bounds check.
    TCellGraphic* NewBoxGraphic(int c, int r);
    int FirstCheckRow() const;
    TCellHAlign BoxHAlign() const { return TCellHAlign::haBeforeText; }
    TCellVAlign BoxVAlign() const;
    int RowFlagIndex(int displRow);
    void RecordToggle(int c, int r, const QString& oldText, const QString& newText);
    TImageListRef FGridImages;
    std::vector<bool> FRowSelect;
    std::vector<bool> FColSelect;
    std::vector<int> FSelectedRows;
    std::vector<TGridCoord> FSelectedCells;
    std::vector<bool> FModifiedRows;
    // Per display row: set = the row is disabled (rows past the end are enabled).
    std::vector<bool> FEnabledRows;
    bool FUseEnabledRows = false;
    bool FSelChange = false;
    // Companion windows.
    void CreateCompanionWindows();
    void ParentCompanionWindows(QWidget* window);
    void DestroyCompanionWindows();
    std::unique_ptr<TFooterPanel> FFooterPanel;
    std::unique_ptr<TSearchPanel> FSearchPanel;
    std::unique_ptr<TDropList> FDropList;
    std::unique_ptr<TDropCheckList> FDropCheckList;
    std::unique_ptr<THTMLHintWindow> FScrollHintWnd;
    TScrollType FScrollType = TScrollType::ssNormal;
    bool FScrollProportional = false;
    QPointer<QScrollBar> FScrollBar;
    int FScrollCol = -1;
    int FScrollRow = -1;
    // The window's bars run on the proportional 0 .. 127 scale now.
    bool FVScaled = false;
    bool FHScaled = false;
    std::unique_ptr<THeaderDragButton> FHeaderDragButton;
    std::unique_ptr<TScrollControl> vscrlctrl;
    std::unique_ptr<TScrollControl> hscrlctrl;

    // --- rich text (ExtGridRich.cpp) --------------------------------------------------
    struct TRichEditDeleter {
        void operator()(TExtRichEdit* e) const;
    };
    std::unique_ptr<TExtRichEdit, TRichEditDeleter> FRichEdit;
    bool FGridFocusChanging = false;
    // --- input state (update locking, timer, wheel, panning, keys, scroll bars) --------
    void InitGridTimer();
    bool WheelBase(bool down, TShiftState shift, QPoint pos);
    // The platform's step of a key and the corrections after it.
    void StepKey(int& key, TShiftState shift);
    QPointer<QWidget> FPanMark;
    std::unique_ptr<QTimer> FGridTimer;
    std::unique_ptr<QTimer> FPanTimer;
    int FTimerTicks = 0;
    bool FGridBlink = false;
    int FWheelRest = 0;
    bool FScrollLock = false;
    bool FWheelPan = false;
    QPoint FWheelPanPos;
    bool FPanPrevHint = false;
    TGridCoord FLastKeyCell;
    TGridRect FMoveSelection;
    TScrollThumb FHThumb, FVThumb;

    // --- mouse: press, move, release, double click, right button, cursor, hints and
    // inline controls (ExtGridMouse.cpp, ExtGridHints.cpp) --------------------------------
public:
    // What a press at the mouse position would select (set on every move).
    enum TMouseSelectMode { msNormal, msColumn, msRow, msAll, msURL, msResize };
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The double click of the last left press with ssDouble.
    void DblClick() override;
    // The mouse left the grid's window.
    void MouseLeave();
    TMouseSelectMode MouseSelectMode() const { return FMouseSelectMode; }
    bool IsHoverFixedCell(int c, int r) const;
    // Records whether the left button is held and repaints the hovered
    // fixed cell in its pressed or hover look.
    void SetHoverFixedDown(bool down);
    void ResetFixedCellHighlight();
    // Opens the fixed-cell editor over a fixed cell (the editors are the
    // fixed-cell editors' work; here the choice and OnFixedEdit).
    void ShowFixedCellEditor(int c, int r);
    // Chooses the item of a radio-group cell (real column) under a point
    // given relative to the cell's top-left corner.
    void ClickRadioGroup(int c, int r, int y, int x);
    virtual void DoSelectAllCells(const TGridRect& /*r*/) {}
    // Called with the rectangle Ctrl+A is about to select.
    virtual void DoSelectAll(const TGridRect& /*r*/) {}
    // Fires OnCheckBoxClick (display column).
    virtual void CheckBoxClick(int c, int r, bool state);
    // Fires OnClickSort after a header-click sort.
    virtual void ClickSort(int c);
    // Hooks that later parts of the grid fill: cell-selector mode, node
    // buttons (expand or contract; false: refused), the filter button of a
    // header, the start of a drag of the selection, the paste after the
    // selection resizer was dragged, the group sort.
    virtual void CellSelectorClick(int /*c*/, int /*r*/) {}
    // A click on the node glyph of data row r: expands a contracted node or
    // contracts an expanded one, asking OnBeforeExpandNode or
    // OnBeforeContractNode first and reporting with OnExpandNode or
    // OnContractNode. False when the row is no node or the change was refused.
    virtual bool NodeButtonClick(int c, int r);
    // The filter button of display column c in row r was released on: opens
    // the column's filter list under it (the check list with
    // FilterDropDownCheck), or closes the list that is open for the column.
    virtual void FilterButtonClick(int c, int r);
    // Whether real column c shows a filter button (its filter list has
    // entries).
    virtual bool HasFilterButton(int c);
    // Hides the filter lists; no filter list is open then.
    void CloseFilterLists();
    // Whether the check list ticks the entry of real column c: a filter
    // condition of the column reads exactly so.
    bool FilterListEntryTicked(int c, const QString& text);
    // A press on the selection moved on to cell (c, r) at viewport point
    // (x, y): starts a drag of the cells, rows or column once the left
    // button is still down and the mouse went more than 3 pixels away from
    // the press; onResizer: the mouse is on the selection resizer.
    virtual void SelectionDragStart(int c, int r, int x, int y, bool onResizer);
    // The row and column moving of a mouse move: the move notification,
    // then the picture or the header drag button following the mouse, the
    // insertion arrows, auto-scrolling and the cursor.
    void RowColMoveStep(int c, int r, int x, int y);
    // Takes down the picture, the header drag button and the arrows of a
    // move or drag.
    void EndMoveFeedback();
    // The release of the selection resizer pastes the copy taken at its
    // press into the new selection.
    virtual void PasteSelectionAfterResize();
    // Copies the selection (widened over merged corners) to the clipboard.
    virtual void CopySelectionToClipboard();
    // Milliseconds the last header-click sort took.
    int SortTime = 0;

    // The menu a press on the drop-down button of a hovered fixed cell pops
    // up (not owned; OnFixedDropDownClick may replace it for the press and
    // keep the cell highlighted after it closes).
    QMenu* FixedDropDownMenu() const { return FFixedDropDownMenu.data(); }
    void SetFixedDropDownMenu(QMenu* m) { FFixedDropDownMenu = m; }
    std::function<void(TExtStringGrid* sender, int acol, int arow, QMenu*& menu, bool& keepFixedCellHighlighted)>
        OnFixedDropDownClick;
    // The context menu of the grid, shown at a right-button release (not owned).
    QMenu* PopupMenu() const { return FPopupMenu.data(); }
    void SetPopupMenu(QMenu* m) { FPopupMenu = m; }
    // The drop-down button of a fixed cell is held down.
    bool DropDownDown() const { return FDropDownDown; }
    // The last press hit the upper (lower) half of an always-visible spin button.
    bool SpinUpClick() const { return FSpinUpClick; }
    bool SpinDnClick() const { return FSpinDnClick; }
    // Cell-selector mode: a press hands its cell to CellSelectorClick and
    // does nothing else; the cursor is the cell-selector cross.
    bool CellSelectorMode() const { return FCellSelectorMode; }
    void SetCellSelectorMode(bool v) { FCellSelectorMode = v; }
    // The fixed cell under the mouse in the list-view look ((-1, -1) none).
    TGridCoord HotFixedCell() const { return FHotFixedCell; }
    // The hint that shows the size of a column or row while it is sized is up.
    bool SizingHintShown() const { return FScrollHintShow; }
    // Called when an enhanced row or column move ends (no published event).
    std::function<void(TExtStringGrid* sender)> OnEndBlockFocus;
    // Called when a move or a drag of cells begins (no published event).
    std::function<void(TExtStringGrid* sender)> OnStartBlockFocus;

    // Dragging cells, rows or a column out of the grid.
    // Asked before a drag starts at (arow, acol), with the cell's text.
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& data, bool& allow)> OnOleDrag;
    std::function<void(TExtStringGrid* sender, int arow, int acol)> OnOleDragStart;
    // The drag ended with a drop (effect 1 copy, 2 move); not after a
    // cancelled drag.
    std::function<void(TExtStringGrid* sender, int oleEffect)> OnOleDragStop;
    // Moving a column or row: asked on every mouse move of the move; a veto
    // ends the move.
    std::function<void(TExtStringGrid* sender, int acol, bool& allow)> OnColumnMove;
    std::function<void(TExtStringGrid* sender, int arow, bool& allow)> OnRowMove;
    // The insertion column or row under the mouse; a veto shows the no-drop
    // cursor.
    std::function<void(TExtStringGrid* sender, int acol, bool& allow)> OnColumnMoving;
    std::function<void(TExtStringGrid* sender, int arow, bool& allow)> OnRowMoving;

    // A picture of the cell range: a widget over the grid's viewport (hidden
    // until shown), drawn at opacity 192/255, never taking the focus or the
    // mouse. The caller owns it and frees it before the grid goes.
    std::unique_ptr<TDragPicture> SelectionToForm(const TGridRect& rect);
    // The drag picture of a move or a drag (null when none).
    TDragPicture* MoveForm() const { return FMoveForm.get(); }

    // The link or inline control of a cell's text under a client point.
    struct TAnchorHit {
        QString Anchor;
        QString Title;
        int Number = -1;
        QString CtrlID, CtrlType, CtrlValue;
        TRect CtrlRect;
    };
    // False when nothing is under the point (c display column). With a
    // control ID the point is not used: the hit is that inline control.
    bool AnchorAt(int c, int r, int x, int y, TAnchorHit& hit, const QString& ctrlID = QString());
    // Follows an anchor: "CELL://R<row>C<col>" moves there, anything else is
    // handed to ShellOpenLink (which opens only web and mail links).
    void FollowAnchor(const QString& anchor);
    QString CurrentAnchor() const { return FAnchor; }

    // The cursor the grid shows at a client point (a Qt cursor shape, or
    // one of the grid's own pictures by number).
    QCursor CursorAt(int x, int y);
    static QCursor GridCursor(int id);

    // The hint of the cell under a client point.
    struct THintInfo {
        QString Text;
        QPoint Pos;          // client coordinates
        int MaxWidth = 0;    // 0: the platform's
        bool HtmlWindow = false;
        TColor Color = clInfoBk;
        TGridCoord Cell{-1, -1};
    };
    // False outside the cells (only the colour is set then).
    bool BuildHint(QPoint cursor, THintInfo& info);
    // Shows the hint for a tool-tip request at a client point; false when
    // there is none.
    bool ShowCellHint(QPoint cursor);
    // Hides the cell hint and forgets its cell.
    void CancelCellHint();
    // The window of mini-HTML and wide-text cell hints (null until first used).
    THTMLHintWindow* CellHintWindow() const { return FHintWnd.get(); }
    QPoint LastHintPos() const { return FLastHintPos; }
    // Where the dotted line of a fixed column (row) being sized by the mouse
    // is drawn; -1 while none is sized.
    int FixedSizingLineX() const { return FSizingFixed ? FSizeFixedX : -1; }
    int FixedSizingLineY() const { return FSizingFixedR ? FSizeFixedY : -1; }
    // Balloon tool tips have no counterpart on this platform: both do nothing.
    void BalloonInit() {}
    void BalloonDone() {}

    // Inline controls of mini-HTML cells.
    void ShowControlEdit(const QString& text, const QString& ctrlType, int r, int realCol, int c, const TRect& ctrlRect,
                         const QString& ctrlValue, const QString& ctrlID);
    void StopControlEdit();
    void ControlComboSelect(int index);
    // Opens the editable inline control that follows ctrlID in the cell (c
    // display column; the first one for an empty ID); the grid takes the
    // focus when there is none.
    void EditCellControl(int c, int r, const QString& ctrlID);
    bool ControlEditing() const { return FCtrlEditing; }
    // The cell (real column, row) and ID of the inline control edited last.
    QPoint ControlEditCell() const { return FCtrlXY; }
    QString ControlEditID() const { return FCtrlID; }
    // The grid's shared inline editors (null until first used).
    TControlEdit* ControlEditWidget() const;
    TControlCombo* ControlComboWidget() const;

    TGridRowColBoolEvent OnCanClickCell;
    TGridRowColEvent OnClickCell;
    TGridRowColEvent OnDblClickCell;
    TGridRowColEvent OnRightClickCell;
    std::function<void(TExtStringGrid* sender, int acol, int arow, bool state)> OnCheckBoxClick;
    std::function<void(TExtStringGrid* sender, int acol, int arow, bool state)> OnCheckBoxMouseUp;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int aidx)> OnRadioClick;
    TGridCellEvent OnRadioButtonClick;
    std::function<void(TExtStringGrid* sender, int acol, int arow, int aidx)> OnRadioMouseUp;
    std::function<void(TExtStringGrid* sender, int acol, bool& doSort)> OnCanSort;
    TGridIndexEvent OnClickSort;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& anchor, bool& autoHandle)>
        OnAnchorClick;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& anchor)> OnAnchorEnter;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& anchor)> OnAnchorExit;
    std::function<void(TExtStringGrid* sender, int arow, int acol, QString& anchor)> OnAnchorHint;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& ctrlID, const QString& ctrlType,
                       const QString& ctrlVal)>
        OnControlClick;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& ctrlID, const QString& ctrlType,
                       const QString& ctrlVal, QStringList& values, bool& edit, int& dropCount)>
        OnControlComboList;
    std::function<void(TExtStringGrid* sender, int arow, int acol, int itemIndex, const QString& ctrlID,
                       const QString& ctrlValue)>
        OnControlComboSelect;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& ctrlID, const QString& ctrlType,
                       const QString& ctrlVal)>
        OnControlEditDone;
    std::function<void(TExtStringGrid* sender, int arow, int acol, QString& hint)> OnGridWideHint;
    std::function<void(TExtStringGrid* sender, int acol, int columnSize)> OnColumnSizing;
    std::function<void(TExtStringGrid* sender, int arow, int rowSize)> OnRowSizing;
    std::function<void(TExtStringGrid* sender, const TGridRect& orig, const TGridRect& now)> OnSelectionResize;
    std::function<void(TExtStringGrid* sender, const TGridRect& orig, const TGridRect& now)> OnSelectionResized;

private:
    // The press procedure of the left button and its parts.
    void LeftButtonDown(TShiftState shift, int x, int y);
    // The grid's own press and release (below the button procedures).
    void GridMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void GridMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void FocusGrid();
    void LeftButtonUp(TShiftState shift, int x, int y);
    void RightButtonDown(TShiftState shift, int x, int y);
    bool PressOnAnchor(int c, int r, int x, int y);
    void PressOnCheckBox(int c, int r, TShiftState shift, int x, int y);
    void HeaderClickSort(int c, int r, TShiftState shift, int x, int y, bool enhancedMoveEnded);
    // Finishes an enhanced row or column move at the release cell; false
    // when none was under way.
    bool EndEnhancedMove(int c, int r);
    // Pops up the fixed-cell drop-down menu under a hovered fixed cell.
    void PopFixedDropDown(int c, int r);
    QPoint ClientToScreen(QPoint p);
    bool HasNodeRows();
    void TrackAnchor(int c, int r, int x, int y, bool& cursorClaimed);
    int FixedSizingColumnAt(int x) const;
    int FixedSizingRowAt(int y) const;
    // Shift state of OnMouseDown from the press: one flag.
    static TShiftState PressShift(TShiftState s);
    struct TInlineControls {
        QPointer<QWidget> Edit;
        QPointer<QWidget> Combo;
        ~TInlineControls()
        {
            delete Edit.data();
            delete Combo.data();
        }
    };
    TInlineControls FInlineCtrls;
    std::unique_ptr<THTMLHintWindow> FHintWnd;
    TMouseSelectMode FMouseSelectMode = msNormal;
    int FMouseSelectStart = -1;
    bool FDoOnClick = false;
    bool FMouseDownMove = false;
    bool FMouseKeepDown = false;
    bool FMouseDown = false;
    bool FSelectionClick = false;
    bool FDeselectState = false;
    bool FMouseResize = false;
    bool FDblClk = false;
    bool FSizeFixedR = false;
    bool FSizingFixed = false;
    bool FSizingFixedR = false;
    int FSizingFixedCol = -1;
    int FSizingFixedRow = -1;
    int FSizeFixedX = -1;
    int FSizeFixedY = -1;
    bool FFixedCellPushed = false;
    TRect FPushedFixedCell;
    TGridCoord FPushedCellButton{-1, -1};
    TGridCoord FHoverButton{-1, -1};
    TGridRect FDropSelection;
    TGridRect FPressSelection;
    int FOldTopRow = 0;
    int FOldKeepLeftCol = 0;
    bool FNoMouseLeave = false;
    QPoint FHoverCell{-1, -1};
    int FHoverlink = -1;
    QString FAnchor;
    // Leaving the link under the mouse reports the exit once.
    void ExitAnchor(int r, int c);
    QString FLastAnchorHint;
    QPoint FLastHintPos{-1, -1};
    QPoint FDblClickPos{-1, -1};
    bool FCtrlDown = false;
    QPoint FCtrlXY{-1, -1};
    bool FCtrlEditing = false;
    QString FCtrlID;
    QString FCtrlType;
    bool FPressWasAnchor = false;
    QPointer<QMenu> FFixedDropDownMenu;
    // The fixed cell the fixed-cell editor works on.
    int FFixedColEdit = -1;
    int FFixedRowEdit = -1;
    QPointer<QMenu> FPopupMenu;
    bool FDropDownDown = false;
    bool FSpinUpClick = false;
    bool FSpinDnClick = false;
    bool FCellSelectorMode = false;
    TGridCoord FHotFixedCell{-1, -1};
    TGridRect FSizeSelection{-1, -1, -1, -1};
    bool FScrollHintShow = false;
    // A release in the fixed cells reports OnClick itself; the platform's
    // click of that release is then left out.
    bool FSkipPlatformClick = false;
    // The sizing hint ("cw=" / "rh=") and the repaint of the selection
    // rectangle's corner cells of two selections.
    void ShowSizingHint(bool column, int size, int c, int r);
    void HideSizingHint();
    void RepaintSelectionRect(const TGridRect& a, const TGridRect& b);

public:
    int Clickposx = 0;
    int Clickposy = 0;
    // A left press asked for the caret under the mouse (CaretPositioning):
    // the editor that takes the focus next places it there and clears it.
    bool LButFlg = false;
    int Clickposdx = 0;
    int Clickposdy = 0;
    int Movecell = -1;
    int MoveOfsX = 0;
    int MoveOfsY = 0;
    // The insertion column and row of the move under way (-1 none).
    int FMoveColInd = -1;
    int FMoveRowInd = -1;

private:
    std::unique_ptr<TDragPicture> FMoveForm;
    // The cursor of a move: 0 the usual one, 1 dragging, 2 no drop.
    int FMoveCursor = 0;
    friend class TGridDropSource;
};
