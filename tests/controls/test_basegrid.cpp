#include "common/PixelSupport.h"
#include "controls/BaseGrid.h"
#include "controls/CellEditors.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using enum TShiftStateItem;
using enum TGridSelectionStyle;

namespace {

struct Graphic : TCellObject {
    explicit Graphic(int* deathCount) : deaths(deathCount) {}
    ~Graphic() override { ++*deaths; }
    int* deaths;
};

std::unique_ptr<TBaseGrid> Grid(int cols = 8, int rows = 8)
{
    auto g = std::make_unique<TBaseGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    return g;
}

} // namespace

TEST(BaseGridCells, PlainGridWithoutProperties)
{
    auto g = Grid();
    g->SetCells(2, 3, "a");
    EXPECT_EQ(g->Cells(2, 3), "a");
    EXPECT_EQ(g->GridCells(2, 3), "a");
    EXPECT_EQ(g->GetGridCell(2, 3), "a");
    EXPECT_FALSE(g->Objects(2, 3).has_value());
    EXPECT_FALSE(g->HasCellProps(2, 3));
    EXPECT_FALSE(g->HasCellPropsAny());
    // Reading outside answers empty and creates nothing.
    EXPECT_EQ(g->Cells(-1, 0), "");
    EXPECT_EQ(g->Cells(8, 0), "");
    EXPECT_FALSE(g->HasCellProps(8, 0));
    EXPECT_EQ(g->CellPropsOrNull(0, 99), nullptr);
#ifdef QT_NO_DEBUG
    g->SetCells(8, 0, "lost");
    g->SetCells(0, -1, "lost");
    EXPECT_EQ(g->Store().FilledCellCount(), 1u);
#endif
}

TEST(BaseGridCells, PropertiesAreCreatedOnDemandWithTheGridDefaults)
{
    auto g = Grid();
    g->Color = 0x123456;
    g->Font = QFont(QStringLiteral("DejaVu Sans"));
    g->Font.setPointSize(9);
    g->Font.setBold(true);
    g->SetWordWrap(false);
    TCellProperties* p = g->CellProperties(1, 2);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(g->HasCellPropsAny());
    EXPECT_EQ(g->CellProperties(1, 2), p) << "created once";
    EXPECT_EQ(g->GridObjects(1, 2), p);
    EXPECT_EQ(p->BrushColor(), 0x123456);
    EXPECT_EQ(p->BrushColorTo(), clNone);
    EXPECT_EQ(p->FontName(), "DejaVu Sans");
    EXPECT_EQ(p->FontSize(), 9);
    EXPECT_TRUE(p->FontStyle().Contains(cfsBold));
    EXPECT_FALSE(p->WordWrap());
    EXPECT_EQ(p->Alignment(), taLeftJustify);
    EXPECT_EQ(p->VAlignment(), vtaTop);
    EXPECT_EQ(p->Editor(), edNormal);
    EXPECT_TRUE(p->IsBaseCell());
    EXPECT_EQ(p->CellSpanX(), -1);
    EXPECT_EQ(p->CellSpanY(), -1);
    EXPECT_EQ(p->OwnerCol(), 1);
    EXPECT_EQ(p->OwnerRow(), 2);
    // Queries never create.
    EXPECT_FALSE(g->IsMergedCell(3, 3));
    EXPECT_EQ(g->GraphicObjects(3, 3), nullptr);
    EXPECT_FALSE(g->HasCellProps(3, 3));
}

TEST(BaseGridCells, ObjectsOnAnEmptyCellKeepItsTextEmpty)
{
    auto g = Grid();
    int x = 0;
    g->SetObjects(4, 4, &x);
    ASSERT_NE(g->ObjectAs<int*>(4, 4), nullptr);
    EXPECT_EQ(*g->ObjectAs<int*>(4, 4), &x);
    EXPECT_EQ(g->Cells(4, 4), "");
    EXPECT_TRUE(g->HasCellProps(4, 4));
    g->SetCells(5, 5, "t");
    g->SetObjects(5, 5, &x);
    EXPECT_EQ(g->Cells(5, 5), "t");
    // The value is read back only with its own type.
    g->SetObjects(6, 6, 42);
    EXPECT_EQ(g->ObjectAs<int*>(6, 6), nullptr);
    ASSERT_NE(g->ObjectAs<int>(6, 6), nullptr);
    EXPECT_EQ(*g->ObjectAs<int>(6, 6), 42);
    EXPECT_FALSE(g->Objects(1, 1).has_value());
    EXPECT_EQ(g->ObjectAs<int>(1, 1), nullptr);
    // Assign copies the value.
    TCellProperties copy(g.get(), 2, 2);
    copy.Assign(*g->CellProperties(6, 6));
    EXPECT_EQ(std::any_cast<int>(copy.CellObject()), 42);
}

