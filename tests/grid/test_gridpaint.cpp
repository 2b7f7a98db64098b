// Painting of the string grid: looks and styles as tables, the visual
// properties of a cell, and pixel probes of painted grids (DejaVu Sans at 96
// dpi, antialiasing off, explicit colours).
#include "controls/ExtUtilDraw.h"
#include "grid/ExtGrid.h"
#include "PaintedGrid.h"
#include "platform/GridsWidget.h"

#include <QDir>
#include <QPalette>
#include <QWidget>
#include <QFontMetrics>
#include <QPainter>
#include <QSet>
#include <gtest/gtest.h>

using enum TGridLook;
using enum TCellType;
using enum TControlStyle;

namespace {

// A grid of 5 x 6 cells, 60 x 22 pixels each, one fixed row and column,
// explicit colours.
struct PaintGrid : ::testing::Test {
    TExtStringGrid g;
    void SetUp() override
    {
        g.Font = TestFont();
        TCellFont ff{TestFont(), clBlack};
        g.SetFixedFont(ff);
        g.FontColor = clBlack;
        g.SetColCount(5);
        g.SetRowCount(6);
        g.SetDefaultColWidth(60);
        g.SetDefaultRowHeight(22);
        for (int c = 0; c < 5; ++c) g.SetColWidths(c, 60);
        for (int r = 0; r < 6; ++r) g.SetRowHeights(r, 22);
        g.SetClientSize(320, 150);
        g.Color = clWhite;
        g.SetGridLineColor(clSilver);
    }
    QImage Shot() { return PaintShot(g); }
    // Saves a picture for a person to look at when KR_SCREENSHOT_DIR is set.
    void Keep(const QImage& img, const QString& name)
    {
        const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
        if (!dir.isEmpty()) img.save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }
};

// Pixels of r (right and bottom excluded) in the colour.
int Count(const QImage& img, const TRect& r, TColor color)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += At(img, x, y) == ColorToRGB(color);
    return n;
}

