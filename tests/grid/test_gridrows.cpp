// Hidden columns and rows, the index spaces, and the row and column
// operations of the string grid.
#include "grid/ExtCGrid.h"

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
        for (int k = 0; k < 15; ++k) rows.insert(1 + int(rnd() % 39)); // the fixed row stays
        for (int c : cols) g->HideColumn(c);
        std::vector<int> order(rows.begin(), rows.end());
        std::shuffle(order.begin(), order.end(), rnd);
        // The current row is one that stays shown: it follows its row.
        int keep = 1;
        while (rows.count(keep)) ++keep;
        g->SetRow(keep);
        if (round % 2 == 0) {
            for (int r : order) g->HideRow(r);
        } else {
            g->HideRealRows(order, THiddenRowKind::hkHidden, 0); // all at once
        }
        EXPECT_EQ(g->Cells(1, g->Row()), QStringLiteral("r%1").arg(keep));

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
        EXPECT_EQ(g->Cells(1, g->Row()), QStringLiteral("r%1").arg(keep));
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
        {"node rows stay when hidden rows are shown",
         [](TExtStringGrid& g) {
             g.HideRealRows({4, 5}, THiddenRowKind::hkNode, 0);
             g.HideRows(3, 7);
             g.UnHideRowsAll();
         },
         {4, 5}},
        {"node rows stay when a filter level goes",
         [&](TExtStringGrid& g) {
             g.HideRealRows({4, 5}, THiddenRowKind::hkNode, 0);
             g.HideRowList(list({3, 4})); // real 3 and 6
             g.UnHideRowList();
         },
         {4, 5}},
        {"node rows come back by their own kind only",
         [&](TExtStringGrid& g) {
             g.HideRealRows({9, 4, 5}, THiddenRowKind::hkNode, 0);
             g.HideRow(6);
             g.HideRowList(list({2})); // real 2
             g.ShowHiddenRows([](const TGridItem& i) { return i.Kind() == THiddenRowKind::hkNode; });
         },
         {2, 6}},
    };
    for (const Case& c : cases) {
        auto g = Marked();
        c.op(*g);
        EXPECT_EQ(Shown(*g), MarksExcept(12, c.hidden)) << c.name;
        EXPECT_EQ(g->NumHiddenRows(), int(c.hidden.size())) << c.name;
        for (int r : c.hidden) EXPECT_EQ(g->AllCells(1, TRealRow(r)), QStringLiteral("r%1").arg(r)) << c.name;
    }
}

TEST(GridHidden, CachedHiddenListAndSelectedRows)
{
    auto g = Marked();
    g->HideRows(3, 4);
    g->HideRow(8);
    std::unique_ptr<TIntList> cache;
    std::vector<int> hidden;
    for (int r = 0; r < g->TotalRowCount(); ++r)
        if (g->IsHiddenRow(r, cache)) hidden.push_back(r);
    EXPECT_EQ(hidden, (std::vector<int>{3, 4, 8}));
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->Count(), 3);

    // Selected rows by the rows' own flags (kept by display row): every
    // flagged row goes, not the rows that move up into a flagged place.
    for (bool unselected : {false, true}) {
        auto h = Marked();
        h->MouseActions().SetDisjunctRowSelect(true);
        h->HideRow(2);
        for (int d : {3, 4, 7}) h->SetRowSelect(d, true); // real 4, 5, 8
        if (unselected)
            h->HideUnSelectedRows();
        else
            h->HideSelectedRows();
        EXPECT_EQ(Shown(*h), unselected ? MarksExcept(12, {1, 2, 3, 6, 7, 9, 10, 11}) : MarksExcept(12, {2, 4, 5, 8}))
            << unselected;
    }
    // The selection rectangle without row flags.
    auto k = Marked();
    k->SetSelection(TGridRect{1, 5, 2, 6});
    k->HideSelectedRows();
    EXPECT_EQ(Shown(*k), MarksExcept(12, {5, 6}));
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

