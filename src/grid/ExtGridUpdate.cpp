// The string grid's update locking, cell-change notifications, its 500 ms
// timer, focus gained and lost, and the window procedure's dispatch of Qt
// events to the input code.
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"

#include "platform/Application.h"
#include "platform/GridsWidget.h"

#include <QHelpEvent>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// The grid's window, when it has one (never made here).
TGridWidget* WindowOf(const TCustomGrid& g)
{
    return g.HandleAllocated() ? dynamic_cast<TGridWidget*>(g.View()) : nullptr;
}

} // namespace

// --- update locking ------------------------------------------------------------

void TExtStringGrid::BeginUpdate()
{
    ++FUpdateCount;
    SetRedraw(false);
}

void TExtStringGrid::EndUpdate()
{
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount > 0 || FDestroying) return;
    FSelChange = false;
    SetRedraw(true);
}

void TExtStringGrid::SetLockUpdate(bool v)
{
    if (v)
        BeginUpdate();
    else
        EndUpdate();
}

void TExtStringGrid::CellsLoaded()
{
    CalcFooter(-1);
}

void TExtStringGrid::ColumnCellChanged(int c)
{
    CalcFooter(c);
}

// --- the grid timer ----------------------------------------------------------------

void TExtStringGrid::InitGridTimer()
{
    if (!QCoreApplication::instance() || FGridTimer) return;
    FGridTimer = std::make_unique<QTimer>();
    FGridTimer->setInterval(500);
    GuardedConnect(FGridTimer.get(), &QTimer::timeout, FGridTimer.get(), [this] { GridTimerTick(); });
    FGridTimer->start();
}

void TExtStringGrid::GridTimerTick()
{
    ++FTimerTicks;
    if (Navigation().AutoGotoIncremental()) {
        // The typed search text is forgotten on the fourth tick after the
        // last search key.
        if (SearchTics++ == 3) {
            SearchInc.clear();
            SearchTics = 0;
        }
    }
    if (FHovering && !FDesigning) {
        if (TGridWidget* w = WindowOf(*this); w && w->isVisible()) {
            const QPoint p = w->viewport()->mapFromGlobal(QCursor::pos());
            if (w->viewport()->rect().contains(p)) {
                const TGridCoord g = MouseCoord(p.x(), p.y());
                if (g.X >= FixedCols() && g.Y >= FixedRows() && g.X < ColCount() - FFixedRightCols &&
                    g.Y < RowCount() - FFixedFooters) {
                    w->setFocus(Qt::OtherFocusReason);
                    SetRow(g.Y);
                    SetCol(g.X);
                }
            }
        }
    }
    if (EnableBlink()) {
        FGridBlink = !FGridBlink;
        const auto blinks = [this](int c, int r) {
            if (c < TotalColCount() && r < RowCount() && Cells(c, r).contains(QLatin1String("<BLI"), Qt::CaseInsensitive))
                RepaintCell(c, r);
        };
        const int lastCol = std::min(TotalColCount() - 1, LeftCol() + VisibleColCount() + FNumHidden);
        const int lastRow = std::min(RowCount() - 1, TopRow() + VisibleRowCount());
        for (int r = TopRow(); r <= lastRow; ++r)
            for (int c = LeftCol(); c <= lastCol; ++c) blinks(c, r);
        for (int r = 0; r < FixedRows(); ++r)
            for (int c = LeftCol(); c <= lastCol; ++c) blinks(c, r);
        for (int c = 0; c < FixedCols(); ++c)
            for (int r = TopRow(); r <= lastRow; ++r) blinks(c, r);
    }
}

// --- focus -------------------------------------------------------------------------------

