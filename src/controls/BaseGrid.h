#pragma once
// The grid base: cells with merge redirection and display hooks, per-cell
// properties created on demand, merged cells, its own cell painter and the
// link to an undo/redo list. The string grid and the column grid derive from
// TBaseGrid and override its virtual operations.
//
// Ownership: a cell owns its TCellProperties (kept in the cell's object slot
// of the store); the properties own the cell graphic when they were given it
// as owned. Row and column operations of the store carry both with the cell.
//
// Painting: for every cell PlanCell works out what is drawn (hidden last
// row, merged ranges once per pass, clipping under fixed cells, colours from
// GetVisualProperties, hover and active row, the selection face, grid lines,
// the content rectangle) and ExecuteCellPlan draws it, calling
// DrawCellContent for the content. Derived grids override the hooks
// (GetVisualProperties, DrawCellContent, IsFixed, HasNodes, ...) rather than
// the painter.
//
// Indexes: Cells, CellProperties and the merge queries take the store's
// column (real column) and the display row.
#include "controls/ExtObj.h"
#include "platform/GridIndex.h"

#include <QFont>
#include <any>
#include <QPointer>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TBaseGrid;
class TExtGridUndoRedo;

enum TColumnCalcType : uint8_t { acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV };
enum class TGridSelectionStyle : uint8_t { ssDefault, ssVista, ssWin7, ssOffice2007 };
enum THoverRowCell : uint8_t { hcNormal, hcFixed, hcSelected };
using THoverRowCells = TSet<THoverRowCell>;

enum TCellFontStyle : uint8_t { cfsBold, cfsItalic, cfsUnderline, cfsStrikeOut };
using TCellFontStyles = TSet<TCellFontStyle>;

// A font with its colour, as the cell hooks pass it around.
struct TCellFont {
    QFont Font;
    TColor Color = clWindowText;
};

// The brush of a cell: its colour and style.
struct TCellBrush {
    TColor Color = clWindow;
    Qt::BrushStyle Style = Qt::SolidPattern;
};

// The user's value of a cell.
using TUserValue = std::any;

TCellFontStyles FontStylesOf(const QFont& f);
void ApplyFontStyles(QFont& f, TCellFontStyles s);
// Font size in points (pixel sizes taken at 96 dpi).
int FontSizeOf(const QFont& f);

// The properties of one cell, owned by that cell.
class TCellProperties : public TCellObject {
public:
    TCellProperties(TBaseGrid* ownerGrid, int col, int row);
    ~TCellProperties() override;
    // Owns its graphic: copied only through Assign.
    TCellProperties(const TCellProperties&) = delete;
    TCellProperties& operator=(const TCellProperties&) = delete;

    TBaseGrid* OwnerGrid() const { return FOwnerGrid; }
    int OwnerCol() const { return FOwnerCol; }
    void SetOwnerCol(int v) { FOwnerCol = v; }
    int OwnerRow() const { return FOwnerRow; }
    void SetOwnerRow(int v) { FOwnerRow = v; }

    // Merge data: see TBaseGrid's merge operations.
    bool IsBaseCell() const { return FIsBaseCell; }
    void SetIsBaseCell(bool v) { FIsBaseCell = v; }
    int CellSpanX() const { return FCellSpanX; }
    void SetCellSpanX(int v) { FCellSpanX = v; }
    int CellSpanY() const { return FCellSpanY; }
    void SetCellSpanY(int v) { FCellSpanY = v; }
    // The base cell of the range, this cell being (c, r).
    QPoint BaseCell(int c, int r) const;
    QPoint GetBaseCell(int c, int r) const { return BaseCell(c, r); }

    // The user's value of the cell (any copyable value: a number, a pointer
    // to something the user owns, ...), read back with its own type.
    const TUserValue& CellObject() const { return FObject; }
    void SetCellObject(TUserValue v) { FObject = std::move(v); }
    // The cell graphic: one the properties own (freed with them) or one owned
    // elsewhere (borrowed). Setting either drops the other; an owned graphic
    // replaced by another is freed.
    TCellObject* GraphicObject() const { return FOwnedGraphic ? FOwnedGraphic.get() : FBorrowedGraphic; }
    bool OwnsGraphic() const { return FOwnedGraphic != nullptr; }
    void SetGraphicObject(std::unique_ptr<TCellObject> g);
    void SetBorrowedGraphic(TCellObject* g);
    // Hands an owned graphic over (null when the graphic was borrowed) and
    // forgets the graphic.
    std::unique_ptr<TCellObject> ReleaseGraphicObject();

