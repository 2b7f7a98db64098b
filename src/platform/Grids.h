#pragma once
// The platform's string grid: a table of text cells with fixed rows and
// columns, column widths and row heights, scrolling, a current cell, a
// selection rectangle, an in-place text editor and a sparse store of one text
// and one owned object per cell.
//
// It is written in two halves:
//  - TCustomGrid / TStringGrid: headless. They hold the cell store, the
//    geometry (TGridViewport), the current cell, the selection and the editor
//    state, and take input as plain calls (KeyDown, MouseDown, ...). Tests
//    drive them without any window.
//  - TGridView: the small interface through which the grid asks whatever
//    shows it to repaint, follow the scroll position and show or hide the
//    editor. The grid never reaches into a widget; the view pushes the
//    user's focus into the grid (SetFocused), so focus-dependent painting
//    works and is tested without a window.
//  - TGridWidget (GridsWidget.h): the QAbstractScrollArea that implements
//    TGridView. It paints through the grid's Paint and turns Qt events into
//    the grid's input calls; it decides nothing itself.
//
// For the grids built on it:
//  - Input arrives as DoKeyDown / DoKeyPress (events first, then the virtual
//    KeyDown / KeyPress), MouseDown / MouseMove / MouseUp, DblClick, Click,
//    DoMouseWheelDown / Up, DoEnter / DoExit. Override the virtual and call
//    the inherited one where the platform's own handling is wanted.
//  - Painting: Paint(canvas) sets the canvas's brush and font colour for each
//    cell's state (fixed, selected, normal) and calls DrawCell; Canvas() is
//    the surface during Paint. Rectangles are TRect (right and bottom just
//    outside), as the drawing routines take them.
//  - Editing: CanEditShow decides, GetEditText loads, SetEditText stores,
//    GetEditMask / GetEditLimit shape the editor; EditorKind chooses the
//    editor of a cell and CreateCellEditor makes it (GridsWidget.h).
//  - Rows and columns: InsertRows, DeleteRows, MoveRow, InsertCols,
//    DeleteCols, MoveColumn carry cells (texts and owned objects), heights
//    and widths. To park a row outside the grid without copying its cells:
//    TakeRow(r) then DeleteRow(r); to bring it back: InsertRows(r, 1) then
//    PutRow(r, row).
//  - Hidden columns keep their cells past ColCount: override TotalColCount
//    and call StoreWidthChanged when the hidden count changes.
#include "platform/Canvas.h"
#include "platform/GridAxis.h"
#include "platform/Graphics.h"
#include "platform/GridsStore.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QEvent;
class QPainter;
class QWidget;
class TCellEditor;
class TGridView;
class TGridWidget;
class TInplaceEdit;

// A set of the values of a small enumeration, one bit per value (bit n for
// value n), as the control library's option sets are stored.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items)
    {
        for (E e : items) m_bits |= Bit(e);
    }
    static constexpr TSet FromBits(uint64_t bits)
    {
        TSet s;
        s.m_bits = bits;
        return s;
    }
    constexpr bool Contains(E e) const { return (m_bits & Bit(e)) != 0; }
    constexpr TSet& Include(E e)
    {
        m_bits |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e)
    {
        m_bits &= ~Bit(e);
        return *this;
    }
    constexpr TSet With(E e) const { return TSet(*this).Include(e); }
    constexpr TSet Without(E e) const { return TSet(*this).Exclude(e); }
    constexpr uint64_t Bits() const { return m_bits; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr bool operator==(const TSet& o) const = default;

private:
    static constexpr uint64_t Bit(E e) { return uint64_t(1) << uint64_t(e); }
    uint64_t m_bits = 0;
};

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A range of cells, both corners inclusive, in cell numbers.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    bool Contains(int c, int r) const { return c >= Left && c <= Right && r >= Top && r <= Bottom; }
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Which scroll bars the grid shows (when the cells do not fit).
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// What the mouse is doing with the grid.
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

