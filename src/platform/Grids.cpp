#include "platform/Grids.h"
#include <QPainter>
#include <algorithm>

using enum TShiftStateItem;

// ---------------------------------------------------------------------------
// TGridViewport

TGridViewport::TGridViewport()
{
    Cols.SetDefaultSize(64);
    Rows.SetDefaultSize(24);
}

TRect TGridViewport::AbsCellRect(int c, int r) const
{
    const int x = ColLeft(c), y = RowTop(r);
    return {x, y, x + ColWidth(c), y + RowHeight(r)};
}

TRect TGridViewport::CellRect(int c, int r) const
{
    if (!IsCellVisible(c, r)) return {};
    return AbsCellRect(c, r);
}

TGridCoord TGridViewport::MouseCoord(int x, int y) const
{
    const int c = Cols.IndexAt(x);
    const int r = Rows.IndexAt(y);
    if (c < 0 || r < 0) return {-1, -1};
    return {c, r};
}

bool TGridViewport::ClampTopLeft()
{
    const bool a = Cols.Clamp();
    const bool b = Rows.Clamp();
    return a || b;
}

bool TGridViewport::ScrollInView(int c, int r)
{
    const bool a = Cols.ScrollInView(c);
    const bool b = Rows.ScrollInView(r);
    return a || b;
}

// ---------------------------------------------------------------------------
// TCustomGrid

TCustomGrid::TCustomGrid()
{
    m_view.SetColCount(5);
    m_view.SetRowCount(5);
    m_view.Cols.SetFixedCount(1);
    m_view.Rows.SetFixedCount(1);
    m_view.Cols.SetClientExtent(320);
    m_view.Rows.SetClientExtent(120);
    m_view.Cols.SetFirst(1);
    m_view.Rows.SetFirst(1);
    m_cur = m_anchor = {1, 1};
}

TCustomGrid::~TCustomGrid()
{
    if (m_gridView) m_gridView->GridGone();
}

void TCustomGrid::AttachView(TGridView* view)
{
    if (m_gridView == view) return;
    if (m_gridView) m_gridView->GridGone();
    m_gridView = view;
    m_focused = false;
}

void TCustomGrid::DetachView(TGridView* view)
{
    if (m_gridView != view) return;
    m_gridView = nullptr;
    m_focused = false;
}

bool TCustomGrid::HasParent() const
{
    return m_gridView && m_gridView->HasParent();
}

void TCustomGrid::SetFocused(bool focused)
{
    if (focused == m_focused) return;
    m_focused = focused;
    Invalidate();
    FocusChanged(focused);
}

void TCustomGrid::SetScrollBars(TScrollStyle s)
{
    m_scrollBars = s;
    UpdateScrollBars();
}

void TCustomGrid::SetRedraw(bool on)
{
    if (!m_gridView) return;
    m_gridView->SetRedraw(on);
    if (on) Invalidate();
}

void TCustomGrid::Invalidate()
{
    if (m_gridView && !m_inPaint) m_gridView->InvalidateAll();
}

void TCustomGrid::InvalidateRect(const TRect& r)
{
    if (m_gridView && !m_inPaint && !r.IsEmpty()) m_gridView->InvalidateRect(r);
}

void TCustomGrid::InvalidateRow(int r)
{
    if (!m_gridView || m_inPaint || r < 0 || r >= RowCount()) return;
    if (r >= FixedRows() && r < TopRow()) return;
    const int y = m_view.RowTop(r);
    InvalidateRect({0, y, ClientWidth(), y + m_view.RowHeight(r)});
}

void TCustomGrid::InvalidateCol(int c)
{
    if (!m_gridView || m_inPaint || c < 0 || c >= ColCount()) return;
    if (c >= FixedCols() && c < LeftCol()) return;
    const int x = m_view.ColLeft(c);
    InvalidateRect({x, 0, x + m_view.ColWidth(c), ClientHeight()});
}

void TCustomGrid::InvalidateCell(int c, int r)
{
    if (!m_gridView || m_inPaint) return;
    InvalidateRect(CellRect(c, r));
}