    Qt::BrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(Qt::BrushStyle v) { FBrushStyle = v; }
    // These four repaint the owning cell.
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor v);
    TColor BrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(TColor v);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);

    int FontSize() const { return FFontSize; }
    void SetFontSize(int v) { FFontSize = v; }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor v) { FFontColor = v; }
    TCellFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(TCellFontStyles v) { FFontStyle = v; }
    QString FontName() const { return FFontName; }
    void SetFontName(const QString& v) { FFontName = v; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    int PaintID() const { return FPaintID; }
    void SetPaintID(int v) { FPaintID = v; }
    TColumnCalcType CalcType() const { return FCalcType; }
    void SetCalcType(TColumnCalcType v) { FCalcType = v; }
    // The calculation's object (not owned).
    TCellObject* CalcObject() const { return FCalcObject; }
    void SetCalcObject(TCellObject* v) { FCalcObject = v; }
    int NodeLevel() const { return FNodeLevel; }
    void SetNodeLevel(int v) { FNodeLevel = v; }
    TEditorType Editor() const { return FEditor; }
    void SetEditor(TEditorType v) { FEditor = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    TCellGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TCellGradientDirection v) { FGradientDirection = v; }
    // A control hosted in the cell (not owned).
    QWidget* Control() const { return FControl.data(); }
    void SetControl(QWidget* v) { FControl = v; }

    // Copies the published settings of another cell's properties; the owner
    // grid and position stay this cell's, and neither the gradient end colour,
    // the graphic, the paint pass nor the calculation are copied. No repaint.
    void Assign(const TCellProperties& src);

private:
    friend class TBaseGrid;
    void RepaintOwner();

    TBaseGrid* FOwnerGrid;
    int FOwnerCol;
    int FOwnerRow;
    TUserValue FObject;
    std::unique_ptr<TCellObject> FOwnedGraphic;
    TCellObject* FBorrowedGraphic = nullptr;
    Qt::BrushStyle FBrushStyle = Qt::SolidPattern;
    TColor FBrushColor = clNone;
    TColor FBrushColorTo = clNone;
    int FFontSize = 0;
    TColor FFontColor = clNone;
    TCellFontStyles FFontStyle;
    int FCellSpanY = -1;
    int FCellSpanX = -1;
    int FBorderWidth = 0;
    TColor FBorderColor = 0;
    TAlignment FAlignment = taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    int FPaintID = 0;
    bool FWordWrap = true;
    bool FIsBaseCell = true;
    TColumnCalcType FCalcType = acNONE;
    TCellObject* FCalcObject = nullptr;
    int FNodeLevel = 0;
    TEditorType FEditor = edNormal;
    QString FFontName;
    bool FReadOnly = false;
    TCellGradientDirection FGradientDirection = GradientVertical;
    QPointer<QWidget> FControl;
};

// The look of a cell as the cell hooks work it out: its font, brush,
// gradient colours (clNone: none), alignments, word wrap and gradient
// direction. GetCellDefaults fills it for a new cell's properties;
// GetVisualProperties adjusts it for painting, measuring and export.
struct TCellLook {
    TCellFont Font;
    TCellBrush Brush;
    TColor ColorTo = clNone;
    TColor MirrorColor = clNone;
    TColor MirrorColorTo = clNone;
    TAlignment HAlign = taLeftJustify;
    TVAlignment VAlign = vtaTop;
    bool WordWrap = true;
    TCellGradientDirection GradientDir = GradientVertical;
};

// The question GetVisualProperties answers: the look (in and out), the draw
// state (a hook may change it: the painter follows what it leaves), and what
// the look is for: printing, with the selection shown, with colours remapped.
struct TVisualProperties : TCellLook {
    TGridDrawState State;
    bool Print = false;
    bool Select = true;
    bool Remap = true;
};

