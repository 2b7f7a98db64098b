#include "dropdown/ExtDropDownStrips.h"

#include "controls/ExtDropDownDraw.h"
#include "dropdown/ExtDropDown.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Modal results that close the pop-up, and those of them that cancel.
bool ClosingResult(int r) { return r == 1 || r == 2 || r == 3 || r == 5 || r == 6 || r == 7 || r == 12 || r == 13 || r == 14; }
bool CancellingResult(int r) { return r == 2 || r == 3 || r == 5 || r == 7 || r == 13; }

void Line(TCanvas& c, int x0, int y0, int x1, int y1)
{
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
}

} // namespace

// ---- TExtButton ------------------------------------------------------------

TExtButton::TExtButton(QWidget* parent) : QWidget(parent)
{
    setGeometry(0, 0, 23, 22);
    QFont f = font();
    f.setFamily(QStringLiteral("Tahoma"));
    setFont(f);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover, false);
}

void TExtButton::SetAppearance(TExtButtonAppearance* value)
{
    FAppearance = value;
    update();
}

void TExtButton::SetImages(TCustomImageList* value)
{
    FImages = value;
    update();
}

void TExtButton::SetImageIndex(int value)
{
    FImageIndex = value;
    update();
}

void TExtButton::SetCaption(const QString& value)
{
    FCaption = value;
    update();
}

void TExtButton::AutoSizeToContent()
{
    if (!FAppearance) return;
    QImage probe(1, 1, QImage::Format_ARGB32);
    TCanvas c(&probe);
    c.SetFont(FAppearance->Font());
    QSize s = TextExtent(c, FCaption);
    if (TCustomImageList* images = FImages.get(); images && FImageIndex >= 0)
        s = QSize(std::max(s.width(), images->Width()), std::max(s.height(), images->Height()));
    resize(s.width() + 8, s.height() + 4);
}

void TExtButton::DrawButton(TCanvas& canvas)
{
    if (!FAppearance) return;
    const TExtButtonAppearance& a = *FAppearance;
    TColor from, to, border;
    const bool pressed = FMouseDownInControl && FMouseInControl;
    if (!isEnabled()) {
        from = a.ColorDisabled(), to = a.ColorDisabledTo(), border = a.BorderColorDisabled();
    } else if (pressed) {
        from = a.ColorDown(), to = a.ColorDown(), border = a.BorderColorDown();
    } else if (FDown) {
        from = a.ColorChecked(), to = a.ColorChecked(), border = a.BorderColorChecked();
    } else if (FMouseInControl || hasFocus()) {
        from = a.ColorHot(), to = a.ColorHot(), border = a.BorderColorHot();
    } else {
        from = a.Color(), to = a.ColorTo(), border = a.BorderColor();
    }
    const TRect r{0, 0, width(), height()};
    DrawGradientRect(canvas, r, from, a.Gradient(), 1, border, to);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.SetFont(a.Font());
    canvas.SetFontColor(isEnabled() ? clWindowText : clGrayText);
    DrawImageText(canvas, r, FCaption, FImageIndex, FImages.get());
}

void TExtButton::SyncState()
{
    if (!isEnabled()) {
        FState = TExtButtonState::absDisabled;
        FDragging = false;
    } else if (FState == TExtButtonState::absDisabled) {
        FState = (FDown && FGroupIndex != 0) ? TExtButtonState::absExclusive : TExtButtonState::absUp;
    }
    if (FStyle == TExtButtonStyle::tasCheck && FDown && isEnabled()) FState = TExtButtonState::absDown;
}

void TExtButton::paintEvent(QPaintEvent*)
{
    SyncState();
    // The strip's background shows through: the button paints only its own
    // face over what the parent has painted.
    TCanvas canvas(this);
    DrawButton(canvas);
}

void TExtButton::enterEvent(QEnterEvent*)
{
    FMouseInControl = true;
    if (isEnabled()) update();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TExtButton::leaveEvent(QEvent*)
{
    FMouseInControl = false;
    FHot = false;
    if (isEnabled()) update();
    if (OnMouseLeave) OnMouseLeave(this);
}

void TExtButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    FMouseDownInControl = true;
    if (!FDown) FState = TExtButtonState::absDown;
    if (FStyle == TExtButtonStyle::tasCheck) FState = TExtButtonState::absDown;
    FDragging = true;
    repaint();
}

void TExtButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!FDragging) return;
    TExtButtonState s = FDown ? TExtButtonState::absExclusive : TExtButtonState::absUp;
    if (rect().contains(event->position().toPoint())) s = FDown ? TExtButtonState::absExclusive : TExtButtonState::absDown;
    if (FStyle == TExtButtonStyle::tasCheck && FDown) s = TExtButtonState::absDown;
    const bool inside = rect().contains(event->position().toPoint());
    if (s != FState || inside != FMouseInControl) {
        FState = s;
        FMouseInControl = inside;
        update();
    }
}

void TExtButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    FMouseDownInControl = false;
    update();
    if (!FDragging) return;
    FDragging = false;
    const bool inside = rect().contains(event->position().toPoint());
    if (FGroupIndex != 0) {
        if (inside) SetDown(!FDown);
        else if (FDown) FState = TExtButtonState::absExclusive;
    } else {
        FState = TExtButtonState::absUp;
        FHot = false;
        if (FStyle == TExtButtonStyle::tasCheck) {
            SetDown(!FDown);
            FState = TExtButtonState::absUp;
        }
    }
    FMouseInControl = inside;
    update();
    if (inside && isEnabled()) Click();
}

void TExtButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) {
        event->ignore();
        return;
    }
    if (!FDown) FState = TExtButtonState::absDown;
    repaint();
    // A key press acts as a click does, event included.
    Click();
    FState = FDown ? TExtButtonState::absExclusive : TExtButtonState::absUp;
    event->accept();
}

void TExtButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}

void TExtButton::focusInEvent(QFocusEvent*) { update(); }
void TExtButton::focusOutEvent(QFocusEvent*) { update(); }

void TExtButton::Click()
{
    QPointer<TExtButton> self(this);
    if (auto* form = dynamic_cast<TDropDownForm*>(window())) form->SetModalResult(FModalResult);
    if (FExtDropDown && ClosingResult(FModalResult)) FExtDropDown->DoHideDropDown(CancellingResult(FModalResult));
    if (self && !FInternalClick && OnClick) OnClick(this);
}

