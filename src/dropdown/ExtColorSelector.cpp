#include "dropdown/ExtColorSelector.h"

#include "platform/Grids.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <algorithm>
#include <cmath>

// ---- Shared pictures -------------------------------------------------------

namespace {

constexpr int kSpectrumSize = 128;
constexpr int kSpectrumMiddle = kSpectrumSize / 2;

// The fully saturated colour of hue column x (0..127) as r, g, b.
void SaturatedAt(int x, int& r, int& g, int& b)
{
    // Six sectors of 60 degrees across 128 columns.
    const double h = double(x) * 6.0 / kSpectrumSize; // 0 .. < 6
    const int sector = int(h);
    const double f = h - sector;
    const int up = int(std::lround(255.0 * f));
    const int down = 255 - up;
    switch (sector) {
    case 0: r = 255; g = up; b = 0; break;      // red -> yellow
    case 1: r = down; g = 255; b = 0; break;    // yellow -> green
    case 2: r = 0; g = 255; b = up; break;      // green -> cyan
    case 3: r = 0; g = down; b = 255; break;    // cyan -> blue
    case 4: r = up; g = 0; b = 255; break;      // blue -> magenta
    default: r = 255; g = 0; b = down; break;   // magenta -> red
    }
}

QImage MakeSpectrum()
{
    QImage img(kSpectrumSize, kSpectrumSize, QImage::Format_RGB888);
    for (int x = 0; x < kSpectrumSize; ++x) {
        int r, g, b;
        SaturatedAt(x, r, g, b);
        for (int y = 0; y < kSpectrumSize; ++y) {
            int cr, cg, cb;
            if (y <= kSpectrumMiddle) {
                // White at the top row, the pure hue at the middle row.
                const double t = double(y) / kSpectrumMiddle;
                cr = int(std::lround(255.0 + (r - 255.0) * t));
                cg = int(std::lround(255.0 + (g - 255.0) * t));
                cb = int(std::lround(255.0 + (b - 255.0) * t));
            } else {
                // The pure hue at the middle row, black at the bottom row.
                const double t = double(kSpectrumSize - 1 - y) / (kSpectrumSize - 1 - kSpectrumMiddle);
                cr = int(std::lround(r * t));
                cg = int(std::lround(g * t));
                cb = int(std::lround(b * t));
            }
            img.setPixel(x, y, qRgb(cr, cg, cb));
        }
    }
    return img;
}

} // namespace

const QImage& SpectrumPicture()
{
    static const QImage picture = MakeSpectrum();
    return picture;
}

TColor SpectrumColorAt(int x, int y)
{
    const QImage& img = SpectrumPicture();
    if (!img.valid(x, y)) return clNone;
    return QColorToColor(QColor::fromRgb(img.pixel(x, y)));
}

QImage EyedropperImage()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The squeeze bulb at the top right.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(21, 2, 9, 9));
    // The collar between bulb and tube.
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPoint(17, 10), QPoint(22, 15));
    // The glass tube: a black outline with a white core down to the tip.
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPoint(3, 28), QPoint(19, 12));
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QPoint(4, 27), QPoint(18, 13));
    p.end();
    // The tip itself is the hot spot.
    img.setPixel(1, 30, qRgba(0, 0, 0, 255));
    img.setPixel(2, 29, qRgba(0, 0, 0, 255));
    return img;
}

const QCursor& EyedropperCursor()
{
    static const QCursor cursor(QPixmap::fromImage(EyedropperImage()), 1, 30);
    return cursor;
}

// ---- TExtCustomColorSelectorPanel ----------------------------------------

