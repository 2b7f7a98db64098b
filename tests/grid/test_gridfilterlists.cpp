// The filter drop-down's look, the two filter lists under a header's filter
// button and the window that never takes the activation, in an offscreen
// window.
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A grid that records the choices its lists pass on.
class TListGrid : public TExtStringGrid {
public:
    using TExtStringGrid::TExtStringGrid;
    void FilterListSelect(int itemIndex) override
    {
        Chosen.push_back(itemIndex);
        SeenVisible = DropList().isVisible();
    }
    void FilterCheckListClick(int itemIndex) override { Ticked.push_back(itemIndex); }
    std::vector<int> Chosen, Ticked;
    bool SeenVisible = true;
};

// Column 1 offers an automatic filter list of its texts.
class FilterLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.SetColCount(3);
        g.SetRowCount(6);
        g.SetFixedRows(1);
        g.SetDefaultColWidth(90);
        const char* texts[] = {"pear", "apple", "fig", "apple", "kiwi"};
        for (int r = 1; r < 6; ++r) g.SetCells(1, r, QString::fromUtf8(texts[r - 1]));
        g.SetFilterDropDownAuto(true);
        auto* lay = new QVBoxLayout(&host);
        lay->addWidget(g.CreateWnd(&host));
        host.resize(500, 300);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }
    // Presses and releases the filter button of column c in the header.
    void ClickFilterButton(int c)
    {
        const TRect r = g.CellRect(c, 0);
        const QPoint p(r.Right - 8, r.Top + 5);
        QTest::mouseClick(g.Widget()->viewport(), Qt::LeftButton, {}, p);
    }
    QWidget host;
    TListGrid g;
};

} // namespace

TEST(FilterDropDownLook, DefaultsChangeEventAndAssign)
{
    TFilterDropDown a;
    EXPECT_FALSE(a.AutoSize());
    EXPECT_EQ(a.Color(), clWindow);
    EXPECT_FALSE(a.ColumnWidth());
    EXPECT_EQ(a.Width(), 150);
    EXPECT_EQ(a.Height(), 150);
    EXPECT_TRUE(a.Glyph().isNull());
    int changes = 0;
    a.OnChange = [&](TFilterDropDown* s) { changes += s == &a; };
    a.SetColor(clRed);
    a.SetWidth(200);
    a.SetFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    EXPECT_EQ(changes, 0); // only the glyphs repaint the buttons
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    a.SetGlyph(glyph);
    a.SetGlyphActive(glyph);
    EXPECT_EQ(changes, 2);

    TFilterDropDown b;
    int bChanges = 0;
    b.OnChange = [&](TFilterDropDown*) { ++bChanges; };
    a.SetAutoSize(true);
    a.SetColumnWidth(true);
    b.Assign(a);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.Width(), 200);
    EXPECT_TRUE(b.ColumnWidth());
    EXPECT_EQ(b.Font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(b.Glyph(), glyph);
    EXPECT_FALSE(b.AutoSize()); // not copied
    EXPECT_GT(bChanges, 0);
}

TEST_F(FilterLists, EnterChoosesAndHidesOtherKeysDoNothing)
{
    TDropList& l = g.DropList();
    ClickFilterButton(1);
    ASSERT_TRUE(l.isVisible());
    EXPECT_EQ(g.FilterCol(), 1);
    // The clear entry first, then each text once, sorted.
    ASSERT_EQ(l.count(), 5);
    EXPECT_EQ(l.item(0)->text(), QStringLiteral("(All)"));
    EXPECT_EQ(l.item(1)->text(), QStringLiteral("apple"));
    EXPECT_EQ(l.currentRow(), 0);
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_A, Qt::Key_Space, Qt::Key_Up}) QTest::keyClick(&l, k);
    EXPECT_TRUE(g.Chosen.empty());
    EXPECT_TRUE(l.isVisible());
    const int highlighted = l.currentRow();
    QTest::keyClick(&l, Qt::Key_Return);
    EXPECT_EQ(g.Chosen, std::vector<int>{highlighted});
    EXPECT_FALSE(g.SeenVisible); // hidden before the choice is handled
    EXPECT_FALSE(l.isVisible());
}

TEST_F(FilterLists, MouseReleaseChoosesTheItemUnderIt)
{
    TDropList& l = g.DropList();
    ClickFilterButton(1);
    ASSERT_TRUE(l.isVisible());
    const QRect item = l.visualItemRect(l.item(2));
    QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(g.Chosen, std::vector<int>{2});
    EXPECT_FALSE(l.isVisible());
}

TEST_F(FilterLists, ListPlacedUnderTheButton)
{
    TDropList& l = g.DropList();
    const QPoint origin = g.Widget()->viewport()->geometry().topLeft();
    ClickFilterButton(1);
    ASSERT_TRUE(l.isVisible());
    const TRect c = g.CellRect(1, 0);
    EXPECT_EQ(l.geometry(), QRect(origin.x() + c.Right - 16, origin.y() + c.Top + 16, 150, 150));
    ClickFilterButton(1);
    ASSERT_FALSE(l.isVisible());

    g.FilterDropDown().SetColumnWidth(true);
    ClickFilterButton(1);
    const TRect c1 = g.CellRect(1, 0);
    EXPECT_EQ(l.geometry(), QRect(origin.x() + c1.Left, origin.y() + c1.Top + 16, c1.Right - c1.Left, 150));
}