TEST(BaseGridCells, PropertiesAreOwnedByTheirCell)
{
    auto g = Grid();
    int deaths = 0;
    TCellProperties* p = g->CellProperties(1, 1);
    // Setting the properties a cell already holds is harmless.
    g->SetCellProperties(1, 1, std::unique_ptr<TCellProperties>(p));
    EXPECT_EQ(g->CellPropsOrNull(1, 1), p);
    p->SetBrushColor(clRed);
    EXPECT_EQ(g->CellProperties(1, 1)->BrushColor(), clRed);

    // An owned graphic goes with the properties; one owned elsewhere stays.
    auto ownedBox = std::make_unique<Graphic>(&deaths);
    Graphic* owned = ownedBox.get();
    Graphic foreign(&deaths);
    g->SetGraphicObjectEx(1, 1, std::move(ownedBox));
    g->SetBorrowedGraphicEx(2, 2, &foreign);
    EXPECT_EQ(g->GraphicObjects(1, 1), owned);
    EXPECT_EQ(g->GraphicObjects(2, 2), &foreign);
    EXPECT_TRUE(g->CellPropsOrNull(1, 1)->OwnsGraphic());
    EXPECT_FALSE(g->CellPropsOrNull(2, 2)->OwnsGraphic());
    g->FreeCellPropsRect(0, 0, 7, 7);
    EXPECT_EQ(deaths, 1);
    EXPECT_FALSE(g->HasCellProps(1, 1));
    EXPECT_FALSE(g->HasCellProps(2, 2));

    // Clearing a cell frees its properties; copies belong to their own cell.
    g->CellProperties(3, 3)->SetFontColor(clBlue);
    auto copy = std::make_unique<TCellProperties>(g.get(), 4, 4);
    copy->Assign(*g->CellProperties(3, 3));
    EXPECT_EQ(copy->FontColor(), clBlue);
    EXPECT_EQ(copy->OwnerCol(), 4);
    g->SetCellProperties(4, 4, std::move(copy));
    g->ClearCellEx(3, 3);
    EXPECT_FALSE(g->HasCellProps(3, 3));
    EXPECT_EQ(g->CellPropsOrNull(4, 4)->FontColor(), clBlue);
    g->SetCellProperties(4, 4, nullptr);
    EXPECT_FALSE(g->HasCellProps(4, 4));
    // Properties made for another grid belong to the cell they are put in,
    // and outlive that grid.
    {
        TBaseGrid other;
        other.SetColCount(2);
        other.SetRowCount(2);
        g->SetCellProperties(5, 6, std::make_unique<TCellProperties>(&other, 0, 0));
    }
    TCellProperties* adopted = g->CellPropsOrNull(5, 6);
    ASSERT_NE(adopted, nullptr);
    EXPECT_EQ(adopted->OwnerGrid(), g.get());
    EXPECT_EQ(QPoint(adopted->OwnerCol(), adopted->OwnerRow()), QPoint(5, 6));
    adopted->SetBrushColor(clYellow); // repaints its cell of this grid
    // Moved through the raw slot: taken out without freeing, then owned by
    // the new cell.
    g->SetGridObject(6, 6, g->ReleaseStoreObject(5, 6));
    EXPECT_FALSE(g->HasCellProps(5, 6));
    EXPECT_EQ(g->GetGridObject(6, 6), adopted);
    EXPECT_EQ(g->CellProperties(6, 6)->BrushColor(), clYellow);
    g->FreeCellProps(6, 6);

    // Row operations carry properties with their cells.
    g->CellProperties(2, 5)->SetReadOnly(true);
    g->InsertRows(1, 2);
    EXPECT_TRUE(g->CellPropsOrNull(2, 7)->ReadOnly());
    EXPECT_EQ(g->CellProperties(2, 7)->OwnerRow(), 7);
    EXPECT_FALSE(g->HasCellProps(2, 5));
    g->DeleteRow(7);
    EXPECT_FALSE(g->HasCellProps(2, 7));

    // Destruction frees an owned graphic too.
    g->SetGraphicObjectEx(0, 0, std::make_unique<Graphic>(&deaths));
    g.reset();
    EXPECT_EQ(deaths, 2);

    // A graphic handed over while the grid is going is freed, not lost.
    struct Going : TBaseGrid {
        void StartDestroying() { FDestroying = true; }
    } going;
    going.SetColCount(2);
    going.SetRowCount(2);
    going.StartDestroying();
    going.SetGraphicObjectEx(1, 1, std::make_unique<Graphic>(&deaths));
    EXPECT_EQ(deaths, 3);
    EXPECT_FALSE(going.HasCellProps(1, 1));
}

TEST(BaseGridCells, DisplayTextHooks)
{
    auto g = Grid();
    g->SetCells(1, 1, "a");
    g->SetCells(1, 6, "b");
    int calls = 0;
    g->OnGetDisplText = [&](TBaseGrid*, int, int r, QString& v) {
        ++calls;
        v = v + "!" + QString::number(r);
    };
    EXPECT_EQ(g->Cells(1, 1), "a") << "FNormalRowCount 0: no hook";
    EXPECT_EQ(calls, 0);
    g->SetNormalRowCount(5);
    EXPECT_EQ(g->Cells(1, 1), "a!1");
    EXPECT_EQ(g->Cells(1, 6), "b");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(g->GridCells(1, 1), "a");

    g->OnGetDisplText = nullptr;
    QString seen;
    g->OnGetDisplWideText = [&](TBaseGrid*, int, int, QString& v) {
        seen = v;
        v += QChar(0x0416);
    };
    const QString coded = g->Cells(1, 1);
    EXPECT_EQ(seen, "a");
    ASSERT_TRUE(coded.startsWith("|\\"));
    EXPECT_EQ(coded, QString("|\\") + QChar(0) + QChar('a') + QChar(4) + QChar(0x16));
}

TEST(BaseGridCells, HiddenColumnsKeepTheirCellsPastTheShownOnes)
{
    struct G : TBaseGrid {
        int hidden = 0;
        int TotalColCount() const override { return ColCount() + hidden; }
    } g;
    g.SetColCount(5);
    g.SetRowCount(3);
    g.SetCells(4, 1, "last");
    g.CellProperties(4, 1)->SetReadOnly(true);
    // Hide one column: counted as hidden first, then the shown count drops.
    ++g.hidden;
    g.SetColCount(4);
    EXPECT_EQ(g.Cells(4, 1), "last");
    EXPECT_TRUE(g.CellPropsOrNull(4, 1)->ReadOnly());
    g.SetCells(4, 2, "written");
    EXPECT_EQ(g.GridCells(4, 2), "written");
    EXPECT_EQ(g.Cells(5, 1), "") << "past the total";
    // Shown again.
    --g.hidden;
    g.SetColCount(5);
    EXPECT_EQ(g.Cells(4, 1), "last");
    // Shrinking without hiding drops the cells.
    g.SetColCount(4);
    g.SetColCount(5);
    EXPECT_EQ(g.Cells(4, 1), "");
}

TEST(BaseGridCells, HiddenLastRowReportsWrites)
{
    struct G : TBaseGrid {
        int changed = 0;
        void LastRowChanged() override { ++changed; }
    } g;
    g.SetRowCount(4);
    g.SetCells(1, 3, "x");
    EXPECT_EQ(g.changed, 0);
    g.SetHideLastRow(true);
    g.SetCells(1, 3, "y");
    g.SetCells(1, 2, "y");
    EXPECT_EQ(g.changed, 1);
}

