#include "dropdown/ExtItemSelector.h"

#include "controls/EsgHTMLUtil.h"
#include "controls/ExtDropDownDraw.h"
#include "controls/ExtUtilDraw.h"
#include "dropdown/ExtTypeAhead.h"
#include "platform/ImageList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

// ---- Items -------------------------------------------------------------------

void TSelectorItem::SetColor(TColor value)
{
    if (value == FColor) return;
    FColor = value;
    Changed();
}

void TSelectorItem::Assign(const TSelectorItem& source)
{
    if (&source == this) return;
    SetCaption(source.Caption());
    SetColor(source.FColor);
    SetImageIndex(source.ImageIndex());
    AssignPicture(source);
}

std::optional<int> SteppedIndex(int current, int count, int step)
{
    if (count <= 0) return std::nullopt;
    if (current < 0) return 0;
    const int next = current + step;
    if (next < 0 || next >= count) return std::nullopt;
    return next;
}

// ---- Look --------------------------------------------------------------------

namespace {

constexpr TItemStyleColors kOffice2007Items{0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF,
                                            0x8DD7D3, 0xC3D9DF, 0xA6FFFB, 0x04B9F4, 0x15C1FB, 0x68E3F9};
constexpr TItemStyleColors kVistaItems{0xFDF8F1, 0xFCEFD5, clNone,   clNone,   0xFDFBF6, 0xFDF5E7,
                                       0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4, clNone,   clNone};
constexpr TItemStyleColors kWindows7Items{0xFCEBDC, 0xFCDBC1, clNone,   clNone,   0xFDF4EB, 0xFDEADB,
                                          0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2, clNone,   clNone};

} // namespace

const TItemStyleColors* ItemStyleColors(TSelectionColorStyle style)
{
    switch (style) {
    case TSelectionColorStyle::scOffice2007: return &kOffice2007Items;
    case TSelectionColorStyle::scWindowsVista: return &kVistaItems;
    case TSelectionColorStyle::scWindows7: return &kWindows7Items;
    case TSelectionColorStyle::scCustom: break;
    }
    return nullptr;
}

TItemAppearance::TItemAppearance(QObject* owner) : FOwner(owner), FFont(QStringLiteral("Tahoma"))
{
    SetColorStyle(TSelectionColorStyle::scOffice2007);
}

void TItemAppearance::SetStyleColors(const TItemStyleColors& c)
{
    FColorHot = c.ColorHot;
    FColorHotTo = c.ColorHotTo;
    FColorMirrorHot = c.ColorMirrorHot;
    FColorMirrorHotTo = c.ColorMirrorHotTo;
    FBorderColorTop = c.BorderColorTop;
    FBorderColorBottom = c.BorderColorBottom;
    FBorderColor = c.BorderColor;
    FEdgeColor = c.EdgeColor;
    FColorSelected = c.ColorSelected;
    FColorSelectedTo = c.ColorSelectedTo;
    FColorMirrorSelected = c.ColorMirrorSelected;
    FColorMirrorSelectedTo = c.ColorMirrorSelectedTo;
}

TItemStyleColors TItemAppearance::StyleColors() const
{
    return {FColorHot,      FColorHotTo,       FColorMirrorHot, FColorMirrorHotTo, FBorderColorTop,      FBorderColorBottom,
            FBorderColor,   FEdgeColor,        FColorSelected,  FColorSelectedTo,  FColorMirrorSelected, FColorMirrorSelectedTo};
}

void TItemAppearance::SetColorStyle(TSelectionColorStyle style)
{
    if (style == FColorStyle) return;
    FColorStyle = style;
    if (const TItemStyleColors* c = ItemStyleColors(style)) SetStyleColors(*c);
}

