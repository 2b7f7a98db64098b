#include "dropdown/ExtCustomGridDropDown.h"

namespace ExtCustomGridDropDown {

TDropDownItems::TItemFactory TDropDownItems::GetItemClass() const
{
    return [] { return std::make_unique<TDropDownItem>(); };
}

void FillFromItems(TBaseGrid& grid, const TDropDownColumns& columns, const TDropDownItems& items)
{
    if (grid.ColCount() != columns.Count()) grid.SetColCount(columns.Count());
    for (int i = 0; i < columns.Count(); ++i) {
        grid.SetCells(i, 0, columns.Items(i).Header);
        grid.SetObjectEx(i, 0, TUserValue(-1));
    }
    if (items.Count() > 0) grid.SetRowCount(grid.FixedRows() + items.Count());
    for (int j = 0; j < items.Count(); ++j) {
        const TDropDownItem& item = items.Items(j);
        for (int i = 0; i < columns.Count(); ++i) grid.SetCells(i, j + 1, item.TextAt(i));
        grid.SetObjectEx(0, j + 1, TUserValue(j));
    }
}

int ItemOfRow(const TBaseGrid& grid, int row)
{
    const int* index = grid.ObjectAs<int>(0, row);
    return index ? *index : -1;
}

} // namespace ExtCustomGridDropDown

#include "platform/GridsWidget.h"

#include <QKeyEvent>

