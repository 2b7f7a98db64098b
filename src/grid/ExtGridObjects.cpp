// The cell-graphic store of the string grid: lookup, attaching and removing
// graphics, the add / create / remove family for every kind and the size a
// graphic needs on screen and on paper.
#include "grid/ExtGrid.h"

#include <QFontMetrics>
#include <cmath>

using enum TCellType;
using enum TCellHAlign;
using enum TCellVAlign;

// ---------------------------------------------------------------------------
// Store

TCellGraphic* TExtStringGrid::CreateCellGraphic(int c, int r)
{
    // Columns are real columns: a hidden column's cells are reachable too.
    if (c < 0 || r < 0 || c >= TotalColCount() || r >= RowCount()) return nullptr;
    auto g = std::make_unique<TCellGraphic>();
    TCellGraphic* result = g.get();
    // An owned graphic the cell held is freed here; a shared one is only
    // detached.
    SetGraphicObjectEx(c, r, std::move(g));
    if (DisplColIndex(c) != c) RepaintDispl(c, r);
    return result;
}

bool TExtStringGrid::RemoveCellGraphic(int c, int r)
{
    TCellProperties* p = CellPropsOrNull(c, r);
    if (!p || !p->GraphicObject()) return false;
    std::unique_ptr<TCellObject> owned = p->ReleaseGraphicObject();
    owned.reset();
    if (!Destroying()) RepaintDispl(c, r);
    return true;
}

bool TExtStringGrid::RemoveCellGraphicOfType(int c, int r, TCellType kind)
{
    return GetCellType(c, r) == kind && RemoveCellGraphic(c, r);
}

bool TExtStringGrid::HasCellTypeIn(int c, int r, TCellTypes kinds)
{
    if (c < 0 || r < 0) return false;
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    return g && kinds.Contains(g->CellType);
}

bool TExtStringGrid::IsControlCell(int c, int r)
{
    return HasCellTypeIn(c, r, {ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctVirtCheckBox, ctRowCheckBox,
                                ctRadioButton, ctTriStateCheckBox});
}

bool TExtStringGrid::IsDataGraphicCell(int c, int r)
{
    return HasCellTypeIn(c, r, {ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox});
}

bool TExtStringGrid::HasAutoRangeScrollBar(int c, int r)
{
    if (c < 0 || r < 0) return false;
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    return g && g->CellType == ctScrollbar && g->CellBoolean;
}

TIntList* TExtStringGrid::GetCellImages(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctImages ? g->IntList() : nullptr;
}

intptr_t TExtStringGrid::GraphicSortKey(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return -1;
    switch (g->CellType) {
    case ctBitmap: return reinterpret_cast<intptr_t>(g->Bitmap());
    case ctIcon: return reinterpret_cast<intptr_t>(g->Icon());
    case ctImageList: return g->CellIndex;
    default: return -1;
    }
}

void TExtStringGrid::GetExpandRect(int c, int r, TRect& rect)
{
    rect = TRect();
    if (!HasExpand(c, r)) return;
    const TRect cr = CellRect(DisplColIndex(c), r);
    rect = TRect{cr.Right - 13, cr.Top + 2, cr.Right - 2, cr.Top + 13};
}

void TExtStringGrid::CellButtonRect(int c, int r, TRect& rect)
{
    rect = TRect();
    const TCellGraphic* g = GetCellGraphic(RealColIndex(TDisplCol(c)).Value(), r);
    if (!g) return;
    const TRect cr = CellRect(c, r);
    const uint32_t offset = uint32_t(int64_t(g->CellValue));
    const int x = cr.Left + int(offset & 0xFFFF);
    const int y = cr.Top + int(offset >> 16);
    const int w = g->CellIndex & 0xFFFF;
    const int h = int(uint32_t(g->CellIndex) >> 16);
    rect = TRect{x, y, x + w, y + h};
    if (g->CellHAlign == haFull) {
        rect.Left = cr.Left;
        rect.Right = cr.Right;
    }
    if (g->CellVAlign == vaFull) {
        rect.Top = cr.Top;
        rect.Bottom = cr.Bottom;
    }
}

// ---------------------------------------------------------------------------
// The object family

void TExtStringGrid::AddBitmap(int c, int r, QImage* bmp, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetBitmap(bmp, transparent, hal, val);
}

QImage* TExtStringGrid::CreateBitmap(int c, int r, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return nullptr;
    g->SetBitmap(std::make_unique<QImage>(), transparent, hal, val);
    return g->Bitmap();
}

QImage* TExtStringGrid::GetBitmap(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctBitmap ? g->Bitmap() : nullptr;
}

void TExtStringGrid::AddPicture(int c, int r, QImage* picture, bool transparent, TStretchMode stretchMode,
                                int padding, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetPicture(picture, transparent, stretchMode, padding, hal, val);
}

