#pragma once
// The string grid's date, time and date-and-time editors, its edit with a
// "..." button (plain, whole-number, decimal and masked kinds), its value
// with a unit, and its push button. Each control sits in a cell-editor
// adapter the grid's window shows over the cell; the grid's key handling
// commits (Enter, Tab, Up, Down), validates and cancels (Esc), the controls
// add what is their own: the date picker's move to the next field, the
// character and paste rules of the numeric kinds, the button's click through
// the grid's OnEllipsClick, the cursor walk and the lookup completion.
#include "controls/ESGEdit.h"
#include "controls/EsgDateTimePicker.h"
#include "controls/ExtDateTimePicker.h"
#include "grid/ExtGridEditors.h"

#include <QPushButton>

// The date-time value a cell text names: the text in the picker's own
// format (`pickerFormat`, empty for none), the locale's date, date and time,
// or time text. False when it names none.
bool CellTextToDateTime(const QString& text, const QString& pickerFormat, TDateTime& value);
// The current date and time.
TDateTime NowDateTime();

// Registers the editors of this file in the cell-editor registry.
void RegisterGridDateEditors();

// ---------------------------------------------------------------------------
// The date and time picker (edDateEdit, edDateEditUpDown, edTimeEdit).
class TGridDatePicker : public TEsgDateTimePicker {
public:
    explicit TGridDatePicker(TExtStringGrid* grid, QWidget* parent = nullptr);
    TExtStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    void ReCreate();

    bool Weeknumbers() const { return FWeekNumbers; }
    void SetWeeknumbers(bool v) { FWeekNumbers = v; }
    bool ShowToday() const { return FShowToday; }
    void SetShowToday(bool v) { FShowToday = v; }
    bool ShowTodayCircle() const { return FShowTodayCircle; }
    void SetShowTodayCircle(bool v) { FShowTodayCircle = v; }
    // The three options applied to the calendar (as it drops down).
    void ApplyCalendarOptions();
    // Sizes the dropped-down calendar to the least room it needs, plus 2
    // pixels each way.
    void SizeCalendar();
    // A date out of the limits the picker was given (MinDate, MaxDate) is
    // brought inside them, one day in from the limit it passed; a date
    // within the limits is kept. Limits left at the picker's own range do
    // not count.
    TDateTime WithinLimits(TDateTime value) const;

    // After a digit: moves to the next field when the digit completed a
    // field whose value changed, unless that field ends a custom format,
    // or is the year of the default format.
    void DTPShiftFocus();

    // The picker's value when the last digit key was pressed.
    uint16_t Fy = 0, Fm = 0, Fd = 0;
    uint16_t Fth = 0, Ftm = 0, Fts = 0, Ftms = 0;
    bool FOldDropped = false;

protected:
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar& key) override;
    // Tab is the grid's only with goTabs; otherwise it does not step
    // through the fields but moves the focus out of the grid.
    bool focusNextPrevChild(bool next) override;

private:
    TExtStringGrid* FGrid;
    bool FWeekNumbers = false;
    bool FShowToday = true;
    bool FShowTodayCircle = true;
    int FDigitField = -1;
};

class TGridDatePickerEditor : public TGridCellEditor {
public:
    TGridDatePickerEditor();
    ~TGridDatePickerEditor() override;
    QWidget* Control() const override { return m_picker; }
    TGridDatePicker* Picker() const { return m_picker; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    QString Text() const override;
    void Show(bool takeFocus) override;
    void Hide() override;
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridDatePicker> m_picker;
    TExtStringGrid* m_grid = nullptr;
    bool m_open = false;
    // The cell's text and the value it opened on: an unchanged value
    // writes the text back as it was.
    QString m_openText;
    TDateTime m_openValue = 0;
    bool m_openParsed = false;
    bool m_openChecked = true;
    bool m_loading = false;
};

// ---------------------------------------------------------------------------
// The date-and-time picker (edDateTimeEdit): a date and a time side by side,
// moving on from field to field as they are typed.
class TGridDateTimePicker : public TExtDateTimePicker {
public:
    explicit TGridDateTimePicker(TExtStringGrid* grid, QWidget* parent = nullptr);
    TExtStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }

protected:
    // Enter, Esc and Tab typed into the time part reach the grid as the
    // date part's do.
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    // Tab without goTabs moves the focus out of the grid.
    bool focusNextPrevChild(bool next) override;

private:
    TExtStringGrid* FGrid;
};