// Horizontal text alignment: TAlignment of platform/Graphics.h.

// Key codes the grid acts on (the platform's virtual-key numbers).
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F2 = 0x71,
};

// Geometry of a grid, without any window: one TGridAxis for the columns and
// one for the rows (counts, fixed counts, widths and heights, the scroll
// position LeftCol / TopRow, the client size). Positions are client pixels;
// the fixed columns and rows stay at the left and top edge, the scrollable
// cells follow from LeftCol and TopRow. The members below only pair up the
// two axes' answers.
class TGridViewport {
public:
    TGridViewport();

    TGridAxis Cols;
    TGridAxis Rows;

    int ColCount() const { return Cols.Count(); }
    int RowCount() const { return Rows.Count(); }
    void SetColCount(int n) { Cols.SetCount(n); }
    void SetRowCount(int n) { Rows.SetCount(n); }

    int FixedCols() const { return Cols.FixedCount(); }
    int FixedRows() const { return Rows.FixedCount(); }
    int LeftCol() const { return Cols.First(); }
    int TopRow() const { return Rows.First(); }
    int ClientWidth() const { return Cols.ClientExtent(); }
    int ClientHeight() const { return Rows.ClientExtent(); }
    // Width of the line drawn after each column and row (both axes).
    int GridLineWidth() const { return Cols.LineWidth(); }
    void SetGridLineWidth(int w)
    {
        Cols.SetLineWidth(w);
        Rows.SetLineWidth(w);
    }
    void SetClientSize(int w, int h)
    {
        Cols.SetClientExtent(w);
        Rows.SetClientExtent(h);
    }

    int ColWidth(int c) const { return Cols.Size(c); }
    int RowHeight(int r) const { return Rows.Size(r); }
    int FixedColsWidth() const { return Cols.FixedExtent(); }
    int FixedRowsHeight() const { return Rows.FixedExtent(); }
    // Left edge of column c and top edge of row r in client pixels, for any
    // cell, visible or scrolled away (negative or past the client area).
    int ColLeft(int c) const { return Cols.SectionStart(c); }
    int RowTop(int r) const { return Rows.SectionStart(r); }
    // The client rectangle of a cell, visible or not.
    TRect AbsCellRect(int c, int r) const;
    // The rectangle of a cell on screen; the empty rectangle (0, 0, 0, 0)
    // for a cell that is scrolled out of view or lies outside the grid.
    TRect CellRect(int c, int r) const;
    bool IsCellVisible(int c, int r) const { return Cols.IsVisible(c) && Rows.IsVisible(r); }

    // Non-fixed columns and rows shown whole from LeftCol / TopRow (at least 1
    // while there is any non-fixed column or row).
    int VisibleColCount() const { return Cols.VisibleCount(); }
    int VisibleRowCount() const { return Rows.VisibleCount(); }
    // The last LeftCol / TopRow that still fills the client area.
    int MaxLeftCol() const { return Cols.MaxFirst(); }
    int MaxTopRow() const { return Rows.MaxFirst(); }
    // The cell under a client point; (-1, -1) outside the cells.
    TGridCoord MouseCoord(int x, int y) const;
    // Puts LeftCol and TopRow into their valid range. Answers whether they changed.
    bool ClampTopLeft();
    // Scrolls so that the cell is shown whole where possible. Answers whether
    // LeftCol or TopRow changed.
    bool ScrollInView(int c, int r);
};

