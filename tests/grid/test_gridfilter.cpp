// Filtering: the filter conditions, the row test, filter levels, narrowing
// while typing and the filter list handlers.
#include "controls/ExtUtil.h"
#include "grid/ExtCGrid.h"

#include <gtest/gtest.h>

namespace {

// A filter list as the drop-down shows it: entries and their ticks.
class FakeFilterList : public IFilterListView {
public:
    QStringList Entries;
    std::vector<bool> Ticks;
    int Repaints = 0;
    int EntryCount() const override { return int(Entries.size()); }
    QString Entry(int i) const override { return Entries[i]; }
    bool Checked(int i) const override { return i < int(Ticks.size()) && Ticks[size_t(i)]; }
    void Repaint() override { ++Repaints; }
};

} // namespace

// ---------------------------------------------------------------------------
// Conditions

TEST(GridFilterData, AddInsertAndOperations)
{
    TFilter f;
    EXPECT_EQ(f.Add().Operation(), TFilterOperation::foNONE);
    EXPECT_EQ(f.Add().Operation(), TFilterOperation::foAND);
    f.Items(0).SetColumn(10);
    f.Items(1).SetColumn(11);
    TFilterData& ins = f.Insert(1);
    ins.SetColumn(12);
    EXPECT_EQ(ins.Operation(), TFilterOperation::foSHORT);
    f.Insert(99).SetColumn(13); // clamped: appended
    f.Insert(-5).SetColumn(14); // clamped: first
    std::vector<int> cols;
    for (int i = 0; i < f.Count(); ++i) cols.push_back(f.Items(i).Column());
    EXPECT_EQ(cols, (std::vector<int>{14, 10, 12, 11, 13}));
    for (int bad : {-1, 5}) {
        try {
            f.Items(bad);
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (%1)").arg(bad));
        }
    }
}

TEST(GridFilterData, ColumnLookupAndRemoval)
{
    TFilter f;
    f.Add().SetColumn(1);
    f.Add().SetColumn(2);
    f.Add().SetColumn(1);
    f.Items(0).SetCondition(QStringLiteral("first"));
    f.Items(2).SetCondition(QStringLiteral("second"));
    EXPECT_EQ(f.GetColFilter(1).Condition(), QStringLiteral("first"));
    EXPECT_EQ(f.Count(), 3);
    EXPECT_FALSE(f.HasFilter(4));
    TFilterData& made = f.GetColFilter(4);
    EXPECT_EQ(f.Count(), 4);
    EXPECT_EQ(made.Column(), 4);
    EXPECT_EQ(made.Operation(), TFilterOperation::foAND);
    EXPECT_TRUE(f.HasFilter(4));
    f.RemoveColumnFilter(1); // no grid: nothing to repaint
    ASSERT_EQ(f.Count(), 2);
    EXPECT_EQ(f.Items(0).Column(), 2);
    EXPECT_EQ(f.Items(1).Column(), 4);
}

TEST(GridFilterData, AssignCopiesEveryFieldMethodIncluded)
{
    TFilterData src;
    src.SetColumn(3);
    src.SetCondition(QStringLiteral(">5"));
    src.SetCaseSensitive(false);
    src.SetSuffix(QStringLiteral("kg"));
    src.SetPrefix(QStringLiteral("$"));
    src.SetOperation(TFilterOperation::foXOR);
    src.SetData(TFilterCells::fcStripHTML);
    src.SetMethod(TFilterMethod::fmLiteral);
    TFilter f;
    f.Add();
    f.SetItems(0, src);
    const TFilterData& d = f.Items(0);
    EXPECT_EQ(d.Column(), 3);
    EXPECT_EQ(d.Condition(), QStringLiteral(">5"));
    EXPECT_FALSE(d.CaseSensitive());
    EXPECT_EQ(d.Suffix(), QStringLiteral("kg"));
    EXPECT_EQ(d.Prefix(), QStringLiteral("$"));
    EXPECT_EQ(d.Operation(), TFilterOperation::foXOR);
    EXPECT_EQ(d.Data(), TFilterCells::fcStripHTML);
    EXPECT_EQ(d.Method(), TFilterMethod::fmLiteral);
}

