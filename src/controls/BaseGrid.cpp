#include "controls/BaseGrid.h"
#include "controls/CellEditors.h"
#include "controls/ExtUtil.h"

#include <QtGlobal>
#include <algorithm>
#include <utility>
#include <cmath>

using enum TShiftStateItem;


TCellFontStyles FontStylesOf(const QFont& f)
{
    TCellFontStyles s;
    if (f.bold()) s.Include(cfsBold);
    if (f.italic()) s.Include(cfsItalic);
    if (f.underline()) s.Include(cfsUnderline);
    if (f.strikeOut()) s.Include(cfsStrikeOut);
    return s;
}

void ApplyFontStyles(QFont& f, TCellFontStyles s)
{
    f.setBold(s.Contains(cfsBold));
    f.setItalic(s.Contains(cfsItalic));
    f.setUnderline(s.Contains(cfsUnderline));
    f.setStrikeOut(s.Contains(cfsStrikeOut));
}

int FontSizeOf(const QFont& f)
{
    if (f.pointSize() > 0) return f.pointSize();
    return int(std::lround(f.pixelSize() * 72.0 / 96.0));
}

// ---------------------------------------------------------------------------
// TCellProperties

TCellProperties::TCellProperties(TBaseGrid* ownerGrid, int col, int row)
    : FOwnerGrid(ownerGrid), FOwnerCol(col), FOwnerRow(row)
{
    if (ownerGrid) {
        FWordWrap = ownerGrid->WordWrap();
        ownerGrid->FHasCellProps = true;
    }
}

TCellProperties::~TCellProperties() = default;

QPoint TCellProperties::BaseCell(int c, int r) const
{
    if (!FIsBaseCell && FCellSpanX != -1 && FCellSpanY != -1) return QPoint(c - FCellSpanX, r - FCellSpanY);
    return QPoint(c, r);
}

void TCellProperties::SetGraphicObject(std::unique_ptr<TCellObject> g)
{
    if (g && g.get() == FOwnedGraphic.get()) {
        (void)g.release(); // already ours
        return;
    }
    FOwnedGraphic = std::move(g);
    FBorrowedGraphic = nullptr;
}

void TCellProperties::SetBorrowedGraphic(TCellObject* g)
{
    if (g && g == FOwnedGraphic.get()) return; // owned stays owned
    FOwnedGraphic.reset();
    FBorrowedGraphic = g;
}

std::unique_ptr<TCellObject> TCellProperties::ReleaseGraphicObject()
{
    FBorrowedGraphic = nullptr;
    return std::move(FOwnedGraphic);
}

void TCellProperties::RepaintOwner()
{
    if (FOwnerGrid) FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetBrushColor(TColor v)
{
    FBrushColor = v;
    RepaintOwner();
}

void TCellProperties::SetBrushColorTo(TColor v)
{
    FBrushColorTo = v;
    RepaintOwner();
}

void TCellProperties::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    RepaintOwner();
}

void TCellProperties::SetWordWrap(bool v)
{
    FWordWrap = v;
    RepaintOwner();
}

void TCellProperties::Assign(const TCellProperties& s)
{
    if (&s == this) return;
    FIsBaseCell = s.FIsBaseCell;
    FCellSpanX = s.FCellSpanX;
    FCellSpanY = s.FCellSpanY;
    FObject = s.FObject;
    FAlignment = s.FAlignment;
    FBorderColor = s.FBorderColor;
    FBorderWidth = s.FBorderWidth;
    FBrushColor = s.FBrushColor;
    FBrushStyle = s.FBrushStyle;
    FFontColor = s.FFontColor;
    FFontStyle = s.FFontStyle;
    FFontName = s.FFontName;
    FFontSize = s.FFontSize;
    FReadOnly = s.FReadOnly;
    FEditor = s.FEditor;
    FVAlignment = s.FVAlignment;
    FWordWrap = s.FWordWrap;
    FNodeLevel = s.FNodeLevel;
    FControl = s.FControl;
}