TEST(GridRows, RemovalsBySelectionAndCheckBox)
{
    // Row flags: the flagged rows go and the flags are cleared.
    auto g = Marked();
    g->MouseActions().SetDisjunctRowSelect(true);
    for (int r : {2, 3, 9}) g->SetRowSelect(r, true);
    g->RemoveSelectedRows();
    EXPECT_EQ(Shown(*g), MarksExcept(12, {2, 3, 9}));
    EXPECT_EQ(g->RowSelectCount(), 0);

    // The rectangle, given bottom to top.
    auto s = Marked();
    s->SetSelection(TGridRect{1, 6, 1, 4});
    s->RemoveSelectedRows();
    EXPECT_EQ(Shown(*s), MarksExcept(12, {4, 5, 6}));

    // Rows not selected, above two footer rows that stay.
    auto u = Marked();
    u->SetFixedFooters(2);
    u->MouseActions().SetDisjunctRowSelect(true);
    for (int r : {3, 5}) u->SetRowSelect(r, true);
    u->RemoveUnSelectedRows();
    EXPECT_EQ(Shown(*u), QStringList({"r0", "r3", "r5", "r10", "r11"}));
    EXPECT_EQ(u->RowSelectCount(), 0);

    // By check box: checked rows, or the rows whose box is not checked (a
    // row without a box counts as not checked).
    for (bool removeChecked : {true, false}) {
        auto c = Marked(3, 6);
        for (int r = 1; r < 5; ++r) c->AddCheckBox(2, r, r % 2 == 1, false);
        c->RemoveCheckedRows(2, removeChecked);
        EXPECT_EQ(Shown(*c), removeChecked ? QStringList({"r0", "r2", "r4", "r5"}) : QStringList({"r0", "r1", "r3"}))
            << removeChecked;
    }

    // Columns: the selection's display columns go by their real index, the
    // hidden column between them stays.
    auto k = Marked(7, 3);
    k->HideColumn(3);
    k->SetSelection(TGridRect{2, 1, 3, 1}); // display 2 and 3: real 2 and 4
    k->RemoveSelectedCols();
    EXPECT_EQ(k->ColCount(), 4);
    EXPECT_EQ(k->NumHiddenColumns(), 1);
    k->UnHideColumnsAll();
    QStringList heads;
    for (int c = 0; c < k->ColCount(); ++c) heads << k->Cells(c, 0);
    EXPECT_EQ(heads, QStringList({"c0", "r0", "c3", "c5", "c6"}));

    auto n = Marked(6, 3);
    n->MouseActions().SetDisjunctColSelect(true);
    n->SetColSelect(2, true);
    n->SetColSelect(4, true);
    n->RemoveUnSelectedCols();
    heads.clear();
    for (int c = 0; c < n->ColCount(); ++c) heads << n->Cells(c, 0);
    EXPECT_EQ(heads, QStringList({"c0", "c2", "c4"})); // the fixed column stays
    EXPECT_EQ(n->ColSelectCount(), 0);

    // Clearing the flagged rows only.
    auto cl = Marked();
    cl->MouseActions().SetDisjunctRowSelect(true);
    cl->SetRowSelect(4, true);
    cl->SetSelection(TGridRect{1, 6, 1, 6});
    cl->ClearSelection();
    EXPECT_EQ(cl->Cells(1, 4), "");
    EXPECT_EQ(cl->Cells(1, 6), "r6");
}