void TItemAppearance::Assign(const TItemAppearance& source)
{
    if (&source == this) return;
    SetStyleColors(source.StyleColors());
    FFont = source.FFont;
    FFontColor = source.FFontColor;
    SetColorStyle(source.FColorStyle);
    FColorSelectedText = source.FColorSelectedText;
    FColorHotText = source.FColorHotText;
    FBorderColorHot = source.FBorderColorHot;
    FBorderColorSelected = source.FBorderColorSelected;
}

namespace {

// The item colours of a named style: hot, selected, border, and the top,
// bottom and edge colours of the bevelled face.
struct TItemStylePreset {
    TColor Hot[4];
    TColor Selected[4];
    TColor Border;
    TColor Top, Bottom, Edge;
    TColor SelectedText;
};

constexpr TItemStylePreset kOfficeFlat{{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF}, {0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE}, 0x42AEFE,
                                       clNone, clNone, clNone, 0x000000};
constexpr TItemStylePreset kOffice2007{{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF}, {0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE}, 0x42AEFE,
                                       0xF4FEFF, 0xCAF8FF, 0xC3D9DF, 0x000000};
constexpr TItemStylePreset kClassic{{0xD2BDB6, 0xD2BDB6, clNone, clNone}, {0xB59285, 0xB59285, clNone, clNone}, 0x808080,
                                    clNone, clNone, clNone, 0x000000};
constexpr TItemStylePreset kWindowsXP{{0xEFD3C6, 0xEFD3C6, clNone, clNone}, {clHighlight, clNone, clNone, clNone}, clHighlight,
                                      clNone, clNone, clNone, clHighlightText};
constexpr TItemStylePreset kVista{{0xFFFDF9, 0xFFFAF0, clNone, clNone}, {0xFEF9F0, 0xFDF0D7, clNone, clNone}, 0xFEDF9A,
                                  0xFDFBF6, 0xFDF5E7, 0xFCEDCB, 0x000000};
constexpr TItemStylePreset kWindows7{{0xFDFBFA, 0xFDF3EB, clNone, clNone}, {0xFCEBDC, 0xFCDBC1, clNone, clNone}, 0xCEA27D,
                                     0xFDF4EB, 0xFDEADB, 0xE0C5AE, 0x000000};
constexpr TItemStylePreset kTerminal{{0xC0C0C0, 0xC0C0C0, clNone, clNone}, {clHighlight, clNone, clNone, clNone}, 0x808080,
                                     clNone, clNone, clNone, clHighlightText};
constexpr TItemStylePreset kOffice2010{{0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD}, {0x7BEEFF, 0x6CD0FF, 0x6CD0FF, 0x7BEEFF}, 0x308AC2,
                                       clNone, clNone, clNone, 0x000000};

const TItemStylePreset* ItemStylePreset(TStudioStyle style)
{
    switch (style) {
    case tsOffice2003Blue:
    case tsOffice2003Silver:
    case tsOffice2003Olive:
    case tsWhidbey: return &kOfficeFlat;
    case tsOffice2007Luna:
    case tsOffice2007Obsidian:
    case tsOffice2007Silver: return &kOffice2007;
    case tsOffice2003Classic: return &kClassic;
    case tsWindowsXP: return &kWindowsXP;
    case tsWindowsVista: return &kVista;
    case tsWindows7: return &kWindows7;
    case tsTerminal: return &kTerminal;
    case tsOffice2010Blue:
    case tsOffice2010Silver:
    case tsOffice2010Black: return &kOffice2010;
    case tsCustom: break;
    }
    return nullptr;
}

} // namespace

void ApplyItemAppearanceStyle(TItemAppearance* appearance, TStudioStyle style)
{
    if (!appearance) return;
    const TItemStylePreset* p = ItemStylePreset(style);
    if (!p) return;
    appearance->SetBorderColorHot(clNone);
    appearance->SetBorderColorSelected(clNone);
    appearance->SetColorHotText(0x000000);
    appearance->SetColorSelectedText(p->SelectedText);
    appearance->SetColorHot(p->Hot[0]);
    appearance->SetColorHotTo(p->Hot[1]);
    appearance->SetColorMirrorHot(p->Hot[2]);
    appearance->SetColorMirrorHotTo(p->Hot[3]);
    appearance->SetColorSelected(p->Selected[0]);
    appearance->SetColorSelectedTo(p->Selected[1]);
    appearance->SetColorMirrorSelected(p->Selected[2]);
    appearance->SetColorMirrorSelectedTo(p->Selected[3]);
    appearance->SetBorderColor(p->Border);
    appearance->SetBorderColorTop(p->Top);
    appearance->SetBorderColorBottom(p->Bottom);
    appearance->SetEdgeColor(p->Edge);
}

