// Column and row aggregates, the footer row and the floating-footer settings.
#include "grid/ExtGrid.h"
#include "grid/ExtGridPanels.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// One fixed row; column 1 holds the given texts from row 1 on.
std::unique_ptr<TExtStringGrid> Column(const QStringList& texts, int extraRows = 0)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(3);
    g->SetRowCount(int(texts.size()) + 1 + extraRows);
    g->SetFixedRows(1);
    for (int i = 0; i < texts.size(); ++i) g->SetCells(1, i + 1, texts[i]);
    return g;
}

// Records the progress notifications of the aggregates.
class TRecordingGrid : public TExtStringGrid {
public:
    std::vector<std::pair<TGridExportState, int>> Log;
    void ExportNotification(TGridExportState state, int r) override { Log.emplace_back(state, r); }
};

} // namespace

TEST(GridCalc, ColumnAggregates)
{
    // "1-2" is no number (a plain letter reads as an empty value).
    auto g = Column({"1", "2", "1-2", "4"});
    EXPECT_DOUBLE_EQ(g->ColumnSum(1, -1, -1), 7);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1, -1, -1), 7.0 / 4);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1, 3, 2), 0);
    EXPECT_DOUBLE_EQ(g->ColumnMax(1), 4);
    EXPECT_DOUBLE_EQ(g->ColumnMin(1), 1);
    auto m = Column({"5", "3", "9"});
    EXPECT_DOUBLE_EQ(m->ColumnMin(1), 3);
    EXPECT_DOUBLE_EQ(m->ColumnMax(1), 9);
    auto e = Column({"", "5", "3"});
    EXPECT_DOUBLE_EQ(e->ColumnMin(1), 0);
    // A first cell that is no number raises to the caller.
    auto x = Column({"1-2", "5"});
    EXPECT_THROW(x->ColumnMin(1), EExtGridError);
    EXPECT_THROW(g->ColumnStdDev(1), EExtGridError);
    auto d = Column({"a", "A", "b"});
    EXPECT_DOUBLE_EQ(d->ColumnDistinct(1), 2);
    auto s = Column({"2", "4", "4", "4", "5", "5", "7", "9"});
    EXPECT_DOUBLE_EQ(s->ColumnStdDev(1), 2);
    EXPECT_DOUBLE_EQ(s->ColumnStdDev(1, 5, 4), 0); // empty range
}

TEST(GridCalc, NodeAndSummaryRowsCountWithoutGroupColumn)
{
    auto g = Column({"10", "1", "2", "20"});
    g->AddNode(1, 3);
    g->MarkSummaryRow(4);
    ASSERT_EQ(g->GroupColumn(), -1);
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), 33);
}

TEST(GridCalc, MergedCellsAndRealRowsInRange)
{
    auto g = Column({"1", "2", "4", "8"});
    g->MergeCells(1, 2, 1, 2); // row 3 is covered by row 2
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), 1 + 2 + 8);
    g->SplitCells(1, 2);
    g->HideRow(2);
    // A range inside the shown rows reads display rows; beyond them, real rows.
    EXPECT_DOUBLE_EQ(g->ColumnSum(1, 1, g->RowCount() - 1), 1 + 4 + 8);
    EXPECT_DOUBLE_EQ(g->ColumnSum(1, 1, g->RowCount() + 1), 1 + 2 + 4 + 8);
}

TEST(GridCalc, ProgressNotifications)
{
    TRecordingGrid g;
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SetFixedRows(1);
    g.SetCells(1, 1, "1");
    g.SetCells(1, 2, "2");
    g.ColumnSum(1);
    using S = TGridExportState;
    EXPECT_EQ(g.Log, (std::vector<std::pair<S, int>>{
                         {S::esExportStart, 1}, {S::esExportNextRow, 1}, {S::esExportNextRow, 2}, {S::esExportDone, -1}}));
    g.Log.clear();
    g.ColumnStdDev(1);
    // Its average's walk, then only start and end of its own.
    ASSERT_GE(g.Log.size(), 2u);
    EXPECT_EQ(g.Log[g.Log.size() - 2], std::make_pair(S::esExportStart, 1));
    EXPECT_EQ(g.Log.back(), std::make_pair(S::esExportDone, -1));
}

