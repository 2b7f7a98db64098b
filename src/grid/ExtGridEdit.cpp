// In-place editing of the string grid: whether and with which editor a cell
// is edited, the select-cell query, opening, closing and ending an edit, the
// done notifications, validation of a new value, the combo's pick list and
// Enter and Tab navigation.
#include "grid/ExtGrid.h"
#include "controls/CellEditors.h"
#include "grid/ExtGridDateEditors.h"
#include "grid/ExtGridDropDownEditor.h"
#include "controls/ExtUtil.h"
#include "grid/ExtGridEditors.h"
#include "platform/Application.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScrollBar>
#include <QToolTip>

using enum TShiftStateItem;

namespace {

// The posted end of an edit: OnEditCellDone fires when it arrives.
class TEditDoneEvent : public QEvent {
public:
    TEditDoneEvent(int c, int r) : QEvent(QEvent::Type(GridEditDoneEventType())), Col(c), Row(r) {}
    int Col;
    int Row;
};

class TEditDoneReceiver : public QObject {
public:
    explicit TEditDoneReceiver(std::function<void(int, int)> done) : m_done(std::move(done)) {}
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::Type(GridEditDoneEventType())) return QObject::event(e);
        auto* d = static_cast<TEditDoneEvent*>(e);
        Guard([&] { m_done(d->Col, d->Row); });
        return true;
    }

private:
    std::function<void(int, int)> m_done;
};

// Holds a flag set for a scope.
class TFlagHold {
public:
    TFlagHold(bool& flag, bool value) : m_flag(flag), m_old(flag) { m_flag = value; }
    ~TFlagHold() { m_flag = m_old; }
    TFlagHold(const TFlagHold&) = delete;
    TFlagHold& operator=(const TFlagHold&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

} // namespace

// ---------------------------------------------------------------------------
// Decisions

bool TExtStringGrid::IsTextEditorKind(TEditorType kind)
{
    switch (kind) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase:
    case edValidChars:
    case edPositiveFloat: return true;
    default: return false;
    }
}

bool TExtStringGrid::IsEditable(int c, int r)
{
    if (!HasOption(goEditing) && !MouseActions().RangeSelectAndEdit() && !FEditDisable) return false;
    return CanEditCellAt(c, r);
}

bool TExtStringGrid::CanEditCellAt(int c, int r)
{
    const QPoint b = IsMergedNonBaseCell(c, r) ? BaseCell(c, r) : QPoint(c, r);
    bool allow = true;
    QueryCanEdit(b.x(), b.y(), allow);
    bool fixed = false;
    QueryFixedCell(DisplColIndex(b.x()), b.y(), fixed);
    return allow && !fixed;
}

bool TExtStringGrid::IsPasswordCell(int c, int r)
{
    bool p = false;
    QueryPasswordCell(c, r, p);
    return p;
}

bool TExtStringGrid::IsEditControlCell(int c, int r)
{
    switch (GetCellType(c, r)) {
    case TCellType::ctCheckBox:
    case TCellType::ctDataCheckBox:
    case TCellType::ctVirtCheckBox:
    case TCellType::ctRadio: return true;
    default: return false;
    }
}

bool TExtStringGrid::EditorWantsTab() const
{
    return Options().Contains(goTabs) || OnCellValidate || OnCellValidateWide;
}

int TExtStringGrid::ComboOpenIndex(const QString& rawText, const QString& text, int preselected,
                                   bool& defaulted) const
{
    defaulted = false;
    int i = FComboItems.indexOf(rawText);
    if (i >= 0) return i;
    if (preselected != -1) return preselected < FComboItems.size() ? preselected : -1;
    i = FComboItems.indexOf(text);
    if (i >= 0) return i;
    if (FComboItems.isEmpty()) return -1;
    defaulted = true;
    return 0;
}

QString TExtStringGrid::LookupCompletion(const QString& prefix, const QStringList& items, bool caseSensitive,
                                         int* index)
{
    if (prefix.isEmpty()) return QString();
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int i = 0; i < items.size(); ++i) {
        if (!items[i].startsWith(prefix, cs)) continue;
        if (index) *index = i;
        return prefix + items[i].mid(prefix.size());
    }
    return QString();
}

// ---------------------------------------------------------------------------
// The editors of the window

std::unique_ptr<TCellEditor> TExtStringGrid::CreateCellEditor(int kind)
{
    RegisterGridCellEditors();
    std::unique_ptr<TCellEditor> e = TCellEditorRegistry::Instance().Create(TEditorType(kind));
    if (auto* bound = dynamic_cast<TGridCellEditor*>(e.get())) bound->BindGrid(this);
    return e;
}

