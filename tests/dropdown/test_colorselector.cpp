// The colour selector panels: cube cells and hit test, spectrum picture and
// swatches, colour-box layout, selection, keys and painting.
#include "common/PixelSupport.h"
#include "dropdown/ExtColorSelector.h"
#include "platform/Grids.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void MoveMouse(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

QImage Grab(QWidget& w) { return w.grab().toImage(); }

} // namespace

// ---- Cube ------------------------------------------------------------------

TEST(ColorCube, CellCentresFollowTheHexagonRows)
{
    TExtColorCubePanel cube;
    EXPECT_EQ(cube.CubeSize(), QPoint(6, 3));
    struct Case {
        int n, x, y;
        TColor color;
    } cases[] = {
        {1, 55, 20, 0x663300},  {7, 127, 20, 0x660000},   {8, 49, 30, 0x666600},  {58, 19, 80, 0x003300},
        {64, 91, 80, 0xFFFFFF}, {70, 163, 80, 0x660066},  {71, 25, 90, 0x006633}, {121, 55, 140, 0x003366},
        {127, 127, 140, 0x2100A5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(cube.Cell(c.n).X, c.x);
        EXPECT_EQ(cube.Cell(c.n).Y, c.y);
        EXPECT_EQ(cube.Cell(c.n).Color, c.color);
    }
    // Neighbours in a row are 12 pixels apart, rows 10 apart.
    for (int n = 1; n < TExtColorCubePanel::CellCount; ++n) {
        if (cube.Cell(n + 1).Y == cube.Cell(n).Y) EXPECT_EQ(cube.Cell(n + 1).X - cube.Cell(n).X, 12) << n;
        else EXPECT_EQ(cube.Cell(n + 1).Y - cube.Cell(n).Y, 10) << n;
    }
}

TEST(ColorCube, CellAtPos)
{
    TExtColorCubePanel cube;
    struct Case {
        int x, y, cell;
    } cases[] = {
        {91, 80, 64}, {61, 20, 1}, {55, 14, 1}, {55, 13, -1}, {0, 0, -1}, {127, 140, 127},
        {67, 20, 2},  // centre of cell 2
        {61, 23, -1}, // the corner between cells 1, 2 and 9
    };
    for (const Case& c : cases) EXPECT_EQ(cube.CellAtPos(c.x, c.y), c.cell) << c.x << "," << c.y;
}

TEST(ColorCube, SelectedColorMarksTheFirstCellOfThatColour)
{
    TExtColorCubePanel cube;
    EXPECT_EQ(cube.SelectedColor(), clNone);
    EXPECT_EQ(cube.SelectedIndex(), -1);
    cube.SetSelectedColor(0xFFFFFF);
    EXPECT_EQ(cube.SelectedIndex(), 64);
    cube.SetSelectedColor(0x123456);
    EXPECT_EQ(cube.SelectedIndex(), -1);
    EXPECT_EQ(cube.SelectedColor(), 0x123456);
    // 0x0000FF appears once, in row 12.
    cube.SetSelectedColor(0x0000FF);
    EXPECT_EQ(cube.SelectedIndex(), 118);
}

TEST(ColorCube, ResetHotCellSizesThePanel)
{
    TExtColorCubePanel cube;
    cube.ResetHotCell();
    EXPECT_EQ(cube.size(), QSize(182, 160));
    EXPECT_EQ(cube.HotIndex(), -1);
}

TEST(ColorCube, PointerHintSelectionAndHide)
{
    TExtColorCubePanel cube;
    cube.ResetHotCell();
    cube.show();
    int selects = 0, hides = 0;
    cube.OnSelect = [&](QObject* s) {
        EXPECT_EQ(s, &cube);
        ++selects;
    };
    cube.FOnShouldHide = [&](QObject*) { ++hides; };

    MoveMouse(&cube, QPoint(91, 80));
    EXPECT_EQ(cube.HotIndex(), 64);
    EXPECT_EQ(cube.Hint(), QStringLiteral("Red: 255,  Green: 255,  Blue: 255"));
    EXPECT_EQ(cube.toolTip(), cube.Hint());
    MoveMouse(&cube, QPoint(55, 20));
    EXPECT_EQ(cube.HotIndex(), 1);
    EXPECT_EQ(cube.Hint(), QStringLiteral("Red: 0,  Green: 51,  Blue: 102"));
    // Over no cell the hot cell stays and the hint is emptied.
    MoveMouse(&cube, QPoint(2, 2));
    EXPECT_EQ(cube.HotIndex(), 1);
    EXPECT_EQ(cube.Hint(), QString());
    Leave(&cube);
    EXPECT_EQ(cube.HotIndex(), 1);

    QTest::mousePress(&cube, Qt::LeftButton, {}, QPoint(91, 80));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(cube.SelectedColor(), clWhite);
    EXPECT_EQ(cube.SelectedIndex(), 64);
    EXPECT_EQ(hides, 0);
    QTest::mouseRelease(&cube, Qt::LeftButton, {}, QPoint(91, 80));
    EXPECT_EQ(hides, 1);
    // A press over no cell changes nothing.
    QTest::mousePress(&cube, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(cube.SelectedIndex(), 64);

    cube.SetShowRGBHint(false);
    MoveMouse(&cube, QPoint(67, 20));
    EXPECT_EQ(cube.HotIndex(), 2);
    EXPECT_EQ(cube.toolTip(), QString());
}

TEST(ColorCube, PaintsCellsWithHotAndSelectedMarks)
{
    TExtColorCubePanel cube;
    cube.SetColor(0xEEEEEE);
    cube.ResetHotCell();
    cube.SetSelectedColor(0x663300); // cell 1 at (55, 20)
    cube.show();
    MoveMouse(&cube, QPoint(67, 20)); // cell 2 hot
    const QImage img = Grab(cube);
    EXPECT_EQ(At(img, 0, 0), 0xEEEEEE);
    EXPECT_EQ(At(img, 91, 80), 0xFFFFFF); // centre of the white cell
    EXPECT_EQ(At(img, 103, 80), 0xFFCCFF); // cell 65
    // Cell 2 (colour 0x996633): a red outline at half width 5, a white one at 4.
    EXPECT_EQ(At(img, 67 - 5, 20), clRed);
    EXPECT_EQ(At(img, 67 - 4, 20), clWhite);
    EXPECT_EQ(At(img, 67, 20), 0x996633);
    // Cell 1 is selected: black outline instead of red.
    EXPECT_EQ(At(img, 55 - 5, 20), clBlack);
    EXPECT_EQ(At(img, 55 + 4, 20), clWhite);
    // The top point of an unmarked cell is its own colour.
    EXPECT_EQ(At(img, 91, 74), 0xFFFFFF);
    // Between the hexagons: background.
    EXPECT_EQ(At(img, 61, 13), 0xEEEEEE);
}

TEST(ColorCube, HotSelectedCellLooksSelected)
{
    TExtColorCubePanel cube;
    cube.ResetHotCell();
    cube.SetSelectedColor(0xFFFFFF);
    cube.show();
    MoveMouse(&cube, QPoint(91, 80));
    const QImage img = Grab(cube);
    EXPECT_EQ(At(img, 91 - 5, 80), clBlack);
    EXPECT_EQ(At(img, 91 + 5, 80), clBlack);
}

// ---- Spectrum --------------------------------------------------------------

TEST(ColorSpectrum, PictureRule)
{
    const QImage& pic = SpectrumPicture();
    ASSERT_EQ(pic.size(), QSize(128, 128));
    EXPECT_EQ(pic.depth(), 24);
    // Corners: white above, black below.
    EXPECT_EQ(SpectrumColorAt(0, 0), clWhite);
    EXPECT_EQ(SpectrumColorAt(127, 0), clWhite);
    EXPECT_EQ(SpectrumColorAt(0, 127), clBlack);
    EXPECT_EQ(SpectrumColorAt(127, 127), clBlack);
    // The middle row: pure red at the left, cyan half-way.
    EXPECT_EQ(SpectrumColorAt(0, 64), clRed);
    EXPECT_EQ(SpectrumColorAt(64, 64), clAqua);
    EXPECT_EQ(SpectrumColorAt(128, 64), clNone);
    // Along the middle row the hue grows from red through yellow, green,
    // cyan, blue and magenta back towards red, fully saturated and bright.
    int lastHue = -1;
    bool seen[6] = {};
    for (int x = 0; x < 128; ++x) {
        const QColor c = ColorToQColor(SpectrumColorAt(x, 64));
        EXPECT_EQ(c.hsvSaturation(), 255) << x;
        EXPECT_EQ(c.value(), 255) << x;
        EXPECT_GE(c.hsvHue(), lastHue) << x;
        lastHue = c.hsvHue();
        for (int k = 0; k < 6; ++k)
            if (std::abs(c.hsvHue() - 60 * k) <= 2) seen[k] = true;
    }
    EXPECT_GT(lastHue, 350);
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(seen[k]) << "hue " << 60 * k;
    // Each column fades to white upwards and to black downwards.
    for (int x : {0, 21, 43, 64, 85, 107, 127}) {
        int lastSat = -1, lastVal = 256;
        for (int y = 0; y <= 64; ++y) {
            const int s = ColorToQColor(SpectrumColorAt(x, y)).hsvSaturation();
            EXPECT_GE(s, lastSat) << x << "," << y;
            lastSat = s;
        }
        for (int y = 64; y < 128; ++y) {
            const int v = ColorToQColor(SpectrumColorAt(x, y)).value();
            EXPECT_LE(v, lastVal) << x << "," << y;
            lastVal = v;
        }
    }
}

TEST(ColorSpectrum, ArrangeGeometry)
{
    const TSpectrumLayout l = SpectrumLayout(150, 128, 128);
    EXPECT_EQ(l.Image, Rect(11, 10, 139, 138));
    EXPECT_EQ(l.Selected, Rect(10, 146, 73, 166));
    EXPECT_EQ(l.Hot, Rect(77, 146, 140, 166));
    // An odd spare width is cut towards zero.
    EXPECT_EQ(SpectrumLayout(151, 128, 128).Image.Left, 11);

    TExtColorSpectrumPanel panel;
    panel.ArrangeSpectrum();
    EXPECT_EQ(panel.size(), QSize(150, 174));
    EXPECT_EQ(panel.ImageRect(), l.Image);
    EXPECT_EQ(panel.SelectedRect(), l.Selected);
    EXPECT_EQ(panel.HotRect(), l.Hot);
    EXPECT_EQ(panel.HotColor(), clNone);
    EXPECT_EQ(panel.SelectedColor(), clWhite);
}

TEST(ColorSpectrum, PaintsFramesAndSwatches)
{
    TExtColorSpectrumPanel panel;
    panel.SetColor(0xEEEEEE);
    panel.SetSelectedColor(clRed);
    panel.ArrangeSpectrum();
    panel.show();
    QImage img = Grab(panel);
    // The picture itself, then a white and a grey frame around it.
    EXPECT_EQ(At(img, 11, 10), clWhite);
    EXPECT_EQ(At(img, 11, 74), clRed);
    EXPECT_EQ(At(img, 11, 137), clBlack);
    EXPECT_EQ(At(img, 10, 74), clWhite);
    EXPECT_EQ(At(img, 139, 74), clWhite);
    EXPECT_EQ(At(img, 9, 74), clGray);
    EXPECT_EQ(At(img, 140, 74), clGray);
    EXPECT_EQ(At(img, 74, 139), clGray);
    EXPECT_EQ(At(img, 8, 74), 0xEEEEEE);
    // Selected swatch: grey frame, white outline, red inside.
    EXPECT_EQ(At(img, 9, 156), clGray);
    EXPECT_EQ(At(img, 10, 156), clWhite);
    EXPECT_EQ(At(img, 40, 156), clRed);
    EXPECT_EQ(At(img, 72, 165), clWhite);
    EXPECT_EQ(At(img, 73, 156), clGray);
    // Hot swatch without a colour: only outlines, the background shows.
    EXPECT_EQ(At(img, 76, 156), clGray);
    EXPECT_EQ(At(img, 77, 156), clWhite);
    EXPECT_EQ(At(img, 100, 156), 0xEEEEEE);
    EXPECT_EQ(At(img, 140, 156), clGray);
}

TEST(ColorSpectrum, HotColourIsReadFromThePictureAndAClickSelectsIt)
{
    TExtColorSpectrumPanel panel;
    panel.ArrangeSpectrum();
    panel.show();
    int selects = 0, hides = 0;
    panel.OnSelect = [&](QObject* s) {
        EXPECT_EQ(s, &panel);
        ++selects;
    };
    panel.FOnShouldHide = [&](QObject*) { ++hides; };
    QWidget* image = panel.SpectrumImage();

    MoveMouse(image, QPoint(64, 64));
    EXPECT_EQ(panel.HotColor(), clAqua);
    QImage img = Grab(panel);
    EXPECT_EQ(At(img, 100, 156), clAqua);

    MoveMouse(image, QPoint(5, 100));
    EXPECT_EQ(panel.HotColor(), SpectrumColorAt(5, 100));
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(0, 64));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(panel.SelectedColor(), clRed);
    EXPECT_EQ(panel.HotColor(), clRed);
    img = Grab(panel);
    EXPECT_EQ(At(img, 40, 156), clRed);
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(0, 64));
    EXPECT_EQ(hides, 1);
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(hides, 2);
    // A new arrangement forgets the hot colour.
    panel.ArrangeSpectrum();
    EXPECT_EQ(panel.HotColor(), clNone);
}