void TCustomGrid::AfterCountChange(int oldColCount, int oldRowCount)
{
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldColCount, oldRowCount);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetAxisCount(TGridAxis& axis, int n)
{
    n = std::max(1, n);
    if (n == axis.Count()) return;
    const int oldC = ColCount(), oldR = RowCount();
    axis.SetCount(n);
    if (axis.FixedCount() >= n) axis.SetFixedCount(n - 1);
    AfterCountChange(oldC, oldR);
}

void TCustomGrid::SetColCount(int n)
{
    SetAxisCount(m_view.Cols, n);
}

void TCustomGrid::SetRowCount(int n)
{
    SetAxisCount(m_view.Rows, n);
}

void TCustomGrid::SetAxisFixedCount(TGridAxis& axis, int n)
{
    n = std::clamp(n, 0, axis.Count() - 1);
    if (n == axis.FixedCount()) return;
    axis.SetFixedCount(n);
    axis.SetFirst(std::max(axis.First(), n));
    ClampCurrent();
    m_view.ClampTopLeft();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedCols(int n)
{
    SetAxisFixedCount(m_view.Cols, n);
}

void TCustomGrid::SetFixedRows(int n)
{
    SetAxisFixedCount(m_view.Rows, n);
}

void TCustomGrid::AxisSizesChanged(const TGridAxis& axis)
{
    if (&axis == &m_view.Cols)
        ColWidthsChanged();
    else
        RowHeightsChanged();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetAxisDefaultSize(TGridAxis& axis, int size)
{
    axis.SetDefaultSize(std::max(0, size));
    axis.ResetSizes();
    m_view.ClampTopLeft();
    AxisSizesChanged(axis);
}

void TCustomGrid::SetDefaultColWidth(int w)
{
    SetAxisDefaultSize(m_view.Cols, w);
}

void TCustomGrid::SetDefaultRowHeight(int h)
{
    SetAxisDefaultSize(m_view.Rows, h);
}

void TCustomGrid::SetAxisSize(TGridAxis& axis, int i, int size)
{
    if (i < 0 || i >= axis.Count() || axis.Size(i) == std::max(0, size)) return;
    axis.SetSize(i, size);
    AxisSizesChanged(axis);
}

void TCustomGrid::SetColWidths(int c, int w)
{
    SetAxisSize(m_view.Cols, c, w);
}

void TCustomGrid::SetRowHeights(int r, int h)
{
    SetAxisSize(m_view.Rows, r, h);
}

void TCustomGrid::SetGridLineWidth(int w)
{
    w = std::max(0, w);
    if (w == m_view.GridLineWidth()) return;
    m_view.SetGridLineWidth(w);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions o)
{
    if (o == m_options) return;
    m_options = o;
    if (!o.Contains(goEditing) && m_editorMode) HideEditor();
    if (o.Contains(goRowSelect) && m_editorMode) HideEditor();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetClientSize(int w, int h)
{
    m_view.Cols.SetClientExtent(std::max(0, w));
    m_view.Rows.SetClientExtent(std::max(0, h));
    const int oldL = m_view.LeftCol(), oldT = m_view.TopRow();
    if (m_view.ClampTopLeft()) AfterTopLeft(oldL, oldT);
    UpdateScrollBars();
}

void TCustomGrid::SetLeftCol(int c)
{
    const int oldL = m_view.LeftCol(), oldT = m_view.TopRow();
    m_view.Cols.SetFirst(c);
    m_view.ClampTopLeft();
    if (oldL != m_view.LeftCol()) AfterTopLeft(oldL, oldT);
}

void TCustomGrid::SetTopRow(int r)
{
    const int oldL = m_view.LeftCol(), oldT = m_view.TopRow();
    m_view.Rows.SetFirst(r);
    m_view.ClampTopLeft();
    if (oldT != m_view.TopRow()) AfterTopLeft(oldL, oldT);
}

void TCustomGrid::AfterTopLeft(int oldLeft, int oldTop)
{
    if (oldLeft == m_view.LeftCol() && oldTop == m_view.TopRow()) return;
    UpdateScrollBars();
    if (m_gridView) m_gridView->PlaceEditor();
    Invalidate();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged()
{
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::ScrollBarMoved(bool vertical, int position)
{
    if (vertical)
        SetTopRow(position);
    else
        SetLeftCol(position);
}

void TCustomGrid::UpdateScrollBars()
{
    if (!m_gridView) return;
    m_gridView->ScrollBarsChanged();
    m_gridView->PlaceEditor();
}

void TCustomGrid::ScrollInView(int c, int r)
{
    const int oldL = m_view.LeftCol(), oldT = m_view.TopRow();
    if (m_view.ScrollInView(c, r)) {
        m_view.ClampTopLeft();
        AfterTopLeft(oldL, oldT);
    }
}

void TCustomGrid::ClampCurrent()
{
    auto clampTo = [](int v, int lo, int hi) { return hi < lo ? lo : std::clamp(v, lo, hi); };
    m_cur.X = clampTo(m_cur.X, FixedCols(), ColCount() - 1);
    m_cur.Y = clampTo(m_cur.Y, FixedRows(), RowCount() - 1);
    m_anchor.X = clampTo(m_anchor.X, FixedCols(), ColCount() - 1);
    m_anchor.Y = clampTo(m_anchor.Y, FixedRows(), RowCount() - 1);
    if (m_editorMode && (m_editCell.X >= ColCount() || m_editCell.Y >= RowCount())) {
        m_editorMode = false;
        if (m_gridView) m_gridView->EditorClosed();
    }
}

// The screen rectangle over a range of cells (the visible part).
static TRect UnionOf(const TRect& a, const TRect& b)
{
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

TRect TCustomGrid::SpanRect(const TGridRect& g) const
{
    if (!m_gridView) return {};
    // Corners that are scrolled away are replaced by the visible edge.
    TRect r;
    for (int row : {g.Top, g.Bottom})
        for (int col : {g.Left, g.Right}) r = UnionOf(r, CellRect(col, row));
    if (g.Bottom > g.Top || g.Right > g.Left) {
        const int x1 = m_view.ColLeft(std::max(g.Left, g.Left >= FixedCols() ? LeftCol() : 0));
        const int y1 = m_view.RowTop(std::max(g.Top, g.Top >= FixedRows() ? TopRow() : 0));
        const int x2 = std::min(ClientWidth(), m_view.ColLeft(g.Right) + m_view.ColWidth(g.Right));
        const int y2 = std::min(ClientHeight(), m_view.RowTop(g.Bottom) + m_view.RowHeight(g.Bottom));
        r = UnionOf(r, TRect{x1, y1, x2, y2});
    }
    return r;
}

TGridRect TCustomGrid::Selection() const
{
    const TGridRect s = StoredSelection();
    return {std::min(s.Left, s.Right), std::min(s.Top, s.Bottom), std::max(s.Left, s.Right), std::max(s.Top, s.Bottom)};
}

void TCustomGrid::SetSelection(const TGridRect& r)
{
    // The anchor takes the top-left corner, the current cell the opposite one.
    const TGridRect old = Selection();
    const TGridRect n{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                      std::max(r.Top, r.Bottom)};
    m_anchor = {n.Left, n.Top};
    m_cur = {n.Right, n.Bottom};
    ClampCurrent();
    if (m_gridView) {
        InvalidateRect(SpanRect(old));
        InvalidateRect(SpanRect(Selection()));
    }
}

TGridRect TCustomGrid::StoredSelection() const
{
    TGridRect s{m_anchor.X, m_anchor.Y, m_cur.X, m_cur.Y};
    if (m_options.Contains(goRowSelect)) {
        s.Left = FixedCols();
        s.Right = ColCount() - 1;
    }
    return s;
}

void TCustomGrid::SetStoredSelection(const TGridRect& r)
{
    const TGridRect old = Selection();
    m_anchor = {r.Left, r.Top};
    m_cur = {r.Right, r.Bottom};
    ClampCurrent();
    if (m_gridView) {
        InvalidateRect(SpanRect(old));
        InvalidateRect(SpanRect(Selection()));
    }
}

void TCustomGrid::SetCol(int c)
{
    if (c != m_cur.X) MoveColRow(c, m_cur.Y, true, true);
}

void TCustomGrid::SetRow(int r)
{
    if (r != m_cur.Y) MoveColRow(m_cur.X, r, true, true);
}

void TCustomGrid::MoveColRow(int c, int r, bool moveAnchor, bool show)
{
    SetCurrent(c, r, moveAnchor, show);
}

bool TCustomGrid::SelectCell(int c, int r)
{
    bool ok = true;
    if (OnSelectCell) OnSelectCell(this, c, r, ok);
    return ok;
}

void TCustomGrid::SetCurrent(int c, int r, bool moveAnchor, bool show)
{
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return;
    const bool moved = c != m_cur.X || r != m_cur.Y;
    if (moved) {
        if (!SelectCell(c, r)) return;
        if (m_editorMode) HideEditor();
    }
    const TGridRect old = Selection();
    m_cur = {c, r};
    if (moveAnchor) m_anchor = m_cur;
    if (show) ScrollInView(c, r);
    if (m_gridView) {
        const TGridRect now = Selection();
        if (old == now && !moved) return;
        InvalidateRect(SpanRect(old));
        InvalidateRect(SpanRect(now));
    }
    if (moved && m_options.Contains(goAlwaysShowEditor) && m_options.Contains(goEditing)) ShowEditor();
}

void TCustomGrid::MouseToCell(int x, int y, int& c, int& r) const
{
    const TGridCoord g = MouseCoord(x, y);
    c = g.X;
    r = g.Y;
}

// --- editor ---------------------------------------------------------------

bool TCustomGrid::CanEditShow()
{
    return m_options.Contains(goEditing) && !m_options.Contains(goRowSelect) && m_cur.X >= FixedCols() &&
           m_cur.Y >= FixedRows() && m_cur.X < ColCount() && m_cur.Y < RowCount();
}

void TCustomGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (m_editorMode) return;
    if (!CanEditShow()) return;
    m_editCell = m_cur;
    m_editText = GetEditText(m_cur.X, m_cur.Y);
    m_editorMode = true;
    ScrollInView(m_cur.X, m_cur.Y);
    if (m_gridView) m_gridView->EditorOpened(m_editText, GetEditLimit(), GetEditMask(m_editCell.X, m_editCell.Y));
}

void TCustomGrid::ShowEditorChar(QChar ch)
{
    ShowEditor();
    if (m_editorMode) SetEditorText(QString(ch));
}

QString TCustomGrid::EditorText() const
{
    if (m_editorMode && m_gridView) return m_gridView->EditorText();
    return m_editText;
}

void TCustomGrid::SetEditorText(const QString& s)
{
    m_editText = s;
    if (m_editorMode && m_gridView) m_gridView->SetEditorText(s);
}

void TCustomGrid::HideEditor()
{
    if (!m_editorMode) return;
    const QString text = EditorText();
    const TGridCoord cell = m_editCell;
    // The closing text stays readable (EditorText) while it is stored.
    m_editText = text;
    m_editorMode = false;
    if (m_gridView) m_gridView->EditorClosed();
    if (CanStoreEditText()) SetEditText(cell.X, cell.Y, text);
    InvalidateCell(cell.X, cell.Y);
    EditorHidden();
}

void TCustomGrid::CancelEditor()
{
    if (!m_editorMode) return;
    const TGridCoord cell = m_editCell;
    m_editorMode = false;
    if (m_gridView) m_gridView->EditorClosed();
    InvalidateCell(cell.X, cell.Y);
    EditorHidden();
}

// --- input ----------------------------------------------------------------

void TCustomGrid::MoveBy(int dc, int dr, TShiftState shift)
{
    const bool extend = shift.Contains(ssShift) && m_options.Contains(goRangeSelect);
    if (m_options.Contains(goRowSelect) && dc != 0) {
        // A row-select grid scrolls sideways instead of moving a column.
        SetLeftCol(LeftCol() + dc);
        return;
    }
    const int c = std::clamp(m_cur.X + dc, FixedCols(), std::max(FixedCols(), ColCount() - 1));
    const int r = std::clamp(m_cur.Y + dr, FixedRows(), std::max(FixedRows(), RowCount() - 1));
    SetCurrent(c, r, !extend, true);
}

void TCustomGrid::DoKeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (key != 0) KeyDown(key, shift);
}

void TCustomGrid::DoKeyPress(QChar& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
    if (!key.isNull()) KeyPress(key);
}

void TCustomGrid::DoCharMessage(QChar& key, TShiftState shift, bool keypad)
{
    if (key.isNull() || CharMessage(key, shift, keypad)) return;
    DoKeyPress(key);
}

void TCustomGrid::DoKeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TCustomGrid::KeyDown(int& key, TShiftState shift)
{
    if (key == 0) return;
    const bool ctrl = shift.Contains(ssCtrl);
    const bool extend = shift.Contains(ssShift) && m_options.Contains(goRangeSelect);
    const int lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    switch (key) {
    case VK_UP: MoveBy(0, -1, shift); break;
    case VK_DOWN: MoveBy(0, 1, shift); break;
    case VK_LEFT: MoveBy(-1, 0, shift); break;
    case VK_RIGHT: MoveBy(1, 0, shift); break;
    case VK_PRIOR: {
        const int page = std::max(1, VisibleRowCount());
        const int r = std::max(FixedRows(), m_cur.Y - page);
        SetTopRow(TopRow() - page);
        SetCurrent(m_cur.X, r, !extend, true);
        break;
    }
    case VK_NEXT: {
        const int page = std::max(1, VisibleRowCount());
        const int r = std::min(lastRow, m_cur.Y + page);
        SetTopRow(TopRow() + page);
        SetCurrent(m_cur.X, r, !extend, true);
        break;
    }
    case VK_HOME:
        if (ctrl)
            SetCurrent(FixedCols(), FixedRows(), !extend, true);
        else
            SetCurrent(FixedCols(), m_cur.Y, !extend, true);
        break;
    case VK_END:
        if (ctrl)
            SetCurrent(lastCol, lastRow, !extend, true);
        else
            SetCurrent(lastCol, m_cur.Y, !extend, true);
        break;
    case VK_TAB:
        if (!m_options.Contains(goTabs) || ctrl) break;
        if (shift.Contains(ssShift)) {
            if (m_cur.X > FixedCols())
                SetCurrent(m_cur.X - 1, m_cur.Y, true, true);
            else if (m_cur.Y > FixedRows())
                SetCurrent(lastCol, m_cur.Y - 1, true, true);
        } else {
            if (m_cur.X < lastCol)
                SetCurrent(m_cur.X + 1, m_cur.Y, true, true);
            else if (m_cur.Y < lastRow)
                SetCurrent(FixedCols(), m_cur.Y + 1, true, true);
        }
        break;
    case VK_F2:
        if (m_options.Contains(goEditing)) ShowEditor();
        break;
    default: break;
    }
}

void TCustomGrid::KeyPress(QChar& key)
{
    if (key.isNull()) return;
    if (key == QChar(VK_RETURN)) {
        if (!m_options.Contains(goEditing)) return;
        if (m_editorMode) {
            if (!m_options.Contains(goAlwaysShowEditor)) HideEditor();
        } else {
            ShowEditor();
        }
        key = QChar();
        return;
    }
    if (key == QChar(VK_ESCAPE)) {
        if (m_editorMode) CancelEditor();
        return;
    }
    if (!m_editorMode && m_options.Contains(goEditing) && key.isPrint()) {
        ShowEditorChar(key);
        key = QChar();
    }
}

void TCustomGrid::CalcSizingState(int x, int y, TGridState& state, int& index)
{
    state = gsNormal;
    index = -1;
    const bool inFixedRow = y >= 0 && y < m_view.FixedRowsHeight();
    const bool inFixedCol = x >= 0 && x < m_view.FixedColsWidth();
    if (m_options.Contains(goColSizing) && inFixedRow && (index = m_view.Cols.SizingEdgeAt(x, 3)) >= 0) {
        state = gsColSizing;
        return;
    }
    if (m_options.Contains(goRowSizing) && inFixedCol && (index = m_view.Rows.SizingEdgeAt(y, 3)) >= 0) {
        state = gsRowSizing;
        return;
    }
    index = -1;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FGridState = gsNormal;
        int index = -1;
        TGridState sizing = gsNormal;
        CalcSizingState(x, y, sizing, index);
        const TGridCoord g = MouseCoord(x, y);
        if (sizing == gsColSizing || sizing == gsRowSizing) {
            FGridState = sizing;
            m_sizingIndex = index;
            m_sizingStart = sizing == gsColSizing ? x : y;
            m_sizingOrig = sizing == gsColSizing ? m_view.ColWidth(index) : m_view.RowHeight(index);
        } else if (g.X >= 0 && g.X < FixedCols() && g.Y >= FixedRows() && m_options.Contains(goRowMoving)) {
            // A press on a fixed column cell picks up its row.
            FGridState = gsRowMoving;
            m_sizingIndex = g.Y;
        } else if (g.Y >= 0 && g.Y < FixedRows() && g.X >= FixedCols() && m_options.Contains(goColMoving)) {
            FGridState = gsColMoving;
            m_sizingIndex = g.X;
        } else if (g.X >= FixedCols() && g.Y >= FixedRows()) {
            const bool same = g.X == m_cur.X && g.Y == m_cur.Y;
            if (same && m_options.Contains(goEditing) && !m_editorMode && !shift.Contains(ssShift)) {
                ShowEditor();
            } else {
                const bool extend = shift.Contains(ssShift) && m_options.Contains(goRangeSelect);
                SetCurrent(g.X, g.Y, !extend, true);
                if (m_options.Contains(goRangeSelect)) FGridState = gsSelecting;
            }
        }
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    switch (FGridState) {
    case gsColSizing: SetColWidths(m_sizingIndex, std::max(0, m_sizingOrig + x - m_sizingStart)); break;
    case gsRowSizing: SetRowHeights(m_sizingIndex, std::max(0, m_sizingOrig + y - m_sizingStart)); break;
    case gsSelecting: {
        const TGridCoord g = MouseCoord(std::clamp(x, 0, std::max(0, ClientWidth() - 1)),
                                        std::clamp(y, 0, std::max(0, ClientHeight() - 1)));
        if (g.X >= FixedCols() && g.Y >= FixedRows() && (g.X != m_cur.X || g.Y != m_cur.Y))
            SetCurrent(g.X, g.Y, false, true);
        break;
    }
    default: break;
    }
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const TGridState state = FGridState;
    FGridState = gsNormal;
    if (state == gsRowMoving || state == gsColMoving) {
        const TGridCoord g = MouseCoord(x, y);
        if (state == gsRowMoving && g.Y >= FixedRows() && g.Y != m_sizingIndex) MoveRow(m_sizingIndex, g.Y);
        if (state == gsColMoving && g.X >= FixedCols() && g.X != m_sizingIndex) MoveColumn(m_sizingIndex, g.X);
    }
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    if (button == mbLeft && x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight()) Click();
}

void TCustomGrid::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TCustomGrid::Click()
{
    if (OnClick) OnClick(this);
}

void TCustomGrid::DoEnter()
{
    if (OnEnter) OnEnter(this);
}

void TCustomGrid::DoExit()
{
    if (m_editorMode && !m_options.Contains(goAlwaysShowEditor)) HideEditor();
    if (OnExit) OnExit(this);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState shift, QPoint pos)
{
    if (Row() < RowCount() - 1) SetRow(Row() + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState shift, QPoint pos)
{
    if (Row() > FixedRows()) SetRow(Row() - 1);
    return true;
}

// --- painting ---------------------------------------------------------------

TGridDrawState TCustomGrid::CellDrawState(int c, int r) const
{
    TGridDrawState s;
    if (c < FixedCols() || r < FixedRows()) return s.With(gdFixed);
    const bool current = c == m_cur.X && r == m_cur.Y;
    if (current && Focused()) s.Include(gdFocused);
    if (Selection().Contains(c, r) &&
        (!current || m_options.Contains(goDrawFocusSelected) || m_options.Contains(goRowSelect)))
        s.Include(gdSelected);
    if (m_options.Contains(goRowSelect) && Selection().Contains(c, r)) s.Include(gdRowSelected);
    return s;
}

void TCustomGrid::PaintTo(QPainter& p)
{
    TCanvas canvas(p);
    Paint(canvas);
}

void TCustomGrid::Paint(TCanvas& canvas)
{
    m_inPaint = true;
    TCanvas* const outer = m_canvas;
    m_canvas = &canvas;
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(Color);
    canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
    auto paintRange = [&](int c0, int c1, int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int y = m_view.RowTop(r);
            if (y >= ClientHeight()) break;
            for (int c = c0; c < c1; ++c) {
                const int x = m_view.ColLeft(c);
                if (x >= ClientWidth()) break;
                const TRect rect{x, y, x + m_view.ColWidth(c), y + m_view.RowHeight(r)};
                // The platform's brush and font for the state of the cell.
                const TGridDrawState state = CellDrawState(c, r);
                canvas.SetBrushStyle(TBrushStyle::Solid);
                canvas.SetFont(Font);
                if (state.Contains(gdFixed)) {
                    canvas.SetBrushColor(FixedColor);
                    canvas.SetFontColor(FontColor);
                } else if (state.Contains(gdSelected)) {
                    canvas.SetBrushColor(clHighlight);
                    canvas.SetFontColor(clHighlightText);
                } else {
                    canvas.SetBrushColor(Color);
                    canvas.SetFontColor(FontColor);
                }
                DrawCell(canvas, c, r, rect, state);
            }
        }
    };
    const int fc = std::min(FixedCols(), ColCount()), fr = std::min(FixedRows(), RowCount());
    paintRange(LeftCol(), ColCount(), TopRow(), RowCount());
    paintRange(0, fc, TopRow(), RowCount());
    paintRange(LeftCol(), ColCount(), 0, fr);
    paintRange(0, fc, 0, fr);
    PaintFocusRect(canvas);
    m_canvas = outer;
    m_inPaint = false;
}

void TCustomGrid::PaintFocusRect(TCanvas& canvas)
{
    if (!Focused() || m_options.Contains(goRowSelect) || m_editorMode) return;
    const TRect r = TCustomGrid::CellRect(m_cur.X, m_cur.Y);
    if (r.IsEmpty()) return;
    QPainter& p = canvas.Painter();
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ColorToQColor(clWindowText), 1, Qt::DotLine));
    p.drawRect(r.Left + 1, r.Top + 1, r.Width() - 3, r.Height() - 3);
    p.restore();
}

void TCustomGrid::DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    if (OnDrawCell) OnDrawCell(this, c, r, rect, state);
}

// --- rows and columns -------------------------------------------------------

void TCustomGrid::InsertRows(int at, int n)
{
    if (n <= 0 || at < 0 || at > RowCount()) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.Rows.Insert(at, n);
    StoreInsertRows(at, n);
    if (m_cur.Y >= at) m_cur.Y += n;
    if (m_anchor.Y >= at) m_anchor.Y += n;
    AfterCountChange(oldC, oldR);
}

void TCustomGrid::DeleteRows(int at, int n)
{
    if (n <= 0 || at < 0 || at >= RowCount()) return;
    n = std::min(n, RowCount() - at);
    if (RowCount() - n < 1) n = RowCount() - 1;
    if (n <= 0) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.Rows.Remove(at, n);
    StoreDeleteRows(at, n);
    if (m_view.FixedRows() >= RowCount()) m_view.Rows.SetFixedCount(RowCount() - 1);
    auto shift = [&](int y) { return y >= at + n ? y - n : (y >= at ? at : y); };
    m_cur.Y = shift(m_cur.Y);
    m_anchor.Y = shift(m_anchor.Y);
    AfterCountChange(oldC, oldR);
}

void TCustomGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount()) return;
    if (m_editorMode) HideEditor();
    m_view.Rows.Move(from, to);
    StoreMoveRow(from, to);
    RowMoved(from, to);
    Invalidate();
}

