// Size changes, column stretching, the sizing veto, drag scrolling and the
// outside listeners of the string grid.
#include "grid/ExtGrid.h"

#include "platform/Application.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDragMoveEvent>
#include <QResizeEvent>
#include <cmath>

namespace {

// Turns Qt's drag events over the grid's window into the grid's DragOver,
// and tells the grid when its client area changed size.
class TWindowWatcher : public QObject {
public:
    explicit TWindowWatcher(TExtStringGrid* grid) : m_grid(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        Guard([&] {
            switch (e->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* d = static_cast<QDropEvent*>(e);
                const QPoint p = d->position().toPoint();
                m_grid->DragOver(p.x(), p.y(), true);
                // Taking the enter keeps the moves coming while drag
                // scrolling is on; the grid itself takes no drop here.
                if (e->type() == QEvent::DragEnter && m_grid->DragScrollOptions().Active()) d->accept();
                break;
            }
            case QEvent::DragLeave:
            case QEvent::Drop:
                m_grid->DragOver(0, 0, false);
                break;
            case QEvent::Resize:
                // The scroll area settles its scroll bars and viewport after
                // the resize: the grid looks at the client area once that is
                // done.
                if (!m_pending) {
                    m_pending = true;
                    QMetaObject::invokeMethod(this, [this] { Settled(); }, Qt::QueuedConnection);
                }
                break;
            default:
                break;
            }
        });
        return QObject::eventFilter(watched, e);
    }

private:
    void Settled()
    {
        m_pending = false;
        if (!m_grid->HandleAllocated()) return;
        const QSize s = m_grid->Widget()->viewport()->size();
        Guard([&] { m_grid->ClientResized(s.width(), s.height()); });
    }
    TExtStringGrid* m_grid;
    bool m_pending = false;
};

bool Terminating() { return QCoreApplication::closingDown(); }

} // namespace

TGridWidget* TExtStringGrid::CreateWnd(QWidget* parent)
{
    TGridWidget* w = CreateWidget(parent);
    if (!FDragWatcher) {
        FDragWatcher = std::make_unique<TWindowWatcher>(this);
        w->viewport()->installEventFilter(FDragWatcher.get());
        w->installEventFilter(FDragWatcher.get());
        w->viewport()->setAcceptDrops(true);
    }
    if (FDragDropSettings->OleDropTarget()) DropTargetChanged();
    w->setGeometry(FLeft, FTop, FWidth, FHeight);
    // The edit with a button, the unit editor and the push button come with
    // the window; the other editors on first use.
    BtnEdit();
    BtnUnitEdit();
    GridButton();
    if (!parent) return w;
    ParentCompanionWindows(w);
    if (FColumnSize->Save()) Guard([this] { LoadColSizes(); });
    return w;
}

void TExtStringGrid::StretchColumn(int index)
{
    if (FLoading || FDestroying || Terminating()) return;
    if (index == -1) index = ColCount() - 1;
    if (index >= ColCount() || index < 0) throw Exception(QStringLiteral("Stretch column index out of range"));
    if (ColCount() == 0 || !FColumnSize->Stretch() || FIsColChanging) return;
    FIsColChanging = true;
    ColchgFlg = false;
    const int clientRight = ClientWidth();
    if (ColCount() == 1) {
        SetColWidths(0, clientRight);
    } else {
        int s = 0;
        for (int c = 0; c < ColCount(); ++c)
            if (c != index) s += ColWidths(c);
        if (s < clientRight)
            SetColWidths(index, clientRight - 0 - s - 1);
        else if (LeftCol() == TCustomGrid::FixedCols())
            SetColWidths(index, DefaultColWidth());
    }
    ColchgFlg = true;
    FIsColChanging = false;
}

