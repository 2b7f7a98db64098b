#include "controls/EsgCombo.h"

#include "controls/ExtUtilDraw.h"
#include "controls/ExtXPVS.h"

QPoint LabelLayoutPosition(TLabelPosition position, const QRect& c, const QSize& l, int w, int m)
{
    using enum TLabelPosition;
    const int centredTop = c.top() + (c.height() - l.height()) / 2;
    const int centredLeft = c.left() + (c.width() - l.width()) / 2;
    const int bottomTop = c.top() + c.height() - l.height();
    switch (position) {
    case lpLeftTop: return {c.left() - w - m, c.top()};
    case lpLeftCenter: return {c.left() - w - m, centredTop};
    case lpLeftBottom: return {c.left() - w - m, bottomTop};
    case lpTopLeft: return {c.left(), c.top() - l.height() - m};
    case lpBottomLeft: return {c.left(), c.top() + c.height() + m};
    case lpLeftTopLeft: return {c.left() - m, c.top()};
    case lpLeftCenterLeft: return {c.left() - m, centredTop};
    case lpLeftBottomLeft: return {c.left() - m, bottomTop};
    case lpTopCenter: return {centredLeft, c.top() - l.height() - m};
    case lpBottomCenter: return {centredLeft, c.top() + c.height() + m};
    case lpRightTop: return {c.left() + c.width() + m, c.top()};
    case lpRightCenter: return {c.left() + c.width() + m, centredTop};
    case lpRighBottom: return {c.left() + c.width() + m, bottomTop};
    }
    return c.topLeft();
}

void DrawComboDropButton(TCanvas& canvas, QWidget* widget, const TRect& b, const TDropButtonColors& colors,
                         const TDropButtonShape& shape, bool hover, bool pressed, bool dropped, bool enabled, bool themed)
{
    if (colors.Color != clNone) {
        TColor brush = colors.Color;
        if (hover) brush = colors.ColorHot;
        if (pressed && hover) brush = colors.ColorDown;
        const TRect f{b.Left + shape.fillLeft, b.Top + 1, b.Right - 1, b.Bottom - 1};
        canvas.SetBrushStyle(TBrushStyle::Solid);
        canvas.SetBrushColor(brush);
        canvas.FillRect(f);
        canvas.SetPenStyle(TPenStyle::Solid);
        canvas.SetPenColor(colors.BorderColor);
        canvas.MoveTo(f.Left, f.Top);
        canvas.LineTo(f.Left, f.Bottom);
        const TColor arrow = pressed ? colors.TextColorDown : colors.TextColor;
        canvas.SetBrushColor(arrow);
        canvas.SetPenColor(arrow);
        const int x = f.Left + shape.arrowLeft;
        canvas.Polygon({QPoint(x, f.Top + 7), QPoint(x + 6, f.Top + 7), QPoint(x + 3, f.Top + 10)});
        return;
    }
    if (themed) {
        if (TThemeData* theme = OpenThemeData(widget, QStringLiteral("combobox"))) {
            int state = thsHot;
            if (!enabled) state = thsDisabled;
            else if (pressed && dropped) state = thsPressed;
            else if (pressed || !hover || dropped) state = thsNormal;
            DrawThemeBackground(theme, canvas, tpComboDropDown, state, b);
            CloseThemeData(theme);
            return;
        }
    }
    const TRect r{b.Left - 4, b.Top + 1, b.Right - 4, b.Bottom - 1};
    DrawClassicButtonFrame(canvas, r, false, enabled);
    DrawSmallDownTriangle(canvas, r.Left + r.Width() / 2, r.Top + r.Height() / 2 - 1, enabled ? clBtnText : clGrayText);
}