// ---------------------------------------------------------------------------
// TBaseGrid

TBaseGrid::TBaseGrid()
{
    // The base grid draws its own lines inside the cells.
    TCustomGrid::SetGridLineWidth(0);
    DefaultDrawingEnabled = false;
}

TBaseGrid::~TBaseGrid()
{
    FDestroying = true;
    FreeCellPropsRect(0, 0, m_store.ColCount() - 1, RowCount() - 1);
    if (FUndoRedo && FUndoRedo->FGrid == this) FUndoRedo->FGrid = nullptr;
}

TCellProperties* TBaseGrid::CellPropsOrNull(int c, int r) const
{
    if (!Inside(c, r)) return nullptr;
    TCellObject* o = StoreObject(c, r);
    return o ? dynamic_cast<TCellProperties*>(o) : nullptr;
}

bool TBaseGrid::HasCellProps(int c, int r) const
{
    return CellPropsOrNull(c, r) != nullptr;
}

QString TBaseGrid::GetCellEx(int c, int r)
{
    if (!Inside(c, r)) return QString();
    // One lookup of the stored cell: its text, and its properties when it has
    // an object (a merged cell reads its base cell).
    const TGridCell* cell = std::as_const(m_store).StoredCell(c, r);
    if (!cell && r >= FNormalRowCount) return QString();
    QPoint b(c, r);
    const auto* p = cell && cell->Object ? dynamic_cast<const TCellProperties*>(cell->Object.get()) : nullptr;
    if (p) b = p->BaseCell(c, r);
    // Made by copy construction: the text is shared, not assigned over an
    // empty string (the cheaper path on every read of a plain cell).
    QString result = b != QPoint(c, r) ? StoreCell(b.x(), b.y()) : cell ? cell->Text : QString();
    if (b.y() < FNormalRowCount) {
        GetDisplText(b.x(), b.y(), result);
        if (OnGetDisplWideText) {
            QString w = DecodeWideCellText(result);
            GetDisplWideText(b.x(), b.y(), w);
            result = EncodeWideCellText(w);
        }
    }
    return result;
}

void TBaseGrid::SetCellEx(int c, int r, const QString& value)
{
    if (!Inside(c, r)) {
        Q_ASSERT_X(false, "TBaseGrid", "cell outside the grid written");
        return;
    }
    const TGridCell* cell = std::as_const(m_store).StoredCell(c, r);
    const auto* p = cell && cell->Object ? dynamic_cast<const TCellProperties*>(cell->Object.get()) : nullptr;
    if (p) {
        const QPoint b = p->BaseCell(c, r);
        SetStoreCell(b.x(), b.y(), value);
        CellTextChanged(b.x(), b.y());
        if (HasParent()) RepaintCell(c, r);
    } else {
        m_store.SetText(c, r, value);
        if (HandleAllocated()) InvalidateCell(c, r);
    }
    if (FHideLastRow && r == RowCount() - 1) LastRowChanged();
}

void TBaseGrid::GetDisplWideText(int c, int r, QString& value)
{
    if (OnGetDisplWideText) OnGetDisplWideText(this, c, r, value);
}

void TBaseGrid::GetCellDefaults(int c, int r, TCellLook& look)
{
    look.Font.Font = Font;
    look.Font.Color = FontColor;
    look.Brush.Color = Color;
    look.ColorTo = clNone;
    look.MirrorColor = clNone;
    look.MirrorColorTo = clNone;
    look.HAlign = taLeftJustify;
    look.VAlign = vtaTop;
    look.WordWrap = FWordWrap;
    look.GradientDir = GradientVertical;
}