TEditorType TExtStringGrid::SharedEditorKind(TEditorType kind)
{
    if (IsTextEditorKind(kind)) return edNormal;
    if (kind == edComboEdit) return edComboList;
    if (kind == edFloatSpinEdit || kind == edTimeSpinEdit || kind == edDateSpinEdit) return edSpinEdit;
    if (kind == edDateEditUpDown || kind == edTimeEdit) return edDateEdit;
    if (kind == edNumericEditBtn || kind == edFloatEditBtn || kind == edMaskEditBtn) return edEditBtn;
    if (kind == edNumericUnitEditBtn || kind == edFloatUnitEditBtn) return edUnitEditBtn;
    return kind;
}

int TExtStringGrid::EditorKind(int c, int r)
{
    return int(SharedEditorKind(FEditControl));
}

TCellEditor* TExtStringGrid::EditorOf(TEditorType kind)
{
    TGridWidget* w = GridWidgetOf(this);
    return w ? w->EditorOfKind(int(SharedEditorKind(kind))) : nullptr;
}

TExtInplaceEdit* TExtStringGrid::NormalEdit()
{
    auto* e = dynamic_cast<TExtTextCellEditor*>(EditorOf(edNormal));
    return e ? e->Edit() : nullptr;
}

TGridCombo* TExtStringGrid::EditCombo()
{
    auto* e = dynamic_cast<TGridComboEditor*>(EditorOf(edComboList));
    return e ? e->Combo() : nullptr;
}

TGridCheckBox* TExtStringGrid::EditCheck()
{
    auto* e = dynamic_cast<TGridCheckBoxEditor*>(EditorOf(edCheckBox));
    return e ? e->Check() : nullptr;
}

TGridSpin* TExtStringGrid::SpinEdit()
{
    auto* e = dynamic_cast<TGridSpinEditor*>(EditorOf(edSpinEdit));
    return e ? e->Spin() : nullptr;
}

QWidget* TExtStringGrid::EditCtrl()
{
    TGridWidget* w = GridWidgetOf(this);
    if (!w || !EditorMode() || !w->ActiveEditor()) return nullptr;
    return w->ActiveEditor()->Control();
}

TEditLink* TExtStringGrid::EditLink() const
{
    return FGridEditLink.data();
}

void TExtStringGrid::SetEditLink(TEditLink* link)
{
    FGridEditLink = link;
}

// ---------------------------------------------------------------------------
// Opening

bool TExtStringGrid::CanEditShow()
{
    if (FValidating) return false;
    bool ok = TBaseGrid::CanEditShow();
    if (FDesigning || !ok) return ok;
    const int rc = RealColIndex(Col());
    const QPoint b = BaseCell(rc, Row());
    if (IsEditControlCell(b.x(), b.y())) return false;
    if (!IsEditable(rc, Row())) return false;
    FCellCache = CurrentCell();
    TEditorType kind = DefaultEditor();
    GetCellEditor(b.x(), b.y(), kind);
    if (kind == edNone) return false;
    if (kind == edCustom && !EditLink()) return false;
    // The date and time pickers need the platform's date-time controls.
    if (!ComCtl470 && (kind == edDateEdit || kind == edDateEditUpDown || kind == edTimeEdit || kind == edDateTimeEdit))
        return false;
    // A drop-down kind opens only with the editor the drop-down library
    // registered for it.
    if (IsDropDownEditorKind(kind) && !TCellEditorRegistry::Instance().IsRegistered(kind)) return false;
    if (!IsTextEditorKind(kind) && !TCellEditorRegistry::Instance().IsRegistered(kind)) {
        // A kind nobody edits here yet is edited as text.
        RegisterGridCellEditors();
        if (!TCellEditorRegistry::Instance().IsRegistered(kind)) kind = edNormal;
    }
    FEditControl = kind;
    if (IsTextEditorKind(kind)) FShowEditProcess = true;
    FEditing = true;
    FEditActive = !IsTextEditorKind(kind);
    if (kind != edCustom) FLastValidation = true;
    // Validation compares with the cell as the edit starts.
    RememberCell(Col(), Row());
    return true;
}

void TExtStringGrid::ShowInplaceEdit()
{
    const int rc = RealColIndex(Col());
    if (IsEditControlCell(rc, Row())) return;
    if (Row() < TopRow()) SetTopRow(Row());
    if (Col() < LeftCol()) SetLeftCol(Col());
    FEditText = Cells(rc, Row());
    ShowEditor();
}

void TExtStringGrid::ShowEditorWithStartChar()
{
    ShowInplaceEdit();
    DeliverStartEditChar();
}

void TExtStringGrid::DeliverStartEditChar()
{
    const QChar ch = FStartEditChar;
    FStartEditChar = QChar();
    if (ch.isNull() || !EditorMode()) return;
    TGridWidget* w = GridWidgetOf(this);
    TCellEditor* ed = w ? w->ActiveEditor() : nullptr;
    if (!ed || !ed->Control()->isVisible()) {
        SetEditorText(ch == QChar(VK_BACK) ? QString() : QString(ch));
        return;
    }
    // The character starts a new value: it replaces the text and passes the
    // editor's own character filter like any other typed character.
    if (IsTextEditorKind(FEditControl)) ed->LoadText(QString());
    const int qtKey = ch == QChar(VK_BACK) ? int(Qt::Key_Backspace)
                      : ch.unicode() < 256 ? int(ch.toUpper().unicode())
                                           : int(Qt::Key_unknown);
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, QString(ch));
    QCoreApplication::sendEvent(ed->Control(), &press);
}

