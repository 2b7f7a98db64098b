// Find, replace, the sort-column search and the search bar's handlers.
#include "grid/ExtCGrid.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using enum TFindParameters;
const QPoint None(-1, -1);

//        col 1     col 2           col 3
// row 1  apple     Banana          cherry
// row 2            apple pie       date
// row 3  APPLE     fig
// row 4  grape     <b>apple</b>    kiwi
void Fill(TExtStringGrid& g)
{
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    const QStringList rows[] = {{"H0", "H1", "H2", "H3"},
                                {"", "apple", "Banana", "cherry"},
                                {"", "", "apple pie", "date"},
                                {"", "APPLE", "fig", ""},
                                {"", "grape", "<b>apple</b>", "kiwi"}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) g.SetCells(c, r, rows[r][c]);
}

// Records the export notifications of every search.
class RecordingGrid : public TExtStringGrid {
public:
    std::vector<std::pair<TGridExportState, int>> Notes;
    void ExportNotification(TGridExportState state, int r) override { Notes.emplace_back(state, r); }
};

class FakeBar : public ISearchBarView {
public:
    QString Box;
    TColor Color = clWindow;
    bool Highlight = false, Case = false;
    int Repaints = 0;
    QString Text() const override { return Box; }
    TColor BoxColor() const override { return Color; }
    void SetBoxColor(TColor c) override { Color = c; }
    bool HighlightDown() const override { return Highlight; }
    bool MatchCase() const override { return Case; }
    void Repaint() override { ++Repaints; }
};

} // namespace

TEST(GridFind, MatchOptionsAndScanOrders)
{
    struct Case {
        const char* Name;
        QString Text;
        TFindParams Params;
        QPoint Expect;
    };
    const std::vector<Case> cases = {
        {"column by column", "r", {}, {1, 4}},
        {"row by row", "r", {fnDirectionLeftRight}, {3, 1}},
        {"case ignored", "apple", {}, {1, 1}},
        {"case matched", "APPLE", {fnMatchCase}, {1, 3}},
        {"lower case matched", "apple", {fnMatchCase}, {1, 1}},
        {"inside", "pie", {}, {2, 2}},
        {"start only", "pie", {fnMatchStart}, None},
        {"start", "apple p", {fnMatchStart}, {2, 2}},
        {"full", "apple", {fnMatchFull, fnMatchCase}, {1, 1}},
        {"not full", "apple pi", {fnMatchFull}, None},
        {"two quotes: first empty cell", "\"\"", {}, {1, 2}},
        {"two quotes row by row", "\"\"", {fnDirectionLeftRight}, {1, 2}},
        {"empty text finds nothing", "", {}, None},
        {"expression", "ki*", {fnMatchRegular}, {3, 4}},
        {"expression, case", "KI*", {fnMatchRegular, fnMatchCase}, None},
        {"tags searched", "<b>", {}, {2, 4}},
        {"tags ignored", "<b>", {fnIgnoreHTMLTags}, None},
        {"backward", "apple", {fnBackward}, {2, 4}},
        {"backward row by row", "apple", {fnBackward, fnDirectionLeftRight}, {2, 4}},
        {"fixed cells left out", "H1", {}, None},
        {"fixed cells", "H1", {fnIncludeFixed}, {1, 0}},
        {"current row", "apple", {fnFindInCurrentRow}, {1, 3}},
        {"preset row", "apple", {fnFindInPresetRow}, {2, 4}},
        {"current column", "a", {fnFindInCurrentCol}, {2, 1}},
        {"preset column", "a", {fnFindInPresetCol}, {3, 2}},
        {"selection", "apple", {fnSelectedCells}, {2, 2}},
    };
    for (const Case& tc : cases) {
        TExtStringGrid g;
        Fill(g);
        g.SetRow(3);
        g.SetCol(2);
        if (tc.Params.Contains(fnSelectedCells)) g.SetSelection(TGridRect{2, 2, 3, 4});
        g.SetFindRow(4);
        g.SetFindCol(3);
        const QPoint current(g.Col(), g.Row());
        EXPECT_EQ(g.Find(None, tc.Text, tc.Params), tc.Expect) << tc.Name;
        EXPECT_EQ(QPoint(g.Col(), g.Row()), current) << tc.Name; // without fnAutoGoto nothing moves
    }
}

