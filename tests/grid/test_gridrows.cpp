// Hidden columns and rows, the index spaces, and the row and column
// operations of the string grid.
#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <set>

namespace {

// A grid whose cell (1, r) reads "r<r>" and whose cell (c, 0) reads "c<c>"
// for every other column, so that rows and columns can be recognised
// wherever they went.
std::unique_ptr<TExtStringGrid> Marked(int cols = 6, int rows = 12)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    for (int r = 0; r < rows; ++r) g->SetCells(1, r, QStringLiteral("r%1").arg(r));
    for (int c = 0; c < cols; ++c)
        if (c != 1) g->SetCells(c, 0, QStringLiteral("c%1").arg(c));
    return g;
}

// The row marks down the screen.
QStringList Shown(TExtStringGrid& g)
{
    QStringList l;
    for (int r = 0; r < g.RowCount(); ++r) l << g.Cells(1, r);
    return l;
}

QStringList MarksExcept(int rows, const std::set<int>& hidden)
{
    QStringList l;
    for (int r = 0; r < rows; ++r)
        if (!hidden.count(r)) l << QStringLiteral("r%1").arg(r);
    return l;
}

} // namespace

// ---------------------------------------------------------------------------
// Index mapping

TEST(GridHidden, MappingIdentitiesOverRandomHideSets)
{
    std::mt19937 rnd(17);
    for (int round = 0; round < 20; ++round) {
        auto g = Marked(30, 40);
        std::set<int> cols, rows;
        for (int k = 0; k < 12; ++k) cols.insert(int(rnd() % 30));
        for (int k = 0; k < 15; ++k) rows.insert(int(rnd() % 40));
        for (int c : cols) g->HideColumn(c);
        std::vector<int> order(rows.begin(), rows.end());
        std::shuffle(order.begin(), order.end(), rnd);
        for (int r : order) g->HideRow(r);

        ASSERT_EQ(g->NumHiddenColumns() + g->ColCount(), 30);
        ASSERT_EQ(g->NumHiddenRows() + g->RowCount(), 40);
        for (int d = 0; d < g->ColCount(); ++d) {
            const int real = g->RealColIndex(d);
            EXPECT_FALSE(g->IsHiddenColumn(real));
            EXPECT_EQ(g->DisplColIndex(real), d);
            if (real != 1) {
                EXPECT_EQ(g->AllCells(real, TRealRow(0)), QStringLiteral("c%1").arg(real));
            }
        }
        for (int c : cols)
            if (g->IsHiddenColumn(c)) {
                EXPECT_EQ(g->DisplColIndex(c), g->DisplColIndex(c + 1)) << c;
            }
        for (int d = 0; d < g->RowCount(); ++d) {
            const int real = g->RealRowIndex(d);
            EXPECT_FALSE(g->IsHiddenRow(real));
            EXPECT_EQ(g->DisplRowIndex(real), d);
            EXPECT_EQ(g->Cells(1, d), QStringLiteral("r%1").arg(real));
        }
        // The store stays ordered by real index whatever order rows were hidden in.
        for (int i = 1; i < g->GridItems().Count(); ++i)
            EXPECT_LT(g->GridItems().Items(i - 1).Idx(), g->GridItems().Items(i).Idx());
        for (int i = 0; i < g->GridItems().Count(); ++i) {
            const int idx = g->GridItems().Items(i).Idx();
            EXPECT_EQ(g->AllCells(1, TRealRow(idx)), QStringLiteral("r%1").arg(idx));
        }
        g->UnHideColumnsAll();
        g->UnHideRowsAll();
        EXPECT_EQ(g->ColCount(), 30);
        EXPECT_EQ(Shown(*g), MarksExcept(40, {}));
    }
}

TEST(GridHidden, NothingHiddenIsIdentity)
{
    auto g = Marked();
    EXPECT_EQ(g->RealColIndex(5), 5);
    EXPECT_EQ(g->DisplColIndex(5), 5);
    EXPECT_EQ(g->RealRowIndex(5), 5);
    EXPECT_EQ(g->DisplRowIndex(5), 5);
}