TCellProperties* TBaseGrid::GetCellProperties(int c, int r)
{
    if (!Inside(c, r)) {
        Q_ASSERT_X(false, "TBaseGrid", "properties of a cell outside the grid");
        return nullptr;
    }
    if (TCellProperties* p = CellPropsOrNull(c, r)) {
        // Rows and columns move with their cells: the properties learn where
        // they stand now.
        p->FOwnerCol = c;
        p->FOwnerRow = r;
        return p;
    }
    auto owned = std::make_unique<TCellProperties>(this, c, r);
    TCellProperties* p = owned.get();
    m_store.SetObject(c, r, std::move(owned));
    TCellLook look;
    look.WordWrap = FWordWrap;
    GetCellDefaults(c, r, look);
    p->FCalcType = acNONE;
    p->FAlignment = look.HAlign;
    p->FVAlignment = look.VAlign;
    p->FWordWrap = look.WordWrap;
    p->FFontName = look.Font.Font.family();
    p->FFontSize = FontSizeOf(look.Font.Font);
    p->FFontStyle = FontStylesOf(look.Font.Font);
    p->FFontColor = look.Font.Color;
    p->FBrushColor = look.Brush.Color;
    p->FBrushColorTo = look.ColorTo;
    p->FGradientDirection = look.GradientDir;
    return p;
}

void TBaseGrid::SetCellProperties(int c, int r, std::unique_ptr<TCellProperties> value)
{
    if (!Inside(c, r)) {
        Q_ASSERT_X(false, "TBaseGrid", "properties of a cell outside the grid");
        return;
    }
    if (value) {
        // The properties belong to this cell from now on, wherever they
        // were made.
        FHasCellProps = true;
        value->FOwnerGrid = this;
        value->FOwnerCol = c;
        value->FOwnerRow = r;
    }
    m_store.SetObject(c, r, std::move(value));
}

TUserValue TBaseGrid::GetObjectEx(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p ? p->CellObject() : TUserValue();
}

void TBaseGrid::SetObjectEx(int c, int r, TUserValue value)
{
    WithCellProperties(c, r, [&](TCellProperties& p) { p.SetCellObject(std::move(value)); });
}

void TBaseGrid::WithCellProperties(int c, int r, const std::function<void(TCellProperties&)>& change)
{
    if (!Inside(c, r)) {
        Q_ASSERT_X(false, "TBaseGrid", "cell outside the grid written");
        return;
    }
    // An empty cell gets a blank text while its properties are made, so
    // that its text stays empty.
    const bool wasEmpty = GetCellEx(c, r).isEmpty();
    if (wasEmpty) SetCellEx(c, r, QStringLiteral(" "));
    change(*GetCellProperties(c, r));
    if (wasEmpty) SetCellEx(c, r, QString());
}

TCellObject* TBaseGrid::GetGraphicObjectEx(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p ? p->GraphicObject() : nullptr;
}

void TBaseGrid::SetGraphicObjectEx(int c, int r, std::unique_ptr<TCellObject> value)
{
    // While the grid is going nothing is stored any more; a graphic handed
    // over is freed with `value`, not lost.
    if (FDestroying) return;
    WithCellProperties(c, r, [&](TCellProperties& p) { p.SetGraphicObject(std::move(value)); });
}

void TBaseGrid::SetBorrowedGraphicEx(int c, int r, TCellObject* value)
{
    if (FDestroying) return;
    WithCellProperties(c, r, [&](TCellProperties& p) { p.SetBorrowedGraphic(value); });
}

void TBaseGrid::ClearCellEx(int c, int r)
{
    if (!Inside(c, r)) return;
    SetCellEx(c, r, QString());
    FreeCellProps(c, r);
}

void TBaseGrid::ClearColumnCells(int c)
{
    if (c < 0 || c >= TotalColCount()) return;
    for (int r = 0; r < RowCount(); ++r) {
        FreeCellProps(c, r);
        SetCellEx(c, r, QString());
    }
}

void TBaseGrid::ClearRowCells(int r)
{
    if (r < 0 || r >= RowCount()) return;
    for (int c = 0; c < TotalColCount(); ++c) {
        FreeCellProps(c, r);
        SetCellEx(c, r, QString());
    }
}