TEST(GridRows, InCellControlsFollowTheirRowsAndColumns)
{
    auto g = Marked();
    QWidget a, b, c;
    a.show();
    g->ControlList().AddControl(2, 3, &a);
    g->ControlList().AddControl(2, 6, &b);
    g->ControlList().AddControl(4, 8, &c);
    auto at = [&](int i) {
        const TControlItem& item = g->ControlList().Control(i);
        return std::make_pair(int(item.X), int(item.Y));
    };
    g->InsertRows(1, 2, false);
    EXPECT_EQ(at(0), std::make_pair(2, 3));
    g->InsertRows(1, 2, true);
    EXPECT_EQ(at(0), std::make_pair(2, 5));
    EXPECT_EQ(at(2), std::make_pair(4, 10));
    // The removed row's control is hidden and dropped; the ones below move up.
    g->RemoveRows(4, 2);
    ASSERT_EQ(g->ControlList().Count(), 2);
    EXPECT_TRUE(a.isHidden());
    EXPECT_EQ(at(0), std::make_pair(2, 6));
    EXPECT_EQ(at(1), std::make_pair(4, 8));
    g->SwapRows(6, 8);
    EXPECT_EQ(at(0), std::make_pair(2, 8));
    EXPECT_EQ(at(1), std::make_pair(4, 6));
    g->MoveColumn(2, 4);
    EXPECT_EQ(at(0), std::make_pair(4, 8));
    EXPECT_EQ(at(1), std::make_pair(3, 6));
    g->SwapColumns(3, 4);
    EXPECT_EQ(at(0), std::make_pair(3, 8));
    EXPECT_EQ(at(1), std::make_pair(4, 6));
    // A plain removal for a move leaves them alone.
    g->RemoveRowsEx(1, 2);
    EXPECT_EQ(at(0), std::make_pair(3, 8));
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

TEST(GridMove, ColumnMoveOnASortedGrid)
{
    auto g = Marked(6, 3);
    g->SortSettings().SetColumn(3);
    g->SortIndexes().AddIndex(1, true);
    g->SortIndexes().AddIndex(3, false); // descending: bit 31 set
    g->SetCol(4);
    g->MoveColumn(1, 3);
    QStringList heads;
    for (int c = 0; c < 6; ++c) heads << g->Cells(c, 0);
    EXPECT_EQ(heads, QStringList({"c0", "c2", "c3", "r0", "c4", "c5"}));
    EXPECT_EQ(g->SortSettings().Column(), 2); // the sort stays on the data of c3
    EXPECT_EQ(g->SortIndexes().SortColumns(0), 3);
    EXPECT_EQ(g->SortIndexes().SortColumns(1), 2);
    EXPECT_TRUE(g->SortIndexes().SortDirections(0));
    EXPECT_FALSE(g->SortIndexes().SortDirections(1));
    EXPECT_EQ(g->Col(), 4);

    // With a hidden column the move keeps it hidden, with its width and data.
    auto h = Marked(6, 3);
    h->SetColWidths(2, 55);
    h->HideColumn(2);
    h->MoveColumn(1, 3); // display 1 (real 1) to display 3 (real 4)
    EXPECT_EQ(h->NumHiddenColumns(), 1);
    QStringList shown;
    for (int d = 0; d < h->ColCount(); ++d) shown << h->Cells(h->RealColIndex(d), 0);
    EXPECT_EQ(shown, QStringList({"c0", "c3", "c4", "r0", "c5"}));
    h->UnHideColumnsAll();
    EXPECT_EQ(h->ColWidths(1), 55);
    EXPECT_EQ(h->Cells(1, 0), "c2");
}

TEST(GridMove, SyncedGridsMoveOnceEach)
{
    auto a = Marked(5, 3);
    auto b = Marked(5, 3);
    a->SyncGrid().SetGrid(b.get());
    a->SyncGrid().SetMoveColumn(true);
    b->SyncGrid().SetGrid(a.get());
    b->SyncGrid().SetMoveColumn(true);
    a->MoveColumn(0, 2);
    EXPECT_EQ(a->Cells(2, 0), "c0");
    EXPECT_EQ(b->Cells(2, 0), "c0");
    EXPECT_EQ(b->Cells(0, 0), "r0");
}

TEST(GridMove, SwapColumnsFollowsSortAndNumbering)
{
    auto g = Marked(5, 3);
    g->SortSettings().SetColumn(1);
    g->SwapColumns(1, 3);
    EXPECT_EQ(g->SortSettings().Column(), 3);
    EXPECT_EQ(g->Cells(3, 1), "r1");

    struct Case {
        TSortDirection dir;
        int start;
        QStringList expect;
    };
    const Case cases[] = {
        {TSortDirection::sdAscending, 0, {"1", "2", "3", "4", "5"}},
        {TSortDirection::sdDescending, 0, {"5", "4", "3", "2", "1"}},
        {TSortDirection::sdAscending, 2, {"x", "x", "3", "4", "5"}},
    };
    for (const Case& c : cases) {
        auto n = Marked(2, 6);
        for (int r = 1; r < 6; ++r) n->SetCells(0, r, "x");
        n->SetAutoNumberDirection(c.dir);
        n->SetAutoNumberStart(c.start);
        n->AutoNumberCol(0);
        QStringList got;
        for (int r = 1; r < 6; ++r) got << n->Cells(0, r);
        EXPECT_EQ(got, c.expect);
    }
}

// ---------------------------------------------------------------------------
// Sizing

namespace {
// Every character 7 pixels wide, every line 14 high; no graphics.
class TFixedMeasurer : public TCellMeasurer {
public:
    using TCellMeasurer::TCellMeasurer;
    QSize GetCellTextSize(int c, int r, bool) override
    {
        const QString s = Grid().Cells(c, r);
        return s.isEmpty() ? QSize(0, 0) : QSize(7 * int(s.size()), 14);
    }
    int GetCellLineHeight(int, int) override { return 14; }
};
} // namespace

TEST(GridSize, AutoSizeColLimitsAndGrowOnly)
{
    auto g = Marked(4, 4);
    g->SetCellMeasurer(std::make_unique<TFixedMeasurer>(*g));
    g->SetCells(2, 1, "abcdefghij"); // 70 pixels
    // 70 + XYOffset.X doubled (4) + two grid lines (2) + 2.
    g->AutoSizeCol(2);
    EXPECT_EQ(g->ColWidths(2), 78);
    g->SetColWidths(2, 200);
    g->SetSizeGrowOnly(true);
    g->AutoSizeCol(2);
    EXPECT_EQ(g->ColWidths(2), 200);
    g->SetSizeGrowOnly(false);
    g->SetMinColWidth(50);
    g->SetMaxColWidth(50); // equal limits are no limits
    g->AutoSizeCol(2, 5);
    EXPECT_EQ(g->ColWidths(2), 83);
    g->SetMaxColWidth(60);
    g->AutoSizeCol(2);
    EXPECT_EQ(g->ColWidths(2), 60);
}

TEST(GridSize, AutoSizeColWithFontMetrics)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    TExtStringGrid g;
    g.Font = f;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(1, 1, QString(20, QLatin1Char('W')));
    g.SetCells(2, 1, QString(20, QLatin1Char('i')));
    g.SetCells(2, 2, QStringLiteral("iii"));
    const QFontMetrics fm(f);
    const int extra = g.GetHorzTextOffset() + 2 * g.GridLineWidth() + 2;
    g.AutoSizeCol(1);
    g.AutoSizeCol(2);
    EXPECT_EQ(g.ColWidths(1), fm.horizontalAdvance(g.Cells(1, 1)) + extra);
    EXPECT_EQ(g.ColWidths(2), fm.horizontalAdvance(g.Cells(2, 1)) + extra);
    EXPECT_GT(g.ColWidths(1), g.ColWidths(2)); // proportional glyphs
    // A larger font makes the column wider.
    const int before = g.ColWidths(1);
    f.setPixelSize(18);
    g.Font = f;
    g.AutoSizeCol(1);
    EXPECT_EQ(g.ColWidths(1), QFontMetrics(f).horizontalAdvance(g.Cells(1, 1)) + extra);
    EXPECT_GT(g.ColWidths(1), before);
}

