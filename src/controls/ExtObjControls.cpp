// The search bar's speed button and check box.
#include "controls/ExtObj.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>

using enum TLeftRight;

// ---------------------------------------------------------------------------
// TExtGridButton

TExtGridButton::TExtGridButton(QWidget* parent) : QWidget(parent)
{
    resize(22, 23);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

TExtGridButton::~TExtGridButton() = default;

void TExtGridButton::SetCol(TColor& field, TColor v)
{
    field = v;
    update();
}

void TExtGridButton::SetCaption(const QString& v)
{
    FCaption = v;
    UpdateAccelerator();
    update();
}

// The caption's accelerator clicks the button while it is enabled and
// visible and its parent is showing.
void TExtGridButton::UpdateAccelerator()
{
    delete m_accel;
    m_accel = nullptr;
    const QKeySequence seq = QKeySequence::mnemonic(FCaption);
    if (seq.isEmpty()) return;
    m_accel = new QShortcut(seq, this);
    m_accel->setContext(Qt::WindowShortcut);
    connect(m_accel, &QShortcut::activated, this, [this] {
        if (isEnabled() && isVisible() && parentWidget() && parentWidget()->isVisible()) Click();
    });
}

void TExtGridButton::SetStyle(TExtGridButtonStyle v)
{
    FStyle = v;
    update();
}

void TExtGridButton::SetFlat(bool v)
{
    FFlat = v;
    update();
}

void TExtGridButton::SetRounded(bool v)
{
    FRounded = v;
    update();
}

void TExtGridButton::SetShowCaption(bool v)
{
    FShowCaption = v;
    update();
}

void TExtGridButton::SetDropDownButton(bool v)
{
    FDropDownButton = v;
    update();
}

void TExtGridButton::SetLayout(TButtonLayout v)
{
    FLayout = v;
    update();
}

void TExtGridButton::SetMargin(int v)
{
    if (v < -1) return;
    FMargin = v;
    update();
}

void TExtGridButton::SetSpacing(int v)
{
    FSpacing = v;
    update();
}

void TExtGridButton::SetAutoThemeAdapt(bool v)
{
    FAutoThemeAdapt = v;
    if (v) SetLook(GetXPColorScheme() >= 1 && GetXPColorScheme() <= 3 ? GetXPColorScheme() + 1 : 1);
}

void TExtGridButton::SetLook(int v)
{
    struct LookColors {
        TColor c, cTo, hot, hotTo, down, downTo, checked, checkedTo, borderDown, borderHot;
    };
    static const LookColors looks[] = {
        {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, clNone, 0xAF987A, 0xC3CECE},
        {clBtnFace, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31, 0xC56A31},
        {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
        {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
        {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
        {clBtnFace, clNone, clBtnFace, clNone, 0xD8D3D2, clNone, 0xCAC7C7, clNone, clNone, clNone},
        {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080},
    };
    FLook = v;
    if (v < 0 || v > 6) return;
    const LookColors& l = looks[v];
    FColor = l.c;
    FColorTo = l.cTo;
    FColorHot = l.hot;
    FColorHotTo = l.hotTo;
    FColorDown = l.down;
    FColorDownTo = l.downTo;
    FColorChecked = l.checked;
    FColorCheckedTo = l.checkedTo;
    FBorderDownColor = l.borderDown;
    FBorderHotColor = l.borderHot;
    FBorderColor = clNone;
    FRounded = v == 0;
    FFlat = true;
    update();
}

void TExtGridButton::SetGlyph(const QImage& g)
{
    FGlyph = g;
    if (FGlyphDisabled.isNull() && !g.isNull()) {
        QImage d = g.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < d.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(d.scanLine(y));
            for (int x = 0; x < d.width(); ++x) {
                const int grey = (qRed(line[x]) + qGreen(line[x]) + qBlue(line[x])) / 3 / 2 + 96;
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
            }
        }
        FGlyphDisabled = d;
    }
    if (FShaded) BuildShade();
    update();
}

void TExtGridButton::SetGlyphHot(const QImage& g)
{
    FGlyphHot = g.copy();
    update();
}

void TExtGridButton::SetGlyphDown(const QImage& g)
{
    FGlyphDown = g.copy();
    update();
}

void TExtGridButton::SetGlyphDisabled(const QImage& g)
{
    FGlyphDisabled = g.copy();
    update();
}

void TExtGridButton::SetShaded(bool v)
{
    FShaded = v;
    if (v) BuildShade();
    update();
}

void TExtGridButton::BuildShade()
{
    if (FGlyph.isNull()) {
        FGlyphShade = QImage();
        return;
    }
    // The glyph's shape, its bottom-left pixel's colour being transparent,
    // in grey $808080.
    const QImage g = FGlyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = g.pixel(0, g.height() - 1);
    QImage s(g.size(), QImage::Format_ARGB32);
    s.fill(Qt::transparent);
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x) {
            const QRgb px = g.pixel(x, y);
            if (px != transparent && qAlpha(px) > 0) s.setPixel(x, y, qRgb(0x80, 0x80, 0x80));
        }
    FGlyphShade = s;
}

void TExtGridButton::SetAllowAllUp(bool v)
{
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    UpdateExclusive();
}

void TExtGridButton::SetGroupIndex(int v)
{
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    UpdateExclusive();
}

// Tells the other buttons of the group (siblings with the same group index)
// that this one changed: a pressed one releases the others that are down, and
// every other button takes over AllowAllUp.
void TExtGridButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !parentWidget()) return;
    for (TExtGridButton* b : parentWidget()->findChildren<TExtGridButton*>(Qt::FindDirectChildrenOnly)) {
        if (b == this || b->FGroupIndex != FGroupIndex) continue;
        if (FDown && b->FDown) {
            b->FDown = false;
            b->FState = bsUp;
            b->update();
        }
        b->FAllowAllUp = FAllowAllUp;
    }
}

