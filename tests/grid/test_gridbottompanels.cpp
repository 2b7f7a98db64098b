// The footer panel and the search bar under a grid's cells: layout, the
// footer's pure helpers, painting probes, hints, clicks and the search
// bar's controls, keys and events, in an offscreen window.
#include "controls/ExtDropDownDraw.h"
#include "controls/ExtUtilDraw.h"
#include "controls/ExtObjWidgets.h"
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QDialog>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A grid that counts the search bar's events as they reach it.
class TSearchGrid : public TExtStringGrid {
public:
    using TExtStringGrid::TExtStringGrid;
    void SearchFooterEditChange(const QString& value) override
    {
        Changes << value;
        TExtStringGrid::SearchFooterEditChange(value);
    }
    void SearchFooterFindNext() override { ++Next; }
    void SearchFooterFindPrev() override { ++Prev; }
    QStringList Changes;
    int Next = 0, Prev = 0;
};

// A shown window with a grid of 4 columns of 64 pixels and 6 rows.
class BottomPanels : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.SetColCount(4);
        g.SetRowCount(6);
        g.SetDefaultColWidth(64);
        g.SetFixedCols(1);
        g.SetFixedRows(1);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 6; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('A' + c)).arg(r));
        auto* lay = new QVBoxLayout(&host);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->addWidget(g.CreateWnd(&host));
        host.resize(700, 260);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    QImage Grab(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static QRgb Rgb(TColor c) { return ColorToQColor(c).rgb(); }
    QWidget host;
    TSearchGrid g;
};

} // namespace

TEST(FooterHelpers, ColumnUnderTheMouse)
{
    const std::vector<TFooterColumn> cols{{0, 30}, {3, 40}, {4, 50}};
    const struct {
        int x, col;
    } cases[] = {{0, 0}, {30, 0}, {31, 3}, {70, 3}, {71, 4}, {120, 4}, {121, -1}};
    for (const auto& c : cases) EXPECT_EQ(FooterColumnAt(cols, c.x), c.col) << c.x;
    EXPECT_EQ(FooterColumnAt({}, 0), -1);
}

