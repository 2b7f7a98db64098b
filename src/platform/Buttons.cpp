#include "platform/Buttons.h"

#include "platform/Application.h"

#include <QEnterEvent>
#include <QMouseEvent>

TSpeedButton::TSpeedButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(const QImage& glyph)
{
    m_glyph = glyph;
    update();
}

void TSpeedButton::SetNumGlyphs(int n)
{
    m_numGlyphs = n < 1 ? 1 : n > 4 ? 4 : n;
    update();
}

void TSpeedButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TSpeedButton::SetFlat(bool v)
{
    m_flat = v;
    update();
}

void TSpeedButton::SetTransparent(bool v)
{
    m_transparent = v;
    setAttribute(Qt::WA_NoSystemBackground, v);
    update();
}

void TSpeedButton::Click()
{
    if (OnClick) OnClick(this);
}

void TSpeedButton::PaintGlyph(TCanvas& canvas, const TRect& r)
{
    if (m_glyph.isNull()) return;
    const int cellW = m_glyph.width() / m_numGlyphs;
    int cell = 0;
    if (!isEnabled() && m_numGlyphs > 1) cell = 1;
    else if (Pressed() && m_numGlyphs > 2) cell = m_state == TButtonState::bsExclusive && m_numGlyphs > 3 ? 3 : 2;
    const QImage img = m_glyph.copy(cell * cellW, 0, cellW, m_glyph.height());
    const int x = r.Left + (img.width() < r.Width() ? (r.Width() - img.width()) / 2 : 0) + (Pressed() ? 1 : 0);
    const int y = r.Top + (img.height() < r.Height() ? (r.Height() - img.height()) / 2 : 0) + (Pressed() ? 1 : 0);
    // The bottom-left pixel's colour is transparent.
    const TColor key = QColorToColor(QColor::fromRgb(img.pixel(0, img.height() - 1)));
    canvas.DrawTransparent(x, y, img, key);
}

void TSpeedButton::Paint(TCanvas& canvas)
{
    TRect r{0, 0, width(), height()};
    if (!m_transparent) {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(r);
    }
    const bool pressed = Pressed();
    if (!m_flat || pressed || m_mouseIn) {
        // Raised or sunken bevel; a flat button shows one only under the mouse.
        auto line = [&](TColor c, int x0, int y0, int x1, int y1) {
            canvas.SetPenColor(c);
            canvas.MoveTo(x0, y0);
            canvas.LineTo(x1, y1);
        };
        const TColor tl = pressed ? clBtnShadow : clBtnHighlight;
        const TColor br = pressed ? clBtnHighlight : cl3DDkShadow;
        line(tl, r.Left, r.Bottom - 1, r.Left, r.Top);
        line(tl, r.Left, r.Top, r.Right - 1, r.Top);
        line(br, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
        line(br, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
    }
    r = r.Inflated(-1, -1);
    PaintGlyph(canvas, r);
    if (!m_caption.isEmpty()) {
        canvas.SetFont(font());
        canvas.SetFontColor(isEnabled() ? clBtnText : clGrayText);
        canvas.SetBkMode(TBkMode::Transparent);
        TRect tr = pressed ? r.Offset(1, 1) : r;
        canvas.DrawText(m_caption, tr, tfCenter | tfVCenter | tfSingleLine);
    }
}

void TSpeedButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TSpeedButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TSpeedButton::MouseEnter() {}
void TSpeedButton::MouseLeave() {}

void TSpeedButton::paintEvent(QPaintEvent*)
{
    TCanvas canvas(this);
    canvas.SetFont(font());
    Paint(canvas);
}

void TSpeedButton::mousePressEvent(QMouseEvent* event)
{
    Guard([&] {
        const QPoint p = event->position().toPoint();
        if (event->button() == Qt::LeftButton && isEnabled()) {
            m_state = TButtonState::bsDown;
            m_dragging = true;
            update();
        }
        MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    });
}

void TSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    Guard([&] {
        if (!m_dragging) return;
        const TButtonState s = rect().contains(event->position().toPoint()) ? TButtonState::bsDown : TButtonState::bsUp;
        if (s != m_state) {
            m_state = s;
            update();
        }
    });
}

void TSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    Guard([&] {
        const QPoint p = event->position().toPoint();
        bool click = false;
        if (event->button() == Qt::LeftButton && m_dragging) {
            m_dragging = false;
            click = rect().contains(p);
            m_state = TButtonState::bsUp;
            update();
        }
        MouseUp(event->button(), event->modifiers(), p.x(), p.y());
        if (click) Click();
    });
}

void TSpeedButton::enterEvent(QEnterEvent*)
{
    Guard([&] {
        m_mouseIn = true;
        MouseEnter();
        update();
    });
}

void TSpeedButton::leaveEvent(QEvent*)
{
    Guard([&] {
        m_mouseIn = false;
        MouseLeave();
        update();
    });
}

void TSpeedButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        m_state = isEnabled() ? TButtonState::bsUp : TButtonState::bsDisabled;
        update();
    }
}
