// The drop-down cell editors: the wrappers' key, change and focus handling
// and the loading and write-back of each kind.
#include "dropdown/GridDropDowns.h"
#include "controls/CellEditors.h"
#include "platform/Graphics.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPalette>
#include <QScopeGuard>

namespace {

void FocusGrid(TExtStringGrid* g)
{
    if (TGridWidget* w = GridWidgetOf(g)) w->setFocus();
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

void RegisterGridDropDownEditors()
{
    static bool done = false;
    if (done) return;
    done = true;
    TCellEditorRegistry& reg = TCellEditorRegistry::Instance();
    reg.Register(edTrackbarDropDown, [] { return std::make_unique<TGridTrackbarDropDown>(); });
    reg.Register(edMemoDropDown, [] { return std::make_unique<TGridMemoDropDown>(); });
    reg.Register(edCalculatorDropDown, [] { return std::make_unique<TGridCalculatorDropDown>(); });
    reg.Register(edTimePickerDropDown, [] { return std::make_unique<TGridTimepickerDropDown>(); });
    reg.Register(edDetailDropDown, [] { return std::make_unique<TGridDetailPickerDropDown>(); });
    reg.Register(edGridDropDown, [] { return std::make_unique<TGridGridDropDown>(); });
    reg.Register(edExtGridDropDown, [] { return std::make_unique<TGridExtGridDropDown>(); });
    reg.Register(edColorPickerDropDown, [] { return std::make_unique<TGridColorDropDown>(); });
    reg.Register(edImagePickerDropDown, [] { return std::make_unique<TGridImageDropDown>(); });
}

// ---------------------------------------------------------------------------
// The family

template <class TBase>
TGridDropDownWrapper<TBase>::TGridDropDownWrapper(TExtStringGrid* grid, QWidget* parent) : TBase(parent)
{
    TBase::hide();
    TBase::setEnabled(false);
    if (grid) BindGrid(grid);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::BindGrid(TExtStringGrid* grid)
{
    TGridDropDownEditor::BindGrid(grid);
    FGrid = grid;
    TBase::OnDropDownHeaderButtonClick = [this](TExtCustomDropDown*, int index) {
        if (HeaderButtonClick) HeaderButtonClick(index);
    };
    TBase::OnDropDownFooterButtonClick = [this](TExtCustomDropDown*, int index) {
        if (FooterButtonClick) FooterButtonClick(index);
    };
    // Made for a grid: the grid's style, and its colour tones when it has
    // any. Each opening gives the style again.
    if (!grid) return;
    TBase::SetComponentStyle(grid->ComponentStyle());
    if (grid->Tones() != TColorTones{}) TBase::SetColorTones(grid->Tones());
}

template <class TBase>
void TGridDropDownWrapper<TBase>::SetDropDownLook(const TFooterAppearance& footer, const THeaderAppearance& header)
{
    TBase::SetDropDownFooter(footer);
    TBase::SetDropDownHeader(header);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::SetStyleAndTones(TStudioStyle style, const TColorTones& tones)
{
    TBase::SetComponentStyle(style);
    if (style == tsCustom) TBase::SetColorTones(tones);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::SetColor(TColor color)
{
    if (color == clNone) return;
    QPalette p = TBase::palette();
    p.setColor(QPalette::Base, ColorToQColor(color));
    TBase::setPalette(p);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::LoadCell(int, int, const QString& text)
{
    SetEditText(text);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::SetEditText(const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    TBase::SetTextDirect(text);
}

template <class TBase>
bool TGridDropDownWrapper<TBase>::Handles(int key, bool) const
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    default: return false;
    }
}

template <class TBase>
bool TGridDropDownWrapper<TBase>::Validates(int key) const
{
    return IsEnter(key) || key == Qt::Key_Up || key == Qt::Key_Down;
}

template <class TBase>
bool TGridDropDownWrapper<TBase>::Validate()
{
    if (!FGrid || !FGrid->Editing()) return true;
    if (FGrid->ValidateCell(CellValue())) return true;
    // The grid gave the refused text back to the editor: all of it selected.
    TBase::selectAll();
    TBase::update();
    return false;
}

template <class TBase>
void TGridDropDownWrapper<TBase>::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    Forced = false;
    WorkMode = key != Qt::Key_Backspace && key != Qt::Key_Delete;
    if (FGrid && FOpen && !TBase::DroppedDown() && !(shift & Qt::AltModifier)) {
        // Enter kept from the grid (the calculator): the pending operation
        // first, then the grid validates, writes and moves on.
        if (IsEnter(key) && WantsKey(VK_RETURN, TShiftState())) {
            BeforeEnter();
            key = 0;
            ForwardKeyToGrid(FGrid, Qt::Key_Return, shift);
            return;
        }
        // A key the grid does not take that ends the edit (Home in the
        // colour picker): the editor closes with its value written.
        if (key == Qt::Key_Home && Handles(key, false)) {
            key = 0;
            if (Validate()) {
                FGrid->HideInplaceEdit();
                FocusGrid(FGrid);
            }
            return;
        }
    }
    TBase::KeyDown(key, shift);
}

template <class TBase>
bool TGridDropDownWrapper<TBase>::EndFromPopup(int& key, Qt::KeyboardModifiers shift)
{
    if (!FGrid || !FOpen || !TBase::DroppedDown() || (shift & Qt::AltModifier)) return false;
    if (!Handles(key, true)) return false;
    const int k = key;
    const bool tab = k == Qt::Key_Tab || k == Qt::Key_Backtab;
    if (tab && !FGrid->EditorWantsTab()) return false;
    if (k == Qt::Key_End) return false;
    Forced = false;
    WorkMode = true;
    key = 0;
    TExtStringGrid* g = FGrid;
    if (k == Qt::Key_Escape) {
        // Nothing is written: the grid puts the cell back.
        TBase::DoHideDropDown(true);
        ForwardKeyToGrid(g, Qt::Key_Escape, Qt::NoModifier);
        return true;
    }
    if (IsEnter(k)) BeforeEnter();
    TBase::DoHideDropDown(false);
    if (IsEnter(k) || tab) {
        // The grid validates, writes and moves on as for a closed editor.
        ForwardKeyToGrid(g, k, shift);
        return true;
    }
    // Up, Down and the page keys close the editor where it is.
    if (Validates(k) && !Validate()) return true;
    g->HideInplaceEdit();
    FocusGrid(g);
    return true;
}

template <class TBase>
void TGridDropDownWrapper<TBase>::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (EndFromPopup(key, shift)) return;
    TBase::ControlKeyDown(key, shift);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::DropDownFormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (EndFromPopup(key, shift)) return;
    TBase::DropDownFormKeyDown(key, shift);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::KeyPress(QChar& key)
{
    if (FGrid && FGrid->OnKeyPress) FGrid->OnKeyPress(FGrid, key);
    if (key == QChar(VK_ESCAPE) || key == QChar(VK_RETURN) || key == QChar(VK_TAB)) key = QChar();
    if (key.isNull()) return;
    TBase::KeyPress(key);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::Change()
{
    TBase::Change();
    if (FLoading || !FOpen || !FGrid || !FGrid->EditMode()) return;
    FGrid->CanEditModify();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), TBase::Text());
}

template <class TBase>
void TGridDropDownWrapper<TBase>::CaretAtClick()
{
    if (!(QApplication::mouseButtons() & Qt::LeftButton)) return;
    const QPoint p = TBase::mapFromGlobal(QCursor::pos());
    if (p.x() < 0 || p.y() < 0 || p.x() > TBase::width() || p.y() > TBase::height()) return;
    TBase::setCursorPosition(TBase::cursorPositionAt(p));
    TBase::deselect();
}

template <class TBase>
bool TGridDropDownWrapper<TBase>::event(QEvent* e)
{
    // An open editor keeps Enter and Esc (and Tab when it validates) from
    // the window's shortcuts and its default button.
    if (e->type() == QEvent::ShortcutOverride && FGrid && FOpen) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (IsEnter(k->key()) || k->key() == Qt::Key_Escape || (tab && FGrid->EditorWantsTab())) {
            e->accept();
            return true;
        }
    }
    return TBase::event(e);
}

template <class TBase>
void TGridDropDownWrapper<TBase>::focusOutEvent(QFocusEvent* e)
{
    TBase::focusOutEvent(e);
    if (!FGrid || !FOpen || !FGrid->EditMode() || TBase::DroppedDown()) return;
    // The pop-up or another window taking the focus is not leaving the cell.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    FGrid->HideInplaceEdit();
}

// ---------------------------------------------------------------------------
// Track bar

TGridTrackbarDropDown::TGridTrackbarDropDown(TExtStringGrid* grid, QWidget* parent) : TGridDropDownWrapper(grid, parent)
{
    TExtTrackBarDropDown::SetEditorEnabled(true);
}

void TGridTrackbarDropDown::LoadCell(int, int, const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    SetPosition(ok ? v : 0);
}

void TGridTrackbarDropDown::SetEditText(const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    TExtTrackBarDropDown::SetText(text);
}

// ---------------------------------------------------------------------------
// Memo

TGridMemoDropDown::TGridMemoDropDown(TExtStringGrid* grid, QWidget* parent) : TGridDropDownWrapper(grid, parent)
{
    OnMemoChange = [this](TExtMemoDropDown*) {
        if (Memo() && Memo()->isVisible()) FEndsWithBreak = Memo()->toPlainText().endsWith(QLatin1Char('\n'));
    };
}

void TGridMemoDropDown::LoadCell(int, int, const QString& text)
{
    SetEditText(text);
}

void TGridMemoDropDown::SetEditText(const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    FEndsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    SetMemoText(TextToLines(text));
}

QString TGridMemoDropDown::CellValue() const
{
    const QStringList& lines = MemoText();
    QString s = lines.join(QStringLiteral("\r\n"));
    if (FEndsWithBreak && !lines.isEmpty()) s += QStringLiteral("\r\n");
    return s;
}

void TGridMemoDropDown::Change()
{
    TGridDropDownWrapper::Change();
    if (FLoading || !FOpen || !FGrid || !FGrid->EditMode()) return;
    // The cell follows the memo; the text it held when the edit began stays
    // what Esc and a refused value put back.
    FGrid->SetCurrentCellEx(CellValue());
}

bool TGridMemoDropDown::Handles(int key, bool dropped) const
{
    if (dropped) return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape;
    return TGridDropDownWrapper::Handles(key, dropped);
}

void TGridMemoDropDown::AfterFocus()
{
    setCursorPosition(0);
    deselect();
    CaretAtClick();
}

// ---------------------------------------------------------------------------
// Calculator

TGridCalculatorDropDown::TGridCalculatorDropDown(TExtStringGrid* grid, QWidget* parent)
    : TGridDropDownWrapper(grid, parent)
{
    TExtCalculatorDropdown::SetEditorEnabled(true);
}

bool TGridCalculatorDropDown::WantsKey(int key, TShiftState shift) const
{
    // Enter evaluates the pending operation before the grid takes it.
    return key == VK_RETURN || TGridDropDownWrapper::WantsKey(key, shift);
}

// ---------------------------------------------------------------------------
// Time picker

TGridTimepickerDropDown::TGridTimepickerDropDown(TExtStringGrid* grid, QWidget* parent)
    : TGridDropDownWrapper(grid, parent)
{
    SetFocusDraw(false);
}

void TGridTimepickerDropDown::LoadCell(int c, int r, const QString& text)
{
    TGridDropDownWrapper::LoadCell(c, r, text);
    TExtTimePickerDropDown::SetEditorEnabled(true);
}

// ---------------------------------------------------------------------------
// Detail list

TGridDetailPickerDropDown::TGridDetailPickerDropDown(TExtStringGrid* grid, QWidget* parent)
    : TGridDropDownWrapper(grid, parent)
{
}

void TGridDetailPickerDropDown::LoadCell(int c, int r, const QString& text)
{
    TGridDropDownWrapper::LoadCell(c, r, text);
    TExtDetailDropDown::SetEditorEnabled(true);
}

void TGridDetailPickerDropDown::AfterFocus()
{
    const int i = Items().IndexOf(EditText());
    if (i < 0) return;
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    SetItemIndex(i);
}

// ---------------------------------------------------------------------------
// Multi-column list

TGridGridDropDown::TGridGridDropDown(TExtStringGrid* grid, QWidget* parent) : TGridDropDownWrapper(grid, parent) {}

void TGridGridDropDown::LoadCell(int, int, const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    BeginUpdate();
    EndUpdate();
    SetItemIndex(text.isEmpty() ? 0 : GetItemIndex(text));
    SetTextDirect(text);
}

// ---------------------------------------------------------------------------
// Grid

TGridExtGridDropDown::TGridExtGridDropDown(TExtStringGrid* grid, QWidget* parent) : TGridDropDownWrapper(grid, parent)
{
}

void TGridExtGridDropDown::BeforeProp()
{
    TCustomExtGridDropDown::SetEditorEnabled(true);
    if (TExtStringGrid* inner = InnerGrid()) inner->SetFixedRowAlways(true);
}

void TGridExtGridDropDown::LoadCell(int, int, const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    BeginUpdate();
    EndUpdate();
    if (UseItems()) {
        QString found;
        int index = 0;
        if (!text.isEmpty() && !FindLookupMatch(text, found, index)) index = -1;
        SetItemIndex(index);
    }
    SetTextDirect(text);
}

// ---------------------------------------------------------------------------
// Colour picker

TGridColorDropDown::TGridColorDropDown(TExtStringGrid* grid, QWidget* parent) : TGridDropDownWrapper(grid, parent)
{
    AddDefaultColors();
    OnSelect = [this](TExtColorPickerDropDown*) {
        if (!FLoading && ColorSelect) ColorSelect(SelectedColor(), SelectedColorText());
    };
}

void TGridColorDropDown::LoadCell(int c, int r, const QString&)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    if (!FGrid) return;
    const bool shape = FGrid->GetCellType(c, r) == TCellType::ctShape;
    SetSelectedColor(shape ? FGrid->GetShapeColor(c, r) : FGrid->Colors(c, r));
}

void TGridColorDropDown::StoreValue(int c, int r, const QString& value)
{
    if (!FGrid) return;
    TColor color = SelectedColor();
    QString text = value;
    if (FGrid->OnColorSelected) FGrid->OnColorSelected(FGrid, c, r, color, text);
    FGrid->StoreDropDownText(c, r, text);
    if (FGrid->GetCellType(c, r) == TCellType::ctShape)
        FGrid->SetShapeColor(c, r, color);
    else
        FGrid->SetColors(c, r, color);
}

bool TGridColorDropDown::Handles(int key, bool dropped) const
{
    // While the pop-up is open the arrows move in the palette.
    if (dropped)
        return key == Qt::Key_Tab || key == Qt::Key_Backtab || IsEnter(key) || key == Qt::Key_Escape;
    return key == Qt::Key_Home || TGridDropDownWrapper::Handles(key, dropped);
}

bool TGridColorDropDown::Validates(int key) const
{
    return TGridDropDownWrapper::Validates(key) || key == Qt::Key_Home;
}

// ---------------------------------------------------------------------------
// Image picker

TGridImageDropDown::TGridImageDropDown(TExtStringGrid* grid, QWidget* parent) : TGridDropDownWrapper(grid, parent)
{
    OnSelect = [this](TExtImagePickerDropDown*) {
        if (!FLoading && ImageSelect) ImageSelect(ImageIndex());
    };
}

void TGridImageDropDown::LoadCell(int c, int r, const QString& text)
{
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    FCellText = text;
    FCellType = FGrid ? FGrid->GetCellType(c, r) : TCellType::ctNone;
    if (FCellType != TCellType::ctImageList && FCellType != TCellType::ctDataImage) return;
    SetImages(FGrid->GridImages());
    if (Items().Count() == 0) AddImagesFromImageList();
    int index = -1;
    if (FCellType == TCellType::ctImageList) {
        FGrid->GetImageIdx(c, r, index);
    } else {
        bool ok = false;
        index = text.trimmed().toInt(&ok);
        if (!ok) index = -1;
    }
    SetImageIndex(index);
    const int item = ItemIndex();
    SetTextDirect(item >= 0 ? Items().GetItem(item)->Caption() : QString());
}

QString TGridImageDropDown::CellValue() const
{
    if (FCellType == TCellType::ctDataImage && ItemIndex() >= 0) return QString::number(ImageIndex());
    return FCellText;
}

void TGridImageDropDown::StoreValue(int c, int r, const QString&)
{
    if (!FGrid) return;
    int index = ImageIndex();
    const int chosen = index;
    if (FGrid->OnImageSelected) FGrid->OnImageSelected(FGrid, c, r, index);
    // Nothing chosen and nothing changed by the handler: the cell stays.
    if (ItemIndex() < 0 && index == chosen) return;
    if (FCellType == TCellType::ctImageList)
        FGrid->SetImageIdx(c, r, index);
    else if (FCellType == TCellType::ctDataImage)
        FGrid->StoreDropDownText(c, r, QString::number(index));
}

template class TGridDropDownWrapper<TExtTrackBarDropDown>;
template class TGridDropDownWrapper<TExtMemoDropDown>;
template class TGridDropDownWrapper<TExtCalculatorDropdown>;
template class TGridDropDownWrapper<TExtTimePickerDropDown>;
template class TGridDropDownWrapper<TExtDetailDropDown>;
template class TGridDropDownWrapper<TExtColorPickerDropDown>;
template class TGridDropDownWrapper<TExtMultiColumnDropDown>;
template class TGridDropDownWrapper<TCustomExtGridDropDown>;
template class TGridDropDownWrapper<TExtImagePickerDropDown>;
