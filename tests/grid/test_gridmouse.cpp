// The string grid's mouse: the press and release decisions over the cell
// geometry, check boxes, header auto-size and sorting, links and hints.
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGridMouse.h"
#include "grid/ExtGridPanels.h"
#include "platform/GridsWidget.h"
#include "platform/Menus.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QHelpEvent>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using namespace GridMouse;
using enum TShiftStateItem;

// --- the decisions alone ---------------------------------------------------------------------

TEST(GridMouseDecisions, FixedBorderIsFoundBelowThreePixels)
{
    // Two fixed columns of 40 and 30 pixels: borders at 40 and 71 (one
    // line pixel after the first column).
    const std::vector<int> widths{40, 30};
    struct Case {
        int x, expected;
    };
    for (const Case& k : std::vector<Case>{{40, 0}, {38, 0}, {42, 0}, {37, -1}, {43, -1}, {71, 1}, {69, 1},
                                           {73, 1}, {68, -1}, {74, -1}, {55, -1}})
        EXPECT_EQ(FixedBorderAt(widths, k.x), k.expected) << "x=" << k.x;
    EXPECT_EQ(FixedBorderAt({}, 0), -1);
}

TEST(GridMouseDecisions, HeaderGeometry)
{
    const TRect cell{100, 0, 164, 22};
    // Side borders: within 3 pixels.
    EXPECT_TRUE(NearSideBorder(cell, 103));
    EXPECT_FALSE(NearSideBorder(cell, 104));
    EXPECT_TRUE(NearSideBorder(cell, 161));
    EXPECT_FALSE(NearSideBorder(cell, 160));
    // The drop-down button stops 2 pixels before the border while columns
    // can be sized, so that the border stays usable.
    EXPECT_FALSE(InFixedDropDownButton(cell, 163, true));
    EXPECT_TRUE(InFixedDropDownButton(cell, 163, false));
    EXPECT_TRUE(InFixedDropDownButton(cell, 161, true));
    EXPECT_FALSE(InFixedDropDownButton(cell, 148, true));
    // The fixed-cell editor keeps a 4-pixel inset.
    EXPECT_TRUE(InsideFixedEditInset(cell, 110, 10));
    EXPECT_FALSE(InsideFixedEditInset(cell, 104, 10));
    EXPECT_FALSE(InsideFixedEditInset(cell, 110, 3));
    // A double click near the left border sizes the column before, near the
    // right border this one; never a fixed column.
    EXPECT_EQ(HeaderDblClickColumn(cell, 101, 3, 1), 2);
    EXPECT_EQ(HeaderDblClickColumn(cell, 163, 3, 1), 3);
    EXPECT_EQ(HeaderDblClickColumn(cell, 130, 3, 1), -1);
    EXPECT_EQ(HeaderDblClickColumn(cell, 101, 1, 1), -1);
    EXPECT_EQ(HeaderDblClickColumn(cell, 163, 0, 1), -1);
}

TEST(GridMouseDecisions, RatingsGrowByHalfEveryNinePixels)
{
    EXPECT_EQ(RatingAt(0), 0.0);
    EXPECT_EQ(RatingAt(8), 0.0);
    EXPECT_EQ(RatingAt(9), 0.5);
    EXPECT_EQ(RatingAt(17), 0.5);
    EXPECT_EQ(RatingAt(18), 1.0);
    EXPECT_EQ(RatingAt(26), 1.0);
    EXPECT_EQ(RatingAt(-3), 0.0);
}

TEST(GridMouseDecisions, ReleaseSortsOnlyOnAHeaderClick)
{
    TSortFacts base;
    base.SortRow = base.HasFixedRows = base.Show = true;
    base.RowCount = 5;
    bool doSort = false;
    EXPECT_TRUE(ReleaseMaySort(base, doSort));
    EXPECT_TRUE(doSort);
    struct Case {
        const char* name;
        void (*change)(TSortFacts&);
    };
    const std::vector<Case> refusals{
        {"after auto-size", [](TSortFacts& s) { s.AfterAutoSize = true; }},
        {"sizing border", [](TSortFacts& s) { s.OnSizingBorder = true; }},
        {"header button", [](TSortFacts& s) { s.OnHeaderButton = true; }},
        {"other row", [](TSortFacts& s) { s.SortRow = false; }},
        {"check box", [](TSortFacts& s) { s.InCheckBox = true; }},
        {"not shown", [](TSortFacts& s) { s.Show = false; }},
        {"two rows", [](TSortFacts& s) { s.RowCount = 2; }},
        {"move ended", [](TSortFacts& s) { s.EnhancedMoveEnded = true; }},
    };
    for (const Case& k : refusals) {
        TSortFacts s = base;
        k.change(s);
        EXPECT_FALSE(ReleaseMaySort(s, doSort)) << k.name;
    }
    // An ignored column reaches OnCanSort with DoSort already False.
    TSortFacts ignored = base;
    ignored.Ignored = true;
    EXPECT_TRUE(ReleaseMaySort(ignored, doSort));
    EXPECT_FALSE(doSort);
}

QString Indexes(const TSortIndexList& l) { return l.SaveToString(); }

TEST(GridMouseDecisions, MultiColumnClicksBuildTheIndexList)
{
    TSortIndexList list;
    ApplySortIndexClick(list, 2, false, true);
    ApplySortIndexClick(list, 4, true, true);
    ApplySortIndexClick(list, 1, true, true);
    EXPECT_EQ(Indexes(list), QStringLiteral("u2;u4;u1"));
    // The key on a column already there turns its direction.
    ApplySortIndexClick(list, 4, true, true);
    EXPECT_EQ(Indexes(list), QStringLiteral("u2;d4;u1"));
    // Without the key the fourth click sorts by that column alone ...
    ApplySortIndexClick(list, 3, false, true);
    EXPECT_EQ(Indexes(list), QStringLiteral("u3"));
    // ... and a click on the only column turns it.
    ApplySortIndexClick(list, 3, false, true);
    EXPECT_EQ(Indexes(list), QStringLiteral("d3"));
    // The initial direction descending.
    TSortIndexList desc;
    ApplySortIndexClick(desc, 5, false, false);
    EXPECT_EQ(Indexes(desc), QStringLiteral("d5"));
}