TExtCustomColorSelectorPanel::TExtCustomColorSelectorPanel(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void TExtCustomColorSelectorPanel::SetColor(TColor value)
{
    if (FColor == value) return;
    FColor = value;
    update();
}

void TExtCustomColorSelectorPanel::SetHint(const QString& value)
{
    FHint = value;
    setToolTip(FShowHint ? FHint : QString());
}

void TExtCustomColorSelectorPanel::SetShowHint(bool value)
{
    FShowHint = value;
    setToolTip(FShowHint ? FHint : QString());
}

void TExtCustomColorSelectorPanel::RaiseShouldHide()
{
    if (FOnShouldHide) FOnShouldHide(this);
}

void TExtCustomColorSelectorPanel::CancelHint() { QToolTip::hideText(); }

void TExtCustomColorSelectorPanel::paintEvent(QPaintEvent*)
{
    TCanvas canvas(this);
    Paint(canvas);
}

void TExtCustomColorSelectorPanel::PaintBackground(TCanvas& canvas) const
{
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(FColor);
    canvas.FillRect(TRect{0, 0, width(), height()});
}

// ---- TExtColorCubePanel ----------------------------------------------------

namespace {

constexpr int kCubeRows = 13;
constexpr int kCubeRowLength[kCubeRows] = {7, 8, 9, 10, 11, 12, 13, 12, 11, 10, 9, 8, 7};

// The cells' colours, row by row, left to right.
constexpr TColor kCubeColors[TExtColorCubePanel::CellCount] = {
    0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000,
    0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333,
    0x808000, 0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666,
    0x669933, 0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066, 0xCC0066,
    0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099,
    0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF00CC,
    0xCC0099,
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
    0xCC00CC, 0x660066,
    0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0x9900CC,
    0x800080,
    0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9933CC, 0x990099,
    0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6, 0x663399,
    0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066,
    0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099,
    0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5,
};

constexpr int kCubeTop = 20;
constexpr int kCubeRowStep = 10;

} // namespace

QString CubeRGBHint(TColor color)
{
    return QStringLiteral("Red: %1,  Green: %2,  Blue: %3")
        .arg(GetRValue(color))
        .arg(GetGValue(color))
        .arg(GetBValue(color));
}

TExtColorCubePanel::TExtColorCubePanel(QWidget* parent) : TExtCustomColorSelectorPanel(parent)
{
    InitializeCells();
    SetShowRGBHint(true);
}

void TExtColorCubePanel::InitializeCells()
{
    FCubeSize = QPoint(6, 3);
    int n = 0;
    for (int row = 1; row <= kCubeRows; ++row) {
        const int firstX = row <= 7 ? 55 - FCubeSize.x() * (row - 1) : 19 + FCubeSize.x() * (row - 7);
        const int y = kCubeTop + kCubeRowStep * (row - 1);
        for (int i = 0; i < kCubeRowLength[row - 1]; ++i, ++n) {
            FCubeCells[size_t(n)].X = firstX + 2 * FCubeSize.x() * i;
            FCubeCells[size_t(n)].Y = y;
            FCubeCells[size_t(n)].Color = kCubeColors[n];
        }
    }
}

void TExtColorCubePanel::ResetHotCell()
{
    FHotIndex = -1;
    SetDefaultSize(182, 160);
}

void TExtColorCubePanel::SetSelectedColor(TColor value)
{
    FSelectedColor = value;
    FSelectedIndex = -1;
    for (int n = 1; n <= CellCount; ++n) {
        if (Cell(n).Color == value) {
            FSelectedIndex = n;
            break;
        }
    }
}

void TExtColorCubePanel::SetShowRGBHint(bool value)
{
    FShowRGBHint = value;
    SetShowHint(value);
}

int TExtColorCubePanel::CellAtPos(int x, int y) const
{
    const int r2 = FCubeSize.x() * FCubeSize.x();
    for (int n = 1; n <= CellCount; ++n) {
        const int dx = Cell(n).X - x;
        const int dy = Cell(n).Y - y;
        if (dx * dx + dy * dy <= r2) return n;
    }
    return -1;
}

void TExtColorCubePanel::DrawHexagon(TCanvas& canvas, QPoint c, int w, int s)
{
    const int cx = c.x();
    const int cy = c.y();
    canvas.Polygon({QPoint(cx - w, cy - s), QPoint(cx, cy - 2 * s), QPoint(cx + w, cy - s), QPoint(cx + w, cy + s),
                    QPoint(cx, cy + 2 * s), QPoint(cx - w, cy + s)});
}

void TExtColorCubePanel::DrawCell(TCanvas& canvas, int n) const
{
    if (n < 1 || n > CellCount) return;
    const TCubeCell& cell = Cell(n);
    const QPoint centre(cell.X, cell.Y);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetPenColor(cell.Color);
    canvas.SetBrushColor(cell.Color);
    DrawHexagon(canvas, centre, FCubeSize.x(), FCubeSize.y());
    auto mark = [&](TColor outer) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenColor(outer);
        DrawHexagon(canvas, centre, FCubeSize.x() - 1, FCubeSize.y());
        canvas.SetPenColor(clWhite);
        DrawHexagon(canvas, centre, FCubeSize.x() - 2, FCubeSize.y() - 1);
        canvas.SetBrushStyle(TBrushStyle::Solid);
    };
    if (n == FHotIndex) mark(clRed);
    if (n == FSelectedIndex) mark(clBlack);
}

