#include "dropdown/ExtColorPickerDropDown.h"

#include "controls/EsgHTMLUtil.h"
#include "platform/Grids.h"
#include "platform/WebColors.h"

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

// The box selector's keys are the platform's virtual-key numbers.
int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    default: return 0;
    }
}

bool IsPanelStyle(TColorSelectionStyle s) { return s != TColorSelectionStyle::csList; }

} // namespace

TExtColorPickerDropDown::TExtColorPickerDropDown(QWidget* parent)
    : TExtCustomDropDown(parent), FColors(this), FKeyTimer(new QTimer(this))
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
    case TColorSelectionStyle::csList: break; // the list needs the item selector
    case TColorSelectionStyle::csDiscrete: PrepareColorSelector(); break;
    case TColorSelectionStyle::csColorCube: PrepareColorCube(); break;
    case TColorSelectionStyle::csSpectrum: PrepareSpectrum(); break;
    }
}

void TExtColorPickerDropDown::ShowOnly(QWidget* control)
{
    for (QWidget* w : {static_cast<QWidget*>(FColorSelector.data()), static_cast<QWidget*>(FColorCubePanel.data()),
                       static_cast<QWidget*>(FSpectrumPanel.data())})
        if (w && w != control) w->hide();
    if (control) control->show();
}

void TExtColorPickerDropDown::ConfigureStyle(TColorSelectionStyle style)
{
    switch (style) {
    case TColorSelectionStyle::csList:
        // The list of named colours is not hosted here: the pop-up holds
        // none of the panels.
        ShowOnly(nullptr);
        SetControl(nullptr);
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
    if (IsPanelStyle(FColorSelectionStyle))
        SizePanelDropDown();
    else
        TExtCustomDropDown::AdaptDropDownSize();
}

void TExtColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle value)
{
    if (FColorSelectionStyle == value) return;
    FColorSelectionStyle = value;
    PrepareStyle(value);
    ConfigureStyle(value);
    if (IsPanelStyle(value)) {
        SizePanelDropDown();
        if (DropDownForm()) DropDownForm()->ArrangeChildren();
    }
    if (DropDownForm()) DropDownForm()->update();
}

// ---- picks -------------------------------------------------------------------------

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

void TExtColorPickerDropDown::TypeAhead(int key)
{
    // Only keys that type a character extend the search.
    if (key < 0x20 || key > 0xFF) return;
    const QChar c(key);
    if (!c.isPrint()) return;
    FCurSearch += c.toUpper();
    for (int i = 0; i < FColors.Count(); ++i) {
        if (StripMiniHtml(FColors.GetItem(i)->Caption()).trimmed().toUpper().startsWith(FCurSearch)) {
            Internal([&] { SetItemIndex(i); });
            break;
        }
    }
    if (!FKeyTimer->isActive()) FKeyTimer->start();
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
    if (isEnabled() && DroppedDown() && enter && FColorSelectionStyle == TColorSelectionStyle::csDiscrete &&
        FColorSelector && FColorSelector->ItemHot() >= 0) {
        FColorSelector->SetItemIndex(FColorSelector->ItemHot());
        pickedByEnter = true;
    }
    bool handled = baseStep() || pickedByEnter;
    if (!isEnabled() || (shift & Qt::AltModifier)) return handled;
    const bool open = DroppedDown();
    switch (FColorSelectionStyle) {
    case TColorSelectionStyle::csList:
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!pickedByEnter && OnSelect) OnSelect(this);
            return true;
        case Qt::Key_End:
            if (!open) SelectLast();
            return true;
        case Qt::Key_Home:
            if (!open) SelectFirst();
            return true;
        case Qt::Key_Up:
            if (!open) SelectPrevious();
            return true;
        case Qt::Key_Down:
            if (!open) SelectNext();
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Left:
        case Qt::Key_Right: return true; // steps of the open list
        default:
            if (!(shift & Qt::ControlModifier)) TypeAhead(key);
            return handled;
        }
    case TColorSelectionStyle::csDiscrete:
        if (!FColorSelector) return handled;
        if (const int vk = VirtualKeyOf(key)) {
            Internal([&] { FColorSelector->HandleKey(vk, EditorEnabled(), open); });
            handled = true;
        }
        if (enter && !pickedByEnter && OnSelect) OnSelect(this);
        return handled;
    default: return handled;
    }
}

void TExtColorPickerDropDown::HandleMouseWheelDown()
{
    TExtCustomDropDown::HandleMouseWheelDown();
    if (!isEnabled() || ReadOnly()) return;
    if (FColorSelectionStyle == TColorSelectionStyle::csList) {
        if (!DroppedDown()) Internal([&] { SelectNext(); });
    } else if (FColorSelectionStyle == TColorSelectionStyle::csDiscrete && FColorSelector) {
        if (DroppedDown())
            FColorSelector->HotNext();
        else
            Internal([&] { FColorSelector->SelectNext(); });
    }
}

void TExtColorPickerDropDown::HandleMouseWheelUp()
{
    TExtCustomDropDown::HandleMouseWheelUp();
    if (!isEnabled() || ReadOnly()) return;
    if (FColorSelectionStyle == TColorSelectionStyle::csList) {
        if (!DroppedDown()) Internal([&] { SelectPrevious(); });
    } else if (FColorSelectionStyle == TColorSelectionStyle::csDiscrete && FColorSelector) {
        if (DroppedDown())
            FColorSelector->HotPrevious();
        else
            Internal([&] { FColorSelector->SelectPrevious(); });
    }
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