TEST(BaseGridCells, PageDownSkipsTheHiddenLastRow)
{
    auto g = Grid(4, 30);
    g->SetHideLastRow(true);
    int key = VK_NEXT;
    for (int i = 0; i < 10; ++i) {
        key = VK_NEXT;
        g->DoKeyDown(key, {});
    }
    EXPECT_EQ(g->Row(), 28);
    // Everything on screen: still not onto the hidden row.
    auto small = Grid(4, 4);
    small->SetHideLastRow(true);
    small->SetClientSize(400, 400);
    key = VK_NEXT;
    small->DoKeyDown(key, {});
    EXPECT_EQ(small->Row(), 2);
}

// ---------------------------------------------------------------------------

TEST(BaseGridMerge, RangeCodesAndQueries)
{
    auto g = Grid();
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r) g->SetCells(c, r, QString("%1,%2").arg(c).arg(r));
    g->MergeCells(1, 1, 3, 2);
    EXPECT_EQ(g->MergeCount(), 1);
    const TCellProperties* base = g->CellPropsOrNull(1, 1);
    EXPECT_TRUE(base->IsBaseCell());
    EXPECT_EQ(QPoint(base->CellSpanX(), base->CellSpanY()), QPoint(2, 1));
    const TCellProperties* far = g->CellPropsOrNull(3, 2);
    EXPECT_FALSE(far->IsBaseCell());
    EXPECT_EQ(QPoint(far->CellSpanX(), far->CellSpanY()), QPoint(2, 1));
    EXPECT_EQ(g->BaseCell(3, 2), QPoint(1, 1));
    EXPECT_EQ(far->GetBaseCell(3, 2), QPoint(1, 1));
    EXPECT_EQ(base->GetBaseCell(1, 1), QPoint(1, 1));
    EXPECT_EQ(g->CellExt(2, 1), QPoint(1, 1));
    EXPECT_EQ(g->FullCell(2, 2), (TGridRect{1, 1, 3, 2}));
    EXPECT_EQ(g->CellSpan(3, 2), QPoint(2, 1));
    EXPECT_TRUE(g->IsMergedCell(1, 1));
    EXPECT_TRUE(g->IsMergedNonBaseCell(2, 2));
    EXPECT_FALSE(g->IsMergedNonBaseCell(1, 1));
    EXPECT_TRUE(g->IsXMergedCell(2, 2));
    EXPECT_TRUE(g->IsYMergedCell(2, 2));
    int bc = 0, br = 0;
    EXPECT_FALSE(g->IsBaseCellPos(3, 2, bc, br));
    EXPECT_EQ(QPoint(bc, br), QPoint(1, 1));
    EXPECT_TRUE(g->IsBaseCellPos(5, 5, bc, br));
    EXPECT_EQ(QPoint(bc, br), QPoint(5, 5));
    EXPECT_EQ(g->Cells(3, 2), "1,1");
    EXPECT_EQ(g->MinRowSpan(1), 1);
    EXPECT_EQ(g->MaxRowSpan(1), 1);
    EXPECT_EQ(g->MinRowSpan(5), 8);

    // Writing any cell of the range changes what every cell shows.
    g->SetCells(2, 2, "merged");
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) EXPECT_EQ(g->Cells(c, r), "merged");
    EXPECT_EQ(g->GridCells(2, 2), "2,2");

    // The union rectangle for every cell of the range.
    g->SetDefaultColWidth(30);
    g->SetDefaultRowHeight(10);
    const TRect u = g->CellRect(3, 2);
    EXPECT_EQ(u, g->CellRect(1, 1));
    EXPECT_EQ(u, (TRect{30, 10, 120, 30}));
    EXPECT_EQ(g->CellSize(2, 1), QPoint(90, 20));

    // Splitting restores every cell and their own texts.
    g->SplitCells(2, 2);
    EXPECT_EQ(g->MergeCount(), 0);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) {
            const TCellProperties* p = g->CellPropsOrNull(c, r);
            ASSERT_NE(p, nullptr);
            EXPECT_TRUE(p->IsBaseCell());
            EXPECT_EQ(p->CellSpanX(), -1);
            EXPECT_EQ(p->CellSpanY(), -1);
        }
    EXPECT_EQ(g->Cells(3, 2), "3,2");
    EXPECT_EQ(g->Cells(1, 1), "merged");

    // Split of an unmerged cell only lowers the count.
    g->SplitCells(6, 6);
    EXPECT_EQ(g->MergeCount(), -1);
    EXPECT_FALSE(g->IsMergedCell(6, 6));

    // A 1 x 1 range is not merged; the count still rises.
    g->MergeCells(0, 0, 1, 1);
    EXPECT_EQ(g->MergeCount(), 0);
    EXPECT_FALSE(g->IsMergedCell(0, 0));
    EXPECT_EQ(g->CellSpan(0, 0), QPoint(0, 0));
}

TEST(BaseGridMerge, MergingOverARangeSplitsItFirst)
{
    auto g = Grid();
    g->MergeCells(1, 1, 3, 3);
    g->MergeCells(2, 2, 3, 2);
    // The rest of the old range is unmerged, not pointing to a dead base.
    EXPECT_FALSE(g->IsMergedCell(1, 1));
    EXPECT_FALSE(g->IsMergedCell(3, 1));
    EXPECT_FALSE(g->IsMergedCell(1, 3));
    EXPECT_EQ(g->BaseCell(4, 3), QPoint(2, 2));
    EXPECT_EQ(g->BaseCell(1, 3), QPoint(1, 3));
    EXPECT_GT(g->MergeCount(), 0);
}

TEST(BaseGridMerge, RowAndColumnSpanComparisons)
{
    auto g = Grid();
    EXPECT_FALSE(g->RowSpanIdentical(2, 3)) << "no vertical ranges";
    g->MergeCells(1, 2, 1, 2); // rows 2..3 in column 1
    g->MergeCells(4, 2, 1, 2);
    EXPECT_TRUE(g->RowSpanIdentical(2, 3));
    // Columns where only one of the rows is merged are skipped.
    g->MergeCells(6, 3, 1, 2); // rows 3..4 in column 6
    EXPECT_TRUE(g->RowSpanIdentical(3, 4));
    // Both rows merged in column 5, but in different ranges.
    g->MergeCells(5, 1, 1, 2);
    g->MergeCells(5, 3, 1, 2);
    EXPECT_FALSE(g->RowSpanIdentical(2, 3));

    auto h = Grid();
    h->MergeCells(2, 1, 2, 1); // columns 2..3 in row 1
    h->MergeCells(2, 5, 2, 1);
    EXPECT_TRUE(h->ColSpanIdentical(2, 3));
    h->MergeCells(3, 6, 2, 1); // columns 3..4 in row 6: column 2 is not merged there
    EXPECT_FALSE(h->ColSpanIdentical(2, 3));
}