void TCustomGrid::InsertCols(int at, int n)
{
    if (n <= 0 || at < 0 || at > ColCount()) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.Cols.Insert(at, n);
    StoreInsertCols(at, n);
    if (m_cur.X >= at) m_cur.X += n;
    if (m_anchor.X >= at) m_anchor.X += n;
    AfterCountChange(oldC, oldR);
}

void TCustomGrid::DeleteCols(int at, int n)
{
    if (n <= 0 || at < 0 || at >= ColCount()) return;
    n = std::min(n, ColCount() - at);
    if (ColCount() - n < 1) n = ColCount() - 1;
    if (n <= 0) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.Cols.Remove(at, n);
    StoreDeleteCols(at, n);
    if (m_view.FixedCols() >= ColCount()) m_view.Cols.SetFixedCount(ColCount() - 1);
    auto shift = [&](int x) { return x >= at + n ? x - n : (x >= at ? at : x); };
    m_cur.X = shift(m_cur.X);
    m_anchor.X = shift(m_anchor.X);
    AfterCountChange(oldC, oldR);
}

void TCustomGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount()) return;
    if (m_editorMode) HideEditor();
    m_view.Cols.Move(from, to);
    StoreMoveCol(from, to);
    ColumnMoved(from, to);
    Invalidate();
}