void TExtStringGrid::ShowCellEdit()
{
    int key = VK_F2;
    DoKeyDown(key, TShiftState());
}

// ---------------------------------------------------------------------------
// Closing

bool TExtStringGrid::CanStoreEditText()
{
    // A check-box editor writes nothing back.
    if (FEditControl == edCheckBox || FEditControl == edButton) return false;
    // An edit closing without a validation of its value (the focus left the
    // grid): a refused value is not written, the cell keeps its text.
    if (FEditing && !FValidating) {
        const TFlagHold closing(FClosingEdit, true);
        return ValidateCell(EditorText());
    }
    return true;
}

void TExtStringGrid::HideInplaceEdit()
{
    if (!EditorMode()) return;
    HideEditor();
    // Editing switched on or off for the current cell.
    if (!FValidating) {
        const int rc = RealColIndex(Col());
        bool can = HasOption(goEditing) || FEditDisable;
        QueryCanEdit(rc, Row(), can);
        if (can && !HasOption(goEditing) && FEditDisable) {
            FEditDisable = false;
            FEditChange = true;
            SetOptions(Options().With(goEditing));
        }
    }
}

// ---------------------------------------------------------------------------
// What the open editors report

void TExtStringGrid::ComboListDropped()
{
    ComboDropDown(Row(), RealColIndex(Col()));
}

void TExtStringGrid::ComboListClosed(bool editing)
{
    const int rc = RealColIndex(Col());
    TGridCombo* combo = EditCombo();
    if (editing && combo && EditMode() && MouseActions().DirectComboClose()) {
        // Closing the list ends the edit with the item it shows.
        const int i = combo->currentIndex();
        if (i >= 0 && combo->Style() == TComboStyle::csDropDown) combo->setEditText(combo->itemText(i));
        if (OnComboChange) OnComboChange(this, rc, Row(), i, i >= 0 ? combo->itemText(i) : combo->Text());
        {
            TMouseActions& ma = MouseActions();
            const bool direct = ma.DirectEdit();
            ma.SetDirectEdit(false);
            const auto restore = qScopeGuard([&] { ma.SetDirectEdit(direct); });
            HideInplaceEdit();
        }
        FocusGrid();
    }
    ComboCloseUp(Row(), rc);
}

void TExtStringGrid::EditorTextChanged(const QString& text)
{
    if (!FShowEditProcess || !EditorMode()) return;
    const bool spin = FEditControl == edSpinEdit || FEditControl == edFloatSpinEdit || FEditControl == edTimeSpinEdit ||
                      FEditControl == edDateSpinEdit;
    if (!IsTextEditorKind(FEditControl) && !spin) return;
    // The cell shows the edit as it is typed; the text remembered when the
    // edit began stays what validation compares with and what a refused
    // or cancelled edit puts back.
    const TGridCoord cell = EditorCell();
    SetEditText(cell.X, cell.Y, text);
    InvalidateCell(cell.X, cell.Y);
}

void TExtStringGrid::HideCellEdit()
{
    if (EditorMode() && !IsTextEditorKind(FEditControl)) HideInplaceEdit();
}

void TExtStringGrid::EditorHidden()
{
    const TGridCoord cell = EditorCell();
    FEditing = false;
    FEditActive = false;
    FStartEditChar = QChar();
    NotifyEditDone(RealColIndex(cell.X), cell.Y);
}

void TExtStringGrid::DoneInplaceEdit(int key, TShiftState shift)
{
    FEditing = false;
    HideInplaceEdit();
    if (Navigation().AppendOnArrowDown() && key == VK_DOWN && Row() == LastDataRow()) {
        SetRowCount(RowCount() + 1);
        if (OnAutoAddRow) OnAutoAddRow(this, LastDataRow());
    }
    if (key == VK_TAB || (key >= VK_LEFT && key <= VK_DOWN)) {
        int k = key;
        KeyDown(k, shift);
    }
    if (key == VK_RETURN) AdvanceEdit(Col(), Row(), false, false, true, true, false);
    if (TGridWidget* w = GridWidgetOf(this)) w->setFocus();
}

void TExtStringGrid::NotifyEditDone(int c, int r)
{
    if (OnEditingDone) OnEditingDone(this);
    if (!FEditDoneReceiver)
        FEditDoneReceiver = std::make_unique<TEditDoneReceiver>([this](int col, int row) { EditDoneEvent(col, row); });
    QCoreApplication::postEvent(FEditDoneReceiver.get(), new TEditDoneEvent(c, r));
}

