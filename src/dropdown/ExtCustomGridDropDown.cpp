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