void TExtColorCubePanel::Paint(TCanvas& canvas) const
{
    PaintBackground(canvas);
    for (int n = 1; n <= CellCount; ++n) DrawCell(canvas, n);
}

void TExtColorCubePanel::InvalidateCell(int n)
{
    if (n < 1 || n > CellCount) return;
    const TCubeCell& c = Cell(n);
    update(QRect(c.X - FCubeSize.x() - 1, c.Y - 2 * FCubeSize.y() - 1, 2 * FCubeSize.x() + 3, 4 * FCubeSize.y() + 3));
}

void TExtColorCubePanel::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int n = CellAtPos(p.x(), p.y());
    if (n > 0) {
        if (n == FHotIndex) return;
        const int old = FHotIndex;
        FHotIndex = n;
        if (old > 0) InvalidateCell(old);
        InvalidateCell(n);
        if (FShowRGBHint) {
            SetHint(CubeRGBHint(Cell(n).Color));
            CancelHint();
        }
    } else if (FShowRGBHint) {
        SetHint(QString());
        CancelHint();
    }
}

void TExtColorCubePanel::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int n = CellAtPos(p.x(), p.y());
    if (n < 1) return;
    const int old = FSelectedIndex;
    if (old > 0) InvalidateCell(old);
    FSelectedColor = Cell(n).Color;
    FSelectedIndex = n;
    InvalidateCell(n);
    if (OnSelect) OnSelect(this);
}

void TExtColorCubePanel::mouseReleaseEvent(QMouseEvent*) { RaiseShouldHide(); }

// ---- TExtColorSpectrumPanel ------------------------------------------------

TSpectrumImage::TSpectrumImage(TExtColorSpectrumPanel* panel) : QWidget(panel), FPanel(panel)
{
    setMouseTracking(true);
    resize(SpectrumPicture().size());
    setCursor(EyedropperCursor());
}

void TSpectrumImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), Picture());
}

void TSpectrumImage::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    FPanel->SpectrumMouseMove(p.x(), p.y());
}

void TSpectrumImage::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    FPanel->SpectrumMouseDown(p.x(), p.y());
}

void TSpectrumImage::mouseReleaseEvent(QMouseEvent*) { FPanel->SpectrumMouseUp(); }

TSpectrumLayout SpectrumLayout(int panelWidth, int imageWidth, int imageHeight)
{
    TSpectrumLayout l;
    const int left = (panelWidth - imageWidth) / 2;
    const int top = 10;
    l.Image = TRect{left, top, left + imageWidth, top + imageHeight};
    l.Selected = TRect{left - 1, l.Image.Bottom + 8, left + imageWidth / 2 - 2, l.Image.Bottom + 28};
    l.Hot = TRect{l.Selected.Right + 4, l.Selected.Top, left + imageWidth + 1, l.Selected.Bottom};
    return l;
}

TExtColorSpectrumPanel::TExtColorSpectrumPanel(QWidget* parent)
    : TExtCustomColorSelectorPanel(parent), FSpectrumImage(new TSpectrumImage(this))
{
}