// ---- Layout (pure) -------------------------------------------------------------

QSize ItemSizeFor(TItemLayout layout, QSize box, QSize caption, const TItemMargins& m)
{
    const int bw = std::max(0, box.width()), bh = std::max(0, box.height());
    int cw = std::max(0, caption.width());
    const int ch = std::max(0, caption.height());
    if (cw > 0) cw += 4;
    switch (layout) {
    case TItemLayout::ilCaptionLeft:
    case TItemLayout::ilCaptionRight: {
        const int w = 2 * m.ItemOffSetX + bw + ((bw > 0 && cw > 0) ? m.CaptionGap : 0) + cw;
        return QSize(w, std::max(ch, bh) + 2 * m.ItemOffSetY);
    }
    case TItemLayout::ilCaptionTop:
    case TItemLayout::ilCaptionBottom: {
        const int h = 2 * m.ItemOffSetY + bh + ((bh > 0 && ch >= 1) ? m.CaptionGap : 0) + ch;
        return QSize(std::max(cw, bw) + 2 * m.ItemOffSetX, h);
    }
    }
    return QSize();
}

TItemMatrix LayoutItemMatrix(int count, int columns, QSize itemSize, const TItemMargins& m)
{
    TItemMatrix result;
    if (count <= 0) {
        result.PanelSize = QSize(100, 50);
        return result;
    }
    if (columns < 1) columns = 1;
    int right = 0, bottom = 0;
    result.Rects.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int x = m.OffSetX + (i % columns) * itemSize.width();
        const int y = m.OffSetY + (i / columns) * itemSize.height();
        const TRect r{x, y, x + itemSize.width(), y + itemSize.height()};
        result.Rects.push_back(r);
        right = std::max(right, r.Right);
        bottom = std::max(bottom, r.Bottom);
    }
    result.PanelSize = QSize(right + m.OffSetX, bottom + m.OffSetY);
    return result;
}

TItemPlacement PlaceItem(TItemLayout layout, const TRect& cr, QSize content, QSize caption, bool hasCaption, bool isColorBox,
                         int gap)
{
    TItemPlacement p;
    const int cw = content.width(), ch = content.height();
    const int centredY = cr.Top + (cr.Height() - ch) / 2;
    const int centredX = cr.Left + (cr.Width() - cw) / 2;
    // A caption lower than its rectangle moves down by half the spare height.
    auto centreCaption = [&](TRect r) {
        if (caption.height() < r.Height()) r.Top += (r.Height() - caption.height()) / 2;
        return r;
    };
    switch (layout) {
    case TItemLayout::ilCaptionLeft: {
        int x = cr.Left;
        if (hasCaption) {
            p.Caption = centreCaption(TRect{cr.Left, cr.Top, cr.Right - cw, cr.Bottom});
            x = cr.Left + caption.width() + gap;
        }
        p.Content = QPoint(x, isColorBox ? cr.Top : centredY);
        break;
    }
    case TItemLayout::ilCaptionRight: {
        p.Content = QPoint(cr.Left, isColorBox ? cr.Top : centredY);
        if (hasCaption) {
            const int left = cw > 0 ? cr.Left + gap + cw : cr.Left;
            p.Caption = centreCaption(TRect{left, cr.Top, cr.Right, cr.Bottom});
        }
        break;
    }
    case TItemLayout::ilCaptionTop:
        if (hasCaption) {
            p.Caption = TRect{cr.Left, cr.Top, cr.Right, cr.Bottom - ch};
            p.Content = QPoint(centredX, cr.Top + caption.height() + gap);
        } else {
            p.Content = QPoint(centredX, centredY);
        }
        break;
    case TItemLayout::ilCaptionBottom:
        p.Content = QPoint(centredX, hasCaption ? cr.Top : centredY);
        if (hasCaption) p.Caption = TRect{cr.Left, p.Content.y() + ch + gap, cr.Right, cr.Bottom};
        break;
    }
    return p;
}