TEST(BaseGridMerge, KeysMoveAroundARange)
{
    struct Case {
        int startCol, startRow, key, col, row;
    };
    // Range: columns 2..4, rows 3..4.
    const Case cases[] = {
        {2, 3, VK_RIGHT, 5, 3}, // from the base: past the range
        {2, 3, VK_DOWN, 2, 5},  {2, 3, VK_LEFT, 1, 3}, {2, 3, VK_UP, 2, 2},
        {5, 3, VK_LEFT, 2, 3},  // into the range: onto its base
        {2, 5, VK_UP, 2, 3},
    };
    for (const Case& c : cases) {
        auto g = Grid();
        g->MergeCells(2, 3, 3, 2);
        g->MoveColRow(c.startCol, c.startRow, true, true);
        int key = c.key;
        g->DoKeyDown(key, {});
        EXPECT_EQ(g->Col(), c.col) << c.startCol << "," << c.startRow << " key " << c.key;
        EXPECT_EQ(g->Row(), c.row) << c.startCol << "," << c.startRow << " key " << c.key;
    }
    // Down does nothing special when the range ends on the last row.
    auto g = Grid();
    g->MergeCells(2, 6, 1, 2);
    g->MoveColRow(2, 6, true, true);
    int key = VK_DOWN;
    g->DoKeyDown(key, {});
    EXPECT_EQ(g->Row(), 6);
    EXPECT_EQ(g->Col(), 2);
}

TEST(BaseGridMerge, TheWheelAndTabStepOverARange)
{
    auto g = Grid();
    g->MergeCells(2, 3, 1, 2); // rows 3..4 in column 2
    g->MoveColRow(2, 2, true, true);
    g->DoMouseWheelDown({}, {});
    EXPECT_EQ(g->Row(), 3) << "onto the base cell";
    g->DoMouseWheelDown({}, {});
    EXPECT_EQ(g->Row(), 5) << "past the range, not back to its base";
    g->DoMouseWheelUp({}, {});
    EXPECT_EQ(g->Row(), 3) << "up into the range: its base cell";
    g->DoMouseWheelUp({}, {});
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->Col(), 2);

    // Tab likewise steps over a range wider than one column.
    g->SetOptions(g->Options().With(goTabs));
    g->MergeCells(3, 2, 2, 1); // columns 3..4 in row 2
    int key = VK_TAB;
    g->DoKeyDown(key, {});
    EXPECT_EQ(g->Col(), 3);
    key = VK_TAB;
    g->DoKeyDown(key, {});
    EXPECT_EQ(g->Col(), 5);
    EXPECT_EQ(g->Row(), 2);
}

TEST(BaseGridMerge, AClickInsideARangeEditsItsBaseCell)
{
    auto g = Grid();
    g->SetOptions(g->Options().With(goEditing));
    g->SetDefaultColWidth(40);
    g->SetDefaultRowHeight(20);
    g->SetClientSize(400, 300);
    g->SetCells(2, 2, "base");
    g->SetCells(3, 3, "covered");
    g->MergeCells(2, 2, 2, 2);
    const TRect r = g->Viewport().AbsCellRect(3, 3);
    g->MouseDown(mbLeft, {ssLeft}, r.Left + 5, r.Top + 5);
    g->MouseUp(mbLeft, {}, r.Left + 5, r.Top + 5);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    g->ShowEditor();
    EXPECT_EQ(g->EditorText(), "base");
}

TEST(BaseGridMerge, LeftAndUpFromInsideLandOnTheNeighbour)
{
    auto g = Grid(10, 10);
    g->MergeCells(3, 3, 3, 3);
    // The current cell may stand inside a range when set directly.
    g->MoveColRow(5, 5, true, false);
    int key = VK_LEFT;
    g->DoKeyDown(key, {});
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 5);
    g->MoveColRow(5, 5, true, false);
    key = VK_UP;
    g->DoKeyDown(key, {});
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->Col(), 5);
}

// ---------------------------------------------------------------------------

namespace {
struct UndoFixture : ::testing::Test {
    std::unique_ptr<TBaseGrid> g = Grid();
    TExtGridUndoRedo u;
    std::vector<QString> undoSeen;
    void SetUp() override
    {
        g->SetUndoRedo(&u);
        u.OnUndo = [this](TExtGridUndoRedo*, TBaseGrid*, int c, int r, const QString& o, const QString& n) {
            undoSeen.push_back(QString("%1,%2:%3>%4").arg(c).arg(r).arg(o, n));
        };
    }
    void Change(int c, int r, const QString& v)
    {
        const QString old = g->Cells(c, r);
        g->SetCells(c, r, v);
        u.RegisterChange(c, r, old, v);
    }
};
} // namespace

TEST_F(UndoFixture, SingleChange)
{
    EXPECT_EQ(u.Grid(), g.get());
    g->SetCells(2, 3, "a");
    Change(2, 3, "b");
    u.Undo();
    EXPECT_EQ(g->Cells(2, 3), "a");
    ASSERT_EQ(undoSeen.size(), 1u);
    EXPECT_EQ(undoSeen[0], "2,3:b>a");
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_FALSE(u.CanUndo());
    EXPECT_TRUE(u.CanRedo());
    u.Redo();
    EXPECT_EQ(g->Cells(2, 3), "b");
    // Nothing left to undo beyond the start: no event.
    u.Undo();
    undoSeen.clear();
    u.Undo();
    EXPECT_TRUE(undoSeen.empty());
    EXPECT_EQ(u.Level(), 0);
}

TEST_F(UndoFixture, SequencesPlayBackWhole)
{
    g->SetCells(1, 1, "x1");
    g->SetCells(2, 2, "x2");
    u.StartSequence();
    Change(1, 1, "y1");
    Change(2, 2, "y2");
    u.StopSequence();
    EXPECT_EQ(u.Level(), 4);
    u.Undo();
    EXPECT_EQ(g->Cells(1, 1), "x1");
    EXPECT_EQ(g->Cells(2, 2), "x2");
    ASSERT_EQ(undoSeen.size(), 2u);
    EXPECT_EQ(undoSeen[0], "2,2:y2>x2") << "newest first";
    EXPECT_EQ(u.Level(), 0);
    u.Redo();
    EXPECT_EQ(g->Cells(1, 1), "y1");
    EXPECT_EQ(g->Cells(2, 2), "y2");
    EXPECT_EQ(u.Level(), 4);
}

