#pragma once
// The date-time picker of the grid's date editors with a flat border,
// custom border and drop-button colours and a metro look.
//
// TDateTimePickerLook holds the look both picker families share (this one
// and the pickers of ExtDateTimePicker) and paints it over the platform
// picker: the flat border along the widget's edge, the metro drop button and
// the borders of the combo's rule.
#include "controls/EsgCombo.h"
#include "platform/DateTimePicker.h"
#include "platform/Graphics.h"

#include <QString>

class TDateTimePickerLook {
public:
    // `embeddedOffset`: how far left of the drop button the metro strip
    // starts when themed (15 in the plain picker, 4 in the auto-tab one).
    TDateTimePickerLook(TDateTimePicker& picker, TColor borderColor, bool ctl3D, int stripOffset);

    TBorderStyle BorderStyle = TBorderStyle::bsNone;
    TColor BorderColor = clNone;
    bool IsThemed = true;
    TColor ButtonColorDown = clNone;
    TColor ButtonBorderColor = clNone;
    TColor ButtonTextColor = clNone;
    TColor ButtonTextColorHot = clNone;
    TColor ButtonColor = clNone;
    TColor ButtonColorHot = clNone;
    TColor ButtonTextColorDown = clNone;
    int ButtonWidth = 0;
    bool ButtonHover = false;
    bool MouseInControl = false;
    bool IsWinXP = true;
    bool MetroStyle = false;
    TColor FocusBorderColor = clNone;
    bool DisabledBorder = false;
    bool HasFocus = false;
    bool FocusBorder = false;
    bool Ctl3D = false;
    // False while the picker sits inside another one (no metro look, no
    // custom border then).
    bool Standalone = true;
    // The plain picker draws its flat border only when BorderColor is set.
    bool FlatBorderNeedsColor = false;
    // The auto-tab picker draws its flat outline once more after the button.
    bool RedrawOutline = false;

    // Everything drawn over the platform's painting.
    void Paint();
    // The flat border of the non-client paint.
    void PaintFlatBorder(TCanvas& canvas, bool innerLine);
    // The borders of the combo's rule with the button frame.
    void PaintBorders(TCanvas& canvas);
    // Mouse tracking: true when a repaint is due.
    bool MouseMove(int x);
    void MouseEnter();
    void MouseLeave();

private:
    TColor ParentColor() const;
    bool Hot() const;
    bool Metro() const { return MetroStyle && Standalone; }

    TDateTimePicker& m_picker;
    int m_stripOffset;
};

// A platform picker with the shared look: it keeps the look's focus and
// mouse state and paints the look over the platform's painting.
class TLookDateTimePicker : public TDateTimePicker {
public:
    TLookDateTimePicker(QWidget* parent, TColor borderColor, bool ctl3D, int stripOffset);
    ~TLookDateTimePicker() override;

    TDateTimePickerLook& Look() { return m_look; }
    const TDateTimePickerLook& Look() const { return m_look; }

    TBorderStyle BorderStyle() const { return m_look.BorderStyle; }
    virtual void SetBorderStyle(TBorderStyle value);
    TColor BorderColor() const { return m_look.BorderColor; }
    void SetBorderColor(TColor c);
    bool MetroStyle() const { return m_look.MetroStyle; }
    void SetMetroStyle(bool v);
    TColor FocusBorderColor() const { return m_look.FocusBorderColor; }
    void SetFocusBorderColor(TColor c) { m_look.FocusBorderColor = c; }
    bool Ctl3D() const { return m_look.Ctl3D; }
    void SetCtl3D(bool v);

protected:
    // False while the picker sits inside another one.
    virtual bool Standalone() const { return true; }

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TDateTimePickerLook m_look;
};

class TEsgDateTimePicker : public TLookDateTimePicker {
public:
    explicit TEsgDateTimePicker(QWidget* parent = nullptr);
    ~TEsgDateTimePicker() override;

    // "1.0.0.0"; writes are ignored.
    QString Version() const { return QStringLiteral("1.0.0.0"); }
    void SetVersion(const QString&) {}
};
