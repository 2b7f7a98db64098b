// Tree nodes of the string grid: levels, parents, expanding and contracting,
// child rows and the glyph hit test.
#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

namespace {

// A grid with one fixed row whose cell (1, r) reads "r<r>".
std::unique_ptr<TExtStringGrid> Tree(int rows, int cols = 3)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetFixedRows(1);
    for (int r = 0; r < rows; ++r) g->SetCells(1, r, QStringLiteral("r%1").arg(r));
    return g;
}

QStringList Shown(TExtStringGrid& g)
{
    QStringList l;
    for (int r = 0; r < g.RowCount(); ++r) l << g.Cells(1, r);
    return l;
}

QStringList Marks(std::initializer_list<int> rows)
{
    QStringList l;
    for (int r : rows) l << QStringLiteral("r%1").arg(r);
    return l;
}

int LevelOf(TExtStringGrid& g, int r)
{
    const TCellProperties* p = g.CellPropsOrNull(0, r);
    return p ? p->NodeLevel() : 0;
}

} // namespace

TEST(GridNodes, LevelsParentsAndQueries)
{
    auto g = Tree(5);
    g->AddNode(1, 3);
    g->AddNode(2, 2);
    EXPECT_TRUE(g->HasNodes());
    EXPECT_EQ(g->NumNodes(), 2);
    EXPECT_EQ((std::vector<int>{LevelOf(*g, 1), LevelOf(*g, 2), LevelOf(*g, 3), LevelOf(*g, 4)}),
              (std::vector<int>{1, 2, 2, 0}));
    EXPECT_EQ(g->GetParentRow(3), 2);
    EXPECT_EQ(g->GetParentRow(2), 1);
    EXPECT_EQ(g->GetParentRow(4), -1);
    // A child row that is no node answers -1 for level and span.
    EXPECT_EQ(g->GetNodeLevel(3), -1);
    EXPECT_EQ(g->GetNodeSpan(3), -1);
    EXPECT_EQ(g->GetSubNodeCount(3), 0);
    EXPECT_EQ(g->GetNodeLevel(2), 2);
    EXPECT_EQ(g->GetNodeSpan(1), 3);
    EXPECT_EQ(g->GetNodeIndent(3), 2 * g->CellNode().NodeIndent());
    EXPECT_EQ(g->GetNodeSpanType(1), 0);
    EXPECT_EQ(g->GetNodeSpanType(3), 1); // row 4 is outside every node
    const TCellGraphic* node = g->CellGraphics(0, 1);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->CellHAlign, TCellHAlign::haBeforeText);
    EXPECT_EQ(node->CellVar.toInt(), -1);
    // Removing lowers the levels again; the count follows.
    g->RemoveNode(2);
    EXPECT_EQ(LevelOf(*g, 3), 1);
    EXPECT_FALSE(g->IsNode(2));
    g->RemoveAllNodes();
    EXPECT_FALSE(g->HasNodes());
    EXPECT_EQ(LevelOf(*g, 1), 0);
}

TEST(GridNodes, SpanIsClippedToTheGrid)
{
    auto g = Tree(4);
    g->AddNode(2, 50);
    EXPECT_EQ(g->GetNodeSpan(2), 2);
    EXPECT_EQ(g->RowCount(), 4);
    g->ContractNode(2);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2}));
    g->ExpandNode(2);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3}));
}

TEST(GridNodes, ContractAndExpandGiveRowsBackInPlace)
{
    auto g = Tree(8);
    g->AddNode(1, 3);
    g->AddNode(4, 0); // up to the next node row
    g->AddNode(6, 0); // up to the last row
    g->SetCells(2, 2, QStringLiteral("x"));
    g->SetColors(2, 2, clRed);
    g->ContractNode(1);
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4, 5, 6, 7}));
    g->ContractNode(4);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4, 6, 7}));
    g->ContractNode(6);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4, 6}));
    // Nodes are display rows for the queries.
    EXPECT_TRUE(g->GetNodeState(2));
    EXPECT_EQ(g->GetParentRow(3), 3); // a node row without parent answers itself
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4, 6}));
    // Cell objects come back with their rows.
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("x"));
    EXPECT_EQ(g->Colors(2, 2), clRed);
    // A row that is no node, or an expanded node: nothing happens.
    g->ExpandNode(2);
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4, 6}));
    g->ExpandAll();
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4, 5, 6, 7}));
    g->ContractAll();
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4, 6}));
    g->SetNodeState(2, false);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4, 5, 6}));
}

TEST(GridNodes, ContractedNodeInsideAnother)
{
    auto g = Tree(8);
    g->AddNode(1, 6); // rows 1..6
    g->AddNode(2, 3); // rows 2..4
    g->ContractNode(2);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 5, 6, 7}));
    EXPECT_EQ(g->GetParentRow(3), 1); // display row 3 is real row 5
    g->ContractNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 7}));
    // The inner node went into the parked block expanded.
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(g->GetNodeState(2));
}

