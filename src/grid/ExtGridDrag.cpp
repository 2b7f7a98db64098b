// The grid as a drag source: the drag start of a mouse move, dragging
// cells, rows or a column to another grid or program, the enhanced moving
// of rows and columns inside the grid, and the picture both show.
#include "grid/ExtGridDrag.h"

#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <functional>

// ---------------------------------------------------------------------------
// The picture and the drop source

TDragPicture::TDragPicture(QWidget* parent, const QPixmap& picture) : QWidget(parent), FPicture(picture)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(picture.size());
    hide();
}

void TDragPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setOpacity(Opacity / 255.0);
    p.drawPixmap(0, 0, FPicture);
}

void TGridDropSource::DragDropDone()
{
    if (FGrid->DragDropSettings().ShowCells()) FGrid->FMoveForm.reset();
}

void TGridDropSource::CurrentEffect(int effect)
{
    if (effect == 1 || effect == 2) FLastEffect = effect;
}

void TGridDropSource::QueryDrag()
{
    if (!FGrid->HandleAllocated()) return;
    QWidget* vp = FGrid->Widget()->viewport();
    const QPoint at = vp->mapFromGlobal(QCursor::pos());
    if (FGrid->DragDropSettings().ShowCells()) {
        if (TDragPicture* pic = FGrid->MoveForm())
            pic->move(at + QPoint(GridDrag::PictureOffset, GridDrag::PictureOffset));
    } else if (THeaderDragButton* btn = FGrid->HeaderDragButton(); btn && btn->parentWidget()) {
        // The button's bottom-left corner at the cursor.
        const QPoint p = btn->parentWidget()->mapFromGlobal(QCursor::pos());
        btn->move(p.x(), p.y() - btn->height());
    }
}

bool GridDrag::StartDistanceReached(int pressX, int pressY, int x, int y)
{
    return std::abs(x - pressX) > 3 || std::abs(y - pressY) > 3;
}