TEST_F(UndoFixture, RedoOfAnOpenSequencePlaysAllOfIt)
{
    u.StartSequence();
    Change(1, 1, "a");
    Change(1, 2, "b");
    // No stop marker: undo them one by one, then redo from the start marker.
    u.Undo();
    u.Undo();
    EXPECT_EQ(g->Cells(1, 1), "");
    EXPECT_EQ(g->Cells(1, 2), "");
    u.Undo();
    EXPECT_EQ(u.Level(), 0);
    u.Redo();
    EXPECT_EQ(g->Cells(1, 1), "a");
    EXPECT_EQ(g->Cells(1, 2), "b");
    EXPECT_EQ(u.Level(), 3);
}

TEST_F(UndoFixture, UnmatchedStopKeepsTheLevelInRange)
{
    Change(1, 1, "a");
    u.StopSequence();
    u.Undo();
    EXPECT_EQ(u.Level(), 0);
    EXPECT_EQ(g->Cells(1, 1), "");
    u.Undo();
    EXPECT_EQ(u.Level(), 0);
}

TEST_F(UndoFixture, NewChangeDropsUndoneItems)
{
    Change(1, 1, "a");
    Change(1, 2, "b");
    u.Undo();
    Change(1, 3, "c");
    EXPECT_EQ(u.Count(), 2);
    EXPECT_EQ(u.Level(), 2);
    EXPECT_FALSE(u.CanRedo());
    EXPECT_EQ(u.Items(1).Row, TDisplRow(3));
}

TEST_F(UndoFixture, MaxLevelTrimsWholeSequences)
{
    u.SetMaxLevel(3);
    for (int i = 0; i < 4; ++i) Change(1, i, QString::number(i));
    EXPECT_EQ(u.Count(), 3);
    EXPECT_EQ(u.Level(), 3);
    EXPECT_EQ(u.Items(0).Row, TDisplRow(1));

    u.Reset();
    EXPECT_FALSE(u.CanUndo());
    EXPECT_FALSE(u.CanRedo());
    u.SetMaxLevel(4);
    u.StartSequence();
    Change(2, 1, "s1");
    Change(2, 2, "s2");
    u.StopSequence();
    Change(3, 1, "t");
    // The full list takes the next change by dropping the whole sequence,
    // never leaving half of it.
    ASSERT_EQ(u.Count(), 1);
    EXPECT_EQ(u.Items(0).Col, TRealCol(3));
    EXPECT_EQ(u.Level(), 1);
}

TEST(BaseGridUndo, LinksForgetEachOther)
{
    auto g = Grid();
    {
        TExtGridUndoRedo u;
        g->SetUndoRedo(&u);
        EXPECT_EQ(g->UndoRedo(), &u);
    }
    EXPECT_EQ(g->UndoRedo(), nullptr);
    TExtGridUndoRedo u;
    g->SetUndoRedo(&u);
    g.reset();
    EXPECT_EQ(u.Grid(), nullptr);
    u.RegisterChange(0, 0, "", "x");
    u.Undo(); // no grid: nothing
    EXPECT_EQ(u.Level(), 1);
}

// ---------------------------------------------------------------------------
// Painting

namespace {
QImage Render(TBaseGrid& g, int w = 300, int h = 150)
{
    g.SetClientSize(w, h);
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter p(&img);
    g.PaintTo(p);
    return img;
}
} // namespace

namespace {
// Cell colours come through the visual-properties hook, which the string grid
// fills from the cell properties; here a test grid does the same.
struct ColourGrid : TBaseGrid {
    std::vector<QPoint> contents;
    void GetVisualProperties(int c, int r, TVisualProperties& vp) override
    {
        if (const TCellProperties* p = CellPropsOrNull(c, r); p && p->BrushColor() != clNone)
            vp.Brush.Color = p->BrushColor();
    }
    void DrawCellContent(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState s) override
    {
        contents.emplace_back(c, r);
        TBaseGrid::DrawCellContent(canvas, c, r, rect, s);
    }
};
} // namespace

TEST(BaseGridPaint, BackgroundsLinesAndHiddenLastRow)
{
    ColourGrid g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetDefaultColWidth(60);
    g.SetDefaultRowHeight(20);
    g.Color = clWhite;
    g.FixedColor = 0x808000;
    g.CellProperties(2, 2)->SetBrushColor(clLime);
    QImage img = Render(g);
    EXPECT_EQ(At(img, 10, 10), 0x808000) << "fixed cell";
    EXPECT_EQ(At(img, 130, 50), clLime) << "cell colour from the visual-properties hook";
    EXPECT_EQ(At(img, 190, 50), clWhite);
    // Normal grid lines at the right and bottom edge of each cell.
    EXPECT_EQ(At(img, 179, 50), 0xC0C0C0);
    EXPECT_EQ(At(img, 150, 59), 0xC0C0C0);
    EXPECT_EQ(At(img, 59, 10), 0x808080) << "fixed line";
    // The current cell is not painted selected by default; the platform's
    // highlight stands for a range.
    EXPECT_EQ(At(img, 90, 30), clWhite);

    g.SetHideLastRow(true);
    g.CellProperties(2, 3)->SetBrushColor(clRed);
    img = Render(g);
    EXPECT_EQ(At(img, 130, 70), clWhite) << "last row painted over";
    EXPECT_EQ(At(img, 179, 70), clWhite) << "without lines";
}

