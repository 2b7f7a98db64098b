#pragma once
// A cell editor that belongs to a string grid: the grid binds itself when
// its window makes the editor. Kept apart from the grid's own editors so
// that the drop-down library can implement editors without their controls.
#include "grid/ExtGrid.h"
#include "platform/GridsWidget.h"

class TGridCellEditor : public TCellEditor {
public:
    virtual void BindGrid(TExtStringGrid* grid) = 0;
};

// The grid's window (null without one) and one key handed to it as if the
// grid had received it (key down, then the character).
TGridWidget* GridWidgetOf(TExtStringGrid* grid);
void ForwardKeyToGrid(TExtStringGrid* grid, int qtKey, Qt::KeyboardModifiers mods);
