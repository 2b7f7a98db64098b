// Dragging cells, rows and columns out of a grid, and moving rows and
// columns inside it: real mouse presses and moves on the grid's viewport,
// with the drag runner replaced so that no platform drag loop runs.
#include "ShownGrid.h"

#include "common/DragSupport.h"
#include "controls/OleDragDrop.h"
#include "grid/ExtGridDrag.h"

#include <QDrag>
#include <QMimeData>
#include <QTest>

namespace {

TEST(GridDragDecisions, StartsBeyondThreePixels)
{
    struct Case {
        int dx, dy;
        bool start;
    };
    for (const Case& k : std::vector<Case>{{3, 0, false}, {0, 3, false}, {-3, 3, false}, {4, 0, true}, {0, 4, true}, {-4, 0, true}, {0, -4, true}, {4, 4, true}})
        EXPECT_EQ(GridDrag::StartDistanceReached(100, 50, 100 + k.dx, 50 + k.dy), k.start)
            << k.dx << "," << k.dy;
}

// What the replaced drag runner saw of the drags the grid started.
struct SeenDrag {
    QStringList Formats;
    QString Text;
    QByteArray Column;
    bool HasCells = false;
    bool HasPixmap = false;
    QPoint HotSpot;
    // The grid's picture during the drag: over the viewport, not a window.
    bool PictureOnViewport = false;
};

class GridDrag : public ShownGrid {
protected:
    void SetUp() override
    {
        FillCellNames(g, 6, 8);
        ShowGrid(420, 220);
        g.DragDropSettings().SetOleDropSource(true);
    }
    void TearDown() override { SetDragRunner({}); }