void TBaseGrid::FreeCellProps(int c, int r)
{
    if (HasCellProps(c, r)) m_store.SetObject(c, r, nullptr);
}

void TBaseGrid::FreeCellPropsRect(int col1, int row1, int col2, int row2)
{
    if (!FHasCellProps) return;
    col1 = std::max(0, col1);
    row1 = std::max(0, row1);
    col2 = std::min(col2, m_store.ColCount() - 1);
    row2 = std::min(row2, RowCount() - 1);
    for (int r = row1; r <= row2; ++r) {
        const TGridRowData* row = m_store.RowData(r);
        if (!row) continue;
        const int last = std::min(col2, int(row->Cells.size()) - 1);
        for (int c = col1; c <= last; ++c)
            if (dynamic_cast<TCellProperties*>(m_store.Object(c, r))) m_store.SetObject(c, r, nullptr);
    }
}

// --- geometry ----------------------------------------------------------------

namespace {
TRect UnionRect(const TRect& a, const TRect& b)
{
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}
} // namespace

TRect TBaseGrid::CellRect(int c, int r) const
{
    if (const TCellProperties* p = CellPropsOrNull(c, r)) {
        if (p->CellSpanX() != -1 || p->CellSpanY() != -1) {
            const QPoint b = p->BaseCell(c, r);
            const QPoint s = CellSpan(c, r);
            TRect rb = AbsCellRect(b.x(), b.y());
            TRect rf = AbsCellRect(b.x() + s.x(), b.y() + s.y());
            if (rb.Width() == 0) rb.Right += 1;
            if (rf.Width() == 0) rf.Left -= 1;
            return UnionRect(rb, rf);
        }
        if (p->Control()) return AbsCellRect(c, r);
    }
    return TObjStringGrid::CellRect(c, r);
}

QPoint TBaseGrid::CellSize(int c, int r) const
{
    TRect rc = AbsCellRect(c, r);
    if (IsMergedCell(c, r)) {
        const QPoint b = BaseCell(c, r), s = CellSpan(c, r);
        rc = UnionRect(AbsCellRect(b.x(), b.y()), AbsCellRect(b.x() + s.x(), b.y() + s.y()));
    }
    return QPoint(rc.Width(), rc.Height());
}

void TBaseGrid::RepaintCell(int c, int r)
{
    if (HandleAllocated()) InvalidateRect(CellRect(c, r));
}

TEditorType TBaseGrid::CellEditorType(int c, int r)
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p ? p->Editor() : edNormal;
}

std::unique_ptr<TCellEditor> TBaseGrid::CreateCellEditor(int kind)
{
    return TCellEditorRegistry::Instance().Create(TEditorType(kind));
}

// --- merged cells ----------------------------------------------------------------

QPoint TBaseGrid::BaseCell(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p ? p->BaseCell(c, r) : QPoint(c, r);
}

bool TBaseGrid::IsBaseCell(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return !p || p->IsBaseCell();
}

bool TBaseGrid::IsBaseCellPos(int c, int r, int& baseCol, int& baseRow) const
{
    baseCol = c;
    baseRow = r;
    const TCellProperties* p = CellPropsOrNull(c, r);
    if (!p || p->IsBaseCell()) return true;
    const QPoint b = p->BaseCell(c, r);
    baseCol = b.x();
    baseRow = b.y();
    return false;
}

bool TBaseGrid::IsMergedCell(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    return p && (p->CellSpanX() > 0 || p->CellSpanY() > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int c, int r) const
{
    return IsMergedCell(c, r) && !IsBaseCell(c, r);
}

bool TBaseGrid::IsXMergedCell(int c, int r) const
{
    return CellSpan(c, r).x() > 0;
}

bool TBaseGrid::IsYMergedCell(int c, int r) const
{
    return CellSpan(c, r).y() > 0;
}

QPoint TBaseGrid::CellSpan(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1) return QPoint(0, 0);
    const QPoint b = p->BaseCell(c, r);
    const TCellProperties* bp = CellPropsOrNull(b.x(), b.y());
    if (!bp || bp->CellSpanX() == -1 || bp->CellSpanY() == -1) return QPoint(0, 0);
    return QPoint(bp->CellSpanX(), bp->CellSpanY());
}