TEST(ColorSpectrum, TheImageWearsTheEyedropper)
{
    const QImage pic = EyedropperImage();
    ASSERT_EQ(pic.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(pic.pixel(1, 30)), 255);   // the tip is the hot spot
    EXPECT_EQ(qAlpha(pic.pixel(30, 30)), 0);    // lower right is clear
    EXPECT_EQ(EyedropperCursor().hotSpot(), QPoint(1, 30));
    TExtColorSpectrumPanel panel;
    EXPECT_EQ(panel.SpectrumImage()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(panel.SpectrumImage()->cursor().hotSpot(), QPoint(1, 30));
}

// ---- Colour boxes ------------------------------------------------------------

TEST(ColorBoxes, DefaultPaletteLayout)
{
    TCustomColorSelector sel;
    sel.AddDefaultColorBoxes();
    ASSERT_EQ(sel.Items().Count(), 60);
    sel.LayoutItems();
    EXPECT_EQ(sel.size(), QSize(165, 84));
    struct Case {
        int index;
        TRect r;
        TColor color;
        TItemPos pos;
    } cases[] = {
        {0, Rect(4, 4, 16, 16), 0xFFFFFF, TItemPos::ipStandAlone},
        {9, Rect(148, 4, 160, 16), 0x4696F7, TItemPos::ipStandAlone},
        // One gap after the first row only.
        {10, Rect(4, 20, 16, 32), 0xF2F2F2, TItemPos::ipTop},
        {21, Rect(20, 32, 32, 44), 0x595959, TItemPos::ipMiddle},
        {40, Rect(4, 56, 16, 68), 0xA5A5A5, TItemPos::ipMiddle},
        {59, Rect(148, 68, 160, 80), 0x064897, TItemPos::ipBottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(sel.GetItemRect(c.index), c.r);
        EXPECT_EQ(sel.Items().GetItem(c.index)->Color(), c.color);
        EXPECT_EQ(sel.Items().GetItem(c.index)->ColorBoxPos(), c.pos);
    }
    EXPECT_EQ(sel.GetItemRect(60), Rect(-1, -1, -1, -1));
    EXPECT_EQ(sel.GetItemRect(-1), Rect(-1, -1, -1, -1));
    // Hit test: right and bottom edges lie outside.
    EXPECT_EQ(sel.ItemAtPos(4, 4), 0);
    EXPECT_EQ(sel.ItemAtPos(15, 15), 0);
    EXPECT_EQ(sel.ItemAtPos(16, 4), -1);
    EXPECT_EQ(sel.ItemAtPos(4, 18), -1);
    EXPECT_EQ(sel.ItemAtPos(20, 32), 21);
    EXPECT_EQ(sel.ItemAtPos(159, 79), 59);
}

TEST(ColorBoxes, LayoutRules)
{
    using enum TItemPos;
    const TRect area{4, 4, 0, 0};
    // No boxes: 100 x 50.
    TColorBoxLayout l = LayoutColorBoxes({}, 10, 4, 12, 12, area);
    EXPECT_EQ(l.Width, 100);
    EXPECT_EQ(l.Height, 50);
    TCustomColorSelector empty;
    empty.LayoutItems();
    EXPECT_EQ(empty.size(), QSize(100, 50));
    // A stand-alone box anywhere in a row gaps that row from the next.
    l = LayoutColorBoxes({ipTop, ipStandAlone, ipMiddle, ipMiddle, ipBottom}, 2, 4, 10, 10, area);
    EXPECT_EQ(l.Rects[2], Rect(4, 18, 14, 28));
    EXPECT_EQ(l.Rects[4], Rect(4, 28, 14, 38));
    EXPECT_EQ(l.Height, 28 + 10 + 4);
    EXPECT_EQ(l.Width, 18 + 10 + 4 + 1);
    // A short last row does not count for the width, nor gaps the rows.
    l = LayoutColorBoxes({ipStandAlone, ipStandAlone, ipStandAlone}, 2, 4, 10, 10, area);
    EXPECT_EQ(l.Rects[2], Rect(4, 18, 14, 28));
    EXPECT_EQ(l.Width, 33);
    EXPECT_EQ(l.Height, 32);

    TCustomColorSelector sel;
    sel.AddDefaultColorBoxes();
    sel.LayoutItems();
    sel.SetColumns(20);
    EXPECT_EQ(sel.size(), QSize(4 + 19 * 16 + 12 + 4 + 1, 4 + 16 + 12 + 12 + 4));
    sel.SetColumnGap(0);
    sel.SetColorBoxWidth(10);
    sel.SetColorBoxHeight(8);
    EXPECT_EQ(sel.GetItemRect(21), Rect(14, 12, 24, 20));
}

TEST(ColorBoxes, SelectionAndSelectedColor)
{
    TCustomColorSelector sel;
    sel.AddDefaultColorBoxes();
    sel.LayoutItems();
    std::vector<int> raised;
    sel.OnItemSelect = [&](QObject* s) {
        EXPECT_EQ(s, &sel);
        raised.push_back(sel.ItemIndex());
    };
    sel.SetItemIndex(3);
    sel.SetItemIndex(3); // again: raises again
    EXPECT_EQ(raised, (std::vector<int>{3, 3}));
    EXPECT_EQ(sel.SelectedColor(), 0x7D491F);
    sel.SetItemIndex(-1);
    EXPECT_EQ(sel.ItemIndex(), -1);
    EXPECT_EQ(raised.size(), 2u);
    EXPECT_EQ(sel.SelectedColor(), 0x7D491F);

    // The first box of a colour: 0x7F7F7F is box 11 and box 50.
    sel.SetSelectedColor(0x7F7F7F);
    EXPECT_EQ(sel.ItemIndex(), 11);
    sel.SetSelectedColor(0x123456);
    EXPECT_EQ(sel.ItemIndex(), -1);
    sel.SetSelectedColor(0xFFFFFF);
    EXPECT_EQ(sel.ItemIndex(), 0);
    sel.SetSelectedColor(clNone);
    EXPECT_EQ(sel.ItemIndex(), -1);

    // Disabled boxes are neither selected nor hot; nor is an index past the end.
    sel.SetItemIndex(5);
    sel.Items().GetItem(6)->SetEnabled(false);
    sel.SetItemIndex(6);
    EXPECT_EQ(sel.ItemIndex(), 5);
    sel.SelectNext();
    EXPECT_EQ(sel.ItemIndex(), 5);
    sel.SetItemIndex(60);
    EXPECT_EQ(sel.ItemIndex(), 5);
    sel.SetItemHot(6);
    EXPECT_EQ(sel.ItemHot(), -1);
    EXPECT_THROW(sel.Items().GetItem(60), Exception);
}

TEST(ColorBoxes, Stepping)
{
    TCustomColorSelector sel;
    sel.SelectFirst();
    sel.SelectNext();
    EXPECT_EQ(sel.ItemIndex(), -1); // no boxes
    sel.AddDefaultColorBoxes();
    sel.LayoutItems();
    sel.SelectPrevious();
    EXPECT_EQ(sel.ItemIndex(), -1);
    sel.SelectNext();
    EXPECT_EQ(sel.ItemIndex(), 0);
    sel.SelectPrevious();
    EXPECT_EQ(sel.ItemIndex(), 0);
    sel.SelectLast();
    EXPECT_EQ(sel.ItemIndex(), 59);
    sel.SelectNext();
    EXPECT_EQ(sel.ItemIndex(), 59);
    sel.HotPrevious();
    EXPECT_EQ(sel.ItemHot(), -1);
    sel.HotNext();
    sel.HotNext();
    EXPECT_EQ(sel.ItemHot(), 1);
    sel.HotPrevious();
    EXPECT_EQ(sel.ItemHot(), 0);
    // A new layout clears the hot box.
    sel.LayoutItems();
    EXPECT_EQ(sel.ItemHot(), -1);
}

TEST(ColorBoxes, HandleKeyTable)
{
    struct Case {
        int start;
        int key;
        bool editorEnabled;
        bool dropped;
        int expected;
    } cases[] = {
        // Open: up and down step a whole row.
        {3, VK_UP, false, true, 3},
        {3, VK_DOWN, false, true, 13},
        {-1, VK_UP, false, true, 0},
        {-1, VK_DOWN, false, true, 0},
        {55, VK_DOWN, false, true, 55},
        {13, VK_UP, false, true, 3},
        // Closed: up and down step one box.
        {3, VK_UP, false, false, 2},
        {3, VK_DOWN, false, false, 4},
        {-1, VK_UP, false, false, -1},
        {-1, VK_DOWN, false, false, 0},
        // Left and right, except closed with the editor enabled.
        {3, VK_LEFT, false, false, 2},
        {3, VK_RIGHT, false, true, 4},
        {3, VK_LEFT, true, false, 3},
        {3, VK_RIGHT, true, false, 3},
        {3, VK_RIGHT, true, true, 4},
        {20, VK_PRIOR, false, false, 0},
        {20, VK_HOME, false, true, 0},
        {20, VK_NEXT, false, false, 59},
        {20, VK_END, false, true, 59},
        // Other keys do nothing.
        {3, VK_RETURN, false, true, 3},
        {3, VK_INSERT, false, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " key " << c.key << " editor " << c.editorEnabled
                                        << " open " << c.dropped);
        TCustomColorSelector sel;
        sel.AddDefaultColorBoxes();
        sel.LayoutItems();
        sel.SetItemIndex(c.start);
        sel.HandleKey(c.key, c.editorEnabled, c.dropped);
        EXPECT_EQ(sel.ItemIndex(), c.expected);
    }
    TCustomColorSelector disabled;
    disabled.AddDefaultColorBoxes();
    disabled.setEnabled(false);
    disabled.HandleKey(VK_DOWN, false, false);
    EXPECT_EQ(disabled.ItemIndex(), -1);
}

TEST(ColorBoxes, ItemColorStyleResetsTheAppearance)
{
    TCustomColorSelector sel;
    EXPECT_EQ(sel.ItemColorStyle(), TSelectionColorStyle::scOffice2007);
    TColorBoxAppearance& a = sel.ColorBoxAppearance();
    EXPECT_EQ(a.BorderColor(), 0xC5C5C5);
    a.SetBorderColor(0x111111);
    a.SetInnerBorderColorSelected(0x222222);
    sel.SetItemColorStyle(TSelectionColorStyle::scOffice2007); // same: nothing
    EXPECT_EQ(a.BorderColor(), 0x111111);
    sel.SetItemColorStyle(TSelectionColorStyle::scCustom);
    EXPECT_EQ(a.BorderColor(), 0x111111);
    sel.SetItemColorStyle(TSelectionColorStyle::scWindows7);
    EXPECT_EQ(a.BorderColor(), 0xC5C5C5);
    EXPECT_EQ(a.OuterBorderColorHot(), 0x3694F2);
    EXPECT_EQ(a.InnerBorderColorHot(), 0x94E2FF);
    EXPECT_EQ(a.OuterBorderColorSelected(), 0x0000FF);
    EXPECT_EQ(a.InnerBorderColorSelected(), 0x94E2FF);
}

TEST(ColorBoxes, ItemsAssignAndNotify)
{
    TCustomColorSelector a, b;
    a.AddDefaultColorBoxes();
    int changes = 0;
    b.Items().FOnChange = [&](QObject* owner) {
        EXPECT_EQ(owner, &b);
        ++changes;
    };
    b.SetItems(a.Items());
    ASSERT_EQ(b.Items().Count(), 60);
    EXPECT_EQ(b.Items().GetItem(59)->Color(), 0x064897);
    EXPECT_EQ(b.Items().GetItem(59)->ColorBoxPos(), TItemPos::ipBottom);
    const int afterAssign = changes;
    b.Items().GetItem(0)->SetColor(0xFFFFFF); // same colour: no notification
    EXPECT_EQ(changes, afterAssign);
    b.Items().GetItem(0)->SetColor(0x010101);
    EXPECT_EQ(changes, afterAssign + 1);
    EXPECT_EQ(b.Items().GetItem(0)->Index(), 0);
}

TEST(ColorBoxes, PaintsBoxesAndBorderLines)
{
    TCustomColorSelector sel;
    sel.SetColor(0xEEEEEE);
    sel.AddDefaultColorBoxes();
    sel.LayoutItems();
    sel.SetItemIndex(1); // black, stand-alone
    sel.SetItemHot(2);
    sel.show();
    const QImage img = Grab(sel);
    const TColor border = 0xC5C5C5;
    // Box 0, white stand-alone: fill and a frame along its right and bottom
    // coordinates, a 3-pixel gap below it.
    EXPECT_EQ(At(img, 10, 10), clWhite);
    EXPECT_EQ(At(img, 4, 10), border);
    EXPECT_EQ(At(img, 10, 4), border);
    EXPECT_EQ(At(img, 16, 10), border);
    EXPECT_EQ(At(img, 10, 16), border);
    EXPECT_EQ(At(img, 10, 18), 0xEEEEEE);
    // Boxes 10 (top), 20 (middle) and 50 (bottom) join into one column: the
    // right line runs on, the top and bottom lines are only at its ends.
    EXPECT_EQ(At(img, 10, 20), border);
    EXPECT_EQ(At(img, 10, 32), 0xD8D8D8); // box 20's fill, no line between
    EXPECT_EQ(At(img, 16, 31), border);
    EXPECT_EQ(At(img, 16, 32), border);
    EXPECT_EQ(At(img, 16, 79), border);
    EXPECT_EQ(At(img, 10, 80), border);
    EXPECT_EQ(At(img, 16, 80), border); // one past the bottom
    EXPECT_EQ(At(img, 10, 81), 0xEEEEEE);
    // Selected box 1 (20..32): red outer, light inner outline, black inside.
    EXPECT_EQ(At(img, 20, 10), 0x0000FF);
    EXPECT_EQ(At(img, 31, 10), 0x0000FF);
    EXPECT_EQ(At(img, 21, 10), 0x94E2FF);
    EXPECT_EQ(At(img, 25, 10), clBlack);
    // Hot box 2 (36..48).
    EXPECT_EQ(At(img, 36, 10), 0x3694F2);
    EXPECT_EQ(At(img, 37, 10), 0x94E2FF);
    EXPECT_EQ(At(img, 42, 10), 0xE1ECEE);
}

TEST(ColorBoxes, MouseSelectsAndTracksTheHotBox)
{
    TCustomColorSelector sel;
    sel.AddDefaultColorBoxes();
    sel.LayoutItems();
    sel.show();
    int raised = 0;
    sel.OnItemSelect = [&](QObject*) { ++raised; };
    MoveMouse(&sel, QPoint(25, 25));
    EXPECT_EQ(sel.ItemHot(), 11);
    MoveMouse(&sel, QPoint(2, 2));
    EXPECT_EQ(sel.ItemHot(), -1);
    MoveMouse(&sel, QPoint(25, 25));
    Leave(&sel);
    EXPECT_EQ(sel.ItemHot(), -1);
    sel.Items().GetItem(12)->SetEnabled(false);
    MoveMouse(&sel, QPoint(25, 25));
    MoveMouse(&sel, QPoint(41, 25)); // disabled box 12: no box is hot
    EXPECT_EQ(sel.ItemHot(), -1);
    QTest::mouseClick(&sel, Qt::LeftButton, {}, QPoint(41, 25));
    EXPECT_EQ(sel.ItemIndex(), -1);
    QTest::mouseClick(&sel, Qt::LeftButton, {}, QPoint(25, 25));
    EXPECT_EQ(sel.ItemIndex(), 11);
    EXPECT_EQ(sel.SelectedColor(), 0x7F7F7F);
    EXPECT_EQ(raised, 1);
    QTest::mouseClick(&sel, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(sel.ItemIndex(), 11);
}