void TExtGridButton::SetDown(bool v)
{
    if (FGroupIndex == 0 && FStyle != tasCheck) return;
    if (FGroupIndex == 0) {
        FDown = v;
        FState = v ? bsDown : bsUp;
        update();
        return;
    }
    if (v == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = v;
    if (v) {
        if (FState == bsUp) FState = bsExclusive;
    } else {
        FState = bsUp;
    }
    update();
    if (v) UpdateExclusive();
}

void TExtGridButton::Click()
{
    if (OnClick) OnClick(this);
}

void TExtGridButton::SyncState()
{
    if (!isEnabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = (FDown && FGroupIndex != 0) ? bsExclusive : bsUp;
    }
    if (FStyle == tasCheck && FDown) FState = bsDown;
}

void TExtGridButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !isEnabled()) return;
    const QPoint p = e->position().toPoint();
    if (FDropDownButton && p.x() >= width() - 12) {
        FState = bsUp;
        update();
        if (OnDropDown) OnDropDown(this);
        if (FDropDownMenu) FDropDownMenu->popup(mapToGlobal(QPoint(0, height())));
        return;
    }
    if (!FDown) {
        FState = bsDown;
        update();
    }
    if (FStyle == tasCheck) FState = bsDown;
    FDragging = true;
}

void TExtGridButton::mouseMoveEvent(QMouseEvent* e)
{
    if (!FDragging) return;
    const QPoint p = e->position().toPoint();
    const bool inside = p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() <= height();
    TButtonState s = FDown ? bsExclusive : bsUp;
    if (inside) s = FDown ? bsExclusive : bsDown;
    if (FStyle == tasCheck && FDown) s = bsDown;
    if (s != FState) {
        FState = s;
        update();
    }
}

void TExtGridButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (!FDragging || e->button() != Qt::LeftButton) return;
    FDragging = false;
    const QPoint p = e->position().toPoint();
    const bool inside = p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() <= height();
    if (FGroupIndex == 0) {
        FState = bsUp;
        if (inside && FStyle == tasCheck) {
            FDown = !FDown;
            if (FDown) FState = bsDown;
        }
    } else if (inside) {
        SetDown(!FDown);
        if (FDown) FState = bsExclusive;
    }
    if (!inside && FGroupIndex != 0 && FDown) FState = bsExclusive;
    update();
    if (inside) Click();
}

void TExtGridButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (FDown && OnDblClick) {
        OnDblClick(this);
        return;
    }
    mousePressEvent(e);
}

void TExtGridButton::enterEvent(QEnterEvent*)
{
    if (!isEnabled() || QWidget::mouseGrabber()) return;
    FMouseInControl = true;
    update();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TExtGridButton::leaveEvent(QEvent*)
{
    if (!FDragging) {
        FMouseInControl = false;
        update();
    }
    if (OnMouseLeave) OnMouseLeave(this);
}

void TExtGridButton::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) {
        if (!isEnabled()) FMouseInControl = false;
        SyncState();
        update();
    } else if (e->type() == QEvent::FontChange) {
        update();
    } else if (e->type() == QEvent::StyleChange || e->type() == QEvent::PaletteChange) {
        // The desktop's look changed: an adapting button takes the matching look.
        if (FAutoThemeAdapt) SetAutoThemeAdapt(true);
        update();
    }
    QWidget::changeEvent(e);
}

