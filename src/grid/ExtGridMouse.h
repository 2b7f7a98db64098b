#pragma once
// The decisions of the grid's mouse handling, as plain functions of the
// geometry (cell rectangles, borders, glyph rectangles) and of facts the grid
// gathers about the point. TExtStringGrid's MouseDown, MouseMove, MouseUp
// and DblClick (ExtGridMouse.cpp) gather the facts and carry the decisions
// out; the tests run the decisions without a grid.
#include "platform/Graphics.h"

#include <QString>
#include <vector>

class TSortIndexList;

namespace GridMouse {

// A point closer than this to a fixed column's right border (or a fixed
// row's bottom border) sizes that column (row).
constexpr int FixedSizingDistance = 3;
// A point this close to a side border of a header cell belongs to the
// border: a release there never sorts, a double click there auto-sizes.
constexpr int HeaderBorderDistance = 3;
// The inset a click must keep from the borders of a fixed cell to open the
// fixed-cell editor while the border can be dragged.
constexpr int FixedEditInset = 4;
// Width of the fixed-cell drop-down button and of the filter button.
constexpr int FixedButtonWidth = 16;

// The fixed column (row) whose right (bottom) border lies less than
// FixedSizingDistance pixels from pos; -1 for none. Border i lies at the sum
// of the sizes up to and including i plus one line pixel per earlier
// section.
int FixedBorderAt(const std::vector<int>& sizes, int pos);
// x lies within `distance` pixels of the left or right border of cell.
bool NearSideBorder(const TRect& cell, int x, int distance = HeaderBorderDistance);
// The fixed drop-down button of a header cell: Right - 16 < x < Right - d,
// d = 2 while columns can be sized (the border stays usable), else 0.
bool InFixedDropDownButton(const TRect& cell, int x, bool colSizing);
// (x, y) lies inside the cell shrunk by FixedEditInset on every side.
bool InsideFixedEditInset(const TRect& cell, int x, int y);
// The column a double click at x on header cell `col` auto-sizes: col - 1
// near the left border (when that is not a fixed column), col near the right
// border (when col is not fixed); -1 for none.
int HeaderDblClickColumn(const TRect& cell, int x, int col, int fixedCols);
// A rating chosen by a press dx pixels into the cell: 0.5 per full 9 pixels.
double RatingAt(int dx);
// The cell under the press point for sizing: 5 pixels left and 4 pixels up
// (only up in column 0, only left in row 0).
void SizingProbe(int col, int row, int x, int y, int& px, int& py);

// Whether a release sorts by the header clicked.
struct TSortFacts {
    bool AfterAutoSize = false;  // the double click before auto-sized a column
    bool OnSizingBorder = false; // row 0 near a side border with goColSizing
    bool OnHeaderButton = false; // the drop-down or filter button
    bool SortRow = false;        // release row = SortSettings.Row = pressed row
    bool HasFixedRows = false;
    bool InCheckBox = false;
    bool Show = false;           // SortSettings.Show
    bool EnhancedMoveEnded = false;
    int RowCount = 0;
    bool Ignored = false;        // the column is ignored for sorting
};
// The conditions and the answer before OnCanSort (DoSort stays for the
// event to change).
bool ReleaseMaySort(const TSortFacts& f, bool& doSort);

// A header click on `col` applied to the sort index list of a multi-column
// sort: with the index key the column is added with the initial direction,
// or its direction toggled when present; without it the list becomes this
// column alone, or its direction toggles when it is already the only one.
void ApplySortIndexClick(TSortIndexList& list, int col, bool indexKeyDown, bool initAscending);

// The column sort without an index list: the new column and direction, or
// undo (column -1) when a click on the sort column would go back to the
// initial direction and undoing is allowed.
struct TSortStep {
    int Column = -1;
    bool Ascending = true;
    bool Undo = false;
};
TSortStep NextSortStep(int sortColumn, bool ascending, int clicked, bool initAscending, bool undoSort);

// The mouse cursor the grid asks for.
enum TGridCursorId : int {
    crGridDefault = 0,
    crGridRowSelect = 8010,
    crGridColSelect = 8011,
    crGridAllSelect = 8012,
    crGridCellSelect = 8014,
};

// The anchor text after "CELL://" read as a cell reference: the cell (column
// and row) it names, false when it names none.
bool CellAnchorTarget(const QString& anchor, int& col, int& row);

} // namespace GridMouse