TEST(BaseGridPaint, SelectionStylesAndActiveRow)
{
    TBaseGrid g;
    g.SetColCount(5);
    g.SetRowCount(4);
    g.SetDefaultColWidth(40);
    g.SetDefaultRowHeight(20);
    g.Color = clWhite;
    g.SetOptions(g.Options().With(goDrawFocusSelected));
    g.SetSelection({1, 1, 3, 1});
    QImage img = Render(g);
    EXPECT_EQ(At(img, 60, 30), ColorToRGB(clHighlight)) << "default style: the platform's colour";

    g.SetSelectionStyle(ssOffice2007);
    img = Render(g);
    // Upper half gradient from $D7FFFD, lower half (from row 29) from the mirror colour.
    EXPECT_EQ(At(img, 100, 22), 0xD7FFFD);
    EXPECT_EQ(At(img, 100, 29), 0x58D4FC);
    EXPECT_EQ(At(img, 100, 20), 0x8DD7D3) << "frame line on top";

    g.SetSelectionStyle(ssVista);
    g.SetOptions(g.Options().Without(goDrawFocusSelected));
    img = Render(g);
    EXPECT_EQ(At(img, 100, 22), 0xF8F8F8) << "grey set without focus";

    g.SetSelection({1, 2, 1, 2});
    g.SetSelectionStyle(ssDefault);
    g.SetActiveRowShow(true);
    g.SetActiveRowColor(clYellow);
    img = Render(g);
    EXPECT_EQ(At(img, 100, 50), clYellow) << "current row, other column";
    EXPECT_EQ(At(img, 60, 50), clWhite) << "the current cell itself";
    EXPECT_EQ(At(img, 20, 50), ColorToRGB(clBtnFace)) << "fixed column";

    g.SetActiveRowShow(false);
    g.SetHoverRow(true);
    g.SetHoverRowIdx(3);
    g.SetHoverRowColor(clAqua);
    img = Render(g);
    EXPECT_EQ(At(img, 100, 70), clAqua);
    EXPECT_EQ(At(img, 20, 70), ColorToRGB(clBtnFace)) << "fixed cells not hovered by default";
}

TEST(BaseGridPaint, MergedRangeIsPaintedOnceAsOneCell)
{
    ColourGrid g;
    g.SetColCount(5);
    g.SetRowCount(5);
    g.SetDefaultColWidth(40);
    g.SetDefaultRowHeight(20);
    g.Color = clWhite;
    g.MergeCells(1, 1, 3, 2);
    g.CellProperties(1, 1)->SetBrushColor(clLime);
    QImage img = Render(g);
    const long n = std::count(g.contents.begin(), g.contents.end(), QPoint(1, 1));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(std::count(g.contents.begin(), g.contents.end(), QPoint(2, 2)), 0);
    // One face over the union, no inner grid lines.
    EXPECT_EQ(At(img, 79, 30), clLime);
    EXPECT_EQ(At(img, 100, 39), clLime);
    EXPECT_EQ(At(img, 159, 30), 0xC0C0C0) << "the range's own right edge";
    // The next pass paints it again, once.
    g.contents.clear();
    Render(g);
    EXPECT_EQ(std::count(g.contents.begin(), g.contents.end(), QPoint(1, 1)), 1);
}

TEST(BaseGridPaint, PlanDecisions)
{
    struct G : TBaseGrid {
        bool style = false;
        bool UseStyleElements() override { return style; }
    } g;
    g.SetColCount(6);
    g.SetRowCount(6);
    g.SetDefaultColWidth(40);
    g.SetDefaultRowHeight(20);
    g.SetClientSize(400, 200);

    // Lines of width 3: h = 2, inside the cell's right and bottom edge.
    g.SetGridLineWidth(3);
    TBaseCellPlan p = g.PlanCell(2, 2, g.CellRect(2, 2), {}, clWhite, clBlack, true);
    EXPECT_EQ(p.Kind, TBaseCellPlan::ckCell);
    EXPECT_EQ(p.Rect, (TRect{80, 40, 120, 60}));
    EXPECT_EQ(p.HorzFrom, QPoint(79, 58));
    EXPECT_EQ(p.HorzTo, QPoint(119, 58));
    EXPECT_EQ(p.VertFrom, QPoint(118, 58));
    EXPECT_EQ(p.VertTo, QPoint(118, 38));
    EXPECT_EQ(p.ContentRect, (TRect{83, 43, 117, 57}));
    p = g.PlanCell(0, 2, g.CellRect(0, 2), {gdFixed}, clBtnFace, clBlack, true);
    EXPECT_EQ(p.LineWidth, 1);
    EXPECT_EQ(p.LineColor, 0x808080);
    EXPECT_EQ(p.ContentRect, (TRect{0, 40, 39, 58}));

    // The places of a selection three columns wide.
    g.SetSelectionStyle(ssWin7);
    g.SetSelection({2, 3, 4, 3});
    const int places[] = {1, 3, 2}; // left end, middle, right end
    for (int c = 2; c <= 4; ++c) {
        p = g.PlanCell(c, 3, g.CellRect(c, 3), {gdSelected}, clHighlight, clHighlightText, true);
        EXPECT_EQ(p.Background, TBaseCellPlan::bgSelectionFace);
        EXPECT_EQ(p.FacePlace, places[c - 2]);
        EXPECT_EQ(p.Face[0], 0xF8F8F8) << "no focus: the grey set";
        EXPECT_EQ(p.Font.Color, g.FontColor);
    }
    // Without horizontal lines the face reaches one pixel lower.
    g.SetOptions(g.Options().Without(goHorzLine));
    p = g.PlanCell(3, 3, g.CellRect(3, 3), {gdSelected}, clHighlight, clHighlightText, true);
    EXPECT_EQ(p.FaceRect.Bottom, p.Rect.Bottom + 1);
    EXPECT_FALSE(p.HorzLine);

    // The style engine paints fixed and selected cells itself.
    g.style = true;
    g.SetSelectionStyle(ssDefault);
    p = g.PlanCell(0, 1, g.CellRect(0, 1), {gdFixed}, clBtnFace, clBlack, true);
    EXPECT_EQ(p.Background, TBaseCellPlan::bgNone);

    // Hover colours leave fixed cells alone unless asked.
    g.SetHoverRow(true);
    g.SetHoverRowIdx(4);
    g.SetHoverRowColor(clAqua);
    EXPECT_EQ(g.PlanCell(0, 4, g.CellRect(0, 4), {gdFixed}, clBtnFace, clBlack, true).FillColor, clBtnFace);
    g.SetHoverRowCells({hcNormal, hcFixed});
    EXPECT_EQ(g.PlanCell(0, 4, g.CellRect(0, 4), {gdFixed}, clBtnFace, clBlack, true).FillColor, clAqua);
    // A mirror colour pair makes a mirrored background.
    g.SetActiveRowShow(true);
    g.SetActiveRowMirrorColor(clRed);
    g.SetActiveRowMirrorColorTo(clBlue);
    p = g.PlanCell(3, g.Row(), g.CellRect(3, g.Row()), {}, clWhite, clBlack, true);
    EXPECT_EQ(p.Background, TBaseCellPlan::bgMirror);

    // A covered cell hands over to its base once per pass.
    g.MergeCells(1, 1, 2, 2);
    p = g.PlanCell(2, 2, g.CellRect(2, 2), {}, clWhite, clBlack, true);
    EXPECT_EQ(p.Kind, TBaseCellPlan::ckBaseCell);
    EXPECT_EQ(p.BaseCell, QPoint(1, 1));
    g.CellProperties(1, 1)->SetPaintID(g.PaintID());
    EXPECT_EQ(g.PlanCell(2, 2, g.CellRect(2, 2), {}, clWhite, clBlack, true).Kind, TBaseCellPlan::ckSkip);
    EXPECT_EQ(g.PlanCell(1, 1, g.CellRect(1, 1), {}, clWhite, clBlack, true).Rect, (TRect{40, 20, 120, 60}));

    // A range scrolled partly under the fixed cells is clipped to the
    // scrollable area.
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.MergeCells(2, 3, 3, 1); // columns 2..4 in row 3
    g.SetClientSize(120, 200);
    g.SetLeftCol(3);
    ASSERT_EQ(g.LeftCol(), 3);
    p = g.PlanCell(2, 3, g.CellRect(2, 3), {}, clWhite, clBlack, true);
    EXPECT_LT(p.Rect.Left, g.FixedColsWidth());
    EXPECT_TRUE(p.Clip);
    EXPECT_EQ(p.ClipRect, (TRect{g.FixedColsWidth(), g.FixedRowsHeight(), 120, 200}));
    EXPECT_FALSE(g.PlanCell(4, 4, g.CellRect(4, 4), {}, clWhite, clBlack, true).Clip);
}

