// The item selector: layout, selection and hot item, look-up, scrolling,
// appearance styles and what the items look like on screen.
#include "common/PixelSupport.h"
#include "controls/ExtDropDownDraw.h"
#include "dropdown/ExtItemSelector.h"
#include "platform/ImageList.h"

#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QFont TestFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    return f;
}

QSize CaptionSize(const QString& text)
{
    QImage img(1, 1, QImage::Format_ARGB32);
    TCanvas c(&img);
    c.SetFont(TestFont());
    return DrawItemTextOrHtml(c, text, Rect(0, 0, 1000, 500), nullptr, false, nullptr);
}

class SelectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sel.ItemAppearance().SetFont(TestFont());
        sel.OnItemSelect = [this](QObject* sender) {
            ++selects;
            lastSender = sender;
        };
    }
    void Fill(int n, const QString& prefix = QStringLiteral("Item "))
    {
        for (int i = 0; i < n; ++i) sel.Items().Add()->SetCaption(prefix + QString::number(i));
        sel.UpdateSelectorPanel();
    }
    TSelectorItem* Item(int i) { return sel.Items().GetItem(i); }

    TExtCustomItemSelector sel;
    int selects = 0;
    QObject* lastSender = nullptr;
};

} // namespace

TEST_F(SelectorTest, NoItemsGiveTheDefaultPanel)
{
    EXPECT_EQ(sel.GetSelectorPanelSize(), QSize(100, 50));
    EXPECT_EQ(sel.GetVisibleItemCount(), 0);
    EXPECT_EQ(sel.ItemIndex(), -1);
    sel.SelectNext();
    sel.SelectLast();
    EXPECT_EQ(sel.ItemIndex(), -1);
    EXPECT_FALSE(sel.LookupItem(QStringLiteral("A")));
    EXPECT_EQ(selects, 0);
}

TEST_F(SelectorTest, TenItemsInThreeColumnsMakeFourRows)
{
    sel.SetSelectorType(TSelectorType::stColor);
    sel.SetColumns(3);
    Fill(10);
    // Colour box 14 x 14, caption measured plus 4, item offsets 4, gap 4.
    const QSize cap = CaptionSize(QStringLiteral("Item 0")).expandedTo(CaptionSize(QStringLiteral("Item 9")));
    const int w = 8 + 14 + 4 + cap.width() + 4;
    const int h = std::max(cap.height(), 14) + 8;
    EXPECT_EQ(sel.GetSelectorPanelSize(), QSize(3 * w + 4, 4 * h + 4));
    EXPECT_EQ(Item(0)->ItemRect(), Rect(2, 2, 2 + w, 2 + h));
    EXPECT_EQ(Item(5)->ItemRect(), Rect(2 + 2 * w, 2 + h, 2 + 3 * w, 2 + 2 * h));
    EXPECT_EQ(Item(9)->ItemRect(), Rect(2, 2 + 3 * h, 2 + w, 2 + 4 * h));
    // Hit test: left and top edges inside, right and bottom outside.
    EXPECT_EQ(sel.Panel()->ItemAtPos(2 + w, 2), 1);
    EXPECT_EQ(sel.Panel()->ItemAtPos(1 + w, 1 + h), 0);
    EXPECT_EQ(sel.Panel()->ItemAtPos(2 + w, 2 + 3 * h), -1);
    EXPECT_EQ(sel.Panel()->ItemAtPos(1, 1), -1);

    // Columns 0 or less are refused.
    sel.SetColumns(0);
    EXPECT_EQ(sel.Columns(), 3);
}

