#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A grid that records the filter-list choices its drop-downs pass on.
class TRecordingGrid : public TExtStringGrid {
public:
    using TExtStringGrid::TExtStringGrid;
    void FilterListSelect(int itemIndex) override { Chosen.push_back(itemIndex); }
    void FilterCheckListClick(int itemIndex) override { Ticked.push_back(itemIndex); }
    std::vector<int> Chosen, Ticked;
};

} // namespace

TEST(ExtGridCompanions, MadeHiddenWithTheGrid)
{
    TExtStringGrid g;
    EXPECT_EQ(g.FooterPanel().Grid(), &g);
    EXPECT_EQ(g.SearchPanel().Grid(), &g);
    EXPECT_EQ(g.DropList().Grid(), &g);
    EXPECT_EQ(g.DropCheckList().Grid(), &g);
    for (QWidget* w : std::initializer_list<QWidget*>{&g.FooterPanel(), &g.SearchPanel(), &g.DropList(),
                                                     &g.DropCheckList(), &g.ScrollHintWindow()}) {
        EXPECT_TRUE(w->isHidden());
        EXPECT_EQ(w->parentWidget(), nullptr);
    }
    EXPECT_EQ(g.FooterPanel().PanelHeight(), 0);
    EXPECT_EQ(g.FooterPanel().BorderWidth(), 0);
    EXPECT_EQ(g.SearchPanel().PanelHeight(), 0);
    EXPECT_EQ(g.DropList().size(), QSize(0, 0));
    EXPECT_EQ(g.DropCheckList().size(), QSize(0, 0));
    EXPECT_EQ(g.ScrollHintWindow().Color(), clInfoBk);
    ASSERT_NE(g.HeaderDragButton(), nullptr);
    EXPECT_EQ(g.HeaderDragButton()->Grid(), &g);
    EXPECT_FALSE(g.HeaderDragButton()->isEnabled());
    EXPECT_TRUE(g.HeaderDragButton()->isHidden());
    EXPECT_EQ(g.VScrollControl(), nullptr);
    EXPECT_EQ(g.HScrollControl(), nullptr);

    TExtStringGrid designed(nullptr, true);
    EXPECT_EQ(designed.HeaderDragButton(), nullptr);
}

TEST(ExtGridCompanions, PutIntoTheWindowWithTheSearchPanelAtTheBottom)
{
    QWidget form;
    form.resize(500, 400);
    TExtStringGrid g;
    g.SearchFooter().SetVisible(true);
    TGridWidget* w = g.CreateWnd(&form);
    for (QWidget* c : std::initializer_list<QWidget*>{&g.FooterPanel(), &g.SearchPanel(), &g.DropList(),
                                                     &g.DropCheckList(), g.HeaderDragButton()})
        EXPECT_EQ(c->parentWidget(), w);
    // The hint window stays a window of its own.
    EXPECT_EQ(g.ScrollHintWindow().parentWidget(), nullptr);
    EXPECT_TRUE(g.FooterPanel().isHidden());
    EXPECT_TRUE(g.DropList().isHidden());

    EXPECT_FALSE(g.SearchPanel().isHidden());
    // Under the cells, in the window's bottom margin.
    auto under = [w] {
        const QRect vp = w->viewport()->geometry();
        return QRect(vp.left(), vp.bottom() + 1, vp.width(), 32);
    };
    EXPECT_EQ(w->ViewportBottomMargin(), 32);
    EXPECT_EQ(g.SearchPanel().geometry(), under());
    form.show();
    w->resize(300, 200);
    EXPECT_EQ(g.SearchPanel().geometry(), under());

    g.SearchFooter().SetVisible(false);
    EXPECT_TRUE(g.SearchPanel().isHidden());
    EXPECT_EQ(g.SearchPanel().PanelHeight(), 0);
    g.SearchFooter().SetVisible(true);
    EXPECT_FALSE(g.SearchPanel().isHidden());
    EXPECT_EQ(g.SearchPanel().Settings().Visible(), true);
}

