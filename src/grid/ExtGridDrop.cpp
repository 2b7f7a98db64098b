// Dropping onto the string grid: the drop target on the viewport, the drag
// over the grid (target cell, auto-scroll, insertion arrows) and the drops
// of text, cell blocks, columns, rich text, URLs and files.
#include "grid/ExtGridDrop.h"

#include "grid/ExtGrid.h"
#include "platform/Application.h"
#include "platform/GridsWidget.h"

#include <QFileInfo>
#include <QListWidget>

#include <algorithm>
#include <exception>

// ---------------------------------------------------------------------------
// TGridDropTarget

void TGridDropTarget::DragEnter(QDragEnterEvent* e)
{
    TDragDropSettings& dd = FGrid->DragDropSettings();
    FAcceptText = dd.OleAcceptText();
    FAcceptFiles = dd.OleAcceptFiles();
    FAcceptURLs = dd.OleAcceptURLs();
    FAcceptCols = dd.OleColumnDragDrop() || dd.OleColumnReorder();
    TESGDropTarget::DragEnter(e);
}

QPoint TGridDropTarget::ToViewport(QPoint pt) const
{
    QWidget* w = Widget();
    return w ? w->mapFromGlobal(pt) : pt;
}

template <typename Step>
void TGridDropTarget::Run(Step step)
{
    bool taken = false;
    try {
        step(taken);
    } catch (const std::exception& e) {
        taken = false;
        HandleException(e);
    }
    if (!taken) RefuseDrop();
}

void TGridDropTarget::DropText(QPoint pt, const QString& text)
{
    Run([&](bool& taken) { FGrid->OleDropText(ToViewport(pt), text, taken); });
}

void TGridDropTarget::DropStream(QPoint pt, const QByteArray& stream)
{
    Run([&](bool& taken) { FGrid->OleDropStream(ToViewport(pt), stream, taken); });
}

void TGridDropTarget::DropCol(QPoint pt, int col)
{
    Run([&](bool& taken) { FGrid->OleDropCol(ToViewport(pt), col, taken); });
}

void TGridDropTarget::DropRTF(QPoint pt, const QString& rtf)
{
    Run([&](bool& taken) { FGrid->OleDropCellText(ToViewport(pt), rtf, false, taken); });
}

void TGridDropTarget::DropURL(QPoint pt, const QString& url)
{
    Run([&](bool& taken) { FGrid->OleDropCellText(ToViewport(pt), url, true, taken); });
}

void TGridDropTarget::DropFiles(QPoint pt, const QStringList& files)
{
    Run([&](bool& taken) { FGrid->OleDropFiles(ToViewport(pt), files, taken); });
}

void TGridDropTarget::DragMouseMove(QPoint pt, bool& allow, TDropFormats formats)
{
    const QPoint p = ToViewport(pt);
    // The drag-scroll options watch the same moves.
    Guard([&] { FGrid->DragOver(p.x(), p.y(), true); });
    if (!Guard([&] { FGrid->OleDragMouseMove(p, allow, formats); })) allow = false;
}

void TGridDropTarget::DragMouseLeave()
{
    Guard([&] { FGrid->DragOver(0, 0, false); });
    FGrid->HideInsertionArrows();
}

// ---------------------------------------------------------------------------
// The grid's side

namespace {

// The text paster writes into this grid.
bool PasterMayWrite(TExtStringGrid& g)
{
    return g.HasOption(goEditing) || g.Navigation().AllowClipboardAlways() || g.MouseActions().RangeSelectAndEdit();
}

} // namespace

void TExtStringGrid::DropTargetChanged()
{
    if (FDragDropSettings->OleDropTarget()) {
        if (!FDropTarget) FDropTarget = std::make_unique<TGridDropTarget>(this);
        if (HandleAllocated() && FDropTarget->Widget() != Widget()->viewport()) FDropTarget->Attach(Widget()->viewport());
    } else if (FDropTarget) {
        FDropTarget->Detach();
    }
}

void TExtStringGrid::OleColumnDragStart(int acol, int aindex, QListWidget* list)
{
    FOleDragCol = acol;
    FOleDragIndex = aindex;
    FOleDragList = list;
}

