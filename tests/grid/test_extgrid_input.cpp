// Keys, wheel, panning, update locking, the grid timer, focus and the
// scroll-bar geometry of the string grid.
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

using enum TShiftStateItem;

// A 5 x 10 grid (one fixed column and row), 400 x 250 pixels, no window.
std::unique_ptr<TExtStringGrid> SmallGrid()
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(5);
    g->SetRowCount(10);
    return g;
}

void Key(TExtStringGrid& g, int key, TShiftState shift = {})
{
    g.DoKeyDown(key, shift);
}

void Goto(TExtStringGrid& g, int c, int r)
{
    g.MoveColRow(c, r, true, true);
}

struct Pos {
    int c, r;
    bool operator==(const Pos&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Pos& p) { return os << "(" << p.c << "," << p.r << ")"; }
Pos At(const TExtStringGrid& g) { return {g.Col(), g.Row()}; }

// Sets the wheel's lines per notch for one test.
class WheelLines {
public:
    explicit WheelLines(int n) : m_old(QApplication::wheelScrollLines()) { QApplication::setWheelScrollLines(n); }
    ~WheelLines() { QApplication::setWheelScrollLines(m_old); }

private:
    int m_old;
};

} // namespace

// ---------------------------------------------------------------------------
// Keys

TEST(GridKeys, MovesTheCurrentCell)
{
    struct Case {
        const char* name;
        Pos from;
        int key;
        TShiftState shift;
        THomeEndAction homeEnd;
        int fixedFooters;
        Pos to;
    };
    const Case cases[] = {
        {"down", {2, 3}, VK_DOWN, {}, heFirstLastColumn, 0, {2, 4}},
        {"up at the first data row", {2, 1}, VK_UP, {}, heFirstLastColumn, 0, {2, 1}},
        {"right at the last column", {4, 3}, VK_RIGHT, {}, heFirstLastColumn, 0, {4, 3}},
        {"left stops before the fixed column", {1, 3}, VK_LEFT, {}, heFirstLastColumn, 0, {1, 3}},
        {"home: first selectable column", {3, 4}, VK_HOME, {}, heFirstLastColumn, 0, {1, 4}},
        {"end: last column", {2, 4}, VK_END, {}, heFirstLastColumn, 0, {4, 4}},
        {"ctrl+home: first data cell", {3, 6}, VK_HOME, {ssCtrl}, heFirstLastColumn, 0, {1, 1}},
        {"home by rows", {3, 6}, VK_HOME, {}, heFirstLastRow, 0, {3, 1}},
        {"end by rows", {3, 2}, VK_END, {}, heFirstLastRow, 0, {3, 9}},
        {"end by rows stops before the footer", {3, 2}, VK_END, {}, heFirstLastRow, 1, {3, 8}},
        {"end: last cell", {2, 2}, VK_END, {}, heFirstLastCell, 0, {4, 9}},
        {"home: first cell", {3, 7}, VK_HOME, {}, heFirstLastCell, 0, {1, 1}},
        {"page down", {2, 1}, VK_NEXT, {}, heFirstLastColumn, 0, {2, 9}},
        {"page up", {2, 9}, VK_PRIOR, {}, heFirstLastColumn, 0, {2, 1}},
    };
    for (const Case& k : cases) {
        auto g = SmallGrid();
        g->Navigation().SetHomeEndKey(k.homeEnd);
        g->SetFixedFooters(k.fixedFooters);
        Goto(*g, k.from.c, k.from.r);
        Key(*g, k.key, k.shift);
        EXPECT_EQ(At(*g), k.to) << k.name;
    }
}

TEST(GridKeys, HomeWithNoSelectableColumnStaysPut)
{
    auto g = SmallGrid();
    Goto(*g, 3, 4);
    g->OnSelectCell = [](TCustomGrid*, int, int, bool& can) { can = false; };
    EXPECT_EQ(g->FirstSelectableCol(4), -1);
    Key(*g, VK_HOME);
    EXPECT_EQ(At(*g), (Pos{3, 4}));
}

TEST(GridKeys, TabWalksTheCellsWithGoTabs)
{
    auto g = SmallGrid();
    g->SetOptions(g->Options().With(goTabs));
    Goto(*g, 4, 3);
    Key(*g, VK_TAB);
    EXPECT_EQ(At(*g), (Pos{1, 4}));
    Key(*g, VK_TAB, {ssShift});
    EXPECT_EQ(At(*g), (Pos{4, 3}));
}