TEST(GridFind, FindNextWalksOnAndStartsOverAfterAMiss)
{
    TExtStringGrid g;
    Fill(g);
    EXPECT_EQ(g.FindNext(), None); // nothing searched yet
    std::vector<QPoint> seen{g.FindFirst(QStringLiteral("apple"), {})};
    for (int i = 0; i < 5; ++i) seen.push_back(g.FindNext());
    EXPECT_EQ(seen, (std::vector<QPoint>{{1, 1}, {1, 3}, {2, 2}, {2, 4}, None, {1, 1}}));
    EXPECT_EQ(g.SearchCell(), QPoint(1, 1));
    EXPECT_EQ(g.SearchCache(), QStringLiteral("APPLE"));

    // Left to right within the current column: each matching row once.
    g.SetCol(1);
    seen = {g.FindFirst(QStringLiteral("p"), {fnDirectionLeftRight, fnFindInCurrentCol})};
    for (int i = 0; i < 3; ++i) seen.push_back(g.FindNext());
    EXPECT_EQ(seen, (std::vector<QPoint>{{1, 1}, {1, 3}, {1, 4}, None}));

    // Backwards from past the start restarts at the last cell.
    EXPECT_EQ(g.Find(QPoint(0, 0), QStringLiteral("apple"), {fnBackward}), QPoint(2, 4));
    // Forwards from past the end restarts at the first cell.
    EXPECT_EQ(g.Find(QPoint(9, 9), QStringLiteral("apple"), {}), QPoint(1, 1));
}

TEST(GridFind, AutoGotoMovesTheCurrentCell)
{
    TExtStringGrid g;
    Fill(g);
    EXPECT_EQ(g.FindFirst(QStringLiteral("kiwi"), {fnAutoGoto}), QPoint(3, 4));
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.FindFirst(QStringLiteral("nothing"), {fnAutoGoto}), None);
    EXPECT_EQ(g.Row(), 4);
}

TEST(GridFind, ExportNotifications)
{
    RecordingGrid g;
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.SetCells(1, 2, QStringLiteral("x"));
    using S = TGridExportState;
    g.Find(None, QStringLiteral("x"), {});
    EXPECT_EQ(g.Notes, (std::vector<std::pair<S, int>>{
                           {S::esExportStart, -1}, {S::esExportNewRow, 1}, {S::esExportNewRow, 2}, {S::esExportFail, -1}}));
    g.Notes.clear();
    g.Find(None, QStringLiteral("y"), {});
    EXPECT_EQ(g.Notes, (std::vector<std::pair<S, int>>{
                           {S::esExportStart, -1}, {S::esExportNewRow, 1}, {S::esExportNewRow, 2}, {S::esExportDone, -1}}));
}

TEST(GridFind, HiddenColumnsAndWideTexts)
{
    TExtStringGrid g;
    Fill(g);
    g.HideColumn(1);
    // "kiwi" lives in real column 3, the second shown column after the fixed one.
    EXPECT_EQ(g.Find(None, QStringLiteral("kiwi"), {}), QPoint(2, 4));
    EXPECT_EQ(g.Find(None, QStringLiteral("grape"), {}), None);
    EXPECT_EQ(g.Find(None, QStringLiteral("grape"), {fnIncludeHiddenColumns}), QPoint(1, 4));
    EXPECT_EQ(g.Replace(QStringLiteral("kiwi"), QStringLiteral("lime"), {}), 1);
    EXPECT_EQ(g.GridCells(3, 4), QStringLiteral("lime"));
    EXPECT_EQ(g.FindWide(None, QStringLiteral("\u00E9t\u00E9"), {}), None);
    g.SetWideCells(2, 3, QStringLiteral("\u00C9T\u00C9"));
    EXPECT_EQ(g.FindWide(None, QStringLiteral("\u00E9t\u00E9"), {}), QPoint(1, 3)); // display column
    EXPECT_EQ(g.SearchCacheWide(), QStringLiteral("\u00C9T\u00C9"));
    EXPECT_EQ(g.SearchCache(), QString());
}

