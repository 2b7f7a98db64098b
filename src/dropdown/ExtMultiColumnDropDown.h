#pragma once
// The multi-column drop-down: a drop-down edit whose pop-up shows its items
// in several columns under a header row. The edit shows the chosen item's
// text in the lookup column; typing in the edit completes from the items and
// typing in the open list searches it.
//
// - TDropDownColumn(s), TDropDownItem(s): the columns and the rows.
// - TExtColGrid: the list in the pop-up, a platform string grid that paints
//   every cell itself from the drop-down's columns and items.
// - TExtMultiColumnDropDown: the edit.
//
// The grid drop-down has classes of the same names; these live in the
// namespace ExtMultiColumnDropDown.
#include "dropdown/ExtDropDown.h"
#include "dropdown/ExtListDropDownBase.h"
#include "dropdown/ExtTypeAhead.h"
#include "platform/Grids.h"

#include <QFont>
#include <algorithm>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace ExtMultiColumnDropDown {

class TExtMultiColumnDropDown;

enum class TColumnType { ctText, ctImage };

// Upper-cases with the locale's rules unless `keep`.
QString FoldLookupCase(const QString& s, bool keep);

// The settings of one column, shared by the columns of the drop-downs that
// show their items in columns.
struct TDropDownColumnSettings {
    bool Wordwrap = false;
    int Width = 80;
    bool AutoSize = false;
    QString Header;
    TAlignment Alignment = taLeftJustify;
    TColor Color = 0xFFFFFF;
    TColumnType ColumnType = TColumnType::ctText;
    QFont Font;
    TColor FontColor = clWindowText;
    bool Ellipsis = false;
};

// The content of one row: string i of Text is its text in column i; a
// missing string counts as empty.
struct TDropDownItemSettings {
    int ImageIndex = -1;
    QStringList Text;
    // String i, empty when the item has none.
    QString TextAt(int i) const { return i >= 0 && i < Text.size() ? Text[i] : QString(); }
    bool HasText(int i) const { return i >= 0 && i < Text.size(); }
};

// One column of the list.
class TDropDownColumn : public TDropDownColumnSettings {
public:
    void Assign(const TDropDownColumn& source) { TDropDownColumnSettings::operator=(source); }
};

// One row of the list.
class TDropDownItem : public TDropDownItemSettings {
public:
    void Assign(const TDropDownItem& source) { TDropDownItemSettings::operator=(source); }
};

