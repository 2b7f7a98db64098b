#include "platform/Grids.h"
#include "platform/GridsWidget.h"

#include <QPainter>
#include <QScrollBar>
#include <algorithm>

// ---------------------------------------------------------------------------
// TGridViewport

void TGridViewport::SetColCount(int n)
{
    m_colWidths.resize(size_t(std::max(0, n)), DefaultColWidth);
}

void TGridViewport::SetRowCount(int n)
{
    m_rowHeights.resize(size_t(std::max(0, n)), DefaultRowHeight);
}

void TGridViewport::InsertRows(int at, int n)
{
    if (n <= 0) return;
    at = std::clamp(at, 0, RowCount());
    m_rowHeights.insert(m_rowHeights.begin() + at, size_t(n), DefaultRowHeight);
}

void TGridViewport::DeleteRows(int at, int n)
{
    if (at < 0 || at >= RowCount() || n <= 0) return;
    n = std::min(n, RowCount() - at);
    m_rowHeights.erase(m_rowHeights.begin() + at, m_rowHeights.begin() + at + n);
}

void TGridViewport::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount()) return;
    auto b = m_rowHeights.begin();
    if (from < to)
        std::rotate(b + from, b + from + 1, b + to + 1);
    else
        std::rotate(b + to, b + from, b + from + 1);
}

void TGridViewport::InsertCols(int at, int n)
{
    if (n <= 0) return;
    at = std::clamp(at, 0, ColCount());
    m_colWidths.insert(m_colWidths.begin() + at, size_t(n), DefaultColWidth);
}

void TGridViewport::DeleteCols(int at, int n)
{
    if (at < 0 || at >= ColCount() || n <= 0) return;
    n = std::min(n, ColCount() - at);
    m_colWidths.erase(m_colWidths.begin() + at, m_colWidths.begin() + at + n);
}

void TGridViewport::MoveCol(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount()) return;
    auto b = m_colWidths.begin();
    if (from < to)
        std::rotate(b + from, b + from + 1, b + to + 1);
    else
        std::rotate(b + to, b + from, b + from + 1);
}

void TGridViewport::SetColWidth(int c, int w)
{
    if (c >= 0 && c < ColCount()) m_colWidths[size_t(c)] = std::max(0, w);
}

void TGridViewport::SetRowHeight(int r, int h)
{
    if (r >= 0 && r < RowCount()) m_rowHeights[size_t(r)] = std::max(0, h);
}

void TGridViewport::ResetColWidths()
{
    std::fill(m_colWidths.begin(), m_colWidths.end(), DefaultColWidth);
}

void TGridViewport::ResetRowHeights()
{
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), DefaultRowHeight);
}

int TGridViewport::FixedColsWidth() const
{
    int w = 0;
    for (int c = 0; c < std::min(FixedCols, ColCount()); ++c) w += ColWidth(c) + GridLineWidth;
    return w;
}

int TGridViewport::FixedRowsHeight() const
{
    int h = 0;
    for (int r = 0; r < std::min(FixedRows, RowCount()); ++r) h += RowHeight(r) + GridLineWidth;
    return h;
}

int TGridViewport::ColLeft(int c) const
{
    if (c < FixedCols) {
        int x = 0;
        for (int i = 0; i < c; ++i) x += ColWidth(i) + GridLineWidth;
        return x;
    }
    int x = FixedColsWidth();
    if (c >= LeftCol)
        for (int i = LeftCol; i < c; ++i) x += ColWidth(i) + GridLineWidth;
    else
        for (int i = c; i < LeftCol; ++i) x -= ColWidth(i) + GridLineWidth;
    return x;
}

int TGridViewport::RowTop(int r) const
{
    if (r < FixedRows) {
        int y = 0;
        for (int i = 0; i < r; ++i) y += RowHeight(i) + GridLineWidth;
        return y;
    }
    int y = FixedRowsHeight();
    if (r >= TopRow)
        for (int i = TopRow; i < r; ++i) y += RowHeight(i) + GridLineWidth;
    else
        for (int i = r; i < TopRow; ++i) y -= RowHeight(i) + GridLineWidth;
    return y;
}

QRect TGridViewport::AbsCellRect(int c, int r) const
{
    return QRect(ColLeft(c), RowTop(r), ColWidth(c), RowHeight(r));
}

bool TGridViewport::IsCellVisible(int c, int r) const
{
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return false;
    if (c >= FixedCols && c < LeftCol) return false;
    if (r >= FixedRows && r < TopRow) return false;
    const int x = ColLeft(c), y = RowTop(r);
    return x < ClientWidth && y < ClientHeight;
}

