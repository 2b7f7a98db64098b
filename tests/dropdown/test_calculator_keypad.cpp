#include "dropdown/DropDownTestSupport.h"
#include "dropdown/ExtCalculatorDropDown.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool SameArea(const QImage& a, const QImage& b, const TRect& r)
{
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

int IndexOfCaption(const TCustomButtonPanel& p, const QString& caption)
{
    for (int i = 0; i < p.Buttons().Count(); ++i)
        if (p.Buttons().Items(i)->Caption() == caption) return i;
    return -1;
}

struct Keypad : ::testing::Test {
    TCustomButtonPanel panel;
    std::vector<int> clicks;
    void SetUp() override
    {
        panel.resize(230, 150);
        panel.show(); // a hidden widget gets its resize events only when shown
        panel.Loaded();
        panel.OnButtonClick = [this](TCustomButtonPanel* sender, int index) {
            EXPECT_EQ(sender, &panel);
            clicks.push_back(index);
        };
    }
    QPoint Centre(int index) const
    {
        const TRect r = panel.Buttons().Items(index)->Rect();
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

} // namespace

TEST_F(Keypad, BuildsTheTwentyEightKeysOnceWithNamesTagsAndSpecialColour)
{
    ASSERT_EQ(panel.Buttons().Count(), 28);
    panel.BuildButtons();
    panel.Loaded();
    EXPECT_EQ(panel.Buttons().Count(), 28);

    struct Row {
        int index;
        const char* caption;
        const char* name;
        int tag;
        bool special;
    };
    const Row rows[] = {
        {0, "", "BTN_ON", 30, false},   {1, "Back", "BTN_BACK", 31, true}, {3, "C", "BTN_C", 16, true},
        {7, "M+", "BTN_M+", 36, true},  {8, "0", "BTN_0", 0, false},       {15, "+/-", "BTN_+/-", 14, false},
        {16, ".", "BTN_.", 15, false},  {20, "/", "BTN_/", 13, true},      {24, "=", "BTN_=", 17, true},
        {25, "1/x", "BTN_1/x", 38, false}, {26, "%", "BTN_%", 18, false},  {27, "sqrt", "BTN_sqrt", 37, true},
    };
    for (const Row& r : rows) {
        const TButtonItem* b = panel.Buttons().Items(r.index);
        SCOPED_TRACE(r.index);
        EXPECT_EQ(b->Caption(), QString::fromLatin1(r.caption));
        EXPECT_EQ(b->Name(), QString::fromLatin1(r.name));
        EXPECT_EQ(b->Tag(), r.tag);
        EXPECT_EQ(b->Special(), r.special);
        EXPECT_EQ(b->CaptionColor(), r.special ? 0x000080 : 0xFFFFFF);
    }
    // Every digit's tag is its value.
    for (int d = 0; d <= 9; ++d) EXPECT_EQ(panel.Buttons().Items(IndexOfCaption(panel, QString::number(d)))->Tag(), d);
}

TEST_F(Keypad, LayoutOfA230By150Panel)
{
    // Area (8, 8, 222, 142): W = 206 div 6 = 34, H = 130 div 5 = 26;
    // columns 8, 46, 79, 112, 150, 183; rows 8, 38, 63, 88, 113.
    auto rect = [&](const char* caption) { return panel.Buttons().Items(IndexOfCaption(panel, QString::fromLatin1(caption)))->Rect(); };
    EXPECT_EQ(panel.Buttons().Items(0)->Rect(), Rect(8, 8, 42, 34));
    EXPECT_EQ(rect("MC"), Rect(8, 38, 42, 64));
    EXPECT_EQ(rect("M+"), Rect(8, 113, 42, 139));
    EXPECT_EQ(rect("7"), Rect(46, 38, 80, 64));
    EXPECT_EQ(rect("0"), Rect(46, 113, 80, 139));
    EXPECT_EQ(rect("8"), Rect(79, 38, 113, 64));
    EXPECT_EQ(rect("+/-"), Rect(79, 113, 113, 139));
    EXPECT_EQ(rect("9"), Rect(112, 38, 146, 64));
    EXPECT_EQ(rect("."), Rect(112, 113, 146, 139));
    EXPECT_EQ(rect("/"), Rect(150, 38, 184, 64));
    EXPECT_EQ(rect("+"), Rect(150, 113, 184, 139));
    EXPECT_EQ(rect("sqrt"), Rect(183, 38, 217, 64));
    EXPECT_EQ(rect("%"), Rect(183, 63, 217, 89));
    EXPECT_EQ(rect("1/x"), Rect(183, 88, 217, 114));
    EXPECT_EQ(rect("="), Rect(183, 113, 217, 139));
    // The wide keys share 46..217: W3 = (217 - 46 - 8) div 3 = 54.
    EXPECT_EQ(rect("Back"), Rect(46, 8, 100, 34));
    EXPECT_EQ(rect("CE"), Rect(104, 8, 158, 34));
    EXPECT_EQ(rect("C"), Rect(162, 8, 217, 34));

    // A resize lays the keys out again.
    panel.resize(300, 200);
    EXPECT_EQ(rect("7"), CalculatorKeyRects(Rect(8, 8, 292, 192))[11]);
}

TEST_F(Keypad, SharedPixelLineBelongsToTheEarlierKey)
{
    const int seven = IndexOfCaption(panel, "7"), eight = IndexOfCaption(panel, "8");
    ASSERT_LT(seven, eight);
    EXPECT_EQ(panel.ButtonAtPos(79, 50), seven); // the column 7 and 8 share
    EXPECT_EQ(panel.ButtonAtPos(80, 50), eight);
    EXPECT_EQ(panel.ButtonAtPos(78, 50), seven);
    // Right and bottom edges are outside; the gaps and margins hit nothing.
    EXPECT_EQ(panel.ButtonAtPos(43, 20), -1);
    EXPECT_EQ(panel.ButtonAtPos(3, 3), -1);
    EXPECT_EQ(panel.ButtonAtPos(216, 138), IndexOfCaption(panel, "="));
    EXPECT_EQ(panel.ButtonAtPos(217, 138), -1);
}

TEST_F(Keypad, TooSmallClientPlacesKeysUncorrected)
{
    panel.resize(10, 10);
    // Area (8, 8, 2, 2): W = -14 div 6 = -2, H = -10 div 5 = -2.
    const std::vector<TRect> expected = CalculatorKeyRects(Rect(8, 8, 2, 2));
    EXPECT_EQ(expected[11], Rect(10, 10, 8, 8)); // "7": c1 = 8 - 2 + 4, r1 = 8 - 2 + 4
    for (int i = 0; i < 28; ++i) {
        EXPECT_EQ(panel.Buttons().Items(i)->Rect(), expected[size_t(i)]) << i;
        EXPECT_LE(panel.Buttons().Items(i)->Width(), 0);
    }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(panel.ButtonAtPos(x, y), -1);
    panel.Render(); // paints without failing
}

TEST_F(Keypad, ClickNeedsPressAndReleaseOnTheSameKey)
{
    const int seven = IndexOfCaption(panel, "7"), eight = IndexOfCaption(panel, "8");
    QTest::mousePress(&panel, Qt::LeftButton, {}, Centre(seven));
    EXPECT_EQ(panel.ButtonDown(), seven);
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, Centre(eight));
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(panel.ButtonDown(), -1);

    QTest::mousePress(&panel, Qt::LeftButton, {}, Centre(seven));
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(2, 2)); // outside all keys
    EXPECT_TRUE(clicks.empty());

    QTest::mousePress(&panel, Qt::LeftButton, {}, Centre(seven));
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, Centre(seven));
    EXPECT_EQ(clicks, std::vector<int>{seven});

    // A disabled key neither presses nor gets hot.
    panel.Buttons().Items(eight)->SetEnabled(false);
    QTest::mousePress(&panel, Qt::LeftButton, {}, Centre(eight));
    EXPECT_EQ(panel.ButtonDown(), -1);
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, Centre(eight));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(Keypad, HoverTracksTheKeyUnderThePointerAndLeavingClearsIt)
{
    const int five = IndexOfCaption(panel, "5");
    auto move = [&](QPoint p) {
        QMouseEvent e(QEvent::MouseMove, p, panel.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&panel, &e);
    };
    move(Centre(five));
    EXPECT_EQ(panel.ButtonHot(), five);
    move(QPoint(3, 3));
    EXPECT_EQ(panel.ButtonHot(), -1);
    panel.SetButtonHot(five);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&panel, &leave);
    EXPECT_EQ(panel.ButtonHot(), -1);
}