void TExtStringGrid::EditDoneEvent(int c, int r)
{
    if (OnEditCellDone) OnEditCellDone(this, c, r);
    if (MouseActions().EditOnDblClickOnly()) {
        HideInplaceEdit();
        FEditChange = true;
        SetOptions(Options().Without(goEditing));
    }
}

void TExtStringGrid::StoreEditedText(int c, int r, const QString& value)
{
    // One write: the edit-text writer puts it into the base cell.
    SetEditText(DisplColIndex(c), r, value);
}

void TExtStringGrid::UndoCellEdit()
{
    SetCells(RealColIndex(Col()), Row(), FCellCache);
    InvalidateCell(Col(), Row());
}

void TExtStringGrid::GetEditorProp(int c, int r, TEditLink* link)
{
    if (OnGetEditorProp) OnGetEditorProp(this, c, r, link);
    if (OnGetEditorPropInt) OnGetEditorPropInt(this, c, r);
}

void TExtStringGrid::CellChanging(int newCol, int newRow, bool& allow)
{
    if (newRow != Row() && OnRowChanging) OnRowChanging(this, Row(), newRow, allow);
    if (newCol != Col() && OnColChanging) OnColChanging(this, Col(), newCol, allow);
    if ((newRow != Row() || newCol != Col()) && OnCellChanging) OnCellChanging(this, Row(), Col(), newRow, newCol, allow);
}

// ---------------------------------------------------------------------------
// The select-cell query

bool TExtStringGrid::SelectCell(int c, int r)
{
    if (FForceSel) return true;
    if (c < 0 || r < 0) return false;
    const int rc = RealColIndex(c);
    // A covered cell of a merged range: its base cell becomes current.
    if (IsMergedNonBaseCell(rc, r) && !HasOption(goRangeSelect)) {
        const QPoint b = BaseCell(rc, r);
        const int bc = DisplColIndex(b.x());
        if (bc != Col() || b.y() != Row()) MoveColRow(bc, b.y(), true, true);
        if (MouseActions().DirectEdit() || (ControlLook().DropDownAlwaysVisible() && HasCombo(rc, r)))
            ShowInplaceEdit();
        return false;
    }
    FEditText = Cells(rc, r);
    // Leaving an open editor: its value is validated first; a refused value
    // keeps the editor and the current cell.
    if (FEditing && EditorMode()) {
        const QString saved = FCellCache;
        if (!ValidateCell(EditorText())) {
            FCellCache = saved;
            return false;
        }
    }
    bool allow = true;
    CellChanging(c, r, allow);
    bool answer;
    if (!allow) {
        answer = false;
    } else if (IsFixed(c, r)) {
        answer = HasOption(goRowSelect) || (FixedRowAlways() && RowCount() == TCustomGrid::FixedRows());
    } else {
        answer = TBaseGrid::SelectCell(c, r);
    }
    // A refused move changes nothing and tells nobody.
    if (!answer) return false;

    // Editing switched on or off for the target cell.
    if (IsEditControlCell(rc, r)) {
        bool can = true;
        QueryCanEdit(rc, r, can);
        if (!FEditDisable) FEditDisable = !can && (HasOption(goEditing) || MouseActions().RangeSelectAndEdit());
        if (can && !HasOption(goEditing) && !HasOption(goRowSelect)) {
            FEditChange = true;
            SetOptions(Options().With(goEditing));
        }
    } else {
        bool can = HasOption(goEditing) || FEditDisable;
        QueryCanEdit(rc, r, can);
        if (MouseActions().DirectEdit() && can && IsNoEditorCell(rc, r)) can = false;
        if (MouseActions().EditOnDblClickOnly()) can = false;
        if (can) {
            FEditDisable = false;
            if (!HasOption(goEditing)) {
                FEditChange = true;
                TGridOptions o = Options();
                if (o.Contains(goRowSelect) && MouseActions().RangeSelectAndEdit()) o.Exclude(goRowSelect);
                SetOptions(o.With(goEditing));
            }
        } else if (HasOption(goEditing)) {
            if (EditorMode()) HideInplaceEdit();
            FEditDisable = true;
            FEditChange = true;
            SetOptions(Options().Without(goEditing));
        }
    }
    if (ITExtStringGridSelect* l = SelListener()) l->CellSelected(Col(), r);
    // The row last reported moves only when it is reported, so a handler
    // assigned later sees the row of the last reported change.
    if (!FLoading && r != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, r);
        FOldRowSel = r;
    }
    FCellCache = Cells(rc, r);
    return true;
}

// ---------------------------------------------------------------------------
// Validation

void TExtStringGrid::RememberCell(int c, int r)
{
    FOldCol = c;
    FOldRow = r;
    FOldCellText = (c >= 0 && r >= 0 && r < RowCount()) ? Cells(RealColIndex(c), r) : QString();
    FOldModifiedValue = FGridModified;
}