// What the headless grid asks of whatever shows it (the Qt widget, or a
// test's stand-in). Every call is a notification; the view decides nothing
// about the grid and reads what it needs through the grid's public members.
class TGridView {
public:
    virtual ~TGridView() = default;
    // The grid is being destroyed: forget it (a widget that shows only this
    // grid deletes itself).
    virtual void GridGone() = 0;
    virtual bool HasParent() const = 0;
    virtual void InvalidateAll() = 0;
    virtual void InvalidateRect(const TRect& r) = 0;
    virtual void SetRedraw(bool on) = 0;
    // Counts, sizes, the scroll position or the scroll-bar style changed.
    virtual void ScrollBarsChanged() = 0;
    // The editor opened on EditorCell() with this text, length limit (0: none)
    // and input mask; it closed; the cell moved on screen.
    virtual void EditorOpened(const QString& text, int limit, const QString& mask) = 0;
    virtual void EditorClosed() = 0;
    virtual void PlaceEditor() = 0;
    // The text typed into the open editor.
    virtual QString EditorText() const = 0;
    virtual void SetEditorText(const QString& s) = 0;
};

// The headless grid: geometry, current cell, selection, options, editor
// state and input handling. Painting and editing of texts are left to the
// virtual operations, which TStringGrid and the grids above it override.
class TCustomGrid {
public:
    TCustomGrid();
    virtual ~TCustomGrid();
    TCustomGrid(const TCustomGrid&) = delete;
    TCustomGrid& operator=(const TCustomGrid&) = delete;

    // --- dimensions -------------------------------------------------------
    int ColCount() const { return m_view.ColCount(); }
    int RowCount() const { return m_view.RowCount(); }
    virtual void SetColCount(int n);
    virtual void SetRowCount(int n);
    // Columns the cell store holds: ColCount, plus the hidden columns of a
    // grid that hides some (they keep their cells at their real index past
    // the shown ones). A grid that changes its hidden count calls
    // StoreWidthChanged; when it hides a column it counts it as hidden before
    // it lowers ColCount, so that no cell is dropped.
    virtual int TotalColCount() const { return ColCount(); }
    int FixedCols() const { return m_view.FixedCols(); }
    int FixedRows() const { return m_view.FixedRows(); }
    void SetFixedCols(int n);
    void SetFixedRows(int n);
    int DefaultColWidth() const { return m_view.Cols.DefaultSize(); }
    int DefaultRowHeight() const { return m_view.Rows.DefaultSize(); }
    void SetDefaultColWidth(int w);
    void SetDefaultRowHeight(int h);
    int ColWidths(int c) const { return m_view.ColWidth(c); }
    int RowHeights(int r) const { return m_view.RowHeight(r); }
    void SetColWidths(int c, int w);
    void SetRowHeights(int r, int h);
    int GridLineWidth() const { return m_view.GridLineWidth(); }
    void SetGridLineWidth(int w);
    TGridOptions Options() const { return m_options; }
    void SetOptions(TGridOptions o);
    bool HasOption(TGridOption o) const { return m_options.Contains(o); }

    // --- scrolling ----------------------------------------------------------
    int LeftCol() const { return m_view.LeftCol(); }
    int TopRow() const { return m_view.TopRow(); }
    void SetLeftCol(int c);
    void SetTopRow(int r);
    int VisibleColCount() const { return m_view.VisibleColCount(); }
    int VisibleRowCount() const { return m_view.VisibleRowCount(); }
    int ClientWidth() const { return m_view.ClientWidth(); }
    int ClientHeight() const { return m_view.ClientHeight(); }
    // The size of the area the cells are painted in; the widget sets it, a
    // headless test may set it directly.
    void SetClientSize(int w, int h);
    const TGridViewport& Viewport() const { return m_view; }