// What the base painter does for one cell, worked out without drawing
// (TBaseGrid::PlanCell), then carried out on a canvas (ExecuteCellPlan).
struct TBaseCellPlan {
    enum TKind {
        ckCell,      // paint the cell
        ckHiddenRow, // the hidden last row: Rect filled in FillColor, nothing else
        ckBaseCell,  // a covered cell of a range not yet painted in this pass: paint BaseCell instead
        ckSkip,      // a range already painted in this pass
    };
    TKind Kind = ckCell;
    QPoint BaseCell;
    TRect Rect;
    TGridDrawState State;
    bool Clip = false;
    TRect ClipRect;
    // Background: a bevelled selection face, a gradient (or mirrored
    // gradient), or nothing when the style engine paints it.
    enum TBackground { bgGradient, bgMirror, bgSelectionFace, bgNone };
    TBackground Background = bgGradient;
    TColor FillColor = clNone;
    TColor ColorTo = clNone;
    TColor MirrorColor = clNone;
    TColor MirrorColorTo = clNone;
    bool Horizontal = false;
    // The selection face: its colours (colour, colour to, mirror, mirror to,
    // top line, bottom line, frame, corner), place and rectangle.
    TColor Face[8] = {};
    int FacePlace = 0;
    TRect FaceRect;
    // Grid lines, each from its first point up to its second (excluded).
    bool HorzLine = false;
    bool VertLine = false;
    QPoint HorzFrom, HorzTo, VertFrom, VertTo;
    TColor LineColor = clNone;
    int LineWidth = 0;
    TRect ContentRect;
    TCellFont Font;
    bool WithContent = true;
};

using TGetDisplTextEvent = std::function<void(TBaseGrid* sender, int acol, int arow, QString& value)>;
// The wide text is a QString (UTF-16), decoded from the cell's coded form.
using TGetDisplWideTextEvent = std::function<void(TBaseGrid* sender, int acol, int arow, QString& value)>;

class TBaseGrid : public TObjStringGrid {
public:
    TBaseGrid();
    ~TBaseGrid() override;

    // --- cells ------------------------------------------------------------------
    // The text of the base cell of the range that holds (c, r), through the
    // display-text hooks for rows below FNormalRowCount. Outside the grid: empty.
    QString Cells(int c, int r) { return GetCellEx(c, r); }
    // Writes into the base cell of the range; outside the grid: ignored.
    void SetCells(int c, int r, const QString& v) { SetCellEx(c, r, v); }
    QString GetCellEx(int c, int r);
    void SetCellEx(int c, int r, const QString& value);
    // The stored text of exactly (c, r): no merge, hooks or repaint.
    QString GridCells(int c, int r) const { return StoreCell(c, r); }
    void SetGridCells(int c, int r, const QString& v) { m_store.SetText(c, r, v); }
    // The raw object slot: the cell's properties or nothing. The cell owns
    // what stands there, so writing the slot frees the object it held (unless
    // it is the same one); ReleaseStoreObject takes one out without freeing it,
    // to move it to another cell.
    TCellObject* GridObjects(int c, int r) const { return StoreObject(c, r); }
    void SetGridObjects(int c, int r, std::unique_ptr<TCellObject> o) { m_store.SetObject(c, r, std::move(o)); }
    QString GetGridCell(int c, int r) const { return GridCells(c, r); }
    void SetGridCell(int c, int r, const QString& v) { SetGridCells(c, r, v); }
    TCellObject* GetGridObject(int c, int r) const { return GridObjects(c, r); }
    void SetGridObject(int c, int r, std::unique_ptr<TCellObject> o) { SetGridObjects(c, r, std::move(o)); }

    // The cell's properties, created with the grid's defaults on first use.
    // Must be called for cells inside the grid (nullptr outside).
    TCellProperties* CellProperties(int c, int r) { return GetCellProperties(c, r); }
    TCellProperties* GetCellProperties(int c, int r);
    // The cell owns the given properties; the ones it held are freed unless
    // they are the same object; nullptr frees them.
    void SetCellProperties(int c, int r, std::unique_ptr<TCellProperties> value);
    // The cell lies inside the grid and has properties; creates nothing.
    bool HasCellProps(int c, int r) const;
    // The properties or nullptr; creates nothing.
    TCellProperties* CellPropsOrNull(int c, int r) const;

