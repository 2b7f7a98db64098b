#include "platform/Grids.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Probe : TCellObject {
    explicit Probe(int* deaths) : deaths(deaths) {}
    ~Probe() override { ++*deaths; }
    int* deaths;
};

TStringGrid* MakeGrid(int cols, int rows)
{
    auto* g = new TStringGrid;
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

} // namespace

TEST(GridStore, SparseCellsAndOwnedObjects)
{
    TGridCellStore s;
    s.SetColCount(4);
    s.SetRowCount(3);
    EXPECT_EQ(s.FilledCellCount(), 0u);
    EXPECT_EQ(s.RowData(1), nullptr);
    s.SetText(2, 1, "x");
    EXPECT_EQ(s.Text(2, 1), "x");
    EXPECT_EQ(s.Text(0, 1), "");
    EXPECT_EQ(s.FilledCellCount(), 1u);
    // Writing the empty text into a cell without object drops its entry and the row.
    s.SetText(2, 1, "");
    EXPECT_EQ(s.RowData(1), nullptr);

    int deaths = 0;
    auto* p = new Probe(&deaths);
    s.SetObject(1, 2, std::unique_ptr<TCellObject>(p));
    // Setting the object the cell already holds is harmless.
    s.SetObject(1, 2, std::unique_ptr<TCellObject>(p));
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(s.Object(1, 2), p);
    s.SetObject(1, 2, std::make_unique<Probe>(&deaths));
    EXPECT_EQ(deaths, 1);
    s.ClearCell(1, 2);
    EXPECT_EQ(deaths, 2);
}

TEST(GridStore, OutsideReadsEmptyAndWritesAreIgnored)
{
    TGridCellStore s;
    s.SetColCount(2);
    s.SetRowCount(2);
    EXPECT_EQ(s.Text(-1, 0), "");
    EXPECT_EQ(s.Text(5, 5), "");
    EXPECT_EQ(s.Object(2, 0), nullptr);
#ifdef QT_NO_DEBUG
    s.SetText(2, 0, "lost");
    s.SetText(0, -1, "lost");
    EXPECT_EQ(s.FilledCellCount(), 0u);
#endif
}

TEST(GridStore, RowAndColumnOperationsCarryCells)
{
    TGridCellStore s;
    s.SetColCount(3);
    s.SetRowCount(5);
    for (int r = 0; r < 5; ++r) s.SetText(0, r, QString::number(r));
    int deaths = 0;
    s.SetObject(2, 3, std::make_unique<Probe>(&deaths));
    const TGridRowData* row3 = s.RowData(3);

    s.InsertRows(1, 2);
    ASSERT_EQ(s.RowCount(), 7);
    EXPECT_EQ(s.Text(0, 0), "0");
    EXPECT_EQ(s.Text(0, 1), "");
    EXPECT_EQ(s.Text(0, 3), "1");
    // The row itself moved, not a copy of its cells.
    EXPECT_EQ(s.RowData(5), row3);
    EXPECT_NE(s.Object(2, 5), nullptr);

    s.MoveRow(5, 0);
    EXPECT_EQ(s.Text(0, 0), "3");
    EXPECT_EQ(s.Text(0, 1), "0");
    s.DeleteRows(0, 1);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(s.Text(0, 0), "0");

    auto parked = s.TakeRow(0);
    EXPECT_EQ(s.Text(0, 0), "");
    s.PutRow(4, std::move(parked));
    EXPECT_EQ(s.Text(0, 4), "0");

    s.SetText(1, 4, "b");
    s.SetText(2, 4, "c");
    s.MoveCol(0, 2);
    EXPECT_EQ(s.Text(0, 4), "b");
    EXPECT_EQ(s.Text(1, 4), "c");
    EXPECT_EQ(s.Text(2, 4), "0");
    s.InsertCols(0, 1);
    EXPECT_EQ(s.Text(1, 4), "b");
    s.DeleteCols(0, 2);
    EXPECT_EQ(s.Text(0, 4), "c");
    EXPECT_EQ(s.ColCount(), 2);
}

