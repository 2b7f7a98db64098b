#include "controls/EsgDateTimePicker.h"

#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace {
constexpr TColor ThemedBorderColor = 0xB99D7F;

void Outline(TCanvas& canvas, const std::vector<QPoint>& points)
{
    canvas.Polyline(points);
    // Polyline leaves out the last pixel; the outline closes on it.
    canvas.SetPixel(points.back().x(), points.back().y(), canvas.PenColor());
}

void FrameIn(TCanvas& canvas, const TRect& r, TColor c)
{
    if (c == clNone) return;
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(c);
    canvas.FrameRect(r);
}
} // namespace

// ---------------------------------------------------------------------------
// TDateTimePickerLook

TDateTimePickerLook::TDateTimePickerLook(TDateTimePicker& picker, TColor borderColor, bool ctl3D, int stripOffset)
    : BorderColor(borderColor), Ctl3D(ctl3D), m_picker(picker), m_stripOffset(stripOffset)
{
    ButtonWidth = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    IsWinXP = IsWinXPOrLater();
}

TColor TDateTimePickerLook::ParentColor() const
{
    const QWidget* p = m_picker.parentWidget();
    return QColorToColor((p ? p : &m_picker)->palette().color(QPalette::Window));
}

bool TDateTimePickerLook::Hot() const { return FocusBorder && (MouseInControl || m_picker.hasFocus()); }

void TDateTimePickerLook::PaintFlatBorder(TCanvas& canvas, bool innerLine)
{
    const int w = m_picker.width();
    const int h = m_picker.height();
    TColor pen = BorderStyle == TBorderStyle::bsNone ? ParentColor() : IsThemed ? ThemedBorderColor : BorderColor;
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenColor(pen);
    Outline(canvas, {{0, h}, {0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}});
    if (BorderStyle == TBorderStyle::bsSingle) canvas.SetPenColor(ParentColor());
    if (innerLine) Outline(canvas, {{1, h - 2}, {1, 1}, {w - 1, 1}});
}

void TDateTimePickerLook::PaintBorders(TCanvas& canvas)
{
    if (!Metro()) return;
    const bool enabled = m_picker.isEnabled();
    if (enabled && BorderColor == clNone && FocusBorderColor == clNone) return;
    TRect w{0, 0, m_picker.width(), m_picker.height()};
    const bool themed = IsThemed && IsThemeActive();
    const bool focused = m_picker.hasFocus();
    if (!enabled && IsThemed && !DisabledBorder) {
        FrameIn(canvas, w, ThemedBorderColor);
    } else {
        TColor c = BorderColor;
        if (c == clNone || (focused && FocusBorderColor != clNone)) c = FocusBorderColor;
        if (c == clNone) {
            const TColor outer = Hot() ? clBtnFace : ParentColor();
            const TColor inner = QColorToColor(m_picker.palette().color(QPalette::Base));
            if (Hot()) {
                DrawClassicButtonFrame(canvas, w, true, true);
                w = w.Inflated(-1, -1);
                FrameIn(canvas, w, outer);
                w = w.Inflated(-1, -1);
                FrameIn(canvas, w, inner);
            } else {
                FrameIn(canvas, w, outer);
                w = w.Inflated(-1, -1);
                w.Right -= ButtonWidth;
                FrameIn(canvas, w, outer);
                w = w.Inflated(-1, -1);
                FrameIn(canvas, w, inner);
            }
        } else if (!(FocusBorderColor != clNone && BorderColor == clNone && !focused)) {
            FrameIn(canvas, w, c);
        }
    }
    if (IsWinXP && themed) return;
    // The button frame.
    const TRect b{m_picker.width() - ButtonWidth, 2, m_picker.width() - 2, m_picker.height() - 2};
    if (Hot() || MouseInControl) {
        DrawClassicButtonFrame(canvas, b, false, m_picker.DroppedDown());
    } else {
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(b);
    }
}