namespace {

TGridRect Ordered(TGridRect r)
{
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
// The picture of cells

std::unique_ptr<TDragPicture> TExtStringGrid::SelectionToForm(const TGridRect& rect)
{
    if (!HandleAllocated()) return nullptr;
    QWidget* vp = Widget()->viewport();
    QPixmap whole(vp->size());
    whole.fill(Qt::white);
    {
        QPainter p(&whole);
        PaintTo(p);
    }
    TRect a = AbsCellRect(rect.Left, rect.Top);
    TRect b = AbsCellRect(rect.Right, rect.Bottom);
    if (b.Left < a.Left) std::swap(a, b);
    if (b.Bottom < a.Top) {
        std::swap(a.Top, b.Top);
        std::swap(a.Bottom, b.Bottom);
    }
    // The cells and the grid line after them: each cell's line lies right
    // of and below it.
    const int w = std::max(1, b.Right - a.Left + 1);
    const int h = std::max(1, b.Bottom - a.Top + 1);
    QPixmap pic(w, h);
    pic.fill(Qt::white);
    {
        QPainter p(&pic);
        p.drawPixmap(QPoint(0, 0), whole, QRect(a.Left, a.Top, w, h));
        p.setPen(ColorToQColor(GridFixedLineColor()));
        // A range starting at the grid's first column (row) shows the fixed
        // line that borders the grid there.
        if (rect.Left == 0 && TCustomGrid::FixedCols() > 0 && HasOption(goFixedVertLine)) p.drawLine(0, 0, 0, h - 1);
        if (rect.Top == 0 && TCustomGrid::FixedRows() > 0 && HasOption(goFixedHorzLine)) p.drawLine(0, 0, w - 1, 0);
    }
    // Kept as a companion of the viewport: should the viewport go first,
    // the picture is handed back instead of being deleted with it.
    auto form = std::make_unique<TDragPicture>(nullptr, pic);
    TGridCompanionWindows::Parent(vp, {form.get()});
    return form;
}

void TExtStringGrid::EndMoveFeedback()
{
    FMoveForm.reset();
    if (FHeaderDragButton) {
        FHeaderDragButton->setEnabled(false);
        FHeaderDragButton->hide();
    }
    for (int d = 0; d < 4; ++d)
        if (FArrows[d]) FArrows[d]->hide();
    FMoveColInd = FMoveRowInd = -1;
    FMoveCursor = 0;
}

// ---------------------------------------------------------------------------
// The drag start

void TExtStringGrid::SelectionDragStart(int c, int r, int x, int y, bool onResizer)
{
    if (!FSelectionClick || c < 0 || r < 0) return;
    // The button as it is now, not as the event remembers it.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;
    if (!GridDrag::StartDistanceReached(Clickposx, Clickposy, x, y)) return;
    TDragDropSettings& dd = DragDropSettings();
    if (!dd.OleDropSource() || FGridState == gsColSizing || onResizer) return;

    FSelectionClick = false;
    const int fr = TCustomGrid::FixedRows();
    const int rc = RealColIndex(c);
    bool allow = true;
    if (dd.OleColumnsOnly() && r >= fr)
        allow = false;
    else if (OnOleDrag)
        OnOleDrag(this, r, rc, Cells(rc, r), allow);
    if (!allow) {
        // The press goes on as a selection.
        if (FGridState == gsNormal) FGridState = gsSelecting;
        return;
    }
    TGridDropSource source(this);
    if (OnOleDragStart) OnOleDragStart(this, r, rc);
    if (OnStartBlockFocus) OnStartBlockFocus(this);

    const bool columnDrag = r < fr && dd.OleColumnDragDrop();
    if (dd.ShowCells() && !FMoveForm) {
        TGridRect range;
        if (dd.OleColumnDragDrop()) {
            range = {c, 0, c, std::max(0, VisibleRowCount() - 1)};
        } else {
            const TGridRect s = Ordered(Selection());
            range = {std::max(LeftCol(), s.Left), std::max(TopRow(), s.Top),
                     std::min(s.Right, LeftCol() + VisibleColCount() - 1),
                     std::min(s.Bottom, TopRow() + VisibleRowCount() - 1)};
        }
        HideSelection();
        FMoveForm = SelectionToForm(range);
        UnHideSelection();
        if (FMoveForm) {
            FMoveForm->move(x, y);
            FMoveForm->show();
            FMoveForm->raise();
        }
    }
    const auto dragPicture = [&] {
        if (FMoveForm) {
            source.Pixmap = FMoveForm->Picture();
        } else if (FHeaderDragButton && FHeaderDragButton->isVisible()) {
            source.Pixmap = FHeaderDragButton->grab();
        }
        // The picture lies right of and below the cursor.
        source.HotSpot = QPoint(-GridDrag::PictureOffset, -GridDrag::PictureOffset);
    };
    QObject* from = HandleAllocated() ? static_cast<QObject*>(Widget()) : nullptr;
    int effect = 0;
    if (columnDrag) {
        if (!dd.ShowCells() && FHeaderDragButton && HandleAllocated() && FHeaderDragButton->parentWidget()) {
            QWidget* vp = Widget()->viewport();
            const QPoint p = FHeaderDragButton->parentWidget()->mapFromGlobal(vp->mapToGlobal(QPoint(x, y)));
            FHeaderDragButton->setGeometry(p.x(), p.y(), ColWidths(c), RowHeights(0));
            FHeaderDragButton->SetCaption(Cells(rc, r));
            FHeaderDragButton->show();
            FHeaderDragButton->raise();
        }
        dragPicture();
        const Qt::DropAction done =
            BeginColumnDragDrop(from, source, rc, Qt::CopyAction | Qt::MoveAction, effect);
        if (done != Qt::IgnoreAction && OnOleDragStop) OnOleDragStop(this, effect);
        if (FHeaderDragButton) FHeaderDragButton->hide();
        for (TArrowDirection d : {arrDown, arrUp})
            if (FArrows[d]) FArrows[d]->hide();
        return;
    }

    FDropSelection = Ordered(Selection());
    const bool withCells = Navigation().AllowFmtClipboard();
    const QByteArray stream = withCells ? SaveRectToBinBytes(FDropSelection) : QByteArray();
    // The text codes its cells as a clipboard copy does, so a cell of
    // several lines stays one cell where it is dropped.
    TGridRect textRect = FDropSelection;
    if (HasOption(goRowSelect) && dd.OleEntireRows()) {
        textRect.Left = 0;
        textRect.Right = ColCount() - 1;
    }
    const bool disjunct = MouseActions().DisjunctRowSelect();
    if (disjunct) {
        textRect.Top = fr;
        textRect.Bottom = RowCount() - 1;
    }
    const QPoint clipTopLeft = FClipTopLeft;
    const QString text = ClipboardText(textRect, disjunct);
    FClipTopLeft = clipTopLeft;
    dragPicture();
    const Qt::DropAction done = BeginTextDragDrop(from, source, text, Cells(rc, r), effect,
                                                  Qt::CopyAction | Qt::MoveAction, withCells ? &stream : nullptr);
    if (done == Qt::IgnoreAction) return;
    if (effect == 2 && !dd.OleCopyAlways()) {
        // A move: the dragged rows or cells go. A drop into this grid has
        // moved FDropSelection onto where they are now.
        if (dd.OleRemoveRows() && HasOption(goRowSelect)) {
            if (disjunct)
                RemoveSelectedRows();
            else
                RemoveRows(FDropSelection.Top, FDropSelection.Bottom - FDropSelection.Top + 1);
        } else if (disjunct) {
            ClearSelection();
        } else {
            ClearRect(FDropSelection.Left, FDropSelection.Top, FDropSelection.Right, FDropSelection.Bottom);
        }
    }
    if (OnOleDragStop) OnOleDragStop(this, effect);
}

// ---------------------------------------------------------------------------
// Moving rows and columns

void TExtStringGrid::RowColMoveStep(int c, int r, int x, int y)
{
    if (Designing()) return;
    bool cols = FGridState == gsColMoving;
    bool rows = FGridState == gsRowMoving;
    if (cols || rows) {
        bool allow = true;
        if (cols && OnColumnMove) OnColumnMove(this, Movecell, allow);
        if (rows && OnRowMove) OnRowMove(this, Movecell, allow);
        if (!allow) {
            FGridState = gsNormal;
            EndMoveFeedback();
            return;
        }
    }
    if (!(cols || rows) || RowCount() <= 1 || !EnhRowColMove() || FSizingFixed || FSizingFixedR) return;
    if (x == Clickposx && y == Clickposy) return;
    if (!HandleAllocated()) return;
    QWidget* vp = Widget()->viewport();
    const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
    TDragDropSettings& dd = DragDropSettings();
    THeaderDragButton* btn = FHeaderDragButton.get();
    bool allow = true;
    if (OnStartBlockFocus) OnStartBlockFocus(this);

    if (cols && Movecell >= fc && r >= 0) {
        if (dd.ShowCells() && !FMoveForm) {
            FMoveForm = SelectionToForm({Movecell, 0, Movecell, std::min(RowCount() - 1, TopRow() + VisibleRowCount() - fr)});
            if (FMoveForm) FMoveForm->show();
        }
        if (btn) {
            btn->SetCaption(Cells(RealColIndex(Movecell), 0));
            btn->resize(ColWidths(Movecell), RowHeights(r));
            btn->update();
        }
    } else if (rows && Movecell >= fr && c >= 0) {
        if (dd.ShowCells() && !FMoveForm) {
            FMoveForm = SelectionToForm({0, Movecell, std::min(ColCount() - 1, VisibleColCount() + LeftCol() - fc), Movecell});
            if (FMoveForm) FMoveForm->show();
        }
        if (btn) {
            btn->SetCaption(Cells(0, Movecell));
            btn->resize(ColWidths(c), RowHeights(Movecell));
            btn->update();
        }
    }
    const QPoint at(x - MoveOfsX, y - MoveOfsY);
    if (dd.ShowCells() && FMoveForm) {
        FMoveForm->move(at);
        FMoveForm->raise();
    } else if (btn && btn->parentWidget()) {
        btn->move(btn->parentWidget()->mapFromGlobal(vp->mapToGlobal(at)));
    }

    const auto place = [this](TArrowDirection d, int ax, int ay, bool show) {
        TArrowWindow* a = InsertionArrow(d);
        if (!a) return;
        a->move(ax, ay);
        a->setVisible(show);
        if (show) a->raise();
    };
    if (cols) {
        if (FMoveColInd >= fc && c >= 0) {
            const TRect cell = AbsCellRect(c, 0);
            const int ax = (c < Movecell ? cell.Left : cell.Right) - 5;
            const bool show = c >= fc && c >= LeftCol() && c < LeftCol() + VisibleColCount();
            place(arrUp, ax, cell.Bottom, show);
            place(arrDown, ax, cell.Top - 8, show);
        }
        FMoveColInd = c;
        FMoveRowInd = 0;
        if (OnColumnMoving) OnColumnMoving(this, c, allow);
    } else {
        const bool footerRow = FloatingFooter().Visible() &&
                               FloatingFooter().FooterStyle() == TFooterStyle::fsFixedLastRow && r == RowCount() - 1;
        if (!footerRow) {
            const auto visibleRow = [this](int row) {
                return row >= TopRow() && row < TopRow() + VisibleRowCount();
            };
            if (FMoveRowInd >= fr && visibleRow(FMoveRowInd) && r >= 0) {
                const TRect cell = AbsCellRect(0, r);
                const int ay = (r < Movecell ? cell.Top : cell.Bottom) - 5;
                const bool show = r >= fr && visibleRow(r);
                place(arrLeft, cell.Left - 10, ay, show);
                place(arrRight, cell.Right, ay, show);
            }
            FMoveColInd = 0;
            FMoveRowInd = r;
            if (OnRowMoving) OnRowMoving(this, r, allow);
        }
    }

    // Auto-scroll by one column (row) at the fixed cells or past the edge.
    // False when the axis has nothing to scroll.
    const auto autoScroll = [this](int pos, int fixedEnd, int clientEnd, int cell, int first, int fixed, int visible,
                                   int count, const std::function<void(int)>& setFirst) {
        if (first <= fixed && first + visible >= count) return false;
        if (pos < fixedEnd && first > fixed) {
            setFirst(first - 1);
            Invalidate();
        } else if ((pos >= clientEnd || cell >= first + visible) && first + visible < count) {
            setFirst(first + 1);
            Invalidate();
        }
        return true;
    };
    const bool scrolledCols = cols && autoScroll(x, FixedColsWidth(), ClientWidth(), c, LeftCol(), fc, VisibleColCount(),
                                                 ColCount(), [this](int v) { SetLeftCol(v); });
    if (!scrolledCols && rows)
        autoScroll(y, FixedRowsHeight(), ClientHeight(), r, TopRow(), fr, VisibleRowCount(), RowCount(),
                   [this](int v) { SetTopRow(v); });

    if (btn) {
        if (btn->isHidden() && !dd.ShowCells()) {
            btn->show();
            btn->raise();
            if (QWidget* parent = Widget()->parentWidget()) parent->setFocus();
        }
        btn->setEnabled(true);
    }
    FMoveCursor = allow ? 1 : 2;
}