QPoint TBaseGrid::CellExt(int c, int r) const
{
    const TCellProperties* p = CellPropsOrNull(c, r);
    if (!p || p->CellSpanX() == -1 || p->CellSpanY() == -1) return QPoint(0, 0);
    const QPoint b = p->BaseCell(c, r), s = CellSpan(c, r);
    return QPoint(b.x() + s.x() - c, b.y() + s.y() - r);
}

TGridRect TBaseGrid::FullCell(int c, int r) const
{
    const QPoint b = BaseCell(c, r), s = CellSpan(c, r);
    return {b.x(), b.y(), b.x() + s.x(), b.y() + s.y()};
}

int TBaseGrid::MinRowSpan(int r) const
{
    int result = RowCount();
    bool found = false;
    for (int c = 0; c < ColCount(); ++c) {
        const int y = CellSpan(c, r).y();
        if (y > 0 && (!found || y < result)) {
            result = y;
            found = true;
        }
    }
    return found ? result : RowCount();
}

int TBaseGrid::MaxRowSpan(int r) const
{
    int result = 0;
    for (int c = 0; c < ColCount(); ++c) result = std::max(result, CellSpan(c, r).y());
    return result;
}

bool TBaseGrid::RowSpanIdentical(int r1, int r2) const
{
    bool found = false;
    for (int c = 0; c < ColCount(); ++c) {
        if (CellSpan(c, r1).y() > 0 && CellSpan(c, r2).y() > 0) {
            found = true;
            if (BaseCell(c, r1).y() != BaseCell(c, r2).y()) return false;
        }
    }
    return found;
}

bool TBaseGrid::ColSpanIdentical(int c1, int c2) const
{
    bool found = false;
    for (int r = 0; r < RowCount(); ++r) {
        const int x1 = CellSpan(c1, r).x(), x2 = CellSpan(c2, r).x();
        if (x1 > 0 && x2 > 0) {
            found = true;
            if (BaseCell(c1, r).x() != BaseCell(c2, r).x()) return false;
        } else if (x1 != x2) {
            return false;
        }
    }
    return found;
}

void TBaseGrid::MergeCells(int c, int r, int spanx, int spany)
{
    ++FMergeCount;
    if (spanx < 1 || spany < 1) return;
    // A range laid over an existing one first dissolves that one, so that no
    // cell is left pointing to a base that no longer carries its range.
    for (int i = c; i < c + spanx; ++i)
        for (int j = r; j < r + spany; ++j)
            if (IsMergedCell(i, j)) {
                SplitCells(i, j);
                ++FMergeCount; // the dissolving is part of this merge, not a split of its own
            }
    for (int i = c; i < c + spanx; ++i)
        for (int j = r; j < r + spany; ++j) {
            if (!Inside(i, j)) continue;
            TCellProperties* p = GetCellProperties(i, j);
            if (i == c && j == r) {
                p->SetIsBaseCell(true);
                p->SetCellSpanX(spanx - 1);
                p->SetCellSpanY(spany - 1);
            } else {
                p->SetIsBaseCell(false);
                p->SetCellSpanX(i - c);
                p->SetCellSpanY(j - r);
            }
        }
    for (int i = c; i < c + spanx; ++i)
        for (int j = r; j < r + spany; ++j) RepaintCell(i, j);
}