TEST(GridFind, HiddenRowsAreReachedThroughTheirNodes)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(9);
    g.SetFixedRows(1);
    for (int r = 1; r < 9; ++r) g.SetCells(1, r, QStringLiteral("r%1").arg(r));
    g.SetCells(1, 4, QStringLiteral("needle"));
    g.SetCells(1, 7, QStringLiteral("needle too"));
    g.AddNode(2, 4); // rows 2..5
    g.AddNode(3, 2); // rows 3..4 inside it
    g.ContractNode(3);
    g.ContractNode(2);
    g.HideRow(7);
    g.SetRow(1);
    const TFindParams p{fnIncludeHiddenRows, fnAutoGoto, fnMatchFull};
    EXPECT_EQ(g.FindFirst(QStringLiteral("needle"), p), QPoint(1, 4));
    EXPECT_FALSE(g.IsHiddenRow(4)); // both nodes opened
    EXPECT_EQ(g.Row(), g.DisplRowIndex(TRealRow(4)).Value());
    EXPECT_EQ(g.Cells(1, g.Row()), QStringLiteral("needle"));
    const int row = g.Row();
    EXPECT_EQ(g.FindFirst(QStringLiteral("needle too"), p), QPoint(1, 7));
    EXPECT_TRUE(g.IsHiddenRow(7));
    EXPECT_EQ(g.Row(), row); // a row hidden otherwise is out of reach
}

TEST(GridReplace, CountsCasesAndStoredText)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(6);
    const QStringList texts{"a-A-a", "aaa", "bAb", "<b>b</b>", "none"};
    for (int r = 1; r < 6; ++r) g.SetCells(1, r, texts[r - 1]);
    EXPECT_EQ(g.Replace(QStringLiteral("a"), QStringLiteral("x"), {}), 3); // cells, not occurrences
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("x-x-x"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("xxx"));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("bxb"));

    for (int r = 1; r < 6; ++r) g.SetCells(1, r, texts[r - 1]);
    EXPECT_EQ(g.Replace(QStringLiteral("A"), QStringLiteral("y"), {fnMatchCase}), 2);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("a-y-a"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("aaa"));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("byb"));

    // Outside the tags only.
    EXPECT_EQ(g.Replace(QStringLiteral("b"), QStringLiteral("c"), {fnIgnoreHTMLTags, fnMatchFull}), 1);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("<b>c</b>"));
    EXPECT_EQ(g.Replace(QStringLiteral("zzz"), QStringLiteral("c"), {}), 0);

    g.ShowModified().SetEnabled(true);
    EXPECT_EQ(g.Replace(QStringLiteral("none"), QStringLiteral("some"), {}), 1);
    EXPECT_TRUE(g.RowModified(5));
    EXPECT_FALSE(g.RowModified(4));
}

TEST(GridReplace, FormattedNumberKeepsItsDigits)
{
    // The display text shows two decimals of the stored number.
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(2);
    g.OnGetDisplText = [](TBaseGrid*, int, int, QString& v) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) v = QString::number(d, 'f', 2);
    };
    g.SetCells(1, 1, QStringLiteral("3.14159"));
    ASSERT_EQ(g.Cells(1, 1), QStringLiteral("3.14"));
    EXPECT_EQ(g.Replace(QStringLiteral("3.1"), QStringLiteral("4.1"), {}), 1);
    EXPECT_EQ(g.GridCells(1, 1), QStringLiteral("4.14159"));
    // Found in the display text but not in the stored one: left alone.
    g.SetCells(1, 1, QStringLiteral("2.999"));
    ASSERT_EQ(g.Cells(1, 1), QStringLiteral("3.00"));
    EXPECT_EQ(g.Replace(QStringLiteral("3.0"), QStringLiteral("x"), {}), 0);
    EXPECT_EQ(g.GridCells(1, 1), QStringLiteral("2.999"));
}

TEST(GridSearch, SortColumnPrefix)
{
    TExtStringGrid g;
    Fill(g);
    EXPECT_EQ(g.Search(QStringLiteral("GR")), 4);
    EXPECT_EQ(g.Search(QStringLiteral("APP")), 1);
    EXPECT_EQ(g.Search(QStringLiteral("app")), -1); // callers pass upper case
    EXPECT_EQ(g.Search(QStringLiteral("H")), -1);   // fixed rows left out
    g.SortSettings().SetShow(true);
    g.SortSettings().SetColumn(3);
    EXPECT_EQ(g.Search(QStringLiteral("KI")), 4);
    g.SortSettings().SetColumn(-1);
    EXPECT_EQ(g.Search(QStringLiteral("KI")), -1);
    g.SetRowCount(1);
    EXPECT_EQ(g.Search(QString()), -1);
}