const QImage& TExtGridButton::CurrentGlyph() const
{
    const bool pressed = FState == bsDown || FState == bsExclusive;
    if (!isEnabled() && !FGlyphDisabled.isNull()) return FGlyphDisabled;
    if (pressed && !FGlyphDown.isNull()) return FGlyphDown;
    if (FMouseInControl && !pressed && !FGlyphHot.isNull()) return FGlyphHot;
    return FGlyph;
}

void TExtGridButton::CalcLayout(QPoint& glyphPos, QRect& captionRect) const
{
    const QImage& g = CurrentGlyph();
    const QSize gs = g.isNull() ? QSize(0, 0) : g.size();
    const QString text = FShowCaption ? FCaption : QString();
    const QFontMetrics fm(font());
    QSize cs = text.isEmpty() ? QSize(0, 0) : QSize(fm.horizontalAdvance(QString(text).remove(QLatin1Char('&'))), fm.height());
    int W = width() - (FDropDownButton ? 12 : 0), H = height();
    TButtonLayout layout = FLayout;
    if (layoutDirection() == Qt::RightToLeft) {
        if (layout == blGlyphLeft) layout = blGlyphRight;
        else if (layout == blGlyphRight) layout = blGlyphLeft;
    }
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    QPoint gp, cp;
    if (horizontal) {
        gp.setY((H - gs.height() + 1) / 2);
        cp.setY((H - cs.height() + 1) / 2);
    } else {
        gp.setX((W - gs.width() + 1) / 2);
        cp.setX((W - cs.width() + 1) / 2);
    }
    int spacing = FSpacing, margin = FMargin;
    if (gs.isEmpty() || cs.isEmpty()) spacing = 0;
    const int L = horizontal ? W : H;
    const int gl = horizontal ? gs.width() : gs.height();
    const int cl = horizontal ? cs.width() : cs.height();
    if (margin == -1 && spacing == -1) {
        margin = spacing = (L - gl - cl) / 3;
    } else if (margin == -1) {
        margin = (L - gl - spacing - cl + 1) / 2;
    } else if (spacing == -1) {
        spacing = (L - margin - gl - cl) / 2;
    }
    int g0 = 0, c0 = 0;
    switch (layout) {
    case blGlyphLeft:
    case blGlyphTop:
        g0 = margin;
        c0 = g0 + gl + spacing;
        break;
    case blGlyphRight:
    case blGlyphBottom:
        g0 = L - margin - gl;
        c0 = g0 - spacing - cl;
        break;
    }
    if (horizontal) {
        gp.setX(g0);
        cp.setX(c0);
    } else {
        gp.setY(g0);
        cp.setY(c0);
    }
    if (text.isEmpty() && !gs.isEmpty()) gp = QPoint(0, 0);
    QPoint offset(0, 0);
    const bool pressed = FState == bsDown || FState == bsExclusive;
    if (pressed && !FFlat) offset = QPoint(1, 1);
    if (FFlat && FMouseInControl && FShaded && !pressed && isEnabled()) offset = QPoint(-1, -1);
    glyphPos = gp + offset;
    captionRect = QRect(cp + offset, cs);
}