QRect TGridViewport::CellRect(int c, int r) const
{
    if (!IsCellVisible(c, r)) return QRect(0, 0, 0, 0);
    return AbsCellRect(c, r);
}

int TGridViewport::VisibleColCount() const
{
    if (ColCount() <= FixedCols) return 0;
    int x = FixedColsWidth(), n = 0;
    for (int c = LeftCol; c < ColCount(); ++c) {
        x += ColWidth(c);
        if (x > ClientWidth) break;
        x += GridLineWidth;
        ++n;
    }
    return std::max(1, n);
}

int TGridViewport::VisibleRowCount() const
{
    if (RowCount() <= FixedRows) return 0;
    int y = FixedRowsHeight(), n = 0;
    for (int r = TopRow; r < RowCount(); ++r) {
        y += RowHeight(r);
        if (y > ClientHeight) break;
        y += GridLineWidth;
        ++n;
    }
    return std::max(1, n);
}

int TGridViewport::MaxLeftCol() const
{
    if (ColCount() <= FixedCols) return FixedCols;
    const int avail = ClientWidth - FixedColsWidth();
    int used = 0, c = ColCount() - 1;
    for (; c >= FixedCols; --c) {
        used += ColWidth(c) + GridLineWidth;
        if (used - GridLineWidth > avail) break;
    }
    return std::clamp(c + 1, FixedCols, ColCount() - 1);
}

int TGridViewport::MaxTopRow() const
{
    if (RowCount() <= FixedRows) return FixedRows;
    const int avail = ClientHeight - FixedRowsHeight();
    int used = 0, r = RowCount() - 1;
    for (; r >= FixedRows; --r) {
        used += RowHeight(r) + GridLineWidth;
        if (used - GridLineWidth > avail) break;
    }
    return std::clamp(r + 1, FixedRows, RowCount() - 1);
}

TGridCoord TGridViewport::MouseCoord(int x, int y) const
{
    auto find = [](int p, int fixedCount, int first, int count, int fixedSize, auto size, int line) {
        if (p < 0) return -1;
        if (p < fixedSize) {
            int s = 0;
            for (int i = 0; i < fixedCount; ++i) {
                s += size(i) + line;
                if (p < s) return i;
            }
            return -1;
        }
        int s = fixedSize;
        for (int i = first; i < count; ++i) {
            s += size(i) + line;
            if (p < s) return i;
        }
        return -1;
    };
    const int c = find(x, std::min(FixedCols, ColCount()), LeftCol, ColCount(), FixedColsWidth(),
                       [this](int i) { return ColWidth(i); }, GridLineWidth);
    const int r = find(y, std::min(FixedRows, RowCount()), TopRow, RowCount(), FixedRowsHeight(),
                       [this](int i) { return RowHeight(i); }, GridLineWidth);
    if (c < 0 || r < 0) return {-1, -1};
    return {c, r};
}

bool TGridViewport::ClampTopLeft()
{
    const int oldL = LeftCol, oldT = TopRow;
    LeftCol = std::clamp(LeftCol, FixedCols, std::max(FixedCols, MaxLeftCol()));
    TopRow = std::clamp(TopRow, FixedRows, std::max(FixedRows, MaxTopRow()));
    return oldL != LeftCol || oldT != TopRow;
}

bool TGridViewport::ScrollInView(int c, int r)
{
    const int oldL = LeftCol, oldT = TopRow;
    if (c >= FixedCols && c < ColCount()) {
        if (c < LeftCol) {
            LeftCol = c;
        } else {
            // Make c the last column shown whole when it lies beyond.
            const int avail = ClientWidth - FixedColsWidth();
            int x = 0;
            for (int i = LeftCol; i <= c; ++i) x += ColWidth(i) + GridLineWidth;
            if (x - GridLineWidth > avail) {
                int used = 0, first = c;
                for (; first >= FixedCols; --first) {
                    used += ColWidth(first) + GridLineWidth;
                    if (used - GridLineWidth > avail) break;
                }
                LeftCol = std::min(c, first + 1);
            }
        }
    }
    if (r >= FixedRows && r < RowCount()) {
        if (r < TopRow) {
            TopRow = r;
        } else {
            const int avail = ClientHeight - FixedRowsHeight();
            int y = 0;
            for (int i = TopRow; i <= r; ++i) y += RowHeight(i) + GridLineWidth;
            if (y - GridLineWidth > avail) {
                int used = 0, first = r;
                for (; first >= FixedRows; --first) {
                    used += RowHeight(first) + GridLineWidth;
                    if (used - GridLineWidth > avail) break;
                }
                TopRow = std::min(r, first + 1);
            }
        }
    }
    return oldL != LeftCol || oldT != TopRow;
}

