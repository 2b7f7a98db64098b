#pragma once
// The string grid's in-place cell editors: the text editor (TExtInplaceEdit),
// the pick-list and editable combo (TGridCombo), the check box
// (TGridCheckBox), the spin editor (TGridSpin) and the custom editors behind
// a TEditLink. Each control sits in a TCellEditor adapter that the grid's
// window shows over the cell; the adapters are registered in the cell-editor
// registry by editor kind and bound to their grid when the window makes
// them. The grid decides (ExtGridEdit.cpp); the editors filter what is typed
// and hand the keys that end an edit back to the grid.
#include "controls/EsgCombo.h"
#include "controls/esgspin.h"
#include "grid/ExtGrid.h"
#include "grid/ExtGridCellEditor.h"
#include "platform/GridsWidget.h"
#include "platform/MaskEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>

// ---------------------------------------------------------------------------
// Filters of the text editor, by editor kind.

// What becomes of one typed character.
struct TCharVerdict {
    bool Accept = true; // the character goes into the text (as Char)
    bool Beep = false;  // a refused character beeps
    QChar Char;
};
// text: the editor text; selStart / selLength: the selection (the caret
// when selLength is 0); ctrl: Ctrl is held.
TCharVerdict FilterEditChar(TEditorType kind, QChar ch, const QString& text, int selStart, int selLength, bool ctrl,
                            const QString& validChars, const FormatSettings& fs);
// The text a paste would leave (newText: the editor text with the pasted
// text in place), as the kind takes it; false when the kind refuses it.
bool FilterPasteText(TEditorType kind, const QString& newText, const QString& validChars, QString& result);
// The text re-cased word by word (first letter upper, the rest lower).
QString MixedCaseText(const QString& s);

// Registers the grid's editors in the cell-editor registry (once).
void RegisterGridCellEditors();

// An editor opened by a left press (the grid's LButFlg) that takes the
// focus puts its caret at the character under the press point, when that
// point lies on the control; the flag is then cleared. True when placed.
bool PlaceCaretAtPress(TExtStringGrid* grid, QWidget* control, QLineEdit* edit);
// The open text editor sits out a focus loss while Alt+Backspace is held.
bool TextEditorHoldsFocusLoss(TExtStringGrid* grid);

// ---------------------------------------------------------------------------
// The text editor: the platform's in-place edit with the grid's character
// and paste filters, length limit, edit mask, prefix completion and
// OnEditChange.
class TExtInplaceEdit : public TInplaceEdit {
    Q_OBJECT
public:
    explicit TExtInplaceEdit(QWidget* parent = nullptr);
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    TExtStringGrid* Grid() const { return FGrid; }
    // 0 or less: no limit.
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int v);
    // The mask in the platform's syntax ("" for none).
    void SetEditMask(const QString& mask);
    const TEditMask& EditMask() const { return FMask; }
    // The text, literals and blanks as the mask keeps them. A password
    // edit shows stars and an unmasked edit shows its line breaks as
    // blanks: their text is taken as typed.
    QString EditorText() const
    {
        const bool shown = echoMode() == QLineEdit::Normal && !FMask.InputMask.isEmpty();
        return MaskedText(shown ? displayText() : text(), FMask);
    }
    // Loads a text without firing OnEditChange.
    void LoadText(const QString& s);
    // Prefix completion from the grid's lookup list.
    void DoChange();
    // Pastes text through the paste filter.
    void PasteText(const QString& clip);
    int FColE = -1;
    int FRowE = -1;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;

public:
    bool AltBackHeld() const { return FAltBack; }
    // The row of a multi-line cell follows the lines typed (Ctrl+Enter or
    // Shift+Enter with SizeWhileTyping.Height).
    void SizeRowToTypedLines();

