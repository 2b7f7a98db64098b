// The string grid's window scroll bars (proportional thumbs, thumb hints,
// synchronised scrolling, the metro kind), the slim scroll bar and the hint
// window.
#include "controls/ExtUtil.h"
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QRect ScreenRect()
{
    return QGuiApplication::primaryScreen()->geometry();
}

QRgb Rgb(TColor c)
{
    return ColorToQColor(c).rgb();
}

} // namespace

// ---------------------------------------------------------------------------
// The hint window

TEST(HTMLHintWindow, SizedToItsTextAndShownWithoutTakingTheFocus)
{
    THTMLHintWindow hint;
    EXPECT_TRUE(hint.windowFlags() & Qt::ToolTip);
    EXPECT_TRUE(hint.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    const QPoint at = ScreenRect().topLeft() + QPoint(20, 30);
    hint.ActivateHint(at, "<b>Row : 5</b>");
    EXPECT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.Text(), "<b>Row : 5</b>");
    ASSERT_GT(hint.TextWidth(), 0);
    ASSERT_GT(hint.TextHeight(), 0);
    // Mini-HTML: 16 pixels of margin in width, 4 in height.
    EXPECT_EQ(hint.geometry(), QRect(at, QSize(hint.TextWidth() + 16, hint.TextHeight() + 4)));
    EXPECT_EQ(hint.CalcHintRect(1008, "<b>Row : 5</b>"), QRect(0, 0, hint.TextWidth(), hint.TextHeight()));
    // Tags are not measured as text.
    EXPECT_LT(hint.TextWidth(), hint.CalcHintRect(1008, "&lt;b&gt;Row : 5&lt;/b&gt;").width());
    // An encoded wide text: 8 pixels of margin.
    const QString wide = EncodeWideCellText(QStringLiteral("Zeile 5"));
    hint.ActivateHint(at, wide);
    EXPECT_EQ(hint.width(), hint.TextWidth() + 8);
    EXPECT_EQ(hint.CalcHintRect(1008, wide).width(), hint.TextWidth());
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.isVisible());
}

TEST(HTMLHintWindow, StaysTwoPixelsInsideItsScreen)
{
    THTMLHintWindow hint;
    const QRect screen = ScreenRect();
    hint.ActivateHint(QPoint(screen.right() - 5, screen.bottom() - 3), "A hint near the corner");
    EXPECT_EQ(hint.geometry().right(), screen.right() - 2);
    EXPECT_EQ(hint.geometry().bottom(), screen.bottom() - 2);
    EXPECT_EQ(hint.width(), hint.TextWidth() + 16);
}

TEST(HTMLHintWindow, PaintsItsColourInsideALightAndDarkFrame)
{
    THTMLHintWindow hint;
    hint.SetColor(TColor(0x00CCFFFF));
    hint.ActivateHint(ScreenRect().topLeft() + QPoint(10, 10), "x");
    const QImage img = hint.grab().toImage();
    const int w = img.width(), h = img.height();
    EXPECT_EQ(img.pixel(1, 1), Rgb(TColor(0x00CCFFFF)));
    EXPECT_EQ(img.pixel(0, h / 2), Rgb(cl3DLight));
    EXPECT_EQ(img.pixel(w / 2, 0), Rgb(cl3DLight));
    EXPECT_EQ(img.pixel(w - 1, h / 2), Rgb(cl3DDkShadow));
    EXPECT_EQ(img.pixel(w / 2, h - 1), Rgb(cl3DDkShadow));
}

// ---------------------------------------------------------------------------
// The window's scroll bars

TEST(GridScrollBars, ProportionalThumbOnTheWindowsBar)
{
    QWidget form;
    TExtStringGrid g;
    g.SetColCount(11);
    for (int c = 0; c < 11; ++c) g.SetColWidths(c, 50);
    TGridWidget* w = g.CreateWnd(&form);
    g.SetBounds(0, 0, 300, 200);
    form.show();
    g.SetScrollProportional(true);
    QScrollBar* bar = w->horizontalScrollBar();
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 127);
    const auto t = g.HThumb();
    ASSERT_TRUE(t.Set);
    EXPECT_EQ(bar->pageStep(), t.Page);
    // The far end of the bar shows the last page of columns.
    bar->setValue(127);
    EXPECT_EQ(g.LeftCol(), g.ScrollTargetCol(127));
    EXPECT_EQ(g.LeftCol(), g.ColCount() - g.VisibleColCount());
    // Switched off, the bar counts columns again.
    g.SetScrollProportional(false);
    EXPECT_EQ(bar->minimum(), g.FixedCols());
    EXPECT_EQ(bar->maximum(), g.Viewport().MaxLeftCol());
}