TEST(GridMouseDecisions, SortColumnClicksGoAscendingDescendingUnsorted)
{
    TSortStep s = NextSortStep(-1, true, 2, true, true);
    EXPECT_EQ(s.Column, 2);
    EXPECT_TRUE(s.Ascending);
    s = NextSortStep(s.Column, s.Ascending, 2, true, true);
    EXPECT_EQ(s.Column, 2);
    EXPECT_FALSE(s.Ascending);
    s = NextSortStep(s.Column, s.Ascending, 2, true, true);
    EXPECT_TRUE(s.Undo);
    EXPECT_EQ(s.Column, -1);
    // Without UndoSort the direction keeps turning.
    s = NextSortStep(2, false, 2, true, false);
    EXPECT_FALSE(s.Undo);
    EXPECT_TRUE(s.Ascending);
    // Another column starts in the initial direction.
    s = NextSortStep(2, false, 3, true, true);
    EXPECT_EQ(s.Column, 3);
    EXPECT_TRUE(s.Ascending);
}

TEST(GridMouseDecisions, CellAnchors)
{
    int c = -1, r = -1;
    EXPECT_TRUE(CellAnchorTarget(QStringLiteral("CELL://R5C2"), c, r));
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 5);
    EXPECT_TRUE(CellAnchorTarget(QStringLiteral("cell://r1c3"), c, r));
    EXPECT_EQ(c, 3);
    EXPECT_FALSE(CellAnchorTarget(QStringLiteral("CELL://X5"), c, r));
    EXPECT_FALSE(CellAnchorTarget(QStringLiteral("http://R5C2"), c, r));
}

// --- the grid ------------------------------------------------------------------------------------

// A grid that records the sorts the header clicks ask for.
class TSortRecordingGrid : public TExtStringGrid {
public:
    void QSort() override { Sorts.push_back(QStringLiteral("%1%2").arg(SortSettings().Direction() == TSortDirection::sdAscending ? "u" : "d").arg(SortSettings().Column())); }
    void QSortIndexed() override { Sorts.push_back(QStringLiteral("i:") + SortIndexes().SaveToString()); }
    void QUnSort() override { Sorts.push_back(QStringLiteral("unsort")); }
    QStringList Sorts;
};

std::unique_ptr<TSortRecordingGrid> MakeGrid()
{
    auto g = std::make_unique<TSortRecordingGrid>();
    g->SetColCount(5);
    g->SetRowCount(8);
    g->SetClientSize(400, 250);
    for (int r = 1; r < 8; ++r)
        for (int c = 1; c < 5; ++c) g->SetCells(c, r, QStringLiteral("v%1").arg(r));
    return g;
}

void Click(TExtStringGrid& g, int x, int y, TShiftState s = {})
{
    g.MouseDown(mbLeft, s, x, y);
    g.MouseUp(mbLeft, s, x, y);
}

QPoint Mid(const TExtStringGrid& g, int c, int r)
{
    const TRect rc = g.CellRect(c, r);
    return QPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
}

TEST(GridMouse, DataCheckBoxTogglesOnClickAndReportsOnce)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goEditing));
    g->AddCheckBoxColumn(2, false, true);
    std::vector<std::tuple<int, int, bool>> clicks;
    g->OnCheckBoxClick = [&](TExtStringGrid*, int c, int r, bool state) { clicks.emplace_back(c, r, state); };
    int cellClicks = 0;
    g->OnClickCell = [&](TExtStringGrid*, int, int) { ++cellClicks; };
    // The box is not in the current cell: the press still toggles it.
    ASSERT_NE(g->Row(), 4);
    const QPoint p = Mid(*g, 2, 4);
    ASSERT_TRUE(g->IsInCheckBox(2, 4, p.x(), p.y()));
    Click(*g, p.x(), p.y());
    bool state = false;
    ASSERT_TRUE(g->GetCheckBoxState(2, 4, state));
    EXPECT_TRUE(state);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_tuple(2, 4, true));
    EXPECT_EQ(cellClicks, 0);
    // A press on a plain cell selects it and fires OnClickCell.
    const QPoint q = Mid(*g, 3, 5);
    Click(*g, q.x(), q.y());
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 5);
    EXPECT_EQ(cellClicks, 1);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST(GridMouse, DataCheckBoxTogglesThroughTheWindow)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goEditing));
    g->AddCheckBoxColumn(1, false, true);
    int clicks = 0;
    g->OnCheckBoxClick = [&](TExtStringGrid*, int, int, bool) { ++clicks; };
    TGridWidget* w = g->CreateWidget(nullptr);
    w->resize(420, 260);
    w->show();
    QApplication::processEvents();
    const QPoint p = Mid(*g, 1, 3);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, p);
    bool state = false;
    ASSERT_TRUE(g->GetCheckBoxState(1, 3, state));
    EXPECT_TRUE(state);
    EXPECT_EQ(clicks, 1);
    delete w;
}

TEST(GridMouse, DoubleClickOnHeaderBorderAutoSizesWithoutSorting)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goColSizing));
    g->SortSettings().SetShow(true);
    g->SetCells(2, 3, QStringLiteral("a wider text here"));
    const int before = g->ColWidths(2);
    std::vector<int> ended;
    g->OnEndColumnSize = [&](TExtStringGrid*, int c) { ended.push_back(c); };
    const TRect h = g->CellRect(2, 0);
    const int x = h.Right - 1, y = (h.Top + h.Bottom) / 2;
    g->MouseDown(mbLeft, {}, x, y);
    g->MouseUp(mbLeft, {}, x, y);
    g->MouseDown(mbLeft, {ssDouble}, x, y);
    g->DblClick();
    g->MouseUp(mbLeft, {}, x, y);
    EXPECT_GT(g->ColWidths(2), before);
    EXPECT_EQ(ended, std::vector<int>{2});
    EXPECT_TRUE(g->Sorts.isEmpty());
    // The next plain header click sorts again.
    const QPoint m = Mid(*g, 3, 0);
    Click(*g, m.x(), m.y());
    EXPECT_EQ(g->Sorts, QStringList{QStringLiteral("u3")});
}

TEST(GridMouse, HeaderClickSortsThroughTheHooks)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goColSizing));
    g->SortSettings().SetShow(true);
    g->SortSettings().SetUndoSort(true);
    const QPoint m = Mid(*g, 2, 0);
    Click(*g, m.x(), m.y());
    Click(*g, m.x(), m.y());
    Click(*g, m.x(), m.y());
    EXPECT_EQ(g->Sorts, (QStringList{"u2", "d2", "unsort"}));
    EXPECT_EQ(g->SortSettings().Column(), -1);
    // A release on the border never sorts; OnCanSort may refuse.
    g->Sorts.clear();
    const TRect h = g->CellRect(3, 0);
    Click(*g, h.Left + 1, m.y());
    EXPECT_TRUE(g->Sorts.isEmpty());
    std::vector<int> asked;
    g->OnCanSort = [&](TExtStringGrid*, int c, bool& doSort) {
        asked.push_back(c);
        doSort = false;
    };
    const QPoint m3 = Mid(*g, 3, 0);
    Click(*g, m3.x(), m3.y());
    EXPECT_EQ(asked, std::vector<int>{3});
    EXPECT_TRUE(g->Sorts.isEmpty());
    // A data-cell click does not sort.
    g->OnCanSort = nullptr;
    const QPoint d = Mid(*g, 3, 4);
    Click(*g, d.x(), d.y());
    EXPECT_TRUE(g->Sorts.isEmpty());
}