TEST(GridViewport, GeometryHitTestAndScrolling)
{
    TGridViewport v;
    v.DefaultColWidth = 50;
    v.DefaultRowHeight = 20;
    v.GridLineWidth = 1;
    v.SetColCount(10);
    v.SetRowCount(100);
    v.FixedCols = 1;
    v.FixedRows = 1;
    v.LeftCol = 1;
    v.TopRow = 1;
    v.ClientWidth = 200;
    v.ClientHeight = 105;
    EXPECT_EQ(v.CellRect(0, 0), QRect(0, 0, 50, 20));
    EXPECT_EQ(v.CellRect(2, 3), QRect(102, 63, 50, 20));
    // Rows 1..4 fit whole: 21 + 4 * 21 = 105.
    EXPECT_EQ(v.VisibleRowCount(), 4);
    EXPECT_EQ(v.VisibleColCount(), 2);
    EXPECT_EQ(v.MouseCoord(51, 21).X, 1);
    EXPECT_EQ(v.MouseCoord(51, 21).Y, 1);
    EXPECT_EQ(v.MouseCoord(10, 70).Y, 3);
    EXPECT_EQ(v.MouseCoord(600, 10).X, -1);

    EXPECT_TRUE(v.ScrollInView(2, 10));
    EXPECT_EQ(v.TopRow, 7); // row 10 becomes the last whole row
    EXPECT_EQ(v.CellRect(1, 2), QRect(0, 0, 0, 0)); // scrolled away
    EXPECT_EQ(v.CellRect(0, 10).top(), 21 + 3 * 21);
    EXPECT_EQ(v.MaxTopRow(), 96);
    v.TopRow = 500;
    v.ClampTopLeft();
    EXPECT_EQ(v.TopRow, 96);
}

TEST(CustomGrid, KeyboardMovesCurrentCellAndSelection)
{
    std::unique_ptr<TStringGrid> g(MakeGrid(5, 6));
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1);
    int k = VK_DOWN;
    g->DoKeyDown(k, {});
    k = VK_RIGHT;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    k = VK_DOWN;
    g->DoKeyDown(k, {ssShift});
    EXPECT_EQ(g->Selection(), (TGridRect{2, 2, 2, 3}));
    k = VK_END;
    g->DoKeyDown(k, {ssCtrl});
    EXPECT_EQ(g->Col(), 4);
    EXPECT_EQ(g->Row(), 5);
    EXPECT_EQ(g->Selection(), (TGridRect{4, 5, 4, 5}));
    k = VK_HOME;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->Col(), 1);
    // Fixed cells are never current; arrows stop at the edge.
    k = VK_LEFT;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->Col(), 1);

    // Tab walks only with goTabs, wrapping to the next row.
    g->SetOptions(g->Options().With(goTabs));
    g->SetCol(4);
    g->SetRow(2);
    k = VK_TAB;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 3);

    // OnSelectCell may refuse a move; OnKeyDown may swallow a key.
    g->OnSelectCell = [](TCustomGrid*, int c, int, bool& ok) { ok = c != 2; };
    k = VK_RIGHT;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->Col(), 1);
    g->OnSelectCell = nullptr;
    g->OnKeyDown = [](TCustomGrid*, int& key, TShiftState) { key = 0; };
    k = VK_DOWN;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->Row(), 3);
}

TEST(CustomGrid, EditorLifeCycleWithoutWindow)
{
    std::unique_ptr<TStringGrid> g(MakeGrid(4, 4));
    g->SetStoreCell(1, 1, "old");
    int k = VK_F2;
    g->DoKeyDown(k, {});
    EXPECT_FALSE(g->EditorMode()) << "no editing without goEditing";

    g->SetOptions(g->Options().With(goEditing));
    g->DoKeyDown(k, {});
    ASSERT_TRUE(g->EditorMode());
    EXPECT_EQ(g->EditorText(), "old");
    g->SetEditorText("new");
    QChar enter(VK_RETURN);
    g->DoKeyPress(enter);
    EXPECT_FALSE(g->EditorMode());
    EXPECT_EQ(g->StoreCell(1, 1), "new");

    // A typed character opens the editor with that character; Esc drops it.
    QChar ch('z');
    g->DoKeyPress(ch);
    ASSERT_TRUE(g->EditorMode());
    EXPECT_EQ(g->EditorText(), "z");
    QChar esc(VK_ESCAPE);
    g->DoKeyPress(esc);
    EXPECT_FALSE(g->EditorMode());
    EXPECT_EQ(g->StoreCell(1, 1), "new");

    // Moving away commits.
    g->ShowEditor();
    g->SetEditorText("moved");
    k = VK_DOWN;
    g->DoKeyDown(k, {});
    EXPECT_EQ(g->StoreCell(1, 1), "moved");
    EXPECT_EQ(g->Row(), 2);
}

