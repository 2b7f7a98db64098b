#pragma once
// Pieces of the combo editors shared with the date-time pickers: the
// positions of an attached label and their layout, and the painter of the
// drop button in custom colours, themed or classic.
#include "platform/Canvas.h"
#include "platform/Graphics.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

enum class TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
    lpRightTop,
    lpRightCenter,
    lpRighBottom
};

// The top-left corner of a label of size `label` attached to a control at
// `control`, with `textWidth` the width of the label's text and `margin` the
// gap between them.
QPoint LabelLayoutPosition(TLabelPosition position, const QRect& control, const QSize& label, int textWidth, int margin);

// The seven custom colours of a drop, spin or edit button, as properties
// (clNone: not set). A control that paints with them repaints on a change.
class TButtonColorProperties {
public:
    virtual ~TButtonColorProperties() = default;

    TColor ButtonColor() const { return m_color; }
    void SetButtonColor(TColor c) { Set(m_color, c); }
    TColor ButtonColorHot() const { return m_colorHot; }
    void SetButtonColorHot(TColor c) { Set(m_colorHot, c); }
    TColor ButtonColorDown() const { return m_colorDown; }
    void SetButtonColorDown(TColor c) { Set(m_colorDown, c); }
    TColor ButtonBorderColor() const { return m_borderColor; }
    void SetButtonBorderColor(TColor c) { Set(m_borderColor, c); }
    TColor ButtonTextColor() const { return m_textColor; }
    void SetButtonTextColor(TColor c) { Set(m_textColor, c); }
    TColor ButtonTextColorHot() const { return m_textColorHot; }
    void SetButtonTextColorHot(TColor c) { Set(m_textColorHot, c); }
    TColor ButtonTextColorDown() const { return m_textColorDown; }
    void SetButtonTextColorDown(TColor c) { Set(m_textColorDown, c); }

protected:
    virtual void ButtonColorsChanged() {}

private:
    void Set(TColor& field, TColor c)
    {
        field = c;
        ButtonColorsChanged();
    }
    TColor m_colorDown = clNone;
    TColor m_borderColor = clNone;
    TColor m_textColor = clNone;
    TColor m_textColorHot = clNone;
    TColor m_color = clNone;
    TColor m_colorHot = clNone;
    TColor m_textColorDown = clNone;
};

// The custom colours of a drop button.
struct TDropButtonColors {
    TColor Color = clNone;
    TColor ColorHot = clNone;
    TColor ColorDown = clNone;
    TColor BorderColor = clNone;
    TColor TextColor = clNone;
    TColor TextColorDown = clNone;
};

// How the drop button is drawn in its custom colours: the fill F runs from
// `fillLeft` pixels right of the button's left edge, one pixel in from the
// other edges; the arrow's corners are (F.left + arrowLeft, F.top + 7),
// (F.left + arrowLeft + 6, F.top + 7) and (F.left + arrowLeft + 3,
// F.top + 10) (the combo: -1 and 4).
struct TDropButtonShape {
    int fillLeft = -1;
    int arrowLeft = 4;
};

// The drop button in the rectangle `b`: in custom colours when
// colors.Color is set (hot while `hover`, down while `pressed` and
// `hover`), else themed (class "combobox") when `themed`, else the classic
// frame with an arrow. `dropped`: the list is open.
void DrawComboDropButton(TCanvas& canvas, QWidget* widget, const TRect& b, const TDropButtonColors& colors,
                         const TDropButtonShape& shape, bool hover, bool pressed, bool dropped, bool enabled, bool themed);

// ---------------------------------------------------------------------------
// The combo box of the cell editors: an editable combo (csDropDown) or a
// pick list that takes only its items (csDropDownList), with the list's
// drop-down width, a focus colour and a close-up event.

#include <QComboBox>
#include <functional>

enum class TComboStyle { csDropDown, csDropDownList };

class TEsgCustomCombo : public QComboBox {
public:
    explicit TEsgCustomCombo(QWidget* parent = nullptr);

    TComboStyle Style() const { return m_style; }
    void SetStyle(TComboStyle s);
    QStringList Items() const;
    // Replaces the items by a copy of the list (the text is kept in an
    // editable combo; a pick list selects nothing).
    void SetItems(const QStringList& items);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int i) { setCurrentIndex(i < count() ? i : -1); }
    // The edit text of an editable combo, the chosen item of a pick list.
    QString Text() const { return currentText(); }
    void SetText(const QString& s);
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int n) { setMaxVisibleItems(n > 0 ? n : 8); }
    // 0: the list is as wide as the combo.
    int DropWidth() const { return m_dropWidth; }
    void SetDropWidth(int w);
    // 0: no limit (editable combo only).
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int n);
    // Only 14 to 32 are taken.
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int w);
    bool Flat() const { return m_flat; }
    void SetFlat(bool v) { m_flat = v; }
    bool Etched() const { return m_etched; }
    void SetEtched(bool v) { m_etched = v; }
    TColor FocusColor() const { return m_focusColor; }
    void SetFocusColor(TColor c) { m_focusColor = c; }
    bool DroppedDown() const { return m_dropped; }
    void SetDroppedDown(bool v);
    // Selects the first item equal to the text (letters compared without
    // case); nothing changes when none is.
    void SelectItem(const QString& s);
    // The index of the first item equal to the text (case kept), -1 when none.
    int IndexOf(const QString& s) const { return findText(s, Qt::MatchFixedString | Qt::MatchCaseSensitive); }
    // Remembers the colour to restore after the focus colour.
    void Init();

    std::function<void(TEsgCustomCombo* sender)> OnDropUp;

protected:
    void showPopup() override;
    void hidePopup() override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TComboStyle m_style = TComboStyle::csDropDown;
    int m_dropWidth = 0;
    int m_maxLength = 0;
    int m_buttonWidth = 19;
    bool m_flat = false;
    bool m_etched = false;
    bool m_dropped = false;
    TColor m_focusColor = clNone;
    QPalette m_normalPalette;
};

// The same combo with every property public; it adds no behaviour.
class TEsgComboBox : public TEsgCustomCombo {
public:
    using TEsgCustomCombo::TEsgCustomCombo;
};
