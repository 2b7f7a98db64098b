#include "common/PixelSupport.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/Grids.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using enum TShiftStateItem;
using enum TScrollStyle;

namespace {

struct Probe : TCellObject {
    explicit Probe(int* deathCount) : deaths(deathCount) {}
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

TEST(StringGrid, RowsAndColsAsStringLists)
{
    std::unique_ptr<TStringGrid> g(MakeGrid(3, 4));
    g->SetStoreCell(0, 1, "old");
    g->SetStoreCell(2, 1, "old");
    g->SetRows(1, {"a", "b"});
    EXPECT_EQ(g->Rows(1), QStringList({"a", "b", ""})) << "the rest emptied";
    g->SetCols(2, {"p", "q", "r", "s", "beyond"});
    EXPECT_EQ(g->Cols(2), QStringList({"p", "q", "r", "s"}));
    EXPECT_EQ(g->StoreCell(2, 1), "q");
    g->SetCols(1, {});
    EXPECT_EQ(g->StoreCell(1, 1), "");
    EXPECT_EQ(g->Rows(1), QStringList({"a", "", "q"}));
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
    v.Cols.SetDefaultSize(50);
    v.Rows.SetDefaultSize(20);
    v.SetGridLineWidth(1);
    v.SetColCount(10);
    v.SetRowCount(100);
    v.Cols.SetFixedCount(1);
    v.Rows.SetFixedCount(1);
    v.Cols.SetFirst(1);
    v.Rows.SetFirst(1);
    v.SetClientSize(200, 105);
    EXPECT_EQ(v.CellRect(0, 0), (TRect{0, 0, 50, 20}));
    EXPECT_EQ(v.CellRect(2, 3), (TRect{102, 63, 152, 83}));
    // Rows 1..4 fit whole: 21 + 4 * 21 = 105.
    EXPECT_EQ(v.VisibleRowCount(), 4);
    EXPECT_EQ(v.VisibleColCount(), 2);
    EXPECT_EQ(v.MouseCoord(51, 21).X, 1);
    EXPECT_EQ(v.MouseCoord(51, 21).Y, 1);
    EXPECT_EQ(v.MouseCoord(10, 70).Y, 3);
    EXPECT_EQ(v.MouseCoord(600, 10).X, -1);

    EXPECT_TRUE(v.ScrollInView(2, 10));
    EXPECT_EQ(v.TopRow(), 7); // row 10 becomes the last whole row
    EXPECT_EQ(v.CellRect(1, 2), TRect{}); // scrolled away
    EXPECT_EQ(v.CellRect(0, 10).Top, 21 + 3 * 21);
    EXPECT_EQ(v.MaxTopRow(), 96);
    v.Rows.SetFirst(500);
    v.ClampTopLeft();
    EXPECT_EQ(v.TopRow(), 96);
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

TEST(CustomGrid, ProgramSetSelection)
{
    std::unique_ptr<TStringGrid> g(MakeGrid(6, 8));
    g->SetOptions(g->Options().Without(goRangeSelect));
    g->SetSelection({4, 5, 2, 3});
    EXPECT_EQ(g->Selection(), (TGridRect{2, 3, 4, 5}));
    EXPECT_EQ(g->Col(), 4);
    EXPECT_EQ(g->Row(), 5);
    // Shift does not extend without goRangeSelect; a move collapses it.
    int k = VK_UP;
    g->DoKeyDown(k, {ssShift});
    EXPECT_EQ(g->Selection(), (TGridRect{4, 4, 4, 4}));
    g->SetOptions(g->Options().With(goRowSelect));
    g->SetSelection({1, 2, 1, 3});
    EXPECT_EQ(g->Selection(), (TGridRect{1, 2, 5, 3}));
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

TEST(CustomGrid, MouseSizesAndMovesColumnsAndRows)
{
    std::unique_ptr<TStringGrid> g(MakeGrid(4, 6));
    g->SetDefaultColWidth(50);
    g->SetDefaultRowHeight(20);
    g->SetClientSize(400, 300);
    for (int r = 0; r < 6; ++r) g->SetStoreCell(1, r, QString::number(r));
    TGridState st = gsNormal;
    int index = -1;
    // Column 1's right edge in the fixed row (x = 51 + 50).
    g->CalcSizingState(101, 10, st, index);
    EXPECT_EQ(st, gsNormal) << "no sizing without goColSizing";
    g->SetOptions(g->Options().With(goColSizing).With(goRowMoving));
    g->CalcSizingState(101, 10, st, index);
    EXPECT_EQ(st, gsColSizing);
    EXPECT_EQ(index, 1);
    g->CalcSizingState(101, 40, st, index);
    EXPECT_EQ(st, gsNormal) << "only in the fixed row";

    g->MouseDown(mbLeft, {ssLeft}, 101, 10);
    g->MouseMove({ssLeft}, 131, 10);
    g->MouseUp(mbLeft, {}, 131, 10);
    EXPECT_EQ(g->ColWidths(1), 80);

    // Drag row 2 by its fixed cell onto row 4.
    g->MouseDown(mbLeft, {ssLeft}, 10, g->CellRect(0, 2).Top + 5);
    EXPECT_EQ(g->GridState(), gsRowMoving);
    g->MouseUp(mbLeft, {}, 10, g->CellRect(0, 4).Top + 5);
    EXPECT_EQ(g->StoreCell(1, 4), "2");
    EXPECT_EQ(g->StoreCell(1, 2), "3");
    EXPECT_EQ(g->GridState(), gsNormal);

    // A press and drag over cells selects a range.
    g->MouseDown(mbLeft, {ssLeft}, g->CellRect(1, 1).Left + 5, g->CellRect(1, 1).Top + 5);
    g->MouseMove({ssLeft}, g->CellRect(3, 3).Left + 5, g->CellRect(3, 3).Top + 5);
    g->MouseUp(mbLeft, {}, 0, 0);
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 3, 3}));
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
    const QRect cell = g.CellRect(2, 3).ToQRect();
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