// ---------------------------------------------------------------------------
// Columns

TEST(GridHidden, HideAndShowColumnKeepsCellsAndWidth)
{
    auto g = Marked(5, 4);
    g->SetColWidths(1, 77);
    g->SetColWidths(2, 33);
    g->HideColumn(1);
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->NumHiddenColumns(), 1);
    EXPECT_EQ(g->TotalColCount(), 5);
    EXPECT_EQ(g->RealColIndex(1), 2);
    EXPECT_EQ(g->DisplColIndex(2), 1);
    EXPECT_EQ(g->DisplColIndex(1), 1);
    EXPECT_TRUE(g->IsHiddenColumn(1));
    EXPECT_EQ(g->Cells(1, 2), "r2"); // the hidden column's cells stay at its real index
    EXPECT_EQ(g->ColWidths(1), 33);  // display column 1 is real column 2
    g->UnHideColumn(1);
    EXPECT_EQ(g->ColCount(), 5);
    EXPECT_EQ(g->ColWidths(1), 77);
    EXPECT_EQ(g->ColWidths(2), 33);
    EXPECT_EQ(g->Cells(1, 2), "r2");
}

TEST(GridHidden, ColumnEdgeCases)
{
    // The last shown column is never hidden; a one-column grid keeps its column.
    auto one = Marked(1, 3);
    one->HideColumn(0);
    EXPECT_EQ(one->ColCount(), 1);
    EXPECT_EQ(one->NumHiddenColumns(), 0);

    // Hiding the current column when it is the last one moves Col left first.
    auto g = Marked(5, 4);
    g->SetCol(4);
    g->HideColumn(4);
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->ColCount(), 4);

    // Far columns hide like near ones (no fixed-size table).
    auto wide = Marked(700, 2);
    wide->HideColumn(600);
    EXPECT_TRUE(wide->IsHiddenColumn(600));
    EXPECT_EQ(wide->RealColIndex(600), 601);
    EXPECT_EQ(wide->Cells(600, 0), "c600");
    wide->UnHideColumn(600);
    EXPECT_EQ(wide->Cells(wide->RealColIndex(600), 0), "c600");

    // Hiding twice or beyond the total changes nothing.
    g->HideColumn(1);
    g->HideColumn(1);
    g->HideColumn(99);
    EXPECT_EQ(g->NumHiddenColumns(), 2);
}

// ---------------------------------------------------------------------------
// Rows

TEST(GridHidden, HideAndShowRowKeepsHeightAndProperties)
{
    auto g = Marked();
    g->SetRowHeights(3, 40);
    g->SetColors(2, 3, clRed);
    g->HideRow(3);
    EXPECT_TRUE(g->IsHiddenRow(3));
    EXPECT_EQ(g->NumHiddenRows(), 1);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->RealRowIndex(3), 4);
    EXPECT_EQ(g->DisplRowIndex(4), 3);
    EXPECT_EQ(g->Cells(1, 3), "r4");
    g->UnHideRow(3);
    EXPECT_EQ(g->RowCount(), 12);
    EXPECT_EQ(g->Cells(1, 3), "r3");
    EXPECT_EQ(g->RowHeights(3), 40);
    EXPECT_EQ(g->Colors(2, 3), clRed);
}

