// The in-cell scroll bar: one scroll-bar control shared by every cell that
// carries a scroll bar. It is put over the cell it serves, moves that
// cell's scroll position (the text is painted shifted by it) and reports
// each change through OnScrollCell.
#include "grid/ExtGrid.h"
#include "platform/Application.h"
#include "platform/GridsWidget.h"

#include <QScrollBar>

namespace {

constexpr int CellScrollBarWidth = 17;

} // namespace

QScrollBar* TExtStringGrid::CellScrollBar()
{
    if (!FScrollBar && HandleAllocated()) {
        auto* bar = new QScrollBar(Qt::Vertical, Widget()->viewport());
        bar->hide();
        bar->setFocusPolicy(Qt::NoFocus);
        QObject::connect(bar, &QAbstractSlider::actionTriggered, bar,
                         [this](int action) { Guard([&] { CellScrollBarAction(action); }); });
        FScrollBar = bar;
    }
    return FScrollBar.data();
}

void TExtStringGrid::ShowCellScrollBar(int c, int r)
{
    QScrollBar* bar = CellScrollBar();
    if (!bar || c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return;
    const int rc = RealColIndex(c);
    if (!HasScrollBar(rc, r)) {
        bar->hide();
        FScrollCol = FScrollRow = -1;
        return;
    }
    FScrollCol = rc;
    FScrollRow = r;
    const TScrollProp prop = GetScrollProp(rc, r);
    const int pos = GetScrollPosition(rc, r);
    if (prop.PageSize >= prop.Range) {
        bar->hide();
        return;
    }
    const TRect cr = CellRect(c, r);
    const int lw = GridLineWidth();
    const QRect place(cr.Right - CellScrollBarWidth - lw, cr.Top + lw, CellScrollBarWidth,
                      std::max(0, cr.Height() - 2 * lw));
    const QSignalBlocker quiet(bar);
    if (!(bar->isVisible() && bar->geometry() == place)) {
        bar->setRange(0, std::max(0, prop.Range - prop.PageSize));
        bar->setPageStep(std::max(1, prop.PageSize));
        bar->setSingleStep(10);
        bar->setGeometry(place);
        bar->show();
        bar->raise();
    }
    bar->setValue(std::max(0, pos));
}

void TExtStringGrid::CellScrollBarAction(int action)
{
    QScrollBar* bar = FScrollBar.data();
    if (!bar || FScrollCol < 0 || FScrollRow < 0 || FScrollRow >= RowCount() || !HasScrollBar(FScrollCol, FScrollRow))
        return;
    const int old = std::max(0, GetScrollPosition(FScrollCol, FScrollRow));
    int pos = old;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: pos = old - 10; break;
    case QAbstractSlider::SliderSingleStepAdd: pos = old + 10; break;
    case QAbstractSlider::SliderPageStepSub: pos = old - 100; break;
    case QAbstractSlider::SliderPageStepAdd: pos = old + 100; break;
    case QAbstractSlider::SliderMove: pos = bar->sliderPosition(); break;
    case QAbstractSlider::SliderToMinimum: pos = bar->minimum(); break;
    case QAbstractSlider::SliderToMaximum: pos = bar->maximum(); break;
    default: return;
    }
    // Every step stays inside the bar (pages too: a position past either
    // end would shift the text out of its cell).
    pos = std::clamp(pos, bar->minimum(), bar->maximum());
    bar->setSliderPosition(pos);
    if (pos == old) return;
    SetScrollPosition(FScrollCol, FScrollRow, pos);
    RepaintCell(DisplColIndex(FScrollCol), FScrollRow);
    ScrollCell();
}

void TExtStringGrid::ScrollCell()
{
    if (!OnScrollCell || FScrollCol < 0 || FScrollRow < 0) return;
    const TScrollProp prop = GetScrollProp(FScrollCol, FScrollRow);
    OnScrollCell(this, FScrollCol, FScrollRow, GetScrollPosition(FScrollCol, FScrollRow), 0, prop.Range);
}
