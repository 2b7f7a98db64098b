#include "controls/BaseGrid.h"
#include "controls/ExtObj.h"
#include "platform/Exception.h"

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using enum TGridSelectionStyle;
using enum TSortStyle;

TEST(GridEnums, OrdinalsAreStable)
{
    EXPECT_EQ(int(edDataCheckBox), 10);
    EXPECT_EQ(int(edNone), 27);
    EXPECT_EQ(int(edMaskEditBtn), 42);
    EXPECT_EQ(TEditorType(10), edDataCheckBox);
    EXPECT_EQ(int(ssAlphaNumericNoCase), 19);
    EXPECT_EQ(int(acSTDDEV), 9);
    EXPECT_EQ(int(ssOffice2007), 3);
    EXPECT_EQ(int(waScroll), 1);
    EXPECT_EQ((THoverRowCells{hcNormal, hcSelected}).Bits(), 5u);
    // The last value of every enumeration: a name missing or added in the
    // middle shifts it.
    const std::pair<int, int> last[] = {
        {edValidChars, 29},     {edExtGridDropDown, 38}, {edPositiveFloat, 39}, {cbBottom, 3},
        {GradientHorizontal, 1}, {vtaBottom, 2},         {arrRight, 3},         {tasCheck, 1},
        {sdLeftRight, 1},        {heFirstLastCell, 2},   {paInsert, 1},         {adTopBottomInCol, 3},
        {pInsertAfter, 1},       {caLoop, 2},            {fceRightClick, 3},    {fceComboList, 2},
        {acDISTINCT, 8},         {hcSelected, 2},        {int(ssAnsiAlphaNoCase), 11}, {int(ssCheckBox), 15},
    };
    for (const auto& [value, ordinal] : last) EXPECT_EQ(value, ordinal);
    EXPECT_EQ(sizeof(TEditorType), 1u);
}

TEST(IntList, ChangeEventsAndTextForm)
{
    TIntList l(3, 4);
    std::vector<std::pair<int, int>> events;
    l.OnChange = [&](TIntList*, int c, int r) { events.emplace_back(c, r); };
    l.Insert(0, 9);
    EXPECT_TRUE(events.empty());
    l.Add(1);
    l.SetItems(0, 8);
    l.Delete(1);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], std::make_pair(3, 4));
    l.DeleteValue(42);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_THROW(l.Items(5), Exception);

    events.clear();
    l.SetStrValue("4,7,9");
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(l.StrValue(), "4,7,9");
    EXPECT_TRUE(l.HasValue(7));
    l.DeleteValue(7);
    EXPECT_EQ(l.StrValue(), "4,9");
    // A bad item changes nothing.
    EXPECT_THROW(l.SetStrValue("1,x,3"), EConvertError);
    EXPECT_EQ(l.StrValue(), "4,9");
    l.SetStrValue("");
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.StrValue(), "");
}

TEST(SortIndexList, KeysAndTextForm)
{
    TSortIndexList s;
    s.AddIndex(3, true);
    s.AddIndex(1, false);
    EXPECT_EQ(s.SaveToString(), "u3;d1");
    EXPECT_EQ(s.FindIndex(1), 1);
    EXPECT_FALSE(s.SortDirections(1));
    s.ToggleIndex(1);
    EXPECT_TRUE(s.SortDirections(1));
    s.ToggleIndex(77);
    EXPECT_EQ(s.SaveToString(), "u3;u1");
    s.SetSortColumns(0, 5);
    EXPECT_EQ(s.SortColumns(0), 5);
    EXPECT_EQ(s.GetSortColumns(1), 1);

    // The whole column number is written, so it reads back.
    TSortIndexList big;
    big.AddIndex(70000, false);
    EXPECT_EQ(big.SaveToString(), "d70000");
    TSortIndexList back;
    back.LoadFromString(big.SaveToString());
    EXPECT_EQ(back.SortColumns(0), 70000);
    EXPECT_FALSE(back.SortDirections(0));

    s.LoadFromString("u2;x;d5;");
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.SortColumns(0), 2);
    EXPECT_TRUE(s.SortDirections(0));
    EXPECT_EQ(s.SortColumns(1), 5);
    EXPECT_FALSE(s.SortDirections(1));
    EXPECT_THROW(s.LoadFromString("u1;dz"), EConvertError);
    EXPECT_EQ(s.Count(), 2);
}