// An owning, ordered collection of T.
template <typename T>
class TDropDownCollection {
public:
    TDropDownCollection() = default;
    virtual ~TDropDownCollection() = default;
    // Copies go through Assign, which makes the items through NewItem.
    TDropDownCollection(const TDropDownCollection&) = delete;
    TDropDownCollection& operator=(const TDropDownCollection&) = delete;
    int Count() const { return int(m_items.size()); }
    T& Add()
    {
        m_items.push_back(NewItem());
        return *m_items.back();
    }
    // Inserts at `index` (clamped to 0..Count).
    T& Insert(int index)
    {
        index = std::clamp(index, 0, Count());
        return **m_items.insert(m_items.begin() + index, NewItem());
    }
    T& Items(int index) { return *m_items.at(size_t(index)); }
    const T& Items(int index) const { return *m_items.at(size_t(index)); }
    void SetItems(int index, const T& value) { Items(index).Assign(value); }
    void Delete(int index) { m_items.erase(m_items.begin() + index); }
    void Clear() { m_items.clear(); }
    void Assign(const TDropDownCollection& source)
    {
        if (&source == this) return;
        m_items.clear();
        for (const auto& item : source.m_items) Add().Assign(*item);
    }

protected:
    // Makes a new item; a collection of a derived item class overrides it.
    virtual std::unique_ptr<T> NewItem() const { return std::make_unique<T>(); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

class TDropDownColumns : public TDropDownCollection<TDropDownColumn> {};

class TDropDownItems : public TDropDownCollection<TDropDownItem> {
public:
    // The first item whose string `column` exists and equals `value`
    // exactly; -1 when none.
    int IndexInColumn(int column, const QString& value) const;
};

// The measuring of the lists' auto-sized columns and word-wrapped rows, on a
// canvas of their own: the width of `item`'s cell in column `index`
// (single-line text + 6, plus image width + 4 for an image column whose
// item has an image), and the height of its word-wrapped cell `width`
// pixels wide (text height + 6, at least image height + 6 for an image).
int AutoSizeCellWidth(const TDropDownColumnSettings& col, int index, const TDropDownItemSettings& item,
                      TCustomImageList* images);
int WrappedCellHeight(const TDropDownColumnSettings& col, int index, int width, const TDropDownItemSettings& item,
                      TCustomImageList* images);
// Whether the grid's window sits on a drop-down's pop-up window.
bool OnDropDownForm(const TCustomGrid& grid);
// The platform's vertical scroll bar width.
int ScrollBarWidth();

// What the lists in the pop-ups of this drop-down and of the grid drop-down
// have in common: the drop-down they belong to, their own copy of its
// columns, the header and line look taken from it, the measuring of
// auto-sized columns and word-wrapped rows, and the mouse and wheel steps
// that tell a chosen row from one the wheel only passed. TGridBase is the
// grid the list paints as, TOwner the drop-down and TColumns its column
// collection.
template <typename TGridBase, typename TOwner, typename TColumns>
class TColumnListGrid : public TGridBase {
public:
    void SetDropDown(TOwner* value) { FExtDropDown = value; }
    TOwner* DropDown() const { return FExtDropDown; }
    void AutoSizeColumn(int index);
    void AutoSizeFlaggedColumns();
    void AutoSizeWrappedRows();

    int GridLineWidth() const { return FGridLineWidth; }
    // Stored; the grid's own line width becomes 0.
    void SetGridLineWidth(int value)
    {
        FGridLineWidth = value;
        TGridBase::SetGridLineWidth(0);
        this->Invalidate();
    }
    TColumns& Columns() { return FColumns; }
    void SetColumns(const TColumns& value) { FColumns.Assign(value); }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor value) { FLineColor = value; }
    TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor value) { FFixedLineColor = value; }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor value) { FHeaderColor = value; }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor value) { FHeaderColorTo = value; }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int value) { FHeaderHeight = value; }
    const QFont& HeaderFont() const { return FHeaderFont; }
    void SetHeaderFont(const QFont& value) { FHeaderFont = value; }
    TCustomImageList* Images() const { return FImages.get(); }
    void SetImages(TCustomImageList* value) { FImages = value; }
    // Whether the next selection is to be taken: a key or mouse press in the
    // list sets it, a wheel step clears it.
    bool ConfirmSelection() const { return FConfirmSelection; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        FConfirmSelection = true;
        FOldRow = this->Row();
        TGridBase::MouseDown(button, shift, x, y);
    }
    bool DoMouseWheelDown(TShiftState shift, QPoint pos) override { return WheelStep(true, shift, pos); }
    bool DoMouseWheelUp(TShiftState shift, QPoint pos) override { return WheelStep(false, shift, pos); }