void TBaseGrid::SplitCells(int c, int r)
{
    if (Inside(c, r)) {
        GetCellProperties(c, r);
        const QPoint b = BaseCell(c, r), s = CellSpan(c, r);
        if (s.x() > 0 || s.y() > 0) {
            for (int i = b.x(); i <= b.x() + s.x(); ++i)
                for (int j = b.y(); j <= b.y() + s.y(); ++j) {
                    if (TCellProperties* p = Inside(i, j) ? GetCellProperties(i, j) : nullptr) {
                        p->SetIsBaseCell(true);
                        p->SetCellSpanX(-1);
                        p->SetCellSpanY(-1);
                    }
                }
            for (int i = b.x(); i <= b.x() + s.x(); ++i)
                for (int j = b.y(); j <= b.y() + s.y(); ++j) RepaintCell(i, j);
        } else if (TCellProperties* p = CellPropsOrNull(c, r)) {
            // A 1 x 1 range: back to unmerged.
            p->SetIsBaseCell(true);
            p->SetCellSpanX(-1);
            p->SetCellSpanY(-1);
        }
    }
    --FMergeCount;
}

void TBaseGrid::FocusBaseCell()
{
    if (!HasCellProps(Col(), Row())) return;
    const QPoint b = BaseCell(Col(), Row());
    if (b.x() != Col() || b.y() != Row()) MoveColRow(b.x(), b.y(), true, false);
}

// --- properties ----------------------------------------------------------------

void TBaseGrid::SetDefaultDrawing(bool v)
{
    FDefaultDrawing = v;
    DefaultDrawingEnabled = false;
}

void TBaseGrid::SetGridLineWidth(int v)
{
    FGridLineWidth = v;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor v)
{
    FGridLineColor = v;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor v)
{
    FGridFixedLineColor = v;
    Invalidate();
}

void TBaseGrid::SetHideLastRow(bool v)
{
    if (v == FHideLastRow) return;
    FHideLastRow = v;
    Invalidate();
}

#define KR_REPAINT_ON_CHANGE(field, v) \
    if ((field) == (v)) return;        \
    (field) = (v);                     \
    Invalidate();

void TBaseGrid::SetActiveRowShow(bool v) { KR_REPAINT_ON_CHANGE(FActiveRowShow, v) }
void TBaseGrid::SetActiveRowColor(TColor v) { KR_REPAINT_ON_CHANGE(FActiveRowColor, v) }
void TBaseGrid::SetActiveRowColorTo(TColor v) { KR_REPAINT_ON_CHANGE(FActiveRowColorTo, v) }
void TBaseGrid::SetActiveRowMirrorColor(TColor v) { KR_REPAINT_ON_CHANGE(FActiveRowMirrorColor, v) }
void TBaseGrid::SetActiveRowMirrorColorTo(TColor v) { KR_REPAINT_ON_CHANGE(FActiveRowMirrorColorTo, v) }
void TBaseGrid::SetSelectionStyle(TGridSelectionStyle v) { KR_REPAINT_ON_CHANGE(FSelectionStyle, v) }

void TBaseGrid::SetUndoRedo(TExtGridUndoRedo* u)
{
    if (FUndoRedo == u) return;
    if (FUndoRedo && FUndoRedo->FGrid == this) FUndoRedo->FGrid = nullptr;
    FUndoRedo = u;
    if (u) u->SetGrid(this);
}

// --- input -----------------------------------------------------------------------

bool TBaseGrid::SelectCell(int c, int r)
{
    RepaintCell(Col(), Row());
    const bool ok = TObjStringGrid::SelectCell(c, r);
    RepaintCell(c, r);
    return ok;
}

