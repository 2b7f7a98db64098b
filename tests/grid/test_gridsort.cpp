// Sorting the string grid: styles and directions against GNU sort, the edge
// cases of the styles, multi-key and group sorts, undoing a sort, compare
// events, and what travels with the rows.
#include "grid/ExtCGrid.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <map>
#include <set>
#include <random>

namespace {

// Locale values pinned for the duration of a test.
class PinnedFormats {
public:
    PinnedFormats() : m_saved(SystemFormatSettings())
    {
        FormatSettings fs;
        fs.DecimalSeparator = '.';
        fs.ThousandSeparator = ',';
        fs.DateSeparator = '/';
        fs.TimeSeparator = ':';
        fs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetFormatSettings(fs);
    }
    ~PinnedFormats() { SetFormatSettings(m_saved); }

private:
    FormatSettings m_saved;
};

// Row numbers of the keys in the order GNU sort (stable, byte order) puts
// "key TAB number" lines.
std::vector<int> GnuSortOrder(const QStringList& keys, const QStringList& options)
{
    QByteArray input;
    for (int i = 0; i < keys.size(); ++i) input += keys[i].toUtf8() + '\t' + QByteArray::number(i) + '\n';
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    p.setProcessEnvironment(env);
    p.start("sort", QStringList{"-s", "-t", "\t"} + options);
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(10000));
    std::vector<int> order;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty()) order.push_back(line.mid(line.lastIndexOf('\t') + 1).toInt());
    return order;
}

// A grid of generated rows between a header row and a fixed footer row:
// column 0 the row's number, 1 a decimal, 2 a text (with blanks), 3 a date,
// 4 a hidden copy of the number, each normal row with its own colour in
// column 2.
struct Table {
    static constexpr int Rows = 60;
    TExtStringGrid g;
    QStringList decimals, texts, dates, iso;