TEST(ItemSelectorLayout, ItemSizeByLayout)
{
    const TItemMargins m;
    struct Case {
        TItemLayout layout;
        QSize box, caption, expected;
    };
    const Case cases[] = {
        // Box and caption side by side: offsets, box, gap, caption + 4.
        {TItemLayout::ilCaptionRight, QSize(16, 16), QSize(30, 13), QSize(8 + 16 + 4 + 34, 16 + 8)},
        {TItemLayout::ilCaptionLeft, QSize(16, 10), QSize(30, 13), QSize(8 + 16 + 4 + 34, 13 + 8)},
        // No caption: no gap.
        {TItemLayout::ilCaptionRight, QSize(16, 16), QSize(0, 0), QSize(8 + 16, 16 + 8)},
        // No box: no gap.
        {TItemLayout::ilCaptionRight, QSize(0, 0), QSize(30, 13), QSize(8 + 34, 13 + 8)},
        // Above and below: the wider of the two, heights stacked with the gap.
        {TItemLayout::ilCaptionTop, QSize(16, 16), QSize(30, 13), QSize(34 + 8, 8 + 16 + 4 + 13)},
        {TItemLayout::ilCaptionBottom, QSize(40, 16), QSize(30, 13), QSize(40 + 8, 8 + 16 + 4 + 13)},
        {TItemLayout::ilCaptionBottom, QSize(40, 16), QSize(0, 0), QSize(40 + 8, 8 + 16)},
    };
    for (const Case& c : cases) EXPECT_EQ(ItemSizeFor(c.layout, c.box, c.caption, m), c.expected) << int(c.layout);
}

TEST(ItemSelectorLayout, PlacementByLayout)
{
    const TRect cr = Rect(10, 10, 110, 40); // 100 x 30
    const QSize content(16, 16), caption(40, 12);
    // Caption right: picture centred vertically at the left, caption after it.
    TItemPlacement p = PlaceItem(TItemLayout::ilCaptionRight, cr, content, caption, true, false, 4);
    EXPECT_EQ(p.Content, QPoint(10, 17));
    EXPECT_EQ(p.Caption, Rect(30, 19, 110, 40));
    // A colour box stands at the top.
    p = PlaceItem(TItemLayout::ilCaptionRight, cr, content, caption, true, true, 4);
    EXPECT_EQ(p.Content, QPoint(10, 10));
    // Without box or picture the caption starts at the content left.
    p = PlaceItem(TItemLayout::ilCaptionRight, cr, QSize(0, 0), caption, true, false, 4);
    EXPECT_EQ(p.Caption.Left, 10);
    // Caption left: the picture follows the caption's width and the gap.
    p = PlaceItem(TItemLayout::ilCaptionLeft, cr, content, caption, true, false, 4);
    EXPECT_EQ(p.Caption, Rect(10, 19, 94, 40));
    EXPECT_EQ(p.Content, QPoint(54, 17));
    // Caption top: caption at the top, picture below it, centred across.
    p = PlaceItem(TItemLayout::ilCaptionTop, cr, content, caption, true, false, 4);
    EXPECT_EQ(p.Caption, Rect(10, 10, 110, 24));
    EXPECT_EQ(p.Content, QPoint(52, 26));
    p = PlaceItem(TItemLayout::ilCaptionTop, cr, content, caption, false, false, 4);
    EXPECT_EQ(p.Content, QPoint(52, 17));
    // Caption bottom: picture at the top, caption below it.
    p = PlaceItem(TItemLayout::ilCaptionBottom, cr, content, caption, true, false, 4);
    EXPECT_EQ(p.Content, QPoint(52, 10));
    EXPECT_EQ(p.Caption, Rect(10, 30, 110, 40));
}

TEST_F(SelectorTest, SteppingStopsAtBothEnds)
{
    Fill(3);
    sel.SelectNext();
    EXPECT_EQ(sel.ItemIndex(), 0); // nothing selected: the first
    sel.SetItemIndex(-1);
    sel.SelectPrevious();
    EXPECT_EQ(sel.ItemIndex(), 0);
    sel.SelectPrevious();
    EXPECT_EQ(sel.ItemIndex(), 0);
    sel.SelectLast();
    EXPECT_EQ(sel.ItemIndex(), 2);
    selects = 0;
    sel.SelectNext();
    EXPECT_EQ(sel.ItemIndex(), 2);
    EXPECT_EQ(selects, 0);

    // The hot item steps the same way and leaves the selection alone.
    sel.HotNext();
    EXPECT_EQ(sel.ItemHot(), 0);
    sel.HotNext();
    sel.HotNext();
    sel.HotNext();
    EXPECT_EQ(sel.ItemHot(), 2);
    sel.HotPrevious();
    EXPECT_EQ(sel.ItemHot(), 1);
    EXPECT_EQ(sel.ItemIndex(), 2);

    // A disabled item is stepped onto by nobody.
    Item(1)->SetEnabled(false);
    sel.SelectPrevious();
    EXPECT_EQ(sel.ItemIndex(), 2);
    sel.HotPrevious();
    EXPECT_EQ(sel.ItemHot(), 0);
    sel.HotNext();
    EXPECT_EQ(sel.ItemHot(), 0);
}