// ---------------------------------------------------------------------------
// TStringGrid

TStringGrid::TStringGrid()
{
    m_store.SetColCount(ColCount());
    m_store.SetRowCount(RowCount());
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SetColCount(int n)
{
    n = std::max(1, n);
    if (n < ColCount() && EditorMode() && EditorCell().X >= n) CancelEditor();
    // The store keeps the hidden columns past the shown ones.
    const int hidden = std::max(0, TotalColCount() - ColCount());
    m_store.SetColCount(n + hidden);
    TCustomGrid::SetColCount(n);
}

void TStringGrid::StoreWidthChanged()
{
    m_store.SetColCount(std::max(ColCount(), TotalColCount()));
}

void TStringGrid::SetRowCount(int n)
{
    n = std::max(1, n);
    if (n < RowCount() && EditorMode() && EditorCell().Y >= n) CancelEditor();
    m_store.SetRowCount(n);
    TCustomGrid::SetRowCount(n);
}

QString TStringGrid::StoreCell(int c, int r) const
{
    return m_store.Text(c, r);
}

void TStringGrid::SetStoreCell(int c, int r, const QString& s)
{
    m_store.SetText(c, r, s);
    InvalidateCell(c, r);
}

TCellObject* TStringGrid::StoreObject(int c, int r) const
{
    return m_store.Object(c, r);
}

void TStringGrid::SetStoreObject(int c, int r, std::unique_ptr<TCellObject> obj)
{
    m_store.SetObject(c, r, std::move(obj));
}

std::unique_ptr<TCellObject> TStringGrid::ReleaseStoreObject(int c, int r)
{
    return m_store.ReleaseObject(c, r);
}

QStringList TStringGrid::RowTexts(int r) const
{
    QStringList l;
    for (int c = 0; c < ColCount(); ++c) l << m_store.Text(c, r);
    return l;
}

QStringList TStringGrid::ColTexts(int c) const
{
    QStringList l;
    for (int r = 0; r < RowCount(); ++r) l << m_store.Text(c, r);
    return l;
}

void TStringGrid::SetRowTexts(int r, const QStringList& texts)
{
    if (r < 0 || r >= RowCount()) return;
    for (int c = 0; c < ColCount(); ++c) m_store.SetText(c, r, c < texts.size() ? texts[c] : QString());
    Invalidate();
}

void TStringGrid::SetColTexts(int c, const QStringList& texts)
{
    if (c < 0 || c >= ColCount()) return;
    for (int r = 0; r < RowCount(); ++r) m_store.SetText(c, r, r < texts.size() ? texts[r] : QString());
    Invalidate();
}

std::unique_ptr<TGridRowData> TStringGrid::TakeRow(int r)
{
    auto row = m_store.TakeRow(r);
    Invalidate();
    return row;
}

void TStringGrid::PutRow(int r, std::unique_ptr<TGridRowData> row)
{
    m_store.PutRow(r, std::move(row));
    Invalidate();
}

void TStringGrid::DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state)
{
    if (DefaultDrawingEnabled) {
        // The brush and font colour stand ready for the state; the text sits
        // two pixels in, the lines lie in the gap after the cell.
        TRect tr = rect;
        canvas.TextRect(tr, rect.Left + 2, rect.Top + 2, StoreCell(c, r));
        if (GridLineWidth() > 0) {
            const bool fixed = state.Contains(gdFixed);
            canvas.SetBrushColor(fixed ? clBlack : clSilver);
            if (HasOption(fixed ? goFixedHorzLine : goHorzLine))
                canvas.FillRect({rect.Left, rect.Bottom, rect.Right + GridLineWidth(), rect.Bottom + GridLineWidth()});
            if (HasOption(fixed ? goFixedVertLine : goVertLine))
                canvas.FillRect({rect.Right, rect.Top, rect.Right + GridLineWidth(), rect.Bottom + GridLineWidth()});
        }
    }
    TCustomGrid::DrawCell(canvas, c, r, rect, state);
}
