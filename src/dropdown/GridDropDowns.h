#pragma once
// The drop-down edit controls as in-place editors of the string grid: one
// wrapper per drop-down editor kind, each a drop-down control and the
// grid's drop-down editor at once.
//
// A wrapper ties its control to the grid as the combo editor is tied: the
// keys that end an edit go back to the grid, which validates, writes and
// moves on (Enter, Tab, Up, Down, PgUp, PgDn) or cancels without writing
// (Esc). While the pop-up is open those keys reach the pop-up first; the
// wrapper then ends the edit itself: Enter, Up, Down, PgUp and PgDn
// validate, close the editor with its value written and leave the current
// cell where it is; Esc closes it without writing. The colour picker keeps
// the arrow keys for its palette while its pop-up is open.
#include "dropdown/ExtCalculatorDropDown.h"
#include "dropdown/ExtColorPickerDropDown.h"
#include "dropdown/ExtCustomGridDropDown.h"
#include "dropdown/ExtDetailDropDown.h"
#include "dropdown/ExtImagePickerDropDown.h"
#include "dropdown/ExtMemoDropDown.h"
#include "dropdown/ExtMultiColumnDropDown.h"
#include "dropdown/ExtTimePickerDropDown.h"
#include "dropdown/ExtTrackBarDropDown.h"
#include "dropdown/RegisterGridDropDowns.h"
#include "grid/ExtGridDropDownEditor.h"

// What every wrapper shares, over its drop-down control TBase.
template <class TBase>
class TGridDropDownWrapper : public TBase, public TGridDropDownEditor {
public:
    explicit TGridDropDownWrapper(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);

    // Cleared at every key-down.
    bool Forced = false;
    // Cleared by a Backspace or Delete key-down, set by any other.
    bool WorkMode = true;
    TExtStringGrid* FGrid = nullptr;

    // The text the control holds (its edit text without prefix and suffix).
    QString EditText() const { return TBase::Text(); }

    // TCellEditor
    QWidget* Control() const override { return const_cast<TGridDropDownWrapper*>(this); }
    void BindGrid(TExtStringGrid* grid) override;
    // TGridDropDownEditor
    void SetDropDownLook(const TFooterAppearance& footer, const THeaderAppearance& header) override;
    void SetStyleAndTones(TStudioStyle style, const TColorTones& tones) override;
    void SetEditorEnabled(bool value) override { TBase::SetEditorEnabled(value); }
    void SetColor(TColor color) override;
    void LoadCell(int c, int r, const QString& text) override;
    QString CellValue() const override { return TBase::Text(); }
    void SetEditText(const QString& text) override;
    void OpenDropDown() override { TBase::DoShowDropDown(); }
    void CloseDropDown(bool cancel) override { TBase::DoHideDropDown(cancel); }
    bool IsDroppedDown() const override { return TBase::DroppedDown(); }

    // The family's key-down steps.
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar& key) override;
    void Change() override;
    void ControlKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift) override;

protected:
    // Whether a key ends the edit (the family's handled keys).
    virtual bool Handles(int key, bool dropped) const;
    // Whether an ending key is validated before the editor closes.
    virtual bool Validates(int key) const;
    // Runs before the validation of Enter (the calculator evaluates).
    virtual void BeforeEnter() {}
    // The caret goes where the left button pressed (track bar, memo,
    // calculator).
    void CaretAtClick();
    // An ending key while the pop-up is open: false when it was not one.
    bool EndFromPopup(int& key, Qt::KeyboardModifiers shift);
    // Validates the control's text as the current cell's value: false (the
    // refused text shown, all of it selected) when refused.
    bool Validate();

    bool event(QEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool FLoading = false;
};

class TGridTrackbarDropDown : public TGridDropDownWrapper<TExtTrackBarDropDown> {
public:
    explicit TGridTrackbarDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edTrackbarDropDown; }
    void LoadCell(int c, int r, const QString& text) override;
    void SetEditText(const QString& text) override;
    void AfterFocus() override { CaretAtClick(); }
    // Does nothing.
    void DoChange() {}
};

