#include "dropdown/ExtColorPickerDropDown.h"

#include "dropdown/ExtTypeAhead.h"
#include "platform/Grids.h"
#include "platform/GridsWidget.h"
#include "platform/WebColors.h"

#include <QStyle>
#include <QKeyEvent>
#include <QTimer>

// ---- TColorItem ------------------------------------------------------------

void TColorItem::SetCaption(const QString& value)
{
    if (FCaption == value) return;
    FCaption = value;
    FCollection->ItemChanged();
}

void TColorItem::SetColor(TColor value)
{
    if (FColor == value) return;
    FColor = value;
    FCollection->ItemChanged();
}

void TColorItem::Assign(const TColorItem& source)
{
    SetCaption(source.FCaption);
    SetColor(source.FColor);
    FEnabled = source.FEnabled;
    FHint = source.FHint;
}

// ---- Colour texts ------------------------------------------------------------

const TDefaultColor DefaultPickerColors[16] = {
    {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
};

namespace {

QString Hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

QString Html(TColor rgb) { return QLatin1Char('#') + Hex2(GetRValue(rgb)) + Hex2(GetGValue(rgb)) + Hex2(GetBValue(rgb)); }

} // namespace

QString ColorValueToText(TColor color, TColorValueText form)
{
    if (color == clNone) return QString();
    const TColor rgb = ColorToRGB(color);
    switch (form) {
    case TColorValueText::cvtNone: return QString();
    case TColorValueText::cvtHex:
        return QStringLiteral("%1").arg(uint32_t(color), 6, 16, QLatin1Char('0')).toUpper();
    case TColorValueText::cvtWebName: {
        QString name;
        return WebColorName(rgb, name) ? name : Html(rgb);
    }
    case TColorValueText::cvtRGB:
        return QStringLiteral("Red:%1,Green:%2,Blue:%3").arg(GetRValue(rgb)).arg(GetGValue(rgb)).arg(GetBValue(rgb));
    case TColorValueText::cvtHTML: return Html(rgb);
    }
    return QString();
}

// ---- TExtColorPickerDropDown: life ---------------------------------------------

namespace {

bool IsPanelStyle(TColorSelectionStyle s) { return s != TColorSelectionStyle::csList; }

} // namespace

TExtColorPickerDropDown::TExtColorPickerDropDown(QWidget* parent)
    : TExtCustomDropDown(parent), FColors(this), FItemAppearance(std::make_unique<TItemAppearance>(this)),
      FKeyTimer(new QTimer(this))
{
    FColors.FOnChange = [](QObject*) {};
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetDropDownHeight(200);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    setCursor(Qt::ArrowCursor);
    FKeyTimer->setInterval(500);
    connect(FKeyTimer, &QTimer::timeout, this, [this] { KeyTimerTick(); });
    // The base's constructor built the pop-up with its own step only.
    CreateDropDownForm();
}

TExtColorPickerDropDown::~TExtColorPickerDropDown()
{
    FDestroying = true;
    FKeyTimer->stop();
}

void TExtColorPickerDropDown::AddDefaultColors()
{
    for (const TDefaultColor& d : DefaultPickerColors) {
        TColorItem* item = FColors.Add();
        item->SetCaption(QString::fromLatin1(d.Caption));
        item->SetColor(d.Color);
    }
}

// ---- value -----------------------------------------------------------------------

void TExtColorPickerDropDown::SetComponentStyle(TStudioStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    ApplyItemAppearanceStyle(FItemAppearance.get(), style);
}

void TExtColorPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle value)
{
    TExtCustomDropDown::SetSelectionColorStyle(value);
    if (FItemSelector) FItemSelector->ItemAppearance().SetColorStyle(value);
}

void TExtColorPickerDropDown::SetItemIndex(int value)
{
    if (value >= FColors.Count()) return;
    FItemIndex = value < 0 ? -1 : value;
    if (FItemIndex >= 0) FSelectedColor = FColors.GetItem(FItemIndex)->Color();
    update();
    if (OnSelect) OnSelect(this);
}

