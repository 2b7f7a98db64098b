#pragma once
// The string grid's drop target: drops of text, cell blocks, columns, rich
// text, files and URLs onto the grid's viewport.
#include "controls/OleDragDrop.h"

class TExtStringGrid;

class TGridDropTarget : public TESGDropTarget {
public:
    explicit TGridDropTarget(TExtStringGrid* grid) : FGrid(grid) {}
    TExtStringGrid* Grid() const { return FGrid; }
    // Takes the accept flags from the grid's drag settings, then reads the drag.
    void DragEnter(QDragEnterEvent* e) override;

protected:
    void DropText(QPoint pt, const QString& text) override;
    void DropStream(QPoint pt, const QByteArray& stream) override;
    void DropCol(QPoint pt, int col) override;
    void DropRTF(QPoint pt, const QString& rtf) override;
    void DropFiles(QPoint pt, const QStringList& files) override;
    void DropURL(QPoint pt, const QString& url) override;
    void DragMouseMove(QPoint pt, bool& allow, TDropFormats formats) override;
    void DragMouseLeave() override;

private:
    friend class TExtStringGrid;
    // The screen point in viewport coordinates.
    QPoint ToViewport(QPoint pt) const;
    // Runs one drop step; a step that did not take the drop refuses it.
    template <typename Step>
    void Run(Step step);
    TExtStringGrid* FGrid;
};