namespace ExtCustomGridDropDown {

using ExtMultiColumnDropDown::FoldLookupCase;
using ExtMultiColumnDropDown::ScrollBarWidth;

// ---- the inner grid ------------------------------------------------------------------

TExtColGrid::TExtColGrid()
{
    SetFixedRowAlways(true);
    SetFixedRows(1);
    SetFixedCols(0);
    SetOptions(Options().Without(goRangeSelect).With(goHorzLine).With(goRowSelect));
    FOldRow = Row();
}

TExtColGrid::~TExtColGrid() = default;

void TExtColGrid::UpdateFromDropDown(TCustomExtGridDropDown* d)
{
    if (!d) return;
    SetDropDown(d);
    FColumns.Assign(d->Columns());
    if (ColCount() < FColumns.Count()) SetColCount(FColumns.Count());
    if (d->UseItems()) SetRowCount(d->Items().Count() + 1);
    for (int i = 0; i < FColumns.Count() && i < ColCount(); ++i) SetColWidths(i, FColumns.Items(i).Width);
    SetHoverRow(d->HoverRow());
    SetHoverRowColor(d->HoverRowColor());
    SetHoverRowColorTo(d->HoverRowColorTo());
    TakeLook(*d);
    TGridOptions o = Options();
    o = d->ColumnSizing() ? o.With(goColSizing) : o.Without(goColSizing);
    o = d->ColumnMoving() ? o.With(goColMoving) : o.Without(goColMoving);
    o = d->RowSizing() ? o.With(goRowSizing) : o.Without(goRowSizing);
    o = d->RowMoving() ? o.With(goRowMoving) : o.Without(goRowMoving);
    SetOptions(o);
    if (d->AutoSizeColumns()) {
        if (d->UseItems())
            AutoSizeFlaggedColumns();
        else
            TExtStringGrid::AutoSizeColumns(true, 4);
    }
    AutoSizeWrappedRows();
}

void TExtColGrid::FillFromItems()
{
    if (!FExtDropDown) return;
    ExtCustomGridDropDown::FillFromItems(*this, FExtDropDown->Columns(), FExtDropDown->Items());
}

int TExtColGrid::GetNaturalWidth() const
{
    int w = 0;
    for (int c = 0; c < ColCount(); ++c) w += ColWidths(c);
    if (VisibleRowCount() + FixedRows() < RowCount()) w += ScrollBarWidth();
    return w;
}

void TExtColGrid::DoSelect()
{
    if (OnSelect) OnSelect(this);
}

void TExtColGrid::KeyDown(int& key, TShiftState shift)
{
    if (ListKeyDown(key, shift)) return;
    if (key == VK_RETURN) {
        key = 0;
        TExtStringGrid::KeyDown(key, shift);
        DoSelect();
        return;
    }
    TExtStringGrid::KeyDown(key, shift);
}

bool TExtColGrid::CharMessage(QChar& key, TShiftState shift, bool keypad)
{
    // Enter never starts a cell editor here.
    if (key == QChar(13)) return true;
    return TExtStringGrid::CharMessage(key, shift, keypad);
}

void TExtColGrid::MouseMove(TShiftState shift, int x, int y)
{
    TExtStringGrid::MouseMove(shift, x, y);
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TExtColGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExtStringGrid::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    int c = -1;
    int r = -1;
    MouseToCell(x, y, c, r);
    if (r < FixedRows() || r >= RowCount() || c < 0) return;
    // A click on a check box changes the box, not the choice.
    if (HasCheckBox(RealColIndex(TDisplCol(c)).Value(), r)) return;
    DoSelect();
}

bool TExtColGrid::WndProc(QEvent& e)
{
    if (e.type() != QEvent::Wheel) return TExtStringGrid::WndProc(e);
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const bool done = TExtStringGrid::WndProc(e);
    FMouseWheelSelection = false;
    return done;
}

// ---- the drop-down ------------------------------------------------------------------------

TCustomExtGridDropDown::TCustomExtGridDropDown(QWidget* parent)
    : TExtListDropDownBase(parent),
      FSearchFooter(std::make_unique<TSearchFooter>(false)),
      FBands(std::make_unique<TBands>()),
      FNavigation(std::make_unique<TNavigation>()),
      FMouseActions(std::make_unique<TMouseActions>())
{
    FNavigation->SetHomeEndKey(heFirstLastRow);
    SetUpList();
}

TCustomExtGridDropDown::~TCustomExtGridDropDown() = default;

std::unique_ptr<TDropDownItems> TCustomExtGridDropDown::CreateItems() { return std::make_unique<TDropDownItems>(); }

TDropDownItems& TCustomExtGridDropDown::Items() const
{
    if (!FItems) FItems = const_cast<TCustomExtGridDropDown*>(this)->CreateItems();
    return *FItems;
}

void TCustomExtGridDropDown::Loaded()
{
    UpdateLookupItems();
    if (FExtColGrid && FUseItems) FExtColGrid->FillFromItems();
}

void TCustomExtGridDropDown::SetStyle(TDropDownStyle value)
{
    FStyle = value;
    SetEditorEnabled(value == dsDropDown);
}

void TCustomExtGridDropDown::SetGridImages(TCustomImageList* value)
{
    FGridImages = value;
    if (FExtColGrid) FExtColGrid->SetGridImages(value);
}

int TCustomExtGridDropDown::GetItemCount() const
{
    if (FUseItems) return Items().Count();
    return FExtColGrid ? FExtColGrid->RowCount() - FExtColGrid->FixedRows() : 0;
}

void TCustomExtGridDropDown::SetTextQuietly(const QString& text)
{
    // An unchanged text keeps the edit's selection.
    if (text == Text()) return;
    FBlockCompletion = true;
    SetText(text);
    FBlockCompletion = false;
}

void TCustomExtGridDropDown::SetItemIndex(int value)
{
    if (FUseItems) {
        if (value >= Items().Count()) return;
        FItemIndex = value;
        SetTextQuietly(ItemLookupText(value));
        return;
    }
    TExtColGrid* g = FExtColGrid.get();
    if (!g) {
        FItemIndex = value;
        return;
    }
    if (value == FItemIndex || value >= g->RowCount()) return;
    FItemIndex = value;
    SetTextQuietly(value < 0 ? QString() : g->Cells(FLookupColumn, value + 1));
}

int TCustomExtGridDropDown::ItemOfRow(int row) const
{
    TExtColGrid* g = FExtColGrid.get();
    if (!g || row >= g->RowCount()) return row;
    return ExtCustomGridDropDown::ItemOfRow(*g, row);
}

int TCustomExtGridDropDown::RowOfItem(int item) const
{
    TExtColGrid* g = FExtColGrid.get();
    if (!g || item < 0) return FItemIndex;
    for (int r = g->FixedRows(); r < g->RowCount(); ++r) {
        const int* tag = g->ObjectAs<int>(0, r);
        if (tag && *tag == item) return r;
    }
    return FItemIndex;
}

bool TCustomExtGridDropDown::FindLookupMatch(const QString& s, QString& text, int& index) const
{
    text.clear();
    index = -1;
    TExtColGrid* g = FExtColGrid.get();
    if (s.isEmpty() || !g) return false;
    const QString key = FoldLookupCase(s, FCaseSensitive);
    if (FUseItems) return FindItemMatch(key, text, index);
    for (int r = g->FixedRows(); r < g->RowCount(); ++r) {
        const QString cell = g->Cells(FLookupColumn, r);
        if (FoldLookupCase(cell, FCaseSensitive).startsWith(key)) {
            text = cell;
            index = r;
            return true;
        }
    }
    return false;
}

int TCustomExtGridDropDown::LookupKey(QChar key)
{
    if (FLookupMethod == lmNone) return -1;
    if (LookupEntryKey(key)) return -1;
    TExtColGrid* g = FExtColGrid.get();
    const QString e = FLookupEntry.trimmed();
    const int typed = int(FLookupEntry.size());
    auto selectAfterTyped = [this, typed](const QString& text) {
        const int n = std::min<int>(typed, int(text.size()));
        setSelection(n, int(text.size()) - n);
    };
    if (FLookupMethod == lmNarrowDown) {
        if (!g) return -1;
        if (e.isEmpty()) {
            g->RemoveAllFilters();
        } else {
            g->SetFixedRowAlways(true);
            g->NarrowDown(e, FLookupColumn);
            if (FStyle == dsDropDown && g->RowCount() > g->FixedRows()) {
                const QString text = g->Cells(FLookupColumn, g->FixedRows());
                SetTextQuietly(text);
                selectAfterTyped(text);
            }
        }
        return g->FixedRows();
    }
    QString text;
    int index = -1;
    if (FindLookupMatch(e, text, index)) {
        FItemIndex = index;
        SetTextQuietly(text);
        if (FStyle == dsDropDown) selectAfterTyped(text);
        return index;
    }
    if (FStyle == dsDropDown) return -1;
    return LookupSingleKey(key);
}

// ---- typing in the edit ---------------------------------------------------------------------

bool TCustomExtGridDropDown::GridEditing() const
{
    TExtColGrid* g = FExtColGrid.get();
    return g && g->HasOption(goEditing) && g->EditMode();
}

void TCustomExtGridDropDown::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    TExtColGrid* g = FExtColGrid.get();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(shift & Qt::ShiftModifier) && GridEditing()) {
        g->HideInplaceEdit();
        SetTextQuietly(g->Cells(FLookupColumn, g->Row()));
        SetItemIndex(g->Row() - g->FixedRows());
        key = 0;
        return;
    }
    TExtListDropDownBase::KeyDown(key, shift);
}