// ---- The panel ---------------------------------------------------------------

TCustomItemSelector::TCustomItemSelector(TExtCustomItemSelector& owner) : QWidget(nullptr), FExtItemSelector(&owner)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TCustomItemSelector::Columns() const { return FExtItemSelector->Columns(); }
TSelectorItems& TCustomItemSelector::Items() const { return FExtItemSelector->Items(); }
TSelectorType TCustomItemSelector::SelectorType() const { return FExtItemSelector->SelectorType(); }
TItemLayout TCustomItemSelector::ItemLayout() const { return FExtItemSelector->ItemLayout(); }
TCustomImageList* TCustomItemSelector::Images() const { return FExtItemSelector->Images(); }
TSelectionColorStyle TCustomItemSelector::ItemColorStyle() const { return FExtItemSelector->ItemAppearance().ColorStyle(); }
TColor TCustomItemSelector::ItemColorHot() const { return FExtItemSelector->ItemAppearance().ColorHot(); }
TColor TCustomItemSelector::ItemColorHotTo() const { return FExtItemSelector->ItemAppearance().ColorHotTo(); }
TColor TCustomItemSelector::ItemColorSelected() const { return FExtItemSelector->ItemAppearance().ColorSelected(); }
TColor TCustomItemSelector::ItemColorSelectedTo() const { return FExtItemSelector->ItemAppearance().ColorSelectedTo(); }
int TCustomItemSelector::ColorBoxHeight() const { return FExtItemSelector->ColorBoxHeight(); }
int TCustomItemSelector::ColorBoxWidth() const { return FExtItemSelector->ColorBoxWidth(); }
TColor TCustomItemSelector::PanelColor() const { return FExtItemSelector->Color(); }

bool TCustomItemSelector::ItemUsable(int index) const
{
    return index >= 0 && index < Items().Count() && Items().GetItem(index)->Enabled();
}

void TCustomItemSelector::SetItemIndex(int value)
{
    const int count = Items().Count();
    // An index beyond the items would leave the editors reading a missing
    // item; it is ignored like a disabled one.
    if (value >= count) return;
    if (value >= 0 && !Items().GetItem(value)->Enabled()) return;
    if (value < 0) value = -1;
    if (FItemIndex >= 0) {
        const int old = FItemIndex;
        FItemIndex = -1;
        InvalidateItem(old);
    }
    FItemIndex = value;
    if (value >= 0) {
        InvalidateItem(value);
        if (OnItemSelect) OnItemSelect(this);
    }
}

void TCustomItemSelector::SetItemHot(int index)
{
    if (index == FItemHot) return;
    if (index >= Items().Count()) return;
    if (index >= 0 && !Items().GetItem(index)->Enabled()) return;
    if (index < 0) index = -1;
    if (FItemHot >= 0) {
        const int old = FItemHot;
        FItemHot = -1;
        InvalidateItem(old);
    }
    FItemHot = index;
    if (index >= 0) InvalidateItem(index);
}

void TCustomItemSelector::SelectFirst()
{
    if (Items().Count() > 0) SetItemIndex(0);
}

void TCustomItemSelector::SelectLast()
{
    if (Items().Count() > 0) SetItemIndex(Items().Count() - 1);
}

void TCustomItemSelector::SelectNext()
{
    if (const auto next = SteppedIndex(FItemIndex, Items().Count(), 1)) SetItemIndex(*next);
}