TArrowWindow* TExtStringGrid::InsertionArrow(TArrowDirection d)
{
    TArrowWindow* a = FArrows[d].get();
    if (!a) return nullptr;
    QWidget* port = HandleAllocated() ? Widget()->viewport() : nullptr;
    if (port && a->parentWidget() != port) {
        // Kept as a companion of the viewport: handed back, not deleted,
        // should the viewport go first.
        TGridCompanionWindows::Parent(port, {a});
        a->Init(port, d);
    }
    return a;
}

void TExtStringGrid::ShowInsertionArrow(TArrowDirection d, QPoint viewportPos)
{
    TArrowWindow* a = InsertionArrow(d);
    if (!a || !a->parentWidget()) return;
    a->move(viewportPos);
    a->raise();
    a->show();
}

void TExtStringGrid::HideInsertionArrows()
{
    for (auto& a : FArrows)
        if (a) a->hide();
}

bool TExtStringGrid::OleDropFromSelf(const TGridDropTarget& target) const
{
    QObject* from = target.DragSource();
    if (!from || !HandleAllocated()) return false;
    TGridWidget* w = const_cast<TExtStringGrid*>(this)->Widget();
    return from == w || from == w->viewport();
}

TGridCoord TExtStringGrid::OleDropCell(QPoint p, bool columnDrag, bool& append)
{
    append = false;
    TGridCoord g = MouseCoord(p.x(), p.y());
    if (g.Y >= 0 || columnDrag || RowCount() == 0) return g;
    const TDragDropSettings& dd = *FDragDropSettings;
    if (!dd.OleEntireRows() || !dd.OleAppendRows()) return g;
    // At or below the bottom of the last row, when that row is on screen.
    const TRect last = CellRect(std::min(LeftCol(), ColCount() - 1), RowCount() - 1);
    if (last.Bottom > last.Top && p.y() >= last.Bottom && p.x() >= 0 && p.x() < ClientWidth()) {
        append = true;
        return {FixedCols(), RowCount() - 1};
    }
    return g;
}