bool TExtStringGrid::ValidateCell(const QString& newValue)
{
    return RunValidation(newValue, true, [this](int col, int row, bool changed, QString& value, bool& valid) {
        {
            const bool advance = Navigation().AdvanceOnEnter();
            Navigation().SetAdvanceOnEnter(false);
            if (CellChecker && CellChecker->AutoCorrect()) value = CellChecker->Correct(col, row, value);
            if (OnCellValidate) OnCellValidate(this, col, row, value, valid);
            Navigation().SetAdvanceOnEnter(advance);
        }
        if (valid) {
            if (value != FOldCellText) FGridModified = true;
            if (CellChecker && CellChecker->AutoMarkError()) value = CellChecker->MarkError(col, row, value);
            if (UndoRedo() && changed) UndoRedo()->RegisterChange(col, row, FOldCellText, value);
        }
    });
}

bool TExtStringGrid::ValidateCellWide(const QString& newValue)
{
    return RunValidation(newValue, false, [this](int col, int row, bool changed, QString& value, bool& valid) {
        if (OnCellValidateWide) OnCellValidateWide(this, col, row, value, valid);
        if (changed && valid) FGridModified = true;
    });
}

bool TExtStringGrid::RunValidation(const QString& newValue, bool full,
                                   const std::function<void(int, int, bool, QString&, bool&)>& check)
{
    if (!FEditing || FValidating) return true;
    FEditing = false;
    FValidating = true;
    bool valid = true;
    const int col = RealColIndex(FOldCol);
    const int row = FOldRow;
    FNewCellText = newValue;
    try {
        if (newValue != FOldCellText || FAlwaysValidate) {
            const bool changed = newValue != FOldCellText;
            QString value = newValue;
            check(col, row, changed, value, valid);
            FNewCellText = value;
            if (valid) {
                // The value reaches the cell once: through the editor when it
                // is open (its closing writes it), else directly.
                if (EditorMode()) {
                    if (value != newValue) SetEditorText(value);
                } else {
                    StoreEditedText(col, row, value);
                }
                if (full && changed) CellsChanged(TGridRect{col, row, col, row});
            } else {
                FLastValidation = false;
                if (full) FGridModified = FOldModifiedValue;
                // A cell that followed the editor gets its old text back.
                if (row >= 0 && row < RowCount() && col >= 0 && Cells(col, row) != FOldCellText) {
                    SetCells(col, row, FOldCellText);
                    RepaintDispl(col, row);
                }
                RefuseValue(value);
            }
        }
    } catch (...) {
        RememberCell(Col(), Row());
        FValidating = false;
        throw;
    }
    RememberCell(Col(), Row());
    FValidating = false;
    return valid;
}

void TExtStringGrid::RefuseValue(const QString& value)
{
    // The cell keeps its old text; the edit goes on with the refused value
    // (the one the handler left) in the editor.
    FEditing = true;
    if (FClosingEdit) {
        FEditing = false;
        return;
    }
    if (!EditorMode()) {
        if (Col() != FOldCol || Row() != FOldRow) {
            const TFlagHold force(FForceSel, true);
            MoveColRow(FOldCol, FOldRow, true, true);
        }
        TFlagHold off(FValidating, false);
        ShowInplaceEdit();
        if (!EditorMode()) return;
    }
    SetEditorText(value);
    FBalloonText.clear();
    if (!InvalidEntryTitle().isEmpty() || !InvalidEntryText().isEmpty()) {
        FBalloonText = InvalidEntryTitle().isEmpty() ? InvalidEntryText()
                       : InvalidEntryText().isEmpty() ? InvalidEntryTitle()
                                                      : InvalidEntryTitle() + QStringLiteral("\n") + InvalidEntryText();
        if (QWidget* ctrl = EditCtrl(); ctrl && ctrl->isVisible())
            QToolTip::showText(ctrl->mapToGlobal(QPoint(0, ctrl->height())), FBalloonText, ctrl);
    }
}

// ---------------------------------------------------------------------------
// The combo's pick list

bool TExtStringGrid::RemoveComboString(const QString& s)
{
    const int i = FComboItems.indexOf(s);
    if (i < 0) return false;
    FComboItems.removeAt(i);
    if (i < int(FComboObjects.size())) FComboObjects.erase(FComboObjects.begin() + i);
    return true;
}

void TExtStringGrid::AddComboStringObject(const QString& s, TUserValue object)
{
    // Items added without an object (or a list refilled directly) keep
    // their places: the objects line up with the items again.
    FComboObjects.resize(FComboItems.size());
    FComboItems.append(s);
    FComboObjects.push_back(std::move(object));
}

TUserValue TExtStringGrid::ComboObject(int index) const
{
    if (index < 0 || index >= int(FComboObjects.size()) || index >= FComboItems.size()) return {};
    return FComboObjects[size_t(index)];
}

bool TExtStringGrid::SetComboSelectionString(const QString& s)
{
    const int i = FComboItems.indexOf(s);
    if (i < 0) return false;
    FComboIdx = i;
    return true;
}