protected:
    // Takes the drop-down's header and line look, its images and its row
    // heights.
    void TakeLook(const TOwner& d)
    {
        FLineColor = d.LineColor();
        FFixedLineColor = d.FixedLineColor();
        FHeaderColor = d.HeaderColor();
        FHeaderColorTo = d.HeaderColorTo();
        FHeaderHeight = d.HeaderHeight();
        FHeaderFont = d.HeaderFont();
        FImages = d.Images();
        this->SetDefaultRowHeight(d.DropDownRowHeight());
        this->SetRowHeights(0, d.HeaderHeight());
    }
    // The start of a key press in the list: it confirms the selection;
    // Alt+Up and Alt+Down go to the drop-down, and Tab neither moves in the
    // list nor leaves it. True when the key is dealt with.
    bool ListKeyDown(int key, TShiftState shift)
    {
        FConfirmSelection = true;
        if ((key == VK_UP || key == VK_DOWN) && shift.Contains(TShiftStateItem::ssAlt)) {
            if (FExtDropDown) {
                int k = key == VK_UP ? int(Qt::Key_Up) : int(Qt::Key_Down);
                FExtDropDown->KeyDown(k, Qt::AltModifier);
            }
            return true;
        }
        return key == VK_TAB;
    }
    bool WheelStep(bool down, TShiftState shift, QPoint pos)
    {
        // Rows the wheel passes are not choices.
        FMouseWheelSelection = true;
        FConfirmSelection = false;
        const bool done = down ? TGridBase::DoMouseWheelDown(shift, pos) : TGridBase::DoMouseWheelUp(shift, pos);
        FMouseWheelSelection = false;
        return done;
    }

    TOwner* FExtDropDown = nullptr;
    TColumns FColumns;
    TColor FHeaderColor = 0xFFFFFF;
    TColor FHeaderColorTo = 0x808080;
    TColor FLineColor = 0x808080;
    TImageListRef FImages;
    int FHeaderHeight = 25;
    QFont FHeaderFont;
    TColor FFixedLineColor = 0;
    int FGridLineWidth = 1;
    int FOldRow = 0;
    bool FMouseWheelSelection = false;
    bool FConfirmSelection = false;
};

template <typename TGridBase, typename TOwner, typename TColumns>
void TColumnListGrid<TGridBase, TOwner, TColumns>::AutoSizeFlaggedColumns()
{
    for (int i = 0; i < FColumns.Count(); ++i)
        if (FColumns.Items(i).AutoSize) AutoSizeColumn(i);
}

template <typename TGridBase, typename TOwner, typename TColumns>
void TColumnListGrid<TGridBase, TOwner, TColumns>::AutoSizeColumn(int index)
{
    if (index < 0 || index >= FColumns.Count() || !FColumns.Items(index).AutoSize || !OnDropDownForm(*this)) return;
    auto& col = FColumns.Items(index);
    int width = 0;
    for (int r = 1; r < this->RowCount(); ++r) {
        if (!FExtDropDown || r - 1 >= FExtDropDown->Items().Count()) continue;
        width = std::max(width, AutoSizeCellWidth(col, index, FExtDropDown->Items().Items(r - 1), Images()));
    }
    col.Width = width;
    this->SetColWidths(index, width);
}

template <typename TGridBase, typename TOwner, typename TColumns>
void TColumnListGrid<TGridBase, TOwner, TColumns>::AutoSizeWrappedRows()
{
    bool wrapped = false;
    for (int c = 0; c < FColumns.Count(); ++c) wrapped = wrapped || FColumns.Items(c).Wordwrap;
    if (!wrapped || !OnDropDownForm(*this) || !FExtDropDown) return;
    for (int r = this->FixedRows(); r < this->RowCount(); ++r) {
        if (r - 1 < 0 || r - 1 >= FExtDropDown->Items().Count()) continue;
        const auto& item = FExtDropDown->Items().Items(r - 1);
        int h = 24;
        for (int c = 0; c < FColumns.Count(); ++c)
            if (FColumns.Items(c).Wordwrap)
                h = std::max(h, WrappedCellHeight(FColumns.Items(c), c, this->ColWidths(c), item, Images()));
        this->SetRowHeights(r, h);
    }
}

// The list in the pop-up.
class TExtColGrid : public TColumnListGrid<TStringGrid, TExtMultiColumnDropDown, TDropDownColumns> {
public:
    TExtColGrid();
    ~TExtColGrid() override;

    // Takes the look and the content of the drop-down (nothing without one).
    void UpdateFromDropDown(TExtMultiColumnDropDown* dropDown);
    // The width that shows every column whole.
    int GetNaturalWidth() const;
    // The cell's rectangle with its own width and height; empty when the
    // cell is not visible.
    TRect GetCellRect(int c, int r) const;