TEST_F(SelectorTest, WritingTheIndexRaisesEveryTime)
{
    Fill(3);
    sel.SetItemIndex(1);
    sel.SetItemIndex(1);
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(lastSender, &sel); // the container is the sender

    // Beyond the items, or a disabled item: nothing changes, nothing raised.
    sel.SetItemIndex(3);
    sel.SetItemIndex(100);
    Item(2)->SetEnabled(false);
    sel.SetItemIndex(2);
    EXPECT_EQ(sel.ItemIndex(), 1);
    EXPECT_EQ(selects, 2);

    // A negative index clears the selection without raising.
    sel.SetItemIndex(-2);
    EXPECT_EQ(sel.ItemIndex(), -1);
    EXPECT_EQ(selects, 2);
}

TEST_F(SelectorTest, LookupStripsTagsAndBlanksButNotCase)
{
    for (const char* caption : {"Blue", "<b>red</b>", " Red ", "green"}) sel.Items().Add()->SetCaption(QString::fromUtf8(caption));
    sel.UpdateSelectorPanel();
    EXPECT_TRUE(sel.LookupItem(QStringLiteral("RE")));
    EXPECT_EQ(sel.ItemIndex(), 1);
    Item(1)->SetCaption(QStringLiteral("<i>blue</i>"));
    EXPECT_TRUE(sel.LookupItem(QStringLiteral("RE")));
    EXPECT_EQ(sel.ItemIndex(), 2);
    sel.SetItemIndex(-1);
    EXPECT_FALSE(sel.LookupItem(QStringLiteral("re")));
    EXPECT_FALSE(sel.LookupItem(QString()));
    EXPECT_EQ(sel.ItemIndex(), -1);
}

TEST_F(SelectorTest, ItemWritesLayOutAgainButAddingDoesNot)
{
    int changes = 0;
    auto relayout = sel.Items().OnChange;
    sel.Items().OnChange = [&](TStripButtonCollection<TSelectorItem>* s) {
        ++changes;
        relayout(s);
    };
    TSelectorItem* item = sel.Items().Add();
    EXPECT_EQ(item->ItemRect(), Rect(-1, -1, -1, -1)); // not laid out
    EXPECT_EQ(changes, 0);
    item->SetCaption(QStringLiteral("One"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(item->ItemRect().Left, 2);
    item->SetCaption(QStringLiteral("One")); // unchanged: nothing
    item->SetImageIndex(-1);
    item->SetColor(clNone);
    item->SetHint(QStringLiteral("hint"));
    EXPECT_EQ(changes, 1);
    item->SetColor(clRed);
    item->SetImageIndex(3);
    EXPECT_EQ(changes, 3);

    // Assign copies everything, the disabled state included.
    TExtCustomItemSelector other;
    other.Items().Add()->Assign(*item);
    item->SetEnabled(false);
    other.Items().Add()->Assign(*item);
    EXPECT_EQ(other.Items().GetItem(0)->Caption(), QStringLiteral("One"));
    EXPECT_EQ(other.Items().GetItem(0)->Color(), clRed);
    EXPECT_EQ(other.Items().GetItem(0)->ImageIndex(), 3);
    EXPECT_EQ(other.Items().GetItem(0)->Hint(), QStringLiteral("hint"));
    EXPECT_TRUE(other.Items().GetItem(0)->Enabled());
    EXPECT_FALSE(other.Items().GetItem(1)->Enabled());

    try {
        sel.Items().GetItem(1);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (1)"));
    }
}

TEST_F(SelectorTest, ItemSizeHandlerDecides)
{
    sel.OnItemSize = [](QObject*, QSize& size) { size = QSize(50, 0); };
    Fill(4);
    EXPECT_EQ(Item(1)->ItemRect(), Rect(2, 2, 52, 2));
    // Items of no height give no visible count rather than a division by 0.
    EXPECT_EQ(sel.GetVisibleItemCount(), 0);
    sel.OnItemSize = [](QObject*, QSize& size) { size = QSize(50, 20); };
    sel.SetColumns(2);
    sel.resize(200, 65);
    EXPECT_EQ(sel.GetVisibleItemCount(), 6); // 3 whole rows of 2
}

TEST_F(SelectorTest, ScrollsTheSelectionIntoView)
{
    sel.OnItemSize = [](QObject*, QSize& size) { size = QSize(80, 20); };
    Fill(20);
    sel.resize(120, 65);
    sel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sel));
    ASSERT_TRUE(sel.VertScrollBarVisible());
    QScrollBar* bar = sel.verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    sel.SetItemIndex(10); // rows 202..222
    EXPECT_EQ(bar->value(), 222 - sel.viewport()->height());
    sel.SetItemIndex(1); // 22..42: above the client area
    EXPECT_EQ(bar->value(), 22);
    sel.SelectLast(); // its bottom at the client bottom, the margin below
    EXPECT_EQ(bar->value(), 402 - sel.viewport()->height());
    sel.HotPrevious(); // hot item 0... no hot yet: the first
    EXPECT_EQ(sel.ItemHot(), 0);
    EXPECT_EQ(bar->value(), 2);
}

