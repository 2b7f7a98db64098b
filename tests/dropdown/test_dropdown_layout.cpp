// Pure rules of the drop-down edit: value with prefix and suffix, label
// placement, pop-up placement and the style presets.
#include "dropdown/ExtDropDown.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(DropDownValue, PrefixSuffixTable)
{
    TExtCustomDropDown e;
    e.SetPrefix(QStringLiteral("$"));
    e.SetSuffix(QStringLiteral("EUR"));
    e.SetText(QStringLiteral("12"));
    EXPECT_EQ(e.text(), QStringLiteral("$12EUR"));
    EXPECT_EQ(e.Text(), QStringLiteral("12"));
    EXPECT_EQ(e.OldText(), QStringLiteral("12"));

    struct Case {
        const char* direct;
        const char* value;
    };
    const Case cases[] = {
        {"7", "7"},         // no prefix, too short for the suffix
        {"1234", "1"},      // no prefix, the last three characters go whatever they are
        {"$5EUR", "5"},     // both
        {"$EUR", ""},       // an empty value
        {"$9", "9"},        // the prefix goes; too short for the suffix
    };
    for (const Case& c : cases) {
        e.SetTextDirect(QString::fromLatin1(c.direct));
        EXPECT_EQ(e.text(), QString::fromLatin1(c.direct)) << c.direct; // no bookkeeping
        EXPECT_EQ(e.Text(), QString::fromLatin1(c.value)) << c.direct;
    }
    EXPECT_EQ(e.OldText(), QStringLiteral("12"));
}

TEST(DropDownValue, EmptyNumbersBecomeZero)
{
    using enum TDropDownEditType;
    TExtCustomDropDown e;
    e.SetText(QString());
    EXPECT_EQ(e.Text(), QString());
    for (TDropDownEditType t : {etNumeric, etFloat, etMoney, etHex}) {
        e.SetEditType(t);
        e.SetText(QString());
        EXPECT_EQ(e.Text(), QStringLiteral("0")) << int(t);
    }
    e.SetEditType(etFloat);
    e.SetText(QStringLiteral("Error"));
    EXPECT_EQ(e.Text(), QStringLiteral("Error"));
    e.SetEditType(etHex);
    e.SetText(QStringLiteral("ff"));
    EXPECT_EQ(e.Text(), QStringLiteral("FF"));
}

TEST(DropDownValue, ConstructorState)
{
    TExtCustomDropDown e;
    EXPECT_EQ(e.size(), QSize(200, 21));
    EXPECT_EQ(e.DropDownButtonWidth(), 17);
    ASSERT_NE(e.Button(), nullptr);
    EXPECT_EQ(e.Button()->BWidth(), 16);
    EXPECT_EQ(e.Button()->width(), 16); // the button keeps its own width
    // The style preset's colours replace the constructor's own.
    EXPECT_EQ(e.DropDownColor(), TColor(0xF3E5DA));
    EXPECT_EQ(e.DropDownColorTo(), TColor(0xF0DED0));
    EXPECT_EQ(e.DropDownBorderColor(), clNone);
    EXPECT_EQ(e.GetComponentStyle(), tsOffice2007Luna);
    EXPECT_EQ(e.SelectionColor(), TColor(0xD7FFFD));
    EXPECT_EQ(e.SelectionColorTo(), TColor(0x58D4FC));
    EXPECT_EQ(e.DropDownBorderWidth(), 1);
    EXPECT_TRUE(e.EditorEnabled());
    EXPECT_TRUE(e.DefaultHandling());
    EXPECT_TRUE(e.CanUndo());
    EXPECT_FALSE(e.DroppedDown());
    EXPECT_EQ(e.UserDropDownWidth(), -1);
    EXPECT_EQ(e.Version(), QStringLiteral("1.2.1.4"));
    EXPECT_EQ(e.LabelMargin(), 4);

    // A width written to the button stays BWidth.
    e.Button()->SetBounds(0, 0, 40, 20);
    EXPECT_EQ(e.Button()->width(), 16);
}

TEST(DropDownValue, DropDownSizeWritesClearTheRememberedAxis)
{
    TExtCustomDropDown e;
    e.SetDropDownHeight(0); // unchanged: nothing
    e.SetDropDownWidth(120);
    EXPECT_EQ(e.DropDownWidth(), 120);
    EXPECT_EQ(e.UserDropDownWidth(), -1);
}

