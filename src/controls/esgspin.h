#pragma once
// The spin edit of the grid's spin editors: an edit holding one integer,
// floating-point, date or time value, formatted with the regional settings
// read at each use, which refuses characters its kind cannot hold, clamps the
// value to limits and steps it with the keys and an embedded spin button.
//
// TEsgSpinButton is the two-part spin button at the edit's right edge (also
// usable alone); TExtTimerSpeedButton one of its two parts, repeating its
// click while held down.
#include "controls/EsgCombo.h"
#include "platform/Buttons.h"
#include "platform/Graphics.h"
#include "platform/MaskEdit.h"
#include "platform/SysUtils.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

enum class TSpinDirection { spVertical, spHorizontal };
enum class TEsgSpinType { sptNormal, sptFloat, sptDate, sptTime };
enum class TEditAlign { eaLeft, eaRight, eaCenter };
// The arrow of one speed button.
enum class TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
// The members of TTimeBtnState: the button shows the focus mark (bit 0), the
// button repeats while held (bit 1).
enum class TTimeBtnStates : uint8_t { tbFocusRect, tbAllowTimer };

class TTimeBtnState {
public:
    constexpr TTimeBtnState() = default;
    constexpr bool Has(TTimeBtnStates s) const { return (m_bits & Bit(s)) != 0; }
    constexpr void Include(TTimeBtnStates s) { m_bits = uint8_t(m_bits | Bit(s)); }
    constexpr void Exclude(TTimeBtnStates s) { m_bits = uint8_t(m_bits & ~Bit(s)); }
    constexpr uint8_t Bits() const { return m_bits; }

private:
    static constexpr uint8_t Bit(TTimeBtnStates s) { return uint8_t(1u << unsigned(s)); }
    uint8_t m_bits = 0;
};

class TEsgSpinButton;

class TExtTimerSpeedButton : public TSpeedButton {
public:
    explicit TExtTimerSpeedButton(QWidget* parent = nullptr);
    ~TExtTimerSpeedButton() override;

    TTimeBtnState TimeBtnState() const { return m_timeBtnState; }
    void SetTimeBtnState(TTimeBtnState s);
    TButtonDirection ButtonDirection() const { return m_buttonDirection; }
    void SetButtonDirection(TButtonDirection d);
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool v);
    // The mouse is over the button.
    bool HasMouse() const { return MouseInControl(); }

    // The repeat timer: null until the first press.
    QTimer* RepeatTimer() const { return m_repeatTimer.get(); }
    // One tick of the repeat timer: the interval becomes 100 ms and, while the
    // button is down and holds the mouse, it clicks.
    void TimerExpired();

protected:
    void Paint(TCanvas& canvas) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

private:
    TEsgSpinButton* SpinButton() const;

    std::unique_ptr<QTimer> m_repeatTimer;
    TTimeBtnState m_timeBtnState;
    TButtonDirection m_buttonDirection = TButtonDirection::bdUp;
    bool m_isWinXP = false;
};

class TEsgSpinButton : public QWidget, public TButtonColorProperties {
public:
    explicit TEsgSpinButton(QWidget* parent = nullptr);
    ~TEsgSpinButton() override;

    TExtTimerSpeedButton* UpButton() const { return m_upButton.get(); }
    TExtTimerSpeedButton* DownButton() const { return m_downButton.get(); }
    // The part that carries the focus mark.
    TExtTimerSpeedButton* FocusedButton() const { return m_focusedButton; }