TEST(GridKeys, CursorAdvanceWrapsAtTheEdges)
{
    struct Case {
        const char* name;
        TCursorAdvance advance;
        Pos from;
        int key;
        Pos to;
    };
    const Case cases[] = {
        {"loop right", caLoop, {4, 3}, VK_RIGHT, {1, 3}},
        {"loop left", caLoop, {1, 3}, VK_LEFT, {4, 3}},
        {"loop down", caLoop, {2, 9}, VK_DOWN, {2, 1}},
        {"loop up", caLoop, {2, 1}, VK_UP, {2, 9}},
        {"snake right goes to the next row", caSnake, {4, 3}, VK_RIGHT, {1, 4}},
        {"snake right on the last row stays in it", caSnake, {4, 9}, VK_RIGHT, {1, 9}},
        {"snake left goes to the row above", caSnake, {1, 3}, VK_LEFT, {4, 2}},
        {"snake down goes to the next column", caSnake, {2, 9}, VK_DOWN, {3, 1}},
        {"snake up goes to the column before", caSnake, {2, 1}, VK_UP, {1, 9}},
        {"default does not wrap", caDefault, {4, 3}, VK_RIGHT, {4, 3}},
        {"inside the grid nothing wraps", caSnake, {2, 3}, VK_RIGHT, {3, 3}},
    };
    for (const Case& k : cases) {
        auto g = SmallGrid();
        g->Navigation().SetCursorAdvance(k.advance);
        Goto(*g, k.from.c, k.from.r);
        Key(*g, k.key);
        EXPECT_EQ(At(*g), k.to) << k.name;
    }
}

// With the search bar shown and the grid scrolled to its end, the last row's
// corners hold the current cell: no wrapping past them, no step below.
TEST(GridKeys, TheSearchBarHoldsTheLastRowsCorners)
{
    struct Case {
        const char* name;
        Pos from;
        int key;
        Pos to;
    };
    const Case cases[] = {
        {"right in the last column", {4, 9}, VK_RIGHT, {4, 9}},
        {"left in the first column", {1, 9}, VK_LEFT, {1, 9}},
        {"down on the last row", {2, 9}, VK_DOWN, {2, 9}},
        {"right inside the row moves", {2, 9}, VK_RIGHT, {3, 9}},
        {"up from the last row moves", {2, 9}, VK_UP, {2, 8}},
        {"right above the last row wraps", {4, 8}, VK_RIGHT, {1, 8}},
    };
    for (const Case& k : cases) {
        auto g = SmallGrid();
        g->Navigation().SetCursorAdvance(caLoop);
        g->SearchFooter().SetVisible(true);
        Goto(*g, k.from.c, k.from.r);
        ASSERT_GE(g->TopRow(), g->RowCount() - g->VisibleRowCount()) << k.name;
        Key(*g, k.key);
        EXPECT_EQ(At(*g), k.to) << k.name;
        EXPECT_EQ(g->UpdateCount(), 0) << k.name;
    }
}

namespace {

// Rows 4 and 5 are disabled: the grid refuses to move onto them.
class DisabledRowsGrid : public TExtStringGrid {
public:
    DisabledRowsGrid()
    {
        SetRowEnabled(4, false);
        SetRowEnabled(5, false);
    }

protected:
    bool SelectCell(int c, int r) override { return RowEnabled(r) && TExtStringGrid::SelectCell(c, r); }
};

} // namespace

TEST(GridKeys, UpAndDownSkipDisabledRows)
{
    DisabledRowsGrid g;
    Goto(g, 2, 3);
    Key(g, VK_DOWN);
    EXPECT_EQ(g.Row(), 6);
    Key(g, VK_UP);
    EXPECT_EQ(g.Row(), 3);
    g.Navigation().SetSkipDisabledRows(false);
    Key(g, VK_DOWN);
    EXPECT_EQ(g.Row(), 3);
}

TEST(GridKeys, CtrlArrowsMoveTheSelectedRows)
{
    auto g = SmallGrid();
    g->Navigation().SetCursorMoveRows(true);
    for (int r = 1; r < 10; ++r) g->SetCells(1, r, QString::number(r));
    Goto(*g, 1, 3);
    Key(*g, VK_DOWN, {ssCtrl});
    EXPECT_EQ(g->Cells(1, 4), "3");
    EXPECT_EQ(g->Cells(1, 3), "4");
    EXPECT_EQ(g->Row(), 4);
    Key(*g, VK_UP, {ssCtrl});
    Key(*g, VK_UP, {ssCtrl});
    EXPECT_EQ(g->Cells(1, 2), "3");
    EXPECT_EQ(g->Cells(1, 3), "2");
    EXPECT_EQ(g->Row(), 2);

    // A block of rows moves as one and stays selected.
    g->SetSelection(TGridRect{1, 5, 1, 6});
    Key(*g, VK_DOWN, {ssCtrl});
    EXPECT_EQ(g->Cells(1, 6), "5");
    EXPECT_EQ(g->Cells(1, 7), "6");
    EXPECT_EQ(g->Cells(1, 5), "7");
    EXPECT_EQ(g->Selection(), (TGridRect{1, 6, 4, 7}));

    // Nothing moves past the first data row or the last row.
    const QStringList before = g->Cols(1);
    Goto(*g, 1, 1);
    Key(*g, VK_UP, {ssCtrl});
    Goto(*g, 1, 9);
    Key(*g, VK_DOWN, {ssCtrl});
    EXPECT_EQ(g->Cols(1), before);
}

