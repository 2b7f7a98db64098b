#pragma once
// The pickers of the grid's date-and-time editor.
//
// TCustomDateTimePicker: the look of the plain picker, plus AutoTab: after a
// typed digit completes a field and changes the value, the next field
// becomes active (ShiftFocus, run after the digit has been handled).
// TExtDateTimePicker: shows a date, a time, or both side by side by owning a
// second, time-only picker placed over its right part; it carries an
// attached label.
#include "controls/EsgCombo.h"
#include "controls/EsgDateTimePicker.h"
#include "platform/DateTimePicker.h"

#include <QFont>
#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

enum class TExtDateTimeKind { dkDate, dkTime, dkDateTime };

class TCustomDateTimePicker : public TLookDateTimePicker {
public:
    explicit TCustomDateTimePicker(QWidget* parent = nullptr);
    ~TCustomDateTimePicker() override;

    bool AutoTab() const { return m_autoTab; }
    virtual void SetAutoTab(bool value);

    // The reaction to a typed digit, after it has been handled.
    virtual void ShiftFocus();
    // True while this picker sits inside another one.
    virtual bool IsEmbedded() const { return true; }

protected:
    void KeyPress(QChar& key) override;
    // Remembers what a digit may change, before it is handled.
    virtual void RememberBeforeDigit();
    bool Standalone() const override { return !IsEmbedded(); }

    uint16_t Fh = 0, Fm = 0, Fs = 0, Fms = 0;
    // The field the digit was typed into.
    int m_digitField = -1;

private:
    bool m_autoTab = false;
};

class TExtDateTimePicker : public TCustomDateTimePicker {
public:
    explicit TExtDateTimePicker(QWidget* parent = nullptr);
    ~TExtDateTimePicker() override;

    TExtDateTimeKind Kind() const { return m_kind; }
    void SetKind(TExtDateTimeKind kind);
    // The owned time picker; null unless the kind shows both parts.
    TCustomDateTimePicker* TimePicker() const { return m_timePicker.get(); }

    TDateTime Time() const;
    void SetTime(TDateTime value);
    TDateTime DateTime() const;
    void SetDateTime(TDateTime value) override;
    TDateTime Date() const;
    void SetDate(TDateTime value);
    QString TimeFormat() const { return m_timeFormat; }
    void SetTimeFormat(const QString& format);

    void SetBorderStyle(TBorderStyle value) override;
    void SetAutoTab(bool value) override;
    void ShiftFocus() override;
    bool IsEmbedded() const override { return false; }

    // "1.2.0.0"; writes are ignored.
    QString Version() const { return QStringLiteral("1.2.0.0"); }
    void SetVersion(const QString&) {}

    // The attached label.
    QLabel* PickerLabel() const { return m_label; }
    QString LabelCaption() const;
    void SetLabelCaption(const QString& caption);
    TLabelPosition LabelPosition() const { return m_labelPosition; }
    void SetLabelPosition(TLabelPosition p);
    int LabelMargin() const { return m_labelMargin; }
    void SetLabelMargin(int m);
    bool LabelTransparent() const { return m_labelTransparent; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return m_labelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    bool FocusLabel() const { return m_focusLabel; }
    void SetFocusLabel(bool v) { m_focusLabel = v; }
    const QFont& LabelFont() const { return m_labelFont; }
    void SetLabelFont(const QFont& f);

    // Places the time picker and sizes it to its text.
    void Layout();

    // State kept by the change notification of a picker with a check box:
    // the 20 ms focus timer and the position of the date field that changed.
    QTimer& FocusTimer() { return m_focusTimer; }
    QPoint ChangedFieldPoint() const { return Fpt; }

    std::function<void(QObject* Sender)> OnTimeChange;
    std::function<void(QObject* Sender)> OnLabelClick;
    std::function<void(QObject* Sender)> OnLabelDblClick;

    virtual void DoChange();
    virtual void DoClick();
    virtual void TimePickerKeyPress(QObject* Sender, QChar& Key);

protected:
    void RememberBeforeDigit() override;
    void Change() override;
    void CheckChanged() override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateTimePicker();
    void LayoutLabel();
    void UpdateTimePickerEnabled();
    bool TimePickerShouldBeEnabled() const;

    TExtDateTimeKind m_kind = TExtDateTimeKind::dkDateTime;
    QTimer m_focusTimer;
    QPoint Fpt{-1, -1};
    QString m_timeFormat;
    uint16_t Fy = 0, Fmo = 0, Fd = 0;
    // Lives in the parent's children; deleted with this picker.
    QPointer<QLabel> m_label;
    QFont m_labelFont;
    TLabelPosition m_labelPosition = TLabelPosition::lpLeftTop;
    int m_labelMargin = 4;
    bool m_labelTransparent = false;
    bool m_focusLabel = false;
    bool m_labelAlwaysEnabled = false;
    bool m_ignoreTimePickerCheck = false;
    bool m_firstRun = true;
    TDateTime m_lastValue = 0;
    std::unique_ptr<TCustomDateTimePicker> m_timePicker;
};