TEST(BaseGridPaint, PlanFollowsTheStateTheVisualHookLeaves)
{
    // A derived grid decides in its visual-properties hook whether a cell is
    // shown selected; the selection face, hover and lines follow its answer.
    struct G : TBaseGrid {
        bool select = false, unselect = false;
        void GetVisualProperties(int, int, TVisualProperties& vp) override
        {
            if (select) vp.State.Include(gdSelected);
            if (unselect) vp.State.Exclude(gdSelected);
        }
    } g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetClientSize(400, 200);
    g.SetSelectionStyle(ssVista);
    g.SetHoverRow(true);
    g.SetHoverRowIdx(2);
    g.SetHoverRowColor(clAqua);
    g.SetHoverRowCells({hcNormal});
    struct Case {
        bool select, unselect;
        TGridDrawState in;
        TBaseCellPlan::TBackground background;
        TColor fill;
    };
    const Case cases[] = {
        {false, false, {gdSelected}, TBaseCellPlan::bgSelectionFace, clAqua}, // selected: no hover colour
        {false, true, {gdSelected}, TBaseCellPlan::bgGradient, clAqua},       // the hook unselected it
        {true, false, {}, TBaseCellPlan::bgSelectionFace, clWhite},           // the hook selected it
        {false, false, {}, TBaseCellPlan::bgGradient, clAqua},
    };
    for (const Case& k : cases) {
        g.select = k.select;
        g.unselect = k.unselect;
        const TBaseCellPlan p = g.PlanCell(2, 2, g.CellRect(2, 2), k.in, clWhite, clHighlightText, true);
        EXPECT_EQ(p.Background, k.background) << k.select << k.unselect << k.in.Bits();
        EXPECT_EQ(p.State.Contains(gdSelected), p.Background == TBaseCellPlan::bgSelectionFace);
        if (p.Background != TBaseCellPlan::bgSelectionFace) {
            EXPECT_EQ(p.FillColor, k.fill);
        }
    }
    // The text starts in the grid's font colour, not the platform's
    // highlight text colour.
    g.FontColor = 0x123456;
    g.SetSelectionStyle(ssDefault);
    EXPECT_EQ(g.PlanCell(1, 1, g.CellRect(1, 1), {gdSelected}, clHighlight, clHighlightText, true).Font.Color,
              0x123456);
}