int TExtStringGrid::TakeComboSelection()
{
    const int i = FComboIdx;
    FComboIdx = -1;
    return i;
}

int TExtStringGrid::GetComboIndex(int c, int r)
{
    GetEditorProp(c, r, nullptr);
    return FComboItems.indexOf(Cells(c, r));
}

void TExtStringGrid::SetComboIndex(int c, int r, int value)
{
    GetEditorProp(c, r, nullptr);
    if (value < 0 || value >= FComboItems.size()) throw EExtGridError(QStringLiteral("List index out of bounds (%1)").arg(value));
    SetCells(c, r, FComboItems[value]);
}

// ---------------------------------------------------------------------------
// The grid's key press: Enter and Esc

void TExtStringGrid::KeyPress(QChar& key)
{
    // Characters never reach a cell that holds inline controls.
    if (!EditorMode()) {
        const QString text = Cells(RealColIndex(Col()), Row());
        if (DetectCellTextKind(text, EnableHTML()) == 1 && text.toUpper().contains(QLatin1String("<CONTROL"))) {
            key = QChar();
            return;
        }
    }
    if (key == QChar(VK_ESCAPE)) {
        const bool editing = FEditing;
        if (EditorMode()) CancelEditor();
        // Esc always leaves the cell as it was.
        if (HasOption(goEditing) && editing && Cells(RealColIndex(Col()), Row()) != FCellCache) UndoCellEdit();
        FEditing = false;
        return;
    }
    if (key == QChar(VK_RETURN)) {
        const int rc = RealColIndex(Col());
        if (!EditorMode()) {
            if (!Navigation().AdvanceOnEnter() && !IsEditable(rc, Row())) {
                key = QChar();
                return;
            }
            if (IsEditControlCell(rc, Row())) {
                AdvanceEdit(Col(), Row(), false, false, true, false, false);
                key = QChar();
                return;
            }
            TBaseGrid::KeyPress(key);
            return;
        }
        // Enter in an open editor: the value is validated, written and the
        // grid moves on as the navigation settings say.
        if (FEditing && !ValidateCell(EditorText())) {
            key = QChar();
            return;
        }
        const int oldCol = Col(), oldRow = Row();
        HideInplaceEdit();
        AdvanceEdit(Col(), Row(), false, false, true, false, false);
        if ((Col() != oldCol || Row() != oldRow) && Navigation().AdvanceAutoEdit() &&
            IsEditable(RealColIndex(Col()), Row()))
            ShowInplaceEdit();
        key = QChar();
        return;
    }
    TBaseGrid::KeyPress(key);
}

// ---------------------------------------------------------------------------
// Navigation

int TExtStringGrid::GetFirstNavCol() const
{
    // The node column of a tree stays out of the keys' reach.
    const int fixed = TCustomGrid::FixedCols();
    return fixed == 0 && const_cast<TExtStringGrid*>(this)->HasNodes() ? 1 : fixed;
}

bool TExtStringGrid::CanSelectCell(int c, int r)
{
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return false;
    const int rc = RealColIndex(c);
    if (!IsBaseCell(rc, r)) return false;
    bool ok;
    if (HasOption(goEditing) || FEditDisable)
        ok = CanEditCellAt(rc, r);
    else
        ok = !IsFixed(c, r);
    if (ok && OnSelectCell) OnSelectCell(this, c, r, ok);
    return ok;
}

TGridCoord TExtStringGrid::AdvanceTarget(int c, int r, bool forward, bool& addRow)
{
    addRow = false;
    const TNavigation& nav = Navigation();
    const int firstCol = GetFirstNavCol(), lastCol = LastNavCol();
    const int firstRow = TCustomGrid::FixedRows(), lastRow = LastDataRow();
    if (lastCol < firstCol || lastRow < firstRow) return {c, r};
    const TGridCoord start{c, r};
    // One step; at most one lap of the grid is walked.
    auto step = [&](int& col, int& row) -> bool {
        const QPoint span = CellSpan(RealColIndex(col), row);
        const TAdvanceDirection dir = nav.AdvanceDirection();
        if (forward) {
            if (dir == adLeftRight || dir == adLeftRightInRow) {
                if (col + span.x() < lastCol) {
                    col += span.x() + 1;
                } else if (dir == adLeftRightInRow) {
                    if (!nav.AdvanceOnEnterLoop()) return false;
                    col = firstCol;
                } else if (row < lastRow) {
                    ++row;
                    col = firstCol;
                } else if (nav.AdvanceInsert()) {
                    addRow = true;
                    ++row;
                    col = firstCol;
                } else if (nav.AdvanceOnEnterLoop()) {
                    row = firstRow;
                    col = firstCol;
                } else {
                    return false;
                }
            } else {
                if (row + span.y() < lastRow) {
                    row += span.y() + 1;
                } else if (dir == adTopBottomInCol) {
                    row = firstRow;
                } else {
                    row = firstRow;
                    col = col < lastCol ? col + 1 : firstCol;
                }
            }
        } else {
            const TAdvanceDirection back = nav.AdvanceDirection();
            if (back == adLeftRight || back == adLeftRightInRow) {
                if (col > firstCol) {
                    --col;
                } else {
                    row = row > firstRow ? row - 1 : lastRow;
                    col = lastCol;
                }
            } else {
                if (row > firstRow) {
                    --row;
                } else {
                    col = col > firstCol ? col - 1 : lastCol;
                    row = lastRow;
                }
            }
        }
        return true;
    };
    int col = c, row = r;
    const int lap = (lastCol - firstCol + 1) * (lastRow - firstRow + 1) + 1;
    for (int i = 0; i < lap; ++i) {
        if (!step(col, row)) return start;
        if (addRow) return {col, row};
        col = std::clamp(col, firstCol, lastCol);
        row = std::clamp(row, firstRow, lastRow);
        if (col == start.X && row == start.Y) return start;
        bool can = true;
        QueryCanEdit(RealColIndex(col), row, can);
        if (can || !nav.AdvanceSkipReadOnlyCells()) return {col, row};
    }
    return start;
}