TEST(GridFilterData, GridOwnsItsFilterAndFilterRowWriterTakesOnlyFixedRows)
{
    TExtStringGrid g;
    EXPECT_EQ(g.Filter().Owner(), &g);
    EXPECT_EQ(g.FilterCol(), -1);
    g.SetRowCount(5);
    g.SetFixedRows(2);
    g.SetFilterDropDownRow(1);
    EXPECT_EQ(g.FilterDropDownRow(), 1);
    g.SetFilterDropDownRow(2);
    EXPECT_EQ(g.FilterDropDownRow(), 1);
    g.Filter().Add().SetColumn(2);
    g.Filter().RemoveColumnFilter(2);
    EXPECT_EQ(g.Filter().Count(), 0);
    FakeFilterList list;
    g.SetFilterListView(&list);
    EXPECT_EQ(g.FilterListView(), &list);
}

// ---------------------------------------------------------------------------
// The row test

namespace {

struct Cond {
    int Col;
    QString Condition;
    TFilterOperation Op = TFilterOperation::foNONE;
    TFilterCells Data = TFilterCells::fcVirtual;
    TFilterMethod Method = TFilterMethod::fmExpression;
    bool CaseSensitive = true;
    QString Prefix = {}, Suffix = {};
};

// A grid of three columns: row 0 is the header, rows 1 .. n hold texts.
std::unique_ptr<TExtStringGrid> TextGrid(const std::vector<QStringList>& rows)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(3);
    g->SetRowCount(int(rows.size()) + 1);
    g->SetFixedRows(1);
    g->SetFixedCols(1);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < rows[size_t(r)].size(); ++c) g->SetCells(c, r + 1, rows[size_t(r)][c]);
    return g;
}

void SetConditions(TExtStringGrid& g, const std::vector<Cond>& conds)
{
    g.Filter().Clear();
    for (const Cond& c : conds) {
        TFilterData& d = g.Filter().Add();
        d.SetColumn(c.Col);
        d.SetCondition(c.Condition);
        d.SetOperation(c.Op);
        d.SetData(c.Data);
        d.SetMethod(c.Method);
        d.SetCaseSensitive(c.CaseSensitive);
        d.SetPrefix(c.Prefix);
        d.SetSuffix(c.Suffix);
    }
}

// Column 1 of every shown row from row 1 on.
QStringList ShownCol1(TExtStringGrid& g)
{
    QStringList l;
    for (int r = 1; r < g.RowCount(); ++r) l << g.Cells(1, r);
    return l;
}

} // namespace

TEST(GridFilterMatch, ConditionTable)
{
    using O = TFilterOperation;
    using D = TFilterCells;
    using M = TFilterMethod;
    struct Case {
        const char* Name;
        QStringList Row; // columns 0, 1, 2
        std::vector<Cond> Conds;
        bool Pass;
    };
    const QString wide = EncodeWideCellText(QStringLiteral("\u03A9mega"));
    const std::vector<Case> cases = {
        {"no conditions", {"", "abc", "xyz"}, {}, true},
        {"empty condition", {"", "abc", "xyz"}, {{1, ""}}, true},
        {"short failure ends the test", {"", "abc", "xyz"}, {{1, "q*", O::foSHORT}, {2, "x*", O::foOR}}, false},
        {"none then or", {"", "abc", "xyz"}, {{1, "q*", O::foNONE}, {2, "x*", O::foOR}}, true},
        {"none then or, both fail", {"", "abc", "xyz"}, {{1, "q*", O::foNONE}, {2, "q*", O::foOR}}, false},
        {"and", {"", "abc", "xyz"}, {{1, "a*"}, {2, "q*", O::foAND}}, false},
        {"xor of two matches", {"", "abc", "xyz"}, {{1, "a*"}, {2, "x*", O::foXOR}}, false},
        {"xor of one match", {"", "abc", "xyz"}, {{1, "a*"}, {2, "q*", O::foXOR}}, true},
        {"short success goes on", {"", "abc", "xyz"}, {{1, "a*", O::foSHORT}, {2, "q*", O::foAND}}, false},
        {"row text, any case", {"", "xxABCDxx", "1"}, {{0, "bcd", O::foNONE, D::fcRow}}, true},
        {"row text misses", {"", "xxABCDxx", "1"}, {{0, "bce", O::foNONE, D::fcRow}}, false},
        {"row text spans no cells", {"", "ab", "cd"}, {{0, "bc", O::foNONE, D::fcRow}}, false},
        {"blanks trimmed", {"", "  abc ", ""}, {{1, "abc", O::foNONE, D::fcVirtual, M::fmLiteral}}, true},
        {"literal is case-sensitive", {"", "ABC", ""}, {{1, "abc", O::foNONE, D::fcVirtual, M::fmLiteral, false}}, false},
        {"expression ignores case", {"", "ABC", ""}, {{1, "abc", O::foNONE, D::fcVirtual, M::fmExpression, false}}, true},
        {"prefix removed", {"", "$12", ""}, {{1, ">10", O::foNONE, D::fcVirtual, M::fmExpression, true, "$"}}, true},
        {"text without prefix tested whole", {"", "12", ""}, {{1, "12", O::foNONE, D::fcVirtual, M::fmLiteral, true, "$"}}, true},
        {"prefix only at the start", {"", "x$12", ""}, {{1, "x$12", O::foNONE, D::fcVirtual, M::fmLiteral, true, "$"}}, true},
        {"suffix removed", {"", "5kg", ""}, {{1, "5", O::foNONE, D::fcVirtual, M::fmLiteral, true, "", "kg"}}, true},
        {"doubled suffix kept", {"", "5kgkg", ""}, {{1, "5kgkg", O::foNONE, D::fcVirtual, M::fmLiteral, true, "", "kg"}}, true},
        {"doubled suffix not stripped once", {"", "5kgkg", ""}, {{1, "5kg", O::foNONE, D::fcVirtual, M::fmLiteral, true, "", "kg"}}, false},
        {"stripped html", {"", "<b>bold</b>", ""}, {{1, "bold", O::foNONE, D::fcStripHTML, M::fmLiteral}}, true},
        {"display text keeps html", {"", "<b>bold</b>", ""}, {{1, "bold", O::foNONE, D::fcVirtual, M::fmLiteral}}, false},
        {"wide text decoded", {"", wide, ""}, {{1, "\u03A9*"}}, true},
        {"column outside the grid", {"", "abc", ""}, {{7, "a*"}}, false},
    };
    for (const Case& tc : cases) {
        auto g = TextGrid({tc.Row});
        SetConditions(*g, tc.Conds);
        EXPECT_EQ(g->MatchFilterRow(1), tc.Pass) << tc.Name;
    }
}