TEST(GridKeys, MoveScrollOnlyMovesTheTopRowNotTheCurrentRow)
{
    auto g = SmallGrid();
    g->SetRowCount(40);
    g->Navigation().SetMoveScrollOnly(true);
    Goto(*g, 2, 3);
    Key(*g, VK_DOWN);
    EXPECT_EQ(g->TopRow(), 2);
    Key(*g, VK_NEXT);
    EXPECT_EQ(g->TopRow(), 2 + g->VisibleRowCount());
    Key(*g, VK_END);
    const int last = g->TopRow();
    EXPECT_EQ(last, 40 - g->VisibleRowCount());
    Key(*g, VK_DOWN);
    EXPECT_EQ(g->TopRow(), last);
    Key(*g, VK_HOME);
    EXPECT_EQ(g->TopRow(), 1);
    EXPECT_EQ(At(*g), (Pos{2, 3}));
    // Left and Right still move the current cell.
    Key(*g, VK_RIGHT);
    EXPECT_EQ(g->Col(), 3);
}

TEST(GridKeys, FixedCellsInsideTheDataAreStepOver)
{
    auto g = SmallGrid();
    g->OnIsFixedCell = [](TExtStringGrid*, int, int c, bool& fixed) { fixed = fixed || c == 2; };
    Goto(*g, 1, 3);
    Key(*g, VK_RIGHT);
    EXPECT_EQ(g->Col(), 3);
    Key(*g, VK_LEFT);
    EXPECT_EQ(g->Col(), 1);
}

TEST(GridKeys, DownOnTheLastRowAppendsARow)
{
    auto g = SmallGrid();
    g->Navigation().SetAppendOnArrowDown(true);
    std::vector<int> added;
    g->OnAutoAddRow = [&](TExtStringGrid*, int r) { added.push_back(r); };
    g->SetCells(1, 9, "last");
    Goto(*g, 1, 9);
    Key(*g, VK_DOWN);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->Row(), 10);
    EXPECT_EQ(added, std::vector<int>{10});
    EXPECT_EQ(g->Cells(1, 10), "");
    EXPECT_EQ(g->Cells(1, 9), "last");

    // Refused: nothing is added.
    g->OnCanAddRow = [](TExtStringGrid*, bool& can) { can = false; };
    Key(*g, VK_DOWN);
    EXPECT_EQ(g->RowCount(), 11);
}

TEST(GridKeys, AppendingAboveAFloatingFooterMovesTheWholeFooterRow)
{
    auto g = SmallGrid();
    g->Navigation().SetAppendOnArrowDown(true);
    g->FloatingFooter().SetVisible(true);
    g->SetCells(1, 9, "sum");
    g->SetColors(1, 9, clRed);
    g->SetCells(1, 8, "data");
    Goto(*g, 1, 8);
    ASSERT_TRUE(g->IsLastRow());
    Key(*g, VK_DOWN);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->Cells(1, 10), "sum");
    EXPECT_EQ(g->Colors(1, 10), clRed);
    EXPECT_EQ(g->Cells(1, 9), "");
    EXPECT_NE(g->Colors(1, 9), clRed);
    EXPECT_EQ(g->Cells(1, 8), "data");
    EXPECT_EQ(g->Row(), 9);
}

TEST(GridKeys, CtrlASelectsTheDataOnlyWithRangeOrRowSelect)
{
    auto g = SmallGrid();
    g->SetFixedFooters(1);
    int changes = 0;
    g->OnSelectionChanged = [&](TExtStringGrid*, int, int, int, int) { ++changes; };
    Goto(*g, 2, 2);
    Key(*g, 'A', {ssCtrl});
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 4, 8}));
    EXPECT_EQ(changes, 1);
    g->SetOptions(g->Options().Without(goRangeSelect));
    Goto(*g, 2, 2);
    changes = 0;
    Key(*g, 'A', {ssCtrl});
    EXPECT_EQ(g->Selection(), (TGridRect{2, 2, 2, 2}));
    EXPECT_EQ(changes, 0);
}

