#pragma once
// TDateTimePicker: the date or time picker the pickers of the control
// library stand on, over QDateTimeEdit.
//
// - Kind: a date (with a drop-down calendar, or up-down keys) or a time.
// - Format keeps the picker's pattern syntax (d dd ddd dddd M MM MMM MMMM
//   y yy yyyy h hh H HH m mm s ss t tt, 'quoted literals'), translated by
//   PickerFormatToQt; an empty Format shows the short date format (date) or
//   the long time format (time).
// - ShowCheckbox puts a check box at the left edge; unchecked greys the
//   fields and the picker reports no date.
// - A typed digit never moves the caret to the next field by itself: the
//   field stays active, as on the platform the controls were written for.
// - The calendar shows week numbers, a "Today" line and a circle on today.
#include "platform/SysUtils.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;

enum class TDateTimeKind { dtkDate, dtkTime };

// A date-time value as Qt's date-time and back (local time, milliseconds
// kept).
QDateTime ToQDateTime(TDateTime v);
TDateTime FromQDateTime(const QDateTime& dt);
enum class TDTDateMode { dmComboBox, dmUpDown };

// The picker's pattern as a Qt display format: tokens kept, a one-digit
// year shows as two, t and tt show AM/PM, other letters become literals.
QString PickerFormatToQt(const QString& format);

// Whether the digits typed into a field complete it: `field` is the
// pattern letter (d, M, y, h, H, m, s), `width` the count of that letter in
// the format. A field is complete with its full digit count (four for a
// four-digit year, else two) or when no further digit could keep it valid
// (a day starting with 4, a month starting with 2).
bool PickerFieldComplete(QChar field, int width, const QString& digits);

// The calendar of the drop-down.
class TPickerCalendar : public QCalendarWidget {
public:
    explicit TPickerCalendar(QWidget* parent = nullptr);
    ~TPickerCalendar() override;
    // The "Today" line under the month.
    QLabel* TodayLine() const { return m_today; }
    // Shows today's date in the "Today" line (the date of the day it runs).
    void UpdateToday();
    // Today's date is circled.
    bool ShowTodayCircle = true;

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;

private:
    QLabel* m_today = nullptr;
};

class TDateTimePicker : public QDateTimeEdit {
public:
    explicit TDateTimePicker(QWidget* parent = nullptr);
    ~TDateTimePicker() override;

    TDateTimeKind Kind() const { return m_kind; }
    void SetKind(TDateTimeKind kind);
    TDTDateMode DateMode() const { return m_dateMode; }
    void SetDateMode(TDTDateMode mode);

    // Values: days since 30 December 1899 and the time of day as fraction.
    TDateTime DateTime() const;
    virtual void SetDateTime(TDateTime value);
    // The date part, and the time of day.
    TDateTime Date() const;
    void SetDate(TDateTime value);
    TDateTime Time() const;
    void SetTime(TDateTime value);
    TDateTime MinDate() const;
    void SetMinDate(TDateTime value);
    TDateTime MaxDate() const;
    void SetMaxDate(TDateTime value);

    QString Format() const { return m_format; }
    void SetFormat(const QString& format);

    bool ShowCheckbox() const { return m_checkBox != nullptr; }
    void SetShowCheckbox(bool show);
    bool Checked() const;
    void SetChecked(bool checked);

    bool DroppedDown() const;
    // Opens and closes the calendar of a date picker.
    void DropDown();
    void CloseUp();

    // The text shown.
    QString Text() const { return text(); }

    // The first field of the format shown, and the active one (0-based).
    int FieldCount() const { return sectionCount(); }
    int ActiveField() const { return currentSectionIndex(); }
    void SetActiveField(int index);
    // Whether the field at `index` holds a complete entry (see
    // PickerFieldComplete).
    bool FieldComplete(int index) const;

    TPickerCalendar* Calendar() const { return m_calendar; }

    std::function<void(QObject* Sender)> OnChange;
    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnDropDown;
    std::function<void(QObject* Sender)> OnCloseUp;
    std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyDown;
    std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyUp;
    std::function<void(QObject* Sender, QChar& Key)> OnKeyPress;

protected:
    // The key may be changed (no further handling) or cleared.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void KeyUp(int& key, Qt::KeyboardModifiers shift);
    // A typed character: clearing it drops it. `handle` runs the platform's
    // handling of it; a derived picker may act before and after.
    virtual void KeyPress(QChar& key);
    // The platform's handling of the character being typed (called at most
    // once by KeyPress overrides; KeyPress of the base calls it).
    void DefaultKeyPress();
    // The value changed.
    virtual void Change();
    virtual void DoDropDown();
    virtual void DoCloseUp();
    // The check box changed.
    virtual void CheckChanged();

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyFormat();
    void PlaceCheckBox();

    TDateTimeKind m_kind = TDateTimeKind::dtkDate;
    TDTDateMode m_dateMode = TDTDateMode::dmComboBox;
    QString m_format;
    QCheckBox* m_checkBox = nullptr;
    TPickerCalendar* m_calendar = nullptr;
    QKeyEvent* m_pendingKey = nullptr; // the key event being handled
    bool m_keyHandled = false;
};
