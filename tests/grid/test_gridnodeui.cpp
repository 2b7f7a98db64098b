// Tree nodes on screen and under the user's hands: the tree lines painted in
// the first column, a click on a node glyph and the node keys.
#include "controls/ExtUtilDraw.h"
#include "grid/ExtGrid.h"
#include "PaintedGrid.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One fixed row, no fixed column, 60 x 22 cells; column 1 of row r reads
// "r<r>". Rows 1-5 form node 1 (span 5), rows 2-3 the nested node 2, and
// row 6 stands alone.
struct NodeUi : ::testing::Test {
    TExtStringGrid g;
    void SetUp() override
    {
        g.Font = TestFont();
        g.FontColor = clBlack;
        g.SetColCount(3);
        g.SetRowCount(7);
        g.SetFixedCols(0);
        g.SetFixedRows(1);
        for (int c = 0; c < 3; ++c) g.SetColWidths(c, 60);
        for (int r = 0; r < 7; ++r) {
            g.SetRowHeights(r, 22);
            g.SetCells(1, r, QStringLiteral("r%1").arg(r));
        }
        g.SetClientSize(180, 154);
        g.Color = clWhite;
        g.SetGridLineColor(clSilver);
        g.AddNode(1, 5);
        g.AddNode(2, 2);
        g.CellNode().SetNodeType(TNodeType::cnFlat);
        g.CellNode().SetColor(clWhite);
        g.CellNode().SetNodeColor(clBlack);
        g.CellNode().SetTreeColor(0x00C000);
        g.CellNode().SetShowTree(true);
    }
    QImage Shot() { return PaintShot(g); }
    QStringList Shown()
    {
        QStringList l;
        for (int r = 1; r < g.RowCount(); ++r) l << g.Cells(1, r);
        return l;
    }
    void Key(int key)
    {
        g.DoKeyDown(key, {});
    }
    void Click(int x, int r)
    {
        const TRect rc = g.CellRect(0, r);
        const int y = (rc.Top + rc.Bottom) / 2;
        g.MouseDown(mbLeft, {}, x, y);
        g.MouseUp(mbLeft, {}, x, y);
    }
};

int Mid(int r) { return r * 22 + 11; }

QStringList Rows(std::initializer_list<int> rows)
{
    QStringList l;
    for (int r : rows) l << QStringLiteral("r%1").arg(r);
    return l;
}

} // namespace

TEST_F(NodeUi, TreeLinesFollowLevelsAndSpans)
{
    g.CellNode().SetShowTreeFull(false);
    const QImage img = Shot();
    const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) img.save(QDir(dir).filePath(QStringLiteral("node_tree_lines.png")));
    const TColor tree = 0x00C000;
    // Row 3 (level 2, last row of node 2): its own line at
    // 2 x 12 + 6 - 12 + 2 = 20 from the top to mid-height, the line of
    // node 1 at 8 going on down, and its horizontal line to 24 + 4.
    EXPECT_EQ(At(img, 20, 3 * 22 + 2), tree);
    EXPECT_NE(At(img, 20, 3 * 22 + 18), tree);
    EXPECT_EQ(At(img, 8, 3 * 22 + 18), tree);
    EXPECT_EQ(At(img, 25, Mid(3)), tree);
    EXPECT_NE(At(img, 40, Mid(3)), tree);
    // Row 4 (level 1, inside node 1 with row 5 below): the line at 8 runs
    // through the whole row.
    EXPECT_EQ(At(img, 8, 4 * 22 + 2), tree);
    EXPECT_EQ(At(img, 8, 4 * 22 + 20), tree);
    // Row 6 is in no node: no tree line; neither in the header row.
    for (int x = 0; x < 58; ++x) {
        EXPECT_NE(At(img, x, Mid(6)), tree) << x;
        EXPECT_NE(At(img, x, 10), tree) << x;
    }
    // ShowTreeFull draws the horizontal lines to the cell's right edge.
    g.CellNode().SetShowTreeFull(true);
    EXPECT_EQ(At(Shot(), 50, Mid(3)), tree);
    // Without ShowTree no line is drawn at all.
    g.CellNode().SetShowTree(false);
    const QImage bare = Shot();
    int n = 0;
    for (int y = 0; y < bare.height(); ++y)
        for (int x = 0; x < 60; ++x) n += At(bare, x, y) == tree;
    EXPECT_EQ(n, 0);
}

