#pragma once
// The time-picker drop-down: an edit that shows a time of day through an edit
// mask as two-digit hours, minutes and (optionally) seconds separated by the
// desktop's time separator, whose Up and Down keys step the field under the
// caret, and whose pop-up shows the analog watch.
//
// The text rules are pure functions: the mask, the time text, the field under
// the caret, stepping a field, and reading a typed text.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtWatch.h"

#include <QChar>
#include <QString>
#include <optional>

// The desktop's time separator, read at each call.
QChar TimeSeparatorChar();

// The decimal text of n with a "0" in front of a one-digit text.
QString TwoDigitText(int n);
// Hours, S, minutes and, with seconds, S and seconds, two digits each.
QString FormatTimeText(const TTimeParts& t, bool showSeconds, QChar separator);

// The edit mask in the drop-down's own syntax: "!90" S "00" S "00;1; " with
// seconds, "!90" S "00;1; " without (a first hour digit that may stay blank,
// required digits after it, separators kept in the text, blanks for unfilled
// places).
QString TimePickerEditMask(bool showSeconds, QChar separator);
// The same mask as a line edit's input mask: there "0" is a digit that may
// stay blank and "9" a required digit, and a separator that would be a mask
// character is escaped.
QString TimePickerInputMask(bool showSeconds, QChar separator);

// The field the caret stands in.
enum class TTimeField { tfHour, tfMinute, tfSecond };
// Before the first separator the hour; after it the second when seconds are
// shown and the caret lies at or past the second separator, else the minute.
TTimeField TimeFieldAtCaret(const QString& text, int caret, bool showSeconds, QChar separator);
// The time with one field moved by one: Up subtracts, Down adds; hours wrap
// within 0..23, minutes and seconds within 0..59; the other fields stay.
TTimeParts StepTimeField(const TTimeParts& t, TTimeField field, bool up);

// A typed or written time: the trimmed text must hold one separator without
// seconds, two with; blanks count as "0"; every field must be empty or
// start with one or two digits (empty counts 0); a text that is not complete
// for its form (an hour of one or two digits, minutes and seconds of two) or
// has a field out of range (hour above 23, minute or second above 59) gives
// nothing.
std::optional<TTimeParts> ParseTimeText(const QString& text, bool showSeconds, QChar separator);

// ---- The drop-down ---------------------------------------------------------------

class QTimeEdit;

class TExtTimePickerDropDown : public TExtCustomDropDown {
public:
    explicit TExtTimePickerDropDown(QWidget* parent = nullptr);
    ~TExtTimePickerDropDown() override;

    bool Animation() const { return FAnimation; }
    void SetAnimation(bool v) { FAnimation = v; }
    int32_t AnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int32_t v) { FAnimationFactor = v; }
    TWatchSettings& WatchSettings() { return *FWatchSettings; }
    void SetWatchSettings(const TWatchSettings& v) { FWatchSettings->Assign(v); }
    TWatchAppearance& WatchAppearance() { return *FWatchAppearance; }
    void SetWatchAppearance(const TWatchAppearance& v) { FWatchAppearance->Assign(v); }
    // The time of day shown (only the fraction of the value is used).
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime value);
    bool ShowWatchAMPM() const { return FShowWatchAMPM; }
    void SetShowWatchAMPM(bool v) { FShowWatchAMPM = v; }
    bool ShowWatchNumbers() const { return FShowWatchNumbers; }
    void SetShowWatchNumbers(bool v) { FShowWatchNumbers = v; }
    bool ShowTimePicker() const { return FShowTimePicker; }
    void SetShowTimePicker(bool v) { FShowTimePicker = v; }
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool value);

    // Raised after a change with Up or Down, and when a change on the watch
    // differs from the time picker's time.
    std::function<void(TExtTimePickerDropDown* sender)> OnTimeChange;

    // The pop-up's parts (null until created).
    TExtWatch* Watch() const { return FExtWatch; }
    QTimeEdit* TimePicker() const { return FDateTimePicker; }
    QWidget* Panel() const { return FPanelCtrl; }

    void SetComponentStyle(TStudioStyle style) override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void DropDownFormKeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyUp(int& key, Qt::KeyboardModifiers shift) override;

protected:
    // After every change of the edit's text (OnChange first): a complete
    // typed time becomes the value.
    void Change() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Typed characters fill the mask's places as the line edit does it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void WriteTime(TDateTime value, bool force);
    void ApplyMask();
    void WatchChanged(TExtWatch* watch);
    void TimePickerChanged();
    void ChangeField(TTimeField field, int value);
    // Page Up, Page Down, Up and Down reach the edit only with Alt.
    static bool NavigationKey(int key);

    bool FShowTimePicker = false;
    TExtWatch* FExtWatch = nullptr;
    QTimeEdit* FDateTimePicker = nullptr;
    QWidget* FPanelCtrl = nullptr;
    std::unique_ptr<TWatchAppearance> FWatchAppearance;
    bool FShowWatchAMPM = true;
    bool FShowWatchNumbers = true;
    bool FAnimation = true;
    int32_t FAnimationFactor = 10;
    TDateTime FTime = 0;
    std::unique_ptr<TWatchSettings> FWatchSettings;
    bool FInternalCall = false;
    bool FShowSeconds = true;
    TDateTime FTimeAtOpening = 0;
};
