// The grid's relays from its combo editor (the list dropping down and
// closing up) and its reaction to a resized
// window (the stretched column, the scroll bars kept shown), in an offscreen
// window.
#include "ShownGrid.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridEditors.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class RelayWindow : public ShownGrid {
protected:
    void SetUp() override
    {
        FillCellNames(g, 4, 4);
        g.SetOptions(g.Options().With(goEditing));
        for (const char* s : {"red", "green", "blue"}) g.AddComboString(s);
        g.OnGetEditorType = [](TExtStringGrid*, int c, int, TEditorType& e) {
            if (c == 2) e = edComboList;
        };
        ShowGrid();
    }
};

} // namespace

TEST_F(RelayWindow, EnterInTheComboIsReportedOnceAndCommits)
{
    g.SetCol(2);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    TGridCombo* c = g.EditCombo();
    int returns = 0;
    c->OnReturnKey = [&](TGridCombo* sender) {
        EXPECT_EQ(sender, c);
        ++returns;
    };
    QTest::keyClick(c, Qt::Key_Down);
    const QString picked = c->Text();
    QTest::keyClick(c, Qt::Key_Return);
    c->OnReturnKey = nullptr;
    EXPECT_EQ(returns, 1);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(2, 1), picked);
}

TEST_F(RelayWindow, ComboDropDownAndCloseUpReachTheGrid)
{
    std::vector<std::pair<int, int>> drops, closes;
    g.OnComboDropDown = [&](TExtStringGrid*, int r, int c) { drops.push_back({r, c}); };
    g.OnComboCloseUp = [&](TExtStringGrid*, int r, int c) { closes.push_back({r, c}); };
    g.SetCol(2);
    g.SetRow(2);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    TGridCombo* c = g.EditCombo();
    c->SetDroppedDown(true);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0], std::make_pair(2, 2));
    EXPECT_TRUE(closes.empty());
    c->SetDroppedDown(false);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0], std::make_pair(2, 2));
    EXPECT_TRUE(g.EditMode()) << "without DirectComboClose the edit stays open";
    c->SetDroppedDown(false);
    EXPECT_EQ(closes.size(), 1u) << "a list that is not down does not close again";
}

TEST_F(RelayWindow, DirectComboCloseEndsTheEditWithTheShownItem)
{
    g.MouseActions().SetDirectComboClose(true);
    g.MouseActions().SetDirectEdit(true);
    std::vector<QString> changes;
    int closes = 0;
    g.OnComboChange = [&](TExtStringGrid*, int, int, int, const QString& s) { changes.push_back(s); };
    g.OnComboCloseUp = [&](TExtStringGrid*, int, int) { ++closes; };
    g.SetCol(2);
    g.SetRow(1);
    QTest::keyClick(g.Widget(), Qt::Key_F2);
    ASSERT_TRUE(g.EditMode());
    TGridCombo* c = g.EditCombo();
    c->SetDroppedDown(true);
    c->setCurrentIndex(2);
    changes.clear();
    c->SetDroppedDown(false);
    EXPECT_FALSE(g.EditMode());
    EXPECT_EQ(g.Cells(2, 1), "blue");
    EXPECT_EQ(changes, std::vector<QString>{"blue"});
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(g.MouseActions().DirectEdit()) << "DirectEdit is put back";
    EXPECT_TRUE(g.Widget()->hasFocus());
}

TEST_F(RelayWindow, ScrollBarAlwaysKeepsTheBarShown)
{
    auto* w = static_cast<QAbstractScrollArea*>(g.Widget());
    g.SetScrollBars(TScrollStyle::ssBoth);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->verticalScrollBar()->isVisible()) << "four rows fit";
    g.SetScrollBarAlways(TScrollBarAlways::saVert);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->verticalScrollBar()->isVisible());
    EXPECT_FALSE(w->horizontalScrollBar()->isVisible());
    g.SetScrollBarAlways(TScrollBarAlways::saBoth);
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->horizontalScrollBar()->isVisible());
    g.SetScrollBars(TScrollStyle::ssNone);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->verticalScrollBar()->isVisible()) << "the scroll-bar style has the last word";
    g.SetScrollBarAlways(TScrollBarAlways::saNone);
    g.SetScrollBars(TScrollStyle::ssBoth);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->verticalScrollBar()->isVisible());
}

TEST_F(RelayWindow, OnGridResizeFiresWhenTheStretchedColumnTakesTheRoom)
{
    for (int c = 0; c < 4; ++c) g.SetColWidths(c, 40);
    g.ColumnSize().SetStretch(true);
    int resized = 0;
    g.OnGridResize = [&](TExtStringGrid*) { ++resized; };
    host.resize(500, 200);
    QCoreApplication::processEvents();
    EXPECT_GT(resized, 0);
    EXPECT_GT(g.ColWidths(3), 40) << "the last column is stretched";

    resized = 0;
    g.SetScrollBarAlways(TScrollBarAlways::saVert);
    host.resize(460, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(resized, 0) << "a kept vertical bar stretches without the event";

    g.SetScrollBarAlways(TScrollBarAlways::saHorz);
    const int before = g.ColWidths(3);
    host.resize(560, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(resized, 0);
    EXPECT_EQ(g.ColWidths(3), before) << "a kept horizontal bar leaves the widths alone";
}