// The bounding box of the pixels of r that are not the background colour.
TRect InkBox(const QImage& img, const TRect& r, TColor background)
{
    TRect box{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (At(img, x, y) != ColorToRGB(background)) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

// The inside of a cell of the fixture (grid lines left out).
TRect Inside(int c, int r) { return {c * 60 + 1, r * 22 + 1, c * 60 + 58, r * 22 + 20}; }

} // namespace

TEST_F(PaintGrid, Pictures)
{
    g.SetCells(1, 0, "Name");
    g.SetCells(2, 0, "Value");
    g.SetCells(1, 1, "alpha");
    g.SetCells(2, 1, "12.5");
    g.SetCells(1, 2, "a long text that does not fit");
    g.SetOptions(g.Options().With(goEditing));
    g.AddCheckBoxColumn(3, false, false);
    g.SetCheckBoxState(3, 2, true);
    g.SetCells(3, 0, "On");
    // Every look paints the text of its cells, and the looks do not all share
    // one header face.
    QSet<QRgb> faces;
    for (TGridLook look : {glStandard, glSoft, glClassic, glStudio, glXP, glListView, glVista, glWin7, glOffice2007}) {
        g.SetLook(look);
        QString name;
        LookToIdent(look, name);
        const QImage img = Shot();
        Keep(img, name);
        const TRect text = InkBox(img, Inside(1, 1), At(img, Inside(1, 1).Right - 2, Inside(1, 1).Bottom - 2));
        EXPECT_LT(text.Left, text.Right) << name.toStdString();
        faces.insert(img.pixel(Inside(2, 0).Right - 3, Inside(2, 0).Top + 3));
    }
    EXPECT_GT(faces.size(), 1);
}

// ---------------------------------------------------------------------------
// Looks and styles as tables

TEST(GridLooks, IdentsAndCaptions)
{
    const std::pair<TGridLook, std::pair<const char*, const char*>> cases[] = {
        {glStandard, {"glStandard", "Standard"}}, {glSoft, {"glSoft", "Soft"}},
        {glClassic, {"glClassic", "Classic"}},    {glStudio, {"glStudio", "Studio"}},
        {glXP, {"glXP", "Windows XP"}},           {glListView, {"glListView", "ListView"}},
        {glVista, {"glVista", "Windows Vista"}},  {glWin7, {"glWin7", "Windows 7"}},
        {glOffice2007, {"glOffice2007", "Office2007"}}};
    for (const auto& [look, names] : cases) {
        QString ident, caption;
        LookToIdent(look, ident);
        LookToCaption(look, caption);
        EXPECT_EQ(ident, names.first);
        EXPECT_EQ(caption, names.second);
    }
    QString kept = QStringLiteral("before");
    LookToIdent(glCustom, kept);
    LookToCaption(glCustom, kept);
    EXPECT_EQ(kept, "before");
}

TEST(GridLooks, LookSetterWritesItsColourSet)
{
    TExtStringGrid g;
    g.SetLook(glStudio);
    EXPECT_EQ(g.ControlLook().FixedGradientTo(), clSilver);
    EXPECT_EQ(g.SelectionColor(), TColor(0xEACAB6));
    EXPECT_EQ(g.StudioGradientHoverFrom, TColor(0xCFD0D1));
    EXPECT_EQ(g.StudioGradientDownMirrorTo, TColor(0x627376));
    EXPECT_EQ(g.GridLineColor(), clSilver);
    g.SetLook(glXP);
    EXPECT_EQ(g.ControlLook().FixedGradientTo(), clBtnFace);
    EXPECT_EQ(g.StudioGradientTo(), ColorToRGB(clBtnFace));
    // The same look again changes nothing.
    g.SetSelectionColor(0x123456);
    g.SetLook(glXP);
    EXPECT_EQ(g.SelectionColor(), TColor(0x123456));
    // glCustom keeps every colour; back to glXP resets the gradients.
    g.SetStudioGradientFrom(0x010203);
    g.SetLook(glCustom);
    EXPECT_EQ(g.StudioGradientFrom(), TColor(0x010203));
    EXPECT_EQ(g.SelectionColor(), TColor(0x123456));
    g.SetLook(glXP);
    EXPECT_EQ(g.StudioGradientFrom(), ColorToRGB(clWhite));
    EXPECT_EQ(g.SelectionColor(), TColor(0xEACAB6));
    g.SetLook(glStandard);
    EXPECT_EQ(g.SelectionColor(), clHighlight);
    EXPECT_EQ(g.SelectionTextColor(), clHighlightText);
    EXPECT_EQ(g.FixedColor, clBtnFace);
    EXPECT_EQ(g.BorderColor(), TColor(0xB99D7F));
    g.SetLook(glVista);
    EXPECT_EQ(g.SelectionStyle(), TGridSelectionStyle::ssVista);
    EXPECT_EQ(g.GridFixedLineColor(), TColor(0xD4D2D1));
}

TEST(GridLooks, StyleTable)
{
    struct Case {
        TExtGridStyle style;
        TGridLook look;
        TColor from, to, active, selection, line, fixedLine;
    };
    using enum TExtGridStyle;
    const Case cases[] = {
        {gsOffice2003Blue, glXP, 0xFCE1CB, 0xE0A57D, 0x94E6FB, 0x94E6FB, 0xC0C0C0, 0x808080},
        {gsOffice2003Olive, glXP, 0xCFF0EA, 0x8CC0B1, 0x94E6FB, 0x94E6FB, 0xC0C0C0, 0x808080},
        {gsOffice2003Classic, glXP, 0xFFFFFF, 0xCCD4D8, 0xD8D5D4, clHighlight, 0xC0C0C0, 0x808080},
        {gsOffice2007Luna, glOffice2007, 0xFBF9F6, 0xE8DBD2, 0x9DD8F9, 0x5EC1F1, 0xF1EDEB, 0xD1BBA4},
        {gsOffice2007Obsidian, glOffice2007, 0xF7F7F7, 0xDEDEDE, 0x9DD8F9, 0x5EC1F1, 0xE5D7D0, 0x808080},
        {gsWindowsVista, glVista, 0xFFFFFF, 0xFFFFFF, 0xFDF8F1, 0xEACAB6, 0xECECF0, 0xD4D2D1},
        {gsWindows7, glWin7, 0xFDFCFA, 0xFAF0E6, 0xFCEBDC, 0xEACAB6, 0xECECF0, 0xD4D2D1},
        {gsOffice2010Blue, glOffice2007, 0xF5E7DA, 0xF5E7DA, 0x5BD5FF, 0xFFDBB7, 0xC0C0C0, 0xC7B0A0},
        {gsOffice2010Black, glOffice2007, 0x6A6A6A, 0x6A6A6A, 0x5BD5FF, 0xFFDBB7, 0xC0C0C0, 0x444444},
        {gsOffice2003Silver, glXP, 0xECE2E1, 0xB39698, 0x94E6FB, 0x94E6FB, 0xC0C0C0, 0x808080},
        {gsOffice2007Silver, glOffice2007, 0xF3F3F1, 0xCAC9C8, 0x99CCFF, 0x95C7F5, 0xE5D7D0, 0x808080},
        {gsOffice2010Silver, glOffice2007, 0xE8E3DF, 0xE8E3DF, 0x5BD5FF, 0xFFDBB7, 0xC0C0C0, 0xBAB5B1},
        {gsWindowsXP, glXP, ColorToRGB(clBtnFace), ColorToRGB(clBtnFace), clBtnFace, clHighlight,
         0xC0C0C0, 0x808080},
        // Whidbey keeps the look; Terminal keeps the colours of the default look.
        {gsWhidbey, glXP, 0xFFFFFF, ColorToRGB(clBtnFace), 0x94E6FB, clHighlight, 0xC0C0C0, 0x808080},
        {gsTerminal, glStandard, ColorToRGB(clBtnFace), clNone, clGray, clHighlight, clSilver, clGray},
    };
    for (const Case& k : cases) {
        TExtStringGrid g;
        g.SetStyle(k.style);
        SCOPED_TRACE(int(k.style));
        EXPECT_EQ(g.Look(), k.look);
        EXPECT_EQ(g.StudioGradientFrom(), k.from);
        EXPECT_EQ(g.StudioGradientTo(), k.to);
        EXPECT_EQ(g.ActiveCellColor(), k.active);
        EXPECT_EQ(g.SelectionColor(), k.selection);
        EXPECT_EQ(g.GridLineColor(), k.line);
        EXPECT_EQ(g.GridFixedLineColor(), k.fixedLine);
    }
    // Vista: hover, down and sort header colours; 2010: all four sort colours.
    TExtStringGrid v;
    v.SetStyle(gsWindowsVista);
    EXPECT_EQ(v.StudioGradientHoverBorder, TColor(0xE3C993));
    EXPECT_EQ(v.StudioGradientDownBorder, TColor(0xAE904F));
    EXPECT_EQ(v.SortSettings().HeaderMirrorColorTo(), TColor(0xF6ECD8));
    EXPECT_EQ(v.SelectionStyle(), TGridSelectionStyle::ssVista);
    TExtStringGrid o;
    o.SetStyle(gsOffice2010Silver);
    EXPECT_EQ(o.SortSettings().HeaderColor(), TColor(0xAAAAAA));
    EXPECT_EQ(o.SortSettings().HeaderMirrorColorTo(), TColor(0xAAAAAA));
    EXPECT_EQ(o.SearchFooter().ColorTo(), TColor(0xE8E3DF));
    // Custom resets only the selection, the sort header colours and the
    // control look.
    TExtStringGrid c;
    c.SetLook(glCustom);
    c.SetGridLineColor(0x111111);
    c.SetStudioGradientFrom(0x222222);
    c.SetSelectionColor(0x333333);
    c.SortSettings().SetHeaderColor(0x444444);
    c.ControlLook().SetFixedGradientHoverFrom(0x555555);
    c.SetStyle(gsCustom);
    EXPECT_EQ(c.GridLineColor(), TColor(0x111111));
    EXPECT_EQ(c.StudioGradientFrom(), TColor(0x222222));
    EXPECT_EQ(c.SelectionColor(), clHighlight);
    EXPECT_EQ(c.SortSettings().HeaderColor(), clNone);
    EXPECT_EQ(c.ControlLook().FixedGradientHoverFrom(), clGray);
}

TEST(GridLooks, SchemesTonesAndOfficeTheme)
{
    TExtStringGrid g;
    g.SetTheme(TXPColorScheme::xpGreen);
    EXPECT_EQ(g.StudioGradientFrom(), TColor(0xCFF0EA));
    EXPECT_EQ(g.ControlLook().FixedGradientTo(), TColor(0x8CC0B1));
    EXPECT_EQ(g.ActiveCellColorTo(), TColor(0x1595EE));
    g.SetTheme(TXPColorScheme::vistaAero);
    EXPECT_EQ(g.StudioGradientMirrorTo(), TColor(0xF4F2F1));
    EXPECT_EQ(g.SearchFooter().Color(), TColor(0xECE2E1));
    g.SetTheme(TXPColorScheme::xpNone);
    EXPECT_EQ(g.ActiveCellColorTo(), TColor(0xFFD9B3));
    EXPECT_EQ(g.ControlLook().FixedGradientFrom(), clNone);

    TColorTones t;
    t.Background = {0xFFFFFF, 0xCCCCCC, 0x101010};
    t.Foreground = {0x804000, 0x000000, 0xFFFFFF};
    t.Selected = {0x00A0FF, 0x000000, 0x202020};
    g.SetColorTones(t);
    EXPECT_EQ(g.Look(), glClassic);
    EXPECT_TRUE(g.Flat());
    EXPECT_EQ(g.ScrollType(), TScrollType::ssMetro);
    EXPECT_EQ(g.FixedColor, TColor(0x804000));
    EXPECT_EQ(g.FixedFont().Color, TColor(0xFFFFFF));
    EXPECT_EQ(g.SelectionColor(), TColor(0x00A0FF));
    EXPECT_EQ(g.SelectionTextColor(), TColor(0x202020));
    EXPECT_EQ(g.GridFixedLineColor(), ScaleColorPercent(0x804000, -20));
    EXPECT_EQ(g.ControlLook().ControlStyle(), csGlyph);
    EXPECT_FALSE(g.ControlLook().CheckedGlyph().isNull());
    EXPECT_EQ(g.CellNode().NodeType(), TNodeType::cnFlat);
    // A style other than custom leaves the touch scroll type.
    g.SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(g.ScrollType(), TScrollType::ssNormal);
    EXPECT_EQ(g.Look(), glOffice2007);
    g.UpdateOfficeTheme(ot2003Olive);
    EXPECT_EQ(g.ComponentStyle(), tsOffice2003Olive);
    g.SetComponentStyle(tsWindowsXP);
    g.UpdateOfficeTheme(ot2003Olive); // unchanged theme: nothing
    EXPECT_EQ(g.ComponentStyle(), tsWindowsXP);
}

TEST(GridLooks, SelectionMixer)
{
    EXPECT_EQ(MixColors(0xFF0000, 0x0000FF, 50), TColor(0x800080));
    EXPECT_EQ(MixColors(0xFF0000, 0x0000FF, 100), TColor(0xFF0000));
    EXPECT_EQ(MixColors(0xFF0000, 0x0000FF, 0), TColor(0x0000FF));
    EXPECT_EQ(MixColors(clNone, 0x0000FF, 50), TColor(0x0000FF));
    EXPECT_EQ(MixColors(0xFF0000, clNone, 50), TColor(0xFF0000));
    EXPECT_EQ(MixColors(0x000000, 0x0000FF, 25), TColor(0x0000BF));
}

// ---------------------------------------------------------------------------
// Visual properties without pixels

TEST_F(PaintGrid, VisualPropertiesOfFixedCellsBandsAndProperties)
{
    g.SetLook(glXP);
    TCellFont fixedFont{TestFont(), 0x0000AA};
    g.SetFixedFont(fixedFont);
    g.FixedColor = 0x00CCCC;
    auto look = [this](int c, int r) {
        TVisualProperties vp;
        vp.Select = true;
        g.GetVisualProperties(c, r, vp);
        return vp;
    };
    // A fixed cell with its own brush and a bitmap graphic: the fixed face
    // (the colour hook still gives it the cell's font colour); without the
    // graphic: its own brush and font.
    g.SetColors(0, 2, 0x112233);
    g.SetFontColors(0, 2, 0x445566);
    QImage bmp(4, 4, QImage::Format_RGB32);
    g.AddBitmap(0, 2, &bmp, false, TCellHAlign::haLeft, TCellVAlign::vaTop);
    TVisualProperties vp = look(0, 2);
    EXPECT_EQ(vp.Brush.Color, g.StudioGradientFrom());
    EXPECT_EQ(vp.ColorTo, g.StudioGradientTo());
    EXPECT_TRUE(vp.State.Contains(gdFixed));
    g.RemoveBitmap(0, 2);
    vp = look(0, 2);
    EXPECT_EQ(vp.Brush.Color, TColor(0x112233));
    EXPECT_EQ(vp.Font.Color, TColor(0x445566));
    // Bands: primary and secondary rows; TotalLength 0 colours nothing.
    g.Bands().SetPrimaryColor(0x0000F0);
    g.Bands().SetSecondaryColor(0x00F000);
    g.Bands().SetActive(true);
    EXPECT_EQ(look(3, 1).Brush.Color, TColor(0x0000F0));
    EXPECT_EQ(look(3, 2).Brush.Color, TColor(0x00F000));
    g.Bands().SetPrimaryLength(0);
    g.Bands().SetSecondaryLength(0);
    EXPECT_EQ(look(3, 2).Brush.Color, g.Color);
    // Alignment: the property's, then the hook's.
    g.SetAlignments(3, 3, taRightJustify);
    EXPECT_EQ(look(3, 3).HAlign, taRightJustify);
    g.OnGetAlignment = [](TExtStringGrid*, int, int, TAlignment& ha, TVAlignment& va) {
        ha = taCenter;
        va = vtaBottom;
    };
    vp = look(3, 3);
    EXPECT_EQ(vp.HAlign, taCenter);
    EXPECT_EQ(vp.VAlign, vtaBottom);
}

TEST_F(PaintGrid, VisualPropertiesOfTheSelection)
{
    g.SetSelectionColor(0xFF0000);
    g.SetSelectionTextColor(0x00FFFF);
    g.SetSelection({2, 2, 3, 3});
    TVisualProperties vp;
    g.GetVisualProperties(2, 3, vp);
    EXPECT_EQ(vp.Brush.Color, TColor(0xFF0000));
    EXPECT_EQ(vp.Font.Color, TColor(0x00FFFF));
    EXPECT_TRUE(vp.State.Contains(gdSelected));
    // Not asked for the selection, or printing: the cell's own colours.
    TVisualProperties plain;
    plain.Select = false;
    g.GetVisualProperties(2, 3, plain);
    EXPECT_EQ(plain.Brush.Color, g.Color);
    // The mixer mixes the selection into a cell's own brush.
    g.SetColors(3, 3, 0x0000FF);
    g.SetSelectionColorMixer(true);
    g.SetSelectionColorMixerFactor(50);
    TVisualProperties mixed;
    g.GetVisualProperties(3, 3, mixed);
    EXPECT_EQ(mixed.Brush.Color, TColor(0x800080));
}

TEST(GridVisualProperties, DisjunctCellPastColumn65535IsSelected)
{
    TExtStringGrid g;
    g.SetColCount(70002);
    g.SetRowCount(4);
    g.MouseActions().SetDisjunctCellSelect(true);
    g.SetSelectionColor(0x00FF00);
    g.SetSelectedCells(70000, 2, true);
    TVisualProperties vp;
    g.GetVisualProperties(70000, 2, vp);
    EXPECT_TRUE(vp.State.Contains(gdSelected));
    EXPECT_EQ(vp.Brush.Color, TColor(0x00FF00));
    // Its namesake in the lower 16 bits is not.
    TVisualProperties other;
    g.GetVisualProperties(70000 & 0xFFFF, 2, other);
    EXPECT_FALSE(other.State.Contains(gdSelected));
}

// ---------------------------------------------------------------------------
// Pixels

TEST_F(PaintGrid, SelectionBandsAndModifiedMark)
{
    g.SetSelectionColor(0xFF0000);
    g.SetSelection({1, 1, 2, 1});
    g.Bands().SetPrimaryColor(0x0000F0);
    g.Bands().SetSecondaryColor(0x00F000);
    g.Bands().SetActive(true);
    g.ShowModified().SetEnabled(true);
    g.ShowModified().SetColor(0x00FFFF);
    g.SetRowModified(3, true);
    const QImage img = Shot();
    Keep(img, QStringLiteral("selection"));
    EXPECT_EQ(At(img, 90, 33), TColor(0xFF0000));  // selected (1, 1)
    EXPECT_EQ(At(img, 150, 33), TColor(0xFF0000)); // selected (2, 1)
    EXPECT_EQ(At(img, 210, 33), TColor(0x0000F0)); // row 1: primary band
    EXPECT_EQ(At(img, 90, 55), TColor(0x00F000));  // row 2: secondary band
    // The mark: the last 4 pixels of column 0 on row 3 only.
    EXPECT_EQ(At(img, 57, 77), TColor(0x00FFFF));
    EXPECT_NE(At(img, 50, 77), TColor(0x00FFFF));
    EXPECT_NE(At(img, 57, 55), TColor(0x00FFFF));
}

TEST_F(PaintGrid, FixedCellFacesPerLook)
{
    // glXP: a vertical gradient white -> button face; glStandard: one
    // colour; glVista: a mirrored face with a white frame.
    g.SetLook(glXP);
    QImage img = Shot();
    const TColor top = At(img, 90, 1), bottom = At(img, 90, 18);
    EXPECT_GE(top & 0xFF, 0xF8u); // near white at the top
    EXPECT_GE((top >> 8) & 0xFF, 0xF8u);
    EXPECT_NE(top, bottom);
    EXPECT_LT(bottom & 0xFF, top & 0xFF); // darker towards the face colour
    g.SetLook(glStandard);
    img = Shot();
    EXPECT_EQ(At(img, 90, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(img, 90, 15), ColorToRGB(clBtnFace));
    g.SetLook(glVista);
    img = Shot();
    EXPECT_EQ(At(img, 90, 3), TColor(0xFFFFFF));
    EXPECT_NE(At(img, 90, 16), TColor(0xFFFFFF));
    // The sort column's header takes the sort colours.
    g.SetLook(glXP);
    g.SortSettings().SetColumn(2);
    g.SortSettings().SetHeaderColor(0x00AA00);
    g.SortSettings().SetHeaderColorTo(clNone);
    g.SortSettings().SetHeaderMirrorColor(clNone);
    g.SortSettings().SetHeaderMirrorColorTo(clNone);
    img = Shot();
    EXPECT_EQ(At(img, 150, 10), TColor(0x00AA00));
    EXPECT_NE(At(img, 90, 10), TColor(0x00AA00));
}

TEST_F(PaintGrid, CommentTriangleRatingAndEmptyProgress)
{
    g.AddComment(2, 2, QStringLiteral("note"));
    g.AddRating(3, 3, 5, 0x0000FF, 0xC0C0C0);
    g.SetColWidths(3, 100);
    g.SetFloats(3, 3, 3.7);
    g.AddProgressFormatted(1, 4, 0x00AA00, clBlack, 0xFFFFFF, clBlack, QStringLiteral("%d"), 5, 5);
    g.SetCells(1, 4, QStringLiteral("5"));
    const QImage img = Shot();
    Keep(img, QStringLiteral("objects"));
    // The comment mark sits in the top-right corner, in the comment colour.
    EXPECT_GT(Count(img, {170, 44, 180, 50}, clRed), 5);
    EXPECT_EQ(Count(img, {120, 44, 160, 66}, clRed), 0);
    // 3.7 of 5: three full stars, one half star, one empty.
    const int x0 = 180 + 2, y0 = 66;
    auto starFill = [&](int i, TColor color) { return Count(img, {x0 + i * 18, y0, x0 + i * 18 + 16, y0 + 20}, color); };
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(starFill(i, 0x0000FF), 40) << i;
        EXPECT_EQ(starFill(i, 0xC0C0C0), 0) << i;
    }
    EXPECT_GT(starFill(3, 0x0000FF), 10);
    EXPECT_GT(starFill(3, 0xC0C0C0), 10);
    EXPECT_EQ(starFill(4, 0x0000FF), 0);
    EXPECT_GT(starFill(4, 0xC0C0C0), 40);
    // A bar whose maximum equals its minimum shows 0 %: no bar colour.
    EXPECT_EQ(Count(img, Inside(1, 4), 0x00AA00), 0);
}

TEST_F(PaintGrid, CheckBoxesInEachControlStyle)
{
    // Cell (2, 2) unchecked and (2, 3) checked, on white, away from the
    // selection; the box is where the style puts it and a tick tells them
    // apart.
    g.SetOptions(g.Options().With(goEditing));
    g.AddCheckBox(2, 2, false, false);
    g.AddCheckBox(2, 3, true, false);
    struct Case {
        TControlStyle style;
        int size;          // the box's side as drawn
        TColor inside;     // a colour inside the unchecked box
    };
    const Case cases[] = {
        {csClassic, 15, clWindow}, {csFlat, 15, clWindow},  {csBorland, 15, clBtnFace},
        {csWinXP, 13, 0xF0F4F4},   {csStudio, 13, 0xFFFFFF}, {csTheme, 15, clWindow},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.style));
        g.ControlLook().SetControlStyle(k.style);
        const QImage img = Shot();
        Keep(img, QStringLiteral("check-%1").arg(int(k.style)));
        const TRect off = InkBox(img, Inside(2, 2), clWhite);
        const TRect on = InkBox(img, Inside(2, 3), clWhite);
        EXPECT_NEAR(off.Width(), k.size, 1);
        EXPECT_NEAR(off.Height(), k.size, 1);
        EXPECT_EQ(At(img, off.Left + k.size / 2, off.Top + k.size / 2), ColorToRGB(k.inside));
        // The checked box has its tick: fewer pixels of the inside colour.
        const TRect onBox{on.Left, on.Top, on.Right, on.Bottom};
        const TRect offBox{off.Left, off.Top, off.Right, off.Bottom};
        EXPECT_LT(Count(img, onBox, k.inside) + 8, Count(img, offBox, k.inside));
    }
    // The glyph style draws the given pictures.
    QImage on(12, 12, QImage::Format_RGB32), off(12, 12, QImage::Format_RGB32);
    on.fill(QColor(0, 0, 200));
    off.fill(QColor(200, 0, 0));
    on.setPixelColor(0, 11, Qt::magenta);
    off.setPixelColor(0, 11, Qt::magenta);
    g.ControlLook().SetCheckedGlyph(on);
    g.ControlLook().SetUnCheckedGlyph(off);
    g.ControlLook().SetControlStyle(csGlyph);
    const QImage img = Shot();
    EXPECT_GT(Count(img, Inside(2, 3), 0xC80000), 100);
    EXPECT_GT(Count(img, Inside(2, 2), 0x0000C8), 100);
}