void TExtStringGrid::AdvanceEdit(int c, int r, bool reopenEditor, bool recursive, bool forward, bool autoEdit,
                                 bool force)
{
    if (!Navigation().AdvanceOnEnter() && !force) return;
    if (MouseActions().RangeSelectAndEdit() && !HasOption(goEditing)) SetOptions(Options().With(goEditing));
    if (!recursive) {
        FAECol = c;
        FAERow = r;
    }
    FStartEditChar = QChar();
    bool addRow = false;
    TGridCoord t = AdvanceTarget(c, r, forward, addRow);
    if (t.X == c && t.Y == r) return;
    if (addRow) {
        SetRowCount(RowCount() + 1);
        if (OnAutoAddRow) OnAutoAddRow(this, LastDataRow());
    }
    bool allow = true;
    if (OnAutoAdvance) OnAutoAdvance(this, FAERow, FAECol, t.Y, t.X, allow);
    if (allow && OnCellChanging) OnCellChanging(this, FAERow, FAECol, t.Y, t.X, allow);
    if (!allow) return;
    if (t.X < 0 || t.Y < 0 || t.X >= ColCount() || t.Y >= RowCount()) return;
    MoveColRow(t.X, t.Y, true, true);
    if (!reopenEditor) return;
    const int rc = RealColIndex(Col());
    if ((autoEdit && Navigation().AdvanceAutoEdit()) || IsEditControlCell(rc, Row())) {
        if (!IsEditable(rc, Row())) return;
        if (!IsEditControlCell(rc, Row())) ShowInplaceEdit();
    }
}

bool TExtStringGrid::TabTarget(bool backward, TGridCoord& target)
{
    const TNavigation& nav = Navigation();
    const int firstCol = GetFirstNavCol(), lastCol = LastNavCol();
    const int firstRow = TCustomGrid::FixedRows(), lastRow = LastDataRow();
    target = {Col(), Row()};
    if (lastCol < firstCol || lastRow < firstRow) return false;
    int col = std::clamp(Col(), firstCol, lastCol), row = std::clamp(Row(), firstRow, lastRow);
    const bool leftRight = nav.TabAdvanceDirection() == adLeftRight;
    const int lap = (lastCol - firstCol + 1) * (lastRow - firstRow + 1);
    for (int i = 0; i < lap; ++i) {
        if (leftRight) {
            if (backward) {
                if (col > firstCol) {
                    --col;
                } else {
                    col = lastCol;
                    row = row > firstRow ? row - 1 : lastRow;
                }
            } else {
                const int span = CellSpan(RealColIndex(col), row).x();
                if (col + span < lastCol) {
                    col += span + 1;
                } else {
                    col = firstCol;
                    if (row < lastRow) {
                        ++row;
                    } else {
                        if (nav.TabToNextAtEnd()) return false;
                        row = firstRow;
                    }
                }
            }
        } else {
            if (backward) {
                if (row > firstRow) {
                    --row;
                } else {
                    row = lastRow;
                    col = col > firstCol ? col - 1 : lastCol;
                }
            } else {
                const int span = CellSpan(RealColIndex(col), row).y();
                if (row + span < lastRow) {
                    row += span + 1;
                } else {
                    row = firstRow;
                    if (col < lastCol) {
                        ++col;
                    } else {
                        if (nav.TabToNextAtEnd()) return false;
                        col = firstCol;
                    }
                }
            }
        }
        if (col == Col() && row == Row()) return false;
        if (CanSelectCell(col, row)) {
            target = {col, row};
            return true;
        }
    }
    return false;
}