TEST(GridMouse, HeaderBorderDragSizesTheColumn)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goColSizing));
    g->SortSettings().SetShow(true);
    int cellClicks = 0;
    g->OnClickCell = [&](TExtStringGrid*, int, int) { ++cellClicks; };
    const int before = g->ColWidths(2);
    const TRect h = g->CellRect(2, 0);
    const int y = (h.Top + h.Bottom) / 2;
    g->MouseDown(mbLeft, {}, h.Right - 1, y);
    g->MouseMove({ssLeft}, h.Right + 24, y);
    g->MouseUp(mbLeft, {}, h.Right + 24, y);
    EXPECT_EQ(g->ColWidths(2), before + 25);
    // A sizing press is no click and its release no sort.
    EXPECT_EQ(cellClicks, 0);
    EXPECT_TRUE(g->Sorts.isEmpty());
    // A press inside the header cell is a click.
    const QPoint m = Mid(*g, 2, 0);
    Click(*g, m.x(), m.y());
    EXPECT_EQ(cellClicks, 1);
}

TEST(GridMouse, MultiColumnHeaderClicksWithTheIndexKey)
{
    auto g = MakeGrid();
    g->SortSettings().SetShow(true);
    g->SortSettings().SetIndexShow(true);
    std::vector<int> sortClicks;
    g->OnClickSort = [&](TExtStringGrid*, int c) { sortClicks.push_back(c); };
    for (int c : {3, 1, 4}) {
        const QPoint m = Mid(*g, c, 0);
        Click(*g, m.x(), m.y(), {ssShift});
    }
    const QPoint m2 = Mid(*g, 2, 0);
    Click(*g, m2.x(), m2.y());
    EXPECT_EQ(g->Sorts, (QStringList{"i:u3", "i:u3;u1", "i:u3;u1;u4", "i:u2"}));
    EXPECT_EQ(sortClicks, (std::vector<int>{3, 3, 3, 2}));
}

// The first point of a cell where a link lies, found through the grid's own
// hit test.
QPoint LinkPoint(TExtStringGrid& g, int c, int r)
{
    const TRect rc = g.CellRect(c, r);
    for (int y = rc.Top; y < rc.Bottom; ++y)
        for (int x = rc.Left; x < rc.Right; ++x) {
            TExtStringGrid::TAnchorHit hit;
            if (g.AnchorAt(c, r, x, y, hit)) return QPoint(x, y);
        }
    return QPoint(-1, -1);
}

class ShellRecorder {
public:
    ShellRecorder()
    {
        m_old = SetShellOpenHandler([this](const QString& url) {
            Opened.push_back(url);
            return true;
        });
    }
    ~ShellRecorder() { SetShellOpenHandler(m_old); }
    QStringList Opened;

private:
    ShellOpenHandler m_old;
};

TEST(GridMouse, AnchorsOpenOnlySafeLinksAndCellLinksMove)
{
    ShellRecorder shell;
    auto g = MakeGrid();
    g->SetColWidths(2, 150);
    g->SetCells(2, 1, QStringLiteral("<a href=\"http://example.com/page\">web link</a>"));
    g->SetCells(2, 2, QStringLiteral("<a href=\"file:///etc/passwd\">file link</a>"));
    g->SetCells(2, 3, QStringLiteral("<a href=\"CELL://R5C3\">go there</a>"));
    g->SetCells(2, 4, QStringLiteral("<a href=\"http://example.com/handled\">mine</a>"));
    QStringList clicked;
    g->OnAnchorClick = [&](TExtStringGrid*, int, int, const QString& a, bool& autoHandle) {
        clicked.push_back(a);
        if (a.endsWith(QLatin1String("handled"))) autoHandle = false;
    };
    for (int r = 1; r <= 4; ++r) {
        const QPoint p = LinkPoint(*g, 2, r);
        ASSERT_GE(p.x(), 0) << "row " << r;
        Click(*g, p.x(), p.y());
    }
    EXPECT_EQ(clicked.size(), 4);
    EXPECT_EQ(shell.Opened, QStringList{QStringLiteral("http://example.com/page")});
    EXPECT_EQ(g->Row(), 5);
    EXPECT_EQ(g->Col(), 3);
}

TEST(GridMouse, AnchorEnterAndExitWhileMoving)
{
    auto g = MakeGrid();
    g->SetColWidths(2, 150);
    g->SetCells(2, 1, QStringLiteral("<a href=\"http://example.com\">link</a> and text"));
    QStringList events;
    g->OnAnchorEnter = [&](TExtStringGrid*, int, int, const QString& a) { events << "enter " + a; };
    g->OnAnchorExit = [&](TExtStringGrid*, int, int, const QString&) { events << "exit"; };
    const QPoint p = LinkPoint(*g, 2, 1);
    ASSERT_GE(p.x(), 0);
    g->MouseMove({}, p.x(), p.y());
    g->MouseMove({}, p.x() + 1, p.y());
    EXPECT_EQ(g->CurrentAnchor(), QStringLiteral("http://example.com"));
    const TRect rc = g->CellRect(2, 1);
    g->MouseMove({}, rc.Right - 3, p.y());
    EXPECT_EQ(events, (QStringList{"enter http://example.com", "exit"}));
    EXPECT_TRUE(g->CurrentAnchor().isEmpty());
    // From a link straight onto a plain cell: the exit is reported at once.
    events.clear();
    g->MouseMove({}, p.x(), p.y());
    const QPoint plain = Mid(*g, 3, 4);
    g->MouseMove({}, plain.x(), plain.y());
    EXPECT_EQ(events, (QStringList{"enter http://example.com", "exit"}));
}