TEST(DropDownLabel, PlacementTable)
{
    using enum TLabelPosition;
    const QRect edit(100, 50, 200, 21); // E
    const QSize label(40, 13);          // L, W = 40
    const int m = 4;
    struct Case {
        TLabelPosition pos;
        QPoint at;
    };
    const Case cases[] = {
        {lpLeftTop, {56, 50}},
        {lpLeftCenter, {56, 54}},
        {lpLeftBottom, {56, 58}},
        {lpTopLeft, {100, 33}},
        {lpBottomLeft, {100, 75}},
        {lpLeftTopLeft, {96, 50}},
        {lpLeftCenterLeft, {96, 54}},
        {lpLeftBottomLeft, {96, 58}},
        {lpTopCenter, {180, 33}},
        {lpBottomCenter, {180, 75}},
        {lpRightTop, {304, 50}},
        {lpRightCenter, {304, 54}},
        {lpRighBottom, {304, 58}},
        {lpTopRight, {260, 33}},
        {lpBottomRight, {260, 75}},
    };
    for (const Case& c : cases) EXPECT_EQ(LabelPlacement(c.pos, edit, label, 40, m), c.at) << int(c.pos);

    // A label wider than the edit juts out equally on both sides.
    const QPoint wide = LabelPlacement(lpTopCenter, edit, QSize(260, 13), 260, m);
    EXPECT_EQ(edit.left() - wide.x(), wide.x() + 260 - (edit.left() + edit.width()));
    // An odd difference truncates toward zero.
    EXPECT_EQ(LabelPlacement(lpTopCenter, edit, QSize(203, 13), 203, m).x(), 100 + (200 - 203) / 2);
}

TEST(DropDownLabel, FollowsTheEdit)
{
    QWidget host;
    host.resize(400, 200);
    TExtCustomDropDown e(&host);
    e.setGeometry(150, 80, 120, 21);
    e.SetLabelCaption(QStringLiteral("Name"));
    e.SetLabelPosition(TLabelPosition::lpTopLeft);
    host.show();
    ASSERT_NE(e.Label(), nullptr);
    EXPECT_EQ(e.Label()->parentWidget(), &host);
    EXPECT_EQ(e.Label()->x(), 150);
    EXPECT_EQ(e.Label()->y() + e.Label()->height() + 4, 80);
    e.SetBounds(10, 100, 120, 21);
    EXPECT_EQ(e.Label()->pos(), QPoint(10, 100 - e.Label()->height() - 4));
    EXPECT_TRUE(e.Label()->isVisible());
}

TEST(DropDownPlacement, Table)
{
    using enum TDropPosition;
    const QRect primary(0, 0, 1024, 738); // work area above a task bar
    const QRect leftScreen(-1280, 0, 1280, 1024);
    const QSize size(150, 100);
    struct Case {
        const char* name;
        QPoint anchor;
        TDropPosition pos;
        QRect work;
        QPoint at;
    };
    const Case cases[] = {
        {"below", {100, 200}, dpAuto, primary, {100, 220}},
        {"fits exactly", {100, 618}, dpAuto, primary, {100, 638}},
        {"flips up near the bottom", {100, 619}, dpAuto, primary, {100, 519}},
        {"always down", {100, 700}, dpDown, primary, {100, 720}},
        {"always up", {100, 200}, dpUp, primary, {100, 100}},
        {"right edge", {950, 200}, dpAuto, primary, {874, 200 + 20}},
        {"left of the right edge untouched", {874, 200}, dpAuto, primary, {874, 220}},
        {"starting beyond the area", {1100, 200}, dpAuto, primary, {1100, 220}},
        {"screen left of the primary", {-100, 200}, dpAuto, leftScreen, {-150, 220}},
        {"left edge not clamped", {-20, 200}, dpAuto, primary, {-20, 220}},
        {"other screen's bottom", {-600, 900}, dpAuto, leftScreen, {-600, 920}},
        {"other screen flips", {-600, 930}, dpAuto, leftScreen, {-600, 830}},
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceDropDown(c.anchor, 21, size, c.pos, c.work), c.at) << c.name;

    // An upward pop-up ends exactly at the edit's top, whatever its height.
    for (int h : {50, 100, 333}) EXPECT_EQ(PlaceDropDown({10, 600}, 21, QSize(100, h), dpUp, primary).y() + h, 600);
}