TEST(ControlList, ItemsByCell)
{
    TControlList l;
    QWidget a, b;
    l.AddControl(1, 2, &a);
    l.AddControl(3, 4, &b);
    EXPECT_EQ(l.ControlIndex(3, 4), 1);
    EXPECT_EQ(l.ControlIndex(0, 0), -1);
    EXPECT_EQ(l.GetControl(1).Control.data(), &b);
    EXPECT_EQ(l.GetControl(1).Y, 4);
    EXPECT_THROW(l.GetControl(2), Exception);
    EXPECT_TRUE(l.HasHandle(&b));
    l.RemoveControl(0);
    EXPECT_EQ(l.Count(), 1);
    EXPECT_FALSE(l.HasHandle(&a));
    EXPECT_TRUE(a.isWidgetType()) << "the control itself stays";
}

TEST(FileStringList, LineReaderAndWriter)
{
    TFileStringList f;
    f.Write("a");
    f.Write("b");
    f.WriteLn("c");
    f.WriteLn("d");
    EXPECT_EQ(f.Lines, QStringList({"abc", "d"}));
    f.Reset();
    QString s;
    f.ReadLn(s);
    EXPECT_EQ(s, "abc");
    EXPECT_FALSE(f.Eof());
    f.ReadLn(s);
    EXPECT_TRUE(f.Eof());
}

TEST(FilePicture, MissingPictureCountsAsEmpty)
{
    TFilePicture p;
    p.SetFilename("/nonexistent/x.png");
    EXPECT_EQ(p.Width(), 0);
    EXPECT_EQ(p.Height(), 0);
    QImage target(10, 10, QImage::Format_RGB32);
    target.fill(Qt::white);
    TCanvas canvas(&target);
    p.DrawPicture(canvas, TRect{0, 0, 10, 10});
    EXPECT_EQ(target.pixel(5, 5), qRgb(255, 255, 255));
}

TEST(SettingsObjects, DefaultsAndChangeEvents)
{
    TSearchFooter empty;
    EXPECT_EQ(empty.FindNextCaption(), "");
    TSearchFooter f(true);
    EXPECT_EQ(f.FindNextCaption(), "Find &next");
    EXPECT_EQ(f.HintHighlight(), "Highlight occurrences");
    EXPECT_EQ(f.ColorTo(), clBtnFace);
    EXPECT_EQ(f.SearchColumn(), -1);
    EXPECT_TRUE(f.AutoSearch());
    int n = 0;
    f.OnChange = [&](TSearchFooter*) { ++n; };
    f.SetColor(f.Color()); // always fires
    f.SetShowFindNext(true); // unchanged: silent
    f.SetVisible(true);
    f.SetSearchColumn(3); // plain field
    EXPECT_EQ(n, 2);
    TSearchFooter g;
    g.SetAutoSearch(false);
    g.Assign(f);
    EXPECT_EQ(n, 2) << "Assign is silent";
    EXPECT_TRUE(g.Visible());
    EXPECT_FALSE(g.AutoSearch()) << "not copied";
    EXPECT_EQ(g.FindNextCaption(), "Find &next");

    TBands b;
    EXPECT_EQ(b.TotalLength(), 2);
    EXPECT_EQ(b.PrimaryColor(), clInfoBk);
    int bn = 0;
    b.OnChange = [&](TBands*) { ++bn; };
    b.SetPrimaryColor(clRed);
    EXPECT_EQ(bn, 0);
    b.SetActive(true);
    b.SetPrimaryColor(clBlue);
    b.SetPrimaryLength(3);
    EXPECT_EQ(bn, 3);
    EXPECT_EQ(b.TotalLength(), 4);

    TNavigation nav;
    EXPECT_TRUE(nav.AdvanceOnEnterLoop());
    EXPECT_FALSE(nav.AdvanceOnEnter());
    nav.SetTabAdvanceDirection(adTopBottom);
    nav.SetAdvanceDirection(adLeftRightInRow);
    nav.SetKeepScrollOnSort(true);
    TNavigation nav2;
    int navEvents = 0;
    nav2.OnChange = [&](TNavigation*) { ++navEvents; };
    nav2.Assign(nav);
    EXPECT_EQ(nav2.TabAdvanceDirection(), adTopBottom);
    EXPECT_EQ(nav2.AdvanceDirection(), adLeftRightInRow);
    EXPECT_FALSE(nav2.KeepScrollOnSort());
    EXPECT_EQ(navEvents, 0);
    nav2.SetAdvanceDirection(adTopBottom);
    EXPECT_EQ(navEvents, 1);
    nav2.SetAdvanceAuto(true);
    EXPECT_TRUE(nav2.AdvanceOnEnter());

    TMouseActions m;
    EXPECT_TRUE(m.AutoSizeColOnDblClick());
    bool designing = false;
    m.OnIsDesigning = [&](TMouseActions*, bool& d) { d = designing; };
    m.SetDisjunctRowSelect(true);
    m.SetDisjunctColSelect(true);
    EXPECT_TRUE(m.DisjunctRowSelect()) << "at run time all may be on";
    designing = true;
    m.SetDisjunctCellSelect(true);
    EXPECT_FALSE(m.DisjunctRowSelect());
    EXPECT_FALSE(m.DisjunctColSelect());
    int invalidated = 0;
    m.OnInvalidate = [&](TMouseActions*) { ++invalidated; };
    m.SetHotmailRowSelect(true);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.CheckAllCheck());
    EXPECT_EQ(invalidated, 1);
    TMouseActions m2;
    m2.Assign(m);
    EXPECT_FALSE(m2.HotmailRowSelect()) << "not copied";
    EXPECT_TRUE(m2.DisjunctCellSelect());

    TStringGrid owner, other;
    TSyncGrid sync(&owner);
    sync.SetGrid(&owner);
    EXPECT_EQ(sync.Grid(), nullptr);
    sync.SetGrid(&other);
    EXPECT_EQ(sync.Grid(), &other);
}