private:
    TEditorType Kind() const;
    // Commits the text for a walk out of the editor: false (editor restored
    // to the text validation left) when the value is refused.
    bool CommitForWalk();
    // Moves to the neighbouring cell after a walk past the text's edge.
    void WalkToCell(bool forward);
    // Typing filled the cell: the grid advances as for Enter.
    void AdvanceWhenFull();
    TExtStringGrid* FGrid = nullptr;
    int FSelKeyDown = 0;
    int FOldSelStart = 0;
    // Alt+Backspace is held: losing the focus then leaves the edit alone.
    bool FAltBack = false;
    int FLengthLimit = 0;
    bool Workmode = true;
    bool FLoading = false;
    bool FLoadingCell = false;
    TEditMask FMask;
};

class TExtTextCellEditor : public TGridCellEditor {
public:
    TExtTextCellEditor();
    ~TExtTextCellEditor() override;
    QWidget* Control() const override { return m_edit; }
    TExtInplaceEdit* Edit() const { return m_edit; }
    void BindGrid(TExtStringGrid* grid) override { m_edit->SetGrid(grid); }
    void LoadText(const QString& text) override;
    void SetLimits(int maxLength, const QString& mask) override;
    QString Text() const override { return m_edit->EditorText(); }
    void Show(bool takeFocus) override;
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TExtInplaceEdit> m_edit;
};

// ---------------------------------------------------------------------------
// The combo of the pick-list (edComboList) and editable combo (edComboEdit)
// kinds, shared by every such cell of its grid.
class TGridCombo : public TEsgComboBox {
    Q_OBJECT
public:
    explicit TGridCombo(QWidget* parent = nullptr);
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    TExtStringGrid* Grid() const { return FGrid; }
    // Lookup completion of the typed prefix (editable combo).
    void DoChange();
    // The list as wide as its widest item needs.
    void SizeDropDownWidth();
    bool ListMode() const { return Style() == TComboStyle::csDropDownList || DroppedDown(); }

    std::function<void(TGridCombo* sender)> OnReturnKey;
    bool WorkMode = true;
    int ItemIdx = -1;
    bool ItemChange = false;

signals:
    // The list is about to drop down; the list closed up.
    void ListDropped();
    void ListClosed();

protected:
    void showPopup() override;
    void hidePopup() override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool event(QEvent* e) override;
    // Sees the keys before the grid's window takes them: Enter and Tab
    // confirm the shown item.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class TGridComboEditor;
    void FireComboChange(int index);
    TExtStringGrid* FGrid = nullptr;
    // While the grid loads the combo, its changes are not the user's.
    bool FLoading = false;
    // The pick list was opened on a text that is in none of its items:
    // the cell keeps its text unless the user picks or confirms.
    bool FDefaulted = false;
    bool FPicked = false;
    QString FCellText;
};

class TGridComboEditor : public TGridCellEditor {
public:
    TGridComboEditor();
    ~TGridComboEditor() override;
    QWidget* Control() const override { return m_combo; }
    TGridCombo* Combo() const { return m_combo; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    QString Text() const override;
    void Place(const QRect& r) override;
    void Show(bool takeFocus) override;
    void Hide() override;
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridCombo> m_combo;
    bool m_open = false;
};

// ---------------------------------------------------------------------------
// The check box of the edCheckBox kind: shows the cell text as its caption;
// closing it writes nothing into the cell.
class TGridCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TGridCheckBox(QWidget* parent = nullptr);
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    void ReCreate() { setChecked(false); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TExtStringGrid* FGrid = nullptr;
};

class TGridCheckBoxEditor : public TGridCellEditor {
public:
    TGridCheckBoxEditor();
    ~TGridCheckBoxEditor() override;
    QWidget* Control() const override { return m_check; }
    TGridCheckBox* Check() const { return m_check; }
    void BindGrid(TExtStringGrid* grid) override { m_check->SetGrid(grid); }
    void LoadText(const QString& text) override;
    QString Text() const override { return m_check->text(); }
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridCheckBox> m_check;
};

// ---------------------------------------------------------------------------
// The spin editor of the spin kinds: whole numbers (edSpinEdit), decimal
// numbers (edFloatSpinEdit), times (edTimeSpinEdit) and dates
// (edDateSpinEdit). The keys and the spin buttons step the value; Home and
// End jump to the limits; the spin buttons report their step to the grid.
class TGridSpin : public TEsgSpinEdit {
public:
    explicit TGridSpin(QWidget* parent = nullptr);
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    void ReCreate() {}
    bool IsFloat() const { return SpinType() == TEsgSpinType::sptFloat; }
    // The spin type of an editor kind.
    static TEsgSpinType SpinTypeOf(TEditorType kind);
    // The text the cell takes: the value (a whole number for the integer
    // kind), empty when the editor allows an empty value and is emptied.
    QString CellText() const;
    // Loads a cell text as the value of the current spin type; a text that
    // is no number loads 0, no date loads today.
    void LoadText(const QString& s);
    bool FLoading = false;
    void UpClick(QObject* Sender) override;
    void DownClick(QObject* Sender) override;

protected:
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar& key) override;

private:
    // The spin-click event of the spin type (up: the up button or Home).
    void SpinClicked(bool up);
    TExtStringGrid* FGrid = nullptr;
};