    Table()
    {
        std::mt19937 rnd(1234);
        g.SetColCount(5);
        g.SetRowCount(Rows + 2);
        g.SetFixedFooters(1);
        const QStringList words{"pear", "Apple", "apple", "", "kiwi", "Kiwi", "fig", "b", "B", "a b"};
        for (int i = 0; i < Rows; ++i) {
            const int r = i + 1;
            decimals << QString::number((int(rnd() % 41) - 20) / 4.0);
            texts << words[int(rnd() % words.size())];
            const int d = 1 + int(rnd() % 28), m = 1 + int(rnd() % 12), y = 1990 + int(rnd() % 30);
            dates << QStringLiteral("%1/%2/%3").arg(d, 2, 10, QChar('0')).arg(m, 2, 10, QChar('0')).arg(y);
            iso << QStringLiteral("%1%2%3").arg(y).arg(m, 2, 10, QChar('0')).arg(d, 2, 10, QChar('0'));
            g.SetCells(0, r, QString::number(i));
            g.SetCells(1, r, decimals.last());
            g.SetCells(2, r, texts.last());
            g.SetCells(3, r, dates.last());
            g.SetCells(4, r, QString::number(i));
            g.SetColors(2, r, TColor(0x10000 + i));
        }
        g.SetCells(1, 0, "header");
        g.SetCells(1, Rows + 1, "footer");
        g.HideColumn(4);
    }
    // The generated row numbers down the grid, read from the hidden column.
    std::vector<int> Order()
    {
        std::vector<int> o;
        for (int r = 1; r <= Rows; ++r) o.push_back(g.AllCells(4, TRealRow(r)).toInt());
        return o;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// The plain styles against GNU sort

TEST(GridSort, PlainStylesOrderAsGnuSortBothWays)
{
    PinnedFormats pin;
    struct Case {
        int col;
        TSortStyle style;
        QStringList Table::*keys;
        QStringList options;
    };
    const std::vector<Case> cases{
        {1, TSortStyle::ssNumeric, &Table::decimals, {"-k1,1g"}},
        {1, TSortStyle::ssAutomatic, &Table::decimals, {"-k1,1g"}},
        {2, TSortStyle::ssAlphabetic, &Table::texts, {"-k1,1"}},
        {2, TSortStyle::ssAlphaNoCase, &Table::texts, {"-k1,1f"}},
        {3, TSortStyle::ssDate, &Table::iso, {"-k1,1"}},
        {3, TSortStyle::ssAutomatic, &Table::iso, {"-k1,1"}},
        {3, TSortStyle::ssShortDateEU, &Table::iso, {"-k1,1"}},
    };
    for (const Case& c : cases) {
        for (const TSortDirection dir : {TSortDirection::sdAscending, TSortDirection::sdDescending}) {
            SCOPED_TRACE(testing::Message() << "column " << c.col << " style " << int(c.style) << " dir " << int(dir));
            Table t;
            t.g.SortSettings().SetFull(false);
            t.g.OnGetFormat = [&](TExtStringGrid*, int col, TSortStyle& s, QString&, QString&) {
                if (col == c.col) s = c.style;
            };
            QStringList options = c.options;
            if (dir == TSortDirection::sdDescending) options.last() += 'r';
            const std::vector<int> expected = GnuSortOrder(t.*c.keys, options);
            t.g.Sort(c.col, dir);
            EXPECT_EQ(t.Order(), expected);
            // Visible cells, per-cell colours and the hidden column moved with
            // their rows; the header and footer rows stayed.
            for (int r = 1; r <= Table::Rows; ++r) {
                const int i = t.g.Cells(0, r).toInt();
                EXPECT_EQ(t.g.AllCells(4, TRealRow(r)).toInt(), i);
                EXPECT_EQ(t.g.Cells(3, r), t.dates[i]);
                EXPECT_EQ(t.g.Colors(2, r), TColor(0x10000 + i));
            }
            EXPECT_EQ(t.g.Cells(1, 0), "header");
            EXPECT_EQ(t.g.Cells(1, Table::Rows + 1), "footer");
            EXPECT_EQ(t.g.RowCount(), Table::Rows + 2);
            EXPECT_EQ(t.g.SortDir, dir == TSortDirection::sdAscending ? 1 : -1);
        }
    }
}

TEST(GridSort, HiddenRowsStayOutOfTheSort)
{
    Table t;
    const QString hiddenNumber = t.g.Cells(0, 5);
    t.g.HideRow(5);
    t.g.Sort(1, TSortDirection::sdAscending);
    t.g.UnHideRow(5);
    EXPECT_EQ(t.g.Cells(0, 5), hiddenNumber);
}

TEST(GridSort, AShownFloatingFooterRowStaysLast)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(5);
    const QStringList cells{"c", "b", "a", "0 total"};
    for (int i = 0; i < 4; ++i) g.SetCells(1, i + 1, cells[i]);
    g.FloatingFooter().SetVisible(true);
    g.Sort(1, TSortDirection::sdAscending);
    EXPECT_EQ(QStringList({g.Cells(1, 1), g.Cells(1, 2), g.Cells(1, 3), g.Cells(1, 4)}),
              (QStringList{"a", "b", "c", "0 total"}));
}

// ---------------------------------------------------------------------------
// Edge cases of the styles, one table

namespace {

struct EdgeCase {
    const char* name;
    QStringList cells;
    TSortStyle style;
    QString prefix, suffix;
    TSortDirection dir;
    bool ignoreBlanks;
    TSortBlankPosition blankPos;
    QStringList expected;
};

QStringList SortedColumn(const EdgeCase& e)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(int(e.cells.size()) + 1);
    for (int i = 0; i < e.cells.size(); ++i) g.SetCells(1, i + 1, e.cells[i]);
    g.SortSettings().SetIgnoreBlanks(e.ignoreBlanks);
    g.SortSettings().SetBlankPos(e.blankPos);
    g.OnGetFormat = [&](TExtStringGrid*, int, TSortStyle& s, QString& p, QString& x) {
        s = e.style;
        p = e.prefix;
        x = e.suffix;
    };
    g.Sort(1, e.dir);
    QStringList out;
    for (int r = 1; r < g.RowCount(); ++r) out << g.Cells(1, r);
    return out;
}

} // namespace