void TExtColorPickerDropDown::SetSelectedColor(TColor value)
{
    if (FSelectedColor == value) return;
    FSelectedColor = value;
    for (int i = 0; i < FColors.Count(); ++i) {
        if (FColors.GetItem(i)->Color() == value) {
            SetItemIndex(i);
            return;
        }
    }
    // A colour none of Colors has: the text follows ColorValueText, not the
    // caption of the colour selected before.
    FItemIndex = -1;
    update();
}

void TExtColorPickerDropDown::SetColorValueText(TColorValueText value)
{
    if (FColorValueText == value) return;
    FColorValueText = value;
    update();
}

void TExtColorPickerDropDown::SetShowText(bool value)
{
    if (FShowText == value) return;
    FShowText = value;
    update();
}

void TExtColorPickerDropDown::SelectFirst()
{
    if (FColors.Count() > 0) SetItemIndex(0);
}

void TExtColorPickerDropDown::SelectLast()
{
    if (FColors.Count() > 0) SetItemIndex(FColors.Count() - 1);
}

void TExtColorPickerDropDown::SelectNext()
{
    const int next = FItemIndex < 0 ? 0 : FItemIndex + 1;
    if (next < FColors.Count()) SetItemIndex(next);
}

void TExtColorPickerDropDown::SelectPrevious()
{
    if (FColors.Count() == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TExtColorPickerDropDown::GetSelectedColorText(QString& text) const
{
    if (FColorSelectionStyle == TColorSelectionStyle::csList && FItemIndex >= 0 && FItemIndex < FColors.Count()) {
        text = FColors.GetItem(FItemIndex)->Caption();
        return;
    }
    text = ColorValueToText(FSelectedColor, FColorValueText);
}

QString TExtColorPickerDropDown::SelectedColorText() const
{
    QString text;
    GetSelectedColorText(text);
    return text;
}

// ---- the hosted controls ----------------------------------------------------------

void TExtColorPickerDropDown::PrepareItemSelector()
{
    if (!DropDownForm()) return;
    if (!FItemSelector) FItemSelector = new TExtCustomItemSelector(DropDownForm());
    FItemSelector->SetSelectorType(TSelectorType::stColor);
    FItemSelector->setGeometry(0, 0, FItemSelector->width(), 150);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExtColorPickerDropDown::ConfigureItemSelector()
{
    TExtCustomItemSelector* sel = FItemSelector;
    if (!sel) return;
    sel->OnItemSelect = nullptr;
    sel->SetColumns(FColumns);
    sel->SetImages(Images());
    sel->SetItemLayout(FLayout);
    sel->SetColor(DropDownColor());
    sel->Items().Clear();
    for (int i = 0; i < FColors.Count(); ++i) {
        const TColorItem& c = *FColors.GetItem(i);
        TSelectorItem* item = sel->Items().Add();
        item->SetCaption(c.Caption());
        item->SetColor(c.Color());
        item->SetHint(c.Hint());
    }
    sel->SetColorBoxHeight(FColorBoxHeight);
    sel->SetColorBoxWidth(FColorBoxWidth);
    sel->SetItemAppearance(*FItemAppearance);
    sel->UpdateSelectorPanel();
    sel->SetItemIndex(FItemIndex);
    sel->OnItemSelect = [this](QObject*) { ItemSelectorSelect(); };
}

void TExtColorPickerDropDown::PreparePanel(TExtCustomColorSelectorPanel* panel)
{
    panel->move(0, 0);
    panel->SetColor(DropDownColor());
    SetControl(panel);
}

void TExtColorPickerDropDown::PrepareColorSelector()
{
    if (!DropDownForm()) return;
    if (!FColorSelector) {
        FColorSelector = new TCustomColorSelector(DropDownForm());
        FColorSelector->AddDefaultColorBoxes();
    }
    PreparePanel(FColorSelector);
    FColorSelector->LayoutItems();
}

void TExtColorPickerDropDown::PrepareColorCube()
{
    if (!DropDownForm()) return;
    if (!FColorCubePanel) FColorCubePanel = new TExtColorCubePanel(DropDownForm());
    PreparePanel(FColorCubePanel);
}

void TExtColorPickerDropDown::PrepareSpectrum()
{
    if (!DropDownForm()) return;
    if (!FSpectrumPanel) FSpectrumPanel = new TExtColorSpectrumPanel(DropDownForm());
    PreparePanel(FSpectrumPanel);
}

void TExtColorPickerDropDown::PrepareStyle(TColorSelectionStyle style)
{
    switch (style) {
    case TColorSelectionStyle::csList: PrepareItemSelector(); break;
    case TColorSelectionStyle::csDiscrete: PrepareColorSelector(); break;
    case TColorSelectionStyle::csColorCube: PrepareColorCube(); break;
    case TColorSelectionStyle::csSpectrum: PrepareSpectrum(); break;
    }
}

void TExtColorPickerDropDown::ShowOnly(QWidget* control)
{
    for (QWidget* w : {static_cast<QWidget*>(FItemSelector.data()), static_cast<QWidget*>(FColorSelector.data()),
                       static_cast<QWidget*>(FColorCubePanel.data()), static_cast<QWidget*>(FSpectrumPanel.data())})
        if (w && w != control) w->hide();
    if (control) control->show();
}

void TExtColorPickerDropDown::ConfigureStyle(TColorSelectionStyle style)
{
    switch (style) {
    case TColorSelectionStyle::csList:
        PrepareItemSelector();
        if (!FItemSelector) break;
        ShowOnly(FItemSelector);
        ConfigureItemSelector();
        if (OnDrawColor)
            FItemSelector->OnDrawItem = [this](QObject*, TCanvas* c, const TRect& r, int i) {
                if (OnDrawColor) OnDrawColor(this, c, r, i);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
        FOldItemIndex = FItemIndex;
        break;
    case TColorSelectionStyle::csDiscrete:
        PrepareColorSelector();
        if (!FColorSelector) break;
        // Unbound while the colour is written, so that the opening itself
        // picks nothing.
        FColorSelector->OnItemSelect = nullptr;
        FColorSelector->SetSelectedColor(FSelectedColor);
        FColorSelector->LayoutItems();
        FColorSelector->OnItemSelect = [this](QObject*) { ColorSelectorSelect(); };
        FColorSelector->SetItemColorStyle(SelectionColorStyle());
        ShowOnly(FColorSelector);
        break;
    case TColorSelectionStyle::csColorCube:
        PrepareColorCube();
        if (!FColorCubePanel) break;
        FColorCubePanel->SetSelectedColor(FSelectedColor);
        FColorCubePanel->InitializeCells();
        FColorCubePanel->ResetHotCell();
        FColorCubePanel->OnSelect = [this](QObject*) { CubeSelect(); };
        ShowOnly(FColorCubePanel);
        break;
    case TColorSelectionStyle::csSpectrum:
        PrepareSpectrum();
        if (!FSpectrumPanel) break;
        FSpectrumPanel->SetSelectedColor(FSelectedColor);
        FSpectrumPanel->ArrangeSpectrum();
        FSpectrumPanel->OnSelect = [this](QObject*) { SpectrumSelect(); };
        ShowOnly(FSpectrumPanel);
        break;
    }
    FOldSelectedColor = FSelectedColor;
}

void TExtColorPickerDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    PrepareStyle(FColorSelectionStyle);
}

void TExtColorPickerDropDown::BeforeDropDown()
{
    TExtCustomDropDown::BeforeDropDown();
    ConfigureStyle(FColorSelectionStyle);
}

void TExtColorPickerDropDown::PlaceDropDownControl()
{
    TExtCustomDropDown::PlaceDropDownControl();
    if (IsPanelStyle(FColorSelectionStyle) && DropDownForm()) DropDownForm()->FSizeable = false;
}

void TExtColorPickerDropDown::SizePanelDropDown()
{
    TDropDownForm* form = DropDownForm();
    if (!form) return;
    QWidget* c = Control();
    const bool shown = c && !c->isHidden();
    const int border = DropDownBorderWidth();
    const int w = shown ? c->width() + 2 * border : width();
    int h = 2 * border;
    if (DropDownHeader().Visible()) h += DropDownHeader().Height();
    if (DropDownFooter().Visible()) h += DropDownFooter().Height();
    if (shown) h += c->height();
    form->resize(w, h);
}

void TExtColorPickerDropDown::AdaptDropDownSize()
{
    if (IsPanelStyle(FColorSelectionStyle)) {
        SizePanelDropDown();
        return;
    }
    TExtCustomItemSelector* sel = FItemSelector;
    if (!sel) {
        TExtCustomDropDown::AdaptDropDownSize();
        return;
    }
    const QSize panel = sel->GetSelectorPanelSize();
    sel->resize(DropDownWidth() < 1 ? panel.width() : sel->width(), DropDownHeight() < 1 ? panel.height() : sel->height());
    TExtCustomDropDown::AdaptDropDownSize();
    TDropDownForm* form = DropDownForm();
    if (!form) return;
    int w = form->width();
    // A width taken from the list also holds the pop-up's border, so that
    // the list is not cut and scrolled sideways.
    if (DropDownWidth() < 1) w += 2 * DropDownBorderWidth();
    // The list's scroll bar shows when the panel is higher than the room the
    // list gets (the pop-up is hidden, so the bar itself is not set up yet).
    int room = form->height() - 2 * DropDownBorderWidth();
    if (DropDownHeader().Visible()) room -= DropDownHeader().Height();
    if (DropDownFooter().Visible()) room -= DropDownFooter().Height();
    if (sel->VertScrollBarVisible() || panel.height() > room) w += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    form->resize(w, form->height());
}

void TExtColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle value)
{
    if (FColorSelectionStyle == value) return;
    FColorSelectionStyle = value;
    PrepareStyle(value);
    ConfigureStyle(value);
    if (IsPanelStyle(value))
        SizePanelDropDown();
    else
        AdaptDropDownSize();
    if (DropDownForm()) DropDownForm()->ArrangeChildren();
    if (DropDownForm()) DropDownForm()->update();
}

// ---- picks -------------------------------------------------------------------------

void TExtColorPickerDropDown::ItemSelectorSelect()
{
    if (!FItemSelector) return;
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall) DoHideDropDown(false);
}

void TExtColorPickerDropDown::SelectorSelect(int index)
{
    if (FItemSelector) Internal([&] { FItemSelector->SetItemIndex(index); });
}

void TExtColorPickerDropDown::PanelPicked(TColor color)
{
    SetSelectedColor(color);
    SetItemIndex(-1);
}

void TExtColorPickerDropDown::ColorSelectorSelect()
{
    if (!FColorSelector) return;
    PanelPicked(FColorSelector->SelectedColor());
    if (!FInternalCall) DoHideDropDown(false);
}

void TExtColorPickerDropDown::CubeSelect()
{
    if (!FColorCubePanel) return;
    PanelPicked(FColorCubePanel->SelectedColor());
    DoHideDropDown(false);
}

void TExtColorPickerDropDown::SpectrumSelect()
{
    if (!FSpectrumPanel) return;
    PanelPicked(FSpectrumPanel->SelectedColor());
    DoHideDropDown(false);
}

void TExtColorPickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasOpen = DropDownForm() && DropDownForm()->isVisible();
    TExtCustomDropDown::DoHideDropDown(cancel);
    if (!wasOpen || !cancel) return;
    if (FColorSelectionStyle == TColorSelectionStyle::csList) {
        SetItemIndex(FOldItemIndex);
    } else if (FColorSelectionStyle == TColorSelectionStyle::csDiscrete && FColorSelector) {
        FColorSelector->SetSelectedColor(FOldSelectedColor);
        // A colour that is no box reaches the picker through no pick.
        if (FSelectedColor != FOldSelectedColor) PanelPicked(FOldSelectedColor);
    }
}