TEST(GridMouse, HintsOnHeaderAndDataCells)
{
    auto g = MakeGrid();
    g->SetCells(1, 2, QStringLiteral("<b>word</b>"));
    g->OnGridHint = [](TExtStringGrid*, int r, int c, QString& hint) {
        if (r == 0) hint = QStringLiteral("column %1").arg(c);
    };
    TExtStringGrid::THintInfo info;
    // OnGridHint gives a header hint without HintShowCells.
    ASSERT_TRUE(g->BuildHint(Mid(*g, 3, 0), info));
    EXPECT_EQ(info.Text, QStringLiteral("column 3"));
    EXPECT_EQ(info.Color, g->HintColor());
    // A data cell shows nothing without HintShowCells ...
    ASSERT_TRUE(g->BuildHint(Mid(*g, 1, 2), info));
    EXPECT_TRUE(info.Text.isEmpty());
    // ... and its text without tags with it, at the cell's top.
    g->SetHintShowCells(true);
    ASSERT_TRUE(g->BuildHint(Mid(*g, 1, 2), info));
    EXPECT_EQ(info.Text, QStringLiteral("word"));
    EXPECT_EQ(info.Pos.y(), g->CellRect(1, 2).Top);
    EXPECT_FALSE(info.HtmlWindow);
    g->SetHTMLHint(true);
    ASSERT_TRUE(g->BuildHint(Mid(*g, 1, 2), info));
    EXPECT_EQ(info.Text, QStringLiteral("<b>word</b>"));
    EXPECT_TRUE(info.HtmlWindow);
    // Outside the cells: no hint, the colour still set.
    g->SetHintColor(clYellow);
    EXPECT_FALSE(g->BuildHint(QPoint(399, 249), info));
    EXPECT_EQ(info.Color, clYellow);
}

TEST(GridMouse, ToolTipEventShowsTheHintInHintColor)
{
    auto g = MakeGrid();
    g->OnGridHint = [](TExtStringGrid*, int r, int, QString& hint) {
        if (r == 0) hint = QStringLiteral("header & more");
    };
    g->SetHintColor(clYellow);
    TGridWidget* w = g->CreateWidget(nullptr);
    w->resize(420, 260);
    w->show();
    QApplication::processEvents();
    const QPoint p = Mid(*g, 2, 0);
    QHelpEvent e(QEvent::ToolTip, p, w->viewport()->mapToGlobal(p));
    QApplication::sendEvent(w->viewport(), &e);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), QStringLiteral("header & more"));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), ColorToQColor(clYellow));
    EXPECT_EQ(g->LastHintPos(), QPoint(2, 0));
    QToolTip::hideText();
    delete w;
}

TEST(GridMouse, HintMaxWidthAndComments)
{
    auto g = MakeGrid();
    g->ControlLook().SetHintMaxWidth(120);
    g->AddComment(2, 3, QStringLiteral("a note"));
    TExtStringGrid::THintInfo info;
    ASSERT_TRUE(g->BuildHint(Mid(*g, 2, 3), info));
    EXPECT_EQ(info.MaxWidth, 120);
    EXPECT_EQ(info.Text, QStringLiteral("a note"));
    EXPECT_EQ(info.Pos, QPoint(g->CellRect(2, 3).Right, g->CellRect(2, 3).Top));
}

TEST(GridMouse, RightClickFiresOnRightClickCellAndSelects)
{
    auto g = MakeGrid();
    g->MouseActions().SetSelectOnRightClick(true);
    std::vector<std::pair<int, int>> got;
    g->OnRightClickCell = [&](TExtStringGrid*, int r, int c) { got.emplace_back(r, c); };
    const QPoint p = Mid(*g, 3, 6);
    g->MouseDown(mbRight, {}, p.x(), p.y());
    g->MouseUp(mbRight, {}, p.x(), p.y());
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 6);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], std::make_pair(6, 3));
    // Without SelectOnRightClick the cell stays.
    g->MouseActions().SetSelectOnRightClick(false);
    const QPoint q = Mid(*g, 1, 2);
    g->MouseDown(mbRight, {}, q.x(), q.y());
    EXPECT_EQ(g->Row(), 6);
    EXPECT_EQ(got.size(), 2u);
}

TEST(GridMouse, SelectionChangedFiresOncePerRealChange)
{
    auto g = MakeGrid();
    int fired = 0;
    g->OnSelectionChanged = [&](TExtStringGrid*, int, int, int, int) { ++fired; };
    const QPoint p = Mid(*g, 2, 3);
    Click(*g, p.x(), p.y());
    EXPECT_EQ(fired, 1);
    Click(*g, p.x(), p.y());
    EXPECT_EQ(fired, 1);
}

TEST(GridMouse, FixedColumnSizingByTheMouse)
{
    auto g = MakeGrid();
    g->MouseActions().SetSizeFixedCol(true);
    const int border = g->ColWidths(0);
    const int y = Mid(*g, 0, 3).y();
    g->MouseMove({}, border + 2, y);
    EXPECT_EQ(g->CursorAt(border + 2, y).shape(), Qt::SplitHCursor);
    g->MouseDown(mbLeft, {}, border + 2, y);
    g->MouseMove({ssLeft}, border + 30, y);
    g->MouseUp(mbLeft, {}, border + 30, y);
    EXPECT_EQ(g->ColWidths(0), border + 30);
    // Three pixels off is no longer the border.
    g->MouseMove({}, g->ColWidths(0) + 3, y);
    EXPECT_NE(g->CursorAt(g->ColWidths(0) + 3, y).shape(), Qt::SplitHCursor);
}

TEST(GridMouse, SelectModeCursorsAreOurPictures)
{
    for (int id : {crGridRowSelect, crGridColSelect, crGridAllSelect, crGridCellSelect}) {
        const QCursor c = TExtStringGrid::GridCursor(id);
        EXPECT_EQ(c.shape(), Qt::BitmapCursor) << id;
        EXPECT_EQ(c.pixmap().size(), QSize(16, 16)) << id;
    }
    auto g = MakeGrid();
    g->MouseActions().SetRowSelect(true);
    const QPoint p = Mid(*g, 0, 4);
    g->MouseMove({}, p.x(), p.y());
    EXPECT_EQ(g->MouseSelectMode(), TExtStringGrid::msRow);
    EXPECT_EQ(g->CursorAt(p.x(), p.y()).shape(), Qt::BitmapCursor);
    // The press then selects the whole row.
    Click(*g, p.x(), p.y());
    EXPECT_EQ(g->Selection(), (TGridRect{1, 4, 4, 4}));
    // Over a link: the hand.
    g->SetCells(2, 2, QStringLiteral("<a href=\"x\">link</a>"));
    const QPoint l = LinkPoint(*g, 2, 2);
    ASSERT_GE(l.x(), 0);
    g->MouseMove({}, l.x(), l.y());
    EXPECT_EQ(g->CursorAt(l.x(), l.y()).shape(), Qt::PointingHandCursor);
    // OnGetCellCursor decides elsewhere.
    g->OnGetCellCursor = [](TExtStringGrid*, int, int, int, int, int& cursor) { cursor = int(Qt::IBeamCursor); };
    const QPoint d = Mid(*g, 3, 5);
    g->MouseMove({}, d.x(), d.y());
    EXPECT_EQ(g->CursorAt(d.x(), d.y()).shape(), Qt::IBeamCursor);
}