TEST(GridScrollBars, DraggedThumbShowsThePositionHintAndScrollsWithSynch)
{
    QWidget form;
    TExtStringGrid g;
    g.SetRowCount(1000);
    g.SetScrollHints(TScrollHintType::shVertical);
    g.SetHintColor(TColor(0x0080FFFF));
    TGridWidget* w = g.CreateWnd(&form);
    g.SetBounds(0, 0, 300, 200);
    form.show();
    QScrollBar* bar = w->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(400);
    THTMLHintWindow& hint = g.ScrollHintWindow();
    EXPECT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.Text(), "Row : 400");
    EXPECT_EQ(hint.Color(), TColor(0x0080FFFF));
    // Without ScrollSynch (and without thumb tracking) the grid waits.
    EXPECT_EQ(g.TopRow(), 1);
    g.SetScrollSynch(true);
    bar->setSliderPosition(500);
    EXPECT_EQ(hint.Text(), "Row : 500");
    EXPECT_EQ(g.TopRow(), 500);
    bar->setSliderDown(false);
    EXPECT_FALSE(hint.isVisible());
    // Horizontal hints only with shHorizontal or shBoth.
    g.ScrollThumbTracked(false, 2, false);
    EXPECT_FALSE(hint.isVisible());
    g.OnScrollHint = [](TExtStringGrid*, int r, QString& s) { s = QString("<i>%1</i>").arg(r); };
    g.ScrollThumbTracked(true, 7, false);
    EXPECT_EQ(hint.Text(), "<i>7</i>");
    g.ScrollThumbTracked(true, 7, true);
    EXPECT_FALSE(hint.isVisible());
}

TEST(GridScrollBars, MetroTypeReplacesTheWindowsBarsAndBack)
{
    QWidget form;
    TExtStringGrid g;
    g.CreateWnd(&form);
    g.SetScrollType(TScrollType::ssMetro);
    ASSERT_NE(g.VScrollControl(), nullptr);
    ASSERT_NE(g.HScrollControl(), nullptr);
    EXPECT_EQ(g.ScrollBars(), TScrollStyle::ssNone);
    g.SetScrollType(TScrollType::ssNormal);
    EXPECT_EQ(g.VScrollControl(), nullptr);
    EXPECT_EQ(g.HScrollControl(), nullptr);
    EXPECT_EQ(g.ScrollBars(), TScrollStyle::ssBoth);
}

// ---------------------------------------------------------------------------
// The slim scroll bar

TEST(SlimScrollControl, PressesBesideTheThumbPageAndADragFollows)
{
    QWidget form;
    form.resize(300, 400);
    TExtStringGrid g;
    g.SetRowCount(100);
    g.SetScrollType(TScrollType::ssMetro);
    TGridWidget* w = g.CreateWnd(&form);
    g.SetBounds(0, 0, 300, 400);
    form.show();
    TScrollControl* v = g.VScrollControl();
    ASSERT_NE(v, nullptr);
    // It follows the window's size along the right edge.
    EXPECT_EQ(v->geometry(), QRect(w->width() - 6, 0, 6, w->height()));
    const int page = g.VisibleRowCount();
    ASSERT_GT(page, 2);
    TSlimThumb t = v->Thumb();
    ASSERT_TRUE(t.Shown);
    EXPECT_GE(t.Length, 20);
    // Below the thumb: one page down.
    QTest::mouseClick(v, Qt::LeftButton, {}, QPoint(2, t.Start + t.Length + 5));
    EXPECT_EQ(g.TopRow(), 1 + page);
    // Above it: one page up, not above the first data row.
    t = v->Thumb();
    QTest::mouseClick(v, Qt::LeftButton, {}, QPoint(2, t.Start - 1));
    EXPECT_EQ(g.TopRow(), 1);
    // A drag far past the end stops at the last full page.
    t = v->Thumb();
    QTest::mousePress(v, Qt::LeftButton, {}, QPoint(2, t.Start + 2));
    EXPECT_TRUE(v->Dragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(2, t.Start + 2000), v->mapToGlobal(QPointF(2, t.Start + 2000)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(v, &move);
    EXPECT_EQ(g.TopRow(), g.RowCount() - g.VisibleRowCount());
    QTest::mouseRelease(v, Qt::LeftButton, {}, QPoint(2, 5));
    EXPECT_FALSE(v->Dragging());
}

TEST(SlimScrollControl, PaintsNothingWhenAllRowsAreVisible)
{
    QWidget form;
    TExtStringGrid g;
    g.SetRowCount(3);
    g.SetScrollType(TScrollType::ssMetro);
    g.CreateWnd(&form);
    g.SetBounds(0, 0, 300, 400);
    form.show();
    TScrollControl* v = g.VScrollControl();
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(v->Thumb().Shown);
    QImage img(v->size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    v->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int y = 0; y < img.height(); y += 7) EXPECT_EQ(img.pixel(1, y), QColor(Qt::white).rgb()) << y;
    // With more rows the thumb shows in its colour.
    g.SetRowCount(200);
    const TSlimThumb t = v->Thumb();
    ASSERT_TRUE(t.Shown);
    img.fill(Qt::white);
    v->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(img.pixel(1, t.Start + t.Length / 2), Rgb(clSilver));
}