// ---------------------------------------------------------------------------
// The search bar

TEST(GridSearchBar, TypingColoursTheBoxAndMovesToTheMatch)
{
    TExtStringGrid g;
    Fill(g);
    FakeBar bar;
    g.SetSearchBarView(&bar);
    g.SearchFooter().SetAutoSearch(true);
    std::vector<std::tuple<QString, int, int, TSearchAction>> actions;
    g.OnSearchFooterAction = [&](TExtStringGrid*, const QString& v, int c, int r, TSearchAction a) {
        actions.emplace_back(v, c, r, a);
    };
    g.SearchFooterEditChange(QStringLiteral("zzz"));
    EXPECT_EQ(bar.Color, clRed);
    EXPECT_EQ(g.SearchCell(), None);
    g.SearchFooterEditChange(QString());
    EXPECT_EQ(bar.Color, clWindow);
    g.SearchFooterEditChange(QStringLiteral("gra"));
    EXPECT_EQ(bar.Color, clWindow);
    EXPECT_EQ(g.SearchCell(), QPoint(1, 4));
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions.back(), std::make_tuple(QStringLiteral("gra"), 1, 4, TSearchAction::saFindFirst));
    EXPECT_GE(bar.Repaints, 3);

    // The match-case box.
    bar.Case = true;
    g.SearchFooterEditChange(QStringLiteral("APPLE"));
    EXPECT_EQ(g.SearchCell(), QPoint(1, 3));

    // A handler may take the search over.
    g.OnSearchEditChange = [](TExtStringGrid*, const QString&, bool& def) { def = false; };
    g.SearchFooterEditChange(QStringLiteral("zzz"));
    EXPECT_EQ(bar.Color, clWindow);
}

TEST(GridSearchBar, FindNextContinuesOrStartsOver)
{
    // With AutoSearch the buttons go on from the cell found while typing.
    TExtStringGrid g;
    Fill(g);
    FakeBar bar;
    g.SetSearchBarView(&bar);
    g.SearchFooter().SetAutoSearch(true);
    bar.Box = QStringLiteral("apple");
    g.SearchFooterEditChange(bar.Box);
    EXPECT_EQ(g.SearchCell(), QPoint(1, 1));
    g.SearchFooterFindNext();
    EXPECT_EQ(g.SearchCell(), QPoint(1, 3));
    EXPECT_EQ(g.Row(), 3);
    g.SearchFooterFindPrev();
    EXPECT_EQ(g.SearchCell(), QPoint(1, 1));

    // Without it a changed text starts from the top.
    TExtStringGrid h;
    Fill(h);
    h.SetSearchBarView(&bar);
    h.SearchFooter().SetAutoSearch(false);
    bar.Box = QStringLiteral("apple");
    h.SearchFooterEditChange(bar.Box); // no search while typing
    EXPECT_EQ(h.SearchCell(), QPoint(0, 0));
    std::vector<QPoint> seen;
    for (int i = 0; i < 3; ++i) {
        h.SearchFooterFindNext();
        seen.push_back(h.SearchCell());
    }
    EXPECT_EQ(seen, (std::vector<QPoint>{{1, 1}, {1, 3}, {2, 2}}));
    EXPECT_EQ(h.SearchFooter().LastSearch, QStringLiteral("apple"));
    bar.Box = QStringLiteral("Banana"); // only before the last match
    h.SearchFooterFindNext();
    EXPECT_EQ(h.SearchCell(), QPoint(2, 1));
}

TEST(GridSearchBar, HighlightButton)
{
    TExtStringGrid g;
    Fill(g);
    FakeBar bar;
    g.SetSearchBarView(&bar);
    bar.Box = QStringLiteral("kiwi");
    bar.Highlight = true;
    g.SearchFooterHighlight();
    EXPECT_NE(g.Cells(3, 4), QStringLiteral("kiwi"));
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("cherry"));
    bar.Highlight = false;
    g.SearchFooterHighlight();
    EXPECT_EQ(g.Cells(3, 4), QStringLiteral("kiwi"));
}