TEST(GridHidden, HideUnhideTable)
{
    using Op = std::function<void(TExtStringGrid&)>;
    struct Case {
        const char* name;
        Op op;
        std::set<int> hidden;
    };
    auto list = [](std::initializer_list<int> rows) {
        TIntList l(-1, -1);
        for (int r : rows) l.Add(r);
        return l;
    };
    const Case cases[] = {
        {"range with one row hidden already", [](TExtStringGrid& g) { g.HideRow(3); g.HideRows(2, 5); }, {2, 3, 4, 5}},
        {"alternating range shown again",
         [](TExtStringGrid& g) { g.HideRow(2); g.HideRow(4); g.HideRow(6); g.UnHideRows(2, 6); }, {}},
        {"alternating range hidden",
         [](TExtStringGrid& g) { g.HideRow(3); g.HideRow(5); g.HideRows(2, 7); }, {2, 3, 4, 5, 6, 7}},
        {"part of a run shown", [](TExtStringGrid& g) { g.HideRows(2, 6); g.UnHideRows(4, 5); }, {2, 3, 6}},
        {"ex out of order", [](TExtStringGrid& g) { g.HideRowsEx(8, 9); g.HideRowsEx(2, 3); g.HideRowsEx(5, 5); },
         {2, 3, 5, 8, 9}},
        {"ex on a hidden first row does nothing",
         [](TExtStringGrid& g) { g.HideRow(4); g.HideRowsEx(4, 6); }, {4}},
        {"all runs shown", [](TExtStringGrid& g) { g.HideRows(2, 3); g.HideRow(7); g.UnHideRowsAll(); }, {}},
        {"filter level beside hidden rows, rows shown",
         [&](TExtStringGrid& g) { g.HideRow(3); g.HideRowList(list({2, 5})); g.UnHideRowsAll(); }, {2, 6}},
        {"filter level beside hidden rows, level removed",
         [&](TExtStringGrid& g) { g.HideRow(3); g.HideRowList(list({2, 5})); g.UnHideRowList(); }, {3}},
        {"two filter levels, one removed",
         [&](TExtStringGrid& g) {
             g.HideRowList(list({2}));
             g.HideRowList(list({2, 3})); // display rows: real 3 and 4
             g.UnHideRowList();
         },
         {2}},
        {"filtered row inside an unhidden range stays",
         [&](TExtStringGrid& g) { g.HideRows(2, 4); g.HideRowList(list({2})); g.UnHideRows(0, 11); }, {5}},
    };
    for (const Case& c : cases) {
        auto g = Marked();
        c.op(*g);
        EXPECT_EQ(Shown(*g), MarksExcept(12, c.hidden)) << c.name;
        EXPECT_EQ(g->NumHiddenRows(), int(c.hidden.size())) << c.name;
        for (int r : c.hidden) EXPECT_EQ(g->AllCells(1, TRealRow(r)), QStringLiteral("r%1").arg(r)) << c.name;
    }
}

TEST(GridHidden, FilterLevelsCountAndAreLeftToTheCaller)
{
    auto g = Marked();
    TIntList l(-1, -1);
    l.Add(4);
    g->HideRowList(l);
    EXPECT_EQ(g->FilterLevel(), 1);
    EXPECT_EQ(g->GridItems().Items(0).Kind(), THiddenRowKind::hkFilter);
    EXPECT_EQ(g->GridItems().Items(0).Level(), 0);
    g->UnHideRowList();
    EXPECT_EQ(g->FilterLevel(), 1);
    EXPECT_EQ(g->NumHiddenRows(), 0);
}

TEST(GridHidden, RowAndTopRowWriters)
{
    auto g = Marked();
    std::vector<std::pair<int, int>> updates;
    g->SetRow(5);
    g->OnRowUpdate = [&](TExtStringGrid*, int o, int n) { updates.push_back({o, n}); };
    g->SetRow(6);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0], std::make_pair(-1, 6));
    g->SetRow(6);
    EXPECT_EQ(updates.size(), 1u);

    g->SetClientSize(200, 100);
    g->SetTopRow(3);
    EXPECT_EQ(g->TopRow(), 3);
    g->SetTopRow(g->RowCount());
    EXPECT_EQ(g->TopRow(), 3);
    g->SetTopRow(0);
    EXPECT_EQ(g->TopRow(), 3);
}

TEST(GridHidden, HiddenSelectionComesBack)
{
    auto g = Marked();
    g->SetSelection(TGridRect{1, 2, 3, 4});
    g->HideSelection();
    EXPECT_TRUE(g->SelHidden());
    EXPECT_FALSE(g->ShowSel());
    g->UnHideSelection();
    EXPECT_FALSE(g->SelHidden());
    EXPECT_TRUE(g->ShowSel());
    EXPECT_EQ(g->Selection(), (TGridRect{1, 2, 3, 4}));
    // A remembered selection that no longer fits becomes the first normal cell.
    g->SetSelection(TGridRect{2, 9, 2, 9});
    g->HideSelection();
    g->SetRowCount(5);
    g->UnHideSelection();
    EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 1, 1}));
}

