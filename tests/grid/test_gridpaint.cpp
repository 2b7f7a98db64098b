// Painting of the string grid: looks and styles as tables, the visual
// properties of a cell, and pixel probes of painted grids (DejaVu Sans at 96
// dpi, antialiasing off, explicit colours).
#include "controls/ExtUtilDraw.h"
#include "grid/ExtGrid.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using enum TGridLook;
using enum TCellType;
using enum TControlStyle;

namespace {

QFont TestFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

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
    QImage Shot()
    {
        QImage img(g.ClientWidth(), g.ClientHeight(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        g.PaintTo(p);
        return img;
    }
    // Saves a picture for a person to look at when KR_SCREENSHOT_DIR is set.
    void Keep(const QImage& img, const QString& name)
    {
        const QString dir = qEnvironmentVariable("KR_SCREENSHOT_DIR");
        if (!dir.isEmpty()) img.save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }
};

[[maybe_unused]] TColor At(const QImage& img, int x, int y) { return QColorToColor(img.pixelColor(x, y)); }

} // namespace

TEST_F(PaintGrid, Pictures)
{
    g.SetCells(1, 0, "Name");
    g.SetCells(2, 0, "Value");
    g.SetCells(1, 1, "alpha");
    g.SetCells(2, 1, "12.5");
    g.SetCells(1, 2, "a long text that does not fit");
    for (TGridLook look : {glStandard, glSoft, glClassic, glStudio, glXP, glListView, glVista, glWin7, glOffice2007}) {
        g.SetLook(look);
        QString name;
        LookToIdent(look, name);
        Keep(Shot(), name);
    }
}