QImage* TExtStringGrid::CreatePicture(int c, int r, bool transparent, TStretchMode stretchMode, int padding,
                                      TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return nullptr;
    g->SetPicture(std::make_unique<QImage>(), transparent, stretchMode, padding, hal, val);
    return g->Picture();
}

QImage* TExtStringGrid::GetPicture(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctPicture ? g->Picture() : nullptr;
}

void TExtStringGrid::AddFilePicture(int c, int r, TFilePicture* picture, bool transparent, TStretchMode stretchMode,
                                    int padding, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r))
        g->SetFilePicture(picture, transparent, stretchMode, padding, hal, val);
}

TFilePicture* TExtStringGrid::CreateFilePicture(int c, int r, bool transparent, TStretchMode stretchMode,
                                                int padding, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return nullptr;
    g->SetFilePicture(std::make_unique<TFilePicture>(), transparent, stretchMode, padding, hal, val);
    return g->FilePicture();
}

TFilePicture* TExtStringGrid::GetFilePicture(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctFilePicture ? g->FilePicture() : nullptr;
}

void TExtStringGrid::AddIcon(int c, int r, QImage* icon, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetIcon(icon, hal, val);
}

QImage* TExtStringGrid::CreateIcon(int c, int r, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return nullptr;
    g->SetIcon(std::make_unique<QImage>(), hal, val);
    return g->Icon();
}

void TExtStringGrid::AddImageIdx(int c, int r, int idx, TCellHAlign hal, TCellVAlign val)
{
    if (!GetGridImages()) return;
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetImageIdx(idx, hal, val);
}

bool TExtStringGrid::GetImageIdx(int c, int r, int& idx)
{
    if (!GetGridImages()) return false;
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctImageList) return false;
    idx = g->CellIndex;
    return true;
}

void TExtStringGrid::SetImageIdx(int c, int r, int idx)
{
    if (!GetGridImages()) return;
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctImageList) return;
    g->CellIndex = idx;
    RepaintDispl(c, r);
}

void TExtStringGrid::AddDataImage(int c, int r, int idx, TCellHAlign hal, TCellVAlign val)
{
    if (!GetGridImages()) return;
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->SetDataImage(idx, hal, val);
    if (Cells(c, r).isEmpty()) SetInts(c, r, idx);
}

void TExtStringGrid::RemoveDataImage(int c, int r)
{
    RemoveCellGraphicOfType(c, r, ctDataImage);
    SetCells(c, r, QString());
}

void TExtStringGrid::AddMultiImage(int c, int r, int dir, TCellHAlign hal, TCellVAlign val)
{
    if (!GetGridImages()) return;
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->SetMultiImage(c, r, dir, hal, val, [this](TIntList*, int acol, int arow) { RepaintDispl(acol, arow); });
}

void TExtStringGrid::AddInterfacedCell(int c, int r, TInterfacedPersistent* object)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetInterfacedCell(object);
}

TInterfacedPersistent* TExtStringGrid::GetInterfacedCell(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctInterface ? g->Interfaced() : nullptr;
}

void TExtStringGrid::AddProgressFormatted(int c, int r, TColor fgColor, TColor fgTextColor, TColor bkColor,
                                          TColor bkTextColor, const QString& fmt, int min, int max)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctProgress;
    g->CellBitmap = fgColor;
    g->CellIcon = bkColor;
    g->CellIndex = fgTextColor;
    g->CellAngle = bkTextColor;
    g->CellErrFrom = min;
    g->CellErrLen = max;
    g->CellBoolean = true;
    g->CellText = fmt;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    if (AutoNumAlign()) SetAlignments(c, r, taRightJustify);
}

void TExtStringGrid::AddProgressEx(int c, int r, TColor fgColor, TColor fgTextColor, TColor bkColor,
                                   TColor bkTextColor)
{
    AddProgressFormatted(c, r, fgColor, fgTextColor, bkColor, bkTextColor, QString(), 0, 100);
}

void TExtStringGrid::AddProgress(int c, int r, TColor fgColor, TColor bkColor)
{
    AddProgressFormatted(c, r, fgColor, 0, bkColor, 0, QString(), 0, 100);
    if (TCellGraphic* g = GetCellGraphic(c, r); g && g->CellType == ctProgress) g->CellBoolean = false;
}

void TExtStringGrid::AddExtProgress(int c, int r, int min, int max)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctXPProgress;
    g->CellErrFrom = min;
    g->CellErrLen = max;
    g->CellBoolean = false;
    g->CellText.clear();
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
}

void TExtStringGrid::AddProgressPie(int c, int r, TColor color, int value)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctProgressPie;
    g->CellBitmap = color;
    g->CellAngle = value;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaTop;
}

void TExtStringGrid::SetProgressPie(int c, int r, int value)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctProgressPie) return;
    g->CellAngle = value;
    RepaintDispl(c, r);
}