TEST(GridKeys, CtrlAFlagsTheRowsCallsItsHookAndEndsOnTheLastCell)
{
    struct HookGrid : TExtStringGrid {
        void DoSelectAll(const TGridRect& r) override { Hooked.push_back(r); }
        void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
        {
            Clicks.push_back({b == mbLeft && s == TShiftState(), x, y});
            TExtStringGrid::MouseDown(b, s, x, y);
        }
        void MouseUp(TMouseButton b, TShiftState s, int x, int y) override
        {
            Clicks.push_back({b == mbLeft && s == TShiftState(), x, y});
            TExtStringGrid::MouseUp(b, s, x, y);
        }
        std::vector<TGridRect> Hooked;
        struct Click {
            bool plainLeft;
            int x, y;
        };
        std::vector<Click> Clicks;
    } g;
    g.SetColCount(5);
    g.SetRowCount(10);
    g.SetFixedFooters(1);
    g.MouseActions().SetDisjunctRowSelect(true);
    Goto(g, 2, 2);
    Key(g, 'A', {ssCtrl});
    const TGridRect all{1, 1, 4, 8};
    EXPECT_EQ(g.Selection(), all);
    ASSERT_EQ(g.Hooked.size(), 1u);
    EXPECT_EQ(g.Hooked[0], all);
    EXPECT_EQ(At(g), (Pos{4, 8}));
    for (int r = 1; r <= 8; ++r) EXPECT_TRUE(g.RowSelect(r)) << r;
    EXPECT_FALSE(g.RowSelect(9)) << "the footer row is not selected";
    // A plain left press and release 2 pixels inside the last cell.
    const TRect last = g.CellRect(4, 8);
    ASSERT_EQ(g.Clicks.size(), 2u);
    for (const auto& c : g.Clicks) {
        EXPECT_TRUE(c.plainLeft);
        EXPECT_EQ(c.x, last.Left + 2);
        EXPECT_EQ(c.y, last.Top + 2);
    }
}

TEST(GridKeys, HomeAndEndByRowsKeepTheDisjunctRowFlags)
{
    struct Case {
        const char* name;
        int key;
        TShiftState shift;
        std::vector<int> flagged;
    } cases[] = {
        {"end: only the new row", VK_END, {}, {9}},
        {"home: only the new row", VK_HOME, {}, {1}},
        {"shift+end: the rows passed", VK_END, {ssShift}, {4, 5, 6, 7, 8, 9}},
    };
    for (const Case& k : cases) {
        auto g = SmallGrid();
        g->Navigation().SetHomeEndKey(heFirstLastRow);
        g->MouseActions().SetDisjunctRowSelect(true);
        Goto(*g, 2, 4);
        g->SetRowSelect(6, true);
        Key(*g, k.key, k.shift);
        std::vector<int> flagged;
        for (int r = 0; r < g->RowCount(); ++r)
            if (g->RowSelect(r)) flagged.push_back(r);
        EXPECT_EQ(flagged, k.flagged) << k.name;
    }
}

// ---------------------------------------------------------------------------
// Wheel, zoom and panning

TEST(GridWheel, MovesTheCurrentRowByTheSystemLinesClampedBeforeTheFooters)
{
    WheelLines three(3);
    auto g = SmallGrid();
    g->SetFixedFooters(1);
    Goto(*g, 2, 1);
    g->WheelNotch(true, {}, QPoint());
    EXPECT_EQ(g->Row(), 4);
    g->WheelNotch(true, {}, QPoint());
    g->WheelNotch(true, {}, QPoint());
    EXPECT_EQ(g->Row(), 8);
    g->WheelNotch(false, {}, QPoint());
    EXPECT_EQ(g->Row(), 5);
    g->MouseActions().SetWheelIncrement(1);
    g->WheelNotch(false, {}, QPoint());
    EXPECT_EQ(g->Row(), 4);
}

TEST(GridWheel, ScrollActionMovesTheTopRowOnly)
{
    WheelLines three(3);
    auto g = SmallGrid();
    g->SetRowCount(50);
    g->MouseActions().SetWheelAction(waScroll);
    Goto(*g, 2, 2);
    g->WheelNotch(true, {}, QPoint());
    EXPECT_EQ(g->TopRow(), 4);
    g->WheelNotch(false, {}, QPoint());
    g->WheelNotch(false, {}, QPoint());
    EXPECT_EQ(g->TopRow(), 1);
    EXPECT_EQ(g->Row(), 2);
}

TEST(GridWheel, SwallowedWithoutWheelOrOnASingleFixedRow)
{
    WheelLines three(3);
    auto g = SmallGrid();
    Goto(*g, 2, 2);
    g->SetEnableWheel(false);
    g->WheelNotch(true, {}, QPoint());
    EXPECT_EQ(g->Row(), 2);
    auto one = SmallGrid();
    one->SetFixedRowAlways(true);
    one->SetRowCount(1);
    one->WheelNotch(true, {}, QPoint());
    EXPECT_EQ(one->Row(), 0);
}