void TCustomItemSelector::SelectPrevious()
{
    if (const auto next = SteppedIndex(FItemIndex, Items().Count(), -1)) SetItemIndex(*next);
}

void TCustomItemSelector::HotNext()
{
    if (const auto next = SteppedIndex(FItemHot, Items().Count(), 1)) SetItemHot(*next);
}

void TCustomItemSelector::HotPrevious()
{
    if (const auto next = SteppedIndex(FItemHot, Items().Count(), -1)) SetItemHot(*next);
}

bool TCustomItemSelector::LookupItem(const QString& text)
{
    if (text.isEmpty()) return false;
    for (int i = 0; i < Items().Count(); ++i) {
        const QString caption = StripMiniHtml(Items().GetItem(i)->Caption()).trimmed().toUpper();
        if (caption.startsWith(text)) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

int TCustomItemSelector::ItemAtPos(int x, int y) const
{
    for (int i = 0; i < Items().Count(); ++i)
        if (Items().GetItem(i)->FRect.Contains(x, y)) return i;
    return -1;
}

TRect TCustomItemSelector::GetItemsArea() const
{
    return TRect{FMargins.OffSetX, FMargins.OffSetY, width() - FMargins.OffSetX, height() - FMargins.OffSetY};
}

QSize TCustomItemSelector::GetItemSize()
{
    QSize size(0, 0);
    if (FExtItemSelector->OnItemSize) {
        FExtItemSelector->OnItemSize(this, size);
        return size;
    }
    QSize box = SelectorType() == TSelectorType::stColor ? QSize(ColorBoxWidth(), ColorBoxHeight()) : QSize(0, 0);
    QImage scratch(1, 1, QImage::Format_ARGB32);
    TCanvas canvas(&scratch);
    canvas.SetFont(FExtItemSelector->ItemAppearance().Font());
    TCustomImageList* images = Images();
    QSize caption(0, 0);
    for (int i = 0; i < Items().Count(); ++i) {
        const TSelectorItem* item = Items().GetItem(i);
        if (SelectorType() == TSelectorType::stImage) {
            if (!item->Image().isNull()) box = box.expandedTo(item->Image().size());
            else if (images && item->ImageIndex() >= 0) box = box.expandedTo(QSize(images->Width(), images->Height()));
        }
        caption = caption.expandedTo(DrawItemTextOrHtml(canvas, item->Caption(), Rect(0, 0, 1000, 500), this, false, images));
    }
    return ItemSizeFor(ItemLayout(), box, caption, FMargins);
}

void TCustomItemSelector::LayoutItems()
{
    const int count = Items().Count();
    if (count > 0) {
        FItemHot = -1;
        const TItemMatrix m = LayoutItemMatrix(count, Columns(), GetItemSize(), FMargins);
        for (int i = 0; i < count; ++i) Items().GetItem(i)->FRect = m.Rects[size_t(i)];
        resize(m.PanelSize);
    } else {
        resize(100, 50);
    }
    update();
}

void TCustomItemSelector::InvalidateItem(int index)
{
    if (index < 0 || index >= Items().Count()) return;
    const TRect& r = Items().GetItem(index)->FRect;
    if (r.Left < 0 && r.Right < 0) return;
    update(r.ToQRect());
}

void TCustomItemSelector::DrawItem(int index, TCanvas* canvas)
{
    if (!canvas || index < 0 || index >= Items().Count()) return;
    const TSelectorItem* item = Items().GetItem(index);
    const TRect r = item->FRect;
    if (r.Left == -1 && r.Top == -1 && r.Right == -1 && r.Bottom == -1) return;
    const TItemAppearance& a = FExtItemSelector->ItemAppearance();
    const bool hot = index == FItemHot, selected = index == FItemIndex;

    TColor border = a.BorderColor(), top = a.BorderColorTop(), bottom = a.BorderColorBottom(), edge = a.EdgeColor();
    TColor c1 = clNone, c2 = clNone, m1 = clNone, m2 = clNone;
    auto take = [&](TColor from, TColor to, TColor mirror, TColor mirrorTo, TColor special) {
        c1 = from, c2 = to, m1 = mirror, m2 = mirrorTo;
        if (special != clNone) border = special, top = clNone, bottom = clNone, edge = clNone;
    };
    if (selected) take(a.ColorSelected(), a.ColorSelectedTo(), a.ColorMirrorSelected(), a.ColorMirrorSelectedTo(), a.BorderColorSelected());
    else if (hot) take(a.ColorHot(), a.ColorHotTo(), a.ColorMirrorHot(), a.ColorMirrorHotTo(), a.BorderColorHot());

    if (!hot && !selected) {
        FillRectColor(*canvas, r, PanelColor());
    } else if (top == clNone) {
        DrawGradientRect(*canvas, r, c1, TGradientDirection::gdVertical, 1, border, c2);
    } else {
        DrawBevelTabFace(*canvas, c1, c2, m1, m2, top, bottom, border, edge, PanelColor(), r, bpSingle);
    }

    if (FExtItemSelector->OnDrawItem) {
        FExtItemSelector->OnDrawItem(this, canvas, r, index);
        return;
    }

    TCustomImageList* images = Images();
    const bool colorBox = SelectorType() == TSelectorType::stColor;
    const bool picture = !colorBox && !item->Image().isNull();
    const bool listImage = !colorBox && !picture && images && item->ImageIndex() >= 0;
    QSize content(0, 0);
    if (colorBox) content = QSize(ColorBoxWidth(), ColorBoxHeight());
    else if (picture) content = item->Image().size();
    else if (listImage) content = QSize(images->Width(), images->Height());

    const TRect cr = r.Inflated(-FMargins.ItemOffSetX, -FMargins.ItemOffSetY);
    canvas->SetFont(a.Font());
    canvas->SetFontColor(selected ? a.ColorSelectedText() : hot ? a.ColorHotText() : a.FontColor());
    const bool hasCaption = !item->Caption().isEmpty();
    QSize caption(0, 0);
    if (hasCaption) caption = DrawItemTextOrHtml(*canvas, item->Caption(), cr, this, false, images);
    const TItemPlacement place = PlaceItem(ItemLayout(), cr, content, caption, hasCaption, colorBox, FMargins.CaptionGap);

    if (hasCaption) {
        canvas->SetBrushStyle(TBrushStyle::Clear);
        DrawItemTextOrHtml(*canvas, item->Caption(), place.Caption, this, true, images);
        canvas->SetBrushStyle(TBrushStyle::Solid);
    }
    const int x = place.Content.x(), y = place.Content.y();
    if (colorBox) {
        canvas->SetPenColor(clBlack);
        canvas->SetPenWidth(1);
        canvas->SetPenStyle(TPenStyle::Solid);
        canvas->SetBrushColor(item->Color());
        canvas->SetBrushStyle(TBrushStyle::Solid);
        canvas->Rectangle(x, y, x + content.width(), y + content.height());
    } else if (picture) {
        canvas->Draw(x, y, item->Image());
    } else if (listImage) {
        images->Draw(*canvas, x, y, item->ImageIndex(), item->Enabled());
    }
}

void TCustomItemSelector::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    TCanvas canvas(painter);
    canvas.SetClipRegion(event->region());
    FillRectColor(canvas, TRect::FromQRect(rect()), PanelColor());
    for (int i = 0; i < Items().Count(); ++i) {
        if (!event->region().intersects(Items().GetItem(i)->FRect.ToQRect())) continue;
        canvas.Save();
        DrawItem(i, &canvas);
        canvas.Restore();
    }
}

void TCustomItemSelector::mousePressEvent(QMouseEvent* event)
{
    const int index = ItemAtPos(event->position().toPoint().x(), event->position().toPoint().y());
    if (ItemUsable(index)) SetItemIndex(index);
}

void TCustomItemSelector::mouseMoveEvent(QMouseEvent* event)
{
    const int index = ItemAtPos(event->position().toPoint().x(), event->position().toPoint().y());
    if (index < 0) {
        SetItemHot(-1);
        return;
    }
    if (index == FItemHot) return;
    // A disabled item makes no item hot.
    SetItemHot(ItemUsable(index) ? index : -1);
    setToolTip(Items().GetItem(index)->Hint());
    QToolTip::hideText();
}

void TCustomItemSelector::leaveEvent(QEvent* event)
{
    SetItemHot(-1);
    QWidget::leaveEvent(event);
}

// ---- The container -------------------------------------------------------------

TExtCustomItemSelector::TExtCustomItemSelector(QWidget* parent)
    : QScrollArea(parent), FItems(std::make_unique<TSelectorItems>(this)), FItemAppearance(std::make_unique<TItemAppearance>(this))
{
    FItems->OnChange = [this](TStripButtonCollection<TSelectorItem>*) { UpdateSelectorPanel(); };
    FItemAppearance->SetColorStyle(TSelectionColorStyle::scOffice2007);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    FItemSelectorPanel = new TCustomItemSelector(*this);
    FItemSelectorPanel->OnItemSelect = [this](QObject*) {
        if (OnItemSelect) OnItemSelect(this);
    };
    setWidget(FItemSelectorPanel);
    UpdateSelectorPanel();
}

TExtCustomItemSelector::~TExtCustomItemSelector()
{
    // The panel reads the items while it goes; it goes first.
    delete takeWidget();
    FItemSelectorPanel = nullptr;
}

void TExtCustomItemSelector::UpdateSelectorPanel()
{
    if (FItemSelectorPanel) FItemSelectorPanel->LayoutItems();
}

void TExtCustomItemSelector::SetColumns(int value)
{
    if (value <= 0 || value == FColumns) return;
    FColumns = value;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetSelectorType(TSelectorType value)
{
    if (value == FSelectorType) return;
    FSelectorType = value;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetImages(TCustomImageList* value)
{
    if (value == FImages.get()) return;
    FImages = value;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColorBoxWidth(int value)
{
    if (value == FColorBoxWidth) return;
    FColorBoxWidth = value;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColorBoxHeight(int value)
{
    if (value == FColorBoxHeight) return;
    FColorBoxHeight = value;
    UpdateSelectorPanel();
}

void TExtCustomItemSelector::SetColor(TColor value)
{
    if (value == FColor) return;
    FColor = value;
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorToQColor(value));
    setPalette(p);
    if (FItemSelectorPanel) FItemSelectorPanel->update();
}

int TExtCustomItemSelector::ItemIndex() const { return FItemSelectorPanel ? FItemSelectorPanel->ItemIndex() : -1; }

void TExtCustomItemSelector::SetItemIndex(int value)
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->SetItemIndex(value);
    ScrollItemInView(FItemSelectorPanel->ItemIndex());
}

int TExtCustomItemSelector::ItemHot() const { return FItemSelectorPanel ? FItemSelectorPanel->ItemHot() : -1; }

void TExtCustomItemSelector::SelectFirst()
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->SelectFirst();
    ScrollItemInView(FItemSelectorPanel->ItemIndex());
}

void TExtCustomItemSelector::SelectLast()
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->SelectLast();
    ScrollItemInView(FItemSelectorPanel->ItemIndex());
}

void TExtCustomItemSelector::SelectNext()
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->SelectNext();
    ScrollItemInView(FItemSelectorPanel->ItemIndex());
}