TEST(GridMouse, InlineControlsWriteBackTheirOwnTag)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goEditing));
    g->SetColWidths(2, 200);
    const QString text = QStringLiteral("Name <CONTROL TYPE=\"EDIT\" ID=\"n\" VALUE=\"old\" WIDTH=\"60\"> "
                                        "Pin <CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"\" WIDTH=\"40\">");
    g->SetCells(2, 2, text);
    QStringList done;
    g->OnControlEditDone = [&](TExtStringGrid*, int r, int c, const QString& id, const QString& type,
                               const QString& v) { done << QStringLiteral("%1,%2 %3 %4 %5").arg(r).arg(c).arg(id, type, v); };
    g->ShowControlEdit(text, QStringLiteral("PASSWORD"), 2, 2, 2, TRect{10, 10, 50, 30}, QString(), QStringLiteral("p"));
    ASSERT_TRUE(g->ControlEditing());
    TControlEdit* edit = g->ControlEditWidget();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    edit->setText(QStringLiteral("1234"));
    g->StopControlEdit();
    EXPECT_FALSE(g->ControlEditing());
    EXPECT_EQ(g->ControlValues(2, 2, QStringLiteral("p")), QStringLiteral("1234"));
    EXPECT_EQ(g->ControlValues(2, 2, QStringLiteral("n")), QStringLiteral("old"));
    EXPECT_TRUE(g->Cells(2, 2).startsWith(QStringLiteral("Name <CONTROL")));
    EXPECT_EQ(done, QStringList{QStringLiteral("2,2 p PASSWORD 1234")});
    // A combo value outside its list still shows.
    g->OnControlComboList = [](TExtStringGrid*, int, int, const QString&, const QString&, const QString&,
                               QStringList& values, bool& edit2, int&) {
        values = {QStringLiteral("a"), QStringLiteral("b")};
        edit2 = false;
    };
    g->ShowControlEdit(text, QStringLiteral("COMBO"), 2, 2, 2, TRect{10, 10, 50, 30}, QStringLiteral("zz"),
                       QStringLiteral("n"));
    TControlCombo* combo = g->ControlComboWidget();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), QStringLiteral("zz"));
    g->StopControlEdit();
    EXPECT_EQ(g->ControlValues(2, 2, QStringLiteral("n")), QStringLiteral("zz"));
}

TEST(GridMouse, ClickOnCheckControlFlipsItsValue)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goEditing));
    g->SetColWidths(2, 200);
    g->SetCells(2, 2, QStringLiteral("<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"FALSE\" WIDTH=\"15\"> on"));
    std::vector<QString> got;
    g->OnControlClick = [&](TExtStringGrid*, int, int, const QString& id, const QString& type, const QString& v) {
        got.push_back(id + " " + type + " " + v);
    };
    const QPoint p = LinkPoint(*g, 2, 2);
    ASSERT_GE(p.x(), 0);
    Click(*g, p.x(), p.y());
    EXPECT_EQ(g->ControlValues(2, 2, QStringLiteral("c")), QStringLiteral("TRUE"));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], QStringLiteral("c CHECK TRUE"));
}

} // namespace

namespace {

// A grid in a shown window, for hints that need a screen position.
struct ShownGrid {
    std::unique_ptr<TSortRecordingGrid> g = MakeGrid();
    TGridWidget* w = nullptr;
    ShownGrid()
    {
        w = g->CreateWidget(nullptr);
        w->resize(420, 260);
        w->show();
        QApplication::processEvents();
    }
    ~ShownGrid() { delete w; }
    void ToolTipAt(QPoint p)
    {
        QHelpEvent e(QEvent::ToolTip, p, w->viewport()->mapToGlobal(p));
        QApplication::sendEvent(w->viewport(), &e);
    }
};

} // namespace

TEST(GridMouse, MarkupAndWideHintsShowInTheHintWindowUntilTheMouseLeavesTheCell)
{
    ShownGrid s;
    TExtStringGrid& g = *s.g;
    g.SetHintShowCells(true);
    g.SetHTMLHint(true);
    g.SetHintColor(clYellow);
    g.SetCells(1, 2, QStringLiteral("<b>word</b>"));
    const QPoint p = Mid(g, 1, 2);
    s.ToolTipAt(p);
    THTMLHintWindow* hw = g.CellHintWindow();
    ASSERT_NE(hw, nullptr);
    EXPECT_TRUE(hw->isVisible());
    EXPECT_EQ(hw->Text(), QStringLiteral("<b>word</b>"));
    EXPECT_EQ(hw->Color(), clYellow);
    // At the cursor's x and the cell's top, sized to the measured text.
    EXPECT_EQ(hw->pos(), s.w->viewport()->mapToGlobal(QPoint(p.x(), g.CellRect(1, 2).Top)));
    EXPECT_GT(hw->TextWidth(), 0);
    EXPECT_EQ(hw->width(), hw->TextWidth() + 16);
    EXPECT_TRUE(QToolTip::text().isEmpty());
    // Moving within the cell keeps it; another cell hides it.
    g.MouseMove({}, p.x() + 2, p.y());
    EXPECT_TRUE(hw->isVisible());
    const QPoint q = Mid(g, 2, 2);
    g.MouseMove({}, q.x(), q.y());
    EXPECT_FALSE(hw->isVisible());
    EXPECT_EQ(g.LastHintPos(), QPoint(-1, -1));
    // Shown again, leaving the grid hides it.
    s.ToolTipAt(p);
    EXPECT_TRUE(hw->isVisible());
    g.MouseLeave();
    EXPECT_FALSE(hw->isVisible());

    // A wide text from OnGridWideHint goes to the hint window encoded and is
    // drawn decoded; without the internal hint class it is a plain tool tip.
    g.OnGridWideHint = [](TExtStringGrid*, int r, int, QString& wide) {
        if (r == 0) wide = QStringLiteral("\u0416 wide");
    };
    const QPoint h = Mid(g, 3, 0);
    s.ToolTipAt(h);
    EXPECT_TRUE(hw->isVisible());
    EXPECT_EQ(DecodeWideCellText(hw->Text()), QStringLiteral("\u0416 wide"));
    EXPECT_EQ(hw->width(), hw->TextWidth() + 8);
    g.SetUseInternalHintClass(false);
    s.ToolTipAt(h);
    EXPECT_FALSE(hw->isVisible());
    EXPECT_EQ(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), QStringLiteral("\u0416 wide"));
    QToolTip::hideText();
}