class TGridSpinEditor : public TGridCellEditor {
public:
    TGridSpinEditor();
    ~TGridSpinEditor() override;
    QWidget* Control() const override { return m_spin; }
    TGridSpin* Spin() const { return m_spin; }
    void BindGrid(TExtStringGrid* grid) override;
    void LoadText(const QString& text) override;
    QString Text() const override { return m_spin->CellText(); }
    bool WantsKey(int key, TShiftState shift) const override;

private:
    QPointer<TGridSpin> m_spin;
    TExtStringGrid* m_grid = nullptr;
};

// ---------------------------------------------------------------------------
// A user-supplied cell editor (edCustom). A descendant creates its control
// in CreateEditor, returns it from GetEditControl and moves the value in
// and out through SetEditorValue / GetEditorValue; the grid places, shows
// and focuses it and hands it the keys it wants (the WantKey* settings).
enum class TEditStyle { esInplace, esPopup };

class TEditLink : public QObject {
    Q_OBJECT
public:
    explicit TEditLink(QObject* owner = nullptr) : QObject(owner) {}

    // The keys the editor keeps instead of handing them to the grid.
    bool WantKeyLeftRight = false;
    bool WantKeyUpDown = false;
    bool WantKeyHomeEnd = false;
    bool WantKeyPriorNext = false;
    bool WantKeyReturn = false;
    bool WantKeyEscape = false;
    bool WantTabs = false;
    TEditStyle EditStyle = TEditStyle::esInplace;
    int PopupWidth = 0;
    int PopupHeight = 0;
    int Tag = 0;

    // The key-down handling of the editor control (the grid binds it).
    virtual void EditKeyDown(QObject* sender, int& key, TShiftState shift);
    virtual QWidget* GetEditControl() { return nullptr; }
    virtual void CreateEditor(QWidget* parent) {}
    virtual void DestroyEditor() {}
    // Shows and focuses the control (or gives the focus back to the grid).
    virtual void SetFocus(bool value);
    virtual void SetRect(const QRect& r);
    virtual void SetVisible(bool value);
    virtual void SetProperties() {}
    virtual void SetCellProps(TColor color, const QFont& font) {}
    virtual QString GetEditorValue() { return QString(); }
    virtual void SetEditorValue(const QString& s) {}

    TExtStringGrid* Grid() const { return FOwner; }
    // Real column and row of the cell being edited.
    QPoint EditCell() const { return FEditCell; }
    QString GetCellValue();
    void SetCellValue(const QString& s);
    // Stores the value and closes the editor.
    void HideEditor();

private:
    friend class TEditLinkCellEditor;
    TExtStringGrid* FOwner = nullptr;
    QPoint FEditCell;
    bool FForcedExit = false;
};