namespace {

class AutoSizeCounter : public TExtStringGrid {
public:
    void ZoomAutoSize() override { ++autosized; }
    int autosized = 0;
};

} // namespace

TEST(GridWheel, CtrlWheelZoomsWithinMinusTenToTen)
{
    WheelLines three(3);
    AutoSizeCounter g;
    const int w = g.ColWidths(1), h = g.RowHeights(1);
    for (int i = 0; i < 4; ++i) g.WheelNotch(true, {ssCtrl}, QPoint());
    EXPECT_EQ(g.ZoomFactor(), 9);
    EXPECT_EQ(g.autosized, 3);
    EXPECT_EQ(g.ColWidths(1), w + 9);
    EXPECT_EQ(g.RowHeights(1), h + 9);
    g.Zoom(-19);
    EXPECT_EQ(g.ZoomFactor(), -10);
    g.Zoom(-1);
    EXPECT_EQ(g.ZoomFactor(), -10);
    // A size that would not stay positive is kept.
    g.SetColWidths(2, 3);
    g.Zoom(5);
    g.Zoom(-5);
    EXPECT_EQ(g.ColWidths(2), 3);
}

TEST(GridPan, StepsOnlyMoreThanFivePixelsOffTheOrigin)
{
    auto g = SmallGrid();
    g->SetRowCount(40);
    Goto(*g, 2, 5);
    g->StartPan(QPoint(100, 100));
    ASSERT_TRUE(g->Panning());
    g->PanStep(QPoint(100, 105));
    EXPECT_EQ(g->Row(), 5);
    g->PanStep(QPoint(100, 106));
    EXPECT_EQ(g->Row(), 6);
    g->PanStep(QPoint(100, 94));
    EXPECT_EQ(g->Row(), 5);
    // Vertical panning never moves the column.
    g->PanStep(QPoint(300, 100));
    EXPECT_EQ(At(*g), (Pos{2, 5}));
    g->StopPan();
    g->SetIntelliPan(TIntelliPan::ipBoth);
    g->StartPan(QPoint(100, 100));
    g->PanStep(QPoint(106, 106));
    EXPECT_EQ(At(*g), (Pos{3, 6}));
    g->MouseActions().SetWheelAction(waScroll);
    g->PanStep(QPoint(100, 110));
    EXPECT_EQ(g->TopRow(), 2);
    EXPECT_EQ(g->Row(), 6);
    g->StopPan();
    EXPECT_FALSE(g->Panning());
}

TEST(GridPan, CursorsByDirectionAndOriginMarks)
{
    EXPECT_EQ(TExtStringGrid::PanCursorId(0, 0), 8000);
    EXPECT_EQ(TExtStringGrid::PanCursorId(1, 0), 8001);
    EXPECT_EQ(TExtStringGrid::PanCursorId(0, -1), 8002);
    EXPECT_EQ(TExtStringGrid::PanCursorId(0, 1), 8003);
    EXPECT_EQ(TExtStringGrid::PanCursorId(-1, 0), 8004);
    EXPECT_EQ(TExtStringGrid::PanCursorId(-1, 1), 8005);
    EXPECT_EQ(TExtStringGrid::PanCursorId(-1, -1), 8006);
    EXPECT_EQ(TExtStringGrid::PanCursorId(1, 1), 8007);
    EXPECT_EQ(TExtStringGrid::PanCursorId(1, -1), 8008);
    TExtStringGrid g;
    EXPECT_EQ(g.PanOriginMark(), "INTLI3");
    g.SetIntelliPan(TIntelliPan::ipHorizontal);
    EXPECT_EQ(g.PanOriginMark(), "INTLI2");
    g.SetIntelliPan(TIntelliPan::ipBoth);
    EXPECT_EQ(g.PanOriginMark(), "INTLI1");
    // The down cursor's picture has its arrow below the hot spot only.
    const QImage down = TExtStringGrid::PanCursor(8001).pixmap().toImage();
    EXPECT_GT(qAlpha(down.pixel(16, 28)), 0);
    EXPECT_EQ(qAlpha(down.pixel(16, 4)), 0);
}

TEST(GridPan, HintsComeBackAsTheyWere)
{
    for (bool hint : {false, true}) {
        auto g = SmallGrid();
        g->ShowHint = hint;
        g->StartPan(QPoint(10, 10));
        EXPECT_FALSE(g->ShowHint);
        g->StopPan();
        EXPECT_EQ(g->ShowHint, hint);
    }
}

namespace {

// A parent that takes the grid's wheel offer.
class WheelTakingParent : public QWidget {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == GridWheelEventType()) {
            ++offers;
            e->accept();
            return true;
        }
        return QWidget::event(e);
    }
    int offers = 0;
};