void TExtCustomItemSelector::SelectPrevious()
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->SelectPrevious();
    ScrollItemInView(FItemSelectorPanel->ItemIndex());
}

void TExtCustomItemSelector::HotNext()
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->HotNext();
    ScrollItemInView(FItemSelectorPanel->ItemHot());
}

void TExtCustomItemSelector::HotPrevious()
{
    if (!FItemSelectorPanel) return;
    FItemSelectorPanel->HotPrevious();
    ScrollItemInView(FItemSelectorPanel->ItemHot());
}

bool TExtCustomItemSelector::LookupItem(const QString& text) { return FItemSelectorPanel && FItemSelectorPanel->LookupItem(text); }

bool TExtCustomItemSelector::VertScrollBarVisible() const
{
    const QScrollBar* bar = verticalScrollBar();
    return verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && bar->maximum() > bar->minimum();
}

bool TExtCustomItemSelector::HorzScrollBarVisible() const
{
    const QScrollBar* bar = horizontalScrollBar();
    return horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && bar->maximum() > bar->minimum();
}

void TExtCustomItemSelector::ScrollItemInView(int index)
{
    if (!FItemSelectorPanel || index < 0 || index >= FItems->Count() || !VertScrollBarVisible()) return;
    QScrollBar* bar = verticalScrollBar();
    const TRect r = FItems->GetItem(index)->ItemRect();
    // The panel's top stands at -position in the client area.
    int top = r.Top - bar->value();
    int bottom = r.Bottom - bar->value();
    const int client = viewport()->height();
    if (top < 0) {
        bar->setValue(bar->value() + top);
    } else if (bottom > client) {
        if (bottom - top > client) bottom = top + client;
        bar->setValue(bar->value() + bottom - client);
    }
}