TEST(BaseGridWidget, ShowsScrollsAndEditsThroughTheBaseGrid)
{
    TBaseGrid g;
    g.SetColCount(5);
    g.SetRowCount(40);
    g.SetOptions(g.Options().With(goEditing));
    g.SetCells(1, 1, "first");
    TGridWidget* w = g.Widget();
    w->resize(320, 200);
    w->show();
    QApplication::processEvents();
    const QImage shot = w->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    w->setFocus();
    QTest::keyClick(w, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(w->Editor()->text(), "first");
    w->Editor()->setText("second");
    QTest::keyClick(w->Editor(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "second");
    for (int i = 0; i < 20; ++i) QTest::keyClick(w, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 21);
    EXPECT_GT(g.TopRow(), 1);
}

namespace {
// A grid whose real column 1 is hidden: display column d shows real column
// d for d < 1 and d + 1 after it.
class HidingGrid : public TBaseGrid {
public:
    using TBaseGrid::DisplColIndex;
    using TBaseGrid::RealColIndex;
    TDisplCol DisplColIndex(TRealCol c) override { return TDisplCol(c.Value() > 1 ? c.Value() - 1 : c.Value()); }
    TRealCol RealColIndex(TDisplCol c) override { return TRealCol(c.Value() >= 1 ? c.Value() + 1 : c.Value()); }
};
} // namespace

TEST(GridIndexes, KindsAreDistinctAndConvertOnlyThroughTheGrid)
{
    static_assert(!std::is_convertible_v<int, TRealCol>);
    static_assert(!std::is_convertible_v<TRealCol, int>);
    static_assert(!std::is_convertible_v<TRealCol, TDisplCol>);
    static_assert(!std::is_convertible_v<TDisplRow, TRealRow>);
    static_assert(!std::is_constructible_v<TDisplCol, TRealCol>);
    EXPECT_FALSE(TRealCol().Valid());
    EXPECT_EQ((TDisplRow(7) - TDisplRow(3)), 4);
    EXPECT_LT(TRealCol(2), TRealCol(3));

    auto g = Grid();
    EXPECT_EQ(g->DisplColIndex(TRealCol(3)), TDisplCol(3));
    EXPECT_EQ(g->RealRowIndex(TDisplRow(4)), TRealRow(4));
    EXPECT_EQ(g->RealColIndex(5), 5);

    HidingGrid h;
    EXPECT_EQ(h.DisplColIndex(TRealCol(3)), TDisplCol(2));
    EXPECT_EQ(h.RealColIndex(TDisplCol(2)), TRealCol(3));
    // The int forms go through the overridden typed ones.
    EXPECT_EQ(h.DisplColIndex(3), 2);
    EXPECT_EQ(h.RealColIndex(1), 2);
}

TEST(GridIndexes, UndoMovesToTheDisplayColumnOfTheRealCell)
{
    HidingGrid h;
    h.SetColCount(6);
    h.SetRowCount(6);
    TExtGridUndoRedo u;
    h.SetUndoRedo(&u);
    // Real column 4 is shown as display column 3.
    h.SetCells(4, 2, "old");
    h.SetCells(4, 2, "new");
    u.RegisterChange(4, 2, "old", "new");
    EXPECT_EQ(u.Items(0).Col, TRealCol(4));
    EXPECT_EQ(u.Items(0).Row, TDisplRow(2));
    u.Undo();
    EXPECT_EQ(h.Cells(4, 2), "old");
    EXPECT_EQ(h.Col(), 3);
    EXPECT_EQ(h.Row(), 2);
}

namespace {
// A stand-in editor of one kind: a spin box that keeps Up and Down.
struct StubSpinEditor : TCellEditor {
    QPointer<QSpinBox> box = new QSpinBox;
    ~StubSpinEditor() override { delete box.data(); }
    QWidget* Control() const override { return box; }
    void LoadText(const QString& text) override { box->setValue(text.toInt()); }
    QString Text() const override { return QString::number(box->value()); }
    bool WantsKey(int key, TShiftState) const override { return key == VK_UP || key == VK_DOWN; }
};

// Registers an editor factory for one kind for the life of the test.
struct ScopedEditor {
    TEditorType kind;
    TCellEditorFactory previous;
    ScopedEditor(TEditorType k, TCellEditorFactory f)
        : kind(k), previous(TCellEditorRegistry::Instance().Register(k, std::move(f)))
    {
    }
    ~ScopedEditor() { TCellEditorRegistry::Instance().Register(kind, std::move(previous)); }
};
} // namespace

TEST(CellEditorRegistry, TextEditorIsRegisteredAndServesUnregisteredKinds)
{
    TCellEditorRegistry& reg = TCellEditorRegistry::Instance();
    EXPECT_TRUE(reg.IsRegistered(edNormal));
    EXPECT_FALSE(reg.IsRegistered(edGridDropDown));
    auto e = reg.Create(edGridDropDown);
    EXPECT_NE(dynamic_cast<TTextCellEditor*>(e.get()), nullptr);
}

TEST(CellEditorRegistry, AStubEditorRegisteredForOneKindEditsItsCells)
{
    int made = 0;
    ScopedEditor scoped(edSpinEdit, [&] {
        ++made;
        return std::make_unique<StubSpinEditor>();
    });
    TBaseGrid g;
    g.SetColCount(5);
    g.SetRowCount(5);
    g.SetOptions(g.Options().With(goEditing));
    g.SetCells(2, 2, "5");
    g.SetCells(1, 1, "text");
    g.CellProperties(2, 2)->SetEditor(edSpinEdit);
    TGridWidget* w = g.Widget();
    w->resize(320, 200);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));

    // A text cell opens the text editor.
    g.MoveColRow(1, 1, true, true);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_NE(dynamic_cast<TTextCellEditor*>(w->ActiveEditor()), nullptr);
    QTest::keyClick(w->ActiveEditor()->Control(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());

    // The spin cell opens the stub: it keeps Up, Enter still commits.
    g.MoveColRow(2, 2, true, true);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    auto* stub = dynamic_cast<StubSpinEditor*>(w->ActiveEditor());
    ASSERT_NE(stub, nullptr);
    EXPECT_TRUE(stub->box->isVisible());
    EXPECT_TRUE(g.CellRect(2, 2).ToQRect().contains(stub->box->geometry().center()));
    EXPECT_EQ(stub->box->value(), 5);
    QTest::keyClick(stub->box, Qt::Key_Up);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(stub->box->value(), 6);
    QTest::keyClick(stub->box, Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_FALSE(stub->box->isVisible());
    EXPECT_EQ(g.Cells(2, 2), "6");

    // One editor per kind, made once.
    QTest::keyClick(w, Qt::Key_F2);
    EXPECT_EQ(w->ActiveEditor(), stub);
    g.HideEditor();
    EXPECT_EQ(made, 1);
}

TEST(BaseGridCells, CellDefaultsHookFillsNewPropertiesThroughOneStruct)
{
    struct G : TBaseGrid {
        void GetCellDefaults(int c, int r, TCellLook& look) override
        {
            TBaseGrid::GetCellDefaults(c, r, look);
            if (c == 2) {
                look.Brush.Color = clYellow;
                look.ColorTo = clRed;
                look.HAlign = taCenter;
                look.VAlign = vtaBottom;
                look.WordWrap = false;
                look.GradientDir = GradientHorizontal;
            }
        }
    } g;
    g.SetColCount(4);
    g.SetRowCount(4);
    const TCellProperties* p = g.CellProperties(2, 1);
    EXPECT_EQ(p->BrushColor(), clYellow);
    EXPECT_EQ(p->BrushColorTo(), clRed);
    EXPECT_EQ(p->Alignment(), taCenter);
    EXPECT_EQ(p->VAlignment(), vtaBottom);
    EXPECT_FALSE(p->WordWrap());
    EXPECT_EQ(p->GradientDirection(), GradientHorizontal);
    const TCellProperties* q = g.CellProperties(1, 1);
    EXPECT_EQ(q->BrushColor(), g.Color);
    EXPECT_EQ(q->BrushColorTo(), clNone);
    EXPECT_TRUE(q->WordWrap());
}
