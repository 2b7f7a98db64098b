// Text marking, cell checking, fills and header lists of the string grid.
#include "controls/esgcheck.h"
#include "grid/ExtGrid.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TExtStringGrid> Grid(int cols, int rows)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetFixedCols(1);
    g->SetFixedRows(1);
    return g;
}

QStringList Texts(TExtStringGrid& g)
{
    QStringList l;
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.TotalColCount(); ++c) l << g.Cells(c, r);
    return l;
}

// Corrects to upper case and marks every "x"; records what it was given.
class TUpperChecker : public TExtStringGridCheck {
public:
    QStringList Given;
    int Starts = 0, Stops = 0;
    QString Correct(int, int, const QString& s) override
    {
        Given << s;
        return s.toUpper();
    }
    QString MarkError(int, int, const QString& s) override
    {
        Given << s;
        QString t = s;
        return t.replace(QLatin1String("x"), QLatin1String("<e>x</e>"));
    }
    void StartCheck() override { ++Starts; }
    void StopCheck() override { ++Stops; }
};

} // namespace

TEST(GridMarking, MarkAndUnmarkTexts)
{
    TExtStringGrid g;
    EXPECT_EQ(g.HilightText(false, "a Cat", "cat"), QStringLiteral("a <hi>Cat</hi>"));
    EXPECT_EQ(g.HilightText(true, "a Cat", "cat"), QStringLiteral("a Cat"));
    EXPECT_EQ(g.MarkText(false, "<b>ab</b>", "b"), QStringLiteral("<b>a<e>b</e></b>"));
    EXPECT_EQ(g.UnHilightText("a <hi>Cat</hi>"), QStringLiteral("a Cat"));
    EXPECT_EQ(g.UnMarkText("<b>a<e>b</e></b>"), QStringLiteral("<b>ab</b>"));
}

TEST(GridMarking, CellRoundTripsOfTrickyTexts)
{
    auto g = Grid(2, 2);
    // (A literal text holding a whole tag pair and nothing else to escape
    // reads as a marked one: it is left out.)
    const QStringList texts{"<", "&", "&lt;", "<hi>", "a</hi>", "\"q\" & <x>", "plain"};
    for (const QString& s : texts) {
        for (const QString& find : {QStringLiteral("<"), QStringLiteral("&"), QStringLiteral("hi"), QStringLiteral("q"),
                                    QStringLiteral("zz")}) {
            g->SetCells(1, 1, s);
            g->HilightInCell(false, 1, 1, find);
            const bool match = s.contains(find, Qt::CaseInsensitive);
            EXPECT_EQ(g->Cells(1, 1) != s, match) << s.toStdString() << " / " << find.toStdString();
            g->UnHilightInCell(1, 1);
            EXPECT_EQ(g->Cells(1, 1), s) << s.toStdString() << " / " << find.toStdString();
            g->MarkInCell(true, 1, 1, find);
            g->UnMarkInCell(1, 1);
            EXPECT_EQ(g->Cells(1, 1), s) << s.toStdString() << " / " << find.toStdString();
        }
        // A cell never marked stays as it is.
        g->SetCells(1, 1, s);
        g->UnHilightInCell(1, 1);
        EXPECT_EQ(g->Cells(1, 1), s) << s.toStdString();
    }
}

TEST(GridMarking, RangesRewriteOnlyMatchingCells)
{
    auto g = Grid(4, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) g->SetCells(c, r, QStringLiteral("a%1<b%2").arg(c).arg(r));
    const QStringList before = Texts(*g);
    g->HilightInGrid(false, false, "a2");
    // Only column 2 of the data rows matched.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const bool hit = c == 2 && r >= 1;
            EXPECT_EQ(g->Cells(c, r).contains("<hi>"), hit) << c << "," << r;
            if (!hit) {
                EXPECT_EQ(g->Cells(c, r), before[r * 4 + c]);
            }
        }
    g->UnHilightInGrid(true);
    EXPECT_EQ(Texts(*g), before);
    // With the fixed cells.
    g->HilightInCol(true, false, 1, "a1");
    EXPECT_TRUE(g->Cells(1, 0).contains("<hi>"));
    g->UnHilightInCol(true, 1);
    // A row without the fixed cells: column 0 stays as it is.
    g->HilightInRow(false, false, 0, "a");
    EXPECT_EQ(g->Cells(0, 0), before[0]);
    EXPECT_EQ(g->Cells(1, 0), QStringLiteral("<hi>a</hi>1&lt;b0"));
    g->UnHilightInRow(true, 0);
    EXPECT_EQ(Texts(*g), before);
    g->MarkInCell(false, 3, 2, "B2");
    EXPECT_EQ(g->Cells(3, 2), QStringLiteral("a3&lt;<e>b2</e>"));
    g->UnMarkInRow(false, 2);
    EXPECT_EQ(Texts(*g), before);
}