TEST(GridCalc, RowAggregatesAndEvents)
{
    auto g = Column({});
    g->SetRowCount(2);
    g->SetColCount(5);
    for (int c = 0; c < 5; ++c) g->SetCells(c, 1, QStringList{"3", "1-2", "1", "6", "2"}[c]);
    EXPECT_DOUBLE_EQ(g->RowSum(1, 0, 4), 12);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 0, 4), 12.0 / 5);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 3, 2), 0);
    EXPECT_DOUBLE_EQ(g->RowMin(1, 0, 4), 1);
    EXPECT_DOUBLE_EQ(g->RowMax(1, 0, 4), 6);
    EXPECT_DOUBLE_EQ(g->RowMin(1, 4, 3), 2); // empty: the start value
    EXPECT_THROW(g->RowMax(1, 1, 4), EExtGridError);
    EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1, 1, 1), 0);
    g->OnColumnCalc = [](TExtStringGrid*, int c, int from, int to, double& res) { res = c * 100 + from * 10 + to; };
    EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(2, 1, 3), 213);
    g->OnGroupCalc = [](TExtStringGrid*, int, int, int, double& res) { res += 5; };
    EXPECT_DOUBLE_EQ(g->DoGroupCalc(0, 0, 0), 5);
}

// ---------------------------------------------------------------------------
// Footer

namespace {

// 1 fixed row, data rows 1..5 in column 1 (1..5) and column 2 (texts), and
// the footer row 6.
std::unique_ptr<TExtStringGrid> FooterGrid()
{
    auto g = Column({"1", "2", "3", "4", "5"}, 1);
    for (int r = 1; r <= 5; ++r) g->SetCells(2, r, QStringLiteral("t%1").arg(r));
    g->FloatingFooter().SetVisible(true);
    return g;
}

} // namespace

TEST(GridFooter, SettingsDefaultsAndVisibility)
{
    TExtStringGrid g;
    TFloatingFooter& f = g.FloatingFooter();
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(g.FooterPanel().PanelHeight(), 0);
    EXPECT_EQ(f.FooterStyle(), TFooterStyle::fsFixedLastRow);
    EXPECT_EQ(f.Color(), clBtnFace);
    EXPECT_EQ(f.BorderColor(), clNone);
    EXPECT_TRUE(f.EnableCalculation());
    EXPECT_TRUE(f.CalculateHiddenRows());
    EXPECT_EQ(g.FixedFooters(), 0);
    f.SetVisible(true);
    EXPECT_EQ(g.FixedFooters(), 1);
    EXPECT_TRUE(g.HideLastRow());
    f.SetFooterStyle(TFooterStyle::fsColumnPreview);
    EXPECT_FALSE(g.HideLastRow());
    EXPECT_EQ(g.FixedFooters(), 1);
    f.SetVisible(false);
    EXPECT_EQ(g.FixedFooters(), 0);
    EXPECT_EQ(g.FooterPanel().PanelHeight(), 0);

    TExtStringGrid other;
    f.SetBorderColor(clRed);
    f.SetColumn(2);
    f.SetCustomTemplate("a <#1> b");
    f.SetCalculateHiddenRows(false);
    f.SetEnableCalculation(false);
    f.SetShowHint(true);
    f.SetVisible(true);
    other.FloatingFooter().Assign(f);
    const TFloatingFooter& o = other.FloatingFooter();
    EXPECT_EQ(o.Column(), 2);
    EXPECT_EQ(o.CustomTemplate(), QStringLiteral("a <#1> b"));
    EXPECT_EQ(o.FooterStyle(), TFooterStyle::fsColumnPreview);
    EXPECT_FALSE(o.CalculateHiddenRows());
    EXPECT_TRUE(o.ShowHint());
    EXPECT_TRUE(other.FooterPanel().ShowHint()); // the panel's switch follows
    EXPECT_TRUE(o.Visible());
    EXPECT_EQ(other.FixedFooters(), 0); // preview style: no footer row
    // Not copied.
    EXPECT_EQ(o.BorderColor(), clNone);
    EXPECT_TRUE(o.EnableCalculation());
}

TEST(GridFooter, ColumnCalculations)
{
    auto g = FooterGrid();
    TFloatingFooter& f = g->FloatingFooter();
    EXPECT_EQ(f.GetColumnCalc(1), acNONE);
    EXPECT_FALSE(g->HasCellProps(1, 6));
    f.SetColumnCalc(1, acSUM);
    EXPECT_TRUE(g->HasCellProps(1, 6));
    EXPECT_EQ(f.GetColumnCalc(1), acSUM);
    EXPECT_DOUBLE_EQ(g->Floats(1, 6), 15);
    struct Case {
        TColumnCalcType kind;
        QString text;
    };
    for (const Case& c : {Case{acAVG, "3"}, Case{acMIN, "1"}, Case{acMAX, "5"}, Case{acCOUNT, "5"},
                          Case{acDISTINCT, "5"}}) {
        f.SetColumnCalc(1, c.kind);
        EXPECT_DOUBLE_EQ(g->Floats(1, 6), c.text.toDouble()) << int(c.kind);
    }
    f.SetColumnCalc(1, acSTDDEV);
    EXPECT_NEAR(g->Floats(1, 6), std::sqrt(2.0), 0.006); // stored through the float format
    // A custom column without handlers is empty; the grid's event comes
    // before the footer's own.
    g->SetCells(2, 6, "old");
    f.SetColumnCalc(2, acCUSTOM);
    EXPECT_EQ(g->Cells(2, 6), QString());
    f.OnCalcFooter = [](TExtStringGrid*, int, int, QString& v) { v = "footer"; };
    g->CalcFooter(2);
    EXPECT_EQ(g->Cells(2, 6), QStringLiteral("footer"));
    g->OnFooterCalc = [](TExtStringGrid*, int c, int r, QString& v) { v = QStringLiteral("%1/%2").arg(c).arg(r); };
    g->CalcFooter(2);
    EXPECT_EQ(g->Cells(2, 6), QStringLiteral("2/6"));
}