TEST(GridSort, StyleEdgeCases)
{
    PinnedFormats pin;
    using S = TSortStyle;
    const auto asc = TSortDirection::sdAscending, desc = TSortDirection::sdDescending;
    const auto first = TSortBlankPosition::blFirst, last = TSortBlankPosition::blLast;
    const std::vector<EdgeCase> cases{
        {"suffix", {"50%", "5%", "10%"}, S::ssNumeric, "", "%", asc, false, first, {"5%", "10%", "50%"}},
        {"prefix", {"$7", "$-2", "$30"}, S::ssNumeric, "$", "", asc, false, first, {"$-2", "$7", "$30"}},
        {"financial", {"1,200.50", "99", "1,100"}, S::ssFinancial, "", "", asc, false, first, {"99", "1,100", "1,200.50"}},
        {"empty is 0", {"3", "", "-1"}, S::ssNumeric, "", "", asc, false, first, {"-1", "", "3"}},
        {"unreadable is 0", {"x", "1", "-1", "nan"}, S::ssNumeric, "", "", asc, false, first, {"-1", "x", "nan", "1"}},
        {"blanks last asc", {"", "b", "a"}, S::ssAlphabetic, "", "", asc, true, last, {"a", "b", ""}},
        {"blanks last desc", {"", "b", "a"}, S::ssAlphabetic, "", "", desc, true, last, {"b", "a", ""}},
        {"blanks first desc", {"b", "", "a"}, S::ssAlphabetic, "", "", desc, true, first, {"", "b", "a"}},
        {"numeric blanks last", {"", "2", "-3"}, S::ssNumeric, "", "", asc, true, last, {"-3", "2", ""}},
        {"automatic numbers", {"10", "9", "100"}, S::ssAutomatic, "", "", asc, false, first, {"9", "10", "100"}},
        {"automatic mixed", {"10", "9", "abc"}, S::ssAutomatic, "", "", asc, false, first, {"10", "9", "abc"}},
        {"automatic thousands", {"1,200", "300", "2,000.5"}, S::ssAutomatic, "", "", asc, false, first, {"300", "1,200", "2,000.5"}},
        {"automatic times", {"10:30", "9:15", "23:00"}, S::ssAutomatic, "", "", asc, false, first, {"9:15", "10:30", "23:00"}},
        {"automatic dates", {"02/01/2020", "01/02/2020", "15/01/2020"}, S::ssAutomatic, "", "", asc, false, first,
         {"02/01/2020", "15/01/2020", "01/02/2020"}},
        {"date time", {"01/01/2020 12:00", "01/01/2020", "01/01/2020 08:30"}, S::ssDateTime, "", "", asc, false, first,
         {"01/01/2020", "01/01/2020 08:30", "01/01/2020 12:00"}},
        {"US dates", {"02/01/2020", "01/02/2020"}, S::ssShortDateUS, "", "", asc, false, first, {"01/02/2020", "02/01/2020"}},
        {"no such date is 0", {"01/01/2020", "31/02/2020"}, S::ssShortDateEU, "", "", asc, false, first,
         {"31/02/2020", "01/01/2020"}},
        {"alpha numeric", {"b", "10", "a", "9"}, S::ssAlphaNumeric, "", "", asc, false, first, {"9", "10", "a", "b"}},
        {"alpha numeric no case", {"b", "10", "A", "9"}, S::ssAlphaNumericNoCase, "", "", desc, false, first,
         {"b", "A", "10", "9"}},
        {"no case keeps ties", {"b", "A", "a", "B"}, S::ssAlphaNoCase, "", "", asc, false, first, {"A", "a", "b", "B"}},
        {"case", {"b", "A", "a", "B"}, S::ssAlphaCase, "", "", asc, false, first, {"A", "B", "a", "b"}},
        {"html", {"<b>z</b>", "y", "<i>x</i>"}, S::ssHTML, "", "", asc, false, first, {"<i>x</i>", "y", "<b>z</b>"}},
    };
    for (const EdgeCase& e : cases) EXPECT_EQ(SortedColumn(e), e.expected) << e.name;
}