// ---- keys and wheel -------------------------------------------------------------------

void TExtColorPickerDropDown::KeyTimerTick()
{
    FKeyTimer->stop();
    FCurSearch.clear();
}

void TExtColorPickerDropDown::SyncClosedSelector()
{
    // The list is filled at each opening; while closed it may lag behind
    // Colors and ItemIndex, which the keys and the wheel step from.
    if (FItemSelector && !DroppedDown()) ConfigureItemSelector();
}

void TExtColorPickerDropDown::TypeAhead(int key)
{
    // Only keys that type a character extend the search.
    const QString c = TypeAheadSearchKey(key, false);
    if (c.isEmpty()) return;
    FCurSearch += c;
    SyncClosedSelector();
    if (FItemSelector) Internal([&] { FItemSelector->LookupItem(FCurSearch); });
    if (!FKeyTimer->isActive()) FKeyTimer->start();
}

bool TExtColorPickerDropDown::ListKey(int key, bool open, bool pickedByEnter, Qt::KeyboardModifiers shift)
{
    TExtCustomItemSelector* sel = FItemSelector;
    const int colours = FColors.Count();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!pickedByEnter && OnSelect) OnSelect(this);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (sel->Items().Count() != colours) ConfigureItemSelector();
        const int n = sel->GetVisibleItemCount();
        if (n > 0)
            SelectorSelect(key == Qt::Key_PageUp ? std::max(0, sel->ItemIndex() - n)
                                                 : std::min(sel->ItemIndex() + n, colours - 1));
        return true;
    }
    case Qt::Key_End:
        if (open)
            Internal([&] { sel->SelectLast(); });
        else
            SelectLast();
        return true;
    case Qt::Key_Home:
        if (open)
            Internal([&] { sel->SelectFirst(); });
        else
            SelectFirst();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (open && !EditorEnabled()) Internal([&] { key == Qt::Key_Left ? sel->SelectPrevious() : sel->SelectNext(); });
        return true;
    case Qt::Key_Up:
        if (open) {
            const int i = sel->ItemIndex() >= 0 ? sel->ItemIndex() - FColumns : 0;
            if (i >= 0) SelectorSelect(i);
        } else {
            SelectPrevious();
        }
        return true;
    case Qt::Key_Down:
        if (open) {
            const int i = sel->ItemIndex() >= 0 ? sel->ItemIndex() + FColumns : 0;
            if (i < sel->Items().Count()) SelectorSelect(i);
        } else {
            SelectNext();
        }
        return true;
    default:
        if (shift & Qt::ControlModifier) return false;
        TypeAhead(key);
        return false;
    }
}