TEST_F(PaintGrid, FocusRectangleFollowsTheViewsFocus)
{
    g.SetSelectionColor(0xFF0000);
    g.FocusCell(2, 2);
    auto dotted = [](const QImage& img) { return Count(img, {120, 44, 180, 66}, clWindowText); };
    EXPECT_EQ(dotted(Shot()), 0);
    g.SetFocused(true);
    EXPECT_GT(dotted(Shot()), 20);
    g.SetHideFocusRect(true);
    EXPECT_EQ(dotted(Shot()), 0);
    g.SetHideFocusRect(false);
    g.SetOptions(g.Options().With(goRowSelect));
    EXPECT_EQ(dotted(Shot()), 0);
}

TEST_F(PaintGrid, NoDefaultDrawAndDrawOrder)
{
    g.SetOptions(g.Options().With(goEditing));
    g.SetCells(3, 2, QStringLiteral("MMMM"));
    g.AddCheckBox(3, 2, true, false);
    g.ControlLook().SetControlStyle(csBorland);
    std::vector<QString> order;
    g.OnCustomCellBkgDraw = [&](TExtStringGrid*, TCanvas& canvas, int c, int r, TGridDrawState, const TRect& rect, bool) {
        if (c == 3 && r == 2) {
            order.push_back(QStringLiteral("background"));
            FillRectColor(canvas, rect, 0x00FFFF);
        }
    };
    g.OnCustomCellDraw = [&](TExtStringGrid*, TCanvas&, int c, int r, TGridDrawState, const TRect&, bool) {
        if (c == 3 && r == 2) order.push_back(QStringLiteral("custom"));
    };
    QImage img = Shot();
    EXPECT_EQ(order, (std::vector<QString>{"background", "custom"}));
    // The user's background is under the text and the check box.
    EXPECT_GT(Count(img, Inside(3, 2), 0x00FFFF), 200);
    EXPECT_GT(Count(img, Inside(3, 2), clBlack), 20);
    EXPECT_GT(Count(img, Inside(3, 2), clBtnFace), 50);
    const int textInk = Count(img, Inside(3, 2), clBlack);
    // With NoDefaultDraw the text goes, the graphic stays.
    g.SetNoDefaultDraw(true);
    img = Shot();
    EXPECT_LT(Count(img, Inside(3, 2), clBlack), textInk);
    EXPECT_GT(Count(img, Inside(3, 2), clBtnFace), 50);
}