TEST_F(NodeUi, NodeRowTextStandsBesideTheLevelRoom)
{
    // The node button takes level x 12 + 4 pixels before the text, even
    // with another node indent.
    g.CellNode().SetNodeIndent(20);
    g.SetCells(0, 2, QStringLiteral("W"));
    g.SetCells(0, 6, QStringLiteral("W"));
    const QImage img = Shot();
    auto firstInk = [&img](int r) {
        for (int x = 0; x < 58; ++x)
            if (At(img, x, Mid(r)) == clBlack || At(img, x, Mid(r) - 2) == clBlack) return x;
        return -1;
    };
    // Row 6 holds plain text at the cell's left; row 2 (level 2) starts
    // right of the room of 28 pixels.
    EXPECT_LT(firstInk(6), 8);
    EXPECT_GE(firstInk(2), 28);
}

TEST_F(NodeUi, GlyphClickFiresTheNodeEventsAndCanBeRefused)
{
    std::vector<QString> seen;
    g.OnMouseDown = [&](TCustomGrid*, TMouseButton, TShiftState, int, int) { seen.push_back(QStringLiteral("down")); };
    g.OnClickCell = [&](TExtStringGrid*, int r, int c) { seen.push_back(QStringLiteral("click %1,%2").arg(r).arg(c)); };
    bool allow = true;
    g.OnBeforeContractNode = [&](TExtStringGrid*, int r, int real, bool& a) {
        seen.push_back(QStringLiteral("before contract %1/%2").arg(r).arg(real));
        a = allow;
    };
    g.OnContractNode = [&](TExtStringGrid*, int r, int real) { seen.push_back(QStringLiteral("contract %1/%2").arg(r).arg(real)); };
    g.OnBeforeExpandNode = [&](TExtStringGrid*, int r, int real, bool& a) {
        seen.push_back(QStringLiteral("before expand %1/%2").arg(r).arg(real));
        a = allow;
    };
    g.OnExpandNode = [&](TExtStringGrid*, int r, int real) { seen.push_back(QStringLiteral("expand %1/%2").arg(r).arg(real)); };

    // Node 2's glyph (level 2, flat: 4 + 12 < x < 4 + 24).
    ASSERT_TRUE(g.IsNodeGlyphHit(2, 20));
    Click(20, 2);
    EXPECT_EQ(seen, (std::vector<QString>{"down", "click 2,0", "before contract 2/2", "contract 2/2"}));
    EXPECT_EQ(Shown(), Rows({1, 2, 4, 5, 6}));
    // Node 1 contracts; then a click on its glyph expands it with node 2
    // opened again.
    seen.clear();
    Click(10, 1);
    EXPECT_EQ(Shown(), Rows({1, 6}));
    Click(10, 1);
    EXPECT_EQ(seen.back(), QStringLiteral("expand 1/1"));
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    // A refusal changes nothing and reports nothing after the question.
    allow = false;
    seen.clear();
    Click(10, 1);
    EXPECT_EQ(seen, (std::vector<QString>{"down", "click 1,0", "before contract 1/1"}));
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    // Beside the glyph (precise clicks) the node stays as it is.
    allow = true;
    Click(45, 1);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    // Without precise clicks anywhere in column 0 of the node row works.
    g.MouseActions().SetPreciseNodeClick(false);
    Click(45, 1);
    EXPECT_EQ(Shown(), Rows({1, 6}));
}

