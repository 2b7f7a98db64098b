#pragma once
// The grid as a drag source: the picture of dragged or moved cells and the
// drop source that keeps it under the cursor while a drag runs.
#include "controls/OleDragDrop.h"

#include <QPixmap>
#include <QWidget>

class TExtStringGrid;

// A picture of cells over the grid's viewport, drawn at opacity 192/255. It
// takes neither the focus nor the mouse, so the grid goes on seeing the
// mouse beneath it.
class TDragPicture : public QWidget {
public:
    static constexpr int Opacity = 192;
    TDragPicture(QWidget* parent, const QPixmap& picture);
    const QPixmap& Picture() const { return FPicture; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap FPicture;
};

// Follows a drag the grid started: keeps the picture (or the header drag
// button) at the cursor and takes the picture down when the drag ends.
class TGridDropSource : public TESGDropSource {
public:
    explicit TGridDropSource(TExtStringGrid* grid) : FGrid(grid) {}
    // The last copy (1) or move (2) effect seen; 0 before any.
    int LastEffect() const { return FLastEffect; }

    void DragDropDone() override;
    void CurrentEffect(int effect) override;
    void QueryDrag() override;

private:
    TExtStringGrid* FGrid;
    int FLastEffect = 0;
};

namespace GridDrag {
// The mouse went far enough from the press for a drag: more than 3 pixels
// in either direction.
bool StartDistanceReached(int pressX, int pressY, int x, int y);
// The picture of a drag or move sits this far right of and below the cursor.
constexpr int PictureOffset = 4;
} // namespace GridDrag