void TExtButton::SetDown(bool value)
{
    if (FGroupIndex == 0 && FStyle == TExtButtonStyle::tasButton) value = false;
    if (FStyle == TExtButtonStyle::tasCheck) {
        FDown = value;
        FState = value ? TExtButtonState::absDown : TExtButtonState::absUp;
        repaint();
        return;
    }
    if (value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = value;
    if (value) {
        if (FState == TExtButtonState::absUp) update();
        FState = TExtButtonState::absExclusive;
        if (parentWidget())
            for (auto* other : parentWidget()->findChildren<TExtButton*>(Qt::FindDirectChildrenOnly))
                if (other != this && other->FGroupIndex == FGroupIndex) other->GroupButtonDown(this);
    } else {
        FState = TExtButtonState::absUp;
        repaint();
    }
}

void TExtButton::GroupButtonDown(TExtButton* other)
{
    if (FDown && other->FDown) {
        FDown = false;
        FState = TExtButtonState::absUp;
        update();
    }
    FAllowAllUp = other->FAllowAllUp;
}

// ---- Strips ----------------------------------------------------------------

TExtStrip::TExtStrip(QWidget* parent) : QWidget(parent) {}

TExtStrip::~TExtStrip() = default;

void TExtStrip::RefreshButtons()
{
    if (FExtDropDown) BuildButtons();
}

void TExtStrip::ClearButtons()
{
    for (int i = FButtonList.Count() - 1; i >= 0; --i) delete FButtonList[i];
    FButtonList.Clear();
}

void TExtStrip::BuildButtons()
{
    if (!FExtDropDown) return;
    ClearButtons();
    const TRect area = ButtonArea();
    for (int i = 0; i < ItemCount(); ++i) {
        const TStripButtonItem item = Item(i);
        auto* b = new TExtButton(this);
        b->SetAppearance(&FExtDropDown->ButtonAppearance());
        b->SetCaption(item.Caption);
        b->SetImages(FImages.get());
        b->SetImageIndex(item.ImageIndex);
        b->setEnabled(item.Enabled);
        if (IsFooter()) {
            b->SetExtDropDown(FExtDropDown);
            b->SetModalResult(item.ModalResult);
        }
        b->AutoSizeToContent();
        if (item.Width > 0) b->resize(item.Width, b->height());
        if (item.Height > 0) b->resize(b->width(), item.Height);
        if (b->height() > area.Height()) b->resize(b->width(), std::max(0, area.Height()));
        b->SetTag(i);
        b->OnClick = [this](TExtButton* sender) { ButtonClicked(sender); };
        b->show();
        FButtonList.Add(b);
    }
    ArrangeButtons();
}

void TExtStrip::ArrangeButtons()
{
    if (FButtonList.Count() == 0) return;
    const TRect area = ButtonArea();
    const bool right = Look().ButtonAlignment == TButtonAlignment::baRight;
    int x = right ? area.Right : area.Left;
    for (TExtButton* b : FButtonList) {
        const int top = std::max(area.Top, (area.Bottom - b->height()) / 2);
        if (right) {
            x -= b->width();
            b->move(x, top);
        } else {
            b->move(x, top);
            x += b->width();
        }
    }
}

void TExtStrip::UpdateButtons()
{
    if (!FExtDropDown) return;
    for (int i = 0; i < FButtonList.Count(); ++i) {
        TExtButton* b = FButtonList[i];
        b->SetAppearance(&FExtDropDown->ButtonAppearance());
        b->SetImages(FImages.get());
        if (i < ItemCount()) {
            const TStripButtonItem item = Item(i);
            b->SetCaption(item.Caption);
            b->SetImageIndex(item.ImageIndex);
            b->setEnabled(item.Enabled);
        }
    }
    ArrangeButtons();
}

void TExtStrip::PaintStrip(TCanvas& canvas)
{
    const TRect client{0, 0, width(), height()};
    if (OnDrawBackGround) {
        OnDrawBackGround(this, canvas, client);
        return;
    }
    const TStripLook look = Look();
    if (look.ColorTo != clNone)
        FillDropDownGradient(canvas, look.Color, look.ColorTo, 80, client, look.GradientDirection == TGradientDirection::gdHorizontal);
    else if (look.Color != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(look.Color);
        canvas.FillRect(client);
    }
    if (look.BorderColor != clNone && look.BorderWidth > 0) PaintBorder(canvas, client, look);

    TRect area = client.Inflated(-look.BorderWidth, -look.BorderWidth);
    TCustomImageList* images = FImages.get();
    if (look.ImageIndex >= 0 && images) {
        images->Draw(canvas, area.Left + 4, area.Top + (area.Height() - images->Height()) / 2, look.ImageIndex);
        area.Left = area.Left + images->Width() + 8;
    }
    QString caption = look.Caption;
    if (OnGetText) OnGetText(this, caption);
    if (!caption.isEmpty()) {
        if (FButtonList.Count() > 0) {
            const TExtButton* last = FButtonList[FButtonList.Count() - 1];
            if (look.ButtonAlignment == TButtonAlignment::baRight) {
                area.Right = last->x() - 2;
            } else {
                // The buttons stand at the left: the caption starts after them.
                int right = area.Left;
                for (const TExtButton* b : FButtonList) right = std::max(right, b->x() + b->width());
                area.Left = right + 2;
            }
        }
        canvas.SetFont(look.Font);
        canvas.SetFontColor(look.FontColor);
        const QSize size = DrawItemTextOrHtml(canvas, caption, area, this, false, images);
        if (size.height() < area.Height()) area.Top += (area.Height() - size.height()) / 2;
        DrawItemTextOrHtml(canvas, caption, area, this, true, images);
    }
    PaintExtra(canvas, client, look);
}

void TExtStrip::paintEvent(QPaintEvent*)
{
    TCanvas canvas(this);
    PaintStrip(canvas);
}

void TExtStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ArrangeButtons();
}

// ---- Header ----------------------------------------------------------------

TExtHeader::TExtHeader(QWidget* parent) : TExtStrip(parent), FAppearance(std::make_unique<THeaderAppearance>(parent))
{
    FAppearance->OnChange = [this](THeaderAppearance*) { AppearanceChanged(); };
    FAppearance->OnButtonsChanged = [](THeaderAppearance*) {};
}