TEST(GridFilterMatch, CustomFilterHasTheLastWord)
{
    auto g = TextGrid({{"", "a"}, {"", "b"}});
    SetConditions(*g, {{1, "a"}});
    std::vector<std::pair<int, bool>> asked;
    g->OnCustomFilter = [&](TExtStringGrid*, int r, bool& accept) {
        asked.emplace_back(r, accept);
        accept = !accept;
    };
    EXPECT_FALSE(g->MatchFilterRow(1));
    EXPECT_TRUE(g->MatchFilterRow(2));
    EXPECT_EQ(asked, (std::vector<std::pair<int, bool>>{{1, true}, {2, false}}));
}

// ---------------------------------------------------------------------------
// Filter passes and levels

TEST(GridFilterPass, ProgressRoundsHalvesToEvenAndSkipsNodeRows)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 8; ++i) rows.push_back({"", QString::number(i)});
    auto g = TextGrid(rows);
    SetConditions(*g, {{1, ">3"}});
    std::vector<int> progress;
    g->OnFilterProgress = [&](TExtStringGrid*, int16_t p) { progress.push_back(p); };
    g->ApplyFilter();
    EXPECT_EQ(progress, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100, 100}));
    EXPECT_EQ(ShownCol1(*g), (QStringList{"4", "5", "6", "7"}));
    EXPECT_EQ(g->FilterLevel(), 1);

    // A node row is neither hidden nor counted.
    auto n = TextGrid({{"", "node"}, {"", "1"}, {"", "9"}, {"", "2"}});
    n->AddNode(1, 2);
    SetConditions(*n, {{1, ">5"}});
    progress.clear();
    n->OnFilterProgress = [&](TExtStringGrid*, int16_t p) { progress.push_back(p); };
    n->ApplyFilter();
    EXPECT_EQ(progress, (std::vector<int>{25, 50, 75, 75}));
    EXPECT_EQ(ShownCol1(*n), (QStringList{"node", "9"}));
}

TEST(GridFilterPass, EmptyGridStillAddsALevel)
{
    auto g = TextGrid({{"", "footer"}});
    g->SetFixedFooters(1); // no normal row left
    bool fired = false;
    g->OnFilterProgress = [&](TExtStringGrid*, int16_t) { fired = true; };
    g->ApplyFilter();
    EXPECT_FALSE(fired);
    EXPECT_EQ(g->FilterLevel(), 1);
    EXPECT_FALSE(g->RemoveLastFilter());
    EXPECT_EQ(g->FilterLevel(), 0);
    EXPECT_FALSE(g->RemoveLastFilter()); // none left: changes nothing
    EXPECT_EQ(g->FilterLevel(), 0);
}