bool TExtStringGrid::TabToNextCell(bool backward)
{
    if (OnKeyDown && !FTabKeyReported) {
        int k = VK_TAB;
        OnKeyDown(this, k, backward ? TShiftState{ssShift} : TShiftState{});
        if (k != VK_TAB) return true;
    }
    if (Col() == FLastTabCol && Row() == FLastTabRow) return true;
    FLastTabCol = Col();
    FLastTabRow = Row();
    bool result = true;
    TGridCoord t;
    if (TabTarget(backward, t)) {
        MoveColRow(t.X, t.Y, true, true);
        const int rc = RealColIndex(Col());
        if (Navigation().AdvanceAutoEdit() && !IsEditControlCell(rc, Row()) && HasOption(goEditing) &&
            Col() == t.X && Row() == t.Y)
            ShowInplaceEdit();
    } else if (Navigation().TabToNextAtEnd()) {
        // The end of the grid: the focus goes on to the window's next control.
        result = false;
        if (TGridWidget* w = GridWidgetOf(this)) {
            QWidget* n = w->nextInFocusChain();
            while (n && n != w && (w->isAncestorOf(n) || !(n->focusPolicy() & Qt::TabFocus) || !n->isVisible()))
                n = n->nextInFocusChain();
            if (n && n != w) n->setFocus(Qt::TabFocusReason);
        }
    }
    FLastTabCol = -1;
    FLastTabRow = -1;
    return result;
}

// ---------------------------------------------------------------------------
// Fixed-cell editors and controls in cells

TGridTransEdit* TExtStringGrid::EditTrans()
{
    if (!FEditTrans) {
        TGridWidget* w = HandleAllocated() ? Widget() : nullptr;
        FEditTrans = new TGridTransEdit(this, w ? w->viewport() : nullptr);
    }
    return static_cast<TGridTransEdit*>(FEditTrans.data());
}

TGridTransCombo* TExtStringGrid::ComboTrans()
{
    if (!FComboTrans) {
        TGridWidget* w = HandleAllocated() ? Widget() : nullptr;
        FComboTrans = new TGridTransCombo(this, w ? w->viewport() : nullptr);
    }
    return static_cast<TGridTransCombo*>(FComboTrans.data());
}

void TExtStringGrid::CellControlsUpdate(bool rebuildList)
{
    if (!HandleAllocated()) return;
    if (rebuildList) {
        FControlList.Clear();
        int n = 0;
        for (int c = 0; c < ColCount(); ++c)
            for (int r = 0; r < RowCount(); ++r)
                if (QWidget* w = CellControls(c, r)) {
                    FControlList.AddControl(c, RealRowOf(r), w);
                    ++n;
                }
        FNumCellControls = n;
    }
    // The in-cell scroll bar stays at the current cell's right edge while
    // that cell is in view, and shrinks to nothing when it is not.
    if (QScrollBar* bar = FScrollBar.data(); bar && bar->isVisible()) {
        const int c = Col(), r = Row();
        if (r < TopRow() || r >= TopRow() + VisibleRowCount() || c < LeftCol() || c >= LeftCol() + VisibleColCount()) {
            bar->resize(bar->width(), 0);
        } else {
            const TRect cr = CellRect(c, r);
            bar->setGeometry(cr.Right - bar->width(), cr.Top, bar->width(), cr.Height());
        }
    }
    if (FNumCellControls == 0) return;
    const int fixedCols = TCustomGrid::FixedCols(), fixedRows = TCustomGrid::FixedRows();
    // The visible range; a cell just past it is out of view.
    const int lastCol = LeftCol() + VisibleColCount(), lastRow = TopRow() + VisibleRowCount();
    auto outOfView = [&](int a, int b) { return a < LeftCol() || a >= lastCol || b < TopRow() || b >= lastRow; };
    for (int i = 0; i < FControlList.Count(); ++i) {
        const TControlItem& item = FControlList.Control(i);
        QWidget* w = item.Control;
        if (!w) continue;
        const bool hidden = IsHiddenRow(item.Y) || IsHiddenColumn(item.X);
        const int a = DisplColIndex(item.X), b = DisplRowOf(item.Y);
        const bool fixed = b < fixedRows || a < fixedCols;
        if (hidden) {
            w->setVisible(false);
            continue;
        }
        if (fixed) continue;
        if (outOfView(a, b)) {
            w->setVisible(false);
            continue;
        }
        const TRect cr = CellRect(a, b);
        w->setGeometry(cr.Left - 1, cr.Top - 1, cr.Width() + 1, cr.Height() + 1);
        w->setVisible(true);
        w->update();
    }
}

void TExtStringGrid::TopLeftChanged()
{
    // The view moves away from a special editor: its value goes to the cell.
    if (EditorMode() && !IsTextEditorKind(FEditControl)) HideInplaceEdit();
    TBaseGrid::TopLeftChanged();
    CellControlsUpdate(false);
    // The slim scroll bars follow the grid's scrolling.
    if (vscrlctrl) vscrlctrl->update();
    if (hscrlctrl) hscrlctrl->update();
}