namespace {
class TNotifiedGrid : public TExtStringGrid {
public:
    std::vector<std::pair<TGridExportState, int>> Told;
    void ExportNotification(TGridExportState state, int r) override { Told.push_back({state, r}); }
};
} // namespace

TEST(GridSize, AutoSizeRowsToLines)
{
    TNotifiedGrid n;
    n.SetRowCount(3);
    n.SetCellMeasurer(std::make_unique<TFixedMeasurer>(n));
    n.AutoSizeRows(false, 0);
    using enum TGridExportState;
    const std::vector<std::pair<TGridExportState, int>> told{
        {esExportStart, 1}, {esExportNextRow, 1}, {esExportNextRow, 2}, {esExportDone, -1}};
    EXPECT_EQ(n.Told, told);

    auto g = Marked(3, 3);
    g->SetCellMeasurer(std::make_unique<TFixedMeasurer>(*g));
    g->SetWordWrap(false);
    g->SetMultilinecells(true);
    g->SetCells(2, 1, "a\r\nb\r\nc");
    g->AutoSizeRows(false, 4);
    EXPECT_EQ(g->RowHeights(1), 4 + 3 * (14 + 1));
    EXPECT_EQ(g->RowHeights(2), 4 + 1 * (14 + 1));
}

TEST(GridSize, AutoFitColumns)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(2);
    g->SetRowCount(2);
    g->SetFixedCols(0);
    g->SetScrollBars(TScrollStyle::ssNone);
    g->SetOptions(g->Options().Without(goFixedVertLine).With(goVertLine));
    g->SetWidth(300);
    g->SetColWidths(0, 100);
    g->SetColWidths(1, 50);
    g->AutoFitColumns(false);
    EXPECT_EQ(g->ColWidths(0), 201);
    EXPECT_EQ(g->ColWidths(1), 99);
    g->AutoFitColumns(false); // already filling the room
    EXPECT_EQ(g->ColWidths(0), 201);
    g->SetColWidths(0, 0);
    g->SetColWidths(1, 0);
    g->AutoFitColumns(false); // nothing to share out
    EXPECT_EQ(g->ColWidths(0), 0);
    EXPECT_EQ(g->ColWidths(1), 0);
}

