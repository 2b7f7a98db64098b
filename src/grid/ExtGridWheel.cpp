// The string grid's mouse wheel, wheel zoom and middle-button panning.
#include "grid/ExtGrid.h"

#include "platform/Application.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace {

TGridWidget* WindowOf(const TCustomGrid& g)
{
    return g.HandleAllocated() ? dynamic_cast<TGridWidget*>(g.View()) : nullptr;
}

// Restores a Boolean setting when the scope ends, also on an exception.
class TKeepDirectEdit {
public:
    explicit TKeepDirectEdit(TMouseActions& m) : m_actions(m), m_old(m.DirectEdit()) { m.SetDirectEdit(false); }
    ~TKeepDirectEdit() { m_actions.SetDirectEdit(m_old); }
    TKeepDirectEdit(const TKeepDirectEdit&) = delete;
    TKeepDirectEdit& operator=(const TKeepDirectEdit&) = delete;

private:
    TMouseActions& m_actions;
    bool m_old;
};

// The origin mark's picture: its top-left colour is drawn transparent.
QPixmap PanMarkPicture(const QString& name)
{
    QPixmap pm = QPixmap::fromImage(GridGlyph(name));
    if (pm.isNull()) return pm;
    const QColor key = pm.toImage().pixelColor(0, 0);
    pm.setMask(pm.createMaskFromColor(key, Qt::MaskInColor));
    return pm;
}

} // namespace

// --- the wheel ------------------------------------------------------------------------------

int TExtStringGrid::WheelScrollLines() const
{
    const int lines = QApplication::wheelScrollLines();
    // A system that scrolls by pages turns the wheel one visible page.
    return lines > 0 ? lines : std::max(1, VisibleRowCount());
}