TEST(DropDownStyles, PresetsAgainstTables)
{
    struct Row {
        TStudioStyle style;
        TColor color, colorTo;
        bool writesBorder;
        TColor border;
        TDropDownStripColors header, footer;
        TColor buttonColor, buttonColorTo, buttonBorder, colorHot, borderChecked;
    };
    const Row rows[] = {
        {tsOffice2003Blue, 0xFFFFFF, clNone, false, 0, {0xFCE1CB, 0xE0A57D, 0, 0}, {0xFCE1CB, 0xE0A57D, 0, 0x962D00}, 0xFCE1CB, 0xE0A57D, clNone,
         0xEBFDFF, 0x45667B},
        {tsOffice2003Silver, 0xFFFFFF, clNone, false, 0, {0xECE2E1, 0xB39698, 0, 0x947C7C}, {0xECE2E1, 0xB39698, 0, 0x947C7C}, 0xECE2E1,
         0xB39698, clNone, 0xEBFDFF, 0x45667B},
        {tsOffice2003Olive, 0xFFFFFF, clNone, true, clNone, {0xCFF0EA, 0x8CC0B1, 0, 0x588060}, {0xCFF0EA, 0x8CC0B1, 0, 0x588060}, 0xCFF0EA,
         0x8CC0B1, clNone, 0xEBFDFF, 0x45667B},
        {tsOffice2003Classic, 0xF2F2F2, 0xF2F2F2, true, clNone, {0x808080, 0x808080, 0xFFFFFF, 0x808080},
         {0x808080, 0x808080, 0xFFFFFF, 0x808080}, 0xFFFFFF, 0xC9D1D5, clNone, 0xD2BDB6, 0x808080},
        {tsOffice2007Luna, 0xF3E5DA, 0xF0DED0, true, clNone, {0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF}, {0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF},
         0xFFEFE3, 0xFFDDC4, clNone, 0xEBFDFF, 0x45667B},
        {tsOffice2007Obsidian, 0xFFFFFF, clNone, true, clNone, {0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C},
         {0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C}, 0xF2F1F0, 0xC9C2BD, clNone, 0xEBFDFF, 0x45667B},
        {tsWindowsXP, 0xFFFFFF, clNone, false, 0, {0xFFFFFF, clBtnFace, 0, 0x808080}, {0xFFFFFF, clBtnFace, 0, 0x808080}, 0xFFFFFF, clBtnFace,
         clNone, 0xEFD3C6, 0x000000},
        {tsWhidbey, 0xF5F9FA, 0xF5F9FA, true, clNone, {0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00}, {0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00},
         0xFFFFFF, 0xDFEDF0, clNone, 0xEBFDFF, 0x45667B},
        {tsOffice2007Silver, 0xF8F4F1, 0xF0E8E3, true, clNone, {0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F},
         {0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F}, 0xF9F8F8, 0xE4E2DF, clNone, 0xEBFDFF, 0x45667B},
        {tsWindowsVista, 0xFFFFFF, 0xFFFFFF, true, 0x979797, {0xFFFDF9, 0xFFFAF0, 0, 0xFCF2DA}, {0xFFFAF0, 0xFFFDF9, 0, 0xFCF2DA}, 0xFFFDF9,
         0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFEDF9A},
        {tsWindows7, 0xFFFFFF, 0xFFFFFF, true, 0x979797, {0xFDFBFA, 0xFDF3EB, 0, 0xFBD6B8}, {0xFDFBFA, 0xFDF3EB, 0, 0xFBD6B8}, 0xFDFBFA,
         0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xCEA27D},
        {tsTerminal, 0xFFFFFF, 0xFFFFFF, true, 0x808080, {clBtnFace, clBtnFace, 0, clNone}, {clBtnFace, clBtnFace, 0, clNone}, clBtnFace,
         clBtnFace, clNone, 0xC0C0C0, clHighlight},
        {tsOffice2010Blue, 0xFFFFFF, 0xF1EFED, true, 0xEDEDEC, {0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F}, {0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F},
         0xFDF6EF, 0xF0DAC7, 0xC7B29F, 0x8AE3FD, 0x4FA0CE},
        {tsOffice2010Silver, 0xFFFFFF, 0xF1EFED, true, 0xEDEDEC, {0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8},
         {0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8}, 0xFFFFFF, 0xEDE5E0, 0xD2CDC8, 0x8AE3FD, 0x4FA0CE},
        {tsOffice2010Black, 0xFFFFFF, 0xF1EFED, true, 0xEDEDEC, {0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D},
         {0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D}, 0xBFBFBF, 0x919191, 0xD7D7D6, 0x8AE3FD, 0x4FA0CE},
    };
    for (const Row& r : rows) {
        TExtCustomDropDown e;
        e.SetDropDownBorderColor(0x123456);
        e.SetComponentStyle(r.style);
        EXPECT_EQ(e.GetComponentStyle(), r.style);
        EXPECT_EQ(e.DropDownColor(), r.color) << int(r.style);
        EXPECT_EQ(e.DropDownColorTo(), r.colorTo) << int(r.style);
        EXPECT_EQ(e.DropDownBorderColor(), r.writesBorder ? r.border : TColor(0x123456)) << int(r.style);
        const TDropDownStripColors header{e.DropDownHeader().Color(), e.DropDownHeader().ColorTo(), e.DropDownHeader().FontColor(),
                                          e.DropDownHeader().BorderColor()};
        const TDropDownStripColors footer{e.DropDownFooter().Color(), e.DropDownFooter().ColorTo(), e.DropDownFooter().FontColor(),
                                          e.DropDownFooter().BorderColor()};
        EXPECT_EQ(header, r.header) << int(r.style);
        EXPECT_EQ(footer, r.footer) << int(r.style);
        const TExtButtonAppearance& b = e.ButtonAppearance();
        EXPECT_EQ(b.Color(), r.buttonColor) << int(r.style);
        EXPECT_EQ(b.ColorTo(), r.buttonColorTo) << int(r.style);
        EXPECT_EQ(b.BorderColor(), r.buttonBorder) << int(r.style);
        EXPECT_EQ(b.ColorHot(), r.colorHot) << int(r.style);
        EXPECT_EQ(b.BorderColorChecked(), r.borderChecked) << int(r.style);
    }
}