TEST(GridMouse, HoverFixedCellFollowsMovePressReleaseAndLeave)
{
    auto g = MakeGrid();
    g->SetHoverFixedCells(THoverFixedCells::hfAll);
    const QPoint h = Mid(*g, 3, 0);
    g->MouseMove({}, h.x(), h.y());
    EXPECT_EQ(g->HoverFixedX, 3);
    EXPECT_EQ(g->HoverFixedY, 0);
    EXPECT_FALSE(g->HoverFixedDown);
    g->MouseDown(mbLeft, {}, h.x(), h.y());
    EXPECT_TRUE(g->HoverFixedDown);
    g->MouseUp(mbLeft, {}, h.x(), h.y());
    EXPECT_FALSE(g->HoverFixedDown);
    // A right press is no pressed look.
    g->MouseDown(mbRight, {}, h.x(), h.y());
    EXPECT_FALSE(g->HoverFixedDown);
    g->MouseUp(mbRight, {}, h.x(), h.y());
    const QPoint d = Mid(*g, 0, 4);
    g->MouseMove({}, d.x(), d.y());
    EXPECT_EQ(g->HoverFixedX, 0);
    EXPECT_EQ(g->HoverFixedY, 4);
    g->MouseLeave();
    EXPECT_EQ(g->HoverFixedX, -1);
    EXPECT_EQ(g->HoverFixedY, -1);
    // Without hover cells nothing is recorded.
    g->SetHoverFixedCells(THoverFixedCells::hfNone);
    g->MouseMove({}, h.x(), h.y());
    EXPECT_EQ(g->HoverFixedX, -1);
}

// --- fixed drop-down menu, fixed-cell editor, moves, clicks and menus ------------------------

namespace {

// Records the menus the grid pops up instead of running them.
struct MenuRecorder {
    std::vector<std::pair<QMenu*, QPoint>> shown;
    PopupMenuHandler old;
    MenuRecorder()
    {
        old = SetPopupMenuHandler([this](QMenu& m, const QPoint& p) -> QAction* {
            shown.emplace_back(&m, p);
            return nullptr;
        });
    }
    ~MenuRecorder() { SetPopupMenuHandler(old); }
};

} // namespace

TEST(GridMouse, FixedDropDownButtonPopsTheMenuUnderTheHeader)
{
    MenuRecorder rec;
    auto g = MakeGrid();
    g->SortSettings().SetShow(true);
    g->SetHoverFixedCells(THoverFixedCells::hfFixedRows);
    g->ControlLook().SetFixedDropDownButton(true);
    QMenu menu;
    g->SetFixedDropDownMenu(&menu);
    std::vector<int> asked;
    g->OnFixedDropDownClick = [&](TExtStringGrid*, int c, int r, QMenu*& m, bool& keep) {
        asked.push_back(c * 10 + r);
        EXPECT_EQ(m, &menu);
        keep = false;
    };
    const TRect cell = g->CellRect(2, 0);
    const int y = (cell.Top + cell.Bottom) / 2;
    g->MouseMove({}, cell.Right - 6, y);
    Click(*g, cell.Right - 6, y);
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(rec.shown[0].first, &menu);
    EXPECT_EQ(rec.shown[0].second, QPoint(cell.Right - 16, cell.Bottom));
    EXPECT_EQ(menu.property("Tag").toInt(), 2);
    EXPECT_EQ(asked, std::vector<int>{20});
    // The menu took the press: no sort, and the hover cell is let go.
    EXPECT_TRUE(g->Sorts.isEmpty());
    EXPECT_EQ(g->HoverFixedX, -1);
    EXPECT_FALSE(g->DropDownDown());
    // A press left of the button sorts as a header click does.
    g->MouseMove({}, cell.Left + 10, y);
    Click(*g, cell.Left + 10, y);
    EXPECT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(g->Sorts.size(), 1);
    // Where OnCanShowFixedDropDown refuses the button, the press is a header click.
    g->OnCanShowFixedDropDown = [](TExtStringGrid*, int c, bool& show) { show = c != 2; };
    g->MouseMove({}, cell.Right - 6, y);
    Click(*g, cell.Right - 6, y);
    EXPECT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(g->Sorts.size(), 2);
    // With column sizing the button stops 2 pixels before the border.
    g->OnCanShowFixedDropDown = nullptr;
    g->SetOptions(g->Options().With(goColSizing));
    g->MouseMove({}, cell.Right - 1, y);
    g->MouseDown(mbLeft, {}, cell.Right - 1, y);
    g->MouseUp(mbLeft, {}, cell.Right - 1, y);
    EXPECT_EQ(rec.shown.size(), 1u);
}

TEST(GridMouse, FixedCellEditorOpensOverTheHeaderAndReportsChanges)
{
    ShownGrid s;
    TExtStringGrid& g = *s.g;
    g.SetCells(2, 0, QStringLiteral("Head"));
    g.MouseActions().SetFixedRowsEdit(fceLeftClick);
    std::vector<QString> changes;
    g.OnEditChange = [&](TExtStringGrid*, int c, int r, const QString& v) {
        changes.push_back(QStringLiteral("%1,%2:%3").arg(c).arg(r).arg(v));
    };
    const TRect cell = g.CellRect(2, 0);
    Click(g, (cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    TGridTransEdit* e = g.EditTrans();
    ASSERT_TRUE(e->isVisible());
    EXPECT_EQ(e->text(), QStringLiteral("Head"));
    EXPECT_EQ(e->geometry(), QRect(cell.Left + 1, cell.Top + 1, cell.Width() - 2, cell.Height() - 2));
    EXPECT_EQ(e->Col(), 2);
    EXPECT_EQ(e->Row(), 0);
    e->setText(QStringLiteral("Name"));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], QStringLiteral("2,0:Name"));
    // Opening it on another header ends this edit into its cell.
    g.MouseActions().SetFixedRowsEditor(fceComboList);
    g.MouseActions().SetFixedComboValues({QStringLiteral("A"), QStringLiteral("Head2"), QStringLiteral("C")});
    g.SetCells(3, 0, QStringLiteral("Head2"));
    g.ShowFixedCellEditor(3, 0);
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(g.Cells(2, 0), QStringLiteral("Name"));
    TGridTransCombo* cb = g.ComboTrans();
    ASSERT_TRUE(cb->isVisible());
    EXPECT_FALSE(cb->isEditable());
    EXPECT_EQ(cb->count(), 3);
    EXPECT_EQ(cb->currentText(), QStringLiteral("Head2"));
    // OnCanEditCell may refuse the editor.
    cb->hide();
    g.OnCanEditCell = [](TExtStringGrid*, int, int, bool& can) { can = false; };
    g.ShowFixedCellEditor(2, 0);
    EXPECT_FALSE(e->isVisible());
    EXPECT_FALSE(cb->isVisible());
    // A press within 4 pixels of the border while columns size opens nothing.
    g.OnCanEditCell = nullptr;
    g.SetOptions(g.Options().With(goColSizing));
    g.MouseDown(mbLeft, {}, cell.Left + 2, cell.Top + 5);
    g.MouseUp(mbLeft, {}, cell.Left + 2, cell.Top + 5);
    EXPECT_FALSE(cb->isVisible());
}

