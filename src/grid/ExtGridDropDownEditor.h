#pragma once
// The drop-down cell editors of the string grid as the grid sees them.
//
// The drop-down edit controls (track bar, memo, calculator, time picker,
// detail list, multi-column list, colour picker, image picker, grid) live in
// the drop-down library, a layer above the grid. The grid knows them only
// through this abstract editor: the drop-down library implements one per
// editor kind and registers its factories in the cell-editor registry at
// start-up. A kind nobody registered opens no editor.
//
// Opening (LoadText on a closed editor) runs the steps every drop-down kind
// shares: the grid's drop-down header and footer look copied into the
// control (footer first), the grid's style and colour tones, the editor
// property event, the control enabled and, per kind, loaded from the cell;
// Show makes it visible, focuses it and drops it down with DirectComboDrop.
// Closing with a commit reads the value for the cell (Text) and writes it
// through StoreValue, which the colour and image pickers extend with their
// colour or image index. Esc closes without writing.
#include "controls/ExtDropDownAppearance.h"
#include "controls/ExtStyleIF.h"
#include "grid/ExtGridCellEditor.h"

class TGridDropDownEditor : public TGridCellEditor {
public:
    TExtStringGrid* Grid() const { return FGrid; }
    void BindGrid(TExtStringGrid* grid) override;
    // Opens the editor on the cell text; while open, shows a text the grid
    // gives back (a validated or refused value, a start character).
    void LoadText(const QString& text) override;
    // The value for the cell.
    QString Text() const override { return CellValue(); }
    void Show(bool takeFocus) override;
    // Closes the pop-up without taking its choice, hides and disables.
    void Hide() override;
    // While the pop-up is open every key stays with the control.
    bool WantsKey(int key, TShiftState shift) const override;
    bool IsOpen() const { return FOpen; }

    // The grid writes a committed value through here (c: real column).
    // The text goes into the cell; the pickers add their colour or image.
    virtual void StoreValue(int c, int r, const QString& value);

    // --- what a drop-down control answers ---------------------------------------
    virtual TEditorType Kind() const = 0;
    // Takes copies of the grid's drop-down footer and header look.
    virtual void SetDropDownLook(const TFooterAppearance& footer, const THeaderAppearance& header) = 0;
    virtual void SetStyleAndTones(TStudioStyle style, const TColorTones& tones) = 0;
    virtual void SetEditorEnabled(bool value) = 0;
    virtual void SetColor(TColor color) = 0;
    // Before the editor property event (the list kinds enable their edit).
    virtual void BeforeProp() {}
    // Loads the control from the cell (c: real column; text: the edit text).
    virtual void LoadCell(int c, int r, const QString& text) = 0;
    // After the control took the focus (and dropped down).
    virtual void AfterFocus() {}
    // The value the control holds for the cell.
    virtual QString CellValue() const = 0;
    // Shows a text in the edit (without number formatting).
    virtual void SetEditText(const QString& text) = 0;
    virtual void OpenDropDown() = 0;
    virtual void CloseDropDown(bool cancel) = 0;
    virtual bool IsDroppedDown() const = 0;
    // The header and footer buttons and the pickers' choices report to the
    // grid through these (bound by BindGrid).
    std::function<void(int buttonIndex)> HeaderButtonClick;
    std::function<void(int buttonIndex)> FooterButtonClick;
    std::function<void(TColor color, const QString& value)> ColorSelect;
    std::function<void(int index)> ImageSelect;

protected:
    TExtStringGrid* FGrid = nullptr;
    bool FOpen = false;
};

// True for the drop-down editor kinds (edTrackbarDropDown to
// edExtGridDropDown).
bool IsDropDownEditorKind(TEditorType kind);