void TCustomExtGridDropDown::CompletionKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: FLookupEntry.clear(); break;
    default: break;
    }
}

void TCustomExtGridDropDown::KeyUp(int& key, Qt::KeyboardModifiers shift)
{
    TExtColGrid* g = FExtColGrid.get();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(shift & Qt::ShiftModifier) && GridEditing()) {
        if (g->RealCol() == FLookupColumn)
            DoHideDropDown(false);
        else
            g->HideInplaceEdit();
    }
    TExtListDropDownBase::KeyUp(key, shift);
}

void TCustomExtGridDropDown::EditChar(QChar key)
{
    LookupKey(key);
    if (FAutoShowDropDown && !DroppedDown()) DoShowDropDown();
}

void TCustomExtGridDropDown::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && FExtColGrid) FExtColGrid->SetConfirmSelection(true);
    TExtListDropDownBase::keyPressEvent(event);
    // The character step: the search follows what the edit took.
    QChar c;
    if (key == Qt::Key_Backspace)
        c = QChar(8);
    else if (!(mods & Qt::ControlModifier) && !event->text().isEmpty() && event->text()[0].isPrint())
        c = event->text()[0];
    if (!c.isNull()) EditChar(c);
}

void TCustomExtGridDropDown::focusInEvent(QFocusEvent* event)
{
    TExtCustomDropDown::focusInEvent(event);
    DoEnter();
}

void TCustomExtGridDropDown::DoEnter()
{
    if (FExtColGrid) FExtColGrid->RemoveAllFilters();
    FLookupEntry.clear();
}

bool TCustomExtGridDropDown::WMKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && FExtColGrid) FExtColGrid->SetConfirmSelection(true);
    return TExtListDropDownBase::WMKeyDown(key, shift);
}

bool TCustomExtGridDropDown::HomeEndSelects(Qt::KeyboardModifiers shift) const
{
    return !(shift & Qt::ShiftModifier) && FStyle == dsDropDownList;
}

// ---- the pop-up -----------------------------------------------------------------------------

void TCustomExtGridDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (FExtColGrid || !DropDownForm()) return;
    FExtColGrid = std::make_unique<TExtColGrid>();
    TGridWidget* w = FExtColGrid->CreateWnd(DropDownForm());
    w->setFrameShape(QFrame::NoFrame);
    FExtColGrid->SetDropDown(this);
    w->setGeometry(0, 0, w->width(), 180);
    FExtColGrid->Color = DropDownColor();
    FExtColGrid->Navigation().SetHomeEndKey(heFirstLastRow);
}

