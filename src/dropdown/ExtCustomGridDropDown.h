#pragma once
// The grid drop-down: a drop-down edit whose pop-up holds a full string grid
// (sorting, hover rows, search footer, bands, editing). In item mode the
// drop-down owns columns and items and fills its grid from them at every
// opening; in grid mode the application fills the grid and the drop-down
// only looks rows up in it. Typing either jumps to the first row that starts
// with the typed text or narrows the grid down to the rows that contain it.
//
// The column and item classes have the names and the content of the
// multi-column drop-down's but are this unit's own, in the namespace
// ExtCustomGridDropDown; the item collection lets a subclass choose the
// class of its items.
#include "controls/BaseGrid.h"
#include "controls/ExtObjSettings.h"
#include "dropdown/ExtMultiColumnDropDown.h"
#include "grid/ExtGrid.h"

#include <functional>
#include <memory>

namespace ExtCustomGridDropDown {

using ExtMultiColumnDropDown::TColumnType;

// One column of the inner grid.
class TDropDownColumn : public ExtMultiColumnDropDown::TDropDownColumnSettings {
public:
    void Assign(const TDropDownColumn& source) { TDropDownColumnSettings::operator=(source); }
};

class TDropDownColumns : public ExtMultiColumnDropDown::TDropDownCollection<TDropDownColumn> {};

// One row of the inner grid in item mode.
class TDropDownItem : public ExtMultiColumnDropDown::TDropDownItemSettings {
public:
    virtual ~TDropDownItem() = default;
    virtual void Assign(const TDropDownItem& source) { TDropDownItemSettings::operator=(source); }
};

class TDropDownItems : public ExtMultiColumnDropDown::TDropDownCollection<TDropDownItem> {
public:
    using TItemFactory = std::function<std::unique_ptr<TDropDownItem>()>;
    // The class of the items the collection makes: this unit's item unless a
    // subclass answers its own.
    virtual TItemFactory GetItemClass() const;

protected:
    std::unique_ptr<TDropDownItem> NewItem() const override { return GetItemClass()(); }
};

// Item mode's filling of the inner grid: the column headers in row 0 with
// the object -1, then one row per item, its strings in the columns (empty
// where the item has none) and its index as a plain integer in the object
// of column 0, so that a row finds its item after sorting or filtering.
// The column count follows the columns; the row count the items, when
// there are any.
void FillFromItems(TBaseGrid& grid, const TDropDownColumns& columns, const TDropDownItems& items);
// The item a row of a filled grid shows (the integer in column 0), -1 for
// none.
int ItemOfRow(const TBaseGrid& grid, int row);

enum TLookupMethod { lmLookup, lmNarrowDown, lmNone };
enum TDropDownStyle { dsDropDown, dsDropDownList };
enum TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };

class TCustomExtGridDropDown;

// The grid in the pop-up. It paints as a string grid; it fills its cells
// from the drop-down's columns and items, sizes columns and rows, and
// reports the user's choice.
class TExtColGrid
    : public ExtMultiColumnDropDown::TColumnListGrid<TExtStringGrid, TCustomExtGridDropDown, TDropDownColumns> {
public:
    TExtColGrid();
    ~TExtColGrid() override;

    // Takes the drop-down's look and layout (nothing without one).
    void UpdateFromDropDown(TCustomExtGridDropDown* dropDown);
    // Item mode: the header row from the columns, one row per item, each
    // row tagged with its item index (nothing without a drop-down).
    void FillFromItems();
    // The width that shows every column whole.
    int GetNaturalWidth() const;

    // Besides a key or mouse press in the grid, Enter in the edit confirms
    // the selection; the closing clears it.
    void SetConfirmSelection(bool value) { FConfirmSelection = value; }

    // Raised by Enter and by a left-button release over a data cell
    // without a check box.
    std::function<void(TExtColGrid* sender)> OnSelect;
    // The pointer moved over the grid.
    std::function<void(TExtColGrid* sender, TShiftState shift, int x, int y)> OnMouseMove;

    void KeyDown(int& key, TShiftState shift) override;
    bool CharMessage(QChar& key, TShiftState shift, bool keypad) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The string grid's own wheel steps come through here as well.
    bool WndProc(QEvent& e) override;

protected:
    virtual void DoSelect();
};

class TCustomExtGridDropDown : public ExtMultiColumnDropDown::TExtListDropDownBase {
public:
    explicit TCustomExtGridDropDown(QWidget* parent = nullptr);
    ~TCustomExtGridDropDown() override;