TEST_F(SelectorTest, DisabledItemsAreNeitherClickedNorHot)
{
    Fill(3);
    sel.resize(200, 200);
    sel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sel));
    Item(1)->SetEnabled(false);
    Item(2)->SetHint(QStringLiteral("the third"));
    QWidget* panel = sel.Panel();
    auto centre = [&](int i) {
        const TRect r = Item(i)->ItemRect();
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    QTest::mouseMove(panel, centre(0));
    EXPECT_EQ(sel.ItemHot(), 0);
    QTest::mouseMove(panel, centre(1));
    EXPECT_EQ(sel.ItemHot(), -1);
    QTest::mouseClick(panel, Qt::LeftButton, {}, centre(1));
    EXPECT_EQ(sel.ItemIndex(), -1);
    EXPECT_EQ(selects, 0);
    QTest::mouseMove(panel, centre(2));
    EXPECT_EQ(sel.ItemHot(), 2);
    EXPECT_EQ(panel->toolTip(), QStringLiteral("the third"));
    QTest::mouseClick(panel, Qt::RightButton, {}, centre(2)); // any button
    EXPECT_EQ(sel.ItemIndex(), 2);
    EXPECT_EQ(selects, 1);
}

TEST(ItemAppearance, StylesAndAssignOrder)
{
    TItemAppearance a;
    EXPECT_EQ(a.ColorStyle(), TSelectionColorStyle::scOffice2007);
    EXPECT_EQ(a.ColorHot(), 0xD7FFFD);
    EXPECT_EQ(a.ColorMirrorSelectedTo(), 0x68E3F9);
    EXPECT_EQ(a.BorderColorHot(), clNone);
    EXPECT_EQ(a.Font().family(), QStringLiteral("Tahoma"));
    a.SetColorStyle(TSelectionColorStyle::scWindows7);
    EXPECT_EQ(*ItemStyleColors(TSelectionColorStyle::scWindows7),
              (TItemStyleColors{a.ColorHot(), a.ColorHotTo(), a.ColorMirrorHot(), a.ColorMirrorHotTo(), a.BorderColorTop(),
                                a.BorderColorBottom(), a.BorderColor(), a.EdgeColor(), a.ColorSelected(), a.ColorSelectedTo(),
                                a.ColorMirrorSelected(), a.ColorMirrorSelectedTo()}));
    EXPECT_EQ(a.ColorHot(), 0xFCEBDC);
    EXPECT_EQ(a.ColorMirrorHot(), clNone);
    // Custom keeps every colour.
    a.SetColorHot(clRed);
    a.SetColorStyle(TSelectionColorStyle::scCustom);
    EXPECT_EQ(a.ColorHot(), clRed);
    EXPECT_EQ(ItemStyleColors(TSelectionColorStyle::scCustom), nullptr);

    // Assign copies the colours and then the style: a different named style
    // writes its own colours over the copied ones ...
    TItemAppearance source;
    source.SetColorStyle(TSelectionColorStyle::scWindowsVista);
    source.SetColorHot(clLime);
    source.SetColorSelectedText(clBlue);
    source.SetBorderColorHot(clRed);
    TItemAppearance target;
    target.Assign(source);
    EXPECT_EQ(target.ColorStyle(), TSelectionColorStyle::scWindowsVista);
    EXPECT_EQ(target.ColorHot(), 0xFDF8F1);
    EXPECT_EQ(target.ColorSelectedText(), clBlue);
    EXPECT_EQ(target.BorderColorHot(), clRed);
    // ... while the same style keeps them.
    target.SetColorHot(clBlack);
    target.Assign(source);
    EXPECT_EQ(target.ColorHot(), clLime);
}