    // The user's value of a cell (kept in its properties; empty for a cell
    // without). ObjectAs gives it with its type: null when the cell holds no
    // value of type T.
    TUserValue Objects(int c, int r) const { return GetObjectEx(c, r); }
    void SetObjects(int c, int r, TUserValue v) { SetObjectEx(c, r, std::move(v)); }
    TUserValue GetObjectEx(int c, int r) const;
    void SetObjectEx(int c, int r, TUserValue value);
    template <typename T>
    const T* ObjectAs(int c, int r) const
    {
        const TCellProperties* p = CellPropsOrNull(c, r);
        return p ? std::any_cast<T>(&p->CellObject()) : nullptr;
    }
    TCellObject* GraphicObjects(int c, int r) const { return GetGraphicObjectEx(c, r); }
    TCellObject* GetGraphicObjectEx(int c, int r) const;
    // Stores a graphic the cell's properties own / one owned elsewhere.
    void SetGraphicObjectEx(int c, int r, std::unique_ptr<TCellObject> value);
    void SetBorrowedGraphicEx(int c, int r, TCellObject* value);

    // Empties the text and frees the properties (with an owned graphic).
    void ClearCellEx(int c, int r);
    void ClearColumnCells(int c);
    void ClearRowCells(int r);
    void FreeCellProps(int c, int r);
    void FreeCellPropsRect(int col1, int row1, int col2, int row2);

    // --- geometry ---------------------------------------------------------------
    TRect CellRect(int c, int r) const override;
    TRect AbsCellRect(int c, int r) const { return m_view.AbsCellRect(c, r); }
    QPoint CellSize(int c, int r) const;
    void RepaintCell(int c, int r);
    int FixedColsWidth() const { return m_view.FixedColsWidth(); }
    int FixedRowsHeight() const { return m_view.FixedRowsHeight(); }

    // --- merged cells ------------------------------------------------------------
    virtual void MergeCells(int c, int r, int spanx, int spany);
    virtual void SplitCells(int c, int r);
    QPoint BaseCell(int c, int r) const;
    bool IsBaseCell(int c, int r) const;
    bool IsBaseCellPos(int c, int r, int& baseCol, int& baseRow) const;
    bool IsMergedCell(int c, int r) const;
    bool IsMergedNonBaseCell(int c, int r) const;
    bool IsXMergedCell(int c, int r) const;
    bool IsYMergedCell(int c, int r) const;
    QPoint CellSpan(int c, int r) const;
    QPoint CellExt(int c, int r) const;
    // Left, top, right and bottom cell numbers of the range (inclusive).
    TGridRect FullCell(int c, int r) const;
    int MinRowSpan(int r) const;
    int MaxRowSpan(int r) const;
    bool RowSpanIdentical(int r1, int r2) const;
    bool ColSpanIdentical(int c1, int c2) const;
    // Moves the current cell to the base cell of its range.
    void FocusBaseCell();
    int MergeCount() const { return FMergeCount; }