TEST(ExtGridCompanions, FloatingFooterShownWhenTheWindowIsMade)
{
    QWidget form;
    TExtStringGrid g;
    g.FloatingFooter().SetVisible(true);
    g.CreateWnd(&form);
    EXPECT_FALSE(g.FooterPanel().isHidden());
    EXPECT_TRUE(g.SearchPanel().isHidden());
}

TEST(ExtGridCompanions, SearchPanelCloseHidesTheFooter)
{
    QWidget form;
    TExtStringGrid g;
    g.SearchFooter().SetVisible(true);
    g.CreateWnd(&form);
    int closed = 0;
    g.OnSearchFooterClose = [&](TExtStringGrid* s) {
        EXPECT_EQ(s, &g);
        EXPECT_TRUE(g.SearchFooter().Visible());
        ++closed;
    };
    g.SearchPanel().OnExitClick(&g.SearchPanel());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(g.SearchFooter().Visible());
    EXPECT_TRUE(g.SearchPanel().isHidden());
}

TEST(ExtGridCompanions, DropListsPassTheirChoiceToTheGrid)
{
    TRecordingGrid g;
    g.DropList().OnSelect(&g.DropList(), 3);
    g.DropCheckList().OnSelect(&g.DropCheckList(), -1);
    EXPECT_EQ(g.Chosen, std::vector<int>{3});
    EXPECT_EQ(g.Ticked, std::vector<int>{-1});
}

TEST(ExtGridCompanions, MetroScrollControlsMadeWithTheWindow)
{
    QWidget form;
    form.resize(400, 300);
    TExtStringGrid g;
    g.SetScrollType(TScrollType::ssMetro);
    TGridWidget* w = g.CreateWnd(&form);
    ASSERT_NE(g.VScrollControl(), nullptr);
    ASSERT_NE(g.HScrollControl(), nullptr);
    EXPECT_EQ(g.VScrollControl()->Direction(), TScrollControl::sdVertical);
    EXPECT_EQ(g.HScrollControl()->Direction(), TScrollControl::sdHorizontal);
    for (TScrollControl* s : {g.VScrollControl(), g.HScrollControl()}) {
        EXPECT_EQ(s->parentWidget(), w);
        EXPECT_EQ(s->Color(), clSilver);
        EXPECT_EQ(s->ScrollWidth(), 4);
        EXPECT_FALSE(s->isHidden());
    }
    EXPECT_EQ(g.VScrollControl()->width(), 6);
    EXPECT_EQ(g.HScrollControl()->height(), 6);
    // A second window creation keeps the ones there are.
    TScrollControl* v = g.VScrollControl();
    g.CreateWnd(&form);
    EXPECT_EQ(g.VScrollControl(), v);

    TExtStringGrid designed(nullptr, true);
    designed.SetScrollType(TScrollType::ssMetro);
    designed.CreateWnd(&form);
    EXPECT_EQ(designed.VScrollControl(), nullptr);
}

TEST(ExtGridCompanions, OutliveAWindowDeletedBeforeTheGrid)
{
    TExtStringGrid g;
    g.SetScrollType(TScrollType::ssMetro);
    g.SearchFooter().SetVisible(true);
    {
        auto form = std::make_unique<QWidget>();
        g.CreateWnd(form.get());
        ASSERT_EQ(g.SearchPanel().parentWidget(), g.Widget());
    }
    // The window went with its form; the companions stayed with the grid.
    EXPECT_EQ(g.SearchPanel().parentWidget(), nullptr);
    EXPECT_EQ(g.FooterPanel().parentWidget(), nullptr);
    EXPECT_EQ(g.DropList().parentWidget(), nullptr);
    ASSERT_NE(g.VScrollControl(), nullptr);
    EXPECT_EQ(g.VScrollControl()->parentWidget(), nullptr);
    EXPECT_EQ(g.HeaderDragButton()->Grid(), &g);
    g.SearchFooter().SetVisible(false);
    EXPECT_TRUE(g.SearchPanel().isHidden());

    // A new window takes them again.
    QWidget form2;
    TGridWidget* w2 = g.CreateWnd(&form2);
    EXPECT_EQ(g.DropList().parentWidget(), w2);
}