TEST(ItemAppearance, ComponentStyleTable)
{
    ApplyItemAppearanceStyle(nullptr, tsOffice2003Blue); // nothing

    struct Row {
        TStudioStyle style;
        TColor hot, hotTo, mirrorHot, selected, selectedTo, border, top, edge, selectedText;
    };
    const Row rows[] = {
        {tsOffice2003Blue, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, clNone, clNone, 0x000000},
        {tsWhidbey, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, clNone, clNone, 0x000000},
        {tsOffice2007Silver, 0xEBFDFF, 0xACECFF, 0x59DAFF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF4FEFF, 0xC3D9DF, 0x000000},
        {tsOffice2003Classic, 0xD2BDB6, 0xD2BDB6, clNone, 0xB59285, 0xB59285, 0x808080, clNone, clNone, 0x000000},
        {tsWindowsXP, 0xEFD3C6, 0xEFD3C6, clNone, clHighlight, clNone, clHighlight, clNone, clNone, clHighlightText},
        {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, clNone, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A, 0xFDFBF6, 0xFCEDCB, 0x000000},
        {tsWindows7, 0xFDFBFA, 0xFDF3EB, clNone, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFDF4EB, 0xE0C5AE, 0x000000},
        {tsTerminal, 0xC0C0C0, 0xC0C0C0, clNone, clHighlight, clNone, 0x808080, clNone, clNone, clHighlightText},
        {tsOffice2010Black, 0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0x7BEEFF, 0x6CD0FF, 0x308AC2, clNone, clNone, 0x000000},
    };
    for (const Row& r : rows) {
        TItemAppearance a;
        a.SetBorderColorHot(clRed);
        a.SetBorderColorSelected(clRed);
        a.SetColorHotText(clRed);
        a.SetColorSelectedText(clRed);
        ApplyItemAppearanceStyle(&a, r.style);
        EXPECT_EQ(a.ColorHot(), r.hot) << r.style;
        EXPECT_EQ(a.ColorHotTo(), r.hotTo) << r.style;
        EXPECT_EQ(a.ColorMirrorHot(), r.mirrorHot) << r.style;
        EXPECT_EQ(a.ColorSelected(), r.selected) << r.style;
        EXPECT_EQ(a.ColorSelectedTo(), r.selectedTo) << r.style;
        EXPECT_EQ(a.BorderColor(), r.border) << r.style;
        EXPECT_EQ(a.BorderColorTop(), r.top) << r.style;
        EXPECT_EQ(a.EdgeColor(), r.edge) << r.style;
        EXPECT_EQ(a.ColorSelectedText(), r.selectedText) << r.style;
        EXPECT_EQ(a.ColorHotText(), 0x000000) << r.style;
        EXPECT_EQ(a.BorderColorHot(), clNone) << r.style;
        EXPECT_EQ(a.BorderColorSelected(), clNone) << r.style;
    }
    TItemAppearance custom;
    custom.SetBorderColorHot(clRed);
    custom.SetColorHot(clLime);
    ApplyItemAppearanceStyle(&custom, tsCustom);
    EXPECT_EQ(custom.BorderColorHot(), clRed);
    EXPECT_EQ(custom.ColorHot(), clLime);
}