int TExtCustomItemSelector::GetVisibleItemCount() const
{
    if (!FItemSelectorPanel || FItems->Count() == 0) return 0;
    const int itemHeight = FItems->GetItem(0)->ItemRect().Height();
    if (itemHeight <= 0) return 0;
    const int h = height() - (HorzScrollBarVisible() ? 20 : 0);
    return std::max(0, h / itemHeight) * FColumns;
}

QSize TExtCustomItemSelector::GetSelectorPanelSize() const
{
    return FItemSelectorPanel ? FItemSelectorPanel->size() : QSize(100, 50);
}

void TExtCustomItemSelector::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (OnResize) OnResize(this);
}

void TExtCustomItemSelector::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void TExtCustomItemSelector::wheelEvent(QWheelEvent* event) { event->ignore(); }

// ---- Driving a selector from an edit ---------------------------------------------

bool IsListMoveKey(int key)
{
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
           key == Qt::Key_Right;
}

TSelectorDriver::TSelectorDriver()
{
    FKeyTimer.setInterval(500);
    FKeyTimer.setSingleShot(true);
    QObject::connect(&FKeyTimer, &QTimer::timeout, [this] { ResetTypeAhead(); });
}

void TSelectorDriver::Internal(const std::function<void(TExtCustomItemSelector& selector)>& step)
{
    if (!Selector) return;
    const bool internal = FInternalCall;
    FInternalCall = true;
    step(*Selector);
    FInternalCall = internal;
}

void TSelectorDriver::Select(int index)
{
    if (!Selector || index < 0 || index >= Selector->Items().Count()) return;
    Internal([index](TExtCustomItemSelector& s) { s.SetItemIndex(index); });
}

void TSelectorDriver::Page(bool up)
{
    if (!Selector) return;
    const int n = Selector->GetVisibleItemCount();
    if (n < 1) return;
    const int current = Selector->ItemIndex();
    Select(up ? std::max(0, current - n) : std::min(Selector->Items().Count() - 1, current + n));
}

bool TSelectorDriver::Search(int key, bool ctrlHeld)
{
    const QString c = TypeAheadSearchKey(key, ctrlHeld);
    if (c.isEmpty() || !Selector) return false;
    FCurSearch += c;
    Internal([this](TExtCustomItemSelector& s) { s.LookupItem(FCurSearch); });
    FKeyTimer.start();
    return true;
}

void TSelectorDriver::ResetTypeAhead()
{
    FKeyTimer.stop();
    FCurSearch.clear();
}
