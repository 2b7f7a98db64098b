// The string grid's proportional scroll-bar thumbs, thumb positions and
// position hints, the slim scroll bar's geometry and the hint window's
// placement on its screen.
#include "grid/ExtGrid.h"

#include "platform/GridsWidget.h"

#include <QCursor>
#include <cmath>

namespace {

// Range, page and position of a proportional bar from the fixed extent F,
// the data extent D, the scrolled extent S and the window's extent; nothing
// when the visible fraction says no bar is needed.
bool ProportionalThumb(int fixed, int data, int scrolled, int window, TExtStringGrid::TScrollThumb& t)
{
    if (data <= 0) return false;
    const float e = float(window - fixed) / float(data);
    // Fixed cells wider than the window: no negative page, the bar stays.
    if (e >= 0.9999f || e <= 0.0f) return false;
    t.Max = int(std::trunc((e + 127.0f) / (1.0f - e)));
    t.Page = t.Max - 126;
    t.Min = 0;
    if (window < data) t.Pos = int(std::trunc(float(scrolled) / float(data - window) * 128.0f));
    t.Set = true;
    return true;
}

} // namespace

void TExtStringGrid::UpdateHScrollBar()
{
    if (FLoading || FDesigning || !ScrollProportional() || FScrollLock) return;
    const int l = GridLineWidth();
    int fixed = l, data = l, scrolled = l;
    for (int c = 0; c < ColCount(); ++c) {
        if (c < FixedCols()) {
            fixed += l + ColWidths(c);
        } else {
            data += l + ColWidths(c);
            if (c < LeftCol()) scrolled += l + ColWidths(c);
        }
    }
    if (fixed + data - ClientWidth() < 5) return;
    TScrollThumb t = FHThumb;
    if (ProportionalThumb(fixed, data, scrolled, ClientWidth(), t)) FHThumb = t;
}

void TExtStringGrid::UpdateVScrollBar()
{
    if (FLoading || FDesigning || !ScrollProportional() || FScrollLock) return;
    if (VisibleRowCount() + FixedRows() >= RowCount()) return;
    const int l = GridLineWidth();
    int fixed = l, data = l, scrolled = l;
    for (int r = 0; r < RowCount(); ++r) {
        if (r < FixedRows()) {
            fixed += l + RowHeights(r);
        } else {
            data += l + RowHeights(r);
            if (r < TopRow()) scrolled += l + RowHeights(r);
        }
    }
    TScrollThumb t = FVThumb;
    t.Pos = 127;
    if (ProportionalThumb(fixed, data, scrolled, ClientHeight(), t)) FVThumb = t;
}

int TExtStringGrid::ScrollTargetCol(int pos)
{
    return int(std::lround(double(pos) * (ColCount() - VisibleColCount() - FixedCols()) / 127.0)) + FixedCols();
}

int TExtStringGrid::ScrollTargetRow(int pos)
{
    return int(std::lround(double(pos) * (RowCount() - VisibleRowCount() - FixedRows()) / 127.0)) + FixedRows();
}

QString TExtStringGrid::ScrollHintText(bool vertical, int target)
{
    QString hint = (vertical ? QStringLiteral("Row : ") : QStringLiteral("Col : ")) + QString::number(target);
    if (OnScrollHint) OnScrollHint(this, target, hint);
    return hint;
}

// --- the window's scroll bars ------------------------------------------------------------

void TExtStringGrid::SetScrollType(TScrollType v)
{
    if (v == FScrollType) return;
    FScrollType = v;
    if (!HandleAllocated()) return;
    if (v == TScrollType::ssMetro) {
        CreateMetroScrollControls();
        SetScrollBars(TScrollStyle::ssNone);
    } else {
        vscrlctrl.reset();
        hscrlctrl.reset();
        SetScrollBars(TScrollStyle::ssBoth);
    }
}

void TExtStringGrid::SetScrollProportional(bool v)
{
    FScrollProportional = v;
    if (v) {
        UpdateVScrollBar();
        UpdateHScrollBar();
    }
    if (auto* w = dynamic_cast<TGridWidget*>(View())) w->SyncScrollBars();
}