TEST(GridButton, GroupsAndCheckStyle)
{
    QWidget parent;
    auto* a = new TExtGridButton(&parent);
    auto* b = new TExtGridButton(&parent);
    EXPECT_EQ(a->size(), QSize(22, 23));
    // An ungrouped plain button cannot be held down.
    a->SetDown(true);
    EXPECT_FALSE(a->Down());
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    a->SetDown(false);
    EXPECT_TRUE(a->Down()) << "AllowAllUp is off";
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());

    // Clicking: a check-style button toggles and fires OnClick.
    auto* c = new TExtGridButton(&parent);
    c->SetStyle(tasCheck);
    int clicks = 0;
    c->OnClick = [&](TExtGridButton*) { ++clicks; };
    parent.show();
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(c->Down());
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(c->Down());
    EXPECT_EQ(clicks, 2);

    // The caption's accelerator clicks it.
    c->SetCaption("&Find");
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    QTest::keyClick(&parent, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(clicks, 3);
    c->setEnabled(false);
    QTest::keyClick(&parent, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(clicks, 3);

    c->SetMargin(-5);
    EXPECT_EQ(c->Margin(), -1);
    c->SetLook(2);
    EXPECT_EQ(c->ColorTo(), 0xE4AE88);
    EXPECT_EQ(c->BorderColor(), clNone);
    EXPECT_FALSE(c->Rounded());

    // Layout: margin and spacing -1 share the free length in three.
    TExtGridButton d;
    d.resize(100, 20);
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::red);
    d.SetGlyph(glyph);
    d.SetCaption("Go");
    d.SetSpacing(-1);
    QPoint gp;
    QRect cr;
    d.CalcLayout(gp, cr);
    const int captionWidth = QFontMetrics(d.font()).horizontalAdvance("Go");
    const int third = (100 - 16 - captionWidth) / 3;
    EXPECT_EQ(gp.x(), third);
    EXPECT_EQ(cr.left(), third + 16 + third);
    EXPECT_FALSE(d.GlyphDisabled().isNull());
    EXPECT_EQ(QColor(d.GlyphDisabled().pixel(1, 1)).red(), 255 / 3 / 2 + 96);
}

TEST(GridCheckBox, ToggleAndClick)
{
    TExtCheckBox box;
    EXPECT_EQ(box.size(), QSize(98, 20));
    EXPECT_EQ(box.Caption(), "TExtCheckBox");
    int clicks = 0;
    box.OnClick = [&](TExtCheckBox*) { ++clicks; };
    box.show();
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(clicks, 1);
    box.SetReadOnly(true);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(box.Checked()) << "read-only: no toggle";
    EXPECT_EQ(clicks, 2) << "but the click fires";
    box.SetReadOnly(false);
    box.SetState(cbGrayed);
    EXPECT_FALSE(box.Checked());
    box.Toggle();
    EXPECT_TRUE(box.Checked());
}