TEST(CustomGrid, RowOperationsKeepCurrentCellAndHeights)
{
    std::unique_ptr<TStringGrid> g(MakeGrid(3, 10));
    for (int r = 0; r < 10; ++r) g->SetStoreCell(1, r, QString::number(r));
    g->SetRowHeights(5, 40);
    g->SetRow(5);
    g->InsertRows(2, 3);
    EXPECT_EQ(g->RowCount(), 13);
    EXPECT_EQ(g->Row(), 8);
    EXPECT_EQ(g->StoreCell(1, 8), "5");
    EXPECT_EQ(g->RowHeights(8), 40);
    g->DeleteRows(0, 4);
    EXPECT_EQ(g->StoreCell(1, 4), "5");
    EXPECT_EQ(g->Row(), 4);
    g->MoveRow(4, 1);
    EXPECT_EQ(g->StoreCell(1, 1), "5");
    EXPECT_EQ(g->RowHeights(1), 40);
    g->SetRowCount(2);
    EXPECT_EQ(g->Row(), 1);
}

TEST(GridWidget, ShowsScrollsAndEditsInPlace)
{
    TStringGrid g;
    g.SetColCount(6);
    g.SetRowCount(50);
    g.SetOptions(g.Options().With(goEditing));
    g.SetStoreCell(1, 1, "abc");
    TGridWidget* w = g.Widget();
    w->resize(300, 200);
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(g.ClientWidth(), w->viewport()->width());
    EXPECT_GT(w->verticalScrollBar()->maximum(), 1);

    // The scroll bar moves the top row.
    w->verticalScrollBar()->setValue(10);
    EXPECT_EQ(g.TopRow(), 10);
    g.SetTopRow(1);
    EXPECT_EQ(w->verticalScrollBar()->value(), 1);

    // A click selects, typing opens the editor over the cell, Enter commits.
    const QRect cell = g.CellRect(2, 3);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);
    w->setFocus();
    QTest::keyClicks(w, "h");
    ASSERT_TRUE(g.EditorMode());
    ASSERT_TRUE(w->Editor()->isVisible());
    EXPECT_TRUE(cell.contains(w->Editor()->geometry().center()));
    QTest::keyClicks(w->Editor(), "ello");
    QTest::keyClick(w->Editor(), Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(w->Editor()->isVisible());
    EXPECT_EQ(g.StoreCell(2, 3), "hello");

    // Down from the editor commits and moves on.
    QTest::keyClick(w, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    w->Editor()->setText("x");
    QTest::keyClick(w->Editor(), Qt::Key_Down);
    EXPECT_EQ(g.StoreCell(2, 3), "x");
    EXPECT_EQ(g.Row(), 4);

    // Page Down scrolls.
    QTest::keyClick(w, Qt::Key_PageDown);
    EXPECT_GT(g.TopRow(), 1);
}

TEST(GridWidget, GridAndWidgetMayGoInEitherOrder)
{
    {
        auto* parent = new QWidget;
        auto g = std::make_unique<TStringGrid>();
        g->CreateWidget(parent);
        delete parent; // takes the widget with it
        EXPECT_FALSE(g->HandleAllocated());
        g->Invalidate();
    }
    {
        QWidget parent;
        auto g = std::make_unique<TStringGrid>();
        QPointer<TGridWidget> w = g->CreateWidget(&parent);
        g.reset();
        EXPECT_TRUE(w.isNull());
    }
}
