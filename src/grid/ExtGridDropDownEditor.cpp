// The grid's side of the drop-down cell editors: the steps every drop-down
// kind shares as it opens and closes, the lazy accessors and the relays of
// the header and footer buttons and of the pickers' choices.
#include "grid/ExtGridDropDownEditor.h"
#include "controls/CellEditors.h"

#include <QLineEdit>

bool IsDropDownEditorKind(TEditorType kind)
{
    return kind >= edTrackbarDropDown && kind <= edExtGridDropDown;
}

void TGridDropDownEditor::BindGrid(TExtStringGrid* grid)
{
    FGrid = grid;
    HeaderButtonClick = [this](int index) {
        if (FGrid) FGrid->DropDownHeaderButtonClick(index);
    };
    FooterButtonClick = [this](int index) {
        if (FGrid) FGrid->DropDownFooterButtonClick(index);
    };
    ColorSelect = [this](TColor color, const QString& value) {
        if (FGrid && FOpen) FGrid->ColorSelect(color, value);
    };
    ImageSelect = [this](int index) {
        if (FGrid && FOpen) FGrid->ImageSelect(index);
    };
}

void TGridDropDownEditor::LoadText(const QString& text)
{
    if (FOpen) {
        SetEditText(text);
        return;
    }
    FOpen = true;
    TExtStringGrid* g = FGrid;
    if (!g) {
        LoadCell(0, 0, text);
        return;
    }
    // The grid's look replaces the control's own, Visible included.
    SetDropDownLook(g->ControlLook().DropDownFooter(), g->ControlLook().DropDownHeader());
    SetStyleAndTones(g->ComponentStyle(), g->Tones());
    const int rc = g->RealColIndex(g->Col());
    const int r = g->Row();
    BeforeProp();
    g->GetEditorProp(rc, r, g->EditLink());
    Control()->setEnabled(true);
    // The cell's own grid lines frame the editor.
    if (auto* edit = qobject_cast<QLineEdit*>(Control())) edit->setFrame(false);
    LoadCell(rc, r, text);
    // The pickers keep their own colour.
    if (Kind() != edColorPickerDropDown && Kind() != edImagePickerDropDown) {
        TVisualProperties vp;
        g->GetVisualProperties(g->Col(), r, vp);
        SetColor(vp.Brush.Color);
    }
}

void TGridDropDownEditor::Show(bool takeFocus)
{
    TGridCellEditor::Show(takeFocus);
    if (FGrid && FGrid->MouseActions().DirectComboDrop()) OpenDropDown();
    AfterFocus();
}

void TGridDropDownEditor::Hide()
{
    FOpen = false;
    if (IsDroppedDown()) CloseDropDown(true);
    TGridCellEditor::Hide();
    Control()->setEnabled(false);
}

bool TGridDropDownEditor::WantsKey(int key, TShiftState shift) const
{
    return IsDroppedDown();
}

void TGridDropDownEditor::StoreValue(int c, int r, const QString& value)
{
    if (FGrid) FGrid->StoreDropDownText(c, r, value);
}

// ---------------------------------------------------------------------------
// The grid's side

TGridDropDownEditor* TExtStringGrid::DropDownEditor(TEditorType kind)
{
    if (!IsDropDownEditorKind(kind) || !TCellEditorRegistry::Instance().IsRegistered(kind)) return nullptr;
    return dynamic_cast<TGridDropDownEditor*>(EditorOf(kind));
}

TGridDropDownEditor* TExtStringGrid::TrackbarDropDown() { return DropDownEditor(edTrackbarDropDown); }
TGridDropDownEditor* TExtStringGrid::MemoDropDown() { return DropDownEditor(edMemoDropDown); }
TGridDropDownEditor* TExtStringGrid::CalculatorDropDown() { return DropDownEditor(edCalculatorDropDown); }
TGridDropDownEditor* TExtStringGrid::TimePickerDropDown() { return DropDownEditor(edTimePickerDropDown); }
TGridDropDownEditor* TExtStringGrid::DetailPickerDropDown() { return DropDownEditor(edDetailDropDown); }
TGridDropDownEditor* TExtStringGrid::GridDropDown() { return DropDownEditor(edGridDropDown); }
TGridDropDownEditor* TExtStringGrid::ColorPickerDropDown() { return DropDownEditor(edColorPickerDropDown); }
TGridDropDownEditor* TExtStringGrid::ImagePickerDropDown() { return DropDownEditor(edImagePickerDropDown); }
TGridDropDownEditor* TExtStringGrid::ExtGridDropDown() { return DropDownEditor(edExtGridDropDown); }

void TExtStringGrid::DropDownHeaderButtonClick(int index)
{
    if (OnDropDownHeaderButtonClick) OnDropDownHeaderButtonClick(this, Col(), Row(), index);
}

void TExtStringGrid::DropDownFooterButtonClick(int index)
{
    if (OnDropDownFooterButtonClick) OnDropDownFooterButtonClick(this, Col(), Row(), index);
}

void TExtStringGrid::StoreDropDownText(int c, int r, const QString& value)
{
    const bool old = FStoringDropDown;
    FStoringDropDown = true;
    SetEditText(DisplColIndex(c), r, value);
    FStoringDropDown = old;
}