void TCustomExtGridDropDown::BindGridEvents()
{
    TExtColGrid* g = FExtColGrid.get();
    g->OnEndBlockFocus = [this](TExtStringGrid*) {
        if (DropDownForm()) DropDownForm()->FBlockActivate = false;
    };
    g->OnSelect = [this](TExtColGrid*) { GridSelect(); };
    g->OnAnchorClick = [this](TExtStringGrid* s, int r, int c, const QString& a, bool& h) { DoGridAnchorClick(s, r, c, a, h); };
    g->OnAnchorEnter = [this](TExtStringGrid* s, int r, int c, const QString& a) { DoGridAnchorEnter(s, r, c, a); };
    g->OnAnchorExit = [this](TExtStringGrid* s, int r, int c, const QString& a) { DoGridAnchorExit(s, r, c, a); };
    g->OnAnchorHint = [this](TExtStringGrid* s, int r, int c, QString& a) { DoGridAnchorHint(s, r, c, a); };
    g->OnButtonClick = [this](TExtStringGrid* s, int c, int r) { DoGridButtonClick(s, c, r); };
    g->OnColumnSize = [this](TExtStringGrid* s, int c, bool& a) { DoGridColumnSize(s, c, a); };
    g->OnColumnSizing = [this](TExtStringGrid* s, int c, int w) { DoGridColumnSizing(s, c, w); };
    g->OnEndColumnSize = [this](TExtStringGrid* s, int c) { DoGridEndColumnSize(s, c); };
    g->OnRowSize = [this](TExtStringGrid* s, int r, bool& a) { DoGridRowSize(s, r, a); };
    g->OnRowSizing = [this](TExtStringGrid* s, int r, int h) { DoGridRowSizing(s, r, h); };
    g->OnEndRowSize = [this](TExtStringGrid* s, int r) { DoGridEndRowSize(s, r); };
    g->OnRowMoved = [this](TExtStringGrid* s, int from, int to) { DoGridRowMoved(s, from, to); };
    if (OnGridCustomCellDraw)
        g->OnCustomCellDraw = [this](TExtStringGrid* s, TCanvas& cv, int c, int r, TGridDrawState st, const TRect& rc, bool p) {
            DoGridCustomCellDraw(s, cv, c, r, st, rc, p);
        };
    else
        g->OnCustomCellDraw = nullptr;
    if (OnGridCustomCellBkgDraw)
        g->OnCustomCellBkgDraw = [this](TExtStringGrid* s, TCanvas& cv, int c, int r, TGridDrawState st, const TRect& rc,
                                        bool p) { DoGridCustomCellBkgDraw(s, cv, c, r, st, rc, p); };
    else
        g->OnCustomCellBkgDraw = nullptr;
    g->OnGetAlignment = [this](TExtStringGrid* s, int r, int c, TAlignment& ha, TVAlignment& va) { DoGridGetAlignment(s, r, c, ha, va); };
    g->OnGetCellColor = [this](TExtStringGrid* s, int r, int c, TGridDrawState st, TCellBrush& b, TCellFont& f) {
        DoGridGetCellColor(s, r, c, st, b, f);
    };
    g->OnGetCellGradient = [this](TExtStringGrid* s, int r, int c, TColor& a, TColor& b, TColor& m, TColor& mt,
                                  TCellGradientDirection& d) { DoGridGetCellGradient(s, r, c, a, b, m, mt, d); };
    g->OnGetFloatFormat = [this](TExtStringGrid* s, int c, int r, bool& f, QString& fmt) { DoGridGetFloatFormat(s, c, r, f, fmt); };
    g->OnGetEditorType = [this](TExtStringGrid* s, int c, int r, TEditorType& e) { DoGridGetEditorType(s, c, r, e); };
    g->OnGetEditorPropInt = [this](TExtStringGrid* s, int c, int r) { DoGridGetEditorProp(s, c, r); };
    g->OnCanEditCell = [this](TExtStringGrid* s, int r, int c, bool& e) { DoGridCanEditCell(s, r, c, e); };
    g->OnEllipsClick = [this](TExtStringGrid* s, int c, int r, QString& v) { DoGridEllipsClick(s, c, r, v); };
    g->OnGetDisplText = [this](TBaseGrid* s, int c, int r, QString& v) { DoGridGetDisplText(s, c, r, v); };
    g->OnGetFormat = [this](TExtStringGrid* s, int c, TSortStyle& st, QString& p, QString& x) { DoGridGetFormat(s, c, st, p, x); };
    g->OnGridHint = [this](TExtStringGrid* s, int r, int c, QString& h) { DoGridHint(s, r, c, h); };
    g->OnMouseMove = [this](TExtColGrid* s, TShiftState sh, int x, int y) { DoGridMouseMove(s, sh, x, y); };
    g->OnMouseDown = [this, g](TCustomGrid*, TMouseButton b, TShiftState sh, int x, int y) { DoGridMouseDown(g, b, sh, x, y); };
    g->OnMouseUp = [this, g](TCustomGrid*, TMouseButton b, TShiftState sh, int x, int y) { DoGridMouseUp(g, b, sh, x, y); };
    g->OnRightClickCell = [this](TExtStringGrid* s, int r, int c) { DoGridRightClickCell(s, r, c); };
    g->OnScrollHint = [this](TExtStringGrid* s, int r, QString& h) { DoGridScrollHint(s, r, h); };
    g->OnTopLeftChanged = [this](TCustomGrid*) { DoGridTopLeftChanged(); };
    g->OnSearchEditChange = [this](TExtStringGrid* s, const QString& v, bool& d) { DoGridSearchEditChange(s, v, d); };
    g->OnAutoAddRow = [this](TExtStringGrid* s, int r) { DoGridAutoAddRow(s, r); };
    g->OnAutoInsertRow = [this](TExtStringGrid* s, int r) { DoGridAutoInsertRow(s, r); };
    g->OnAutoDeleteRow = [this](TExtStringGrid* s, int r) { DoGridAutoDeleteRow(s, r); };
    g->OnCanAddRow = [this](TExtStringGrid* s, bool& a) { DoGridCanAddRow(s, a); };
    g->OnCanInsertRow = [this](TExtStringGrid* s, int r, bool& a) { DoGridCanInsertRow(s, r, a); };
    g->OnCanDeleteRow = [this](TExtStringGrid* s, int r, bool& a) { DoGridCanDeleteRow(s, r, a); };
    g->OnCheckBoxClick = [this](TExtStringGrid* s, int c, int r, bool st) { DoGridCheckBoxClick(s, c, r, st); };
    g->OnCanSort = [this](TExtStringGrid*, int, bool&) { GridCanSort(); };
    g->OnClickSort = [this](TExtStringGrid*, int) { GridClickSort(); };
    g->OnSelectCell = [this](TCustomGrid*, int, int row, bool&) { GridSelectCell(row); };
}