TEST(FooterHelpers, TemplateExpansion)
{
    std::vector<int> read;
    auto cell = [&read](int c) {
        read.push_back(c);
        return QStringLiteral("v%1").arg(c);
    };
    const struct {
        const char* tmpl;
        const char* shown;
    } cases[] = {
        {"no placeholder", "no placeholder"},
        {"a <#2> b", "a v2 b"},
        {"<#0><#1>", "v0v1"},
        {"a<#x>b", "ab"},         // not a number: dropped
        {"a<#>b", "ab"},          // empty: dropped
        {"a<#-1>b", "ab"},        // no column
        {"a<#3>b", "ab"},         // outside the 3 columns
        {"a<# 1>b", "ab"},        // a blank is no digit
        {"tail <#1", "tail <#1"}, // never closed: shown as it stands
        {"<#1> and <#2", "v1 and <#2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandFooterTemplate(QString::fromUtf8(c.tmpl), 3, cell), QString::fromUtf8(c.shown)) << c.tmpl;
    for (int c : read) EXPECT_TRUE(c >= 0 && c < 3) << c;
}

TEST_F(BottomPanels, FooterAndSearchBarSitUnderTheCells)
{
    TGridWidget* w = g.Widget();
    const int full = w->viewport()->height();
    g.FloatingFooter().SetVisible(true);
    g.SearchFooter().SetVisible(true);
    const int fh = g.FooterPanel().PanelHeight();
    EXPECT_EQ(fh, g.DefaultRowHeight() - 1);
    EXPECT_EQ(w->ViewportBottomMargin(), fh + TSearchPanel::ShownHeight);
    EXPECT_EQ(w->viewport()->height(), full - fh - TSearchPanel::ShownHeight);
    const QRect vp = w->viewport()->geometry();
    EXPECT_EQ(g.FooterPanel().geometry(), QRect(vp.left(), vp.bottom() + 1, vp.width(), fh));
    EXPECT_EQ(g.SearchPanel().geometry(), QRect(vp.left(), vp.bottom() + 1 + fh, vp.width(), 32));
    // The grid's rows end above the panels.
    EXPECT_EQ(g.ClientHeight(), w->viewport()->height());

    g.FloatingFooter().SetVisible(false);
    EXPECT_EQ(w->ViewportBottomMargin(), 32);
    EXPECT_EQ(g.SearchPanel().geometry().top(), w->viewport()->geometry().bottom() + 1);
    g.SearchFooter().SetVisible(false);
    EXPECT_EQ(w->ViewportBottomMargin(), 0);
    EXPECT_EQ(w->viewport()->height(), full);

    // A footer of height 0 stays 0 pixels high, never negative.
    g.FloatingFooter().SetHeight(0);
    g.FloatingFooter().SetVisible(true);
    EXPECT_EQ(g.FooterPanel().PanelHeight(), 0);
}

TEST_F(BottomPanels, CreatedEventsFireWhenThePanelsEnterAWindow)
{
    TExtStringGrid other;
    int footer = 0, search = 0;
    other.OnCreatedFloatingFooter = [&](TExtStringGrid* s) { footer += s == &other; };
    other.OnCreatedSearchFooter = [&](TExtStringGrid* s) { search += s == &other; };
    other.FloatingFooter().SetVisible(true);
    QWidget form;
    other.CreateWnd(&form);
    EXPECT_EQ(footer, 1);
    EXPECT_EQ(search, 1);
    EXPECT_EQ(other.FooterPanel().PanelHeight(), other.FloatingFooter().Height());
}

TEST_F(BottomPanels, FooterPaintsItsColoursAndTheColumnSum)
{
    TFloatingFooter& ff = g.FloatingFooter();
    for (int r = 1; r < 5; ++r) g.SetCells(2, r, QString::number(r));
    ff.SetVisible(true);
    ff.SetColumnCalc(2, acSUM);
    ASSERT_EQ(g.Cells(2, 5).toDouble(), 10.0);
    g.Color = 0x00FF00;

    // The footer row: beyond the last column the grid's colour.
    QImage img = Grab(g.FooterPanel());
    EXPECT_EQ(img.pixel(400, img.height() / 2), Rgb(0x00FF00));

    // A template preview: the strip in Color, its top line in BorderColor.
    ff.SetFooterStyle(TFooterStyle::fsCustomPreview);
    ff.SetCustomTemplate(QString());
    ff.SetColor(0x0000FF);
    ff.SetBorderColor(0xFF0000);
    img = Grab(g.FooterPanel());
    EXPECT_EQ(img.pixel(100, img.height() / 2), Rgb(0x0000FF));
    EXPECT_EQ(img.pixel(100, 0), Rgb(0xFF0000));
    EXPECT_EQ(img.pixel(400, img.height() / 2), Rgb(0x00FF00));
}

TEST_F(BottomPanels, FooterClicksReportTheColumnUnderTheMouse)
{
    g.SetColCount(8);
    g.FloatingFooter().SetVisible(true);
    g.SetLeftCol(3);
    std::vector<std::pair<int, int>> cells;
    int clicks = 0;
    g.OnClick = [&](TCustomGrid*) { ++clicks; };
    g.OnClickCell = [&](TExtStringGrid*, int r, int c) { cells.emplace_back(r, c); };
    const int last = g.RowCount() - 1;
    const struct {
        int x;
        std::vector<std::pair<int, int>> cells;
    } cases[] = {{5, {{last, 0}}}, {70, {{last, 3}}}, {64 * 6 + 10, {}}};
    for (const auto& c : cases) {
        cells.clear();
        clicks = 0;
        QTest::mouseClick(&g.FooterPanel(), Qt::LeftButton, {}, QPoint(c.x, 3));
        EXPECT_EQ(clicks, 1) << c.x;
        EXPECT_EQ(cells, c.cells) << c.x;
    }
}

TEST_F(BottomPanels, FooterHintStaysWithinAColumnAndGoesOnTheNext)
{
    TFooterPanel& p = g.FooterPanel();
    g.FloatingFooter().SetVisible(true);
    std::vector<std::pair<int, int>> asked;
    g.OnGridHint = [&](TExtStringGrid*, int r, int c, QString& hint) {
        asked.emplace_back(r, c);
        hint = QStringLiteral("column %1").arg(c);
    };
    auto ask = [&p](int x) {
        QHelpEvent e(QEvent::ToolTip, QPoint(x, 3), p.mapToGlobal(QPoint(x, 3)));
        QApplication::sendEvent(&p, &e);
    };
    // Hints off: the event is asked, no hint is kept or shown.
    ask(70);
    EXPECT_EQ(p.LastHintCol(), -1);
    EXPECT_FALSE(QToolTip::isVisible());

    g.FloatingFooter().SetShowHint(true);
    ask(70);
    EXPECT_EQ(asked.back(), std::make_pair(g.RowCount() - 1, 1));
    EXPECT_EQ(p.LastHintCol(), 1);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("column 1"));
    QTest::mouseMove(&p, QPoint(100, 3));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(p.LastHintCol(), 1);
    QTest::mouseMove(&p, QPoint(140, 3));
    EXPECT_EQ(p.LastHintCol(), 2);
    QTRY_VERIFY(!QToolTip::isVisible());

    ask(140);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&p, &leave);
    EXPECT_EQ(p.LastHintCol(), -1);
}