bool TExtColorPickerDropDown::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    return ColorKeyDown(key, shift, [&] { return TExtCustomDropDown::WMKeyDown(key, shift); });
}

void TExtColorPickerDropDown::keyPressEvent(QKeyEvent* event)
{
    const bool handled = ColorKeyDown(event->key(), event->modifiers(), [&] {
        TExtCustomDropDown::keyPressEvent(event);
        return event->isAccepted();
    });
    if (handled) event->accept();
}

bool TExtColorPickerDropDown::ColorKeyDown(int key, Qt::KeyboardModifiers shift, const std::function<bool()>& baseStep)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    bool pickedByEnter = false;
    if (isEnabled() && DroppedDown() && enter) {
        if (FColorSelectionStyle == TColorSelectionStyle::csList && FItemSelector && FItemSelector->ItemHot() >= 0) {
            FItemSelector->SetItemIndex(FItemSelector->ItemHot());
            pickedByEnter = true;
        } else if (FColorSelectionStyle == TColorSelectionStyle::csDiscrete && FColorSelector &&
                   FColorSelector->ItemHot() >= 0) {
            FColorSelector->SetItemIndex(FColorSelector->ItemHot());
            pickedByEnter = true;
        }
    }
    bool handled = baseStep() || pickedByEnter;
    if (!isEnabled() || (shift & Qt::AltModifier)) return handled;
    const bool open = DroppedDown();
    switch (FColorSelectionStyle) {
    case TColorSelectionStyle::csList:
        if (!FItemSelector) return handled;
        return ListKey(key, open, pickedByEnter, shift) || handled;
    case TColorSelectionStyle::csDiscrete:
        if (!FColorSelector) return handled;
        // The box palette takes the arrow and page keys as virtual-key numbers.
        if (const int vk = QtKeyToVirtualKey(key); vk >= VK_PRIOR && vk <= VK_DOWN) {
            Internal([&] { FColorSelector->HandleKey(vk, EditorEnabled(), open); });
            handled = true;
        }
        if (enter && !pickedByEnter && OnSelect) OnSelect(this);
        return handled;
    default: return handled;
    }
}