void TCustomExtGridDropDown::BeforeDropDown()
{
    if (DropDownForm()) DropDownForm()->FCancelOnDeActivate = false;
    TExtColGrid* g = FExtColGrid.get();
    if (g) {
        g->UpdateFromDropDown(this);
        g->Color = DropDownColor();
        g->SortSettings().SetShow(false);
        g->SortSettings().SetIndexShow(false);
        if (FSorting == gsSingleColumn) g->SortSettings().SetShow(true);
        if (FSorting == gsMultiColumn) {
            g->SortSettings().SetShow(true);
            g->SortSettings().SetIndexShow(true);
        }
        FBalloonInit = false;
        BindGridEvents();
        g->SearchFooter().Assign(*FSearchFooter);
        g->MouseActions().Assign(*FMouseActions);
        g->Navigation().Assign(*FNavigation);
        g->Bands().Assign(*FBands);
        TGridOptions o = g->Options().With(goThumbTracking);
        o = FRowSelect ? o.With(goRowSelect) : o.Without(goRowSelect);
        o = FGridEditable ? o.With(goEditing) : o.Without(goEditing);
        g->SetOptions(o);
        g->SetGridImages(FGridImages.get());
        g->SetComponentStyle(GetComponentStyle());
        if (FUseItems) {
            TExtCustomDropDown::BeforeDropDown();
            g->SetRowCount(Items().Count() + 1);
            g->SetFixedRows(1);
            g->FillFromItems();
            const int r = RowOfItem(FItemIndex);
            if (r >= g->FixedRows() && r < g->RowCount()) g->SetRow(r);
        } else {
            QString text;
            int row = -1;
            if (!FindLookupMatch(Text(), text, row)) row = g->FixedRows();
            if (row < g->RowCount()) g->SetRow(row);
        }
        if (g->SortSettings().Column() >= 0 && g->SortSettings().Show()) g->QSort();
    } else if (FUseItems) {
        TExtCustomDropDown::BeforeDropDown();
    }
    FOldItemIndex = FItemIndex;
    if (!FUseItems) TExtCustomDropDown::BeforeDropDown();
}

void TCustomExtGridDropDown::AdaptDropDownHeight(int& height)
{
    // Whole data rows, with 6 pixels below them where the list has 2.
    TExtListDropDownBase::AdaptDropDownHeight(height);
    height += 4;
}

void TCustomExtGridDropDown::DoShowDropDown()
{
    TExtCustomDropDown::DoShowDropDown();
    TExtColGrid* g = FExtColGrid.get();
    if (!g) return;
    if (!FUseItems)
        while (FColumns.Count() < g->ColCount()) FColumns.Add();
    if (DroppedDown()) {
        // The grid's client size follows the window that was just placed.
        if (auto* area = dynamic_cast<TGridWidget*>(g->Widget()))
            g->SetClientSize(area->viewport()->width(), area->viewport()->height());
        SizeColumnsToDropDown();
    }
    if (g->VisibleRowCount() + g->FixedRows() < g->RowCount()) {
        if (g->Row() > g->TopRow() + g->VisibleRowCount() || g->Row() < g->TopRow()) g->SetTopRow(g->Row());
    }
    FSelRow = g->Row();
    if (DroppedDown()) {
        g->Widget()->setFocusPolicy(Qt::StrongFocus);
        g->Widget()->setFocus();
    }
}

// ---- choosing ---------------------------------------------------------------------------------

void TCustomExtGridDropDown::GridSelectCell(int row)
{
    FSelRow = row;
    TExtColGrid* g = FExtColGrid.get();
    if (g && g->MouseWheelSelection()) return;
    if (FUseItems) {
        SetItemIndex(ItemOfRow(row));
    } else if (g) {
        SetTextQuietly(g->Cells(FLookupColumn, row));
        SetItemIndex(row - g->FixedRows());
    }
}

void TCustomExtGridDropDown::GridSelect()
{
    TExtColGrid* g = FExtColGrid.get();
    if (g && g->ConfirmSelection()) SetItemIndex(FUseItems ? ItemOfRow(g->Row()) : g->Row() - 1);
    if (!FGridEditable) DoHideDropDown(false);
    if (OnSelect) OnSelect(this);
}