TEST(GridSort, LocaleTextStylesUseTheCollation)
{
    const QLocale saved = CollationLocale();
    SetCollationLocale(QLocale(QLocale::German, QLocale::Germany));
    const auto asc = TSortDirection::sdAscending;
    const auto first = TSortBlankPosition::blFirst;
    // Ordinal order puts "Z" before "a" and "ä" after "z"; the collation does not.
    EXPECT_EQ(SortedColumn({"ansi", {"z", "Z", "ä", "a"}, TSortStyle::ssAnsiAlphaNoCase, "", "", asc, false, first, {}}),
              (QStringList{"a", "ä", "z", "Z"}));
    // Case-sensitive: lower case before upper case, letters in alphabet order.
    EXPECT_EQ(SortedColumn({"ansi case", {"B", "b", "A", "a"}, TSortStyle::ssAnsiAlphaCase, "", "", asc, false, first, {}}),
              (QStringList{"a", "A", "b", "B"}));
    SetCollationLocale(saved);
}

TEST(GridSort, CheckBoxColumnsPutUncheckedFirst)
{
    for (const TSortStyle style : {TSortStyle::ssCheckBox, TSortStyle::ssAutomatic}) {
        TExtStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(6);
        const bool states[] = {true, false, true, false, false};
        for (int i = 0; i < 5; ++i) {
            g.AddCheckBox(1, i + 1, states[i], false);
            g.SetCells(2, i + 1, QString::number(i));
        }
        g.OnGetFormat = [&](TExtStringGrid*, int, TSortStyle& s, QString&, QString&) { s = style; };
        g.SortSettings().SetFull(false);
        g.Sort(1, TSortDirection::sdAscending);
        QStringList order;
        for (int r = 1; r < 6; ++r) order << g.Cells(2, r);
        EXPECT_EQ(order, (QStringList{"1", "3", "4", "0", "2"})) << int(style);
        bool state = true;
        ASSERT_TRUE(g.GetCheckBoxState(1, 1, state));
        EXPECT_FALSE(state);
    }
}

// ---------------------------------------------------------------------------
// Ties, keys and stability

TEST(GridSort, FullBreaksTiesToTheRightAndWithoutItTheOrderStays)
{
    for (const bool full : {true, false}) {
        TExtStringGrid g;
        g.SetColCount(4);
        g.SetRowCount(5);
        const QStringList a{"1", "1", "0", "1"}, b{"z", "x", "y", "y"}, left{"q", "r", "s", "t"};
        for (int i = 0; i < 4; ++i) {
            g.SetCells(0, i + 1, left[i]);
            g.SetCells(2, i + 1, a[i]);
            g.SetCells(3, i + 1, b[i]);
        }
        g.SortSettings().SetFull(full);
        g.Sort(2, TSortDirection::sdAscending);
        QStringList order;
        for (int r = 1; r < 5; ++r) order << g.Cells(0, r);
        EXPECT_EQ(order, full ? QStringList({"s", "r", "t", "q"}) : QStringList({"s", "q", "r", "t"})) << full;
    }
}

TEST(GridSort, IndexedSortByTwoKeysAndItsError)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(6);
    const QStringList a{"2", "1", "2", "1", "3"}, b{"x", "y", "z", "x", "x"};
    for (int i = 0; i < 5; ++i) {
        g.SetCells(1, i + 1, a[i]);
        g.SetCells(2, i + 1, b[i]);
    }
    try {
        g.QSortIndexed();
        FAIL() << "no error";
    } catch (const EExtGridError& e) {
        EXPECT_EQ(e.Message(), "No indexes specified for indexed sort");
    }
    EXPECT_EQ(g.Cells(1, 1), "2");
    g.SortIndexes().AddIndex(1, true);
    g.SortIndexes().AddIndex(2, false);
    g.QSortIndexed();
    QStringList order;
    for (int r = 1; r < 6; ++r) order << g.Cells(1, r) + g.Cells(2, r);
    EXPECT_EQ(order, (QStringList{"1y", "1x", "2z", "2x", "3x"}));
    EXPECT_EQ(g.SortIndexes().Count(), 2);
}