TEST(GridFooter, CountWithHiddenRowsAndFollowingChanges)
{
    auto g = Column({"1", "2", "3", "4", "5", "6", "7"}, 1);
    g->FloatingFooter().SetVisible(true);
    g->FloatingFooter().SetColumnCalc(2, acCOUNT);
    g->FloatingFooter().SetColumnCalc(1, acSUM);
    EXPECT_EQ(g->Ints(2, 8), 7);
    g->HideRows(6, 7);
    g->CalcFooter(-1);
    EXPECT_EQ(g->Ints(2, 6), 7);
    EXPECT_DOUBLE_EQ(g->Floats(1, 6), 28);
    g->FloatingFooter().SetCalculateHiddenRows(false);
    g->CalcFooter(-1);
    EXPECT_EQ(g->Ints(2, 6), 5);
    EXPECT_DOUBLE_EQ(g->Floats(1, 6), 15);
    // One hidden row counts as well, and the footer row never counts itself.
    g->UnHideRows(7, 7);
    g->FloatingFooter().SetCalculateHiddenRows(true);
    g->CalcFooter(-1);
    EXPECT_DOUBLE_EQ(g->Floats(1, 7), 28);
    g->UnHideRowsAll();

    // Bulk loads and node changes recalculate.
    g->FloatingFooter().SetCalculateHiddenRows(false);
    g->SetCells(1, 1, "100");
    g->CellsLoaded();
    EXPECT_DOUBLE_EQ(g->Floats(1, 8), 127);
    g->AddNode(1, 3);
    g->ContractNode(1);
    EXPECT_DOUBLE_EQ(g->Floats(1, 6), 100 + 4 + 5 + 6 + 7);
    g->ExpandNode(1);
    EXPECT_DOUBLE_EQ(g->Floats(1, 8), 127);
    g->SetCells(1, 2, "12");
    g->ColumnCellChanged(1);
    EXPECT_DOUBLE_EQ(g->Floats(1, 8), 137);
}

TEST(GridFooter, FailingColumnLeftEmptyOthersComputed)
{
    auto g = FooterGrid();
    g->SetCells(1, 1, "1-2");
    g->SetCells(2, 1, "1-2");
    g->FloatingFooter().SetColumnCalc(2, acMIN); // first cell no number
    g->FloatingFooter().SetColumnCalc(1, acSUM);
    g->SetCells(2, 6, "stale");
    EXPECT_NO_THROW(g->CalcFooter(-1));
    EXPECT_EQ(g->Cells(2, 6), QString());
    EXPECT_DOUBLE_EQ(g->Floats(1, 6), 14);
    g->FloatingFooter().SetColumnCalc(1, acSTDDEV);
    EXPECT_EQ(g->Cells(1, 6), QString());
    // Switched off or in another style: nothing is computed.
    g->FloatingFooter().SetColumnCalc(1, acSUM);
    g->FloatingFooter().SetEnableCalculation(false);
    g->SetCells(1, 6, "keep");
    g->CalcFooter(-1);
    EXPECT_EQ(g->Cells(1, 6), QStringLiteral("keep"));
}

TEST(GridFooter, FollowsAnEdit)
{
    QWidget host;
    auto g = FooterGrid();
    g->SetOptions(g->Options().With(goEditing));
    g->CreateWnd(&host);
    host.show();
    g->FloatingFooter().SetColumnCalc(1, acSUM);
    ASSERT_DOUBLE_EQ(g->Floats(1, 6), 15);
    g->SetCol(1);
    g->SetRow(2);
    g->ShowInplaceEdit();
    g->SetEditorText("12");
    g->SetRow(3);
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("12"));
    EXPECT_DOUBLE_EQ(g->Floats(1, 6), 25);
}