void TCustomExtGridDropDown::GridCanSort() { FTempItemIndex = FItemIndex; }

void TCustomExtGridDropDown::GridClickSort()
{
    TExtColGrid* g = FExtColGrid.get();
    if (!g) return;
    const int r = RowOfItem(FTempItemIndex);
    if (r >= 0 && r < g->RowCount()) g->SetRow(r);
}

void TCustomExtGridDropDown::DoHideDropDown(bool cancel)
{
    TExtColGrid* g = FExtColGrid.get();
    if (DropDownForm() && DropDownForm()->isVisible()) {
        if (cancel) {
            SetItemIndex(FOldItemIndex);
        } else if (g && g->ConfirmSelection()) {
            SetItemIndex(FUseItems ? ItemOfRow(FSelRow) : FSelRow - g->FixedRows());
        }
        FOldItemIndex = FItemIndex;
        if (g) g->SetConfirmSelection(false);
    }
    TExtCustomDropDown::DoHideDropDown(cancel);
}

// ---- keys in the open grid ----------------------------------------------------------------------

namespace {
bool StaysInGrid(int key, Qt::KeyboardModifiers shift)
{
    return !(shift & Qt::AltModifier) && ExtMultiColumnDropDown::IsNavigationKey(key);
}
} // namespace

void TCustomExtGridDropDown::ControlKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (!StaysInGrid(key, shift)) TExtCustomDropDown::ControlKeyDown(key, shift);
    DoGridKeyDown(key, shift);
}

void TCustomExtGridDropDown::ControlKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (StaysInGrid(key, shift))
        FLookupEntry.clear();
    else
        TExtCustomDropDown::ControlKeyUp(key, shift);
    DoGridKeyUp(key, shift);
}

void TCustomExtGridDropDown::ControlKeyPress(QChar& key)
{
    TExtColGrid* g = FExtColGrid.get();
    if ((g && g->HasOption(goEditing)) || key == QChar(13) || key == QChar(27)) {
        FLookupEntry.clear();
    } else {
        const int a = LookupKey(key);
        int r = a;
        if (a >= 0 && FLookupMethod == lmLookup && FUseItems) r = RowOfItem(a);
        if (g && r >= g->FixedRows() && r < g->RowCount()) {
            if (g->VisibleRowCount() + g->FixedRows() < g->RowCount()) g->SetTopRow(r);
            // The row is chosen also when it is current already: a filter
            // may have brought another item into it.
            const bool current = g->Row() == r;
            g->SetRow(r);
            g->SetCol(0);
            if (current) GridSelectCell(r);
            g->RepaintRow(r);
        } else {
            FLookupEntry.clear();
        }
    }
    DoGridKeyPress(key);
}

// ---- styles -------------------------------------------------------------------------------------

void TCustomExtGridDropDown::SetComponentStyle(TStudioStyle style)
{
    // The Office 2010 styles leave the drop-down's own colours as they are.
    if (style == tsOffice2010Blue || style == tsOffice2010Silver || style == tsOffice2010Black)
        TExtCustomDropDown::SetComponentStyle(style);
    else
        TExtListDropDownBase::SetComponentStyle(style);
}

// ---- the forwarded events ---------------------------------------------------------------------------

template <typename F>
void TCustomExtGridDropDown::Blocked(F&& call)
{
    if (DropDownForm()) DropDownForm()->FBlockActivate = true;
    call();
    if (DropDownForm()) DropDownForm()->FBlockActivate = false;
}