    TSpinDirection Direction() const { return m_direction; }
    void SetDirection(TSpinDirection d);
    // The control that takes the focus when a part is pressed (not owned).
    QWidget* FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget* w) { m_focusControl = w; }
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void SetTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool v);

    // A null picture puts back the built-in arrow.
    QImage UpGlyph() const;
    void SetUpGlyph(const QImage& glyph);
    QImage DownGlyph() const;
    void SetDownGlyph(const QImage& glyph);
    int UpNumGlyphs() const;
    void SetUpNumGlyphs(int n);
    int DownNumGlyphs() const;
    void SetDownNumGlyphs(int n);


    // Moves and sizes the control, the size first adjusted to the layout's
    // minimum (width 15 vertical, 20 horizontal).
    void SetBounds(int left, int top, int width, int height);

    std::function<void(QObject* Sender)> OnUpClick;
    std::function<void(QObject* Sender)> OnDownClick;

    // The built-in arrows, 9 x 6 pixels.
    static QImage DefaultGlyph(bool up);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TExtTimerSpeedButton;
    // The layout for a size; adjusts the size to the minimum width.
    void AdjustSize(int& width, int& height);
    void LayoutButtons();
    void SetFocusBtn(TExtTimerSpeedButton* btn);
    void BtnMouseDown(TExtTimerSpeedButton* btn, Qt::MouseButton button);
    void BtnClick(TExtTimerSpeedButton* btn);
    void RepaintButtons();
    void ButtonColorsChanged() override { RepaintButtons(); }

    std::unique_ptr<TExtTimerSpeedButton> m_upButton;
    std::unique_ptr<TExtTimerSpeedButton> m_downButton;
    TExtTimerSpeedButton* m_focusedButton = nullptr;
    QPointer<QWidget> m_focusControl;
    TSpinDirection m_direction = TSpinDirection::spVertical;
    bool m_isWinXP = false;
    bool m_upGlyphSet = false;
    bool m_downGlyphSet = false;
};

class TEsgSpinEdit : public TMaskEdit {
public:
    explicit TEsgSpinEdit(QWidget* parent = nullptr);
    ~TEsgSpinEdit() override;

    TEsgSpinButton* Button() const { return m_button.get(); }