class TEditLinkCellEditor : public TGridCellEditor {
public:
    TEditLinkCellEditor();
    ~TEditLinkCellEditor() override;
    QWidget* Control() const override { return m_frame; }
    void BindGrid(TExtStringGrid* grid) override { m_grid = grid; }
    void LoadText(const QString& text) override;
    QString Text() const override;
    void Place(const QRect& r) override;
    void Show(bool takeFocus) override;
    void Hide() override;
    bool WantsKey(int key, TShiftState shift) const override { return true; }

private:
    class KeyFilter;
    TEditLink* Link() const;
    QPointer<QWidget> m_frame;
    TExtStringGrid* m_grid = nullptr;
    QPointer<TEditLink> m_link;
    QPointer<QWidget> m_control;
    std::unique_ptr<KeyFilter> m_filter;
    bool m_open = false;
};

// ---------------------------------------------------------------------------
// The editors of the inline form controls of a cell's text (CONTROL tags):
// an edit for the EDIT, PASSWORD and MASK types and a combo for COMBO. The
// grid places and fills them and stores their value when they are left
// (their OnExit); here the keys that leave them.
class TControlEdit : public TMaskEdit {
public:
    explicit TControlEdit(QWidget* parent = nullptr) : TMaskEdit(parent) {}
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    TExtStringGrid* Grid() const { return FGrid; }

protected:
    void KeyPress(QChar& key) override;
    // Tab is kept from the focus chain: it leaves the control.
    bool event(QEvent* e) override;

private:
    TExtStringGrid* FGrid = nullptr;
};

class TControlCombo : public TEsgComboBox {
public:
    explicit TControlCombo(QWidget* parent = nullptr) : TEsgComboBox(parent) {}
    void SetGrid(TExtStringGrid* grid) { FGrid = grid; }
    TExtStringGrid* Grid() const { return FGrid; }
    // The exit processing (the grid binds it to store the value).
    std::function<void(QObject* Sender)> OnExit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExtStringGrid* FGrid = nullptr;
};

// Enter and Tab of an inline control: Enter stores the value and gives the
// grid the focus; Tab stores it and, with automatic advance, moves on to the
// next cell, else opens the next inline control of the same cell (the grid
// takes the focus after the last one).
void ControlEditLeave(TExtStringGrid* grid, bool tab, const std::function<void()>& exitProcessing);

// ---------------------------------------------------------------------------
// The editors of fixed cells: an edit and a combo that the grid's mouse
// handling shows over a fixed cell (Col and Row set to it). Leaving the
// control validates its text through OnCellValidate and writes it straight
// into the fixed cell; a refused text keeps the control open on its cell.
// The fixed cell such an editor works on, and the end of its edit shared by
// both: a refused text keeps the control open and focused.
class TFixedCellEditorPlace {
public:
    explicit TFixedCellEditorPlace(TExtStringGrid* grid) : FGrid(grid) {}
    int Col() const { return FCol; }
    void SetCol(int c) { FCol = c; }
    int Row() const { return FRow; }
    void SetRow(int r) { FRow = r; }
    TExtStringGrid* Grid() const { return FGrid; }

protected:
    bool StopFixedEdit(QWidget* control, const QString& text);

    TExtStringGrid* FGrid = nullptr;
    int FCol = 0;
    int FRow = 0;
};

class TGridTransEdit : public QLineEdit, public TFixedCellEditorPlace {
    Q_OBJECT
public:
    explicit TGridTransEdit(TExtStringGrid* grid, QWidget* parent = nullptr);
    // False when the value was refused (the control keeps the focus).
    bool StopEdit() { return StopFixedEdit(this, text()); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

class TGridTransCombo : public QComboBox, public TFixedCellEditorPlace {
    Q_OBJECT
public:
    explicit TGridTransCombo(TExtStringGrid* grid, QWidget* parent = nullptr);
    bool StopEdit() { return StopFixedEdit(this, currentText()); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

// The validation and store of a fixed-cell editor's text (both editors).
bool StopFixedCellEdit(TExtStringGrid* grid, int c, int r, const QString& text);