void TCustomExtGridDropDown::DoGridAnchorClick(TExtStringGrid* s, int r, int c, const QString& a, bool& h)
{
    if (OnGridAnchorClick) Blocked([&] { OnGridAnchorClick(s, r, c, a, h); });
}
void TCustomExtGridDropDown::DoGridAnchorEnter(TExtStringGrid* s, int r, int c, const QString& a)
{
    if (OnGridAnchorEnter) OnGridAnchorEnter(s, r, c, a);
}
void TCustomExtGridDropDown::DoGridAnchorExit(TExtStringGrid* s, int r, int c, const QString& a)
{
    if (OnGridAnchorExit) OnGridAnchorExit(s, r, c, a);
}
void TCustomExtGridDropDown::DoGridAnchorHint(TExtStringGrid* s, int r, int c, QString& a)
{
    if (OnGridAnchorHint) OnGridAnchorHint(s, r, c, a);
}
void TCustomExtGridDropDown::DoGridButtonClick(TExtStringGrid* s, int c, int r)
{
    if (OnGridButtonClick) Blocked([&] { OnGridButtonClick(s, c, r); });
}
void TCustomExtGridDropDown::DoGridColumnSize(TExtStringGrid* s, int c, bool& a)
{
    if (OnGridColumnSize) OnGridColumnSize(s, c, a);
}
void TCustomExtGridDropDown::DoGridColumnSizing(TExtStringGrid* s, int c, int w)
{
    if (OnGridColumnSizing) OnGridColumnSizing(s, c, w);
}
void TCustomExtGridDropDown::DoGridEndColumnSize(TExtStringGrid* s, int c)
{
    if (OnGridEndColumnSize) OnGridEndColumnSize(s, c);
}
void TCustomExtGridDropDown::DoGridRowSize(TExtStringGrid* s, int r, bool& a)
{
    if (OnGridRowSize) OnGridRowSize(s, r, a);
}
void TCustomExtGridDropDown::DoGridRowSizing(TExtStringGrid* s, int r, int h)
{
    if (OnGridRowSizing) OnGridRowSizing(s, r, h);
}
void TCustomExtGridDropDown::DoGridEndRowSize(TExtStringGrid* s, int r)
{
    if (OnGridEndRowSize) OnGridEndRowSize(s, r);
}
void TCustomExtGridDropDown::DoGridRowMove(TExtStringGrid* s, int r, bool& a)
{
    if (OnGridRowMove) OnGridRowMove(s, r, a);
}
void TCustomExtGridDropDown::DoGridRowMoving(TExtStringGrid* s, int r, bool& a)
{
    if (OnGridRowMoving) OnGridRowMoving(s, r, a);
}
void TCustomExtGridDropDown::DoGridRowMoved(TExtStringGrid* s, int from, int to)
{
    if (OnGridRowMoved) OnGridRowMoved(s, from, to);
}
void TCustomExtGridDropDown::DoGridColumnMove(TExtStringGrid* s, int c, bool& a)
{
    if (OnGridColumnMove) OnGridColumnMove(s, c, a);
}
void TCustomExtGridDropDown::DoGridColumnMoving(TExtStringGrid* s, int c, bool& a)
{
    if (OnGridColumnMoving) OnGridColumnMoving(s, c, a);
}
void TCustomExtGridDropDown::DoGridColumnMoved(TExtStringGrid* s, int from, int to)
{
    if (OnGridColumnMoved) OnGridColumnMoved(s, from, to);
}
void TCustomExtGridDropDown::DoGridCustomCellDraw(TExtStringGrid* s, TCanvas& cv, int c, int r, TGridDrawState st,
                                                  const TRect& rc, bool p)
{
    if (OnGridCustomCellDraw) OnGridCustomCellDraw(s, cv, c, r, st, rc, p);
}
void TCustomExtGridDropDown::DoGridCustomCellBkgDraw(TExtStringGrid* s, TCanvas& cv, int c, int r, TGridDrawState st,
                                                     const TRect& rc, bool p)
{
    if (OnGridCustomCellBkgDraw) OnGridCustomCellBkgDraw(s, cv, c, r, st, rc, p);
}
void TCustomExtGridDropDown::DoGridCellBalloon(TExtStringGrid* s, int c, int r, QString& t, QString& x, TBalloonIcon& i)
{
    if (OnGridCellBalloon) OnGridCellBalloon(s, c, r, t, x, i);
}
void TCustomExtGridDropDown::DoGridGetAlignment(TExtStringGrid* s, int r, int c, TAlignment& ha, TVAlignment& va)
{
    // The column's alignment is the grid's unless the application says
    // otherwise.
    if (c >= 0 && c < FColumns.Count()) ha = FColumns.Items(c).Alignment;
    if (OnGridGetAlignment) OnGridGetAlignment(s, r, c, ha, va);
}
void TCustomExtGridDropDown::DoGridGetCellColor(TExtStringGrid* s, int r, int c, TGridDrawState st, TCellBrush& b,
                                                TCellFont& f)
{
    if (c >= 0 && c < FColumns.Count()) b.Color = FColumns.Items(c).Color;
    if (OnGridGetCellColor) OnGridGetCellColor(s, r, c, st, b, f);
}
void TCustomExtGridDropDown::DoGridGetCellGradient(TExtStringGrid* s, int r, int c, TColor& a, TColor& b, TColor& m,
                                                   TColor& mt, TCellGradientDirection& d)
{
    if (OnGridGetCellGradient) OnGridGetCellGradient(s, r, c, a, b, m, mt, d);
}
void TCustomExtGridDropDown::DoGridGetFloatFormat(TExtStringGrid* s, int c, int r, bool& isFloat, QString& format)
{
    format.clear();
    if (OnGridGetFloatFormat) OnGridGetFloatFormat(s, c, r, isFloat, format);
}
void TCustomExtGridDropDown::DoGridGetEditorType(TExtStringGrid* s, int c, int r, TEditorType& e)
{
    if (OnGridGetEditorType) OnGridGetEditorType(s, c, r, e);
}
void TCustomExtGridDropDown::DoGridGetEditorProp(TExtStringGrid* s, int c, int r)
{
    if (OnGridGetEditorProp) OnGridGetEditorProp(s, c, r);
}
void TCustomExtGridDropDown::DoGridCanEditCell(TExtStringGrid* s, int r, int c, bool& e)
{
    if (OnGridCanEditCell) OnGridCanEditCell(s, r, c, e);
}
void TCustomExtGridDropDown::DoGridEllipsClick(TExtStringGrid* s, int c, int r, QString& v)
{
    if (OnGridEllipsClick) Blocked([&] { OnGridEllipsClick(s, c, r, v); });
}
void TCustomExtGridDropDown::DoGridGetDisplText(TBaseGrid* s, int c, int r, QString& v)
{
    if (OnGridGetDiplText) OnGridGetDiplText(s, c, r, v);
}
void TCustomExtGridDropDown::DoGridGetFormat(TExtStringGrid* s, int c, TSortStyle& st, QString& p, QString& x)
{
    if (OnGridGetFormat) OnGridGetFormat(s, c, st, p, x);
}
void TCustomExtGridDropDown::DoGridHint(TExtStringGrid* s, int r, int c, QString& h)
{
    if (OnGridHint) OnGridHint(s, r, c, h);
}
void TCustomExtGridDropDown::DoGridMouseMove(TExtStringGrid* s, TShiftState sh, int x, int y)
{
    // The balloons are re-armed for the new content on the first move after
    // an opening.
    if (!FBalloonInit && FExtColGrid && FExtColGrid->Balloon().Enable()) {
        FExtColGrid->Balloon().SetEnable(false);
        FExtColGrid->Balloon().SetEnable(true);
        FBalloonInit = true;
    }
    if (OnGridMouseMove) OnGridMouseMove(s, sh, x, y);
}
void TCustomExtGridDropDown::DoGridMouseDown(TExtStringGrid* s, TMouseButton b, TShiftState sh, int x, int y)
{
    if (OnGridMouseDown) OnGridMouseDown(s, b, sh, x, y);
}
void TCustomExtGridDropDown::DoGridMouseUp(TExtStringGrid* s, TMouseButton b, TShiftState sh, int x, int y)
{
    if (OnGridMouseUp) OnGridMouseUp(s, b, sh, x, y);
}
void TCustomExtGridDropDown::DoGridKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (OnGridKeyDown) OnGridKeyDown(this, key, shift);
}
void TCustomExtGridDropDown::DoGridKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    if (OnGridKeyUp) OnGridKeyUp(this, key, shift);
}
void TCustomExtGridDropDown::DoGridKeyPress(QChar& key)
{
    if (OnGridKeyPress) OnGridKeyPress(this, key);
}
void TCustomExtGridDropDown::DoGridRightClickCell(TExtStringGrid* s, int r, int c)
{
    if (OnGridRightClickCell) OnGridRightClickCell(s, r, c);
}
void TCustomExtGridDropDown::DoGridScrollHint(TExtStringGrid* s, int r, QString& h)
{
    if (OnGridScrollHint) OnGridScrollHint(s, r, h);
}
void TCustomExtGridDropDown::DoGridTopLeftChanged()
{
    if (OnGridTopLeftChanged) OnGridTopLeftChanged(this);
}
void TCustomExtGridDropDown::DoGridSearchEditChange(TExtStringGrid* s, const QString& v, bool& d)
{
    if (OnGridSearchEditChange) OnGridSearchEditChange(s, v, d);
}
void TCustomExtGridDropDown::DoGridAutoAddRow(TExtStringGrid* s, int r)
{
    if (OnGridAutoAddRow) OnGridAutoAddRow(s, r);
}
void TCustomExtGridDropDown::DoGridAutoInsertRow(TExtStringGrid* s, int r)
{
    if (OnGridInsertRow) OnGridInsertRow(s, r);
}
void TCustomExtGridDropDown::DoGridAutoInsertCol(TExtStringGrid* s, int c)
{
    if (OnGridInsertCol) OnGridInsertCol(s, c);
}
void TCustomExtGridDropDown::DoGridAutoDeleteRow(TExtStringGrid* s, int r)
{
    if (OnGridDeleteRow) OnGridDeleteRow(s, r);
}
void TCustomExtGridDropDown::DoGridCanAddRow(TExtStringGrid* s, bool& a)
{
    if (OnGridCanAddRow) OnGridCanAddRow(s, a);
}
void TCustomExtGridDropDown::DoGridCanInsertRow(TExtStringGrid* s, int r, bool& a)
{
    if (OnGridCanInsertRow) OnGridCanInsertRow(s, r, a);
}
void TCustomExtGridDropDown::DoGridCanDeleteRow(TExtStringGrid* s, int r, bool& a)
{
    if (OnGridCanDeleteRow) OnGridCanDeleteRow(s, r, a);
}
void TCustomExtGridDropDown::DoGridCheckBoxClick(TExtStringGrid* s, int c, int r, bool st)
{
    if (OnGridCheckBoxClick) OnGridCheckBoxClick(s, c, r, st);
}

} // namespace ExtCustomGridDropDown