    // --- current cell and selection ------------------------------------------
    int Col() const { return m_cur.X; }
    int Row() const { return m_cur.Y; }
    void SetCol(int c);
    void SetRow(int r);
    // The selection rectangle (ordered) between the anchor and the current
    // cell; whole rows with goRowSelect. The user extends it (Shift, mouse
    // drag) only with goRangeSelect; a program may set any range.
    TGridRect Selection() const;
    // The anchor goes to the top-left corner and the current cell to the
    // bottom-right one.
    void SetSelection(const TGridRect& r);
    // The selection as it is stored: (Left, Top) the anchor, (Right, Bottom)
    // the current cell, in whatever order they lie; whole rows with
    // goRowSelect.
    TGridRect StoredSelection() const;
    // Puts the anchor at (Left, Top) and the current cell at (Right, Bottom),
    // unordered.
    void SetStoredSelection(const TGridRect& r);
    // Moves the current cell (asking SelectCell), optionally the anchor too,
    // and optionally scrolls it into view.
    void MoveColRow(int c, int r, bool moveAnchor, bool show);
    // Brings a cell into view.
    void ScrollInView(int c, int r);

    // --- geometry -------------------------------------------------------------
    virtual TRect CellRect(int c, int r) const { return m_view.CellRect(c, r); }
    // The cell under a client point, (-1, -1) when none.
    TGridCoord MouseCoord(int x, int y) const { return m_view.MouseCoord(x, y); }
    void MouseToCell(int x, int y, int& c, int& r) const;

    // --- editing ----------------------------------------------------------------
    bool EditorMode() const { return m_editorMode; }
    void SetEditorMode(bool on);
    // Opens the in-place editor on the current cell when CanEditShow allows it.
    void ShowEditor();
    // Opens it and replaces its text by one typed character.
    void ShowEditorChar(QChar ch);
    // Closes the editor, writing its text through SetEditText.
    void HideEditor();
    // Closes the editor, dropping what was typed.
    void CancelEditor();
    // The text in the editor (the typed text while it is open).
    QString EditorText() const;
    void SetEditorText(const QString& s);
    // Column and row the editor was opened on.
    TGridCoord EditorCell() const { return m_editCell; }
    // The control of the widget's text editor (null without a widget).
    TInplaceEdit* InplaceEditor() const;
    // The kind of editor a cell is edited with; the window keeps one editor
    // per kind. The platform grid has one kind, 0, the text editor; the grids
    // above number their kinds as their editor enumeration does.
    virtual int EditorKind(int c, int r) { return 0; }
    // Makes the editor of a kind (GridsWidget.h), when the window first needs
    // it; null means the text editor. The platform grid makes text editors.
    virtual std::unique_ptr<TCellEditor> CreateCellEditor(int kind);

    // --- look -------------------------------------------------------------------
    QFont Font;
    TColor FontColor = clWindowText;
    TColor Color = clWindow;
    TColor FixedColor = clBtnFace;
    bool DefaultDrawingEnabled = true;