void TExtStringGrid::OleDragMouseMove(QPoint p, bool& allow, TDropFormats formats)
{
    const bool columnDrag = formats.Has(dfCol);
    bool append = false;
    TGridCoord g = OleDropCell(p, columnDrag, append);
    int acol = g.X, arow = g.Y;
    bool valid = acol >= 0 && arow >= 0;
    allow = valid;

    if (valid && !columnDrag) {
        if (arow == 0 && TopRow() > FixedRows())
            SetTopRow(TopRow() - 1);
        else if (p.y() < 8 && FixedRows() == 0 && TopRow() > 0)
            SetTopRow(TopRow() - 1);
        else if (arow == TopRow() + VisibleRowCount() && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
        // Sideways at most once per tick of the grid's timer.
        if (FTimerTicks % 2 == 0) {
            if (acol == 0 && LeftCol() > FixedCols()) {
                SetLeftCol(LeftCol() - 1);
                ++FTimerTicks;
            } else if (acol == LeftCol() + VisibleColCount() && LeftCol() + VisibleColCount() < ColCount()) {
                SetLeftCol(LeftCol() + 1);
                ++FTimerTicks;
            }
        }
    }

    const bool headerOnly = RowCount() == 1 && FixedRowAlways();
    if (!columnDrag) {
        if (valid && arow < FixedRows() && !headerOnly) allow = false;
    } else if (!valid && ColCount() > 0) {
        const TRect lastCol = CellRect(ColCount() - 1, FixedRows() > 0 ? 0 : TopRow());
        if (lastCol.Right > lastCol.Left && p.x() >= lastCol.Right && p.y() >= 0) {
            acol = ColCount();
            arow = 0;
            valid = allow = true;
        }
    } else if (valid) {
        if (arow < FixedRows()) {
            if (acol < FixedCols()) allow = false;
        } else {
            allow = false;
        }
    }
    if (formats.Has(dfFile) || formats.Has(dfGridCells)) allow = true;
    if (OnOleDragOver) OnOleDragOver(this, arow, acol, allow);
    allow = allow && (valid || formats.Has(dfFile));

    HideInsertionArrows();
    if (!allow || !valid) return;
    if (columnDrag) {
        TRect cell = CellRect(std::min(acol, ColCount() - 1), arow);
        const int x = acol >= ColCount() ? cell.Right : cell.Left;
        ShowInsertionArrow(arrDown, QPoint(x, cell.Top - 8));
        ShowInsertionArrow(arrUp, QPoint(x, cell.Bottom));
        return;
    }
    if (arow == 0 && headerOnly) {
        arow = 1;
        append = false;
    }
    const int rowCol = FDragDropSettings->OleEntireRows() ? std::min(FixedCols(), ColCount() - 1) : acol;
    const int cellRow = std::min(arow, RowCount() - 1);
    const TRect cell = CellRect(rowCol, cellRow);
    // The row below the header of a header-only grid does not exist yet:
    // the arrow goes under the header.
    const int y = (append || arow > cellRow) ? cell.Bottom : cell.Top;
    ShowInsertionArrow(arrLeft, QPoint(cell.Left - 10, y));
}

void TExtStringGrid::OleDropText(QPoint p, const QString& text, bool& taken)
{
    HideInsertionArrows();
    if (FHeaderDragButton) FHeaderDragButton->hide();
    bool append = false;
    TGridCoord g = OleDropCell(p, false, append);
    int acol = g.X, arow = g.Y;
    const bool headerOnly = RowCount() == 1 && FixedRowAlways();
    // The drop must land where a drag over the grid may drop.
    if (acol < 0 || arow < 0 || text.isEmpty() || (arow < FixedRows() && !headerOnly)) return;
    int cols = 0, span = 0;
    MeasurePastedText(text, cols, span);
    const TDragDropSettings& dd = *FDragDropSettings;
    if (HasOption(goRowSelect)) acol = dd.OleEntireRows() ? 0 : FixedCols();
    bool allow = true;
    if (OnOleDrop) OnOleDrop(this, arow, acol, text, allow);
    if (!allow) return;

    if (arow == 0 && headerOnly) arow = 1;
    // Rows are inserted only where the paster writes: otherwise the grid
    // would only grow by empty rows.
    const int oldTop = TopRow();
    const TGridRect oldDropSelection = FDropSelection;
    int inserted = 0, insertedAt = arow;
    if (dd.OleInsertRows() && PasterMayWrite(*this)) {
        // A move inside this grid: the dragged rows lie further down after
        // the insertion, and the source removes them there.
        if (dd.OleRemoveRows() && !append && arow <= FDropSelection.Top && OleDropFromSelf(*FDropTarget)) {
            FDropSelection.Top += span + 1;
            FDropSelection.Bottom += span + 1;
        }
        inserted = span + 1;
        if (append) {
            insertedAt = RowCount();
            SetRowCount(RowCount() + inserted);
            ++arow;
        } else {
            InsertRows(arow, inserted);
        }
        SetTopRow(std::min(oldTop > FixedRows() ? oldTop + 1 : oldTop, RowCount() - 1));
    }
    int rows = 0, pastedCols = 0;
    try {
        PasteTextAt(acol, arow, rows, pastedCols, text);
    } catch (...) {
        // A paste refused whole (a grid past the size limits) takes back the
        // rows made for it, so the refused drop leaves the grid as it was.
        if (inserted > 0) {
            RemoveRows(insertedAt, inserted);
            FDropSelection = oldDropSelection;
            SetTopRow(std::min(oldTop, RowCount() - 1));
        }
        throw;
    }
    const int a = std::max(acol, FixedCols());
    const int right = HasOption(goRowSelect) ? a + cols - FixedCols() : a + cols - 1;
    TGridRect range{a, arow, std::max(a, right), arow + span};
    range.Right = std::min(range.Right, ColCount() - 1);
    range.Bottom = std::min(range.Bottom, RowCount() - 1);
    if (range.Left <= range.Right && range.Top <= range.Bottom) SetSelection(range);
    taken = true;
    if (OnOleDropped) OnOleDropped(this, range);
}

void TExtStringGrid::OleDropStream(QPoint p, const QByteArray& stream, bool& taken)
{
    HideInsertionArrows();
    if (FHeaderDragButton) FHeaderDragButton->hide();
    const TGridCoord g = MouseCoord(p.x(), p.y());
    if (g.X < 0 || g.Y < 0) return;
    // The block is read and checked whole first: a damaged one (from
    // whatever program offered it) changes nothing and is only refused.
    try {
        LoadAtPointFromBinBytes(QPoint(g.X, g.Y), stream);
    } catch (const std::exception&) {
        return;
    }
    taken = true;
    if (OnOleDropped) OnOleDropped(this, Selection());
}

void TExtStringGrid::OleDropCol(QPoint p, int col, bool& taken)
{
    HideInsertionArrows();
    if (FHeaderDragButton) FHeaderDragButton->hide();
    const TGridCoord g = MouseCoord(p.x(), p.y());
    const int arow = g.Y;
    int dropCol = g.X < 0 ? ColCount() : g.X;
    const bool keepEnh = EnhRowColMove();
    auto move = [&](int from, int to) {
        SetEnhRowColMove(true);
        try {
            MoveColumn(from, to);
        } catch (...) {
            SetEnhRowColMove(keepEnh);
            throw;
        }
        SetEnhRowColMove(keepEnh);
    };
    if (FOleDragCol != -1) {
        const int listed = FOleDragCol;
        FOleDragCol = -1;
        if (FOleDragList && FOleDragIndex >= 0 && FOleDragIndex < FOleDragList->count())
            delete FOleDragList->takeItem(FOleDragIndex);
        // A listed column that is not in the column order moves nothing.
        int pos = -1;
        for (int i = 0; i < FColumnOrder.Count() && pos < 0; ++i)
            if (FColumnOrder.Items(i) == listed) pos = i;
        if (pos >= 0 && pos < TotalColCount()) {
            UnHideColumn(pos);
            const int from = DisplColIndex(pos);
            const int to = std::min(dropCol, ColCount() - 1);
            if (from >= 0 && from < ColCount() && to >= 0 && from != to) move(from, to);
        }
    } else if (FDragDropSettings->OleColumnReorder() && col >= 0 && col < TotalColCount()) {
        dropCol = std::min(dropCol, ColCount() - 1);
        const int from = DisplColIndex(col);
        if (from >= 0 && from < ColCount() && dropCol >= 0 && from != dropCol) move(from, dropCol);
    }
    taken = true;
    if (OnOleDropCol) OnOleDropCol(this, arow, dropCol, col);
}

void TExtStringGrid::OleDropCellText(QPoint p, const QString& text, bool url, bool& taken)
{
    HideInsertionArrows();
    const TGridCoord g = MouseCoord(p.x(), p.y());
    if (g.X < 0 || g.Y < 0 || g.X >= ColCount() || g.Y >= RowCount()) return;
    bool allow = true;
    if (url) {
        if (OnOleDropURL) OnOleDropURL(this, g.Y, g.X, text, allow);
    } else if (OnOleDrop) {
        OnOleDrop(this, g.Y, g.X, text, allow);
    }
    // Only a cell the user may edit (any with AllowClipboardAlways) takes it.
    if (!allow || (!Navigation().AllowClipboardAlways() && !IsEditable(RealColIndex(g.X), g.Y))) return;
    StorePastedCell(g.X, g.Y, text);
    taken = true;
}

void TExtStringGrid::OleDropFiles(QPoint p, const QStringList& files, bool& taken)
{
    HideInsertionArrows();
    if (files.size() != 1) return;
    const QString& name = files.front();
    const TGridCoord g = MouseCoord(p.x(), p.y());
    bool allow = true;
    if (OnOleDropFile) OnOleDropFile(this, g.Y, g.X, name, allow);
    if (!allow) return;
    // The last suffix decides, in any case.
    const QString suffix = QFileInfo(name).suffix().toLower();
    const bool csv = suffix == u"csv";
    const bool workbook = suffix == u"xls" || suffix == u"xlsx" || suffix == u"ods";
    if (!csv && !workbook) return;
    if (OnOleDrop) OnOleDrop(this, -1, -1, name, allow);
    if (!allow) return;
    if (csv)
        LoadFromCSV(name, -1);
    else
        LoadFromXLS(name);
    taken = true;
}