TEST(GridMouse, EnhancedColumnMoveEndsWithoutSorting)
{
    auto g = MakeGrid();
    g->SortSettings().SetShow(true);
    g->SetOptions(g->Options().With(goColMoving));
    g->SetCells(1, 0, QStringLiteral("one"));
    g->SetCells(3, 0, QStringLiteral("three"));
    int ends = 0;
    g->OnEndBlockFocus = [&](TExtStringGrid*) { ++ends; };
    const QPoint from = Mid(*g, 1, 0), to = Mid(*g, 3, 0);
    g->MouseDown(mbLeft, {}, from.x(), from.y());
    g->MouseMove({ssLeft}, to.x(), to.y());
    g->MouseUp(mbLeft, {}, to.x(), to.y());
    // Moved once (not again by the platform), and no sort.
    EXPECT_EQ(g->Cells(3, 0), QStringLiteral("one"));
    EXPECT_EQ(g->Cells(2, 0), QStringLiteral("three"));
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(g->Sorts.isEmpty());
    EXPECT_EQ(g->GridState(), gsNormal);
    // A click on a header without moving still sorts.
    Click(*g, to.x(), to.y());
    EXPECT_EQ(g->Sorts.size(), 1);
    EXPECT_EQ(ends, 1);
}

TEST(GridMouse, SpinButtonPressNotesTheHalf)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goEditing));
    g->ControlLook().SetSpinButtonsAlwaysVisible(true);
    g->OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& t) {
        if (c == 2) t = edSpinEdit;
    };
    const TRect cell = g->CellRect(2, 3);
    g->MouseDown(mbLeft, {}, cell.Right - 5, cell.Top + 3);
    EXPECT_TRUE(g->SpinUpClick());
    EXPECT_FALSE(g->SpinDnClick());
    g->MouseUp(mbLeft, {}, cell.Right - 5, cell.Top + 3);
    g->MouseDown(mbLeft, {}, cell.Right - 5, cell.Bottom - 3);
    EXPECT_FALSE(g->SpinUpClick());
    EXPECT_TRUE(g->SpinDnClick());
    g->MouseUp(mbLeft, {}, cell.Right - 5, cell.Bottom - 3);
    // Left of the 18-pixel button, or a cell without spin editor: neither.
    g->MouseDown(mbLeft, {}, cell.Right - 20, cell.Top + 3);
    EXPECT_FALSE(g->SpinUpClick() || g->SpinDnClick());
    g->MouseUp(mbLeft, {}, cell.Right - 20, cell.Top + 3);
    const TRect plain = g->CellRect(3, 3);
    g->MouseDown(mbLeft, {}, plain.Right - 5, plain.Top + 3);
    EXPECT_FALSE(g->SpinUpClick() || g->SpinDnClick());
    g->MouseUp(mbLeft, {}, plain.Right - 5, plain.Top + 3);
}

namespace {

// A tree grid whose row 2 is a node; records cell-selector clicks.
class TNodeGrid : public TSortRecordingGrid {
public:
    bool IsNode(int r) override { return r == 2; }
    void CellSelectorClick(int c, int r) override { Picked.emplace_back(c, r); }
    std::vector<std::pair<int, int>> Picked;
};

} // namespace

TEST(GridMouse, NodeColumnAndCellSelectorOnlyReport)
{
    TNodeGrid g;
    g.SetColCount(5);
    g.SetRowCount(8);
    g.SetClientSize(400, 250);
    std::vector<std::pair<int, int>> clicked;
    g.OnClickCell = [&](TExtStringGrid*, int r, int c) { clicked.emplace_back(c, r); };
    int downs = 0;
    g.TCustomGrid::OnMouseDown = [&](TCustomGrid*, TMouseButton, TShiftState, int, int) { ++downs; };
    g.FocusCell(2, 5);
    // Column 0 of a data row in a tree grid: the click is reported, the
    // selection stays.
    const QPoint p = Mid(g, 0, 4);
    Click(g, p.x(), p.y());
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], std::make_pair(0, 4));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(g.Row(), 5);
    // Cell-selector mode hands the cell over and does nothing else.
    g.SetCellSelectorMode(true);
    const QPoint q = Mid(g, 3, 6);
    Click(g, q.x(), q.y());
    ASSERT_EQ(g.Picked.size(), 1u);
    EXPECT_EQ(g.Picked[0], std::make_pair(3, 6));
    EXPECT_EQ(clicked.size(), 1u);
    EXPECT_EQ(g.Row(), 5);
    EXPECT_EQ(g.Col(), 2);
}

TEST(GridMouse, SizingHintShowsTheWidthWhileSizing)
{
    ShownGrid s;
    TExtStringGrid& g = *s.g;
    g.SetOptions(g.Options().With(goColSizing));
    g.SetHintShowSizing(true);
    const TRect cell = g.CellRect(2, 0);
    const int y = (cell.Top + cell.Bottom) / 2;
    g.MouseMove({}, cell.Right, y);
    g.MouseDown(mbLeft, {}, cell.Right, y);
    g.MouseMove({ssLeft}, cell.Right + 20, y);
    ASSERT_TRUE(g.SizingHintShown());
    const int width = g.ColWidths(2);
    EXPECT_EQ(g.ScrollHintWindow().Text(), QStringLiteral("cw=<b>%1</b>").arg(width));
    EXPECT_TRUE(g.ScrollHintWindow().isVisible());
    g.MouseUp(mbLeft, {}, cell.Right + 20, y);
    EXPECT_FALSE(g.SizingHintShown());
    EXPECT_FALSE(g.ScrollHintWindow().isVisible());
    // Without HintShowSizing no hint.
    g.SetHintShowSizing(false);
    const TRect c3 = g.CellRect(3, 0);
    g.MouseMove({}, c3.Right, y);
    g.MouseDown(mbLeft, {}, c3.Right, y);
    g.MouseMove({ssLeft}, c3.Right + 10, y);
    EXPECT_FALSE(g.SizingHintShown());
    g.MouseUp(mbLeft, {}, c3.Right + 10, y);
}