    // --- window -----------------------------------------------------------------
    // The grid is shown through a TGridView (below), which it only borrows:
    // the view attaches itself (AttachView), tells the grid when it goes
    // (DetachView) and pushes the user's focus in (SetFocused). Without a
    // view the grid works on headless: repaint requests are dropped.
    TGridView* View() const { return m_gridView; }
    void AttachView(TGridView* view);
    // Forgets the view when it is the one attached.
    void DetachView(TGridView* view);
    // The Qt widget (GridsWidget.h) for this grid, made on first use as a
    // TGridView; it goes with the grid. When its parent deletes it first,
    // the grid forgets it and works on without a window. Both are defined
    // with the widget.
    TGridWidget* Widget();
    // Makes (or re-parents) the widget as a child of parent.
    TGridWidget* CreateWidget(QWidget* parent);
    bool HandleAllocated() const { return m_gridView != nullptr; }
    bool HasParent() const;
    // Whether the grid (or its editor) has the keyboard focus, as the view
    // last told it; it decides the focus frame and the focused draw state.
    bool Focused() const { return m_focused; }
    void SetFocused(bool focused);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle s);
    // Switches the window's drawing off (false) and on again (true, with a
    // repaint), around many changes.
    void SetRedraw(bool on);
    // Repaint requests; nothing without a view.
    void Invalidate();
    void InvalidateGrid() { Invalidate(); }
    void InvalidateCell(int c, int r);
    void InvalidateRect(const TRect& r);
    void InvalidateRow(int r);
    void InvalidateCol(int c);
    bool UseRightToLeftAlignment() const { return false; }

    // --- events -----------------------------------------------------------------
    std::function<void(TCustomGrid* sender, int c, int r, bool& canSelect)> OnSelectCell;
    std::function<void(TCustomGrid* sender)> OnTopLeftChanged;
    // Fired by the default cell drawing; Canvas() is the surface.
    std::function<void(TCustomGrid* sender, int c, int r, const TRect& rect, TGridDrawState state)> OnDrawCell;
    std::function<void(TCustomGrid* sender, int& key, TShiftState shift)> OnKeyDown;
    std::function<void(TCustomGrid* sender, QChar& key)> OnKeyPress;
    std::function<void(TCustomGrid* sender, int& key, TShiftState shift)> OnKeyUp;
    std::function<void(TCustomGrid* sender, TMouseButton b, TShiftState s, int x, int y)> OnMouseDown;
    std::function<void(TCustomGrid* sender, TMouseButton b, TShiftState s, int x, int y)> OnMouseUp;
    std::function<void(TCustomGrid* sender)> OnDblClick;
    std::function<void(TCustomGrid* sender)> OnClick;
    std::function<void(TCustomGrid* sender)> OnEnter;
    std::function<void(TCustomGrid* sender)> OnExit;

    // --- input, called by the widget (and by tests) ---------------------------------
    // A key from the user: OnKeyDown / OnKeyPress first, then, unless the
    // event cleared the key, KeyDown / KeyPress.
    void DoKeyDown(int& key, TShiftState shift);
    void DoKeyPress(QChar& key);
    // A character typed while the grid itself has the focus (not one an
    // editor hands on): the grid's character procedure sees it first and may
    // take it whole; what it leaves goes on as DoKeyPress. Keypad tells the
    // numeric keypad's keys from the main keyboard's.
    void DoCharMessage(QChar& key, TShiftState shift, bool keypad = false);
    virtual bool CharMessage(QChar& key, TShiftState shift, bool keypad) { return false; }
    // A key released in the grid: fires OnKeyUp.
    void DoKeyUp(int& key, TShiftState shift);
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    // A left click released inside the grid: fires OnClick.
    virtual void Click();
    // The focus came into the grid (or its editor): fires OnEnter.
    virtual void DoEnter();
    // The focus left the grid and its editor for another control: the
    // editor's text is written (unless the editor is always shown), then
    // OnExit fires.
    virtual void DoExit();
    // The window gained or lost the keyboard focus (after the repaint).
    virtual void FocusChanged(bool focused) {}
    // The wheel; answer whether it was handled.
    virtual bool DoMouseWheelDown(TShiftState shift, QPoint pos);
    virtual bool DoMouseWheelUp(TShiftState shift, QPoint pos);
    // Paints every visible cell through DrawCell (fixed cells last, so that
    // they stay on top of scrolled ones) and the empty area in Color.
    virtual void Paint(TCanvas& canvas);
    // Paint on a painter (the widget's entry).
    void PaintTo(QPainter& p);
    // Paints over the frame of the whole control (size w x h), after the
    // widget drew its own frame.
    virtual void PaintNonClient(TCanvas& canvas, int w, int h) {}
    // The surface being painted on; null outside Paint.
    TCanvas* Canvas() const { return m_canvas; }
    // The user moved the scroll bar (position on the bar's scale).
    virtual void ScrollBarMoved(bool vertical, int position);
    // The user drags a scroll bar's thumb (position on the bar's scale), or
    // let it go (ended).
    virtual void ScrollThumbTracked(bool vertical, int position, bool ended) {}
    // A scale of the grid's own for a scroll bar; false: the bar counts the
    // rows or columns (range FixedRows .. MaxTopRow, a page of visible rows).
    struct TScrollBarScale {
        int Min = 0, Max = 0, Page = 1, Pos = 0;
    };
    virtual bool ScrollBarScale(bool vertical, TScrollBarScale& s) { return false; }
    // True: the bar stays shown (disabled when nothing scrolls) while the
    // scroll-bar style has it.
    virtual bool ScrollBarKeptShown(bool vertical) { return false; }
    // Every Qt event of the grid's window (keys, mouse, wheel, posted
    // events), before the window handles it; true: the grid took it and the
    // window does nothing more with it.
    virtual bool WndProc(QEvent& e) { return false; }

    // Whether a press at (x, y) would size a column or a row: state becomes
    // gsColSizing or gsRowSizing with the column or row in index, else
    // gsNormal. Columns size on the right edge of a fixed-row cell with
    // goColSizing, rows on the bottom edge of a fixed-column cell with
    // goRowSizing (3 pixels either side).
    virtual void CalcSizingState(int x, int y, TGridState& state, int& index);
    TGridState GridState() const { return FGridState; }

    // --- rows and columns -----------------------------------------------------------
    // They carry texts and objects with their cells, keep the row heights and
    // column widths with them, and keep the current cell on the same cell
    // where it still exists. RowMoved / ColumnMoved fire after a move.
    void InsertRows(int at, int n);
    void DeleteRow(int r) { DeleteRows(r, 1); }
    void DeleteRows(int at, int n);
    void MoveRow(int from, int to);
    void InsertCols(int at, int n);
    void DeleteColumn(int c) { DeleteCols(c, 1); }
    void DeleteCols(int at, int n);
    void MoveColumn(int from, int to);
    // Asked by an open editor each time its text changes, before the change
    // is reported: may the edit modify the cell?
    virtual bool CanEditModify() { return true; }