void TExtGridButton::paintEvent(QPaintEvent*)
{
    SyncState();
    QPainter p(this);
    TCanvas canvas(p);
    QRect r = rect();
    const bool pressed = FState == bsDown || FState == bsExclusive;
    const bool hot = FMouseInControl && isEnabled();
    auto fill = [&](TColor c, TColor cTo, TColor border, const QRect& rr) {
        if (cTo != clNone)
            FillGradientSteps(canvas, c, cTo, false, TRect::FromQRect(rr), 16, FRounded ? clNone : border);
        else {
            p.fillRect(rr, ColorToQColor(c));
            if (border != clNone && !FRounded) {
                p.setPen(ColorToQColor(border));
                p.setBrush(Qt::NoBrush);
                p.drawRect(rr.adjusted(0, 0, -1, -1));
            }
        }
    };
    if (FFlat) {
        if (FBorderDownColor == clNone || FRounded) r.adjust(1, 1, -1, -1);
        if (!hot) {
            if (FStyle == tasCheck && FDown)
                fill(FColorChecked, FColorCheckedTo, FBorderDownColor, r);
            else
                fill(FColor, FColorTo, FDown ? FBorderDownColor : FBorderColor, r);
            if (FBorderColor != clNone) {
                p.setPen(ColorToQColor(FBorderColor));
                p.setBrush(Qt::NoBrush);
                if (FRounded)
                    p.drawRoundedRect(r.adjusted(-1, -1, 0, 0), 4, 4);
                else
                    p.drawRect(r.adjusted(0, 0, -1, -1));
            }
        } else {
            TColor c = FColorHot, cTo = FColorHotTo, b = FBorderHotColor;
            if (pressed && FDragging) {
                c = FColorDown;
                cTo = FColorDownTo;
                b = FBorderDownColor;
            } else if (FStyle == tasCheck && FDown) {
                c = FColorChecked;
                cTo = FColorCheckedTo;
                b = FBorderDownColor;
            }
            if (cTo != clNone)
                FillGradientSteps(canvas, c, cTo, false, TRect::FromQRect(r), 16, clNone);
            else
                p.fillRect(r, ColorToQColor(c));
            p.setPen(ColorToQColor(b == clNone ? c : b));
            p.setBrush(Qt::NoBrush);
            if (FRounded)
                p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 4, 4);
            else
                p.drawRect(r.adjusted(0, 0, -1, -1));
            if (FDropDownButton) p.drawLine(width() - 12, r.top() + 2, width() - 12, r.bottom() - 2);
        }
        r.adjust(1, 1, -1, -1);
    } else {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        if (FState == bsExclusive && !hot) {
            if (FColorCheckedTo != clNone)
                FillGradientSteps(canvas, FColorChecked, FColorCheckedTo, false, TRect::FromQRect(r.adjusted(2, 2, -2, -2)), 16,
                                  clNone);
            else
                p.fillRect(r.adjusted(2, 2, -2, -2), ColorToQColor(FColorChecked));
        }
    }
    if (FDropDownButton) {
        const int x = width() - 8, y = height() / 2 - 1;
        p.setPen(Qt::NoPen);
        p.setBrush(palette().color(QPalette::ButtonText));
        p.drawPolygon(QPolygon({{x - 2, y}, {x + 2, y}, {x, y + 2}}));
    }
    QPoint gp;
    QRect cr;
    CalcLayout(gp, cr);
    const QImage& g = CurrentGlyph();
    if (!g.isNull()) {
        if (hot && FShaded && !pressed && !FGlyphShade.isNull()) p.drawImage(gp + QPoint(2, 2), FGlyphShade);
        p.drawImage(gp, g);
    }
    if (FShowCaption && !FCaption.isEmpty()) {
        p.setFont(font());
        const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!isEnabled()) {
            p.setPen(palette().color(QPalette::Light));
            p.drawText(cr.translated(1, 1), flags, FCaption);
            p.setPen(palette().color(QPalette::Dark));
        } else {
            p.setPen(palette().color(QPalette::ButtonText));
        }
        p.drawText(cr, flags, FCaption);
    }
}

// ---------------------------------------------------------------------------
// TExtCheckBox

TExtCheckBox::TExtCheckBox(QWidget* parent) : QWidget(parent)
{
    resize(98, 20);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void TExtCheckBox::SetCaption(const QString& v)
{
    FCaption = v;
    setAccessibleName(v);
    // The caption's accelerator toggles the box and focuses it when it is a
    // tab stop.
    delete m_accel;
    m_accel = nullptr;
    const QKeySequence seq = QKeySequence::mnemonic(v);
    if (!seq.isEmpty()) {
        m_accel = new QShortcut(seq, this);
        m_accel->setContext(Qt::WindowShortcut);
        connect(m_accel, &QShortcut::activated, this, [this] {
            if (!isEnabled()) return;
            if (TabStop()) setFocus(Qt::ShortcutFocusReason);
            Toggle();
            Click();
        });
    }
    update();
}

void TExtCheckBox::SetState(TCheckBoxState v)
{
    if (v == FState) return;
    FState = v;
    update(BoxRect().adjusted(-4, -4, 4, 4));
}

void TExtCheckBox::SetAlignment(TLeftRight v)
{
    if (v == FAlignment) return;
    FAlignment = v;
    update();
}

void TExtCheckBox::SetButtonVertAlign(TButtonVertAlign v)
{
    if (v == FBtnVAlign) return;
    FBtnVAlign = v;
    update();
}

void TExtCheckBox::SetEllipsis(bool v)
{
    if (v == FEllipsis) return;
    FEllipsis = v;
    update();
}

void TExtCheckBox::SetTransparent(bool v)
{
    FTransparent = v;
    setAttribute(Qt::WA_NoSystemBackground, v);
    update();
}

void TExtCheckBox::Toggle()
{
    if (!FReadOnly) SetChecked(!Checked());
}

void TExtCheckBox::Click()
{
    if (OnClick) OnClick(this);
}

QRect TExtCheckBox::BoxRect() const
{
    if (IsThemedComCtl6()) {
        const int x = FAlignment == taLeftJustifyBox ? 0 : width() - 15;
        int y = 4;
        if (FBtnVAlign == tvaCenter) y = height() / 2 - 6;
        if (FBtnVAlign == tvaBottom) y = height() - 14;
        return QRect(x, y, 14, 14);
    }
    const int x = FAlignment == taLeftJustifyBox ? 0 : width() - 13;
    int y = 4;
    if (FBtnVAlign == tvaCenter) y = height() / 2 - 6;
    if (FBtnVAlign == tvaBottom) y = height() - 17;
    return QRect(x, y, 13, 13);
}

void TExtCheckBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !isEnabled()) return;
    if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    FFocused = true;
    FMouseDown = true;
    FDown = true;
    update(BoxRect());
}