void TurnWheel(QWidget* w, int delta)
{
    const QPointF at(20, 40);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(GridWheelWidget, AParentThatTakesTheWheelLeavesTheOrdinaryStep)
{
    WheelLines three(3);
    WheelTakingParent parent;
    TExtStringGrid g;
    g.CreateWnd(&parent);
    parent.resize(400, 300);
    parent.show();
    Goto(g, 1, 1);
    TurnWheel(g.Widget()->viewport(), -120);
    EXPECT_EQ(parent.offers, 1);
    EXPECT_EQ(g.Row(), 2);

    QWidget plain;
    TExtStringGrid h;
    h.CreateWnd(&plain);
    plain.show();
    Goto(h, 1, 1);
    TurnWheel(h.Widget()->viewport(), -120);
    EXPECT_EQ(h.Row(), 4);
    TurnWheel(h.Widget()->viewport(), 120);
    EXPECT_EQ(h.Row(), 1);
}

TEST(GridWheelWidget, MiddleButtonPansUntilTheNextPress)
{
    QWidget parent;
    TExtStringGrid g;
    g.CreateWnd(&parent);
    parent.show();
    QWidget* vp = g.Widget()->viewport();
    QTest::mousePress(vp, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 60));
    EXPECT_TRUE(g.Panning());
    EXPECT_EQ(g.PanOrigin(), QPoint(50, 60));
    auto* mark = vp->findChild<QLabel*>("INTLI3");
    ASSERT_NE(mark, nullptr);
    // The mark's white ground is left out; its dot is drawn.
    const QImage markImage = mark->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(markImage.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(markImage.pixel(16, 16)), 255);
    QTest::mouseRelease(vp, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 60));
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
    EXPECT_FALSE(g.Panning());
    EXPECT_EQ(vp->findChild<QWidget*>("INTLI3"), nullptr);
}

// ---------------------------------------------------------------------------
// Update locking, notifications, timer and focus

namespace {

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

} // namespace

TEST(GridUpdate, PaintingResumesAtTheLastEndUpdate)
{
    QWidget parent;
    TExtStringGrid g;
    g.CreateWnd(&parent);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    PaintCounter counter;
    g.Widget()->viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    counter.paints = 0;

    g.BeginUpdate();
    g.BeginUpdate();
    EXPECT_TRUE(g.LockUpdate());
    g.SetCells(1, 1, "x");
    g.Invalidate();
    QApplication::processEvents();
    g.EndUpdate();
    g.Invalidate();
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(g.UpdateCount(), 1);
    g.EndUpdate();
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_FALSE(g.LockUpdate());
    // An extra EndUpdate does not go below zero.
    g.EndUpdate();
    EXPECT_EQ(g.UpdateCount(), 0);
    // StartUpdate counts without stopping the painting; ResetUpdate drops it.
    g.StartUpdate();
    g.StartUpdate();
    EXPECT_TRUE(g.LockUpdate());
    g.ResetUpdate();
    EXPECT_FALSE(g.LockUpdate());
}

TEST(GridUpdate, CountsAlsoWithoutAWindow)
{
    TExtStringGrid g;
    g.SetLockUpdate(true);
    g.SetLockUpdate(true);
    g.SetLockUpdate(false);
    EXPECT_EQ(g.UpdateCount(), 1);
    g.SetLockUpdate(false);
    EXPECT_EQ(g.UpdateCount(), 0);
}

namespace {

class FooterCounter : public TExtStringGrid {
public:
    std::vector<int> calcs;

protected:
    void CalcFooter(int c) override { calcs.push_back(c); }
};

class Listener : public TGridChangeNotifier {
public:
    explicit Listener(std::vector<QString>& log) : m_log(log) {}
    void CellsChanged(const TGridRect& r) override { m_log.push_back(QString("notifier %1").arg(r.Top)); }

private:
    std::vector<QString>& m_log;
};

} // namespace

TEST(GridUpdate, CellChangesReachEventNotifiersAndFooters)
{
    FooterCounter g;
    std::vector<QString> log;
    g.OnCellsChanged = [&](TExtStringGrid*, const TGridRect& r) { log.push_back(QString("event %1").arg(r.Top)); };
    Listener a(log), b(log);
    g.RegisterNotifier(&a);
    g.RegisterNotifier(&b);
    g.CellsChanged(TGridRect{1, 3, 2, 4});
    EXPECT_EQ(log, (std::vector<QString>{"event 3", "notifier 3", "notifier 3"}));
    EXPECT_EQ(g.calcs, std::vector<int>{-1});
    g.CellsLoaded();
    g.ColumnCellChanged(2);
    EXPECT_EQ(g.calcs, (std::vector<int>{-1, -1, 2}));
}