TEST(IndicatorWindows, OverlaysOfTheViewport)
{
    QWidget viewport;
    viewport.resize(200, 100);
    TArrowWindow arrow;
    arrow.Init(&viewport, arrDown);
    EXPECT_EQ(arrow.parentWidget(), &viewport);
    EXPECT_FALSE(arrow.isVisible());
    EXPECT_EQ(arrow.Color, 0x00FF00);
    EXPECT_EQ(arrow.Arrow(), QPolygon({{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}}));
    EXPECT_TRUE(arrow.mask().contains(QPoint(5, 2)));
    EXPECT_FALSE(arrow.mask().contains(QPoint(0, 0)));
    TGridFocusWindow focus(&viewport);
    EXPECT_EQ(focus.size(), QSize(0, 0));
    EXPECT_EQ(focus.Color, clRed);
    EXPECT_TRUE(focus.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(AlphaMask, MergeMaskPremultiplies)
{
    QImage bmp(2, 1, QImage::Format_RGB888);
    bmp.setPixel(0, 0, qRgb(200, 101, 0));
    bmp.setPixel(1, 0, qRgb(255, 255, 255));
    QImage mask(2, 1, QImage::Format_RGB888);
    mask.fill(qRgb(128, 0, 0));
    TGridAlphaMask m;
    EXPECT_EQ(m.Opacity(), 255);
    m.MergeMask(mask, bmp, clNone);
    const QRgb p0 = reinterpret_cast<const QRgb*>(m.Image().constScanLine(0))[0];
    EXPECT_EQ(qAlpha(p0), 128);
    EXPECT_EQ(qRed(p0), 100);
    EXPECT_EQ(qGreen(p0), 51);
    // Only 24-bit sources are merged.
    TGridAlphaMask n;
    n.MergeMask(mask, bmp.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(n.Width(), 0);
}

TEST(Blur, WhiteStaysWhiteAndEveryLineIsBlurred)
{
    QImage white(60, 60, QImage::Format_RGB888);
    white.fill(Qt::white);
    BlurBitmap24(white, 3);
    for (int y = 0; y < 60; y += 7)
        for (int x = 0; x < 60; x += 7) EXPECT_EQ(white.pixel(x, y), qRgb(255, 255, 255));

    // A white dot in the middle of a large image spreads around itself, also
    // in rows and columns far from the edges.
    QImage dot(80, 80, QImage::Format_RGB888);
    dot.fill(Qt::black);
    dot.setPixel(40, 40, qRgb(255, 255, 255));
    BlurBitmap24(dot, 2);
    EXPECT_GT(qRed(dot.pixel(41, 40)), 0);
    EXPECT_GT(qRed(dot.pixel(40, 42)), 0);
    EXPECT_LT(qRed(dot.pixel(40, 40)), 255);
    EXPECT_EQ(qRed(dot.pixel(15, 15)), 0);

    QImage other(4, 4, QImage::Format_ARGB32);
    try {
        BlurBitmap24(other, 2);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Blur only works for 24-bit bitmaps");
    }
    const std::vector<double> k = BuildGaussKernel(2);
    double sum = 0;
    for (double w : k) sum += w;
    EXPECT_NEAR(sum, 1.0, 1e-9);
    EXPECT_LT(k.size(), 21u);

    QImage shadow;
    MakeShadowMask(shadow, 40, 30, 0, 8, 0);
    EXPECT_EQ(shadow.format(), QImage::Format_RGB888);
    EXPECT_EQ(shadow.pixel(20, 15), qRgb(255, 255, 255));
    EXPECT_EQ(shadow.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(GradientSteps, BandsAndFrame)
{
    QImage img(40, 10, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        TCanvas canvas(&img);
        FillGradientSteps(canvas, clBlack, clWhite, true, TRect{0, 0, 40, 10}, 4, clRed);
    }
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(35, 5), qRgb(191, 191, 191));
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(39, 9), qRgb(255, 0, 0));
}