    // --- painting entries ------------------------------------------------------------
    void PaintCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state);
    void PaintCellExt(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state);
    // PaintCell for a cell of the hidden last row, which the grid's own
    // painting leaves blank: the panel that shows that row paints it so.
    void PaintLastRowCell(TCanvas& canvas, int c, const TRect& rect, TGridDrawState state);
    void Paint(TCanvas& canvas) override;
    int PaintID() const { return FPaintID; }
    // The painter's decisions for a cell, starting from the canvas's brush as
    // the platform set it for the cell's state. The text starts in the grid's
    // own font and FontColor (the platform's font colour for the state,
    // fontColor, is not taken); GetVisualProperties decides from there.
    TBaseCellPlan PlanCell(int c, int r, const TRect& rect, TGridDrawState state, TColor brushColor, TColor fontColor,
                           bool withContent);

    // --- properties ----------------------------------------------------------------
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor v);
    TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor v);
    bool HideLastRow() const { return FHideLastRow; }
    void SetHideLastRow(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool v);
    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor v);
    TColor ActiveRowColorTo() const { return FActiveRowColorTo; }
    void SetActiveRowColorTo(TColor v);
    TColor ActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
    void SetActiveRowMirrorColor(TColor v);
    TColor ActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(TColor v);
    TGridSelectionStyle SelectionStyle() const { return FSelectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle v);
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool v) { FHoverRow = v; }
    int HoverRowIdx() const { return FHoverRowIdx; }
    void SetHoverRowIdx(int v) { FHoverRowIdx = v; }
    THoverRowCells HoverRowCells() const { return FHoverRowCells; }
    void SetHoverRowCells(THoverRowCells v) { FHoverRowCells = v; }
    TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor v) { FHoverRowColor = v; }
    TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor v) { FHoverRowColorTo = v; }
    bool ShowSel() const { return FShowSel; }
    void SetShowSel(bool v) { FShowSel = v; }
    bool HasCellPropsAny() const { return FHasCellProps; }
    int NormalRowCount() const { return FNormalRowCount; }
    void SetNormalRowCount(int v) { FNormalRowCount = v; }
    TExtGridUndoRedo* UndoRedo() const { return FUndoRedo; }
    void SetUndoRedo(TExtGridUndoRedo* u);
    // Writes a text the undo store plays back (undo or redo) into a cell. A
    // descendant whose cells keep a value beside their text (a check box)
    // turns the text back into that value here.
    virtual void PlayBackCell(int c, int r, const QString& value) { SetCellEx(c, r, value); }

    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;

    // --- virtual operations the derived grids override ------------------------------
    virtual bool IsFixed(int c, int r) { return false; }
    virtual int GetNodeIndent(int r) { return 0; }
    virtual bool HasNodes() { return false; }
    virtual void DrawCellContent(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state);
    virtual void LastRowChanged() {}
    // Inline: every cell read calls it, and a derived grid's override starts
    // with it.
    virtual void GetDisplText(int c, int r, QString& value)
    {
        if (OnGetDisplText) OnGetDisplText(this, c, r, value);
    }
    virtual void GetDisplWideText(int c, int r, QString& value);
    // The look a new cell's properties start with. Base: the grid's font
    // and colour, no gradient, left and top, the grid's word wrap.
    virtual void GetCellDefaults(int c, int r, TCellLook& look);
    virtual void CellTextChanged(int c, int r) {}
    virtual bool HasCellBorders() { return false; }
    virtual bool UseStyleElements() { return false; }
    // The one source of a cell's look for painting, measuring, printing and
    // export; the look arrives with the grid's font and the platform's brush
    // for the state. Base: leaves it as it is.
    virtual void GetVisualProperties(int c, int r, TVisualProperties& vp) {}
    // Conversions between the real and the display numbering of columns and
    // rows (see platform/GridIndex.h). The base hides nothing: each is the
    // identity. A grid that hides columns or rows overrides the typed ones
    // (and writes `using TBaseGrid::DisplColIndex;` etc. to keep the int
    // forms, which call the typed ones, visible).
    virtual TDisplCol DisplColIndex(TRealCol c) { return TDisplCol(c.Value()); }
    virtual TRealCol RealColIndex(TDisplCol c) { return TRealCol(c.Value()); }
    virtual TDisplRow DisplRowIndex(TRealRow r) { return TDisplRow(r.Value()); }
    virtual TRealRow RealRowIndex(TDisplRow r) { return TRealRow(r.Value()); }
    int DisplColIndex(int c) { return DisplColIndex(TRealCol(c)).Value(); }
    int RealColIndex(int c) { return RealColIndex(TDisplCol(c)).Value(); }
    int DisplRowIndex(int r) { return DisplRowIndex(TRealRow(r)).Value(); }
    int RealRowIndex(int r) { return RealRowIndex(TDisplRow(r)).Value(); }
    int TotalColCount() const override { return ColCount(); }

    // --- editors -----------------------------------------------------------------
    // The editor kind of a cell (real column, display row): the kind set in
    // the cell's properties, else edNormal. The string grid overrides it with
    // its editor hooks.
    virtual TEditorType CellEditorType(int c, int r);
    // The platform grid's editor choice, for the editor cell (display column):
    // CellEditorType of its real column; the editor comes from the registry
    // of cell editors (CellEditors.h).
    int EditorKind(int c, int r) override { return int(CellEditorType(RealColIndex(c), r)); }
    std::unique_ptr<TCellEditor> CreateCellEditor(int kind) override;

    // Input (overrides of the platform grid).
    void KeyDown(int& key, TShiftState shift) override;
    bool DoMouseWheelDown(TShiftState shift, QPoint pos) override;
    bool DoMouseWheelUp(TShiftState shift, QPoint pos) override;
    // A click inside a merged range makes its base cell current, as the keys
    // and the wheel do.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state) override;
    bool SelectCell(int c, int r) override;
    void TopLeftChanged() override;
    QString GetEditText(int c, int r) override { return TObjStringGrid::GetEditText(c, r); }
    void SetEditText(int c, int r, const QString& v) override { TObjStringGrid::SetEditText(c, r, v); }

    // Before an arrow key's one-cell step: a current cell in a merged range
    // moves to the range's edge, so that the step leaves the range.
    void PrePositionInRange(int key);

    // The cell painter (withContent: the content hook runs too).
    void PaintCellPrivate(TCanvas& canvas, int c, int r, TRect rect, TGridDrawState state, bool withContent);
    void ExecuteCellPlan(TCanvas& canvas, int c, int r, const TBaseCellPlan& plan);

    bool FDefaultDrawing = false;
    int FGridLineWidth = 1;
    TColor FGridLineColor = 0xC0C0C0;
    TColor FGridFixedLineColor = 0x808080;
    int FPaintID = 1;
    bool FHideLastRow = false;
    bool FPaintingLastRow = false;
    int FNormalRowCount = 0;
    TExtGridUndoRedo* FUndoRedo = nullptr;
    bool FWordWrap = true;
    bool FActiveRowShow = false;
    TColor FActiveRowColor = clInfoBk;
    TColor FActiveRowColorTo = clNone;
    TColor FActiveRowMirrorColor = clNone;
    TColor FActiveRowMirrorColorTo = clNone;
    TGridSelectionStyle FSelectionStyle = TGridSelectionStyle::ssDefault;
    int FHoverRowIdx = -1;
    bool FHoverRow = false;
    THoverRowCells FHoverRowCells{hcNormal, hcSelected};
    TColor FHoverRowColor = clInfoBk;
    TColor FHoverRowColorTo = clNone;
    bool FShowSel = true;
    bool FHasCellProps = false;
    int FMergeCount = 0;
    bool FDestroying = false;