TEST(GridMouse, HoverRowAndListViewHotCellFollowTheMouse)
{
    auto g = MakeGrid();
    g->SetHoverRow(true);
    g->SetLook(TGridLook::glListView);
    const QPoint p = Mid(*g, 2, 3);
    g->MouseMove({}, p.x(), p.y());
    EXPECT_EQ(g->HoverRowIdx(), 3);
    EXPECT_EQ(g->HotFixedCell(), (TGridCoord{2, 3}));
    const QPoint h = Mid(*g, 2, 0);
    g->MouseMove({}, h.x(), h.y());
    EXPECT_EQ(g->HoverRowIdx(), 0);
    EXPECT_EQ(g->HotFixedCell(), (TGridCoord{2, 0}));
    g->MouseLeave();
    EXPECT_EQ(g->HoverRowIdx(), -1);
    EXPECT_EQ(g->HotFixedCell(), (TGridCoord{-1, -1}));
}

TEST(GridMouse, DisjunctCellSelectionTakesTheDraggedRectangle)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goRangeSelect));
    g->MouseActions().SetDisjunctCellSelect(true);
    const QPoint a = Mid(*g, 1, 2), b = Mid(*g, 2, 4);
    g->MouseDown(mbLeft, {}, a.x(), a.y());
    g->MouseMove({ssLeft}, b.x(), b.y());
    g->MouseUp(mbLeft, {}, b.x(), b.y());
    int picked = 0;
    for (int r = 1; r < 8; ++r)
        for (int c = 1; c < 5; ++c) picked += g->SelectedCells(c, r);
    EXPECT_EQ(picked, 6);
    for (int r = 2; r <= 4; ++r)
        for (int c = 1; c <= 2; ++c) EXPECT_TRUE(g->SelectedCells(c, r)) << c << "," << r;
    // A plain click starts over with the one cell.
    const QPoint d = Mid(*g, 4, 6);
    Click(*g, d.x(), d.y());
    picked = 0;
    for (int r = 1; r < 8; ++r)
        for (int c = 1; c < 5; ++c) picked += g->SelectedCells(c, r);
    EXPECT_EQ(picked, 1);
    EXPECT_TRUE(g->SelectedCells(4, 6));
}

TEST(GridMouse, OnClickFiresOnceAndNotForASizingRelease)
{
    auto g = MakeGrid();
    g->SetOptions(g->Options().With(goColSizing));
    int clicks = 0;
    g->TCustomGrid::OnClick = [&](TCustomGrid*) { ++clicks; };
    const QPoint h = Mid(*g, 2, 0);
    Click(*g, h.x(), h.y());
    EXPECT_EQ(clicks, 1);
    const QPoint d = Mid(*g, 2, 3);
    Click(*g, d.x(), d.y());
    EXPECT_EQ(clicks, 2);
    // A press and release on a header border sizes: no click.
    const TRect cell = g->CellRect(2, 0);
    g->MouseMove({}, cell.Right, h.y());
    Click(*g, cell.Right, h.y());
    EXPECT_EQ(clicks, 2);
}

TEST(GridMouse, RightClickShowsTheContextMenuAndKeepsAMultiRowSelectionForIt)
{
    MenuRecorder rec;
    auto g = MakeGrid();
    g->MouseActions().SetSelectOnRightClick(true);
    g->MouseActions().SetDisjunctRowSelect(true);
    for (int r : {2, 3, 4}) g->SetRowSelect(r, true);
    QMenu menu;
    g->SetPopupMenu(&menu);
    const QPoint p = Mid(*g, 2, 3);
    g->MouseDown(mbRight, {}, p.x(), p.y());
    g->MouseUp(mbRight, {}, p.x(), p.y());
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(rec.shown[0].first, &menu);
    EXPECT_EQ(g->RowSelectCount(), 3);
    // Without a context menu the right click selects its row alone.
    g->SetPopupMenu(nullptr);
    g->MouseDown(mbRight, {}, p.x(), p.y());
    g->MouseUp(mbRight, {}, p.x(), p.y());
    EXPECT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(g->RowSelectCount(), 1);
    EXPECT_TRUE(g->RowSelect(3));
}

TEST(GridMouse, InCellScrollBarMovesTheCellsText)
{
    ShownGrid s;
    TExtStringGrid& g = *s.g;
    g.AddScrollBar(2, 3, false);
    g.SetScrollProp(2, 3, {20, 100});
    std::vector<int> moved;
    g.OnScrollCell = [&](TExtStringGrid*, int c, int r, int pos, int, int) {
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 3);
        moved.push_back(pos);
    };
    const QPoint p = Mid(g, 2, 3);
    g.MouseMove({}, p.x(), p.y());
    QScrollBar* bar = s.w->viewport()->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    const TRect cell = g.CellRect(2, 3);
    EXPECT_EQ(bar->geometry().right() + 1, cell.Right - g.GridLineWidth());
    bar->setSliderPosition(30);
    EXPECT_EQ(g.GetScrollPosition(2, 3), 30);
    EXPECT_EQ(moved, std::vector<int>{30});
    // Over a cell without a bar it hides.
    const QPoint q = Mid(g, 3, 3);
    g.MouseMove({}, q.x(), q.y());
    EXPECT_FALSE(bar->isVisible());
}

TEST(GridMouse, ShownGridHoversAHeaderButtonAndAnInCellBar)
{
    ShownGrid s;
    TExtStringGrid& g = *s.g;
    g.SetLook(TGridLook::glXP);
    g.SetHoverFixedCells(THoverFixedCells::hfFixedRows);
    g.ControlLook().SetFixedDropDownButton(true);
    for (int c = 1; c < 5; ++c) g.SetCells(c, 0, QStringLiteral("Column %1").arg(c));
    g.SetColWidths(3, 120);
    g.SetRowHeights(2, 40);
    g.SetCells(3, 2, QStringLiteral("first line\nsecond line\nthird line\nfourth line"));
    g.AddScrollBar(3, 2, false);
    g.SetScrollProp(3, 2, {40, 70});
    g.SetScrollPosition(3, 2, 12);
    // Hovering the header shows its button; hovering the cell puts the
    // platform bar over the painted one.
    const QPoint h = Mid(g, 2, 0);
    g.MouseMove({}, h.x(), h.y());
    EXPECT_EQ(g.HoverFixedX, 2);
    const QPoint p = Mid(g, 3, 2);
    g.MouseMove({}, p.x(), p.y());
    QScrollBar* bar = s.w->viewport()->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 12);
    EXPECT_EQ(bar->maximum(), 30);
    // Back on the header for the picture.
    g.MouseMove({}, h.x(), h.y());
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPixmap shot = QGuiApplication::platformName() == QStringLiteral("xcb") && screen
                                 ? screen->grabWindow(s.w->winId())
                                 : s.w->grab();
        shot.save(dir + QStringLiteral("/grid-header-button-incell-bar.png"));
    }
}