void TDateTimePickerLook::Paint()
{
    TCanvas canvas(&m_picker);
    const bool themed = IsThemed && IsThemeActive();
    // Non-client paint: the flat border.
    if (!Ctl3D && !(FlatBorderNeedsColor && BorderColor == clNone) && Standalone) PaintFlatBorder(canvas, true);
    if ((!m_picker.isEnabled() && themed && !DisabledBorder) || (FocusBorderColor != clNone && m_picker.hasFocus()) ||
        BorderColor != clNone)
        PaintBorders(canvas);
    // Paint: the metro drop button.
    if (IsVistaOrLater() && (!Ctl3D || Metro())) {
        const int cr = m_picker.width();
        if (Metro() && m_picker.Kind() != TDateTimeKind::dtkTime) {
            if (IsComCtl6()) {
                const TRect strip = themed ? TRect{cr - ButtonWidth - m_stripOffset, 1, cr, m_picker.height()}
                                           : TRect{cr - ButtonWidth - 2, 4, cr - 2, m_picker.height() - 4};
                canvas.SetBrushStyle(TBrushStyle::Solid);
                canvas.SetBrushColor(QColorToColor(m_picker.palette().color(QPalette::Base)));
                canvas.FillRect(strip);
            }
            const TRect b = TRect{cr - ButtonWidth + 2, 0, m_picker.width(), m_picker.height()}.Inflated(-1, -1);
            TDropButtonColors colors;
            colors.Color = ButtonColor;
            colors.ColorHot = ButtonColorHot;
            colors.ColorDown = ButtonColorDown;
            colors.BorderColor = ButtonBorderColor;
            colors.TextColor = ButtonTextColor;
            colors.TextColorDown = ButtonTextColorDown;
            DrawComboDropButton(canvas, &m_picker, b, colors, TDropButtonShape{2, 5}, ButtonHover, m_picker.DroppedDown(),
                                m_picker.DroppedDown(), m_picker.isEnabled(), themed);
        }
        if (RedrawOutline && !Ctl3D && Standalone) PaintFlatBorder(canvas, !IsThemeActive());
        PaintBorders(canvas);
    }
}

bool TDateTimePickerLook::MouseMove(int x)
{
    const bool hover = x > m_picker.width() - ButtonWidth && x < m_picker.width();
    if (hover == ButtonHover) return false;
    ButtonHover = hover;
    return true;
}

void TDateTimePickerLook::MouseEnter()
{
    if (m_picker.isEnabled()) MouseInControl = true;
}

void TDateTimePickerLook::MouseLeave()
{
    if (m_picker.isEnabled()) MouseInControl = false;
    ButtonHover = false;
}

// ---------------------------------------------------------------------------
// TLookDateTimePicker

TLookDateTimePicker::TLookDateTimePicker(QWidget* parent, TColor borderColor, bool ctl3D, int stripOffset)
    : TDateTimePicker(parent), m_look(*this, borderColor, ctl3D, stripOffset)
{
    setMouseTracking(true);
}

TLookDateTimePicker::~TLookDateTimePicker() = default;

void TLookDateTimePicker::SetBorderStyle(TBorderStyle value)
{
    if (value == m_look.BorderStyle) return;
    m_look.BorderStyle = value;
    update();
}

void TLookDateTimePicker::SetBorderColor(TColor c)
{
    if (c == m_look.BorderColor) return;
    m_look.BorderColor = c;
    update();
}

void TLookDateTimePicker::SetMetroStyle(bool v)
{
    if (v == m_look.MetroStyle) return;
    m_look.MetroStyle = v;
    update();
}

void TLookDateTimePicker::SetCtl3D(bool v)
{
    m_look.Ctl3D = v;
    update();
}

void TLookDateTimePicker::paintEvent(QPaintEvent* event)
{
    TDateTimePicker::paintEvent(event);
    m_look.Standalone = Standalone();
    m_look.Paint();
}

void TLookDateTimePicker::focusInEvent(QFocusEvent* event)
{
    TDateTimePicker::focusInEvent(event);
    m_look.HasFocus = true;
    update();
}

void TLookDateTimePicker::focusOutEvent(QFocusEvent* event)
{
    TDateTimePicker::focusOutEvent(event);
    m_look.HasFocus = false;
    update();
}

void TLookDateTimePicker::enterEvent(QEnterEvent* event)
{
    TDateTimePicker::enterEvent(event);
    m_look.MouseEnter();
    update();
}

void TLookDateTimePicker::leaveEvent(QEvent* event)
{
    TDateTimePicker::leaveEvent(event);
    m_look.MouseLeave();
    update();
}

void TLookDateTimePicker::mouseMoveEvent(QMouseEvent* event)
{
    TDateTimePicker::mouseMoveEvent(event);
    if (m_look.MouseMove(int(event->position().x()))) update();
}

// ---------------------------------------------------------------------------
// TEsgDateTimePicker

TEsgDateTimePicker::TEsgDateTimePicker(QWidget* parent) : TLookDateTimePicker(parent, clNone, true, 15)
{
    Look().FlatBorderNeedsColor = true;
}

TEsgDateTimePicker::~TEsgDateTimePicker() = default;