THeaderButtons* TExtHeader::Buttons() const { return FExtDropDown ? &FExtDropDown->DropDownHeader().Buttons() : nullptr; }

void TExtHeader::AttachDropDown(TExtCustomDropDown* edit)
{
    FExtDropDown = edit;
    if (edit) {
        SetImages(edit->Images());
        FAppearance->Assign(edit->DropDownHeader());
    } else {
        SetImages(nullptr);
    }
    update();
}

void TExtHeader::AppearanceChanged()
{
    setVisible(FAppearance->Visible());
    setFixedHeight(std::max(0, FAppearance->Height()));
}

TRect TExtHeader::ButtonArea() const { return TRect{2, 2, width() - 2, height() - 3}; }

TStripLook TExtHeader::Look() const
{
    const THeaderAppearance& a = *FAppearance;
    return {a.Color(), a.ColorTo(), a.BorderColor(), a.GradientDirection(), a.BorderWidth(), a.ImageIndex(), a.Caption(), a.Font(),
            a.FontColor(), a.ButtonAlignment()};
}

int TExtHeader::ItemCount() const { return Buttons() ? Buttons()->Count() : 0; }

TStripButtonItem TExtHeader::Item(int index) const
{
    const THeaderButton* b = Buttons()->Items(index);
    return {b->Caption(), b->ImageIndex(), b->Enabled(), b->Width(), b->Height(), 0};
}