TEST(GridMarking, HiddenColumnsInRanges)
{
    auto g = Grid(4, 2);
    for (int c = 0; c < 4; ++c) g->SetCells(c, 1, "x");
    g->HideColumn(3);
    g->MarkInGrid(false, false, "x");
    // Marking walks the shown data columns; unmarking takes the hidden ones too.
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("<e>x</e>"));
    EXPECT_EQ(g->Cells(3, 1), QStringLiteral("x"));
    g->MarkInCell(false, 3, 1, "x");
    g->UnMarkInGrid(false);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g->Cells(c, 1), QStringLiteral("x")) << c;
}

TEST(GridChecking, CheckCells)
{
    auto g = Grid(3, 3);
    g->SetCells(1, 1, "ax");
    g->SetCells(2, 1, "B");
    g->SetCells(1, 2, "c");
    g->SetCells(2, 2, "D");
    const QStringList before = Texts(*g);
    EXPECT_TRUE(g->CheckCells(0, 0, 2, 2));
    EXPECT_EQ(Texts(*g), before);

    TUpperChecker checker;
    g->CellChecker = &checker;
    checker.SetUseCorrect(true);
    EXPECT_FALSE(g->CheckGrid(false));
    EXPECT_EQ(checker.Starts, 1);
    EXPECT_EQ(checker.Stops, 1);
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("AX"));
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("C")); // checked after a failure too
    EXPECT_TRUE(g->CheckRow(false, 2));

    // Correct and MarkError both get the clean text (old marks removed).
    g->SetCells(1, 1, "a<e>x</e>");
    checker.Given.clear();
    checker.SetUseMarkError(true);
    EXPECT_FALSE(g->CheckCell(1, 1));
    EXPECT_EQ(checker.Given, (QStringList{"ax", "ax"}));
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("a<e>x</e>"));

    // GotoCell comes back to the current cell.
    checker.SetGotoCell(true);
    g->MoveColRow(2, 2, true, true);
    g->CheckCol(false, 1);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    g->CellChecker = nullptr;
}

TEST(GridFills, FourFills)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.LinearFill(true);
    EXPECT_EQ(Texts(g), (QStringList{"0:0", "1:0", "2:0", "0:1", "1:1", "2:1"}));
    g.TextFill(true, "t");
    EXPECT_EQ(Texts(g), QStringList(6, "t"));
    g.FormatFill(true, "%d-%03d|%%");
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("2-001|%"));
    // A pattern that does not take two integers changes nothing.
    for (const QString& bad : {QStringLiteral("%s"), QStringLiteral("%d %d %d"), QStringLiteral("%f"), QStringLiteral("%")}) {
        const QStringList before = Texts(g);
        EXPECT_THROW(g.FormatFill(true, bad), EConvertError) << bad.toStdString();
        EXPECT_EQ(Texts(g), before);
    }
    std::vector<int> ranges;
    g.RandomSource = [&](int range) {
        ranges.push_back(range);
        return int(ranges.size());
    };
    g.RandomFill(true, 7);
    EXPECT_EQ(Texts(g), (QStringList{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(ranges, std::vector<int>(6, 7));

    // Without fixed cells, and the footer follows the fill.
    auto f = Grid(3, 4);
    f->FloatingFooter().SetVisible(true);
    f->FloatingFooter().SetColumnCalc(1, acSUM);
    f->SetCells(0, 1, "keep");
    f->TextFill(false, "2");
    EXPECT_EQ(f->Cells(0, 1), QStringLiteral("keep"));
    EXPECT_EQ(f->Cells(0, 0), QString());
    EXPECT_DOUBLE_EQ(f->Floats(1, 3), 4);
}

TEST(GridHeaders, ListsIntoFixedRowAndColumn)
{
    auto g = Grid(3, 3);
    g->SetColumnHeaders({"a", "two\\nlines", "c", "beyond"});
    EXPECT_EQ(g->Cells(1, 0), QStringLiteral("two\rlines"));
    EXPECT_EQ(g->Cells(2, 0), QStringLiteral("c"));
    EXPECT_EQ(g->TotalColCount(), 3); // lines past the columns are left out
    g->SetColumnHeaders({"x"});
    EXPECT_EQ((QStringList{g->Cells(0, 0), g->Cells(1, 0), g->Cells(2, 0)}), (QStringList{"x", "", ""}));
    g->SetRowHeaders({"", "r1", "r2"});
    EXPECT_EQ(g->Cells(0, 2), QStringLiteral("r2"));
    g->ClearRowHeaders();
    EXPECT_EQ(g->Cells(0, 2), QString());
    // Without a fixed row nothing is written.
    auto plain = Grid(2, 2);
    plain->SetFixedRows(0);
    plain->SetCells(0, 0, "keep");
    plain->SetColumnHeaders({"h"});
    EXPECT_EQ(plain->Cells(0, 0), QStringLiteral("keep"));
}

TEST(GridHeaders, MergedColumnsMergeAnew)
{
    auto g = Grid(3, 5);
    for (int r = 1; r < 5; ++r) g->SetCells(1, r, r < 3 ? "a" : "b");
    g->MergedColumns().Add(1);
    EXPECT_FALSE(g->IsBaseCell(1, 2));
    g->MergedColumns().Delete(0);
    EXPECT_TRUE(g->IsBaseCell(1, 2));
}