TEST_F(Keypad, CustomPanelNeverMovesItsButtons)
{
    TCustomButtonPanel custom;
    custom.SetButtonPanelType(TButtonPanelType::plCustom);
    TButtonItem* b = custom.Buttons().Add();
    b->SetBounds(5, 6, 20, 10);
    custom.resize(200, 100);
    custom.BuildButtons();
    custom.LayoutButtons();
    EXPECT_EQ(custom.Buttons().Count(), 1);
    EXPECT_EQ(b->Rect(), Rect(5, 6, 25, 16));
}

TEST_F(Keypad, PaintsCaptionsInTextColoursAndTheFourStatesDiffer)
{
    const int seven = IndexOfCaption(panel, "7"), plus = IndexOfCaption(panel, "+");
    const TRect r7 = panel.Buttons().Items(seven)->Rect(), rPlus = panel.Buttons().Items(plus)->Rect();
    panel.ButtonAppearance().SetTextColor(0x00C000);
    panel.ButtonAppearance().SetSpecialTextColor(0xC00000);
    const QImage normal = panel.Render();
    // Special keys take the special text colour, the others the text colour.
    EXPECT_GT(CountColor(normal, rPlus, 0xC00000), 0);
    EXPECT_EQ(CountColor(normal, rPlus, 0x00C000), 0);
    EXPECT_GT(CountColor(normal, r7, 0x00C000), 0);
    EXPECT_EQ(CountColor(normal, r7, 0xC00000), 0);
    // A stand-alone panel has a black frame.
    EXPECT_EQ(At(normal, 0, 0), clBlack);
    EXPECT_EQ(At(normal, 229, 149), clBlack);

    panel.SetButtonHot(seven);
    const QImage hot = panel.Render();
    panel.SetButtonHot(-1);
    panel.SetButtonDown(seven);
    const QImage down = panel.Render();
    panel.SetButtonDown(-1);
    panel.setEnabled(false);
    const QImage disabled = panel.Render();
    panel.setEnabled(true);

    EXPECT_FALSE(SameArea(normal, hot, r7));
    EXPECT_FALSE(SameArea(normal, down, r7));
    EXPECT_FALSE(SameArea(hot, down, r7));
    EXPECT_FALSE(SameArea(normal, disabled, r7));
    // Only the hot or pressed key changes.
    EXPECT_TRUE(SameArea(normal, hot, rPlus));
    EXPECT_TRUE(SameArea(normal, down, rPlus));

    // A hosted panel draws no frame of its own.
    QWidget host;
    panel.SetExtDropDown(&host);
    EXPECT_EQ(At(panel.Render(), 0, 0), ColorToRGB(panel.Color()));
}