// ---------------------------------------------------------------------------
// Inserting and removing

TEST(GridRows, InsertAndRemoveWithParkedRows)
{
    auto g = Marked();
    g->HideRow(3);
    g->HideRow(8);
    // Two rows inserted at display row 2: the parked rows behind move down.
    g->InsertRows(2, 2);
    EXPECT_EQ(g->RowCount(), 12);
    EXPECT_EQ(g->Cells(1, 2), "");
    EXPECT_EQ(g->Cells(1, 4), "r2");
    g->UnHideRowsAll();
    QStringList expect{"r0", "r1", "", "", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9", "r10", "r11"};
    EXPECT_EQ(Shown(*g), expect);

    // Removing display rows 3 .. 5 (real 3, 5 and 6 around the parked real
    // row 4): the parked rows behind move up by the rows removed above them.
    auto h = Marked();
    h->HideRow(4);
    h->HideRow(9);
    h->RemoveRows(3, 3);
    EXPECT_EQ(h->RowCount(), 7);
    h->UnHideRowsAll();
    EXPECT_EQ(Shown(*h), MarksExcept(12, {3, 5, 6}));
}

// Records the side-structure hooks.
class TSideGrid : public TExtStringGrid {
public:
    std::vector<std::tuple<char, int, int>> Calls;

protected:
    void SideRowsInserted(int row, int count) override
    {
        Calls.push_back({'i', row, count});
        TExtStringGrid::SideRowsInserted(row, count);
    }
    void SideRowsRemoved(int row, int count) override
    {
        Calls.push_back({'r', row, count});
        TExtStringGrid::SideRowsRemoved(row, count);
    }
    void SideRowsSwapped(int a, int b) override
    {
        Calls.push_back({'s', a, b});
        TExtStringGrid::SideRowsSwapped(a, b);
    }
};

TEST(GridRows, RemovalFreesObjectsAndTellsTheSideHooks)
{
    TSideGrid g;
    g.SetRowCount(12);
    g.SetColors(2, 4, clRed);
    g.SetCells(1, 5, "five");
    g.RemoveRows(4, 1);
    EXPECT_EQ(g.Colors(2, 4), clNone); // the removed row's properties went with it
    EXPECT_EQ(g.Cells(1, 4), "five");
    g.InsertRows(2, 3);
    g.SortSwapRows(1, 2);
    g.HideRow(3); // hiding is not a structural change of the side lists
    const std::vector<std::tuple<char, int, int>> expect{{'r', 4, 1}, {'i', 2, 3}, {'s', 1, 2}};
    EXPECT_EQ(g.Calls, expect);
}

TEST(GridRows, RemoveEdgeCases)
{
    auto g = Marked();
    int notified = 0;
    g->OnCellsChanged = [&](TExtStringGrid*, const TGridRect&) { ++notified; };
    g->RemoveRows(2, 0);
    EXPECT_EQ(notified, 0);
    g->RemoveRows(g->RowCount(), 1); // nothing removed, still told
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(g->RowCount(), 12);

    // The current row on the last normal row above two footers.
    g->SetFixedFooters(2);
    g->SetRow(9);
    g->RemoveRows(9, 1);
    EXPECT_EQ(g->Row(), 8);

    // Removing every normal row hides the selection; inserting shows it.
    auto one = Marked(4, 4);
    one->SetFixedRowAlways(true);
    one->RemoveRows(1, 3);
    EXPECT_EQ(one->RowCount(), 1);
    EXPECT_TRUE(one->SelHidden());
    one->InsertRows(1, 2);
    EXPECT_FALSE(one->SelHidden());
    EXPECT_EQ(one->Row(), 1);
}

TEST(GridRows, DuplicatesCaseAndMergeColsAndUsedCells)
{
    for (bool doCase : {false, true}) {
        auto g = Marked(3, 5);
        const QStringList texts{"Alpha", "ALPHA", "beta", "Alpha"};
        for (int r = 1; r < 5; ++r) g->SetCells(2, r, texts[r - 1]);
        g->RemoveDuplicates(2, doCase);
        QStringList left;
        for (int r = 1; r < g->RowCount(); ++r) left << g->Cells(2, r);
        EXPECT_EQ(left, doCase ? QStringList({"Alpha", "ALPHA", "beta"}) : QStringList({"Alpha", "beta"}));
    }

    auto m = Marked(4, 3);
    m->SetCells(1, 1, "a");
    m->SetCells(2, 1, "");
    m->SetCells(3, 1, "z");
    m->MergeCols(1, 2, ", ");
    EXPECT_EQ(m->Cells(1, 1), "a,");
    EXPECT_EQ(m->ColCount(), 3);
    EXPECT_EQ(m->Cells(2, 1), "z");

    TExtStringGrid empty;
    EXPECT_EQ(empty.UsedCells(), TGridRect{});
    empty.SetCells(3, 7, "x");
    EXPECT_EQ(empty.UsedCells(), (TGridRect{3, 7, 3, 7}));

    empty.SetFixedRows(2);
    EXPECT_EQ(empty.SaveStartRow(), 0);
    empty.SetSaveFixedCells(false);
    EXPECT_EQ(empty.SaveStartRow(), 2);
}

TEST(GridRows, ColumnsInsertAndRemoveAroundHiddenOnes)
{
    auto g = Marked(6, 3);
    g->HideColumn(3);
    g->InsertCols(2, 1);
    EXPECT_EQ(g->TotalColCount(), 7);
    EXPECT_TRUE(g->IsHiddenColumn(4)); // the hidden column moved along
    EXPECT_EQ(g->Cells(4, 0), "c3");
    EXPECT_EQ(g->Cells(2, 0), "");
    g->RemoveCols(2, 3); // the new column, c2 and the hidden c3
    EXPECT_EQ(g->NumHiddenColumns(), 0);
    EXPECT_EQ(g->ColCount(), 4);
    QStringList heads;
    for (int c = 0; c < g->ColCount(); ++c) heads << g->Cells(c, 0);
    EXPECT_EQ(heads, QStringList({"c0", "r0", "c4", "c5"}));
}

TEST(GridRows, ClearKeepsPropertiesWhenTextOnly)
{
    auto g = Marked();
    g->SetColors(1, 2, clRed);
    g->SetClearTextOnly(true);
    g->ClearRows(2, 1);
    EXPECT_EQ(g->Cells(1, 2), "");
    EXPECT_EQ(g->Colors(1, 2), clRed);
    g->SetClearTextOnly(false);
    g->HideRow(5);
    g->ClearAll();
    EXPECT_EQ(g->Colors(1, 2), clNone);
    EXPECT_EQ(g->UsedCells(), TGridRect{});
    EXPECT_EQ(g->AllCells(1, TRealRow(5)), "");
    EXPECT_EQ(g->NumHiddenRows(), 1);
}

// ---------------------------------------------------------------------------
// Moving

TEST(GridMove, MoveRowsTable)
{
    struct Case {
        int from, to, count;
        QStringList expect;
    };
    auto marks = [](std::initializer_list<int> rows) {
        QStringList l;
        for (int r : rows) l << QStringLiteral("r%1").arg(r);
        return l;
    };
    const Case cases[] = {
        {2, 8, 3, marks({0, 1, 5, 6, 7, 2, 3, 4, 8, 9})},
        {6, 1, 2, marks({0, 6, 7, 1, 2, 3, 4, 5, 8, 9})},
        {5, 5, 2, marks({0, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {1, 4, 0, marks({0, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
    };
    for (const Case& c : cases) {
        auto g = Marked(3, 10);
        g->SetColors(2, c.from, clRed);
        g->MoveRows(c.from, c.to, c.count);
        EXPECT_EQ(Shown(*g), c.expect) << c.from << "->" << c.to;
        if (c.count > 0 && c.from != c.to) {
            const int at = Shown(*g).indexOf(QStringLiteral("r%1").arg(c.from));
            EXPECT_EQ(g->Colors(2, at), clRed);
        }
    }
}