// ---------------------------------------------------------------------------
// TCustomGrid

TCustomGrid::TCustomGrid()
{
    m_view.SetColCount(5);
    m_view.SetRowCount(5);
    m_view.FixedCols = 1;
    m_view.FixedRows = 1;
    m_view.ClientWidth = 320;
    m_view.ClientHeight = 120;
    m_view.LeftCol = 1;
    m_view.TopRow = 1;
    m_cur = m_anchor = {1, 1};
}

TCustomGrid::~TCustomGrid()
{
    // The widget only shows this grid: it goes with it.
    if (m_widget) {
        m_widget->DetachGrid();
        delete m_widget.data();
    }
}

TGridWidget* TCustomGrid::Widget()
{
    if (!m_widget) CreateWidget(nullptr);
    return m_widget.data();
}

TGridWidget* TCustomGrid::CreateWidget(QWidget* parent)
{
    if (m_widget) {
        if (parent && m_widget->parentWidget() != parent) m_widget->setParent(parent);
        return m_widget.data();
    }
    m_widget = new TGridWidget(this, parent);
    const QSize vs = m_widget->viewport()->size();
    if (vs.width() > 0 && vs.height() > 0) SetClientSize(vs.width(), vs.height());
    m_widget->SyncScrollBars();
    return m_widget.data();
}

void TCustomGrid::WidgetGone()
{
    m_widget.clear();
}

bool TCustomGrid::HasParent() const
{
    return m_widget && m_widget->parentWidget() != nullptr;
}

bool TCustomGrid::Focused() const
{
    return m_widget && (m_widget->hasFocus() || m_widget->viewport()->hasFocus() || m_widget->EditorHasFocus());
}

void TCustomGrid::Invalidate()
{
    if (m_widget && !m_inPaint) m_widget->viewport()->update();
}

void TCustomGrid::InvalidateRect(const QRect& r)
{
    if (m_widget && !m_inPaint && !r.isEmpty()) m_widget->viewport()->update(r);
}

void TCustomGrid::InvalidateCell(int c, int r)
{
    if (!m_widget || m_inPaint) return;
    InvalidateRect(CellRect(c, r));
}