void TExtColorPickerDropDown::WheelStep(bool down)
{
    if (!isEnabled() || ReadOnly()) return;
    const bool open = DroppedDown();
    if (FColorSelectionStyle == TColorSelectionStyle::csList && FItemSelector) {
        TExtCustomItemSelector* sel = FItemSelector;
        if (open) {
            down ? sel->HotNext() : sel->HotPrevious();
        } else {
            SyncClosedSelector();
            Internal([&] { down ? sel->SelectNext() : sel->SelectPrevious(); });
        }
    } else if (FColorSelectionStyle == TColorSelectionStyle::csDiscrete && FColorSelector) {
        TCustomColorSelector* sel = FColorSelector;
        if (open)
            down ? sel->HotNext() : sel->HotPrevious();
        else
            Internal([&] { down ? sel->SelectNext() : sel->SelectPrevious(); });
    }
}

void TExtColorPickerDropDown::HandleMouseWheelDown()
{
    TExtCustomDropDown::HandleMouseWheelDown();
    WheelStep(true);
}

void TExtColorPickerDropDown::HandleMouseWheelUp()
{
    TExtCustomDropDown::HandleMouseWheelUp();
    WheelStep(false);
}

// ---- painting ------------------------------------------------------------------------

void TExtColorPickerDropDown::PaintFocusHighlight(TCanvas& canvas)
{
    TExtCustomDropDown::PaintFocusHighlight(canvas);
    PaintSelectedColor(canvas);
}

void TExtColorPickerDropDown::PaintSelectedColor(TCanvas& canvas)
{
    const TRect area{1, 1, width() - DropDownButtonWidth() - 2, height() - 2};
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, canvas, area);
        return;
    }
    const int boxLeft = area.Left + 4;
    const int boxTop = (height() - FColorBoxHeight) / 2 + area.Top;
    const TRect box{boxLeft, boxTop, boxLeft + FColorBoxWidth, boxTop + FColorBoxHeight};
    if (FSelectedColor != clNone) {
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(clBlack);
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(FSelectedColor);
        canvas.Rectangle(box);
    }
    if (!FShowText) return;
    const bool focused = hasFocus();
    canvas.SetFont(font());
    canvas.SetFontColor(!EditorEnabled() && focused ? clHighlightText : clWindowText);
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(focused ? clHighlight : QColorToColor(palette().color(QPalette::Base)));
    canvas.SetBkMode(TBkMode::Opaque);
    TRect r{box.Right + 4, area.Top, area.Right, area.Bottom};
    canvas.DrawText(SelectedColorText(), r, tfSingleLine | tfVCenter | tfEndEllipsis | tfNoPrefix);
}