TEST_F(BottomPanels, SearchBarControlsAtTheirPlaces)
{
    TSearchPanel& s = g.SearchPanel();
    g.SearchFooter().SetVisible(true);
    const int editH = s.EditControl()->height();
    const struct {
        QWidget* w;
        QRect r;
    } cases[] = {
        {s.EditControl(), QRect(25, 6, 110, editH)}, {s.ForwardButton(), QRect(140, 5, 90, 23)},
        {s.BackwardButton(), QRect(235, 5, 90, 23)}, {s.ExitButton(), QRect(5, 7, 14, 14)},
        {s.HiliteButton(), QRect(330, 5, 90, 23)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.w->geometry(), c.r) << c.w->metaObject()->className();
    EXPECT_EQ(s.MatchCaseBox()->geometry().topLeft(), QPoint(425, 8));
    EXPECT_EQ(s.MatchCaseBox()->height(), 18);

    g.SearchFooter().SetShowHighLight(false);
    EXPECT_TRUE(s.HiliteButton()->isHidden());
    EXPECT_EQ(s.MatchCaseBox()->x(), 330);

    // Right to left: mirrored, the close button at the right end.
    s.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(s.ExitButton()->geometry(), QRect(s.width() - 14 - 5, 7, 14, 14));
    EXPECT_EQ(s.EditControl()->x(), s.width() - 110 - 25);
}

TEST_F(BottomPanels, SearchBarTakesTheFooterSettings)
{
    TSearchPanel& s = g.SearchPanel();
    TSearchFooter& f = g.SearchFooter();
    f.SetFindNextCaption(QStringLiteral("Find &next"));
    f.SetHintFindPrev(QStringLiteral("Find previous occurrence"));
    f.SetColorTo(0xF0F0F0);
    f.SetShowClose(false);
    f.SetVisible(true);
    EXPECT_EQ(s.ForwardButton()->Caption(), QStringLiteral("Find &next"));
    EXPECT_EQ(s.BackwardButton()->toolTip(), QStringLiteral("Find previous occurrence"));
    EXPECT_EQ(s.ColorTo(), TColor(0xF0F0F0));
    EXPECT_TRUE(s.ExitButton()->isHidden());
    EXPECT_EQ(s.HiliteButton()->Style(), tasCheck);
}

TEST_F(BottomPanels, SearchButtonsFollowTheText)
{
    TSearchPanel& s = g.SearchPanel();
    g.SearchFooter().SetVisible(true);
    auto enabled = [&s] {
        return std::vector<bool>{s.ForwardButton()->isEnabled(), s.BackwardButton()->isEnabled(),
                                 s.HiliteButton()->isEnabled()};
    };
    EXPECT_EQ(enabled(), std::vector<bool>(3, false));
    QTest::keyClick(s.EditControl(), Qt::Key_X);
    EXPECT_EQ(enabled(), std::vector<bool>(3, true));
    EXPECT_EQ(g.Changes, QStringList{QStringLiteral("x")});
    QTest::keyClick(s.EditControl(), Qt::Key_Backspace);
    EXPECT_EQ(enabled(), std::vector<bool>(3, false));
    EXPECT_EQ(g.Changes, (QStringList{QStringLiteral("x"), QString()}));
}

TEST(SearchBar, EnterFindsAndLeavesTheDialogOpen)
{
    QDialog dlg;
    auto* lay = new QVBoxLayout(&dlg);
    TSearchGrid g;
    lay->addWidget(g.CreateWnd(&dlg));
    auto* ok = new QPushButton(QStringLiteral("OK"), &dlg);
    ok->setDefault(true);
    lay->addWidget(ok);
    g.SearchFooter().SetVisible(true);
    dlg.resize(600, 300);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    TRetEdit* e = g.SearchPanel().EditControl();
    e->setText(QStringLiteral("abc"));
    e->setFocus();
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(g.Next, 1);
    EXPECT_EQ(g.Prev, 0);
    QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(g.Next, 1);
    EXPECT_EQ(g.Prev, 1);
    QTest::keyClick(e, Qt::Key_Enter);
    EXPECT_EQ(g.Next, 2);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    EXPECT_EQ(e->text(), QStringLiteral("abc"));
    // The buttons fire the same events.
    QTest::mouseClick(g.SearchPanel().ForwardButton(), Qt::LeftButton);
    QTest::mouseClick(g.SearchPanel().BackwardButton(), Qt::LeftButton);
    EXPECT_EQ(g.Next, 3);
    EXPECT_EQ(g.Prev, 2);
}

TEST_F(BottomPanels, SearchBarFlatOrBanded)
{
    TSearchPanel& s = g.SearchPanel();
    g.SearchFooter().SetColor(0xE0C0A0);
    g.SearchFooter().SetColorTo(clNone);
    g.SearchFooter().SetVisible(true);
    g.SetGridLineColor(0x0000FF);
    const int x = 650;
    QImage img = Grab(s);
    EXPECT_EQ(img.pixel(x, 0), Rgb(0x0000FF));
    for (int y : {1, 16, 31}) EXPECT_EQ(img.pixel(x, y), Rgb(0xE0C0A0)) << y;

    g.SearchFooter().SetColor(0xFFFFFF);
    g.SearchFooter().SetColorTo(0x000000);
    img = Grab(s);
    // Each row shows the last of the 32 bands that covers it.
    const std::vector<TColorBand> bands = DropDownGradientBands(0xFFFFFF, 0x000000, 32, TRect{0, 0, s.width(), 32}, false);
    ASSERT_EQ(bands.size(), 32u);
    for (int y = 1; y < 32; ++y) {
        TColor expected = clNone;
        for (const TColorBand& b : bands)
            if (y >= b.Rect.Top && y < b.Rect.Bottom) expected = b.Color;
        EXPECT_EQ(img.pixel(x, y), Rgb(expected)) << y;
    }
    EXPECT_EQ(img.pixel(x, 0), Rgb(0x0000FF));
}

TEST_F(BottomPanels, CloseButtonClosesTheBar)
{
    int closed = 0;
    g.OnSearchFooterClose = [&](TExtStringGrid*) { ++closed; };
    g.SearchFooter().SetVisible(true);
    QTest::mouseClick(g.SearchPanel().ExitButton(), Qt::LeftButton, {}, QPoint(7, 7));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(g.SearchFooter().Visible());
    EXPECT_TRUE(g.SearchPanel().isHidden());
    EXPECT_EQ(g.Widget()->ViewportBottomMargin(), 0);
}

TEST_F(BottomPanels, CtrlFFocusesTheSearchBox)
{
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    g.Widget()->setFocus();
    QTest::keyClick(g.Widget(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(g.SearchPanel().EditControl()->hasFocus()); // the bar is hidden
    g.SearchFooter().SetVisible(true);
    g.Widget()->setFocus();
    QTest::keyClick(g.Widget(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(g.SearchPanel().EditControl()->hasFocus());
}

TEST(SearchBar, MissTurnsTheBoxRedHighlightMarksCells)
{
    // The real search handlers behind the bar.
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 4; ++r) g.SetCells(c, r, QStringLiteral("%1%2").arg(QChar('a' + c)).arg(r));
    QWidget form;
    auto* lay = new QVBoxLayout(&form);
    lay->addWidget(g.CreateWnd(&form));
    g.SearchFooter().SetVisible(true);
    form.resize(600, 300);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TSearchPanel& s = g.SearchPanel();
    QTest::keyClicks(s.EditControl(), QStringLiteral("zz"));
    EXPECT_EQ(s.BoxColor(), clRed);
    s.EditControl()->clear();
    QTest::keyClicks(s.EditControl(), QStringLiteral("c2"));
    EXPECT_NE(s.BoxColor(), clRed);
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(2, 2));
    QTest::mouseClick(s.HiliteButton(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(s.HighlightDown());
    EXPECT_TRUE(g.Cells(2, 2).contains(QLatin1String("<hi>")));
    EXPECT_FALSE(g.Cells(1, 2).contains(QLatin1String("<hi>")));
}

TEST_F(BottomPanels, FixedLastRowFooterShowsTheLastRowsText)
{
    // The grid is tall enough that its last row would be shown: the footer
    // must still paint that row in its own strip, text included.
    g.Font = QFont(QStringLiteral("DejaVu Sans"), 10);
    g.FontColor = clBlack;
    g.Color = clWhite;
    g.SetCells(2, 5, QStringLiteral("42"));
    g.FloatingFooter().SetVisible(true);
    ASSERT_EQ(g.FloatingFooter().FooterStyle(), TFooterStyle::fsFixedLastRow);

    const QImage img = Grab(g.FooterPanel());
    // The cell of column 2 spans x 128..191 after two columns of 64.
    auto dark = [&](int from, int to) {
        int n = 0;
        for (int y = 2; y < img.height() - 2; ++y)
            for (int x = from; x < to; ++x) n += qGray(img.pixel(x, y)) < 100;
        return n;
    };
    EXPECT_GT(dark(131, 189), 10);
    // Nothing of the text spills into the empty area beyond the columns.
    EXPECT_EQ(dark(260, 600), 0);
}