TEST_F(PaintGrid, TextPlacementAgainstMeasuredSizes)
{
    const QFontMetrics fm(TestFont());
    g.SetCells(1, 2, QStringLiteral("Wide"));
    g.SetCells(2, 3, QStringLiteral("Wide"));
    g.SetAlignments(2, 3, taRightJustify);
    g.SetCells(3, 4, QStringLiteral("Wide"));
    g.SetAlignments(3, 4, taCenter);
    const QImage img = Shot();
    const int w = fm.horizontalAdvance(QStringLiteral("Wide"));
    const TRect left = InkBox(img, Inside(1, 2), clWhite);
    const TRect right = InkBox(img, Inside(2, 3), clWhite);
    const TRect centre = InkBox(img, Inside(3, 4), clWhite);
    // Left: XYOffset (2) past the 1-pixel grid line edge; right: the same
    // from the right; centred: the middle of the text rectangle.
    EXPECT_NEAR(left.Left, 60 + 1 + 2, 2);
    EXPECT_NEAR(right.Right, 120 + 60 - 1 - 2, 2);
    EXPECT_NEAR(right.Right - right.Left, w, 3);
    EXPECT_NEAR((centre.Left + centre.Right) / 2, 180 + 30, 2);
    EXPECT_NEAR(left.Top, 44 + 1 + 2 + (fm.ascent() - fm.capHeight()), 2);
    // The measurer sizes the text with the same font.
    EXPECT_EQ(g.GetCellTextSize(1, 2), QSize(w, fm.height()));
    EXPECT_EQ(g.CellMeasurer().GetCellTextSize(1, 2, false), QSize(w, fm.height()));
    EXPECT_EQ(g.CellMeasurer().GetCellLineHeight(1, 2), fm.height());
    // Multiline cells count their lines; only shown columns count, and
    // without Multilinecells every row has one line.
    g.SetCells(4, 1, QStringLiteral("a\r\nb\r\nc"));
    g.SetCells(3, 1, QStringLiteral("1\r\n2\r\n3\r\n4\r\n5"));
    EXPECT_EQ(g.CellMeasurer().MaxLinesInRow(1), 1);
    g.SetMultilinecells(true);
    EXPECT_EQ(g.CellMeasurer().MaxLinesInRow(1), 5);
    g.HideColumn(3);
    EXPECT_EQ(g.CellMeasurer().MaxLinesInRow(1), 3);
    EXPECT_EQ(g.CellMeasurer().MaxLinesInRow(2), 1);
    g.UnHideColumn(3);
    g.SetCells(3, 1, QString());
    EXPECT_EQ(g.GetCellTextSize(4, 1).height(), 3 * fm.height());
}

TEST_F(PaintGrid, EllipsisAndLinks)
{
    g.SetWordWrap(false);
    g.SetEnhTextSize(true);
    g.SetCells(1, 2, QStringLiteral("a long text that does not fit"));
    g.SetURLShow(true);
    g.SetURLColor(0xFF0000);
    g.SetCells(2, 3, QStringLiteral("http://x.io"));
    const QImage img = Shot();
    Keep(img, QStringLiteral("text"));
    // The clipped text stays on one line inside its cell and ends in dots.
    const QFontMetrics fm(TestFont());
    const TRect cut = InkBox(img, Inside(1, 2), clWhite);
    EXPECT_LE(cut.Right, 119);
    EXPECT_LE(cut.Height(), fm.height());
    EXPECT_GE(cut.Right, 110); // filled up to the dots at the end
    // The link: blue and underlined, without its scheme.
    EXPECT_GT(Count(img, Inside(2, 3), 0xFF0000), 20);
    EXPECT_NEAR(InkBox(img, Inside(2, 3), clWhite).Width(), fm.horizontalAdvance(QStringLiteral("x.io")), 2);
}

TEST(GridRotatedText, PlacementPerQuadrantAndAlignment)
{
    // A = 10, B = 20, C = 4, D = 30 in (0, 0, 100, 50): k = (20 + 0 + 10 - 50) / 2 = -10.
    struct Case {
        int angle;
        TAlignment ha;
        TVAlignment va;
        int left, top;
    };
    const Case cases[] = {
        {45, taLeftJustify, vtaTop, 0, 20},    {45, taRightJustify, vtaBottom, 66, 40},
        {45, taCenter, vtaCenter, 33, 30},     {135, taLeftJustify, vtaTop, 30, 30},
        {135, taRightJustify, vtaBottom, 96, 50}, {135, taCenter, vtaCenter, 63, 40},
        {225, taLeftJustify, vtaTop, 34, 10},  {225, taRightJustify, vtaBottom, 100, 30},
        {225, taCenter, vtaCenter, 67, 20},    {315, taLeftJustify, vtaTop, 4, 0},
        {315, taRightJustify, vtaBottom, 70, 20}, {315, taCenter, vtaCenter, 37, 10},
    };
    for (const Case& k : cases) {
        TRect r{0, 0, 100, 50};
        PlaceRotatedText(r, k.ha, k.va, 10, 20, 4, 30, k.angle);
        EXPECT_EQ(r.Left, k.left) << k.angle << " " << int(k.ha);
        EXPECT_EQ(r.Top, k.top) << k.angle << " " << int(k.va);
    }
}

TEST_F(PaintGrid, RotatedCellsMeasureTheirBox)
{
    const QFontMetrics fm(TestFont());
    g.SetCells(1, 1, QStringLiteral("Turn"));
    const int w = fm.horizontalAdvance(QStringLiteral("Turn")), h = fm.height();
    auto rotate = [this](int angle, int c = 1, int r = 1) {
        auto gr = std::make_unique<TCellGraphic>();
        gr->SetAngle(int16_t(angle));
        g.SetGraphicObjectEx(c, r, std::move(gr));
    };
    rotate(90);
    EXPECT_EQ(g.GetCellTextSize(1, 1), QSize(h + 12, w + 12));
    rotate(0);
    EXPECT_EQ(g.GetCellTextSize(1, 1), QSize(w + 12, h + 12));
    // Drawn turned: taller than wide.
    g.SetCells(2, 2, QStringLiteral("Turn"));
    rotate(90, 2, 2);
    g.SetRowHeights(2, 50);
    const QImage img = Shot();
    Keep(img, QStringLiteral("rotated"));
    const TRect ink = InkBox(img, {121, 45, 178, 92}, clWhite);
    EXPECT_GT(ink.Height(), ink.Width());
}

namespace {
// A grid whose rows 1 to 4 are node rows indented by 16 pixels.
class NodeGrid : public TExtStringGrid {
public:
    int GetNodeIndent(int r) override { return r >= 1 && r <= 4 ? 16 : 0; }
};
} // namespace