bool TExtStringGrid::ScrollBarScale(bool vertical, TScrollBarScale& s)
{
    bool& scaled = vertical ? FVScaled : FHScaled;
    scaled = false;
    if (!ScrollProportional()) return false;
    if (vertical) {
        UpdateVScrollBar();
        // A bar that is not needed counts rows again (Qt then hides it).
        if (!FVThumb.Set || VisibleRowCount() + FixedRows() >= RowCount()) return false;
    } else {
        UpdateHScrollBar();
        int total = 0;
        for (int c = 0; c < ColCount(); ++c) total += ColWidths(c);
        if (!FHThumb.Set || total < ClientWidth()) return false;
    }
    const TScrollThumb& t = vertical ? FVThumb : FHThumb;
    // Positions run 0 .. Max - Page + 1 (= 127) with the thumb a page long.
    s.Min = 0;
    s.Max = t.Max - t.Page + 1;
    s.Page = t.Page;
    s.Pos = std::clamp(t.Pos, 0, s.Max);
    scaled = true;
    return true;
}

void TExtStringGrid::ScrollBarMoved(bool vertical, int position)
{
    const bool scaled = vertical ? FVScaled : FHScaled;
    if (!scaled) {
        TBaseGrid::ScrollBarMoved(vertical, position);
        return;
    }
    TBaseGrid::ScrollBarMoved(vertical, vertical ? ScrollTargetRow(position) : ScrollTargetCol(position));
}

void TExtStringGrid::ScrollThumbTracked(bool vertical, int position, bool ended)
{
    const bool scaled = vertical ? FVScaled : FHScaled;
    const int target = !scaled ? position : vertical ? ScrollTargetRow(position) : ScrollTargetCol(position);
    const bool hints = ScrollHints() == TScrollHintType::shBoth ||
                       ScrollHints() == (vertical ? TScrollHintType::shVertical : TScrollHintType::shHorizontal);
    if (ended) {
        if (hints) HideScrollHint();
        return;
    }
    if (hints) ShowScrollHint(vertical, target, QCursor::pos());
    if (ScrollSynch()) {
        if (vertical)
            SetTopRow(target);
        else
            SetLeftCol(target);
    }
}

void TExtStringGrid::ShowScrollHint(bool vertical, int target, QPoint screenPoint)
{
    if (!FScrollHintWnd) return;
    FScrollHintWnd->SetColor(HintColor());
    FScrollHintWnd->ActivateHint(screenPoint + QPoint(10, 0), ScrollHintText(vertical, target));
}

void TExtStringGrid::HideScrollHint()
{
    if (FScrollHintWnd) FScrollHintWnd->ReleaseHandle();
}

// --- the slim scroll bar ----------------------------------------------------------------

TSlimThumb SlimScrollThumb(int length, int fixedOffset, int tail, int visible, int count, int first, int fixed)
{
    TSlimThumb t;
    if (count <= 0) return t;
    const int track = length - fixedOffset - tail;
    const double size = double(visible) / count;
    const double at = count > fixed ? double(first - fixed) / (count - fixed) : 0.0;
    t.Start = fixedOffset + int(std::lround(track * at));
    t.Length = std::max(20, int(std::lround(track * size)));
    if (t.Start + t.Length > length) t.Start = length - t.Length;
    t.Shown = visible < count - fixed;
    return t;
}

int SlimScrollPress(const TSlimThumb& thumb, int pos, int visible, int count, int first, int fixed)
{
    if (pos < thumb.Start) return std::max(fixed, first - visible);
    if (pos > thumb.Start + thumb.Length) return std::min(first + visible, count - visible);
    return -1;
}

int SlimScrollDrag(int delta, int length, int cell0, int visible, int count, int first0, int fixed)
{
    const int span = std::max(1, length - cell0);
    const int first = int(std::lround(double(delta) / span * count)) + first0;
    return std::max(fixed, std::min(first, count - visible));
}

QRect KeepHintOnScreen(const QRect& hint, const QRect& screen)
{
    QRect r = hint;
    // QRect's right and bottom are the last pixel inside.
    if (r.right() > screen.right() - 2) r.moveRight(screen.right() - 2);
    if (r.bottom() > screen.bottom() - 2) r.moveBottom(screen.bottom() - 2);
    return r;
}
