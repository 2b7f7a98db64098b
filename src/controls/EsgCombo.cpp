#include "controls/EsgCombo.h"

#include <QAbstractItemView>

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

// ---------------------------------------------------------------------------

#include <QAbstractItemView>
#include <QLineEdit>

TEsgCustomCombo::TEsgCustomCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(8);
    m_normalPalette = palette();
}

void TEsgCustomCombo::SetStyle(TComboStyle s)
{
    if (s == m_style) return;
    m_style = s;
    const QString text = currentText();
    setEditable(s == TComboStyle::csDropDown);
    if (isEditable()) {
        setInsertPolicy(QComboBox::NoInsert);
        setEditText(text);
        SetMaxLength(m_maxLength);
    }
}

QStringList TEsgCustomCombo::Items() const
{
    QStringList l;
    for (int i = 0; i < count(); ++i) l.append(itemText(i));
    return l;
}

void TEsgCustomCombo::SetItems(const QStringList& items)
{
    const QString text = currentText();
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(-1);
}

void TEsgCustomCombo::SetText(const QString& s)
{
    if (isEditable()) {
        const int i = IndexOf(s);
        if (i >= 0) setCurrentIndex(i);
        setEditText(s);
        return;
    }
    setCurrentIndex(IndexOf(s));
}

void TEsgCustomCombo::SetDropWidth(int w)
{
    m_dropWidth = w;
    if (w > 0) view()->setMinimumWidth(w);
}

void TEsgCustomCombo::SetMaxLength(int n)
{
    m_maxLength = n;
    if (QLineEdit* e = lineEdit()) e->setMaxLength(n > 0 ? n : 32767);
}

void TEsgCustomCombo::SetButtonWidth(int w)
{
    if (w < 14 || w > 32) return;
    m_buttonWidth = w;
    update();
}

void TEsgCustomCombo::SetDroppedDown(bool v)
{
    if (v)
        showPopup();
    else
        hidePopup();
}

void TEsgCustomCombo::SelectItem(const QString& s)
{
    const int i = findText(s, Qt::MatchFixedString);
    if (i >= 0) setCurrentIndex(i);
}

void TEsgCustomCombo::Init()
{
    m_normalPalette = palette();
}

void TEsgCustomCombo::showPopup()
{
    if (m_dropWidth > 0) view()->setMinimumWidth(m_dropWidth);
    m_dropped = true;
    QComboBox::showPopup();
    // The list shows at most the drop-down count of items, whatever the
    // style would do with a longer list (some show every item).
    QAbstractItemView* v = view();
    QWidget* popup = v ? v->window() : nullptr;
    const int rows = maxVisibleItems();
    const int rowHeight = v && count() > 0 ? v->sizeHintForRow(0) : 0;
    if (!popup || popup == window() || rowHeight <= 0 || count() <= rows) return;
    const int frame = popup->height() - v->viewport()->height();
    const int want = rowHeight * rows + std::max(0, frame);
    if (popup->height() <= want) return;
    const bool above = popup->geometry().bottom() <= mapToGlobal(QPoint(0, height())).y() &&
                       popup->geometry().top() < mapToGlobal(QPoint(0, 0)).y();
    QRect g = popup->geometry();
    if (above)
        g.setTop(g.bottom() - want + 1);
    else
        g.setHeight(want);
    popup->setGeometry(g);
    if (currentIndex() >= 0) v->scrollTo(model()->index(currentIndex(), modelColumn()));
}

void TEsgCustomCombo::hidePopup()
{
    const bool was = m_dropped;
    m_dropped = false;
    QComboBox::hidePopup();
    if (was && OnDropUp) OnDropUp(this);
}

void TEsgCustomCombo::focusInEvent(QFocusEvent* e)
{
    QComboBox::focusInEvent(e);
    if (m_focusColor != clNone) {
        m_normalPalette = palette();
        QPalette p = palette();
        p.setColor(QPalette::Base, ColorToQColor(m_focusColor));
        setPalette(p);
    }
}

void TEsgCustomCombo::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    if (m_focusColor != clNone) setPalette(m_normalPalette);
}