TEST(GridSort, AutomaticStyleDoesNotDependOnTheInputOrder)
{
    const QStringList cells{"10", "9", "abc", "100", "B", "-1", "Abc", "9.5"};
    std::mt19937 rnd(7);
    QStringList reference;
    for (int run = 0; run < 20; ++run) {
        QStringList input = cells;
        std::shuffle(input.begin(), input.end(), rnd);
        TExtStringGrid g;
        g.SetColCount(2);
        g.SetRowCount(int(input.size()) + 1);
        for (int i = 0; i < input.size(); ++i) g.SetCells(1, i + 1, input[i]);
        g.Sort(1, TSortDirection::sdAscending);
        QStringList out;
        for (int r = 1; r < g.RowCount(); ++r) out << g.Cells(1, r);
        if (run == 0)
            reference = out;
        else
            EXPECT_EQ(out, reference) << input.join(",").toStdString();
    }
    EXPECT_EQ(reference, (QStringList{"-1", "10", "100", "9", "9.5", "Abc", "B", "abc"}));
}

// ---------------------------------------------------------------------------
// Compare events

TEST(GridSort, RandomCustomCompareKeepsEveryRow)
{
    std::mt19937 rnd(99);
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(201);
    for (int r = 1; r < 201; ++r) g.SetCells(1, r, QString::number(r));
    g.OnGetFormat = [](TExtStringGrid*, int, TSortStyle& s, QString&, QString&) { s = TSortStyle::ssCustom; };
    g.OnCustomCompare = [&](TExtStringGrid*, const QString&, const QString&, int& res) { res = int(rnd() % 3) - 1; };
    for (int run = 0; run < 5; ++run) {
        g.Sort(1, run % 2 ? TSortDirection::sdDescending : TSortDirection::sdAscending);
        std::set<int> seen;
        for (int r = 1; r < 201; ++r) seen.insert(g.Cells(1, r).toInt());
        EXPECT_EQ(seen.size(), 200u);
        EXPECT_EQ(*seen.begin(), 1);
        EXPECT_EQ(*seen.rbegin(), 200);
    }
}

TEST(GridSort, ThrowingCompareLeavesRowsTopRowAndLockAsTheyWere)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(60);
    g.SetClientSize(300, 200);
    g.SetHeight(200);
    for (int r = 1; r < 60; ++r) g.SetCells(1, r, QString::number(60 - r));
    g.SetTopRow(10);
    g.SetRow(12);
    g.Navigation().SetMoveRowOnSort(true);
    int calls = 0;
    g.OnGetFormat = [](TExtStringGrid*, int, TSortStyle& s, QString&, QString&) { s = TSortStyle::ssRaw; };
    g.OnRawCompare = [&](TExtStringGrid*, int, int, int, int& res) {
        if (++calls == 30) throw Exception("compare failed");
        res = 1;
    };
    const int lock = g.UpdateCount();
    EXPECT_THROW(g.Sort(1, TSortDirection::sdAscending), Exception);
    for (int r = 1; r < 60; ++r) EXPECT_EQ(g.Cells(1, r), QString::number(60 - r));
    EXPECT_EQ(g.TopRow(), 10);
    EXPECT_EQ(g.Row(), 12);
    EXPECT_EQ(g.UpdateCount(), lock);
    EXPECT_EQ(g.Swaps, 0);
}

// ---------------------------------------------------------------------------
// Undoing a sort

TEST(GridSort, UnSortAfterTwoSortsRestoresTheRecordedOrder)
{
    Table t;
    const std::vector<int> before = t.Order();
    t.g.Sort(2, TSortDirection::sdAscending);
    t.g.Sort(1, TSortDirection::sdDescending);
    ASSERT_NE(t.Order(), before);
    const int swaps = t.g.Swaps;
    EXPECT_GT(swaps, 0);
    EXPECT_LT(swaps, 2 * Table::Rows);
    t.g.QUnSort();
    EXPECT_EQ(t.Order(), before);
    for (int i = 0; i < t.g.RowCount(); ++i) EXPECT_EQ(t.g.SortRowXRef().Items(i), i);
    EXPECT_EQ(t.g.Cells(1, Table::Rows + 1), "footer");
}

TEST(GridSort, UnSortNeedsACrossReferenceOfEveryRow)
{
    Table t;
    t.g.Sort(1, TSortDirection::sdAscending);
    const std::vector<int> sorted = t.Order();
    // Rows added after the sort: the recorded order no longer fits.
    t.g.SetRowCount(t.g.RowCount() + 1);
    t.g.QUnSort();
    EXPECT_EQ(t.Order(), sorted);
    // A damaged cross reference (a row twice) moves nothing either.
    t.g.SetRowCount(t.g.RowCount() - 1);
    t.g.SortRowXRef().SetItems(3, t.g.SortRowXRef().Items(4));
    t.g.QUnSort();
    EXPECT_EQ(t.Order(), sorted);
}