void TBaseGrid::PrePositionInRange(int key)
{
    if (HasCellProps(Col(), Row())) {
        const QPoint b = BaseCell(Col(), Row()), s = CellSpan(Col(), Row());
        const int bx = b.x(), by = b.y(), sx = s.x(), sy = s.y();
        switch (key) {
        case VK_LEFT:
            // Onto the range's first column, so that the step lands on its
            // left neighbour.
            if (bx < Col() && Col() > FixedCols() && bx > 0) MoveColRow(bx, Row(), true, false);
            break;
        case VK_UP:
            if (by < Row() && Row() > FixedRows() && by > 0) MoveColRow(Col(), by, true, false);
            break;
        case VK_RIGHT:
            if (bx + sx >= Col() && Col() < ColCount() - 1 && bx < ColCount() - 1 && bx + sx < ColCount())
                MoveColRow(bx + sx, Row(), true, false);
            break;
        case VK_DOWN:
            if (by + sy >= Row() && Row() < RowCount() - 1 && by < RowCount() - 1 && by + sy < RowCount())
                MoveColRow(Col(), by + sy, true, false);
            break;
        default: break;
        }
    }
}

void TBaseGrid::KeyDown(int& key, TShiftState shift)
{
    PrePositionInRange(key);
    // Tab steps right as Right does (Shift+Tab leaves from the base cell,
    // which is the range's first column, anyway).
    if (key == VK_TAB && HasOption(goTabs) && !shift.Contains(ssShift) && !shift.Contains(ssCtrl))
        PrePositionInRange(VK_RIGHT);
    if (key == VK_NEXT && FHideLastRow && RowCount() > 1 &&
        VisibleRowCount() + TopRow() - FixedRows() == RowCount() - 1)
        MoveColRow(Col(), RowCount() - 2, true, false);
    const bool pageDown = key == VK_NEXT;
    TObjStringGrid::KeyDown(key, shift);
    // Page Down skips the hidden last row.
    if (pageDown && FHideLastRow && RowCount() - 2 >= FixedRows() && Row() == RowCount() - 1)
        MoveColRow(Col(), RowCount() - 2, true, true);
    FocusBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState shift, QPoint pos)
{
    // The wheel steps down one row, as Down does: from a vertically merged
    // range it first goes to the range's last row, or the step would land
    // inside the range and be taken back to its base cell for ever.
    PrePositionInRange(VK_DOWN);
    const bool result = TObjStringGrid::DoMouseWheelDown(shift, pos);
    if (FHideLastRow && Row() < RowCount() - 1 && Row() - TopRow() > VisibleRowCount()) SetTopRow(TopRow() + 1);
    FocusBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState shift, QPoint pos)
{
    const bool result = TObjStringGrid::DoMouseWheelUp(shift, pos);
    FocusBaseCell();
    return result;
}

void TBaseGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TObjStringGrid::MouseDown(button, shift, x, y);
    FocusBaseCell();
}

void TBaseGrid::TopLeftChanged()
{
    TObjStringGrid::TopLeftChanged();
    const int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
    for (int r = TopRow(); r <= lastRow; ++r)
        for (int c = 0; c < FixedCols(); ++c)
            if (IsMergedCell(c, r)) RepaintCell(c, r);
    const int lastCol = std::min(ColCount() - 1, LeftCol() + VisibleColCount());
    for (int c = LeftCol(); c <= lastCol; ++c)
        for (int r = 0; r < FixedRows(); ++r)
            if (IsMergedCell(c, r)) RepaintCell(c, r);
}

// ---------------------------------------------------------------------------
// TExtGridUndoRedo

TExtGridUndoRedo::~TExtGridUndoRedo()
{
    if (FGrid && FGrid->FUndoRedo == this) FGrid->FUndoRedo = nullptr;
}

void TExtGridUndoRedo::SetGrid(TBaseGrid* g)
{
    if (FGrid == g) return;
    TBaseGrid* old = FGrid;
    FGrid = g;
    if (old && old->FUndoRedo == this) old->FUndoRedo = nullptr;
    if (g && g->FUndoRedo != this) g->SetUndoRedo(this);
}

void TExtGridUndoRedo::Append(TUndoRedoItem item)
{
    // A new change after an undo replaces what was undone.
    if (FLevel < Count()) FItems.erase(FItems.begin() + FLevel, FItems.end());
    FItems.push_back(std::move(item));
    FLevel = Count();
}