TEST(DropDownStyles, CustomKeepsEverything)
{
    TExtCustomDropDown e;
    e.SetComponentStyle(tsWindows7);
    e.SetComponentStyle(tsCustom);
    EXPECT_EQ(e.GetComponentStyle(), tsCustom);
    EXPECT_EQ(e.DropDownBorderColor(), TColor(0x979797));
    EXPECT_EQ(e.DropDownHeader().Color(), TColor(0xFDFBFA));
    EXPECT_EQ(e.ButtonAppearance().ColorDown(), TColor(0xFCEBDC));
}

TEST(DropDownStyles, SelectionStylesAndTones)
{
    using enum TSelectionColorStyle;
    TExtCustomDropDown e;
    struct Case {
        TSelectionColorStyle style;
        TColor color, colorTo;
    };
    for (const Case& c : {Case{scWindowsVista, 0xFDF8F1, 0xFCEFD5}, Case{scWindows7, 0xFCEBDC, 0xFCDBC1}, Case{scOffice2007, 0xD7FFFD, 0x58D4FC}}) {
        e.SetSelectionColorStyle(c.style);
        EXPECT_EQ(e.SelectionColor(), c.color);
        EXPECT_EQ(e.SelectionColorTo(), c.colorTo);
    }
    e.SetSelectionColor(clRed);
    e.SetSelectionColorStyle(scCustom);
    EXPECT_EQ(e.SelectionColor(), clRed);
    // Custom fills flat with the selection colour.
    QImage img(20, 20, QImage::Format_ARGB32);
    img.fill(Qt::white);
    {
        TCanvas c(&img);
        e.DrawSelectionBackground(c, Rect(2, 2, 18, 18), 0, clWhite);
    }
    EXPECT_EQ(QColorToColor(img.pixelColor(2, 2)), clRed);
    EXPECT_EQ(QColorToColor(img.pixelColor(17, 17)), clRed);
    EXPECT_EQ(QColorToColor(img.pixelColor(1, 1)), clWhite);

    TColorTones tones;
    tones.Background = {clYellow, clGreen, clBlack};
    tones.Hover = {clAqua, clNone, clNone};
    tones.Selected = {clFuchsia, clNone, clNone};
    e.SetColorTones(tones);
    EXPECT_EQ(e.Button()->ButtonColor, clYellow);
    EXPECT_EQ(e.Button()->ButtonColorHot, clAqua);
    EXPECT_EQ(e.Button()->ButtonColorDown, clFuchsia);
    EXPECT_EQ(e.Button()->ButtonBorderColor, clGreen);
    EXPECT_EQ(e.BorderColor(), clGreen);
}

TEST(DropDownValue, AssignCopiesSettingsNotTheValue)
{
    TExtCustomDropDown a, b;
    a.SetPrefix(QStringLiteral("#"));
    a.SetDropDownColor(clRed);
    a.SetDropDownHeight(77);
    a.SetDropPosition(TDropPosition::dpUp);
    a.SetDropDownButtonWidth(20);
    a.DropDownHeader().SetCaption(QStringLiteral("Head"));
    a.DropDownFooter().SetVisible(false);
    a.SetText(QStringLiteral("v"));
    b.SetText(QStringLiteral("w"));
    b.Assign(a);
    EXPECT_EQ(b.Prefix(), QStringLiteral("#"));
    EXPECT_EQ(b.DropDownColor(), clRed);
    EXPECT_EQ(b.DropDownHeight(), 77);
    EXPECT_EQ(b.DropPosition(), TDropPosition::dpUp);
    EXPECT_EQ(b.DropDownButtonWidth(), 20);
    EXPECT_EQ(b.Button()->BWidth(), 20);
    EXPECT_EQ(b.DropDownHeader().Caption(), QStringLiteral("Head"));
    EXPECT_FALSE(b.DropDownFooter().Visible());
    EXPECT_EQ(b.text(), QStringLiteral("w"));
}