    g.SetScrollBars(ssNone);
    EXPECT_EQ(w->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    g.SetScrollBars(ssVertical);
    EXPECT_EQ(w->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(w->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(GridWidget, EditorClassAndLimitComeFromTheGrid)
{
    struct LimitedEdit : TInplaceEdit {
        using TInplaceEdit::TInplaceEdit;
    };
    struct G : TStringGrid {
        std::unique_ptr<TCellEditor> CreateCellEditor(int) override
        {
            return std::make_unique<TTextCellEditor>(new LimitedEdit);
        }
        int GetEditLimit() override { return 3; }
    } g;
    g.SetOptions(g.Options().With(goEditing));
    TGridWidget* w = g.Widget();
    w->resize(300, 200);
    w->show();
    ASSERT_NE(dynamic_cast<LimitedEdit*>(g.InplaceEditor()), nullptr);
    g.ShowEditor();
    QTest::keyClicks(g.InplaceEditor(), "abcdef");
    g.HideEditor();
    EXPECT_EQ(g.StoreCell(1, 1), "abc");
}

TEST(GridWidget, KeysTheGridDoesNotUseReachTheWindow)
{
    QDialog dlg;
    TStringGrid g;
    g.CreateWidget(&dlg);
    auto* ok = new QPushButton("OK", &dlg);
    ok->setDefault(true);
    int okClicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(g.Widget());
    layout->addWidget(ok);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    g.Widget()->setFocus();

    // Enter without editing goes to the default button.
    QTest::keyClick(g.Widget(), Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    // With editing, Enter opens the editor and Enter again commits: the
    // dialog sees neither.
    g.SetOptions(g.Options().With(goEditing));
    QTest::keyClick(g.Widget(), Qt::Key_Return);
    EXPECT_TRUE(g.EditorMode());
    QTest::keyClick(g.InplaceEditor(), Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(okClicks, 1);

    // Tab moves the focus on, unless the grid uses it to walk its cells.
    g.Widget()->setFocus();
    QTest::keyClick(g.Widget(), Qt::Key_Tab);
    EXPECT_TRUE(ok->hasFocus());
    g.SetOptions(g.Options().With(goTabs));
    g.Widget()->setFocus();
    const int col = g.Col();
    QTest::keyClick(g.Widget(), Qt::Key_Tab);
    EXPECT_TRUE(g.Widget()->hasFocus());
    EXPECT_EQ(g.Col(), col + 1);
}

TEST(GridWidget, LeavingTheGridCommitsTheEditorThenFiresOnExit)
{
    QDialog dlg;
    TStringGrid g;
    g.CreateWidget(&dlg);
    auto* other = new QPushButton("Other", &dlg);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(g.Widget());
    layout->addWidget(other);
    g.SetOptions(g.Options().With(goEditing));
    std::vector<QString> log;
    g.OnEnter = [&](TCustomGrid*) { log.push_back("enter"); };
    g.OnExit = [&](TCustomGrid* s) { log.push_back("exit:" + static_cast<TStringGrid*>(s)->StoreCell(1, 1)); };
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    g.Widget()->setFocus();
    g.ShowEditor();
    ASSERT_TRUE(g.InplaceEditor()->hasFocus());
    QTest::keyClicks(g.InplaceEditor(), "kept");
    other->setFocus();
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.StoreCell(1, 1), "kept");
    EXPECT_EQ(log, (std::vector<QString>{"enter", "exit:kept"}));
    // Moving between the grid and its editor is neither.
    g.Widget()->setFocus();
    g.ShowEditor();
    g.Widget()->setFocus();
    EXPECT_EQ(log.size(), 3u);
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

namespace {
// A view that only records what the grid tells it.
struct RecordingView : TGridView {
    TCustomGrid* grid = nullptr;
    std::vector<QString> log;
    QString editorText;
    bool gone = false;
    void GridGone() override { gone = true; }
    bool HasParent() const override { return true; }
    void InvalidateAll() override { log.push_back("all"); }
    void InvalidateRect(const TRect& r) override
    {
        log.push_back(QString("rect %1,%2").arg(r.Left).arg(r.Top));
    }
    void SetRedraw(bool on) override { log.push_back(on ? "redraw on" : "redraw off"); }
    void ScrollBarsChanged() override { log.push_back("bars"); }
    void EditorOpened(const QString& text, int limit, const QString&) override
    {
        editorText = text;
        log.push_back(QString("open %1 %2").arg(text).arg(limit));
    }
    void EditorClosed() override { log.push_back("close"); }
    void PlaceEditor() override {}
    QString EditorText() const override { return editorText; }
    void SetEditorText(const QString& s) override { editorText = s; }
};

QImage PaintGrid(TCustomGrid& g)
{
    QImage img(g.ClientWidth(), g.ClientHeight(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    g.PaintTo(p);
    return img;
}
} // namespace

TEST(GridView, FocusFrameAndFocusedStateFollowSetFocusedWithoutAWindow)
{
    TStringGrid g;
    g.SetClientSize(400, 200);
    std::vector<TGridDrawState> currentStates;
    g.OnDrawCell = [&](TCustomGrid*, int c, int r, const TRect&, TGridDrawState s) {
        if (c == g.Col() && r == g.Row()) currentStates.push_back(s);
    };
    const TRect cell = g.CellRect(g.Col(), g.Row());
    ASSERT_FALSE(cell.IsEmpty());

    QImage img = PaintGrid(g);
    ASSERT_EQ(currentStates.size(), 1u);
    EXPECT_FALSE(currentStates[0].Contains(gdFocused));

    // Dark pixels of the dotted focus frame along the cell's top, one pixel in.
    auto frameDots = [&](const QImage& i) {
        int n = 0;
        for (int x = cell.Left + 1; x < cell.Right - 1; ++x) n += At(i, x, cell.Top + 1) == 0;
        return n;
    };
    EXPECT_EQ(frameDots(img), 0);

    g.SetFocused(true);
    img = PaintGrid(g);
    EXPECT_GT(frameDots(img), cell.Width() / 4);
    ASSERT_EQ(currentStates.size(), 2u);
    EXPECT_TRUE(currentStates[1].Contains(gdFocused));

    // While the editor is open the frame is not drawn.
    g.SetOptions(g.Options().With(goEditing));
    g.ShowEditor();
    img = PaintGrid(g);
    EXPECT_EQ(frameDots(img), 0);
}

TEST(GridView, TheGridTalksToItsViewOnlyThroughTheInterface)
{
    RecordingView view;
    {
        TStringGrid g;
        g.SetStoreCell(1, 1, "abc");
        g.AttachView(&view);
        EXPECT_TRUE(g.HandleAllocated());
        EXPECT_TRUE(g.HasParent());
        g.SetFocused(true);
        EXPECT_EQ(view.log.back(), "all");
        view.log.clear();

        g.SetOptions(g.Options().With(goEditing));
        g.ShowEditor();
        EXPECT_EQ(view.log.back(), "open abc 0");
        // What the user typed comes from the view.
        view.editorText = "typed";
        EXPECT_EQ(g.EditorText(), "typed");
        g.HideEditor();
        EXPECT_EQ(g.StoreCell(1, 1), "typed");
        EXPECT_NE(std::find(view.log.begin(), view.log.end(), "close"), view.log.end());

        view.log.clear();
        g.SetRowCount(40);
        EXPECT_NE(std::find(view.log.begin(), view.log.end(), "bars"), view.log.end());
        g.SetRedraw(false);
        EXPECT_EQ(view.log.back(), "redraw off");

        // A view that goes first is forgotten.
        g.DetachView(&view);
        EXPECT_FALSE(g.HandleAllocated());
        EXPECT_FALSE(g.Focused());
        g.Invalidate();
        g.AttachView(&view);
    }
    EXPECT_TRUE(view.gone);
}

TEST(GridWidget, FailingHandlersAreShownWhereTheyAreEnteredAndTheGridGoesOn)
{
    ScriptedMessages boxes;
    TStringGrid g;
    g.SetRowCount(60);
    TGridWidget* w = g.Widget();
    w->resize(300, 200);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));

    // The scroll bar's slot is entered straight from the signal, not through
    // the event dispatch: the widget's own guard must catch it.
    g.OnTopLeftChanged = [](TCustomGrid*) { throw Exception("scrolled"); };
    boxes.Expect("scrolled");
    w->verticalScrollBar()->setValue(5);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(g.TopRow(), 5);
    g.OnTopLeftChanged = nullptr;

    // A failing key handler abandons that key only.
    int failures = 1;
    g.OnKeyDown = [&](TCustomGrid*, int& key, TShiftState) {
        if (key == VK_DOWN && failures-- > 0) throw Exception("key");
    };
    boxes.Expect("key");
    w->setFocus();
    const int row = g.Row();
    QTest::keyClick(w, Qt::Key_Down);
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(g.Row(), row);
    QTest::keyClick(w, Qt::Key_Down);
    EXPECT_EQ(g.Row(), row + 1);
}