// Removes the oldest whole units (a sequence from its start to its stop
// marker, or a single item) while the list is full; a sequence still open is
// never cut.
void TExtGridUndoRedo::TrimToMaxLevel()
{
    if (FMaxLevel <= 0) return;
    while (Count() >= FMaxLevel && Count() > 0) {
        int end = 1;
        if (FItems[0].SequenceStart) {
            end = 0;
            for (int i = 1; i < Count(); ++i)
                if (FItems[size_t(i)].SequenceStop) {
                    end = i + 1;
                    break;
                }
            if (end == 0) return;
        }
        FItems.erase(FItems.begin(), FItems.begin() + end);
        FLevel = std::max(0, FLevel - end);
    }
}

void TExtGridUndoRedo::RegisterChange(int acol, int arow, const QString& oldValue, const QString& newValue)
{
    if (FLevel < Count()) FItems.erase(FItems.begin() + FLevel, FItems.end());
    TrimToMaxLevel();
    TUndoRedoItem item;
    item.Col = TRealCol(acol);
    item.Row = TDisplRow(arow);
    item.Value = newValue;
    item.OrigValue = oldValue;
    Append(std::move(item));
}

void TExtGridUndoRedo::StartSequence()
{
    TUndoRedoItem item;
    item.SequenceStart = true;
    Append(std::move(item));
}

void TExtGridUndoRedo::StopSequence()
{
    TUndoRedoItem item;
    item.SequenceStop = true;
    Append(std::move(item));
}

void TExtGridUndoRedo::PlayBack(const TUndoRedoItem& item, const QString& value, const TExtGridUndoRedoEvent& ev)
{
    const int c = item.Col.Value(), r = item.Row.Value();
    if (ev) ev(this, FGrid, c, r, FGrid->GetCellEx(c, r), value);
    if (!FGrid->Inside(c, r)) return; // the cell is gone
    FGrid->PlayBackCell(c, r, value);
    // The current cell is a display cell: the real column is converted.
    FGrid->MoveColRow(FGrid->DisplColIndex(item.Col).Value(), r, true, true);
}

void TExtGridUndoRedo::Undo()
{
    if (!FGrid || FLevel <= 0 || FLevel > Count()) return;
    const TUndoRedoItem& t = FItems[size_t(FLevel - 1)];
    if (t.SequenceStop) {
        int i = FLevel - 2;
        while (i >= 0 && !FItems[size_t(i)].SequenceStart) {
            if (!FItems[size_t(i)].SequenceStop) PlayBack(FItems[size_t(i)], FItems[size_t(i)].OrigValue, OnUndo);
            --i;
        }
        // On the start marker, or at the beginning when it had none.
        FLevel = std::max(0, i);
        FGrid->Invalidate();
    } else if (t.SequenceStart) {
        // An empty sequence start left on top: step over it.
        --FLevel;
    } else {
        PlayBack(t, t.OrigValue, OnUndo);
        FGrid->RepaintCell(FGrid->Col(), t.Row.Value());
        --FLevel;
    }
}

void TExtGridUndoRedo::Redo()
{
    if (!FGrid || FLevel >= Count()) return;
    const TUndoRedoItem& t = FItems[size_t(FLevel)];
    if (t.SequenceStart) {
        int i = FLevel + 1;
        while (i < Count() && !FItems[size_t(i)].SequenceStop) {
            if (!FItems[size_t(i)].SequenceStart) PlayBack(FItems[size_t(i)], FItems[size_t(i)].Value, OnRedo);
            ++i;
        }
        // Just past the stop marker, or at the end of an open sequence.
        FLevel = std::min(Count(), i + 1);
        FGrid->Invalidate();
    } else {
        ++FLevel;
        if (!t.SequenceStop) PlayBack(t, t.Value, OnRedo);
    }
}

void TExtGridUndoRedo::Reset()
{
    FItems.clear();
    FLevel = 0;
}