    // Values, computed from the text when read.
    int32_t Value() const;
    void SetValue(int32_t v);
    double FloatValue() const;
    void SetFloatValue(double v);
    TDateTime DateValue() const;
    void SetDateValue(TDateTime v);
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime v);

    TEsgSpinType SpinType() const { return m_spinType; }
    void SetSpinType(TEsgSpinType t);
    int Precision() const { return m_precision; }
    void SetPrecision(int p);
    TSpinDirection Direction() const { return m_direction; }
    void SetDirection(TSpinDirection d);
    TEditAlign EditAlign() const { return m_editAlign; }
    void SetEditAlign(TEditAlign a);
    bool ShowSeconds() const { return m_showSeconds; }
    void SetShowSeconds(bool v) { m_showSeconds = v; }
    bool SpinFlat() const { return m_spinFlat; }
    void SetSpinFlat(bool v);
    bool SpinTransparent() const { return m_spinTransparent; }
    void SetSpinTransparent(bool v);
    bool IsWinXP() const { return m_isWinXP; }
    void SetIsWinXP(bool v);

    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool v) { m_editorEnabled = v; }
    bool ReturnIsTab() const { return m_returnIsTab; }
    void SetReturnIsTab(bool v) { m_returnIsTab = v; }
    bool ExcelStyleDecimalSeparator() const { return m_excelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { m_excelStyleDecimalSeparator = v; }
    // Stored only: an owner reads it to accept an empty text as no value.
    bool AllowEmptyValue() const { return m_allowEmptyValue; }
    void SetAllowEmptyValue(bool v) { m_allowEmptyValue = v; }
    // Set by each date step: the month comes before the day.
    bool UsDates() const { return m_usDates; }

    int32_t Increment() const { return m_increment; }
    void SetIncrement(int32_t v) { m_increment = v; }
    double IncrementFloat() const { return m_incrementFloat; }
    void SetIncrementFloat(double v) { m_incrementFloat = v; }
    double IncrementFloatPage() const { return m_incrementFloatPage; }
    void SetIncrementFloatPage(double v) { m_incrementFloatPage = v; }
    int IncrementHours() const { return m_incrementHours; }
    void SetIncrementHours(int v) { m_incrementHours = v; }
    int IncrementMinutes() const { return m_incrementMinutes; }
    void SetIncrementMinutes(int v) { m_incrementMinutes = v; }
    int IncrementSeconds() const { return m_incrementSeconds; }
    void SetIncrementSeconds(int v) { m_incrementSeconds = v; }

    int32_t MinValue() const { return m_minValue; }
    void SetMinValue(int32_t v) { m_minValue = v; }
    int32_t MaxValue() const { return m_maxValue; }
    void SetMaxValue(int32_t v) { m_maxValue = v; }
    double MinFloatValue() const { return m_minFloatValue; }
    void SetMinFloatValue(double v) { m_minFloatValue = v; }
    double MaxFloatValue() const { return m_maxFloatValue; }
    void SetMaxFloatValue(double v) { m_maxFloatValue = v; }
    TDateTime MinDateValue() const { return m_minDateValue; }
    void SetMinDateValue(TDateTime v) { m_minDateValue = v; }
    TDateTime MaxDateValue() const { return m_maxDateValue; }
    void SetMaxDateValue(TDateTime v) { m_maxDateValue = v; }

    // The smallest height that shows the font.
    int MinHeight() const;

    // While loading, a date or time write only stores the value; Loaded
    // writes the text of the stored value and applies the kind once more.
    void BeginLoad() { m_loading = true; }
    void Loaded();

    virtual void StepUp(bool page);
    virtual void StepDown(bool page);
    // Whether a typed character may enter the text.
    virtual bool IsValidChar(QChar& key);
    virtual void UpClick(QObject* Sender);
    virtual void DownClick(QObject* Sender);

protected:
    bool WMKeyDown(int key, Qt::KeyboardModifiers shift) override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void WMChar(QChar& key, bool keypad) override;
    void KeyPress(QChar& key) override;
    void WMPaste(const QString& text) override;
    void WMCut() override;
    void WMSize() override;
    void CMEnter() override;
    void CMExit() override;
    Qt::Alignment CreateAlignment() const override;
    void CreateWnd() override;
    void AdjustHeight() override;

private:
    void Step(int sign, bool page);
    void StepDate(int sign);
    void StepTime(int sign);
    void SetEditRect();
    void ForceResize();
    // The value of the current kind written again (re-formatted, clamped).
    void RewriteValue();
    void WriteKeepingCaret(const QString& text);
    int32_t CheckValue(int64_t v) const;
    double CheckFloatValue(double v) const;
    TDateTime CheckDateValue(TDateTime v) const;
    bool TextParsesInKind(const QString& text) const;

    int32_t m_minValue = 0;
    int32_t m_maxValue = 100;
    double m_minFloatValue = 0.0;
    double m_maxFloatValue = 100.0;
    TDateTime m_minDateValue = 0;
    TDateTime m_maxDateValue = 0;
    TDateTime m_dateValue = 0;
    TDateTime m_timeValue = 0;
    int32_t m_increment = 1;
    double m_incrementFloat = 0.1;
    std::unique_ptr<TEsgSpinButton> m_button;
    bool m_editorEnabled = true;
    TSpinDirection m_direction = TSpinDirection::spVertical;
    TEsgSpinType m_spinType = TEsgSpinType::sptNormal;
    int m_precision = 0;
    bool m_returnIsTab = false;
    bool m_isWinXP = false;
    bool m_excelStyleDecimalSeparator = false;
    bool m_usDates = false;
    bool m_showSeconds = true;
    int m_incrementSeconds = 1;
    int m_incrementMinutes = 1;
    int m_incrementHours = 1;
    TEditAlign m_editAlign = TEditAlign::eaLeft;
    bool m_spinFlat = false;
    bool m_spinTransparent = false;
    bool m_allowEmptyValue = false;
    double m_incrementFloatPage = 1.0;
    bool m_loading = false;
};

// Number texts of the spin edit: a floating-point number with the regional
// decimal separator (blanks around allowed, no thousand separators); the
// general notation with 15 significant digits, or fixed with `precision`
// decimals when that is not 0.
bool TryTextToFloat(const QString& text, double& value, const FormatSettings& fs);
QString SpinFloatToStr(double value, int precision, const FormatSettings& fs);

// The size rule of an edit with an embedded button at its right edge: a
// height below `minHeight` is raised to it, and nothing else happens (false);
// otherwise the button of `buttonWidth` is placed along the right edge
// through `setBounds` (left, top, width, height) and the answer is true.
bool PlaceEmbeddedButton(TMaskEdit& edit, int minHeight, int buttonWidth, const std::function<void(int, int, int, int)>& setBounds);
// h + min(h, s) / 4 with h the text height of the edit's font and s that of
// the system font.
int EditFontHeight(const QWidget& edit);