class TGridMemoDropDown : public TGridDropDownWrapper<TExtMemoDropDown> {
public:
    explicit TGridMemoDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edMemoDropDown; }
    void LoadCell(int c, int r, const QString& text) override;
    void SetEditText(const QString& text) override;
    // Its lines joined by CR LF, ending in CR LF only when the text does.
    QString CellValue() const override;
    void AfterFocus() override;
    // Every change of the text reaches the current cell as it is made.
    void Change() override;

protected:
    // The open memo keeps Enter, the arrows and the page keys for its
    // lines: only Tab and Esc end the edit from there.
    bool Handles(int key, bool dropped) const override;

private:
    bool FEndsWithBreak = false;
};

class TGridCalculatorDropDown : public TGridDropDownWrapper<TExtCalculatorDropdown> {
public:
    explicit TGridCalculatorDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edCalculatorDropDown; }
    void AfterFocus() override { CaretAtClick(); }
    bool WantsKey(int key, TShiftState shift) const override;

protected:
    void BeforeEnter() override { CalcResult(); }
};

class TGridTimepickerDropDown : public TGridDropDownWrapper<TExtTimePickerDropDown> {
public:
    explicit TGridTimepickerDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edTimePickerDropDown; }
    void LoadCell(int c, int r, const QString& text) override;
};

class TGridDetailPickerDropDown : public TGridDropDownWrapper<TExtDetailDropDown> {
public:
    explicit TGridDetailPickerDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edDetailDropDown; }
    void LoadCell(int c, int r, const QString& text) override;
    void AfterFocus() override;
};

class TGridGridDropDown : public TGridDropDownWrapper<TExtMultiColumnDropDown> {
public:
    explicit TGridGridDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edGridDropDown; }
    void BeforeProp() override { TExtMultiColumnDropDown::SetEditorEnabled(true); }
    // The item whose lookup text is the cell text (the first for an empty
    // cell), then the text itself.
    void LoadCell(int c, int r, const QString& text) override;
};

class TGridExtGridDropDown : public TGridDropDownWrapper<TCustomExtGridDropDown> {
public:
    explicit TGridExtGridDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edExtGridDropDown; }
    void BeforeProp() override;
    // With items: the item the cell text begins (the first for an empty
    // cell); then the text itself.
    void LoadCell(int c, int r, const QString& text) override;
    // The pop-up's grid, from which the editor property event may fill the
    // lookup (null before the pop-up exists).
    TExtStringGrid* InnerGrid() const { return GetGrid(); }
};

class TGridColorDropDown : public TGridDropDownWrapper<TExtColorPickerDropDown> {
public:
    explicit TGridColorDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edColorPickerDropDown; }
    void LoadCell(int c, int r, const QString& text) override;
    QString CellValue() const override { return SelectedColorText(); }
    // The text after OnColorSelected, then the colour: the shape's fill of
    // a shape cell, else the cell's colour.
    void StoreValue(int c, int r, const QString& value) override;

protected:
    bool Handles(int key, bool dropped) const override;
    bool Validates(int key) const override;
};

class TGridImageDropDown : public TGridDropDownWrapper<TExtImagePickerDropDown> {
public:
    explicit TGridImageDropDown(TExtStringGrid* grid = nullptr, QWidget* parent = nullptr);
    TEditorType Kind() const override { return edImagePickerDropDown; }
    // Image-list and data-image cells load the image index; a data-image
    // cell whose text is no integer opens with no item selected.
    void LoadCell(int c, int r, const QString& text) override;
    QString CellValue() const override;
    // After OnImageSelected: the image index of an image-list cell, the
    // decimal text of a data-image cell; nothing for other cells.
    void StoreValue(int c, int r, const QString& value) override;

private:
    TCellType FCellType = TCellType::ctNone;
    QString FCellText;
};