void TExtStringGrid::ClientResized(int w, int h)
{
    // The window knows its client size only once Qt has laid it out, which
    // may be after the owner form's resize: the stretched column follows.
    SetClientSize(w, h);
    // Column widths recorded by InitOrigColSizes keep their share of the
    // grid's width.
    if (FColumnSize->SynchWithGrid() && FOldSize > 0) {
        HideInplaceEdit();
        const double factor = double(FWidth) / double(FOldSize);
        int first = 0, last = ColCount() - 1;
        if (FColumnSize->SynchNormalCellsOnly()) {
            first = TCustomGrid::FixedCols();
            last = ColCount() - FFixedRightCols - 1;
        }
        for (int c = first; c <= last && c < FOrigColSizes.Count(); ++c)
            SetColWidths(c, int(std::trunc(FOrigColSizes.Items(c) * factor)));
    }
    // The stretched column takes up the room unless the horizontal bar is
    // kept shown; OnGridResize tells that it did.
    using enum TScrollBarAlways;
    if (FColumnSize->Stretch() && ColchgFlg && (FScrollBarAlways == saNone || FScrollBarAlways == saVert)) {
        const int sc = FColumnSize->StretchColumn();
        if (sc == -1 || sc < ColCount()) {
            const int index = sc == -1 ? ColCount() - 1 : sc;
            int others = 0;
            for (int c = 0; c < ColCount(); ++c)
                if (c != index) others += ColWidths(c);
            const bool stretched = ColCount() > 0 && others < ClientWidth();
            StretchColumn(sc);
            if (stretched && FScrollBarAlways == saNone && OnGridResize) OnGridResize(this);
        }
    }
}

void TExtStringGrid::UpdateColumnSize(int c, int& width)
{
    if (OnUpdateColumnSize) OnUpdateColumnSize(this, c, width);
}

void TExtStringGrid::UpdateAutoColumnSize(int c, int& width)
{
    if (OnUpdateColumnSize) OnUpdateColumnSize(this, c, width);
}

void TExtStringGrid::ColWidthsChanged()
{
    if (ColchgFlg && FColumnSize->Stretch()) {
        // A notification about a stretch column that no longer exists (the
        // grid has fewer columns now) is ignored; a direct call raises.
        const int sc = FColumnSize->StretchColumn();
        if (sc == -1 || sc < ColCount()) StretchColumn(sc);
    }
    TBaseGrid::ColWidthsChanged();
    ColSizeFlg = true;
    if (ColSized && FMouseActions->AllColumnSize() && Colclickedsize > 0 && Colclicked >= 0) {
        const double f = double(ColWidths(Colclicked)) / double(Colclickedsize);
        ColSized = false;
        for (int c = TCustomGrid::FixedCols(); c < ColCount(); ++c)
            if (c != Colclicked) SetColWidths(c, int(std::nearbyint(ColWidths(c) * f)));
        ColSized = true;
    }
    if (ColSized) {
        if (OnEndColumnSize) OnEndColumnSize(this, Colclicked);
        int w = ColWidths(Colclicked);
        const int before = w;
        UpdateColumnSize(Colclicked, w);
        if (w != before) {
            ColSized = false;
            SetColWidths(Colclicked, w);
        }
    }
    if (ColSized) {
        Colclicked = -1;
        Rowclicked = -1;
    }
    ColSized = false;
    UpdateFooter();
}

void TExtStringGrid::RowHeightsChanged()
{
    TBaseGrid::RowHeightsChanged();
    if (Rowsized && FMouseActions->AllRowSize() && Rowclickedsize > 0 && Rowclicked >= 0) {
        const double f = double(RowHeights(Rowclicked)) / double(Rowclickedsize);
        Rowsized = false;
        for (int r = TCustomGrid::FixedRows(); r < RowCount(); ++r)
            if (r != Rowclicked) SetRowHeights(r, int(std::nearbyint(RowHeights(r) * f)));
        Rowsized = true;
    }
    if (Rowsized) {
        if (OnEndRowSize) OnEndRowSize(this, Rowclicked);
        Colclicked = -1;
        Rowclicked = -1;
    }
    Rowsized = false;
}

void TExtStringGrid::CalcSizingState(int x, int y, TGridState& state, int& index)
{
    TBaseGrid::CalcSizingState(x, y, state, index);
    const TGridCoord left = MouseCoord(x - 6, y);
    if (left.X >= 0 && left.Y >= 0 && left.Y < TCustomGrid::FixedRows() && OnColumnSize) {
        bool allow = true;
        OnColumnSize(this, left.X, allow);
        if (!allow) {
            state = gsNormal;
            FSizeFixed = false;
        }
    }
    const TGridCoord above = MouseCoord(x, y - 6);
    if (above.X >= 0 && above.Y >= 0 && above.X < TCustomGrid::FixedCols() && OnRowSize) {
        bool allow = true;
        OnRowSize(this, above.Y, allow);
        if (!allow) state = gsNormal;
    }
}

void TExtStringGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    if (FLoading || Terminating()) return;
    if (FColumnSize->Stretch()) {
        const int sc = FColumnSize->StretchColumn();
        if (sc == -1 || sc < ColCount()) StretchColumn(sc);
    }
    TBaseGrid::SizeChanged(oldColCount, oldRowCount);
}

// ---------------------------------------------------------------------------
// Drag scrolling

void TExtStringGrid::DestroyDragTimer()
{
    if (FDragTmr) FDragTmr->stop();
    FDragTmr.reset();
}

void TExtStringGrid::DragOver(int x, int y, bool inside)
{
    if (!FDragScrollOptions->Active() || !inside) {
        DestroyDragTimer();
        return;
    }
    const TDragScrollMargins& m = FDragScrollOptions->Margins();
    const TDragScrollDirection previous = FDragScrollDirection;
    TDragScrollDirection d;
    using enum TDragScrollDirectionItem;
    if (y < m.TopMargin())
        d.Include(dsdUp);
    else if (y > FHeight - m.BottomMargin())
        d.Include(dsdDown);
    if (x < m.LeftMargin())
        d.Include(dsdLeft);
    else if (x > FWidth - m.RightMargin())
        d.Include(dsdRight);
    FDragScrollDirection = d;
    if (d.Empty()) {
        DestroyDragTimer();
        return;
    }
    const int initial = FDragScrollOptions->Delays().InitialDelay();
    if (!FDragTmr) {
        FDragTmr = std::make_unique<QTimer>();
        GuardedConnect(FDragTmr.get(), &QTimer::timeout, FDragTmr.get(), [this] { DragScrollTick(); });
        FDragTmr->start(initial);
    } else if (!previous.Empty()) {
        FDragTmr->setInterval(initial);
    }
}

void TExtStringGrid::DragScrollTick()
{
    if (!FDragScrollOptions->Active()) {
        DestroyDragTimer();
        return;
    }
    if (FDragTmr) FDragTmr->setInterval(FDragScrollOptions->Delays().RepeatDelay());
    TDragScrollDirection d = FDragScrollDirection;
    if (OnDragScroll) {
        bool canScroll = true;
        OnDragScroll(this, TopRow(), LeftCol(), d, canScroll);
        if (!canScroll) return;
    }
    using enum TDragScrollDirectionItem;
    if (d.Contains(dsdUp) && TopRow() > TCustomGrid::FixedRows()) SetTopRow(TopRow() - 1);
    if (d.Contains(dsdDown) && TopRow() + VisibleRowCount() < RowCount()) SetTopRow(TopRow() + 1);
    if (d.Contains(dsdLeft) && LeftCol() > TCustomGrid::FixedCols()) SetLeftCol(LeftCol() - 1);
    if (d.Contains(dsdRight) && VisibleColCount() + LeftCol() < ColCount()) SetLeftCol(LeftCol() + 1);
}

// ---------------------------------------------------------------------------
// Listeners

void TExtStringGrid::RegisterNotifier(TGridChangeNotifier* n)
{
    if (!n) return;
    for (const auto& p : FNotifierList)
        if (p.data() == n) return;
    FNotifierList.emplace_back(n);
}

void TExtStringGrid::UnRegisterNotifier(TGridChangeNotifier* n)
{
    std::erase_if(FNotifierList, [n](const QPointer<TGridChangeNotifier>& p) { return p.data() == n; });
}

void TExtStringGrid::CellsChanged(const TGridRect& r)
{
    if (OnCellsChanged) OnCellsChanged(this, r);
    // A notifier that was deleted meanwhile is dropped.
    std::erase_if(FNotifierList, [](const QPointer<TGridChangeNotifier>& p) { return p.isNull(); });
    const auto list = FNotifierList;
    for (const auto& p : list)
        if (p) p->CellsChanged(r);
    CalcFooter(-1);
}