protected:
    // Asked before the current cell moves; false keeps it where it is.
    virtual bool SelectCell(int c, int r);
    virtual void DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state);
    // The dotted frame of the current cell while the grid has the focus,
    // drawn after the cells; a grid with a focus frame of its own overrides it.
    virtual void PaintFocusRect(TCanvas& canvas);
    virtual void TopLeftChanged();
    virtual void SizeChanged(int oldColCount, int oldRowCount) {}
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    virtual void ColumnMoved(int from, int to) {}
    virtual void RowMoved(int from, int to) {}
    // Asked whenever the editor would open.
    virtual bool CanEditShow();
    // Asked once as the editor closes: is its text stored in the cell?
    virtual bool CanStoreEditText() { return true; }
    virtual QString GetEditText(int c, int r) { return QString(); }
    virtual void SetEditText(int c, int r, const QString& value) {}
    virtual QString GetEditMask(int c, int r) { return QString(); }
    virtual int GetEditLimit() { return 0; }
    // Called after the editor closed.
    virtual void EditorHidden() {}
    // True while Paint runs.
    bool InPaint() const { return m_inPaint; }
    // The draw state of a cell for the standard paint loop.
    TGridDrawState CellDrawState(int c, int r) const;

    // The cell store's part of the row and column operations (TStringGrid).
    virtual void StoreInsertRows(int at, int n) {}
    virtual void StoreDeleteRows(int at, int n) {}
    virtual void StoreMoveRow(int from, int to) {}
    virtual void StoreInsertCols(int at, int n) {}
    virtual void StoreDeleteCols(int at, int n) {}
    virtual void StoreMoveCol(int from, int to) {}

    TGridViewport m_view;
    TGridState FGridState = gsNormal;