    // Raised by Enter and by a mouse release over a data row.
    std::function<void(TExtColGrid* sender)> OnSelect;

    void KeyDown(int& key, TShiftState shift) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void DrawCell(TCanvas& canvas, int c, int r, const TRect& rect, TGridDrawState state) override;
    virtual void DoSelect();
};

class TExtMultiColumnDropDown : public TExtListDropDownBase {
public:
    explicit TExtMultiColumnDropDown(QWidget* parent = nullptr);
    ~TExtMultiColumnDropDown() override;

    // -- content --------------------------------------------------------------
    TDropDownItems& Items() { return FItems; }
    const TDropDownItems& Items() const { return FItems; }
    void SetItems(const TDropDownItems& value) { FItems.Assign(value); }
    TDropDownColumns& Columns() { return FColumns; }
    const TDropDownColumns& Columns() const { return FColumns; }
    void SetColumns(const TDropDownColumns& value) { FColumns.Assign(value); }
    // Ignored at or past the item count; else the text becomes the item's
    // lookup text (empty for -1 or an item without one).
    void SetItemIndex(int value) override;
    // The first item whose lookup text equals `value` exactly; -1 when none.
    int GetItemIndex(const QString& value) const;
    void Loaded() { UpdateLookupItems(); }
    // The first item whose lookup text starts with `s`; false, empty and -1
    // when none (and always while the list does not exist).
    bool FindLookupMatch(const QString& s, QString& text, int& index) const override;
    // One character typed in the open list: the item it finds, or -1.
    int LookupKey(QChar key);

    TExtColGrid* Grid() const { return FExtColGrid.get(); }
    void Assign(const TExtMultiColumnDropDown& source);

    // -- keys and selection -----------------------------------------------------
    // The list's callbacks.
    void GridSelectCell(int row);
    void GridSelect();

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool cancel) override;
    void ControlKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void ControlKeyPress(QChar& key) override;

    // -- events ---------------------------------------------------------------
    std::function<void(TExtMultiColumnDropDown* sender)> OnSelect;
    std::function<void(TExtMultiColumnDropDown* sender, int column, int row, QString& text)> OnDropDownGetItemText;
    std::function<void(TExtMultiColumnDropDown* sender, int column, int row, TCanvas& canvas, const TRect& r)> OnDropDownDrawItem;
    // Kept for form files; never raised.
    std::function<void(TExtMultiColumnDropDown* sender, int column, int row, QFont& font, TColor& color, TColor& colorTo)>
        OnDropDownGetItemProp;

protected:
    TCustomGrid* ListGrid() const override { return FExtColGrid.get(); }
    int ListNaturalWidth() const override { return FExtColGrid->GetNaturalWidth(); }
    int ListColumnCount() const override { return FExtColGrid->Columns().Count(); }
    int ListItemCount() const override { return FItems.Count(); }
    const TDropDownItemSettings& ListItem(int index) const override { return FItems.Items(index); }

private:
    bool FShowing = false;
    TDropDownItems FItems;
    TDropDownColumns FColumns;
    std::unique_ptr<TExtColGrid> FExtColGrid;
};

// The widths SizeColumnsToDropDown gives columns of `widths` in `avail`
// pixels: each width scaled by avail / (1 + sum), rounded half to even, with
// the rounding error carried and a column taking one pixel more whenever the
// carry exceeds 1.
std::vector<int> ScaledColumnWidths(const std::vector<int>& widths, int avail);
// The height AdaptDropDownHeight makes of `height`: whole data rows under
// the header row, with `strips` pixels of visible header and footer strips.
int WholeRowsHeight(int height, int strips, int headerHeight, int rowHeight);

} // namespace ExtMultiColumnDropDown

using ExtMultiColumnDropDown::TExtMultiColumnDropDown;