TRect TExtColorSpectrumPanel::ImageRect() const { return TRect::FromQRect(FSpectrumImage->geometry()); }

void TExtColorSpectrumPanel::ArrangeSpectrum()
{
    SetDefaultSize(150, 174);
    const TSpectrumLayout l = SpectrumLayout(width(), FSpectrumImage->width(), FSpectrumImage->height());
    FSpectrumImage->move(l.Image.Left, l.Image.Top);
    FSelectedRect = l.Selected;
    FHotRect = l.Hot;
    FHotColor = clNone;
    update();
}

void TExtColorSpectrumPanel::SetSelectedColor(TColor value)
{
    if (FSelectedColor != value) FSelectedColor = value;
}

void TExtColorSpectrumPanel::SpectrumMouseMove(int x, int y)
{
    // The colour the panel paints at that point is the picture's pixel; a
    // point outside the picture (the pointer dragged away with a button held)
    // keeps the last colour.
    const TColor c = SpectrumColorAt(x, y);
    if (c == clNone) return;
    FHotColor = c;
    update(FHotRect.Inflated(1, 1).ToQRect());
}

void TExtColorSpectrumPanel::SpectrumMouseDown(int x, int y)
{
    SpectrumMouseMove(x, y);
    FSelectedColor = FHotColor;
    update(FSelectedRect.Inflated(1, 1).ToQRect());
    if (OnSelect) OnSelect(this);
}

void TExtColorSpectrumPanel::SpectrumMouseUp() { RaiseShouldHide(); }

void TExtColorSpectrumPanel::mouseReleaseEvent(QMouseEvent*) { RaiseShouldHide(); }

void TExtColorSpectrumPanel::DrawSwatch(TCanvas& canvas, const TRect& r, TColor color) const
{
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.SetPenColor(clGray);
    canvas.Rectangle(r.Inflated(1, 1));
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(color);
    canvas.SetPenColor(clWhite);
    canvas.Rectangle(r);
}

void TExtColorSpectrumPanel::Paint(TCanvas& canvas) const
{
    PaintBackground(canvas);
    const TRect img = ImageRect();
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.SetPenColor(clWhite);
    canvas.Rectangle(img.Inflated(1, 1));
    canvas.SetPenColor(clGray);
    canvas.Rectangle(img.Inflated(2, 2));
    DrawSwatch(canvas, FSelectedRect, FSelectedColor);
    DrawSwatch(canvas, FHotRect, FHotColor);
}

// ---- TColorBoxItem, TColorBoxAppearance -------------------

void TColorBoxItem::SetColor(TColor value)
{
    if (FColor == value) return;
    FColor = value;
    if (FCollection) FCollection->ItemChanged();
}

void TColorBoxItem::Assign(const TColorBoxItem& source)
{
    SetColor(source.FColor);
    FEnabled = source.FEnabled;
    FColorBoxPos = source.FColorBoxPos;
}

void TColorBoxAppearance::Reset()
{
    const TColorBoxAppearance initial;
    Assign(initial);
}

void TColorBoxAppearance::Assign(const TColorBoxAppearance& source)
{
    FBorderColor = source.FBorderColor;
    FOuterBorderColorHot = source.FOuterBorderColorHot;
    FInnerBorderColorHot = source.FInnerBorderColorHot;
    FOuterBorderColorSelected = source.FOuterBorderColorSelected;
    FInnerBorderColorSelected = source.FInnerBorderColorSelected;
}

// ---- TCustomColorSelector --------------------------------------------------