// ---------------------------------------------------------------------------
// Group sort

namespace {

// A grid that answers node questions from a table: row -> (level, span, contracted).
class NodeGrid : public TExtStringGrid {
public:
    std::map<int, std::tuple<int, int, bool>> Nodes;
    bool IsNode(int r) override { return Nodes.count(r) > 0; }
    int GetNodeLevel(int r) override { return Nodes.count(r) ? std::get<0>(Nodes[r]) : -1; }
    int GetNodeSpan(int r) override { return Nodes.count(r) ? std::get<1>(Nodes[r]) : -1; }
    bool NodeState(int r) override { return Nodes.count(r) ? std::get<2>(Nodes[r]) : false; }
};

} // namespace

TEST(GridSort, GroupSortOrdersChildrenOfExpandedDeepestNodesOnly)
{
    NodeGrid g;
    g.SetColCount(2);
    const QStringList cells{"N1", "c", "a", "b", "N2", "z", "y", "N3", "q", "p"};
    g.SetRowCount(int(cells.size()) + 1);
    for (int i = 0; i < cells.size(); ++i) g.SetCells(1, i + 1, cells[i]);
    g.Nodes[1] = {1, 4, false}; // expanded: c a b
    g.Nodes[5] = {1, 3, true};  // contracted: z y
    g.Nodes[8] = {1, 3, false}; // expanded: q p
    g.SortSettings().SetColumn(1);
    g.QSortGroup();
    QStringList out;
    for (int r = 1; r < g.RowCount(); ++r) out << g.Cells(1, r);
    EXPECT_EQ(out, (QStringList{"N1", "a", "b", "c", "N2", "z", "y", "N3", "p", "q"}));
    g.SortIndexes().AddIndex(1, false);
    g.QSortGroupIndexed();
    out.clear();
    for (int r = 1; r < g.RowCount(); ++r) out << g.Cells(1, r);
    EXPECT_EQ(out, (QStringList{"N1", "c", "b", "a", "N2", "z", "y", "N3", "q", "p"}));
}

// ---------------------------------------------------------------------------
// What follows the rows: current row, selection, modified flags, scrolling

TEST(GridSort, CurrentRowFlagsAndScrollFollowTheSettings)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(51);
    g.SetClientSize(300, 200);
    g.SetHeight(200);
    for (int r = 1; r < 51; ++r) g.SetCells(1, r, QStringLiteral("%1").arg(r, 2, 10, QChar('0')));
    g.ShowModified().SetEnabled(true);
    g.SetRowModified(50, true);
    g.MouseActions().SetDisjunctRowSelect(true);
    g.SetRowSelect(49, true);
    g.Navigation().SetMoveRowOnSort(true);
    g.SetRow(50);
    g.Sort(1, TSortDirection::sdDescending);
    // The content "50" now stands in row 1, "49" in row 2.
    EXPECT_EQ(g.Cells(1, 1), "50");
    EXPECT_TRUE(g.RowModified(1));
    EXPECT_FALSE(g.RowModified(50));
    EXPECT_TRUE(g.RowSelect(2));
    EXPECT_FALSE(g.RowSelect(49));
    // With DisjunctRowSelect the current row is left where it was.
    EXPECT_EQ(g.Row(), 50);

    g.MouseActions().SetDisjunctRowSelect(false);
    g.SetRow(40); // content "11"
    g.Sort(1, TSortDirection::sdAscending);
    EXPECT_EQ(g.Row(), 11);
    EXPECT_EQ(g.Cells(1, g.Row()), "11");

    // Moving the current row scrolls; KeepScrollOnSort puts the top row back.
    for (const bool keep : {false, true}) {
        g.Navigation().SetKeepScrollOnSort(keep);
        g.SetTopRow(30);
        g.SetRow(35); // content "35"
        g.Sort(1, TSortDirection::sdDescending);
        EXPECT_EQ(g.Cells(1, g.Row()), "35");
        EXPECT_EQ(g.Row(), 16);
        if (keep)
            EXPECT_EQ(g.TopRow(), 30);
        else
            EXPECT_NE(g.TopRow(), 30);
        g.Sort(1, TSortDirection::sdAscending);
    }
}