private:
    friend class TCellProperties;
    friend class TExtGridUndoRedo;
    bool Inside(int c, int r) const { return c >= 0 && r >= 0 && c < TotalColCount() && r < RowCount(); }
    // Changes the properties of a cell inside the grid (made when missing).
    void WithCellProperties(int c, int r, const std::function<void(TCellProperties&)>& change);
};

// ---------------------------------------------------------------------------
// Undo and redo of cell texts

// One recorded change: the cell is addressed as the cell accessors address it,
// by real column and display row.
class TUndoRedoItem {
public:
    TDisplRow Row;
    TRealCol Col;
    QString Value;
    QString OrigValue;
    bool SequenceStart = false;
    bool SequenceStop = false;
};

using TExtGridUndoRedoEvent = std::function<void(TExtGridUndoRedo* sender, TBaseGrid* grid, int col, int row,
                                                 const QString& origValue, const QString& newValue)>;

// Records changes of cell texts of one grid and plays them back through the
// grid's Cells. Items 0..Level-1 can be undone, Level.. redone.
class TExtGridUndoRedo {
public:
    TExtGridUndoRedo() = default;
    virtual ~TExtGridUndoRedo();
    TExtGridUndoRedo(const TExtGridUndoRedo&) = delete;
    TExtGridUndoRedo& operator=(const TExtGridUndoRedo&) = delete;

    // Records one change: the text before it first, then the text after it.
    // Items that were undone and not redone are dropped first; with MaxLevel
    // the oldest whole sequences (or single items) go until the new item fits.
    virtual void RegisterChange(int acol, int arow, const QString& oldValue, const QString& newValue);
    virtual void StartSequence();
    virtual void StopSequence();
    void Undo();
    void Redo();
    void Reset();
    bool CanUndo() const { return FLevel > 0; }
    bool CanRedo() const { return FLevel < Count(); }

    int Count() const { return int(FItems.size()); }
    const TUndoRedoItem& Items(int i) const { return FItems.at(size_t(i)); }
    int Level() const { return FLevel; }
    int MaxLevel() const { return FMaxLevel; }
    void SetMaxLevel(int v) { FMaxLevel = std::max(0, v); }
    TBaseGrid* Grid() const { return FGrid; }
    void SetGrid(TBaseGrid* g);

    TExtGridUndoRedoEvent OnUndo;
    TExtGridUndoRedoEvent OnRedo;

private:
    friend class TBaseGrid;
    void Append(TUndoRedoItem item);
    void TrimToMaxLevel();
    void PlayBack(const TUndoRedoItem& item, const QString& value, const TExtGridUndoRedoEvent& ev);

    std::vector<TUndoRedoItem> FItems;
    TBaseGrid* FGrid = nullptr;
    int FLevel = 0;
    int FMaxLevel = 0;
};