void TCustomGrid::SetColCount(int n)
{
    n = std::max(1, n);
    if (n == ColCount()) return;
    const int oldC = ColCount(), oldR = RowCount();
    m_view.SetColCount(n);
    if (m_view.FixedCols >= n) m_view.FixedCols = n - 1;
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldC, oldR);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetRowCount(int n)
{
    n = std::max(1, n);
    if (n == RowCount()) return;
    const int oldC = ColCount(), oldR = RowCount();
    m_view.SetRowCount(n);
    if (m_view.FixedRows >= n) m_view.FixedRows = n - 1;
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldC, oldR);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedCols(int n)
{
    n = std::clamp(n, 0, ColCount() - 1);
    if (n == m_view.FixedCols) return;
    m_view.FixedCols = n;
    m_view.LeftCol = std::max(m_view.LeftCol, n);
    ClampCurrent();
    m_view.ClampTopLeft();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int n)
{
    n = std::clamp(n, 0, RowCount() - 1);
    if (n == m_view.FixedRows) return;
    m_view.FixedRows = n;
    m_view.TopRow = std::max(m_view.TopRow, n);
    ClampCurrent();
    m_view.ClampTopLeft();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int w)
{
    m_view.DefaultColWidth = std::max(0, w);
    m_view.ResetColWidths();
    m_view.ClampTopLeft();
    ColWidthsChanged();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int h)
{
    m_view.DefaultRowHeight = std::max(0, h);
    m_view.ResetRowHeights();
    m_view.ClampTopLeft();
    RowHeightsChanged();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetColWidths(int c, int w)
{
    if (c < 0 || c >= ColCount() || m_view.ColWidth(c) == std::max(0, w)) return;
    m_view.SetColWidth(c, w);
    ColWidthsChanged();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetRowHeights(int r, int h)
{
    if (r < 0 || r >= RowCount() || m_view.RowHeight(r) == std::max(0, h)) return;
    m_view.SetRowHeight(r, h);
    RowHeightsChanged();
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetGridLineWidth(int w)
{
    w = std::max(0, w);
    if (w == m_view.GridLineWidth) return;
    m_view.GridLineWidth = w;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions o)
{
    if (o == m_options) return;
    m_options = o;
    if (!o.Contains(goEditing) && m_editorMode) HideEditor();
    if (!o.Contains(goRangeSelect)) m_anchor = m_cur;
    if (o.Contains(goRowSelect) && m_editorMode) HideEditor();
    Invalidate();
}

void TCustomGrid::SetClientSize(int w, int h)
{
    m_view.ClientWidth = std::max(0, w);
    m_view.ClientHeight = std::max(0, h);
    const int oldL = m_view.LeftCol, oldT = m_view.TopRow;
    if (m_view.ClampTopLeft()) AfterTopLeft(oldL, oldT);
    UpdateScrollBars();
}

void TCustomGrid::SetLeftCol(int c)
{
    const int oldL = m_view.LeftCol, oldT = m_view.TopRow;
    m_view.LeftCol = c;
    m_view.ClampTopLeft();
    if (oldL != m_view.LeftCol) AfterTopLeft(oldL, oldT);
}

void TCustomGrid::SetTopRow(int r)
{
    const int oldL = m_view.LeftCol, oldT = m_view.TopRow;
    m_view.TopRow = r;
    m_view.ClampTopLeft();
    if (oldT != m_view.TopRow) AfterTopLeft(oldL, oldT);
}

void TCustomGrid::AfterTopLeft(int oldLeft, int oldTop)
{
    if (oldLeft == m_view.LeftCol && oldTop == m_view.TopRow) return;
    UpdateScrollBars();
    if (m_widget) m_widget->PlaceEditor();
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
    if (m_widget) m_widget->SyncScrollBars();
}

void TCustomGrid::ScrollInView(int c, int r)
{
    const int oldL = m_view.LeftCol, oldT = m_view.TopRow;
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
        if (m_widget) m_widget->SyncEditor();
    }
}

TGridRect TCustomGrid::Selection() const
{
    TGridRect s;
    if (m_options.Contains(goRangeSelect)) {
        s = {std::min(m_anchor.X, m_cur.X), std::min(m_anchor.Y, m_cur.Y), std::max(m_anchor.X, m_cur.X),
             std::max(m_anchor.Y, m_cur.Y)};
    } else {
        s = {m_cur.X, m_cur.Y, m_cur.X, m_cur.Y};
    }
    if (m_options.Contains(goRowSelect)) {
        s.Left = FixedCols();
        s.Right = ColCount() - 1;
    }
    return s;
}

void TCustomGrid::SetSelection(const TGridRect& r)
{
    // The current cell takes the top-left corner, the anchor the opposite one.
    const TGridRect old = Selection();
    TGridRect n{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                std::max(r.Top, r.Bottom)};
    m_cur = {n.Left, n.Top};
    m_anchor = m_options.Contains(goRangeSelect) ? TGridCoord{n.Right, n.Bottom} : m_cur;
    ClampCurrent();
    if (m_widget) {
        for (const TGridRect& g : {old, Selection()})
            InvalidateRect(CellRect(g.Left, g.Top).united(CellRect(g.Right, g.Bottom)));
        Invalidate();
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
    if (moveAnchor || !m_options.Contains(goRangeSelect)) m_anchor = m_cur;
    if (show) ScrollInView(c, r);
    if (m_widget) {
        const TGridRect now = Selection();
        if (old == now && !moved) return;
        InvalidateRect(CellRect(old.Left, old.Top).united(CellRect(old.Right, old.Bottom)));
        InvalidateRect(CellRect(now.Left, now.Top).united(CellRect(now.Right, now.Bottom)));
        Invalidate();
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
    if (m_widget) m_widget->SyncEditor();
}

void TCustomGrid::ShowEditorChar(QChar ch)
{
    ShowEditor();
    if (m_editorMode) SetEditorText(QString(ch));
}

QString TCustomGrid::EditorText() const
{
    if (m_editorMode && m_widget) return m_widget->EditorText();
    return m_editText;
}

void TCustomGrid::SetEditorText(const QString& s)
{
    m_editText = s;
    if (m_editorMode && m_widget) m_widget->SetEditorText(s);
}

void TCustomGrid::HideEditor()
{
    if (!m_editorMode) return;
    const QString text = EditorText();
    const TGridCoord cell = m_editCell;
    m_editorMode = false;
    if (m_widget) m_widget->SyncEditor();
    if (CanEditModify()) SetEditText(cell.X, cell.Y, text);
    InvalidateCell(cell.X, cell.Y);
    EditorHidden();
}

void TCustomGrid::CancelEditor()
{
    if (!m_editorMode) return;
    const TGridCoord cell = m_editCell;
    m_editorMode = false;
    if (m_widget) m_widget->SyncEditor();
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

bool TCustomGrid::IsOverSizingBorder(int x, int y) const
{
    const bool inFixedRow = y >= 0 && y < m_view.FixedRowsHeight();
    const bool inFixedCol = x >= 0 && x < m_view.FixedColsWidth();
    if (m_options.Contains(goColSizing) && inFixedRow) {
        for (int c = 0; c < ColCount(); ++c) {
            if (c >= FixedCols() && c < LeftCol()) continue;
            const int right = m_view.ColLeft(c) + m_view.ColWidth(c);
            if (right > ClientWidth()) break;
            if (std::abs(x - right) <= 2) return true;
        }
    }
    if (m_options.Contains(goRowSizing) && inFixedCol) {
        for (int r = 0; r < RowCount(); ++r) {
            if (r >= FixedRows() && r < TopRow()) continue;
            const int bottom = m_view.RowTop(r) + m_view.RowHeight(r);
            if (bottom > ClientHeight()) break;
            if (std::abs(y - bottom) <= 2) return true;
        }
    }
    return false;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        m_sizing = Sizing::None;
        if (IsOverSizingBorder(x, y)) {
            // Which border: the nearest column right edge or row bottom edge.
            if (m_options.Contains(goColSizing) && y < m_view.FixedRowsHeight()) {
                for (int c = 0; c < ColCount(); ++c) {
                    if (c >= FixedCols() && c < LeftCol()) continue;
                    const int right = m_view.ColLeft(c) + m_view.ColWidth(c);
                    if (std::abs(x - right) <= 2) {
                        m_sizing = Sizing::Col;
                        m_sizingIndex = c;
                        m_sizingStart = x;
                        m_sizingOrig = m_view.ColWidth(c);
                        break;
                    }
                }
            }
            if (m_sizing == Sizing::None) {
                for (int r = 0; r < RowCount(); ++r) {
                    if (r >= FixedRows() && r < TopRow()) continue;
                    const int bottom = m_view.RowTop(r) + m_view.RowHeight(r);
                    if (std::abs(y - bottom) <= 2) {
                        m_sizing = Sizing::Row;
                        m_sizingIndex = r;
                        m_sizingStart = y;
                        m_sizingOrig = m_view.RowHeight(r);
                        break;
                    }
                }
            }
        }
        if (m_sizing == Sizing::None) {
            const TGridCoord g = MouseCoord(x, y);
            if (g.X >= FixedCols() && g.Y >= FixedRows()) {
                const bool same = g.X == m_cur.X && g.Y == m_cur.Y;
                if (same && m_options.Contains(goEditing) && !m_editorMode && !shift.Contains(ssShift)) {
                    ShowEditor();
                } else {
                    const bool extend = shift.Contains(ssShift) && m_options.Contains(goRangeSelect);
                    SetCurrent(g.X, g.Y, !extend, true);
                    if (m_options.Contains(goRangeSelect)) m_sizing = Sizing::Select;
                }
            }
        }
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    switch (m_sizing) {
    case Sizing::Col: SetColWidths(m_sizingIndex, std::max(0, m_sizingOrig + x - m_sizingStart)); break;
    case Sizing::Row: SetRowHeights(m_sizingIndex, std::max(0, m_sizingOrig + y - m_sizingStart)); break;
    case Sizing::Select: {
        const TGridCoord g = MouseCoord(std::min(x, ClientWidth() - 1), std::min(y, ClientHeight() - 1));
        if (g.X >= FixedCols() && g.Y >= FixedRows() && (g.X != m_cur.X || g.Y != m_cur.Y))
            SetCurrent(g.X, g.Y, false, true);
        break;
    }
    case Sizing::None: break;
    }
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    m_sizing = Sizing::None;
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TCustomGrid::DblClick()
{
    if (OnDblClick) OnDblClick(this);
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

void TCustomGrid::Paint(QPainter& p)
{
    m_inPaint = true;
    p.fillRect(QRect(0, 0, ClientWidth(), ClientHeight()), ColorToQColor(Color));
    auto paintRange = [&](int c0, int c1, int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int y = m_view.RowTop(r);
            if (y >= ClientHeight()) break;
            for (int c = c0; c < c1; ++c) {
                const int x = m_view.ColLeft(c);
                if (x >= ClientWidth()) break;
                DrawCell(p, c, r, QRect(x, y, m_view.ColWidth(c), m_view.RowHeight(r)), CellDrawState(c, r));
            }
        }
    };
    const int fc = std::min(FixedCols(), ColCount()), fr = std::min(FixedRows(), RowCount());
    paintRange(LeftCol(), ColCount(), TopRow(), RowCount());
    paintRange(0, fc, TopRow(), RowCount());
    paintRange(LeftCol(), ColCount(), 0, fr);
    paintRange(0, fc, 0, fr);
    m_inPaint = false;
}

void TCustomGrid::DrawCell(QPainter& p, int c, int r, const QRect& rect, TGridDrawState state)
{
    if (OnDrawCell) OnDrawCell(this, c, r, rect, state, p);
}

// --- rows and columns -------------------------------------------------------

void TCustomGrid::InsertRows(int at, int n)
{
    if (n <= 0 || at < 0 || at > RowCount()) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.InsertRows(at, n);
    StoreInsertRows(at, n);
    if (m_cur.Y >= at) m_cur.Y += n;
    if (m_anchor.Y >= at) m_anchor.Y += n;
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldC, oldR);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::DeleteRows(int at, int n)
{
    if (n <= 0 || at < 0 || at >= RowCount()) return;
    n = std::min(n, RowCount() - at);
    if (RowCount() - n < 1) n = RowCount() - 1;
    if (n <= 0) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.DeleteRows(at, n);
    StoreDeleteRows(at, n);
    if (m_view.FixedRows >= RowCount()) m_view.FixedRows = RowCount() - 1;
    auto shift = [&](int y) { return y >= at + n ? y - n : (y >= at ? at : y); };
    m_cur.Y = shift(m_cur.Y);
    m_anchor.Y = shift(m_anchor.Y);
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldC, oldR);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount()) return;
    if (m_editorMode) HideEditor();
    m_view.MoveRow(from, to);
    StoreMoveRow(from, to);
    RowMoved(from, to);
    Invalidate();
}

void TCustomGrid::InsertCols(int at, int n)
{
    if (n <= 0 || at < 0 || at > ColCount()) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.InsertCols(at, n);
    StoreInsertCols(at, n);
    if (m_cur.X >= at) m_cur.X += n;
    if (m_anchor.X >= at) m_anchor.X += n;
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldC, oldR);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::DeleteCols(int at, int n)
{
    if (n <= 0 || at < 0 || at >= ColCount()) return;
    n = std::min(n, ColCount() - at);
    if (ColCount() - n < 1) n = ColCount() - 1;
    if (n <= 0) return;
    if (m_editorMode) HideEditor();
    const int oldC = ColCount(), oldR = RowCount();
    m_view.DeleteCols(at, n);
    StoreDeleteCols(at, n);
    if (m_view.FixedCols >= ColCount()) m_view.FixedCols = ColCount() - 1;
    auto shift = [&](int x) { return x >= at + n ? x - n : (x >= at ? at : x); };
    m_cur.X = shift(m_cur.X);
    m_anchor.X = shift(m_anchor.X);
    ClampCurrent();
    m_view.ClampTopLeft();
    SizeChanged(oldC, oldR);
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount()) return;
    if (m_editorMode) HideEditor();
    m_view.MoveCol(from, to);
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
    m_store.SetColCount(n);
    TCustomGrid::SetColCount(n);
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

void TStringGrid::DrawCell(QPainter& p, int c, int r, const QRect& rect, TGridDrawState state)
{
    if (DefaultDrawingEnabled) {
        TColor bg = Color, fg = clWindowText;
        if (state.Contains(gdFixed)) {
            bg = FixedColor;
            fg = clBtnText;
        } else if (state.Contains(gdSelected)) {
            bg = clHighlight;
            fg = clHighlightText;
        }
        p.fillRect(rect, ColorToQColor(bg));
        p.setPen(ColorToQColor(fg));
        p.setFont(Font);
        p.drawText(rect.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, StoreCell(c, r));
        if (GridLineWidth() > 0) {
            const bool fixed = state.Contains(gdFixed);
            p.setPen(ColorToQColor(fixed ? clBlack : clSilver));
            if (HasOption(fixed ? goFixedHorzLine : goHorzLine))
                p.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
            if (HasOption(fixed ? goFixedVertLine : goVertLine))
                p.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
        }
    }
    TCustomGrid::DrawCell(p, c, r, rect, state);
}