    int GetVersionNr() const override { return 0x06000101; }

    // -- content --------------------------------------------------------------
    // The collection is made by CreateItems on first use, so that a
    // subclass's override makes it.
    TDropDownItems& Items() const;
    void SetItems(const TDropDownItems& value) { Items().Assign(value); }
    TDropDownColumns& Columns() { return FColumns; }
    const TDropDownColumns& Columns() const { return FColumns; }
    void SetColumns(const TDropDownColumns& value) { FColumns.Assign(value); }
    // Item mode: ignored at or past the item count, else the text becomes
    // the item's lookup text (empty for -1). Grid mode: ignored when equal
    // to the current value or at or past the grid's row count; else the
    // text becomes the lookup cell of that data row (empty for -1).
    void SetItemIndex(int value) override;
    // Item mode the item count; grid mode the grid's data rows.
    int GetItemCount() const;
    TExtColGrid* GetGrid() const { return FExtColGrid.get(); }
    // The first item (item mode) or data row (grid mode) whose lookup text
    // starts with `s`; false, empty and -1 when none (and always without
    // the grid). The index is the item's, or in grid mode the row number.
    bool FindLookupMatch(const QString& s, QString& text, int& index) const override;
    // One character typed for the search: the item or row it finds, or -1.
    int LookupKey(QChar key);
    // The item a row of the grid shows (its tag in column 0); r itself at
    // or past the row count.
    int ItemOfRow(int row) const;
    // The first data row tagged with item i; the current ItemIndex without
    // the grid, for a negative i or when no row holds it.
    int RowOfItem(int item) const;
    void Loaded();