void TExtHeader::PaintBorder(TCanvas& c, const TRect& r, const TStripLook& look)
{
    c.SetPenStyle(TPenStyle::Solid);
    c.SetPenWidth(look.BorderWidth);
    c.SetPenColor(look.BorderColor);
    Line(c, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
    if (!FExtDropDown || FExtDropDown->DropDownBorderWidth() <= 0 || FExtDropDown->DropDownBorderColor() == clNone) {
        Line(c, r.Left, r.Bottom - 1, r.Left, r.Top);
        Line(c, r.Left, r.Top, r.Right, r.Top);
        Line(c, r.Right, r.Top, r.Right, r.Bottom - 1);
    }
    c.SetPenWidth(1);
    c.SetBrushStyle(TBrushStyle::Clear);
    c.SetPenColor(BlendColors(look.BorderColor, clWhite, 20));
    c.Rectangle(TRect{r.Left, r.Top, r.Right, r.Bottom - look.BorderWidth});
}

void TExtHeader::ButtonClicked(TExtButton* button)
{
    if (FExtDropDown && FExtDropDown->OnDropDownHeaderButtonClick) FExtDropDown->OnDropDownHeaderButtonClick(FExtDropDown, button->Tag());
}

// ---- Footer ----------------------------------------------------------------

TExtFooter::TExtFooter(QWidget* parent) : TExtStrip(parent), FAppearance(std::make_unique<TFooterAppearance>(parent))
{
    FAppearance->OnChange = [this](TFooterAppearance*) { AppearanceChanged(); };
    setMouseTracking(true);
}

TFooterButtons* TExtFooter::Buttons() const { return FExtDropDown ? &FExtDropDown->DropDownFooter().Buttons() : nullptr; }

void TExtFooter::AttachDropDown(TExtCustomDropDown* edit)
{
    FExtDropDown = edit;
    if (edit) {
        SetImages(edit->Images());
        FAppearance->Assign(edit->DropDownFooter());
    } else {
        SetImages(nullptr);
    }
    update();
}

void TExtFooter::AppearanceChanged()
{
    setVisible(FAppearance->Visible());
    setFixedHeight(std::max(0, FAppearance->Height()));
}

bool TExtFooter::SizeGripActive() const { return FAppearance->SizeGrip() && FExtDropDown && FExtDropDown->DropDownSizeable(); }

bool TExtFooter::InGripCorner(QPoint p) const { return SizeGripActive() && p.x() > width() - 12 && p.y() > height() - 15; }

TRect TExtFooter::ButtonArea() const { return TRect{2, 2, width() - (SizeGripActive() ? 14 : 2), height() - 2}; }

TStripLook TExtFooter::Look() const
{
    const TFooterAppearance& a = *FAppearance;
    return {a.Color(), a.ColorTo(), a.BorderColor(), a.GradientDirection(), a.BorderWidth(), a.ImageIndex(), a.Caption(), a.Font(),
            a.FontColor(), a.ButtonAlignment()};
}

int TExtFooter::ItemCount() const { return Buttons() ? Buttons()->Count() : 0; }

TStripButtonItem TExtFooter::Item(int index) const
{
    const TFooterButton* b = Buttons()->Items(index);
    return {b->Caption(), b->ImageIndex(), b->Enabled(), b->Width(), b->Height(), b->ModalResult()};
}

void TExtFooter::PaintBorder(TCanvas& c, const TRect& r, const TStripLook& look)
{
    c.SetPenStyle(TPenStyle::Solid);
    c.SetPenWidth(look.BorderWidth);
    c.SetPenColor(look.BorderColor);
    Line(c, r.Left, r.Top, r.Right, r.Top);
    if (!FExtDropDown || FExtDropDown->DropDownBorderWidth() <= 0 || FExtDropDown->DropDownBorderColor() == clNone) {
        Line(c, r.Left, r.Top, r.Left, r.Bottom);
        Line(c, r.Left, r.Bottom, r.Right, r.Bottom);
        Line(c, r.Right, r.Bottom, r.Right, r.Top);
    }
    c.SetPenWidth(1);
    c.SetBrushStyle(TBrushStyle::Clear);
    c.SetPenColor(BlendColors(look.BorderColor, clWhite, 20));
    c.Rectangle(TRect{r.Left, r.Top + look.BorderWidth, r.Right, r.Bottom});
}

std::vector<std::pair<QPoint, TColor>> TExtFooter::GripSquares(int clientRight, int bottom, int borderWidth, TColor borderColor)
{
    const int L = clientRight - borderWidth - 16, B = bottom;
    std::vector<std::pair<QPoint, TColor>> squares;
    for (QPoint p : {QPoint(L + 5, B - 4), QPoint(L + 9, B - 4), QPoint(L + 13, B - 4), QPoint(L + 13, B - 8), QPoint(L + 13, B - 12),
                     QPoint(L + 9, B - 8)})
        squares.push_back({p, clWhite});
    for (QPoint p : {QPoint(L + 4, B - 5), QPoint(L + 8, B - 5), QPoint(L + 12, B - 5), QPoint(L + 12, B - 9), QPoint(L + 12, B - 13),
                     QPoint(L + 8, B - 9)})
        squares.push_back({p, borderColor});
    return squares;
}

void TExtFooter::PaintExtra(TCanvas& c, const TRect& client, const TStripLook& look)
{
    if (!SizeGripActive()) return;
    c.SetBrushStyle(TBrushStyle::Solid);
    for (const auto& [p, color] : GripSquares(client.Right, client.Bottom, look.BorderWidth, look.BorderColor)) {
        c.SetBrushColor(color);
        c.FillRect(TRect{p.x(), p.y(), p.x() + 2, p.y() + 2});
    }
}

void TExtFooter::ButtonClicked(TExtButton* button)
{
    if (FExtDropDown && FExtDropDown->OnDropDownFooterButtonClick) FExtDropDown->OnDropDownFooterButtonClick(FExtDropDown, button->Tag());
}

void TExtFooter::mousePressEvent(QMouseEvent* event)
{
    auto* form = dynamic_cast<TDropDownForm*>(window());
    if (event->button() == Qt::LeftButton && form && InGripCorner(event->position().toPoint())) {
        FGripDrag = true;
        form->BeginSizing(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

void TExtFooter::mouseMoveEvent(QMouseEvent* event)
{
    if (FGripDrag) {
        if (auto* form = dynamic_cast<TDropDownForm*>(window())) form->SizeTo(event->globalPosition().toPoint());
        return;
    }
    if (InGripCorner(event->position().toPoint()))
        setCursor(Qt::SizeFDiagCursor);
    else
        unsetCursor();
}

void TExtFooter::mouseReleaseEvent(QMouseEvent* event)
{
    if (FGripDrag) {
        FGripDrag = false;
        if (auto* form = dynamic_cast<TDropDownForm*>(window())) form->FSizing = false;
    }
    unsetCursor();
    QWidget::mouseReleaseEvent(event);
}

void TExtFooter::leaveEvent(QEvent* event)
{
    if (!FGripDrag) unsetCursor();
    QWidget::leaveEvent(event);
}