// ---------------------------------------------------------------------------
// Hit testing and scrolling

TEST(GridView, SizingBorderAtThreeAndFourPixels)
{
    auto g = Marked(5, 5);
    g->SetClientSize(400, 200);
    g->SetOptions(g->Options().With(goColSizing).With(goRowSizing));
    const TRect header = g->CellRect(2, 0);
    const int y = header.Top + header.Height() / 2;
    EXPECT_TRUE(g->IsOnSizingBorder(header.Left + 3, y));
    EXPECT_FALSE(g->IsOnSizingBorder(header.Left + 4, y));
    EXPECT_TRUE(g->IsOnSizingBorder(header.Right - 3, y));
    EXPECT_FALSE(g->IsOnSizingBorder(header.Right - 4, y));
    const TRect fixed = g->CellRect(0, 3);
    const int x = fixed.Left + fixed.Width() / 2;
    EXPECT_TRUE(g->IsOnSizingBorder(x, fixed.Top + 3));
    EXPECT_FALSE(g->IsOnSizingBorder(x, fixed.Top + 4));
    // In the top-left cell only the row-border test decides.
    const TRect corner = g->CellRect(0, 0);
    EXPECT_FALSE(g->IsOnSizingBorder(corner.Right - 1, corner.Top + corner.Height() / 2));
    EXPECT_TRUE(g->IsOnSizingBorder(corner.Left + corner.Width() / 2, corner.Bottom - 1));
    g->SetOptions(g->Options().Without(goColSizing));
    EXPECT_FALSE(g->IsOnSizingBorder(header.Left + 3, y));
}

TEST(GridView, ScrollInView)
{
    auto g = Marked(50, 5);
    for (int c = 0; c < 50; ++c) g->SetColWidths(c, 40);
    g->SetClientSize(40 * 11, 200); // the fixed column and ten more
    ASSERT_EQ(g->VisibleColCount(), 10);
    g->SetCol(3);
    g->ScrollInView(5, 1); // visible: nothing moves
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->LeftCol(), 1);
    g->ScrollInView(40, 1);
    EXPECT_EQ(g->Col(), 40);
    EXPECT_EQ(g->LeftCol(), 35);
}

// ---------------------------------------------------------------------------
// Merging equal cells, rotated text, queries

TEST(GridMerge, EqualRunsTable)
{
    struct Case {
        QStringList texts;
        std::vector<std::pair<int, int>> ranges; // first row, span
    };
    const Case cases[] = {
        {{"A", "A", "B", "B", "B"}, {{1, 2}, {3, 3}}},
        {{"A", "B", "A"}, {}},
        {{"A", "A", "A"}, {{1, 3}}},
    };
    for (const Case& c : cases) {
        auto g = Marked(3, int(c.texts.size()) + 1);
        for (int r = 0; r < c.texts.size(); ++r) g->SetCells(2, r + 1, c.texts[r]);
        g->MergeColumnCells(2, true);
        std::vector<std::pair<int, int>> got;
        for (int r = 1; r < g->RowCount(); ++r)
            if (g->IsYMergedCell(2, r) && g->IsBaseCell(2, r)) got.push_back({r, g->CellSpan(2, r).y() + 1});
        EXPECT_EQ(got, c.ranges) << c.texts.join(",").toStdString();
    }

    // Along a row: only the equal neighbours merge, the others keep their properties.
    auto row = Marked(5, 2);
    const QStringList t{"A", "B", "B", "C"};
    for (int c = 1; c < 5; ++c) row->SetCells(c, 1, t[c - 1]);
    row->SetColors(1, 1, clRed);
    row->MergeRowCells(1, true);
    EXPECT_TRUE(row->IsBaseCell(2, 1));
    EXPECT_EQ(row->CellSpan(2, 1), QPoint(1, 0));
    EXPECT_FALSE(row->IsMergedCell(1, 1));
    EXPECT_FALSE(row->IsMergedCell(4, 1));
    EXPECT_EQ(row->Colors(1, 1), clRed);
}