void TExtStringGrid::AddRangeIndicator(int c, int r, int range, TColor negColor, TColor posColor, bool showValue)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctRangeIndicator;
    g->CellIndex = range;
    g->CellBitmap = negColor;
    g->CellIcon = posColor;
    g->CellBoolean = showValue;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
}

void TExtStringGrid::AddColorComment(int c, int r, const QString& comment, TColor color)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctComment;
    g->CellText = comment;
    g->CellIndex = color;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
}

void TExtStringGrid::AddComment(int c, int r, const QString& comment)
{
    AddColorComment(c, r, comment, FControlLook->CommentColor());
}

void TExtStringGrid::RemoveAllComments()
{
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) RemoveComment(c, r);
}

bool TExtStringGrid::IsComment(int c, int r, QString& comment)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctComment) return false;
    comment = g->CellText;
    return true;
}

QString TExtStringGrid::GetComment(int c, int r)
{
    QString s;
    IsComment(c, r, s);
    return s;
}

void TExtStringGrid::SetComment(int c, int r, const QString& comment)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) {
        AddComment(c, r, comment);
    } else if (g->CellType == ctComment) {
        g->CellText = comment;
        RepaintDispl(c, r);
    }
}

void TExtStringGrid::AddShape(int c, int r, TCellShape shape, TColor fillColor, TColor lineColor, TCellHAlign hal,
                              TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctShape;
    g->CellAngle = int(shape);
    g->CellIndex = fillColor;
    g->CellBitmap = lineColor;
    g->CellHAlign = hal;
    g->CellVAlign = val;
}

void TExtStringGrid::SetShapeColor(int c, int r, TColor fillColor)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctShape) return;
    g->CellIndex = fillColor;
    RepaintDispl(c, r);
}

TColor TExtStringGrid::GetShapeColor(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctShape ? g->CellIndex : clNone;
}

void TExtStringGrid::AddRating(int c, int r, int scale, TColor fillColor, TColor emptyColor)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctRating;
    g->CellAngle = scale;
    g->CellIndex = fillColor;
    g->CellBitmap = emptyColor;
    g->CellHAlign = haFull;
}

void TExtStringGrid::AddScrollBar(int c, int r, bool autoRange)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctScrollbar;
    g->CellIndex = 0;
    g->CellAngle = 0;
    g->CellErrFrom = 100;
    g->CellBoolean = autoRange;
    if (autoRange) UpdateAutoRangeScrollBar(c, r);
}

void TExtStringGrid::UpdateAutoRangeScrollBar(int c, int r)
{
    if (!HasAutoRangeScrollBar(c, r)) return;
    const QPoint b = BaseCell(c, r);
    TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    const QString text = Cells(b.x(), b.y());
    const QFontMetrics fm(Font);
    const int w = std::max(1, ColWidths(DisplColIndex(b.x())) - GetHorzTextOffset());
    g->CellAngle = RowHeights(b.y());
    g->CellErrFrom = text.isEmpty() ? 0 : fm.boundingRect(0, 0, w, 1 << 20, Qt::TextWordWrap, text).height();
}

void TExtStringGrid::SetScrollPosition(int c, int r, int pos)
{
    if (!HasScrollBar(c, r)) return;
    const QPoint b = BaseCell(c, r);
    GetCellGraphic(b.x(), b.y())->CellIndex = pos;
    RepaintDispl(b.x(), b.y());
}

int TExtStringGrid::GetScrollPosition(int c, int r)
{
    if (!HasScrollBar(c, r)) return -1;
    const QPoint b = BaseCell(c, r);
    return GetCellGraphic(b.x(), b.y())->CellIndex;
}

void TExtStringGrid::SetScrollProp(int c, int r, TScrollProp prop)
{
    if (!HasScrollBar(c, r)) return;
    const QPoint b = BaseCell(c, r);
    TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    g->CellAngle = prop.PageSize;
    g->CellErrFrom = prop.Range;
    RepaintDispl(b.x(), b.y());
}

TExtStringGrid::TScrollProp TExtStringGrid::GetScrollProp(int c, int r)
{
    if (!HasScrollBar(c, r)) return {};
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    return {g->CellAngle, g->CellErrFrom};
}

void TExtStringGrid::AddButton(int c, int r, int bw, int bh, const QString& caption, TCellHAlign hal,
                               TCellVAlign val)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetButton(bw, bh, caption, hal, val);
}

void TExtStringGrid::AddBitButton(int c, int r, int bw, int bh, const QString& caption, QImage* glyph,
                                  TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = CreateCellGraphic(c, r)) g->SetBitButton(bw, bh, caption, glyph, hal, val);
}