    // Every drag ends with `result` after the target's feedback `result`.
    void RunDragsEndingWith(Qt::DropAction result)
    {
        SetDragRunner([this, result](QDrag& drag, Qt::DropActions) {
            SeenDrag s;
            s.Formats = drag.mimeData()->formats();
            s.Text = drag.mimeData()->text();
            s.Column = drag.mimeData()->data(QString::fromLatin1(DragColumnMimeType));
            s.HasCells = drag.mimeData()->hasFormat(QString::fromLatin1(DragGridCellsMimeType));
            s.HasPixmap = !drag.pixmap().isNull();
            s.HotSpot = drag.hotSpot();
            TDragPicture* pic = g.MoveForm();
            s.PictureOnViewport = pic && pic->parentWidget() == g.Widget()->viewport() && !pic->isWindow() &&
                                  pic->isVisible();
            seen.push_back(s);
            emit drag.actionChanged(result);
            return result;
        });
    }
    QPoint InWindow(QPoint viewportPoint)
    {
        return g.Widget()->viewport()->mapTo(&host, viewportPoint);
    }
    QPoint CellCentre(int c, int r)
    {
        const TRect cr = g.CellRect(c, r);
        return {(cr.Left + cr.Right) / 2, (cr.Top + cr.Bottom) / 2};
    }
    void Press(QPoint p) { QTest::mousePress(host.windowHandle(), Qt::LeftButton, {}, InWindow(p)); }
    void MoveTo(QPoint p) { QTest::mouseMove(host.windowHandle(), InWindow(p)); }
    void Release(QPoint p) { QTest::mouseRelease(host.windowHandle(), Qt::LeftButton, {}, InWindow(p)); }
    // Presses on cell (c, r), moves by (dx, dy) and releases there.
    void DragFrom(int c, int r, int dx, int dy)
    {
        const QPoint at = CellCentre(c, r);
        Press(at);
        MoveTo(at + QPoint(dx, dy));
        Release(at + QPoint(dx, dy));
    }
    std::vector<SeenDrag> seen;
};

TEST_F(GridDrag, StartsAtFourPixelsAndNotBelowTheHeaderWithColumnsOnly)
{
    struct Case {
        int dx, dy;
        bool columnsOnly;
        size_t drags;
    };
    for (const Case& k : std::vector<Case>{{3, 0, false, 0}, {0, 3, false, 0}, {4, 0, false, 1}, {0, 4, false, 1},
                                           {-4, 0, false, 1}, {4, 0, true, 0}}) {
        seen.clear();
        RunDragsEndingWith(Qt::IgnoreAction);
        g.DragDropSettings().SetOleColumnsOnly(k.columnsOnly);
        g.SetSelection({1, 2, 2, 3});
        int asked = 0;
        g.OnOleDrag = [&](TExtStringGrid*, int, int, const QString&, bool&) { ++asked; };
        DragFrom(2, 3, k.dx, k.dy);
        EXPECT_EQ(seen.size(), k.drags) << k.dx << "," << k.dy << " columnsOnly " << k.columnsOnly;
        // Columns only refuses a data cell before asking anybody.
        if (k.columnsOnly) {
            EXPECT_EQ(asked, 0);
        }
        QTest::qWait(350); // no double click between the cases
    }
}

TEST_F(GridDrag, RefusedByTheEventStartsNoDrag)
{
    RunDragsEndingWith(Qt::CopyAction);
    g.SetSelection({1, 2, 2, 3});
    QString data;
    g.OnOleDrag = [&](TExtStringGrid*, int arow, int acol, const QString& text, bool& allow) {
        data = QStringLiteral("%1/%2/%3").arg(arow).arg(acol).arg(text);
        allow = false;
    };
    DragFrom(2, 3, 6, 0);
    EXPECT_EQ(data, "3/2/C3");
    EXPECT_TRUE(seen.empty());
}

TEST_F(GridDrag, OffersClipboardTextCellsAndThePicture)
{
    RunDragsEndingWith(Qt::IgnoreAction);
    g.Navigation().SetAllowFmtClipboard(true);
    g.SetCells(2, 3, QStringLiteral("two\nlines"));
    g.SetSelection({1, 2, 2, 3});
    DragFrom(2, 3, 0, 6);
    ASSERT_EQ(seen.size(), 1u);
    // The cell of two lines stays one quoted cell.
    EXPECT_EQ(seen[0].Text, "B2\tC2\r\nB3\t\"two\nlines\"\r\n");
    EXPECT_TRUE(seen[0].HasCells);
    EXPECT_TRUE(seen[0].HasPixmap);
    EXPECT_EQ(seen[0].HotSpot, QPoint(-4, -4));
    EXPECT_TRUE(seen[0].PictureOnViewport);
    // The picture goes with the drag.
    EXPECT_EQ(g.MoveForm(), nullptr);
}

TEST_F(GridDrag, ColumnDragFromTheHeaderCarriesTheColumn)
{
    RunDragsEndingWith(Qt::MoveAction);
    g.SetEnhRowColMove(false);
    g.DragDropSettings().SetOleColumnDragDrop(true);
    g.DragDropSettings().SetShowCells(false);
    std::vector<int> stops;
    g.OnOleDragStop = [&](TExtStringGrid*, int effect) { stops.push_back(effect); };
    DragFrom(3, 0, 5, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(DecodeColumnBlock(seen[0].Column), 3);
    // Without the cell picture the header drag button is the drag's picture.
    EXPECT_TRUE(seen[0].HasPixmap);
    EXPECT_EQ(stops, std::vector<int>{2});
    EXPECT_FALSE(g.HeaderDragButton()->isVisible());
}

TEST_F(GridDrag, WhatAMoveRemovesOrClears)
{
    struct Case {
        Qt::DropAction result;
        bool rowSelect, removeRows, copyAlways;
        int rowCount;
        QString b2, b4; // cells B2 and B4 afterwards
        std::vector<int> stops;
    };
    const std::vector<Case> cases{
        {Qt::MoveAction, true, true, false, 6, "B4", "B6", {2}},   // rows 2 and 3 removed
        {Qt::MoveAction, true, true, true, 8, "B2", "B4", {2}},    // copy always: nothing goes
        {Qt::MoveAction, false, false, false, 8, "", "B4", {2}},   // the dragged cells are cleared
        {Qt::CopyAction, true, true, false, 8, "B2", "B4", {1}},   // a copy keeps everything
        {Qt::IgnoreAction, true, true, false, 8, "B2", "B4", {}},  // cancelled: nothing, no stop event
    };
    for (const Case& k : cases) {
        FillCellNames(g, 6, 8);
        RunDragsEndingWith(k.result);
        g.SetOptions(k.rowSelect ? g.Options().With(goRowSelect) : g.Options().Without(goRowSelect));
        g.DragDropSettings().SetOleRemoveRows(k.removeRows);
        g.DragDropSettings().SetOleCopyAlways(k.copyAlways);
        g.SetSelection(k.rowSelect ? TGridRect{1, 2, 5, 3} : TGridRect{1, 2, 2, 3});
        std::vector<int> stops;
        int starts = 0;
        g.OnOleDragStart = [&](TExtStringGrid*, int, int) { ++starts; };
        g.OnOleDragStop = [&](TExtStringGrid*, int effect) { stops.push_back(effect); };
        DragFrom(1, 2, 0, 8);
        const QString what = QStringLiteral("result %1 rowSelect %2 remove %3 copyAlways %4")
                                 .arg(int(k.result)).arg(k.rowSelect).arg(k.removeRows).arg(k.copyAlways);
        EXPECT_EQ(starts, 1) << what.toStdString();
        EXPECT_EQ(g.RowCount(), k.rowCount) << what.toStdString();
        EXPECT_EQ(g.Cells(1, 2), k.b2) << what.toStdString();
        EXPECT_EQ(g.Cells(1, 4), k.b4) << what.toStdString();
        EXPECT_EQ(stops, k.stops) << what.toStdString();
        EXPECT_EQ(g.MoveForm(), nullptr);
        QTest::qWait(350);
    }
}

TEST_F(GridDrag, CellsMovedIntoAnotherGridLandThereAndLeaveThisOne)
{
    TExtStringGrid b;
    FillCellNames(b, 4, 6);
    for (int c = 1; c < 4; ++c)
        for (int r = 1; r < 6; ++r) b.SetCells(c, r, QString());
    layout->addWidget(b.CreateWnd(&host));
    b.Widget()->show();
    b.SetOptions(b.Options().With(goEditing));
    b.DragDropSettings().SetOleDropTarget(true);
    g.SetSelection({1, 2, 2, 2});
    std::vector<int> stops;
    g.OnOleDragStop = [&](TExtStringGrid*, int effect) { stops.push_back(effect); };
    const TRect target = b.CellRect(1, 3);
    CarryDragsTo carry(b.Widget()->viewport(), {QPoint(target.Left + 3, target.Top + 3)});
    DragFrom(1, 2, 0, 6);
    EXPECT_EQ(carry.Drags, 1);
    EXPECT_EQ(b.Cells(1, 3), "B2");
    EXPECT_EQ(b.Cells(2, 3), "C2");
    // A move: the dragged cells are cleared here.
    EXPECT_EQ(stops, std::vector<int>{2});
    EXPECT_EQ(g.Cells(1, 2), "");
    EXPECT_EQ(g.Cells(2, 2), "");
    EXPECT_EQ(g.Cells(1, 3), "B3");
}

TEST_F(GridDrag, RowsMovedInsideTheGridLandAboveOrBelowAndLeaveTheirOldPlace)
{
    struct Case {
        int top, bottom, dropRow;
        QString column; // column B from row 1 down, afterwards
    };
    const std::vector<Case> cases{
        {4, 5, 2, "B1 B4 B5 B2 B3 B6 B7"}, // above the dragged rows
        {2, 3, 6, "B1 B4 B5 B2 B3 B6 B7"}, // below them
    };
    for (const Case& k : cases) {
        FillCellNames(g, 6, 8);
        g.SetOptions(g.Options().With(goRowSelect));
        g.Navigation().SetAllowClipboardAlways(true);
        TDragDropSettings& dd = g.DragDropSettings();
        dd.SetOleDropTarget(true);
        dd.SetOleInsertRows(true);
        dd.SetOleRemoveRows(true);
        g.SetSelection({1, k.top, 5, k.bottom});
        const TRect target = g.CellRect(2, k.dropRow);
        CarryDragsTo carry(g.Widget()->viewport(), {QPoint(target.Left + 3, target.Top + 3)});
        DragFrom(1, k.top, 0, 8);
        EXPECT_EQ(carry.Drags, 1);
        QStringList column;
        for (int r = 1; r < g.RowCount(); ++r) column << g.Cells(1, r);
        EXPECT_EQ(column.join(' '), k.column) << "rows " << k.top << "-" << k.bottom << " to " << k.dropRow;
        QTest::qWait(350);
    }
}

TEST_F(GridDrag, PictureShowsTheFixedLineOnItsLeftEdge)
{
    g.SetGridFixedLineColor(0x0000FF); // red
    g.SetGridLineColor(0x00FF00);
    const QColor red(255, 0, 0);
    auto fromFirst = g.SelectionToForm({0, 1, 1, 2});
    ASSERT_TRUE(fromFirst);
    EXPECT_FALSE(fromFirst->isWindow());
    EXPECT_EQ(fromFirst->parentWidget(), g.Widget()->viewport());
    const QImage a = fromFirst->Picture().toImage();
    const QImage b = g.SelectionToForm({1, 1, 2, 2})->Picture().toImage();
    EXPECT_EQ(a.width(), g.AbsCellRect(1, 1).Right - g.AbsCellRect(0, 1).Left + 1);
    EXPECT_EQ(QColor(a.pixel(0, a.height() / 2)), red);
    EXPECT_NE(QColor(b.pixel(0, b.height() / 2)), red);
    g.SetOptions(g.Options().Without(goFixedVertLine));
    const QImage c = g.SelectionToForm({0, 1, 1, 2})->Picture().toImage();
    EXPECT_NE(QColor(c.pixel(0, c.height() / 2)), red);
}

TEST_F(GridDrag, ColumnMoveScrollsRightAtTheEdgeAndEndsOnRelease)
{
    g.SetColCount(20);
    g.SetOptions(g.Options().With(goColMoving));
    const int lastLeft = 20 - g.VisibleColCount();
    const QPoint at = CellCentre(2, 0);
    std::vector<int> moving;
    g.OnColumnMoving = [&](TExtStringGrid*, int acol, bool&) { moving.push_back(acol); };
    Press(at);
    MoveTo(at + QPoint(10, 0));
    EXPECT_EQ(g.GridState(), gsColMoving);
    ASSERT_NE(g.MoveForm(), nullptr);
    EXPECT_TRUE(g.MoveForm()->isVisible());
    EXPECT_EQ(g.Widget()->viewport()->cursor().shape(), Qt::DragMoveCursor);
    const int edge = g.ClientWidth() + 5;
    for (int i = 1; i <= 3; ++i) {
        MoveTo(QPoint(edge, at.y() + (i % 2)));
        EXPECT_EQ(g.LeftCol(), std::min(lastLeft, 1 + i)) << "move " << i;
    }
    EXPECT_FALSE(moving.empty());
    const QPoint drop = CellCentre(g.LeftCol() + 1, 0);
    const QString moved = g.Cells(2, 0);
    MoveTo(drop);
    Release(drop);
    EXPECT_EQ(g.MoveForm(), nullptr);
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_EQ(g.Cells(g.MouseCoord(drop.x(), drop.y()).X, 0), moved);
}

// The row axis of the same rule: down one row per move below the grid, up
// one per move over the fixed row, never past either end.
TEST_F(GridDrag, RowMoveScrollsDownBelowTheGridAndUpOverTheFixedRow)
{
    g.SetRowCount(30);
    g.SetOptions(g.Options().With(goRowMoving));
    const int lastTop = 30 - g.VisibleRowCount();
    const QPoint at = CellCentre(0, 2);
    Press(at);
    MoveTo(at + QPoint(0, 10));
    ASSERT_EQ(g.GridState(), gsRowMoving);
    const int below = g.ClientHeight() + 5;
    for (int i = 1; i <= 3; ++i) {
        MoveTo(QPoint(at.x() + (i % 2), below));
        EXPECT_EQ(g.TopRow(), std::min(lastTop, 1 + i)) << "move " << i;
    }
    const int reached = g.TopRow();
    const int overFixed = g.FixedRowsHeight() / 2;
    for (int i = 1; i <= reached; ++i) {
        MoveTo(QPoint(at.x() + (i % 2), overFixed));
        EXPECT_EQ(g.TopRow(), std::max(1, reached - i)) << "back " << i;
    }
    MoveTo(QPoint(at.x(), overFixed + 1));
    EXPECT_EQ(g.TopRow(), 1);
    Release(QPoint(at.x(), overFixed + 1));
    EXPECT_EQ(g.GridState(), gsNormal);
}

TEST_F(GridDrag, ColumnMoveArrowsMarkTheInsertionEdge)
{
    g.SetOptions(g.Options().With(goColMoving));
    Press(CellCentre(2, 0));
    // From the second move on the arrows stand at the edge the column would
    // go to: the right edge of a column right of the moved one, the left
    // edge of one left of it.
    struct Case {
        int col;
        bool rightEdge;
    };
    for (const Case& k : std::vector<Case>{{4, true}, {1, false}}) {
        MoveTo(CellCentre(k.col, 0));
        MoveTo(CellCentre(k.col, 0) + QPoint(1, 0));
        const TRect cell = g.AbsCellRect(k.col, 0);
        const int x = (k.rightEdge ? cell.Right : cell.Left) - 5;
        TArrowWindow* up = g.InsertionArrow(arrUp);
        TArrowWindow* down = g.InsertionArrow(arrDown);
        ASSERT_TRUE(up && down);
        EXPECT_TRUE(up->isVisible()) << k.col;
        EXPECT_EQ(up->pos(), QPoint(x, cell.Bottom)) << k.col;
        EXPECT_EQ(down->pos(), QPoint(x, cell.Top - 8)) << k.col;
    }
    Release(CellCentre(1, 0));
    EXPECT_FALSE(g.InsertionArrow(arrUp)->isVisible());
    EXPECT_EQ(g.Cells(1, 0), "C0");
}

TEST_F(GridDrag, RowMoveVetoAndNoDropCursor)
{
    g.SetOptions(g.Options().With(goRowMoving));
    const QPoint at = CellCentre(0, 2);
    // A no-drop answer shows the forbidden cursor; the move goes on.
    g.OnRowMoving = [](TExtStringGrid*, int, bool& allow) { allow = false; };
    Press(at);
    MoveTo(at + QPoint(0, 6));
    EXPECT_EQ(g.GridState(), gsRowMoving);
    EXPECT_EQ(g.Widget()->viewport()->cursor().shape(), Qt::ForbiddenCursor);
    // A veto of the move ends it: nothing moves on release.
    g.OnRowMove = [](TExtStringGrid*, int, bool& allow) { allow = false; };
    const QPoint drop = CellCentre(0, 5);
    MoveTo(drop);
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_EQ(g.MoveForm(), nullptr);
    Release(drop);
    EXPECT_EQ(g.Cells(1, 2), "B2");
    EXPECT_EQ(g.Cells(1, 5), "B5");
}

} // namespace