TEST_F(FilterLists, SecondClickOnTheButtonCloses)
{
    ClickFilterButton(1);
    ASSERT_TRUE(g.DropList().isVisible());
    ClickFilterButton(1);
    EXPECT_FALSE(g.DropList().isVisible());
    EXPECT_EQ(g.FilterCol(), -1);
    EXPECT_TRUE(g.Chosen.empty());
}

TEST_F(FilterLists, PressOutsideClosesPressInsideKeeps)
{
    TDropList& l = g.DropList();
    ClickFilterButton(1);
    ASSERT_TRUE(l.isVisible());
    l.CancelMode(l.mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(l.isVisible());
    EXPECT_EQ(g.FilterCol(), 1);
    // A press on a cell of the grid.
    const TRect cell = g.CellRect(0, 4);
    QTest::mousePress(g.Widget()->viewport(), Qt::LeftButton, {}, QPoint(cell.Left + 5, cell.Top + 5));
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(g.FilterCol(), -1);
    EXPECT_TRUE(g.Chosen.empty());
    QTest::mouseRelease(g.Widget()->viewport(), Qt::LeftButton, {}, QPoint(cell.Left + 5, cell.Top + 5));
}

TEST_F(FilterLists, CheckListTicksStayOpen)
{
    g.SetFilterDropDownCheck(true);
    TDropCheckList& l = g.DropCheckList();
    ClickFilterButton(1);
    ASSERT_TRUE(l.isVisible());
    EXPECT_FALSE(g.DropList().isVisible());
    ASSERT_EQ(l.count(), 5);
    EXPECT_TRUE(g.Ticked.empty()); // filling ticks nothing
    l.item(1)->setCheckState(Qt::Checked);
    l.setCurrentRow(2);
    QTest::keyClick(&l, Qt::Key_Space);
    EXPECT_EQ(l.item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(g.Ticked, (std::vector<int>{-1, -1}));
    EXPECT_TRUE(l.isVisible());
    EXPECT_EQ(g.FilterCol(), 1);

    l.CancelMode(l.mapToGlobal(QPoint(-20, -20)));
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(g.FilterCol(), -1);
}

TEST(NoActiveForm, ClickLeavesTheActiveWindow)
{
    QWidget main;
    main.resize(200, 100);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    TNoActiveForm f;
    EXPECT_TRUE(f.isWindow());
    EXPECT_FALSE(f.isEnabled());
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
    f.setGeometry(300, 300, 60, 40);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &main);
    // Its one-pixel border.
    const QImage img = f.grab().toImage();
    EXPECT_EQ(img.pixel(0, 20), ColorToQColor(clWindowFrame).rgb());
    EXPECT_EQ(img.pixel(30, 20), ColorToQColor(clBtnFace).rgb());
}

TEST_F(FilterLists, PickFromTheHeaderFiltersTheRowsTwoTicksTwoConditions)
{
    // The real handlers behind the lists.
    TExtStringGrid real;
    real.SetColCount(2);
    real.SetRowCount(6);
    real.SetFixedRows(1);
    real.SetDefaultColWidth(120);
    const char* texts[] = {"pear", "apple", "fig", "apple", "kiwi"};
    for (int r = 1; r < 6; ++r) real.SetCells(1, r, QString::fromUtf8(texts[r - 1]));
    real.SetFilterDropDownAuto(true);
    QWidget form;
    auto* lay = new QVBoxLayout(&form);
    lay->addWidget(real.CreateWnd(&form));
    form.resize(400, 300);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const TRect r = real.CellRect(1, 0);
    QTest::mouseClick(real.Widget()->viewport(), Qt::LeftButton, {}, QPoint(r.Right - 8, r.Top + 5));
    TDropList& l = real.DropList();
    ASSERT_TRUE(l.isVisible());
    ASSERT_EQ(l.item(1)->text(), QStringLiteral("apple"));
    l.setCurrentRow(1);
    QTest::keyClick(&l, Qt::Key_Return);
    EXPECT_FALSE(l.isVisible());
    EXPECT_EQ(real.FilterCol(), -1);
    EXPECT_TRUE(real.FilterActive());
    EXPECT_EQ(real.RowCount(), 3); // the header and the two apples
    EXPECT_EQ(real.Cells(1, 1), QStringLiteral("apple"));

    real.SetFilterActive(false);
    real.Filter().Clear();
    real.SetFilterDropDownCheck(true);
    QTest::mouseClick(real.Widget()->viewport(), Qt::LeftButton, {}, QPoint(r.Right - 8, r.Top + 5));
    TDropCheckList& cl = real.DropCheckList();
    ASSERT_TRUE(cl.isVisible());
    cl.item(2)->setCheckState(Qt::Checked);
    cl.item(4)->setCheckState(Qt::Checked);
    EXPECT_TRUE(cl.isVisible());
    ASSERT_EQ(real.Filter().Count(), 2);
    EXPECT_EQ(real.Filter().Items(0).Condition(), cl.item(2)->text());
    EXPECT_EQ(real.Filter().Items(1).Condition(), cl.item(4)->text());
    EXPECT_EQ(real.Filter().Items(1).Column(), 1);
}