namespace {

// A shown selector of three colour-box items in one column on white.
class SelectorPaint : public SelectorTest {
protected:
    void SetUp() override
    {
        SelectorTest::SetUp();
        sel.SetColor(clWhite);
        sel.SetSelectorType(TSelectorType::stColor);
        Fill(3, QStringLiteral("Colour "));
        Item(1)->SetColor(clBlue);
        sel.resize(200, 120);
        sel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&sel));
    }
    QImage Grab() { return sel.Panel()->grab().toImage(); }
    // How many pixels of item i's caption area have exactly colour c.
    int CaptionPixels(const QImage& img, int i, TColor c)
    {
        const TRect r = Item(i)->ItemRect();
        int n = 0;
        for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
            for (int x = r.Left + 4 + 14 + 4; x < r.Right - 2; ++x) n += At(img, x, y) == c;
        return n;
    }
};

} // namespace

TEST_F(SelectorPaint, HotAndSelectedItemTakesTheSelectedLook)
{
    TItemAppearance& a = sel.ItemAppearance();
    a.SetColorStyle(TSelectionColorStyle::scCustom);
    a.SetColorSelected(clYellow);
    a.SetColorSelectedTo(clNone);
    a.SetBorderColorSelected(clRed);
    a.SetColorHot(clAqua);
    a.SetColorHotTo(clNone);
    a.SetBorderColorHot(clFuchsia);
    a.SetColorSelectedText(clGreen);
    a.SetColorHotText(clNavy);
    sel.SetItemIndex(0);
    QTest::mouseMove(sel.Panel(), QPoint(10, 10));
    ASSERT_EQ(sel.ItemHot(), 0);
    QTest::mouseMove(sel.Panel(), QPoint(10, Item(2)->ItemRect().Top + 5));
    ASSERT_EQ(sel.ItemHot(), 2);
    sel.Panel()->SetItemHot(0);

    const QImage img = Grab();
    const TRect r0 = Item(0)->ItemRect();
    EXPECT_EQ(At(img, r0.Left, r0.Top), clRed);          // frame in the selected border colour
    EXPECT_EQ(At(img, r0.Left + 2, r0.Top + 2), clYellow); // face in the selected colour
    EXPECT_GT(CaptionPixels(img, 0, clGreen), 0);
    EXPECT_EQ(CaptionPixels(img, 0, clNavy), 0);
    // The colour box: black frame, item colour inside.
    EXPECT_EQ(At(img, r0.Left + 4, r0.Top + 4), clBlack);
    const TRect r1 = Item(1)->ItemRect();
    EXPECT_EQ(At(img, r1.Left + 4 + 7, r1.Top + 4 + 7), clBlue);
    // An idle item is filled with the panel colour.
    EXPECT_EQ(At(img, r1.Left, r1.Top), clWhite);
    EXPECT_EQ(At(img, r1.Right - 1, r1.Bottom - 1), clWhite);
}

TEST_F(SelectorPaint, BorderColorHotGivesAPlainFramedGradient)
{
    TItemAppearance& a = sel.ItemAppearance(); // Office 2007 look: bevelled faces
    sel.Panel()->SetItemHot(1);
    QImage img = Grab();
    const TRect r = Item(1)->ItemRect();
    // The bevelled face leaves its outer corner in the background colour.
    EXPECT_EQ(At(img, r.Left, r.Top), clWhite);
    EXPECT_EQ(At(img, r.Left + 2, r.Top + 2), a.ColorHot());

    a.SetBorderColorHot(clRed);
    sel.Panel()->update();
    img = Grab();
    EXPECT_EQ(At(img, r.Left, r.Top), clRed);
    EXPECT_EQ(At(img, r.Right - 1, r.Bottom - 1), clRed);
    // A gradient from ColorHot at the top to ColorHotTo at the bottom.
    auto distance = [](TColor x, TColor y) {
        return std::abs(GetRValue(x) - GetRValue(y)) + std::abs(GetGValue(x) - GetGValue(y)) + std::abs(GetBValue(x) - GetBValue(y));
    };
    const TColor topColor = At(img, r.Left + 1, r.Top + 1), bottomColor = At(img, r.Left + 1, r.Bottom - 2);
    EXPECT_LT(distance(topColor, a.ColorHot()), distance(topColor, a.ColorHotTo()));
    EXPECT_LT(distance(bottomColor, a.ColorHotTo()), distance(bottomColor, a.ColorHot()));
}