class TGridDateTimePickerEditor : public TGridCellEditor {
public:
    TGridDateTimePickerEditor();
    ~TGridDateTimePickerEditor() override;
    QWidget* Control() const override { return m_picker; }
    TGridDateTimePicker* Picker() const { return m_picker; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    // The short date, a blank and the short time; empty when unchecked.
    QString Text() const override;
    void Hide() override;
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridDateTimePicker> m_picker;
    TExtStringGrid* m_grid = nullptr;
    bool m_open = false;
    bool m_loading = false;
    bool m_openParsed = false;
    QString m_openText;
    TDateTime m_openValue = 0;
};

// ---------------------------------------------------------------------------
// The edit with a "..." button (edEditBtn, edNumericEditBtn, edFloatEditBtn,
// edMaskEditBtn) and the base of the unit editor's rules.
class TGridEditBtn : public TEsgEditBtn {
public:
    explicit TGridEditBtn(TExtStringGrid* grid, QWidget* parent = nullptr);
    TExtStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    void ReCreate() { RecreateWnd(); }
    bool StopEditAfterClick() const { return FStopEditAfterClick; }
    void SetStopEditAfterClick(bool v) { FStopEditAfterClick = v; }
    // The text through the grid's OnEllipsClick, all of it selected.
    void ButtonClick(QObject* Sender) override;
    // Loads a text without reporting a change.
    void LoadText(const QString& s);

    bool WorkMode = true;
    int FSelKeyDown = 0;

protected:
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void KeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void WMChar(QChar& key, bool keypad) override;
    void KeyPress(QChar& key) override;
    void WMPaste(const QString& text) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    TExtStringGrid* FGrid;
    bool FStopEditAfterClick = false;
    bool FLoading = false;
};

class TGridEditBtnEditor : public TGridCellEditor {
public:
    TGridEditBtnEditor();
    ~TGridEditBtnEditor() override;
    QWidget* Control() const override { return m_edit; }
    TGridEditBtn* Edit() const { return m_edit; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    void SetLimits(int maxLength, const QString& mask) override;
    QString Text() const override { return m_edit->Text(); }
    void Show(bool takeFocus) override;
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridEditBtn> m_edit;
    TExtStringGrid* m_grid = nullptr;
};

// ---------------------------------------------------------------------------
// The value with a unit (edUnitEditBtn, edNumericUnitEditBtn,
// edFloatUnitEditBtn): the cell holds the value immediately followed by
// the unit.
class TGridUnitEditBtn : public TEsgUnitEditBtn {
public:
    explicit TGridUnitEditBtn(TExtStringGrid* grid, QWidget* parent = nullptr);
    TExtStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    void ReCreate() { RecreateWnd(); }
    // The value through the grid's OnEllipsClick, all of it selected.
    void ButtonClick(QObject* Sender) override;
    // Splits a cell text into value and unit; a text that ends in none of
    // the units is all value, without a unit.
    void LoadCellText(const QString& s);

protected:
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void WMChar(QChar& key, bool keypad) override;
    void WMPaste(const QString& text) override;

private:
    TExtStringGrid* FGrid;
};

class TGridUnitEditBtnEditor : public TGridCellEditor {
public:
    TGridUnitEditBtnEditor();
    ~TGridUnitEditBtnEditor() override;
    QWidget* Control() const override { return m_edit; }
    TGridUnitEditBtn* Edit() const { return m_edit; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    void SetLimits(int maxLength, const QString& mask) override;
    QString Text() const override { return m_edit->TextAndUnit(); }
    void Show(bool takeFocus) override;
    void Hide() override;
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridUnitEditBtn> m_edit;
    TExtStringGrid* m_grid = nullptr;
    bool m_open = false;
};

// ---------------------------------------------------------------------------
// The push button (edButton): shows the cell's text as its caption; a click
// or Space passes the caption through OnEllipsClick into the cell; the arrow
// keys leave it and move the current cell; Esc puts the cell back.
class TGridButton : public QPushButton {
public:
    explicit TGridButton(TExtStringGrid* grid, QWidget* parent = nullptr);
    TExtStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    void ReCreate() { FSpaceDown = false; }
    // The caption through OnEllipsClick into the current cell.
    void Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TExtStringGrid* FGrid;
    // Space went down on this button (not on the grid that opened it).
    bool FSpaceDown = false;
};

class TGridButtonEditor : public TGridCellEditor {
public:
    TGridButtonEditor();
    ~TGridButtonEditor() override;
    QWidget* Control() const override { return m_button; }
    TGridButton* Button() const { return m_button; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    QString Text() const override { return m_button->text(); }
    void Place(const QRect& r) override { m_button->setGeometry(r.adjusted(-1, -1, 1, 1)); }
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridButton> m_button;
    TExtStringGrid* m_grid = nullptr;
};