TEST(GridMerge, NestedMergeAndSplitReachTheLastRow)
{
    auto g = Marked(4, 6);
    const QStringList a{"G", "G", "G", "H", "H"}, b{"x", "x", "y", "y", "y"};
    for (int r = 1; r < 6; ++r) {
        g->SetCells(2, r, a[r - 1]);
        g->SetCells(3, r, b[r - 1]);
    }
    g->MergeColumnCells(2, true);
    g->MergeColumnCells(3, false);
    // Column 3 merges only inside column 2's groups: x x | y, then y y.
    EXPECT_EQ(g->CellSpan(3, 1).y(), 1);
    EXPECT_FALSE(g->IsMergedCell(3, 3));
    EXPECT_EQ(g->CellSpan(3, 4).y(), 1);
    // A range starting in the last normal row is split too.
    auto s = Marked(3, 4);
    s->MergeCells(2, 3, 1, 1);
    s->MergeCells(2, 2, 1, 2);
    s->SplitColumnCells(2);
    EXPECT_FALSE(s->IsMergedCell(2, 2));
    EXPECT_FALSE(s->IsMergedCell(2, 3));
    g->SplitAllCells();
    for (int r = 0; r < 6; ++r) EXPECT_FALSE(g->IsMergedCell(3, r));
}

TEST(GridMerge, RotatedAndQueries)
{
    auto g = Marked(4, 4);
    g->AddRotated(2, 2, 450, "turned");
    int angle = -1;
    EXPECT_TRUE(g->IsRotated(2, 2, angle));
    EXPECT_EQ(angle, 90);
    EXPECT_EQ(g->Cells(2, 2), "turned");
    angle = 7;
    EXPECT_FALSE(g->IsRotated(3, 3, angle));
    EXPECT_EQ(angle, 7);
    g->RemoveRotated(2, 2);
    EXPECT_FALSE(g->IsRotated(2, 2, angle));
    EXPECT_EQ(g->Cells(2, 2), "turned");

    int c = -1, r = -1;
    EXPECT_FALSE(g->IsCell("turn", c, r));
    EXPECT_EQ(c, -1);
    EXPECT_TRUE(g->IsCell("turned", c, r));
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 2);
    g->SetCells(3, 1, "|\\x");
    EXPECT_TRUE(g->IsWideCell(3, 1));
    EXPECT_FALSE(g->IsWideCell(2, 2));
}

// ---------------------------------------------------------------------------
// The column grid's items follow inserted and removed columns

TEST(GridRows, ColumnGridItemsFollowInsertAndRemove)
{
    TExtColumnGrid g;
    ASSERT_EQ(g.Columns().Count(), 5);
    g.Columns().Items(2).SetAlignment(taRightJustify);
    g.Columns().Items(3).SetEditor(edComboList);
    g.InsertCols(2, 2);
    ASSERT_EQ(g.ColCount(), 7);
    ASSERT_EQ(g.Columns().Count(), 7);
    EXPECT_EQ(g.Columns().Items(4).Alignment(), taRightJustify);
    EXPECT_EQ(g.Columns().Items(5).Editor(), edComboList);
    EXPECT_EQ(g.Columns().Items(2).Editor(), edNormal);
    g.RemoveCols(2, 3);
    ASSERT_EQ(g.ColCount(), 4);
    ASSERT_EQ(g.Columns().Count(), 4);
    EXPECT_EQ(g.Columns().Items(2).Editor(), edComboList);
}