namespace {

// The 60-box palette, row by row.
constexpr TColor kPalette[6][10] = {
    {0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7},
    {0xF2F2F2, 0x7F7F7F, 0xC3D9DD, 0xDACEC2, 0xF1E5DB, 0xDBDCF2, 0xDDF1EB, 0xECE0E5, 0xF3EEDB, 0xDAEAFD},
    {0xD8D8D8, 0x595959, 0x97BDC4, 0xE2B38D, 0xE4CCB8, 0xB7B9E5, 0xBCE3D7, 0xD9C1CC, 0xE8DDB7, 0xB5D5FB},
    {0xBFBFBF, 0x3F3F3F, 0x538993, 0xD48D54, 0xD7B395, 0x9496D9, 0x9BD6C3, 0xC7A2B2, 0xDCCD92, 0x8FC0FA},
    {0xA5A5A5, 0x262626, 0x294449, 0x5D3617, 0x926036, 0x343795, 0x3C9276, 0x7A495F, 0x9B8531, 0x096CE3},
    {0x7F7F7F, 0x0C0C0C, 0x101B1D, 0x3E240F, 0x614024, 0x232463, 0x28614F, 0x51313F, 0x675820, 0x064897},
};
constexpr TItemPos kPaletteRowPos[6] = {TItemPos::ipStandAlone, TItemPos::ipTop,    TItemPos::ipMiddle,
                                        TItemPos::ipMiddle,     TItemPos::ipMiddle, TItemPos::ipBottom};

} // namespace

TColorBoxLayout LayoutColorBoxes(const std::vector<TItemPos>& positions, int columns, int gap, int boxWidth,
                                 int boxHeight, const TRect& area)
{
    TColorBoxLayout l;
    if (positions.empty()) return l; // 100 x 50
    columns = std::max(columns, 1);
    int x = area.Left;
    int y = area.Top;
    int maxX = x;
    int inRow = 0;
    bool standAloneInRow = false;
    const int count = int(positions.size());
    for (int i = 0; i < count; ++i) {
        l.Rects.push_back(TRect{x, y, x + boxWidth, y + boxHeight});
        maxX = std::max(maxX, x);
        if (positions[size_t(i)] == TItemPos::ipStandAlone) standAloneInRow = true;
        ++inRow;
        if (i == count - 1) break;
        if (inRow == columns) {
            x = area.Left;
            y += boxHeight + (standAloneInRow ? gap : 0);
            inRow = 0;
            standAloneInRow = false;
        } else {
            x += boxWidth + gap;
        }
    }
    l.Height = y + boxHeight + area.Top;
    l.Width = maxX + boxWidth + area.Left + 1;
    return l;
}

TCustomColorSelector::TCustomColorSelector(QWidget* parent) : TExtCustomColorSelectorPanel(parent), FItems(this) {}

void TCustomColorSelector::AddDefaultColorBoxes()
{
    FItems.Clear();
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 10; ++col) {
            TColorBoxItem* item = FItems.Add();
            item->SetColor(kPalette[row][col]);
            item->SetColorBoxPos(kPaletteRowPos[row]);
        }
    }
}

void TCustomColorSelector::SetColumns(int value)
{
    if (FColumns == value) return;
    FColumns = value;
    LayoutItems();
}

void TCustomColorSelector::SetColumnGap(int value)
{
    if (FColumnGap == value) return;
    FColumnGap = value;
    LayoutItems();
}

void TCustomColorSelector::SetColorBoxWidth(int value)
{
    if (FColorBoxWidth == value) return;
    FColorBoxWidth = value;
    LayoutItems();
}

void TCustomColorSelector::SetColorBoxHeight(int value)
{
    if (FColorBoxHeight == value) return;
    FColorBoxHeight = value;
    LayoutItems();
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle value)
{
    if (FItemColorStyle == value) return;
    FItemColorStyle = value;
    if (value != TSelectionColorStyle::scCustom) FColorBoxAppearance.Reset();
}

void TCustomColorSelector::GetItemsArea(TRect& r) const
{
    r = TRect{FOffSetX, FOffSetY, width() - FOffSetX, height() - FOffSetY};
}

void TCustomColorSelector::GetItemSize(QSize& s) const { s = QSize(FColorBoxWidth, FColorBoxHeight); }

