#pragma once
// The grid drop-down's columns and items, and how its inner grid is filled
// from them in item mode. The classes have the names and the content of the
// multi-column drop-down's but are this unit's own, in the namespace
// ExtCustomGridDropDown; the item collection lets a subclass choose the
// class of its items.
#include "controls/BaseGrid.h"
#include "dropdown/ExtMultiColumnDropDown.h"

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

} // namespace ExtCustomGridDropDown
