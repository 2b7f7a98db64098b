#pragma once
// The body of the drop harness, shared by the libFuzzer harness and the test
// that replays its seeds. Needs a running QApplication (the drop target
// takes a widget's drag events).
#include "GridIOFuzz.h"
#include "common/DragSupport.h"
#include "grid/ExtGridDrop.h"
#include "platform/Dialogs.h"
#include "platform/GridsWidget.h"

#include <QUrl>

namespace GridDropFuzz {

// Byte 0: the formats present (bit 0 text, 1 rich text, 2 column, 3 cell
// block, 4 URL list, 5 browser URL); byte 1: the drop cell (bits 0-2
// column, 3-5 row) and Ctrl (bit 6); byte 2: the drag settings (bit 0
// entire rows, 1 append, 2 insert, 3 column reorder, 4 rich text, 5
// editing, 6 header-only grid). The rest: the payloads, one per part in
// the order of byte 0's bits. Every reader of the drag data runs; then the
// drag is dropped onto a small grid. A refused drop leaves the grid as it was.
inline void Drop(const uint8_t* data, size_t size)
{
    if (size < 3) return;
    const uint8_t formats = data[0], where = data[1], flags = data[2];
    const QList<QByteArray> parts = Parts(Bytes(data + 3, size - 3), 6);
    QMimeData m;
    const char* types[] = {DragTextMimeType, DragRtfMimeType, DragColumnMimeType,
                           DragGridCellsMimeType, DragUriListMimeType, DragMozUrlMimeType};
    for (int i = 0, part = 0; i < 6; ++i)
        if (formats & (1u << i)) m.setData(QString::fromLatin1(types[i]), part < parts.size() ? parts[part++] : QByteArray());

    TEnumFormats f(&m);
    (void)f.Formats();
    (void)f.Text();
    (void)f.RTF();
    (void)f.URL();
    f.ReadFileList();
    const int col = f.Col();
    Require(col == -1 || m.data(QString::fromLatin1(DragColumnMimeType)).size() == 4, "a column from a block of 4 bytes");
    if (const auto s = f.Stream()) Require(s->size() + 8 <= m.data(QString::fromLatin1(DragGridCellsMimeType)).size(), "the stream inside its block");

    const MessageHandler old = SetMessageHandler([](const MessageRecord&) { return int(mrOk); });
    const bool rtf = RtfDropSwitch;
    {
        QWidget form;
        TExtStringGrid g;
        GridIOFuzz::Fill(g, false);
        if (flags & 64) {
            g.SetFixedRowAlways(true);
            g.SetRowCount(1);
        }
        g.CreateWnd(&form);
        g.SetBounds(0, 0, 300, 200);
        TDragDropSettings& dd = g.DragDropSettings();
        dd.SetOleEntireRows(flags & 1);
        dd.SetOleAppendRows(flags & 2);
        dd.SetOleInsertRows(flags & 4);
        dd.SetOleColumnReorder(flags & 8);
        dd.SetOleDropRTF(flags & 16);
        if (flags & 32) g.SetOptions(g.Options().With(goEditing));
        dd.SetOleDropTarget(true);
        // No file is read from the disk.
        g.OnOleDropFile = [](TExtStringGrid*, int, int, const QString&, bool& allow) { allow = false; };
        const int c = where & 7, r = (where >> 3) & 7;
        const TRect cell = g.CellRect(std::min(c, g.ColCount() - 1), std::min(r, g.RowCount() - 1));
        const QPoint p = cell.Right > cell.Left ? cell.ToQRect().center() : QPoint(c * 50, 200 + r * 10);
        const QString before = GridIOFuzz::Shape(g);
        const DragOutcome o = SendDrag(g.Widget()->viewport(), &m, {p, p}, Qt::CopyAction | Qt::MoveAction,
                                       (where & 64) ? Qt::ControlModifier : Qt::NoModifier);
        if (o.Dropped && o.DropAction == Qt::IgnoreAction && !(formats & 16))
            Require(GridIOFuzz::Shape(g) == before, "a refused drop changes nothing");
    }
    SetRtfDropEnabled(rtf);
    SetMessageHandler(old);
}

} // namespace GridDropFuzz