void TCustomColorSelector::LayoutItems()
{
    if (FItems.Count() == 0) {
        resize(100, 50);
        return;
    }
    FItemHot = -1;
    QSize size;
    GetItemSize(size);
    TRect area;
    GetItemsArea(area);
    std::vector<TItemPos> positions;
    for (int i = 0; i < FItems.Count(); ++i) positions.push_back(FItems.GetItem(i)->ColorBoxPos());
    const TColorBoxLayout l = LayoutColorBoxes(positions, FColumns, FColumnGap, size.width(), size.height(), area);
    for (int i = 0; i < FItems.Count(); ++i) FItems.GetItem(i)->SetRect(l.Rects[size_t(i)]);
    resize(l.Width, l.Height);
    update();
}

void TCustomColorSelector::InvalidateItem(int index)
{
    if (index < 0 || index >= FItems.Count()) return;
    // The border lines reach one pixel past the box's right and bottom edge.
    update(FItems.GetItem(index)->Rect().Inflated(1, 1).ToQRect());
}

bool TCustomColorSelector::IsDisabledBox(int index) const
{
    return index >= 0 && index < FItems.Count() && !FItems.GetItem(index)->Enabled();
}

void TCustomColorSelector::SetItemIndex(int value)
{
    // An index past the boxes names no colour: it is refused like a disabled box.
    if (value >= FItems.Count() || IsDisabledBox(value)) return;
    if (value < 0) value = -1;
    if (FItemIndex >= 0 && FItemIndex != value) {
        const int old = FItemIndex;
        FItemIndex = -1;
        InvalidateItem(old);
    }
    FItemIndex = value;
    if (value >= 0) {
        FSelectedColor = FItems.GetItem(value)->Color();
        InvalidateItem(value);
        if (OnItemSelect) OnItemSelect(this);
    }
}

void TCustomColorSelector::SetItemHot(int value)
{
    if (value >= FItems.Count()) value = -1;
    if (value < 0) value = -1;
    if (value == FItemHot || IsDisabledBox(value)) return;
    const int old = FItemHot;
    FItemHot = -1;
    InvalidateItem(old);
    FItemHot = value;
    if (value >= 0) InvalidateItem(value);
}

void TCustomColorSelector::SetSelectedColor(TColor value)
{
    if (FSelectedColor == value) return;
    FSelectedColor = value;
    int found = -1;
    if (value != clNone) {
        for (int i = 0; i < FItems.Count(); ++i) {
            if (FItems.GetItem(i)->Color() == value) {
                found = i;
                break;
            }
        }
    }
    SetItemIndex(found);
}

int TCustomColorSelector::ItemAtPos(int x, int y) const
{
    for (int i = 0; i < FItems.Count(); ++i)
        if (FItems.GetItem(i)->Rect().Contains(x, y)) return i;
    return -1;
}

TRect TCustomColorSelector::GetItemRect(int index) const
{
    if (index < 0 || index >= FItems.Count()) return TRect{-1, -1, -1, -1};
    return FItems.GetItem(index)->Rect();
}

void TCustomColorSelector::SelectFirst()
{
    if (FItems.Count() > 0) SetItemIndex(0);
}

void TCustomColorSelector::SelectLast()
{
    if (FItems.Count() > 0) SetItemIndex(FItems.Count() - 1);
}

void TCustomColorSelector::SelectNext()
{
    const int next = FItemIndex < 0 ? 0 : FItemIndex + 1;
    if (next < FItems.Count()) SetItemIndex(next);
}

void TCustomColorSelector::SelectPrevious()
{
    if (FItemIndex - 1 >= 0) SetItemIndex(FItemIndex - 1);
}

void TCustomColorSelector::HotNext()
{
    const int next = FItemHot < 0 ? 0 : FItemHot + 1;
    if (next < FItems.Count()) SetItemHot(next);
}

void TCustomColorSelector::HotPrevious()
{
    if (FItemHot - 1 >= 0) SetItemHot(FItemHot - 1);
}