TEST(GridNodes, NodeBoxesPerNodeType)
{
    NodeGrid g;
    g.Font = TestFont();
    g.SetColCount(3);
    g.SetRowCount(6);
    for (int c = 0; c < 3; ++c) g.SetColWidths(c, 60);
    for (int r = 0; r < 6; ++r) g.SetRowHeights(r, 22);
    g.SetFixedCols(0);
    g.SetClientSize(180, 132);
    g.Color = clWhite;
    auto node = [&g](int r, bool contracted) {
        auto gr = std::make_unique<TCellGraphic>();
        gr->CellType = TCellType::ctNode;
        gr->CellBoolean = contracted;
        g.SetGraphicObjectEx(0, r, std::move(gr));
    };
    node(2, true);
    node(3, false);
    auto shot = [&g] {
        QImage img(180, 132, QImage::Format_RGB32);
        QPainter p(&img);
        g.PaintTo(p);
        return img;
    };
    // The flat box: 9 x 9 at indent - NodeIndent / 2 - 4 + 4 = 10, a plus
    // when contracted and a minus when expanded.
    g.CellNode().SetNodeType(TNodeType::cnFlat);
    g.CellNode().SetColor(clWhite);
    g.CellNode().SetNodeColor(0x0000C0);
    g.CellNode().SetShowTree(false);
    QImage img = shot();
    const int mid2 = 44 + 11, mid3 = 66 + 11;
    EXPECT_EQ(At(img, 10, mid2), TColor(0x0000C0));      // left edge of the box
    EXPECT_EQ(At(img, 14, mid2 - 2), TColor(0x0000C0));  // the plus's upright
    EXPECT_NE(At(img, 14, mid3 - 2), TColor(0x0000C0));  // the minus has none
    EXPECT_EQ(At(img, 14, mid3), TColor(0x0000C0));      // the minus's bar
    // The XP box and the tree line through the node column.
    g.CellNode().SetNodeType(TNodeType::cnXP);
    g.CellNode().SetShowTree(true);
    g.CellNode().SetTreeColor(0x00C000);
    img = shot();
    EXPECT_EQ(At(img, 14, mid2), TColor(0x000000));      // the XP picture's plus
    EXPECT_EQ(At(img, 12, mid2 + 8), TColor(0x00C000));  // the line down to the next node row
    EXPECT_EQ(Count(img, {0, 0, 180, 44}, 0x00C000), 0);
}

TEST_F(PaintGrid, FocusFrameLeavesTheCellUncoveredAndGoesWithTheViewport)
{
    TGridWidget* w = g.Widget();
    w->resize(320, 150);
    const TRect cell = g.CellRect(2, 2);
    g.ShowFocusWindow(cell);
    TGridFocusWindow* frame = g.FocusWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->parentWidget(), w->viewport());
    EXPECT_EQ(frame->geometry(), QRect(cell.Left - 4, cell.Top - 4, cell.Width() + 9, cell.Height() + 9));
    const QRegion mask = frame->mask();
    EXPECT_TRUE(mask.contains(QPoint(1, 1)));
    EXPECT_TRUE(mask.contains(QPoint(cell.Width() + 6, cell.Height() + 6)));
    EXPECT_FALSE(mask.contains(QPoint(4, 4)));
    EXPECT_FALSE(mask.contains(QPoint(cell.Width() + 3, cell.Height() + 3)));
    // A soft ring in the frame colour, drawn at opacity 230.
    EXPECT_EQ(frame->Opacity, 230);
    ASSERT_EQ(frame->Layer.size(), QSize(cell.Width() + 9, cell.Height() + 9));
    const QColor ring = frame->Layer.pixelColor(2, (cell.Height() + 9) / 2);
    ASSERT_GT(ring.alpha(), 40);
    EXPECT_NEAR(ring.red(), 0x97, 3);
    EXPECT_NEAR(ring.green(), 0xD3, 3);
    EXPECT_NEAR(ring.blue(), 0xFD, 3);
    EXPECT_LT(frame->Layer.pixelColor(0, 0).alpha(), ring.alpha()); // softened at the corner
    g.HideFocusWindow();
    EXPECT_FALSE(frame->isVisible());
    // The window goes first: the grid forgets the frame.
    delete w;
    EXPECT_EQ(g.FocusWindow(), nullptr);
}

TEST_F(PaintGrid, BackgroundBelowTheLastRow)
{
    g.SetRowCount(3);
    g.SetLook(glStandard);
    g.SetSelection({4, 1, 4, 1});
    g.BackGround().SetDisplay(TBackGroundDisplay::bdGradientVert);
    g.BackGround().SetColor(0x0000FF);
    g.BackGround().SetColorTo(0xFF0000);
    g.SetColWidths(4, 20);
    g.SetColors(2, 2, 0xFFFFFF);
    QImage img = Shot();
    Keep(img, QStringLiteral("background"));
    // Below the last row (and right of the last column) the gradient; so in
    // the normal cells, at the height of each cell, but not in a cell with
    // its own colour nor in the fixed cells.
    EXPECT_NE(At(img, 100, 140), clWhite);
    EXPECT_NE(At(img, 100, 140), At(img, 100, 80));
    EXPECT_NE(At(img, 300, 30), clWhite);
    EXPECT_EQ(At(img, 150, 55), TColor(0xFFFFFF));
    const TColor inCell = At(img, 100, 55);
    EXPECT_NE(inCell, TColor(0xFFFFFF));
    EXPECT_EQ(At(img, 220, 55), inCell);      // vertical: the same along a line
    EXPECT_NE(At(img, 100, 33), inCell);      // and another one a row higher
    EXPECT_GT(inCell & 0xFF0000, At(img, 100, 33) & 0xFF0000); // bluer further down
    EXPECT_EQ(At(img, 30, 55), ColorToRGB(g.FixedColor));
    // Without "to" colour nothing outside the cells is painted.
    g.BackGround().SetColorTo(clNone);
    img = Shot();
    EXPECT_EQ(At(img, 100, 140), ColorToRGB(g.Color));
    EXPECT_EQ(At(img, 100, 55), ColorToRGB(g.Color));
}

TEST_F(PaintGrid, BackgroundPictureTilesOnAcrossTheCells)
{
    // A 40 x 40 picture: red left half, blue right half. Tiled from the
    // first normal cell, column 2 (starting 60 pixels on) begins in the blue
    // half, 20 pixels into it.
    QImage pic(40, 40, QImage::Format_RGB32);
    pic.fill(QColor(255, 0, 0));
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x) pic.setPixelColor(x, y, QColor(0, 0, 255));
    g.SetLook(glStandard);
    g.BackGround().SetBitmap(pic);
    g.BackGround().SetDisplay(TBackGroundDisplay::bdTile);
    g.SetColors(3, 2, 0x00FF00);
    g.SetSelection({4, 4, 4, 4});
    const QImage img = Shot();
    Keep(img, QStringLiteral("background-tile"));
    const TRect c1 = g.CellRect(1, 2), c2 = g.CellRect(2, 2);
    EXPECT_EQ(At(img, c1.Left + 3, c1.Top + 5), TColor(0x0000FF));  // red at the start
    EXPECT_EQ(At(img, c1.Left + 25, c1.Top + 5), TColor(0xFF0000)); // blue after 20 pixels
    EXPECT_EQ(At(img, c2.Left + 3, c2.Top + 5), TColor(0xFF0000));  // column 2 goes on in blue
    EXPECT_EQ(At(img, c2.Left + 25, c2.Top + 5), TColor(0x0000FF)); // and red again
    EXPECT_EQ(At(img, 30, 30), ColorToRGB(g.FixedColor));            // not in fixed cells
    EXPECT_EQ(At(img, g.CellRect(3, 2).Left + 5, g.CellRect(3, 2).Top + 5), TColor(0x00FF00)); // own colour
    EXPECT_EQ(At(img, g.CellRect(4, 4).Left + 5, g.CellRect(4, 4).Top + 5), ColorToRGB(g.SelectionColor()));
}

TEST_F(PaintGrid, AlwaysVisibleComboButton)
{
    g.SetOptions(g.Options().With(goEditing));
    g.SetCells(2, 2, QStringLiteral("WWWWWWWWWW"));
    g.OnHasComboBox = [](TExtStringGrid*, int c, int r, bool& has) { has = c == 2 && r == 2; };
    QImage img = Shot();
    const int inkWithout = Count(img, {162, 45, 178, 65}, clWhite);
    g.ControlLook().SetDropDownAlwaysVisible(true);
    img = Shot();
    Keep(img, QStringLiteral("combo"));
    // The right 16 pixels hold the button, the text stops before them.
    EXPECT_LT(Count(img, {162, 45, 178, 65}, clWhite), inkWithout - 100);
    EXPECT_EQ(Count(img, {180, 45, 240, 65}, clBtnFace), 0);
}