TEST_F(NodeUi, GlyphClickMovesTheRowOnlyWhenAsked)
{
    g.SetCol(1);
    g.SetRow(6);
    Click(20, 2);
    EXPECT_EQ(g.Row(), 5); // the same row, one up after the fold
    EXPECT_EQ(g.Cells(1, g.Row()), QStringLiteral("r6"));
    g.MouseActions().SetMoveRowOnNodeClick(true);
    Click(20, 2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
}

TEST_F(NodeUi, HeaderNodeGlyphFoldsAndUnfoldsTheWholeTree)
{
    auto header = std::make_unique<TCellGraphic>();
    header->CellType = TCellType::ctNode;
    header->CellBoolean = false;
    g.SetGraphicObjectEx(0, 0, std::move(header));
    g.MouseActions().SetPreciseNodeClick(false);
    // Without NodeAllExpandContract the header glyph does nothing.
    Click(5, 0);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    g.MouseActions().SetNodeAllExpandContract(true);
    Click(5, 0);
    EXPECT_EQ(Shown(), Rows({1, 6}));
    EXPECT_TRUE(g.GetCellGraphic(0, 0)->CellBoolean);
    Click(5, 0);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(g.GetCellGraphic(0, 0)->CellBoolean);
}

TEST_F(NodeUi, FixedCellButtonIsNotPushedByTheNodeGlyph)
{
    g.SetFixedCols(1);
    g.SetFixedAsButtons(true);
    g.SetOptions(g.Options().With(goFixedVertLine).With(goFixedHorzLine));
    // A press on the glyph of a fixed node cell folds the node (a pushed
    // button would have taken the press) ...
    Click(20, 2);
    EXPECT_EQ(Shown(), Rows({1, 2, 4, 5, 6}));
    // ... a press beside it is the button's and leaves the node alone.
    Click(45, 2);
    EXPECT_EQ(Shown(), Rows({1, 2, 4, 5, 6}));
    Click(20, 2);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
}

TEST_F(NodeUi, RightAndLeftOnAMergedNodeRowExpandAndContract)
{
    g.SetCol(1);
    g.SetRow(1);
    // Unmerged: the keys only move.
    Key(VK_LEFT);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    g.MergeCells(1, 1, 2, 1);
    g.SetCol(1);
    Key(VK_LEFT);
    EXPECT_EQ(Shown(), Rows({1, 6}));
    g.SetCol(1);
    Key(VK_RIGHT);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
    // Not on a row that is no node.
    g.MergeCells(1, 4, 2, 1);
    g.SetCol(1);
    g.SetRow(4);
    Key(VK_LEFT);
    EXPECT_EQ(Shown(), Rows({1, 2, 3, 4, 5, 6}));
}

TEST_F(NodeUi, GlyphClickThroughTheWindow)
{
    // A deeper tree for the picture: node 3 inside node 2 inside node 1.
    g.SetRowCount(9);
    for (int r = 7; r < 9; ++r) {
        g.SetRowHeights(r, 22);
        g.SetCells(1, r, QStringLiteral("r%1").arg(r));
    }
    g.AddNode(6, 3);
    g.AddNode(7, 2);
    g.CellNode().SetNodeType(TNodeType::cnXP);
    TGridWidget* w = g.CreateWidget(nullptr);
    w->resize(240, 240);
    w->show();
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) w->grab().save(QDir(dir).filePath(QStringLiteral("node_grid_window.png")));
    // The glyph of node 2 (row 2, level 2) folds it.
    const TRect rc = g.CellRect(0, 2);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, QPoint(20, (rc.Top + rc.Bottom) / 2));
    QApplication::processEvents();
    if (!dir.isEmpty()) w->grab().save(QDir(dir).filePath(QStringLiteral("node_grid_window_folded.png")));
    EXPECT_EQ(Shown(), Rows({1, 2, 4, 5, 6, 7, 8}));
    delete w;
}