TEST(GridSort, NormalCellsOnlyKeepsColumnZeroAndSingleColumnMovesOneColumn)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    const QStringList c0{"a", "b", "c"}, c1{"3", "1", "2"}, c2{"x", "y", "z"};
    for (int i = 0; i < 3; ++i) {
        g.SetCells(0, i + 1, c0[i]);
        g.SetCells(1, i + 1, c1[i]);
        g.SetCells(2, i + 1, c2[i]);
    }
    g.SortSettings().SetNormalCellsOnly(true);
    g.Sort(1, TSortDirection::sdAscending);
    EXPECT_EQ(QStringList({g.Cells(0, 1), g.Cells(0, 2), g.Cells(0, 3)}), c0);
    EXPECT_EQ(QStringList({g.Cells(1, 1), g.Cells(2, 1)}), (QStringList{"1", "y"}));
    g.SortSettings().SetNormalCellsOnly(false);
    g.SortSettings().SetSingleColumn(true);
    g.Sort(1, TSortDirection::sdDescending);
    EXPECT_EQ(QStringList({g.Cells(1, 1), g.Cells(1, 2), g.Cells(1, 3)}), (QStringList{"3", "2", "1"}));
    EXPECT_EQ(QStringList({g.Cells(2, 1), g.Cells(2, 2), g.Cells(2, 3)}), (QStringList{"y", "z", "x"}));
}

TEST(GridSort, SortLineExchangesOutOfOrderRows)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(1, 1, "b");
    g.SetCells(1, 2, "a");
    g.SetCells(1, 3, "a");
    g.SetCells(2, 2, "2");
    g.SetCells(2, 3, "1");
    EXPECT_TRUE(g.SortLine(1, 1, 2));
    EXPECT_EQ(g.Cells(1, 1), "a");
    EXPECT_FALSE(g.SortLine(1, 1, 2));
    // Equal in column 1: column 2 decides.
    EXPECT_TRUE(g.SortLine(1, 1, 3));
    EXPECT_EQ(g.Cells(2, 1), "1");
    EXPECT_EQ(g.CompareCells(1, 1, TSortDirection::sdAscending, 2), -1);
}

TEST(GridSort, ColumnGridTakesTheSortStyleOfItsColumns)
{
    TExtColumnGrid g;
    g.SetColCount(2);
    g.SetRowCount(4);
    const QStringList cells{"10 kg", "9 kg", "100 kg"};
    for (int i = 0; i < 3; ++i) g.SetCells(1, i + 1, cells[i]);
    g.Columns().Items(1).SetSortStyle(TSortStyle::ssNumeric);
    g.Columns().Items(1).SetSortSuffix(" kg");
    g.Sort(1, TSortDirection::sdAscending);
    EXPECT_EQ(QStringList({g.Cells(1, 1), g.Cells(1, 2), g.Cells(1, 3)}), (QStringList{"9 kg", "10 kg", "100 kg"}));
}

TEST(GridSort, HeaderClicksSortUpDownAndBack)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(5);
    g.SetClientSize(400, 250);
    const QStringList cells{"b", "d", "a", "c"};
    for (int i = 0; i < 4; ++i) g.SetCells(1, i + 1, cells[i]);
    g.SortSettings().SetShow(true);
    g.SortSettings().SetUndoSort(true);
    const TRect h = g.CellRect(1, 0);
    const int x = (h.Left + h.Right) / 2, y = (h.Top + h.Bottom) / 2;
    auto column = [&] { return QStringList({g.Cells(1, 1), g.Cells(1, 2), g.Cells(1, 3), g.Cells(1, 4)}); };
    const QStringList expected[] = {{"a", "b", "c", "d"}, {"d", "c", "b", "a"}, cells};
    for (const QStringList& e : expected) {
        g.MouseDown(mbLeft, {}, x, y);
        g.MouseUp(mbLeft, {}, x, y);
        EXPECT_EQ(column(), e);
    }
    EXPECT_EQ(g.SortSettings().Column(), -1);
}