void TExtCheckBox::mouseMoveEvent(QMouseEvent* e)
{
    if (!FMouseDown) return;
    const QPoint p = e->position().toPoint();
    const bool inside = p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height();
    if (inside != FDown) {
        FDown = inside;
        update(BoxRect());
    }
}

void TExtCheckBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (!FMouseDown) return;
    FMouseDown = false;
    FDown = false;
    const QPoint p = e->position().toPoint();
    const bool inside = p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height();
    if (inside && FFocused) {
        Toggle();
        Click();
    }
    update();
}

void TExtCheckBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        FDown = true;
        update(BoxRect());
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && FReturnIsTab) {
        focusNextChild();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TExtCheckBox::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && FDown) {
        FDown = false;
        Toggle();
        Click();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TExtCheckBox::enterEvent(QEnterEvent*)
{
    FHot = true;
    update(BoxRect());
}

void TExtCheckBox::leaveEvent(QEvent*)
{
    FHot = false;
    update(BoxRect());
}

void TExtCheckBox::focusInEvent(QFocusEvent*)
{
    FFocused = true;
    update();
}

void TExtCheckBox::focusOutEvent(QFocusEvent*)
{
    FFocused = false;
    update();
}

void TExtCheckBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas canvas(p);
    if (!FTransparent) p.fillRect(rect(), ColorToQColor(Color));
    const QRect box = BoxRect();
    bool drawn = false;
    if (IsThemedComCtl6()) {
        if (TThemeData* theme = OpenThemeData(this, QStringLiteral("button"))) {
            int st = thsNormal;
            if (!isEnabled())
                st = thsDisabled;
            else if (FDown)
                st = thsPressed;
            else if (FHot)
                st = thsHot;
            drawn = DrawThemeBackground(theme, canvas, tpButtonCheck,
                                        CheckBoxThemeState(st, FState == cbChecked, FState == cbGrayed),
                                        TRect::FromQRect(box));
            CloseThemeData(theme);
        }
    }
    if (!drawn) {
        // The classic 13 x 13 box.
        p.setPen(palette().color(QPalette::Dark));
        p.setBrush(isEnabled() && !FDown ? QColor(Qt::white) : palette().color(QPalette::Button));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        if (FState != cbUnchecked) {
            p.setPen(QPen(FState == cbGrayed || !isEnabled() ? palette().color(QPalette::Dark) : QColor(Qt::black), 2));
            const QPoint a(box.left() + 3, box.top() + 6), b(box.left() + 5, box.top() + 9),
                c(box.left() + 10, box.top() + 3);
            p.drawLine(a, b);
            p.drawLine(b, c);
        }
    }
    QRect tr = FAlignment == taLeftJustifyBox ? QRect(15, 4, width() - 15, height() - 4)
                                              : QRect(6, 4, width() - 6 - 9 - 13, height() - 4);
    QString text = FCaption;
    p.setFont(font());
    if (FEllipsis) text = QFontMetrics(font()).elidedText(text, Qt::ElideRight, tr.width());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextSingleLine;
    if (!isEnabled()) {
        p.setPen(Qt::white);
        p.drawText(tr.translated(1, 1), flags, text);
        p.setPen(ColorToQColor(0x808080));
    } else {
        p.setPen(palette().color(QPalette::WindowText));
    }
    QRect used;
    p.drawText(tr, flags, text, &used);
    if (FFocused && hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(used.adjusted(-1, 0, 0, 0));
    }
}