TEST_F(PaintGrid, SortIndicatorSitsAfterTheTextAndStaysInTheCell)
{
    // A plain header face (no gradient, no edges) and grey parts of the mark
    // that the black text cannot have.
    g.SetLook(glStandard);
    g.SortSettings().SetShow(true);
    g.SortSettings().SetColumn(1);
    g.SetCells(1, 0, QStringLiteral("Ab"));
    g.SetCells(2, 0, QStringLiteral("Ab"));
    const QFontMetrics fm(g.FixedFont().Font);
    const TRect cell = g.CellRect(1, 0);
    // The grey edge of the rising triangle ends at its top point X.
    auto markRight = [&](const QImage& img, int c) {
        int right = -1; // the fixed grid lines, grey as well, left out
        for (int y = 1; y < 20; ++y)
            for (int x = c * 60 + 1; x < c * 60 + 58; ++x)
                if (At(img, x, y) == ColorToRGB(clGray)) right = std::max(right, x);
        return right;
    };
    QImage img = Shot();
    Keep(img, QStringLiteral("sort"));
    EXPECT_EQ(markRight(img, 1), cell.Left + fm.horizontalAdvance(QStringLiteral("Ab")) + 10);
    EXPECT_EQ(markRight(img, 2), -1); // an unsorted column has no mark
    // A long text: the mark stays 16 pixels in from where the text could end.
    g.SetCells(1, 0, QStringLiteral("A header text far wider than its column"));
    img = Shot();
    const int right = markRight(img, 1);
    EXPECT_GT(right, cell.Left + 30);
    EXPECT_LE(right, cell.Right - 16 + 10);
    // A secondary key of the index list shows its place only with IndexShow.
    g.SetCells(1, 0, QStringLiteral("Ab"));
    g.SortIndexes().AddIndex(1, true);
    g.SortIndexes().AddIndex(2, false);
    img = Shot();
    EXPECT_EQ(markRight(img, 2), -1);
    EXPECT_EQ(markRight(img, 3), -1); // not in the list: no mark
    EXPECT_GT(markRight(img, 1), 0);
    g.SortSettings().SetIndexShow(true);
    g.SortSettings().SetIndexColor(0x00FFFF);
    img = Shot();
    Keep(img, QStringLiteral("sort-index"));
    // The descending key: a yellow triangle pointing down, the number 2 on it.
    std::vector<int> yellow; // yellow pixels per line of the header
    for (int y = 0; y < 21; ++y) yellow.push_back(Count(img, {121, y, 178, y + 1}, 0x00FFFF));
    const auto first = std::find_if(yellow.begin(), yellow.end(), [](int n) { return n > 0; });
    const auto last = std::find_if(yellow.rbegin(), yellow.rend(), [](int n) { return n > 0; });
    ASSERT_NE(first, yellow.end());
    const int topRow = *first, bottomRow = *last;
    EXPECT_GT(Count(img, {120, 0, 180, 20}, 0x00FFFF), 30);
    EXPECT_GT(topRow, bottomRow); // wide at the top: it points down
}

TEST_F(PaintGrid, RadioGroupMarksTheChosenItem)
{
    g.SetOptions(g.Options().With(goEditing));
    g.SetColWidths(2, 120);
    g.SetClientSize(400, 150);
    g.ControlLook().SetControlStyle(csClassic);
    QStringList* items = g.CreateRadio(2, 2, 1, 1);
    *items << QStringLiteral("A") << QStringLiteral("B") << QStringLiteral("C");
    QStringList* column = g.CreateRadio(3, 1, 0, -1);
    *column << QStringLiteral("x") << QStringLiteral("y");
    g.SetCells(3, 1, QStringLiteral("y"));
    g.SetRowHeights(1, 44);
    const QImage img = Shot();
    Keep(img, QStringLiteral("radio"));
    // Three circles side by side; only the second has its dot.
    const TRect cell = g.CellRect(2, 2);
    std::vector<std::pair<int, int>> circles; // x range of each run of window colour
    const int mid = (cell.Top + cell.Bottom) / 2;
    std::vector<int> dots;
    for (int x = cell.Left; x < cell.Right; ++x)
        if (At(img, x, mid) == ColorToRGB(clWindowText)) dots.push_back(x);
    ASSERT_FALSE(dots.empty());
    const int size = g.ControlLook().RadioSize();
    const int fw = QFontMetrics(TestFont()).horizontalAdvance(QStringLiteral("A"));
    const int second = cell.Left + 2 + size + fw; // where the second circle starts
    // All dark pixels on the middle line outside the captions belong to the second circle.
    int inSecond = 0;
    for (int x : dots) inSecond += x > second && x < second + size;
    EXPECT_GE(inSecond, 2);
    const int firstCircle = Count(img, {cell.Left + 3, mid - 1, cell.Left + 1 + size, mid + 2}, clWindowText);
    EXPECT_EQ(firstCircle, 0);
    // The vertical group chooses by the cell text: the second row's circle.
    const TRect v = g.CellRect(3, 1);
    const QFontMetrics fm(TestFont());
    const int y1 = v.Top + 2 + fm.height() + size / 2;
    const int y0 = v.Top + 2 + size / 2;
    EXPECT_GT(Count(img, {v.Left + 3, y1 - 1, v.Left + size, y1 + 2}, clWindowText), 0);
    EXPECT_EQ(Count(img, {v.Left + 3, y0 - 1, v.Left + size, y0 + 2}, clWindowText), 0);
}

TEST(GridVisualProperties, DisjunctCellPastColumn65535PaintsSelected)
{
    TExtStringGrid g;
    g.SetColCount(70002);
    g.SetRowCount(4);
    g.SetClientSize(300, 100);
    g.Color = clWhite;
    g.MouseActions().SetDisjunctCellSelect(true);
    g.SetSelectionColor(0x00FF00);
    g.SetSelectedCells(70000, 2, true);
    g.SetSelectedCells(70000 & 0xFFFF, 1, true); // a namesake elsewhere
    g.SetLeftCol(69999);
    QImage img(300, 100, QImage::Format_RGB32);
    QPainter p(&img);
    g.PaintTo(p);
    p.end();
    const TRect on = g.CellRect(70000, 2), off = g.CellRect(70000, 1);
    ASSERT_FALSE(on.IsEmpty());
    EXPECT_EQ(At(img, on.Left + 5, on.Top + 5), TColor(0x00FF00));
    EXPECT_EQ(At(img, off.Left + 5, off.Top + 5), TColor(0xFFFFFF));
    EXPECT_EQ(At(img, g.CellRect(70001, 2).Left + 5, on.Top + 5), TColor(0xFFFFFF));
}

TEST_F(PaintGrid, HoveredFixedCellTakesTheHoverAndDownColours)
{
    g.SetLook(glXP);
    g.StudioGradientHoverFrom = g.StudioGradientHoverTo = 0x00AAFF;
    g.StudioGradientHoverMirrorFrom = g.StudioGradientHoverMirrorTo = 0x00AAFF;
    g.StudioGradientDownFrom = g.StudioGradientDownTo = 0xAA0000;
    g.StudioGradientDownMirrorFrom = g.StudioGradientDownMirrorTo = 0xAA0000;
    g.HoverFixedX = 2;
    g.HoverFixedY = 0;
    // Not hot-tracked: the normal face.
    EXPECT_EQ(Count(Shot(), Inside(2, 0), 0x00AAFF), 0);
    g.SetHoverFixedCells(THoverFixedCells::hfFixedColumns); // row 0 is a fixed row, not a fixed column
    EXPECT_EQ(Count(Shot(), Inside(2, 0), 0x00AAFF), 0);
    g.SetHoverFixedCells(THoverFixedCells::hfAll);
    QImage img = Shot();
    EXPECT_GT(Count(img, Inside(2, 0), 0x00AAFF), 500);
    EXPECT_EQ(Count(img, Inside(1, 0), 0x00AAFF), 0);
    g.HoverFixedDown = true;
    img = Shot();
    EXPECT_GT(Count(img, Inside(2, 0), 0xAA0000), 500);
    EXPECT_EQ(Count(img, Inside(2, 0), 0x00AAFF), 0);
}

TEST_F(PaintGrid, RowIndicatorOnTheCurrentRowOnly)
{
    QImage arrow(8, 8, QImage::Format_RGB32);
    arrow.fill(QColor(0, 0, 200));
    arrow.setPixelColor(0, 7, Qt::magenta); // the transparent colour
    arrow.setPixelColor(1, 1, Qt::magenta);
    g.SetRowIndicator(arrow);
    g.SetCells(0, 2, QStringLiteral("WW"));
    g.FocusCell(2, 2);
    g.SetLook(glStandard);
    QImage img = Shot();
    Keep(img, QStringLiteral("indicator"));
    EXPECT_EQ(Count(img, {0, 44, 60, 66}, 0xC80000), 64 - 2);
    EXPECT_EQ(Count(img, {0, 44, 60, 66}, 0xFF00FF), 0);
    EXPECT_EQ(Count(img, Inside(0, 3), 0xC80000), 0);
    // The text moves right past the picture.
    const TRect ink = InkBox(img, Inside(0, 2), clBtnFace);
    int textLeft = ink.Right;
    for (int y = ink.Top; y < ink.Bottom; ++y)
        for (int x = ink.Left; x < ink.Right; ++x)
            if (At(img, x, y) == ColorToRGB(clBlack)) textLeft = std::min(textLeft, x);
    EXPECT_GE(textLeft, g.CellRect(0, 2).Left + 2 + 8 + 2);
    // Without fixed columns no indicator.
    g.SetFixedCols(0);
    img = Shot();
    EXPECT_EQ(Count(img, {0, 0, 320, 150}, 0xC80000), 0);
}