void TExtStringGrid::WheelNotch(bool towardsUser, TShiftState shift, QPoint pos)
{
    if (shift.Contains(TShiftStateItem::ssCtrl) && IntelliZoom()) {
        const int lines = WheelScrollLines();
        const int before = FZoomFactor;
        Zoom(towardsUser ? lines : -lines);
        if (FZoomFactor != before) ZoomAutoSize();
        return;
    }
    if (!EnableWheel() || (FixedRowAlways() && RowCount() == 1)) return;
    const TGridRect s0 = Selection();
    int n = MouseActions().WheelIncrement() >= 1 ? MouseActions().WheelIncrement() : WheelScrollLines();
    const bool scroll = MouseActions().WheelAction() == waScroll;
    int target = Row();
    if (scroll) {
        if (towardsUser) {
            if (TopRow() < RowCount() - VisibleRowCount() && TopRow() + n >= FixedRows()) SetTopRow(TopRow() + n);
        } else {
            if (TopRow() - n < FixedRows()) n = TopRow() - FixedRows();
            if (TopRow() > FixedRows() && TopRow() - n >= FixedRows()) SetTopRow(TopRow() - n);
        }
    } else {
        target = towardsUser ? Row() + n : Row() - n;
    }
    target = std::clamp(target, FixedRows(), std::max(FixedRows(), RowCount() - FFixedFooters - 1));
    if (Col() > ColCount() - 1 && Row() > RowCount() - 1) MoveColRow(ColCount() - 1, RowCount() - 1, true, true);
    if (Col() < FixedCols() || Col() > ColCount() - 1)
        MoveColRow(std::clamp(Col(), FixedCols(), std::max(FixedCols(), ColCount() - 1)), Row(), true, false);
    int moved = 0;
    if (target >= 0 && target < RowCount()) {
        const int left = LeftCol();
        BeginUpdate();
        try {
            moved = target - Row();
            if (!scroll) {
                MoveColRow(Col(), target, true, true);
                if (Row() != target) {
                    // A row that refuses the focus: half the way instead.
                    const int half = Row() + int(std::lround((target - Row()) / 2.0));
                    MoveColRow(Col(), half, true, true);
                    if (TopRow() > FixedRows()) SetTopRow(TopRow() - 1);
                }
            }
            if (HasOption(goRowSelect) && Navigation().KeepHorizScroll()) SetLeftCol(left);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    bool handled = true;
    WheelStepped(moved, handled);
    if ((MouseActions().WheelIncrement() != 0 || MouseActions().DisjunctRowSelect()) && handled) {
        bool h = false;
        if (towardsUser && OnMouseWheelDown) OnMouseWheelDown(this, shift, pos, h);
        if (!towardsUser && OnMouseWheelUp) OnMouseWheelUp(this, shift, pos, h);
    }
    const TGridRect s = Selection();
    if (!(s == s0)) DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
}

bool TExtStringGrid::DoMouseWheelDown(TShiftState shift, QPoint pos)
{
    return WheelBase(true, shift, pos);
}

bool TExtStringGrid::DoMouseWheelUp(TShiftState shift, QPoint pos)
{
    return WheelBase(false, shift, pos);
}

bool TExtStringGrid::WheelBase(bool down, TShiftState shift, QPoint pos)
{
    if (MouseActions().WheelAction() == waScroll || !EnableWheel()) {
        bool handled = false;
        auto& event = down ? OnMouseWheelDown : OnMouseWheelUp;
        if (event) event(this, shift, pos, handled);
        return handled;
    }
    TKeepDirectEdit keep(*FMouseActions);
    const auto base = [&] {
        if (down) return TBaseGrid::DoMouseWheelDown(shift, pos);
        // Up only from a current cell inside the grid.
        return Row() < RowCount() && Col() < ColCount() ? TBaseGrid::DoMouseWheelUp(shift, pos) : true;
    };
    if (HasOption(goRowSelect) && Navigation().KeepHorizScroll()) {
        const int left = LeftCol();
        BeginUpdate();
        bool result = false;
        try {
            result = base();
            SetLeftCol(left);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return result;
    }
    const bool editing = EditorMode();
    const bool result = base();
    if (editing)
        if (TGridWidget* w = WindowOf(*this)) w->setFocus(Qt::OtherFocusReason);
    return result;
}

// --- zoom ------------------------------------------------------------------------------------

void TExtStringGrid::Zoom(int x)
{
    const int factor = FZoomFactor + x;
    if (factor > 10 || factor < -10) return;
    FScrollLock = true;
    FZoomFactor = factor;
    for (int c = 0; c < ColCount(); ++c)
        if (ColWidths(c) > 0 && ColWidths(c) + x > 0) SetColWidths(c, ColWidths(c) + x);
    for (int r = 0; r < RowCount(); ++r)
        if (RowHeights(r) > 0 && RowHeights(r) + x > 0) SetRowHeights(r, RowHeights(r) + x);
    FScrollLock = false;
    if (ScrollProportional()) {
        UpdateVScrollBar();
        UpdateHScrollBar();
    }
}

// --- panning -----------------------------------------------------------------------------

int TExtStringGrid::PanCursorId(int v, int h)
{
    static const int ids[3][3] = {
        // h = -1, 0, 1
        {8006, 8004, 8005}, // v = -1
        {8002, 8000, 8003}, // v = 0
        {8008, 8001, 8007}, // v = 1
    };
    return ids[std::clamp(v, -1, 1) + 1][std::clamp(h, -1, 1) + 1];
}

QString TExtStringGrid::PanOriginMark() const
{
    switch (IntelliPan()) {
    case TIntelliPan::ipVertical: return QStringLiteral("INTLI3");
    case TIntelliPan::ipHorizontal: return QStringLiteral("INTLI2");
    default: return QStringLiteral("INTLI1");
    }
}

QCursor TExtStringGrid::PanCursor(int id)
{
    // 8000 every way, 8001 down, 8002 left, 8003 right, 8004 up, 8005
    // up-right, 8006 up-left, 8007 down-right, 8008 down-left: the pictures
    // are the program's resources, with the hot spot in their middle.
    const QPixmap pm = QPixmap::fromImage(GridGlyph(QStringLiteral("PAN%1").arg(std::clamp(id, 8000, 8008))));
    return QCursor(pm, 16, 16);
}

void TExtStringGrid::StartPan(QPoint p)
{
    if (FWheelPan) return;
    FWheelPan = true;
    FWheelPanPos = p;
    FPanPrevHint = ShowHint;
    ShowHint = false;
    if (!FPanTimer) {
        FPanTimer = std::make_unique<QTimer>();
        FPanTimer->setInterval(10);
        GuardedConnect(FPanTimer.get(), &QTimer::timeout, FPanTimer.get(), [this] {
            if (TGridWidget* w = WindowOf(*this))
                PanStep(w->viewport()->mapFromGlobal(QCursor::pos()));
            else
                StopPan();
        });
    }
    FPanTimer->start();
    if (TGridWidget* w = WindowOf(*this)) {
        QWidget* vp = w->viewport();
        vp->setCursor(PanCursor(8000));
        if (vp->isVisible()) vp->grabMouse();
        // The origin mark: a small picture at the press point, over the cells.
        auto* mark = new QLabel(vp);
        mark->setObjectName(PanOriginMark());
        const QPixmap pm = PanMarkPicture(PanOriginMark());
        mark->setPixmap(pm);
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->setGeometry(QRect(p, pm.size()));
        mark->show();
        FPanMark = mark;
    }
}

void TExtStringGrid::StopPan()
{
    if (!FWheelPan) return;
    FWheelPan = false;
    if (FPanTimer) FPanTimer->stop();
    ShowHint = FPanPrevHint;
    delete FPanMark.data();
    if (TGridWidget* w = WindowOf(*this)) {
        QWidget* vp = w->viewport();
        if (QWidget::mouseGrabber() == vp) vp->releaseMouse();
        vp->unsetCursor();
        vp->update(QRect(FWheelPanPos, QSize(32, 32)));
    }
}

void TExtStringGrid::PanStep(QPoint p)
{
    if (!FWheelPan) return;
    int h = p.x() < FWheelPanPos.x() - 5 ? -1 : p.x() > FWheelPanPos.x() + 5 ? 1 : 0;
    int v = p.y() < FWheelPanPos.y() - 5 ? -1 : p.y() > FWheelPanPos.y() + 5 ? 1 : 0;
    if (IntelliPan() == TIntelliPan::ipHorizontal) v = 0;
    if (IntelliPan() == TIntelliPan::ipVertical) h = 0;
    const TGridRect s0 = Selection();
    const int lastRow = std::max(FixedRows(), RowCount() - FFixedFooters - 1);
    const int lastCol = std::max(FixedCols(), ColCount() - FFixedRightCols - 1);
    const int r0 = std::clamp(Row(), FixedRows(), lastRow), c0 = std::clamp(Col(), FixedCols(), lastCol);
    if (r0 != Row() || c0 != Col()) MoveColRow(c0, r0, true, false);
    if (MouseActions().WheelAction() == waScroll) {
        if (h == -1 && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
        if (h == 1 && LeftCol() < ColCount() - VisibleColCount()) SetLeftCol(LeftCol() + 1);
        if (v == -1 && TopRow() > FixedRows()) SetTopRow(TopRow() - 1);
        if (v == 1 && TopRow() < RowCount() - VisibleRowCount()) SetTopRow(TopRow() + 1);
    } else {
        int c = Col(), r = Row();
        if (h == -1 && c > FixedCols()) --c;
        if (h == 1 && c < ColCount() - FFixedRightCols - 1) ++c;
        if (v == -1 && r > FixedRows()) --r;
        if (v == 1 && r < RowCount() - FFixedFooters - 1) ++r;
        if (c != Col() || r != Row()) MoveColRow(c, r, true, true);
    }
    if (TGridWidget* w = WindowOf(*this)) w->viewport()->setCursor(PanCursor(PanCursorId(v, h)));
    const TGridRect s = Selection();
    if (!(s == s0)) DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
}
