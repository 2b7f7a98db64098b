// The space a cell graphic needs: on screen for sizing columns and rows, and
// on paper for printing.
#include "grid/ExtGrid.h"

#include <QFontMetrics>
#include <cmath>

using enum TCellType;
using enum TCellHAlign;
using enum TCellVAlign;

namespace {

// What the two measures share: the graphic, the cell and its text.
struct TGraphicMeasure {
    const TCellGraphic& g;
    QFontMetrics fm;
    int cellW;
    int cellH;
    bool hasText;

    bool WidthCounts() const { return g.CellHAlign == haBeforeText || g.CellHAlign == haAfterText || !hasText; }
    bool HeightCounts() const { return g.CellVAlign == vaUnderText || g.CellVAlign == vaAboveText || !hasText; }

    QPoint Radio() const
    {
        const QStringList* captions = g.Strings();
        const int n = captions ? int(captions->size()) : 0;
        const int th = fm.height();
        if (!g.CellBoolean) {
            int widest = 0;
            for (int i = 0; i < n; ++i) widest = std::max(widest, fm.horizontalAdvance(captions->at(i)));
            return {std::max(12, 12 + widest), std::max(16, th) * n};
        }
        int w = 0;
        for (int i = 0; i < n; ++i) w += fm.horizontalAdvance(captions->at(i)) + 12;
        return {w, th};
    }

    QPoint Images(const TCustomImageList* images) const
    {
        const TIntList* list = g.IntList();
        if (!images || !list) return {};
        const int n = list->Count();
        return g.CellBoolean ? QPoint(n * images->Width(), images->Height())
                             : QPoint(images->Width(), n * images->Height());
    }

    QPoint Button() const { return {g.CellIndex & 0xFFFF, int(uint32_t(g.CellIndex) >> 16)}; }

    QPoint Interfaced() const
    {
        QSize s = g.Interfaced() ? g.Interfaced()->PreferredSize() : QSize();
        if (s.width() == 0 || s.height() == 0) s = QSize(cellW, cellH);
        return {s.width(), s.height()};
    }
};

} // namespace

QPoint TExtStringGrid::GetCellGraphicSize(int c, int r)
{
    QPoint p;
    CalcCellGraphicSize(c, r, p, 0);
    return p;
}

void TExtStringGrid::CalcCellGraphicSize(int c, int r, QPoint& size, int reserve)
{
    size = QPoint(0, 0);
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return;
    const int dc = DisplColIndex(c);
    const TGraphicMeasure m{*g, QFontMetrics(Font), ColWidths(dc), RowHeights(r), !Cells(c, r).isEmpty()};
    const int check = FControlLook->CheckSize();
    switch (g->CellType) {
    case ctBitmap:
        if (const QImage* b = g->Bitmap())
            size = QPoint(m.WidthCounts() ? b->width() : 0, m.HeightCounts() ? b->height() : 0);
        break;
    case ctIcon:
        if (const QImage* i = g->Icon()) size = QPoint(m.WidthCounts() ? i->width() : 0, i->height());
        break;
    case ctImageList:
    case ctDataImage:
        if (const TCustomImageList* images = GetGridImages())
            size = QPoint(m.WidthCounts() ? images->Width() : 0, m.HeightCounts() ? images->Height() : 0);
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: size = QPoint(check, check); break;
    case ctRadioButton: size = QPoint(FControlLook->RadioSize(), FControlLook->RadioSize()); break;
    case ctRadio: size = m.Radio(); break;
    case ctImages: size = m.Images(GetGridImages()); break;
    case ctPicture:
    case ctFilePicture:
        g->GetPictureSize(m.cellW - 1 - GetHorzTextOffset(), m.cellH - 1 - GetVertTextOffset() - reserve, m.hasText,
                          size);
        break;
    case ctButton:
    case ctBitButton: {
        size = m.Button();
        const int captionW = m.fm.horizontalAdvance(g->CellText) + 4;
        if (m.hasText) {
            if (g->CellHAlign == haCenter) size.setX(0);
            if (g->CellHAlign == haFull) size.setX(captionW);
            if (g->CellVAlign == vaUnderText || g->CellVAlign == vaAboveText)
                size.setX(0);
            else
                size.setY(0);
        } else if (g->CellHAlign == haFull) {
            size.setX(captionW);
        }
        break;
    }
    case ctProgressPie: size = QPoint(20, 20); break;
    case ctInterface: size = m.Interfaced(); break;
    case ctRating: size = QPoint(18 * g->CellAngle, 16); break;
    default: break;
    }
    if (g->CellVAlign == vaFull) size.setY(m.cellH);
    const bool textlessButton = (g->CellType == ctButton || g->CellType == ctBitButton) && !m.hasText &&
                                !g->CellText.isEmpty();
    if (g->CellHAlign == haFull && g->CellType != ctRating && !textlessButton) size.setX(m.cellW);
}

void TExtStringGrid::CalcPrintGraphicSize(int c, int r, QPoint& size, double factor, int areaWidth, int areaHeight)
{
    size = QPoint(0, 0);
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return;
    const int dc = DisplColIndex(c);
    const TGraphicMeasure m{*g, QFontMetrics(Font), ColWidths(dc), RowHeights(r), !Cells(c, r).isEmpty()};
    const int check = FControlLook->CheckSize();
    switch (g->CellType) {
    case ctBitmap:
        if (const QImage* b = g->Bitmap()) size = QPoint(b->width(), b->height());
        break;
    case ctIcon:
        if (const QImage* i = g->Icon()) size = QPoint(i->width(), i->height());
        break;
    case ctImageList:
        if (const TCustomImageList* images = GetGridImages())
            size = QPoint(m.WidthCounts() ? images->Width() : 0, images->Height());
        break;
    case ctDataImage:
        if (const TCustomImageList* images = GetGridImages()) size = QPoint(images->Width(), images->Height());
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: size = QPoint(check, check); break;
    case ctRadioButton: size = QPoint(FControlLook->RadioSize(), FControlLook->RadioSize()); break;
    case ctRadio: size = m.Radio(); break;
    case ctImages: size = m.Images(GetGridImages()); break;
    case ctNode: size = QPoint(20, 20); break;
    case ctPicture:
    case ctFilePicture: {
        QPoint p;
        g->GetPictureSize(areaWidth, areaHeight, m.hasText, p);
        const double f = factor != 0 ? factor : 1.0;
        size = QPoint(int(std::lround(p.x() / f)), int(std::lround(p.y() / f)));
        break;
    }
    case ctProgress:
    case ctXPProgress: size = QPoint(m.cellW, m.cellH); break;
    case ctButton:
    case ctBitButton: size = m.Button(); break;
    case ctShape: {
        const int side = m.cellH - 2 * XYOffset().y();
        size = QPoint(side, side);
        break;
    }
    case ctProgressPie: size = QPoint(20, 20); break;
    case ctInterface: size = m.Interfaced(); break;
    default: break;
    }
}