TEST_F(PaintGrid, InterfacedObjectDrawsItselfIntoTheCell)
{
    struct Swatch : TInterfacedPersistent {
        TRect drawn;
        int col = -1, row = -1;
        void Draw(TCanvas& canvas, const TRect& r, int c, int rr, bool, bool) override
        {
            drawn = r;
            col = c;
            row = rr;
            FillRectColor(canvas, r, 0x00C0C0);
        }
    } swatch;
    g.AddInterfacedCell(3, 2, &swatch);
    const QImage img = Shot();
    EXPECT_EQ(swatch.col, 3);
    EXPECT_EQ(swatch.row, 2);
    EXPECT_GT(Count(img, Inside(3, 2), 0x00C0C0), 900);
    EXPECT_EQ(Count(img, Inside(2, 2), 0x00C0C0), 0);
}

TEST_F(PaintGrid, RotatedHeaderOfTheSortedColumnCarriesTheMark)
{
    g.SetLook(glStandard);
    g.SortSettings().SetShow(true);
    g.SortSettings().SetColumn(1);
    g.AddRotated(1, 0, 90, QStringLiteral("Ab"));
    g.AddRotated(2, 0, 90, QStringLiteral("Ab"));
    const QImage img = Shot();
    Keep(img, QStringLiteral("sort-rotated"));
    // The grey edge of the rising mark ends at its top point, 10 pixels in
    // from the right of the cell's inner area, 8 below its top.
    auto greyBox = [&](int c) {
        TRect box{1000, 1000, -1, -1};
        for (int y = 1; y < 20; ++y)
            for (int x = c * 60 + 1; x < c * 60 + 58; ++x)
                if (At(img, x, y) == ColorToRGB(clGray)) {
                    box.Left = std::min(box.Left, x);
                    box.Right = std::max(box.Right, x);
                    box.Top = std::min(box.Top, y);
                    box.Bottom = std::max(box.Bottom, y);
                }
        return box;
    };
    const TRect cell = g.CellRect(1, 0);
    const int areaRight = cell.Right - g.XYOffset().x() + 1, areaTop = cell.Top + g.XYOffset().y() - 1;
    const TRect mark = greyBox(1);
    EXPECT_EQ(mark.Right, areaRight - 10);
    EXPECT_EQ(mark.Left, areaRight - 14);
    EXPECT_EQ(mark.Top, areaTop + 1 + 8 - 4);
    EXPECT_EQ(greyBox(2).Right, -1); // the unsorted rotated header has none
}