TEST(ButtonAppearance, AssignNotifiesChangedColoursOnly)
{
    TButtonAppearance a, b;
    int changes = 0;
    a.OnChange = [&](TButtonAppearance*) { ++changes; };
    a.Assign(b);
    EXPECT_EQ(changes, 0);
    b.SetColor(0x123456);
    b.SetSpecialTextColor(0x00FF00);
    b.SetGlowColorHot(0x010101); // copied without notification
    QFont f = b.Font();
    f.setPointSize(14);
    b.SetFont(f);
    a.Assign(b);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(a.Color(), 0x123456);
    EXPECT_EQ(a.SpecialTextColor(), 0x00FF00);
    EXPECT_EQ(a.GlowColorHot(), 0x010101);
    EXPECT_EQ(a.Font().pointSize(), 14);
    EXPECT_TRUE(TButtonAppearance().Font().bold());
}

TEST(ButtonItem, AssignKeepsSpecialFlagAndRectangle)
{
    TButtonItem a, b;
    b.SetCaption("x");
    b.SetTag(7);
    b.SetName("N");
    b.SetEnabled(false);
    b.SetSpecial(true);
    b.SetBounds(1, 2, 3, 4);
    a.Assign(b);
    EXPECT_EQ(a.Caption(), "x");
    EXPECT_EQ(a.Tag(), 7);
    EXPECT_EQ(a.Name(), "N");
    EXPECT_FALSE(a.Enabled());
    EXPECT_FALSE(a.Special());
    EXPECT_EQ(a.Rect(), TRect{});
}

TEST(CalculatorFormat, SeparatorsAreReadAtEachUse)
{
    {
        PinnedFormat pin(Separators(',', '.'));
        EXPECT_EQ(ThousandSeparatorChar(), QChar('.'));
        EXPECT_EQ(DecimalSeparatorChar(), QChar(','));
        EXPECT_EQ(StripThousandSeparators("1.234.567,5"), "1234567,5");
    }
    PinnedFormat pin(Separators('.', ','));
    EXPECT_EQ(StripThousandSeparators("1,234,567.5"), "1234567.5");
}