private:
    void SetCurrent(int c, int r, bool moveAnchor, bool show);
    TRect SpanRect(const TGridRect& g) const;
    void ClampCurrent();
    // After the number of columns or rows changed: keeps the current cell and
    // the scroll position inside the grid, tells SizeChanged and repaints.
    void AfterCountChange(int oldColCount, int oldRowCount);
    void AfterTopLeft(int oldLeft, int oldTop);
    void UpdateScrollBars();
    void MoveBy(int dc, int dr, TShiftState shift);
    // One axis's part of the column and row setters.
    void SetAxisCount(TGridAxis& axis, int n);
    void SetAxisFixedCount(TGridAxis& axis, int n);
    void SetAxisDefaultSize(TGridAxis& axis, int size);
    void SetAxisSize(TGridAxis& axis, int i, int size);
    void AxisSizesChanged(const TGridAxis& axis);

    TGridOptions m_options{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TGridCoord m_cur{0, 0};
    TGridCoord m_anchor{0, 0};
    bool m_editorMode = false;
    TGridCoord m_editCell{-1, -1};
    QString m_editText;
    // Sizing or moving by the mouse: the column or row, where the press was
    // and the size it had.
    int m_sizingIndex = -1;
    int m_sizingStart = 0;
    int m_sizingOrig = 0;
    TGridView* m_gridView = nullptr;
    bool m_focused = false;
    bool m_inPaint = false;
    TCanvas* m_canvas = nullptr;
    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
};

// The string grid: TCustomGrid with the cell store. The editor edits the cell
// texts; row and column operations carry the cells with them.
class TStringGrid : public TCustomGrid {
public:
    TStringGrid();
    ~TStringGrid() override;

    void SetColCount(int n) override;
    void SetRowCount(int n) override;

    // Raw store access: reading outside the grid answers empty, writing
    // outside is ignored (and asserts in debug builds).
    QString StoreCell(int c, int r) const;
    void SetStoreCell(int c, int r, const QString& s);
    TCellObject* StoreObject(int c, int r) const;
    // Puts an object into the cell, which owns it from then on; the object the
    // cell held before is freed unless it is the same one.
    void SetStoreObject(int c, int r, std::unique_ptr<TCellObject> obj);
    // Takes the object out of the cell without freeing it.
    std::unique_ptr<TCellObject> ReleaseStoreObject(int c, int r);

    // The texts of a row or a column (a copy). Setting them writes every
    // cell of the row or column: the given texts in order, the rest emptied.
    QStringList RowTexts(int r) const;
    QStringList ColTexts(int c) const;
    void SetRowTexts(int r, const QStringList& texts);
    void SetColTexts(int c, const QStringList& texts);
    // The same as the string lists Rows[r] and Cols[c].
    QStringList Rows(int r) const { return RowTexts(r); }
    void SetRows(int r, const QStringList& texts) { SetRowTexts(r, texts); }
    QStringList Cols(int c) const { return ColTexts(c); }
    void SetCols(int c, const QStringList& texts) { SetColTexts(c, texts); }

    // Takes a whole row out of the store (the row stays, empty) / puts one
    // back into row r, replacing what stood there. Used to park rows outside
    // the grid without copying their cells.
    std::unique_ptr<TGridRowData> TakeRow(int r);
    void PutRow(int r, std::unique_ptr<TGridRowData> row);

    // Makes the store as wide as TotalColCount.
    void StoreWidthChanged();

    TGridCellStore& Store() { return m_store; }
    const TGridCellStore& Store() const { return m_store; }

protected:
    void DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state) override;
    QString GetEditText(int c, int r) override { return StoreCell(c, r); }
    void SetEditText(int c, int r, const QString& value) override { SetStoreCell(c, r, value); }
    void StoreInsertRows(int at, int n) override { m_store.InsertRows(at, n); }
    void StoreDeleteRows(int at, int n) override { m_store.DeleteRows(at, n); }
    void StoreMoveRow(int from, int to) override { m_store.MoveRow(from, to); }
    void StoreInsertCols(int at, int n) override { m_store.InsertCols(at, n); }
    void StoreDeleteCols(int at, int n) override { m_store.DeleteCols(at, n); }
    void StoreMoveCol(int from, int to) override { m_store.MoveCol(from, to); }

    TGridCellStore m_store;
};