void TExtStringGrid::DoEnter()
{
    if (FBlockFocus) return;
    TBaseGrid::DoEnter();
    if (HasOption(goEditing) || MouseActions().RangeSelectAndEdit()) SelectCell(Col(), Row());
    // With AlwaysEdit the editor opens as the focus comes in, when the
    // current cell may be edited and is shown whole. The permission starts
    // from goEditing or RangeSelectAndEdit, as for a key or a click.
    if (Navigation().AlwaysEdit() && !EditorMode()) {
        bool allow = HasOption(goEditing) || MouseActions().RangeSelectAndEdit();
        QueryCanEdit(RealCol(), Row(), allow);
        const TRect cr = CellRect(Col(), Row());
        if (allow && cr.Right > cr.Left && cr.Right <= ClientWidth() && cr.Bottom <= ClientHeight()) ShowEditor();
    }
}

void TExtStringGrid::DoExit()
{
    if (FBlockKill) return;
    // While Alt+Backspace is held the text editor stays open as it is: the
    // exit is reported, but nothing is committed or closed.
    if (TextEditorHoldsFocusLoss(this)) {
        if (OnExit) OnExit(this);
        return;
    }
    // A selection made by keys or mouse becomes the disjunct row flags.
    if (FSelChange && MouseActions().DisjunctRowSelect()) SelectionToRowSelect(false);
    FSelChange = false;
    TBaseGrid::DoExit();
}

void TExtStringGrid::FocusChanged(bool focused)
{
    if (!focused && FBlockKill) return;
    // A merged current cell is repainted over its whole span.
    const int rc = RealColIndex(Col());
    if (IsMergedCell(rc, Row())) {
        TGridRect f = FullCell(rc, Row());
        f.Left = DisplColIndex(f.Left);
        f.Right = DisplColIndex(f.Right);
        RepaintRect(f);
    }
    // A pressed inline button is let go.
    if (!focused && FCtrlDown) {
        FCtrlDown = false;
        if (FCtrlXY.x() >= 0) RepaintCell(DisplColIndex(FCtrlXY.x()), FCtrlXY.y());
    }
}

void TExtStringGrid::Click()
{
    if (!FSkipPlatformClick) TBaseGrid::Click();
    RememberCell(Col(), Row());
}

// --- the window procedure ---------------------------------------------------------------

bool TExtStringGrid::WndProc(QEvent& e)
{
    if (FDestroying) return false;
    switch (e.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto& m = static_cast<QMouseEvent&>(e);
        if (FWheelPan) {
            // Any press ends the panning and goes on as usual, except the
            // middle press, which only ends it.
            StopPan();
            return m.button() == Qt::MiddleButton;
        }
        if (m.button() == Qt::MiddleButton && e.type() == QEvent::MouseButtonPress && IntelliPan() != TIntelliPan::ipNone &&
            RowCount() > FixedRows()) {
            StartPan(m.position().toPoint());
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
        if (FWheelPan) StopPan();
        return false;
    case QEvent::ToolTip:
        // The hint of the cell under the mouse (ExtGridHints.cpp).
        ShowCellHint(static_cast<QHelpEvent&>(e).pos());
        return true;
    case QEvent::Leave:
        MouseLeave();
        return false;
    case QEvent::EnabledChange:
        // Enabled and disabled grids paint differently.
        Invalidate();
        return false;
    case QEvent::Wheel: {
        if (FWheelPan) return true;
        auto& w = static_cast<QWheelEvent&>(e);
        // The parent may take the wheel first; then the wheel goes the
        // ordinary way (DoMouseWheelDown / DoMouseWheelUp).
        if (TGridWidget* win = WindowOf(*this); win && win->parentWidget()) {
            TGridWheelEvent offer(w.angleDelta().y());
            if (QCoreApplication::sendEvent(win->parentWidget(), &offer) && offer.isAccepted()) return false;
        }
        w.accept();
        FWheelRest += w.angleDelta().y();
        const TShiftState s = QtModifiersToShift(w.modifiers(), w.buttons());
        const QPoint pos = w.position().toPoint();
        while (FWheelRest <= -120) {
            FWheelRest += 120;
            WheelNotch(true, s, pos);
        }
        while (FWheelRest >= 120) {
            FWheelRest -= 120;
            WheelNotch(false, s, pos);
        }
        return true;
    }
    default: return false;
    }
}

int GridWheelEventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}