TEST(GridTimer, RunsEveryHalfSecond)
{
    TExtStringGrid g;
    ASSERT_NE(g.GridTimer(), nullptr);
    EXPECT_EQ(g.GridTimer()->interval(), 500);
    EXPECT_TRUE(g.GridTimer()->isActive());
}

TEST(GridTimer, IncrementalSearchTextIsForgottenOnTheFourthTick)
{
    TExtStringGrid g;
    g.Navigation().SetAutoGotoIncremental(true);
    g.SearchInc = "ab";
    g.SearchTics = 0;
    for (int i = 0; i < 3; ++i) g.GridTimerTick();
    EXPECT_EQ(g.SearchInc, "ab");
    g.GridTimerTick();
    EXPECT_EQ(g.SearchInc, "");
    EXPECT_EQ(g.SearchTics, 0);
    EXPECT_EQ(g.TimerTicks(), 4);
}

TEST(GridTimer, BlinkingCellsFlipEachTick)
{
    TExtStringGrid g;
    g.SetEnableBlink(true);
    g.SetCells(1, 1, "<blink>x</blink>");
    const bool phase = g.GridBlink();
    g.GridTimerTick();
    EXPECT_NE(g.GridBlink(), phase);
    g.GridTimerTick();
    EXPECT_EQ(g.GridBlink(), phase);
}

TEST(GridTimer, HoveringMakesTheCellUnderThePointerCurrent)
{
    QWidget parent;
    TExtStringGrid g;
    g.CreateWnd(&parent);
    parent.resize(400, 300);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    const TRect cell = g.CellRect(3, 4);
    QCursor::setPos(g.Widget()->viewport()->mapToGlobal(QPoint(cell.Left + 5, cell.Top + 5)));
    g.GridTimerTick();
    EXPECT_EQ(At(g), (Pos{1, 1}));
    g.SetHovering(true);
    g.GridTimerTick();
    EXPECT_EQ(At(g), (Pos{3, 4}));
}

TEST(GridFocus, LeavingCommitsTheEditorBeforeOnExit)
{
    QDialog dlg;
    TExtStringGrid g;
    g.CreateWnd(&dlg);
    auto* other = new QPushButton("Other", &dlg);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(g.Widget());
    layout->addWidget(other);
    g.SetOptions(g.Options().With(goEditing));
    std::vector<QString> log;
    g.OnExit = [&](TCustomGrid*) { log.push_back("exit:" + g.Cells(1, 1)); };
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    g.Widget()->setFocus();
    g.ShowEditor();
    QTest::keyClicks(g.InplaceEditor(), "kept");
    other->setFocus();
    EXPECT_EQ(log, std::vector<QString>{"exit:kept"});
    // While the grid blocks it, losing the focus does nothing.
    g.Widget()->setFocus();
    g.FBlockKill = true;
    other->setFocus();
    EXPECT_EQ(log.size(), 1u);
}

TEST(GridFocus, AlwaysEditOpensTheEditorAsTheFocusComesIn)
{
    QDialog dlg;
    TExtStringGrid g;
    g.CreateWnd(&dlg);
    auto* other = new QPushButton("Other", &dlg);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(g.Widget());
    layout->addWidget(other);
    g.SetOptions(g.Options().With(goEditing));
    g.Navigation().SetAlwaysEdit(true);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    other->setFocus();
    g.Widget()->setFocus();
    EXPECT_TRUE(g.EditorMode());
    // Without editing the permission starts refused.
    other->setFocus();
    g.SetOptions(g.Options().Without(goEditing));
    g.Widget()->setFocus();
    EXPECT_FALSE(g.EditorMode());
}

// ---------------------------------------------------------------------------
// Scroll bars

TEST(GridScroll, ProportionalThumbCoversTheVisibleFraction)
{
    TExtStringGrid g;
    g.SetColCount(11);
    for (int c = 0; c < 11; ++c) g.SetColWidths(c, 50);
    g.SetScrollProportional(true);
    // Fixed 1 + 51, data 1 + 10 x 51: 40 % of the data is visible.
    g.SetClientSize(52 + 204, 250);
    g.UpdateHScrollBar();
    const auto t = g.HThumb();
    ASSERT_TRUE(t.Set);
    EXPECT_EQ(t.Min, 0);
    EXPECT_EQ(t.Max - t.Page, 126);
    EXPECT_NEAR(double(t.Page) / (t.Max + 1), 0.40, 0.01);
    EXPECT_EQ(t.Pos, 0);
    g.SetLeftCol(g.Viewport().MaxLeftCol());
    g.UpdateHScrollBar();
    EXPECT_GE(g.HThumb().Pos, 100);
}