void TCustomColorSelector::HandleKey(int key, bool editorEnabled, bool droppedDown)
{
    if (!isEnabled() || key < VK_PRIOR || key > VK_DOWN) return;
    const bool stepSideways = droppedDown || !editorEnabled;
    switch (key) {
    case VK_PRIOR:
    case VK_HOME: SelectFirst(); break;
    case VK_NEXT:
    case VK_END: SelectLast(); break;
    case VK_LEFT:
        if (stepSideways) SelectPrevious();
        break;
    case VK_RIGHT:
        if (stepSideways) SelectNext();
        break;
    case VK_UP:
        if (!droppedDown) {
            SelectPrevious();
        } else {
            const int i = FItemIndex >= 0 ? FItemIndex - FColumns : 0;
            if (i >= 0 && i < FItems.Count()) SetItemIndex(i);
        }
        break;
    case VK_DOWN:
        if (!droppedDown) {
            SelectNext();
        } else {
            const int i = FItemIndex >= 0 ? FItemIndex + FColumns : 0;
            if (i >= 0 && i < FItems.Count()) SetItemIndex(i);
        }
        break;
    default: break;
    }
}

void TCustomColorSelector::DrawItem(int index, TCanvas* canvas) const
{
    if (!canvas || index < 0 || index >= FItems.Count()) return;
    const TColorBoxItem& item = *FItems.GetItem(index);
    TRect r = item.Rect();
    canvas->SetBrushStyle(TBrushStyle::Solid);
    if (item.Color() != clNone) {
        canvas->SetPenColor(item.Color());
        canvas->SetBrushColor(item.Color());
        canvas->Rectangle(r);
    }
    const TColorBoxAppearance& a = FColorBoxAppearance;
    const bool selected = index == FItemIndex;
    const bool hot = index == FItemHot;
    if (selected || hot) {
        const TColor outer = selected ? a.OuterBorderColorSelected() : a.OuterBorderColorHot();
        const TColor inner = selected ? a.InnerBorderColorSelected() : a.InnerBorderColorHot();
        canvas->SetBrushStyle(TBrushStyle::Clear);
        if (outer != clNone) {
            canvas->SetPenColor(outer);
            canvas->Rectangle(r);
        }
        r = r.Inflated(-1, -1);
        if (inner != clNone) {
            canvas->SetPenColor(inner);
            canvas->Rectangle(r);
        }
        canvas->SetBrushStyle(TBrushStyle::Solid);
        return;
    }
    canvas->SetPenColor(a.BorderColor());
    switch (item.ColorBoxPos()) {
    case TItemPos::ipStandAlone:
        canvas->MoveTo(r.Left, r.Bottom);
        canvas->LineTo(r.Left, r.Top);
        canvas->LineTo(r.Right, r.Top);
        canvas->LineTo(r.Right, r.Bottom);
        canvas->LineTo(r.Left, r.Bottom);
        break;
    case TItemPos::ipTop:
        canvas->MoveTo(r.Left, r.Bottom);
        canvas->LineTo(r.Left, r.Top);
        canvas->LineTo(r.Right, r.Top);
        canvas->LineTo(r.Right, r.Bottom);
        break;
    case TItemPos::ipMiddle:
        canvas->MoveTo(r.Left, r.Top);
        canvas->LineTo(r.Left, r.Bottom);
        canvas->MoveTo(r.Right, r.Top);
        canvas->LineTo(r.Right, r.Bottom);
        break;
    case TItemPos::ipBottom:
        canvas->MoveTo(r.Left, r.Top);
        canvas->LineTo(r.Left, r.Bottom);
        canvas->LineTo(r.Right, r.Bottom);
        canvas->MoveTo(r.Right, r.Top);
        canvas->LineTo(r.Right, r.Bottom + 1);
        break;
    }
}

void TCustomColorSelector::Paint(TCanvas& canvas) const
{
    PaintBackground(canvas);
    for (int i = 0; i < FItems.Count(); ++i) DrawItem(i, &canvas);
}

void TCustomColorSelector::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int i = ItemAtPos(p.x(), p.y());
    if (i == FItemHot) return;
    SetItemHot(IsDisabledBox(i) ? -1 : i);
}

void TCustomColorSelector::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const int i = ItemAtPos(p.x(), p.y());
    if (i >= 0 && !IsDisabledBox(i)) SetItemIndex(i);
}

void TCustomColorSelector::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    SetItemHot(-1);
}
