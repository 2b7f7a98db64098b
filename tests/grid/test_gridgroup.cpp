// Grouping the string grid's rows by a column: header and summary rows,
// merges and colours, sub-groups, group results, and ungrouping back to the
// plain table.
#include "grid/ExtCGrid.h"
#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<QStringList>;

// A grid with one fixed row of captions "C0", "C1", ... and the given data
// rows (column 0 first).
template <typename Grid = TExtStringGrid>
std::unique_ptr<Grid> Make(const Rows& data, int footers = 0)
{
    auto g = std::make_unique<Grid>();
    const int cols = int(data.front().size());
    g->SetColCount(cols);
    g->SetRowCount(1 + int(data.size()) + footers);
    g->SetFixedRows(1);
    g->SetFixedCols(1);
    if (footers) g->SetFixedFooters(footers);
    for (int c = 0; c < cols; ++c) g->SetCells(c, 0, QStringLiteral("C%1").arg(c));
    for (int r = 0; r < int(data.size()); ++r)
        for (int c = 0; c < cols; ++c) g->SetCells(c, r + 1, data[size_t(r)][c]);
    for (int f = 0; f < footers; ++f)
        for (int c = 0; c < cols; ++c) g->SetCells(c, g->RowCount() - 1 - f, QStringLiteral("F%1").arg(c));
    return g;
}

// One line per row: "H:<text>/<span>" for a node row (its column-1 text),
// "S" for a summary row, else the texts of columns 1.. joined by '|'.
QStringList Layout(TExtStringGrid& g, int from = 1)
{
    QStringList l;
    for (int r = from; r < g.RowCount(); ++r) {
        if (g.IsNode(r)) {
            l << QStringLiteral("H:%1/%2").arg(g.Cells(1, r)).arg(g.GetNodeSpan(r));
        } else if (g.IsSummary(r)) {
            l << QStringLiteral("S");
        } else {
            QStringList cells;
            for (int c = 1; c < g.ColCount(); ++c) cells << g.Cells(c, r);
            l << cells.join('|');
        }
    }
    return l;
}

// Every cell's text and, right of the node column (whose rows keep the empty
// properties their node levels were kept in), its colours.
QStringList Dump(TExtStringGrid& g)
{
    QStringList l;
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c)
            l << QStringLiteral("%1,%2:%3:%4:%5")
                     .arg(c)
                     .arg(r)
                     .arg(g.Cells(c, r))
                     .arg(c ? g.Colors(c, r) : 0)
                     .arg(c ? g.FontColors(c, r) : 0);
    return l;
}

const Rows kXXY = {{"", "c", "Y", "3"}, {"", "a", "X", "1"}, {"", "b", "X", "2"}};

} // namespace