    // -- settings -------------------------------------------------------------
    bool UseItems() const { return FUseItems; }
    void SetUseItems(bool value) { FUseItems = value; }
    TLookupMethod LookupMethod() const { return FLookupMethod; }
    void SetLookupMethod(TLookupMethod value) { FLookupMethod = value; }
    TDropDownStyle Style() const { return FStyle; }
    // dsDropDownList turns free typing off; typed characters still search.
    void SetStyle(TDropDownStyle value);
    TGridSorting Sorting() const { return FSorting; }
    void SetSorting(TGridSorting value) { FSorting = value; }
    bool GridEditable() const { return FGridEditable; }
    void SetGridEditable(bool value) { FGridEditable = value; }
    TCustomImageList* GridImages() const { return FGridImages.get(); }
    void SetGridImages(TCustomImageList* value);
    bool AutoShowDropDown() const { return FAutoShowDropDown; }
    void SetAutoShowDropDown(bool value) { FAutoShowDropDown = value; }
    bool AutoSizeColumns() const { return FAutoSizeColumns; }
    void SetAutoSizeColumns(bool value) { FAutoSizeColumns = value; }
    bool ColumnMoving() const { return FColumnMoving; }
    void SetColumnMoving(bool value) { FColumnMoving = value; }
    bool RowSizing() const { return FRowSizing; }
    void SetRowSizing(bool value) { FRowSizing = value; }
    bool RowMoving() const { return FRowMoving; }
    void SetRowMoving(bool value) { FRowMoving = value; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool value) { FRowSelect = value; }
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool value) { FHoverRow = value; }
    TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor value) { FHoverRowColor = value; }
    TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor value) { FHoverRowColorTo = value; }
    TSearchFooter& SearchFooter() { return *FSearchFooter; }
    void SetSearchFooter(const TSearchFooter& value) { FSearchFooter->Assign(value); }
    TBands& Bands() { return *FBands; }
    void SetBands(const TBands& value) { FBands->Assign(value); }
    TNavigation& Navigation() { return *FNavigation; }
    void SetNavigation(const TNavigation& value) { FNavigation->Assign(value); }
    TMouseActions& MouseActions() { return *FMouseActions; }
    void SetMouseActions(const TMouseActions& value) { FMouseActions->Assign(value); }

    // -- keys and choosing ------------------------------------------------------
    // The grid's callbacks.
    void GridSelectCell(int row);
    void GridSelect();
    void GridCanSort();
    void GridClickSort();
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    // The edit's key release: ends a cell edit of the grid on Enter, then
    // takes a whole typed entry in its own case.
    void KeyUp(int& key, Qt::KeyboardModifiers shift) override;
    bool WMKeyDown(int key, Qt::KeyboardModifiers shift) override;
    // The edit's character step after the base's: the search, then the
    // pop-up opens when AutoShowDropDown.
    void EditChar(QChar key);
    // The focus came into the edit: every filter of the grid is removed.
    void DoEnter();
    void SetComponentStyle(TStudioStyle style) override;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdaptDropDownHeight(int& height) override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void ControlKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyPress(QChar& key) override;

    // -- events ---------------------------------------------------------------
    std::function<void(TCustomExtGridDropDown* sender)> OnSelect;
    // The grid's events, forwarded with its arguments (Sender the grid
    // unless noted).
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& anchor, bool& autoHandle)> OnGridAnchorClick;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& anchor)> OnGridAnchorEnter;
    std::function<void(TExtStringGrid* sender, int arow, int acol, const QString& anchor)> OnGridAnchorExit;
    std::function<void(TExtStringGrid* sender, int arow, int acol, QString& anchor)> OnGridAnchorHint;
    std::function<void(TExtStringGrid* sender, int arow)> OnGridAutoAddRow;
    std::function<void(TExtStringGrid* sender, int arow)> OnGridInsertRow;
    std::function<void(TExtStringGrid* sender, int arow)> OnGridDeleteRow;
    std::function<void(TExtStringGrid* sender, int acol)> OnGridInsertCol;
    std::function<void(TExtStringGrid* sender, bool& canAdd)> OnGridCanAddRow;
    std::function<void(TExtStringGrid* sender, int arow, bool& canDelete)> OnGridCanDeleteRow;
    std::function<void(TExtStringGrid* sender, int arow, bool& canInsert)> OnGridCanInsertRow;
    std::function<void(TExtStringGrid* sender, int acol, int arow)> OnGridButtonClick;
    std::function<void(TExtStringGrid* sender, int arow, int acol, bool& canEdit)> OnGridCanEditCell;
    std::function<void(TExtStringGrid* sender, int acol, int arow, bool state)> OnGridCheckBoxClick;
    // Kept for form files; never raised.
    std::function<void(TExtStringGrid* sender, int acol, bool& doSort)> OnGridCanSort;
    std::function<void(TExtStringGrid* sender, int acol)> OnGridClickSort;
    std::function<void(TExtStringGrid* sender, const QString& str1, const QString& str2, int& res)> OnGridCustomCompare;
    std::function<void(TExtStringGrid* sender, int acol, int row1, int row2, int& res)> OnGridRawCompare;
    std::function<void(TExtStringGrid* sender, int acol, bool& allow)> OnGridColumnSize;
    std::function<void(TExtStringGrid* sender, int acol)> OnGridEndColumnSize;
    std::function<void(TExtStringGrid* sender, int acol, int columnSize)> OnGridColumnSizing;
    std::function<void(TExtStringGrid* sender, int arow, bool& allow)> OnGridRowSize;
    std::function<void(TExtStringGrid* sender, int arow, int rowSize)> OnGridRowSizing;
    std::function<void(TExtStringGrid* sender, int arow)> OnGridEndRowSize;
    std::function<void(TExtStringGrid* sender, int arow, bool& allow)> OnGridRowMove;
    std::function<void(TExtStringGrid* sender, int arow, bool& allow)> OnGridRowMoving;
    std::function<void(TExtStringGrid* sender, int fromIndex, int toIndex)> OnGridRowMoved;
    std::function<void(TExtStringGrid* sender, int acol, bool& allow)> OnGridColumnMove;
    std::function<void(TExtStringGrid* sender, int acol, bool& allow)> OnGridColumnMoving;
    std::function<void(TExtStringGrid* sender, int fromIndex, int toIndex)> OnGridColumnMoved;
    TCustomCellDrawEvent OnGridCustomCellDraw;
    TCustomCellDrawEvent OnGridCustomCellBkgDraw;
    TGridAlignmentEvent OnGridGetAlignment;
    TGridColorEvent OnGridGetCellColor;
    TGridCellGradientEvent OnGridGetCellGradient;
    TGridFloatFormatEvent OnGridGetFloatFormat;
    TGridEditorTypeEvent OnGridGetEditorType;
    std::function<void(TExtStringGrid* sender, int acol, int arow)> OnGridGetEditorProp;
    std::function<void(TExtStringGrid* sender, int acol, int arow, QString& s)> OnGridEllipsClick;
    std::function<void(TBaseGrid* sender, int acol, int arow, QString& value)> OnGridGetDiplText;
    TGridFormatEvent OnGridGetFormat;
    std::function<void(TExtStringGrid* sender, int arow, int acol, QString& hint)> OnGridHint;
    std::function<void(TExtStringGrid* sender, int acol, int arow, QString& title, QString& text, TBalloonIcon& icon)>
        OnGridCellBalloon;
    std::function<void(TExtStringGrid* sender, TShiftState shift, int x, int y)> OnGridMouseMove;
    std::function<void(TExtStringGrid* sender, TMouseButton button, TShiftState shift, int x, int y)> OnGridMouseDown;
    std::function<void(TExtStringGrid* sender, TMouseButton button, TShiftState shift, int x, int y)> OnGridMouseUp;
    // Sender the drop-down.
    std::function<void(TCustomExtGridDropDown* sender, int& key, Qt::KeyboardModifiers shift)> OnGridKeyDown;
    std::function<void(TCustomExtGridDropDown* sender, int& key, Qt::KeyboardModifiers shift)> OnGridKeyUp;
    std::function<void(TCustomExtGridDropDown* sender, QChar& key)> OnGridKeyPress;
    std::function<void(TExtStringGrid* sender, int arow, int acol)> OnGridRightClickCell;
    std::function<void(TExtStringGrid* sender, int arow, QString& hint)> OnGridScrollHint;
    // Sender the drop-down.
    std::function<void(TCustomExtGridDropDown* sender)> OnGridTopLeftChanged;
    std::function<void(TExtStringGrid* sender, const QString& value, bool& defaultSearch)> OnGridSearchEditChange;
    // Kept for form files; never raised.
    std::function<void(TExtStringGrid* sender, int acol, int arow, int value, bool upDown)> OnGridSpinClick;

    // -- the dispatchers: each raises its event when set ------------------------------
    virtual std::unique_ptr<TDropDownItems> CreateItems();
    virtual void DoGridAnchorClick(TExtStringGrid* sender, int arow, int acol, const QString& anchor, bool& autoHandle);
    virtual void DoGridAnchorEnter(TExtStringGrid* sender, int arow, int acol, const QString& anchor);
    virtual void DoGridAnchorExit(TExtStringGrid* sender, int arow, int acol, const QString& anchor);
    virtual void DoGridAnchorHint(TExtStringGrid* sender, int arow, int acol, QString& anchor);
    virtual void DoGridButtonClick(TExtStringGrid* sender, int acol, int arow);
    virtual void DoGridColumnSize(TExtStringGrid* sender, int acol, bool& allow);
    virtual void DoGridColumnSizing(TExtStringGrid* sender, int acol, int columnSize);
    virtual void DoGridEndColumnSize(TExtStringGrid* sender, int acol);
    virtual void DoGridRowSize(TExtStringGrid* sender, int arow, bool& allow);
    virtual void DoGridRowSizing(TExtStringGrid* sender, int arow, int rowSize);
    virtual void DoGridEndRowSize(TExtStringGrid* sender, int arow);
    virtual void DoGridRowMove(TExtStringGrid* sender, int arow, bool& allow);
    virtual void DoGridRowMoving(TExtStringGrid* sender, int arow, bool& allow);
    virtual void DoGridRowMoved(TExtStringGrid* sender, int fromIndex, int toIndex);
    virtual void DoGridColumnMove(TExtStringGrid* sender, int acol, bool& allow);
    virtual void DoGridColumnMoving(TExtStringGrid* sender, int acol, bool& allow);
    virtual void DoGridColumnMoved(TExtStringGrid* sender, int fromIndex, int toIndex);
    virtual void DoGridCustomCellDraw(TExtStringGrid* sender, TCanvas& canvas, int acol, int arow, TGridDrawState state,
                                      const TRect& rect, bool printing);
    virtual void DoGridCustomCellBkgDraw(TExtStringGrid* sender, TCanvas& canvas, int acol, int arow,
                                         TGridDrawState state, const TRect& rect, bool printing);
    virtual void DoGridCellBalloon(TExtStringGrid* sender, int acol, int arow, QString& title, QString& text,
                                   TBalloonIcon& icon);
    virtual void DoGridGetAlignment(TExtStringGrid* sender, int arow, int acol, TAlignment& ha, TVAlignment& va);
    virtual void DoGridGetCellColor(TExtStringGrid* sender, int arow, int acol, TGridDrawState state, TCellBrush& brush,
                                    TCellFont& font);
    virtual void DoGridGetCellGradient(TExtStringGrid* sender, int arow, int acol, TColor& color, TColor& colorTo,
                                       TColor& colorMirror, TColor& colorMirrorTo, TCellGradientDirection& direction);
    virtual void DoGridGetFloatFormat(TExtStringGrid* sender, int acol, int arow, bool& isFloat, QString& format);
    virtual void DoGridGetEditorType(TExtStringGrid* sender, int acol, int arow, TEditorType& editor);
    virtual void DoGridGetEditorProp(TExtStringGrid* sender, int acol, int arow);
    virtual void DoGridCanEditCell(TExtStringGrid* sender, int arow, int acol, bool& canEdit);
    virtual void DoGridEllipsClick(TExtStringGrid* sender, int acol, int arow, QString& s);
    virtual void DoGridGetDisplText(TBaseGrid* sender, int acol, int arow, QString& value);
    virtual void DoGridGetFormat(TExtStringGrid* sender, int acol, TSortStyle& style, QString& prefix, QString& suffix);
    virtual void DoGridHint(TExtStringGrid* sender, int arow, int acol, QString& hint);
    virtual void DoGridMouseMove(TExtStringGrid* sender, TShiftState shift, int x, int y);
    virtual void DoGridMouseDown(TExtStringGrid* sender, TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoGridMouseUp(TExtStringGrid* sender, TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoGridKeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void DoGridKeyUp(int& key, Qt::KeyboardModifiers shift);
    virtual void DoGridKeyPress(QChar& key);
    virtual void DoGridRightClickCell(TExtStringGrid* sender, int arow, int acol);
    virtual void DoGridScrollHint(TExtStringGrid* sender, int arow, QString& hint);
    virtual void DoGridTopLeftChanged();
    virtual void DoGridSearchEditChange(TExtStringGrid* sender, const QString& value, bool& defaultSearch);
    virtual void DoGridAutoAddRow(TExtStringGrid* sender, int arow);
    virtual void DoGridAutoInsertRow(TExtStringGrid* sender, int arow);
    virtual void DoGridAutoInsertCol(TExtStringGrid* sender, int acol);
    virtual void DoGridAutoDeleteRow(TExtStringGrid* sender, int arow);
    virtual void DoGridCanAddRow(TExtStringGrid* sender, bool& canAdd);
    virtual void DoGridCanInsertRow(TExtStringGrid* sender, int arow, bool& canInsert);
    virtual void DoGridCanDeleteRow(TExtStringGrid* sender, int arow, bool& canDelete);
    virtual void DoGridCheckBoxClick(TExtStringGrid* sender, int acol, int arow, bool state);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

    TCustomGrid* ListGrid() const override { return FExtColGrid.get(); }
    int ListNaturalWidth() const override { return FExtColGrid->GetNaturalWidth(); }
    int ListColumnCount() const override { return FExtColGrid->Columns().Count(); }
    int ListItemCount() const override { return Items().Count(); }
    const ExtMultiColumnDropDown::TDropDownItemSettings& ListItem(int index) const override { return Items().Items(index); }
    // Item mode the items, grid mode the grid's data rows.
    int ChoiceCount() const override { return GetItemCount(); }
    // Home and End choose in a pick list, unless with Shift.
    bool HomeEndSelects(Qt::KeyboardModifiers shift) const override;
    // A navigation key ends the typed search.
    void NavigationKeyPressed() override { FLookupEntry.clear(); }
    void CompletionKeyDown(int key) override;
    // An unchanged text keeps the edit's selection.
    void SetTextQuietly(const QString& text) override;

private:
    // Whether the grid has a cell editor open.
    bool GridEditing() const;
    void BindGridEvents();
    // Runs an application handler with the pop-up's activation blocked, so
    // that a window it opens does not close the pop-up.
    template <typename F>
    void Blocked(F&& call);

    bool FBalloonInit = false;
    bool FColumnMoving = false;
    TLookupMethod FLookupMethod = lmLookup;
    bool FUseItems = true;
    mutable std::unique_ptr<TDropDownItems> FItems;
    TDropDownColumns FColumns;
    std::unique_ptr<TExtColGrid> FExtColGrid;
    int FSelRow = 0;
    bool FRowSelect = true;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    int FTempItemIndex = 0;
    TDropDownStyle FStyle = dsDropDown;
    bool FHoverRow = false;
    TColor FHoverRowColor = clInfoBk;
    TColor FHoverRowColorTo = clNone;
    TGridSorting FSorting = gsNone;
    bool FGridEditable = false;
    TImageListRef FGridImages;
    bool FRowMoving = false;
    bool FRowSizing = false;
    bool FAutoShowDropDown = false;
    bool FAutoSizeColumns = true;
};

} // namespace ExtCustomGridDropDown

using ExtCustomGridDropDown::TCustomExtGridDropDown;