TEST(GridScroll, NoThumbWhenAllFitsOrTheFixedCellsFillTheWindow)
{
    TExtStringGrid g;
    g.SetScrollProportional(true);
    g.SetClientSize(1000, 1000);
    g.UpdateHScrollBar();
    g.UpdateVScrollBar();
    EXPECT_FALSE(g.HThumb().Set);
    EXPECT_FALSE(g.VThumb().Set);
    g.SetColCount(20);
    g.SetColWidths(0, 500);
    g.SetClientSize(300, 100);
    g.UpdateHScrollBar();
    EXPECT_FALSE(g.HThumb().Set);
    // Without ScrollProportional nothing is computed.
    TExtStringGrid h;
    h.SetRowCount(100);
    h.UpdateVScrollBar();
    EXPECT_FALSE(h.VThumb().Set);
    h.SetScrollProportional(true);
    h.UpdateVScrollBar();
    EXPECT_TRUE(h.VThumb().Set);
}

TEST(GridScroll, ThumbHintShowsTheRowAtTheTop)
{
    TExtStringGrid g;
    g.SetRowCount(1000);
    EXPECT_EQ(g.ScrollTargetRow(0), 1);
    EXPECT_EQ(g.ScrollTargetRow(127), 1000 - g.VisibleRowCount());
    EXPECT_EQ(g.ScrollHintText(true, g.ScrollTargetRow(127)), QString("Row : %1").arg(1000 - g.VisibleRowCount()));
    EXPECT_EQ(g.ScrollHintText(false, 3), "Col : 3");
    g.OnScrollHint = [](TExtStringGrid*, int r, QString& hint) { hint = QString("<b>%1</b>").arg(r); };
    EXPECT_EQ(g.ScrollHintText(true, 7), "<b>7</b>");
}

TEST(SlimScrollBar, ThumbPressAndDrag)
{
    struct Case {
        int length, fixedOffset, tail, visible, count, first, fixed;
        TSlimThumb want;
    };
    const Case cases[] = {
        // A short thumb is kept 20 pixels long.
        {200, 22, 0, 9, 100, 1, 1, {22, 20, true}},
        // Near the end it never reaches past the strip.
        {200, 22, 0, 9, 100, 91, 1, {180, 20, true}},
        // A long thumb: the visible fraction of the track.
        {200, 0, 0, 50, 100, 0, 0, {0, 100, true}},
        {200, 0, 0, 50, 100, 50, 0, {100, 100, true}},
        // Footer rows shorten the track.
        {200, 0, 40, 50, 100, 50, 0, {80, 80, true}},
        // Everything visible: nothing drawn.
        {200, 22, 0, 9, 10, 1, 1, {22, 160, false}},
    };
    for (const Case& k : cases) {
        const TSlimThumb t = SlimScrollThumb(k.length, k.fixedOffset, k.tail, k.visible, k.count, k.first, k.fixed);
        EXPECT_EQ(t.Start, k.want.Start) << k.first;
        EXPECT_EQ(t.Length, k.want.Length) << k.first;
        EXPECT_EQ(t.Shown, k.want.Shown) << k.first;
    }
    const TSlimThumb t = SlimScrollThumb(200, 22, 0, 9, 100, 50, 1);
    // A page up, not above the first data row; a page down, not past the last page.
    EXPECT_EQ(SlimScrollPress(t, t.Start - 1, 9, 100, 50, 1), 41);
    EXPECT_EQ(SlimScrollPress(t, t.Start + t.Length + 1, 9, 100, 50, 1), 59);
    EXPECT_EQ(SlimScrollPress(t, t.Start + 1, 9, 100, 50, 1), -1);
    EXPECT_EQ(SlimScrollPress(t, 0, 9, 100, 5, 1), 1);
    EXPECT_EQ(SlimScrollPress(t, 199, 9, 100, 88, 1), 91);
    // Dragging past the strip keeps the top row in range.
    EXPECT_EQ(SlimScrollDrag(1000, 200, 22, 9, 100, 50, 1), 91);
    EXPECT_EQ(SlimScrollDrag(-1000, 200, 22, 9, 100, 50, 1), 1);
    EXPECT_EQ(SlimScrollDrag(89, 200, 22, 9, 100, 10, 1), 60);
}

TEST(HintWindow, KeptTwoPixelsInsideItsScreen)
{
    const QRect screen(0, 0, 1920, 1080);
    const QRect r = KeepHintOnScreen(QRect(1900, 10, 100, 20), screen);
    EXPECT_EQ(r.x() + r.width(), 1918);
    EXPECT_EQ(r.width(), 100);
    const QRect b = KeepHintOnScreen(QRect(10, 1070, 100, 20), screen);
    EXPECT_EQ(b.y() + b.height(), 1078);
    EXPECT_EQ(KeepHintOnScreen(QRect(10, 10, 100, 20), screen), QRect(10, 10, 100, 20));
}