QImage* TExtStringGrid::CreateBitButton(int c, int r, int bw, int bh, const QString& caption, TCellHAlign hal,
                                        TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return nullptr;
    g->SetBitButton(bw, bh, caption, std::make_unique<QImage>(), hal, val);
    return g->Bitmap();
}

bool TExtStringGrid::RemoveButton(int c, int r)
{
    const TCellType t = GetCellType(c, r);
    return (t == ctButton || t == ctBitButton) && RemoveCellGraphic(c, r);
}

void TExtStringGrid::RemoveAllButtons()
{
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) RemoveButton(c, r);
}

void TExtStringGrid::SetButtonText(int c, int r, const QString& caption)
{
    const int real = RealColIndex(TDisplCol(c)).Value();
    TCellGraphic* g = GetCellGraphic(real, r);
    if (!g) return;
    g->CellText = caption;
    RepaintDispl(real, r);
}

QString TExtStringGrid::GetButtonText(int c, int r)
{
    const TCellGraphic* g = GetCellGraphic(RealColIndex(TDisplCol(c)).Value(), r);
    return g ? g->CellText : QString();
}

void TExtStringGrid::PushButton(int c, int r, bool push)
{
    const int real = RealColIndex(TDisplCol(c)).Value();
    TCellGraphic* g = GetCellGraphic(real, r);
    if (!g || g->CellType == ctNode) return;
    g->CellBoolean = push;
    RepaintDispl(real, r);
}

void TExtStringGrid::AddBalloon(int c, int r, const QString& title, const QString& text, TBalloonIcon icon)
{
    auto lines = std::make_unique<QStringList>(QStringList{title, text});
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g) {
        const TCellType t = g->CellType;
        if (t != ctCheckBox && t != ctDataCheckBox && t != ctRadioButton) return;
        g->CellBitmap = std::move(lines);
        g->CellAngle = 1;
        g->CellIndex = int(icon);
    } else if ((g = CreateCellGraphic(c, r))) {
        g->CellType = ctBalloon;
        g->CellBitmap = std::move(lines);
        g->CellAngle = 0;
        g->CellIndex = int(icon);
    }
    RepaintDispl(c, r);
}

void TExtStringGrid::RemoveBalloon(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return;
    if (g->HasAttachedBalloon()) {
        g->CellBitmap = std::monostate();
        g->CellAngle = 0;
        RepaintDispl(c, r);
    } else if (g->CellType == ctBalloon) {
        RemoveCellGraphic(c, r);
    }
}

bool TExtStringGrid::IsBalloon(int c, int r, QString& title, QString& text, TBalloonIcon& icon)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || !(g->CellType == ctBalloon || g->HasAttachedBalloon())) return false;
    const QStringList* lines = g->Strings();
    if (!lines) return false;
    title = lines->value(0);
    text = lines->value(1);
    icon = TBalloonIcon(g->CellIndex);
    return true;
}

void TExtStringGrid::AddExpand(int c, int r, int expandedHeight)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    if (!g) return;
    g->CellType = ctExpand;
    g->CellAngle = expandedHeight;
    g->CellIndex = RowHeights(r);
    g->CellVar = false;
}

bool TExtStringGrid::ToggleExpand(int c, int r)
{
    if (c < 0 || r < 0) return false;
    const QPoint b = BaseCell(c, r);
    TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    if (!g) return false;
    g->CellVar = !g->CellVar.toBool();
    return g->CellVar.toBool();
}

bool TExtStringGrid::GetExpandState(int c, int r)
{
    if (c < 0 || r < 0) return false;
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    return g && g->CellVar.toBool();
}

int TExtStringGrid::GetExpandHeight(int c, int r, bool expanded)
{
    if (c < 0 || r < 0) return DefaultRowHeight();
    const QPoint b = BaseCell(c, r);
    const TCellGraphic* g = GetCellGraphic(b.x(), b.y());
    if (!g) return DefaultRowHeight();
    return expanded ? g->CellAngle : g->CellIndex;
}

void TExtStringGrid::AddMarker(int c, int r, int errPos, int errLen)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) {
        g = CreateCellGraphic(c, r);
        if (!g) return;
        g->CellType = ctEmpty;
    }
    g->CellErrFrom = errPos;
    g->CellErrLen = errLen;
    RepaintDispl(c, r);
}

void TExtStringGrid::RemoveMarker(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) return;
    if (g->CellType == ctEmpty) {
        RemoveCellGraphic(c, r);
        return;
    }
    g->CellErrFrom = 0;
    g->CellErrLen = 0;
    RepaintDispl(c, r);
}

void TExtStringGrid::RemoveAllMarkers()
{
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r) RemoveMarker(c, r);
}

void TExtStringGrid::GetMarker(int c, int r, int& errPos, int& errLen)
{
    const TCellGraphic* g = GetCellGraphic(c, r);
    errPos = g ? g->CellErrFrom : 0;
    errLen = g ? g->CellErrLen : 0;
}