TEST(GridNodes, ExpandingShowsOnlyTheNodesOwnRows)
{
    auto g = Tree(8);
    g->AddNode(1, 3);
    g->HideRow(4); // hidden by the program, next to the node
    g->ContractNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 5, 6, 7}));
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 5, 6, 7}));
    g->UnHideRow(4);
    // A filter level inside the node keeps its row.
    TIntList filtered(-1, -1);
    filtered.Add(3);
    g->HideRowList(filtered);
    g->ContractNode(1);
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 4, 5, 6, 7}));
    g->UnHideRowList();
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(GridNodes, ExpandOneFoldsTheOthers)
{
    auto g = Tree(7);
    g->CellNode().SetExpandOne(true);
    g->AddNode(1, 3);
    g->AddNode(4, 3);
    g->ContractAll();
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4}));
    g->ExpandNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4}));
    g->ExpandNode(4);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 4, 5, 6}));
}

TEST(GridNodes, InsertChildRowOnNodeRowMakesFirstChild)
{
    auto g = Tree(5);
    g->AddNode(1, 2);
    g->SetCells(2, 1, QStringLiteral("n2"));
    g->ContractNode(1);
    g->InsertChildRow(1, 0);
    EXPECT_FALSE(g->GetNodeState(1)); // the node opened for its new row
    EXPECT_EQ(g->Cells(1, 1), QString());
    EXPECT_EQ(g->Cells(2, 1), QString());
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("r1"));
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("n2"));
    EXPECT_TRUE(g->IsNode(1));
    EXPECT_EQ(g->GetNodeSpan(1), 3);
    EXPECT_EQ(g->GetSubNodeCount(1), 1);
    EXPECT_EQ(LevelOf(*g, 2), 1);
    EXPECT_EQ(Shown(*g), (QStringList{"r0", "", "r1", "r2", "r3", "r4"}));
    // The node still holds exactly its rows.
    g->ContractNode(1);
    EXPECT_EQ(Shown(*g), (QStringList{"r0", "", "r3", "r4"}));
}

TEST(GridNodes, ChildRowsAlongTheParentChain)
{
    auto g = Tree(7);
    g->AddNode(1, 5); // rows 1..5
    g->AddNode(2, 3); // rows 2..4
    g->InsertChildRow(3, 1);
    EXPECT_EQ(g->GetNodeSpan(2), 4);
    EXPECT_EQ(g->GetNodeSpan(1), 6);
    EXPECT_EQ(LevelOf(*g, 4), 2);
    EXPECT_EQ(g->GetParentRow(4), 2);
    // Hidden rows behind the new row keep their real places.
    g->RemoveChildRow(4);
    EXPECT_EQ(g->GetNodeSpan(2), 3);
    EXPECT_EQ(g->GetNodeSpan(1), 5);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 2, 3, 4, 5, 6}));
    g->ContractNode(1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 6}));
    g->ExpandNode(1);
    // Removing a child of a contracted inner node opens it.
    g->ContractNode(2);
    g->RemoveChildRow(3); // real row 3 (hidden): nothing
    EXPECT_EQ(g->GetNodeSpan(2), 3);
    // A contracted node row that goes gives its parked rows back.
    g->RemoveChildRow(2);
    EXPECT_EQ(g->NumNodes(), 1);
    EXPECT_EQ(Shown(*g), Marks({0, 1, 3, 4, 5, 6}));
    EXPECT_EQ(g->NumHiddenRows(), 0);
}

TEST(GridNodes, GlyphHitByNodeType)
{
    auto g = Tree(4);
    g->AddNode(1, 2);
    g->AddNode(2, 1); // level 2
    g->CellNode().SetNodeIndent(12);
    struct Case {
        TNodeType type;
        int x;
        bool hit;
    };
    // Level 2, indent 12: cnXP hits for 4 + 12 < x < 4 + 24.
    for (const Case& c : {Case{TNodeType::cnXP, 16, false}, Case{TNodeType::cnXP, 17, true},
                          Case{TNodeType::cnXP, 27, true}, Case{TNodeType::cnXP, 28, false},
                          Case{TNodeType::cn3D, 13, true}, Case{TNodeType::cn3D, 30, false},
                          Case{TNodeType::cnLeaf, 31, true}, Case{TNodeType::cnGlyph, 13, true},
                          Case{TNodeType::cnGlyph, 24, false}}) {
        g->CellNode().SetNodeType(c.type);
        EXPECT_EQ(g->IsNodeGlyphHit(2, c.x), c.hit) << int(c.type) << " x " << c.x;
    }
    g->MouseActions().SetPreciseNodeClick(false);
    EXPECT_TRUE(g->IsNodeGlyphHit(2, 500));
}

TEST(GridNodes, SummaryRowsAndSpanTypes)
{
    auto g = Tree(6);
    g->AddNode(1, 3);
    g->MarkSummaryRow(4);
    EXPECT_TRUE(g->IsSummary(4));
    EXPECT_FALSE(g->IsNode(4));
    EXPECT_EQ(g->GetNodeSpanType(2), 2); // row 3 is at the same level
    EXPECT_EQ(g->GetNodeSpanType(3), 1); // the node's last row
}