TEST(GridGroup, LayoutsOfTheGroupedGrid)
{
    struct Case {
        const char* name;
        Rows data;
        int column;
        bool summary;
        QStringList layout;
    };
    const Case cases[] = {
        {"column 2", kXXY, 2, false, {"H:X/3", "a|1", "b|2", "H:Y/2", "c|3"}},
        {"column 2 with summary", kXXY, 2, true, {"H:X/3", "a|1", "b|2", "S", "H:Y/2", "c|3", "S"}},
        // The header text goes to column 2 while column 1 is still there.
        {"column 1", {{"", "Y", "c", "3"}, {"", "X", "a", "1"}, {"", "X", "b", "2"}}, 1, false,
         {"H:X/3", "a|1", "b|2", "H:Y/2", "c|3"}},
        // Texts compare exactly (case counts), and a first row holding the
        // characters U+00FF U+00FE opens a group like any other.
        {"exact texts",
         {{"", "r", QString(QChar(0xFF)) + QChar(0xFE), "3"}, {"", "q", "X", "2"}, {"", "p", "x", "1"}}, 2, false,
         {QStringLiteral("H:%1/2").arg(QString(QChar(0xFF)) + QChar(0xFE)), "r|3", "H:X/2", "q|2", "H:x/2", "p|1"}},
        {"one group with summary", {{"", "a", "X", "1"}, {"", "b", "X", "2"}}, 2, true, {"H:X/3", "a|1", "b|2", "S"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto g = Make(c.data);
        g->Grouping().SetSummary(c.summary);
        // The exact-text case keeps its order: a sort would fold the cases.
        g->SortSettings().SetAutoSortForGrouping(QString(c.name) != "exact texts");
        g->Group(c.column);
        EXPECT_EQ(g->GroupColumn(), c.column);
        EXPECT_EQ(g->ColCount(), 3);
        EXPECT_EQ(Layout(*g), c.layout);
        EXPECT_FALSE(g->IsGrouping());
        EXPECT_EQ(g->UpdateCount(), 0);
        EXPECT_EQ(g->Row(), 1);
        // The caption of the column that took the grouped column's place.
        EXPECT_EQ(g->Cells(c.column, 0), QStringLiteral("C%1").arg(c.column + 1));
    }
}

TEST(GridGroup, HeaderAndSummaryLooks)
{
    const TColor header = 0x112233, headerText = 0x445566, sum = 0x778899;
    struct Case {
        bool mergeHeader, mergeSummary, summary;
    };
    for (const Case& k : {Case{false, false, true}, Case{true, true, true}, Case{true, true, false}}) {
        SCOPED_TRACE(testing::Message() << k.mergeHeader << k.mergeSummary << k.summary);
        auto g = Make({{"", "c", "Y", "3", "z"}, {"", "a", "X", "1", "z"}});
        g->Grouping().SetSummary(k.summary);
        g->Grouping().SetMergeHeader(k.mergeHeader);
        g->Grouping().SetMergeSummary(k.mergeSummary);
        g->Grouping().SetHeaderColor(header);
        g->Grouping().SetHeaderTextColor(headerText);
        g->Grouping().SetSummaryColor(sum);
        g->Group(2);
        // X: header 1, row 2 (summary 3); Y: header 3 or 4.
        const int h = 1, s = 3;
        ASSERT_TRUE(g->IsNode(h));
        ASSERT_EQ(g->IsSummary(s), k.summary);
        // HeaderColorTo is clNone: left alone.
        EXPECT_EQ(g->ColorsTo(1, h), g->ColorsTo(1, 2));
        if (k.mergeHeader) {
            EXPECT_EQ(g->CellSpan(1, h), QPoint(2, 0));
            EXPECT_EQ(g->Colors(1, h), header);
            EXPECT_EQ(g->FontColors(1, h), headerText);
            // Column 0, outside the merge, keeps its colour.
            EXPECT_EQ(g->Colors(0, h), g->Colors(0, 2));
        } else {
            EXPECT_FALSE(g->IsMergedCell(1, h));
            for (int c = g->FixedCols(); c < g->ColCount(); ++c) {
                EXPECT_EQ(g->Colors(c, h), header);
                EXPECT_EQ(g->FontColors(c, h), headerText);
            }
        }
        if (k.summary && k.mergeSummary) {
            EXPECT_EQ(g->CellSpan(1, s), QPoint(2, 0));
            EXPECT_EQ(g->Colors(1, s), sum);
        } else if (k.summary) {
            for (int c = g->FixedCols(); c < g->ColCount(); ++c) EXPECT_EQ(g->Colors(c, s), sum);
        }
        // Data rows are neither merged nor coloured; without Summary no row
        // but the headers is.
        for (int r = 1; r < g->RowCount(); ++r) {
            if (g->IsNode(r) || g->IsSummary(r)) continue;
            EXPECT_FALSE(g->IsMergedCell(1, r)) << r;
            EXPECT_NE(g->Colors(1, r), sum) << r;
            EXPECT_NE(g->Colors(1, r), header) << r;
        }
    }
}

TEST(GridGroup, ExpandOneLeavesTheFirstGroupOpen)
{
    auto g = Make({{"", "a", "X", "1"}, {"", "b", "Y", "2"}, {"", "c", "Z", "3"}});
    g->CellNode().SetExpandOne(true);
    g->Group(2);
    EXPECT_EQ(Layout(*g), (QStringList{"H:X/2", "a|1", "H:Y/2", "H:Z/2"}));
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_TRUE(g->GetNodeState(3));
    EXPECT_TRUE(g->GetNodeState(4));
}

TEST(GridGroup, SubGroupInsideTheGroups)
{
    for (bool summary : {false, true}) {
        SCOPED_TRACE(summary);
        auto g = Make({{"", "a", "X", "p", "1"},
                       {"", "b", "X", "p", "2"},
                       {"", "c", "X", "q", "3"},
                       {"", "d", "Y", "p", "4"}});
        g->Grouping().SetSummary(summary);
        g->Group(2);
        const QStringList grouped = Layout(*g);
        // Undoing a sub-grouping that was never made changes nothing.
        g->SubUnGroup(2);
        EXPECT_EQ(Layout(*g), grouped);
        g->SubGroup(2);
        // A second sub-grouping of the same column changes nothing either.
        g->SubGroup(2);
        EXPECT_EQ(g->GroupColumn(), 2);
        // Sub-group headers carry their value in column 3; the values left
        // the data rows.
        QStringList want = {"H:X/6", "H:/3", "a||1", "b||2", "H:/2", "c||3"};
        if (summary) want << "S";
        want << "H:Y/3" << "H:/2" << "d||4";
        if (summary) want << "S";
        EXPECT_EQ(Layout(*g), want);
        const int subs[] = {2, 5, summary ? 9 : 8};
        const char* texts[] = {"p", "q", "p"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(g->Cells(3, subs[i]), texts[i]);
            EXPECT_EQ(g->GetNodeLevel(subs[i]), 2);
            EXPECT_EQ(g->CellGraphics(0, subs[i])->CellVar.toInt(), 2);
        }
        g->SubUnGroup(2);
        EXPECT_EQ(Layout(*g), grouped);
    }
}

TEST(GridGroup, UngroupGivesBackTheSortedTable)
{
    struct Case {
        const char* name;
        int column;
        bool summary, merge, subGroup, contract;
    };
    const Case cases[] = {
        {"plain", 2, false, false, false, false},
        {"summary merged, contracted", 2, true, true, false, true},
        {"sub-grouped, contracted", 2, true, false, true, true},
        {"column 1 sub-grouped", 1, false, true, true, false},
    };
    const Rows data = {{"", "e", "Y", "p", "5"}, {"", "a", "X", "q", "1"}, {"", "b", "X", "p", "2"},
                       {"", "c", "Z", "p", "3"}, {"", "d", "X", "q", "4"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto g = Make(data, 1);
        auto want = Make(data, 1);
        for (auto* grid : {g.get(), want.get()}) {
            grid->SetColWidths(k.column, 77);
            grid->SetColors(3, 2, 0x123456);
            grid->SetFontColors(4, 4, 0x654321);
        }
        want->SortSettings().SetColumn(k.column);
        want->QSort();
        g->Grouping().SetSummary(k.summary);
        g->Grouping().SetMergeHeader(k.merge);
        g->Grouping().SetMergeSummary(k.merge);
        g->Grouping().SetHeaderColor(0x00FF00);
        g->Group(k.column);
        EXPECT_EQ(g->ColWidths(k.column), want->ColWidths(k.column + 1));
        if (k.subGroup) g->SubGroup(2);
        if (k.contract) g->ContractNode(1);
        g->UnGroup();
        EXPECT_EQ(g->GroupColumn(), -1);
        EXPECT_EQ(g->NumNodes(), 0);
        EXPECT_EQ(g->NumHiddenRows(), 0);
        EXPECT_EQ(g->ColWidths(k.column), 77);
        EXPECT_EQ(Dump(*g), Dump(*want));
    }
}

TEST(GridGroup, ColumnGridGetsItsItemBack)
{
    auto g = Make<TExtColumnGrid>(kXXY);
    g->Columns().Items(2).SetHeader(QStringLiteral("Kind"));
    g->Columns().Items(2).SetAlignment(TAlignment::taRightJustify);
    g->Columns().Items(3).SetHeader(QStringLiteral("Value"));
    g->Group(2);
    EXPECT_EQ(g->Columns().Count(), 3);
    EXPECT_EQ(g->Columns().Items(2).Header(), "Value");
    EXPECT_EQ(g->SavedColumn().Header(), "Kind");
    // Regrouping gives the first column back before saving the second.
    g->Group(3);
    EXPECT_EQ(g->Columns().Items(2).Header(), "Kind");
    EXPECT_EQ(g->SavedColumn().Header(), "Value");
    g->UnGroup();
    ASSERT_EQ(g->Columns().Count(), 4);
    EXPECT_EQ(g->Columns().Items(2).Header(), "Kind");
    EXPECT_EQ(g->Columns().Items(2).Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(g->Columns().Items(3).Header(), "Value");
}

TEST(GridGroup, GroupResults)
{
    const Rows data = {{"", "a", "X", "1.5"}, {"", "b", "X", "2"}, {"", "c", "Y", "4"}, {"", "d", "Z", "8"}};
    struct Case {
        bool summary;
        int targets[3]; // where the results of X, Y and the contracted Z go
    };
    for (const Case& k : {Case{false, {1, 4, 6}}, Case{true, {4, 7, 9}}}) {
        SCOPED_TRACE(k.summary);
        auto g = Make(data);
        g->Grouping().SetSummary(k.summary);
        g->Group(2);
        g->ContractNode(k.summary ? 8 : 6);
        g->GroupSum(2);
        EXPECT_EQ(g->Cells(2, k.targets[0]), "3.50");
        EXPECT_EQ(g->Cells(2, k.targets[1]), "4.00");
        g->GroupCount(1);
        EXPECT_EQ(g->Cells(1, k.targets[0]), "2");
        EXPECT_EQ(g->Cells(1, k.targets[1]), "1");
        // The contracted group got nothing: its header keeps its text.
        EXPECT_EQ(g->Cells(2, k.targets[2]), "");
        EXPECT_EQ(g->Cells(1, k.targets[2]), k.summary ? "" : "Z");
        // An unknown method writes nothing.
        g->GroupCalc(2, 9);
        EXPECT_EQ(g->Cells(2, k.targets[0]), "3.50");
        // The data rows are untouched.
        EXPECT_EQ(g->Cells(2, 2), "1.5");
    }
}

TEST(GridGroup, GroupResultsSetFooterKindsOnlyWithAVisibleFooter)
{
    struct Case {
        int method;
        TColumnCalcType kind;
    };
    const Case cases[] = {{1, acSUM}, {2, acAVG}, {3, acMIN}, {4, acMAX}, {5, acCOUNT}, {7, acNONE}, {8, acNONE}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.method);
        auto hidden = Make(kXXY);
        hidden->Group(2);
        hidden->GroupCalc(2, k.method);
        EXPECT_EQ(hidden->FloatingFooter().ColumnCalc(2), acNONE);
        auto shown = Make(kXXY, 1);
        shown->FloatingFooter().SetVisible(true);
        shown->Group(2);
        shown->GroupCalc(2, k.method);
        EXPECT_EQ(shown->FloatingFooter().ColumnCalc(2), k.kind);
    }
}

TEST(GridGroup, RefusedColumnsChangeNothing)
{
    auto g = Make(kXXY);
    g->SetFixedCols(2);
    const QStringList before = Dump(*g);
    g->Group(1);
    g->SetFixedCols(0);
    g->Group(0);
    g->SetGroupColumn(0);
    g->SetGroupColumn(-2);
    EXPECT_EQ(g->GroupColumn(), -1);
    EXPECT_EQ(Dump(*g), before);
    // Ungrouping a grid that is not grouped does nothing either.
    g->UnGroup();
    EXPECT_EQ(Dump(*g), before);
}

TEST(GridGroup, WritingTheGroupColumnGroupsAndRegroups)
{
    auto g = Make(kXXY);
    g->SetGroupColumn(2);
    const QStringList once = Layout(*g);
    EXPECT_EQ(once, (QStringList{"H:X/3", "a|1", "b|2", "H:Y/2", "c|3"}));
    g->SetGroupColumn(2);
    EXPECT_EQ(Layout(*g), once);
    EXPECT_EQ(g->NumNodes(), 2);
    g->SetGroupColumn(-1);
    EXPECT_EQ(g->GroupColumn(), -1);
    EXPECT_EQ(Layout(*g), (QStringList{"a|X|1", "b|X|2", "c|Y|3"}));
}

TEST(GridGroup, FailingSortLeavesTheGridUngroupedAndUnlocked)
{
    auto g = Make(kXXY);
    const QStringList before = Dump(*g);
    g->OnGetFormat = [](TExtStringGrid*, int, TSortStyle& s, QString&, QString&) { s = TSortStyle::ssCustom; };
    g->OnCustomCompare = [](TExtStringGrid*, const QString&, const QString&, int&) {
        throw Exception(QStringLiteral("compare failed"));
    };
    EXPECT_THROW(g->Group(2), Exception);
    EXPECT_FALSE(g->IsGrouping());
    EXPECT_EQ(g->UpdateCount(), 0);
    EXPECT_EQ(g->GroupColumn(), -1);
    EXPECT_EQ(Dump(*g), before);
}

TEST(GridGroup, HiddenRowsComeBackWholeAroundGrouping)
{
    auto g = Make({{"", "a", "X", "1"}, {"", "b", "Y", "2"}, {"", "c", "X", "3"}, {"", "d", "Y", "4"}});
    g->HideRow(2);
    g->Group(2);
    EXPECT_EQ(Layout(*g), (QStringList{"H:X/3", "a|1", "c|3", "H:Y/3", "b|2", "d|4"}));
    g->HideRow(5);
    g->UnGroup();
    EXPECT_EQ(g->NumHiddenRows(), 0);
    EXPECT_EQ(Layout(*g), (QStringList{"a|X|1", "c|X|3", "b|Y|2", "d|Y|4"}));
}

TEST(GridGroup, FilteredRowsComeBackWholeAroundGrouping)
{
    auto g = Make({{"", "a", "X", "1"}, {"", "b", "Y", "2"}, {"", "c", "X", "3"}, {"", "d", "Y", "4"}});
    const auto filterOn = [&](const QString& condition) {
        g->Filter().Clear();
        TFilterData& d = g->Filter().Add();
        d.SetColumn(1);
        d.SetCondition(condition);
        g->SetFilterActive(true);
    };
    // Two passes: the second narrows the first.
    filterOn(QStringLiteral("!a"));
    g->ApplyFilter();
    ASSERT_EQ(g->RowCount(), 4);
    g->Group(2);
    EXPECT_FALSE(g->FilterActive());
    EXPECT_EQ(g->NumHiddenRows(), 0);
    EXPECT_EQ(Layout(*g), (QStringList{"H:X/3", "a|1", "c|3", "H:Y/3", "b|2", "d|4"}));
    // Filtering the grouped grid, then ungrouping it.
    filterOn(QStringLiteral("c"));
    ASSERT_LT(g->RowCount(), 7);
    g->UnGroup();
    EXPECT_FALSE(g->FilterActive());
    EXPECT_EQ(g->NumHiddenRows(), 0);
    EXPECT_EQ(Layout(*g), (QStringList{"a|X|1", "c|X|3", "b|Y|2", "d|Y|4"}));
}