TEST_F(PaintGrid, CellButtonsHotStateAndBitButtonGlyph)
{
    g.SetOptions(g.Options().With(goEditing));
    // Own colours: the buttons show the tones, normal and hot apart.
    TColorTones tones;
    tones.Background = {clWhite, clSilver, clBlack};
    tones.Foreground = {0xC0C0FF, clNone, clBlack};
    tones.Hover = {0x00FF00, clNone, 0x0000FF};
    tones.Selected = {0xFF0000, clNone, clBlack};
    tones.Disabled = {clSilver, clNone, clGray};
    g.SetColorTones(tones);
    g.Color = clWhite;
    g.Font = TestFont();
    g.AddButton(2, 2, 50, 18, QStringLiteral("Go"), TCellHAlign::haLeft, TCellVAlign::vaTop);
    QImage img = Shot();
    const TRect cell = g.CellRect(2, 2);
    const TRect in{cell.Left, cell.Top, cell.Right, cell.Bottom};
    EXPECT_GT(Count(img, in, 0xC0C0FF), 200);
    EXPECT_EQ(Count(img, in, 0x00FF00), 0);
    // The mouse over the button makes it hot: hover face, hover caption colour.
    g.MouseMove({}, cell.Left + 10, cell.Top + 8);
    img = Shot();
    Keep(img, QStringLiteral("button-hot"));
    EXPECT_GT(Count(img, in, 0x00FF00), 200);
    EXPECT_GT(Count(img, in, 0x0000FF), 5);
    EXPECT_EQ(Count(img, in, 0xC0C0FF), 0);
    g.MouseMove({}, cell.Left + 10, g.CellRect(2, 4).Top + 5);
    img = Shot();
    EXPECT_EQ(Count(img, in, 0x00FF00), 0);

    // A bit button: its glyph (bottom-left pixel transparent) centred
    // without a caption, 3 pixels in from the left with one.
    QImage glyph(8, 8, QImage::Format_RGB32);
    glyph.fill(QColor(0, 0, 255));
    glyph.setPixelColor(0, 7, QColor(255, 0, 255));
    QImage* own = g.CreateBitButton(1, 3, 40, 18, QString(), TCellHAlign::haLeft, TCellVAlign::vaTop);
    ASSERT_NE(own, nullptr);
    *own = glyph;
    g.AddBitButton(3, 3, 40, 18, QStringLiteral("Hi"), &glyph, TCellHAlign::haLeft, TCellVAlign::vaTop);
    img = Shot();
    Keep(img, QStringLiteral("bitbutton"));
    auto blueBox = [&](int c) {
        const TRect r = g.CellRect(c, 3);
        TRect box{r.Right, r.Bottom, r.Left, r.Top};
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (At(img, x, y) == 0xFF0000) { // the glyph's blue
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    };
    auto buttonLeft = [&](int c) {
        const TRect r = g.CellRect(c, 3);
        return r.Left + g.XYOffset().x() - 1 + 1;
    };
    const TRect centred = blueBox(1), left = blueBox(3);
    EXPECT_EQ(centred.Width(), 8);
    EXPECT_EQ(centred.Left, buttonLeft(1) + (40 - 8) / 2);
    EXPECT_EQ(left.Left, buttonLeft(3) + 3);
    EXPECT_EQ(left.Top, g.CellRect(3, 3).Top + g.XYOffset().y() + (18 - 8) / 2);
    EXPECT_EQ(Count(img, g.CellRect(1, 3), 0xFF00FF), 0); // the transparent pixel is not drawn
}

TEST_F(PaintGrid, RadioGroupScaleAndReverse)
{
    const QFontMetrics fm(TestFont());
    const int size = g.ControlLook().RadioSize();
    auto paint = [&](const TRect& r, bool reverse, double scale, const QStringList* items, int index, int count) {
        QImage img(240, 240, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        TCanvas canvas(&img);
        canvas.SetFont(TestFont());
        canvas.SetFontColor(0x0000FF);
        g.DrawRadioGlyph(canvas, r, reverse, scale, csClassic, 1, 1, false, items, false, false, index, count);
        return img;
    };
    // One item without caption: a centred circle, twice as wide at scale 2.
    const TRect box{0, 0, 100, 60};
    const TRect one = InkBox(paint(box, false, 1.0, nullptr, 0, 1), box, 0xFF00FF);
    const TRect two = InkBox(paint(box, false, 2.0, nullptr, 0, 1), box, 0xFF00FF);
    EXPECT_EQ(two.Width() - one.Width(), size);
    EXPECT_EQ(two.Height() - one.Height(), size);
    EXPECT_NEAR((two.Left + two.Right) / 2, 50, 1);
    // Captions of a vertical group move right with the scale.
    const QStringList items{QStringLiteral("a"), QStringLiteral("b")};
    const TRect r{10, 100, 150, 180};
    QImage img = paint(r, false, 2.0, &items, 1, 2);
    const TRect captions = InkBox(img, {r.Left + 2 + 2 * size + 1, 0, 240, 240}, 0xFF00FF);
    EXPECT_GE(captions.Left, r.Left + 2 + 2 * (size + 4));
    EXPECT_LE(captions.Left, r.Left + 2 + 2 * (size + 4) + 2);
    // The checked second item is one text line below the first, or above it
    // when reversed (a canvas whose y axis points up).
    auto dotTop = [&](const QImage& shot) {
        for (int y = 0; y < 240; ++y)
            for (int x = r.Left + 2; x < r.Left + 2 + size; ++x)
                if (At(shot, x, y) == ColorToRGB(clWindowText)) return y;
        return -1;
    };
    const int down = dotTop(paint(r, false, 1.0, &items, 1, 2));
    const int up = dotTop(paint(r, true, 1.0, &items, 1, 2));
    const int first = dotTop(paint(r, false, 1.0, &items, 0, 2));
    ASSERT_GE(first, 0);
    EXPECT_EQ(down - first, fm.height());
    EXPECT_EQ(first - up, fm.height());
}

TEST_F(PaintGrid, OuterBorderInBorderColourOverTheFrame)
{
    TGridWidget* w = g.Widget();
    w->resize(200, 100);
    g.SetBorderColor(0x00C000);
    // The four sides, probed at their middles and corners.
    auto onBorder = [&] {
        const QImage img = w->grab().toImage();
        const QPoint probes[] = {{0, 0}, {199, 0}, {199, 99}, {0, 99}, {100, 0}, {0, 50}, {199, 50}, {100, 99}};
        int n = 0;
        for (const QPoint& p : probes) n += At(img, p.x(), p.y()) == 0x00C000;
        return n;
    };
    g.SetLook(glXP);
    EXPECT_EQ(onBorder(), 8);
    g.SetLook(glStandard); // not a look with a border
    EXPECT_EQ(onBorder(), 0);
    g.SetLook(glOffice2007); // its style brings its own border colour
    g.SetBorderColor(0x00C000);
    EXPECT_EQ(onBorder(), 8);
    g.SetFlat(true);
    EXPECT_EQ(onBorder(), 0);
    g.SetFlat(false);
    g.SetBorderColor(clNone);
    EXPECT_EQ(onBorder(), 0);
}

TEST_F(PaintGrid, DisabledGridPaintsItsTextInTheDisabledFontColour)
{
    g.SetUseDisabledFont(true);
    g.SetDisabledFontColor(0x0000FF);
    g.SetCells(2, 2, QStringLiteral("Wm"));
    g.Widget()->resize(320, 150);
    EXPECT_EQ(Count(Shot(), Inside(2, 2), 0x0000FF), 0);
    g.Widget()->setEnabled(false);
    EXPECT_GT(Count(Shot(), Inside(2, 2), 0x0000FF), 10);
    g.SetUseDisabledFont(false);
    EXPECT_EQ(Count(Shot(), Inside(2, 2), 0x0000FF), 0);
}

// ---------------------------------------------------------------------------
// The drop-down button of a hovered header, in-cell scroll bars, the outer border

namespace {

// The columns of row y within [x0, x1) that have the colour.
std::vector<int> ColumnsOf(const QImage& img, int x0, int x1, int y, TColor color)
{
    std::vector<int> xs;
    for (int x = x0; x < x1; ++x)
        if (At(img, x, y) == ColorToRGB(color)) xs.push_back(x);
    return xs;
}

} // namespace

TEST_F(PaintGrid, HoveredHeaderShowsItsDropDownButton)
{
    const TColor hover = 0x00C000, down = 0x0000C0, hoverLine = 0xC00000, downLine = 0xC0C000;
    g.SetLook(glXP);
    g.SetHoverFixedCells(THoverFixedCells::hfFixedRows);
    g.ControlLook().SetFixedDropDownButton(true);
    g.StudioGradientHoverFrom = hover;
    g.StudioGradientHoverTo = g.StudioGradientHoverMirrorFrom = g.StudioGradientHoverMirrorTo = clNone;
    g.StudioGradientHoverBorder = hoverLine;
    g.StudioGradientDownFrom = down;
    g.StudioGradientDownTo = g.StudioGradientDownMirrorFrom = g.StudioGradientDownMirrorTo = clNone;
    g.StudioGradientDownBorder = downLine;
    const TRect in = Inside(2, 0);
    const int y = 14;
    // Hovered, no button down: the hover face and a line 16 pixels from the right.
    g.HoverFixedX = 2;
    g.HoverFixedY = 0;
    QImage img = Shot();
    Keep(img, QStringLiteral("header-dropdown"));
    std::vector<int> line = ColumnsOf(img, in.Left, in.Right + 2, y, hoverLine);
    ASSERT_EQ(line.size(), 1u);
    const int lineX = line[0];
    EXPECT_GE(lineX, in.Right - 17);
    EXPECT_LE(lineX, in.Right - 14);
    EXPECT_EQ(At(img, in.Left + 4, y), ColorToRGB(hover));
    EXPECT_EQ(At(img, lineX + 3, 18), ColorToRGB(hover));
    // The small triangle in the button: black ink under its tip.
    EXPECT_GT(Count(img, {lineX + 1, 2, in.Right, 14}, clBlack), 3);
    // Pressed on the button: the button part goes down, the rest hovers.
    const TRect cell = g.CellRect(2, 0);
    g.MouseDown(mbLeft, {}, cell.Right - 6, 10);
    ASSERT_TRUE(g.DropDownDown());
    img = Shot();
    EXPECT_EQ(At(img, in.Left + 4, y), ColorToRGB(hover));
    EXPECT_EQ(At(img, lineX + 3, 18), ColorToRGB(down));
    EXPECT_EQ(ColumnsOf(img, in.Left, in.Right + 2, y, downLine), std::vector<int>{lineX});
    g.MouseUp(mbLeft, {}, cell.Right - 6, 10);
    // Pressed beside it: the cell goes down, the button hovers.
    g.MouseDown(mbLeft, {}, cell.Left + 10, 10);
    img = Shot();
    EXPECT_EQ(At(img, in.Left + 4, y), ColorToRGB(down));
    EXPECT_EQ(At(img, lineX + 3, 18), ColorToRGB(hover));
    g.MouseUp(mbLeft, {}, cell.Left + 10, 10);
    // Refused for the column: one hover face, no line, no triangle.
    g.OnCanShowFixedDropDown = [](TExtStringGrid*, int c, bool& show) { show = c != 2; };
    g.HoverFixedX = 2;
    g.HoverFixedY = 0;
    img = Shot();
    EXPECT_TRUE(ColumnsOf(img, in.Left, in.Right + 2, y, hoverLine).empty());
    EXPECT_EQ(At(img, lineX + 3, 18), ColorToRGB(hover));
    EXPECT_EQ(Count(img, {lineX + 1, 2, in.Right, 14}, clBlack), 0);
}

TEST_F(PaintGrid, InCellScrollBarTakesTheRightEdgeAndMovesTheText)
{
    g.SetCells(2, 2, QStringLiteral("Wg"));
    g.AddScrollBar(2, 2, false);
    const TRect in = Inside(2, 2);
    const int barW = TExtStringGrid::InCellScrollBarWidth();
    const TRect textArea{in.Left, in.Top, in.Right - barW - 1, in.Bottom};
    // Page not below the range: no bar, the cell is plain.
    g.SetScrollProp(2, 2, {100, 100});
    QImage img = Shot();
    EXPECT_EQ(Count(img, {in.Right - 4, in.Top, in.Right, in.Bottom}, clWhite), 4 * in.Height());
    const TRect text0 = InkBox(img, textArea, clWhite);
    // A bar: drawn at the right edge, the text stays where it was at 0 ...
    g.SetScrollProp(2, 2, {10, 100});
    img = Shot();
    Keep(img, QStringLiteral("incell-scrollbar"));
    EXPECT_LT(Count(img, {in.Right - barW + 1, in.Top, in.Right, in.Bottom}, clWhite),
              (barW - 1) * in.Height() / 2);
    EXPECT_EQ(InkBox(img, textArea, clWhite), text0);
    // ... and moves up by the position.
    g.SetScrollPosition(2, 2, 3);
    img = Shot();
    const TRect text3 = InkBox(img, textArea, clWhite);
    EXPECT_EQ(text3.Top, text0.Top - 3);
    EXPECT_EQ(text3.Left, text0.Left);
}

TEST_F(PaintGrid, OuterBorderWithAndWithoutFitCellsInGrid)
{
    const TColor border = 0x0000FF;
    g.SetLook(glXP);
    g.SetBorderColor(border);
    auto paint = [&] {
        QImage img(100, 50, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        TCanvas canvas(&img);
        g.PaintBorder(canvas, 100, 50);
        return img;
    };
    QImage img = paint();
    EXPECT_EQ(At(img, 0, 0), ColorToRGB(border));
    EXPECT_EQ(At(img, 50, 0), ColorToRGB(border));
    EXPECT_EQ(At(img, 99, 25), ColorToRGB(border));
    EXPECT_EQ(At(img, 1, 1), TColor(0xFF00FF));
    // Fitted cells: the line moves one pixel in; without a parent the
    // outermost pixel is left alone.
    g.SetFitCellsInGrid(true);
    img = paint();
    EXPECT_EQ(At(img, 1, 1), ColorToRGB(border));
    EXPECT_EQ(At(img, 98, 25), ColorToRGB(border));
    EXPECT_EQ(At(img, 50, 48), ColorToRGB(border));
    EXPECT_EQ(At(img, 0, 0), TColor(0xFF00FF));
    EXPECT_EQ(At(img, 99, 25), TColor(0xFF00FF));
    // In a parent the outermost pixel takes the parent's colour.
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(parent.backgroundRole(), QColor(0, 160, 0));
    parent.setPalette(pal);
    TGridWidget* w = g.CreateWidget(&parent);
    (void)w;
    img = paint();
    EXPECT_EQ(At(img, 0, 0), TColor(0x00A000));
    EXPECT_EQ(At(img, 99, 25), TColor(0x00A000));
    EXPECT_EQ(At(img, 1, 1), ColorToRGB(border));
    // Flat grids and the standard look draw none.
    g.SetLook(glStandard);
    img = paint();
    EXPECT_EQ(At(img, 1, 1), TColor(0xFF00FF));
}