TEST(GridFilterPass, LevelsStackAndComeOffOneByOne)
{
    auto g = TextGrid({{"", "1"}, {"", "2"}, {"", "3"}, {"", "4"}, {"", "5"}});
    SetConditions(*g, {{1, ">1"}});
    g->ApplyFilter();
    SetConditions(*g, {{1, ">2"}});
    g->ApplyFilter();
    SetConditions(*g, {{1, "<5"}});
    g->ApplyFilter();
    EXPECT_EQ(ShownCol1(*g), (QStringList{"3", "4"}));
    EXPECT_TRUE(g->RemoveLastFilter()); // two levels left
    EXPECT_EQ(ShownCol1(*g), (QStringList{"3", "4", "5"}));
    EXPECT_FALSE(g->RemoveLastFilter());
    EXPECT_EQ(ShownCol1(*g), (QStringList{"2", "3", "4", "5"}));
    EXPECT_FALSE(g->RemoveLastFilter());
    EXPECT_EQ(ShownCol1(*g), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(g->FixedRows(), 1);
    EXPECT_EQ(g->Filter().Count(), 1);
    g->RemoveAllFilters(); // no level: the conditions go
    EXPECT_EQ(g->Filter().Count(), 0);
}

TEST(GridFilterPass, FilterRowHidesOneRowWithoutALevel)
{
    auto g = TextGrid({{"", "1"}, {"", "2"}, {"", "3"}});
    SetConditions(*g, {{1, "!2"}});
    g->FilterRow(2);
    g->FilterRow(1);
    EXPECT_EQ(ShownCol1(*g), (QStringList{"1", "3"}));
    EXPECT_EQ(g->FilterLevel(), 0);
    EXPECT_TRUE(g->IsHiddenRow(2));
}

// Rows hidden by HideRows and by a contracted node stay hidden whatever the
// filter levels do, and filtered rows come back in place with their cell
// properties.
TEST(GridFilterPass, LevelsNeverShowRowsHiddenOtherwise)
{
    // Rows 1..9: a node at row 2 over rows 3 and 4; row 6 hidden by HideRow.
    std::vector<QStringList> rows;
    for (int i = 1; i <= 9; ++i) rows.push_back({"", QStringLiteral("r%1").arg(i), QString::number(i % 2)});
    auto g = TextGrid(rows);
    g->AddNode(2, 3);
    g->ContractNode(2);
    g->HideRow(6);
    g->SetColors(2, 3, clRed); // row r5, filtered out below
    const QStringList before = ShownCol1(*g);
    ASSERT_EQ(before, (QStringList{"r1", "r2", "r5", "r7", "r8", "r9"}));
    SetConditions(*g, {{2, "0"}}); // even rows stay

    auto check = [&](const char* what) {
        EXPECT_EQ(ShownCol1(*g), before) << what;
        EXPECT_EQ(g->FilterLevel(), 0) << what;
        EXPECT_TRUE(g->IsHiddenRow(6)) << what;
        EXPECT_TRUE(g->IsHiddenRow(3) && g->IsHiddenRow(4)) << what;
        EXPECT_EQ(g->Colors(2, 3), clRed) << what; // r5 is display row 3 again
    };
    for (int i = 0; i < 3; ++i) {
        g->SetFilterActive(true);
        EXPECT_EQ(ShownCol1(*g), (QStringList{"r2", "r8"}));
        g->SetFilterActive(false);
    }
    check("on and off");

    g->ApplyFilter();
    SetConditions(*g, {{1, "r8"}});
    g->ApplyFilter();
    EXPECT_EQ(ShownCol1(*g), (QStringList{"r2", "r8"})); // the node row stays
    g->RemoveAllFilters();
    check("RemoveAllFilters");
    EXPECT_EQ(g->Filter().Count(), 1); // levels removed, conditions kept

    g->NarrowDown(QStringLiteral("r"), 1);
    g->NarrowDown(QStringLiteral("r8"), 1);
    EXPECT_EQ(ShownCol1(*g), (QStringList{"r2", "r8"}));
    EXPECT_EQ(g->FilterLevel(), 2);
    g->NarrowDown(QString(), 1);
    check("NarrowDown of nothing");
    g->ExpandNode(2);
    g->UnHideRow(6);
    EXPECT_EQ(g->NumHiddenRows(), 0);
}

TEST(GridFilterPass, FilterActiveWriter)
{
    auto g = TextGrid({{"", "1"}, {"", "2"}, {"", "3"}, {"", "4"}});
    SetConditions(*g, {{1, "<3"}});
    g->SetFilterActive(true);
    EXPECT_TRUE(g->FilterActive());
    EXPECT_EQ(ShownCol1(*g), (QStringList{"1", "2"}));
    EXPECT_EQ(g->TopRow(), g->FixedRows());
    g->SetFilterActive(true); // the same value: no second level
    EXPECT_EQ(g->FilterLevel(), 1);
    g->SetFilterActive(false);
    EXPECT_EQ(ShownCol1(*g), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(g->FilterLevel(), 0);
}

// ---------------------------------------------------------------------------
// Narrowing while typing

TEST(GridFilterNarrow, Sequences)
{
    struct Step {
        QString Text;
        int Levels;
        QString Condition; // of the one item left
        QStringList Shown;
    };
    struct Case {
        const char* Name;
        int Column;
        std::vector<Step> Steps;
    };
    const std::vector<Case> cases = {
        {"type, type, backspace",
         1,
         {{"a", 1, "*a*", {"ab", "abc", "a b", "xa"}},
          {"ab", 2, "*ab*", {"ab", "abc"}},
          {"a", 1, "*ab*", {"ab", "abc", "a b", "xa"}}}},
        {"typed blank is quoted",
         1,
         {{"a", 1, "*a*", {"ab", "abc", "a b", "xa"}}, {"a ", 2, "\"*a *\"", {"a b"}}, {"a b", 3, "\"*a b*\"", {"a b"}}}},
        // Unquoted, the blank is no part of the condition.
        {"given at once: not quoted", 1, {{"x", 1, "*x*", {"xa", "XYZ"}}, {"a b", 1, "*a b*", {"ab", "abc"}}}},
        {"whole row", -1, {{"y", 1, "y", {"XYZ"}}, {"yz", 2, "yz", {"XYZ"}}}},
        {"other change starts over", 1, {{"a", 1, "*a*", {"ab", "abc", "a b", "xa"}}, {"b", 1, "*b*", {"ab", "abc", "a b"}}}},
        // The levels go, the condition stays.
        {"emptied", 1, {{"a", 1, "*a*", {"ab", "abc", "a b", "xa"}}, {"", 0, "*a*", {"ab", "abc", "a b", "xa", "XYZ"}}}},
    };
    for (const Case& tc : cases) {
        auto g = TextGrid({{"", "ab"}, {"", "abc"}, {"", "a b"}, {"", "xa"}, {"", "XYZ"}});
        for (const Step& s : tc.Steps) {
            g->NarrowDown(s.Text, tc.Column);
            const QString what = QString::fromLatin1(tc.Name) + QStringLiteral(" / ") + s.Text;
            EXPECT_EQ(g->FilterLevel(), s.Levels) << what.toStdString();
            EXPECT_EQ(ShownCol1(*g), s.Shown) << what.toStdString();
            ASSERT_EQ(g->Filter().Count(), 1) << what.toStdString();
            const TFilterData& d = g->Filter().Items(0);
            EXPECT_EQ(d.Condition(), s.Condition) << what.toStdString();
            EXPECT_EQ(d.Column(), tc.Column);
            EXPECT_FALSE(d.CaseSensitive());
            EXPECT_EQ(d.Data(), tc.Column == -1 ? TFilterCells::fcRow : TFilterCells::fcNormal);
        }
        EXPECT_TRUE(g->FixedRowAlways()) << tc.Name;
    }
}

// ---------------------------------------------------------------------------
// The filter lists

TEST(GridFilterLists, SingleChoice)
{
    auto g = TextGrid({{"", "1", "a"}, {"", "7", "b"}, {"", "9", "a"}});
    const QStringList entries{"(All)", "Big=>5", "7"};
    g->OnGetColumnFilter = [&](TExtStringGrid*, int, QStringList& list) { list = entries; };
    FakeFilterList list;
    list.Entries = entries;
    g->SetFilterListView(&list);
    std::vector<std::pair<QString, QString>> seen;
    g->OnFilterSelect = [&](TExtStringGrid*, int col, int, const QString& name, QString& cond) {
        EXPECT_EQ(col, 1);
        seen.emplace_back(name, cond);
    };
    int done = 0;
    g->OnFilterDone = [&](TExtStringGrid*) { ++done; };
    SetConditions(*g, {{2, "a"}});

    g->SetFilterCol(1);
    g->FilterListSelect(1);
    EXPECT_EQ(g->FilterCol(), -1);
    EXPECT_EQ(ShownCol1(*g), (QStringList{"9"}));
    EXPECT_EQ(g->Filter().GetColFilter(1).Condition(), QStringLiteral(">5"));
    EXPECT_EQ(g->Row(), 1);

    g->SetFilterCol(1);
    g->FilterListSelect(0); // the clear entry: column 1's condition goes
    EXPECT_FALSE(g->Filter().HasFilter(1));
    EXPECT_EQ(ShownCol1(*g), (QStringList{"1", "9"}));
    EXPECT_EQ(g->FilterLevel(), 1);
    EXPECT_EQ(done, 2);
    EXPECT_EQ(seen, (std::vector<std::pair<QString, QString>>{{"Big", ">5"}, {"(All)", ""}}));

    for (auto [col, index] : {std::pair{1, 3}, {1, -1}, {5, 1}, {-1, 1}}) {
        g->SetFilterCol(col);
        g->FilterListSelect(index);
        EXPECT_EQ(g->FilterCol(), -1);
    }
    EXPECT_EQ(done, 2);
    EXPECT_EQ(g->Filter().Count(), 1);
}

TEST(GridFilterLists, CheckListBuildsAlternatives)
{
    auto g = TextGrid({{"", "1", "a"}, {"", "7", "b"}, {"", "9", "a"}});
    const QStringList entries{"(All)", "1", "Seven=7", "9"};
    g->OnGetColumnFilter = [&](TExtStringGrid*, int, QStringList& list) { list = entries; };
    FakeFilterList list;
    list.Entries = entries;
    list.Ticks = {false, true, true, false};
    g->SetFilterListView(&list);
    SetConditions(*g, {{2, "a"}, {1, "9"}});
    g->SetFilterCol(1);
    g->FilterCheckListClick(-1);
    ASSERT_EQ(g->Filter().Count(), 2);
    EXPECT_EQ(g->Filter().Items(0).Condition(), QStringLiteral("1"));
    EXPECT_EQ(g->Filter().Items(0).Operation(), TFilterOperation::foNONE);
    EXPECT_EQ(g->Filter().Items(1).Condition(), QStringLiteral("7"));
    EXPECT_EQ(g->Filter().Items(1).Operation(), TFilterOperation::foOR);
    EXPECT_EQ(g->Filter().Items(1).Column(), 1);
    EXPECT_EQ(ShownCol1(*g), (QStringList{"1", "7"}));
    EXPECT_EQ(list.Repaints, 1);
    EXPECT_EQ(g->FilterCol(), 1); // the list stays open

    list.Ticks = {false, false, false, true};
    g->FilterCheckListClick(-1);
    EXPECT_EQ(ShownCol1(*g), (QStringList{"9"}));
    EXPECT_EQ(g->FilterLevel(), 1);

    g->SetFilterCol(9); // outside: nothing changes
    g->FilterCheckListClick(-1);
    EXPECT_EQ(g->Filter().Count(), 1);
    EXPECT_EQ(list.Repaints, 2);
}

TEST(GridFilterLists, ColumnGridTakesTheItemsFilterLines)
{
    TExtColumnGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    for (int r = 1; r < 4; ++r) g.SetCells(1, r, QString::number(r * 4));
    g.Columns().Items(1).SetFilter({"Small=<5", "Big=>5"});
    g.Columns().Items(1).SetFilterCaseSensitive(false);
    g.SetAutoFilterDisplay(true);
    g.SetFilterCol(1);
    g.FilterListSelect(1);
    EXPECT_EQ(g.FilterCol(), -1);
    EXPECT_EQ(g.Filter().GetColFilter(1).Condition(), QStringLiteral(">5"));
    EXPECT_FALSE(g.Filter().GetColFilter(1).CaseSensitive());
    EXPECT_EQ(g.Columns().Items(1).Header(), QStringLiteral("Big"));
    EXPECT_EQ(ShownCol1(g), (QStringList{"8", "12"}));
}
